// The reader on databases built in-process: fields that exist only from a format level, the
// level belonging to each database rather than to the process, opening rules, stored texts
// and string libraries, values, and the edge cases of sections and the directory.
#include <cstring>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/database_fixture.h"
#include "tools/qrc/qrs_builder.h"

namespace {

// A model holding every record type whose fields depend on the format level; the gated
// fields are given only where the level has them.
std::string LevelModel(DWORD level, const char* version = "T:1.0.0") {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", level);
  auto at = [&](DWORD l, const std::string& field) { return level >= l ? " " + field : std::string(); };
  std::string m = std::string("model \"L\"\nversion \"") + version + "\"\nlevel " + buf + "\n";
  m += "sizerange 1 first=100x200 second=300x400\nsizerange 2 first=5x6 second=7x8\n";
  m += "paper 9 name=\"A4\" code=8 size=1 limits=1 margins=2 word1=11 word2=12" + at(0x200, "flag2=3 extra=2") +
       at(0x500, "gated=77") + "\n";
  m += "source 1 name=\"Tray\" range=1 code=4 papers=[9] attributes=[1]" + at(0x200, "flags=5") + at(0x400, "name2=\"T2\"") +
       "\n";
  m += "list 8 name=\"Paper\" kind=1 default=1 choices=[1]" + at(0x400, "name2=\"P2\"") + "\n";
  m += "choice 1 name=\"A4\" reftype=10 refkey=9 value=i16:9\n";
  m += "font 1 name=\"F\" faces=[\"Face\"] data=hex:0102" + at(0x100, "gated=66") + at(0x400, "pairs=[u16:1 u16:2]") + "\n";
  m += "jobtemplate 1 item=16 key=\"@PJL SET DUPLEX=\"" + at(0x500, "flags=1") + "\n";
  if (level >= 0x200) m += "mediatype 1 name=\"Plain\" value=4" + at(0x400, "name2=\"M2\"") + "\n";
  m += "preset 1 name=\"P\" entries=[(16 i16:2)]\n";
  m += "devicequery 1 item=4103 type=1 length=1" + at(0x1000, "flags=0x80") + " index=3 pairs=[u16:1 u16:2]\n";
  return m;
}

class DatabaseFormat : public DatabaseTest {};

TEST_F(DatabaseFormat, RecordsRoundTripAtEveryFormatLevel) {
  for (DWORD level : {0x0u, 0x100u, 0x200u, 0x300u, 0x400u, 0x500u, 0x1000u, 0x1600u}) {
    SCOPED_TRACE(level);
    ASSERT_EQ(OpenText(LevelModel(level)), kDbOk);
    EXPECT_EQ(main_.formatLevel, level);
    WORD field = 0;
    {
      RecordHolder paper;
      ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 10, 9, 0, &paper.record), kDbOk);
      auto* p = paper.As<PaperRecord>();
      EXPECT_EQ(p->word2, 12);
      EXPECT_EQ(p->flag2, level >= 0x200 ? 3 : 0);
      EXPECT_EQ(p->extra1.width, level >= 0x200 ? 5 : 0);  // below 0x200 the further pairs are zero
      EXPECT_EQ(p->extra2.length, level >= 0x200 ? 8 : 0);
      EXPECT_EQ(GetVersionGatedField(paper.record, &field), level >= 0x500 ? kDbOk : kDbFailed);
      if (level >= 0x500) {

        EXPECT_EQ(field, 77);

      }
    }
    {
      RecordHolder source;
      ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 5, 1, 0, &source.record), kDbOk);
      auto* s = source.As<PaperSourceRecord>();
      EXPECT_EQ(s->flags, level >= 0x200 ? 5 : 0);
      EXPECT_EQ(Narrow(s->name2), level >= 0x400 ? "T2" : "");
      EXPECT_EQ(s->attributes.items[0].key, 1);
    }
    {
      RecordHolder list;
      ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 4, 8, 0, &list.record), kDbOk);
      EXPECT_EQ(Narrow(list.As<ChoiceListRecord>()->name2), level >= 0x400 ? "P2" : "");
    }
    {
      RecordHolder font;
      ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 11, 1, &font.record), kDbOk);
      EXPECT_EQ(GetVersionGatedField(font.record, &field), level >= 0x100 ? kDbOk : kDbFailed);
      WORD count = 9;
      ASSERT_EQ(GetPairListCount(font.record, &count), kDbOk);
      EXPECT_EQ(count, level >= 0x400 ? 2 : 0);
      const BYTE* data = nullptr;
      DWORD size = 0;
      ASSERT_EQ(GetFontRecordInfo(font.record, &data, &size), kDbOk);
      EXPECT_EQ(size, 2u);
    }
    {
      RecordHolder job;
      ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 15, 1, &job.record), kDbOk);
      EXPECT_EQ(Narrow(GetJobTemplateKey(job.record)), "@PJL SET DUPLEX=");
      EXPECT_EQ(GetJobTemplateValue(job.record), nullptr);
      EXPECT_EQ(GetVersionGatedField(job.record, &field), level >= 0x500 ? kDbOk : kDbFailed);
    }
    {
      RecordHolder media;
      EXPECT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 19, 1, 0, &media.record), level >= 0x200 ? kDbOk : kDbAbsent);
      BYTE value = 0;
      if (level >= 0x200) {
        ASSERT_EQ(GetType19Value(media.record, &value), kDbOk);
        EXPECT_EQ(value, 4);
      }
    }
    {
      RecordHolder preset;
      ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 21, 1, &preset.record), kDbOk);
      WORD count = 0;
      EXPECT_EQ(GetType21Count(preset.record, &count), level >= 0x300 ? kDbOk : kDbFailed);
    }
    {
      RecordHolder query;
      ASSERT_EQ(ReadRecord(TRUE, &main_, &linked_, 22, 1, &query.record), kDbOk);
      auto* q = query.As<ConditionRecord>();
      EXPECT_EQ(q->valueLength, 4);  // a flag value is held in 32 bits
      EXPECT_EQ(q->index, 3);
      EXPECT_EQ(GetVersionGatedField(query.record, &field), level >= 0x1000 ? kDbOk : kDbFailed);
      if (level >= 0x1000) {

        EXPECT_EQ(field, 0x80);

      }
    }
    CloseDatabaseStreams(&main_, &linked_);
  }
}

