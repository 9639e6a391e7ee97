// The document's colour conversion: the flag word from the settings, solid colours of text and
// graphics, image rows and palettes, the ICC profile warning and the outside colour library
// with its calls, as case tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/descriptors/item_descriptors.h"
#include "core/store/item_access.h"
#include "graphics/device/pdev.h"
#include "graphics/imaging/brush_patterns.h"
#include "graphics/imaging/color_converter.h"
#include "items/item_ids.h"
#include "outside/qvcolor/qvcolor_sim.h"
#include "platform/user/user_sim.h"
#include "tests/graphics/imaging/icc_test_profiles.h"
#include "tests/graphics/output/spool_fixture.h"

namespace {
using Bytes = std::vector<BYTE>;

struct ItemSetting {
  SettingItemId id;
  LONG value;
};

// Settings that turn everything off: automatic colour, common adjustments of nothing, no
// profile, no library, nothing in black, grey objects not special; item 293 = 2 makes the
// colour adjustment items apply.
const std::vector<ItemSetting> kNeutral = {{293, 2}, {270, 0}, {1314, 0}, {273, 0}, {286, 0}, {291, 0},
                                           {454, 0}, {1326, 0}, {1327, 0}, {1303, 0}, {1304, 0}, {1305, 0}};
}  // namespace

class ColorConverterTest : public SpoolTest {
 protected:
  void SetUp() override {
    SpoolTest::SetUp();
    if (HasFatalFailure()) return;
    BindDataAccess();
    config_ = std::make_unique<PrinterConfiguration>();
    pdev_ = std::make_unique<Pdev>();
    pdev_->config = config_.get();
    pdev_->job.flags = 0x7;  // a page is open, its colour undecided
    pdev_->pageColor.Census.Collecting = 1;
    pdev_->pageColor.Census.Capacity = 15;
    settings_ = &pdev_->settings;
    strings_ = LoadLibraryW(u"graphics_test_strings.qrs");
    ASSERT_NE(strings_, nullptr);
    Apply(kNeutral);
  }
  void TearDown() override {
    FreeColorConverter(&converter_);
    if (library_ != nullptr) FreeLibrary(library_);
    if (strings_ != nullptr) FreeLibrary(strings_);
    SpoolTest::TearDown();
  }

  void Set(SettingItemId id, LONG value) {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell{};
    ASSERT_EQ(GetItemValue(id, settings_, config_.get(), &type, &length, &cell), kItemDone) << id;
    ASSERT_EQ(SetItemValue(id, settings_, config_.get(), type, length, &value), kItemDone) << id;
  }
  void Apply(const std::vector<ItemSetting>& items) {
    for (const ItemSetting& s : items) Set(s.id, s.value);
  }
  void SetPath(SettingItemId id, const char16_t* path) {
    const WCHAR* source = path;
    ASSERT_EQ(SetItemValue(id, settings_, config_.get(), kTypeString, 258, &source), kItemDone);
  }
  // Writes a profile into the sandbox.
  void WriteProfile(const char16_t* platformPath, const IccBytes& bytes) {
    const std::filesystem::path host = Host(platformPath);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }

  int Create() { return CreateColorConverter(&converter_, settings_, config_.get(), strings_, printer_); }

  // The stand-in colour library as the converter loaded it, its log cleared.
  template <typename Proc>
  Proc Sim(const char* name) {
    if (library_ == nullptr) library_ = LoadLibraryW((std::u16string(SimDriverDirectory()) + u"\\qvcolor.dll").c_str());
    return reinterpret_cast<Proc>(GetProcAddress(library_, name));
  }
  std::vector<SimColorLogEntry> LibraryLog() {
    std::vector<SimColorLogEntry> log;
    const DWORD n = Sim<SimColorLogCountProc>("SimColorLogCount")();
    for (DWORD i = 0; i < n; ++i) {
      SimColorLogEntry e{};
      Sim<SimColorLogEntryAtProc>("SimColorLogEntryAt")(i, &e);
      log.push_back(e);
    }
    return log;
  }
  static std::vector<DWORD> Calls(const std::vector<SimColorLogEntry>& log) {
    std::vector<DWORD> calls;
    for (const auto& e : log) calls.push_back(e.Call);
    return calls;
  }

