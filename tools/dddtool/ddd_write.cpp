// DddModel -> main and linked database bytes, written field by field in the layout of
// core/database/dblayout.h. The main file holds the header, the 40 sections, the record directory, the
// 21 type tables and its records; the linked file holds a header of its own and its records
// (the main directory lists them).
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>

#include "platform/base/byte_order.h"
#include "tools/dddtool/ddd_model.h"
#include "tools/dddtool/ddd_syntax.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct BuildError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", v);
  return buf;
}

void PutLe(Bytes& out, std::uint64_t v, unsigned size) { AppendLe(out, v, size); }

void PatchLe32(Bytes& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Checks the version text the way the reader parses it: "...:major?minor?build".
bool IsVersionTextValid(const std::string& text) {
  std::size_t i = text.find(':');
  if (i == std::string::npos) return false;
  ++i;
  const std::uint32_t limits[3] = {DDD_VERSION_MAJOR_MAX, DDD_VERSION_MINOR_MAX, DDD_VERSION_BUILD_MAX};
  for (int part = 0; part < 3; ++part) {
    if (part == 2 && i >= text.size()) return false;
    std::uint32_t v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      v = v * 10 + static_cast<std::uint32_t>(text[i] - '0');
      if (v > limits[part]) return false;
      ++i;
    }
    if (part < 2) {
      if (i >= text.size()) return false;
      ++i;  // separator
    }
  }
  return true;
}

class Writer {
 public:
  explicit Writer(const DddModel& model) : model_(model) {
    for (const auto& r : model.records) {
      ++counts_[r.type];
      keys_.insert({r.type, r.key});
    }
  }

  DddImage Build() {
    CheckHeader();
    DddImage image;
    Bytes& main = image.main;
    WriteHeader(main, model_.linkedName);
    std::size_t directoryField = WriteSections(main);

    // Encode every record body first, grouped by directory row in model order.
    std::vector<std::vector<const DddRecord*>> byRow(DDD_DIRECTORY_ROWS);
    for (const auto& r : model_.records) {
      int row = FindDirectoryRow(r.type);
      if (row < 0) throw BuildError("record type " + std::to_string(r.type) + " cannot be stored");
      byRow[row].push_back(&r);
    }
    std::vector<std::vector<Bytes>> bodies(DDD_DIRECTORY_ROWS);
    for (std::uint32_t row = 0; row < DDD_DIRECTORY_ROWS; ++row) {
      std::set<std::uint16_t> seen;
      for (std::size_t pos = 0; pos < byRow[row].size(); ++pos) {
        const DddRecord& r = *byRow[row][pos];
        current_ = &r;
        if (IsKeyPositionType(r.type) && r.key != pos + 1)
          Fail("key must equal its position " + std::to_string(pos + 1) + " among the records of its type");
        if (IsKeyedType(r.type) && !seen.insert(r.key).second) Fail("key is used twice");
        if (r.linked && model_.linkedName.empty()) Fail("lies in the linked database, but the model names none");
        bodies[row].push_back(EncodeRecord(r));
      }
    }
    current_ = nullptr;

    // Directory, then the type tables, then the main file's records.
    std::size_t directory = main.size();
    PatchLe32(main, directoryField, static_cast<std::uint32_t>(directory - DDD_DIRECTORY_BASE));
    main.resize(main.size() + DDD_DIRECTORY_PREFIX, 0);
    std::size_t rows = main.size();
    main.resize(main.size() + DDD_DIRECTORY_ROWS * DDD_DIRECTORY_ROW_SIZE, 0);
    std::vector<std::size_t> tableAt(DDD_DIRECTORY_ROWS);
    for (std::uint32_t row = 0; row < DDD_DIRECTORY_ROWS; ++row) {
      tableAt[row] = main.size();
      PatchLe32(main, rows + row * DDD_DIRECTORY_ROW_SIZE + DDD_DIRECTORY_ROW_SPARE, static_cast<std::uint32_t>(main.size()));
      main.resize(main.size() + DDD_TYPETABLE_PREFIX, 0);
      PutLe(main, byRow[row].size(), 2);
      main.resize(main.size() + byRow[row].size() * DDD_TYPETABLE_ROW_SIZE, 0);
    }
    if (!model_.linkedName.empty()) WriteHeader(image.linked, "");
    for (std::uint32_t row = 0; row < DDD_DIRECTORY_ROWS; ++row) {
      for (std::size_t pos = 0; pos < byRow[row].size(); ++pos) {
        const DddRecord& r = *byRow[row][pos];
        Bytes& file = r.linked ? image.linked : main;
        std::size_t at = tableAt[row] + DDD_TYPETABLE_PREFIX + 2 + pos * DDD_TYPETABLE_ROW_SIZE;
        main[at] = r.linked ? DDD_DATABASE_LINKED : DDD_DATABASE_MAIN;
        main[at + 1] = static_cast<std::uint8_t>(r.key);
        main[at + 2] = static_cast<std::uint8_t>(r.key >> 8);
        if (file.size() > 0xFFFFFFFFu - bodies[row][pos].size()) throw BuildError("database larger than 4 GB");
        PatchLe32(main, at + 3, static_cast<std::uint32_t>(file.size()));
        file.insert(file.end(), bodies[row][pos].begin(), bodies[row][pos].end());
      }
    }
    return image;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    if (!current_) throw BuildError(what);
    const DddRecordShape* shape = FindRecordShape(current_->type);
    throw BuildError("record " + std::string(shape ? shape->name : "?") + " " + std::to_string(current_->key) + " (line " +
                     std::to_string(current_->line) + "): " + what);
  }

