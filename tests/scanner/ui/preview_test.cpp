// The preview window in a test dialog with the scan dialog's placeholders: its page geometry and
// scroll bars, the zoom tools, the rulers' steps and labels, frame drags from a table of cases,
// the marching ants on the window's pixels tick by tick, the animation around scans and drags,
// the race between a tick and a stop, and a kept picture of a preview with a dragged frame.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/user/cursors.h"
#include "platform/winmm/winmm_sim.h"
#include "scanner/ui/crop_frame.h"
#include "scanner/ui/mapping.h"
#include "scanner/ui/number_text.h"
#include "scanner/ui/preview_paint.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/window_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

constexpr COLORREF kBlue = 0xFF0000;
constexpr COLORREF kYellow = 0x00FFFF;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;

int g_ShowAreaMessages = 0;

INT_PTR TestDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG) return TRUE;
  if (msg == SDM_SHOWAREA) ++g_ShowAreaMessages;
  return FALSE;
}

class PreviewTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    resources_ = LoadLibraryW(u"scanner_ui_test.qrs");
    ASSERT_NE(resources_, nullptr);
    ResetScanSettings(s_);
    s_.DisplayUnit = kUnitMillimetre;
    s_.XResolution = s_.YResolution = 300;
    s_.PreviewZoom = 100;
    s_.PreviewTool = kToolFrame;
    s_.ScanArea = RECT{1200, 1200, 7200, 9600};
    s_.PreviewArea = kWholeBed;
    g_ShowAreaMessages = 0;
    dialog_ = CreateDialogParamW(resources_, MAKEINTRESOURCEW(100), nullptr, TestDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
    ASSERT_TRUE(CreatePreviewWindow(dialog_, &s_));
    window_ = s_.PreviewWindow;
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    SimOnMmTimerKill(nullptr);
    SimJoinMmTimerThreads();
    if (s_.PreviewWindow != nullptr) {
      EXPECT_TRUE(DestroyPreviewWindow(&s_));
    }
    EXPECT_EQ(SimLiveMmTimers(), 0);
    if (dialog_ != nullptr) DestroyWindow(dialog_);
    UnregisterScannerWindowClasses();
    FreeLibrary(resources_);
    ScannerCodeTest::TearDown();
  }

  LRESULT Mouse(UINT msg, POINT p) { return SendMessageW(window_, msg, 0, MAKELPARAM(p.x, p.y)); }
  // The client point of a document point at the current zoom.
  POINT Client(LONG x, LONG y) {
    const RECT r = DocumentRectToClient(window_, RECT{x, y, x, y}, s_.PreviewZoom);
    return POINT{r.left, r.top};
  }
  POINT Doc(POINT client) { return WindowToDocument(window_, client, s_.PreviewZoom); }
  UINT ArmedTimer() {
    const std::vector<SimMmTimer> armed = SimArmedMmTimers();
    return armed.size() == 1 ? armed[0].id : 0;
  }
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(window_);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window_, dc);
    return c;
  }
  // The ants of tick n along an edge from its start: yellow where (k - n - 1) mod 10 < 5.
  static COLORREF Ant(int k, int n) { return (((k - n - 1) % 10 + 10) % 10) < 5 ? kYellow : kBlue; }

  HMODULE resources_ = nullptr;
  HWND dialog_ = nullptr;
  HWND window_ = nullptr;
  ScanSettings s_{};
};

TEST_F(PreviewTest, ThePageFollowsTheAvailableWidthAndTheZoom) {
  RECT client{};
  GetClientRect(window_, &client);
  const SIZE ruler = RulerThickness(window_);
  EXPECT_GT(ruler.cx, 0);
  EXPECT_GT(ruler.cy, 0);
  const LONG available = client.right - ruler.cx - 6;
  const RECT page = GetPageRect(window_, 100);
  EXPECT_EQ(page.left, ruler.cx);
  EXPECT_EQ(page.top, ruler.cy);
  EXPECT_EQ(page.right - page.left, static_cast<LONG>(0.98 * available));
  EXPECT_EQ(page.bottom - page.top, static_cast<LONG>(0.98 * available * 2873.164 * 0.00047262999688064196));
  // At 100 % the page fits: no scroll bars.
  EXPECT_EQ(GetWindowLongW(window_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL), 0);
  const RECT page300 = GetPageRect(window_, 300);
  EXPECT_EQ(page300.right - page300.left, (page.right - page.left) * 3);
  // The bed's corners are the page's.
  const POINT far = DocumentToWindow(window_, POINT{kBedWidth, kBedHeight}, 100);
  EXPECT_EQ(far.x, page.right);
  EXPECT_EQ(far.y, page.bottom);
  const POINT back = WindowToDocument(window_, POINT{page.right, page.bottom}, 100);
  EXPECT_EQ(back.x, kBedWidth);
  EXPECT_EQ(back.y, kBedHeight);
}