TEST_F(DatabaseFormat, EachRecordIsJudgedByTheLevelOfItsOwnDatabase) {
  ASSERT_EQ(Open(Install(Build(LevelModel(0x100)), u"OLD.DDD")), kDbOk);
  DatabaseStream newer = {}, newerLinked = {};
  ASSERT_EQ(OpenDescriptionDatabase(Install(Build(LevelModel(0x500)), u"NEW.DDD").c_str(), 0, &newer, &newerLinked), kDbOk);
  RecordHolder oldPaper, newPaper;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 10, 9, 0, &oldPaper.record), kDbOk);
  ASSERT_EQ(ReadKeyedRecord(TRUE, &newer, &newerLinked, 10, 9, 0, &newPaper.record), kDbOk);
  WORD field = 0;
  EXPECT_EQ(GetVersionGatedField(oldPaper.record, &field), kDbFailed);  // opened first, still 0x100
  EXPECT_EQ(GetVersionGatedField(newPaper.record, &field), kDbOk);
  EXPECT_EQ(field, 77);
  FreeRecord(&newPaper.record, kDbAnyType);
  CloseDatabaseStreams(&newer, &newerLinked);
}

struct OpenCase {
  const char16_t* name;
  const char* version;
  WORD status;
};

TEST_F(DatabaseFormat, OpeningChecksExtensionVersionAndLinkedDatabase) {
  const OpenCase cases[] = {
      {u"A.ddd", "T:1.0.0", kDbOk},
      {u"A.DdD", "T:1.0.0", kDbOk},
      {u"A.DDX", "T:1.0.0", kDbFailed},
      {u"ADDD", "T:1.0.0", kDbFailed},
      {u"A.DDD.bak", "T:1.0.0", kDbFailed},
      {u"A.DDD", "T1.0.0", kDbFailed},         // no ":"
      {u"A.DDD", "T:256.0.0", kDbFailed},      // major above 255
      {u"A.DDD", "T:1.256.0", kDbFailed},      // minor above 255
      {u"A.DDD", "T:1.2.65536", kDbFailed},    // build above 65535
      {u"A.DDD", "T:4294967297.0.0", kDbFailed},  // would wrap to 1 in 32 bits
      {u"A.DDD", "T:1.2.", kDbFailed},         // ends before the build
      {u"A.DDD", "T:1.2.65535", kDbOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(reinterpret_cast<LPCWSTR>(c.name)) + " " + c.version);
    DddImage image = Build(LevelModel(0x1600));
    std::memset(&image.main[DDD_VERSION_OFFSET], 0, DDD_VERSION_TEXT_SIZE);
    std::memcpy(&image.main[DDD_VERSION_OFFSET], c.version, std::strlen(c.version));
    EXPECT_EQ(Open(Install(image, c.name)), c.status);
    EXPECT_EQ(main_.loaded, c.status == kDbOk);
    if (c.status == kDbOk) {

      EXPECT_EQ(main_.packedVersion, PackVersion(1, c.version[4] == '2' ? 2 : 0, c.version[4] == '2' ? 65535 : 0));

    }
    CloseDatabaseStreams(&main_, &linked_);
  }
  EXPECT_EQ(PackVersion(1, 2, 65535), (1u << 24) + (2u << 16) + 65535u);
  EXPECT_EQ(Open(u"C:\\models\\MISSING.DDD"), kDbFailed);
  EXPECT_EQ(OpenDescriptionDatabase(nullptr, 0, &main_, &linked_), kDbFailed);
  WriteHostFile(u"C:\\models\\EMPTY.DDD", {});
  EXPECT_EQ(Open(u"C:\\models\\EMPTY.DDD"), kDbFailed);
  DddImage shortHeader = Build(LevelModel(0x1600));
  shortHeader.main.resize(DDD_HEADER_SIZE - 1);
  EXPECT_EQ(Open(Install(shortHeader, u"SHORT.DDD")), kDbFailed);
}

