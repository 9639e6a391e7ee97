// Refreshing a page: its run-time records, the bound values read from the settings, the
// current bound item of each row, the item and choice states from the constraint engine, and
// the rows told to show them; the narrower refresh after a change; a page's validation.
#include "core/constraints/constraint_engine.h"
#include "core/messages/sheet_services.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/printer_forms.h"
#include "items/item_ids.h"
#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/kernel/memory.h"
#include "platform/user/message.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/value_pipeline.h"

namespace {

bool UsableForCurrent(StateCode code) { return code == kStateUsable || code == kStateDisabledCurrent; }

// After a rebuild the paper item holds a form number; the model's paper id replaces it.
void MapPaperItem(HandlerContext* context, SheetState* sheet) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(kItemPaperSize, context->settings, context->config, &type, &length, &cell) != kItemDone) return;
  WORD paper = 0;
  const DWORD form = static_cast<DWORD>(static_cast<LONG>(static_cast<SHORT>(cell.word)));
  if (MapFormToPaperId(sheet->printer, form, &paper) == 1) {
    SHORT value = static_cast<SHORT>(paper);
    SetItemValue(kItemPaperSize, context->settings, context->config, kTypeInt16, sizeof value, &value);
  }
}

// Releases what CreateControlStates made for the rows before `stopRow` and for the first
// `stopItem` items of that row.
void ReleaseRowsUpTo(HandlerContext* context, const ControlRow* rows, LONG stopRow, LONG stopItem) {
  PageData* data = GetPageData(context->window);
  for (LONG r = 0; r <= stopRow; ++r) {
    const ControlRow* row = &rows[r];
    const LONG items = r == stopRow ? stopItem : row->itemCount;
    for (LONG i = 0; i < items && row->items != nullptr; ++i) {
      const SettingItemId id = BoundItemId(row->items[i]);
      if (data->states->controlStates != nullptr) {
        RemoveControlState(context->window, row->controlId, data->states->controlStates);
      }
      ReleaseChoiceList(context->window, id);
      if (data->states->itemStates != nullptr) RemoveItemStateRecord(id, data->states->itemStates);
    }
  }
}

}  // namespace

int CreateControlStates(HWND dialog, HandlerContext* context, PageData* data, const ControlRow* rows, LONG count) {
  HMODULE resources = GetResourceModule();
  if (context == nullptr || context->store == nullptr || resources == nullptr || data == nullptr ||
      data->states == nullptr || data->states->controlStates == nullptr || data->states->itemStates == nullptr ||
      data->sheet == nullptr || data->sheet->pageTable == nullptr || data->sheet->pageTable->choiceCache == nullptr) {
    return 0;
  }
  for (LONG r = 0; rows != nullptr && r < count; ++r) {
    const ControlRow* row = &rows[r];
    if (row->itemCount > 0 && row->items == nullptr) {
      ReleaseRowsUpTo(context, rows, r, 0);
      return 0;
    }
    for (LONG i = 0; i < row->itemCount; ++i) {
      const SettingItemId id = BoundItemId(row->items[i]);
      ChoiceList* list = nullptr;
      bool ok = CreateControlState(dialog, row, data->states->controlStates) >= 0;
      const int loaded = ok ? GetOrLoadChoiceList(dialog, resources, context->store, id, &list) : -1;
      ok = ok && loaded != -1;
      if (ok && loaded == 0) {
        ok = CreateItemStateRecord(dialog, id, list->count) >= 0;
        if (!ok) ReleaseChoiceList(dialog, id);
      }
      if (!ok) {
        ReleaseRowsUpTo(context, rows, r, i);
        RemoveControlState(dialog, row->controlId, data->states->controlStates);
        return 0;
      }
    }
  }
  return 1;
}

int ReleaseRowResources(HandlerContext* context, const ControlRow* rows, LONG count) {
  PageData* data = context != nullptr ? GetPageData(context->window) : nullptr;
  if (data == nullptr || data->states == nullptr) return 0;
  for (LONG r = 0; rows != nullptr && r < count; ++r) {
    if (rows[r].itemCount > 0 && rows[r].items == nullptr) return 0;
  }
  if (rows != nullptr && count > 0) ReleaseRowsUpTo(context, rows, count - 1, rows[count - 1].itemCount);
  return 1;
}

int ReadRowValues(HandlerContext* context, const ControlRow* row) {
  ControlState* state = FindControlState(context->window, row);
  if (state == nullptr) return 1;
  for (LONG i = 0; i < state->count; ++i) {
    BoundValue& value = state->entries[i].value;
    if (value.id >= kItemPseudoFirst || value.id == kItemEmptyLabel) continue;
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD size = 0;
    if (GetItemValue(value.id, context->settings, context->config, &type, &size, &cell) != kItemDone) return 0;
    value.type = type;
    value.value = cell;
    value.size = size;
  }
  return 1;
}

int ReadPageValues(HandlerContext* context, const ControlRow* rows, LONG count) {
  for (LONG r = 0; rows != nullptr && r < count; ++r) {
    if (!ReadRowValues(context, &rows[r])) return 0;
  }
  return 1;
}

