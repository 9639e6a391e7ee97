// Windows: classes, creation and destruction order, the tree, longs, subclassing,
// properties, sending and posting, timers, focus, enabling, showing, rectangles, invalidation,
// scrolling a client area's pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

// Messages the tests follow; the rest go by unrecorded.
const std::vector<UINT> kFollowed = {
    WM_NCCREATE, WM_CREATE,   WM_SIZE,     WM_MOVE,  WM_DESTROY,       WM_NCDESTROY,    WM_PARENTNOTIFY, WM_SETFOCUS,
    WM_KILLFOCUS, WM_ENABLE, WM_SHOWWINDOW, WM_TIMER, WM_STYLECHANGING, WM_STYLECHANGED, WM_USER,         WM_USER + 1,
    WM_USER + 2};

// WM_USER + 1 with a count above 0 sends itself the count less one, and answers 1 more.
LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 1 && wParam > 0) return 1 + SendMessageW(hwnd, WM_USER + 1, wParam - 1, 0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT RefusingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) return -1;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

constexpr char16_t kClass[] = u"QvTestWindow";
constexpr char16_t kRefusing[] = u"QvRefusing";

class WindowTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.cbWndExtra = 16;
    wc.lpszClassName = kClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    wc.lpfnWndProc = RefusingProc;
    wc.lpszClassName = kRefusing;
    ASSERT_NE(RegisterClassW(&wc), 0);
  }
  void TearDown() override {
    log_.reset();
    for (HWND h : made_)
      if (IsWindow(h)) DestroyWindow(h);
    EXPECT_TRUE(UnregisterClassW(kClass, nullptr));
    EXPECT_TRUE(UnregisterClassW(kRefusing, nullptr));
    SandboxTest::TearDown();
  }

  HWND Top(DWORD style = WS_OVERLAPPED, HWND owner = nullptr, LPCWSTR text = u"top") {
    HWND h = CreateWindowExW(0, kClass, text, style, 10, 20, 200, 100, owner, nullptr, nullptr, nullptr);
    made_.push_back(h);
    return h;
  }
  HWND Child(HWND parent, int id, DWORD style = WS_VISIBLE, RECT r = {0, 0, 50, 20}) {
    return CreateWindowExW(0, kClass, u"", WS_CHILD | style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                           parent, reinterpret_cast<HMENU>(ULONG_PTR(id)), nullptr, nullptr);
  }

  // Starts a new log of the followed messages of these windows.
  SimMessageLog& Follow(const std::vector<SimWatched>& windows) {
    log_ = std::make_unique<SimMessageLog>(windows);
    log_->Only(kFollowed);
    return *log_;
  }

  std::vector<HWND> made_;
  std::unique_ptr<SimMessageLog> log_;
};