  static constexpr std::uint16_t kFirstFlagListItem = 4097;
  static constexpr std::uint16_t kLastFlagListItem = 4362;

  // Types looked up by key: their keys must be unique.
  static bool IsKeyedType(std::uint16_t type) {
    switch (type) {
      case 3: case 4: case 5: case 6: case 7: case 8: case 10: case 12: case 13: case 14: case 17: case 18: case 19:
      case 21:
        return true;
      default:
        return false;
    }
  }

  void CheckHeader() const {
    auto name = [](const std::string& s, const char* what) {
      if (s.size() >= DDD_HEADER_TEXT_SIZE) throw BuildError(std::string(what) + " is longer than 63 characters");
      if (s.find('\0') != std::string::npos) throw BuildError(std::string(what) + " holds a NUL");
    };
    name(model_.modelName, "model name");
    name(model_.displayName, "display name");
    name(model_.linkedName, "linked database name");
    if (!model_.linkedName.empty() && model_.linkedName.find('.') == std::string::npos)
      throw BuildError("linked database name needs an extension (the policy file is named after it)");
    if (model_.linkedName.find_first_of("\\/:") != std::string::npos)
      throw BuildError("linked database name must be a file name without a directory");
    if (model_.version.size() > DDD_VERSION_TEXT_SIZE) throw BuildError("version text is longer than 24 characters");
    if (model_.version.find('\0') != std::string::npos) throw BuildError("version text holds a NUL character");
    if (!IsVersionTextValid(model_.version))
      throw BuildError("version text \"" + model_.version + "\" is not \"...:MAJOR.MINOR.BUILD\" within 255.255.65535");
  }

  void WriteHeader(Bytes& out, const std::string& linkedName) const {
    out.assign(DDD_HEADER_SIZE, 0);
    std::memcpy(&out[DDD_MODEL_NAME_OFFSET], model_.modelName.data(), model_.modelName.size());
    std::memcpy(&out[DDD_VERSION_OFFSET], model_.version.data(), model_.version.size());
    for (int i = 0; i < 4; ++i) out[DDD_FORMAT_LEVEL_OFFSET + i] = static_cast<std::uint8_t>(model_.level >> (24 - 8 * i));
    std::memcpy(&out[DDD_DISPLAY_NAME_OFFSET], model_.displayName.data(), model_.displayName.size());
    std::memcpy(&out[DDD_LINKED_NAME_OFFSET], linkedName.data(), linkedName.size());
  }

