// The progress window: opened once per transfer, stepped to its total and no further, its
// texts, closing at once or with the finished text, painted no faster than a person can see
// but always when it finishes; and through the data source module driven
// by the test application, shown during a transfer when indicators are on, advancing, and
// Cancel aborting the scan (the device's stop command, TWRC_CANCEL to the application).
#include <algorithm>

#include "platform/platform.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/progress_window.h"
#include "scanner/ui/window_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

constexpr BYTE kOpcodeAbort = 0x4C;

// The bar's paints, counted in front of its own procedure.
int g_BarPaints = 0;
WNDPROC g_BarProc = nullptr;
LRESULT CountingBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) ++g_BarPaints;
  return CallWindowProcW(g_BarProc, bar, msg, wParam, lParam);
}

class ProgressTest : public ScannerCodeTest {
 protected:
  // The bar: the dialog's child of class "ProgressCtl".
  static HWND FindBar(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      char16_t name[32] = {};
      GetClassNameW(child, reinterpret_cast<LPWSTR>(name), 32);
      if (std::u16string(name) == u"ProgressCtl") return child;
    }
    return nullptr;
  }

  void TearDown() override {
    CloseProgressWindow(TRUE);
    UnregisterScannerWindowClasses();
    ScannerCodeTest::TearDown();
  }
};

TEST_F(ProgressTest, StepsReachTheTotalAndNoFurther) {
  SetProgressShown(TRUE);
  HWND dialog = OpenProgressWindow(1000);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(OpenProgressWindow(5), nullptr);  // one at a time
  EXPECT_TRUE(IsWindowVisible(dialog));
  EXPECT_EQ(CurrentProgress().MessageId, kTextPleaseWait);
  EXPECT_EQ(CurrentProgress().Total, 1000);
  ASSERT_TRUE(StepProgress(400));
  EXPECT_EQ(CurrentProgress().MessageId, 0u);
  EXPECT_EQ(CurrentProgress().Done, 400);
  ASSERT_TRUE(StepProgress(700));
  EXPECT_EQ(CurrentProgress().Done, 1000);
  ASSERT_TRUE(ScaleProgressTotal(2));
  EXPECT_EQ(CurrentProgress().Total, 2000);
  EXPECT_TRUE(PumpProgressMessages());
  EXPECT_FALSE(ProgressCancelled());
  // Closing not at once shows the finished text first.
  EXPECT_TRUE(CloseProgressWindow(FALSE));
  EXPECT_EQ(CurrentProgress().MessageId, kTextFinished);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_FALSE(StepProgress(1));
  EXPECT_FALSE(PumpProgressMessages());
  EXPECT_FALSE(CloseProgressWindow(TRUE));
}

TEST_F(ProgressTest, TheBarFillsAndFitsItsTextEvenWhenTiny) {
  SetProgressShown(TRUE);
  HWND dialog = OpenProgressWindow(0);
  ASSERT_NE(dialog, nullptr);
  HWND bar = FindBar(dialog);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(GetWindowLongW(bar, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  // A total of 0 stays at the waiting text; nothing is filled.
  StepProgress(10);
  ReferenceImage picture;
  ASSERT_TRUE(SimWindowPicture(bar, picture));
  // The filled width: blue pixels along the row just inside the bar's edge (above the text).
  auto blue = [&](const ReferenceImage& p) {
    const auto row = p.pixels.begin() + 3 * p.width;
    return std::count(row, row + p.width, 0x0000FFu);
  };
  EXPECT_EQ(blue(picture), 0);
  CloseProgressWindow(TRUE);
  dialog = OpenProgressWindow(100);
  bar = FindBar(dialog);
  ASSERT_NE(bar, nullptr);
  StepProgress(25);
  ASSERT_TRUE(SimWindowPicture(bar, picture));
  const auto quarter = blue(picture);
  StepProgress(50);
  ASSERT_TRUE(SimWindowPicture(bar, picture));
  EXPECT_GT(blue(picture), quarter);
  // A bar of one pixel still paints (the font stops at a height of 1).
  MoveWindow(bar, 0, 0, 1, 1, TRUE);
  SimPaint(dialog);
  EXPECT_TRUE(CloseProgressWindow(TRUE));
}

TEST_F(ProgressTest, StepsFasterThanAPersonCanSeeArePaintedTogether) {
  SetProgressShown(TRUE);
  const DWORD start = GetTickCount();
  HWND dialog = OpenProgressWindow(1000);
  ASSERT_NE(dialog, nullptr);
  HWND bar = FindBar(dialog);
  ASSERT_NE(bar, nullptr);
  g_BarPaints = 0;
  g_BarProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingBarProc)));
  // A hundred steps, each changing the percent: a paint at most every 50 ms of them.
  for (int i = 0; i < 100; ++i) StepProgress(10);
  EXPECT_LE(g_BarPaints, static_cast<int>((GetTickCount() - start) / 50 + 1));
  EXPECT_EQ(CurrentProgress().Done, 1000);
  // What is still marked is painted by the next update once the time has come.
  const int before = g_BarPaints;
  const bool marked = GetUpdateRect(bar, nullptr, FALSE) != FALSE;
  SimAdvanceClock(50);
  EXPECT_TRUE(PumpProgressMessages());  // posts the update
  EXPECT_TRUE(PumpProgressMessages());  // and handles it
  EXPECT_EQ(g_BarPaints, before + (marked ? 1 : 0));
  EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE));
  // The finish is painted at once, with its text.
  EXPECT_TRUE(CloseProgressWindow(FALSE));
  EXPECT_EQ(g_BarPaints, before + (marked ? 1 : 0) + 1);
  EXPECT_EQ(CurrentProgress().MessageId, kTextFinished);
}

