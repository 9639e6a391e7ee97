// The dialog manager and the standard controls, driven as a person would through the driver
// API: a dialog with every standard control built from its template, the notices each action
// makes in the platform's order, keyboard navigation, the item calls, and nothing left alive.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr char16_t kResources[] = u"user_test.qrs";
constexpr WORD kEveryControl = 100;

// A notice the dialog is to hear from its controls: WM_COMMAND (control id, notice code) or
// WM_HSCROLL (scroll code, position).
struct Note {
  UINT msg;
  int id;
  int code;
};

// What the open dialog hears from its controls (WM_COMMAND, WM_HSCROLL).
std::unique_ptr<SimMessageLog> heard;

// The notices as the dialog's log is to show them.
std::vector<SimMessage> Heard(HWND dlg, const std::vector<Note>& notes) {
  std::vector<SimMessage> expected;
  for (const Note& n : notes) expected.push_back({dlg, n.msg, MAKEWPARAM(n.id, n.code)});
  return expected;
}
std::vector<MEASUREITEMSTRUCT> measured;
std::vector<DRAWITEMSTRUCT> drawn;

// The owner's drawing of its owner-drawn controls: a coloured box per item with its text.
void DrawItem(const DRAWITEMSTRUCT& d) {
  drawn.push_back(d);
  COLORREF colour = (d.itemState & ODS_SELECTED) ? RGB(200, 60, 60) : RGB(90, 160, 90);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(d.hDC, &d.rcItem, brush);
  DeleteObject(brush);
  WCHAR text[32] = u"drawn";
  if (d.CtlType == ODT_LISTBOX && d.itemID != UINT(-1)) SendMessageW(d.hwndItem, LB_GETTEXT, d.itemID, LPARAM(text));
  if (d.CtlType == ODT_COMBOBOX && d.itemID != UINT(-1)) SendMessageW(d.hwndItem, CB_GETLBTEXT, d.itemID, LPARAM(text));
  RECT r = d.rcItem;
  SetBkMode(d.hDC, TRANSPARENT);
  SetTextColor(d.hDC, RGB(255, 255, 255));
  DrawTextW(d.hDC, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

Note Cmd(int id, int code) { return Note{WM_COMMAND, id, code}; }
Note HScroll(int code, int pos) { return Note{WM_HSCROLL, code, pos}; }

void Fill(HWND dlg) {
  for (LPCWSTR s : {u"Pear", u"apple", u"Fig", u"banana", u"Kiwi", u"lime"}) SendDlgItemMessageW(dlg, 1030, LB_ADDSTRING, 0, LPARAM(s));
  for (LPCWSTR s : {u"One", u"Two", u"Three"}) {
    LRESULT i = SendDlgItemMessageW(dlg, 1031, LB_ADDSTRING, 0, LPARAM(s));
    SendDlgItemMessageW(dlg, 1031, LB_SETITEMDATA, WPARAM(i), 100 + i);
  }
  for (LPCWSTR s : {u"Letter", u"A4", u"Legal"}) SendDlgItemMessageW(dlg, 1040, CB_ADDSTRING, 0, LPARAM(s));
  for (LPCWSTR s : {u"Red", u"Green"}) SendDlgItemMessageW(dlg, 1041, CB_ADDSTRING, 0, LPARAM(s));
  for (LPCWSTR s : {u"Solid", u"Dotted"}) SendDlgItemMessageW(dlg, 1042, CB_ADDSTRING, 0, LPARAM(s));
  SendDlgItemMessageW(dlg, 1040, CB_SETCURSEL, 0, 0);
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 10, 2, 3, 0};
  SetScrollInfo(GetDlgItem(dlg, 1050), SB_CTL, &si, FALSE);
}

INT_PTR EveryControlProc(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dlg, DWLP_USER, lParam);
      Fill(dlg);
      return TRUE;
    case WM_MEASUREITEM: {
      auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      measured.push_back(*m);
      m->itemHeight = 20;
      return TRUE;
    }
    case WM_DRAWITEM: DrawItem(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_COMMAND:
    case WM_HSCROLL: return TRUE;
    default: return FALSE;
  }
}

class DialogTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    measured.clear();
    drawn.clear();
    module_ = LoadLibraryW(kResources);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override {
    heard.reset();
    EXPECT_TRUE(FreeLibrary(module_));
    SandboxTest::TearDown();
  }

  HWND Open() {
    HWND dlg = CreateDialogParamW(module_, MAKEINTRESOURCEW(kEveryControl), nullptr, EveryControlProc, 77);
    EXPECT_NE(dlg, nullptr);
    heard = std::make_unique<SimMessageLog>(std::vector<SimWatched>{{dlg, "dialog"}});
    heard->Only({WM_COMMAND, WM_HSCROLL});
    return dlg;
  }

  HMODULE module_ = nullptr;
};

