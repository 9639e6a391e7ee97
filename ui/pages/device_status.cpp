// The device-status button of the main and paper-source tabs. A printer on a local port has
// its name handed to the status monitor application (found through its registry key, window
// class and title) with WM_COPYDATA; any other printer, or a monitor that cannot be reached,
// gets a message instead.
#include <string>

#include "core/runtime/resource_module.h"
#include "core/store/item_store.h"
#include "core/system/printer_info.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/row_callbacks.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/sheet/sheet_state.h"
#include "ui/pages/device_ports.h"

namespace {

constexpr LONG kStatusCaption = 265;
constexpr UINT kMonitorKeyRoot = 9400;
constexpr UINT kMonitorKeyBranch = 9401;
constexpr UINT kMonitorClass = 9403;
constexpr UINT kMonitorTitle = 9404;
constexpr LONG kMonitorUnreachable = 9502;
constexpr LONG kStatusNeedsLocalPort = 9503;
constexpr LONG kStatusNeedsBidi = 9504;
constexpr int kStringChars = 256;

// String id of the resource module, empty when missing.
std::u16string LoadModuleText(UINT id) {
  std::u16string text(kStringChars + 1, u'\0');
  const int length = LoadStringW(GetResourceModule(), id, text.data(), kStringChars + 1);
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

// True when the monitor's key for the model exists under HKEY_LOCAL_MACHINE.
bool HasMonitorKey(ItemStore* store) {
  const std::u16string root = LoadModuleText(kMonitorKeyRoot);
  const std::u16string branch = LoadModuleText(kMonitorKeyBranch);
  if (root.empty() || branch.empty()) return false;
  WORD status = 0;
  LPWSTR model = GetModelName(store, &status);
  if (model == nullptr) return false;
  const std::u16string path = root + branch + model;
  GlobalFree(model);
  HKEY key = nullptr;
  if (RegOpenKeyW(HKEY_LOCAL_MACHINE, path.c_str(), &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The monitor's answer to the printer's name, 0 when it cannot be reached.
LRESULT OpenStatusMonitor(HWND window, SheetState* sheet) {
  LPBYTE info = GetPrinterInfo(sheet->printer, 2);
  if (info == nullptr) return 0;
  LRESULT answer = 0;
  LPCWSTR printerName = reinterpret_cast<const PRINTER_INFO_2W*>(info)->pPrinterName;
  const std::u16string monitorClass = LoadModuleText(kMonitorClass);
  const std::u16string title = LoadModuleText(kMonitorTitle);
  if (printerName != nullptr && !monitorClass.empty() && !title.empty() && HasMonitorKey(sheet->store)) {
    HWND monitor = FindWindowW(monitorClass.c_str(), title.c_str());
    if (monitor != nullptr) {
      COPYDATASTRUCT record{0, static_cast<DWORD>((lstrlenW(printerName) + 1) * sizeof(WCHAR)),
                            const_cast<LPWSTR>(printerName)};
      answer = SendMessageW(monitor, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                            reinterpret_cast<LPARAM>(&record));
    }
  }
  GlobalFree(info);
  return answer;
}

}  // namespace

int OnDeviceStatusButton(HandlerContext* context) {
  SheetState* sheet = context != nullptr ? FindSheetState(context->window) : nullptr;
  if (sheet == nullptr) return 0;
  LONG message = kStatusNeedsLocalPort;
  if (IsLocalPortName(sheet->portName)) {
    if (OpenStatusMonitor(context->window, sheet) != 1)
      message = kMonitorUnreachable;
    else if (HasBidiAttribute(sheet->printer))
      return 1;
    else
      message = kStatusNeedsBidi;
  }
  ShowResourceMessageBox(context->window, kStatusCaption, nullptr, MB_ICONWARNING, message, nullptr);
  return 1;
}
