// Changing one value: the checks a new value passes (busy sheet, policy lock, equal value, the
// constraint engine), the conflict step that asks the user or refuses, and the writing of the
// value with the values the fired records force, collected in the changed-item list.
#include "core/common/typed_compare.h"
#include "core/constraints/constraint_engine.h"
#include "core/constraints/rule_result.h"
#include "core/constraints/value_range.h"
#include "core/messages/conflict_messages.h"
#include "core/messages/conflict_texts.h"
#include "core/messages/sheet_services.h"
#include "core/rules/position_rules.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/policy_file.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/msgbox.h"
#include "ui/framework/dialog/value_pipeline.h"

namespace {

constexpr WORD kFlagUnitAndEditRow = 0x08;
constexpr WORD kFlagLinkedConflict = 0x20;
constexpr WORD kFlagRederivePositions = 0x80;
constexpr WORD kDefaultCheckFlags = 4;
constexpr UINT kNotAllowedString = 427;
constexpr UINT kCaptionString = 265;

struct CheckFlagRow {
  SettingItemId id;
  WORD a, b;
};

constexpr CheckFlagRow kCheckFlagRows[] = {
    {11, 0x0C, 0x02}, {12, 0x0C, 0x02}, {1814, 0x0C, 0x02}, {1801, 0x0C, 0x02}, {1802, 0x0C, 0x02},
    {1812, 0x0C, 0x02}, {8210, 0x0C, 0x02}, {323, 0x0C, 0x02},
    {451, 0x08, 0x02}, {452, 0x08, 0x02}, {268, 0x08, 0x02}, {269, 0x08, 0x02}, {460, 0x08, 0x02},
    {461, 0x08, 0x02}, {274, 0x08, 0x02}, {275, 0x08, 0x02}, {276, 0x08, 0x02}, {277, 0x08, 0x02},
    {278, 0x08, 0x02}, {279, 0x08, 0x02}, {280, 0x08, 0x02}, {281, 0x08, 0x02}, {282, 0x08, 0x02},
    {283, 0x08, 0x02}, {284, 0x08, 0x02}, {285, 0x08, 0x02}, {324, 0x08, 0x02}, {401, 0x08, 0x02},
    {392, 0x08, 0x02}, {395, 0x08, 0x02}, {398, 0x08, 0x02}, {393, 0x08, 0x02}, {402, 0x08, 0x02},
    {396, 0x08, 0x02}, {399, 0x08, 0x02}, {403, 0x08, 0x02}, {394, 0x08, 0x02}, {397, 0x08, 0x02},
    {400, 0x08, 0x02}, {263, 0x08, 0x02}, {306, 0x08, 0x02}, {359, 0x08, 0x02}, {385, 0x08, 0x02},
    {311, 0x08, 0x02}, {309, 0x08, 0x02}, {310, 0x08, 0x02},
    {36865, 0x10, 0x02}, {272, 0x10, 0x02},
    {296, 0x24, 0x44},
    {321, 0x64, 0x02},
    {262, 0x44, 0x02}, {8, 0x44, 0x02},
    {295, 0x01, 0x84}, {7, 0x01, 0x84},
};
static_assert(std::size(kCheckFlagRows) == 54);

// The changed-item list while it grows: inline room first, then a global block.
struct ChangedList {
  WORD room[kChangedListInline] = {};
  WORD* ids = room;
  WORD count = 0;

  ~ChangedList() { ReleaseIdList(&ids, &count, room); }
  // A new 0-ended copy (GlobalFree), NULL without memory.
  WORD* HandOut() const {
    auto* out = static_cast<WORD*>(GlobalAlloc(GPTR, (count + 1u) * sizeof(WORD)));
    for (WORD n = 0; out != nullptr && n < count; ++n) out[n] = ids[n];
    return out;
  }
};

// Writes a number into an item in the item's own type.
WORD WriteNumberItem(const SettingsContext* context, SettingItemId id, WORD value) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, context->settings, context->config, &type, &length, &cell) != kItemDone) return kCheckFailed;
  cell.number = value;
  const ItemChange change{id, type, &cell};
  return ApplyConflictItem(context, &change);
}