TEST_F(DialogTest, TheTemplateMakesEveryControlInOrder) {
  SimMessageLog log({nullptr});  // the dialog does not exist yet
  log.Only({WM_MEASUREITEM, WM_INITDIALOG});
  HWND dlg = Open();
  WCHAR cls[32];
  GetClassNameW(dlg, cls, 32);
  EXPECT_EQ(std::u16string(cls), u"#32770");
  EXPECT_EQ(GetWindowLongPtrW(dlg, DWLP_USER), 77);
  EXPECT_TRUE(IsWindowVisible(dlg));
  // Owner-drawn lists and combo boxes are measured while they are made, before WM_INITDIALOG.
  EXPECT_EQ(log.Difference({{dlg, WM_MEASUREITEM}, {dlg, WM_MEASUREITEM}, {dlg, WM_MEASUREITEM}, {dlg, WM_INITDIALOG}}), "");
  ASSERT_EQ(measured.size(), 3u);
  EXPECT_EQ(measured[0].CtlType, UINT(ODT_LISTBOX));
  EXPECT_EQ(measured[0].CtlID, 1031u);
  EXPECT_EQ(measured[1].CtlType, UINT(ODT_COMBOBOX));
  EXPECT_EQ(measured[1].itemID, UINT(-1));  // the selection field first
  EXPECT_EQ(measured[2].itemID, 0u);
  EXPECT_EQ(SendDlgItemMessageW(dlg, 1031, LB_GETITEMHEIGHT, 0, 0), 20);
  // The children in template order, which is the tab order.
  std::vector<int> ids;
  for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ids.push_back(GetDlgCtrlID(c));
  EXPECT_EQ(ids, (std::vector<int>{1001, 1002, 1003, 1004, 1010, 1011, 1012, 1013, 1014, 1020, 1021, 1022, 1030,
                                   1031, 1040, 1041, 1042, 1050, 1051, 1052, 1053, 1, 2}));
  // Dialog units: 6 x 13 pixels per 4 x 8 units.
  RECT r;
  GetWindowRect(GetDlgItem(dlg, 1002), &r);
  POINT origin{0, 0};
  ClientToScreen(dlg, &origin);
  EXPECT_EQ(r.left - origin.x, 75);
  EXPECT_EQ(r.top - origin.y, 10);
  EXPECT_EQ(r.right - r.left, 120);
  RECT units{0, 0, 4, 8};
  MapDialogRect(dlg, &units);
  EXPECT_EQ(units.right, 6);
  EXPECT_EQ(units.bottom, 13);
  EXPECT_EQ(GetDialogBaseUnits(), MAKELONG(8, 16));
  // WM_INITDIALOG answered TRUE: the first tab stop has the focus, its text selected.
  HWND edit = GetDlgItem(dlg, 1002);
  EXPECT_EQ(GetFocus(), edit);
  DWORD a = 9, b = 9;
  SendMessageW(edit, EM_GETSEL, WPARAM(&a), LPARAM(&b));
  EXPECT_EQ(a, 0u);
  EXPECT_EQ(b, 5u);
  EXPECT_EQ(SendMessageW(dlg, DM_GETDEFID, 0, 0), MAKELONG(1, DC_HASDEFID));
  // The icon static holds the template's icon.
  auto icon = reinterpret_cast<HICON>(SendDlgItemMessageW(dlg, 1051, STM_GETICON, 0, 0));
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(SimIconResourceId(icon), 200);
  // Sorted list and combo.
  WCHAR text[32];
  SendDlgItemMessageW(dlg, 1030, LB_GETTEXT, 0, LPARAM(text));
  EXPECT_EQ(std::u16string(text), u"apple");
  SendDlgItemMessageW(dlg, 1040, CB_GETLBTEXT, 2, LPARAM(text));
  EXPECT_EQ(std::u16string(text), u"Letter");
  GetDlgItemTextW(dlg, 1040, text, 32);
  EXPECT_EQ(std::u16string(text), u"A4");
  DestroyWindow(dlg);
  EXPECT_EQ(SimLiveWindows(), 0);
}

struct ControlCase {
  const char* name;
  std::function<void(HWND)> act;
  std::vector<Note> expected;
  std::function<void(HWND)> check;
};

HWND Item(HWND dlg, int id) { return GetDlgItem(dlg, id); }

