// Port-name and attribute tests shared by the device-status action and the device query.
#include "ui/pages/device_ports.h"

#include <string_view>

#include "core/system/printer_info.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

bool IsLocalPortName(LPCWSTR port) {
  if (port == nullptr) return false;
  for (LPCWSTR name : {u"LPT1:", u"LPT2:", u"LPT3:"})
    if (lstrcmpW(port, name) == 0) return true;
  const std::u16string_view text(port);
  for (std::u16string_view prefix : {u"USB", u"VQUSB"})
    if (text.starts_with(prefix)) return true;
  return false;
}

bool HasBidiAttribute(HANDLE printer) {
  LPBYTE info = GetPrinterInfo(printer, 2);
  if (info == nullptr) return false;
  const bool bidi = (reinterpret_cast<const PRINTER_INFO_2W*>(info)->Attributes & PRINTER_ATTRIBUTE_ENABLE_BIDI) != 0;
  GlobalFree(info);
  return bidi;
}
