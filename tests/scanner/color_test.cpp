// Colour management: the platform's profiles and transforms, and the scanner's sRGB transform
// (its colour space record, the profile checks and the translation of packed bands).
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/color/color.h"
#include "platform/platform.h"
#include "platform/twain/twain.h"
#include "scanner/color_transform.h"
#include "scanner/image_record.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "tests/support/scanner_fixture.h"

namespace {

constexpr char16_t kColorDir[] = u"C:\\Windows\\System32\\spool\\drivers\\color";

class ColorTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    CreateDirectoryW(u"C:\\Windows\\System32\\spool", nullptr);
    CreateDirectoryW(u"C:\\Windows\\System32\\spool\\drivers", nullptr);
    CreateDirectoryW(kColorDir, nullptr);
  }
  void TearDown() override {
    ReleaseColorTransform();
    EXPECT_EQ(SimColorLiveObjects(), 0);
    ScannerCodeTest::TearDown();
  }
  // A profile file in the colour directory, valid ("acsp" at byte 36) or not.
  void WriteProfile(const char16_t* name, bool valid) {
    std::u16string path = std::u16string(kColorDir) + u"\\" + name;
    std::string bytes(128, '\0');
    if (valid) bytes.replace(36, 4, "acsp");
    std::ofstream(Host(path.c_str()), std::ios::binary) << bytes;
  }
};

TEST_F(ColorTest, ProfilesOpenOnlyWhenPresentAndValid) {
  char dir[MAX_PATH];
  DWORD size = 4;
  EXPECT_FALSE(GetColorDirectoryA(nullptr, dir, &size));
  EXPECT_EQ(size, sizeof "C:\\Windows\\System32\\spool\\drivers\\color");
  size = sizeof dir;
  ASSERT_TRUE(GetColorDirectoryA(nullptr, dir, &size));
  EXPECT_STREQ(dir, "C:\\Windows\\System32\\spool\\drivers\\color");

  EXPECT_EQ(OpenProfileByName("sRGB Color Space Profile.icm"), nullptr);  // missing
  WriteProfile(u"sRGB Color Space Profile.icm", false);
  EXPECT_EQ(OpenProfileByName("sRGB Color Space Profile.icm"), nullptr);  // invalid, closed again
  EXPECT_EQ(SimColorLiveObjects(), 0);
  EXPECT_FALSE(CreateColorTransform());
  WriteProfile(u"sRGB Color Space Profile.icm", true);
  HPROFILE profile = OpenProfileByName("sRGB Color Space Profile.icm");
  ASSERT_NE(profile, nullptr);
  EXPECT_TRUE(CloseColorProfile(profile));
  // A name with a folder is a path of its own; one too long for a path is refused.
  EXPECT_NE(profile = OpenProfileByName("C:\\Windows\\System32\\spool\\drivers\\color\\sRGB Color Space Profile.icm"),
            nullptr);
  CloseColorProfile(profile);
  EXPECT_EQ(OpenProfileByName(std::string(300, 'a').c_str()), nullptr);
}

TEST_F(ColorTest, TransformFromTheScannerColourSpace) {
  WriteProfile(u"sRGB Color Space Profile.icm", true);
  ASSERT_TRUE(CreateColorTransform());
  const std::vector<SimColorTransformRecord> made = SimColorTransformsCreated();
  ASSERT_EQ(made.size(), 1u);
  const LOGCOLORSPACEA& cs = made[0].ColorSpace;
  EXPECT_EQ(made[0].Flags, 0x10003u);
  EXPECT_EQ(cs.lcsSignature, 0x50534F43u);
  EXPECT_EQ(cs.lcsVersion, 0x400u);
  EXPECT_EQ(cs.lcsSize, 328u);
  EXPECT_EQ(cs.lcsCSType, 0);
  EXPECT_EQ(cs.lcsIntent, 4);
  EXPECT_EQ(cs.lcsEndpoints.ciexyzRed.ciexyzX, static_cast<LONG>(0.64 * (1 << 30)));
  EXPECT_EQ(cs.lcsEndpoints.ciexyzGreen.ciexyzY, static_cast<LONG>(0.60 * (1 << 30)));
  EXPECT_EQ(cs.lcsEndpoints.ciexyzBlue.ciexyzZ, static_cast<LONG>(0.79 * (1 << 30)));
  EXPECT_EQ(cs.lcsGammaRed, static_cast<DWORD>(0.45 * 65536));
  EXPECT_STREQ(cs.lcsFilename, "C:\\Windows\\System32\\spool\\drivers\\color\\pelvoprof.icm");
  ReleaseColorTransform();
  EXPECT_EQ(SimColorLiveObjects(), 0);
  SimColorFailCreate(TRUE);
  EXPECT_FALSE(CreateColorTransform());
}

TEST_F(ColorTest, BandsTranslateWithTheirPackedLineAsStride) {
  WriteProfile(u"sRGB Color Space Profile.icm", true);
  ASSERT_TRUE(CreateColorTransform());
  SimColorInvertOnTranslate(TRUE);
  ImageRecord record{};
  struct Case {
    WORD kind;
    DWORD hardwareGray;
    DWORD bytes;      // per pixel; 0: not translated
    DWORD format;
  } cases[] = {
      {kScanKindColor, 0, 3, BM_RGBTRIPLETS}, {kScanKindGray, 0, 3, BM_RGBTRIPLETS}, {kScanKindGray, 1, 0, 0},
      {kScanKindGray16, 1, 2, BM_16b_GRAY},   {kScanKindColor48, 1, 6, BM_16b_RGB},  {33, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    SimColorReset();
    SimColorInvertOnTranslate(TRUE);
    g_Switches.UseHardwareGrayScale = c.hardwareGray;
    record.ScanKind = c.kind;
    const DWORD width = 5, lines = 3;  // 15-byte lines: not a multiple of 4
    std::vector<BYTE> band(6 * width * lines);
    for (size_t i = 0; i < band.size(); ++i) band[i] = static_cast<BYTE>(i);
    std::vector<BYTE> before = band;
    TranslateBand(band.data(), width, lines, record);
    const std::vector<SimTranslateRecord> log = SimColorTranslations();
    if (c.bytes == 0) {
      EXPECT_TRUE(log.empty());
      EXPECT_EQ(band, before);
      continue;
    }
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].InputFormat, c.format);
    EXPECT_EQ(log[0].OutputFormat, c.format);
    EXPECT_EQ(log[0].InputStride, width * c.bytes);
    EXPECT_EQ(log[0].OutputStride, width * c.bytes);
    const size_t used = static_cast<size_t>(width) * c.bytes * lines;
    for (size_t i = 0; i < band.size(); ++i)
      ASSERT_EQ(band[i], i < used ? static_cast<BYTE>(~before[i]) : before[i]) << i;
  }
}

}  // namespace