TEST_F(DialogTest, EachActionNotifiesInThePlatformsOrder) {
  const Note editKill = Cmd(1002, EN_KILLFOCUS);
  const std::vector<ControlCase> cases = {
      {"auto check box", [](HWND d) { SimClick(Item(d, 1020)); }, {editKill, Cmd(1020, BN_CLICKED)},
       [](HWND d) { EXPECT_EQ(IsDlgButtonChecked(d, 1020), UINT(BST_CHECKED)); }},
      {"plain check box keeps its state", [](HWND d) { SimClick(Item(d, 1021)); }, {editKill, Cmd(1021, BN_CLICKED)},
       [](HWND d) { EXPECT_EQ(IsDlgButtonChecked(d, 1021), UINT(BST_UNCHECKED)); }},
      {"auto radio button",
       [](HWND d) {
         CheckDlgButton(d, 1011, BST_CHECKED);
         CheckDlgButton(d, 1014, BST_CHECKED);
         SimClick(Item(d, 1012));
       },
       {editKill, Cmd(1012, BN_CLICKED)},
       [](HWND d) {
         EXPECT_EQ(IsDlgButtonChecked(d, 1012), UINT(BST_CHECKED));
         EXPECT_EQ(IsDlgButtonChecked(d, 1011), UINT(BST_UNCHECKED));
         EXPECT_EQ(IsDlgButtonChecked(d, 1014), UINT(BST_UNCHECKED));  // same group
       }},
      {"group box takes no click", [](HWND d) { SimClick(Item(d, 1010)); }, {}, nullptr},
      {"disabled button is refused",
       [](HWND d) {
         EnableWindow(Item(d, 1020), FALSE);
         EXPECT_FALSE(SimClick(Item(d, 1020)));
       },
       {}, [](HWND d) { EXPECT_EQ(SimRefusedActions().back().control, Item(d, 1020)); }},
      {"owner-drawn button", [](HWND d) { SimClick(Item(d, 1022)); }, {editKill, Cmd(1022, BN_CLICKED)}, nullptr},
      {"number edit refuses letters",
       [](HWND d) { SimType(Item(d, 1003), u"12a3"); },
       {editKill, Cmd(1003, EN_SETFOCUS), Cmd(1003, EN_UPDATE), Cmd(1003, EN_CHANGE), Cmd(1003, EN_UPDATE),
        Cmd(1003, EN_CHANGE), Cmd(1003, EN_UPDATE), Cmd(1003, EN_CHANGE)},
       [](HWND d) {
         BOOL ok = FALSE;
         EXPECT_EQ(GetDlgItemInt(d, 1003, &ok, FALSE), 123u);
         EXPECT_TRUE(ok);
         EXPECT_EQ(SimBeeps().size(), 1u);
       }},
      {"read-only edit takes no typing", [](HWND d) { SimType(Item(d, 1004), u"xy"); },
       {editKill, Cmd(1004, EN_SETFOCUS)},
       [](HWND d) {
         WCHAR t[16];
         GetDlgItemTextW(d, 1004, t, 16);
         EXPECT_EQ(std::u16string(t), u"fixed");
       }},
      {"typing replaces the selection up to the limit",
       [](HWND d) {
         SendDlgItemMessageW(d, 1002, EM_LIMITTEXT, 3, 0);
         SimType(Item(d, 1002), u"abcd");
       },
       {Cmd(1002, EN_UPDATE), Cmd(1002, EN_CHANGE), Cmd(1002, EN_UPDATE), Cmd(1002, EN_CHANGE), Cmd(1002, EN_UPDATE),
        Cmd(1002, EN_CHANGE), Cmd(1002, EN_MAXTEXT)},
       [](HWND d) {
         WCHAR t[16];
         GetDlgItemTextW(d, 1002, t, 16);
         EXPECT_EQ(std::u16string(t), u"abc");
         EXPECT_TRUE(SendDlgItemMessageW(d, 1002, EM_GETMODIFY, 0, 0));
       }},
      {"list selection", [](HWND d) { SimSelectList(Item(d, 1030), 2); },
       {editKill, Cmd(1030, LBN_SETFOCUS), Cmd(1030, LBN_SELCHANGE)},
       [](HWND d) { EXPECT_EQ(SendDlgItemMessageW(d, 1030, LB_GETCURSEL, 0, 0), 2); }},
      {"list line out of view is scrolled to", [](HWND d) { SimSelectList(Item(d, 1030), 5); },
       {editKill, Cmd(1030, LBN_SETFOCUS), Cmd(1030, LBN_SELCHANGE)},
       [](HWND d) {
         EXPECT_EQ(SendDlgItemMessageW(d, 1030, LB_GETCURSEL, 0, 0), 5);
         EXPECT_GT(SendDlgItemMessageW(d, 1030, LB_GETTOPINDEX, 0, 0), 0);
       }},
      {"list double click", [](HWND d) { SimDoubleClickList(Item(d, 1031), 1); },
       {editKill, Cmd(1031, LBN_SETFOCUS), Cmd(1031, LBN_SELCHANGE), Cmd(1031, LBN_DBLCLK)},
       [](HWND d) { EXPECT_EQ(SendDlgItemMessageW(d, 1031, LB_GETITEMDATA, 1, 0), 101); }},
      {"list keys move the selection",
       [](HWND d) {
         SimSelectList(Item(d, 1030), 0);
         heard->Clear();
         SimKey(d, VK_DOWN);
         SimKey(d, VK_END);
         SimKey(d, VK_END);
       },
       {Cmd(1030, LBN_SELCHANGE), Cmd(1030, LBN_SELCHANGE)},
       [](HWND d) { EXPECT_EQ(SendDlgItemMessageW(d, 1030, LB_GETCURSEL, 0, 0), 5); }},
      {"combo pick", [](HWND d) { SimPickCombo(Item(d, 1040), 1); },
       {editKill, Cmd(1040, CBN_SETFOCUS), Cmd(1040, CBN_DROPDOWN), Cmd(1040, CBN_SELCHANGE), Cmd(1040, CBN_SELENDOK),
        Cmd(1040, CBN_CLOSEUP)},
       [](HWND d) {
         WCHAR t[16];
         GetDlgItemTextW(d, 1040, t, 16);
         EXPECT_EQ(std::u16string(t), u"Legal");
         EXPECT_FALSE(SendDlgItemMessageW(d, 1040, CB_GETDROPPEDSTATE, 0, 0));
       }},
      {"combo dropped and closed without a choice", [](HWND d) { SimCancelCombo(Item(d, 1040)); },
       {editKill, Cmd(1040, CBN_SETFOCUS), Cmd(1040, CBN_DROPDOWN), Cmd(1040, CBN_SELENDCANCEL), Cmd(1040, CBN_CLOSEUP)},
       [](HWND d) { EXPECT_EQ(SendDlgItemMessageW(d, 1040, CB_GETCURSEL, 0, 0), 0); }},
      {"combo key without dropping",
       [](HWND d) {
         SimFocus(Item(d, 1040));
         SimKey(d, VK_DOWN);
       },
       {editKill, Cmd(1040, CBN_SETFOCUS), Cmd(1040, CBN_SELCHANGE), Cmd(1040, CBN_SELENDOK)},
       [](HWND d) { EXPECT_EQ(SendDlgItemMessageW(d, 1040, CB_GETCURSEL, 0, 0), 1); }},
      {"typing in a drop-down combo", [](HWND d) { SimType(Item(d, 1041), u"Bl"); },
       {editKill, Cmd(1041, CBN_SETFOCUS), Cmd(1041, CBN_EDITUPDATE), Cmd(1041, CBN_EDITCHANGE),
        Cmd(1041, CBN_EDITUPDATE), Cmd(1041, CBN_EDITCHANGE)},
       [](HWND d) {
         WCHAR t[16];
         GetDlgItemTextW(d, 1041, t, 16);
         EXPECT_EQ(std::u16string(t), u"Bl");
       }},
      {"scroll bar line", [](HWND d) { SimScroll(Item(d, 1050), SB_LINEDOWN, 0); },
       {HScroll(SB_LINEDOWN, 0), HScroll(SB_ENDSCROLL, 0)},
       [](HWND d) { EXPECT_EQ(GetScrollPos(Item(d, 1050), SB_CTL), 3); }},  // the owner moves the bar
      {"scroll bar thumb", [](HWND d) { SimScroll(Item(d, 1050), SB_THUMBPOSITION, 7); },
       {HScroll(SB_THUMBPOSITION, 7), HScroll(SB_ENDSCROLL, 0)}, nullptr},
      {"Tab moves to the next tab stop", [](HWND d) { SimKey(d, VK_TAB); },
       {editKill, Cmd(1003, EN_SETFOCUS)}, [](HWND d) { EXPECT_EQ(GetFocus(), Item(d, 1003)); }},
      {"Shift+Tab wraps to the last tab stop",
       [](HWND d) {
         SimSetKeyState(VK_SHIFT, true);
         SimKey(d, VK_TAB);
         SimSetKeyState(VK_SHIFT, false);
       },
       {editKill}, [](HWND d) { EXPECT_EQ(GetFocus(), Item(d, IDCANCEL)); }},
      {"Tab skips disabled and hidden controls",
       [](HWND d) {
         EnableWindow(Item(d, 1003), FALSE);
         ShowWindow(Item(d, 1004), SW_HIDE);
         SimKey(d, VK_TAB);
       },
       {editKill}, [](HWND d) { EXPECT_EQ(GetFocus(), Item(d, 1011)); }},
      {"arrows move within the radio group and click",
       [](HWND d) {
         SimFocus(Item(d, 1011));
         SimKey(d, VK_DOWN);
       },
       {editKill, Cmd(1012, BN_CLICKED)},
       [](HWND d) {
         EXPECT_EQ(GetFocus(), Item(d, 1012));
         EXPECT_EQ(IsDlgButtonChecked(d, 1012), UINT(BST_CHECKED));
       }},
      {"arrows wrap round the group",
       [](HWND d) {
         SimFocus(Item(d, 1011));
         SimKey(d, VK_UP);
       },
       {editKill}, [](HWND d) { EXPECT_EQ(GetFocus(), Item(d, 1014)); }},  // a plain radio button is not clicked
      {"Enter sends the default button", [](HWND d) { SimKey(d, VK_RETURN); }, {Cmd(IDOK, BN_CLICKED)}, nullptr},
      {"Enter on a push button sends that button",
       [](HWND d) {
         SimFocus(Item(d, IDCANCEL));
         SimKey(d, VK_RETURN);
       },
       {editKill, Cmd(IDCANCEL, BN_CLICKED)}, nullptr},
      {"Escape sends IDCANCEL", [](HWND d) { SimKey(d, VK_ESCAPE); }, {Cmd(IDCANCEL, BN_CLICKED)}, nullptr},
      {"Space presses the focused button",
       [](HWND d) {
         SimFocus(Item(d, 1020));
         SimKey(d, VK_SPACE);
       },
       {editKill, Cmd(1020, BN_CLICKED)},
       [](HWND d) { EXPECT_EQ(IsDlgButtonChecked(d, 1020), UINT(BST_CHECKED)); }},
      {"disabling the focused edit takes its focus", [](HWND d) { EnableWindow(Item(d, 1002), FALSE); }, {editKill},
       [](HWND) { EXPECT_EQ(GetFocus(), nullptr); }},
  };
  for (const ControlCase& c : cases) {
    SCOPED_TRACE(c.name);
    SimReset();
    SimSetInstantSleep(TRUE);
    HWND dlg = Open();
    c.act(dlg);
    EXPECT_EQ(heard->Difference(Heard(dlg, c.expected)), "");
    if (c.check) c.check(dlg);
    DestroyWindow(dlg);
  }
}

