// Modal dialogs, message boxes and popup menus: scripted drivers and answers, unscripted ends,
// nesting, owners disabled while they run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr WORD kFirst = 100, kSecond = 101, kThird = 102;
// The template each dialog opens when its "next" button (1022 in the first, 10 in the second)
// is pressed; the third shows a message box from its OK button before it ends.
constexpr WORD kShowBox = 1;

HMODULE module = nullptr;
std::vector<int> boxAnswers;

WORD NextOf(WORD id) { return id == kFirst ? kSecond : id == kSecond ? kThird : kShowBox; }

INT_PTR NestProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    SetWindowLongPtrW(dlg, DWLP_USER, lParam);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  WORD self = WORD(GetWindowLongPtrW(dlg, DWLP_USER));
  WORD id = LOWORD(wParam);
  if (id == 1022 || id == 10) {
    WORD next = NextOf(self);
    INT_PTR r = DialogBoxParamW(module, MAKEINTRESOURCEW(next), dlg, NestProc, next);
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, r);
    return TRUE;
  }
  if (id == IDOK && NextOf(self) == kShowBox)
    boxAnswers.push_back(MessageBoxW(dlg, u"Keep these settings?", u"Third", MB_YESNO | MB_ICONQUESTION));
  if (id == IDOK || id == IDCANCEL) EndDialog(dlg, id == IDOK ? 100 + self : IDCANCEL);
  return TRUE;
}

INT_PTR StubbornProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

class ModalTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    boxAnswers.clear();
    module = LoadLibraryW(u"user_test.qrs");
    ASSERT_NE(module, nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"QvApp";
    RegisterClassW(&wc);
    app_ = CreateWindowExW(0, u"QvApp", u"Application", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                           nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    DestroyWindow(app_);
    UnregisterClassW(u"QvApp", nullptr);
    FreeLibrary(module);
    SandboxTest::TearDown();
  }
  HWND app_ = nullptr;
};

TEST_F(ModalTest, ThreeDialogsAndABoxNestWithScriptedDrivers) {
  std::vector<std::string> seen;
  SimOnDialog(kFirst, [&](HWND d) {
    EXPECT_FALSE(IsWindowEnabled(app_));
    EXPECT_EQ(GetActiveWindow(), d);
    SimClick(GetDlgItem(d, 1022));
    seen.push_back("first back");
    EXPECT_TRUE(IsWindowEnabled(d));
    SimClick(GetDlgItem(d, IDOK));
  });
  SimOnDialog(kSecond, [&](HWND d) {
    HWND first = GetParent(d);
    EXPECT_FALSE(IsWindowEnabled(first));
    EXPECT_FALSE(SimClick(GetDlgItem(first, IDOK)));  // the owner cannot be used meanwhile
    SimClick(GetDlgItem(d, 10));
    seen.push_back("second back");
    SimClick(GetDlgItem(d, IDOK));
  });
  SimOnDialog(kThird, [&](HWND d) {
    EXPECT_EQ(SimModalDepth(), 3);
    SimClick(GetDlgItem(d, IDOK));
    seen.push_back("third done");
  });
  SimOnMessageBox([&](const SimMessageBox& box) {
    EXPECT_EQ(box.depth, 4);
    EXPECT_FALSE(IsWindowEnabled(box.owner));
    return IDYES;
  });
  EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCEW(kFirst), app_, NestProc, kFirst), 100 + kFirst);
  EXPECT_TRUE(IsWindowEnabled(app_));
  EXPECT_EQ(seen, (std::vector<std::string>{"third done", "second back", "first back"}));
  EXPECT_EQ(boxAnswers, (std::vector<int>{IDYES}));
  auto log = SimModalLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].templateId, kFirst);
  EXPECT_EQ(log[0].owner, app_);
  EXPECT_EQ(log[1].depth, 2);
  EXPECT_EQ(log[2].result, 100 + kThird);
  EXPECT_EQ(log[3].kind, SimModal::MessageBox);
  EXPECT_EQ(log[3].depth, 4);
  for (const SimModal& m : log) {
    EXPECT_TRUE(m.scripted);
    EXPECT_TRUE(m.ended);
    EXPECT_FALSE(m.forced);
  }
  EXPECT_EQ(SimModalDepth(), 0);
  EXPECT_EQ(SimLiveWindows(), 1);  // the application window only
}

