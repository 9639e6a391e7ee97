// The standard controls' painting (see control_paint.h).
#include "platform/user/control_paint.h"

#include <algorithm>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/text.h"
#include "platform/user/controls_internal.h"
#include "platform/user/paint.h"
#include "platform/user/resources.h"
#include "platform/user/sys_colors.h"

namespace {

// The side of a check box's box and a radio button's circle.
constexpr int kCheckSize = 13;
// The width of a combo box's drop button.
constexpr int kDropButtonWidth = 16;

// Paints a control: BeginPaint, the control's font (the GUI font when it has none), the
// background and colours from the parent's WM_CTLCOLOR... answer, then `draw`, then EndPaint.
template <typename Draw>
void Paint(HWND hwnd, HFONT font, UINT colourMessage, Draw draw) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc == nullptr) return;
  HGDIOBJ oldFont = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  RECT client;
  GetClientRect(hwnd, &client);
  HWND parent = GetParent(hwnd);
  auto brush = reinterpret_cast<HBRUSH>(
      parent ? SendMessageW(parent, colourMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)) : 0);
  if (brush == nullptr) brush = reinterpret_cast<HBRUSH>(UserDefaultControlColour(colourMessage, dc));
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  draw(dc, client, brush);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &ps);
}

void Fill(HDC dc, RECT r, int colour) { FillRect(dc, &r, GetSysColorBrush(colour)); }