bool HasText(const std::vector<SimDrawnText>& texts, HWND hwnd, const std::u16string& text) {
  for (const SimDrawnText& t : texts)
    if (t.hwnd == hwnd && t.text == text) return true;
  return false;
}

TEST_F(DialogTest, WhatAPersonSeesIsReadBackAfterThePaint) {
  HWND dlg = Open();
  HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCEW(400));
  ASSERT_NE(bitmap, nullptr);
  SendDlgItemMessageW(dlg, 1053, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  SimPaint(dlg);
  std::vector<SimDrawnText> texts = SimDrawnTexts(dlg);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].hwnd, dlg);
  EXPECT_EQ(texts[0].text, u"Every control") << "the caption on the frame comes first";
  for (auto [id, text] : std::initializer_list<std::pair<int, std::u16string>>{
           {1001, u"Name:"}, {1002, u"Draft"}, {1010, u"Size"}, {1011, u"Small"}, {1020, u"Duplex"},
           {1022, u"drawn"},  // the owner's drawing of an owner-drawn button
           {1031, u"One"}, {1031, u"Three"},  // owner-drawn list items
           {1040, u"A4"}, {IDOK, u"OK"}, {IDCANCEL, u"Cancel"}}) {
    SCOPED_TRACE(Utf16ToUtf8(text));
    EXPECT_TRUE(HasText(texts, GetDlgItem(dlg, id), text));
  }
  // Where a text lies, in its window's client coordinates.
  for (const SimDrawnText& t : texts)
    if (t.hwnd == GetDlgItem(dlg, 1001)) {
      RECT client;
      GetClientRect(t.hwnd, &client);
      EXPECT_GE(t.rect.left, client.left);
      EXPECT_LE(t.rect.right, client.right);
      EXPECT_GT(t.rect.right, t.rect.left);
    }
  std::vector<SimDrawnPicture> pictures = SimDrawnPictures(dlg);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].hwnd, GetDlgItem(dlg, 1051));
  EXPECT_EQ(pictures[0].kind, SimDrawnPicture::Icon);
  EXPECT_EQ(pictures[0].resourceId, 200);
  EXPECT_EQ(pictures[0].module, module_);
  EXPECT_EQ(pictures[1].hwnd, GetDlgItem(dlg, 1053));
  EXPECT_EQ(pictures[1].kind, SimDrawnPicture::Bitmap);
  EXPECT_EQ(pictures[1].resourceId, 400);

  // A new paint replaces what the last one drew; a hidden control shows nothing.
  SetDlgItemTextW(dlg, IDOK, u"Done");
  ShowWindow(GetDlgItem(dlg, 1002), SW_HIDE);
  SimPaint(dlg);
  texts = SimDrawnTexts(dlg);
  EXPECT_FALSE(HasText(texts, GetDlgItem(dlg, IDOK), u"OK"));
  EXPECT_TRUE(HasText(texts, GetDlgItem(dlg, IDOK), u"Done"));
  EXPECT_FALSE(HasText(texts, GetDlgItem(dlg, 1002), u"Draft"));
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const SimDrawnText& t) { return t.text == u"Done"; }), 1);
  EXPECT_EQ(SimDrawnPictures(dlg).size(), 2u);
  // Drawing into a memory DC is no window's.
  HDC memory = CreateCompatibleDC(nullptr);
  TextOutW(memory, 0, 0, u"offscreen", 9);
  DeleteDC(memory);
  texts = SimDrawnTexts(dlg);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const SimDrawnText& t) { return t.text == u"offscreen"; }), 0);
  DestroyWindow(dlg);
  DeleteObject(bitmap);
  EXPECT_TRUE(SimDrawnTexts(dlg).empty());
}

