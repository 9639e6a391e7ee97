// The public item interface of qorvexdata: one case table through every DMA_ export, on real
// records held by a DmaContext, under the ANSI code pages 1252 and 932.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dataaccess/dma_interface.h"
#include "items/user_setting_info.h"
#include "platform/kernel/kernel_sim.h"
#include "qorvexdata_module.h"
#include "tests/support/sandbox_test.h"

namespace {

using Bytes = std::string;

Bytes U16(WORD v) { return Bytes(reinterpret_cast<const char*>(&v), 2); }
Bytes U32(DWORD v) { return Bytes(reinterpret_cast<const char*>(&v), 4); }
// A wide text with its terminator, as stored.
Bytes W(std::u16string_view text) {
  Bytes b(reinterpret_cast<const char*>(text.data()), 2 * text.size());
  return b + Bytes(2, '\0');
}
Bytes Fill(size_t n, char c) { return Bytes(n, c); }
// A stored LOGFONTW: height, width 0, escapement 900, orientation 900, weight 700, italic 1,
// charset 128, and the face.
Bytes LogFontW(LONG height, std::u16string_view face) {
  Bytes b = U32(DWORD(height)) + U32(0) + U32(900) + U32(900) + U32(700) + Bytes("\x01\x00\x00\x80\x00\x00\x00\x00", 8);
  Bytes name = W(face);
  name.resize(64, '\0');
  return b + name;
}

struct Poke {
  ItemArea area;
  DWORD offset;
  Bytes bytes;
};

enum class Call { GetValue, SetValue, GetString, SetString, GetFont, SetFont, GetUserInfo, SetUserInfo };

struct DmaCase {
  const char* name;
  Call call;
  PublicItemId id = 0;
  UINT codePage = 1252;
  std::vector<Poke> preset = {};
  DWORD number = 0;        // SetValue's value; GetValue's expected value
  Bytes input = {};        // SetString: the caller's bytes; SetFont: its face; SetUserInfo: the block
  DWORD length = 0;        // the length given (Get: the buffer's size)
  bool noBuffer = false;   // pass no buffer / text / font / block
  DmaResult result = kDmaDone;
  DWORD outLength = 0;     // Get: the length output afterwards
  Bytes output = {};       // GetString: the text with terminator; GetFont: LOGFONTA; GetUserInfo: pokes below
  std::vector<Poke> out = {};  // GetUserInfo: bytes of the block (area unused)
  std::vector<Poke> after = {};
  bool unchanged = false;  // records exactly as preset
  bool noSettings = false;
  bool noConfig = false;
};

constexpr ItemArea S = kAreaSettings, X = kAreaExtension, P = kAreaPrinterConfig;

Bytes LogFontA(LONG height, const Bytes& face) {
  Bytes b = U32(DWORD(height)) + U32(0) + U32(900) + U32(900) + U32(700) + Bytes("\x01\x00\x00\x80\x00\x00\x00\x00", 8);
  Bytes name = face;
  name.resize(32, '\0');
  return b + name;
}

// A version-3 block with a value in a few fields, the rest zero.
Bytes Block3() {
  Bytes b(kUserSettingInfoSize, '\0');
  b.replace(0, 2, U16(3));
  b.replace(74, 10, W(u"Dept"));          // 0x1409
  b.replace(134, 2, U16(7));              // 0x141A
  b.replace(432, 8, W(u"Ann"));           // 0x141E
  b.replace(624, 1, "\x05");              // 0x142D
  b.replace(628, 4, U32(0xCAFE));         // 0x1431
  b.replace(944, 34, W(u"CgAXFQ4EExkCCB8d"));  // 0x1441, stored as given
  return b;
}
Bytes Block2() {
  Bytes b = Block3().substr(0, kUserSettingInfoV2Size);
  b.replace(0, 2, U16(2));
  b.replace(524, 32, Fill(32, 'x'));  // 0x1429 cut by the end of version 2: 16 characters, no terminator
  return b;
}
Bytes Block1() {
  Bytes b(484, '\0');
  b.replace(0, 2, U16(1));
  b.replace(72, 8, W(u"Ann"));   // -> 432 (0x141E)
  b.replace(164, 10, W(u"Dept")); // -> 74 (0x1409)
  b.replace(224, 2, U16(9));     // -> 134 (0x141A)
  return b;
}

const std::vector<DmaCase>& Cases() {
  static const std::vector<DmaCase> cases = {
      // ---- numbers and flags
      {.name = "public id in no range", .call = Call::GetValue, .id = 0x1020, .result = kDmaNoItem},
      {.name = "public id in a range without a pair", .call = Call::GetValue, .id = 0x502, .result = kDmaNoItem},
      {.name = "signed 16-bit item", .call = Call::GetValue, .id = 0x007, .preset = {{S, 76, U16(0xFFFE)}},
       .number = 0xFFFE},
      {.name = "byte item in its exchange type", .call = Call::GetValue, .id = 0x108, .preset = {{S, 300, "\xAB"}},
       .number = 0xAB},
      {.name = "flag mapped into another range", .call = Call::GetValue, .id = 0x1CF,
       .preset = {{P, 4444, U32(1)}}, .number = 1},
      {.name = "packed byte stays in place", .call = Call::GetValue, .id = 0x18A, .preset = {{S, 356, U32(0x12AB3456)}},
       .number = 0xAB0000},
      {.name = "number call on a string", .call = Call::GetValue, .id = 0x129, .result = kDmaIsString},
      {.name = "number call on a font", .call = Call::SetValue, .id = 0x130, .result = kDmaIsFont, .unchanged = true},
      {.name = "missing value pointer", .call = Call::GetValue, .id = 0x007, .noBuffer = true, .result = kDmaFailed},
      {.name = "settings item without settings", .call = Call::GetValue, .id = 0x007, .result = kDmaFailed,
       .noSettings = true},
      {.name = "printer item without settings", .call = Call::SetValue, .id = 0x301, .number = 0x101,
       .after = {{P, 8, U32(1)}}, .noSettings = true},
      {.name = "flag written from the low byte", .call = Call::SetValue, .id = 0x301, .preset = {{P, 8, U32(1)}},
       .number = 0x100, .after = {{P, 8, U32(0)}}},
      {.name = "low-order bytes in the own size", .call = Call::SetValue, .id = 0x007, .number = 0x12345,
       .after = {{S, 76, U16(0x2345)}, {S, 78, U16(0)}}},
      {.name = "resolution pair", .call = Call::SetValue, .id = 0x00E, .number = 0x012C0258,
       .after = {{S, 90, U16(300)}, {S, 96, U16(600)}}},
      {.name = "linked item recomputed", .call = Call::SetValue, .id = 0x10B, .number = 5,
       .after = {{S, 308, "\x05"}, {S, 686, "\x01"}}},
      {.name = "engine refusal", .call = Call::SetValue, .id = 0x10B, .number = 9, .result = kDmaFailed,
       .after = {{S, 308, "\x09"}, {S, 686, Bytes(1, '\0')}}},

      // ---- strings
      {.name = "size query: character count", .call = Call::GetString, .id = 0x129, .noBuffer = true,
       .result = kDmaTooSmall, .outLength = 33},
      {.name = "string read", .call = Call::GetString, .id = 0x129, .preset = {{S, 382, W(u"Abc\u00e9")}},
       .length = 33, .outLength = 33, .output = Bytes("Abc\xE9", 5)},
      {.name = "string read converts the whole field", .call = Call::GetString, .id = 0x129,
       .preset = {{S, 382, W(u"Ab") + Bytes("s\0t\0", 4)}}, .input = Fill(40, '#'), .length = 40, .outLength = 40,
       .output = Bytes("Ab\0st", 5) + Fill(28, '\0') + Fill(7, '#')},
      {.name = "932 read of a field whose rest no longer fits", .call = Call::GetString, .id = 0x129, .codePage = 932,
       .preset = {{S, 382, W(std::u16string(20, u'\u65e5')) + W(u"zzzzzzzzzz")}}, .input = Fill(44, '#'), .length = 44,
       .outLength = 44, .output = [] {
         Bytes s;
         for (int i = 0; i < 20; ++i) s += "\x93\xFA";
         return s + Bytes(1, '\0') + Fill(3, '#');
       }()},
      {.name = "buffer below the character count", .call = Call::GetString, .id = 0x129, .length = 32,
       .result = kDmaTooSmall, .outLength = 33},
      {.name = "no buffer with a length", .call = Call::GetString, .id = 0x129, .length = 5, .noBuffer = true,
       .result = kDmaFailed, .outLength = 5},
      {.name = "string call on a font", .call = Call::GetString, .id = 0x130, .length = 80, .result = kDmaIsFont,
       .outLength = 80},
      {.name = "string call on a number", .call = Call::SetString, .id = 0x007, .input = Bytes("1", 2), .length = 2,
       .result = kDmaWrongKind, .unchanged = true},
      {.name = "string written", .call = Call::SetString, .id = 0x129, .preset = {{S, 382, Fill(66, 'z')}},
       .input = Bytes("Hello\0", 6), .length = 6, .after = {{S, 382, W(u"Hello")}, {S, 394, "zz"}}},
      {.name = "text ends at the caller's length", .call = Call::SetString, .id = 0x129, .input = "abcd", .length = 4,
       .after = {{S, 382, W(u"abcd")}}},
      {.name = "32 characters and terminator fit", .call = Call::SetString, .id = 0x129,
       .input = Fill(32, 'q') + Bytes(1, '\0'), .length = 33, .after = {{S, 382 + 62, W(u"q")}}},
      {.name = "33 characters leave no room for the terminator", .call = Call::SetString, .id = 0x129,
       .input = Fill(33, 'q'), .length = 33, .result = kDmaTooLong, .unchanged = true},
      {.name = "length above the character count", .call = Call::SetString, .id = 0x129,
       .input = Bytes("a\0", 2) + Fill(32, 'x'), .length = 34, .result = kDmaTooLong, .unchanged = true},
      {.name = "missing text", .call = Call::SetString, .id = 0x129, .length = 4, .noBuffer = true,
       .result = kDmaFailed, .unchanged = true},
      {.name = "1252 upper half", .call = Call::SetString, .id = 0x129, .input = Bytes("\x80\xE9\0", 3), .length = 3,
       .after = {{S, 382, W(u"\u20ac\u00e9")}}},
      {.name = "932 text written", .call = Call::SetString, .id = 0x129, .codePage = 932,
       .input = Bytes("\x93\xFA\x96\x7B\xB1\0", 6), .length = 6, .after = {{S, 382, W(u"\u65e5\u672c\uff71")}}},
      {.name = "932 text read", .call = Call::GetString, .id = 0x129, .codePage = 932,
       .preset = {{S, 382, W(u"\u65e5\u672c\uff71")}}, .length = 33, .outLength = 33,
       .output = Bytes("\x93\xFA\x96\x7B\xB1", 6)},
      {.name = "932 size query counts bytes", .call = Call::GetString, .id = 0x129, .codePage = 932,
       .preset = {{S, 382, W(std::u16string(20, u'\u65e5'))}}, .noBuffer = true, .result = kDmaTooSmall,
       .outLength = 41},
      {.name = "932 buffer of the character count is too small", .call = Call::GetString, .id = 0x129,
       .codePage = 932, .preset = {{S, 382, W(std::u16string(20, u'\u65e5'))}}, .length = 33,
       .result = kDmaTooSmall, .outLength = 41},
      {.name = "raw field size query", .call = Call::GetString, .id = 0x149, .noBuffer = true,
       .result = kDmaTooSmall, .outLength = 49},
      {.name = "raw field read", .call = Call::GetString, .id = 0x149, .preset = {{S, 693, Fill(49, '\x81')}},
       .length = 49, .outLength = 49, .output = Fill(49, '\x81')},
      {.name = "raw field with a short buffer", .call = Call::GetString, .id = 0x149, .length = 48,
       .result = kDmaTooSmall, .outLength = 49},
      {.name = "raw field takes exactly the caller's bytes", .call = Call::SetString, .id = 0x149,
       .preset = {{S, 693, Fill(49, 'z')}}, .input = "0123456789", .length = 10,
       .after = {{S, 693, "0123456789" + Fill(39, '\0')}}},
      {.name = "raw field with too many bytes", .call = Call::SetString, .id = 0x149, .input = Fill(50, 'a'),
       .length = 50, .result = kDmaTooLong, .unchanged = true},

      // ---- secret strings
      {.name = "secret size query", .call = Call::GetString, .id = 0x9001, .noBuffer = true, .result = kDmaTooSmall,
       .outLength = 13},
      {.name = "secret is write-only", .call = Call::GetString, .id = 0x9001, .length = 40, .result = kDmaFailed,
       .outLength = 40},
      {.name = "secret stored scrambled", .call = Call::SetString, .id = 0x9001, .input = Bytes("abcdefghijkl\0", 13),
       .length = 13, .after = {{P, 3052, W(u"CgAXFQ4EExkCCB8d")}}},
      {.name = "secret input of 13 bytes", .call = Call::SetString, .id = 0x9003, .input = Fill(13, 'a'),
       .length = 13, .result = kDmaTooLong, .unchanged = true},
      {.name = "secret length above its limit", .call = Call::SetString, .id = 0x9001,
       .input = Bytes("abc\0", 4) + Fill(10, 'x'), .length = 14, .result = kDmaTooLong, .unchanged = true},
      {.name = "secret emptied", .call = Call::SetString, .id = 0x9008, .preset = {{P, 4394, W(u"Cg==")}},
       .input = Bytes(1, '\0'), .length = 1, .after = {{P, 4394, Bytes(2, '\0') + Bytes("g", 2)}}},
      {.name = "long secret in the extension", .call = Call::SetString, .id = 0x9005,
       .input = Bytes("abcdefghijklmnopqrst\0", 21), .length = 21,
       .after = {{X, 3732, W(u"CgAXFQ4EExkCCB8dBgwbARoQBwU=")}}},
      {.name = "secret reachable as a plain item", .call = Call::GetString, .id = 0x228,
       .preset = {{X, 3732, W(u"Cg==")}}, .length = 29, .outLength = 29, .output = Bytes("Cg==", 5)},

      // ---- fonts
      {.name = "font size query", .call = Call::GetFont, .id = 0x130, .noBuffer = true, .result = kDmaTooSmall,
       .outLength = 60},
      {.name = "font read", .call = Call::GetFont, .id = 0x130, .preset = {{S, 588, LogFontW(70000, u"Arial")}},
       .length = 60, .outLength = 60, .output = LogFontA(70000, "Arial")},
      {.name = "font read with a short buffer", .call = Call::GetFont, .id = 0x165, .length = 59,
       .result = kDmaTooSmall, .outLength = 60},
      {.name = "font call on a string", .call = Call::GetFont, .id = 0x131, .length = 60, .result = kDmaIsString,
       .outLength = 60},
      {.name = "font call on a number", .call = Call::GetFont, .id = 0x132, .length = 60, .result = kDmaWrongKind,
       .outLength = 60},
      {.name = "932 face longer than a LOGFONTA keeps whole characters", .call = Call::GetFont, .id = 0x165,
       .codePage = 932, .preset = {{S, 816, LogFontW(-12, std::u16string(20, u'\u65e5'))}}, .length = 60,
       .outLength = 60, .output = LogFontA(-12, [] {
         Bytes s;
         for (int i = 0; i < 15; ++i) s += "\x93\xFA";
         return s;
       }())},
      {.name = "font written", .call = Call::SetFont, .id = 0x130, .input = "Arial", .length = 60,
       .after = {{S, 588, LogFontW(70000, u"Arial")}}},
      {.name = "932 face written", .call = Call::SetFont, .id = 0x165, .codePage = 932, .input = "\x93\xFA\x96\x7B",
       .length = 60, .after = {{S, 816, LogFontW(70000, u"\u65e5\u672c")}}},
      {.name = "font length above a LOGFONTA", .call = Call::SetFont, .id = 0x130, .input = "Arial", .length = 61,
       .result = kDmaTooLong, .unchanged = true},
      // A caller's length below a LOGFONTA says that fewer bytes are there than a font holds:
      // nothing is read beyond them.
      {.name = "font length below a LOGFONTA", .call = Call::SetFont, .id = 0x130, .input = "Arial", .length = 59,
       .result = kDmaTooSmall, .unchanged = true},
      {.name = "font length of the fixed fields", .call = Call::SetFont, .id = 0x130, .input = "Arial", .length = 28,
       .result = kDmaTooSmall, .unchanged = true},
      {.name = "font length 0", .call = Call::SetFont, .id = 0x130, .input = "Arial", .length = 0,
       .result = kDmaTooSmall, .unchanged = true},
      {.name = "face without terminator", .call = Call::SetFont, .id = 0x130, .input = Fill(32, 'F'), .length = 60,
       .result = kDmaTooLong, .unchanged = true},
      {.name = "missing font", .call = Call::SetFont, .id = 0x130, .length = 60, .noBuffer = true,
       .result = kDmaFailed, .unchanged = true},

      // ---- UserSettingInfo
      {.name = "block size query", .call = Call::GetUserInfo, .noBuffer = true, .result = kDmaTooSmall,
       .outLength = 980},
      {.name = "block buffer of 979 bytes", .call = Call::GetUserInfo, .length = 979, .result = kDmaTooSmall,
       .outLength = 979},
      {.name = "no block with a length", .call = Call::GetUserInfo, .length = 980, .noBuffer = true,
       .result = kDmaFailed, .outLength = 980},
      {.name = "block read", .call = Call::GetUserInfo,
       .preset = {{P, 0, U16(0xAAAA) + U16(0x4005) + U16(0x2142)}, {P, 1188, U16(0x1411)}, {P, 1134, W(u"Dept")},
                  {P, 3052, W(u"CgAXFQ4EExkCCB8d")}, {P, 3984, U32(0x11223344)}, {P, 4394, W(u"z")}},
       .length = 1000, .outLength = 1000,
       .out = {{0, 0, U16(3) + U16(0x2142) + U16(0x4005) + U16(0x1411) + W(u"QX-4500")},
               {0, 72, U16(0) + W(u"Dept")},
               {0, 394, W(u"CgAXFQ4EExkCCB8d")},
               {0, 428, U16(0)},
               {0, 624, Bytes(4, '\0') + U32(0x11223344)},
               {0, 944, W(u"z")},
               {0, 978, Bytes(2, '\0')}}},
      {.name = "block read without a configuration", .call = Call::GetUserInfo, .length = 980, .result = kDmaFailed,
       .outLength = 980, .noConfig = true},
      {.name = "version 3 block written", .call = Call::SetUserInfo, .preset = {{P, 0, U16(0xAAAA)}},
       .input = Block3(),
       .after = {{P, 0, U16(0xAAAA)}, {P, 1134, W(u"Dept")}, {P, 1244, U16(7)}, {P, 1536, W(u"Ann")},
                 {P, 3846, "\x05"}, {P, 3984, U32(0xCAFE)}, {P, 4394, W(u"CgAXFQ4EExkCCB8d")}}},
      {.name = "version 2 block written", .call = Call::SetUserInfo, .preset = {{P, 3984, U32(0xCAFE)}},
       .input = Block2(),
       .after = {{P, 1134, W(u"Dept")}, {P, 1536, W(u"Ann")}, {P, 3120, Fill(32, 'x') + Bytes(2, '\0')},
                 {P, 3984, U32(0)}, {P, 4394, Bytes(2, '\0')}}},
      {.name = "version 1 block written", .call = Call::SetUserInfo, .preset = {{P, 3846, "\x05"}},
       .input = Block1(),
       .after = {{P, 1134, W(u"Dept")}, {P, 1244, U16(9)}, {P, 1536, W(u"Ann")}, {P, 3846, Bytes(1, '\0')}}},
      {.name = "block of version 4", .call = Call::SetUserInfo, .input = U16(4) + Fill(978, 'a'),
       .result = kDmaFailed, .unchanged = true},
      {.name = "block field without terminator", .call = Call::SetUserInfo,
       .input = [] {
         Bytes b = Block3();
         b.replace(136, 258, Fill(258, 'w'));  // 0x141B, after 0x1409 0x140A 0x141A in the walk
         return b;
       }(),
       .result = kDmaFailed, .after = {{P, 1134, W(u"Dept")}, {P, 1244, U16(7)}, {P, 1246, Bytes(2, '\0')}}},
      {.name = "missing block", .call = Call::SetUserInfo, .noBuffer = true, .result = kDmaFailed, .unchanged = true},
  };
  return cases;
}

BYTE* AreaBase(SettingsRecord* settings, PrinterConfiguration* config, ItemArea area) {
  if (area == kAreaSettings) return settings->bytes;
  if (area == kAreaExtension) return settings->bytes + kSettingsExtensionOffset;
  return config->bytes;
}

class PublicItems : public SandboxTest {
 protected:
  void RunCase(const QorvexDataExports& dll, const DmaCase& c) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(SimSetAnsiCodePage(c.codePage));
    auto settings = std::make_unique<SettingsRecord>();
    auto config = std::make_unique<PrinterConfiguration>();
    for (const Poke& p : c.preset)
      std::memcpy(AreaBase(settings.get(), config.get(), p.area) + p.offset, p.bytes.data(), p.bytes.size());
    const SettingsRecord settingsBefore = *settings;
    const PrinterConfiguration configBefore = *config;
    auto context = std::make_unique<DmaContext>();
    std::memset(context.get(), 0x5A, sizeof(DmaContext));
    std::strcpy(context->modelName, "QX-4500");
    context->settings = c.noSettings ? nullptr : settings.get();
    context->config = c.noConfig ? nullptr : config.get();