WORD ReadWord(const SettingsContext* context, SettingItemId id) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  GetItemValue(id, context->settings, context->config, &type, &length, &cell);
  return cell.word;
}

// The staple and punch positions follow the orientation and pages per sheet.
void RederivePositionItems(const SettingsContext* context) {
  PositionRuleInput input{ReadWord(context, kItemOrientation), ReadWord(context, kItemPagesPerSheet), 0,
                          ReadWord(context, kItemBindingEdgeSource)};
  WORD value = 0;
  if (ResolvePositionRule(&input, &value) == 0) WriteNumberItem(context, kItemBindingEdge, value);
  input.sourceValue = ReadWord(context, kItemStapleSource);
  if (ResolvePositionItems(320, &input, &value) == 0) WriteNumberItem(context, kItemStaplePosition, value);
  input.sourceValue = ReadWord(context, kItemPunchSource);
  if (ResolvePositionItems(341, &input, &value) == 0) WriteNumberItem(context, kItemPunchPosition, value);
}

// Writes the new value and what the fired records and the linked conflict force: 4 or 1.
WORD ApplyConflictChanges(const SettingsContext* context, const ItemChange* change, const ConstraintState* state,
                          const LinkedItemConflict* linked, ChangedList* list) {
  if (ApplyConflictItem(context, change) != kCheckDone) return kCheckFailed;
  if (AppendUniqueItemId(change->id, kChangedListInline, &list->ids, &list->count) != 0) return kCheckFailed;
  if (state->firedRuleCount > 0 &&
      ApplyConstraintRecords(1, context, &list->ids, &list->count, state->firedRuleCount, state->firedRules) ==
          kCheckFailed) {
    return kCheckFailed;
  }
  if (state->firedRequirementCount > 0 &&
      ApplyConstraintRecords(0, context, &list->ids, &list->count, state->firedRequirementCount,
                             state->firedRequirements) == kCheckFailed) {
    return kCheckFailed;
  }
  if (linked->pairCount > 0 &&
      ApplyItemValuePairs(context, &list->ids, &list->count, linked->pairCount, linked->pairs) == kCheckFailed) {
    return kCheckFailed;
  }
  return kCheckApplied;
}

void ShowNotAllowedBox(HWND window) {
  WCHAR text[256] = {};
  WCHAR caption[128] = {};
  HMODULE resources = GetResourceModule();
  LoadStringW(resources, kNotAllowedString, text, 256);
  LoadStringW(resources, kCaptionString, caption, 128);
  ShowMessageBox(window, text, caption, MB_ICONWARNING);
}

}  // namespace

WORD GetItemCheckFlags(SettingItemId id, BOOL hasValue) {
  for (const CheckFlagRow& row : kCheckFlagRows) {
    if (row.id == id) return (row.b & 0x02) == 0 && hasValue ? row.b : row.a;
  }
  return kDefaultCheckFlags;
}

