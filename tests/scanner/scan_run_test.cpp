// The image record and the scan run: rebuilding from the dialog's settings, the scan request,
// and strips served in order from a band store smaller than the image.
#include <gtest/gtest.h>

#include <vector>

#include "outside/pelvodev/pelvodev_sim.h"
#include "platform/platform.h"
#include "platform/twain/twain.h"
#include "scanner/connection.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/scan_run.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "tests/support/scanner_fixture.h"

namespace {

TEST(ImageRecord, RebuiltFromTheDialogSettings) {
  ScanSettings s{};
  ResetScanSettings(s);
  ImageRecord r{};
  struct Case {
    WORD type, rotation;
    LONG dpi, scale;
    RECT area;
    WORD pixelType, kind, resolution;
    DWORD width, height;
  } cases[] = {
      {6, 0, 75, 200, {0, 0, 1200, 2400}, TWPT_GRAY, kScanKindGray, 75, 75, 150},  // no scaling below 100 dpi
      {6, 0, 200, 150, {0, 0, 1200, 2400}, TWPT_GRAY, kScanKindGray, 300, 300, 600},
      {4, 1, 200, 100, {0, 0, 9924, 14030}, TWPT_RGB, kScanKindColor, 200, 2338, 1654},
      {0, 1, 200, 100, {0, 0, 9924, 14030}, TWPT_BW, kScanKindThreshold, 200, 1654, 2338},  // one bit: no rotation
      {7, 2, 300, 100, {0, 0, 1200, 1200}, TWPT_RGB, kScanKindColor48, 300, 300, 300},
      // One-bit and 48-bit images are not scaled either.
      {0, 0, 200, 200, {0, 0, 1200, 2400}, TWPT_BW, kScanKindThreshold, 200, 200, 400},
      {1, 0, 200, 200, {0, 0, 1200, 2400}, TWPT_BW, kScanKindHalftone, 200, 200, 400},
      {3, 0, 200, 200, {0, 0, 1200, 2400}, TWPT_BW, kScanKindDiffusion, 200, 200, 400},
      {7, 0, 200, 200, {0, 0, 1200, 1200}, TWPT_RGB, kScanKindColor48, 200, 200, 200},
      {4, 0, 200, 200, {0, 0, 1200, 1200}, TWPT_RGB, kScanKindColor, 400, 400, 400},
      // The further colour kinds 16 to 19 and grey kinds 32 to 35, scaled and turned as colour
      // and grey are.
      {8, 0, 200, 100, {0, 0, 1200, 2400}, TWPT_RGB, 16, 200, 200, 400},
      {9, 1, 200, 100, {0, 0, 1200, 2400}, TWPT_RGB, 17, 200, 400, 200},
      {10, 0, 200, 150, {0, 0, 1200, 1200}, TWPT_RGB, 18, 300, 300, 300},
      {11, 0, 75, 200, {0, 0, 1200, 1200}, TWPT_RGB, 19, 75, 75, 75},
      {12, 0, 200, 100, {0, 0, 1200, 2400}, TWPT_GRAY, 32, 200, 200, 400},
      {13, 2, 200, 100, {0, 0, 1200, 2400}, TWPT_GRAY, 33, 200, 400, 200},
      {14, 0, 200, 150, {0, 0, 1200, 1200}, TWPT_GRAY, 34, 300, 300, 300},
      {15, 0, 300, 100, {0, 0, 2400, 1200}, TWPT_GRAY, 35, 300, 600, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    s.ScanTypeCode = c.type;
    s.Rotation = c.rotation;
    s.XResolution = s.YResolution = c.dpi;
    s.ScalePercent = static_cast<WORD>(c.scale);
    s.ScanArea = c.area;
    ASSERT_TRUE(BuildImageRecord(s, r));
    EXPECT_EQ(r.PixelType, c.pixelType);
    EXPECT_EQ(r.ScanKind, c.kind);
    EXPECT_EQ(r.XResolution, c.resolution);
    EXPECT_EQ(r.Width, c.width);
    EXPECT_EQ(r.Height, c.height);
    EXPECT_EQ(r.BytesPerLine, (r.BitsPerPixel * c.width + 31) / 32 * 4);
    EXPECT_EQ(r.PendingTransferCount, 1);
  }
  for (WORD notAType : {2, 16, 0xFFFF}) {
    s.ScanTypeCode = notAType;
    EXPECT_FALSE(BuildImageRecord(s, r)) << notAType;
  }
}

class ScanRunTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    ASSERT_TRUE(LoadFilterLibrary());
    LoadScannerSimulation();
    ASSERT_TRUE(OpenDevice());  // reads the device buffer size
    CloseDevice();
    ASSERT_TRUE(SetImageRecordDefaults(record_));
    for (int i = 0; i < 256; ++i) tones_[i] = static_cast<BYTE>(i);
  }
  void TearDown() override {
    EndScanRun();
    UnloadFilterLibrary();
    ScannerCodeTest::TearDown();
  }
  ScanRequest Request(DWORD width, DWORD height) {
    ScanRequest q{};
    q.Kind = kScanKindGray;
    q.Resolution = 100;
    q.Frame = {0, 0, static_cast<LONG>(width * 12), static_cast<LONG>(height * 12)};
    q.DeviceWidth = width;
    q.DeviceHeight = height;
    q.ToneTable = tones_;
    return q;
  }
  ImageRecord record_{};
  BYTE tones_[256];
};

