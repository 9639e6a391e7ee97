// Dialogs from templates, the default dialog procedure, EndDialog, dialog units and the item
// calls (see dialog.h).
#include <algorithm>
#include <climits>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/resource.h"
#include "platform/user/controls.h"
#include "platform/user/dialog_fonts.h"
#include "platform/user/dialog_internal.h"
#include "platform/user/dialog_template.h"
#include "platform/user/format.h"
#include "platform/user/msgbox.h"
#include "platform/user/user_sim.h"

namespace {

// The class names of the predefined control atoms of templates.
struct ClassAtomName {
  WORD atom;
  LPCWSTR name;
};
constexpr ClassAtomName kClassAtoms[] = {
    {kDialogClassButton, WC_BUTTONW},       {kDialogClassEdit, WC_EDITW},
    {kDialogClassStatic, WC_STATICW},       {kDialogClassListBox, WC_LISTBOXW},
    {kDialogClassScrollBar, WC_SCROLLBARW}, {kDialogClassComboBox, WC_COMBOBOXW},
};

// A class atom of a template that is not a predefined control names a class by atom.
std::u16string ClassName(const QrsName& n) {
  if (!n.IsNumber()) return n.text;
  for (const auto& c : kClassAtoms)
    if (c.atom == n.id) return c.name;
  WCHAR text[8];
  wsprintfW(text, u"#%u", UINT(n.id));
  return text;
}

// v * num / den rounded half away from zero.
LONG Scale(LONG v, LONG num, LONG den) {
  long long p = (long long)v * num;
  return LONG(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

RECT DialogUnitsToPixels(int x, int y, int cx, int cy) {
  return RECT{Scale(x, kDialogCharWidth, 4), Scale(y, kDialogCharHeight, 8), Scale(x + cx, kDialogCharWidth, 4),
              Scale(y + cy, kDialogCharHeight, 8)};
}

}  // namespace

bool UserLoadDialogTemplate(HINSTANCE instance, LPCWSTR name, DialogTemplate& t) {
  HRSRC found = FindResourceW(instance, name, RT_DIALOG);
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(instance, found);
  const BYTE* bytes = static_cast<const BYTE*>(LockResource(loaded));
  DWORD size = SizeofResource(instance, found);
  if (bytes == nullptr || DecodeDialogTemplate(std::span<const BYTE>(bytes, size), t) != ERROR_SUCCESS) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  return true;
}

namespace {

// The dialog's window rectangle: the template's client area in pixels plus the frame, placed
// in the parent's client area (child dialogs), centred (DS_CENTER), or relative to the
// owner's client area.
RECT PlaceDialog(const DialogTemplate& t, DWORD style, DWORD exStyle, HWND owner) {
  RECT client = DialogUnitsToPixels(t.x, t.y, t.cx, t.cy);
  Window probe;
  probe.style = style;
  probe.exStyle = exStyle;
  RECT in = UserFrameInsets(probe);
  LONG width = client.right - client.left + in.left + in.right;
  LONG height = client.bottom - client.top + in.top + in.bottom;
  POINT at{client.left, client.top};
  if (!(style & WS_CHILD)) {
    if (t.style & DS_CENTER) {
      RECT around{0, 0, kScreenWidth, kScreenHeight};
      if (owner != nullptr) GetWindowRect(owner, &around);
      at = POINT{around.left + (around.right - around.left - width) / 2, around.top + (around.bottom - around.top - height) / 2};
    } else if (owner != nullptr && !(t.style & DS_ABSALIGN)) {
      ClientToScreen(owner, &at);
    }
  }
  return RECT{at.x, at.y, at.x + width, at.y + height};
}

bool IsPushButton(HWND hwnd) {
  return (SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

void SetDefaultId(HWND dialog, DialogState& s, WORD id) {
  if (HWND old = s.defId ? GetDlgItem(dialog, s.defId) : nullptr; old && IsPushButton(old))
    SendMessageW(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  s.defId = id;
  if (HWND now = id ? GetDlgItem(dialog, id) : nullptr; now && IsPushButton(now))
    SendMessageW(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

// Default handling of the messages the dialog procedure leaves.
LRESULT DefaultDialogMessage(HWND dialog, DialogState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND: return UserEraseDialogBackground(dialog, reinterpret_cast<HDC>(wParam));
    case WM_CLOSE:
      PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return 0;
    case DM_GETDEFID: return s.defId ? MAKELONG(s.defId, DC_HASDEFID) : 0;
    case DM_SETDEFID: SetDefaultId(dialog, s, WORD(wParam)); return TRUE;
    case WM_NEXTDLGCTL: {
      HWND to = lParam ? reinterpret_cast<HWND>(wParam) : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
      if (to != nullptr) UserDialogFocus(to);
      return 0;
    }
    case WM_SETFOCUS: {
      HWND to = (s.savedFocus && IsChild(dialog, s.savedFocus)) ? s.savedFocus : GetNextDlgTabItem(dialog, nullptr, FALSE);
      if (to != nullptr) UserDialogFocus(to);
      return 0;
    }
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && IsChild(dialog, GetFocus())) s.savedFocus = GetFocus();
      return 0;
    case WM_SETFONT: s.font = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_NCDESTROY:
      if (s.ownsFont) UserFreeDialogFont(s.font);
      s.font = nullptr;
      s.ownsFont = false;
      return DefWindowProcW(dialog, msg, wParam, lParam);
    case WM_COMMAND:
    case WM_NOTIFY: return 0;
    default: return DefWindowProcW(dialog, msg, wParam, lParam);
  }
}

// Messages whose answer is the dialog procedure's own return value, not DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) {
  switch (msg) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return true;
    default: return false;
  }
}

}  // namespace

DialogState* UserDialogState(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  return w ? w->dialog.get() : nullptr;
}

void UserDialogFocus(HWND control) {
  SetFocus(control);
  if (GetFocus() == control && (SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
    SendMessageW(control, EM_SETSEL, 0, -1);
}

HWND UserCreateDialog(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param, bool modal) {
  DialogTemplate t;
  if (!UserLoadDialogTemplate(instance, templateName, t)) return nullptr;
  return UserCreateDialogFrom(t, UserDialogSource(instance, templateName), instance, owner, proc, param, modal);
}

DialogSource UserDialogSource(HMODULE module, LPCWSTR templateName) {
  DialogSource source;
  source.module = module;
  source.resource = true;
  if (IS_INTRESOURCE(templateName))
    source.id = WORD(reinterpret_cast<ULONG_PTR>(templateName));
  else if (templateName != nullptr)
    source.name = templateName;
  return source;
}

HWND UserCreateDialogFrom(const DialogTemplate& t, const DialogSource& source, HINSTANCE instance, HWND owner,
                          DLGPROC proc, LPARAM param, bool modal) {
  DWORD style = t.style & ~DWORD(WS_VISIBLE);
  DWORD exStyle = t.exStyle;
  if (t.style & DS_MODALFRAME) exStyle |= WS_EX_DLGMODALFRAME;
  if (t.style & DS_CONTROL) {
    style = (style & ~DWORD(WS_CAPTION | WS_SYSMENU | WS_POPUP)) | WS_CHILD;
    exStyle |= WS_EX_CONTROLPARENT;
  }
  if (modal) style &= ~DWORD(WS_CHILD);
  std::u16string className = t.windowClass.IsNumber() && t.windowClass.id == 0 ? u"#32770" : ClassName(t.windowClass);
  RECT r = PlaceDialog(t, style, exStyle, owner);
  HWND dialog = CreateWindowExW(exStyle, className.c_str(), t.caption.c_str(), style, r.left, r.top, r.right - r.left,
                                r.bottom - r.top, owner, nullptr, instance, nullptr);
  if (dialog == nullptr) return nullptr;
  auto w = UserPeekWindow(dialog);
  auto state = std::make_shared<DialogState>();
  state->source = source;
  state->modal = modal;
  w->dialog = state;
  if (w->extra.size() >= DWLP_USER + sizeof(LONG_PTR))
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));
  if (t.style & DS_SETFONT) {
    state->font = UserMakeDialogFont(t.face, t.pointSize, t.weight, t.italic, t.charset);
    state->ownsFont = state->font != nullptr;
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
  }
  for (const DialogControlTemplate& c : t.controls) {
    std::u16string cls = ClassName(c.windowClass);
    std::u16string text = c.text.IsNumber() ? (c.text.id ? std::u16string{u'\xFFFF', char16_t(c.text.id)} : u"") : c.text.text;
    RECT cr = DialogUnitsToPixels(c.x, c.y, c.cx, c.cy);
    HWND control = CreateWindowExW(c.exStyle | WS_EX_NOPARENTNOTIFY, cls.c_str(), text.c_str(), c.style | WS_CHILD,
                                   cr.left, cr.top, cr.right - cr.left, cr.bottom - cr.top, dialog,
                                   reinterpret_cast<HMENU>(ULONG_PTR(WORD(c.id))), instance, nullptr);
    if (control == nullptr) {
      if (t.style & DS_NOFAILCREATE) continue;
      DestroyWindow(dialog);
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    if (state->font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
    if (state->defId == 0 && (c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && IsPushButton(control))
      state->defId = WORD(c.id);
  }
  HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
  if (SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first && IsWindow(first))
    UserDialogFocus(first);
  if (!IsWindow(dialog)) return nullptr;
  if (((t.style & WS_VISIBLE) || modal) && !state->ended) ShowWindow(dialog, SW_SHOWNORMAL);
  return dialog;
}

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param) {
  return UserCreateDialog(instance, templateName, owner, proc, param, false);
}

LRESULT DefDlgProcW(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto w = UserFindWindow(dialog);
  if (!w) return 0;
  std::shared_ptr<DialogState> s = w->dialog;
  if (!s) return DefWindowProcW(dialog, msg, wParam, lParam);
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC));
  INT_PTR r = 0;
  if (proc != nullptr) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
    r = proc(dialog, msg, wParam, lParam);
  }
  if (!UserPeekWindow(dialog)) return r;
  if (AnswersDirectly(msg) && (r != 0 || msg == WM_INITDIALOG)) return r;
  if (r != 0) return GetWindowLongPtrW(dialog, DWLP_MSGRESULT);
  return DefaultDialogMessage(dialog, *s, msg, wParam, lParam);
}

SimDialogSource SimDialogTemplate(HWND dialog) {
  DialogState* s = UserDialogState(dialog);
  if (s == nullptr || !s->source.resource) return SimDialogSource{};
  return SimDialogSource{s->source.module, s->source.id, s->source.name};
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
  if (!UserFindWindow(dialog)) return FALSE;
  DialogState* s = UserDialogState(dialog);
  if (s == nullptr) {
    SetLastError(ERROR_WINDOW_NOT_DIALOG);
    return FALSE;
  }
  s->ended = true;
  s->result = result;
  ShowWindow(dialog, SW_HIDE);
  return TRUE;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
  if (UserDialogState(dialog) == nullptr || rect == nullptr) {
    SetLastError(ERROR_WINDOW_NOT_DIALOG);
    return FALSE;
  }
  RECT r = DialogUnitsToPixels(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
  *rect = r;
  return TRUE;
}

LONG GetDialogBaseUnits() { return MAKELONG(kSystemBaseUnitX, kSystemBaseUnitY); }

HWND GetDlgItem(HWND dialog, int id) {
  auto w = UserFindWindow(dialog);
  if (!w) return nullptr;
  for (HWND c : w->children)
    if (auto child = UserPeekWindow(c); child && WORD(child->id) == WORD(id)) return c;
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SetWindowTextW(item, text) : FALSE;
}

UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = 0;
  HWND item = GetDlgItem(dialog, id);
  return item ? UINT(GetWindowTextW(item, buffer, size)) : 0;
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  WCHAR text[16];
  wsprintfW(text, isSigned ? u"%d" : u"%u", value);
  return SetDlgItemTextW(dialog, id, text);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated != nullptr) *translated = FALSE;
  WCHAR text[64];
  HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) return 0;
  GetWindowTextW(item, text, 64);
  const WCHAR* p = text;
  while (*p == u' ') ++p;
  bool negative = false;
  if (isSigned && *p == u'-') {
    negative = true;
    ++p;
  }
  long long value = 0;
  int digits = 0;
  for (; *p >= u'0' && *p <= u'9'; ++p, ++digits) {
    value = value * 10 + (*p - u'0');
    if (value > 0xFFFFFFFFLL) return 0;
  }
  while (*p == u' ') ++p;
  if (digits == 0 || *p != 0) return 0;
  if (negative) value = -value;
  if (isSigned ? (value < INT_MIN || value > INT_MAX) : value > UINT_MAX) return 0;
  if (translated != nullptr) *translated = TRUE;
  return UINT(value);
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND item = GetDlgItem(dialog, id);
  if (item == nullptr) return FALSE;
  SendMessageW(item, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  return item ? UINT(SendMessageW(item, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  auto w = UserFindWindow(dialog);
  if (!w) return FALSE;
  for (HWND c : std::vector<HWND>(w->children)) {
    int id = GetDlgCtrlID(c);
    if (id >= first && id <= last) SendMessageW(c, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  return TRUE;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND item = GetDlgItem(dialog, id);
  return item ? SendMessageW(item, msg, wParam, lParam) : 0;
}
