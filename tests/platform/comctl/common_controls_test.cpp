// The up-down control, the track bar and the progress bar: a table of message cases each,
// and a person's actions with the notices the owner hears in the platform's order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

// One message to the control and what it must answer.
struct Step {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT answer;
};

struct MessageCase {
  const char* name;
  DWORD style;
  std::vector<Step> steps;
};

// What the owner hears from its controls.
struct Heard {
  UINT msg;
  int code;     // notice code, or the scroll code
  int a, b;     // UDN_DELTAPOS: position and step; scroll: the position
  bool operator==(const Heard&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Heard& h) {
  return os << "{" << std::hex << h.msg << std::dec << " " << h.code << " " << h.a << " " << h.b << "}";
}

std::vector<Heard> heard;
// The owner's answer to UDN_DELTAPOS (non-zero cancels) and the step it puts in its place.
LRESULT refuseStep = 0;
int replaceDelta = 0;

LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NOTIFY: {
      auto* h = reinterpret_cast<NMHDR*>(lParam);
      if (h->code == UDN_DELTAPOS) {
        auto* n = reinterpret_cast<NMUPDOWN*>(lParam);
        heard.push_back({msg, int(h->code), n->iPos, n->iDelta});
        if (replaceDelta != 0) n->iDelta = replaceDelta;
        return refuseStep;
      }
      heard.push_back({msg, int(h->code), 0, 0});
      return 0;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: heard.push_back({msg, LOWORD(wParam), SHORT(HIWORD(wParam)), 0}); return 0;
    case WM_COMMAND: heard.push_back({msg, HIWORD(wParam), LOWORD(wParam), 0}); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}

constexpr char16_t kOwnerClass[] = u"QvComctlOwner";

class CommonControlsTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    heard.clear();
    refuseStep = 0;
    replaceDelta = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = kOwnerClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    owner_ = CreateWindowExW(0, kOwnerClass, u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(owner_)) DestroyWindow(owner_);
    UnregisterClassW(kOwnerClass, nullptr);
    SandboxTest::TearDown();
  }
  HWND Make(LPCWSTR cls, DWORD style, int id, RECT r = {10, 10, 110, 40}) {
    return CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, owner_, reinterpret_cast<HMENU>(LONG_PTR(id)), nullptr, nullptr);
  }
  void RunCases(LPCWSTR cls, const std::vector<MessageCase>& cases) {
    for (const MessageCase& c : cases) {
      SCOPED_TRACE(c.name);
      HWND control = Make(cls, c.style, 50);
      ASSERT_NE(control, nullptr);
      for (size_t i = 0; i < c.steps.size(); ++i) {
        const Step& s = c.steps[i];
        EXPECT_EQ(SendMessageW(control, s.msg, s.wParam, s.lParam), s.answer) << "step " << i;
      }
      DestroyWindow(control);
      EXPECT_TRUE(heard.empty()) << "messages alone never notify";
      heard.clear();
    }
  }
  HWND owner_ = nullptr;
};

TEST_F(CommonControlsTest, UpDownMessages) {
  int low = 0, high = 0;
  RunCases(UPDOWN_CLASSW, {
      {"the default range runs from 100 down to 0", 0, {{UDM_GETRANGE, 0, 0, MAKELONG(0, 100)}, {UDM_GETPOS, 0, 0, 0}}},
      {"a 16-bit range and a position clamped into it", 0,
       {{UDM_SETRANGE, 0, MAKELONG(10, 2), 0}, {UDM_GETRANGE, 0, 0, MAKELONG(10, 2)}, {UDM_GETPOS, 0, 0, 2},
        {UDM_SETPOS, 0, 7, 2}, {UDM_SETPOS, 0, 40, 7}, {UDM_GETPOS, 0, 0, 10}, {UDM_SETPOS, 0, WORD(-3), 10},
        {UDM_GETPOS, 0, 0, 2}}},
      {"negative ends in 16 bits", 0,
       {{UDM_SETRANGE, 0, MAKELONG(WORD(-5), WORD(-20)), 0}, {UDM_SETPOS, 0, WORD(-7), WORD(-5)},
        {UDM_GETPOS, 0, 0, WORD(-7)}}},
      {"32-bit range and position", 0,
       {{UDM_SETRANGE32, WPARAM(-100000), 100000, 0}, {UDM_SETPOS32, 0, 99999, 0}, {UDM_SETPOS32, 0, 200000, 99999},
        {UDM_GETPOS32, 0, 0, 100000}, {UDM_GETRANGE32, WPARAM(&low), LPARAM(&high), 0}}},
      {"a reversed range still clamps", 0, {{UDM_SETRANGE32, 50, 10, 0}, {UDM_SETPOS32, 0, 5, 10}, {UDM_GETPOS32, 0, 0, 10}}},
      {"base 10 or 16 only", 0, {{UDM_SETBASE, 16, 0, 10}, {UDM_SETBASE, 8, 0, 0}, {UDM_GETBASE, 0, 0, 16}}},
  });
  EXPECT_EQ(low, -100000);
  EXPECT_EQ(high, 100000);
}