TEST_F(ModalTest, UnscriptedModalsEndAsCancelAndAreRecorded) {
  SimOnDialog(kFirst, [&](HWND d) { SimClick(GetDlgItem(d, 1022)); });  // the second runs without a driver
  EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCEW(kFirst), app_, NestProc, kFirst), IDCANCEL);
  auto log = SimModalLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_TRUE(log[0].scripted == false && log[0].result == IDCANCEL);  // its driver left it running
  EXPECT_FALSE(log[1].scripted);
  EXPECT_EQ(log[1].result, IDCANCEL);
  EXPECT_FALSE(log[1].forced);  // IDCANCEL ended it
  // A box without an answer: IDCANCEL, recorded.
  SimOnDialog(kThird, [](HWND d) { SimClick(GetDlgItem(d, IDOK)); });
  EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCEW(kThird), app_, NestProc, kThird), 100 + kThird);
  EXPECT_EQ(boxAnswers, (std::vector<int>{IDCANCEL}));
  EXPECT_FALSE(SimMessageBoxLog().back().scripted);
  EXPECT_EQ(SimMessageBoxLog().back().depth, 2);
  // A dialog that does not even end on IDCANCEL is ended by the layer.
  EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCEW(kThird), app_, StubbornProc, 0), IDCANCEL);
  EXPECT_TRUE(SimModalLog().back().forced);
  EXPECT_TRUE(IsWindowEnabled(app_));
  EXPECT_EQ(SimLiveWindows(), 1);
}

TEST_F(ModalTest, DriversForAnyTemplateServeInOrder) {
  std::vector<WORD> served;
  SimOnDialog([&](HWND d) {
    served.push_back(WORD(GetWindowLongPtrW(d, DWLP_USER)));
    EndDialog(d, 5);
  });
  SimOnDialog(kThird, [&](HWND d) {
    served.push_back(3);
    EndDialog(d, 6);
  });
  EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCEW(kThird), app_, NestProc, kThird), 6);  // its own first
  EXPECT_EQ(DialogBoxParamW(module, MAKEINTRESOURCEW(kSecond), nullptr, NestProc, kSecond), 5);
  EXPECT_EQ(served, (std::vector<WORD>{3, kSecond}));
}

TEST_F(ModalTest, PopupMenusTakeTheScriptedChoice) {
  HMENU bar = LoadMenuW(module, MAKEINTRESOURCEW(300));
  ASSERT_NE(bar, nullptr);
  HMENU popup = GetSubMenu(bar, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(GetMenuItemCount(popup), 4);
  EXPECT_EQ(GetMenuItemID(popup, 0), 301u);
  EXPECT_EQ(GetMenuItemID(popup, 3), UINT(-1));
  EXPECT_EQ(GetMenuState(popup, 302, MF_BYCOMMAND) & MF_GRAYED, UINT(MF_GRAYED));
  WCHAR text[16];
  EXPECT_EQ(GetMenuStringW(popup, 303, text, 16, MF_BYCOMMAND), 4);  // found inside "More"
  EXPECT_EQ(std::u16string(text), u"Deep");
  SimPopupMenuChoice(303);
  SimPopupMenuChoice(302);  // grayed: not a choice a person can make
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, app_, nullptr), 303);
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, app_, nullptr), 0);
  EXPECT_EQ(TrackPopupMenu(popup, TPM_RETURNCMD, 0, 0, 0, app_, nullptr), 0);  // unscripted
  auto log = SimModalLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_TRUE(log[1].refused);
  EXPECT_FALSE(log[2].scripted);
  // Without TPM_RETURNCMD the choice comes as a posted WM_COMMAND.
  SimPopupMenuChoice(301);
  EXPECT_TRUE(TrackPopupMenu(popup, 0, 0, 0, 0, app_, nullptr));
  MSG m;
  ASSERT_TRUE(PeekMessageW(&m, app_, WM_COMMAND, WM_COMMAND, PM_REMOVE));
  EXPECT_EQ(m.wParam, 301u);
  EXPECT_EQ(SimLiveMenus(), 3);
  EXPECT_TRUE(DestroyMenu(bar));
  EXPECT_EQ(SimLiveMenus(), 0);
  EXPECT_FALSE(DestroyMenu(bar));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
}

TEST_F(ModalTest, MenusBuiltByCalls) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  AppendMenuW(menu, MF_STRING, 1, u"One");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, UINT_PTR(sub), u"Sub");
  AppendMenuW(sub, MF_STRING | MF_CHECKED, 2, u"Two");
  InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, 3, u"Zero");
  EXPECT_EQ(GetMenuItemID(menu, 0), 3u);
  EXPECT_EQ(CheckMenuItem(menu, 2, MF_BYCOMMAND | MF_UNCHECKED), DWORD(MF_CHECKED));
  EXPECT_EQ(EnableMenuItem(menu, 1, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
  EXPECT_EQ(CheckMenuItem(menu, 99, MF_BYCOMMAND), DWORD(-1));
  EXPECT_EQ(GetMenuState(menu, 3, MF_BYPOSITION), (1u << 8) | MF_POPUP);
  SimPopupMenuChoice(1);  // grayed now
  EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 0, 0, 0, app_, nullptr), 0);
  EXPECT_TRUE(DeleteMenu(menu, 3, MF_BYPOSITION));  // destroys the popup with it
  EXPECT_FALSE(IsMenu(sub));
  DestroyMenu(menu);
  EXPECT_EQ(SimLiveMenus(), 0);
}

}  // namespace
