// Window frames (see frame_paint.h).
#include "platform/user/frame_paint.h"

#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/text.h"
#include "platform/user/control_paint.h"
#include "platform/user/paint.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window_internal.h"

void UserPaintFrame(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  if (!w) return;
  RECT in = UserFrameInsets(*w);
  if (in.left == 0 && in.top == 0 && in.right == 0 && in.bottom == 0) return;
  HDC dc = GetWindowDC(hwnd);
  if (dc == nullptr) return;
  LONG width = w->rect.right - w->rect.left, height = w->rect.bottom - w->rect.top;
  RECT all{0, 0, width, height};
  RECT edge = all;
  bool thick = (w->style & WS_CAPTION) == WS_CAPTION || (w->style & (WS_DLGFRAME | WS_THICKFRAME)) ||
               (w->exStyle & WS_EX_DLGMODALFRAME);
  if (thick) {
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    UserDrawEdge(dc, edge, COLOR_3DLIGHT, COLOR_3DDKSHADOW);
    InflateRect(&edge, -1, -1);
    UserDrawEdge(dc, edge, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
    InflateRect(&edge, -(kFrameWidth - 1), -(kFrameWidth - 1));
  } else if (w->style & WS_BORDER) {
    FrameRect(dc, &edge, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&edge, -kBorderWidth, -kBorderWidth);
  }
  if (w->exStyle & WS_EX_CLIENTEDGE) {
    UserDrawEdge(dc, edge, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    InflateRect(&edge, -1, -1);
    UserDrawEdge(dc, edge, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
    InflateRect(&edge, -1, -1);
  }
  if ((w->style & WS_CAPTION) == WS_CAPTION) {
    RECT bar{edge.left, edge.top, edge.right, edge.top + kCaptionHeight - 1};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_ACTIVECAPTION));
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
    RECT text{bar.left + 4, bar.top, bar.right - 4, bar.bottom};
    DrawTextW(dc, w->text.c_str(), int(w->text.size()), &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
  }
  RECT client{in.left, in.top, width - in.right, height - in.bottom};
  const DWORD bars = UserFrameScrollBars(*w);
  if (bars & WS_VSCROLL)
    UserDrawScrollBar(dc, RECT{client.right, client.top, client.right + kScrollBarSize, client.bottom}, w->vscroll, true,
                      !(w->style & WS_DISABLED));
  if (bars & WS_HSCROLL)
    UserDrawScrollBar(dc, RECT{client.left, client.bottom, client.right, client.bottom + kScrollBarSize}, w->hscroll,
                      false, !(w->style & WS_DISABLED));
  ReleaseDC(hwnd, dc);
}
