// Readable names of messages and notices, for the message log's reports (see message_names.h).
#include "platform/user/message_names.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/base/text.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"

namespace {

#define NAMED(m) MessageName{m, #m}

// The system's messages and those of the standard controls: their numbers are distinct.
constexpr MessageName kSystemNames[] = {
    NAMED(BM_CLICK),
    NAMED(BM_GETCHECK),
    NAMED(BM_GETIMAGE),
    NAMED(BM_GETSTATE),
    NAMED(BM_SETCHECK),
    NAMED(BM_SETIMAGE),
    NAMED(BM_SETSTATE),
    NAMED(BM_SETSTYLE),
    NAMED(CB_ADDSTRING),
    NAMED(CB_DELETESTRING),
    NAMED(CB_FINDSTRING),
    NAMED(CB_FINDSTRINGEXACT),
    NAMED(CB_GETCOUNT),
    NAMED(CB_GETCURSEL),
    NAMED(CB_GETDROPPEDSTATE),
    NAMED(CB_GETEDITSEL),
    NAMED(CB_GETITEMDATA),
    NAMED(CB_GETITEMHEIGHT),
    NAMED(CB_GETLBTEXT),
    NAMED(CB_GETLBTEXTLEN),
    NAMED(CB_GETMINVISIBLE),
    NAMED(CB_GETTOPINDEX),
    NAMED(CB_INSERTSTRING),
    NAMED(CB_LIMITTEXT),
    NAMED(CB_RESETCONTENT),
    NAMED(CB_SELECTSTRING),
    NAMED(CB_SETCURSEL),
    NAMED(CB_SETEDITSEL),
    NAMED(CB_SETITEMDATA),
    NAMED(CB_SETITEMHEIGHT),
    NAMED(CB_SETMINVISIBLE),
    NAMED(CB_SETTOPINDEX),
    NAMED(CB_SHOWDROPDOWN),
    NAMED(EM_CANUNDO),
    NAMED(EM_EMPTYUNDOBUFFER),
    NAMED(EM_GETLIMITTEXT),
    NAMED(EM_GETLINECOUNT),
    NAMED(EM_GETMODIFY),
    NAMED(EM_GETPASSWORDCHAR),
    NAMED(EM_GETSEL),
    NAMED(EM_LIMITTEXT),
    NAMED(EM_REPLACESEL),
    NAMED(EM_SETMODIFY),
    NAMED(EM_SETPASSWORDCHAR),
    NAMED(EM_SETREADONLY),
    NAMED(EM_SETSEL),
    NAMED(EM_UNDO),
    NAMED(LB_ADDSTRING),
    NAMED(LB_DELETESTRING),
    NAMED(LB_FINDSTRING),
    NAMED(LB_FINDSTRINGEXACT),
    NAMED(LB_GETCARETINDEX),
    NAMED(LB_GETCOUNT),
    NAMED(LB_GETCURSEL),
    NAMED(LB_GETITEMDATA),
    NAMED(LB_GETITEMHEIGHT),
    NAMED(LB_GETITEMRECT),
    NAMED(LB_GETSEL),
    NAMED(LB_GETTEXT),
    NAMED(LB_GETTEXTLEN),
    NAMED(LB_GETTOPINDEX),
    NAMED(LB_INSERTSTRING),
    NAMED(LB_ITEMFROMPOINT),
    NAMED(LB_RESETCONTENT),
    NAMED(LB_SELECTSTRING),
    NAMED(LB_SETCARETINDEX),
    NAMED(LB_SETCURSEL),
    NAMED(LB_SETITEMDATA),
    NAMED(LB_SETITEMHEIGHT),
    NAMED(LB_SETTABSTOPS),
    NAMED(LB_SETTOPINDEX),
    NAMED(SBM_ENABLE_ARROWS),
    NAMED(SBM_GETPOS),
    NAMED(SBM_GETRANGE),
    NAMED(SBM_GETSCROLLINFO),
    NAMED(SBM_SETPOS),
    NAMED(SBM_SETRANGE),
    NAMED(SBM_SETRANGEREDRAW),
    NAMED(SBM_SETSCROLLINFO),
    NAMED(STM_GETICON),
    NAMED(STM_GETIMAGE),
    NAMED(STM_SETICON),
    NAMED(STM_SETIMAGE),
    NAMED(WM_ACTIVATE),
    NAMED(WM_CHAR),
    NAMED(WM_CHARTOITEM),
    NAMED(WM_CLEAR),
    NAMED(WM_CLOSE),
    NAMED(WM_COMMAND),
    NAMED(WM_COMPAREITEM),
    NAMED(WM_CONTEXTMENU),
    NAMED(WM_COPY),
    NAMED(WM_COPYDATA),
    NAMED(WM_CREATE),
    NAMED(WM_CTLCOLORBTN),
    NAMED(WM_CTLCOLORDLG),
    NAMED(WM_CTLCOLOREDIT),
    NAMED(WM_CTLCOLORLISTBOX),
    NAMED(WM_CTLCOLORMSGBOX),
    NAMED(WM_CTLCOLORSCROLLBAR),
    NAMED(WM_CTLCOLORSTATIC),
    NAMED(WM_CUT),
    NAMED(WM_DELETEITEM),
    NAMED(WM_DESTROY),
    NAMED(WM_DRAWITEM),
    NAMED(WM_ENABLE),
    NAMED(WM_ENTERIDLE),
    NAMED(WM_ENTERMENULOOP),
    NAMED(WM_ERASEBKGND),
    NAMED(WM_EXITMENULOOP),
    NAMED(WM_GETDLGCODE),
    NAMED(WM_GETFONT),
    NAMED(WM_GETICON),
    NAMED(WM_GETMINMAXINFO),
    NAMED(WM_GETTEXT),
    NAMED(WM_GETTEXTLENGTH),
    NAMED(WM_HELP),
    NAMED(WM_HSCROLL),
    NAMED(WM_INITDIALOG),
    NAMED(WM_INITMENU),
    NAMED(WM_INITMENUPOPUP),
    NAMED(WM_KEYDOWN),
    NAMED(WM_KEYUP),
    NAMED(WM_KILLFOCUS),
    NAMED(WM_LBUTTONDBLCLK),
    NAMED(WM_LBUTTONDOWN),
    NAMED(WM_LBUTTONUP),
    NAMED(WM_MEASUREITEM),
    NAMED(WM_MENUSELECT),
    NAMED(WM_MOUSEACTIVATE),
    NAMED(WM_MOUSEMOVE),
    NAMED(WM_MOVE),
    NAMED(WM_NCCALCSIZE),
    NAMED(WM_NCCREATE),
    NAMED(WM_NCDESTROY),
    NAMED(WM_NCHITTEST),
    NAMED(WM_NCPAINT),
    NAMED(WM_NEXTDLGCTL),
    NAMED(WM_NOTIFY),
    NAMED(WM_NOTIFYFORMAT),
    NAMED(WM_NULL),
    NAMED(WM_PAINT),
    NAMED(WM_PALETTECHANGED),
    NAMED(WM_PARENTNOTIFY),
    NAMED(WM_PASTE),
    NAMED(WM_QUERYDRAGICON),
    NAMED(WM_QUERYNEWPALETTE),
    NAMED(WM_QUIT),
    NAMED(WM_RBUTTONDOWN),
    NAMED(WM_RBUTTONUP),
    NAMED(WM_SETCURSOR),
    NAMED(WM_SETFOCUS),
    NAMED(WM_SETFONT),
    NAMED(WM_SETICON),
    NAMED(WM_SETREDRAW),
    NAMED(WM_SETTEXT),
    NAMED(WM_SHOWWINDOW),
    NAMED(WM_SIZE),
    NAMED(WM_STYLECHANGED),
    NAMED(WM_STYLECHANGING),
    NAMED(WM_SYSCHAR),
    NAMED(WM_SYSCOLORCHANGE),
    NAMED(WM_SYSCOMMAND),
    NAMED(WM_SYSKEYDOWN),
    NAMED(WM_SYSKEYUP),
    NAMED(WM_TIMER),
    NAMED(WM_UNDO),
    NAMED(WM_VKEYTOITEM),
    NAMED(WM_VSCROLL),
    NAMED(WM_WINDOWPOSCHANGED),
    NAMED(WM_WINDOWPOSCHANGING),
};

// Messages of WM_USER and above mean something only to the class that receives them.
constexpr MessageName kDialogNames[] = {NAMED(DM_GETDEFID), NAMED(DM_SETDEFID)};

#undef NAMED

struct ClassNames {
  std::u16string className;
  std::span<const MessageName> names;
};

struct NameTables {
  std::mutex lock;
  std::vector<ClassNames> classes{{u"#32770", kDialogNames}};
  std::vector<std::span<const MessageName>> notices;
};

NameTables& Tables() {
  static NameTables* tables = new NameTables;
  return *tables;
}

const char* Find(std::span<const MessageName> names, UINT value) {
  auto it = std::find_if(names.begin(), names.end(), [&](const MessageName& n) { return n.value == value; });
  return it == names.end() ? nullptr : it->name;
}

}  // namespace