TEST_F(WindowTest, ClassesAreRegisteredOnceAndKeptWhileWindowsLive) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordingProc;
  wc.lpszClassName = u"qvtestwindow";
  EXPECT_EQ(RegisterClassW(&wc), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
  EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
  HWND h = Top();
  EXPECT_FALSE(UnregisterClassW(kClass, nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
  WCHAR name[32];
  EXPECT_EQ(GetClassNameW(h, name, 32), 12);
  EXPECT_EQ(std::u16string(name), kClass);
  DestroyWindow(h);
  EXPECT_FALSE(UnregisterClassW(u"NoSuchClass", nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
  EXPECT_EQ(CreateWindowExW(0, kClass, u"", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
}

TEST_F(WindowTest, CreationAndDestructionFollowThePlatformsOrder) {
  HWND top = Top();
  HWND a = Child(top, 1);
  HWND a1 = Child(a, 11);
  HWND b = Child(top, 2);
  HWND popup = Top(WS_POPUP, a, u"owned");
  EXPECT_EQ(GetWindow(popup, GW_OWNER), top);
  Follow({{top, "top", true}, {popup, "popup"}});
  HWND c = Child(top, 3);
  EXPECT_EQ(log_->Difference({{c, WM_NCCREATE},
                              {c, WM_CREATE},
                              {c, WM_SIZE, SIZE_RESTORED, MAKELPARAM(50, 20)},
                              {c, WM_MOVE, 0, MAKELPARAM(0, 0)},
                              {top, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, 3), LPARAM(c)}}),
            "");
  Follow({{top, "top"}, {a, "a"}, {a1, "a1"}, {b, "b"}, {c, "c"}, {popup, "popup"}});
  ASSERT_TRUE(DestroyWindow(top));
  auto destroyOf = [](HWND h) { return SimMessage{h, WM_DESTROY, 0, 0}; };
  auto ncOf = [](HWND h) { return SimMessage{h, WM_NCDESTROY, 0, 0}; };
  EXPECT_EQ(log_->Difference({destroyOf(popup), ncOf(popup), destroyOf(top), destroyOf(a), destroyOf(a1), destroyOf(b),
                              destroyOf(c), ncOf(a1), ncOf(a), ncOf(b), ncOf(c), ncOf(top)}),
            "");
  for (HWND h : {top, a, a1, b, c, popup}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowTest, RefusedCreationDestroysTheWindow) {
  HWND top = Top();
  Follow({{top, "top", true}});
  EXPECT_EQ(CreateWindowExW(0, kRefusing, u"", WS_CHILD, 0, 0, 1, 1, top, nullptr, nullptr, nullptr), nullptr);
  std::vector<SimLoggedMessage> seen = log_->Messages();
  ASSERT_EQ(seen.size(), 4u);  // the parent hears nothing
  EXPECT_NE(seen[0].hwnd, top);
  EXPECT_TRUE(log_->Matches({{seen[0].hwnd, WM_NCCREATE},
                             {seen[0].hwnd, WM_CREATE},
                             {seen[0].hwnd, WM_DESTROY},
                             {seen[0].hwnd, WM_NCDESTROY}}));
  EXPECT_EQ(SimLiveWindows(), 1);
}

TEST_F(WindowTest, MessagesToADestroyedWindowAnswerZeroWithTheError) {
  HWND h = Top();
  DestroyWindow(h);
  SetLastError(0);
  EXPECT_EQ(SendMessageW(h, WM_USER, 1, 2), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  SetLastError(0);
  EXPECT_FALSE(PostMessageW(h, WM_USER, 1, 2));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(DestroyWindow(h));
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(WindowTest, TheTreeAnswersParentsOwnersAndOrder) {
  HWND top = Top();
  HWND a = Child(top, 1), b = Child(top, 2), c = Child(top, 3);
  HWND popup = Top(WS_POPUP, b);
  HWND plain = Top(WS_OVERLAPPED, top);
  EXPECT_EQ(GetParent(b), top);
  EXPECT_EQ(GetParent(popup), top);    // a popup's owner is the top-level window of the one given
  EXPECT_EQ(GetParent(plain), nullptr);  // an overlapped window answers no parent, though owned
  EXPECT_EQ(GetWindow(plain, GW_OWNER), top);
  EXPECT_EQ(GetParent(top), nullptr);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDLAST), c);
  EXPECT_EQ(GetAncestor(c, GA_PARENT), top);
  EXPECT_EQ(GetAncestor(top, GA_PARENT), GetDesktopWindow());
  EXPECT_EQ(GetAncestor(popup, GA_ROOTOWNER), top);
  EXPECT_TRUE(IsChild(top, c));
  EXPECT_FALSE(IsChild(top, popup));
  EXPECT_EQ(GetDlgCtrlID(c), 3);
  ASSERT_TRUE(SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  ASSERT_TRUE(SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), c);
  std::vector<HWND> all;
  EnumChildWindows(top, [](HWND h, LPARAM p) { return reinterpret_cast<std::vector<HWND>*>(p)->push_back(h), TRUE; },
                   reinterpret_cast<LPARAM>(&all));
  EXPECT_EQ(all, (std::vector<HWND>{a, c, b}));
  EXPECT_EQ(FindWindowW(kClass, u"top"), top);
  EXPECT_EQ(FindWindowW(u"qvtestWINDOW", u"none"), nullptr);
}

TEST_F(WindowTest, WindowLongsHoldTheirFieldsAndRefuseOtherIndexes) {
  HWND h = Top();
  EXPECT_EQ(SetWindowLongPtrW(h, GWLP_USERDATA, 0x123456789LL), 0);
  EXPECT_EQ(GetWindowLongPtrW(h, GWLP_USERDATA), 0x123456789LL);
  EXPECT_EQ(SetWindowLongPtrW(h, 8, -5), 0);
  EXPECT_EQ(GetWindowLongPtrW(h, 8), -5);
  EXPECT_EQ(GetWindowLongW(h, 12), -1);  // the high half of the pointer-sized value
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrW(h, 9), 0);  // 9..16 lies beyond the 16 extra bytes
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
  SetLastError(0);
  EXPECT_EQ(GetWindowLongW(h, GWLP_WNDPROC), 0);  // pointers only through the ...LongPtr calls
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
  Follow({h});
  EXPECT_EQ(SetWindowLongW(h, GWL_STYLE, WS_POPUP | WS_BORDER), LONG(WS_OVERLAPPED));
  EXPECT_EQ(DWORD(GetWindowLongW(h, GWL_STYLE)), DWORD(WS_POPUP | WS_BORDER));
  EXPECT_EQ(log_->Difference({{h, WM_STYLECHANGING, WPARAM(LONG_PTR(GWL_STYLE))},
                              {h, WM_STYLECHANGED, WPARAM(LONG_PTR(GWL_STYLE))}}),
            "");
}

LRESULT Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, u"OldProc"));
  if (msg == WM_USER) return 100 + CallWindowProcW(old, hwnd, msg, wParam, lParam);
  if (msg == WM_SETTEXT) return CallWindowProcW(old, hwnd, msg, wParam, reinterpret_cast<LPARAM>(u"sub"));
  return CallWindowProcW(old, hwnd, msg, wParam, lParam);
}

TEST_F(WindowTest, SubclassingChainsToTheSavedProcedure) {
  HWND h = Top();
  LONG_PTR old = SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass));
  EXPECT_EQ(old, reinterpret_cast<LONG_PTR>(RecordingProc));
  ASSERT_TRUE(SetPropW(h, u"OldProc", reinterpret_cast<HANDLE>(old)));
  Follow({h});
  EXPECT_EQ(SendMessageW(h, WM_USER, 7, 8), 100);
  EXPECT_EQ(log_->Difference({{h, WM_USER, 7, 8}}), "") << "the subclass chains without a second delivery";
  SetWindowTextW(h, u"ignored");
  WCHAR text[8];
  EXPECT_EQ(GetWindowTextW(h, text, 8), 3);
  EXPECT_EQ(std::u16string(text), u"sub");
  EXPECT_EQ(GetWindowTextLengthW(h), 3);
  EXPECT_EQ(GetWindowTextW(h, text, 2), 1);  // cut to the buffer, terminated
  EXPECT_EQ(std::u16string(text), u"s");
  EXPECT_EQ(RemovePropW(h, u"oldproc"), reinterpret_cast<HANDLE>(old));
}