  // Converts one pixel (blue, green, red) of the kind.
  std::pair<int, Bytes> Solid(Bytes bgr, int kind, DWORD classWord = 0, int reuse = 0) {
    Bytes out(3, 0xEE);
    const int rc = ConvertSolidColor(converter_, &classWord, nullptr, settings_, config_.get(), bgr.data(),
                                     out.data(), 1, 1, 0, kind, reuse);
    if (rc == kConvertedGrey) out.resize(1);
    return {rc, out};
  }

  std::unique_ptr<PrinterConfiguration> config_;
  std::unique_ptr<Pdev> pdev_;
  SettingsRecord* settings_ = nullptr;
  HMODULE strings_ = nullptr;
  HMODULE library_ = nullptr;
  ColorConverter* converter_ = nullptr;
};

TEST(ColorPixelOps, OperationsOnPixels) {
  const Bytes pixels{10, 20, 30, 255, 255, 255, 255, 255, 254};
  Bytes grey(3);
  RowsToInvertedGrey(pixels.data(), grey.data(), 3);
  EXPECT_EQ(grey, (Bytes{BYTE(255 - ((20 * 151 + 10 * 28 + 30 * 77) >> 8)), 0, BYTE(255 - ((255 * 151 + 255 * 28 + 254 * 77) >> 8))}));
  Bytes bw(9);
  WhiteOrBlack(pixels.data(), bw.data(), 3);
  EXPECT_EQ(bw, (Bytes{0, 0, 0, 255, 255, 255, 0, 0, 0}));
  Bytes inverted(3);
  InvertBytes(pixels.data(), inverted.data(), 3);
  EXPECT_EQ(inverted, (Bytes{245, 235, 225}));
}

TEST(ColorPixelOps, GreyAdjustments) {
  struct Case {
    int a, c;
    LONG slope, offset;
    Bytes in, out;
  } cases[] = {
      {0, 0, 65536, 0, {0, 100, 255}, {0, 100, 255}},
      {20, 0, 65536, 10 * 65536, {0, 100, 250}, {10, 110, 255}},
      {-40, 0, 65536, -20 * 65536, {0, 100, 255}, {0, 80, 235}},
      // slope 1.3, offset (1 - 1.3) x 255 = -76.5
      {0, 100, 85196, -5013504, {0, 100, 255}, {0, 53, 255}},
      {-200, 300, 85196, -8257536, {0, 100, 255}, {0, 4, 206}},  // clamped to -99 and 100
  };
  for (const Case& c : cases) {
    const GreyAdjustment g = BuildGreyAdjustment(c.a, c.c);
    EXPECT_EQ(g.Slope, c.slope) << c.a << "," << c.c;
    EXPECT_EQ(g.Offset, c.offset) << c.a << "," << c.c;
    Bytes out(c.in.size());
    ApplyGreyAdjustment(&g, c.in.data(), out.data(), out.size());
    EXPECT_EQ(out, c.out) << c.a << "," << c.c;
  }
  const Bytes in{1, 2};
  Bytes out(2);
  ApplyGreyAdjustment(nullptr, in.data(), out.data(), 2);
  EXPECT_EQ(out, in);
}