void UserAddMessageNames(const std::u16string& className, std::span<const MessageName> names) {
  NameTables& t = Tables();
  std::lock_guard<std::mutex> guard(t.lock);
  t.classes.push_back(ClassNames{className, names});
}

void UserAddNoticeNames(std::span<const MessageName> names) {
  NameTables& t = Tables();
  std::lock_guard<std::mutex> guard(t.lock);
  t.notices.push_back(names);
}

std::string UserMessageName(const std::u16string& className, UINT msg) {
  NameTables& t = Tables();
  {
    std::lock_guard<std::mutex> guard(t.lock);
    for (const ClassNames& c : t.classes)
      if (lstrcmpiW(c.className.c_str(), className.c_str()) == 0)
        if (const char* name = Find(c.names, msg)) return name;
  }
  if (const char* name = Find(kSystemNames, msg)) return name;
  if (msg == WM_USER) return "WM_USER";
  if (msg == WM_APP) return "WM_APP";
  if (msg > WM_APP) return "WM_APP+" + std::to_string(msg - WM_APP);
  if (msg > WM_USER) return "WM_USER+" + std::to_string(msg - WM_USER);
  char text[16];
  std::snprintf(text, sizeof text, "message 0x%04X", msg);
  return text;
}

std::string UserNoticeName(UINT code) {
  NameTables& t = Tables();
  std::lock_guard<std::mutex> guard(t.lock);
  for (std::span<const MessageName> names : t.notices)
    if (const char* name = Find(names, code)) return name;
  return "notice " + std::to_string(int(code));
}
