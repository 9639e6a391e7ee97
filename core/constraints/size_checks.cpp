#include "core/constraints/size_checks.h"

#include <algorithm>
#include <cstring>

#include "core/constraints/change_values.h"
#include "core/constraints/record_conditions.h"
#include "core/constraints/rule_compare.h"
#include "core/constraints/paper_sizes.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

// Item 265's value that hands the source to item 13.
constexpr WORD kSourceOfDefaultSourceItem = 258;
// Section 26 bit that keeps item 265 in charge even when it holds 258.
constexpr DWORD kFeatureOwnSourceOnly = 0x10;

// Reads one u16 item of the selection and notes it in the check flags.
bool ReadSelectionWord(const SettingsContext* context, const ItemChange* change, SettingItemId id, WORD flag,
                       WORD* field, WORD* flags) {
  if (!ReadChangeOrItemValue(context, change, id, sizeof *field, field)) return false;
  *flags |= flag;
  return true;
}

enum class Precondition : BYTE { kNone, kItem1313Set, kItem332Set };

// One media check kind: the paper it measures, the record (type and key) whose custom range
// the paper must lie in, the check flags it reports and when it applies at all.
struct MediaCheckRow {
  WORD kind;
  WORD MediaSelection::*paper;
  WORD recordType;
  WORD MediaSelection::*key;  // NULL: the fixed key
  WORD fixedKey;
  WORD keptFlags;
  Precondition precondition;
  WORD binValue;  // kinds 5 and 6: the value of items 407-409 that names the checked bin
};

constexpr MediaCheckRow kMediaChecks[] = {
    {1, &MediaSelection::paper, 5, &MediaSelection::source, 0, 0x000F, Precondition::kNone, 0},
    {2, &MediaSelection::paper, 5, &MediaSelection::item389, 0, 0x0013, Precondition::kItem1313Set, 0},
    {3, &MediaSelection::paper, 6, &MediaSelection::item266, 0, 0x0023, Precondition::kNone, 0},
    {5, &MediaSelection::item410, 5, nullptr, 4, 0x0040, Precondition::kNone, 4},
    {6, &MediaSelection::item411, 5, nullptr, 264, 0x0080, Precondition::kNone, 264},
    {7, &MediaSelection::item411, 6, &MediaSelection::item266, 0, 0x00A0, Precondition::kNone, 0},
    {8, &MediaSelection::item410, 6, &MediaSelection::item266, 0, 0x0060, Precondition::kNone, 0},
    {9, &MediaSelection::paper, 5, &MediaSelection::item333, 0, 0x0803, Precondition::kItem332Set, 0},
};

struct BinItem {
  SettingItemId id;
  WORD flag;
};
constexpr BinItem kBinItems[] = {{407, kMediaBin407}, {408, kMediaBin408}, {409, kMediaBin409}};

const MediaCheckRow* FindMediaCheck(WORD kind) {
  for (const MediaCheckRow& row : kMediaChecks)
    if (row.kind == kind) return &row;
  return nullptr;
}

bool PreconditionHolds(Precondition precondition, const MediaSelection& selection) {
  switch (precondition) {
    case Precondition::kItem1313Set: return selection.item1313 != 0;
    case Precondition::kItem332Set: return selection.item332 != 0;
    default: return true;
  }
}

void SetCheckFlags(ConstraintState* state, WORD flags) {
  if (state != nullptr) state->checkFlags = flags;
}

// The value of the condition's first element, in a slot CompareRuleValue and the entry look-up
// can read: the element's bytes (never more than it has) or, for a text, its address.
struct FirstValue {
  BYTE type;
  ItemValueCell cell;
  LPCWSTR text;
  const void* Slot() const { return type == DDD_VALUE_STRING ? static_cast<const void*>(&text) : &cell; }
};

bool TakeFirstValue(const StoredValue& value, FirstValue* first) {
  *first = FirstValue{value.type, {}, nullptr};
  if (!value.present || value.value == nullptr || value.count == 0) return false;
  if (value.type == DDD_VALUE_STRING)
    first->text = static_cast<LPCWSTR>(value.value);
  else
    std::memcpy(&first->cell, value.value, std::min<size_t>(value.length, sizeof first->cell));
  return true;
}