TEST_F(ColorConverterTest, TheFlagWordFollowsTheSettings) {
  WriteProfile(u"C:\\profiles\\one.icc", MatrixProfile(GammaTag(0x0233)));
  struct Case {
    const char* what;
    std::vector<ItemSetting> items;
    WORD flags;
  } cases[] = {
      {"nothing", {}, 0},
      {"common mode without kinds", {{274, 10}}, 0},
      {"common matrix", {{273, 0x4}, {278, -5}}, kConvertCommonMatrix},
      {"common matrix of nothing", {{273, 0x7}}, 0},
      {"common grey", {{273, 0x1}, {274, 10}, {1327, 1}}, kConvertCommonMatrix | kConvertCommonGrey},
      {"common grey in grey mode", {{270, 1}, {273, 0x1}, {274, 10}, {1327, 1}}, kConvertCommonMatrix},
      {"text matrix", {{1314, 1}, {273, 0x1}, {283, 7}}, kConvertTextMatrix},
      {"text grey", {{1314, 1}, {273, 0x1}, {275, 7}, {1326, 1}}, kConvertTextMatrix | kConvertTextGrey},
      {"graphics and image", {{1314, 1}, {273, 0x6}, {276, 1}, {281, 2}, {1327, 1}},
       kConvertGraphicsMatrix | kConvertGraphicsGrey | kConvertImageMatrix},
      {"kind without its bit", {{1314, 1}, {273, 0x2}, {275, 7}}, 0},
      {"built-in profile", {{286, 1}, {287, 2}, {288, 4}}, kConvertBuiltInProfile},
      {"white point past the table", {{286, 1}, {287, 3}, {288, 0}}, 0},
      {"tone past the table", {{286, 1}, {287, 0}, {288, 5}}, 0},
      {"first profile", {{286, 2}, {1303, 1}}, kConvertFirstProfile},
      {"profiles off", {{286, 2}}, 0},
      {"second profile", {{286, 2}, {1304, 1}}, kConvertSecondProfile},
      {"second from the first", {{286, 2}, {1303, 1}, {1304, 1}, {1305, 1}}, kConvertFirstProfile | kConvertSecondProfile},
      {"second from a first that is off", {{286, 2}, {1304, 1}, {1305, 1}}, 0},
      {"colour library", {{291, 3}}, kConvertColorLibrary},
  };
  for (const Case& c : cases) {
    Apply(kNeutral);
    for (SettingItemId id = 274; id <= 285; ++id) Set(id, 0);
    Set(kItemWhitePoint, 0);
    Set(kItemTone, 0);
    SetPath(kItemFirstProfilePath, u"C:\\profiles\\one.icc");
    SetPath(kItemSecondProfilePath, u"C:\\profiles\\one.icc");
    Apply(c.items);
    ColorConverter converter{};
    ColorSettingsRecord record{};
    EXPECT_EQ(ReadColorAdjustSettings(&converter, &record, settings_, config_.get()), 0);
    EXPECT_EQ(converter.Flags, c.flags) << c.what;
  }
}

