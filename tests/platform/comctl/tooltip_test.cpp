// The tooltip control: tools by rectangle and by window, texts kept, from string resources and
// asked of the window on demand, subclassing and the mouse, and a table of message cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

std::vector<UINT> mouse;      // mouse messages the owner's own procedure saw

LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    if (info->hdr.code != TTN_GETDISPINFOW) return 0;
    if (info->hdr.idFrom == 7) lstrcpynW(info->szText, u"Asked for", 80);
    if (info->hdr.idFrom == 8) {
      info->lpszText = const_cast<LPWSTR>(u"Kept once asked");
      info->uFlags |= TTF_DI_SETITEM;
    }
    return 0;
  }
  if (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN) mouse.push_back(msg);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

constexpr char16_t kOwnerClass[] = u"QvTipOwner";

WNDPROC saved = nullptr;
int laterSubclassCalls = 0;
LRESULT LaterSubclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++laterSubclassCalls;
  return CallWindowProcW(saved, hwnd, msg, wParam, lParam);
}

class ToolTipTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    mouse.clear();
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = kOwnerClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    owner_ = CreateWindowExW(0, kOwnerClass, u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
    child_ = CreateWindowExW(0, kOwnerClass, u"", WS_CHILD | WS_VISIBLE, 200, 100, 50, 30, owner_,
                             reinterpret_cast<HMENU>(LONG_PTR(33)), nullptr, nullptr);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, owner_,
                           nullptr, nullptr, nullptr);
    ASSERT_NE(tip_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(owner_)) DestroyWindow(owner_);
    UnregisterClassW(kOwnerClass, nullptr);
    SandboxTest::TearDown();
  }
  BOOL Add(UINT flags, HWND hwnd, UINT_PTR id, RECT r, LPCWSTR text, HINSTANCE hinst = nullptr) {
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.uFlags = flags;
    ti.hwnd = hwnd;
    ti.uId = id;
    ti.rect = r;
    ti.hinst = hinst;
    ti.lpszText = const_cast<LPWSTR>(text);
    return BOOL(SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
  }
  std::u16string Text(HWND hwnd, UINT_PTR id) {
    WCHAR buffer[100] = u"untouched";
    TOOLINFOW ti{};
    ti.cbSize = sizeof ti;
    ti.hwnd = hwnd;
    ti.uId = id;
    ti.lpszText = buffer;
    SendMessageW(tip_, TTM_GETTEXTW, 100, reinterpret_cast<LPARAM>(&ti));
    return buffer;
  }
  HWND owner_ = nullptr, child_ = nullptr, tip_ = nullptr;
};

