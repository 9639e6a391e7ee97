// The levels controls in a test dialog: the commit table (typed text, stored value, text
// written back), commits on Enter or the loss of the focus only, the threshold's track bar,
// Reset, and the gamma marker's table with its inverse.
#include <string>

#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/trackbar.h"
#include "platform/platform.h"
#include "scanner/ui/level_controls.h"
#include "scanner/ui/mapping.h"
#include "scanner/ui/window_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

ScanSettings* g_Settings = nullptr;
int g_Rerenders = 0;

INT_PTR LevelsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      for (int id : {kIdInputHigh, kIdInputLow, kIdGamma, kIdOutputLow, kIdOutputHigh, kIdThreshold})
        InstallNumberEdit(dialog, GetDlgItem(dialog, id), id);
      FillLevelControls(dialog, *g_Settings);
      InstallLevelBar(dialog, GetDlgItem(dialog, kIdInputBar), g_Settings);
      InstallLevelBar(dialog, GetDlgItem(dialog, kIdOutputBar), g_Settings);
      return TRUE;
    case WM_DRAWITEM:
      return DrawLevelItem(dialog, *g_Settings, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND:
      return HandleLevelCommand(dialog, *g_Settings, LOWORD(wParam), HIWORD(wParam));
    case WM_HSCROLL:
      HandleThresholdScroll(dialog, *g_Settings, LOWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      for (int id : {kIdInputHigh, kIdInputLow, kIdGamma, kIdOutputLow, kIdOutputHigh, kIdThreshold})
        RemoveNumberEdit(GetDlgItem(dialog, id));
      RemoveLevelBar(GetDlgItem(dialog, kIdInputBar));
      RemoveLevelBar(GetDlgItem(dialog, kIdOutputBar));
      return TRUE;
  }
  return FALSE;
}

// Stands in for the preview window: counts the re-renders it is asked for.
LRESULT RecorderProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == PVM_RERENDER) ++g_Rerenders;
  return DefWindowProcW(window, msg, wParam, lParam);
}

class LevelsTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    resources_ = LoadLibraryW(u"scanner_ui_test.qrs");
    ASSERT_NE(resources_, nullptr);
    ResetScanSettings(s_);
    g_Settings = &s_;
    g_Rerenders = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.lpszClassName = u"LevelsRecorder";
    RegisterClassW(&wc);
    s_.PreviewWindow = CreateWindowExW(0, u"LevelsRecorder", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    dialog_ = CreateDialogParamW(resources_, MAKEINTRESOURCEW(101), nullptr, LevelsDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    DestroyWindow(s_.PreviewWindow);
    UnregisterClassW(u"LevelsRecorder", nullptr);
    FreeLibrary(resources_);
    ScannerCodeTest::TearDown();
  }
  std::u16string Text(int id) {
    char16_t text[32] = {};
    GetDlgItemTextW(dialog_, id, reinterpret_cast<LPWSTR>(text), 32);
    return text;
  }
  // Types into the edit as a person would, replacing its text.
  void Type(int id, const std::u16string& text) {
    HWND edit = GetDlgItem(dialog_, id);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CLEAR, 0, 0);
    ASSERT_TRUE(SimType(edit, text));
  }
  void Enter(int id) { SendMessageW(GetDlgItem(dialog_, id), WM_KEYUP, VK_RETURN, 0); }

  HMODULE resources_ = nullptr;
  HWND dialog_ = nullptr;
  ScanSettings s_{};
};

TEST_F(LevelsTest, TheControlsShowTheSettings) {
  EXPECT_EQ(Text(kIdInputHigh), u"255");
  EXPECT_EQ(Text(kIdInputLow), u"0");
  EXPECT_EQ(Text(kIdGamma), u"1.00");
  EXPECT_EQ(Text(kIdOutputLow), u"0");
  EXPECT_EQ(Text(kIdOutputHigh), u"255");
  EXPECT_EQ(Text(kIdThreshold), u"202");
  EXPECT_EQ(SendDlgItemMessageW(dialog_, kIdThresholdBar, TBM_GETPOS, 0, 0), 202);
  EXPECT_EQ(SendDlgItemMessageW(dialog_, kIdThresholdBar, TBM_GETRANGEMIN, 0, 0), 1);
  EXPECT_EQ(SendDlgItemMessageW(dialog_, kIdThresholdBar, TBM_GETRANGEMAX, 0, 0), 255);
}

