// Brushes set through a drawing session: engine brushes of a device context of qorvexgr.dll
// (realised by its DrvRealizeBrush when asked), their colours detected and converted, and the
// library calls the stand-in traces for solid colours, hatches with opaque and transparent
// backgrounds, one-bit patterns and colour patterns; the failures that leave the brush unset.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/store/item_store.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/drawing/rop_maps.h"
#include "graphics/imaging/brush_emission.h"
#include "graphics/imaging/color_converter.h"
#include "items/item_ids.h"
#include "platform/engine/engine_host.h"
#include "platform/engine/engine_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/graphics/drawing/library_fixture.h"

namespace {

// Settings that leave colours as they are (no adjustment, profile, library or black output).
constexpr std::pair<SettingItemId, DWORD> kNeutral[] = {{293, 2}, {270, 0},  {1314, 0}, {273, 0},
                                                        {286, 0}, {291, 0},  {454, 0},  {1326, 0},
                                                        {1327, 0}, {1303, 0}, {1304, 0}, {1305, 0}};

constexpr DWORD kPatCopy = 0xF0F0;  // ROP4 of a pattern copy: R2_COPYPEN for both mixes

// A pattern image of the given rows (top-down, stride bytes each).
DrawBrush PatternBrush(ULONG format, LONG width, LONG height, LONG stride, std::vector<BYTE> bits,
                       std::vector<COLORREF> palette = {}) {
  DrawBrush b;
  b.kind = BrushKind::Pattern;
  b.pattern.width = width;
  b.pattern.height = height;
  b.pattern.format = format;
  b.pattern.stride = stride;
  b.pattern.bits = std::move(bits);
  b.pattern.palette = std::move(palette);
  return b;
}

DrawBrush HatchBrush(ULONG style, COLORREF colour, COLORREF background) {
  DrawBrush b;
  b.kind = BrushKind::Hatch;
  b.hatch = style;
  b.colour = colour;
  b.background = background;
  return b;
}

DrawBrush SolidColourBrush(COLORREF colour) {
  DrawBrush b;
  b.kind = BrushKind::Solid;
  b.colour = colour;
  return b;
}

class BrushEmissionTest : public LibraryTest {
 protected:
  void SetUp() override {
    LibraryTest::SetUp();
    if (HasFatalFailure()) return;
    for (auto [id, value] : kNeutral) Set(id, value);
    pdev_->job.flags = 0x7;  // a page is open, its colour undecided
    pdev_->pageColor.Census.Collecting = 1;
    pdev_->pageColor.Census.Capacity = 15;
    pdev_->colorClassWord = &classWord_;
    ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
    pdev_->emitter = CreateGraphicsEmitter(pdev_.get(), 1);
    ASSERT_NE(pdev_->emitter, nullptr);
    MakeConverter();
    MakeDeviceContext();
  }

  void TearDown() override {
    if (dc_ != nullptr) {
      EXPECT_TRUE(EngineDeleteDC(dc_));
    }
    if (driver_ != nullptr) {
      EXPECT_TRUE(EngineUnloadDriver(driver_));
    }
    FreeColorConverter(&pdev_->colorConverter);
    if (pdev_->emitter != nullptr) FreeGraphicsEmitter(pdev_->emitter);
    LibraryTest::TearDown();
  }

  void MakeConverter() {
    FreeColorConverter(&pdev_->colorConverter);
    ASSERT_EQ(CreateColorConverter(&pdev_->colorConverter, &pdev_->settings, pdev_->config, own_, printer_),
              kConverterOk);
  }

  // A device context of qorvexgr.dll on "P1" with the model's default settings: its brushes are
  // realised by the module itself.
  void MakeDeviceContext() {
    const std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
    ItemStore* store = OpenItemStoreAtPath(path.c_str());
    ASSERT_NE(store, nullptr);
    auto settings = std::make_unique<SettingsRecord>();
    auto config = std::make_unique<PrinterConfiguration>();
    const BOOL defaults = ApplyDataFileDefaults(store, settings.get(), config.get(), kPrinter);
    CloseItemStore(store);
    ASSERT_TRUE(defaults);
    driver_ = EngineLoadDriver(u"qorvexgr.dll");
    ASSERT_NE(driver_, nullptr);
    dc_ = EngineCreateDC(driver_, kPrinter, reinterpret_cast<const DEVMODEW*>(settings->bytes));
    ASSERT_NE(dc_, nullptr);
  }

  BRUSHOBJ* Brush(const DrawBrush& desc) { return SimEngineBrush(dc_, desc); }

  int Emit(const DrawBrush& desc, std::optional<DWORD> rop = std::nullopt, const POINTL* origin = nullptr,
           BYTE target = kBrushTargetFill) {
    return EmitBrushPattern(pdev_.get(), target, origin, Brush(desc), rop);
  }