// The size-range number a condition of operator 9 tests against: from the list record of its
// item when the condition names the changed item without values, else from the entry its first
// value selects; for the changed item that value must be the change's own. 0: no range.
// kDbOk, kDbNoMemory, or kDbFailed for any other failure.
WORD FindConditionRangeKey(const SettingsContext* context, const ItemChange* change,
                           const ItemValueElement* condition, DatabaseStream* stream, WORD* rangeKey) {
  *rangeKey = 0;
  ConditionValues values;
  const WORD loaded = values.Load(condition, stream);
  if (loaded != kDbOk) return loaded == kDbNoMemory ? kDbNoMemory : kDbFailed;
  FirstValue first{};
  const bool hasValue = TakeFirstValue(values.value, &first);
  const bool namesChange = change != nullptr && condition->item == change->id;
  if (!hasValue && !namesChange) return kDbOk;
  if (hasValue && namesChange) {
    ValueTypeCode type = 0;
    ItemValueCell current{};
    if (!ReadChangeOrItemCell(context, change, change->id, &type, &current)) return kDbFailed;
    const WORD same = CompareRuleValue(kOpEqual, first.type, first.Slot(), type, ValueOfCell(type, &current));
    if (same == kRuleFails) return kDbOk;
    if (same != kRuleHolds) return kDbFailed;
  }
  ItemStore* store = context->store;
  ScopedRecord record;
  WORD recordType = 0;
  const WORD read = ReadItemValueRecord(TRUE, store->main, store->linked, condition->item,
                                        hasValue ? first.Slot() : nullptr, &recordType, &record.record);
  if (read != kDbOk) return read == kDbNoMemory ? kDbNoMemory : kDbFailed;
  if (recordType == 3 || recordType == 4)
    *rangeKey = reinterpret_cast<const ChoiceListRecord*>(record.record)->range.key;
  else if (recordType == 13 || recordType == 14)
    *rangeKey = reinterpret_cast<const ChoiceEntryRecord*>(record.record)->range.key;
  return kDbOk;
}

}  // namespace

BOOL BuildMediaSelection(const SettingsContext* context, const ItemChange* change, MediaSelection* selection) {
  if (selection == nullptr) return FALSE;
  *selection = MediaSelection{};
  if (context == nullptr || context->store == nullptr) return FALSE;
  MediaSelection& s = *selection;
  WORD& flags = s.checkFlags;
  if (!ReadSelectionWord(context, change, kItemOutputPaper, kMediaItem262, &s.paper, &flags)) return FALSE;
  if (s.paper == kSameAsPaperSize && !ReadSelectionWord(context, change, kItemPaperSize, kMediaItem8, &s.paper, &flags))
    return FALSE;
  if (!ReadSelectionWord(context, change, kItemPaperSource, kMediaItem265, &s.source, &flags)) return FALSE;
  if (s.source == kSourceOfDefaultSourceItem &&
      (ReadSectionValue(context->store->main, 26, 4, 0) & kFeatureOwnSourceOnly) == 0 &&
      !ReadSelectionWord(context, change, kItemDefaultSource, kMediaItem13, &s.source, &flags))
    return FALSE;
  return ReadSelectionWord(context, change, kItemSeparateSource, kMediaItem389, &s.item389, &flags) &&
         ReadChangeOrItemValue(context, change, kItemSeparateSourceOn, sizeof s.item1313, &s.item1313) &&
         ReadSelectionWord(context, change, kItemInsertedSheetPaper, kMediaItem333, &s.item333, &flags) &&
         ReadChangeOrItemValue(context, change, kItemInsertedSheetMode, sizeof s.item332, &s.item332) &&
         ReadSelectionWord(context, change, kItemPaperType, kMediaItem266, &s.item266, &flags) &&
         ReadSelectionWord(context, change, kItemSheetPaperA, kMediaItem410, &s.item410, &flags) &&
         ReadSelectionWord(context, change, kItemSheetPaperB, kMediaItem411, &s.item411, &flags);
}

WORD CheckMediaFit(const ConstraintRecord* record, WORD mode, const SettingsContext* context,
                   const ItemChange* change, ConstraintState* state) {
  if (record == nullptr || context == nullptr) return kSizeError;
  if (SkippedInMode(mode, record->messageWord)) return kSizeFits;
  MediaSelection selection{};
  const BOOL selected = BuildMediaSelection(context, change, &selection);
  const MediaCheckRow* row = FindMediaCheck(CheckKind(record->messageWord));
  if (row == nullptr) {
    SetCheckFlags(state, 0);
    return kSizeFits;
  }
  if (!selected) return kSizeError;
  if (!PreconditionHolds(row->precondition, selection)) {
    SetCheckFlags(state, 0);
    return kSizeFits;
  }
  WORD width = 0, length = 0;
  const WORD size = GetPaperSizeById(context, selection.*(row->paper), &width, &length);
  if (size != kDbOk) return size == kDbNoMemory ? kSizeNoMemory : kSizeError;
  const WORD key = row->key != nullptr ? selection.*(row->key) : row->fixedKey;
  CustomSizeRange range{};
  const WORD read = GetSourceCustomRange(context->store, row->recordType, key, &range);
  if (read == kRangeNoMemory) return kSizeNoMemory;
  if (read == kRangeFailed) return kSizeError;
  // A source or bin that does not take custom paper has no range to fit in: the paper is
  // outside it, as the size operators of conditions judge it.
  if (read == kRangeRead && SizeFitsRange(range, width, length)) {
    SetCheckFlags(state, 0);
    return kSizeFits;
  }
  WORD flags = selection.checkFlags & row->keptFlags;
  if (row->binValue != 0)
    for (const BinItem& bin : kBinItems) {
      WORD value = 0;
      if (!ReadChangeOrItemValue(context, change, bin.id, sizeof value, &value)) return kSizeError;
      if (value == row->binValue) flags |= bin.flag;
    }
  if (state != nullptr) state->checkFlags |= flags;
  return kSizeConflict;
}

