// Help of the framework's pages: the page's help context for the sheet's Help button, the
// control's own for WM_HELP, and for a context menu the control under the mouse with the
// "What's this?" menu; shown with the help engine bound on first use.
#include "core/runtime/resource_module.h"
#include "platform/base/text.h"
#include "platform/comctl/commctrl.h"
#include "platform/dialogs/htmlhelp.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/spooler/spooler.h"
#include "platform/user/menu.h"
#include "platform/user/message.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/sheet/sheet_routines.h"

HtmlHelpProc BindHtmlHelp() {
  static HtmlHelpProc proc = nullptr;
  if (proc == nullptr) {
    HMODULE module = LoadLibraryW(u"hhctrl.ocx");
    if (module != nullptr) {
      proc = reinterpret_cast<HtmlHelpProc>(GetProcAddress(module, MAKEINTRESOURCEA(kHtmlHelpWOrdinal)));
    }
  }
  return proc;
}

namespace {

constexpr WORD kHelpMenu = 3850;
constexpr UINT kWhatsThisCommand = 3851;

}  // namespace

DWORD ChooseContextMenuHelpId(HWND dialog, const DWORD* helpPairs, WPARAM wParam, LPARAM lParam) {
  POINT point{GET_X_LPARAM(lParam), static_cast<int>(static_cast<short>(HIWORD(lParam)))};
  POINT local = point;
  ScreenToClient(dialog, &local);
  HWND hit = ChildWindowFromPointEx(dialog, local, CWP_SKIPINVISIBLE);
  if (hit == nullptr || (hit == dialog && reinterpret_cast<HWND>(wParam) == dialog)) return 0;
  const DWORD id = LookupControlHelpId(helpPairs, hit);
  if (id == 0) return 0;
  HMENU menu = LoadMenuW(GetResourceModule(), MAKEINTRESOURCEW(kHelpMenu));
  if (menu == nullptr) return 0;
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD, point.x, point.y, 0, dialog, nullptr));
  DestroyMenu(menu);
  return command == kWhatsThisCommand ? id : 0;
}

INT_PTR OnHelpMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex, SlotContext*) {
  ShowContextHelp(window, message, wParam, lParam, pageIndex);
  return 1;
}

INT_PTR ShowContextHelp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex) {
  if (dialog == nullptr || pageIndex == kEmbeddedPage) return 1;
  const PageDescriptor* page = GetPageEntry(dialog, pageIndex);
  SheetState* sheet = FindSheetState(dialog);
  if (page == nullptr || sheet == nullptr) return 1;
  DWORD id = 0;
  if (message == WM_NOTIFY) {
    id = static_cast<DWORD>(page->helpId);
  } else if (message == WM_HELP) {
    const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
    if (info != nullptr) id = LookupControlHelpId(page->helpPairs, static_cast<HWND>(info->hItemHandle));
  } else if (message == WM_CONTEXTMENU) {
    id = ChooseContextMenuHelpId(dialog, page->helpPairs, wParam, lParam);
  } else {
    return 1;
  }
  if (id == 0) return 1;
  if (HtmlHelpProc help = BindHtmlHelp()) help(GetDesktopWindow(), sheet->helpFile, HH_HELP_CONTEXT, id);
  return 1;
}

LPWSTR GetDriverHelpFile(HANDLE printer) {
  DWORD needed = 0;
  GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &needed);
  if (needed == 0) return nullptr;
  auto* buffer = static_cast<BYTE*>(GlobalAlloc(GPTR, needed));
  if (buffer == nullptr) return nullptr;
  LPWSTR copy = nullptr;
  if (GetPrinterDriverW(printer, nullptr, 3, buffer, needed, &needed)) {
    LPCWSTR file = reinterpret_cast<DRIVER_INFO_3W*>(buffer)->pHelpFile;
    if (file != nullptr) {
      const size_t chars = lstrlenW(file) + 1;
      copy = static_cast<LPWSTR>(GlobalAlloc(GPTR, chars * sizeof(WCHAR)));
      if (copy != nullptr) lstrcpynW(copy, file, static_cast<int>(chars));
    }
  }
  GlobalFree(buffer);
  return copy;
}