  // The library calls traced since the last look (results cut off).
  std::vector<std::string> NewCalls() {
    std::vector<std::string> calls;
    const std::string text = Trace();
    for (size_t at = seen_; at < text.size();) {
      const size_t end = text.find('\n', at);
      const std::string line = text.substr(at, end - at);
      if (line.rfind("VR_", 0) == 0) calls.push_back(line.substr(0, line.rfind(" = ")));
      at = end + 1;
    }
    seen_ = text.size();
    return calls;
  }

  // A colour as the converter makes it for graphics, in the trace's RRGGBB form.
  std::string Converted(COLORREF colour) {
    const BYTE pixel[3] = {GetBValue(colour), GetGValue(colour), GetRValue(colour)};
    BYTE out[3] = {};
    DWORD word = 0;
    EXPECT_EQ(ConvertSolidColor(pdev_->colorConverter, &word, nullptr, &pdev_->settings, pdev_->config, pixel, out, 1,
                                1, 0, kSolidGraphics, 0),
              kConvertedRgb);
    return Hex({out[2], out[1], out[0]});
  }

  static std::string Hex(const std::vector<BYTE>& bytes) {
    std::string text;
    char digits[3];
    for (BYTE b : bytes) {
      std::snprintf(digits, sizeof digits, "%02X", b);
      text += digits;
    }
    return text;
  }

  // Pattern data as the stand-in traces it: the bytes up to 16, else the length and CRC-32.
  static std::string TracedData(const std::vector<BYTE>& bytes) {
    if (bytes.size() <= 16) return "[" + Hex(bytes) + "]";
    DWORD crc = 0xFFFFFFFF;
    for (BYTE b : bytes) {
      crc ^= b;
      for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
    }
    char text[48];
    std::snprintf(text, sizeof text, "%zub crc=%08X", bytes.size(), ~crc);
    return text;
  }

  DWORD classWord_ = 0;
  EngineDriver* driver_ = nullptr;
  EngineDc* dc_ = nullptr;
  size_t seen_ = 0;
};

TEST_F(BrushEmissionTest, SolidBrushesSendTheirColourOnce) {
  NewCalls();
  // The engine's colour is blue, green, red in memory: a pure red brush must stay red.
  EXPECT_EQ(Emit(SolidColourBrush(RGB(255, 0, 0))), 1);
  EXPECT_EQ(Emit(SolidColourBrush(RGB(255, 0, 0))), 1);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"VR_SetSolidColor(h1, kind=2, cs=4, color=FF0000)"});
  EXPECT_EQ(Emit(SolidColourBrush(RGB(1, 2, 3)), kPatCopy, nullptr, kBrushTargetPen), 1);
  EXPECT_EQ(NewCalls(), (std::vector<std::string>{"VR_SetRopMode(h1, code=1, value=13)",
                                                   "VR_SetSolidColor(h1, kind=1, cs=4, color=010203)"}));
  // A grey object of a grey-minded setting goes out as one grey byte (255 minus the level).
  Set(kItemGraphicsGreyAsGrey, 1);
  MakeConverter();
  EXPECT_EQ(Emit(SolidColourBrush(RGB(100, 100, 100))), 1);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"VR_SetSolidColor(h1, kind=2, cs=3, color=9B)"});
  EXPECT_EQ(pdev_->pageColor.Census.Count, 3) << "every colour is counted on the page";
}

// While a stamp with a stamp mode value is drawn, a solid fill is the stamp colour (item 301)
// through the 8 x 8 mask with a transparent background, whatever the brush colour.
TEST_F(BrushEmissionTest, StampDrawingFillsWithTheStampColour) {
  Set(kItemStampColor, 0xFF8000);
  pdev_->job.stampDrawing = 1;
  pdev_->render.perSheetStamp = 1;
  pdev_->render.stampModeValue = 2;
  NewCalls();
  EXPECT_EQ(Emit(SolidColourBrush(RGB(1, 2, 3))), 1);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"VR_SetMaskPattern(h1, org=(0,0), kind=3, cs1=4, cs2=4, one=1, "
                                                 "c1=FF8000, c2=0080FF, bg=1, w=8, h=8, bits=[BBBBEEEEBBBBEEEE])"});
  EXPECT_EQ(pdev_->pageColor.Census.Count, 1) << "the stamp colour is counted, not the brush's";
  // Without a mode value, or without a stamp chosen, the brush's own colour fills.
  pdev_->render.stampModeValue = 0;
  EXPECT_EQ(Emit(SolidColourBrush(RGB(1, 2, 3))), 1);
  pdev_->render.stampModeValue = 2;
  pdev_->render.perSheetStamp = 0;
  EXPECT_EQ(Emit(SolidColourBrush(RGB(4, 5, 6))), 1);
  EXPECT_EQ(NewCalls(), (std::vector<std::string>{"VR_SetSolidColor(h1, kind=2, cs=4, color=010203)",
                                                   "VR_SetSolidColor(h1, kind=2, cs=4, color=040506)"}));
}

