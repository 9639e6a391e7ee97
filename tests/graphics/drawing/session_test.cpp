// The drawing-library session: the library found through the model's header text and the
// driver directory, bound by all 59 names, started with the parameter blocks (decoded field by
// field by the stand-in) and closed leaving nothing loaded or allocated; the failures of each
// step; the direct-mode images that wait for their data.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/drawing/library_calls.h"
#include "graphics/drawing/parameter_blocks.h"
#include "items/item_ids.h"
#include "platform/kernel/ansi_text.h"
#include "tests/graphics/drawing/library_fixture.h"
#include "tests/support/model_files.h"

namespace {

// The sample model's text with one line replaced (or lines added at its end).
std::string SampleModelText(const std::string& from, const std::string& to, const std::string& extra = "") {
  std::ifstream in(std::string(QV_SOURCE_DIR) + "/models/sample.txt");
  std::stringstream text;
  text << in.rdbuf();
  std::string model = text.str();
  if (!from.empty()) {
    const size_t at = model.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) model.replace(at, from.size(), to);
  }
  // Pictures are read relative to the model's folder.
  for (size_t at = 0; (at = model.find("file:\"pictures/", at)) != std::string::npos;)
    model.replace(at, 6, "file:\"" + std::string(QV_SOURCE_DIR) + "/models/"), at += 7;
  // So are the model's parts it includes.
  for (size_t at = 0; (at = model.find("include \"sample/", at)) != std::string::npos;)
    model.replace(at, 9, "include \"" + std::string(QV_SOURCE_DIR) + "/models/"), at += 10;
  return model + "\n" + extra;
}

constexpr char kLibraryTexts[] = R"("qvdraw?s.dll" "C:\\Qorvex\\QX4500\\"])";

class SessionTest : public LibraryTest {
 protected:
  // Printer "P2" on a variant of the sample model; the device then prints on it.
  void UseVariantModel(const std::string& text) {
    const std::u16string path = InstallModelImage(BuildModelImage(text), u"VARIANT.DDD", u"QX4500.DAT");
    SimPrinterSetup setup;
    setup.name = u"P2";
    setup.dataFile = path;
    ASSERT_TRUE(SimAddPrinter(setup));
    ASSERT_TRUE(OpenPrinterW(u"P2", &variant_, nullptr));
    pdev_->printer = variant_;
  }

  void TearDown() override {
    CloseLibrarySession(channel_);
    if (variant_ != nullptr) ClosePrinter(variant_);
    LibraryTest::TearDown();
  }

  std::string InitializeLine() {
    const auto lines = Lines("VR_Initialize");
    return lines.size() == 1 ? lines[0] : std::string();
  }

  HANDLE variant_ = nullptr;
};

TEST_F(SessionTest, OpensTheModelsLibraryAndClosesLeavingNothing) {
  const int modulesBefore = SimModuleLiveCount();
  ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
  DrawingLibrarySession* session = channel_->session;
  ASSERT_NE(session, nullptr);
  ASSERT_NE(session->functions, nullptr);
  EXPECT_NE(session->library, nullptr);
  EXPECT_EQ(session->functions->module, library_) << "the stand-in from the driver directory";
  EXPECT_EQ(session->outputBufferSize, kSessionOutputBufferSize);
  EXPECT_GT(channel_->liveAllocations, 0);
  EXPECT_TRUE(Messages().empty());

  const std::string init = InitializeLine();
  const std::string driverDir = "C:\\Windows\\System32\\spool\\drivers\\x64\\3\\";
  // The resource path: the module's directory and the name with its last "?" as "I".
  EXPECT_NE(init.find("resource{size=552 printer=prn1 path=\""), std::string::npos) << init;
  EXPECT_NE(init.find(driverDir + "qvdrawIs.dll\""), std::string::npos) << init;
  EXPECT_NE(init.find("data{size=264 path=\"" + driverDir + "C:\\Qorvex\\QX4500\\\"}"), std::string::npos) << init;
  EXPECT_NE(init.find("debug{size=268 path=\"C:\\Windows\\System32\\Spool\\Drivers\\x64\\3\\VQDBG.tmp\" w264=0}"),
            std::string::npos)
      << init;
  EXPECT_EQ(init.find("unnamed"), std::string::npos) << "every byte outside the named fields is 0: " << init;

  EXPECT_EQ(CloseLibrarySession(channel_), 0);
  EXPECT_EQ(channel_->session, nullptr);
  EXPECT_EQ(channel_->liveAllocations, 0);
  EXPECT_EQ(Lines("VR_Finalize").size(), 1u);
  EXPECT_EQ(liveSessions_(), 0u);
  EXPECT_EQ(SimModuleLiveCount(), modulesBefore) << "only the test's own use of the library is left";
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(breaches_(), 0u) << Trace();
  // The library wrote its start and end into the engine's job.
  EXPECT_EQ(EngineBytes(), LibraryStream());
  EXPECT_EQ(CloseLibrarySession(channel_), 0) << "no session: nothing to do";
}