TEST_F(CommonControlsTest, UpDownBuddyAlignsAndShowsThePosition) {
  HWND edit = Make(WC_EDITW, WS_BORDER, 60, {20, 20, 120, 44});
  HWND spin = Make(UPDOWN_CLASSW, UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 61, {0, 0, 10, 10});
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spin, UDM_GETBUDDY, 0, 0)), edit);
  RECT e, s;
  GetWindowRect(edit, &e);
  GetWindowRect(spin, &s);
  EXPECT_EQ(e.right - e.left, 100 - kUpDownWidth) << "the buddy gives up the arrows' width";
  EXPECT_EQ(s.left, e.right);
  EXPECT_EQ(s.bottom - s.top, 24);
  SendMessageW(spin, UDM_SETRANGE32, 0, 5000);
  heard.clear();
  SendMessageW(spin, UDM_SETPOS32, 0, 1234);
  WCHAR text[32];
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"1,234");
  EXPECT_EQ(heard, (std::vector<Heard>{{WM_COMMAND, EN_UPDATE, 60, 0}, {WM_COMMAND, EN_CHANGE, 60, 0}}));
  // What a person typed is read back; text that is no number reports an error.
  SetWindowTextW(edit, u"2,500");
  EXPECT_EQ(SendMessageW(spin, UDM_GETPOS, 0, 0), MAKELONG(2500, 0));
  SetWindowTextW(edit, u"lots");
  BOOL error = FALSE;
  EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, LPARAM(&error)), 2500);
  EXPECT_TRUE(error);
  SetWindowTextW(edit, u"9999");
  EXPECT_EQ(HIWORD(SendMessageW(spin, UDM_GETPOS, 0, 0)), 1) << "outside the range";
  SendMessageW(spin, UDM_SETBASE, 16, 0);
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"0x09C4");
}

TEST_F(CommonControlsTest, UpDownArrowKeysInTheBuddy) {
  HWND edit = Make(WC_EDITW, WS_BORDER | WS_TABSTOP, 60, {20, 20, 120, 44});
  LONG_PTR own = GetWindowLongPtrW(edit, GWLP_WNDPROC);
  HWND spin = Make(UPDOWN_CLASSW, UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ARROWKEYS, 61, {0, 0, 10, 10});
  SendMessageW(spin, UDM_SETRANGE32, 0, 10);
  SendMessageW(spin, UDM_SETPOS32, 0, 4);
  ASSERT_TRUE(SimFocus(edit));
  heard.clear();
  ASSERT_TRUE(SimKey(edit, VK_UP));
  ASSERT_TRUE(SimKey(edit, VK_UP));
  ASSERT_TRUE(SimKey(edit, VK_DOWN));
  EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, 0), 5);
  ASSERT_GE(heard.size(), 1u);
  EXPECT_EQ(heard[0], (Heard{WM_NOTIFY, int(UDN_DELTAPOS), 4, 1}));
  EXPECT_NE(SendMessageW(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTARROWS, 0);
  DestroyWindow(spin);
  EXPECT_EQ(GetWindowLongPtrW(edit, GWLP_WNDPROC), own) << "the buddy's own procedure is back";
  heard.clear();
  ASSERT_TRUE(SimKey(edit, VK_UP));
  EXPECT_TRUE(heard.empty());
}

// A click on an arrow: the owner is asked, then hears the new position as a scroll bar's
// owner would; the buddy shows it.
struct SpinCase {
  const char* name;
  DWORD style;
  int lower, upper, pos;
  int direction;
  LRESULT refuse;
  int replace;
  std::vector<Heard> heard;
  int after;
};

