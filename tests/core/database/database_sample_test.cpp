// The compiled sample model read back through the reader: the header, every section, every
// header and driver text and every record (by position and by key) hold what the text model
// says. The expected values come from parsing models/sample.txt with the model compiler, one
// comparison per record type.
#include <cstring>
#include <map>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/database_fixture.h"
#include "tools/dddtool/ddd_syntax.h"

namespace {

DddModel LoadSampleModel() {
  std::ifstream in(QV_SOURCE_DIR "/models/sample.txt", std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  DddModel model;
  std::string error;
  EXPECT_TRUE(ParseDddModel(text, QV_SOURCE_DIR "/models", &model, &error)) << error;
  return model;
}

// The strings of the sample's string libraries (models/qx4500str.rc and qx4500ext.rc).
std::string LibraryString(std::uint16_t library, std::uint16_t id) {
  static const std::map<std::pair<int, int>, std::string> strings = {
      {{1, 101}, "Paper Size"},
      {{1, 102}, "Paper Source"},
      {{1, 201}, "Tray 3"},
      {{1, 202}, "Tray 4"},
      {{2, 5}, "Tray 3 is not installed."},
      {{2, 8}, "Glossy paper 106-220 g/m2"},
  };
  auto it = strings.find({library, id});
  return it == strings.end() ? "" : it->second;
}

class SampleDatabase : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    model_ = LoadSampleModel();
    // String libraries are looked up beside the module that reads the database.
    SimSetHostModulePath((std::u16string(SimDriverDirectory()) + u"\\qvtest.exe").c_str());
    ASSERT_EQ(Open(SamplePath()), kDbOk);
  }

  // References resolve through the string libraries beside the module.
  void ExpectText(const DddText& expected, LPCWSTR actual, const std::string& where) {
    if (!expected.reference && expected.text.empty()) {
      EXPECT_EQ(actual, nullptr) << where;
      return;
    }
    std::string text = expected.reference ? LibraryString(expected.library, expected.id) : expected.text;
    EXPECT_EQ(Narrow(actual), text) << where;
  }

  void ExpectValue(const DddValue& expected, const StoredValue& actual, const std::string& where) {
    EXPECT_EQ(actual.type, expected.type) << where;
    if (expected.bytes.empty()) {
      EXPECT_FALSE(actual.present) << where;
      return;
    }
    ASSERT_TRUE(actual.present) << where;
    EXPECT_EQ(actual.count, 1) << where;
    if (expected.type == DDD_VALUE_FLAG) {
      EXPECT_EQ(actual.length, 4) << where;
      EXPECT_EQ(ValueAt<DWORD>(actual.value), expected.bytes[0] != 0 ? 1u : 0u) << where;
    } else if (expected.type == DDD_VALUE_STRING) {
      DddText text = DecodeDddText(expected.bytes.data(), static_cast<std::uint32_t>(expected.bytes.size()));
      ExpectText(text, static_cast<LPCWSTR>(actual.value), where);
    } else {
      ASSERT_EQ(actual.length, expected.bytes.size()) << where;
      EXPECT_EQ(std::memcmp(actual.value, expected.bytes.data(), expected.bytes.size()), 0) << where;
    }
  }

  void ExpectItemValue(const DddItemValue& expected, const ItemValueElement& actual, const std::string& where) {
    EXPECT_EQ(actual.item, expected.item) << where;
    EXPECT_EQ(actual.op, expected.op) << where;
    ExpectValue(expected.value, actual.value, where + " value");
  }

  void ExpectConditions(const DddFieldValue& expected, const ConditionList& actual, const std::string& where) {
    ASSERT_EQ(actual.count, expected.items.size()) << where;
    for (WORD i = 0; i < actual.count; ++i) {
      ExpectItemValue(expected.items[i], actual.items[i].test, where + "[" + std::to_string(i) + "]");
      EXPECT_EQ(actual.items[i].test.kind, DDD_ELEMENT_CONDITION);
      EXPECT_EQ(actual.items[i].connector, expected.items[i].connector) << where;
    }
  }

  void ExpectKeys(const DddFieldValue& expected, const KeyList& actual, const std::string& where) {
    ASSERT_EQ(actual.count, expected.keys.size()) << where;
    for (WORD i = 0; i < actual.count; ++i) EXPECT_EQ(actual.items[i].key, expected.keys[i]) << where << "[" << i << "]";
  }