WORD ConfirmSettingChange(HWND window, HANDLE printer, WORD, ItemStore* store, SettingsRecord* settings,
                          PrinterConfiguration* config, SettingItemId id, ValueTypeCode type, const void* value,
                          WORD** changedItems, ConstraintState* state) {
  if (settings == nullptr || store == nullptr || config == nullptr || state == nullptr || window == nullptr ||
      changedItems == nullptr) {
    return kCheckFailed;
  }
  *changedItems = nullptr;
  const SettingsContext context{store, settings, config};
  const ItemChange change{id, type, value};
  if (value != nullptr) {
    const WORD match = MatchItemWithRuleValue(&context, &change);
    if (match == kCheckFailed) return kCheckFailed;
    if (match == kRuleHolds && id != kItemZoomPercent && id != kItemPaperType) return kCheckRefused;
  }
  const WORD flags = GetItemCheckFlags(id, value != nullptr);
  RangeCheckResult range{};
  if (flags & kFlagUnitAndEditRow) {
    // The number format of the item's edit row comes with the edit boxes; until then the
    // range is judged in whole numbers of the sheet's unit.
    SheetState* sheet = GetSheetState(window);
    range.unitMode = sheet != nullptr ? sheet->displayUnit : 0;
  }
  WORD messageKind = 1;
  WORD status = CheckConstraintByKind(printer, &context, &change, state, flags, &messageKind, &range);
  LinkedItemConflict linked{};
  if (status == kControlShowMessage) {
    const bool linkedOk = (flags & kFlagLinkedConflict) == 0 ||
                          BuildLinkedItemConflictText(GetResourceModule(), &context, &change, &linked) == 0;
    if (linkedOk) {
      switch (messageKind) {
        case 1:
          status = ShowConstraintMessage(window, &context, &change, linked.conditionText, linked.forcedText, state);
          break;
        case 2:
          ShowConflictWarning(window, &context, range.scale, range.integerFlag, id, range.text, range.valueType,
                              range.minimum, range.maximum);
          status = kCheckRefused;
          break;
        case 3:
          ShowNotAllowedBox(window);
          status = kConflictRefusedRecord;
          break;
        case 4:
          status = ShowConstraintMessage(window, &context, &change, linked.conditionText, linked.forcedText, state);
          if (status == kConflictGoAhead) status = ResolveItemConflict(window, &context, &change);
          break;
        default: status = kCheckRefused; break;
      }
    }
  }
  ChangedList list;
  if (status == kControlProceed) {
    status = ApplyConflictChanges(&context, &change, state, &linked, &list);
    if (status == kCheckApplied) {
      if (flags & kFlagRederivePositions) RederivePositionItems(&context);
      if (state->messageType == kConflictGoAhead) ShowConflictNotice(window, &context, state);
    }
  }
  FreeLinkedItemConflict(&linked);
  if (status == kCheckNoMemory) status = kCheckFailed;
  if (status == kCheckApplied) {
    *changedItems = list.HandOut();
    if (*changedItems == nullptr) return kCheckFailed;
  }
  return status;
}

int ChangeControlValue(HandlerContext* context, const ControlRow* row, const BoundValue* bound, const void* value,
                       WORD** changedItems) {
  SheetState* sheet = context != nullptr ? FindSheetState(context->window) : nullptr;
  if (sheet == nullptr || row == nullptr || bound == nullptr || value == nullptr || changedItems == nullptr) {
    return kChangeError;
  }
  *changedItems = nullptr;
  if (sheet->busy) return kChangeRefused;
  sheet->busy = 1;
  // Every path below clears the busy flag again, so one failed change never locks the sheet.
  int result = kChangeError;
  WORD flags = 0;
  if (context->store != nullptr && IsItemLockedByPolicy(bound->id, context->store->policy, &flags) &&
      (flags & kPolicyEnforced)) {
    result = kChangeRefused;
  } else if (CompareTypedValues(bound->type, BoundValueReference(bound), value) == kCompareEqual) {
    result = kChangeEqual;
  } else {
    ChoiceList* list = FindChoiceList(context->window, bound->id);
    ItemStateRecord* record = FindItemStateRecord(context->window, bound->id);
    ConstraintState* state = nullptr;
    WORD checkMode = 0;
    if (list != nullptr && record != nullptr && list->kind != 0 && context->settings != nullptr) {
      if (list->kind == 4 || list->kind == 6) {
        state = record->item;
        checkMode = 1;
      } else {
        const LONG n = FindChoiceByValue(list, value, bound->type);
        if (n >= 0 && n < record->choiceCount) state = record->choices[n];
        checkMode = 2;
      }
    }
    if (state != nullptr) {
      ResetConstraintState(state);
      if (CheckSettingChange(kCheckModePlain, sheet->printer, context->store, context->settings, context->config,
                             nullptr, bound->id, bound->type, value, state, nullptr, checkMode) == kCheckDone) {
        const WORD status =
            ConfirmSettingChange(context->window, sheet->printer, kConfirmUserChange, context->store,
                                 context->settings, context->config, bound->id, bound->type, value, changedItems, state);
        result = status == kCheckApplied ? kChangeApplied : status == kCheckFailed ? kChangeError : kChangeRefused;
      }
    }
  }
  sheet->busy = 0;
  return result;
}