TEST_F(DatabaseFormat, LinkedDatabaseIsOpenedBesideTheMainFile) {
  DddImage image = Build(LevelModel(0x1600) + "linked \"L.DAT\"\nsizerange 50 linked first=1x2 second=3x4\n");
  std::u16string path = Install(image);
  ASSERT_EQ(Open(path), kDbOk);
  EXPECT_TRUE(linked_.loaded);
  RecordHolder range;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 17, 50, 0, &range.record), kDbOk);
  EXPECT_EQ(range.record->h.database, DDD_DATABASE_LINKED);
  EXPECT_EQ(range.As<SizeRangeRecord>()->second.length, 4);
  FreeRecord(&range.record, kDbAnyType);
  EXPECT_EQ(CloseDatabaseStreams(&main_, &linked_), kDbOk);
  // A missing linked database fails the whole open and leaves nothing loaded.
  DeleteFileW(u"C:\\models\\L.DAT");
  EXPECT_EQ(Open(path), kDbFailed);
  EXPECT_FALSE(main_.loaded);
  EXPECT_FALSE(linked_.loaded);
  // Without a linked name the main file opens alone; closing answers 1 for the empty stream.
  ASSERT_EQ(OpenText(LevelModel(0x1600)), kDbOk);
  EXPECT_FALSE(linked_.loaded);
  EXPECT_EQ(CloseDatabaseStreams(&main_, &linked_), kDbFailed);
  EXPECT_EQ(ReleaseStream(&main_), kDbFailed);
}