// The hatch background is converted and opaque, except under an R2_NOP background mix where it
// goes out as it is and transparent; the hatch line colour is always converted.
TEST_F(BrushEmissionTest, HatchesSetTheirBackgroundThenTheirLines) {
  Set(kItemProfileKind, 1);  // the built-in profile changes every colour but black and white
  Set(kItemWhitePoint, 1);
  Set(kItemTone, 0);
  MakeConverter();
  const COLORREF line = RGB(200, 40, 10), background = RGB(128, 128, 128);
  ASSERT_NE(Converted(background), "808080");
  const POINTL origin{3, -4};
  const DWORD transparent = MapMixToRop3(R2_COPYPEN | (R2_NOP << 8));
  struct Case {
    const char* what;
    ULONG style;
    std::optional<DWORD> rop;
    std::vector<std::string> calls;
  } cases[] = {
      {"cross, opaque", HS_CROSS, std::nullopt,
       {"VR_SetHatchPattern(h1, org=(3,-4), style=2, cs1=4, cs2=4, high=0, c1=" + Converted(line) +
        ", c2=" + Converted(background) + ", bg=2, low=6)"}},
      {"horizontal, transparent", HS_HORIZONTAL, transparent,
       {"VR_SetRopMode(h1, code=1, value=13)", "VR_SetHatchPattern(h1, org=(3,-4), style=2, cs1=4, cs2=4, high=0, c1=" +
                                                   Converted(line) + ", c2=808080, bg=1, low=2)"}},
      {"diagonal cross, opaque again", HS_DIAGCROSS, kPatCopy,
       {"VR_SetHatchPattern(h1, org=(3,-4), style=2, cs1=4, cs2=4, high=0, c1=" + Converted(line) +
        ", c2=" + Converted(background) + ", bg=2, low=7)"}},
  };
  for (const Case& c : cases) {
    NewCalls();
    EXPECT_EQ(Emit(HatchBrush(c.style, line, background), c.rop, &origin), 1) << c.what;
    EXPECT_EQ(NewCalls(), c.calls) << c.what;
  }
}

TEST_F(BrushEmissionTest, OneBitPatternsAreMasksInTheirInkColour) {
  // Rows top-down in the engine; the module stores them top-down and the mask keeps that order.
  const std::vector<BYTE> rows{0x81, 0, 0, 0, 0x42, 0, 0, 0, 0x24, 0, 0, 0};
  NewCalls();
  EXPECT_EQ(Emit(PatternBrush(BMF_1BPP, 8, 3, 4, rows, {RGB(0, 0, 255), RGB(255, 255, 255)})), 1);
  // A bottom-up pattern bitmap reaches the same rows.
  EXPECT_EQ(Emit(PatternBrush(BMF_1BPP, 8, 3, -4, rows, {RGB(0, 0, 255), RGB(255, 255, 254)})), 1);
  EXPECT_EQ(NewCalls(),
            (std::vector<std::string>{
                "VR_SetMaskPattern(h1, org=(0,0), kind=2, cs1=4, cs2=4, one=1, c1=0000FF, c2=FFFFFF, bg=2, w=8, h=3, "
                "bits=[814224])",
                "VR_SetMaskPattern(h1, org=(0,0), kind=2, cs1=4, cs2=4, one=1, c1=0000FF, c2=FFFFFE, bg=2, w=8, h=3, "
                "bits=[814224])"}));
}