TEST_F(DialogTest, TheTemplateADialogWasMadeFromIsKnown) {
  HWND numbered = Open();
  EXPECT_EQ(SimDialogTemplate(numbered), (SimDialogSource{module_, kEveryControl, u""}));
  HWND named = CreateDialogParamW(module_, u"named", nullptr, EveryControlProc, 0);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(SimDialogTemplate(named), (SimDialogSource{module_, 0, u"named"}));
  EXPECT_EQ(SimDialogTemplate(GetDlgItem(numbered, IDOK)), SimDialogSource{}) << "a control is no dialog";
  WORD modalTemplate = 0;
  SimOnDialog(101, [&](HWND modal) {
    SimDialogSource source = SimDialogTemplate(modal);
    modalTemplate = source.module == module_ ? source.id : 0;
    EndDialog(modal, IDOK);
  });
  EXPECT_EQ(DialogBoxParamW(module_, MAKEINTRESOURCEW(101), numbered, EveryControlProc, 0), IDOK);
  EXPECT_EQ(modalTemplate, 101);
  DestroyWindow(named);
  DestroyWindow(numbered);
  EXPECT_EQ(SimDialogTemplate(numbered), SimDialogSource{}) << "gone";
}

TEST_F(DialogTest, NothingIsLeftAlive) {
  int objects = SimLiveGdiObjects();
  HWND dlg = Open();
  EXPECT_EQ(SimLiveGdiObjects(), objects + 2);  // the icon and the dialog's font
  SimPickCombo(GetDlgItem(dlg, 1040), 2);
  SimType(GetDlgItem(dlg, 1002), u"x");
  SetTimer(dlg, 5, 100, nullptr);
  EXPECT_EQ(SimLiveTimers(), 1);
  DestroyWindow(dlg);
  EXPECT_EQ(SimLiveWindows(), 0);
  EXPECT_EQ(SimLiveTimers(), 0);
  EXPECT_EQ(SimLiveGdiObjects(), objects);
}

