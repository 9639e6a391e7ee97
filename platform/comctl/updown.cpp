// The up-down control (see updown.h). A step asks the parent first (UDN_DELTAPOS), then moves
// the position (clamped, or wrapped with UDS_WRAP), tells the parent as a scroll bar would
// (SB_THUMBPOSITION, then SB_ENDSCROLL) and, with UDS_SETBUDDYINT, writes the buddy's text.
#include <algorithm>
#include <string>

#include "platform/base/text.h"
#include "platform/user/format.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/updown.h"
#include "platform/user/sys_colors.h"

namespace {

struct UpDown {
  int lower = 100;  // the platform's default range runs from 100 down to 0
  int upper = 0;
  int pos = 0;
  int base = 10;
  HWND buddy = nullptr;
};

DWORD Style(HWND hwnd) { return DWORD(GetWindowLongW(hwnd, GWL_STYLE)); }

int Clamp(const UpDown& u, int v) { return std::clamp(v, std::min(u.lower, u.upper), std::max(u.lower, u.upper)); }

// The position as a buddy shows it: decimal with thousands separators (unless
// UDS_NOTHOUSANDS), or hexadecimal in base 16.
std::u16string Format(HWND hwnd, const UpDown& u) {
  WCHAR text[32];
  if (u.base == 16) {
    wsprintfW(text, u"0x%04X", u.pos);
    return text;
  }
  wsprintfW(text, u"%d", u.pos < 0 ? -u.pos : u.pos);
  std::u16string digits = text, out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0 && !(Style(hwnd) & UDS_NOTHOUSANDS)) out += u',';
    out += digits[i];
  }
  return u.pos < 0 ? u"-" + out : out;
}

void WriteBuddy(HWND hwnd, const UpDown& u) {
  if (u.buddy != nullptr && (Style(hwnd) & UDS_SETBUDDYINT)) SetWindowTextW(u.buddy, Format(hwnd, u).c_str());
}

// Reads a number out of the buddy's text (separators skipped); false when it holds none.
bool ReadBuddy(const UpDown& u, int& value) {
  WCHAR text[64];
  GetWindowTextW(u.buddy, text, 64);
  long long v = 0;
  bool negative = false, digits = false;
  const WCHAR* p = text;
  while (*p == u' ') ++p;
  if (*p == u'-') negative = true, ++p;
  int base = u.base;
  if (base == 16 && p[0] == u'0' && (p[1] == u'x' || p[1] == u'X')) p += 2;
  for (; *p; ++p) {
    int d = *p >= u'0' && *p <= u'9' ? *p - u'0' : base == 16 && (*p | 0x20) >= u'a' && (*p | 0x20) <= u'f' ? (*p | 0x20) - u'a' + 10 : -1;
    if (d < 0) {
      if (*p == u',' && base == 10) continue;
      if (*p == u' ') break;
      return false;
    }
    v = v * base + d;
    digits = true;
    if (v > 0x7FFFFFFFLL) return false;
  }
  value = int(negative ? -v : v);
  return digits;
}

// With UDS_ALIGNRIGHT or UDS_ALIGNLEFT the arrows sit at the buddy's edge, inside its width.
void Align(HWND hwnd, const UpDown& u) {
  DWORD style = Style(hwnd);
  if (u.buddy == nullptr || !(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
  RECT b;
  GetWindowRect(u.buddy, &b);
  POINT corner{b.left, b.top};
  ScreenToClient(GetParent(hwnd), &corner);
  int width = b.right - b.left, height = b.bottom - b.top;
  int shrunk = std::max(0, width - kUpDownWidth);
  if (style & UDS_ALIGNRIGHT) {
    MoveWindow(u.buddy, corner.x, corner.y, shrunk, height, FALSE);
    MoveWindow(hwnd, corner.x + shrunk, corner.y, kUpDownWidth, height, FALSE);
  } else {
    MoveWindow(hwnd, corner.x, corner.y, kUpDownWidth, height, FALSE);
    MoveWindow(u.buddy, corner.x + kUpDownWidth, corner.y, shrunk, height, FALSE);
  }
}

// With UDS_ARROWKEYS the buddy's up and down keys step the control: the buddy's procedure is
// replaced by one that does so, and given back when the buddy changes or the control goes
// (unless someone replaced it after us; ours then only forwards).
constexpr char16_t kBuddyProcProp[] = u"QvUpDownBuddyProc";
constexpr char16_t kBuddyOwnerProp[] = u"QvUpDownOfBuddy";

void Step(HWND hwnd, UpDown& u, int direction);

LRESULT BuddyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kBuddyProcProp));
  auto updown = static_cast<HWND>(GetPropW(hwnd, kBuddyOwnerProp));
  UpDown* u = updown ? ControlState<UpDown>(updown) : nullptr;
  if (msg == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN) && u != nullptr) {
    Step(updown, *u, wParam == VK_UP ? 1 : -1);
    return 0;
  }
  LRESULT r = previous ? CallWindowProcW(previous, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_GETDLGCODE && u != nullptr) r |= DLGC_WANTARROWS;
  if (msg == WM_NCDESTROY) {
    RemovePropW(hwnd, kBuddyProcProp);
    RemovePropW(hwnd, kBuddyOwnerProp);
  }
  return r;
}

