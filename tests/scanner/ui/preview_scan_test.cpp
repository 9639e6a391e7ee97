// The dialog's preview scan into the preview window of a test dialog: always 75 dpi in colour
// over the preview area, the preview image the scanner's grey pattern as RGB triplets, the
// image filter run only when the finished preview is rendered, and the application's record
// left as it was.
#include <cstring>

#include "outside/pelvofilt/pelvofilt_sim.h"
#include "platform/platform.h"
#include "scanner/connection.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/scan_run.h"
#include "scanner/ui/preview_scan.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/window_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

INT_PTR TestDialogProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

class PreviewScanTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    ASSERT_TRUE(LoadFilterLibrary());
    LoadScannerSimulation();
    ASSERT_TRUE(OpenDevice());  // reads the device buffer size
    CloseDevice();
    filter_ = LoadLibraryW(u"pelvofilt.dll");
    ASSERT_NE(filter_, nullptr);
    filterReset_ = Bind<SimFilterResetProc>(filter_, "SimFilterReset");
    filterCounts_ = Bind<SimFilterGetCountsProc>(filter_, "SimFilterGetCounts");
    filterReset_();
    resources_ = LoadLibraryW(u"scanner_ui_test.qrs");
    ASSERT_NE(resources_, nullptr);
    ResetScanSettings(s_);
    // Text at 600 dpi: the preview still scans in colour at 75 dpi.
    s_.ScanTypeCode = 0;
    s_.XResolution = s_.YResolution = 600;
    s_.PreviewArea = RECT{1200, 2400, 3600, 3600};  // 2 x 1 inch
    dialog_ = CreateDialogParamW(resources_, MAKEINTRESOURCEW(100), nullptr, TestDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
    ASSERT_TRUE(CreatePreviewWindow(dialog_, &s_));
  }
  void TearDown() override {
    if (s_.PreviewWindow != nullptr) {
      EXPECT_TRUE(DestroyPreviewWindow(&s_));
    }
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    UnregisterScannerWindowClasses();
    FreeLibrary(resources_);
    FreeLibrary(filter_);
    UnloadFilterLibrary();
    ScannerCodeTest::TearDown();
  }
  SimFilterCounts Counts() {
    SimFilterCounts c{};
    filterCounts_(&c);
    return c;
  }

  HMODULE resources_ = nullptr;
  HMODULE filter_ = nullptr;
  SimFilterResetProc filterReset_ = nullptr;
  SimFilterGetCountsProc filterCounts_ = nullptr;
  HWND dialog_ = nullptr;
  ScanSettings s_{};
};

TEST_F(PreviewScanTest, ScansThePreviewAreaIn75DpiColour) {
  CurrentImageRecord().TransferFileName[0] = 'x';
  const ImageRecord before = CurrentImageRecord();
  ASSERT_TRUE(RunPreviewScan(dialog_, s_));
  EXPECT_TRUE(s_.PreviewAvailable);
  SimScanWindow window{};
  ASSERT_TRUE(scannerWindow_(&window));
  EXPECT_EQ(window.XResolution, 75u);
  EXPECT_EQ(window.YResolution, 75u);
  EXPECT_EQ(window.Composition, 2);  // colour is read as grey and made triplets
  const PreviewImage& raw = RawPreviewImage();
  ASSERT_NE(raw.Block, nullptr);
  EXPECT_EQ(raw.Area.left, 1200);
  EXPECT_EQ(raw.Area.bottom, 3600);
  EXPECT_EQ(raw.LinesReceived, 75u);
  const BYTE* block = static_cast<const BYTE*>(GlobalLock(raw.Block));
  BITMAPINFOHEADER header{};
  std::memcpy(&header, block, sizeof header);
  EXPECT_EQ(header.biWidth, 150);
  EXPECT_EQ(header.biHeight, -75);  // top-down
  EXPECT_EQ(header.biBitCount, 24);
  const DWORD stride = (150 * 3 + 3) / 4 * 4;
  EXPECT_EQ(raw.PixelBytes, stride * 75);
  // Bed pixels at 75 dpi start at the area's corner (1200 / 16, 2400 / 16).
  for (DWORD y = 0; y < 75; ++y)
    for (DWORD x = 0; x < 150; ++x) {
      const BYTE* p = block + 40 + y * stride + 3 * x;
      const BYTE grey = SimPattern8(window.Left + x, window.Top + y);
      ASSERT_TRUE(p[0] == grey && p[1] == grey && p[2] == grey) << x << "," << y;
    }
  GlobalUnlock(raw.Block);
  EXPECT_EQ(window.Left, 75u);
  EXPECT_EQ(window.Top, 150u);
  // The filter ran once, for the finished preview's display image, not during the scan.
  EXPECT_EQ(Counts().Run, 1u);
  EXPECT_NE(DisplayPreviewImage().Block, nullptr);
  EXPECT_FALSE(g_PreviewScanRunning);
  // The application's record is untouched.
  EXPECT_EQ(std::memcmp(&before, &CurrentImageRecord(), sizeof before), 0);
  // A second preview replaces the first.
  ASSERT_TRUE(RunPreviewScan(dialog_, s_));
  EXPECT_EQ(RawPreviewImage().LinesReceived, 75u);
}

TEST_F(PreviewScanTest, AFailedPreviewKeepsNoImageAndLeaksNothing) {
  // The scan cannot start: the device refuses to open.
  SimScannerSetupInfo info{-1, TRUE, 0, 0, 0};
  scannerSetup_(&info);
  SimMessageBoxAnswer(IDCANCEL);
  EXPECT_FALSE(RunPreviewScan(dialog_, s_));
  EXPECT_FALSE(s_.PreviewAvailable);
  EXPECT_EQ(RawPreviewImage().Block, nullptr);
  EXPECT_EQ(DisplayPreviewImage().Block, nullptr);
}

}  // namespace