TEST_F(BrushEmissionTest, ColourPatternsAreRasterPatterns) {
  const std::vector<COLORREF> table{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)};
  // Raster data are pixels in memory order: blue, green, red.
  const std::vector<BYTE> red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0};
  auto pixels = [](std::initializer_list<std::vector<BYTE>> list, size_t length) {
    std::vector<BYTE> bytes;
    for (const auto& p : list) bytes.insert(bytes.end(), p.begin(), p.end());
    bytes.resize(length, 0);  // the rest of the pattern's length is 0
    return bytes;
  };
  struct Case {
    const char* what;
    DrawBrush brush;
    std::string size;
    std::vector<BYTE> data;
  } cases[] = {
      // 3 x 2 pixels, two per byte: red green blue / blue blue green; L = 24/4 x 4 x 2.
      {"4-bit", PatternBrush(BMF_4BPP, 3, 2, 4, {0x01, 0x20, 0, 0, 0x22, 0x10, 0, 0}, table), "w=3, h=2, one=1, len=48",
       pixels({red, green, blue, blue, blue, green}, 48)},
      {"8-bit", PatternBrush(BMF_8BPP, 2, 1, 4, {2, 1, 0, 0}, table), "w=2, h=1, one=1, len=12",
       pixels({blue, green}, 12)},
      // 5-5-5 pixels arrive as 24-bit rows of 8 bytes.
      {"16-bit", PatternBrush(BMF_16BPP, 2, 1, 4, {0x00, 0x7C, 0x1F, 0x00}), "w=2, h=1, one=1, len=8",
       pixels({red, blue}, 8)},
  };
  for (const Case& c : cases) {
    NewCalls();
    EXPECT_EQ(Emit(c.brush), 1) << c.what;
    EXPECT_EQ(NewCalls(), std::vector<std::string>{"VR_SetRasterPattern(h1, org=(0,0), kind=2, cs=4, bits=8, " + c.size +
                                                   ", data=" + TracedData(c.data) + ")"})
        << c.what;
  }
  // A grey result has one byte per pixel (255 minus the level) and a third of the length.
  Set(kItemGraphicsGreyAsGrey, 1);
  MakeConverter();
  NewCalls();
  EXPECT_EQ(Emit(PatternBrush(BMF_24BPP, 2, 1, 8, {100, 100, 100, 0, 0, 0, 0, 0})), 1);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{"VR_SetRasterPattern(h1, org=(0,0), kind=2, cs=3, bits=8, w=2, h=1, "
                                                 "one=1, len=2, data=[9BFF])"});
}

TEST_F(BrushEmissionTest, UnusableBrushesAreNotSet) {
  NewCalls();
  EXPECT_EQ(EmitBrushPattern(pdev_.get(), kBrushTargetFill, nullptr, nullptr, std::nullopt), 0);
  // A brush the driver cannot realise (the engine has no memory for the realisation).
  SimFailCall("BRUSHOBJ_pvAllocRbrush", ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Emit(PatternBrush(BMF_8BPP, 2, 1, 4, {1, 0, 0, 0}, {RGB(1, 1, 1), RGB(2, 2, 2)})), 0);
  // A pixel past the colour table.
  EXPECT_EQ(Emit(PatternBrush(BMF_4BPP, 2, 1, 4, {0x03, 0, 0, 0}, {RGB(1, 1, 1), RGB(2, 2, 2)})), 0);
  // The library's pattern call carries 16 bits of length: 256 x 86 x 3 bytes is too long in
  // colour, and 256 x 256 even as grey (refused before its colours are counted).
  EXPECT_EQ(Emit(PatternBrush(BMF_24BPP, 256, 86, 768, std::vector<BYTE>(768 * 86, 7))), 0);
  const int counted = pdev_->pageColor.Census.Count;
  EXPECT_EQ(Emit(PatternBrush(BMF_24BPP, 256, 256, 768, std::vector<BYTE>(768 * 256, 9))), 0);
  EXPECT_EQ(pdev_->pageColor.Census.Count, counted);
  EXPECT_EQ(NewCalls(), std::vector<std::string>{}) << "nothing sent";
  // A refused library call fails the brush, and the cache keeps no colour that was not sent.
  fail_("VR_SetSolidColor", 1, 5);
  EXPECT_EQ(Emit(SolidColourBrush(RGB(9, 9, 9))), 0);
  EXPECT_EQ(Emit(SolidColourBrush(RGB(9, 9, 9))), 1);
}

// Running out of memory at any step leaves the brush unset and nothing allocated.
TEST_F(BrushEmissionTest, EveryFailedAllocationFailsTheBrush) {
  const DrawBrush brushes[] = {
      PatternBrush(BMF_1BPP, 8, 1, 4, {0xF0, 0, 0, 0}, {RGB(0, 0, 0), RGB(255, 255, 255)}),
      HatchBrush(HS_BDIAGONAL, RGB(1, 2, 3), RGB(4, 5, 6)),
  };
  for (const DrawBrush& desc : brushes) {
    BRUSHOBJ* brush = Brush(desc);
    ASSERT_NE(BRUSHOBJ_pvGetRbrush(brush), nullptr) << "realised beforehand";
    for (int n = 1;; ++n) {
      ASSERT_LT(n, 50);
      InvalidateStateCache(pdev_->emitter);
      SimFailNthAllocation(n);
      const int result = EmitBrushPattern(pdev_.get(), kBrushTargetFill, nullptr, brush, std::nullopt);
      if (SimAllocationFailurePending()) {
        SimFailNthAllocation(0);
        EXPECT_EQ(result, 1) << n;
        break;
      }
      EXPECT_EQ(result, 0) << "allocation " << n;
    }
  }
}

}  // namespace