void Attach(HWND hwnd, HWND buddy) {
  if (buddy == nullptr || !IsWindow(buddy)) return;
  if (GetPropW(buddy, kBuddyProcProp) == nullptr) {
    LONG_PTR previous = SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BuddyProc));
    SetPropW(buddy, kBuddyProcProp, reinterpret_cast<HANDLE>(previous));
  }
  SetPropW(buddy, kBuddyOwnerProp, hwnd);
}

void Detach(HWND hwnd, HWND buddy) {
  if (buddy == nullptr || !IsWindow(buddy) || GetPropW(buddy, kBuddyOwnerProp) != hwnd) return;
  RemovePropW(buddy, kBuddyOwnerProp);
  if (GetWindowLongPtrW(buddy, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&BuddyProc)) return;
  SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RemovePropW(buddy, kBuddyProcProp)));
}

void SetBuddy(HWND hwnd, UpDown& u, HWND buddy) {
  Detach(hwnd, u.buddy);
  u.buddy = buddy;
  if (Style(hwnd) & UDS_ARROWKEYS) Attach(hwnd, buddy);
  Align(hwnd, u);
}

// One step toward the upper end (+1) or the lower end (-1), as a click on an arrow.
void Step(HWND hwnd, UpDown& u, int direction) {
  if (u.buddy != nullptr && (Style(hwnd) & UDS_SETBUDDYINT)) {
    int typed;
    if (ReadBuddy(u, typed)) u.pos = Clamp(u, typed);
  }
  NMUPDOWN n{};
  n.iPos = u.pos;
  n.iDelta = u.upper >= u.lower ? direction : -direction;
  if (ComctlNotify(hwnd, UDN_DELTAPOS, &n.hdr) != 0) return;
  long long next = (long long)u.pos + n.iDelta;
  int low = std::min(u.lower, u.upper), high = std::max(u.lower, u.upper);
  if (Style(hwnd) & UDS_WRAP) {
    if (next > high) next = low;
    if (next < low) next = high;
  }
  u.pos = int(std::clamp<long long>(next, low, high));
  InvalidateRect(hwnd, nullptr, FALSE);
  HWND parent = GetParent(hwnd);
  UINT scroll = (Style(hwnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
  if (parent != nullptr) {
    SendMessageW(parent, scroll, MAKEWPARAM(SB_THUMBPOSITION, WORD(u.pos)), reinterpret_cast<LPARAM>(hwnd));
    SendMessageW(parent, scroll, MAKEWPARAM(SB_ENDSCROLL, WORD(u.pos)), reinterpret_cast<LPARAM>(hwnd));
  }
  WriteBuddy(hwnd, u);
}

void Paint(HWND hwnd) {
  bool horizontal = (Style(hwnd) & UDS_HORZ) != 0;
  ComctlPaint(hwnd, [&](HDC dc, RECT r) {
    RECT first = r, second = r;
    if (horizontal)
      first.right = second.left = (r.left + r.right) / 2;
    else
      first.bottom = second.top = (r.top + r.bottom) / 2;
    for (RECT half : {first, second}) {
      ComctlFill(dc, half, COLOR_BTNFACE);
      ComctlRaised(dc, half);
    }
    // An arrow head in each half: up then down, or left then right.
    HBRUSH ink = GetSysColorBrush(IsWindowEnabled(hwnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    for (int k = 0; k < 2; ++k) {
      RECT half = k == 0 ? first : second;
      int cx = (half.left + half.right) / 2, cy = (half.top + half.bottom) / 2;
      int lean = k == 0 ? 1 : -1;  // rows grow downward for the first head, upward for the second
      for (int i = 0; i < 3; ++i) {
        int at = (horizontal ? cx : cy) - lean + lean * i;
        RECT line = horizontal ? RECT{at, cy - i, at + 1, cy + i + 1} : RECT{cx - i, at, cx + i + 1, at + 1};
        FillRect(dc, &line, ink);
      }
    }
  });
}

}  // namespace

LRESULT UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    MakeControlState<UpDown>(hwnd);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  UpDown* u = ControlState<UpDown>(hwnd);
  if (u == nullptr) return DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_CREATE:
      if (Style(hwnd) & UDS_AUTOBUDDY) SetBuddy(hwnd, *u, GetWindow(hwnd, GW_HWNDPREV));
      return 0;
    case UDM_SETRANGE:
      u->upper = SHORT(LOWORD(lParam));
      u->lower = SHORT(HIWORD(lParam));
      u->pos = Clamp(*u, u->pos);
      return 0;
    case UDM_GETRANGE: return MAKELONG(WORD(u->upper), WORD(u->lower));
    case UDM_SETRANGE32:
      u->lower = int(wParam);
      u->upper = int(lParam);
      u->pos = Clamp(*u, u->pos);
      return 0;
    case UDM_GETRANGE32:
      if (wParam) *reinterpret_cast<int*>(wParam) = u->lower;
      if (lParam) *reinterpret_cast<int*>(lParam) = u->upper;
      return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
      int old = u->pos;
      u->pos = Clamp(*u, msg == UDM_SETPOS ? SHORT(LOWORD(lParam)) : int(lParam));
      WriteBuddy(hwnd, *u);
      InvalidateRect(hwnd, nullptr, FALSE);
      return msg == UDM_SETPOS ? LRESULT(WORD(old)) : old;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32: {
      // A number buddy is read back: what a person typed counts; text that is no number (or
      // lies outside the range) reports an error with the last position.
      bool error = false;
      if (u->buddy != nullptr && (Style(hwnd) & UDS_SETBUDDYINT)) {
        int typed;
        error = !ReadBuddy(*u, typed) || typed != Clamp(*u, typed);
        if (!error) u->pos = typed;
      }
      if (msg == UDM_GETPOS32) {
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = error ? TRUE : FALSE;
        return u->pos;
      }
      return MAKELONG(WORD(u->pos), error ? 1 : 0);
    }
    case UDM_SETBUDDY: {
      HWND old = u->buddy;
      SetBuddy(hwnd, *u, reinterpret_cast<HWND>(wParam));
      return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY: return reinterpret_cast<LRESULT>(u->buddy);
    case UDM_SETBASE: {
      if (wParam != 10 && wParam != 16) return 0;
      int old = u->base;
      u->base = int(wParam);
      WriteBuddy(hwnd, *u);
      return old;
    }
    case UDM_GETBASE: return u->base;
    case UDM_SETACCEL: return TRUE;
    case UDM_GETACCEL: return 0;
    case WM_LBUTTONDOWN: {
      RECT r;
      GetClientRect(hwnd, &r);
      bool horizontal = (Style(hwnd) & UDS_HORZ) != 0;
      int at = horizontal ? GET_X_LPARAM(lParam) : GET_Y_LPARAM(lParam);
      int middle = horizontal ? r.right / 2 : r.bottom / 2;
      // The top arrow (the right one when horizontal) steps toward the upper end.
      Step(hwnd, *u, horizontal ? (at >= middle ? 1 : -1) : (at < middle ? 1 : -1));
      return 0;
    }
    case WM_KEYDOWN:
      if (!(Style(hwnd) & UDS_ARROWKEYS)) return 0;
      if (wParam == VK_UP || wParam == VK_RIGHT) Step(hwnd, *u, 1);
      if (wParam == VK_DOWN || wParam == VK_LEFT) Step(hwnd, *u, -1);
      return 0;
    case WM_GETDLGCODE: return (Style(hwnd) & UDS_ARROWKEYS) ? DLGC_WANTARROWS : 0;
    case WM_DESTROY: Detach(hwnd, u->buddy); return 0;
    case WM_PAINT: Paint(hwnd); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
}