INT_PTR ResultProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
  if (msg == WM_INITDIALOG) return FALSE;  // leaves the focus alone
  if (msg == WM_USER + 5) {
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 42);
    return TRUE;
  }
  if (msg == WM_USER + 6) {
    SetWindowLongPtrW(dlg, DWLP_MSGRESULT, 42);
    return FALSE;  // default handling: the result set is not the answer
  }
  if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) return EndDialog(dlg, 9);
  return FALSE;
}

TEST_F(DialogTest, TheDefaultProcedureAnswersFromTheMessageResult) {
  HWND dlg = CreateDialogParamW(module_, MAKEINTRESOURCEW(kEveryControl), nullptr, ResultProc, 0);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SendMessageW(dlg, WM_USER + 5, 0, 0), 42);
  EXPECT_EQ(SendMessageW(dlg, WM_USER + 6, 0, 0), 0);
  SendMessageW(dlg, DM_SETDEFID, IDCANCEL, 0);
  EXPECT_EQ(LOWORD(SendMessageW(dlg, DM_GETDEFID, 0, 0)), IDCANCEL);
  EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongW(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  // A modeless dialog ended stays until it is destroyed; it is hidden.
  SimClick(GetDlgItem(dlg, IDOK));
  EXPECT_TRUE(IsWindow(dlg));
  EXPECT_FALSE(IsWindowVisible(dlg));
  DestroyWindow(dlg);
}

TEST_F(DialogTest, MissingTemplatesAreRefused) {
  EXPECT_EQ(DialogBoxParamW(module_, MAKEINTRESOURCEW(999), nullptr, ResultProc, 0), -1);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(CreateDialogParamW(module_, MAKEINTRESOURCEW(999), nullptr, ResultProc, 0), nullptr);
  EXPECT_EQ(SimLiveWindows(), 0);
}

TEST_F(DialogTest, ItemCallsReadAndWriteTheControls) {
  HWND dlg = Open();
  struct IntCase {
    const char16_t* text;
    BOOL isSigned;
    UINT value;
    BOOL ok;
  };
  const IntCase ints[] = {
      {u"  42 ", FALSE, 42, TRUE},         {u"-7", TRUE, UINT(-7), TRUE}, {u"-7", FALSE, 0, FALSE},
      {u"12x", FALSE, 0, FALSE},           {u"", FALSE, 0, FALSE},        {u"4294967295", FALSE, 4294967295u, TRUE},
      {u"4294967296", FALSE, 0, FALSE},    {u"2147483648", TRUE, 0, FALSE},
  };
  for (const IntCase& c : ints) {
    SetDlgItemTextW(dlg, 1002, c.text);
    BOOL ok = 2;
    EXPECT_EQ(GetDlgItemInt(dlg, 1002, &ok, c.isSigned), c.value) << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
    EXPECT_EQ(ok, c.ok);
  }
  SetDlgItemInt(dlg, 1002, UINT(-15), TRUE);
  WCHAR t[16];
  GetDlgItemTextW(dlg, 1002, t, 16);
  EXPECT_EQ(std::u16string(t), u"-15");
  CheckRadioButton(dlg, 1011, 1014, 1013);
  EXPECT_EQ(IsDlgButtonChecked(dlg, 1013), UINT(BST_CHECKED));
  CheckRadioButton(dlg, 1011, 1014, 1014);
  EXPECT_EQ(IsDlgButtonChecked(dlg, 1013), UINT(BST_UNCHECKED));
  EXPECT_EQ(GetDlgItem(dlg, 4242), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_CONTROL_ID_NOT_FOUND));
  EXPECT_EQ(GetNextDlgGroupItem(dlg, GetDlgItem(dlg, 1013), FALSE), GetDlgItem(dlg, 1014));
  EXPECT_EQ(GetNextDlgTabItem(dlg, GetDlgItem(dlg, 1011), FALSE), GetDlgItem(dlg, 1020));
  DestroyWindow(dlg);
}