TEST_F(WindowTest, PropertiesByNameAndByAtom) {
  HWND h = Top();
  EXPECT_TRUE(SetPropW(h, u"Data", reinterpret_cast<HANDLE>(1)));
  EXPECT_TRUE(SetPropW(h, MAKEINTATOM(0xC123), reinterpret_cast<HANDLE>(2)));
  EXPECT_TRUE(SetPropW(h, u"DATA", reinterpret_cast<HANDLE>(3)));  // same name, replaced
  EXPECT_EQ(GetPropW(h, u"data"), reinterpret_cast<HANDLE>(3));
  EXPECT_EQ(GetPropW(h, MAKEINTATOM(0xC123)), reinterpret_cast<HANDLE>(2));
  EXPECT_EQ(RemovePropW(h, MAKEINTATOM(0xC123)), reinterpret_cast<HANDLE>(2));
  EXPECT_EQ(GetPropW(h, MAKEINTATOM(0xC123)), nullptr);
  EXPECT_EQ(GetPropW(h, u"other"), nullptr);
  EXPECT_FALSE(SetPropW(h, u"", nullptr));
}

TEST_F(WindowTest, SendingIsSynchronousAndReEntrant) {
  HWND h = Top();
  Follow({h});
  EXPECT_EQ(SendMessageW(h, WM_USER + 1, 3, 0), 3);
  EXPECT_EQ(log_->Difference({{h, WM_USER + 1, 3}, {h, WM_USER + 1, 2}, {h, WM_USER + 1, 1}, {h, WM_USER + 1, 0}}), "");
}