  // The pairs of the size range with this key in the model.
  std::array<std::uint16_t, 4> Range(std::uint16_t key) {
    for (const auto& r : model_.records)
      if (r.type == 17 && r.key == key)
        return {r.fields[0].triples[0][0], r.fields[0].triples[0][1], r.fields[1].triples[0][0], r.fields[1].triples[0][1]};
    ADD_FAILURE() << "no size range " << key;
    return {};
  }

  static void ExpectPairs(const SizePairElement& a, const SizePairElement& b, std::array<std::uint16_t, 4> range,
                          const std::string& where) {
    EXPECT_EQ(a.width, range[0]) << where;
    EXPECT_EQ(a.length, range[1]) << where;
    EXPECT_EQ(b.width, range[2]) << where;
    EXPECT_EQ(b.length, range[3]) << where;
  }

  void Compare(const DddRecord& m, const DatabaseRecord* record);

  DddModel model_;
};

void SampleDatabase::Compare(const DddRecord& m, const DatabaseRecord* record) {
  const std::string where = std::string(FindRecordShape(m.type)->name) + " " + std::to_string(m.key);
  const auto& f = m.fields;
  auto num = [&](int i) { return f[i].number; };
  EXPECT_EQ(record->h.type, m.type) << where;
  EXPECT_EQ(record->h.key, m.key) << where;
  EXPECT_EQ(record->h.database, m.linked ? DDD_DATABASE_LINKED : DDD_DATABASE_MAIN) << where;
  EXPECT_EQ(record->h.stream, m.linked ? &linked_ : &main_) << where;
  switch (m.type) {
    case 3: case 4: {
      auto* r = reinterpret_cast<const ChoiceListRecord*>(record);
      ExpectText(f[0].text, r->name, where);
      EXPECT_EQ(r->kind, num(1)) << where;
      EXPECT_EQ(r->defaultPosition, num(2)) << where;
      EXPECT_EQ(r->range.key, num(3)) << where;
      ExpectKeys(f[4], r->choices, where + " choices");
      ExpectKeys(f[5], r->rules, where + " rules");
      ExpectKeys(f[6], r->requirements, where + " requires");
      EXPECT_EQ(r->block.key, num(7)) << where;
      ExpectText(f[8].text, r->name2, where + " name2");
      break;
    }
    case 13: case 14: {
      auto* r = reinterpret_cast<const ChoiceEntryRecord*>(record);
      ExpectText(f[0].text, r->name, where);
      EXPECT_EQ(r->refType, num(1)) << where;
      EXPECT_EQ(r->refKey.key, num(2)) << where;
      EXPECT_EQ(r->range.key, num(3)) << where;
      ExpectKeys(f[4], r->rules, where + " rules");
      ExpectKeys(f[5], r->requirements, where + " requires");
      ExpectValue(f[6].value, r->value, where + " value");
      EXPECT_EQ(r->block.key, num(7)) << where;
      break;
    }
    case 5: case 6: {
      auto* r = reinterpret_cast<const PaperSourceRecord*>(record);
      ExpectText(f[0].text, r->name, where);
      EXPECT_EQ(r->rangeKey, num(1)) << where;
      EXPECT_EQ(r->deviceCode, num(2)) << where;
      ExpectKeys(f[3], r->papers, where + " papers");
      ExpectKeys(f[4], r->attributes, where + " attributes");
      EXPECT_EQ(r->flags, num(5)) << where;
      ExpectText(f[6].text, r->name2, where + " name2");
      ExpectPairs(r->minCustom, r->maxCustom, Range(r->rangeKey), where + " custom sizes");
      break;
    }
    case 7: case 8: {
      auto* r = reinterpret_cast<const ConstraintRecord*>(record);
      ExpectItemValue(f[0].items[0], r->watch, where + " watch");
      EXPECT_EQ(r->messageWord, num(1)) << where;
      ExpectText(f[2].text, r->message, where + " message");
      ExpectConditions(f[3], r->conditions, where + " when");
      ASSERT_EQ(r->forced.count, f[4].items.size()) << where;
      for (WORD i = 0; i < r->forced.count; ++i) ExpectItemValue(f[4].items[i], r->forced.items[i], where + " force");
      break;
    }
    case 9: {
      auto* r = reinterpret_cast<const PictureRefRecord*>(record);
      ExpectConditions(f[0], r->conditions, where + " when");
      EXPECT_EQ(r->picture.width, f[1].triples[0][0]) << where;
      EXPECT_EQ(r->picture.height, f[1].triples[0][1]) << where;
      EXPECT_EQ(r->picture.picture.key, f[1].triples[0][2]) << where;
      break;
    }
    case 10: {
      auto* r = reinterpret_cast<const PaperRecord*>(record);
      ExpectText(f[0].text, r->name, where);
      EXPECT_EQ(r->code, num(1)) << where;
      EXPECT_EQ(r->word1, num(5)) << where;
      EXPECT_EQ(r->word2, num(6)) << where;
      EXPECT_EQ(r->flag2, num(7)) << where;
      EXPECT_EQ(r->extraKey, num(8)) << where;
      EXPECT_EQ(r->gated, num(9)) << where;
      ExpectPairs(r->size, r->altSize, Range(static_cast<std::uint16_t>(num(2))), where + " size");
      ExpectPairs(r->minSize, r->maxSize, Range(static_cast<std::uint16_t>(num(3))), where + " limits");
      ExpectPairs(r->margin1, r->margin2, Range(static_cast<std::uint16_t>(num(4))), where + " margins");
      break;
    }
    case 11: {
      auto* r = reinterpret_cast<const DeviceFontRecord*>(record);
      ExpectText(f[0].text, r->name, where);
      ExpectText(f[1].text, r->name2, where);
      ASSERT_EQ(r->faceCount, f[2].texts.size()) << where;
      for (WORD i = 0; i < r->faceCount; ++i) ExpectText(f[2].texts[i], r->faces[i], where + " faces");
      ASSERT_EQ(r->textCount2, f[3].texts.size()) << where;
      for (WORD i = 0; i < r->textCount2; ++i) ExpectText(f[3].texts[i], r->texts2[i], where + " texts2");
      ASSERT_EQ(r->dataSize, f[5].bytes.size()) << where;
      EXPECT_EQ(std::memcmp(r->data, f[5].bytes.data(), r->dataSize), 0) << where;
      EXPECT_EQ(r->gated, num(6)) << where;
      ASSERT_EQ(r->pairCount, f[7].values.size()) << where;
      for (WORD i = 0; i < r->pairCount; ++i) ExpectValue(f[7].values[i], r->pairs[i], where + " pairs");
      break;
    }
    case 12: {
      auto* r = reinterpret_cast<const PictureRecord*>(record);
      EXPECT_EQ(r->kind, num(0)) << where;
      EXPECT_EQ(r->width, num(1)) << where;
      EXPECT_EQ(r->height, num(2)) << where;
      ASSERT_EQ(r->dataSize + DDD_PICTURE_FILE_HEADER, f[4].bytes.size()) << where;
      EXPECT_EQ(std::memcmp(r->data, f[4].bytes.data() + DDD_PICTURE_FILE_HEADER, r->dataSize), 0) << where;
      break;
    }
    case 15: {
      auto* r = reinterpret_cast<const JobTemplate*>(record);
      EXPECT_EQ(r->item, num(0)) << where;
      ExpectConditions(f[1], r->conditions, where + " when");
      ExpectText(f[2].text, r->key, where + " key");
      ExpectText(f[3].text, r->value, where + " value");
      EXPECT_EQ(r->flags, num(4)) << where;
      break;
    }
    case 16: {
      auto* r = reinterpret_cast<const Type16Record*>(record);
      ExpectConditions(f[0], r->conditions, where + " when");
      EXPECT_EQ(r->byte1, num(1)) << where;
      EXPECT_EQ(r->byte2, num(2)) << where;
      ASSERT_EQ(r->dataSize, f[3].bytes.size()) << where;
      EXPECT_EQ(std::memcmp(r->data, f[3].bytes.data(), r->dataSize), 0) << where;
      break;
    }
    case 17: {
      auto* r = reinterpret_cast<const SizeRangeRecord*>(record);
      ExpectPairs(r->first, r->second, Range(m.key), where);
      break;
    }
    case 18: {
      auto* r = reinterpret_cast<const DataBlock*>(record);
      ASSERT_EQ(r->length, f[0].bytes.size()) << where;
      EXPECT_EQ(std::memcmp(r->data, f[0].bytes.data(), r->length), 0) << where;
      break;
    }
    case 19: {
      auto* r = reinterpret_cast<const MediaTypeRecord*>(record);
      ExpectText(f[0].text, r->name, where);
      EXPECT_EQ(r->value, num(1)) << where;
      ExpectText(f[2].text, r->name2, where + " name2");
      break;
    }
    case 20: {
      auto* r = reinterpret_cast<const DataArrayRecord*>(record);
      EXPECT_EQ(r->elementType, num(1)) << where;
      EXPECT_EQ(r->elementSize, num(2)) << where;
      ASSERT_EQ(r->count, f[4].integers.size()) << where;
      for (WORD i = 0; i < r->count; ++i) {
        std::uint64_t v = 0;
        for (WORD b = 0; b < r->elementSize; ++b) v |= static_cast<std::uint64_t>(r->elements[i * r->elementSize + b]) << (8 * b);
        EXPECT_EQ(v, static_cast<std::uint64_t>(f[4].integers[i])) << where;
      }
      break;
    }
    case 21: {
      auto* r = reinterpret_cast<const PresetRecord*>(record);
      ExpectText(f[0].text, r->name, where);
      ASSERT_EQ(r->count, f[1].presets.size()) << where;
      for (WORD i = 0; i < r->count; ++i) {
        EXPECT_EQ(r->entries[i].item, f[1].presets[i].item) << where;
        ExpectValue(f[1].presets[i].value, r->entries[i].value, where + " entry");
      }
      break;
    }
    case 22: {
      auto* r = reinterpret_cast<const ConditionRecord*>(record);
      EXPECT_EQ(r->selector, num(0)) << where;
      EXPECT_EQ(r->item, num(1)) << where;
      EXPECT_EQ(r->valueType, num(2)) << where;
      EXPECT_EQ(r->valueLength, num(2) == DDD_VALUE_FLAG ? 4u : num(3)) << where;
      EXPECT_EQ(r->deviceType, num(4)) << where;
      EXPECT_EQ(r->flags, num(5)) << where;
      EXPECT_EQ(r->index, num(6)) << where;
      ASSERT_EQ(r->names.count, f[7].texts.size()) << where;
      for (WORD i = 0; i < r->names.count; ++i) ExpectText(f[7].texts[i], r->names.items[i].text, where + " names");
      ASSERT_EQ(r->pairs.count, f[8].values.size()) << where;
      for (WORD i = 0; i < r->pairs.count; ++i) ExpectValue(f[8].values[i], r->pairs.items[i].value, where + " pairs");
      break;
    }
    case 23: {
      auto* r = reinterpret_cast<const TrayRuleRecord*>(record);
      ExpectConditions(f[0], r->conditions, where + " when");
      ASSERT_EQ(r->triples.count, f[1].triples.size()) << where;
      for (WORD i = 0; i < r->triples.count; ++i) {
        EXPECT_EQ(r->triples.items[i].first, f[1].triples[i][0]) << where;
        EXPECT_EQ(r->triples.items[i].second, f[1].triples[i][1]) << where;
        EXPECT_EQ(r->triples.items[i].third, f[1].triples[i][2]) << where;
      }
      break;
    }
    default: ADD_FAILURE() << "unexpected record type " << m.type;
  }
}