TEST_F(DialogTest, EditMessages) {
  HWND dlg = Open();
  HWND e = GetDlgItem(dlg, 1002);
  SetWindowTextW(e, u"Hello world");
  EXPECT_EQ(heard->Difference(Heard(dlg, {Cmd(1002, EN_UPDATE), Cmd(1002, EN_CHANGE)})), "");
  EXPECT_FALSE(SendMessageW(e, EM_GETMODIFY, 0, 0));
  SendMessageW(e, EM_SETSEL, 6, -1);
  SendMessageW(e, EM_REPLACESEL, TRUE, LPARAM(u"there"));
  WCHAR t[32];
  GetWindowTextW(e, t, 32);
  EXPECT_EQ(std::u16string(t), u"Hello there");
  EXPECT_TRUE(SendMessageW(e, EM_CANUNDO, 0, 0));
  SendMessageW(e, EM_UNDO, 0, 0);
  GetWindowTextW(e, t, 32);
  EXPECT_EQ(std::u16string(t), u"Hello world");
  SendMessageW(e, EM_SETSEL, 8, 2);  // reversed: answered in order
  DWORD a, b;
  SendMessageW(e, EM_GETSEL, WPARAM(&a), LPARAM(&b));
  EXPECT_EQ(a, 2u);
  EXPECT_EQ(b, 8u);
  SendMessageW(e, EM_SETREADONLY, TRUE, 0);
  EXPECT_TRUE(GetWindowLongW(e, GWL_STYLE) & ES_READONLY);
  SendMessageW(e, EM_SETPASSWORDCHAR, u'#', 0);
  EXPECT_EQ(SendMessageW(e, EM_GETPASSWORDCHAR, 0, 0), u'#');
  GetWindowTextW(e, t, 32);
  EXPECT_EQ(std::u16string(t), u"Hello world");  // the real text still
  EXPECT_EQ(SendMessageW(e, EM_GETLIMITTEXT, 0, 0), LRESULT(kEditDefaultLimit));
  DestroyWindow(dlg);
}

TEST_F(DialogTest, ListAndComboMessages) {
  HWND dlg = Open();
  HWND list = GetDlgItem(dlg, 1030);  // apple banana Fig Kiwi lime Pear
  EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, WPARAM(-1), LPARAM(u"KI")), 3);
  EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(u"lim")), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, 4, LPARAM(u"a")), 0);  // wraps round
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 9, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
  SendMessageW(list, LB_SETCURSEL, 3, 0);
  EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 1, 0), 5);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);  // followed its item
  EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 9, LPARAM(u"x")), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, WPARAM(-1), LPARAM(u"zz")), 5);
  EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 5, 0), 2);
  EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 7, 0), LB_ERR);
  EXPECT_TRUE(heard->Messages().empty());  // messages do not notify
  HWND combo = GetDlgItem(dlg, 1041);
  EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(u"green")), 1);
  SendMessageW(combo, CB_SETMINVISIBLE, 5, 0);
  EXPECT_EQ(SendMessageW(combo, CB_GETMINVISIBLE, 0, 0), 5);
  SetWindowTextW(combo, u"typed");
  WCHAR t[16];
  GetWindowTextW(combo, t, 16);
  EXPECT_EQ(std::u16string(t), u"typed");
  EXPECT_EQ(SendDlgItemMessageW(dlg, 1040, WM_SETTEXT, 0, LPARAM(u"none")), CB_ERR);  // drop-down lists only select
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_EQ(heard->Difference(Heard(dlg, {Cmd(1041, CBN_DROPDOWN), Cmd(1041, CBN_CLOSEUP)})), "");
  DestroyWindow(dlg);
}