TEST_F(ColorConverterTest, SolidColoursFollowTheirPlan) {
  struct Case {
    const char* what;
    std::vector<ItemSetting> items;
    int kind;
    Bytes in;
    int rc;
    Bytes out;
    WORD word;
  } cases[] = {
      {"nothing to do", {}, kSolidText, {1, 2, 3}, kConvertedRgb, {1, 2, 3}, 0},
      // Objects in black apply in grey mode only.
      {"black only in grey mode", {{454, 3}}, kSolidText, {1, 2, 3}, kConvertedRgb, {1, 2, 3}, 0},
      {"text in black", {{270, 1}, {454, 1}}, kSolidText, {1, 2, 3}, kConvertedRgb, {0, 0, 0}, kSolidBlack},
      {"white stays white", {{270, 1}, {454, 3}}, kSolidGraphics, {255, 255, 255}, kConvertedRgb, {255, 255, 255}, kSolidBlack},
      {"graphics not in black", {{270, 1}, {454, 1}}, kSolidGraphics, {1, 2, 3}, kConvertedRgb, {1, 2, 3}, 0},
      {"grey text as grey", {{1326, 1}}, kSolidText, {100, 100, 100}, kConvertedGrey, {155}, kSolidToGrey},
      {"grey text with its adjustment", {{1314, 1}, {273, 0x1}, {275, 20}, {1326, 1}}, kSolidText, {100, 100, 100},
       kConvertedGrey, {145}, kSolidToGrey | kSolidGreyAdjust},
      {"coloured text with its matrix", {{1314, 1}, {273, 0x1}, {275, 20}, {1326, 1}}, kSolidText, {0, 0, 200},
       kConvertedRgb, {}, kSolidMatrix},
      {"grey text in black", {{270, 1}, {1326, 1}, {454, 1}}, kSolidText, {128, 128, 128}, kConvertedGrey, {255},
       kSolidToGrey | kSolidBlack},
      {"built-in profile", {{286, 1}, {287, 1}, {288, 0}}, kSolidGraphics, {128, 128, 128}, kConvertedRgb, {188, 188, 188},
       kSolidBuiltInProfile},
      {"grey object skips the profile", {{286, 1}, {287, 1}, {288, 0}, {1327, 1}}, kSolidGraphics, {128, 128, 128},
       kConvertedGrey, {127}, kSolidToGrey},
      {"grey mode keeps the profile", {{270, 1}, {286, 1}, {287, 1}, {288, 0}, {1327, 1}}, kSolidGraphics,
       {128, 128, 128}, kConvertedGrey, {67}, kSolidToGrey | kSolidBuiltInProfile},
      {"grey mode in black", {{270, 1}, {286, 1}, {287, 1}, {288, 0}, {454, 2}}, kSolidGraphics, {128, 128, 128},
       kConvertedRgb, {0, 0, 0}, kSolidBlack},
  };
  for (const Case& c : cases) {
    Apply(kNeutral);
    for (SettingItemId id = 274; id <= 285; ++id) Set(id, 0);
    Apply(c.items);
    FreeColorConverter(&converter_);
    ASSERT_EQ(Create(), kConverterOk) << c.what;
    auto [rc, out] = Solid(c.in, c.kind);
    EXPECT_EQ(rc, c.rc) << c.what;
    if (c.out.empty())
      EXPECT_NE(out, c.in) << c.what;
    else
      EXPECT_EQ(out, c.out) << c.what;
    EXPECT_EQ(c.kind == kSolidText ? converter_->TextWord : converter_->GraphicsWord, c.word) << c.what;
  }
  ASSERT_NE(converter_, nullptr);
  EXPECT_EQ(Solid({1, 2, 3}, 2).first, kConversionError);
  Bytes big(3), out(3);
  DWORD word = 0;
  EXPECT_EQ(ConvertSolidColor(converter_, &word, nullptr, settings_, config_.get(), big.data(), out.data(), 65536,
                              1, 0, kSolidText, 0),
            kConversionNoMemory);
}

