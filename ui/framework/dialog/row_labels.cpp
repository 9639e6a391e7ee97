// The labels beside the rows (the bound item's name with an accelerator and a suffix, shown
// in the control's state) and the states of a sheet opened without permission.
#include "core/constraints/check_status.h"
#include "core/constraints/constraint_engine.h"
#include "core/constraints/setting_change.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/kernel/resource.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/row_labels.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

constexpr LONG kAcceleratorPattern = 466;
constexpr LONG kButtonPattern = 477;
constexpr int kLabelStringChars = 128;
constexpr UINT kAcceleratorMarker = 5188;
constexpr int kLabelChars = 257;
constexpr int kPieceChars = 16;

void LoadPiece(HMODULE module, LONG id, WCHAR (&out)[kPieceChars + 1]) {
  out[0] = 0;
  if (id != kNoString && id > 0) LoadStringW(module, static_cast<UINT>(id), out, kPieceChars + 1);
}

void Append(LPWSTR text, int size, LPCWSTR piece) {
  int n = lstrlenW(text);
  for (; piece != nullptr && *piece != 0 && n < size - 1; ++piece) text[n++] = *piece;
  text[n] = 0;
}

WCHAR Upper(WCHAR c) { return c >= u'a' && c <= u'z' ? static_cast<WCHAR>(c - 32) : c; }

// Label state: with permission by the code alone; without, by the row's flags.
void ShowLabelState(HWND label, HWND control, const ControlRow* row, StateCode code, LONG permission) {
  if (permission != 0) {
    ShowWindow(label, code == kStateHidden ? SW_HIDE : SW_SHOW);
    EnableWindow(label, code != kStateDisabled && code != kStateDisabledCurrent && code != kStateHidden);
    return;
  }
  if (row->rowFlags == nullptr) {
    ShowWindow(label, code == kStateHidden ? SW_HIDE : SW_SHOW);
    EnableWindow(label, FALSE);
    return;
  }
  if ((*row->rowFlags & kRowEnabledWithoutPermission) || !(*row->rowFlags & kRowLabelFollowsControl)) return;
  ShowWindow(label, code == kStateHidden ? SW_HIDE : SW_SHOW);
  EnableWindow(label, control != nullptr && IsWindowEnabled(control));
}

// The label of a row whose current item has no choice list (the buttons' pseudo items): its
// state from the engine and, unless hidden, its name from the database. False when the state
// cannot be had.
bool ShowPseudoItemLabel(HandlerContext* context, const ControlRow* row, SettingItemId id, StateCode* code) {
  SheetState* sheet = FindSheetState(context->window);
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  ConstraintState* state = CreateConstraintState();
  bool known = false;
  if (sheet != nullptr && bound != nullptr && state != nullptr &&
      CheckSettingChange(kCheckModePlain, sheet->printer, context->store, context->settings, context->config, nullptr,
                         id, bound->type, nullptr, state, nullptr, 0) == kCheckDone) {
    *code = state->messageType;
    known = true;
  }
  FreeConstraintState(state);
  if (!known || *code == kStateHidden) return known;
  const LONG pattern = row->kind == kKindPushButton ? kButtonPattern
                       : row->kind == kKindCheckBox ? kNoString
                                                    : kAcceleratorPattern;
  WCHAR text[kLabelChars];
  if (FormatItemLabel(context->window, text, kLabelChars, id, pattern, row->labelSuffixId, nullptr))
    SetDlgItemTextW(context->window, row->labelId, text);
  return true;
}

}  // namespace

int FormatAcceleratorLabel(HMODULE module, LPWSTR text, int size, LPCWSTR label, LONG patternId, LONG suffixId,
                           LPCWSTR extra) {
  if (module == nullptr || text == nullptr || size <= 0) return 0;
  WCHAR pattern[kPieceChars + 1], suffix[kPieceChars + 1], marker[kPieceChars + 1];
  LoadPiece(module, patternId, pattern);
  LoadPiece(module, suffixId, suffix);
  LoadPiece(module, kAcceleratorMarker, marker);
  text[0] = 0;
  bool inserted = false;
  const WCHAR* hit = nullptr;
  if (marker[0] != 0) {
    for (const WCHAR* p = pattern; *p != 0; ++p) {
      if (*p == marker[0]) {
        hit = p;
        break;
      }
    }
  }
  int n = 0;
  for (LPCWSTR p = label; p != nullptr && *p != 0 && n < size - 1; ++p) {
    if (!inserted && hit != nullptr && hit[1] != 0 && Upper(*p) == Upper(hit[1]) && n < size - 2) {
      text[n++] = u'&';
      inserted = true;
    }
    text[n++] = *p;
  }
  text[n] = 0;
  Append(text, size, extra);
  if (!inserted) Append(text, size, pattern);
  Append(text, size, suffix);
  return 1;
}

