#include "engine_cases.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// Bytes of a record, little-endian, counted from the start of an area.
struct Bytes {
  ItemArea area;
  DWORD offset;
  DWORD size;
  ULONGLONG value;
};

enum class Op { Get, Set };
enum class Records { Both, SettingsOnly, ConfigOnly };
enum class Arg { Number, Text, Font, NullPointer, NullSource, NullOutput };

struct EngineCase {
  const char* name;
  std::vector<Bytes> preset = {};
  Op op;
  SettingItemId id;
  // Set: the given type, length and value (a number, or the text / font argument).
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONGLONG value = 0;
  Arg arg = Arg::Number;
  std::u16string text = {};
  ItemAccessResult result = kItemDone;
  // Get (or the read-back after a set): what the reader reports; `written` bytes of the value.
  bool read = false;
  ItemAccessResult readResult = kItemDone;
  ValueTypeCode readType = 0;
  DWORD readLength = 0;
  ULONGLONG readValue = 0;
  DWORD written = 0;
  ItemArea readArea = 0;
  std::vector<Bytes> after = {};
  bool unchanged = false;  // both records exactly as preset
  Records records = Records::Both;
};

constexpr ItemArea S = kAreaSettings, X = kAreaExtension, P = kAreaPrinterConfig;
constexpr ULONG_PTR kFont1 = 588;

std::u16string Repeat(char16_t c, size_t n) { return std::u16string(n, c); }