TEST_F(ProgressTest, CancelClosesAtOnceAndHiddenWindowsCannotBeCancelled) {
  SetProgressShown(TRUE);
  HWND dialog = OpenProgressWindow(100);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(SimClick(GetDlgItem(dialog, kIdProgressCancel)));
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(ProgressCancelled());
  EXPECT_TRUE(StepProgressCancelled(1));
  EXPECT_EQ(ProgressDialogWindow(), nullptr);
  // Without indicators the window exists but stays hidden: Cancel cannot be pressed.
  SetProgressShown(FALSE);
  dialog = OpenProgressWindow(100);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(ProgressCancelled());
  EXPECT_FALSE(IsWindowVisible(dialog));
  EXPECT_FALSE(SimClick(GetDlgItem(dialog, kIdProgressCancel)));
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_FALSE(StepProgressCancelled(1));
}

class ProgressTransferTest : public TwainTest {
 protected:
  void SetUp() override {
    TwainTest::SetUp();
    ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app_.SetOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 100), TWRC_SUCCESS);
    ASSERT_EQ(app_.SetEnumeration(ICAP_XFERMECH, TWTY_UINT16, {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}, TWSX_MEMORY),
              TWRC_SUCCESS);
  }
  void TearDown() override {
    app_.Close();
    TwainTest::TearDown();
  }
  // The source's progress dialog: the top-level window of the progress template's caption.
  HWND ProgressWindow() { return FindWindowW(nullptr, u"Scriptora Duo Local Scan"); }
  TW_UINT16 Strip(std::vector<BYTE>& buffer) {
    TW_IMAGEMEMXFER x{};
    x.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    x.Memory.Length = static_cast<TW_UINT32>(buffer.size());
    x.Memory.TheMem = buffer.data();
    return app_.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &x);
  }
  int DeviceAborts() {
    int aborts = 0;
    for (const SimScannerCall& call : ScannerLog()) aborts += call.Op == 6 && call.Opcode == kOpcodeAbort;
    return aborts;
  }
};

TEST_F(ProgressTransferTest, CancelDuringAMemoryTransferAbortsTheScan) {
  ASSERT_EQ(app_.SetOneValue(CAP_INDICATORS, TWTY_BOOL, 1), TWRC_SUCCESS);
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  std::vector<BYTE> buffer(4096);
  ASSERT_EQ(Strip(buffer), TWRC_SUCCESS);
  HWND progress = ProgressWindow();
  ASSERT_NE(progress, nullptr);
  EXPECT_TRUE(IsWindowVisible(progress));
  ASSERT_EQ(Strip(buffer), TWRC_SUCCESS);
  // The application's events go to the progress dialog first: its own are consumed.
  MSG mine{progress, WM_NULL, 0, 0, 0, {0, 0}};
  TW_EVENT event{&mine, 0x1234};
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
  EXPECT_EQ(event.TWMessage, MSG_NULL);
  MSG other{nullptr, WM_NULL, 0, 0, 0, {0, 0}};
  event = TW_EVENT{&other, 0x1234};
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
  EXPECT_EQ(event.TWMessage, 0x1234);
  const int aborts = DeviceAborts();
  ASSERT_TRUE(SimClick(GetDlgItem(progress, kIdProgressCancel)));
  EXPECT_EQ(ProgressWindow(), nullptr);
  EXPECT_EQ(Strip(buffer), TWRC_CANCEL);
  EXPECT_GT(DeviceAborts(), aborts);
  TW_INT16 count = 0;
  app_.EndTransfer(&count);
  app_.Disable();
}

TEST_F(ProgressTransferTest, WithoutIndicatorsTheWindowStaysHidden) {
  ASSERT_EQ(app_.SetOneValue(CAP_INDICATORS, TWTY_BOOL, 0), TWRC_SUCCESS);
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  std::vector<BYTE> buffer(4096);
  const int aborts = DeviceAborts();
  ASSERT_EQ(Strip(buffer), TWRC_SUCCESS);
  HWND progress = ProgressWindow();
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(IsWindowVisible(progress));
  EXPECT_FALSE(SimClick(GetDlgItem(progress, kIdProgressCancel)));
  TW_UINT16 rc;
  while ((rc = Strip(buffer)) == TWRC_SUCCESS) {
  }
  EXPECT_EQ(rc, TWRC_XFERDONE);
  EXPECT_EQ(ProgressWindow(), nullptr);
  // Only the stop that readies the device before the scan starts.
  EXPECT_EQ(DeviceAborts(), aborts + 1);
  TW_INT16 count = 0;
  app_.EndTransfer(&count);
  app_.Disable();
}

TEST_F(ProgressTransferTest, ANativeTransferClosesItsWindow) {
  ASSERT_EQ(app_.SetEnumeration(ICAP_XFERMECH, TWTY_UINT16, {TWSX_NATIVE, TWSX_FILE, TWSX_MEMORY}, TWSX_NATIVE),
            TWRC_SUCCESS);
  ASSERT_EQ(app_.EnableWithoutInterface(), TWRC_SUCCESS);
  ReceivedImage image;
  ASSERT_EQ(app_.TransferNative(image), TWRC_XFERDONE);
  EXPECT_EQ(ProgressWindow(), nullptr);
  TW_INT16 count = 0;
  app_.EndTransfer(&count);
  app_.Disable();
}

}  // namespace
