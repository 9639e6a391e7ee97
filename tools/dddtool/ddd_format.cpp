// DddModel -> text model. Fields that hold their default (0, empty, no value) are left out;
// parsing the text gives back the same database bytes.
#include <cstdio>
#include <cstring>

#include "tools/dddtool/ddd_model.h"
#include "tools/dddtool/ddd_syntax.h"

namespace {

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else if (c < 0x20 || c >= 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else out += static_cast<char>(c);
  }
  return out + "\"";
}

std::string Text(const DddText& t) {
  if (!t.reference) return Quote(t.text);
  std::string out = "str(" + std::to_string(t.library) + " " + std::to_string(t.id);
  if (!t.text.empty()) out += " " + Quote(t.text);
  return out + ")";
}

std::string HexBytes(const std::vector<std::uint8_t>& b) {
  std::string out;
  char buf[4];
  for (auto v : b) {
    std::snprintf(buf, sizeof buf, "%02x", v);
    out += buf;
  }
  return out;
}

std::uint64_t Le(const std::vector<std::uint8_t>& b) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < b.size() && i < 8; ++i) v |= static_cast<std::uint64_t>(b[i]) << (8 * i);
  return v;
}

std::string Value(const DddValue& v) {
  if (v.type == 0 && v.bytes.empty()) return "none";
  const DddValueSyntax* s = FindValueSyntax(v.type);
  if (s && v.type == DDD_VALUE_STRING) return std::string("str:") + Text(DecodeDddText(v.bytes.data(), static_cast<std::uint32_t>(v.bytes.size())));
  if (s && v.type == DDD_VALUE_FONT) return "font:" + HexBytes(v.bytes);
  if (s && s->size == v.bytes.size()) {
    std::uint64_t raw = Le(v.bytes);
    if (v.type == DDD_VALUE_FLOAT) {
      std::uint32_t bits = static_cast<std::uint32_t>(raw);
      float f;
      std::memcpy(&f, &bits, 4);
      char buf[48];
      std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(f));
      // Only when the decimal form reads back to the same bits.
      float back = std::strtof(buf, nullptr);
      if (std::memcmp(&back, &bits, 4) == 0) return std::string("f32:") + buf;
    } else {
      long long n = static_cast<long long>(raw);
      if (s->min < 0 && (raw >> (8 * s->size - 1)) & 1) n -= 1ll << (8 * s->size);
      if (n >= s->min && n <= s->max) return std::string(s->name) + ":" + std::to_string(n);
    }
  }
  return "raw" + std::to_string(v.type) + ":" + HexBytes(v.bytes);
}

std::string OpName(std::uint8_t code) {
  for (const auto& o : DDD_OPERATORS)
    if (o.code == code) return o.name;
  return std::to_string(code);
}

std::string ConnectorName(std::uint8_t code) {
  for (const auto& c : DDD_CONNECTORS)
    if (c.code == code) return c.name;
  return std::to_string(code);
}

std::string ItemValue(const DddItemValue& iv, bool condition) {
  std::string out = "(" + std::to_string(iv.item) + " " + OpName(iv.op) + " " + Value(iv.value);
  if (condition) out += " " + ConnectorName(iv.connector);
  if (iv.spare) out += " spare=" + std::to_string(iv.spare);
  return out + ")";
}

template <typename T, typename F>
std::string List(const std::vector<T>& items, F each) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? " " : "") + each(items[i]);
  return out + "]";
}

bool IsDefault(const DddFieldShape& fs, const DddFieldValue& f) {
  switch (fs.kind) {
    case DDD_FIELD_TEXT: return !f.text.reference && f.text.text.empty();
    case DDD_FIELD_U8:
    case DDD_FIELD_U16:
    case DDD_FIELD_U32: return f.number == 0;
    case DDD_FIELD_ITEM_VALUE: return false;
    case DDD_FIELD_VALUE: return f.value.type == 0 && f.value.bytes.empty();
    case DDD_FIELD_PAIR:
    case DDD_FIELD_PICTURE_REF: return false;
    default:
      return f.keys.empty() && f.items.empty() && f.values.empty() && f.texts.empty() && f.triples.empty() &&
             f.bytes.empty() && f.presets.empty() && f.integers.empty();
  }
}