  // Writes the 40 sections; answers the position of section 0's u32 (patched later).
  std::size_t WriteSections(Bytes& out) {
    std::size_t directoryField = 0;
    for (std::uint32_t id = 0; id < DDD_SECTION_COUNT; ++id) {
      const SectionTableRow& row = DDD_SECTION_TABLE[id];
      const DddSection& s = model_.sections[id];
      std::size_t count = row.size == DDD_SIZE_IN_FILE ? s.texts.size() : s.numbers.size();
      if (row.count == DDD_COUNT_IN_FILE) {
        if (count > 0xFFFF) throw BuildError("section " + std::to_string(id) + " has more than 65535 elements");
        PutLe(out, count, 2);
      } else if (!s.given) {
        count = row.count;
      } else if (count != row.count) {
        throw BuildError("section " + std::to_string(id) + " holds " + std::to_string(row.count) + " element(s)");
      }
      if (id == DDD_SECTION_MODEL_PICTURE && s.given && count > 0 && s.numbers[0] != 0 &&
          !keys_.count({12, static_cast<std::uint16_t>(s.numbers[0])}))
        throw BuildError("section 1 names picture " + std::to_string(s.numbers[0]) + ", which does not exist");
      for (std::size_t i = 0; i < count; ++i) {
        if (id == DDD_SECTION_DIRECTORY) directoryField = out.size();
        if (row.size != DDD_SIZE_IN_FILE) {
          PutLe(out, s.given ? s.numbers[i] : 0, row.size);
          continue;
        }
        DddText text = s.given ? s.texts[i] : DddText{};
        CheckLibraryReference(text, "section " + std::to_string(id));
        if (id == DDD_SECTION_STRING_LIBRARIES && text.reference)
          throw BuildError("section 35 names string libraries and must hold plain texts");
        PutText(out, text, "section " + std::to_string(id));
      }
    }
    return directoryField;
  }

  // A text that names a string library must name one the reader can reach: the libraries are
  // the texts of section 35 (library L is its element L), which only the main database has,
  // so a linked record may use the primary library 1 alone.
  void CheckLibraryReference(const DddText& text, const std::string& where) const {
    if (!text.reference) return;
    const std::size_t libraries = model_.sections[DDD_SECTION_STRING_LIBRARIES].texts.size();
    const std::string name = "str(" + std::to_string(text.library) + " " + std::to_string(text.id) + ")";
    if (text.library == 0 || text.library > libraries) {
      const std::string what = where + ": " + name + " names string library " + std::to_string(text.library) +
                               ", but section 35 lists " + std::to_string(libraries);
      if (current_) Fail(what);
      throw BuildError(what);
    }
    if (current_ && current_->linked && text.library >= 2)
      Fail(where + ": " + name + " lies in the linked database, which resolves only library 1");
  }

  void PutText(Bytes& out, const DddText& text, const std::string& where) const {
    CheckLibraryReference(text, where);
    Bytes bytes = EncodeDddText(text);
    std::uint16_t l, s;
    if (!text.reference && IsTextReference(bytes.data(), static_cast<std::uint32_t>(bytes.size()), &l, &s))
      throw BuildError(where + ": plain text \"" + text.text + "\" would read as a string reference");
    if (bytes.size() > 0xFFFF) throw BuildError(where + ": text longer than 65535 bytes");
    PutLe(out, bytes.size(), 2);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }

  void PutValue(Bytes& out, const DddValue& v) {
    if (v.bytes.size() > 0xFFFF) Fail("value longer than 65535 bytes");
    if (v.type == DDD_VALUE_REFERENCE) {
      if (v.bytes.size() < 2) Fail("an array reference holds its position");
      std::uint16_t position = GetLE16(v.bytes.data());
      if (position == 0 || position > counts_[20]) Fail("array reference " + std::to_string(position) + " names no array record");
      if (current_->linked) Fail("a record with an array reference must lie in the main database");
    }
    out.push_back(v.type);
    PutLe(out, v.bytes.size(), 2);
    out.insert(out.end(), v.bytes.begin(), v.bytes.end());
  }

  void PutItemValue(Bytes& out, const DddItemValue& iv, bool condition) {
    PutLe(out, iv.spare, 2);
    out.push_back(iv.op);
    PutLe(out, iv.item, 2);
    PutValue(out, iv.value);
    if (condition) out.push_back(iv.connector);
  }

  // A list: u32 byte length of what follows, u16 count, elements.
  template <typename F>
  void PutList(Bytes& out, std::size_t count, F each) {
    if (count > 0xFFFF) Fail("list longer than 65535 elements");
    std::size_t at = out.size();
    PutLe(out, 0, 4);
    PutLe(out, count, 2);
    for (std::size_t i = 0; i < count; ++i) each(i);
    PatchLe32(out, at, static_cast<std::uint32_t>(out.size() - at - 4));
  }

  void RequireKey(std::uint16_t type, std::uint16_t key, const char* field) {
    if (key != 0 && !keys_.count({type, key}))
      Fail(std::string("field ") + field + " names " + FindRecordShape(type)->name + " " + std::to_string(key) + ", which does not exist");
  }