// An ICC profile that cannot be used asks the user: OK prints on without it, Cancel fails the
// converter. The text names the profile when the resource module has it, else the built-in text.
TEST_F(ColorConverterTest, UnusableProfilesAskTheUser) {
  WriteProfile(u"C:\\profiles\\good.icc", MatrixProfile(GammaTag(0x0233)));
  struct Case {
    const char* what;
    std::vector<ItemSetting> items;
    const char16_t *first, *second;
    int answer;  // 0: no box expected
    int rc;
    const char16_t* named;
  } cases[] = {
      {"missing first, OK", {{286, 2}, {1303, 1}}, u"C:\\profiles\\none.icc", u"", IDOK, kConverterOk, u"C:\\profiles\\none.icc"},
      {"missing first, Cancel", {{286, 2}, {1303, 1}}, u"C:\\profiles\\none.icc", u"", IDCANCEL,
       kConverterFirstProfileFailed, u"C:\\profiles\\none.icc"},
      {"missing second, Cancel", {{286, 2}, {1304, 1}}, u"", u"C:\\profiles\\gone.icc", IDCANCEL,
       kConverterSecondProfileFailed, u"C:\\profiles\\gone.icc"},
      {"both good", {{286, 2}, {1303, 1}, {1304, 1}}, u"C:\\profiles\\good.icc", u"C:\\profiles\\good.icc", 0,
       kConverterOk, nullptr},
  };
  for (const Case& c : cases) {
    Apply(kNeutral);
    Apply(c.items);
    SetPath(kItemFirstProfilePath, c.first);
    SetPath(kItemSecondProfilePath, c.second);
    SimMessageBoxReset();
    if (c.answer != 0) SimMessageBoxAnswer(c.answer);
    FreeColorConverter(&converter_);
    EXPECT_EQ(Create(), c.rc) << c.what;
    EXPECT_EQ(converter_ == nullptr, c.rc != kConverterOk) << c.what;
    const auto boxes = SimMessageBoxLog();
    ASSERT_EQ(boxes.size(), c.answer != 0 ? 1u : 0u) << c.what;
    if (c.answer == 0) continue;
    EXPECT_EQ(boxes[0].caption, u"警告");
    EXPECT_EQ(boxes[0].type, UINT(MB_OKCANCEL | MB_ICONINFORMATION)) << c.what;
    EXPECT_EQ(boxes[0].text, u"The ICC profile " + std::u16string(c.named) + u" cannot be used. Print without colour correction?")
        << c.what;
  }
  ASSERT_NE(converter_, nullptr);
  EXPECT_EQ(converter_->FirstProfile, &converter_->FirstLut);
  EXPECT_EQ(converter_->SecondProfile, &converter_->SecondLut);
  EXPECT_EQ(converter_->SecondLut.State, kLutMatrixModel);

  // Without the resource module's text the box says it in the built-in words.
  Apply(kNeutral);
  Apply({{286, 2}, {1303, 1}});
  SetPath(kItemFirstProfilePath, u"C:\\profiles\\none.icc");
  SimMessageBoxReset();
  SimMessageBoxAnswer(IDOK);
  FreeColorConverter(&converter_);
  EXPECT_EQ(CreateColorConverter(&converter_, settings_, config_.get(), nullptr, printer_), kConverterOk);
  ASSERT_EQ(SimMessageBoxLog().size(), 1u);
  EXPECT_EQ(SimMessageBoxLog()[0].text, u"ICCプロファイルが使用できません。\n色補正を実施せず印刷処理を続行します。");
  EXPECT_EQ(converter_->FirstProfile, nullptr);
}

// The second profile can be the first one's table: one object, released once.
TEST_F(ColorConverterTest, SecondProfileCanShareTheFirst) {
  WriteProfile(u"C:\\profiles\\good.icc", LutProfile(true, false));
  Apply({{286, 2}, {1303, 1}, {1304, 1}, {1305, 1}});
  SetPath(kItemFirstProfilePath, u"C:\\profiles\\good.icc");
  SetPath(kItemSecondProfilePath, u"C:\\profiles\\none.icc");
  ASSERT_EQ(Create(), kConverterOk);
  EXPECT_EQ(converter_->SecondProfile, converter_->FirstProfile);
  EXPECT_EQ(converter_->FirstLut.State, kLutTableModel);
  EXPECT_TRUE(SimMessageBoxLog().empty());
}

TEST_F(ColorConverterTest, ImageRowsAndPalettesFollowTheImageWord) {
  Apply({{286, 1}, {287, 1}, {288, 0}});
  ASSERT_EQ(Create(), kConverterOk);
  ASSERT_EQ(PlanImageConversion(converter_, settings_, config_.get()), 0);
  EXPECT_EQ(converter_->ImageWord, WORD{kImageBuiltInProfile});
  EXPECT_EQ(GetImageRoute(converter_), 3);
  const Bytes rows{128, 128, 128, 0, 0, 0};
  Bytes out(6);
  EXPECT_EQ(ConvertImageRows(converter_, rows.data(), out.data(), 2, 1, nullptr, nullptr, 0, 4, 24, FALSE), kConvertedRgb);
  EXPECT_EQ(out, (Bytes{188, 188, 188, 0, 0, 0}));
  // A black-and-white palette turns grey: one inverted byte per entry.
  const Bytes palette{0, 0, 0, 255, 255, 255};
  Bytes greyPalette(6, 0xEE);
  EXPECT_EQ(ConvertImageRows(converter_, rows.data(), nullptr, 8, 1, palette.data(), greyPalette.data(), 2, 11, 1, TRUE),
            kConvertedGrey);
  EXPECT_EQ(Bytes(greyPalette.begin(), greyPalette.begin() + 2), (Bytes{255, 0}));
  struct Refused {
    int format, bits;
    bool palette;
    LONG width;
    int rc;
  } refused[] = {{4, 8, false, 2, kConversionError}, {11, 24, true, 2, kConversionError}, {11, 8, false, 2, kConversionError},
                 {3, 8, true, 2, kConversionError},  {4, 24, false, 65536, kConversionNoMemory}};
  for (const Refused& r : refused)
    EXPECT_EQ(ConvertImageRows(converter_, rows.data(), out.data(), r.width, 1, r.palette ? palette.data() : nullptr,
                               greyPalette.data(), 2, r.format, r.bits, FALSE),
              r.rc);
  // Grey mode: every image in inverted grey.
  Set(kItemColorMode, 1);
  ASSERT_EQ(PlanImageConversion(converter_, settings_, config_.get()), 0);
  Bytes grey(2);
  EXPECT_EQ(ConvertImageRows(converter_, rows.data(), grey.data(), 2, 1, nullptr, nullptr, 0, 4, 24, FALSE), kConvertedGrey);
  EXPECT_EQ(grey, (Bytes{67, 255}));
}

