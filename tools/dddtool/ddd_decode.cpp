// Database bytes -> DddModel, for `dddtool dump`. Every read is checked against the bytes
// present; anything that does not follow the layout is refused with its offset.
#include <stdexcept>

#include "tools/dddtool/ddd_model.h"
#include "tools/dddtool/ddd_syntax.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct DecodeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class Cursor {
 public:
  Cursor(const Bytes& data, const char* file, std::size_t at = 0) : data_(data), file_(file), at_(at) {}
  std::size_t At() const { return at_; }
  void Need(std::size_t n) const {
    if (at_ > data_.size() || n > data_.size() - at_)
      throw DecodeError(std::string(file_) + ": " + std::to_string(n) + " bytes at offset " + std::to_string(at_) +
                        " pass the end of the file (" + std::to_string(data_.size()) + " bytes)");
  }
  std::uint64_t Le(unsigned size) {
    Need(size);
    std::uint64_t v = 0;
    for (unsigned i = 0; i < size; ++i) v |= static_cast<std::uint64_t>(data_[at_ + i]) << (8 * i);
    at_ += size;
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Le(1)); }
  std::uint16_t U16() { return static_cast<std::uint16_t>(Le(2)); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Le(4)); }
  Bytes Take(std::size_t n) {
    Need(n);
    Bytes out(data_.begin() + static_cast<long>(at_), data_.begin() + static_cast<long>(at_ + n));
    at_ += n;
    return out;
  }
  DddText Text(std::size_t n) {
    Bytes b = Take(n);
    return DecodeDddText(b.data(), static_cast<std::uint32_t>(b.size()));
  }
  DddText Text() { return Text(U16()); }
  DddValue Value() {
    DddValue v;
    v.type = U8();
    v.bytes = Take(U16());
    return v;
  }
  DddItemValue ItemValue(bool condition) {
    DddItemValue iv;
    iv.spare = U16();
    iv.op = U8();
    iv.item = U16();
    iv.value = Value();
    if (condition) iv.connector = U8();
    return iv;
  }
  // A list: u32 byte length, u16 count; the length must match what the elements take.
  template <typename F>
  void List(F each) {
    std::uint32_t length = U32();
    std::size_t start = at_;
    std::uint16_t count = U16();
    for (std::uint16_t i = 0; i < count; ++i) each();
    if (at_ - start != length)
      throw DecodeError(std::string(file_) + ": list at offset " + std::to_string(start - 4) + " says " +
                        std::to_string(length) + " bytes but holds " + std::to_string(at_ - start));
  }

 private:
  const Bytes& data_;
  const char* file_;
  std::size_t at_;
};

std::string HeaderText(const Bytes& data, std::uint32_t offset, std::uint32_t size) {
  std::string s;
  for (std::uint32_t i = 0; i < size && data[offset + i]; ++i) s += static_cast<char>(data[offset + i]);
  return s;
}

DddRecord DecodeRecord(Cursor& c, std::uint16_t type, std::uint16_t key, std::uint32_t level) {
  const DddRecordShape& shape = *FindRecordShape(type);
  DddRecord r;
  r.type = type;
  r.fields = MakeDddFields(type);
  std::uint32_t length = c.U32();
  std::size_t start = c.At();
  r.key = c.U16();
  if (r.key != key) throw DecodeError("record " + std::string(shape.name) + " " + std::to_string(key) + " carries key " + std::to_string(r.key));
  for (int i = 0; i < shape.fieldCount; ++i) {
    const DddFieldShape& fs = shape.fields[i];
    DddFieldValue& f = r.fields[i];
    if (level < fs.level) continue;
    f.given = true;
    switch (fs.kind) {
      case DDD_FIELD_TEXT: f.text = c.Text(); break;
      case DDD_FIELD_U8: f.number = c.U8(); break;
      case DDD_FIELD_U16: f.number = c.U16(); break;
      case DDD_FIELD_U32: f.number = c.U32(); break;
      case DDD_FIELD_KEYS: c.List([&] { f.keys.push_back(c.U16()); }); break;
      case DDD_FIELD_CONDITIONS: c.List([&] { f.items.push_back(c.ItemValue(true)); }); break;
      case DDD_FIELD_ITEM_VALUE: f.items.push_back(c.ItemValue(false)); break;
      case DDD_FIELD_ITEM_VALUES: c.List([&] { f.items.push_back(c.ItemValue(false)); }); break;
      case DDD_FIELD_VALUE: f.value = c.Value(); break;
      case DDD_FIELD_PAIR: f.triples.push_back({c.U16(), c.U16(), 0}); break;
      case DDD_FIELD_PICTURE_REF: {
        std::uint16_t w = c.U16(), h = c.U16();
        f.triples.push_back({w, h, c.U16()});
        break;
      }
      case DDD_FIELD_TEXTS: c.List([&] { f.texts.push_back(c.Text()); }); break;
      case DDD_FIELD_VALUES: c.List([&] { f.values.push_back(c.Value()); }); break;
      case DDD_FIELD_TRIPLES:
        c.List([&] {
          std::uint16_t a = c.U16(), b = c.U16();
          f.triples.push_back({a, b, c.U16()});
        });
        break;
      case DDD_FIELD_BYTES16: f.bytes = c.Take(c.U16()); break;
      case DDD_FIELD_BYTES32:
      case DDD_FIELD_PICTURE: f.bytes = c.Take(c.U32()); break;
      case DDD_FIELD_COUNTED_TEXTS: {
        std::uint16_t n = c.U16();
        std::vector<std::uint16_t> sizes;
        for (std::uint16_t k = 0; k < n; ++k) sizes.push_back(c.U16());
        for (auto s : sizes) f.texts.push_back(c.Text(s));
        break;
      }
      case DDD_FIELD_COUNTED_VALUES: {
        std::uint16_t n = c.U16();
        for (std::uint16_t k = 0; k < n; ++k) f.values.push_back(c.Value());
        break;
      }
      case DDD_FIELD_PRESETS:
        c.List([&] {
          DddPresetEntry e;
          e.item = c.U16();
          e.value = c.Value();
          f.presets.push_back(e);
        });
        break;
      case DDD_FIELD_ARRAY: {
        std::uint32_t size = r.fields[2].number;
        std::uint16_t n = c.U16();
        Bytes data = c.Take(static_cast<std::size_t>(n) * size);
        if (size == 1 || size == 2 || size == 4) {
          for (std::uint16_t k = 0; k < n; ++k) {
            std::uint64_t v = 0;
            for (std::uint32_t b = 0; b < size; ++b) v |= static_cast<std::uint64_t>(data[k * size + b]) << (8 * b);
            f.integers.push_back(static_cast<std::int64_t>(v));
          }
        } else {
          f.bytes = data;
        }
        break;
      }
    }
  }
  if (c.At() - start != length)
    throw DecodeError("record " + std::string(shape.name) + " " + std::to_string(key) + " says " + std::to_string(length) +
                      " bytes but holds " + std::to_string(c.At() - start));
  return r;
}

}  // namespace