    // Every caller buffer holds exactly what the case declares, so that a read or write past
    // it is caught.
    std::vector<char> buffer(c.noBuffer ? 0 : std::max<size_t>(c.input.size(), c.length));
    if (!buffer.empty()) std::memcpy(buffer.data(), c.input.data(), std::min(buffer.size(), c.input.size()));
    char* data = c.noBuffer ? nullptr : buffer.data();
    DWORD length = c.length;
    DWORD value = 0xEEEEEEEE;
    DmaResult result = 0;
    switch (c.call) {
      case Call::GetValue: result = dll.getValue(context.get(), c.id, c.noBuffer ? nullptr : &value); break;
      case Call::SetValue: result = dll.setValue(context.get(), c.id, c.number); break;
      case Call::GetString: result = dll.getStringData(context.get(), c.id, data, &length); break;
      case Call::SetString: result = dll.setStringData(context.get(), c.id, data, c.length); break;
      case Call::GetFont:
        result = dll.getLogFontData(context.get(), c.id, reinterpret_cast<LOGFONTA*>(data), &length);
        break;
      case Call::SetFont: {
        std::vector<char> font;
        if (!c.noBuffer) {
          const Bytes whole = LogFontA(70000, c.input);
          font.assign(whole.begin(), whole.end());
          font.resize(c.length, '\xEE');
        }
        result = dll.setLogFontData(context.get(), c.id, c.noBuffer ? nullptr : reinterpret_cast<LOGFONTA*>(font.data()),
                                    c.length);
        break;
      }
      case Call::GetUserInfo: result = dll.getUserSettingInfo(context.get(), data, &length); break;
      case Call::SetUserInfo: result = dll.setUserSettingInfo(context.get(), data); break;
    }
    EXPECT_EQ(result, c.result);
    if (c.call == Call::GetValue && result == kDmaDone) {
      EXPECT_EQ(value, c.number);
    }
    if (c.call == Call::GetString || c.call == Call::GetFont || c.call == Call::GetUserInfo) {
      EXPECT_EQ(length, c.outLength);
    }
    if (!c.output.empty() && result == kDmaDone) {
      EXPECT_EQ(Bytes(buffer.data(), c.output.size()), c.output);
    }
    for (const Poke& p : c.out) EXPECT_EQ(Bytes(buffer.data() + p.offset, p.bytes.size()), p.bytes) << p.offset;
    for (const Poke& p : c.after) {
      const BYTE* at = AreaBase(settings.get(), config.get(), p.area) + p.offset;
      EXPECT_EQ(Bytes(reinterpret_cast<const char*>(at), p.bytes.size()), p.bytes) << "area " << p.area << " offset " << p.offset;
    }
    if (c.unchanged) {
      EXPECT_EQ(std::memcmp(&settingsBefore, settings.get(), sizeof settingsBefore), 0);
      EXPECT_EQ(std::memcmp(&configBefore, config.get(), sizeof configBefore), 0);
    }
  }
};