TEST_F(DatabaseFormat, SectionAndDirectoryEdgeCases) {
  ASSERT_EQ(OpenText(LevelModel(0x1600) + "section 4 999\nsection 36 [\"a\" \"b\"]\nsection 34 [7 8]\n"), kDbOk);
  EXPECT_EQ(ReadSectionValue(&main_, 4, 2, 0), 999u);
  EXPECT_EQ(ReadSectionValue(&main_, 4, 2, 2), 999u);  // beyond the count: element 0
  EXPECT_EQ(ReadSectionValue(&main_, 34, 2, 1), 8u);
  EXPECT_EQ(ReadSectionValue(&main_, 34, 2, 5), 7u);
  EXPECT_EQ(ReadSectionValue(&main_, 41, 2, 0), 0u);
  EXPECT_EQ(ReadSectionValue(&main_, 40, 2, 0), 0u);
  EXPECT_EQ(ReadSectionValue(&main_, 4, 8, 0), 0u);  // wider than the answer
  EXPECT_EQ(LocateSection(&main_, 40), nullptr);
  LPWSTR text = nullptr;
  EXPECT_EQ(ReadSectionString(&main_, 36, 8, &text), kDbFailed);
  EXPECT_EQ(ReadSectionString(&main_, 4, 0, &text), kDbFailed);  // not a text section
  EXPECT_EQ(ReadHeaderText(&main_, 14, &text), kDbFailed);
  EXPECT_EQ(ReadHeaderText(&main_, 10, &text), kDbFailed);  // section 36 holds two texts only
  EXPECT_EQ(ReadSectionStringOrNull(&main_, 36, 2), nullptr);
  LPWSTR b = ReadSectionStringOrNull(&main_, 36, 1);
  EXPECT_EQ(Narrow(b), "b");
  ReleaseGlobalBlock(b);
  for (WORD type : {1, 2, 24}) EXPECT_EQ(CountRecords(&main_, type), 0) << type;
  RecordHolder none;
  EXPECT_EQ(ReadRecord(TRUE, &main_, &linked_, 10, 0, &none.record), kDbFailed);
  EXPECT_EQ(ReadRecord(TRUE, &main_, &linked_, 10, 2, &none.record), kDbAbsent);
  EXPECT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 10, 8, 0, &none.record), kDbAbsent);
  EXPECT_EQ(ReadRecord(TRUE, &main_, &linked_, 24, 1, &none.record), kDbAbsent);
  EXPECT_EQ(ParseRecord(TRUE, &main_, &main_, &linked_, 2, &none.record), kDbFailed);
  EXPECT_EQ(none.record, nullptr);
  // A record freed as another type stays with its owner.
  RecordHolder paper;
  ASSERT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 10, 9, 0, &paper.record), kDbOk);
  EXPECT_EQ(FreeRecord(&paper.record, 5), kDbFailed);
  EXPECT_NE(paper.record, nullptr);
}

TEST_F(DatabaseFormat, StoredValuesAndReferencedArrays) {
  ASSERT_EQ(OpenText(LevelModel(0x1600) +
                     "array 1 type=1 size=1 values=[1 0 7]\narray 2 type=10 size=4 values=[-5 6]\n"
                     "array 3 type=3 size=2 values=[4 5]\n"
                     "choice 2 value=flag:7\nchoice 3 value=raw1:0700 block=0\nchoice 4 value=array:1\n"
                     "choice 5 value=array:2\nchoice 6 value=array:3\nchoice 7 value=l32:-9\nchoice 8 value=none\n"
                     ),
            kDbOk);
  auto value = [&](WORD key, RecordHolder& holder) -> StoredValue& {
    EXPECT_EQ(ReadKeyedRecord(TRUE, &main_, &linked_, 14, key, 0, &holder.record), kDbOk);
    return reinterpret_cast<ChoiceEntryRecord*>(holder.record)->value;
  };
  RecordHolder r2, r3, r4, r5, r6, r7, r8;
  EXPECT_EQ(ValueAt<DWORD>(value(2, r2).value), 1u);  // any non-zero flag byte reads 1
  EXPECT_EQ(ValueAt<DWORD>(value(3, r3).value), 1u);  // both bytes consumed, block still read
  EXPECT_EQ(r3.As<ChoiceEntryRecord>()->block.key, 0);
  StoredValue& flags = value(4, r4);
  ASSERT_EQ(LoadReferencedValue(&flags, &main_), kDbOk);
  EXPECT_EQ(flags.type, DDD_VALUE_FLAG);
  EXPECT_EQ(flags.length, 4);  // widened: walkers stride by 4
  ASSERT_EQ(flags.count, 3);
  EXPECT_EQ(ValueAt<DWORD>(flags.value, 2), 1u);
  StoredValue& longs = value(5, r5);
  ASSERT_EQ(LoadReferencedValue(&longs, &main_), kDbOk);
  EXPECT_EQ(ValueAt<LONG>(longs.value, 0), -5);
  StoredValue& words = value(6, r6);
  ASSERT_EQ(LoadReferencedValue(&words, &main_), kDbOk);
  EXPECT_EQ(words.owned, FALSE);  // points into the file
  EXPECT_EQ(ValueAt<WORD>(words.value, 1), 5);
  EXPECT_EQ(LoadReferencedValue(&words, &main_), kDbFailed);  // no longer a reference
  EXPECT_EQ(ValueAt<LONG>(value(7, r7).value), -9);
  EXPECT_FALSE(value(8, r8).present);
}