TEST_F(SampleDatabase, HeaderMatchesTheModel) {
  RecordHolder header;
  ASSERT_EQ(ReadDatabaseHeader(&main_, &header.record), kDbOk);
  auto* h = header.As<HeaderRecord>();
  EXPECT_EQ(h->h.type, DDD_RECORD_HEADER);
  EXPECT_EQ(Narrow(h->modelName), model_.modelName);
  EXPECT_EQ(Narrow(h->displayName), model_.displayName);
  EXPECT_EQ(Narrow(h->linkedName), model_.linkedName);
  EXPECT_EQ(h->major, 3);
  EXPECT_EQ(h->minor, 10);
  EXPECT_EQ(h->build, 1200);
  EXPECT_EQ(h->formatLevel, model_.level);
  EXPECT_EQ(main_.packedVersion, PackVersion(3, 10, 1200));
  EXPECT_EQ(main_.formatLevel, model_.level);
  EXPECT_EQ(main_.role, kDbRoleMain);
  EXPECT_TRUE(linked_.loaded);
  EXPECT_EQ(linked_.role, kDbRoleLinked);
  EXPECT_EQ(linked_.partner, &main_);
  EXPECT_EQ(linked_.pool, main_.pool);
}

TEST_F(SampleDatabase, EverySectionReadsBackWhatTheModelSays) {
  for (DWORD id = 1; id < DDD_SECTION_COUNT; ++id) {
    const SectionTableRow& row = DDD_SECTION_TABLE[id];
    const DddSection& s = model_.sections[id];
    std::string where = "section " + std::to_string(id);
    if (row.size == DDD_SIZE_IN_FILE) {
      WORD count = static_cast<WORD>(row.count == DDD_COUNT_IN_FILE ? s.texts.size() : 1);
      EXPECT_EQ(GetSectionCount(&main_, id), count) << where;
      for (WORD i = 0; i < count; ++i) {
        LPWSTR text = nullptr;
        ASSERT_EQ(ReadSectionString(&main_, id, i, &text), kDbOk) << where;
        ExpectText(s.given ? s.texts[i] : DddText{}, text, where);
        ReleaseGlobalBlock(text);
      }
      LPWSTR beyond = nullptr;
      EXPECT_EQ(ReadSectionString(&main_, id, count, &beyond), kDbFailed) << where;
      EXPECT_EQ(beyond, nullptr);
    } else if (row.count == DDD_COUNT_IN_FILE) {
      WORD count = 0;
      BYTE* block = nullptr;
      ASSERT_EQ(ReadSectionBytes(&main_, id, row.size, &count, &block), kDbOk) << where;
      ASSERT_EQ(count, s.numbers.size()) << where;
      for (WORD i = 0; i < count; ++i) {
        DWORD v = 0;
        std::memcpy(&v, block + i * row.size, row.size);
        EXPECT_EQ(v, s.numbers[i]) << where;
        EXPECT_EQ(ReadSectionValue(&main_, id, row.size, i), s.numbers[i]) << where;
      }
      ReleaseGlobalBlock(block);
    } else {
      EXPECT_EQ(ReadSectionValue(&main_, id, row.size, 0), s.given ? s.numbers[0] : 0) << where;
    }
  }
}