// The colour library named by the model is bound at the start (its data file passed on) and
// closed at the end; a queued group goes through it in two passes.
TEST_F(ColorConverterTest, ColourLibraryConvertsQueuedImages) {
  Apply({{291, 7}, {1314, 1}, {273, 0x4}, {277, 30}});
  ASSERT_EQ(Create(), kConverterOk);
  ASSERT_NE(converter_->LibraryModule, nullptr);
  EXPECT_EQ(converter_->LibraryHandle, kSimColorDefaultHandle);
  WCHAR dataFile[260] = {};
  Sim<SimColorDataFileProc>("SimColorDataFile")(dataFile, 260);
  EXPECT_EQ(std::u16string(dataFile), std::u16string(SimDriverDirectory()) + u"\\qvcolor.dat");
  EXPECT_EQ(PlanImageConversion(converter_, settings_, config_.get()), 1);
  Sim<SimColorResetProc>("SimColorReset")();

  struct Case {
    const char* what;
    int mode;
    WORD endAnswer, beginAnswer;
    int rc;
    std::vector<DWORD> calls;
    bool swapped;
  } cases[] = {
      {"converted", 1, 0, 0, 0,
       {kSimZemBegin, kSimZemCreateParam, kSimZemCreateParam, kSimZemEnd, kSimZemConvert, kSimZemConvert, kSimZemDeleteParam},
       true},
      {"left unconverted", 1, 1, 0, 0, {kSimZemBegin, kSimZemCreateParam, kSimZemCreateParam, kSimZemEnd, kSimZemDeleteParam},
       false},
      {"end fails", 1, 2, 0, -6, {kSimZemBegin, kSimZemCreateParam, kSimZemCreateParam, kSimZemEnd, kSimZemDeleteParam}, false},
      {"begin fails", 1, 0, 5, -6, {kSimZemBegin}, false},
      {"library off for the flush", 0, 0, 0, 0, {}, false},
  };
  for (const Case& c : cases) {
    Sim<SimColorResetProc>("SimColorReset")();
    Sim<SimColorSetAnswerProc>("SimColorSetAnswer")(kSimZemEnd, c.endAnswer);
    Sim<SimColorSetAnswerProc>("SimColorSetAnswer")(kSimZemBegin, c.beginAnswer);
    converter_->ImageWord = kImageColorLibrary | kImageMatrix;
    Bytes first{10, 20, 30, 40, 50, 60}, second{70, 80, 90};
    QueuedImagePixels entries[2] = {{first.data(), 2, 1}, {second.data(), 1, 1}};
    EXPECT_EQ(ColorConvertQueuedImages(converter_, entries, 2, c.mode), c.rc) << c.what;
    const auto log = LibraryLog();
    EXPECT_EQ(Calls(log), c.calls) << c.what;
    if (!log.empty()) {
      EXPECT_EQ(log[0].Parameter, 7u) << c.what;
      EXPECT_EQ(log[0].Handle, kSimColorDefaultHandle) << c.what;
    }
    if (log.size() > 2) {
      EXPECT_EQ(log[1].Checksum, 10u + 20 + 30 + 40 + 50 + 60) << c.what;
      EXPECT_EQ(log[2].Width, 1u) << c.what;
    }
    // The image matrix brightens every image the group converts; the library swaps bytes.
    if (c.rc == 0) {
      Bytes expected{10, 20, 30, 40, 50, 60};
      if (c.swapped) expected = {30, 20, 10, 60, 50, 40};
      ApplyColorMatrix(converter_->ImageMatrix, expected.data(), expected.data(), 2);
      EXPECT_EQ(first, expected) << c.what;
    }
  }
  Sim<SimColorResetProc>("SimColorReset")();
  FreeColorConverter(&converter_);
  // Closing: the parameters and the handle.
  EXPECT_EQ(Calls(LibraryLog()), (std::vector<DWORD>{kSimZemDeleteParam, kSimZemFree}));
}