TEST_F(ToolTipTest, ToolsByRectangleAndByWindow) {
  ASSERT_TRUE(Add(0, owner_, 1, {0, 0, 100, 50}, u"Paper size"));
  ASSERT_TRUE(Add(TTF_IDISHWND, owner_, UINT_PTR(child_), {}, u"The picture"));
  EXPECT_FALSE(Add(0, owner_, 1, {0, 0, 5, 5}, u"again")) << "a tool's window and id are its key";
  EXPECT_EQ(SendMessageW(tip_, TTM_GETTOOLCOUNT, 0, 0), 2);
  std::vector<SimTool> tools = SimToolTipTools(tip_);
  ASSERT_EQ(tools.size(), 2u);
  EXPECT_EQ(tools[0].id, 1u);
  EXPECT_EQ(tools[0].text, u"Paper size");
  EXPECT_EQ(tools[0].rect.right, 100);
  EXPECT_EQ(tools[1].flags, UINT(TTF_IDISHWND));
  EXPECT_EQ(tools[1].text, u"The picture");

  TTHITTESTINFOW hit{};
  hit.hwnd = owner_;
  hit.pt = {30, 20};
  hit.ti.cbSize = sizeof hit.ti;
  EXPECT_TRUE(SendMessageW(tip_, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
  EXPECT_EQ(hit.ti.uId, 1u);
  hit.pt = {300, 200};
  EXPECT_FALSE(SendMessageW(tip_, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
  hit.hwnd = child_;
  EXPECT_TRUE(SendMessageW(tip_, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
  EXPECT_EQ(hit.ti.uId, UINT_PTR(child_));

  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = owner_;
  ti.uId = 1;
  ti.rect = {0, 0, 10, 10};
  ti.lpszText = const_cast<LPWSTR>(u"Paper size (mm)");
  SendMessageW(tip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
  SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(Text(owner_, 1), u"Paper size (mm)");
  EXPECT_EQ(SimToolTipTools(tip_)[0].rect.right, 10);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(SendMessageW(tip_, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_FALSE(SendMessageW(tip_, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)));
}

TEST_F(ToolTipTest, TheTooltipsThatServeAWindow) {
  ASSERT_TRUE(Add(0, owner_, 1, {0, 0, 100, 50}, u"Paper size"));
  ASSERT_TRUE(Add(TTF_IDISHWND, owner_, UINT_PTR(child_), {}, u"The picture"));
  // A page inside the owner makes its own tooltip: the tooltip is owned by the top-level window.
  HWND page = CreateWindowExW(0, kOwnerClass, u"", WS_CHILD | WS_VISIBLE, 0, 0, 150, 90, owner_, nullptr, nullptr,
                              nullptr);
  HWND copies = CreateWindowExW(0, kOwnerClass, u"", WS_CHILD | WS_VISIBLE, 10, 10, 40, 20, page,
                                reinterpret_cast<HMENU>(LONG_PTR(1001)), nullptr, nullptr);
  HWND pageTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, page, nullptr, nullptr, nullptr);
  ASSERT_NE(pageTip, nullptr);
  EXPECT_EQ(GetWindow(pageTip, GW_OWNER), owner_);
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = page;
  ti.uId = UINT_PTR(copies);
  ti.lpszText = const_cast<LPWSTR>(u"How many copies");
  ASSERT_TRUE(SendMessageW(pageTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
  ti.uFlags = 0;
  ti.uId = 7;
  ti.rect = {60, 10, 90, 30};
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  ASSERT_TRUE(SendMessageW(pageTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)));
  // Another top-level window's tooltip serves only it.
  HWND other = CreateWindowExW(0, kOwnerClass, u"Other", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                               nullptr);
  HWND otherTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, other, nullptr, nullptr, nullptr);

  std::vector<SimWindowToolTip> tips = SimWindowToolTips(owner_);
  ASSERT_EQ(tips.size(), 2u);
  EXPECT_EQ(tips[0].tooltip, tip_);
  EXPECT_EQ(tips[0].tools.size(), 2u);
  EXPECT_EQ(tips[1].tooltip, pageTip);
  EXPECT_EQ(tips[1].owner, owner_);

  tips = SimWindowToolTips(page);
  ASSERT_EQ(tips.size(), 1u) << "the page has tools only in its own tooltip";
  EXPECT_EQ(tips[0].tooltip, pageTip);
  ASSERT_EQ(tips[0].tools.size(), 2u);
  EXPECT_EQ(tips[0].tools[0].id, UINT_PTR(copies));
  EXPECT_EQ(tips[0].tools[0].text, u"How many copies");
  EXPECT_TRUE(tips[0].tools[1].callback);
  EXPECT_EQ(tips[0].tools[1].text, u"Asked for") << "a callback tool's text is asked of its window";
  EXPECT_EQ(tips[0].tools[1].rect.left, 60);

  tips = SimWindowToolTips(child_);
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_EQ(tips[0].tooltip, tip_);
  tips = SimWindowToolTips(other);
  ASSERT_EQ(tips.size(), 1u);
  EXPECT_EQ(tips[0].tooltip, otherTip);
  EXPECT_TRUE(tips[0].tools.empty());
  DestroyWindow(other);
  EXPECT_TRUE(SimWindowToolTips(other).empty());
}

// The owner asked for the text of the tool `id`.
SimMessage AskedFor(HWND owner, UINT_PTR id) {
  SimMessage m(owner, WM_NOTIFY, WPARAM(id));
  m.code = TTN_GETDISPINFOW;
  return m;
}

TEST_F(ToolTipTest, CallbackTextsAreAskedOnlyWhenRead) {
  ASSERT_TRUE(Add(0, owner_, 7, {0, 0, 10, 10}, LPSTR_TEXTCALLBACKW));
  ASSERT_TRUE(Add(0, owner_, 8, {10, 0, 20, 10}, LPSTR_TEXTCALLBACKW));
  SimMessageLog asked({{owner_, "owner"}});
  asked.Only({WM_NOTIFY});
  SimHover(owner_, {5, 5});
  EXPECT_TRUE(asked.Messages().empty()) << "the mouse alone asks nothing";
  EXPECT_EQ(Text(owner_, 7), u"Asked for");
  EXPECT_EQ(Text(owner_, 7), u"Asked for");
  EXPECT_EQ(asked.Difference({AskedFor(owner_, 7), AskedFor(owner_, 7)}), "") << "asked every time";
  EXPECT_EQ(Text(owner_, 8), u"Kept once asked");
  EXPECT_EQ(Text(owner_, 8), u"Kept once asked");
  EXPECT_EQ(asked.Difference({AskedFor(owner_, 7), AskedFor(owner_, 7), AskedFor(owner_, 8)}), "")
      << "TTF_DI_SETITEM keeps the answer";
  std::vector<SimTool> tools = SimToolTipTools(tip_);
  EXPECT_TRUE(tools[0].callback);
  EXPECT_FALSE(tools[1].callback);
}

TEST_F(ToolTipTest, SubclassedWindowsReportTheMouse) {
  auto own = GetWindowLongPtrW(child_, GWLP_WNDPROC);
  ASSERT_TRUE(Add(TTF_IDISHWND | TTF_SUBCLASS, owner_, UINT_PTR(child_), {}, u"Whole window"));
  ASSERT_TRUE(Add(TTF_SUBCLASS, owner_, 2, {0, 0, 50, 50}, u"Corner"));
  EXPECT_NE(GetWindowLongPtrW(child_, GWLP_WNDPROC), own);
  EXPECT_EQ(SimToolTipCurrent(tip_).hwnd, nullptr);
  SimHover(child_, {3, 3});
  EXPECT_EQ(SimToolTipCurrent(tip_).text, u"Whole window");
  EXPECT_EQ(mouse, (std::vector<UINT>{WM_MOUSEMOVE})) << "the window still gets its mouse";
  SimHover(owner_, {20, 20});
  EXPECT_EQ(SimToolTipCurrent(tip_).text, u"Corner");
  SimHover(owner_, {120, 120});
  EXPECT_EQ(SimToolTipCurrent(tip_).hwnd, nullptr);
  SendMessageW(tip_, TTM_ACTIVATE, FALSE, 0);
  SimHover(owner_, {20, 20});
  EXPECT_EQ(SimToolTipCurrent(tip_).hwnd, nullptr) << "an inactive tooltip shows nothing";

  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = owner_;
  ti.uId = UINT_PTR(child_);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(GetWindowLongPtrW(child_, GWLP_WNDPROC), own) << "the last tool gone gives the procedure back";
}

TEST_F(ToolTipTest, ASubclassOnTopIsLeftInPlace) {
  ASSERT_TRUE(Add(TTF_IDISHWND | TTF_SUBCLASS, owner_, UINT_PTR(child_), {}, u"Tip"));
  saved = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(child_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LaterSubclass)));
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = owner_;
  ti.uId = UINT_PTR(child_);
  SendMessageW(tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  EXPECT_EQ(GetWindowLongPtrW(child_, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&LaterSubclass));
  laterSubclassCalls = 0;
  mouse.clear();
  SimHover(child_, {1, 1});
  EXPECT_EQ(laterSubclassCalls, 1);
  EXPECT_EQ(mouse, (std::vector<UINT>{WM_MOUSEMOVE})) << "the chain still reaches the window's own procedure";
}

TEST_F(ToolTipTest, TextsFromStringResources) {
  HMODULE strings = LoadLibraryExW(u"comctl_test.qrs", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(strings, nullptr);
  ASSERT_TRUE(Add(0, owner_, 4, {0, 0, 10, 10}, reinterpret_cast<LPCWSTR>(ULONG_PTR(700)), strings));
  EXPECT_EQ(Text(owner_, 4), u"Tip from the resources");
  WCHAR small[5];
  TOOLINFOW ti{};
  ti.cbSize = sizeof ti;
  ti.hwnd = owner_;
  ti.uId = 4;
  ti.lpszText = small;
  EXPECT_EQ(SendMessageW(tip_, TTM_GETTEXTW, 5, reinterpret_cast<LPARAM>(&ti)), 4);
  EXPECT_EQ(std::u16string(small), u"Tip ") << "cut to the caller's buffer";
  FreeLibrary(strings);
}

TEST_F(ToolTipTest, DestroyedWithItsOwner) {
  ASSERT_TRUE(Add(TTF_IDISHWND | TTF_SUBCLASS, owner_, UINT_PTR(child_), {}, u"Tip"));
  DestroyWindow(owner_);
  EXPECT_FALSE(IsWindow(tip_));
  EXPECT_EQ(SimLiveWindows(), 0);
}

struct TipStep {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT answer;
};

TEST_F(ToolTipTest, Messages) {
  RECT margin{1, 2, 3, 4}, back{};
  TOOLINFOW shortInfo{};
  shortInfo.cbSize = 12;  // smaller than any version of the structure
  const std::vector<TipStep> steps = {
      {TTM_SETMAXTIPWIDTH, 0, 300, -1},
      {TTM_SETMAXTIPWIDTH, 0, 200, 300},
      {TTM_GETMAXTIPWIDTH, 0, 0, 200},
      {TTM_GETDELAYTIME, TTDT_INITIAL, 0, 500},
      {TTM_GETDELAYTIME, TTDT_AUTOPOP, 0, 5000},
      {TTM_GETDELAYTIME, TTDT_RESHOW, 0, 100},
      {TTM_SETDELAYTIME, TTDT_AUTOMATIC, 200, 0},
      {TTM_GETDELAYTIME, TTDT_AUTOPOP, 0, 2000},
      {TTM_SETDELAYTIME, TTDT_AUTOPOP, 32000, 0},
      {TTM_GETDELAYTIME, TTDT_AUTOPOP, 0, 32000},
      {TTM_GETDELAYTIME, TTDT_INITIAL, 0, 200},
      {TTM_SETTIPBKCOLOR, RGB(1, 2, 3), 0, 0},
      {TTM_GETTIPBKCOLOR, 0, 0, RGB(1, 2, 3)},
      {TTM_SETMARGIN, 0, LPARAM(&margin), 0},
      {TTM_GETMARGIN, 0, LPARAM(&back), 0},
      {TTM_ADDTOOLW, 0, LPARAM(&shortInfo), FALSE},
      {TTM_GETTOOLCOUNT, 0, 0, 0},
      {TTM_GETCURRENTTOOLW, 0, 0, FALSE},
      {TTM_ENUMTOOLSW, 0, LPARAM(&shortInfo), FALSE},
  };
  for (size_t i = 0; i < steps.size(); ++i)
    EXPECT_EQ(SendMessageW(tip_, steps[i].msg, steps[i].wParam, steps[i].lParam), steps[i].answer) << "step " << i;
  EXPECT_EQ(back.bottom, 4);
  // The structure's earlier sizes are still taken.
  TOOLINFOW older{};
  older.cbSize = kToolInfoSizeV1;
  older.hwnd = owner_;
  older.uId = 9;
  older.lpszText = const_cast<LPWSTR>(u"old");
  EXPECT_TRUE(SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&older)));
  EXPECT_EQ(Text(owner_, 9), u"old");
}

}  // namespace