TEST_F(SampleDatabase, HeaderAndDriverTextsNameTheModelsFiles) {
  const char* expected[kDbHeaderTextKinds] = {"",           "qvcolor.dat", "qorvexgr.dll", "qvjobattr.dll",
                                                "qvcolor.dll", "",            "qvdevq.dll",   "QX-4500",
                                                "public",     "",            "",             "",
                                                "qvdraw?s.dll", "C:\\Qorvex\\QX4500\\"};
  for (WORD kind = 0; kind < kDbHeaderTextKinds; ++kind) {
    LPWSTR text = nullptr;
    ASSERT_EQ(ReadHeaderText(&main_, kind, &text), kDbOk) << kind;
    EXPECT_EQ(Narrow(text), expected[kind]) << kind;
    ReleaseGlobalBlock(text);
  }
  LPWSTR text = nullptr;
  EXPECT_EQ(ReadHeaderText(&main_, kDbHeaderTextKinds, &text), kDbFailed);
  EXPECT_EQ(ReadDriverText(&main_, kDbDriverTextRegistryBase, &text), kDbOk);
  EXPECT_EQ(Narrow(text), "SOFTWARE\\Qorvex\\QX-4500");
  ReleaseGlobalBlock(text);
  EXPECT_EQ(ReadDriverText(&main_, kDbDriverTextUserBase, &text), kDbOk);
  EXPECT_EQ(Narrow(text), "Software\\Qorvex\\QX-4500\\Users\\");
  ReleaseGlobalBlock(text);
  EXPECT_EQ(ReadDriverText(&main_, 2, &text), kDbFailed);
  EXPECT_EQ(text, nullptr);
}