int UpdateCurrentIndexes(HandlerContext* context, const ControlRow* rows, LONG count) {
  const HWND window = context->window;
  for (LONG r = 0; rows != nullptr && r < count; ++r) {
    ControlState* state = FindControlState(window, &rows[r]);
    if (state == nullptr) continue;
    StateCode code = 0;
    if (state->current != kNoBoundIndex) {
      const SettingItemId id = state->entries[state->current].value.id;
      if (FindChoiceList(window, id) == nullptr || !GetItemStateCode(window, id, &code, nullptr) ||
          !UsableForCurrent(code)) {
        state->current = kNoBoundIndex;
      }
    }
    for (LONG i = 0; i < state->count; ++i) {
      BoundEntry& entry = state->entries[i];
      ChoiceList* list = FindChoiceList(window, entry.value.id);
      if (list == nullptr) continue;
      if (state->current == kNoBoundIndex && GetItemStateCode(window, entry.value.id, &code, nullptr) &&
          UsableForCurrent(code)) {
        state->current = i;
      }
      if (list->kind == 1 || list->kind == 2) {
        entry.choice = FindChoiceByValue(list, BoundValueReference(&entry.value), entry.value.type);
      }
    }
    if (state->count == 1 && state->current == kNoBoundIndex) state->current = 0;
  }
  return 1;
}

int UpdateRowStateCodes(HandlerContext* context, const ControlRow* rows, LONG count, WORD mode,
                        const WORD* changedItems) {
  SheetState* sheet = FindSheetState(context->window);
  if (sheet == nullptr) return 0;
  for (LONG r = 0; rows != nullptr && r < count; ++r) {
    ControlState* state = FindControlState(context->window, &rows[r]);
    if (state == nullptr) continue;
    for (LONG i = 0; i < state->count && i < rows[r].itemCount; ++i) {
      if (((rows[r].items[i] >> 16) & mode) == 0) continue;
      const BoundEntry& entry = state->entries[i];
      ChoiceList* list = FindChoiceList(context->window, entry.value.id);
      ItemStateRecord* record = FindItemStateRecord(context->window, entry.value.id);
      if (list == nullptr || record == nullptr || entry.value.type == 0) continue;
      if (list->kind == 0) return 0;
      ResetConstraintState(record->item);
      if (CheckSettingChange(kCheckModePlain, sheet->printer, context->store, context->settings, context->config,
                             changedItems, entry.value.id, entry.value.type, nullptr, record->item, nullptr,
                             0) != kCheckDone) {
        return 0;
      }
      if (list->kind == 4 || list->kind == 6) continue;
      const LONG first = mode == kRefreshOnFull ? 0 : entry.choice;
      const LONG last = mode == kRefreshOnFull ? list->count - 1 : entry.choice;
      for (LONG n = first; n >= 0 && n <= last && n < record->choiceCount; ++n) {
        ResetConstraintState(record->choices[n]);
        if (CheckSettingChange(kCheckModePlain, sheet->printer, context->store, context->settings, context->config,
                               changedItems, entry.value.id, static_cast<ValueTypeCode>(list->type),
                               ChoiceValueReference(list, n), record->choices[n], nullptr, 0) != kCheckDone) {
          return 0;
        }
      }
    }
  }
  return 1;
}

int RefreshPage(HandlerContext* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                const ControlRow* rows, LONG count) {
  SheetState* sheet = FindSheetState(window);
  PageData* data = GetPageData(window);
  if (context == nullptr || context->store == nullptr || sheet == nullptr || context->settings == nullptr ||
      data == nullptr || context->pageIndex == kEmbeddedPage) {
    return 0;
  }
  sheet->currentPage = context->pageIndex;
  if (wParam != kRefreshAfterValidation) ResetMeasurementUnit(sheet);
  sheet->modified = 0;
  PageDescriptor* page = GetPageEntry(window, context->pageIndex);
  const bool rebuild = page != nullptr && page->rebuild == 1;
  if (rebuild && !CreateControlStates(window, context, data, rows, count)) return 0;
  if (page != nullptr) page->rebuild = 0;
  sheet->applyDone = 0;
  if (rebuild) MapPaperItem(context, sheet);
  if (!ReadPageValues(context, rows, count) || !UpdateCurrentIndexes(context, rows, count) ||
      !UpdateRowStateCodes(context, rows, count, kRefreshOnFull, context->changedItems) ||
      !UpdateCurrentIndexes(context, rows, count)) {
    return 0;
  }
  DispatchToRows(context, message, wParam, lParam, rows, count, 0);
  UpdateRowLabels(context, rows, count, FALSE);
  if (context->permission == 0) ApplyNoPermissionStates(context, rows, count);
  return 0;
}

int ApplyDependentUpdates(HandlerContext* context, const WORD* changedItems, const ControlRow* rows, LONG count) {
  context->message = WM_REFRESHCONTROLS;
  if (context->kind == kTabPage) {
    SendMessageW(GetParent(context->window), PSM_CHANGED, reinterpret_cast<WPARAM>(context->window), 0);
  }
  if (!ReadPageValues(context, rows, count) || !UpdateCurrentIndexes(context, rows, count) ||
      !UpdateRowStateCodes(context, rows, count, kRefreshOnChange, changedItems) ||
      !UpdateCurrentIndexes(context, rows, count)) {
    return 0;
  }
  DispatchToRows(context, WM_REFRESHCONTROLS, 0, reinterpret_cast<LPARAM>(changedItems), rows, count, 0);
  UpdateRowLabels(context, rows, count, TRUE);
  return 1;
}

INT_PTR ValidatePage(HandlerContext* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     const ControlRow* rows, LONG count) {
  if (context == nullptr || context->pageIndex == kEmbeddedPage) return 0;
  const INT_PTR result = DispatchToRows(context, message, wParam, lParam, rows, count, 0);
  if (result == 1) {
    NMHDR header{window, 0, PSN_SETACTIVE};
    RefreshPage(context, window, WM_NOTIFY, kRefreshAfterValidation, reinterpret_cast<LPARAM>(&header), rows, count);
  }
  return result;
}