  // Rules between records that readers rely on.
  void CheckReferences(const DddRecord& r) {
    auto num = [&](int i) { return static_cast<std::uint16_t>(r.fields[i].number); };
    switch (r.type) {
      case 3: case 4: {
        // The reader looks up the flag items' lists (4097 to 4362) as type 3 and every other
        // item's as type 4: a list under the other type would never be found.
        const bool flagItem = r.key >= kFirstFlagListItem && r.key <= kLastFlagListItem;
        if (r.type == 3 && !flagItem) Fail("a flaglist key must be a flag item from 4097 to 4362");
        if (r.type == 4 && flagItem) Fail("items 4097 to 4362 keep their choices in a flaglist");
        RequireKey(17, num(3), "range");
        for (auto k : r.fields[4].keys) RequireKey(r.type == 3 ? 13 : 14, k, "choices");
        for (auto k : r.fields[5].keys) RequireKey(7, k, "rules");
        for (auto k : r.fields[6].keys) RequireKey(8, k, "requires");
        RequireKey(18, num(7), "block");
        if (num(2) > r.fields[4].keys.size()) Fail("default position is beyond the choices");
        break;
      }
      case 13: case 14: {
        if (num(1) != 0) {
          if (!FindRecordShape(num(1))) Fail("reftype names no record type");
          RequireKey(num(1), num(2), "refkey");
        }
        RequireKey(17, num(3), "range");
        for (auto k : r.fields[4].keys) RequireKey(7, k, "rules");
        for (auto k : r.fields[5].keys) RequireKey(8, k, "requires");
        RequireKey(18, num(7), "block");
        break;
      }
      case 5: case 6:
        if (!keys_.count({17, num(1)})) Fail("field range must name an existing sizerange");
        for (auto k : r.fields[3].keys) RequireKey(10, k, "papers");
        if (r.fields[4].keys.size() > r.fields[3].keys.size()) Fail("more attributes than papers");
        for (auto a : r.fields[4].keys)
          if (a > 3) Fail("paper attribute " + std::to_string(a) + " is not 0 to 3");
        break;
      case 10:
        for (int i : {2, 3, 4})
          if (!keys_.count({17, num(i)})) Fail(std::string("field ") + FindRecordShape(10)->fields[i].name + " must name an existing sizerange");
        RequireKey(17, num(8), "extra");
        break;
      case 9:
        RequireKey(12, r.fields[1].triples.empty() ? 0 : r.fields[1].triples[0][2], "picture");
        break;
      case 20:
        if (r.linked) Fail("array records must lie in the main database");
        break;
      case 12:
        if (num(0) != 1 && num(0) != 2) Fail("picture kind must be 1 or 2");
        break;
      default:
        break;
    }
  }