TEST_F(SampleDatabase, EveryRecordReadsBackByPositionAndByKey) {
  std::map<std::uint16_t, WORD> position;
  for (const DddRecord& m : model_.records) {
    WORD n = ++position[m.type];
    for (BOOL withData : {FALSE, TRUE}) {
      RecordHolder byPosition;
      ASSERT_EQ(ReadRecord(withData, &main_, &linked_, m.type, n, &byPosition.record), kDbOk) << m.type << " " << n;
      if (withData || (m.type != 11 && m.type != 12 && m.type != 13 && m.type != 14)) Compare(m, byPosition.record);
    }
    RecordHolder byKey;
    ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, m.type, m.key, 0, &byKey.record), kDbOk) << m.type << " " << m.key;
    if (m.type != 9 && m.type != 11 && m.type != 15 && m.type != 16 && m.type != 20 && m.type != 22 && m.type != 23)
      Compare(m, byKey.record);  // types read by position only may share keys
  }
  for (const auto& [type, count] : position) {
    EXPECT_EQ(CountRecords(&main_, type), count) << type;
    RecordHolder beyond;
    EXPECT_EQ(ReadRecord(TRUE, &main_, &linked_, type, static_cast<WORD>(count + 1), &beyond.record), kDbAbsent);
  }
}