TEST_F(WindowTest, PostedMessagesWaitForThePump) {
  HWND a = Top(), b = Top();
  HWND child = Child(a, 5);
  Follow({{a, "a", true}, {b, "b"}});
  ASSERT_TRUE(PostMessageW(a, WM_USER, 1, 0));
  ASSERT_TRUE(PostMessageW(b, WM_USER, 2, 0));
  ASSERT_TRUE(PostMessageW(child, WM_USER + 2, 3, 0));
  EXPECT_TRUE(log_->Messages().empty());
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.wParam, 2u);
  ASSERT_TRUE(PeekMessageW(&m, a, WM_USER + 2, WM_USER + 2, PM_REMOVE));  // the child's, through its parent
  EXPECT_EQ(m.hwnd, child);
  EXPECT_EQ(SimQueuedMessages(), 2);
  DestroyWindow(b);  // its queued message goes with it
  log_->Clear();
  EXPECT_EQ(SimPumpMessages(), 1);
  EXPECT_EQ(log_->Difference({{a, WM_USER, 1, 0}}), "");
}

int timerCalls = 0;

ULONGLONG ClockMs() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  return ((ULONGLONG(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 10000;
}

TEST_F(WindowTest, TimersFireOnTheSettableClock) {
  HWND h = Top();
  timerCalls = 0;
  SimSetClock(SYSTEMTIME{2026, 12, 5, 11, 9, 0, 0, 0});
  ULONGLONG start = ClockMs();
  EXPECT_EQ(SetTimer(h, 7, 100, nullptr), 7u);
  UINT_PTR free = SetTimer(nullptr, 0, 250, [](HWND, UINT, UINT_PTR, DWORD) { timerCalls++; });
  EXPECT_NE(free, 0u);
  EXPECT_EQ(SimLiveTimers(), 2);
  Follow({h});
  SimRunTimers(99);
  EXPECT_TRUE(log_->Messages().empty());
  SimRunTimers(301);
  EXPECT_EQ(log_->Difference({{h, WM_TIMER, 7, 0}, {h, WM_TIMER, 7, 0}, {h, WM_TIMER, 7, 0}, {h, WM_TIMER, 7, 0}}), "");
  EXPECT_EQ(timerCalls, 1);
  EXPECT_EQ(ClockMs(), start + 400);
  EXPECT_TRUE(KillTimer(h, 7));
  EXPECT_FALSE(KillTimer(h, 7));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  // GetMessageW moves the clock on to the next timer instead of waiting.
  MSG m;
  ASSERT_TRUE(GetMessageW(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, UINT(WM_TIMER));
  EXPECT_EQ(ClockMs(), start + 500);
  DispatchMessageW(&m);
  EXPECT_EQ(timerCalls, 2);
  EXPECT_TRUE(KillTimer(nullptr, free));
  EXPECT_FALSE(GetMessageW(&m, nullptr, 0, 0));  // nothing could ever come: ends instead of waiting
  EXPECT_EQ(SimIdleWaits(), 1);
  SetTimer(h, 1, 50, nullptr);
  DestroyWindow(h);
  EXPECT_EQ(SimLiveTimers(), 0);
}

TEST_F(WindowTest, FocusMovesWithKillAndSetNotices) {
  HWND top = Top(WS_VISIBLE);
  HWND a = Child(top, 1), b = Child(top, 2);
  Follow({{a, "a"}, {b, "b"}});
  EXPECT_EQ(SetFocus(a), nullptr);
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(GetFocus(), b);
  EXPECT_EQ(log_->Difference({{a, WM_SETFOCUS, 0, 0}, {a, WM_KILLFOCUS, WPARAM(b), 0}, {b, WM_SETFOCUS, WPARAM(a), 0}}),
            "");
  // Disabling the focus window takes the focus away first.
  log_->Clear();
  EXPECT_FALSE(EnableWindow(b, FALSE));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(log_->Difference({{b, WM_KILLFOCUS, 0, 0}, {b, WM_ENABLE, FALSE, 0}}), "");
  EXPECT_TRUE(EnableWindow(b, FALSE));  // already disabled: no notice
  EXPECT_TRUE(EnableWindow(b, TRUE));
  EXPECT_TRUE(IsWindowEnabled(b));
  // Hiding the window that holds the focus takes it away too.
  SetFocus(a);
  log_->Clear();
  EXPECT_TRUE(ShowWindow(a, SW_HIDE));
  EXPECT_FALSE(ShowWindow(a, SW_HIDE));
  EXPECT_EQ(log_->Difference({{a, WM_SHOWWINDOW, FALSE, 0}, {a, WM_KILLFOCUS, 0, 0}}), "");
  EXPECT_FALSE(IsWindowVisible(a));
  EXPECT_TRUE(IsWindowVisible(b));
  ShowWindow(top, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(b));  // hidden with its parent, though its own flag stays
  EXPECT_TRUE(GetWindowLongW(b, GWL_STYLE) & WS_VISIBLE);
}

LRESULT BouncingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT r = DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_KILLFOCUS && GetPropW(hwnd, u"keep")) SetFocus(hwnd);  // refuses to let go
  return r;
}

TEST_F(WindowTest, AKillFocusHandlerMayTakeTheFocusBack) {
  HWND top = Top(WS_VISIBLE);
  HWND a = Child(top, 1), b = Child(top, 2);
  SetWindowLongPtrW(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(BouncingProc));
  SetPropW(a, u"keep", reinterpret_cast<HANDLE>(1));
  SetFocus(a);
  Follow({{a, "a"}, {b, "b"}});
  SetFocus(b);
  EXPECT_EQ(GetFocus(), a);
  // b never heard it had the focus, so it hears nothing of losing it.
  EXPECT_EQ(log_->Difference({{a, WM_KILLFOCUS, WPARAM(b), 0}, {a, WM_SETFOCUS, WPARAM(b), 0}}), "");
  RemovePropW(a, u"keep");
}

TEST_F(WindowTest, RectanglesMapBetweenClientAreasAndTheScreen) {
  HWND top = Top(WS_CAPTION | WS_VISIBLE);
  HWND child = CreateWindowExW(WS_EX_CLIENTEDGE, kClass, u"", WS_CHILD | WS_VISIBLE, 30, 40, 60, 50, top,
                               reinterpret_cast<HMENU>(9), nullptr, nullptr);
  RECT r;
  GetClientRect(top, &r);
  EXPECT_EQ(r.right, 200 - 2 * kFrameWidth);
  EXPECT_EQ(r.bottom, 100 - 2 * kFrameWidth - kCaptionHeight);
  GetWindowRect(child, &r);
  EXPECT_EQ(r.left, 10 + kFrameWidth + 30);
  EXPECT_EQ(r.top, 20 + kFrameWidth + kCaptionHeight + 40);
  GetClientRect(child, &r);
  EXPECT_EQ(r.right, 60 - 2 * kClientEdgeWidth);
  POINT p{1, 2};
  MapWindowPoints(child, top, &p, 1);
  EXPECT_EQ(p.x, 30 + kClientEdgeWidth + 1);
  EXPECT_EQ(p.y, 40 + kClientEdgeWidth + 2);
  ClientToScreen(top, &p);
  ScreenToClient(child, &p);
  EXPECT_EQ(p.x, 1);
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{35, 45}, CWP_ALL), child);
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{5, 5}, CWP_ALL), top);
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{500, 5}, CWP_ALL), nullptr);
  EnableWindow(child, FALSE);
  EXPECT_EQ(ChildWindowFromPointEx(top, POINT{35, 45}, CWP_SKIPDISABLED), top);
  Follow({child});
  MoveWindow(child, 0, 0, 70, 50, TRUE);
  EXPECT_EQ(log_->Difference({{child, WM_MOVE, 0, MAKELPARAM(0, 0)},
                              {child, WM_SIZE, SIZE_RESTORED, MAKELPARAM(70 - 4, 50 - 4)}}),
            "");
}