const std::vector<EngineCase>& Cases() {
  static const std::vector<EngineCase> cases = {
      // ---- reading
      {.name = "id in no range", .op = Op::Get, .id = 0x1D2, .read = true, .readResult = kItemNoRange},
      {.name = "id above every range", .op = Op::Get, .id = 0x9001, .read = true, .readResult = kItemNoRange},
      {.name = "id in a range without a row", .op = Op::Get, .id = 0x121, .read = true, .readResult = kItemFailed,
       .readArea = S},
      {.name = "configuration item without settings", .preset = {{P, 8, 4, 0x4}}, .op = Op::Get, .id = 0x1003,
       .read = true, .readType = 1, .readLength = 4, .readValue = 1, .written = 4, .readArea = P,
       .records = Records::ConfigOnly},
      {.name = "settings item without settings", .op = Op::Get, .id = 0x101, .read = true, .readResult = kItemFailed,
       .readArea = S, .records = Records::ConfigOnly},
      {.name = "missing output", .op = Op::Get, .id = 0x101, .arg = Arg::NullOutput, .read = true,
       .readResult = kItemFailed, .readArea = 0xEE},
      {.name = "byte item in its exchange type", .preset = {{S, 300, 1, 0xAB}}, .op = Op::Get, .id = 264,
       .read = true, .readType = 3, .readLength = 2, .readValue = 0xAB, .written = 2},
      {.name = "signed 16-bit item", .preset = {{S, 76, 2, 0xFFFE}}, .op = Op::Get, .id = 7, .read = true,
       .readType = 2, .readLength = 2, .readValue = 0xFFFE, .written = 2},
      {.name = "flag bit set", .preset = {{S, 288, 4, 0x1}}, .op = Op::Get, .id = 0x501, .read = true,
       .readType = 1, .readLength = 4, .readValue = 1, .written = 4},
      {.name = "flag of the third word", .preset = {{S, 1516, 4, 0x80000000}}, .op = Op::Get, .id = 0x560,
       .read = true, .readType = 1, .readLength = 4, .readValue = 1, .written = 4},
      {.name = "inverted flag clear reads 1", .preset = {{S, 288, 4, 0xFFFFFFF7}}, .op = Op::Get, .id = 1284,
       .read = true, .readType = 5, .readLength = 4, .readValue = 1, .written = 4},
      {.name = "inverted flag set reads 0", .preset = {{S, 288, 4, 0x8}}, .op = Op::Get, .id = 1284, .read = true,
       .readType = 5, .readLength = 4, .readValue = 0, .written = 4},
      {.name = "flag with byte exchange type writes 4 bytes", .preset = {{S, 288, 4, 0x8000}}, .op = Op::Get,
       .id = 1296, .read = true, .readType = 8, .readLength = 1, .readValue = 1, .written = 4},
      {.name = "flag with 16-bit exchange type", .preset = {{S, 292, 4, 1u << 19}}, .op = Op::Get, .id = 1332,
       .read = true, .readType = 3, .readLength = 2, .readValue = 1, .written = 4},
      {.name = "whole-word flag word item", .preset = {{S, 288, 4, 0x8000000F}}, .op = Op::Get, .id = 260,
       .read = true, .readType = 5, .readLength = 4, .readValue = 0x8000000F, .written = 4},
      {.name = "whole-word type-1 item", .preset = {{P, 3980, 4, 0x12345678}}, .op = Op::Get, .id = 5168,
       .read = true, .readType = 1, .readLength = 4, .readValue = 0x12345678, .written = 4, .readArea = P},
      {.name = "packed low byte", .preset = {{S, 356, 4, 0x12AB3456}}, .op = Op::Get, .id = 392, .read = true,
       .readType = 5, .readLength = 4, .readValue = 0x56, .written = 4},
      {.name = "packed middle byte stays in place", .preset = {{S, 364, 4, 0x12AB3456}}, .op = Op::Get, .id = 399,
       .read = true, .readType = 5, .readLength = 4, .readValue = 0x3400, .written = 4},
      {.name = "packed high byte stays in place", .preset = {{S, 368, 4, 0x12AB3456}}, .op = Op::Get, .id = 403,
       .read = true, .readType = 5, .readLength = 4, .readValue = 0xAB0000, .written = 4},
      {.name = "resolution pair", .preset = {{S, 90, 2, 300}, {S, 96, 2, 600}}, .op = Op::Get, .id = 14,
       .read = true, .readType = 5, .readLength = 4, .readValue = 0x012C0258, .written = 4},
      {.name = "resolution pair with negative y does not borrow", .preset = {{S, 90, 2, 300}, {S, 96, 2, 0xFFFF}},
       .op = Op::Get, .id = 14, .read = true, .readType = 5, .readLength = 4, .readValue = 0x012CFFFF,
       .written = 4},
      {.name = "quality half of the pair", .preset = {{S, 90, 2, 300}, {S, 96, 2, 600}}, .op = Op::Get, .id = 20,
       .read = true, .readType = 2, .readLength = 2, .readValue = 300, .written = 2},
      {.name = "escapement while orientation differs", .preset = {{S, 596, 4, 900}, {S, 600, 4, 0}},
       .op = Op::Get, .id = 311, .read = true, .readResult = kItemFailed, .readArea = S},
      {.name = "escapement while orientation agrees", .preset = {{S, 596, 4, 900}, {S, 600, 4, 900}},
       .op = Op::Get, .id = 311, .read = true, .readType = 10, .readLength = 4, .readValue = 900, .written = 4},
      {.name = "string gives its offset and length", .preset = {{S, 382, 8, 0x0063006200610041}}, .op = Op::Get,
       .id = 297, .read = true, .readType = 6, .readLength = 10, .readValue = 382, .written = 8},
      {.name = "full string field without terminator", .preset = {{S, 752, 8, ~0ull}, {S, 760, 8, ~0ull},
                                                                  {S, 768, 2, 0xFFFF}},
       .op = Op::Get, .id = 338, .read = true, .readType = 6, .readLength = 20, .readValue = 752, .written = 8},
      {.name = "empty odd field", .op = Op::Get, .id = 329, .read = true, .readType = 6, .readLength = 2,
       .readValue = 693, .written = 8},
      {.name = "font gives its offset", .op = Op::Get, .id = 357, .read = true, .readType = 9, .readLength = 92,
       .readValue = 816, .written = 8},
      {.name = "extension item counts from byte 1548", .preset = {{X, 0, 2, 0x5040}}, .op = Op::Get, .id = 1793,
       .read = true, .readType = 3, .readLength = 2, .readValue = 0x5040, .written = 2, .readArea = X},
      {.name = "extension string offset is area-relative", .op = Op::Get, .id = 1858, .read = true, .readType = 6,
       .readLength = 2, .readValue = 3732, .written = 8, .readArea = X},
      {.name = "configuration layout version", .preset = {{P, 4, 2, 0x2142}}, .op = Op::Get, .id = 8203,
       .read = true, .readType = 3, .readLength = 2, .readValue = 0x2142, .written = 2, .readArea = P},

      // ---- writing: types and lengths
      {.name = "byte item in its own type", .op = Op::Set, .id = 264, .type = 8, .length = 1, .value = 0x7F,
       .after = {{S, 300, 2, 0x7F}}},
      {.name = "byte item in its exchange type stores one byte", .op = Op::Set, .id = 264, .type = 3, .length = 2,
       .value = 0x1234, .after = {{S, 300, 2, 0x34}}},
      {.name = "exchange type with a wrong length", .op = Op::Set, .id = 264, .type = 3, .length = 4,
       .value = 0x1234, .result = kItemBadLength, .unchanged = true},
      {.name = "type neither own nor exchange", .op = Op::Set, .id = 264, .type = 5, .length = 4, .value = 1,
       .result = kItemBadType, .unchanged = true},
      {.name = "invalid type code", .op = Op::Set, .id = 264, .type = 7, .length = 1, .value = 1,
       .result = kItemBadType, .unchanged = true},
      {.name = "16-bit item", .op = Op::Set, .id = 8203, .type = 3, .length = 2, .value = 0x2142,
       .read = true, .readType = 3, .readLength = 2, .readValue = 0x2142, .written = 2, .readArea = P,
       .after = {{P, 4, 2, 0x2142}}},
      {.name = "signed item with the unsigned type", .op = Op::Set, .id = 7, .type = 3, .length = 2, .value = 1,
       .result = kItemBadType, .unchanged = true},
      {.name = "id in no range", .op = Op::Set, .id = 0x1D2, .type = 3, .length = 2, .result = kItemNoRange,
       .unchanged = true},
      {.name = "id without a row", .op = Op::Set, .id = 0x121, .type = 3, .length = 2, .result = kItemFailed,
       .unchanged = true},
      {.name = "record of the area missing", .op = Op::Set, .id = 0x701, .type = 3, .length = 2, .value = 1,
       .result = kItemFailed, .records = Records::ConfigOnly},
      {.name = "configuration item without settings", .op = Op::Set, .id = 0x1001, .type = 1, .length = 4,
       .value = 1, .after = {{P, 8, 4, 1}}, .records = Records::ConfigOnly},
      {.name = "missing source", .op = Op::Set, .id = 264, .type = 8, .length = 1, .arg = Arg::NullSource,
       .result = kItemFailed, .unchanged = true},
      {.name = "extension item", .op = Op::Set, .id = 1825, .type = 4, .length = 4, .value = 0xFFFFFFF6,
       .after = {{X, 2052, 4, 0xFFFFFFF6}}},

      // ---- flags
      {.name = "flag without exchange type ignores the length", .preset = {{S, 292, 4, 0xF0000000}},
       .op = Op::Set, .id = 0x522, .type = 1, .length = 7, .value = 1, .after = {{S, 292, 4, 0xF0000002}}},
      {.name = "flag written from the first byte only", .preset = {{S, 288, 4, 0xFFFFFFFF}}, .op = Op::Set,
       .id = 0x501, .type = 1, .length = 0, .value = 0x100, .after = {{S, 288, 4, 0xFFFFFFFE}}},
      {.name = "flag of the configuration", .op = Op::Set, .id = 0x1220, .type = 1, .length = 4, .value = 1,
       .after = {{P, 2988, 4, 0x80000000}}},
      {.name = "whole-word type-1 item with a short length", .op = Op::Set, .id = 5168, .type = 1, .length = 2,
       .value = 1, .result = kItemBadLength, .unchanged = true},
      {.name = "inverted flag: 2 sets the bit and reads 0", .op = Op::Set, .id = 1284, .type = 5, .length = 4,
       .value = 2, .read = true, .readType = 5, .readLength = 4, .readValue = 0, .written = 4,
       .after = {{S, 288, 4, 0x8}}},
      {.name = "inverted flag: 1 clears the bit and reads 1", .preset = {{S, 288, 4, 0xFFFFFFFF}}, .op = Op::Set,
       .id = 1284, .type = 1, .length = 4, .value = 1, .read = true, .readType = 5, .readLength = 4,
       .readValue = 1, .written = 4, .after = {{S, 288, 4, 0xFFFFFFF7}}},
      {.name = "flag in its byte exchange type", .op = Op::Set, .id = 1302, .type = 8, .length = 1, .value = 1,
       .after = {{S, 288, 4, 1u << 21}}},
      {.name = "flag exchange type checks the length", .op = Op::Set, .id = 1302, .type = 8, .length = 4,
       .value = 1, .result = kItemBadLength, .unchanged = true},

      // ---- packed bytes, pair, mirrors
      {.name = "packed byte changes only its bits", .preset = {{S, 356, 4, 0x11223344}}, .op = Op::Set, .id = 394,
       .type = 5, .length = 4, .value = 0xFFAB00FF, .read = true, .readType = 5, .readLength = 4,
       .readValue = 0xAB0000, .written = 4, .after = {{S, 356, 4, 0x11AB3344}}},
      {.name = "resolution pair splits", .op = Op::Set, .id = 14, .type = 5, .length = 4, .value = 0x012C0258,
       .read = true, .readType = 5, .readLength = 4, .readValue = 0x012C0258, .written = 4,
       .after = {{S, 90, 2, 300}, {S, 92, 4, 0}, {S, 96, 2, 600}}},
      {.name = "escapement mirrored to orientation", .op = Op::Set, .id = 311, .type = 10, .length = 4,
       .value = 450, .read = true, .readType = 10, .readLength = 4, .readValue = 450, .written = 4,
       .after = {{S, 596, 4, 450}, {S, 600, 4, 450}}},
      {.name = "second font escapement mirrored", .op = Op::Set, .id = 364, .type = 10, .length = 4,
       .value = 0xFFFFFC7C, .after = {{S, 824, 4, 0xFFFFFC7C}, {S, 828, 4, 0xFFFFFC7C}}},
      {.name = "plain orientation is not mirrored", .op = Op::Set, .id = 310, .type = 10, .length = 4,
       .value = 900, .after = {{S, 596, 4, 0}, {S, 600, 4, 900}}},

      // ---- strings and fonts
      {.name = "32 characters fill a 66-byte field", .op = Op::Set, .id = 297, .type = 6, .length = 66,
       .arg = Arg::Text, .text = Repeat(u'A', 32), .read = true, .readType = 6, .readLength = 66,
       .readValue = 382, .written = 8, .after = {{S, 444, 4, 0x00000041}}},
      {.name = "33 characters do not fit 66 bytes", .op = Op::Set, .id = 297, .type = 6, .length = 68,
       .arg = Arg::Text, .text = Repeat(u'A', 33), .result = kItemTooLong, .unchanged = true},
      {.name = "caller length above the field", .op = Op::Set, .id = 338, .type = 6, .length = 20,
       .arg = Arg::Text, .text = u"ab", .result = kItemTooLong, .unchanged = true},
      {.name = "terminator beyond the caller's length", .op = Op::Set, .id = 297, .type = 6, .length = 6,
       .arg = Arg::Text, .text = u"abcd", .result = kItemTooLong, .unchanged = true},
      {.name = "odd-length caller buffer", .op = Op::Set, .id = 297, .type = 6, .length = 5, .arg = Arg::Text,
       .text = u"ab", .result = kItemTooLong, .unchanged = true},
      {.name = "string stores its terminator, not the rest", .preset = {{S, 752, 8, ~0ull}}, .op = Op::Set,
       .id = 338, .type = 6, .length = 18, .arg = Arg::Text, .text = u"x",
       .after = {{S, 752, 8, 0xFFFFFFFF00000078}}},
      {.name = "23 characters fill the odd field", .op = Op::Set, .id = 329, .type = 6, .length = 48,
       .arg = Arg::Text, .text = Repeat(u'z', 23), .read = true, .readType = 6, .readLength = 48,
       .readValue = 693, .written = 8, .after = {{S, 693 + 44, 4, 0x0000007A}}},
      {.name = "24 characters do not fit the odd field", .op = Op::Set, .id = 329, .type = 6, .length = 50,
       .arg = Arg::Text, .text = Repeat(u'z', 24), .result = kItemTooLong, .unchanged = true},
      {.name = "two-byte field takes only the empty string", .op = Op::Set, .id = 1854, .type = 6, .length = 4,
       .arg = Arg::Text, .text = u"a", .result = kItemTooLong, .unchanged = true},
      {.name = "missing string pointer", .op = Op::Set, .id = 297, .type = 6, .length = 66,
       .arg = Arg::NullPointer, .result = kItemFailed, .unchanged = true},
      {.name = "string given for a number", .op = Op::Set, .id = 296, .type = 6, .length = 2, .arg = Arg::Text,
       .text = u"", .result = kItemBadType, .unchanged = true},
      {.name = "font copied whole", .op = Op::Set, .id = 304, .type = 9, .length = 92, .arg = Arg::Font,
       .read = true, .readType = 9, .readLength = 92, .readValue = kFont1, .written = 8,
       .after = {{S, 588, 4, 70000}, {S, 596, 4, 0x02020202}, {S, 676, 4, 0x16161616}}},
      {.name = "font longer than its field", .op = Op::Set, .id = 304, .type = 9, .length = 93, .arg = Arg::Font,
       .result = kItemTooLong, .unchanged = true},
      {.name = "font buffer shorter than a LOGFONTW", .op = Op::Set, .id = 304, .type = 9, .length = 60,
       .arg = Arg::Font, .result = kItemTooLong, .unchanged = true},
      {.name = "missing font pointer", .op = Op::Set, .id = 357, .type = 9, .length = 92,
       .arg = Arg::NullPointer, .result = kItemFailed, .unchanged = true},

      // ---- linked items
      {.name = "staple position follows orientation and pages per sheet",
       .preset = {{S, 76, 2, 1}, {S, 375 + 4, 1, 4}, {S, 688, 2, 0xBEEF}}, .op = Op::Set, .id = 320, .type = 8,
       .length = 1, .value = 3, .after = {{S, 680, 1, 3}, {S, 688, 2, 0x0101}}},
      {.name = "staple position crossing", .preset = {{S, 76, 2, 2}, {S, 379, 1, 4}}, .op = Op::Set, .id = 320,
       .type = 3, .length = 2, .value = 5, .after = {{S, 680, 1, 5}, {S, 688, 2, 0x0101}}},
      {.name = "staple rows 0, 9 and 10 ignore the pairing", .preset = {{S, 76, 2, 7}}, .op = Op::Set, .id = 320,
       .type = 8, .length = 1, .value = 10, .after = {{S, 688, 2, 0x0707}}},
      {.name = "staple position without a pairing class", .preset = {{S, 76, 2, 1}, {S, 688, 2, 0xBEEF}},
       .op = Op::Set, .id = 320, .type = 8, .length = 1, .value = 3, .result = kItemFailed,
       .after = {{S, 680, 1, 3}, {S, 688, 2, 0xBEEF}}},
      {.name = "staple value without a row", .preset = {{S, 688, 2, 0xBEEF}}, .op = Op::Set, .id = 320,
       .type = 8, .length = 1, .value = 11, .result = kItemFailed, .after = {{S, 680, 1, 11}, {S, 688, 2, 0xBEEF}}},
      {.name = "punch position", .preset = {{S, 76, 2, 2}, {S, 379, 1, 16}}, .op = Op::Set, .id = 341, .type = 8,
       .length = 1, .value = 2, .after = {{S, 790, 1, 2}, {S, 794, 2, 0x0303}}},
      {.name = "punch position with a key of no value", .preset = {{S, 76, 2, 1}, {S, 379, 1, 1}}, .op = Op::Set,
       .id = 341, .type = 3, .length = 2, .value = 0xFFFF, .after = {{S, 790, 1, 0xFF}, {S, 794, 2, 0xFFFF}}},
      {.name = "position mapped", .op = Op::Set, .id = 267, .type = 8, .length = 1, .value = 5,
       .after = {{S, 308, 1, 5}, {S, 686, 1, 1}}},
      {.name = "position without a mapping", .preset = {{S, 686, 1, 0x77}}, .op = Op::Set, .id = 267, .type = 8,
       .length = 1, .value = 9, .result = kItemFailed, .after = {{S, 308, 1, 9}, {S, 686, 1, 0x77}}},
  };
  return cases;
}