TEST_F(PublicItems, CaseTableThroughEveryExport) {
  QorvexDataExports dll;
  ASSERT_TRUE(LoadQorvexData(&dll));
  for (const DmaCase& c : Cases()) RunCase(dll, c);
  UnloadQorvexData(&dll);
}

// Records and a caller's context over them, as an outside caller hands them to the exports.
struct CallerRecords {
  std::unique_ptr<SettingsRecord> settings = std::make_unique<SettingsRecord>();
  std::unique_ptr<PrinterConfiguration> config = std::make_unique<PrinterConfiguration>();
  std::unique_ptr<DmaContext> context = std::make_unique<DmaContext>();
  CallerRecords() {
    context->settings = settings.get();
    context->config = config.get();
  }
};

TEST_F(PublicItems, SecretWrittenReadsBackOnlyThroughItsPlainItem) {
  QorvexDataExports dll;
  ASSERT_TRUE(LoadQorvexData(&dll));
  CallerRecords records;
  DmaContext* context = records.context.get();
  EXPECT_EQ(dll.setStringData(context, 0x9004, "abcdefghijkl", 13), kDmaDone);
  char text[17] = {};
  DWORD length = sizeof text;
  EXPECT_EQ(dll.getStringData(context, 0x9004, text, &length), kDmaFailed);
  // 0x9004 is item 0x1437, which the UserSettingInfo carries as stored.
  std::vector<BYTE> block(kUserSettingInfoSize);
  length = kUserSettingInfoSize;
  ASSERT_EQ(dll.getUserSettingInfo(context, block.data(), &length), kDmaDone);
  EXPECT_EQ(Bytes(reinterpret_cast<const char*>(block.data()) + 708, 34), W(u"CgAXFQ4EExkCCB8d"));
  UnloadQorvexData(&dll);
}

TEST_F(PublicItems, UserSettingInfoKeepsTheModelNameToTheFieldsFullWidth) {
  QorvexDataExports dll;
  ASSERT_TRUE(LoadQorvexData(&dll));
  CallerRecords records;
  DmaContext* context = records.context.get();
  const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";  // 36 characters, the field holds 32
  std::memset(context->modelName, 0, sizeof context->modelName);
  std::memcpy(context->modelName, name.data(), name.size());
  std::vector<BYTE> block(kUserSettingInfoSize);
  DWORD length = kUserSettingInfoSize;
  ASSERT_EQ(dll.getUserSettingInfo(context, block.data(), &length), kDmaDone);
  std::string kept;
  for (DWORD i = 0; i < kUserSettingModelNameChars; ++i)
    kept += char(block[kUserSettingModelNameOffset + 2 * i]);
  EXPECT_EQ(kept, name.substr(0, kUserSettingModelNameChars));
  UnloadQorvexData(&dll);
}

}  // namespace