TEST_F(WindowTest, InvalidationCollectsTheUpdateBounds) {
  HWND h = Top(WS_VISIBLE);
  ValidateRect(h, nullptr);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));
  RECT a{10, 10, 20, 20}, b{30, 5, 40, 15};
  InvalidateRect(h, &a, FALSE);
  InvalidateRect(h, &b, TRUE);
  ASSERT_TRUE(GetUpdateRect(h, &r, FALSE));
  EXPECT_TRUE(EqualRect(&r, std::array<RECT, 1>{RECT{10, 5, 40, 20}}.data()));
  ValidateRect(h, &a);  // does not cover all of it
  EXPECT_TRUE(GetUpdateRect(h, &r, FALSE));
  ValidateRect(h, nullptr);
  EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));
}

TEST_F(WindowTest, TheProcessLayoutMirrorsNewWindowsWithoutParentOrOwner) {
  DWORD layout = 99;
  ASSERT_TRUE(GetProcessDefaultLayout(&layout));
  EXPECT_EQ(layout, 0u);
  HWND before = Top();
  EXPECT_FALSE(SetProcessDefaultLayout(2));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GetProcessDefaultLayout(nullptr));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NOACCESS));
  ASSERT_TRUE(SetProcessDefaultLayout(LAYOUT_RTL));
  ASSERT_TRUE(GetProcessDefaultLayout(&layout));
  EXPECT_EQ(layout, DWORD(LAYOUT_RTL));
  auto mirrored = [](HWND h) { return (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; };
  HWND top = Top();
  HWND owned = Top(WS_POPUP, top);
  HWND child = Child(top, 1);
  HWND keeper = CreateWindowExW(WS_EX_NOINHERITLAYOUT, kClass, u"", WS_CHILD, 0, 0, 10, 10, top,
                                reinterpret_cast<HMENU>(2), nullptr, nullptr);
  HWND grandchild = Child(keeper, 3);
  EXPECT_FALSE(mirrored(before)) << "windows already made keep their layout";
  EXPECT_TRUE(mirrored(top));
  EXPECT_FALSE(mirrored(owned)) << "an owned window does not take the process layout";
  EXPECT_TRUE(mirrored(child)) << "a child takes its parent's";
  EXPECT_TRUE(mirrored(keeper));
  EXPECT_FALSE(mirrored(grandchild)) << "WS_EX_NOINHERITLAYOUT keeps it from the children";
  ASSERT_TRUE(SetProcessDefaultLayout(0));
  EXPECT_FALSE(mirrored(Top()));
}