TEST_F(ScanRunTest, StripsComeInOrderFromAStoreSmallerThanTheImage) {
  record_.PixelType = TWPT_GRAY;
  record_.ScanKind = kScanKindGray;
  std::vector<BYTE> strip(1000 * 7);
  // Turned a quarter, a strip of f lines is 1000 rows of f grey pixels rounded up to 4: at most
  // 4 lines fit where 7 do unturned.
  const struct {
    WORD rotation;
    LONG lines;
  } cases[] = {{0, 7}, {1, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rotation);
    // Room for 300 lines of 1000 pixels only (and the device's 262144-byte buffer): the store
    // is shrunk to 300 lines, then halved.
    SimFailAllocationsAbove(300000);
    ASSERT_EQ(BeginScanRun(Request(1000, 600), c.rotation), 0);
    SimFailAllocationsAbove(0);
    DWORD next = 0;
    int result;
    do {
      POINT at{};
      SIZE size{};
      result = NextStrip(strip.data(), &at, &size, strip.size(), record_);
      ASSERT_TRUE(result == kStripMore || result == kStripLast) << result;
      ASSERT_EQ(static_cast<DWORD>(at.y), next);
      // As many lines as the buffer holds, fewer only where the store's 150 lines run out.
      ASSERT_TRUE(size.cy == c.lines || (next + size.cy) % 150 == 0) << size.cy << " at " << next;
      for (LONG l = 0; l < size.cy; ++l)
        for (DWORD x = 0; x < 1000; ++x) ASSERT_EQ(strip[l * 1000 + x], SimPattern8(x, next + l)) << x << "," << next + l;
      next += static_cast<DWORD>(size.cy);
    } while (result == kStripMore);
    EXPECT_EQ(next, 600u);
    EndScanRun();
  }
  // A buffer smaller than one line takes no strip.
  ASSERT_EQ(BeginScanRun(Request(100, 10), 0), 0);
  POINT at{};
  SIZE size{};
  SetConditionCode(TWCC_SUCCESS);
  EXPECT_EQ(NextStrip(strip.data(), &at, &size, 99, record_), kStripFailed);
  EXPECT_EQ(ConditionCode(), TWCC_LOWMEMORY);
}

TEST_F(ScanRunTest, ImageSidesAreLimited) {
  EXPECT_EQ(BeginScanRun(Request(30001, 4), 0), 1);
  EXPECT_EQ(BeginScanRun(Request(4, 30001), 0), 1);
  EXPECT_EQ(BeginScanRun(Request(0, 4), 0), 1);
  EXPECT_FALSE(ScanRunActive());
  EXPECT_EQ(DeviceFlags(), 0);  // refused before the device was touched
  EXPECT_EQ(BeginScanRun(Request(30000, 4), 0), 0);
  EXPECT_TRUE(ScanRunActive());
}

}  // namespace