TEST_F(SampleDatabase, ChoiceEntriesOfAListAndWhatTheyNeedWithoutData) {
  // Choice 2 of the paper list (item 8) is the entry named by its second choice key.
  RecordHolder entry;
  ASSERT_EQ(ReadKeyedRecord(FALSE, &main_, &linked_, 4, 8, 2, &entry.record), kDbOk);
  auto* e = entry.As<ChoiceEntryRecord>();
  EXPECT_EQ(e->h.type, 14);
  EXPECT_EQ(Narrow(e->name), "Tabloid");
  EXPECT_EQ(e->rules.count, 0);  // lists are skipped without data, the value is not
  ASSERT_TRUE(e->value.present);
  EXPECT_EQ(ValueAt<SHORT>(e->value.value), 3);
  RecordHolder beyond;
  EXPECT_EQ(ReadKeyedRecord(FALSE, &main_, &linked_, 4, 8, 38, &beyond.record), kDbAbsent);
  RecordHolder custom;
  ASSERT_EQ(ReadKeyedRecord(FALSE, &main_, &linked_, 4, 8, 35, &custom.record), kDbOk);
  EXPECT_EQ(custom.As<ChoiceEntryRecord>()->range.key, 0);  // kept on a full read only
  RecordHolder flag;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 3, 4103, 2, &flag.record), kDbOk);
  EXPECT_EQ(flag.record->h.type, 13);
  EXPECT_EQ(ValueAt<DWORD>(flag.As<ChoiceEntryRecord>()->value.value), 1u);
}

TEST_F(SampleDatabase, AccessorsAnswerForTheirTypesOnly) {
  RecordHolder paper, source, font, preset, query;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 10, 9, 0, &paper.record), kDbOk);
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 5, 4, 0, &source.record), kDbOk);
  ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 11, 1, &font.record), kDbOk);
  ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 21, 2, &preset.record), kDbOk);
  ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 22, 2, &query.record), kDbOk);
  EXPECT_EQ(Narrow(GetRecordName(paper.record)), "A4");
  EXPECT_EQ(GetRecordName(preset.record), nullptr);
  SizePairElement a{}, b{};
  ASSERT_EQ(GetPaperRecordSize(paper.record, &a), kDbOk);
  EXPECT_EQ(a.width, 2100);
  EXPECT_EQ(a.length, 2970);
  EXPECT_EQ(GetPaperRecordSize(source.record, &a), kDbFailed);
  ASSERT_EQ(GetPaperRecordMargins(paper.record, &a, &b), kDbOk);
  EXPECT_EQ(a.width, 42);
  ASSERT_EQ(GetSourceMaxCustomSize(source.record, &b), kDbOk);
  EXPECT_EQ(b.length, 12000);
  KeyElement k{};
  ASSERT_EQ(GetSourcePaperEntry(source.record, 37, &k), kDbOk);
  EXPECT_EQ(k.key, 263);
  EXPECT_EQ(GetSourcePaperEntry(source.record, 38, &k), kDbAbsent);
  WORD attribute = 0;
  ASSERT_EQ(GetSourceEntryAttribute(source.record, 30, &attribute), kDbOk);
  EXPECT_EQ(attribute, 3);
  LPCWSTR face = nullptr;
  ASSERT_EQ(GetFontRecordText(font.record, 2, &face), kDbOk);
  EXPECT_EQ(Narrow(face), "Courier");
  EXPECT_EQ(GetFontRecordText(font.record, 3, &face), kDbAbsent);
  WORD count = 0, length = 0, item = 0, gated = 0;
  BYTE type = 0;
  const void* value = nullptr;
  ASSERT_EQ(GetPairListCount(query.record, &count), kDbOk);
  EXPECT_EQ(count, 4);
  ASSERT_EQ(GetPairListEntry(query.record, 2, &length, &type, &value), kDbOk);
  EXPECT_EQ(type, DDD_VALUE_UINT16);
  EXPECT_EQ(ValueAt<WORD>(value), 3);
  EXPECT_EQ(GetPairListEntry(query.record, 0, &length, &type, &value), kDbAbsent);
  LPCWSTR name = nullptr;
  ASSERT_EQ(GetNameListEntry(query.record, 2, &name), kDbOk);
  EXPECT_EQ(Narrow(name), "Tray3");
  EXPECT_EQ(GetNameListEntry(query.record, 3, &name), kDbFailed);
  ASSERT_EQ(GetVersionGatedField(query.record, &gated), kDbOk);
  EXPECT_EQ(gated, 0x41);
  ASSERT_EQ(GetType21Count(preset.record, &count), kDbOk);
  EXPECT_EQ(count, 3);
  ASSERT_EQ(GetType21Entry(preset.record, 3, &item, &length, &type, &value), kDbOk);
  EXPECT_EQ(item, 14);
  EXPECT_EQ(ValueAt<DWORD>(value), 19661100u);
  EXPECT_EQ(GetType21Entry(preset.record, 4, &item, &length, &type, &value), kDbAbsent);
}