TEST_F(LevelsTest, CommitsClampToTheBoundsAndWriteBack) {
  struct Case {
    int id;
    std::u16string typed;
    SHORT stored;
    std::u16string shown;
  } cases[] = {
      {kIdInputHigh, u"0", 1, u"1"},         {kIdInputHigh, u"300", 255, u"255"},
      {kIdGamma, u"2", 200, u"2.00"},        {kIdGamma, u".5", 50, u"0.50"},
      {kIdGamma, u"12", 1000, u"10.00"},     {kIdGamma, u"0.01", 10, u"0.10"},
      {kIdInputLow, u"300", 254, u"254"},    {kIdInputLow, u"17", 17, u"17"},
      {kIdOutputHigh, u"-4", 1, u"1"},       {kIdOutputLow, u"9", 0, u"0"},
      {kIdOutputHigh, u"200", 200, u"200"},  {kIdOutputLow, u"250", 199, u"199"},
      {kIdThreshold, u"0", 1, u"1"},         {kIdThreshold, u"300", 255, u"255"},
      {kIdThreshold, u"77", 77, u"77"},      {kIdInputHigh, u"abc", 255, u"abc"},
  };
  SHORT* fields[] = {&s_.LevelSlots[0].InputHigh, &s_.LevelSlots[0].InputLow, &s_.LevelSlots[0].Gamma,
                     &s_.LevelSlots[0].OutputLow, &s_.LevelSlots[0].OutputHigh, &s_.Threshold};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.typed.begin(), c.typed.end()));
    Type(c.id, c.typed);
    Enter(c.id);
    EXPECT_EQ(*fields[c.id == kIdThreshold ? 5 : c.id - kIdInputHigh], c.stored);
    EXPECT_EQ(Text(c.id), c.shown);
  }
  EXPECT_EQ(SendDlgItemMessageW(dialog_, kIdThresholdBar, TBM_GETPOS, 0, 0), 77);
  SimPumpMessages();  // the threshold's re-renders are posted
  EXPECT_EQ(g_Rerenders, static_cast<int>(std::size(cases)));
}

TEST_F(LevelsTest, OnlyEnterOrLeavingTheEditCommits) {
  Type(kIdGamma, u"2");
  EXPECT_EQ(s_.LevelSlots[0].Gamma, 100);
  // Enter without a change commits nothing; a second Enter after a commit neither.
  SendMessageW(GetDlgItem(dialog_, kIdInputHigh), WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(g_Rerenders, 0);
  SetFocus(GetDlgItem(dialog_, 1001));
  EXPECT_EQ(s_.LevelSlots[0].Gamma, 200);
  EXPECT_EQ(g_Rerenders, 1);
  Enter(kIdGamma);
  EXPECT_EQ(g_Rerenders, 1);
  // Other keys are the edit's own.
  Type(kIdInputLow, u"5");
  SendMessageW(GetDlgItem(dialog_, kIdInputLow), WM_KEYUP, VK_LEFT, 0);
  EXPECT_EQ(s_.LevelSlots[0].InputLow, 0);
  Enter(kIdInputLow);
  EXPECT_EQ(s_.LevelSlots[0].InputLow, 5);
}

TEST_F(LevelsTest, TheTrackBarMovesTheThresholdAndResetRestoresEverything) {
  HWND bar = GetDlgItem(dialog_, kIdThresholdBar);
  ASSERT_TRUE(SimTrack(bar, TB_THUMBTRACK, 40));
  EXPECT_EQ(s_.Threshold, 40);
  EXPECT_EQ(Text(kIdThreshold), u"40");
  SimPumpMessages();
  EXPECT_EQ(g_Rerenders, 1);  // at the end of the track
  ASSERT_TRUE(SimTrack(bar, TB_LINEDOWN, 0));
  EXPECT_EQ(s_.Threshold, 41);
  Type(kIdGamma, u"3");
  Enter(kIdGamma);
  Type(kIdOutputHigh, u"100");
  Enter(kIdOutputHigh);
  s_.LevelSlots[2].Gamma = 250;
  s_.CurveItems[1].Curve[5] = 0;
  g_Rerenders = 0;
  ASSERT_TRUE(SimClick(GetDlgItem(dialog_, kIdLevelsReset)));
  for (const LevelSlot& slot : s_.LevelSlots) {
    EXPECT_EQ(slot.Gamma, 100);
    EXPECT_EQ(slot.OutputHigh, 255);
  }
  EXPECT_EQ(s_.CurveItems[1].Curve[5], 5);
  EXPECT_EQ(Text(kIdGamma), u"1.00");
  EXPECT_EQ(Text(kIdOutputHigh), u"255");
  EXPECT_EQ(g_Rerenders, 1);
}

// The curve box's client size and its origin in a bar's coordinates.
struct BoxGeometry {
  SIZE size;
  POINT offset;
};

BoxGeometry Geometry(HWND dialog, int bar) {
  RECT box{}, own{}, client{};
  GetWindowRect(GetDlgItem(dialog, kIdCurveBox), &box);
  GetWindowRect(GetDlgItem(dialog, bar), &own);
  GetClientRect(GetDlgItem(dialog, kIdCurveBox), &client);
  return BoxGeometry{SIZE{client.right, client.bottom}, POINT{box.left - own.left, box.top - own.top}};
}

TEST_F(LevelsTest, MarkersAreDraggedInTheirOrder) {
  HWND input = GetDlgItem(dialog_, kIdInputBar), output = GetDlgItem(dialog_, kIdOutputBar);
  const BoxGeometry in = Geometry(dialog_, kIdInputBar), out = Geometry(dialog_, kIdOutputBar);
  auto press = [](HWND bar, LONG x, LONG y) { SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); };
  auto move = [](HWND bar, LONG x, LONG y) { SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); };
  auto release = [](HWND bar, LONG x, LONG y) { SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); };
  // The gamma marker at 1.00 stands in the middle; dragged to the black point it gives 10.00,
  // to the white point 0.10.
  const LONG middle = in.offset.x + MapLinear(128, 0, 255, 0, in.size.cx);
  press(input, middle, 4);
  EXPECT_EQ(GetCapture(), input);
  move(input, in.offset.x, 4);
  EXPECT_EQ(s_.LevelSlots[0].Gamma, 1000);
  EXPECT_EQ(Text(kIdGamma), u"10.00");
  move(input, in.offset.x + in.size.cx, 4);
  EXPECT_EQ(s_.LevelSlots[0].Gamma, 10);
  release(input, in.offset.x + in.size.cx, 4);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(g_Rerenders, 1);
  // Without the button the pointer only sets the cursor.
  move(input, in.offset.x, 4);
  EXPECT_EQ(s_.LevelSlots[0].Gamma, 10);
  // White and black points together at the far left: the left half grabs the white point.
  s_.LevelSlots[0] = LevelSlot{1, 0, 100, 0, 255};
  press(input, in.offset.x, 4);
  move(input, in.offset.x + in.size.cx / 2, 4);
  release(input, in.offset.x + in.size.cx / 2, 4);
  EXPECT_EQ(s_.LevelSlots[0].InputLow, 0);
  EXPECT_NEAR(s_.LevelSlots[0].InputHigh, 128, 2);
  const std::string high = std::to_string(s_.LevelSlots[0].InputHigh);
  EXPECT_EQ(Text(kIdInputHigh), std::u16string(high.begin(), high.end()));
  // Output: the lower half grabs the low marker first; it stays below the high one.
  press(output, 4, out.offset.y + out.size.cy);
  move(output, 4, out.offset.y - 20);
  release(output, 4, out.offset.y - 20);
  EXPECT_EQ(s_.LevelSlots[0].OutputLow, 254);
  EXPECT_EQ(s_.LevelSlots[0].OutputHigh, 255);
  // A press away from every marker holds none.
  press(output, 4, out.offset.y + out.size.cy / 2 + 30);
  move(output, 4, out.offset.y);
  release(output, 4, out.offset.y);
  EXPECT_EQ(s_.LevelSlots[0].OutputLow, 254);
}

