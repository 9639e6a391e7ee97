// Stand-in for the device-status action of the main and paper-source tabs. It answers as the
// real action does when no status monitor can be reached: it does not look for the monitor
// application, so a printer on a local port gets the "monitor not reachable" message and any
// other printer the "status only for local printers" message. The full action (monitor key,
// window and WM_COPYDATA hand-over, bidirectional check) replaces this file.
#include <string_view>

#include "platform/base/text.h"
#include "platform/user/msgbox.h"
#include "ui/framework/dialog/row_callbacks.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

constexpr LONG kStatusCaption = 265;
constexpr LONG kMonitorUnreachable = 9502;
constexpr LONG kStatusNeedsLocalPort = 9503;

// "LPT1:" to "LPT3:", or a name beginning with "USB" or "VQUSB".
bool IsLocalPortName(LPCWSTR port) {
  if (port == nullptr) return false;
  for (LPCWSTR name : {u"LPT1:", u"LPT2:", u"LPT3:"})
    if (lstrcmpW(port, name) == 0) return true;
  for (LPCWSTR prefix : {u"USB", u"VQUSB"}) {
    const int length = lstrlenW(prefix);
    if (lstrlenW(port) >= length && std::u16string_view(port, length) == prefix) return true;
  }
  return false;
}

}  // namespace

int OnDeviceStatusButton(HandlerContext* context) {
  SheetState* sheet = context != nullptr ? FindSheetState(context->window) : nullptr;
  if (sheet == nullptr) return 0;
  const LONG message = IsLocalPortName(sheet->portName) ? kMonitorUnreachable : kStatusNeedsLocalPort;
  ShowResourceMessageBox(context->window, kStatusCaption, nullptr, MB_ICONWARNING, message, nullptr);
  return 1;
}