TEST_F(SampleDatabase, PicturesDataBlocksAndReferencedArrays) {
  WORD width = 0, height = 0;
  DWORD size = 0;
  BYTE* model = ReadModelPictureRecord(&main_, &linked_, &width, &height, &size);
  ASSERT_NE(model, nullptr);
  EXPECT_EQ(width, 32);
  EXPECT_EQ(height, 24);
  EXPECT_EQ(ValueAt<DWORD>(model), 40u);  // BITMAPINFOHEADER follows the file header
  ReleaseGlobalBlock(model);

  RecordHolder ref;
  ASSERT_EQ(ReadRecord(FALSE, &main_, &linked_, 9, 2, &ref.record), kDbOk);
  BYTE* picture = nullptr;
  ASSERT_EQ(ReadPictureOfRecord(&main_, &linked_, ref.record, &width, &height, &picture, &size), kDbOk);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 12);
  EXPECT_EQ(size, 630u - DDD_PICTURE_FILE_HEADER);
  ReleaseGlobalBlock(picture);

  RecordHolder portrait;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 14, 1, 0, &portrait.record), kDbOk);
  DataBlock* block = nullptr;
  ASSERT_EQ(ReadDataBlockOfRecord(&main_, &linked_, portrait.record, &block), kDbOk);
  EXPECT_EQ(block->h.type, DDD_KIND_DATA_BLOCK);
  ASSERT_EQ(block->length, 2);
  EXPECT_EQ(block->data[0], 0x5a);
  DatabaseRecord* asRecord = reinterpret_cast<DatabaseRecord*>(block);
  EXPECT_EQ(FreeRecord(&asRecord, kDbAnyType), kDbOk);
  RecordHolder noBlock;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 14, 3, 0, &noBlock.record), kDbOk);
  EXPECT_EQ(ReadDataBlockOfRecord(&main_, &linked_, noBlock.record, &block), kDbAbsent);

  // Rule 1 tests the paper against the envelope array (array 1).
  RecordHolder rule;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 7, 1, 0, &rule.record), kDbOk);
  StoredValue& v = reinterpret_cast<ConstraintRecord*>(rule.record)->conditions.items[0].test.value;
  ASSERT_EQ(v.type, DDD_VALUE_REFERENCE);
  ASSERT_EQ(LoadReferencedValue(&v, &main_), kDbOk);
  EXPECT_EQ(v.type, DDD_VALUE_INT16);
  EXPECT_EQ(v.length, 2);
  ASSERT_EQ(v.count, 15);
  EXPECT_EQ(ValueAt<SHORT>(v.value, 1), 20);
}

}  // namespace
