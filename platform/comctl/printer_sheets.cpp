// The driver calls that open a printer's sheets as their hosts do (see comctl_sim.h): the
// driver's user-interface module is loaded by name, its page provider bound by name, the
// printer opened, and the sheet run through the common property-sheet component.
#include <string>

#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/compstui.h"
#include "platform/comctl/printer_sheets.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"

namespace {

// Runs `provider` of `module` over `header`; ERR_CPSUI_GETLASTERROR when the module or the
// export cannot be had.
LONG Run(LPCWSTR module, const char* provider, HWND owner, LPARAM header, DWORD* result) {
  if (result != nullptr) *result = CPSUI_CANCEL;
  HMODULE ui = LoadLibraryW(module);
  if (ui == nullptr) return ERR_CPSUI_GETLASTERROR;
  auto proc = reinterpret_cast<PFNPROPSHEETUI>(GetProcAddress(ui, provider));
  DWORD ignored = 0;
  LONG answer = proc ? CommonPropertySheetUIW(owner, proc, header, result ? result : &ignored) : ERR_CPSUI_GETLASTERROR;
  FreeLibrary(ui);
  return answer;
}

}  // namespace

LONG SimOpenDocumentSheet(LPCWSTR module, LPCWSTR printer, DEVMODEW* in, DEVMODEW* out, DWORD outSize, DWORD fMode,
                          HWND owner, DWORD* result) {
  HANDLE h = nullptr;
  if (!OpenPrinterW(printer, &h, nullptr)) return ERR_CPSUI_GETLASTERROR;
  std::u16string name = printer;
  DOCUMENTPROPERTYHEADER header{sizeof(DOCUMENTPROPERTYHEADER), 0, h, name.data(), in, out, outSize, fMode};
  LONG answer = Run(module, "DrvDocumentPropertySheets", owner, reinterpret_cast<LPARAM>(&header), result);
  ClosePrinter(h);
  return answer;
}

LONG SimOpenDeviceSheet(LPCWSTR module, LPCWSTR printer, WORD flags, HWND owner, DWORD* result) {
  HANDLE h = nullptr;
  if (!OpenPrinterW(printer, &h, nullptr)) return ERR_CPSUI_GETLASTERROR;
  std::u16string name = printer;
  DEVICEPROPERTYHEADER header{sizeof(DEVICEPROPERTYHEADER), flags, h, name.data()};
  LONG answer = Run(module, "DrvDevicePropertySheets", owner, reinterpret_cast<LPARAM>(&header), result);
  ClosePrinter(h);
  return answer;
}
