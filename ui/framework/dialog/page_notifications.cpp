// The slot handlers of a page's life: initialisation of the three dialog kinds, activation,
// validation, reset and apply with the sheet-level work of each cycle, the item height of
// owner-drawn lists, the warnings after the first paint, the page index and palette messages.
#include "core/messages/sheet_services.h"
#include "core/persist/paper_fields.h"
#include "core/rules/field_sync.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/comctl/commctrl.h"
#include "platform/comctl/compstui.h"
#include "platform/comctl/propsheet.h"
#include "platform/comctl/tooltip.h"
#include "platform/gdi/dc.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/sheet/sheet_validation.h"

namespace {

constexpr UINT kCaptionString = 265;
constexpr int kCaptionChars = 128;

HWND* TooltipSlot(SheetState* sheet, DialogKind kind) {
  return kind == kPopupDialog ? &sheet->popupTooltip : &sheet->sheetTooltip;
}

// Makes the pending title item's list name (without line feeds) the window text.
void ShowPendingTitle(HWND window, SheetState* sheet) {
  if (sheet->pendingTitleItem == 0 || sheet->store == nullptr) return;
  BYTE kind = 0;
  WORD count = 0, status = 0;
  LPCWSTR name = nullptr;
  DatabaseRecord* record = nullptr;
  if (QueryChoiceListHeader(sheet->store, sheet->pendingTitleItem, &kind, &count, &name, &record, &status) &&
      name != nullptr) {
    WCHAR title[260];
    int n = 0;
    for (LPCWSTR p = name; *p != 0 && n < 259; ++p) {
      if (*p != u'\n') title[n++] = *p;
    }
    title[n] = 0;
    SetWindowTextW(window, title);
  }
  if (record != nullptr) FreeRecord(&record, kDbAnyType);
  sheet->pendingTitleItem = 0;
}

// Common to the three initialisations: the PageData becomes the window's, the title, the
// context, the tooltip, the run-time records and the rows' WM_INITDIALOG.
INT_PTR OnInitPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, PageData* data, LONG pageIndex,
                   SlotContext* slot) {
  if (data == nullptr) return 0;
  SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
  SheetState* sheet = data->sheet;
  ShowPendingTitle(window, sheet);
  GetPageControls(window, pageIndex, &slot->rows, &slot->count);
  HandlerContext* context = slot->context;
  InitHandlerContext(context, window, data->owner, pageIndex, message, slot->kind);
  HWND* tooltip = TooltipSlot(sheet, slot->kind);
  if (*tooltip == nullptr) *tooltip = CreateTooltipWindow(window, 0);
  if (!CreateControlStates(window, context, data, slot->rows, slot->count)) return 0;
  return DispatchToRows(context, WM_INITDIALOG, wParam, lParam, slot->rows, slot->count, 0);
}

void ClearRebuild(HWND window, LONG pageIndex) {
  if (PageDescriptor* page = GetPageEntry(window, pageIndex)) page->rebuild = 0;
}

// DWLP_MSGRESULT carries a notice's answer; the procedure itself says it handled the notice.
INT_PTR AnswerNotice(HWND window, INT_PTR result) {
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace

HWND CreateTooltipWindow(HWND owner, int maxWidth) {
  HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, GetResourceModule(), nullptr);
  if (tip != nullptr && maxWidth != 0) SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, maxWidth);
  return tip;
}

int IsTallListControl(LONG controlId) {
  static constexpr LONG kTallLists[] = {1012, 1351, 1007, 1615, 1476, 1018, 1019, 1020, 1079, 1225};
  for (LONG id : kTallLists) {
    if (id == controlId) return 1;
  }
  return 0;
}

int GetListItemHeight(HWND dialog, LONG controlId) {
  int height = IsTallListControl(controlId) ? 26 : 15;
  HDC dc = GetDC(dialog);
  if (dc == nullptr) return height;
  height = ScaleForDpi(dc, height, LOGPIXELSY);
  ReleaseDC(dialog, dc);
  return height;
}

INT_PTR OnInitPropertyPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex,
                           SlotContext* slot) {
  if (message != WM_INITDIALOG) return 1;
  const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
  auto* data = page != nullptr ? reinterpret_cast<PageData*>(page->lParam) : nullptr;
  if (data != nullptr && data->owner == nullptr) data->owner = GetParent(window);
  const INT_PTR result = OnInitPage(window, message, wParam, lParam, data, pageIndex, slot);
  ClearRebuild(window, pageIndex);
  return result;
}

