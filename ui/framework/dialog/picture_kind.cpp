// The picture kind: a static control subclassed while its page is active so that it paints
// the icon of the selected choice at the system icon size on the button face, realising the
// choice's palette when it has one.
#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"

namespace {

constexpr int kSavedProcedureList = 2;

// The procedure the control had before; it is kept pointer-sized.
WNDPROC SavedProcedure(HWND dialog, LONG controlId) {
  auto* block = static_cast<WNDPROC*>(GetControlData(kSavedProcedureList, dialog, controlId, 0));
  return block != nullptr ? *block : nullptr;
}

void Subclass(HandlerContext* context, const ControlRow* row, const PictureKindData* data, HWND control) {
  if (GetChoiceIcon(GetCurrentChoiceList(context->window, row), 0) == nullptr) return;
  RECT window{}, client{};
  GetWindowRect(control, &window);
  GetClientRect(control, &client);
  const int width = GetSystemMetrics(SM_CXICON) + (window.right - window.left) - (client.right - client.left);
  const int height = GetSystemMetrics(SM_CYICON) + (window.bottom - window.top) - (client.bottom - client.top);
  SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
  auto* block = static_cast<WNDPROC*>(GlobalAlloc(GPTR, sizeof(WNDPROC)));
  if (block == nullptr) return;
  *block = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
  const int attached = SetControlData(kSavedProcedureList, context->window, row->controlId, 0, block);
  if (attached == 0 && data->subclass == 1) {
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PictureKindProc));
  } else if (attached == 0) {
    RemoveControlData(kSavedProcedureList, context->window, row->controlId, 0);
  } else {
    GlobalFree(block);
  }
}

void Unsubclass(HandlerContext* context, const ControlRow* row, HWND control) {
  WNDPROC saved = SavedProcedure(context->window, row->controlId);
  if (saved == nullptr) return;
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
  RemoveControlData(kSavedProcedureList, context->window, row->controlId, 0);
}

void Redraw(HandlerContext* context, const ControlRow* row, const PictureKindData* data, HWND control) {
  if ((data->stateFlags & 1) && !(data->skipFlags & 1)) ApplyControlState(context->window, row, nullptr);
  InvalidateRect(control, nullptr, TRUE);
}

void PaintPicture(HWND control) {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(control, &paint);
  HWND dialog = GetParent(control);
  LONG pageIndex = kEmbeddedPage;
  SendMessageW(dialog, WM_QUERYPAGEINDEX, 0, reinterpret_cast<LPARAM>(&pageIndex));
  const ControlRow* row =
      pageIndex != kEmbeddedPage ? FindRowByControlId(dialog, pageIndex, GetDlgCtrlID(control)) : nullptr;
  HICON icon = row != nullptr ? GetChoiceIcon(GetCurrentChoiceList(dialog, row), GetCurrentChoiceIndex(dialog, row))
                              : nullptr;
  if (dc != nullptr && icon != nullptr) {
    FillRect(dc, &paint.rcPaint, GetSysColorBrush(COLOR_BTNFACE));
    DrawIcon(dc, 0, 0, icon);
  }
  EndPaint(control, &paint);
}

}  // namespace

int RealizePicturePalette(HWND dialog, HWND control, const ControlRow* row) {
  HPALETTE palette = GetChoicePalette(GetCurrentChoiceList(dialog, row), GetCurrentChoiceIndex(dialog, row));
  if (palette == nullptr || control == nullptr) return 0;
  HDC dc = GetDC(control);
  if (dc == nullptr) return 0;
  HPALETTE previous = SelectPalette(dc, palette, FALSE);
  const UINT realised = RealizePalette(dc);
  SelectPalette(dc, previous, FALSE);
  ReleaseDC(control, dc);
  return realised == GDI_ERROR ? 0 : static_cast<int>(realised);
}

LRESULT PictureKindProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC saved = SavedProcedure(GetParent(window), GetDlgCtrlID(window));
  if (message == WM_PAINT) {
    PaintPicture(window);
  } else if (message == WM_SHOWWINDOW) {
    DefWindowProcW(window, message, wParam, lParam);
    return 0;
  }
  return saved != nullptr ? CallWindowProcW(saved, window, message, wParam, lParam) : 0;
}

INT_PTR HandlePictureKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                          const ControlRow* row, const void* kindData) {
  const auto* data = static_cast<const PictureKindData*>(kindData);
  if (message == WM_QUERYKINDDATA) {
    if (lParam == 0) return 1;
    *reinterpret_cast<const void**>(lParam) = kindData;
    return 0;
  }
  HWND control = context != nullptr && row != nullptr ? GetDlgItem(context->window, row->controlId) : nullptr;
  if (control == nullptr || data == nullptr) return 0;
  if (IsNotice(message, lParam, PSN_SETACTIVE) || message == WM_REFRESHCONTROLS) {
    if (message == WM_NOTIFY && SavedProcedure(context->window, row->controlId) == nullptr) {
      Subclass(context, row, data, control);
    }
    RealizePicturePalette(context->window, control, row);
    Redraw(context, row, data, control);
  } else if (IsNotice(message, lParam, PSN_APPLY) || IsNotice(message, lParam, PSN_RESET)) {
    Unsubclass(context, row, control);
  } else if (message == WM_QUERYNEWPALETTE ||
             (message == WM_PALETTECHANGED && reinterpret_cast<HWND>(wParam) != control)) {
    const int realised = RealizePicturePalette(context->window, control, row);
    if (realised > 0) Redraw(context, row, data, control);
    return realised;
  }
  return 0;
}