bool DecodeDddImage(const Bytes& main, const Bytes* linked, DddModel* model, std::string* error) {
  *model = DddModel{};
  try {
    Cursor header(main, "main");
    header.Need(DDD_HEADER_SIZE);
    model->modelName = HeaderText(main, DDD_MODEL_NAME_OFFSET, DDD_HEADER_TEXT_SIZE);
    model->version = HeaderText(main, DDD_VERSION_OFFSET, DDD_VERSION_TEXT_SIZE);
    model->level = 0;
    for (int i = 0; i < 4; ++i) model->level = (model->level << 8) | main[DDD_FORMAT_LEVEL_OFFSET + i];
    model->displayName = HeaderText(main, DDD_DISPLAY_NAME_OFFSET, DDD_HEADER_TEXT_SIZE);
    model->linkedName = HeaderText(main, DDD_LINKED_NAME_OFFSET, DDD_HEADER_TEXT_SIZE);
    if (!model->linkedName.empty() && !linked) throw DecodeError("the linked database " + model->linkedName + " is needed");

    Cursor c(main, "main", DDD_HEADER_SIZE);
    std::uint32_t directory = 0;
    for (std::uint32_t id = 0; id < DDD_SECTION_COUNT; ++id) {
      const SectionTableRow& row = DDD_SECTION_TABLE[id];
      DddSection& s = model->sections[id];
      s.given = id != DDD_SECTION_DIRECTORY;
      std::uint32_t count = row.count == DDD_COUNT_IN_FILE ? c.U16() : row.count;
      for (std::uint32_t i = 0; i < count; ++i) {
        if (row.size == DDD_SIZE_IN_FILE) s.texts.push_back(c.Text());
        else s.numbers.push_back(static_cast<std::uint32_t>(c.Le(row.size)));
      }
    }
    directory = DDD_DIRECTORY_BASE + model->sections[DDD_SECTION_DIRECTORY].numbers[0];
    model->sections[DDD_SECTION_DIRECTORY].numbers.clear();

    Cursor dir(main, "main", directory);
    dir.Take(DDD_DIRECTORY_PREFIX);
    for (std::uint32_t row = 0; row < DDD_DIRECTORY_ROWS; ++row) {
      dir.Take(DDD_DIRECTORY_ROW_SPARE);
      Cursor table(main, "main", dir.U32());
      table.Take(DDD_TYPETABLE_PREFIX);
      std::uint16_t rows = table.U16();
      for (std::uint16_t k = 0; k < rows; ++k) {
        std::uint8_t database = table.U8();
        std::uint16_t key = table.U16();
        std::uint32_t offset = table.U32();
        bool inLinked = database != DDD_DATABASE_MAIN;
        if (inLinked && !linked) throw DecodeError("a record lies in the linked database, but the header names none");
        Cursor body(inLinked ? *linked : main, inLinked ? "linked" : "main", offset);
        DddRecord r = DecodeRecord(body, DDD_DIRECTORY_TYPES[row], key, model->level);
        r.linked = inLinked;
        model->records.push_back(std::move(r));
      }
    }
  } catch (const DecodeError& e) {
    *error = e.what();
    return false;
  }
  return true;
}