// Settings profiles and the blocks' fields the stand-in decodes from them.
struct BlockProfile {
  const char* name;
  std::vector<std::pair<SettingItemId, DWORD>> settings;
  std::vector<std::string> expected;  // parts of the VR_Initialize trace line
};

const BlockProfile kProfiles[] = {
    {"defaults",
     {},
     {"device{size=296 baseX=600 baseY=600", "rasterX=600 rasterY=600 w28=7200 w30=21260", "duplex=1}",
      "job{0=236 12=1 16=1 20=1 24=3 28=4 32=1 36=1 40=1 48=1 52=1 64=8 68=16777224 72=3 76=3 84=1 88=10 96=4096 "
      "224=4097 228=64}",
      "color{flags1=5120 flags2=5120 flags3=5120 white1=0", "w52=1 mode=3 range1=0",
      "center=000000000000000000000000 adjust1=00000000000000000000000000000000"}},
    {"vertical duplex bound on the short edge",
     {{16, 2}, {321, 2}},
     {"duplex=3}"}},
    {"vertical duplex", {{16, 2}}, {"duplex=2}"}},
    {"horizontal duplex", {{16, 3}}, {"duplex=3}"}},
    {"monochrome, extended range, low raster resolution",
     {{270, 1}, {1346, 1}, {1302, 1}},
     {"rasterX=200 rasterY=200", "160=1", "mode=4 range1=256 range2=256 range3=256"}},
    {"built-in matching 6500 K, tone 22, all kinds treated",
     {{293, 2}, {286, 1}, {287, 1}, {288, 3}, {273, 7}, {1309, 1}},
     {"flags1=5123 flags2=5121 flags3=5121 white1=6500 tone1=22 white2=6500 tone2=22 white3=6500 tone3=22"}},
    {"per-kind treatment",
     {{293, 4}, {1314, 1}, {273, 3}, {1306, 1}},
     {"flags1=5121 flags2=5123 flags3=5120"}},
    {"centre every byte wins over the channels", {{1320, 1}, {1318, 1}}, {"center=808080808080808080808080"}},
    {"centre the channels (a monochrome setting)", {{270, 1}, {1318, 1}}, {"center=800000008000000080000000"}},
    {"colour settings that do not apply", {{293, 1}, {273, 7}, {286, 1}, {287, 9}}, {"flags1=5120 flags2=5120"}},
    {"adjustments",
     {{401, 0x40}, {398, 0x10}, {392, 1}},
     // Rows: 401..403, 398..400, 395..397, 392..394; each a fourth byte of 0.
     {"adjust1=030000000100000000000000FD000000", "adjust3=030000000100000000000000FD000000"}},
};

TEST_F(SessionTest, ParameterBlocksFieldByFieldForSettingsProfiles) {
  for (const BlockProfile& profile : kProfiles) {
    SCOPED_TRACE(profile.name);
    pdev_->settings = SettingsRecord{};
    for (const auto& [item, value] : profile.settings) Set(item, value);
    reset_();
    ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
    const std::string init = InitializeLine();
    for (const std::string& part : profile.expected) EXPECT_NE(init.find(part), std::string::npos) << part << "\n" << init;
    EXPECT_EQ(init.find("unnamed"), std::string::npos) << init;
    EXPECT_EQ(CloseLibrarySession(channel_), 0);
    EXPECT_EQ(channel_->liveAllocations, 0);
  }
}