TEST_F(DatabaseFormat, PlainTextsAndTheirCodePage) {
  ASSERT_EQ(OpenText(LevelModel(0x1600) + "section 29 \"abcd\\xFF\"\nsection 31 \"Gr\\xFC\\xDFe\"\n"), kDbOk);
  LPWSTR text = nullptr;
  ASSERT_EQ(ReadSectionString(&main_, 29, 0, &text), kDbOk);  // five bytes ending in 0: plain
  EXPECT_EQ(std::u16string(text), u"abcd\u00FF");
  ReleaseGlobalBlock(text);
  ASSERT_EQ(ReadSectionString(&main_, 31, 0, &text), kDbOk);
  EXPECT_EQ(std::u16string(text), u"Gr\u00FC\u00DFe");
  ReleaseGlobalBlock(text);
}

// String libraries made in the test, in the module's directory (the driver directory: the
// module directory is found once per process).
class DatabaseStrings : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    SimSetHostModulePath((std::u16string(SimDriverDirectory()) + u"\\qvtest.exe").c_str());
  }
  static std::u16string InDriver(const char16_t* name) { return std::u16string(SimDriverDirectory()) + u"\\" + name; }
  static void WriteLibrary(const std::u16string& path, std::initializer_list<std::pair<UINT, const char16_t*>> strings) {
    QrsBuilder builder;
    std::string error;
    for (const auto& [id, text] : strings) ASSERT_TRUE(builder.AddString(id, text, error)) << error;
    WriteHostFile(path, builder.Build());
  }
  static std::string Model() {
    return LevelModel(0x1600) +
           "section 35 [\"lib1.qrs\" \"lib2.qrs\"]\n"
           "section 29 str(1 7)\nsection 31 str(2 3)\nsection 32 str(1 9)\nsection 37 str(2 3 \"x\")\n";
  }
  std::u16string Read(DWORD section) {
    LPWSTR text = nullptr;
    EXPECT_EQ(ReadSectionString(&main_, section, 0, &text), kDbOk);
    std::u16string out = text ? text : u"(null)";
    ReleaseGlobalBlock(text);
    return out;
  }
};

TEST_F(DatabaseStrings, ReferencesReadTheirLibrariesPrimaryKeptOthersPerText) {
  WriteLibrary(InDriver(u"lib1.qrs"), {{7, u"Paper Size"}});
  WriteLibrary(InDriver(u"lib2.qrs"), {{3, u"Tray 3"}});
  ASSERT_EQ(OpenText(Model()), kDbOk);
  EXPECT_EQ(Read(29), u"Paper Size");
  EXPECT_EQ(Read(29), u"Paper Size");
  EXPECT_EQ(Read(32), u"");  // an id the library lacks: an empty text
  EXPECT_EQ(SimModuleLoadCount(u"lib1.qrs"), 1);
  EXPECT_EQ(SimModuleFreeCount(u"lib1.qrs"), 0);
  EXPECT_EQ(Read(31), u"Tray 3");
  EXPECT_EQ(Read(37), u"Tray 3");
  EXPECT_EQ(SimModuleLoadCount(u"lib2.qrs"), 2);
  EXPECT_EQ(SimModuleFreeCount(u"lib2.qrs"), 2);
  CloseDatabaseStreams(&main_, &linked_);
  EXPECT_EQ(SimModuleFreeCount(u"lib1.qrs"), 1);  // freed with the pool
}

TEST_F(DatabaseStrings, MissingPrimaryLibrarySwitchesThePoolToPlainTexts) {
  WriteLibrary(InDriver(u"lib2.qrs"), {{3, u"Tray 3"}});
  ASSERT_EQ(OpenText(Model()), kDbOk);
  EXPECT_EQ(Read(31), u"Tray 3");  // library 2 is there
  // Library 1 is not: the text is the complement of its stored bytes, which begin with the
  // complemented NUL of an empty prefix.
  EXPECT_EQ(Read(29), u"");
  EXPECT_FALSE(main_.pool->referencesEnabled);
  EXPECT_EQ(Read(37), u"x\u00FD\u00FF\u00FC\u00FF\u00FF");  // now even library 2 texts are plain
  EXPECT_EQ(SimModuleLoadCount(u"lib2.qrs"), 1);
}

}  // namespace