TEST_F(LevelsTest, TheCurveBoxDrawsTheToneCurve) {
  s_.LevelSlots[0] = LevelSlot{255, 0, 100, 0, 255};
  SimPaint(dialog_);
  HWND box = GetDlgItem(dialog_, kIdCurveBox);
  ReferenceImage picture;
  ASSERT_TRUE(SimWindowPicture(box, picture));
  // The identity curve: the box's diagonal from bottom-left to top-right is black.
  const LONG w = picture.width, h = picture.height;
  for (int v : {32, 128, 200}) {
    const LONG x = MapLinear(v, 0, 255, 0, w), y = MapLinear(v, 0, 255, h, -h);
    EXPECT_EQ(picture.pixels[static_cast<size_t>(y * w + x)], 0u) << v;
  }
  // The corner away from the curve keeps the button face.
  EXPECT_NE(picture.pixels[static_cast<size_t>(2 * w + 2)], 0u);
}

TEST(GammaMarker, TheTellingRowsAndTheInverse) {
  struct Row {
    int index, entry;
  } rows[] = {{0, 16},     {10, 16},   {20, 31},   {25, 39},   {33, 51},   {50, 71},   {67, 94},
              {75, 103},   {100, 127}, {125, 147}, {150, 163}, {200, 190}, {250, 209}, {300, 222},
              {400, 239},  {419, 241}, {420, 240}, {500, 247}, {700, 253}, {1000, 255}, {1001, 0}};
  for (const Row& r : rows) EXPECT_EQ(GammaMarkerEntry(r.index), r.entry) << r.index;
  // Rising apart from the one dip.
  for (int i = 1; i <= 1000; ++i) {
    if (i != 420) {
      EXPECT_GE(GammaMarkerEntry(i), GammaMarkerEntry(i - 1)) << i;
    }
  }
  // Gamma 1.00 stands at the middle; a marker there gives 1.00 back; the ends clamp.
  EXPECT_EQ(255 - GammaMarkerEntry(100), 128);
  EXPECT_EQ(GammaFromMarker(128), 100);
  EXPECT_EQ(GammaFromMarker(255 - 190), 200);
  EXPECT_EQ(GammaFromMarker(255), 10);
  EXPECT_EQ(GammaFromMarker(0), 1000);
}

}  // namespace