TEST_F(SessionTest, ConditionRecordsGiveTheJobBlocksWord228) {
  // Two records answering for key 3 (the later wins) and one with an odd pair count.
  UseVariantModel(SampleModelText("", "", R"(
devicequery 3 linked selector=1 item=4097 type=1 length=1 devtype=4 flags=0x41 index=1 names=["Extra"]
    pairs=[u16:96 u16:3 u16:5 u16:7]
devicequery 4 linked selector=1 item=4097 type=1 length=1 devtype=4 flags=0x41 index=1 names=["Odd"]
    pairs=[u16:44 u16:9 u16:1]
)"));
  const struct {
    DWORD key;
    WORD value;
  } cases[] = {{3, 96}, {1, 1}, {7, 5}, {9, 0}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(LookUpConditionalValue(pdev_.get(), static_cast<WORD>(c.key)), c.value);
  }
  Set(kItemConditionKey, 3);
  ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
  EXPECT_NE(InitializeLine().find(" 228=96}"), std::string::npos) << InitializeLine();
}

TEST_F(SessionTest, AdjustmentSteps) {
  const struct {
    DWORD value;
    int step;
  } cases[] = {{1, -3}, {2, -2}, {4, -1}, {8, 0}, {16, 1}, {32, 2}, {64, 3}, {256, -3}, {0x4000, 3},
               {0x10000, -3}, {0x400000, 3}, {0, 0}, {3, 0}, {128, 0}, {0x800000, 0}};
  for (const auto& c : cases) EXPECT_EQ(DecodeAdjustment(c.value), c.step) << c.value;
}

TEST_F(SessionTest, FailedStartOrBindFailsCleanly) {
  const int modulesBefore = SimModuleLiveCount();
  const std::u16string loadError = u"VRNSDecmp.DLL Load Error!";
  // In this order: each case's arrangement stays for the cases after it.
  const struct {
    const char* name;
    std::function<void()> arrange;
    std::vector<DebugMessage> messages;
    bool bound;
  } cases[] = {
      {"the start answers no handle", [this] { fail_("VR_Initialize", 1, 0); }, {}, true},
      {"a name nothing calls is missing", [] { SimModuleHideExport(u"qvdrawzd.dll", "VR_DrawScanline"); },
       {{loadError, u"GetProcAddress Error"}}, false},
      {"the last name is missing too", [] { SimModuleHideExport(u"qvdrawzd.dll", "VR_SetRasterSmoothingMode"); },
       {{loadError, u"GetProcAddress Error"}}, false},
      {"the library does not load", [] { SimModuleFailLoad(u"qvdrawzd.dll", 126); },
       {{loadError, u"LoadLibrary Error"}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    reset_();
    Messages().clear();
    c.arrange();
    EXPECT_EQ(OpenLibrarySession(pdev_.get()), -1);
    EXPECT_EQ(Messages(), c.messages);
    ASSERT_NE(channel_->session, nullptr) << "the partial session stays for the close";
    EXPECT_EQ(channel_->session->functions != nullptr, c.bound);
    EXPECT_EQ(channel_->session->library, nullptr);
    EXPECT_EQ(CloseLibrarySession(channel_), 0);
    EXPECT_EQ(Lines("VR_Finalize").size(), 0u) << "nothing was started";
    EXPECT_EQ(channel_->liveAllocations, 0);
    EXPECT_EQ(SimModuleLiveCount(), modulesBefore);
  }
}

TEST_F(SessionTest, NamePatternOtherThanQuestionMarkS) {
  UseVariantModel(SampleModelText(kLibraryTexts, R"("qvdraw?x.dll" "C:\\Qorvex\\QX4500\\"])"));
  EXPECT_EQ(OpenLibrarySession(pdev_.get()), -1);
  const std::vector<DebugMessage> expected = {{u"VRNSDecmp.DLL Name missing Error!", u"ddd_GetDLLName Error"},
                                              {u"VRNSDecmp.DLL Load Error!", u"LoadLibrary Error"}};
  EXPECT_EQ(Messages(), expected) << "the unchanged name is not there";
  EXPECT_EQ(CloseLibrarySession(channel_), 0);
  EXPECT_EQ(channel_->liveAllocations, 0);
}

TEST_F(SessionTest, NameWithoutPatternIsLoadedAsItIs) {
  UseVariantModel(SampleModelText(kLibraryTexts, R"("qvdrawzd.dll" "C:\\Qorvex\\QX4500\\"])"));
  EXPECT_EQ(OpenLibrarySession(pdev_.get()), 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SessionTest, DataPathOfMoreThan259Characters) {
  const std::string driverDir = "C:\\Windows\\System32\\spool\\drivers\\x64\\3\\";
  // The data path is the driver directory followed by the text: 259 characters fit, 260 not.
  for (const size_t total : {259u, 260u}) {
    SCOPED_TRACE(total);
    const std::string tail(total - driverDir.size(), 'd');
    if (variant_ != nullptr) {
      ClosePrinter(variant_);
      variant_ = nullptr;
      SimRemovePrinter(u"P2");
    }
    UseVariantModel(SampleModelText(kLibraryTexts, "\"qvdraw?s.dll\" \"" + tail + "\"]"));
    reset_();
    EXPECT_EQ(OpenLibrarySession(pdev_.get()), total == 259 ? 0 : -1);
    EXPECT_EQ(Lines("VR_Initialize").size(), total == 259 ? 1u : 0u);
    EXPECT_EQ(CloseLibrarySession(channel_), 0);
    EXPECT_EQ(channel_->liveAllocations, 0);
  }
}

TEST_F(SessionTest, RoundedMulDivAndScale) {
  EXPECT_EQ(RoundedMulDiv(3048, 600, 254), 7200);
  EXPECT_EQ(RoundedMulDiv(9000, 600, 254), 21260);
  EXPECT_EQ(RoundedMulDiv(2100, 600, 254), 4961);
  EXPECT_EQ(RoundedMulDiv(10, 1, 4), 3) << "2.5 rounds up";
  EXPECT_EQ(RoundedMulDiv(9, 1, 4), 2);
  WORD whole = 0;
  float exact = 0;
  ScaleToResolution(2970, 600, 254, &whole, &exact);
  EXPECT_EQ(whole, 7016);
  EXPECT_EQ(exact, 2970.0f * 600.0f / 254.0f);
}

TEST_F(SessionTest, DirectImagesWaitForExactlyTheirData) {
  ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
  const LONG base = channel_->liveAllocations;
  // A mask without data is drawn at once.
  ImageMaskHeader mask{1, 2, 8, 2, 1, {1, 0, 0, 1, 0, 0}, 0};
  EXPECT_EQ(CallDrawImageMask(channel_, mask), 0);
  EXPECT_EQ(Lines("VR_DrawImageMask").size(), 1u);
  EXPECT_EQ(channel_->liveAllocations, base);
  // With data it waits until exactly that many bytes arrived.
  mask.dataLength = 2;
  EXPECT_EQ(CallDrawImageMask(channel_, mask), 0);
  const BYTE bits[] = {0xF0, 0x0F, 0x55};
  EXPECT_EQ(CallAppendImageData(channel_, bits, 1), 0);
  EXPECT_EQ(Lines("VR_DrawImageMask").size(), 1u);
  EXPECT_EQ(CallAppendImageData(channel_, bits + 1, 1), 0);
  ASSERT_EQ(Lines("VR_DrawImageMask").size(), 2u);
  EXPECT_NE(Lines("VR_DrawImageMask")[1].find("flag=1, len=2, data=[F00F]"), std::string::npos)
      << Lines("VR_DrawImageMask")[1];
  EXPECT_EQ(channel_->liveAllocations, base);

  // An image: mask and image data in three pieces, one call with both.
  const BYTE table[] = {0, 0, 0, 255, 255, 255};
  ImageAttributes image{0, 0, {1, 0, 0, 1, 0, 0}, 2, 2, 2, 0, 2, 2, 11, 8, 2, 6, table, {1, 8, 1}, 4};
  EXPECT_EQ(CallDrawImage(channel_, image), 0);
  const BYTE data[] = {0xC0, 0x40, 1, 0, 0, 1};
  EXPECT_EQ(CallAppendImageData(channel_, data, 3), 0);
  EXPECT_EQ(CallAppendImageData(channel_, data + 3, 2), 0);
  EXPECT_EQ(CallAppendImageData(channel_, data + 5, 1), 0);
  ASSERT_EQ(Lines("VR_DrawImage").size(), 1u);
  EXPECT_NE(Lines("VR_DrawImage")[0].find("table=[000000FFFFFF], t0=1, bits=8, encoding=1, len=4, mask=[C040], "
                                          "image=[01000001]"),
            std::string::npos)
      << Lines("VR_DrawImage")[0];
  EXPECT_EQ(channel_->liveAllocations, base);

  // One byte too many drops the image; nothing waits afterwards.
  EXPECT_EQ(CallDrawImage(channel_, image), 0);
  const BYTE seven[7] = {};
  EXPECT_EQ(CallAppendImageData(channel_, seven, 7), -1);
  EXPECT_EQ(channel_->session->pendingKind, kPendingNone);
  EXPECT_EQ(CallAppendImageData(channel_, seven, 1), -1) << "no image waits";
  EXPECT_EQ(Lines("VR_DrawImage").size(), 1u);
  EXPECT_EQ(channel_->liveAllocations, base);

  // A new header while one waits drops the waiting one; an image still waiting at the close
  // is freed with the session.
  EXPECT_EQ(CallDrawImage(channel_, image), 0);
  EXPECT_EQ(CallDrawImageMask(channel_, mask), 0);
  EXPECT_EQ(channel_->session->pendingKind, kPendingImageMask);
  EXPECT_EQ(CloseLibrarySession(channel_), 0);
  EXPECT_EQ(channel_->liveAllocations, 0);
  // Mask and image lengths whose sum does not fit 32 bits are refused.
  ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
  image.maskLength = 0xFFFFFFF0;
  image.imageLength = 0x20;
  EXPECT_EQ(CallDrawImage(channel_, image), -1);
}

}  // namespace
