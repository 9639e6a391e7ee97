#include "core/messages/conflict_lines.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "core/constraints/constraint_records.h"
#include "core/database/dbrecords.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kRuleRecordType = 7;
// A fired record whose message word is exactly this lists no conditions.
constexpr WORD kNoConditionLinesWord = 4;
constexpr BYTE kOpSizeRange = 9;
constexpr WCHAR kHiddenNameMark = u'!';

constexpr SettingItemId kNeverForced[] = {kItemDitherResolution, kItemPatternResolution, kItemStreamVersion,
                                          kItemAdjustmentListChoice};
constexpr SettingItemId kNeverListed[] = {kItemDitherResolution, kItemPatternResolution, kItemStreamVersion,
                                          kItemResolutionLock};

struct CheckFlagItem {
  WORD bit;
  SettingItemId item;
};
constexpr CheckFlagItem kCheckFlagItems[] = {
    {0x0001, 8},   {0x0002, 262}, {0x0004, 13},  {0x0008, 265}, {0x0010, 389}, {0x0020, 266},
    {0x0040, 410}, {0x0080, 411}, {0x0100, 407}, {0x0200, 408}, {0x0400, 409}, {0x0800, 333},
};

template <size_t N>
bool IsOneOf(const SettingItemId (&items)[N], SettingItemId id) {
  for (SettingItemId item : items)
    if (item == id) return true;
  return false;
}

// Lists the item (when not remembered) and remembers it; a full memory still lists.
bool ListRemembered(HMODULE module, const SettingsContext* context, SettingItemId id, const void* value,
                    BOOL withDetails, const MeasurementFlags* flags, RememberedIds* remembered, LineText* text) {
  if (IsIdInList(remembered->ids, id)) return false;
  AppendItemLine(module, context, id, value, withDetails, flags, text);
  AddIdToBoundedList(remembered->ids, kRememberedIdCount, id);
  return true;
}

// The conditions from `first` to `last` of a group that holds.
void ListGroup(BOOL withDetails, HMODULE module, const SettingsContext* context, const ItemChange* change,
               const ConditionElement* conditions, WORD first, WORD last, RememberedIds* remembered,
               const MeasurementFlags* flags, LineText* text) {
  for (WORD k = first; k <= last; ++k) {
    const ItemValueElement& test = conditions[k].test;
    if ((change != nullptr && test.item == change->id) || test.op == kOpSizeRange) continue;
    ListRemembered(module, context, test.item, nullptr, withDetails, flags, remembered, text);
  }
}

// The conditions of one record, group by group.
WORD ListRecordConditions(BOOL withDetails, HMODULE module, const SettingsContext* context, const ItemChange* change,
                          const ConstraintRecord* record, RememberedIds* remembered, const MeasurementFlags* flags,
                          LineText* text) {
  const WORD n = record->conditions.count;
  const ConditionElement* conditions = record->conditions.items;
  WORD first = 0, i = 0;
  while (i < n) {
    WORD conditionFlags = 0;
    const WORD result = EvaluateCondition(context, change, &conditions[i].test, record->h.stream, &conditionFlags);
    if (result == kRecordError) return kCheckFailed;
    if (result == kRecordQuiet) {
      if (conditions[i].connector == kConnectOr) {
        ++i;
        continue;
      }
      while (i < n && conditions[i].connector != kConnectEnd && conditions[i].connector != kConnectEndGroup) ++i;
      first = ++i;
      continue;
    }
    // Past the other alternatives of an OR chain to its last member.
    while (i + 1 < n && conditions[i].connector == kConnectOr) ++i;
    const BYTE connector = conditions[i].connector;
    const bool ends = connector == kConnectEnd || connector == kConnectEndGroup;
    // A group that the entries end without a group end holds unless its last entry joins by AND.
    constexpr BYTE kConnectAnd = 1;
    if (ends || (i + 1 == n && connector != kConnectAnd)) {
      ListGroup(withDetails, module, context, change, conditions, first, i, remembered, flags, text);
      first = static_cast<WORD>(i + 1);
    }
    ++i;
  }
  return kCheckDone;
}

}  // namespace

BOOL AddIdToBoundedList(WORD* list, WORD capacity, WORD id) {
  if (list == nullptr || id == 0) return FALSE;
  WORD n = 0;
  while (n < capacity && list[n] != 0) {
    if (list[n] == id) return TRUE;
    ++n;
  }
  if (n >= capacity) return FALSE;
  list[n] = id;
  list[n + 1] = 0;
  return TRUE;
}

bool IsIdInList(const WORD* list, WORD id) {
  for (; list != nullptr && *list != 0; ++list)
    if (*list == id) return true;
  return false;
}

BOOL FormatNameValueLine(HMODULE module, const SettingsContext* context, SettingItemId id, const void* value,
                         BOOL withDetails, const MeasurementFlags* flags, LPWSTR line, int capacity) {
  if (line == nullptr || capacity <= 0) return FALSE;
  line[0] = 0;
  WCHAR name[kFormattedTextChars], shown[kFormattedTextChars];
  if (!GetItemValueText(FALSE, module, context, name, kFormattedTextChars, id, nullptr, flags)) return FALSE;
  if (name[0] == kHiddenNameMark) return TRUE;
  ItemValueCell current{};
  if (value == nullptr) {
    ValueTypeCode type = 0;
    if (ReadCurrentValue(context, id, &type, &current) != kItemDone) return FALSE;
    value = &current;
  }
  if (!GetItemValueText(withDetails, module, context, shown, kFormattedTextChars, id, value, flags)) return FALSE;
  LPWSTR text = nullptr;
  if (!LoadFormattedString(module, &text, capacity, kStringNameValueLine, {name, shown})) return FALSE;
  lstrcpynW(line, text, capacity);
  GlobalFree(text);
  return TRUE;
}