TEST_F(PreviewTest, ZoomToolsStepKeepThePointAndReturnToTheFrameTool) {
  struct Case {
    WORD tool, zoom, zoomAfter, toolAfter;
    BOOL zoomInEnabled, zoomOutEnabled, scrollBars;
  } cases[] = {
      {kToolZoomIn, 100, 200, kToolZoomIn, TRUE, TRUE, TRUE},
      {kToolZoomIn, 700, 800, kToolFrame, FALSE, TRUE, TRUE},
      {kToolZoomOut, 300, 200, kToolZoomOut, TRUE, TRUE, TRUE},
      {kToolZoomOut, 200, 100, kToolFrame, TRUE, FALSE, FALSE},
      {kToolZoomOut, 100, 100, kToolZoomOut, TRUE, TRUE, FALSE},  // nothing changes
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.tool << " at " << c.zoom);
    s_.PreviewZoom = c.zoom;
    s_.PreviewTool = c.tool;
    EnableWindow(GetDlgItem(dialog_, kIdZoomInTool), TRUE);
    EnableWindow(GetDlgItem(dialog_, kIdZoomOutTool), TRUE);
    UpdateScrollBars(window_, s_);
    const RECT image = ImageAreaRect(window_);
    const POINT click{(image.left + image.right) / 2, (image.top + image.bottom) / 2};
    const POINT before = Doc(click);
    Mouse(WM_LBUTTONDOWN, click);
    Mouse(WM_LBUTTONUP, click);
    EXPECT_EQ(s_.PreviewZoom, c.zoomAfter);
    EXPECT_EQ(s_.PreviewTool, c.toolAfter);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog_, kIdZoomInTool)), c.zoomInEnabled);
    EXPECT_EQ(IsWindowEnabled(GetDlgItem(dialog_, kIdZoomOutTool)), c.zoomOutEnabled);
    EXPECT_EQ((GetWindowLongW(window_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) != 0, c.scrollBars != FALSE);
    if (c.zoomAfter > 100 && c.zoomAfter > c.zoom) {
      // The clicked point stays under the pointer (within a pixel's worth of the bed).
      const POINT after = Doc(click);
      const RECT page = GetPageRect(window_, s_.PreviewZoom);
      EXPECT_NEAR(after.x, before.x, 2 * kBedWidth / (page.right - page.left) + 1);
      EXPECT_NEAR(after.y, before.y, 2 * kBedHeight / (page.bottom - page.top) + 1);
    }
  }
  // Back at the frame tool from the zoom-in tool's end, the focus went to the frame tool.
  s_.PreviewZoom = 700;
  s_.PreviewTool = kToolZoomIn;
  SetFocus(GetDlgItem(dialog_, kIdZoomInTool));
  const RECT image = ImageAreaRect(window_);
  Mouse(WM_LBUTTONDOWN, POINT{image.left + 10, image.top + 10});
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog_, kIdFrameTool));
  // Clicks on the rulers do not zoom.
  s_.PreviewZoom = 100;
  s_.PreviewTool = kToolZoomIn;
  Mouse(WM_LBUTTONDOWN, POINT{image.left + 10, 2});
  EXPECT_EQ(s_.PreviewZoom, 100);
}