TEST_F(CommonControlsTest, UpDownClicks) {
  const std::vector<SpinCase> cases = {
      {"up one", 0, 0, 10, 5, 1, 0, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 5, 1}, {WM_VSCROLL, SB_THUMBPOSITION, 6, 0}, {WM_VSCROLL, SB_ENDSCROLL, 6, 0}}, 6},
      {"down one", 0, 0, 10, 5, -1, 0, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 5, -1}, {WM_VSCROLL, SB_THUMBPOSITION, 4, 0}, {WM_VSCROLL, SB_ENDSCROLL, 4, 0}}, 4},
      {"the top stops", 0, 0, 10, 10, 1, 0, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 10, 1}, {WM_VSCROLL, SB_THUMBPOSITION, 10, 0}, {WM_VSCROLL, SB_ENDSCROLL, 10, 0}}, 10},
      {"wrapping past the top", UDS_WRAP, 0, 10, 10, 1, 0, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 10, 1}, {WM_VSCROLL, SB_THUMBPOSITION, 0, 0}, {WM_VSCROLL, SB_ENDSCROLL, 0, 0}}, 0},
      {"wrapping past the bottom", UDS_WRAP, 0, 10, 0, -1, 0, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 0, -1}, {WM_VSCROLL, SB_THUMBPOSITION, 10, 0}, {WM_VSCROLL, SB_ENDSCROLL, 10, 0}}, 10},
      {"the owner refuses", 0, 0, 10, 5, 1, 1, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 5, 1}}, 5},
      {"the owner makes it a bigger step", 0, 0, 10, 5, 1, 0, 3, {{WM_NOTIFY, int(UDN_DELTAPOS), 5, 1}, {WM_VSCROLL, SB_THUMBPOSITION, 8, 0}, {WM_VSCROLL, SB_ENDSCROLL, 8, 0}}, 8},
      {"the up arrow goes toward a lower upper end", 0, 10, 0, 5, 1, 0, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 5, -1}, {WM_VSCROLL, SB_THUMBPOSITION, 4, 0}, {WM_VSCROLL, SB_ENDSCROLL, 4, 0}}, 4},
      {"horizontal arrows scroll horizontally", UDS_HORZ, 0, 10, 5, 1, 0, 0, {{WM_NOTIFY, int(UDN_DELTAPOS), 5, 1}, {WM_HSCROLL, SB_THUMBPOSITION, 6, 0}, {WM_HSCROLL, SB_ENDSCROLL, 6, 0}}, 6},
  };
  for (const SpinCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND spin = Make(UPDOWN_CLASSW, c.style, 70, {10, 10, 26, 40});
    SendMessageW(spin, UDM_SETRANGE32, WPARAM(c.lower), c.upper);
    SendMessageW(spin, UDM_SETPOS32, 0, c.pos);
    heard.clear();
    refuseStep = c.refuse;
    replaceDelta = c.replace;
    EXPECT_TRUE(SimSpin(spin, c.direction));
    EXPECT_EQ(heard, c.heard);
    EXPECT_EQ(SendMessageW(spin, UDM_GETPOS32, 0, 0), c.after);
    DestroyWindow(spin);
  }
}

TEST_F(CommonControlsTest, UpDownWritesItsBuddyAfterTelling) {
  HWND edit = Make(WC_EDITW, WS_BORDER, 60);
  HWND spin = Make(UPDOWN_CLASSW, UDS_SETBUDDYINT | UDS_NOTHOUSANDS, 61);
  SendMessageW(spin, UDM_SETBUDDY, WPARAM(edit), 0);
  SendMessageW(spin, UDM_SETRANGE32, 0, 99999);
  SetWindowTextW(edit, u"41999");  // typed by a person: the step starts from there
  heard.clear();
  ASSERT_TRUE(SimSpin(spin, 1));
  EXPECT_EQ(heard, (std::vector<Heard>{{WM_NOTIFY, int(UDN_DELTAPOS), 41999, 1},
                                       {WM_VSCROLL, SB_THUMBPOSITION, SHORT(42000), 0},
                                       {WM_VSCROLL, SB_ENDSCROLL, SHORT(42000), 0},
                                       {WM_COMMAND, EN_UPDATE, 60, 0},
                                       {WM_COMMAND, EN_CHANGE, 60, 0}}));
  WCHAR text[32];
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"42000");
  // Hidden or disabled arrows cannot be clicked.
  EnableWindow(spin, FALSE);
  EXPECT_FALSE(SimSpin(spin, 1));
  ASSERT_FALSE(SimRefusedActions().empty());
  EXPECT_EQ(SimRefusedActions().back().action, "spin");
}