int FormatLabelById(HMODULE module, LPWSTR text, int size, LONG labelId, LONG patternId, LONG suffixId,
                    LPCWSTR extra) {
  if (module == nullptr || text == nullptr || size <= 0 || labelId == kNoString || labelId <= 0) return 0;
  WCHAR label[kLabelStringChars + 1] = {};
  LoadStringW(module, static_cast<UINT>(labelId), label, kLabelStringChars + 1);
  return FormatAcceleratorLabel(module, text, size, label, patternId, suffixId, extra);
}

int FormatItemLabel(HWND dialog, LPWSTR text, int size, SettingItemId id, LONG patternId, LONG suffixId,
                    LPCWSTR extra) {
  SheetState* sheet = dialog != nullptr ? FindSheetState(dialog) : nullptr;
  if (sheet == nullptr || sheet->store == nullptr || text == nullptr || size <= 0) return 0;
  BYTE kind = 0;
  WORD count = 0, status = 0;
  LPCWSTR name = nullptr;
  DatabaseRecord* record = nullptr;
  if (QueryChoiceListHeader(sheet->store, id, &kind, &count, &name, &record, &status) != 1) return 0;
  const int done = FormatAcceleratorLabel(GetResourceModule(), text, size, name, patternId, suffixId, extra);
  ReleaseRecord(record);
  return done;
}

int UpdateRowLabels(HandlerContext* context, const ControlRow* rows, LONG count, BOOL onlyChanged) {
  HMODULE module = GetResourceModule();
  for (LONG r = 0; rows != nullptr && r < count; ++r) {
    const ControlRow* row = &rows[r];
    if (row->labelId == kNoControl) continue;
    HWND label = GetDlgItem(context->window, row->labelId);
    if (label == nullptr) continue;
    const bool skipText = onlyChanged && row->itemCount == 1 && !IsItemChanged(context, BoundItemId(row->items[0]));
    ChoiceList* list = GetCurrentChoiceList(context->window, row);
    StateCode code = 0;
    bool hasCode = GetRowStateCode(context->window, row, &code, nullptr) != 0;
    // A list without a name (the built-in ones) leaves the template's label text.
    LPCWSTR name = list != nullptr ? GetChoiceListName(list) : nullptr;
    if (list != nullptr && hasCode) {
      if (name != nullptr && name[0] != 0 && !skipText && !(onlyChanged && code == kStateHidden && row->labelSuffixId == kNoString)) {
        WCHAR text[kLabelChars];
        const LONG pattern = row->kind == kKindCheckBox ? kNoString : kAcceleratorPattern;
        if (FormatAcceleratorLabel(module, text, kLabelChars, name, pattern, row->labelSuffixId,
                                   nullptr)) {
          SetDlgItemTextW(context->window, row->labelId, text);
        }
      }
    } else if (list == nullptr) {
      const SettingItemId id = GetCurrentBoundItemId(context->window, row);
      if (id == kItemEmptyLabel) SetDlgItemTextW(context->window, row->labelId, u"");
      else if (id >= kItemPseudoFirst && id < kItemEmptyLabel && !skipText)
        hasCode = ShowPseudoItemLabel(context, row, id, &code);
    }
    if (hasCode) {
      HWND control = row->controlId != kNoControl ? GetDlgItem(context->window, row->controlId) : nullptr;
      ShowLabelState(label, control, row, code, context->permission);
    }
  }
  return 1;
}

void ApplyNoPermissionStates(HandlerContext* context, const ControlRow* rows, LONG count) {
  LONG shared = 0;
  const ControlRow* popupRows = GetSharedPopupRows(&shared);
  for (const auto& [table, n] : {std::pair{popupRows, shared}, std::pair{rows, count}}) {
    for (LONG r = 0; table != nullptr && r < n; ++r) {
      const ControlRow* row = &table[r];
      HWND control = row->controlId != kNoControl ? GetDlgItem(context->window, row->controlId) : nullptr;
      if (control == nullptr || !IsWindowEnabled(control)) continue;
      if (row->rowFlags != nullptr && (*row->rowFlags & kRowEnabledWithoutPermission)) {
        EnableWindow(control, TRUE);
        continue;
      }
      StateCode code = 0;
      GetRowStateCode(context->window, row, &code, nullptr);
      ShowControlState(control, code == kStateHidden ? kStateHidden : kStateDisabled);
    }
  }
  PageDescriptor* page = GetPageEntry(context->window, context->pageIndex);
  for (const LONG* id = page != nullptr ? page->noPermissionControls : nullptr; id != nullptr && *id != kNoControl;
       ++id) {
    HWND control = GetDlgItem(context->window, *id);
    if (control != nullptr && IsWindowEnabled(control)) ShowControlState(control, kStateDisabled);
  }
}