// Scrolling moves what is shown of the image area and the ruler beside it and paints only what
// that uncovers; the result is what painting the whole window at the new position shows.
TEST_F(PreviewTest, ScrollingMovesTheShownPixelsAndPaintsWhatItUncovers) {
  s_.PreviewZoom = 300;
  UpdateScrollBars(window_, s_);
  RECT client{};
  GetClientRect(window_, &client);
  const SIZE ruler = RulerThickness(window_);
  auto shown = [&] {
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window_);
    for (int y = 0; y < client.bottom; ++y)
      for (int x = 0; x < client.right; ++x) pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window_, dc);
    return pixels;
  };
  struct Case {
    const char* what;
    UINT msg;
    int code;
  } cases[] = {{"a line down", WM_VSCROLL, SB_LINEDOWN},
               {"a page right", WM_HSCROLL, SB_PAGEDOWN},
               {"a line up", WM_VSCROLL, SB_LINEUP}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const bool vertical = c.msg == WM_VSCROLL;
    const int bar = vertical ? SB_VERT : SB_HORZ;
    SimPaint(dialog_);
    const std::vector<COLORREF> before = shown();
    const int from = GetScrollPos(window_, bar);
    SendMessageW(window_, c.msg, static_cast<WPARAM>(c.code), 0);
    const int by = GetScrollPos(window_, bar) - from;
    ASSERT_NE(by, 0);
    // Only the strip the move uncovered waits for painting.
    RECT pending{};
    ASSERT_TRUE(GetUpdateRect(window_, &pending, FALSE));
    const RECT strip = vertical ? (by > 0 ? RECT{0, client.bottom - by, client.right, client.bottom}
                                          : RECT{0, ruler.cy, client.right, ruler.cy - by})
                                : (by > 0 ? RECT{client.right - by, 0, client.right, client.bottom}
                                          : RECT{ruler.cx, 0, ruler.cx - by, client.bottom});
    EXPECT_TRUE(EqualRect(&pending, &strip)) << pending.left << "," << pending.top << "-" << pending.right << "," << pending.bottom;
    const std::vector<COLORREF> moved = shown();
    auto at = [&](const std::vector<COLORREF>& p, int x, int y) { return p[size_t(y) * size_t(client.right) + size_t(x)]; };
    for (int y = 0; y < client.bottom; y += 7)
      for (int x = 0; x < client.right; x += 7) {
        const int sx = vertical ? x : x + by, sy = vertical ? y + by : y;
        const bool movesHere = vertical ? y >= ruler.cy : x >= ruler.cx;
        const POINT p{x, y};
        if (PtInRect(&strip, p)) continue;
        if (!movesHere) EXPECT_EQ(at(moved, x, y), at(before, x, y)) << x << "," << y;
        else EXPECT_EQ(at(moved, x, y), at(before, sx, sy)) << x << "," << y;
      }
    UpdateWindow(window_);
    const std::vector<COLORREF> painted = shown();
    SimPaint(dialog_);
    EXPECT_TRUE(painted == shown());
  }
}

TEST_F(PreviewTest, RulerStepsAndLabels) {
  const RECT page = GetPageRect(window_, 100);
  const LONG inch = MapLinear(1200, 0, kBedWidth, 0, page.right - page.left);
  const LONG cm = MapLinear(472, 0, kBedWidth, 0, page.right - page.left);
  struct Case {
    WORD unit, zoom;
    LONG unitPixels, labelPixels, increment;
  } cases[] = {
      {kUnitInch, 100, inch, inch, 1},           {kUnitCentimetre, 100, cm, 5 * cm, 5},
      {kUnitCentimetre, 200, 2 * cm, 2 * cm, 1}, {kUnitMillimetre, 100, cm, 5 * cm, 50},
      {kUnitMillimetre, 200, 2 * cm, 4 * cm, 20}, {kUnitMillimetre, 300, 3 * cm, 3 * cm, 10},
      {kUnitPixel, 100, inch, 2 * inch, 600},    {kUnitPixel, 400, 4 * inch, 4 * inch, 300},
      {kUnitPica, 100, inch, inch, 6},           {kUnitPoint, 100, inch, 2 * inch, 144},
      {kUnitPoint, 200, 2 * inch, 2 * inch, 72},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.unit << " at " << c.zoom);
    const RulerStep step = RulerSteps(window_, c.unit, c.zoom, 300, TRUE);
    // The page's width at a zoom is the 100 % width times the zoom, so a unit is within a
    // pixel of that many 100 % units.
    EXPECT_NEAR(step.PixelsPerUnit, c.unitPixels, c.zoom / 100);
    EXPECT_EQ(step.LabelPixels * c.unitPixels, c.labelPixels * step.PixelsPerUnit);
    EXPECT_EQ(step.LabelIncrement, c.increment);
  }
  // In millimetres at 100 % the top ruler shows labels (50, 100, 150) every 5 cm: digits in the
  // label band above the ticks at each label, none halfway between.
  SimPaint(dialog_);
  const SIZE ruler = RulerThickness(window_);
  const RulerStep step = RulerSteps(window_, kUnitMillimetre, 100, 300, TRUE);
  auto blackInBand = [&](int from, int to) {
    int count = 0;
    for (int x = from; x < to; ++x)
      for (int y = ruler.cy - 13; y < ruler.cy - 7; ++y) count += Pixel(x, y) == kBlack;
    return count;
  };
  for (int k = 1; page.left + k * step.LabelPixels + 1 < page.right; ++k) {
    const int at = page.left + k * step.LabelPixels;
    const int width = k == 1 ? 11 : 17;  // "50": two digits; "100", "150": three
    EXPECT_GT(blackInBand(at - width / 2, at + width / 2 + 1), 8) << k;
    EXPECT_EQ(blackInBand(at + step.LabelPixels / 2 - 2, at + step.LabelPixels / 2 + 3), 0) << k;
  }
}