TEST_F(CommonControlsTest, TrackBarMessages) {
  RECT channel{};
  RunCases(TRACKBAR_CLASSW, {
      {"defaults", 0,
       {{TBM_GETRANGEMIN, 0, 0, 0}, {TBM_GETRANGEMAX, 0, 0, 100}, {TBM_GETPOS, 0, 0, 0}, {TBM_GETPAGESIZE, 0, 0, 20},
        {TBM_GETLINESIZE, 0, 0, 1}}},
      {"range and clamped position", 0,
       {{TBM_SETRANGE, TRUE, MAKELONG(10, 50), 0}, {TBM_GETPOS, 0, 0, 10}, {TBM_SETPOS, TRUE, 70, 0},
        {TBM_GETPOS, 0, 0, 50}, {TBM_SETRANGEMAX, TRUE, 30, 0}, {TBM_GETPOS, 0, 0, 30}, {TBM_SETRANGEMIN, FALSE, -5, 0},
        {TBM_GETRANGEMIN, 0, 0, -5}, {TBM_SETPOS, FALSE, -9, 0}, {TBM_GETPOS, 0, 0, -5}}},
      {"page and line sizes answer the one before", 0,
       {{TBM_SETPAGESIZE, 0, 5, 20}, {TBM_SETPAGESIZE, 0, 7, 5}, {TBM_GETPAGESIZE, 0, 0, 7}, {TBM_SETLINESIZE, 0, 2, 1},
        {TBM_GETLINESIZE, 0, 0, 2}}},
      {"ticks", TBS_AUTOTICKS,
       {{TBM_SETTIC, 0, 40, TRUE}, {TBM_SETTIC, 0, 400, FALSE}, {TBM_GETNUMTICS, 0, 0, 3}, {TBM_GETTIC, 0, 0, 40},
        {TBM_GETTIC, 1, 0, -1}, {TBM_CLEARTICS, FALSE, 0, 0}, {TBM_GETNUMTICS, 0, 0, 2}}},
      {"no ticks at all", TBS_NOTICKS, {{TBM_GETNUMTICS, 0, 0, 0}}},
      {"selection", TBS_ENABLESELRANGE,
       {{TBM_SETSEL, FALSE, MAKELONG(20, 60), 0}, {TBM_GETSELSTART, 0, 0, 20}, {TBM_GETSELEND, 0, 0, 60},
        {TBM_CLEARSEL, FALSE, 0, 0}, {TBM_GETSELEND, 0, 0, 0}}},
      {"the channel lies inside the control", 0, {{TBM_GETCHANNELRECT, 0, LPARAM(&channel), 0}}},
  });
  EXPECT_GT(channel.right, channel.left);
  EXPECT_LE(channel.right, 100);
}

// A person's action: the thumb moves, then the owner hears the action and TB_ENDTRACK.
struct TrackCase {
  const char* name;
  DWORD style;
  int start;
  int code, pos;
  int after;
  UINT scroll;
  int heardPos;
};

TEST_F(CommonControlsTest, TrackBarActions) {
  const std::vector<TrackCase> cases = {
      {"line down", 0, 10, TB_LINEDOWN, 0, 11, WM_HSCROLL, 0},
      {"line up", 0, 10, TB_LINEUP, 0, 9, WM_HSCROLL, 0},
      {"page down", 0, 10, TB_PAGEDOWN, 0, 30, WM_HSCROLL, 0},
      {"page up stops at the start", 0, 10, TB_PAGEUP, 0, 0, WM_HSCROLL, 0},
      {"thumb dragged", 0, 10, TB_THUMBTRACK, 77, 77, WM_HSCROLL, 77},
      {"thumb dropped beyond the end", 0, 10, TB_THUMBPOSITION, 300, 100, WM_HSCROLL, 100},
      {"top", 0, 10, TB_TOP, 0, 0, WM_HSCROLL, 0},
      {"bottom", 0, 10, TB_BOTTOM, 0, 100, WM_HSCROLL, 0},
      {"vertical bars scroll vertically", TBS_VERT, 10, TB_LINEDOWN, 0, 11, WM_VSCROLL, 0},
  };
  for (const TrackCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND track = Make(TRACKBAR_CLASSW, c.style, 80);
    SendMessageW(track, TBM_SETPOS, TRUE, c.start);
    heard.clear();
    EXPECT_TRUE(SimTrack(track, c.code, c.pos));
    EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), c.after);
    EXPECT_EQ(heard, (std::vector<Heard>{{c.scroll, c.code, c.heardPos, 0}, {c.scroll, TB_ENDTRACK, 0, 0}}));
    DestroyWindow(track);
  }
}