TEST_F(DialogTest, ADroppedListLiesBelowTheField) {
  // The box grows by its visible lines while dropped (at most the minimum visible count) and
  // lies over the controls below it; closing gives back the field's height.
  HWND dlg = Open();
  HWND combo = GetDlgItem(dlg, 1041);
  RECT closed{};
  GetWindowRect(combo, &closed);
  const HWND next = GetWindow(combo, GW_HWNDNEXT);
  const LONG count = LONG(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  const LONG item = LONG(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(count, 1);
  SendMessageW(combo, CB_SETMINVISIBLE, 2, 0);
  SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  RECT dropped{};
  GetWindowRect(combo, &dropped);
  EXPECT_EQ(dropped.bottom - dropped.top, closed.bottom - closed.top + 2 * item + 2);
  EXPECT_EQ(GetWindow(dlg, GW_CHILD), combo) << "the dropped box is on top";
  SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  RECT again{};
  GetWindowRect(combo, &again);
  EXPECT_EQ(again.bottom - again.top, closed.bottom - closed.top);
  EXPECT_EQ(GetWindow(combo, GW_HWNDNEXT), next) << "closed, the box is back in its tab order";
  DestroyWindow(dlg);
}

// A combo box's scroll styles are its drop-down list's: its own frame holds no scroll bar, so it
// looks and measures the same with them as without.
TEST_F(DialogTest, AComboBoxDrawsNoScrollBarOfItsOwn) {
  HWND dlg = Open();
  HWND boxes[2] = {};
  const DWORD scroll[2] = {0, WS_VSCROLL | WS_HSCROLL};
  for (int i = 0; i < 2; ++i) {
    boxes[i] = CreateWindowExW(0, WC_COMBOBOXW, u"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | scroll[i], 10, 150 + 30 * i,
                               90, 80, dlg, reinterpret_cast<HMENU>(ULONG_PTR(2000 + i)), nullptr, nullptr);
    ASSERT_NE(boxes[i], nullptr);
    SendMessageW(boxes[i], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Flatbed"));
    SendMessageW(boxes[i], CB_SETCURSEL, 0, 0);
  }
  RECT plain{}, scrolled{};
  GetClientRect(boxes[0], &plain);
  GetClientRect(boxes[1], &scrolled);
  EXPECT_TRUE(EqualRect(&plain, &scrolled));
  ReferenceImage pictures[2];
  for (int i = 0; i < 2; ++i) ASSERT_TRUE(SimWindowPicture(boxes[i], pictures[i]));
  EXPECT_EQ(CompareReferenceImages(pictures[0], pictures[1], 0), 0.0);
  // A list box's scroll bar stays in its frame.
  HWND list = CreateWindowExW(0, WC_LISTBOXW, u"", WS_CHILD | WS_VISIBLE | WS_VSCROLL, 120, 150, 90, 80, dlg, nullptr,
                              nullptr, nullptr);
  RECT listClient{};
  GetClientRect(list, &listClient);
  EXPECT_EQ(listClient.right, 90 - kScrollBarSize);
  DestroyWindow(dlg);
}

TEST_F(DialogTest, ScrollBarsClampToTheirRangeAndPage) {
  HWND dlg = Open();
  HWND bar = GetDlgItem(dlg, 1050);
  EXPECT_EQ(SetScrollPos(bar, SB_CTL, 50, FALSE), 3);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 9);  // max 10 less page 2 plus one
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &si));
  EXPECT_EQ(si.nPage, 2u);
  EXPECT_EQ(SendMessageW(bar, SBM_SETRANGE, 20, 30), 9);
  EXPECT_EQ(SendMessageW(bar, SBM_GETPOS, 0, 0), 20);
  int lo, hi;
  GetScrollRange(bar, SB_CTL, &lo, &hi);
  EXPECT_EQ(lo, 20);
  EXPECT_EQ(hi, 30);
  // A window's own bar.
  HWND list = GetDlgItem(dlg, 1030);
  SetScrollRange(list, SB_VERT, 0, 5, FALSE);
  SetScrollPos(list, SB_VERT, 4, FALSE);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 4);
  DestroyWindow(dlg);
}

// The kept picture of the dialog; rewrite it after an intended change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_platform_user --gtest_filter='DialogTest.Screenshot*'
std::string Fixture() { return std::string(QV_SOURCE_DIR) + "/tests/platform/user/data/every_control.png"; }
// Channels may differ by this much (text edges), and this share of pixels by more.
constexpr int kChannelTolerance = 48;
constexpr double kDifferingShare = 0.01;

void SetStates(HWND dlg) {
  CheckDlgButton(dlg, 1020, BST_CHECKED);
  CheckDlgButton(dlg, 1021, BST_INDETERMINATE);
  CheckRadioButton(dlg, 1011, 1014, 1012);
  SendDlgItemMessageW(dlg, 1030, LB_SETCURSEL, 1, 0);
  SendDlgItemMessageW(dlg, 1031, LB_SETCURSEL, 2, 0);
  SendDlgItemMessageW(dlg, 1042, CB_SETCURSEL, 1, 0);
  SetDlgItemTextW(dlg, 1003, u"250");
}

TEST_F(DialogTest, ScreenshotShowsEveryControl) {
  HWND dlg = Open();
  SetStates(dlg);
  ReferenceImage picture;
  ASSERT_TRUE(SimWindowPicture(dlg, picture));
  // Owner-drawn parts are drawn by the owner: the button, the static, each list line and the
  // combo box's selection field.
  std::vector<std::pair<UINT, UINT>> kinds;
  for (const DRAWITEMSTRUCT& d : drawn) kinds.emplace_back(d.CtlID, d.itemID);
  EXPECT_EQ(kinds, (std::vector<std::pair<UINT, UINT>>{{1052, 0}, {1042, 1}, {1031, 0}, {1031, 1}, {1031, 2}, {1022, 0}}));
  EXPECT_TRUE(drawn[1].itemState & ODS_COMBOBOXEDIT);
  EXPECT_TRUE(drawn[4].itemState & ODS_SELECTED);
  // The caption bar's far end in the caption colour (0x00RRGGBB).
  EXPECT_EQ(picture.pixels[size_t(8) * size_t(picture.width) + size_t(picture.width - 8)], 0x0A246Au);
  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(picture, Fixture()));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(Fixture(), kept)) << Fixture();
  EXPECT_LE(CompareReferenceImages(picture, kept, kChannelTolerance), kDifferingShare);
  // Another state is seen as another picture.
  CheckDlgButton(dlg, 1020, BST_UNCHECKED);
  SendDlgItemMessageW(dlg, 1030, LB_SETCURSEL, 4, 0);
  SetDlgItemTextW(dlg, 1002, u"Changed text here");
  ReferenceImage other;
  ASSERT_TRUE(SimWindowPicture(dlg, other));
  EXPECT_GT(CompareReferenceImages(other, kept, kChannelTolerance), 0.0);
  DestroyWindow(dlg);
}

}  // namespace