  Bytes EncodeRecord(const DddRecord& r) {
    const DddRecordShape& shape = *FindRecordShape(r.type);
    if (model_.level < shape.level) Fail("the record type needs format level " + Hex(shape.level));
    if (r.fields.size() != shape.fieldCount) Fail("wrong number of fields");
    CheckReferences(r);
    Bytes out;
    PutLe(out, 0, 4);
    PutLe(out, r.key, 2);
    for (int i = 0; i < shape.fieldCount; ++i) {
      const DddFieldShape& fs = shape.fields[i];
      const DddFieldValue& f = r.fields[i];
      if (model_.level < fs.level) {
        if (f.given) Fail(std::string("field ") + fs.name + " needs format level " + Hex(fs.level));
        continue;
      }
      std::string where = std::string("field ") + fs.name;
      switch (fs.kind) {
        case DDD_FIELD_TEXT: PutText(out, f.text, where); break;
        case DDD_FIELD_U8: PutLe(out, f.number, 1); break;
        case DDD_FIELD_U16: PutLe(out, f.number, 2); break;
        case DDD_FIELD_U32: PutLe(out, f.number, 4); break;
        case DDD_FIELD_KEYS: PutList(out, f.keys.size(), [&](std::size_t k) { PutLe(out, f.keys[k], 2); }); break;
        case DDD_FIELD_CONDITIONS:
          PutList(out, f.items.size(), [&](std::size_t k) { PutItemValue(out, f.items[k], true); });
          break;
        case DDD_FIELD_ITEM_VALUE: PutItemValue(out, f.items.empty() ? DddItemValue{} : f.items[0], false); break;
        case DDD_FIELD_ITEM_VALUES:
          PutList(out, f.items.size(), [&](std::size_t k) { PutItemValue(out, f.items[k], false); });
          break;
        case DDD_FIELD_VALUE: PutValue(out, f.value); break;
        case DDD_FIELD_PAIR:
        case DDD_FIELD_PICTURE_REF: {
          std::array<std::uint16_t, 3> t = f.triples.empty() ? std::array<std::uint16_t, 3>{} : f.triples[0];
          PutLe(out, t[0], 2);
          PutLe(out, t[1], 2);
          if (fs.kind == DDD_FIELD_PICTURE_REF) PutLe(out, t[2], 2);
          break;
        }
        case DDD_FIELD_TEXTS:
          PutList(out, f.texts.size(), [&](std::size_t k) { PutText(out, f.texts[k], where); });
          break;
        case DDD_FIELD_VALUES: PutList(out, f.values.size(), [&](std::size_t k) { PutValue(out, f.values[k]); }); break;
        case DDD_FIELD_TRIPLES:
          PutList(out, f.triples.size(), [&](std::size_t k) {
            for (auto v : f.triples[k]) PutLe(out, v, 2);
          });
          break;
        case DDD_FIELD_BYTES16:
          if (f.bytes.size() > 0xFFFF) Fail(where + " is longer than 65535 bytes");
          PutLe(out, f.bytes.size(), 2);
          out.insert(out.end(), f.bytes.begin(), f.bytes.end());
          break;
        case DDD_FIELD_BYTES32:
        case DDD_FIELD_PICTURE:
          if (fs.kind == DDD_FIELD_PICTURE && f.bytes.size() < DDD_PICTURE_FILE_HEADER)
            Fail(where + " must start with the 14-byte file header");
          PutLe(out, f.bytes.size(), 4);
          out.insert(out.end(), f.bytes.begin(), f.bytes.end());
          break;
        case DDD_FIELD_COUNTED_TEXTS: {
          if (f.texts.size() > 0xFFFF) Fail(where + " has more than 65535 texts");
          PutLe(out, f.texts.size(), 2);
          std::vector<Bytes> encoded;
          for (const auto& t : f.texts) {
            CheckLibraryReference(t, where);
            encoded.push_back(EncodeDddText(t));
            if (encoded.back().size() > 0xFFFF) Fail(where + ": text longer than 65535 bytes");
            PutLe(out, encoded.back().size(), 2);
          }
          for (const auto& e : encoded) out.insert(out.end(), e.begin(), e.end());
          break;
        }
        case DDD_FIELD_COUNTED_VALUES:
          if (f.values.size() > 0xFFFF) Fail(where + " has more than 65535 values");
          PutLe(out, f.values.size(), 2);
          for (const auto& v : f.values) PutValue(out, v);
          break;
        case DDD_FIELD_PRESETS:
          PutList(out, f.presets.size(), [&](std::size_t k) {
            PutLe(out, f.presets[k].item, 2);
            PutValue(out, f.presets[k].value);
          });
          break;
        case DDD_FIELD_ARRAY: {
          // Element size is the record's "size" field, two fields before.
          std::uint32_t size = r.fields[2].number;
          Bytes data = f.bytes;
          if (data.empty() && !f.integers.empty()) {
            if (size != 1 && size != 2 && size != 4) Fail("numbers need an element size of 1, 2 or 4; give hex: bytes");
            // Each number must fit its element, read signed or unsigned.
            const long long low = -(1LL << (8 * size - 1)), high = (1LL << (8 * size)) - 1;
            for (auto n : f.integers)
              if (n < low || n > high)
                Fail("array value " + std::to_string(n) + " does not fit an element of " + std::to_string(size) +
                     " byte(s)");
            for (auto n : f.integers) PutLe(data, static_cast<std::uint64_t>(n), size);
          }
          if (size == 0 ? !data.empty() : data.size() % size != 0) Fail("array bytes are not whole elements");
          std::size_t count = size ? data.size() / size : 0;
          if (count > 0xFFFF) Fail("array has more than 65535 elements");
          PutLe(out, count, 2);
          out.insert(out.end(), data.begin(), data.end());
          break;
        }
      }
    }
    if (out.size() - 4 > 0xFFFFFFFFu) Fail("record too large");
    PatchLe32(out, 0, static_cast<std::uint32_t>(out.size() - 4));
    return out;
  }

  const DddModel& model_;
  std::map<std::uint16_t, std::size_t> counts_;
  std::set<std::pair<std::uint16_t, std::uint16_t>> keys_;
  const DddRecord* current_ = nullptr;
};

}  // namespace

bool BuildDddImage(const DddModel& model, DddImage* image, std::string* error) {
  try {
    *image = Writer(model).Build();
  } catch (const BuildError& e) {
    *error = e.what();
    return false;
  }
  return true;
}