TEST_F(CommonControlsTest, TrackBarKeysAndClicks) {
  HWND track = Make(TRACKBAR_CLASSW, TBS_AUTOTICKS | WS_TABSTOP, 80, {10, 10, 210, 40});
  SendMessageW(track, TBM_SETPOS, TRUE, 50);
  heard.clear();
  SetFocus(track);
  ASSERT_TRUE(SimKey(track, VK_RIGHT));
  ASSERT_TRUE(SimKey(track, VK_END));
  EXPECT_EQ(heard, (std::vector<Heard>{{WM_HSCROLL, TB_LINEDOWN, 0, 0}, {WM_HSCROLL, TB_ENDTRACK, 0, 0},
                                       {WM_HSCROLL, TB_BOTTOM, 0, 0}, {WM_HSCROLL, TB_ENDTRACK, 0, 0}}));
  EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), 100);
  // A click left of the thumb is a page toward the start.
  heard.clear();
  SendMessageW(track, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 15));
  EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), 80);
  EXPECT_EQ(heard.front(), (Heard{WM_HSCROLL, TB_PAGEUP, 0, 0}));
  ShowWindow(track, SW_HIDE);
  EXPECT_FALSE(SimTrack(track, TB_TOP, 0));
  EXPECT_EQ(SendMessageW(track, TBM_GETPOS, 0, 0), 80);
}

TEST_F(CommonControlsTest, ProgressBarMessages) {
  PBRANGE range{};
  RunCases(PROGRESS_CLASSW, {
      {"defaults", 0, {{PBM_GETPOS, 0, 0, 0}, {PBM_GETRANGE, TRUE, 0, 0}, {PBM_GETRANGE, FALSE, 0, 100}}},
      {"set, step and delta answer the position before", 0,
       {{PBM_SETPOS, 30, 0, 0}, {PBM_STEPIT, 0, 0, 30}, {PBM_GETPOS, 0, 0, 40}, {PBM_DELTAPOS, 25, 0, 40},
        {PBM_DELTAPOS, 100, 0, 65}, {PBM_GETPOS, 0, 0, 100}, {PBM_SETPOS, WPARAM(-4), 0, 100}, {PBM_GETPOS, 0, 0, 0}}},
      {"stepping past the end starts over", 0,
       {{PBM_SETSTEP, 30, 0, 10}, {PBM_SETPOS, 90, 0, 0}, {PBM_STEPIT, 0, 0, 90}, {PBM_GETPOS, 0, 0, 20}}},
      {"a 16-bit range answers the one before", 0,
       {{PBM_SETRANGE, 0, MAKELPARAM(10, 20), MAKELONG(0, 100)}, {PBM_GETPOS, 0, 0, 10},
        {PBM_SETRANGE32, 0, 70000, MAKELONG(10, 20)}, {PBM_SETPOS, 65000, 0, 10},
        {PBM_GETRANGE, FALSE, LPARAM(&range), 70000}}},
      {"colours answer the one before", PBS_SMOOTH,
       {{PBM_SETBARCOLOR, 0, RGB(1, 2, 3), LRESULT(CLR_DEFAULT)}, {PBM_SETBARCOLOR, 0, RGB(4, 5, 6), RGB(1, 2, 3)},
        {PBM_SETBKCOLOR, 0, RGB(7, 8, 9), LRESULT(CLR_DEFAULT)}}},
  });
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 70000);
}

TEST_F(CommonControlsTest, ClassesExistAndSetUpAnswers) {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES};
  EXPECT_TRUE(InitCommonControlsEx(&init));
  init.dwSize = 4;
  EXPECT_FALSE(InitCommonControlsEx(&init));
  for (LPCWSTR cls : {UPDOWN_CLASSW, TRACKBAR_CLASSW, PROGRESS_CLASSW, TOOLTIPS_CLASSW}) {
    WNDCLASSW wc{};
    EXPECT_TRUE(GetClassInfoW(nullptr, cls, &wc));
  }
  HMODULE comctl = LoadLibraryW(u"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  EXPECT_EQ(GetProcAddress(comctl, "InitCommonControlsEx"), reinterpret_cast<FARPROC>(&InitCommonControlsEx));
  FreeLibrary(comctl);
}

}  // namespace
