// Push-button actions: popups and nested sheets on a copy of the page's settings, closing a
// popup, help and documents. File dialogs live in file_dialog_action.cpp.
#include "ui/framework/dialog/button_actions.h"

#include "core/constraints/check_status.h"
#include "core/constraints/constraint_engine.h"
#include "core/constraints/constraint_state.h"
#include "core/constraints/setting_change.h"
#include "core/database/database.h"
#include "core/messages/conflict_messages.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "platform/base/text.h"
#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/dialogs/shellapi.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/message.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_routines.h"

namespace {

constexpr int kSheetTitleChars = 128;
constexpr int kDocumentPathChars = 259;

// The rows of the context's page.
bool ContextRows(const HandlerContext* context, const ControlRow** rows, LONG* count) {
  *rows = nullptr;
  *count = 0;
  return GetPageControls(context->window, context->pageIndex, rows, count) && *rows != nullptr;
}

// A synthesised notice of the property sheet to the page's rows through the page's own step.
INT_PTR ValidateWithKillActive(HandlerContext* context, const ControlRow* rows, LONG count) {
  NMHDR header{context->window, 0, PSN_KILLACTIVE};
  return ValidatePage(context, context->window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), rows, count);
}

INT_PTR RunPopupDialog(HandlerContext* context, const DialogRecord* dialog, PageData* data) {
  if (dialog == nullptr) return -1;
  return DialogBoxParamW(GetResourceModule(), MAKEINTRESOURCEW(dialog->templateId), context->window,
                         dialog->procedure, reinterpret_cast<LPARAM>(data));
}

// The nested sheet's title: the name of the title item's choice list, else the title string.
bool LoadNestedSheetTitle(HandlerContext* context, const NestedSheetDescriptor* descriptor, WCHAR* title) {
  if (descriptor->titleItem != 0) {
    BYTE kind = 0;
    WORD count = 0, status = 0;
    LPCWSTR name = nullptr;
    DatabaseRecord* record = nullptr;
    if (context->store == nullptr ||
        !QueryChoiceListHeader(context->store, descriptor->titleItem, &kind, &count, &name, &record, &status))
      return false;
    if (name != nullptr) lstrcpynW(title, name, kSheetTitleChars);
    FreeRecord(&record, kDbAnyType);
    return name != nullptr;
  }
  if (descriptor->titleStringId == kNoString) return false;
  return LoadStringW(GetResourceModule(), static_cast<UINT>(descriptor->titleStringId), title, kSheetTitleChars) > 0;
}

// The constraint check of a popup that asks first: 0 opens it, 1 ends the action as done
// without opening ("not allowed" was shown), -1 ends it as failed.
int ConfirmPopupItem(HandlerContext* context, const PopupTarget* target) {
  SheetState* sheet = FindSheetState(context->window);
  ConstraintState* state = CreateConstraintState();
  if (state == nullptr || sheet == nullptr) {
    if (state != nullptr) FreeConstraintState(state);
    return -1;
  }
  // The change is judged with the item's current value.
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell value{};
  int result = -1;
  if (GetItemValue(target->item, context->settings, context->config, &type, &length, &value) == kItemDone &&
      CheckSettingChange(kCheckModePlain, sheet->printer, context->store, context->settings, context->config, nullptr,
                         target->item, type, &value, state, nullptr, 0) == kCheckDone) {
    WORD* changed = nullptr;
    const WORD answer = ConfirmSettingChange(context->window, sheet->printer, kConfirmUserChange, context->store,
                                             context->settings, context->config, target->item, type, &value, &changed,
                                             state);
    GlobalFree(changed);
    result = answer == kConflictRefusedRecord ? 1 : answer == kCheckFailed ? -1 : 0;
  }
  FreeConstraintState(state);
  return result;
}