// A library without one of its seven entries is not used, and nothing says so.
TEST_F(ColorConverterTest, IncompleteColourLibraryIsNotUsed) {
  const std::filesystem::path variants = TestDriverDir() / "colorlib_variants";
  for (const char* entry : {"ZEM_LoadZEM32", "ZEM_ColorConvert32", "ZEM_DeleteParam32"}) {
    const std::filesystem::path driver = Host(SimDriverDirectory());
    std::filesystem::remove(driver / "qvcolor.dll");
    std::filesystem::copy_file(variants / entry / "qvcolor.dll", driver / "qvcolor.dll");
    Apply({{291, 1}});
    FreeColorConverter(&converter_);
    ASSERT_EQ(Create(), kConverterOk) << entry;
    EXPECT_EQ(converter_->LibraryHandle, 0u) << entry;
    EXPECT_EQ(converter_->LibraryModule, nullptr) << entry;
    EXPECT_TRUE(SimMessageBoxLog().empty());
  }
}

// Pattern colours are seen by the page's colour detection and converted as graphics.
TEST_F(ColorConverterTest, PatternColoursAreDetectedAndConverted) {
  Apply({{1327, 1}, {286, 1}, {287, 1}, {288, 0}});
  ASSERT_EQ(Create(), kConverterOk);
  struct Case {
    const char* what;
    Bytes in;
    int rc;
    Bytes out;
    LONG pageColor;
  } cases[] = {
      {"grey pattern", {128, 128, 128, 0, 0, 0}, 2, {127, 255}, kPageColorUndecided},
      {"coloured pattern", {0, 0, 255, 128, 128, 128}, 1, {0, 0, 255, 188, 188, 188}, kPageColorColor},
      // The page is decided: no class to reuse, the strict test says grey again.
      {"grey after the decision", {50, 50, 50, 0, 0, 0}, 2, {205, 255}, kPageColorColor},
  };
  for (const Case& c : cases) {
    DWORD word = 0;
    Bytes out(6, 0xEE);
    EXPECT_EQ(ConvertPatternColors(pdev_.get(), &word, converter_, c.in.data(), 2, 1, out.data()), c.rc) << c.what;
    out.resize(c.rc == 2 ? 2 : 6);
    EXPECT_EQ(out, c.out) << c.what;
    EXPECT_EQ(pdev_->pageColor.PageColor, c.pageColor) << c.what;
  }
  const ColorSet& census = pdev_->pageColor.Census;
  EXPECT_EQ(census.Count, 4);  // grey 128, black, red, grey 50
  DWORD word = 0;
  Bytes out(3);
  const Bytes red{0, 0, 255};
  EXPECT_EQ(ConvertPatternColors(nullptr, &word, converter_, red.data(), 1, 1, out.data()), 0);
  EXPECT_EQ(ConvertPatternColors(pdev_.get(), nullptr, converter_, red.data(), 1, 1, out.data()), 0);
  EXPECT_EQ(ConvertPatternColors(pdev_.get(), &word, nullptr, red.data(), 1, 1, out.data()), 0);
}
