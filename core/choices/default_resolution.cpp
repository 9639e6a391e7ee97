#include "core/choices/default_resolution.h"

#include "core/choices/choice_list_build.h"
#include "core/constraints/constraint_engine.h"
#include "core/database/model_features.h"
#include "core/descriptors/builtin_lists.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"
#include "platform/user/msgbox.h"

namespace {

constexpr WORD kKindNone = 0;
constexpr WORD kRangeKinds[] = {4, kChoiceKindNoThirdValue};
constexpr DWORD kRightToLeftFeature = 0xFFFF002E;
constexpr WCHAR kConflictCaption[] = u"Default Set Err";
constexpr WCHAR kConflictFormat[] = u"DDMID = 0x%0x%s";

bool IsRangeKind(WORD kind) {
  for (WORD k : kRangeKinds)
    if (k == kind) return true;
  return false;
}

ResolvedItemRow* FindRow(ResolvedItemTable* table, SettingItemId id) {
  for (ResolvedItemRow& row : table->rows)
    if (row.id == id) return &row;
  return nullptr;
}

// A new 0-ended list of the one item.
WORD* ItemAloneList(SettingItemId id) {
  auto* list = static_cast<WORD*>(GlobalAlloc(GPTR, 2 * sizeof(WORD)));
  if (list != nullptr) list[0] = id;
  return list;
}

// What checking one item found.
enum class ItemCheck { kPasses, kConflicts, kFailed };

// Checks the item's current value against the rules; on a conflict *changed holds the items to
// reset (or NULL when none were collected).
ItemCheck CheckItemDefault(HANDLE printer, const SettingsContext& context, SettingItemId id, HMODULE module,
                           ConstraintState* state, WORD** changed) {
  void* extra = nullptr;
  const ItemDescriptor* descriptor = nullptr;
  bool failed = false;
  ChoiceList* header = BuildChoiceListHeader(&extra, &descriptor, printer, context.store, id, module, 0, &failed);
  FreeItemExtraList(extra);
  if (header == nullptr) return failed ? ItemCheck::kFailed : ItemCheck::kPasses;
  const WORD kind = header->kind;
  FreeChoiceList(header);
  ValueTypeCode type = 0;
  ItemValueCell cell{};
  if (ReadCurrentValue(&context, id, &type, &cell) != kItemDone || kind == kKindNone) return ItemCheck::kFailed;
  if (IsRangeKind(kind)) return ItemCheck::kPasses;
  // Every item starts from an empty state, so no message of an earlier item is taken over.
  ResetConstraintState(state);
  if (CheckSettingChange(kCheckModeDefaults, printer, context.store, context.settings, context.config, nullptr, id,
                         type, ValueOfCell(type, &cell), state, changed, 0) != kCheckDone)
    return ItemCheck::kFailed;
  return state->messageType == 0 ? ItemCheck::kPasses : ItemCheck::kConflicts;
}

// The box that reports an item whose conflict resetting cannot cure.
int ShowUnresolvedItem(HMODULE module, HANDLE printer, HWND owner, SettingItemId id) {
  WCHAR conflict[kDefaultConflictChars + 1] = {};
  if (module == nullptr || LoadStringW(module, kStringDefaultConflict, conflict, kDefaultConflictChars + 1) <= 0)
    return kDefaultsUnresolved;
  WCHAR text[WSPRINTF_LIMIT];
  wsprintfW(text, kConflictFormat, static_cast<UINT>(id), conflict);
  UINT style = MB_ICONERROR;
  if (ItemStore* store = OpenItemStore(printer)) {
    if (HasModelFeature(store->main, kRightToLeftFeature)) style |= MB_RIGHT | MB_RTLREADING;
    CloseItemStore(store);
  }
  MessageBoxW(owner, text, kConflictCaption, style);
  return kDefaultsUnresolved;
}

}  // namespace

int ResolveDefaults(HMODULE resourceModule, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                    PrinterConfiguration* config, WORD** changedItems, HWND owner, ResolvedItemTable* table,
                    SettingItemId* lastConflict) {
  if (changedItems == nullptr || table == nullptr || lastConflict == nullptr || store == nullptr ||
      settings == nullptr || config == nullptr)
    return kDefaultsUnresolved;
  *changedItems = nullptr;
  for (ResolvedItemRow& row : table->rows) row.flag = 0;
  ConstraintState* state = CreateConstraintState();
  if (state == nullptr) return kDefaultsUnresolved;
  const SettingsContext context{store, settings, config};
  int result = kDefaultsResolved;
  bool walked = true;
  for (DWORD group = 0; group < kDescriptorGroupCount && walked; ++group) {
    std::span<const ItemDescriptor> descriptors;
    ItemArea area = 0;
    if (!GetGroupDescriptors(group, &descriptors, &area)) {
      result = kDefaultsUnresolved;
      walked = false;
      break;
    }
    for (const ItemDescriptor& descriptor : descriptors) {
      const SettingItemId id = descriptor.id;
      WORD* changed = nullptr;
      const ItemCheck check = CheckItemDefault(printer, context, id, resourceModule, state, &changed);
      if (check == ItemCheck::kPasses) {
        GlobalFree(changed);
        continue;
      }
      if (check == ItemCheck::kFailed) {
        GlobalFree(changed);
        result = kDefaultsUnresolved;
        walked = false;
        break;
      }
      if (ResolvedItemRow* row = FindRow(table, id)) {
        // Known not to be curable by a reset: marked, and the walk goes on.
        row->flag = 1;
        GlobalFree(changed);
        continue;
      }
      walked = false;
      if (id == *lastConflict) {
        ResolvedItemRow* row = FindRow(table, id);
        if (row == nullptr) row = FindRow(table, 0);
        if (row == nullptr) {
          GlobalFree(changed);
          result = kDefaultsUnresolved;
          break;
        }
        *row = ResolvedItemRow{id, 1};
      }
      // A conflict whose rules name no item still has the item itself to reset.
      if (changed == nullptr && (changed = ItemAloneList(id)) == nullptr) {
        result = kDefaultsUnresolved;
        break;
      }
      *lastConflict = id;
      *changedItems = changed;
      result = kDefaultsNeedReset;
      break;
    }
  }
  if (walked && result == kDefaultsResolved) {
    for (const ResolvedItemRow& row : table->rows) {
      if (row.id != 0 && row.flag != 0) {
        result = ShowUnresolvedItem(resourceModule, printer, owner, row.id);
        break;
      }
    }
  }
  FreeConstraintState(state);
  return result;
}