INT_PTR OnInitChildPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex, SlotContext* slot) {
  if (message != WM_INITDIALOG) return 1;
  const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
  auto* data = page != nullptr ? reinterpret_cast<PageData*>(page->lParam) : nullptr;
  const INT_PTR result = OnInitPage(window, message, wParam, lParam, data, pageIndex, slot);
  ClearRebuild(window, pageIndex);
  return result;
}

INT_PTR OnInitPopupDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex,
                          SlotContext* slot) {
  if (message != WM_INITDIALOG) return 1;
  const INT_PTR result =
      OnInitPage(window, message, wParam, lParam, reinterpret_cast<PageData*>(lParam), pageIndex, slot);
  ClearRebuild(window, pageIndex);
  NMHDR header{window, 0, PSN_SETACTIVE};
  RefreshPage(slot->context, window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), slot->rows, slot->count);
  return result;
}

INT_PTR OnSetActiveNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG, SlotContext* slot) {
  if (message != WM_NOTIFY) return 1;
  return RefreshPage(slot->context, window, message, wParam, lParam, slot->rows, slot->count);
}

INT_PTR OnKillActiveNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG, SlotContext* slot) {
  if (message != WM_NOTIFY) return 1;
  return AnswerNotice(window, ValidatePage(slot->context, window, message, wParam, lParam, slot->rows, slot->count));
}

INT_PTR OnResetNotify(HWND window, UINT message, WPARAM, LPARAM, LONG, SlotContext* slot) {
  if (message != WM_NOTIFY) return 1;
  OnPageReset(slot->context, window, slot->rows, slot->count, slot->kind);
  return 0;
}

INT_PTR OnApplyNotify(HWND window, UINT message, WPARAM, LPARAM lParam, LONG, SlotContext* slot) {
  if (message != WM_NOTIFY) return 1;
  return AnswerNotice(window, OnPageApply(slot->context, window, lParam, slot->rows, slot->count, slot->kind));
}

INT_PTR OnPageApply(HandlerContext* context, HWND window, LPARAM notify, const ControlRow* rows, LONG count,
                    DialogKind kind) {
  PageData* data = GetPageData(window);
  SheetState* sheet = data != nullptr ? data->sheet : nullptr;
  if (sheet == nullptr) return 0;
  if (kind != kTabPage) sheet->popupTooltip = nullptr;
  if (sheet->applyDone == 0) {
    if (kind == kTabPage) {
      // Settings that cannot be read refuse the apply: closing as if OK would drop the
      // user's changes without a result.
      SettingsRecord* settings = nullptr;
      PrinterConfiguration* config = nullptr;
      if (!GetCurrentSettings(window, &settings, &config)) return PSNRET_INVALID_NOCHANGEPAGE;
      ValueTypeCode type = 0;
      DWORD length = 0;
      ItemValueCell cell{};
      if (GetItemValue(kItemApplyCheck, settings, config, &type, &length, &cell) != kItemDone) {
        return PSNRET_INVALID_NOCHANGEPAGE;
      }
      if (sheet->store != nullptr) {
        SyncFormNameItem(sheet->store, sheet->printer, settings, config) &&
            SyncTrueTypeOptionItem(settings, config, kItemTrueTypeMode) && SyncItemTriples274To285(settings, config) &&
            SyncDefaultSourceItem(settings, config) && SyncIcmMethodItem(settings, config) &&
            SyncColorItem(settings, config) && SyncScaleFieldFlag(settings, config) &&
            SyncPaperSizeFieldFlags(settings, config);
      }
      sheet->applied = 1;
      auto function = reinterpret_cast<PFNCOMPROPSHEET>(sheet->sheetFunction);
      if (function != nullptr) {
        function(sheet->sheetHandle, CPSFUNC_SET_RESULT,
                 reinterpret_cast<LPARAM>(sheet->pageHandles != nullptr ? sheet->pageHandles[0] : nullptr), CPSUI_OK);
      }
      const auto* header = reinterpret_cast<const PSHNOTIFY*>(notify);
      if (header != nullptr && header->lParam == 0 && !SnapshotSettings(data)) return PSNRET_INVALID_NOCHANGEPAGE;
    } else if (context->owner != nullptr) {
      SendMessageW(GetParent(context->owner), PSM_CHANGED, reinterpret_cast<WPARAM>(context->owner), 0);
    }
    sheet->applyDone = 1;
  }
  if (context->pageIndex == kEmbeddedPage) return 0;
  context->message = WM_NOTIFY;
  const INT_PTR result = DispatchToRows(context, WM_NOTIFY, 0, notify, rows, count, 0);
  ReleaseRowResources(context, rows, count);
  if (PageDescriptor* page = GetPageEntry(window, context->pageIndex)) page->rebuild = 1;
  return result;
}