void ShowDocument(HandlerContext* context, const LONG* stringId) {
  if (stringId == nullptr) return;
  if (*stringId == kNoString) {
    if (context->store == nullptr) return;
    LPWSTR path = nullptr;
    if (ReadSectionString(context->store->main, kDocumentSectionString, 0, &path) != 0 || path == nullptr) return;
    ShellExecuteW(context->window, u"open", path, nullptr, nullptr, SW_SHOW);
    GlobalFree(path);
    return;
  }
  WCHAR path[kDocumentPathChars + 1] = {};
  if (LoadStringW(GetResourceModule(), static_cast<UINT>(*stringId), path, kDocumentPathChars + 1) <= 0) return;
  ShellExecuteW(context->window, u"open", path, nullptr, nullptr, SW_SHOW);
}

}  // namespace

int ConfirmPopupOk(HandlerContext* context) {
  const ControlRow* rows = nullptr;
  LONG count = 0;
  ContextRows(context, &rows, &count);
  if (DispatchToRows(context, WM_VALIDATEPAGE, 0, 0, rows, count, 0) == 0) {
    ValidateWithKillActive(context, rows, count);
    PSHNOTIFY apply{{context->window, 0, PSN_APPLY}, 0};
    OnPageApply(context, context->window, reinterpret_cast<LPARAM>(&apply), rows, count, kPopupOkApply);
    EndDialog(context->window, 1);
    return 1;
  }
  // A row refused: what it changed while refusing is shown again, and the popup stays.
  WORD* changed = context->changedItems;
  context->changedItems = nullptr;
  context->changed = 0;
  if (changed != nullptr) ApplyDependentUpdates(context, changed, rows, count);
  GlobalFree(changed);
  return 0;
}

int CancelPopup(HandlerContext* context) {
  const ControlRow* rows = nullptr;
  LONG count = 0;
  ContextRows(context, &rows, &count);
  // The page reset hands WM_CANCELPAGE to the rows before PSN_RESET.
  ValidateWithKillActive(context, rows, count);
  OnPageReset(context, context->window, rows, count, kPopupOkApply);
  EndDialog(context->window, 2);
  return 1;
}

INT_PTR RunNestedPropertySheet(HandlerContext* context, const NestedSheetDescriptor* descriptor, PageData* data) {
  WCHAR title[kSheetTitleChars] = {};
  if (descriptor->pages == nullptr || descriptor->pageCount == 0 || !LoadNestedSheetTitle(context, descriptor, title))
    return -1;
  auto* pages = static_cast<PROPSHEETPAGEW*>(GlobalAlloc(GPTR, sizeof(PROPSHEETPAGEW) * descriptor->pageCount));
  if (pages == nullptr) return -1;
  UINT start = 0;
  for (WORD n = 0; n < descriptor->pageCount; ++n) {
    const DialogRecord& record = descriptor->pages[n];
    if (record.templateId == static_cast<DWORD>(-1)) {
      GlobalFree(pages);
      return -1;
    }
    pages[n].dwSize = sizeof(PROPSHEETPAGEW);
    pages[n].dwFlags = PSP_HASHELP;
    pages[n].hInstance = GetResourceModule();
    pages[n].pszTemplate = MAKEINTRESOURCEW(record.templateId);
    pages[n].pfnDlgProc = record.procedure;
    pages[n].lParam = reinterpret_cast<LPARAM>(data);
    if (start == 0 && descriptor->startTemplate != kNoString &&
        record.templateId == static_cast<DWORD>(descriptor->startTemplate))
      start = n;
  }
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(PROPSHEETHEADERW);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
  if (HasSheetFeature(data->sheet, kRightToLeftFeature) == 1) header.dwFlags |= PSH_RTLREADING;
  header.hwndParent = context->window;
  header.hInstance = GetResourceModule();
  header.pszCaption = title;
  header.nPages = descriptor->pageCount;
  header.nStartPage = start;
  header.ppsp = pages;
  const INT_PTR answer = PropertySheetW(&header);
  GlobalFree(pages);
  return answer == 1 ? 1 : answer == 0 ? 2 : -1;
}

