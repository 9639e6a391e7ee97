// A small printer user-interface module for the sheet tests: its page providers hand one page
// each to the common property-sheet component, as a printer driver's do. The document page's
// track bar sets the copies of the output device mode when it is applied; the device page's
// check box is reported through QvSheetDeviceChecked.
#include "platform/base/export.h"
#include "platform/comctl/commctrl.h"
#include "platform/comctl/compstui.h"
#include "platform/comctl/printer_sheets.h"
#include "platform/comctl/propsheet.h"
#include "platform/comctl/trackbar.h"
#include "platform/kernel/module.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"

namespace {

HINSTANCE own = nullptr;
PROPSHEETUI_INFO* running = nullptr;  // the sheet being shown (one at a time)
HANDLE pageHandle = nullptr;
int deviceChecked = -1;

constexpr WORD kDocumentPage = 600;
constexpr WORD kDevicePage = 601;
constexpr int kCopiesTrack = 1601;
constexpr int kShareCheck = 1602;

INT_PTR PageProc(HWND page, UINT msg, WPARAM, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* psp = reinterpret_cast<PROPSHEETPAGEW*>(lParam);
    SetWindowLongPtrW(page, DWLP_USER, psp->lParam);
    SendDlgItemMessageW(page, kCopiesTrack, TBM_SETRANGE, TRUE, MAKELONG(1, 9));
    return TRUE;
  }
  if (msg != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != PSN_APPLY) return FALSE;
  auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(GetWindowLongPtrW(page, DWLP_USER));
  if (header != nullptr && header->pdmOut != nullptr)
    header->pdmOut->dmCopies = SHORT(SendDlgItemMessageW(page, kCopiesTrack, TBM_GETPOS, 0, 0));
  if (header == nullptr) deviceChecked = int(IsDlgButtonChecked(page, kShareCheck));
  running->pfnComPropSheet(running->hComPropSheet, CPSFUNC_SET_RESULT, reinterpret_cast<LPARAM>(pageHandle), CPSUI_OK);
  SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
  return TRUE;
}

// The provider's answer for each reason; `document` is the header of a document sheet, else
// NULL for the device sheet.
LONG Provide(PROPSHEETUI_INFO* info, LPARAM lParam, DOCUMENTPROPERTYHEADER* document, LPWSTR printer) {
  running = info;
  switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT: {
      PROPSHEETPAGEW psp{};
      psp.dwSize = sizeof psp;
      psp.hInstance = own;
      psp.pszTemplate = MAKEINTRESOURCEW(document ? kDocumentPage : kDevicePage);
      psp.pfnDlgProc = PageProc;
      psp.lParam = reinterpret_cast<LPARAM>(document);
      HPROPSHEETPAGE page = CreatePropertySheetPageW(&psp);
      pageHandle = reinterpret_cast<HANDLE>(
          info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(page), 0));
      if (pageHandle == nullptr) {
        DestroyPropertySheetPage(page);
        return -1;
      }
      info->Result = CPSUI_CANCEL;
      return 1;
    }
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* header = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam);
      header->Flags = PSUIHDRF_NOAPPLYNOW | PSUIHDRF_PROPTITLE;
      header->pTitle = printer;
      header->hInst = own;
      header->IconID = 64082;
      return 1;
    }
    case PROPSHEETUI_REASON_SET_RESULT:
      info->Result = ULONG_PTR(reinterpret_cast<SETRESULT_INFO*>(lParam)->Result);
      return 1;
    case PROPSHEETUI_REASON_DESTROY: running = nullptr; return 1;
    default: return -1;
  }
}

}  // namespace

DLLEXPORT BOOL DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) own = instance;
  return TRUE;
}

DLLEXPORT LONG DrvDocumentPropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam) {
  if (info == nullptr) return -1;
  auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(info->lParamInit);
  if (header == nullptr) return -1;
  return Provide(info, lParam, header, header->pszPrinterName);
}

DLLEXPORT LONG DrvDevicePropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam) {
  if (info == nullptr || info->lParamInit == 0) return -1;
  return Provide(info, lParam, nullptr, reinterpret_cast<DEVICEPROPERTYHEADER*>(info->lParamInit)->pszPrinterName);
}

DLLEXPORT int QvSheetDeviceChecked() { return deviceChecked; }