std::string Field(const DddFieldShape& fs, const DddFieldValue& f) {
  auto num = [](auto v) { return std::to_string(v); };
  switch (fs.kind) {
    case DDD_FIELD_TEXT: return Text(f.text);
    case DDD_FIELD_U8:
    case DDD_FIELD_U16:
    case DDD_FIELD_U32: return num(f.number);
    case DDD_FIELD_KEYS: return List(f.keys, num);
    case DDD_FIELD_CONDITIONS: return List(f.items, [](const DddItemValue& iv) { return ItemValue(iv, true); });
    case DDD_FIELD_ITEM_VALUE: return ItemValue(f.items.empty() ? DddItemValue{} : f.items[0], false);
    case DDD_FIELD_ITEM_VALUES: return List(f.items, [](const DddItemValue& iv) { return ItemValue(iv, false); });
    case DDD_FIELD_VALUE: return Value(f.value);
    case DDD_FIELD_PAIR: {
      auto t = f.triples.empty() ? std::array<std::uint16_t, 3>{} : f.triples[0];
      return num(t[0]) + "x" + num(t[1]);
    }
    case DDD_FIELD_PICTURE_REF: {
      auto t = f.triples.empty() ? std::array<std::uint16_t, 3>{} : f.triples[0];
      return num(t[0]) + "x" + num(t[1]) + "@" + num(t[2]);
    }
    case DDD_FIELD_TEXTS:
    case DDD_FIELD_COUNTED_TEXTS: return List(f.texts, Text);
    case DDD_FIELD_VALUES:
    case DDD_FIELD_COUNTED_VALUES: return List(f.values, Value);
    case DDD_FIELD_TRIPLES:
      return List(f.triples, [&](const std::array<std::uint16_t, 3>& t) {
        return "(" + num(t[0]) + " " + num(t[1]) + " " + num(t[2]) + ")";
      });
    case DDD_FIELD_BYTES16:
    case DDD_FIELD_BYTES32:
    case DDD_FIELD_PICTURE: return "hex:" + HexBytes(f.bytes);
    case DDD_FIELD_PRESETS:
      return List(f.presets, [](const DddPresetEntry& e) { return "(" + std::to_string(e.item) + " " + Value(e.value) + ")"; });
    case DDD_FIELD_ARRAY:
      if (!f.bytes.empty()) return "hex:" + HexBytes(f.bytes);
      return List(f.integers, [](std::int64_t v) { return std::to_string(v); });
  }
  return "";
}

}  // namespace

std::string FormatDddModel(const DddModel& model) {
  std::string out;
  char buf[32];
  out += "model " + Quote(model.modelName) + "\n";
  out += "display " + Quote(model.displayName) + "\n";
  out += "version " + Quote(model.version) + "\n";
  std::snprintf(buf, sizeof buf, "0x%X", model.level);
  out += std::string("level ") + buf + "\n";
  if (!model.linkedName.empty()) out += "linked " + Quote(model.linkedName) + "\n";
  out += "\n";
  for (std::uint32_t id = 1; id < DDD_SECTION_COUNT; ++id) {
    const SectionTableRow& row = DDD_SECTION_TABLE[id];
    const DddSection& s = model.sections[id];
    if (!s.given) continue;
    std::string body;
    if (row.size == DDD_SIZE_IN_FILE) {
      body = row.count == DDD_COUNT_IN_FILE ? List(s.texts, Text) : Text(s.texts.empty() ? DddText{} : s.texts[0]);
    } else {
      auto num = [](std::uint32_t v) { return std::to_string(v); };
      body = row.count == DDD_COUNT_IN_FILE ? List(s.numbers, num) : num(s.numbers.empty() ? 0 : s.numbers[0]);
    }
    out += "section " + std::to_string(id) + " " + body + "\n";
  }
  std::uint16_t lastType = 0;
  for (const auto& r : model.records) {
    const DddRecordShape& shape = *FindRecordShape(r.type);
    if (r.type != lastType) out += "\n";
    lastType = r.type;
    std::string line = std::string(shape.name) + " " + std::to_string(r.key) + (r.linked ? " linked" : "");
    for (int i = 0; i < shape.fieldCount; ++i) {
      if (!r.fields[i].given || IsDefault(shape.fields[i], r.fields[i])) continue;
      std::string field = std::string(shape.fields[i].name) + "=" + Field(shape.fields[i], r.fields[i]);
      if (line.size() + field.size() > 100) {
        out += line + "\n";
        line = "   ";
      }
      line += " " + field;
    }
    out += line + "\n";
  }
  return out;
}