BYTE* AreaBase(SettingsRecord* settings, PrinterConfiguration* config, ItemArea area) {
  if (area == kAreaSettings) return settings->bytes;
  if (area == kAreaExtension) return settings->bytes + kSettingsExtensionOffset;
  return config->bytes;
}

// A LOGFONTW with recognisable bytes: height 70000, then each 4-byte group k repeats k.
std::vector<BYTE> MakeFont() {
  std::vector<BYTE> font(kLogFontSize);
  for (size_t i = 0; i < font.size(); ++i) font[i] = BYTE(i / 4);
  const LONG height = 70000;
  std::memcpy(font.data(), &height, 4);
  return font;
}

void RunCase(const EngineApi& api, const EngineCase& c) {
  SCOPED_TRACE(c.name);
  // Records on the heap at their exact sizes, so that any access past them is caught.
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  for (const Bytes& b : c.preset)
    std::memcpy(AreaBase(settings.get(), config.get(), b.area) + b.offset, &b.value, b.size);
  const SettingsRecord settingsBefore = *settings;
  const PrinterConfiguration configBefore = *config;
  SettingsRecord* s = c.records == Records::ConfigOnly ? nullptr : settings.get();
  PrinterConfiguration* p = c.records == Records::SettingsOnly ? nullptr : config.get();

  if (c.op == Op::Set) {
    // The caller's value in a buffer of exactly its length.
    std::vector<BYTE> data;
    const void* pointer = nullptr;
    const void* source = nullptr;
    if (c.arg == Arg::Text) {
      data.assign(c.length, 0xEE);
      std::memcpy(data.data(), c.text.c_str(), std::min<size_t>(c.length, 2 * (c.text.size() + 1)));
      pointer = data.data();
      source = &pointer;
    } else if (c.arg == Arg::Font) {
      data = MakeFont();
      data.resize(c.length, 0xEE);
      pointer = data.data();
      source = &pointer;
    } else if (c.arg == Arg::NullPointer) {
      source = &pointer;
    } else if (c.arg == Arg::Number) {
      data.resize(std::max<DWORD>(c.length, 1));
      std::memcpy(data.data(), &c.value, std::min<size_t>(data.size(), 8));
      source = data.data();
    }
    EXPECT_EQ(api.set(c.id, s, p, c.type, c.length, source), c.result);
  }
  if (c.read) {
    ValueTypeCode type = 0xEE;
    DWORD length = 0xEE;
    ItemArea area = 0xEE;
    BYTE value[16];
    std::memset(value, 0xCC, sizeof value);
    const ItemAccessResult result =
        c.arg == Arg::NullOutput ? api.get(c.id, s, p, nullptr, &length, value, &area)
                                 : api.get(c.id, s, p, &type, &length, value, &area);
    EXPECT_EQ(result, c.readResult);
    EXPECT_EQ(area, c.readResult == kItemNoRange ? 0xEE : c.readArea);
    if (c.readResult == kItemDone) {
      EXPECT_EQ(type, c.readType);
      EXPECT_EQ(length, c.readLength);
      ULONGLONG got = 0;
      std::memcpy(&got, value, c.written);
      EXPECT_EQ(got, c.readValue);
      for (size_t i = c.written; i < sizeof value; ++i) EXPECT_EQ(value[i], 0xCC) << "byte " << i << " written";
    } else {
      EXPECT_EQ(type, 0xEE);
      EXPECT_EQ(length, 0xEEu);
      EXPECT_EQ(value[0], 0xCC);
    }
  }
  for (const Bytes& b : c.after) {
    ULONGLONG got = 0;
    std::memcpy(&got, AreaBase(settings.get(), config.get(), b.area) + b.offset, b.size);
    EXPECT_EQ(got, b.value) << "area " << b.area << " offset " << b.offset;
  }
  if (c.unchanged) {
    EXPECT_EQ(std::memcmp(&settingsBefore, settings.get(), sizeof settingsBefore), 0);
    EXPECT_EQ(std::memcmp(&configBefore, config.get(), sizeof configBefore), 0);
  }
}

}  // namespace

void RunEngineCases(const EngineApi& api) {
  for (const EngineCase& c : Cases()) RunCase(api, c);
}