TEST_F(PreviewTest, DragsGiveSnappedFrames) {
  // Each case: the frame before, the press and the pointer's moves (document points, mapped to
  // the client), and the frame after the release.
  struct Case {
    const char* what;
    RECT before;
    std::vector<POINT> path;  // press, moves...
    RECT after;
    bool exact;  // the frame's edges are exact (edge limits), else they follow the pointer
  } cases[] = {
      {"right edge dragged past the left edge stops 480 before it", {1200, 1200, 7200, 9600},
       {{7200, 5000}, {300, 5000}}, {1200, 1200, 1680, 9600}, true},
      {"bottom-right corner out of the bed sticks at the bed", {1200, 1200, 7200, 9600},
       {{7200, 9600}, {20000, 30000}}, {1200, 1200, 14028 / 12 * 12, 20400}, true},
      {"top-left corner to the origin", {1200, 1200, 7200, 9600}, {{1200, 1200}, {-500, -500}}, {0, 0, 7200, 9600}, true},
      {"moved against the left and top edges keeps its size", {1200, 1200, 7200, 9600},
       {{4000, 5000}, {0, 0}}, {0, 0, 6000, 8400}, true},
      {"a click outside the frame keeps it", {1200, 1200, 7200, 9600}, {{10000, 15000}}, {1200, 1200, 7200, 9600}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    s_.ScanArea = c.before;
    std::vector<POINT> points;
    for (const POINT& d : c.path) points.push_back(Client(d.x, d.y));
    Mouse(WM_LBUTTONDOWN, points[0]);
    EXPECT_EQ(GetCapture(), window_);
    for (size_t i = 1; i < points.size(); ++i) Mouse(WM_MOUSEMOVE, points[i]);
    Mouse(WM_LBUTTONUP, points.back());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(FrameDragState(), kDragIdle);
    const RECT& a = s_.ScanArea;
    EXPECT_EQ(a.left, c.after.left);
    EXPECT_EQ(a.top, c.after.top);
    EXPECT_EQ(a.right, c.after.right);
    EXPECT_EQ(a.bottom, c.after.bottom);
  }
  // A new frame drawn towards the top-left from its start ends with the start point as its
  // bottom-right corner; every edge snapped to 1/100 inch.
  s_.ScanArea = RECT{1200, 1200, 3600, 3600};
  const POINT start = Client(9600, 14400), end = Client(6000, 9000);
  Mouse(WM_LBUTTONDOWN, start);
  EXPECT_EQ(FrameDragState(), kDragNew);
  Mouse(WM_MOUSEMOVE, end);
  Mouse(WM_LBUTTONUP, end);
  const POINT ds = Doc(start), de = Doc(end);
  EXPECT_EQ(s_.ScanArea.left, de.x / 12 * 12);
  EXPECT_EQ(s_.ScanArea.top, de.y / 12 * 12);
  EXPECT_EQ(s_.ScanArea.right, ds.x / 12 * 12);
  EXPECT_EQ(s_.ScanArea.bottom, ds.y / 12 * 12);
  // A move follows the pointer and turns back at once after sticking to an edge.
  s_.ScanArea = RECT{1200, 1200, 7200, 9600};
  const POINT press = Client(4000, 5000);
  Mouse(WM_LBUTTONDOWN, press);
  EXPECT_EQ(FrameDragState(), kDragMove);
  Mouse(WM_MOUSEMOVE, Client(-3000, 5000));  // pushed 1200 beyond the left edge
  EXPECT_EQ(s_.ScanArea.left, 0);
  const POINT back = Client(500, 5000);
  Mouse(WM_MOUSEMOVE, back);
  Mouse(WM_LBUTTONUP, back);
  EXPECT_GT(s_.ScanArea.left, 0);
  EXPECT_LT(s_.ScanArea.left, 1200);
  EXPECT_EQ(s_.ScanArea.right - s_.ScanArea.left, 6000);
  EXPECT_EQ(s_.ScanArea.left % 12, 0);
  EXPECT_GT(g_ShowAreaMessages, 0);
  // A press on a frame smaller than the corner zones takes the bottom-right corner.
  s_.ScanArea = RECT{6000, 6000, 6048, 6048};
  const POINT tiny = Client(6024, 6024);
  Mouse(WM_LBUTTONDOWN, tiny);
  EXPECT_EQ(FrameDragState(), kDragResize);
  Mouse(WM_MOUSEMOVE, Client(9000, 9000));
  Mouse(WM_LBUTTONUP, Client(9000, 9000));
  EXPECT_EQ(s_.ScanArea.left, 6000);
  EXPECT_EQ(s_.ScanArea.top, 6000);
  EXPECT_GT(s_.ScanArea.right, 8000);
  EXPECT_GT(s_.ScanArea.bottom, 8000);
}

TEST_F(PreviewTest, CursorsOverTheFrame) {
  s_.ScanArea = RECT{1200, 1200, 7200, 9600};
  const RECT r = DocumentRectToClient(window_, s_.ScanArea, 100);
  struct Case {
    POINT at;
    WORD cursor;
    bool standard;
  } cases[] = {
      {{r.left, r.top}, 32642, true},      {{r.right + 3, r.bottom - 2}, 32642, true},
      {{r.right, r.top}, 32643, true},     {{r.left, r.bottom}, 32643, true},
      {{r.left + 4, (r.top + r.bottom) / 2}, 32644, true}, {{(r.left + r.right) / 2, r.bottom}, 32645, true},
      {{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 32646, true},
      {{r.right + 30, r.bottom + 30}, kCursorFrameTool, false},
  };
  for (const Case& c : cases) {
    const SimCursorSource source = SimCursorOrigin(SetFrameCursor(window_, c.at, s_));
    EXPECT_EQ(source.id, c.cursor) << c.at.x << "," << c.at.y;
    EXPECT_EQ(source.module == nullptr, c.standard);
    EXPECT_EQ(GetCursor(), SetFrameCursor(window_, c.at, s_));
  }
  s_.PreviewTool = kToolZoomIn;
  EXPECT_EQ(SimCursorOrigin(SetFrameCursor(window_, POINT{r.left, r.top}, s_)).id, kCursorZoomIn);
  s_.PreviewTool = kToolZoomOut;
  EXPECT_EQ(SimCursorOrigin(SetFrameCursor(window_, POINT{r.left, r.top}, s_)).id, kCursorZoomOut);
  // Over the corner box the cursor stays as it is.
  SetCursor(nullptr);
  EXPECT_EQ(SetFrameCursor(window_, POINT{1, 1}, s_), nullptr);
}

TEST_F(PreviewTest, MarchingAntsMoveOnePixelPerTick) {
  SimPaint(dialog_);
  // The first tick comes after 100 ms, the next ones every 500 ms.
  std::vector<SimMmTimer> armed = SimArmedMmTimers();
  ASSERT_EQ(armed.size(), 1u);
  EXPECT_EQ(armed[0].delay, 100u);
  const RECT r = DocumentRectToClient(window_, s_.ScanArea, 100);
  for (int n = 0; n < 12; ++n) {
    SCOPED_TRACE(n);
    ASSERT_TRUE(SimFireMmTimer(ArmedTimer()));
    armed = SimArmedMmTimers();
    ASSERT_EQ(armed.size(), 1u);
    EXPECT_EQ(armed[0].delay, 500u);
    for (int k = 0; k < r.bottom - r.top; ++k) ASSERT_EQ(Pixel(r.left, r.top + k), Ant(k, n)) << "left " << k;
    // The outline leaves the top edge's second pixel to the dashes.
    for (int k = 2; k < r.right - r.left; ++k) ASSERT_EQ(Pixel(r.left + k, r.top), Ant(k, n)) << "top " << k;
    for (int k = 1; k < r.bottom - r.top; ++k) ASSERT_EQ(Pixel(r.right, r.top + k), Ant(k, n)) << "right " << k;
    for (int k = 1; k < r.right - r.left; ++k) ASSERT_EQ(Pixel(r.left + k, r.bottom), Ant(k, n)) << "bottom " << k;
    EXPECT_EQ(Pixel(r.left + 2, r.top + 2), kWhite);
  }
}

TEST_F(PreviewTest, TheAnimationStopsForScansAndDragsAndStartsAgain) {
  EXPECT_EQ(SimLiveMmTimers(), 1);
  SendMessageW(window_, PVM_SCANSTARTING, 0, 0);
  EXPECT_EQ(SimLiveMmTimers(), 0);
  EXPECT_EQ(FrameAnimationTimer(), 0u);
  SendMessageW(window_, PVM_SCANFINISHED, 0, 0);
  EXPECT_EQ(SimLiveMmTimers(), 1);
  // A second start while armed is refused.
  EXPECT_FALSE(StartFrameAnimation(window_, s_));
  SendMessageW(window_, PVM_STOPANIMATION, 0, 0);
  EXPECT_EQ(SimLiveMmTimers(), 0);
  SendMessageW(window_, PVM_STARTANIMATION, 0, 0);
  EXPECT_EQ(SimLiveMmTimers(), 1);
  // A press on the frame stops it with the rubber band shown; the release starts it again.
  const RECT r = DocumentRectToClient(window_, s_.ScanArea, 100);
  const POINT inside{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  Mouse(WM_LBUTTONDOWN, inside);
  EXPECT_EQ(SimLiveMmTimers(), 0);
  EXPECT_TRUE(RubberBandShown());
  // A scan starting during the drag ends it and leaves the animation stopped.
  SendMessageW(window_, PVM_SCANSTARTING, 0, 0);
  EXPECT_EQ(FrameDragState(), kDragIdle);
  EXPECT_FALSE(RubberBandShown());
  EXPECT_EQ(SimLiveMmTimers(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageW(window_, PVM_SCANFINISHED, 0, 0);
  Mouse(WM_LBUTTONDOWN, inside);
  Mouse(WM_LBUTTONUP, inside);
  EXPECT_EQ(SimLiveMmTimers(), 1);
  // A timer that cannot be armed leaves the animation off until the next start.
  ASSERT_TRUE(StopFrameAnimation());
  SimFailCall("timeSetEvent", 0);
  EXPECT_FALSE(StartFrameAnimation(window_, s_));
  EXPECT_TRUE(StartFrameAnimation(window_, s_));
}

TEST_F(PreviewTest, AStopDuringAFiringTickLeavesTheAnimationRestartable) {
  SimPaint(dialog_);
  const RECT r = DocumentRectToClient(window_, s_.ScanArea, 100);
  const UINT id = ArmedTimer();
  ASSERT_NE(id, 0u);
  // The timer fires on its own thread just as the stop, holding the semaphore, kills it: the
  // one-shot is spent, so the kill is refused, and the tick waits for the semaphore.
  SimOnMmTimerKill([&](UINT killed) {
    EXPECT_EQ(killed, id);
    EXPECT_TRUE(SimFireMmTimerOnThread(killed));
  });
  EXPECT_TRUE(StopFrameAnimation());
  SimOnMmTimerKill(nullptr);
  SimJoinMmTimerThreads();
  // The late tick drew nothing and armed nothing; the animation starts again.
  EXPECT_EQ(SimLiveMmTimers(), 0);
  EXPECT_EQ(FrameAnimationTimer(), 0u);
  EXPECT_EQ(Pixel(r.left, r.top + 1), kWhite);
  EXPECT_TRUE(StartFrameAnimation(window_, s_));
  ASSERT_TRUE(SimFireMmTimer(ArmedTimer()));
  EXPECT_EQ(Pixel(r.left, r.top + 1), kYellow);
  // A window destroyed with a tick pending: the stop answers, the window goes.
  EXPECT_TRUE(DestroyPreviewWindow(&s_));
  EXPECT_EQ(s_.PreviewWindow, nullptr);
  EXPECT_EQ(SimLiveMmTimers(), 0);
}

// A preview image of w x h 24-bit pixels over the whole bed: a gradient with a dark band.
PreviewImage MakePreviewImage(LONG w, LONG h) {
  const DWORD stride = (3 * w + 3) / 4 * 4;
  PreviewImage image{};
  image.PixelBytes = stride * h;
  image.Area = kWholeBed;
  image.LinesReceived = h;
  image.Block = GlobalAlloc(GMEM_MOVEABLE, 40 + image.PixelBytes);
  BYTE* b = static_cast<BYTE*>(GlobalLock(image.Block));
  BITMAPINFOHEADER header{};
  header.biSize = 40;
  header.biWidth = w;
  header.biHeight = -h;
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::memcpy(b, &header, 40);
  for (LONG y = 0; y < h; ++y)
    for (LONG x = 0; x < w; ++x) {
      BYTE* p = b + 40 + y * stride + 3 * x;
      const bool band = y > h / 3 && y < h / 2;
      p[0] = static_cast<BYTE>(band ? 60 : 255 * x / w);          // blue
      p[1] = static_cast<BYTE>(band ? 40 : 255 * y / h);          // green
      p[2] = static_cast<BYTE>(band ? 30 : 255 - 255 * x / w);    // red
    }
  GlobalUnlock(image.Block);
  return image;
}

// The kept picture of the preview; rewrite it after an intended change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_scanner_ui_preview --gtest_filter='PreviewTest.Screenshot*'
std::string Fixture() { return std::string(QV_SOURCE_DIR) + "/tests/scanner/ui/data/preview_window.png"; }
constexpr int kChannelTolerance = 48;
constexpr double kDifferingShare = 0.01;

TEST_F(PreviewTest, ScreenshotOfAPreviewWithADraggedFrame) {
  PreviewImage image = MakePreviewImage(88, 128);
  SendMessageW(window_, PVM_BANDARRIVED, 0, reinterpret_cast<LPARAM>(&image));
  // The same block again (every band of a scan comes in it) is kept, not freed.
  image.LinesReceived = 128;
  SendMessageW(window_, PVM_BANDARRIVED, 0, reinterpret_cast<LPARAM>(&image));
  EXPECT_EQ(RawPreviewImage().Block, image.Block);
  ASSERT_NE(DisplayPreviewImage().Block, nullptr);
  EXPECT_NE(DisplayPreviewImage().Block, image.Block);
  // A new frame being drawn from (8400, 10800) to (12600, 18000), away from the frame.
  Mouse(WM_LBUTTONDOWN, Client(8400, 10800));
  ASSERT_EQ(FrameDragState(), kDragNew);
  Mouse(WM_MOUSEMOVE, Client(12600, 18000));
  ReferenceImage picture;
  ASSERT_TRUE(SimWindowPicture(window_, picture));
  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(picture, Fixture()));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(Fixture(), kept)) << Fixture();
  EXPECT_LE(CompareReferenceImages(picture, kept, kChannelTolerance), kDifferingShare);
  // Without the band the picture differs.
  Mouse(WM_LBUTTONUP, Client(12600, 18000));
  ReferenceImage released;
  ASSERT_TRUE(SimWindowPicture(window_, released));
  EXPECT_GT(CompareReferenceImages(released, kept, 0), 0.0);
  // The images go with PVM_FREEIMAGES; the page is white again.
  SendMessageW(window_, PVM_FREEIMAGES, 0, 0);
  EXPECT_EQ(RawPreviewImage().Block, nullptr);
  EXPECT_EQ(DisplayPreviewImage().Block, nullptr);
}

// Whether the display image's first `rows` rows are the raw image's.
bool DisplayRowsMatch(DWORD rows) {
  const PreviewImage& raw = RawPreviewImage();
  const PreviewImage& display = DisplayPreviewImage();
  if (raw.Block == nullptr || display.Block == nullptr) return false;
  const auto* a = static_cast<const BYTE*>(GlobalLock(raw.Block));
  const auto* b = static_cast<const BYTE*>(GlobalLock(display.Block));
  const DWORD bytes = rows * (raw.PixelBytes / static_cast<DWORD>(std::abs(reinterpret_cast<const BITMAPINFOHEADER*>(a)->biHeight)));
  const bool same = std::memcmp(a, b, 40 + bytes) == 0;
  GlobalUnlock(raw.Block);
  GlobalUnlock(display.Block);
  return same;
}

// Bands of one scan reach the display row by row, also after the display was re-rendered in
// between; the blocks freed for a following scan are handed to it and go when it finishes.
TEST_F(PreviewTest, BandsOfOneScanReachTheDisplay) {
  PreviewImage image = MakePreviewImage(20, 12);
  const DWORD stride = image.PixelBytes / 12;
  auto paintRows = [&](DWORD first, DWORD last, BYTE value) {
    BYTE* b = static_cast<BYTE*>(GlobalLock(image.Block));
    std::memset(b + 40 + first * stride, value, (last - first) * stride);
    GlobalUnlock(image.Block);
  };
  image.LinesReceived = 4;
  SendMessageW(window_, PVM_BANDARRIVED, 0, reinterpret_cast<LPARAM>(&image));
  EXPECT_TRUE(DisplayRowsMatch(12));
  paintRows(4, 8, 0x11);
  image.LinesReceived = 8;
  SendMessageW(window_, PVM_BANDARRIVED, 0, reinterpret_cast<LPARAM>(&image));
  EXPECT_TRUE(DisplayRowsMatch(8));
  SendMessageW(window_, PVM_RERENDER, 0, 0);
  paintRows(2, 12, 0x22);
  image.LinesReceived = 12;
  SendMessageW(window_, PVM_BANDARRIVED, 0, reinterpret_cast<LPARAM>(&image));
  EXPECT_TRUE(DisplayRowsMatch(12));
  const HGLOBAL raw = image.Block, display = DisplayPreviewImage().Block;
  SendMessageW(window_, PVM_FREEIMAGES, kKeepSpareBlocks, 0);
  EXPECT_EQ(RawPreviewImage().Block, nullptr);
  EXPECT_EQ(DisplayPreviewImage().Block, nullptr);
  EXPECT_EQ(TakeSpareImageBlock(2 * (40 + image.PixelBytes)), nullptr);  // none is large enough
  const HGLOBAL first = TakeSpareImageBlock(40 + image.PixelBytes);
  EXPECT_TRUE(first == raw || first == display);
  GlobalFree(first);
  SendMessageW(window_, PVM_SCANFINISHED, 0, 0);
  EXPECT_EQ(TakeSpareImageBlock(1), nullptr);
}

TEST_F(PreviewTest, PointerMarkersFollowThePointerOrTheMovedFrame) {
  const RECT image = ImageAreaRect(window_);
  const POINT p{image.left + 30, image.top + 40};
  Mouse(WM_MOUSEMOVE, p);
  EXPECT_EQ(CurrentPointerMarkers().Top[0], p.x);
  EXPECT_EQ(CurrentPointerMarkers().Left[0], p.y);
  Mouse(WM_MOUSEMOVE, POINT{2, 2});  // over the corner box: no markers
  EXPECT_EQ(CurrentPointerMarkers().Top[0], -1);
  const RECT r = DocumentRectToClient(window_, s_.ScanArea, 100);
  Mouse(WM_LBUTTONDOWN, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  EXPECT_EQ(CurrentPointerMarkers().Top[0], r.left);
  EXPECT_EQ(CurrentPointerMarkers().Top[1], r.right);
  EXPECT_EQ(CurrentPointerMarkers().Left[0], r.top);
  EXPECT_EQ(CurrentPointerMarkers().Left[1], r.bottom);
  Mouse(WM_LBUTTONUP, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

}  // namespace