BOOL AppendItemLine(HMODULE module, const SettingsContext* context, SettingItemId id, const void* value,
                    BOOL withDetails, const MeasurementFlags* flags, LineText* text) {
  WCHAR line[kFormattedTextChars];
  if (!FormatNameValueLine(module, context, id, value, withDetails, flags, line, kFormattedTextChars)) return FALSE;
  const int length = lstrlenW(line);
  if (text->length + length < kFormattedTextChars) {
    std::memcpy(text->text + text->length, line, (static_cast<size_t>(length) + 1) * sizeof(WCHAR));
    text->length += length;
  }
  return TRUE;
}

WORD ListConditionLines(BOOL withDetails, HMODULE module, const SettingsContext* context, const ItemChange* change,
                        WORD count, const WORD* records, RememberedIds* remembered, const MeasurementFlags* flags,
                        LineText* text) {
  if (context == nullptr || context->store == nullptr || remembered == nullptr || text == nullptr ||
      (count != 0 && records == nullptr))
    return kCheckFailed;
  for (WORD r = 0; r < count; ++r) {
    ScopedRecord read;
    if (ReadRecord(TRUE, context->store->main, context->store->linked, kRuleRecordType, records[r], &read.record) !=
        kDbOk)
      return kCheckFailed;
    const auto* record = reinterpret_cast<const ConstraintRecord*>(read.record);
    if (record->messageWord == kNoConditionLinesWord) continue;
    if (ListRecordConditions(withDetails, module, context, change, record, remembered, flags, text) != kCheckDone)
      return kCheckFailed;
  }
  return kCheckDone;
}

WORD ListForcedEntryLines(BOOL withDetails, HMODULE module, const SettingsContext* context, WORD count,
                          const WORD* records, const MeasurementFlags* flags, LineText* text, WORD* listed) {
  if (context == nullptr || context->store == nullptr || text == nullptr || (count != 0 && records == nullptr))
    return kCheckFailed;
  RememberedIds remembered{};
  WORD lines = 0;
  for (WORD r = 0; r < count; ++r) {
    ScopedRecord read;
    if (ReadRecord(TRUE, context->store->main, context->store->linked, kRuleRecordType, records[r], &read.record) !=
        kDbOk)
      return kCheckFailed;
    const auto* record = reinterpret_cast<const ConstraintRecord*>(read.record);
    for (WORD f = 0; f < record->forced.count; ++f) {
      const ItemValueElement& entry = record->forced.items[f];
      if (IsOneOf(kNeverForced, entry.item) || IsIdInList(remembered.ids, entry.item)) continue;
      const StoredValue& stored = entry.value;
      if (!stored.present || stored.value == nullptr || stored.type == DDD_VALUE_REFERENCE) return kCheckFailed;
      // The value in a cell of its own; the two special values stand for defaults.
      ItemValueCell cell{};
      if (stored.type == DDD_VALUE_STRING) {
        cell.data = stored.value;
      } else {
        std::memcpy(&cell, stored.value, std::min<size_t>(stored.length, sizeof(DWORD)));
        if ((stored.type == DDD_VALUE_INT16 || stored.type == DDD_VALUE_UINT16) &&
            (cell.word == 0x8000 || cell.word == 0x8001)) {
          void* value = nullptr;
          ValueTypeCode type = 0;
          const WORD read = ReadItemDefault(context->store->main, context->store->linked,
                                            cell.word == 0x8000 ? entry.item : 8, &value, &type);
          const bool resolved = read == kDbOk && (type == DDD_VALUE_INT16 || type == DDD_VALUE_UINT16);
          if (resolved) std::memcpy(&cell.word, value, sizeof cell.word);
          GlobalFree(value);
          if (!resolved) return kCheckFailed;
        }
      }
      AppendItemLine(module, context, entry.item, &cell, withDetails, flags, text);
      AddIdToBoundedList(remembered.ids, kRememberedIdCount, entry.item);
      ++lines;
    }
  }
  if (listed != nullptr) *listed = lines;
  return kCheckDone;
}

WORD ListCheckFlagItemLines(BOOL withDetails, HMODULE module, const SettingsContext* context, WORD checkFlags,
                            SettingItemId changed, RememberedIds* remembered, const MeasurementFlags* flags,
                            LineText* text) {
  if (context == nullptr || remembered == nullptr || text == nullptr) return kCheckFailed;
  for (const CheckFlagItem& row : kCheckFlagItems)
    if ((checkFlags & row.bit) != 0 && row.item != changed)
      ListRemembered(module, context, row.item, nullptr, withDetails, flags, remembered, text);
  return kCheckDone;
}

WORD ListItemLines(HMODULE module, const SettingsContext* context, const WORD* ids, WORD count,
                   const MeasurementFlags* flags, LineText* text) {
  if (context == nullptr || text == nullptr || ids == nullptr) return kCheckFailed;
  std::vector<WORD> listed;
  for (WORD i = 0; (count == 0xFFFF ? ids[i] != 0 : i < count); ++i) {
    const WORD id = ids[i];
    if (IsOneOf(kNeverListed, id) || std::find(listed.begin(), listed.end(), id) != listed.end()) continue;
    listed.push_back(id);
    AppendItemLine(module, context, id, nullptr, FALSE, flags, text);
  }
  return kCheckDone;
}