WORD CheckCustomSizeFit(const ConstraintRecord* record, WORD mode, const SettingsContext* context,
                        const ItemChange* change) {
  if (record == nullptr || context == nullptr) return kSizeError;
  if (SkippedInMode(mode, record->messageWord)) return kSizeFits;
  MediaSelection selection{};
  if (!BuildMediaSelection(context, change, &selection)) return kSizeError;
  if (!IsUserPaperId(selection.paper)) return kSizeFits;
  WORD width = 0, length = 0;
  if (!GetUserPaperSize(context, selection.paper, &width, &length)) return kSizeError;
  ScopedRecord paper;
  SizePairElement smallest{}, largest{};
  if (ReadKeyedRecord(FALSE, context->store->main, context->store->linked, 10, selection.paper, 0, &paper.record) !=
          kDbOk ||
      GetPaperRecordSize(paper.record, &smallest) != kDbOk || GetPaperRecordAltSize(paper.record, &largest) != kDbOk)
    return kSizeError;
  const bool fits = width >= smallest.width && length >= smallest.length && width <= largest.width &&
                    length <= largest.length;
  return fits ? kSizeFits : kSizeConflict;
}

WORD EvaluateSizeOperator(BYTE op, const SettingsContext* context, const ItemChange* change, WORD* flags) {
  WORD ownFlags = 0;
  if (flags == nullptr) flags = &ownFlags;
  *flags = 0;
  if (context == nullptr) return kCheckFailed;
  MediaSelection selection{};
  if (!BuildMediaSelection(context, change, &selection)) {
    *flags = selection.checkFlags;
    return kCheckFailed;
  }
  if (!IsUserPaperId(selection.paper)) return kRuleFails;
  WORD width = 0, length = 0;
  if (!GetUserPaperSize(context, selection.paper, &width, &length)) return kCheckFailed;

  WORD key = 0, kept = 0;
  switch (op) {
    case kOpCustomSize:
    case kOpCustomSizeOwn:
    case kOpCustomSizeTurned:
    case kOpCustomSizeEither: key = selection.source, kept = 0x000F; break;
    case kOpCustomSizeSource: key = selection.item389, kept = 0x0013; break;
    default: return kRuleFails;
  }
  CustomSizeRange range{};
  const WORD read = GetSourceCustomRange(context->store, 5, key, &range);
  if (read == kRangeNoMemory) return kCheckNoMemory;
  if (read == kRangeFailed) return kCheckFailed;
  bool outside = true;  // a source without custom paper takes no custom size at all
  if (read == kRangeRead) {
    const bool own = SizeFitsRange(range, width, length);
    switch (op) {
      case kOpCustomSizeTurned: outside = !SizeFitsRangeTurned(range, width, length); break;
      case kOpCustomSizeEither: outside = !own && !SizeFitsRangeTurned(range, width, length); break;
      default: outside = !own; break;
    }
  }
  if (!outside) return kRuleFails;
  *flags = selection.checkFlags & kept;
  return kRuleHolds;
}

WORD CheckSizeRangeRecord(const SettingsContext* context, const ItemChange* change,
                          const ItemValueElement* condition, DatabaseStream* stream, WORD* flags) {
  WORD ownFlags = 0;
  if (flags == nullptr) flags = &ownFlags;
  *flags = 0;
  if (context == nullptr || context->store == nullptr || condition == nullptr) return kCheckFailed;
  WORD paper = 0;
  if (!ReadChangeOrItemValue(context, change, kItemOutputPaper, sizeof paper, &paper)) return kCheckFailed;
  if (paper == kSameAsPaperSize && !ReadChangeOrItemValue(context, change, kItemPaperSize, sizeof paper, &paper))
    return kCheckFailed;
  if (!IsUserPaperId(paper)) return kRuleFails;
  WORD width = 0, length = 0;
  if (!GetUserPaperSize(context, paper, &width, &length)) return kCheckFailed;
  WORD rangeKey = 0;
  const WORD found = FindConditionRangeKey(context, change, condition, stream, &rangeKey);
  if (found != kDbOk) return found == kDbNoMemory ? kCheckNoMemory : kCheckFailed;
  if (rangeKey == 0) return kRuleFails;
  ScopedRecord range;
  const WORD read = ReadKeyedRecord(FALSE, context->store->main, context->store->linked, 17, rangeKey, 0, &range.record);
  if (read != kDbOk) return read == kDbNoMemory ? kCheckNoMemory : kCheckFailed;
  const auto* sizes = reinterpret_cast<const SizeRangeRecord*>(range.record);
  const bool inside = width >= sizes->first.width && length >= sizes->first.length &&
                      width <= sizes->second.width && length <= sizes->second.length;
  if (inside) return kRuleFails;
  *flags = kMediaItem262;
  return kRuleHolds;
}
