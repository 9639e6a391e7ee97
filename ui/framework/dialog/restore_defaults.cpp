// The restore-defaults button: the page's own items go back to their defaults, the defaults
// pass resets what they contradict, and the user confirms changes beyond the page.
#include <vector>

#include "core/choices/default_resolution.h"
#include "core/common/typed_compare.h"
#include "core/descriptors/item_defaults.h"
#include "core/messages/conflict_messages.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"
#include "ui/framework/dialog/button_actions.h"

namespace {

// A settings set that frees itself.
struct ScopedSettingsSet {
  SettingsSet set{};
  ~ScopedSettingsSet() { FreeSettingsSet(&set); }
  bool CopyFrom(const SettingsSet* source) {
    return (IsSettingsSetValid(&set) || CreateSettingsSet(&set)) && CopySettingsSet(&set, source);
  }
};

bool Contains(const std::vector<WORD>& ids, WORD id) {
  for (WORD n : ids)
    if (n == id) return true;
  return false;
}

// 0 equal, another value when they differ, 2 when they cannot be compared; -1 when unreadable.
int CompareItem(SettingItemId id, const SettingsSet* first, const SettingsSet* second) {
  ValueTypeCode type1 = 0, type2 = 0;
  DWORD length1 = 0, length2 = 0;
  ItemValueCell a{}, b{};
  if (GetItemValue(id, first->settings, first->config, &type1, &length1, &a) != kItemDone ||
      GetItemValue(id, second->settings, second->config, &type2, &length2, &b) != kItemDone || type1 != type2)
    return -1;
  return CompareTypedValues(type1, &a, &b);
}

// The page's bound items (rows without a control and rows kept on restore left out) set to
// their defaults; false when one cannot be.
bool ResetPageItems(HandlerContext* context, const ControlRow* rows, LONG count, std::vector<WORD>* items) {
  for (LONG n = 0; n < count; ++n) {
    const ControlRow& row = rows[n];
    if (row.controlId == kNoControl) continue;
    if (row.rowFlags != nullptr && (*row.rowFlags & kRowKeepOnRestoreDefaults) != 0) continue;
    for (LONG i = 0; i < row.itemCount; ++i) {
      const WORD id = BoundItemId(row.items[i]);
      // Pseudo items only give buttons their state: no setting holds them.
      if (id >= kItemPseudoFirst || Contains(*items, id)) continue;
      if (!ResetItemToDefault(context->store, context->settings, id, context->config)) return false;
      items->push_back(id);
    }
  }
  return true;
}

// The defaults pass: items it names are reset until it is satisfied; those whose value
// changed are collected. False on a failure, and when an item keeps conflicting after its
// reset: the table and the last conflicting item carry over from round to round, so that such
// an item is recorded, reported once and ends the pass.
bool ResolvePageDefaults(HandlerContext* context, SettingsSet* current, std::vector<WORD>* collected) {
  SheetState* sheet = FindSheetState(context->window);
  ResolvedItemTable table{};
  SettingItemId last = 0;
  ScopedSettingsSet before;
  for (;;) {
    WORD* changed = nullptr;
    const int answer = ResolveDefaults(GetResourceModule(), sheet != nullptr ? sheet->printer : nullptr,
                                       context->store, current->settings, current->config, &changed,
                                       context->window, &table, &last);
    if (answer == kDefaultsResolved) return true;
    if (answer != kDefaultsNeedReset || changed == nullptr) {
      GlobalFree(changed);
      return false;
    }
    bool ok = true;
    for (const WORD* id = changed; ok && *id != 0; ++id) {
      if (*id >= kItemKeptFirst && *id <= kItemKeptLast) continue;
      ok = before.CopyFrom(current) && ResetItemToDefault(context->store, current->settings, *id, current->config);
      const int compared = ok ? CompareItem(*id, &before.set, current) : -1;
      if (compared == 2 || compared == -1) ok = false;
      if (ok && compared != 0 && !Contains(*collected, *id)) collected->push_back(*id);
    }
    GlobalFree(changed);
    if (!ok) return false;
  }
}

// A new 0-ended list of the ids (GlobalFree); NULL without memory.
WORD* MakeItemList(const std::vector<WORD>& ids) {
  auto* list = static_cast<WORD*>(GlobalAlloc(GPTR, (ids.size() + 1) * sizeof(WORD)));
  if (list == nullptr) return nullptr;
  for (size_t n = 0; n < ids.size(); ++n) list[n] = ids[n];
  return list;
}

}  // namespace

int RunRestoreAction(HandlerContext* context, const ControlRow* row) {
  context->actionResult = 0;
  SettingsSet* current = nullptr;
  const ControlRow* rows = nullptr;
  LONG count = 0;
  SheetState* sheet = FindSheetState(context->window);
  if (sheet == nullptr || context->store == nullptr || !GetContextSettingsSet(context, &current) ||
      !GetPageControls(context->window, context->pageIndex, &rows, &count))
    return 0;
  ResetMeasurementUnit(sheet);
  ScopedSettingsSet backup;
  if (!backup.CopyFrom(current)) return 0;
  std::vector<WORD> pageItems;
  if (!ResetPageItems(context, rows, count, &pageItems)) {
    CopySettingsSet(current, &backup.set);
    return 0;
  }
  ScopedSettingsSet second;
  std::vector<WORD> collected;
  if (!second.CopyFrom(current) || !ResolvePageDefaults(context, current, &collected)) {
    CopySettingsSet(current, &backup.set);
    return 0;
  }
  LONG result = 1;
  bool recordAll = true;
  if (!collected.empty()) {
    std::vector<WORD> shown;
    for (WORD id : collected) {
      if (!Contains(pageItems, id) || CompareItem(id, &second.set, current) != 0) shown.push_back(id);
    }
    // Nothing beyond what the page shows changed: there is nothing to confirm.
    const WORD answer = shown.empty() ? 0
                                      : ConfirmConflictChanges(context->window, context->store, current->settings,
                                                               current->config, shown.data(),
                                                               static_cast<WORD>(shown.size()));
    if (answer != 0) {
      // Cancelled, or the question could not be asked: defaults the user did not confirm are
      // not kept.
      CopySettingsSet(current, &backup.set);
      result = answer == kConflictCancelled ? 2 : 0;
      recordAll = false;
    }
  }
  std::vector<WORD> changes;
  if (recordAll) {
    changes = pageItems;
    for (WORD id : collected)
      if (!Contains(changes, id)) changes.push_back(id);
  }
  SetContextChanges(context, 1, MakeItemList(changes), row);
  context->actionResult = result;
  return 1;
}