int OpenSettingsDialog(HandlerContext* context, const ButtonAction* action) {
  const ControlRow* rows = nullptr;
  LONG count = 0;
  PageData* caller = GetPageData(context->window);
  if (!ContextRows(context, &rows, &count) || action->target == nullptr || caller == nullptr ||
      caller->sheet == nullptr)
    return 0;
  const DialogRecord* first = action->type == kButtonPopup
                                  ? static_cast<const PopupTarget*>(action->target)->dialog
                                  : static_cast<const NestedSheetDescriptor*>(action->target)->pages;
  if (action->type == kButtonPopup && static_cast<const PopupTarget*>(action->target)->checkFlag == 1) {
    const int checked = ConfirmPopupItem(context, static_cast<const PopupTarget*>(action->target));
    if (checked != 0) return checked == 1 ? 1 : 0;
  }
  if (first == nullptr || first->templateId == static_cast<DWORD>(-1)) return 0;
  // The dialog takes its title from this item's name when it initialises; a title that no
  // dialog took is not left for a later one.
  SheetState* sheet = caller->sheet;
  if (first->titleItem != 0) sheet->pendingTitleItem = first->titleItem;
  PageData* data = CreatePageData(context->window, sheet, &caller->current,
                                  IsSettingsSetValid(&caller->third) ? &caller->third : nullptr);
  if (data == nullptr) {
    sheet->pendingTitleItem = 0;
    return 0;
  }
  // A calling page that refuses to be left keeps the dialog closed.
  if (ValidateWithKillActive(context, rows, count) != 0) {
    sheet->pendingTitleItem = 0;
    DestroyPageData(&data);
    return 1;
  }
  const INT_PTR answer = action->type == kButtonPopup
                             ? RunPopupDialog(context, first, data)
                             : RunNestedPropertySheet(context, static_cast<const NestedSheetDescriptor*>(action->target),
                                                      data);
  sheet->pendingTitleItem = 0;
  sheet->applyDone = 0;
  int copied = CopySettingsSet(&caller->current, &data->current);
  if (copied && IsSettingsSetValid(&data->third)) {
    copied = (IsSettingsSetValid(&caller->third) || CreateSettingsSet(&caller->third)) &&
             CopySettingsSet(&caller->third, &data->third);
  }
  DestroyPageData(&data);
  if (!copied) return 0;
  NMHDR header{context->window, 0, PSN_SETACTIVE};
  RefreshPage(context, context->window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), rows, count);
  return answer != -1 ? 1 : 0;
}

INT_PTR DoButtonAction(HandlerContext* context, WPARAM, LPARAM, const ControlRow* row, const ButtonAction* action) {
  if (context == nullptr || row == nullptr || action == nullptr) return 1;
  context->actionType = action->type;
  context->row = row;
  switch (action->type) {
    case kButtonOk: ConfirmPopupOk(context); break;
    case kButtonCancel: CancelPopup(context); break;
    case kButtonRestoreDefaults: RunRestoreAction(context, row); break;
    case kButtonPopup:
    case kButtonNestedSheet: OpenSettingsDialog(context, action); break;
    case kButtonHelp: {
      NMHDR header{context->window, 0, PSN_HELP};
      ShowContextHelp(context->window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header), context->pageIndex);
      break;
    }
    case kButtonOpenFile:
    case kButtonSaveFile:
      RunFileDialog(context, static_cast<const FileDialogDescriptor*>(action->target), action->type == kButtonSaveFile);
      break;
    case kButtonOpenDocument: ShowDocument(context, static_cast<const LONG*>(action->target)); break;
    default: break;
  }
  const LONG type = action->type;
  context->actionType = 0;
  if (type == kButtonRestoreDefaults || type == kButtonPopup || type == kButtonNestedSheet || type == kButtonOpenFile || type == kButtonSaveFile) {
    if (HWND button = GetDlgItem(context->window, row->controlId)) SetFocus(button);
  }
  return 0;
}