TEST_F(WindowTest, AHungWindowLetsSendMessageTimeoutTimeOut) {
  HWND h = Top();
  DWORD_PTR answer = 99;
  EXPECT_EQ(SendMessageTimeoutW(h, WM_USER + 1, 2, 0, SMTO_NORMAL, 100, &answer), 1);
  EXPECT_EQ(answer, 2u) << "the procedure's answer";
  SimSetClock(SYSTEMTIME{2026, 12, 5, 11, 9, 0, 0, 0});
  const ULONGLONG start = ClockMs();
  ASSERT_TRUE(SimSetWindowHung(h, TRUE));
  Follow({h});
  SetLastError(0);
  EXPECT_EQ(SendMessageTimeoutW(h, WM_USER, 7, 8, SMTO_NORMAL, 500, &answer), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_TIMEOUT));
  EXPECT_EQ(answer, 0u);
  EXPECT_EQ(ClockMs(), start + 500) << "the caller waited the whole timeout";
  EXPECT_EQ(SendMessageTimeoutW(h, WM_USER, 7, 8, SMTO_ABORTIFHUNG | SMTO_BLOCK, 500, nullptr), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_TIMEOUT));
  EXPECT_EQ(ClockMs(), start + 500) << "SMTO_ABORTIFHUNG does not wait";
  EXPECT_TRUE(log_->Messages().empty()) << "a hung window hears nothing of it";
  SendMessageW(h, WM_USER, 1, 2);
  EXPECT_EQ(log_->Difference({{h, WM_USER, 1, 2}}), "") << "plain sending still reaches it";
  ASSERT_TRUE(SimSetWindowHung(h, FALSE));
  EXPECT_EQ(SendMessageTimeoutW(h, WM_USER + 1, 0, 0, SMTO_ABORTIFHUNG, 500, &answer), 1);
  DestroyWindow(h);
  EXPECT_EQ(SendMessageTimeoutW(h, WM_USER, 0, 0, SMTO_NORMAL, 500, &answer), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(SimSetWindowHung(h, TRUE));
}

TEST(ProcessLayoutTest, TheResetSetsItBackToLeftToRight) {
  ASSERT_TRUE(SetProcessDefaultLayout(LAYOUT_RTL));
  SimReset();
  DWORD layout = 99;
  ASSERT_TRUE(GetProcessDefaultLayout(&layout));
  EXPECT_EQ(layout, 0u);
}

// Each pixel's colour names where it was drawn: x in red, y in green.
COLORREF Marked(int x, int y) { return RGB(x, y, 0x40); }