INT_PTR OnPageReset(HandlerContext* context, HWND window, const ControlRow* rows, LONG count, DialogKind kind) {
  PageData* data = GetPageData(window);
  SheetState* sheet = data != nullptr ? data->sheet : nullptr;
  if (sheet == nullptr) return 0;
  *TooltipSlot(sheet, kind) = nullptr;
  if (sheet->applyDone == 0) {
    RestoreSettings(data, FALSE);
    sheet->applyDone = 1;
    auto function = reinterpret_cast<PFNCOMPROPSHEET>(sheet->sheetFunction);
    if (kind == kTabPage && sheet->applied == 1 && function != nullptr) {
      function(sheet->sheetHandle, CPSFUNC_SET_RESULT,
               reinterpret_cast<LPARAM>(sheet->pageHandles != nullptr ? sheet->pageHandles[0] : nullptr), CPSUI_OK);
    }
  }
  if (context->pageIndex == kEmbeddedPage) return 0;
  // The records of the context point at the restored set now.
  GetCurrentSettings(window, &context->settings, &context->config);
  DispatchToRows(context, WM_CANCELPAGE, 0, 0, rows, count, 0);
  NMHDR header{window, 0, PSN_RESET};
  DispatchToRows(context, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), rows, count, 0);
  ReleaseRowResources(context, rows, count);
  return 0;
}

INT_PTR OnMeasureItem(HWND window, UINT message, WPARAM, LPARAM lParam, LONG, SlotContext*) {
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
  if (message != WM_MEASUREITEM || measure == nullptr) return 0;
  measure->itemHeight = static_cast<UINT>(GetListItemHeight(window, static_cast<LONG>(measure->CtlID)));
  return 0;
}

INT_PTR OnEraseBackground(HWND window, UINT, WPARAM, LPARAM, LONG, SlotContext*) {
  SheetState* sheet = FindSheetState(window);
  if (sheet == nullptr || sheet->warningsPosted != 0) return 0;
  sheet->warningsPosted = 1;
  int missing = 0;
  if (GetPendingWarning(sheet->pendingWarnings, 0, &missing) != nullptr) {
    PostMessageW(window, WM_SHOWWARNINGS, 0, 0);
  }
  return 0;
}

INT_PTR OnShowWarnings(HWND window, UINT, WPARAM, LPARAM, LONG, SlotContext*) {
  SheetState* sheet = FindSheetState(window);
  if (sheet == nullptr || sheet->pendingWarnings == nullptr) return 0;
  WCHAR caption[kCaptionChars] = {};
  LoadStringW(GetResourceModule(), kCaptionString, caption, kCaptionChars);
  int missing = 0;
  for (int n = 0; n < 2; ++n) {
    LPCWSTR text = GetPendingWarning(sheet->pendingWarnings, n, &missing);
    if (text == nullptr) break;
    ShowMessageBox(window, text, caption, MB_ICONWARNING);
  }
  FreePendingWarnings(&sheet->pendingWarnings);
  sheet->warningsPosted = 0;
  return 0;
}

INT_PTR OnQueryPageIndex(HWND, UINT, WPARAM, LPARAM lParam, LONG pageIndex, SlotContext*) {
  if (auto* out = reinterpret_cast<LONG*>(lParam)) *out = pageIndex;
  return 0;
}

INT_PTR OnPaletteMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LONG, SlotContext* slot) {
  return DispatchToRows(slot->context, message, wParam, lParam, slot->rows, slot->count, 0);
}