std::u16string TextOf(HWND hwnd) {
  WCHAR buffer[512];
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

void Text(HDC dc, const std::u16string& text, RECT r, UINT format) {
  DrawTextW(dc, text.c_str(), int(text.size()), &r, format);
}

// The focus mark: a grey frame just inside the rectangle.
void FocusMark(HDC dc, RECT r) {
  InflateRect(&r, -1, -1);
  FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
}

UINT ItemState(HWND hwnd, bool selected, bool focused) {
  return (selected ? ODS_SELECTED : 0) | (focused ? ODS_FOCUS : 0) | (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
}

void OwnerDraw(HWND hwnd, HDC dc, UINT type, UINT id, UINT action, UINT state, RECT r, ULONG_PTR data) {
  DRAWITEMSTRUCT d{type, UINT(GetDlgCtrlID(hwnd)), id, action, state, hwnd, dc, r, data};
  int saved = SaveDC(dc);
  UserSendToOwner(hwnd, WM_DRAWITEM, &d);
  RestoreDC(dc, saved);
}

void CheckBox(HDC dc, RECT box, WORD check) {
  Fill(dc, box, check == BST_INDETERMINATE ? COLOR_BTNFACE : COLOR_WINDOW);
  UserDrawEdge(dc, box, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  if (check == BST_UNCHECKED) return;
  HPEN pen = CreatePen(PS_SOLID, 2, GetSysColor(check == BST_CHECKED ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, box.left + 3, box.top + 6, nullptr);
  LineTo(dc, box.left + 5, box.top + 9);
  LineTo(dc, box.left + 10, box.top + 3);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void RadioCircle(HDC dc, RECT box, bool checked) {
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_WINDOW));
  Ellipse(dc, box.left, box.top, box.right, box.bottom);
  if (checked) {
    SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, box.left + 4, box.top + 4, box.right - 4, box.bottom - 4);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void PushButton(HDC dc, RECT r, const std::u16string& text, bool pushed, bool focused, bool isDefault) {
  Fill(dc, r, COLOR_BTNFACE);
  if (isDefault) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  UserDrawEdge(dc, r, pushed ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT, pushed ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW);
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  if (!pushed) UserDrawEdge(dc, inner, COLOR_BTNFACE, COLOR_BTNSHADOW);
  if (pushed) OffsetRect(&r, 1, 1);
  Text(dc, text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (focused) {
    InflateRect(&inner, -2, -2);
    FocusMark(dc, inner);
  }
}

}  // namespace

void UserDrawEdge(HDC dc, RECT r, int topLeft, int bottomRight) {
  Fill(dc, RECT{r.left, r.top, r.right, r.top + 1}, topLeft);
  Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom}, topLeft);
  Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void UserPaintButton(HWND hwnd, WORD check, bool pushed, bool focused, HFONT font) {
  UINT kind = UINT(GetWindowLongW(hwnd, GWL_STYLE)) & BS_TYPEMASK;
  UINT colourMessage = (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON) ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC;
  Paint(hwnd, font, colourMessage, [&](HDC dc, RECT r, HBRUSH brush) {
    std::u16string text = TextOf(hwnd);
    switch (kind) {
      case BS_OWNERDRAW:
        OwnerDraw(hwnd, dc, ODT_BUTTON, 0, ODA_DRAWENTIRE, ItemState(hwnd, pushed, focused), r, 0);
        return;
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
      case BS_USERBUTTON: PushButton(dc, r, text, pushed, focused, kind == BS_DEFPUSHBUTTON); return;
      case BS_GROUPBOX: {
        // Transparent inside: the controls of the group show through.
        SIZE extent{0, 0};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
        RECT frame{r.left, r.top + extent.cy / 2, r.right, r.bottom};
        UserDrawEdge(dc, frame, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
        InflateRect(&frame, -1, -1);
        UserDrawEdge(dc, frame, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
        RECT label{r.left + 6, r.top, r.left + 10 + extent.cx, r.top + extent.cy};
        FillRect(dc, &label, brush);
        OffsetRect(&label, 2, 0);
        Text(dc, text, label, DT_LEFT | DT_TOP | DT_SINGLELINE);
        return;
      }
      default: {
        FillRect(dc, &r, brush);
        int top = r.top + (r.bottom - r.top - kCheckSize) / 2;
        RECT box{r.left, top, r.left + kCheckSize, top + kCheckSize};
        if (kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON)
          RadioCircle(dc, box, check == BST_CHECKED);
        else
          CheckBox(dc, box, check);
        RECT label{r.left + kCheckSize + 4, r.top, r.right, r.bottom};
        Text(dc, text, label, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        if (focused) FocusMark(dc, RECT{label.left - 2, r.top, r.right, r.bottom});
      }
    }
  });
}

void UserPaintEdit(HWND hwnd, const std::u16string& shown, size_t selStart, size_t selEnd, bool focused, HFONT font) {
  bool plain = IsWindowEnabled(hwnd) && !(GetWindowLongW(hwnd, GWL_STYLE) & ES_READONLY);
  Paint(hwnd, font, plain ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, [&](HDC dc, RECT r, HBRUSH brush) {
    FillRect(dc, &r, brush);
    RECT text{r.left + 2, r.top + 1, r.right - 2, r.bottom};
    Text(dc, shown, text, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (!focused) return;
    SIZE before{0, 0}, upTo{0, 0};
    GetTextExtentPoint32W(dc, shown.c_str(), int(selStart), &before);
    GetTextExtentPoint32W(dc, shown.c_str(), int(selEnd), &upTo);
    if (selEnd > selStart) {
      RECT sel{text.left + before.cx, text.top, text.left + upTo.cx, text.top + upTo.cy};
      Fill(dc, sel, COLOR_HIGHLIGHT);
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      std::u16string part = shown.substr(selStart, selEnd - selStart);
      Text(dc, part, sel, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    } else {
      Fill(dc, RECT{text.left + upTo.cx, text.top, text.left + upTo.cx + 1, text.top + std::max<LONG>(upTo.cy, 12)},
           COLOR_WINDOWTEXT);
    }
  });
}

void UserPaintStatic(HWND hwnd, UINT kind, HANDLE image, HFONT font) {
  Paint(hwnd, font, WM_CTLCOLORSTATIC, [&](HDC dc, RECT r, HBRUSH brush) {
    switch (kind) {
      case SS_OWNERDRAW: OwnerDraw(hwnd, dc, ODT_STATIC, 0, ODA_DRAWENTIRE, ItemState(hwnd, false, false), r, 0); return;
      case SS_ICON:
        FillRect(dc, &r, brush);
        if (image != nullptr) UserDrawLoadedIcon(dc, 0, 0, static_cast<HICON>(image));
        return;
      case SS_BITMAP: {
        FillRect(dc, &r, brush);
        if (image == nullptr) return;
        BITMAP bm{};
        GetObjectW(image, sizeof bm, &bm);
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(memory, image);
        BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteDC(memory);
        return;
      }
      case SS_BLACKRECT: Fill(dc, r, COLOR_3DDKSHADOW); return;
      case SS_GRAYRECT: Fill(dc, r, COLOR_BTNSHADOW); return;
      case SS_WHITERECT: Fill(dc, r, COLOR_BTNHIGHLIGHT); return;
      case SS_BLACKFRAME: FrameRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW)); return;
      case SS_GRAYFRAME: FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW)); return;
      case SS_WHITEFRAME: FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNHIGHLIGHT)); return;
      case SS_ETCHEDHORZ:
      case SS_ETCHEDVERT:
      case SS_ETCHEDFRAME: UserDrawEdge(dc, r, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT); return;
      default: {
        FillRect(dc, &r, brush);
        UINT format = kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT;
        if (kind == SS_SIMPLE || kind == SS_LEFTNOWORDWRAP)
          format |= DT_SINGLELINE;
        else
          format |= DT_WORDBREAK;
        if (GetWindowLongW(hwnd, GWL_STYLE) & SS_NOPREFIX) format |= DT_NOPREFIX;
        Text(dc, TextOf(hwnd), r, format);
      }
    }
  });
}

void UserPaintList(HWND hwnd, const ListPaint& p) {
  Paint(hwnd, p.font, WM_CTLCOLORLISTBOX, [&](HDC dc, RECT r, HBRUSH brush) {
    FillRect(dc, &r, brush);
    int count = int(p.list->items.size());
    LONG h = LONG(std::max<UINT>(p.itemHeight, 1));
    if (count == 0 && p.ownerDrawn && p.focused)
      OwnerDraw(hwnd, dc, ODT_LISTBOX, UINT(-1), ODA_FOCUS, ItemState(hwnd, false, true), RECT{0, 0, r.right, h}, 0);
    for (int i = p.top; i < count && LONG(i - p.top) * h < r.bottom; ++i) {
      RECT line{0, LONG(i - p.top) * h, r.right, LONG(i - p.top + 1) * h};
      const ListItem& item = p.list->items[size_t(i)];
      bool selected = i == p.sel;
      if (p.ownerDrawn) {
        OwnerDraw(hwnd, dc, ODT_LISTBOX, UINT(i), ODA_DRAWENTIRE, ItemState(hwnd, selected, selected && p.focused), line,
                  item.data);
        continue;
      }
      if (selected) Fill(dc, line, COLOR_HIGHLIGHT);
      COLORREF old = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
      RECT text{line.left + 2, line.top, line.right, line.bottom};
      Text(dc, item.text, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | (p.tabStops ? DT_EXPANDTABS : 0));
      SetTextColor(dc, old);
      if (selected && p.focused) FocusMark(dc, RECT{line.left - 1, line.top - 1, line.right + 1, line.bottom + 1});
    }
  });
}

void UserPaintCombo(HWND hwnd, const ComboPaint& p) {
  Paint(hwnd, p.font, WM_CTLCOLOREDIT, [&](HDC dc, RECT r, HBRUSH brush) {
    Fill(dc, r, COLOR_BTNFACE);
    RECT field{r.left, r.top, r.right, std::min<LONG>(r.bottom, LONG(p.fieldHeight) + 6)};
    FillRect(dc, &field, brush);
    UserDrawEdge(dc, field, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    RECT button{field.right - kDropButtonWidth - 1, field.top + 1, field.right - 1, field.bottom - 1};
    Fill(dc, button, COLOR_BTNFACE);
    UserDrawEdge(dc, button, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
    LONG cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    POINT arrow[3] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    Polygon(dc, arrow, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    RECT text{field.left + 2, field.top + 2, button.left - 1, field.bottom - 2};
    if (p.dropped && p.itemHeight > 0) {
      RECT box{r.left, field.bottom, r.right, r.bottom};
      Fill(dc, box, COLOR_WINDOW);
      FrameRect(dc, &box, GetSysColorBrush(COLOR_WINDOWFRAME));
      const int count = int(p.list->items.size());
      for (int n = p.top; n < count; ++n) {
        RECT line{box.left + 1, box.top + 1 + LONG(n - p.top) * LONG(p.itemHeight), box.right - 1, 0};
        line.bottom = line.top + LONG(p.itemHeight);
        if (line.bottom > box.bottom - 1) break;
        const bool selected = n == p.sel;
        if (p.ownerDrawn) {
          OwnerDraw(hwnd, dc, ODT_COMBOBOX, UINT(n), ODA_DRAWENTIRE, selected ? ODS_SELECTED : 0, line,
                    p.list->items[size_t(n)].data);
          continue;
        }
        Fill(dc, line, selected ? COLOR_HIGHLIGHT : COLOR_WINDOW);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        Text(dc, p.list->items[size_t(n)].text, RECT{line.left + 2, line.top, line.right, line.bottom},
             DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    }
    if (p.ownerDrawn) {
      ULONG_PTR data = p.sel >= 0 ? p.list->items[size_t(p.sel)].data : 0;
      OwnerDraw(hwnd, dc, ODT_COMBOBOX, UINT(p.sel), ODA_DRAWENTIRE,
                ODS_COMBOBOXEDIT | ItemState(hwnd, p.focused, p.focused), text, data);
      return;
    }
    if (p.focused && (GetWindowLongW(hwnd, GWL_STYLE) & 0x3) == CBS_DROPDOWNLIST) {
      Fill(dc, text, COLOR_HIGHLIGHT);
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    }
    Text(dc, p.text, RECT{text.left + 1, text.top, text.right, text.bottom}, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  });
}

void UserDrawScrollBar(HDC dc, RECT r, const ScrollNumbers& n, bool vertical, bool enabled) {
  Fill(dc, r, COLOR_SCROLLBAR);
  FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  LONG length = vertical ? r.bottom - r.top : r.right - r.left;
  LONG thick = vertical ? r.right - r.left : r.bottom - r.top;
  LONG arrow = std::min(thick, length / 2);
  RECT first = vertical ? RECT{r.left, r.top, r.right, r.top + arrow} : RECT{r.left, r.top, r.left + arrow, r.bottom};
  RECT last = vertical ? RECT{r.left, r.bottom - arrow, r.right, r.bottom} : RECT{r.right - arrow, r.top, r.right, r.bottom};
  for (RECT b : {first, last}) {
    Fill(dc, b, COLOR_BTNFACE);
    UserDrawEdge(dc, b, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
  }
  LONG track = length - 2 * arrow;
  int span = n.max - n.min + 1;
  if (!enabled || track <= 4 || span <= 0) return;
  LONG thumb = n.page ? std::max<LONG>(8, LONG(track * LONG(n.page) / span)) : std::min<LONG>(thick, track);
  thumb = std::min(thumb, track);
  int range = std::max(1, (n.page ? span - int(n.page) : span - 1));
  LONG at = arrow + LONG((track - thumb) * (n.pos - n.min) / range);
  RECT t = vertical ? RECT{r.left, r.top + at, r.right, r.top + at + thumb} : RECT{r.left + at, r.top, r.left + at + thumb, r.bottom};
  Fill(dc, t, COLOR_BTNFACE);
  UserDrawEdge(dc, t, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
}

void UserPaintScrollBar(HWND hwnd, const ScrollNumbers& n, bool vertical) {
  Paint(hwnd, nullptr, WM_CTLCOLORSCROLLBAR, [&](HDC dc, RECT r, HBRUSH) {
    UserDrawScrollBar(dc, r, n, vertical, IsWindowEnabled(hwnd) != 0);
  });
}