TEST_F(WindowTest, ScrollingMovesThePixelsAndInvalidatesWhatItUncovers) {
  HWND h = Top(WS_VISIBLE);
  HWND inside = Child(h, 1, WS_VISIBLE, RECT{20, 30, 30, 40});
  HWND outside = Child(h, 2, WS_VISIBLE, RECT{150, 30, 160, 40});
  auto paintMarks = [&] {
    HDC dc = GetDC(h);
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 200; ++x) SetPixel(dc, x, y, Marked(x, y));
    ReleaseDC(h, dc);
    ValidateRect(h, nullptr);
  };
  auto pixel = [&](int x, int y) {
    HDC dc = GetDC(h);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(h, dc);
    return c;
  };
  const RECT area{10, 10, 110, 90};
  struct Case {
    const char* what;
    int dx, dy;
    const RECT* clip;
    int kind;
    RECT uncovered;
  } cases[] = {
      {"up by 10", 0, -10, &area, SIMPLEREGION, {10, 80, 110, 90}},
      {"right by 7", 7, 0, &area, SIMPLEREGION, {10, 10, 17, 90}},
      {"down and left: two strips", -5, 4, &area, COMPLEXREGION, {10, 10, 110, 90}},
      {"by the whole height", 0, 80, &area, SIMPLEREGION, {10, 10, 110, 90}},
      {"not at all", 0, 0, &area, NULLREGION, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    paintMarks();
    RECT updateRect{-1, -1, -1, -1};
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(ScrollWindowEx(h, c.dx, c.dy, &area, c.clip, update, &updateRect, SW_INVALIDATE), c.kind);
    EXPECT_TRUE(EqualRect(&updateRect, &c.uncovered));
    RECT box{};
    GetRgnBox(update, &box);
    EXPECT_TRUE(EqualRect(&box, &c.uncovered));
    DeleteObject(update);
    RECT pending{};
    EXPECT_EQ(GetUpdateRect(h, &pending, FALSE), c.kind != NULLREGION);
    if (c.kind != NULLREGION) {
      EXPECT_TRUE(EqualRect(&pending, &c.uncovered));
    }
    // Every pixel of the area that a moved one covers shows what was drawn dx, dy before it;
    // the pixels beyond the area are untouched.
    for (int y : {12, 45, 85})
      for (int x : {12, 60, 105}) {
        const POINT p{x, y};
        RECT uncoveredNow = c.uncovered;
        if (c.kind == COMPLEXREGION) uncoveredNow = RECT{};
        const bool movedHere = x - c.dx >= area.left && x - c.dx < area.right && y - c.dy >= area.top && y - c.dy < area.bottom;
        if (movedHere && !PtInRect(&uncoveredNow, p)) {
          EXPECT_EQ(pixel(x, y), Marked(x - c.dx, y - c.dy)) << x << "," << y;
        }
      }
    EXPECT_EQ(pixel(5, 5), Marked(5, 5));
    EXPECT_EQ(pixel(150, 95), Marked(150, 95));
  }
  // A clip narrower than the scrolled rectangle: only its pixels change.
  paintMarks();
  const RECT narrow{40, 10, 60, 90};
  ScrollWindowEx(h, 0, -10, &area, &narrow, nullptr, nullptr, 0);
  EXPECT_EQ(pixel(50, 50), Marked(50, 60));
  EXPECT_EQ(pixel(20, 50), Marked(20, 50));
  RECT pending{};
  EXPECT_FALSE(GetUpdateRect(h, &pending, FALSE));  // no SW_INVALIDATE
  // A part to paint moves with the pixels; children in the rectangle move along when asked.
  ValidateRect(h, nullptr);
  const RECT waiting{20, 20, 30, 30};
  InvalidateRect(h, &waiting, FALSE);
  ScrollWindowEx(h, 0, -10, &area, &area, nullptr, nullptr, SW_SCROLLCHILDREN);
  ASSERT_TRUE(GetUpdateRect(h, &pending, FALSE));
  EXPECT_TRUE(EqualRect(&pending, std::array<RECT, 1>{RECT{20, 10, 30, 30}}.data()));
  RECT r{};
  GetWindowRect(inside, &r);
  MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 20);
  GetWindowRect(outside, &r);
  MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(ScrollWindowEx(nullptr, 0, 1, nullptr, nullptr, nullptr, nullptr, 0), ERROR);
}

}  // namespace
