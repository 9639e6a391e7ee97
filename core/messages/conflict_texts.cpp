#include "core/messages/conflict_texts.h"

#include <algorithm>
#include <cstring>

#include "core/constraints/change_values.h"
#include "core/database/dbrecords.h"
#include "core/messages/conflict_lines.h"
#include "core/messages/formatted_strings.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"

namespace {

constexpr WORD kRuleRecordType = 7;
constexpr WORD kNoticeMessageType = 9;
constexpr SettingItemId kPositionItems[] = {kItemBindingEdge, kItemStaplePosition};
constexpr WCHAR kLinkedLineFormat[] = u"\n\t%s : %s";
constexpr int kShortTextChars = 128;

// Texts of the change: the item's name and the value's text (empty without a value).
struct ChangeTexts {
  WCHAR name[kFormattedTextChars];
  WCHAR value[kFormattedTextChars];
  bool hasValue;
};

bool ReadChangeTexts(HMODULE module, const SettingsContext* context, const ItemChange* change,
                     const MeasurementFlags* flags, ChangeTexts* texts) {
  texts->value[0] = 0;
  texts->hasValue = change->value != nullptr;
  if (!GetItemValueText(FALSE, module, context, texts->name, kFormattedTextChars, change->id, nullptr, flags)) return false;
  return !texts->hasValue ||
         GetItemValueText(FALSE, module, context, texts->value, kFormattedTextChars, change->id, change->value, flags);
}

LPWSTR Format(HMODULE module, UINT id, std::initializer_list<FormatArg> args) {
  LPWSTR text = nullptr;
  return LoadFormattedString(module, &text, kFormattedTextChars, id, args) ? text : nullptr;
}

const WORD* FiredRules(const ConstraintState* state) { return state->firedRules; }

// The number of a fired rule's message type; 0xFFFF when it cannot be read.
WORD RuleMessageType(const ItemStore* store, WORD number) {
  ScopedRecord read;
  if (ReadRecord(TRUE, store->main, store->linked, kRuleRecordType, number, &read.record) != kDbOk) return 0xFFFF;
  return reinterpret_cast<const ConstraintRecord*>(read.record)->messageWord & 0xFF;
}

}  // namespace

LPWSTR BuildConflictText(ConflictForm form, HMODULE module, const SettingsContext* context, const ItemChange* change,
                         LPCWSTR extraConditions, LPCWSTR extraForced, LPCWSTR nameOverride, LPCWSTR valueOverride,
                         const ConstraintState* state, const MeasurementFlags* flags) {
  if (context == nullptr || change == nullptr || state == nullptr) return nullptr;
  const BOOL details = state->checkFlags != 0 ? TRUE : FALSE;
  LineText conditions{};
  RememberedIds remembered{};
  if (ListConditionLines(details, module, context, change, state->firedRuleCount, FiredRules(state), &remembered,
                         flags, &conditions) != kCheckDone)
    return nullptr;
  if (extraConditions != nullptr) {
    const int length = lstrlenW(extraConditions);
    if (conditions.length + length < kFormattedTextChars) {
      lstrcpynW(conditions.text + conditions.length, extraConditions, kFormattedTextChars - conditions.length);
      conditions.length += length;
    }
  }
  if (state->checkFlags != 0 &&
      ListCheckFlagItemLines(details, module, context, state->checkFlags, change->id, &remembered, flags,
                             &conditions) != kCheckDone)
    return nullptr;
  LineText forced{};
  if (form == ConflictForm::kQuestion) {
    if (ListForcedEntryLines(FALSE, module, context, state->firedRuleCount, FiredRules(state), flags, &forced,
                             nullptr) != kCheckDone)
      return nullptr;
    if (extraForced != nullptr) {
      const int length = lstrlenW(extraForced);
      if (forced.length + length < kFormattedTextChars) {
        lstrcpynW(forced.text + forced.length, extraForced, kFormattedTextChars - forced.length);
        forced.length += length;
      }
    }
  }
  ChangeTexts texts{};
  if (!ReadChangeTexts(module, context, change, flags, &texts)) return nullptr;
  LPCWSTR name = nameOverride != nullptr ? nameOverride : texts.name;
  const bool withValue = valueOverride != nullptr || texts.hasValue;
  LPCWSTR value = valueOverride != nullptr ? valueOverride : texts.value;
  if (form == ConflictForm::kWarning)
    return withValue ? Format(module, kStringWarningValue, {name, value, conditions.text})
                     : Format(module, kStringWarningNoValue, {name, conditions.text});
  return withValue ? Format(module, kStringQuestionValue, {name, value, conditions.text, forced.text})
                   : Format(module, kStringQuestionNoValue, {name, conditions.text, forced.text});
}

LPWSTR BuildRequirementText(HMODULE module, const SettingsContext* context, const ItemChange* change,
                            const ConstraintState* state, const MeasurementFlags* flags) {
  if (context == nullptr || context->store == nullptr || change == nullptr || state == nullptr) return nullptr;
  LineText forced{};
  if (ListForcedEntryLines(state->checkFlags != 0, module, context, state->firedRuleCount, FiredRules(state), flags,
                           &forced, nullptr) != kCheckDone)
    return nullptr;
  ChangeTexts texts{};
  if (!ReadChangeTexts(module, context, change, flags, &texts)) return nullptr;
  // The first condition of a fired rule on a position item whose current value has a name.
  WCHAR position[kFormattedTextChars] = {};
  for (WORD r = 0; r < state->firedRuleCount && position[0] == 0; ++r) {
    ScopedRecord read;
    if (ReadRecord(TRUE, context->store->main, context->store->linked, kRuleRecordType, state->firedRules[r],
                   &read.record) != kDbOk)
      return nullptr;
    const auto* record = reinterpret_cast<const ConstraintRecord*>(read.record);
    for (WORD c = 0; c < record->conditions.count && position[0] == 0; ++c) {
      const SettingItemId item = record->conditions.items[c].test.item;
      if (item != kPositionItems[0] && item != kPositionItems[1]) continue;
      ItemValueCell current{};
      ValueTypeCode type = 0;
      if (ReadCurrentValue(context, item, &type, &current) != kItemDone) continue;
      WORD recordType = 0;
      ScopedRecord valueRecord;
      if (ReadItemValueRecord(FALSE, context->store->main, context->store->linked, item, &current, &recordType,
                              &valueRecord.record) != kDbOk)
        continue;
      if (LPCWSTR name = GetRecordName(valueRecord.record); name != nullptr) lstrcpynW(position, name, kFormattedTextChars);
    }
  }
  if (position[0] == 0) return nullptr;
  return Format(module, kStringRequirement, {texts.name, texts.value, position, forced.text});
}

LPWSTR BuildNoticeText(HMODULE module, const SettingsContext* context, const ConstraintState* state,
                       const MeasurementFlags* flags) {
  if (context == nullptr || context->store == nullptr || state == nullptr) return nullptr;
  ConstraintState* notice = CreateConstraintState();
  if (notice == nullptr) return nullptr;
  LPWSTR text = nullptr;
  bool failed = CopyConstraintState(notice, state) != kCheckDone;
  if (!failed) {
    ReleaseIdList(&notice->firedRules, &notice->firedRuleCount, notice->firedRuleRoom);
    for (WORD r = 0; r < state->firedRuleCount && !failed; ++r) {
      const WORD type = RuleMessageType(context->store, state->firedRules[r]);
      if (type == 0xFFFF) failed = true;
      else if (type == kNoticeMessageType)
        failed = AppendUniqueItemId(state->firedRules[r], kFiredListInline, &notice->firedRules,
                                    &notice->firedRuleCount) != kCheckDone;
    }
  }
  if (!failed && notice->firedRuleCount != 0) {
    LineText forced{};
    if (ListForcedEntryLines(FALSE, module, context, notice->firedRuleCount, notice->firedRules, flags, &forced,
                             nullptr) == kCheckDone)
      text = Format(module, kStringNotice, {forced.text});
  }
  FreeConstraintState(notice);
  return text;
}

LPWSTR BuildType7Text(HMODULE module, const SettingsContext* context, const ItemChange* change,
                      const ConstraintState* state, const MeasurementFlags* flags) {
  if (context == nullptr || change == nullptr || state == nullptr) return nullptr;
  LineText conditions{};
  RememberedIds remembered{};
  if (ListConditionLines(state->checkFlags != 0, module, context, change, state->firedRuleCount, FiredRules(state),
                         &remembered, flags, &conditions) != kCheckDone)
    return nullptr;
  ChangeTexts texts{};
  if (!ReadChangeTexts(module, context, change, flags, &texts)) return nullptr;
  return Format(module, kStringType7, {texts.name, conditions.text});
}

LPWSTR BuildValueChangeText(HMODULE module, const SettingsContext* context, const ItemChange* change,
                            WORD messageType, const MeasurementFlags* flags) {
  if (context == nullptr || change == nullptr) return nullptr;
  ChangeTexts texts{};
  if (!ReadChangeTexts(module, context, change, flags, &texts)) return nullptr;
  const UINT id = messageType == 10 || messageType == 11 ? kStringValueChange : kStringValueChangeOther;
  return Format(module, id, {texts.name, texts.value});
}

LPWSTR BuildTileCountText(WORD flags, HMODULE module, const SettingsContext* context, const ItemChange* change,
                          LPCWSTR name, LPCWSTR value, const WORD* items, const MeasurementFlags* measurement) {
  if (context == nullptr || items == nullptr) return nullptr;
  LineText lines{};
  if (ListItemLines(module, context, items, 0xFFFF, measurement, &lines) != kCheckDone || lines.length == 0)
    return nullptr;
  switch (flags & 0xF) {
    case 0:
    case 1: {
      ChangeTexts texts{};
      if ((name == nullptr || value == nullptr) &&
          (change == nullptr || !ReadChangeTexts(module, context, change, measurement, &texts)))
        return nullptr;
      return Format(module, (flags & 0xF) == 0 ? kStringTilesTooMany : kStringTilesTooFew,
                    {name != nullptr ? name : texts.name, value != nullptr ? value : texts.value, lines.text});
    }
    case 2: return Format(module, kStringTilesTooManyApply, {lines.text});
    case 3: return Format(module, kStringTilesTooFewApply, {lines.text});
    default: return nullptr;
  }
}

LPWSTR BuildRangeWarningText(HMODULE module, const SettingsContext* context, SettingItemId id, LPCWSTR name,
                             ValueTypeCode type, LONG minimum, LONG maximum, WORD scale, LONG integerFlag,
                             const MeasurementFlags* flags) {
  WCHAR itemName[kFormattedTextChars] = {};
  if (name == nullptr || name[0] == 0) {
    if (context == nullptr || !GetItemValueText(FALSE, module, context, itemName, kFormattedTextChars, id, nullptr, flags))
      return nullptr;
    name = itemName;
  }
  WCHAR low[kShortTextChars], high[kShortTextChars];
  const BOOL whole = integerFlag != 0 ? TRUE : FALSE;
  if (!ValueToText(&minimum, type, whole, low, kShortTextChars, scale) ||
      !ValueToText(&maximum, type, whole, high, kShortTextChars, scale))
    return nullptr;
  return Format(module, kStringRangeWarning, {name, low, high});
}

BOOL BuildChangeListMessage(LPWSTR* text, HMODULE module, const SettingsContext* context, const WORD* ids, WORD count,
                            int id, const MeasurementFlags* flags) {
  if (text == nullptr) return FALSE;
  *text = nullptr;
  LineText lines{};
  if (ListItemLines(module, context, ids, count, flags, &lines) != kCheckDone || lines.length == 0) return FALSE;
  if (id == kChangeListBareLines) {
    auto* bare = static_cast<LPWSTR>(GlobalAlloc(GPTR, kFormattedTextChars * sizeof(WCHAR)));
    if (bare == nullptr) return FALSE;
    lstrcpynW(bare, lines.text, kFormattedTextChars);
    *text = bare;
    return TRUE;
  }
  *text = Format(module, static_cast<UINT>(id), {lines.text});
  return *text != nullptr;
}

WORD BuildLinkedItemConflictText(HMODULE module, const SettingsContext* context, const ItemChange* change,
                                 LinkedItemConflict* out) {
  if (out == nullptr) return kCheckFailed;
  *out = LinkedItemConflict{};
  if (context == nullptr || change == nullptr) return kCheckFailed;
  if (change->id != kItemTileCount && change->id != kItemPageLayout) return kCheckFailed;
  LONGLONG value = 0;
  const bool concerned =
      change->id == kItemTileCount ||
      (change->value != nullptr && NumberOfTypedValue(change->type, change->value, &value) && value == 1);
  ItemValueCell stamp{};
  ValueTypeCode type = 0;
  DWORD bytes = 0;
  if (GetItemValue(kItemStampName, context->settings, context->config, &type, &bytes, &stamp) != kItemDone ||
      type != kTypeString || stamp.data == nullptr)
    return kCheckFailed;
  // The stamp's name as the item holds it, within its field.
  WCHAR stampName[kShortTextChars] = {};
  const auto* stored = static_cast<const WCHAR*>(stamp.data);
  std::memcpy(stampName, stored,
              std::min<size_t>(wcsnlen(stored, bytes / sizeof(WCHAR)), kShortTextChars - 1) * sizeof(WCHAR));
  if (!concerned || stampName[0] == 0) return kCheckDone;
  WCHAR label[kShortTextChars] = {}, none[kShortTextChars] = {};
  if (LoadStringW(module, kStringStampLine, label, kShortTextChars) <= 0 ||
      LoadStringW(module, kStringNoStamp, none, kShortTextChars) <= 0)
    return kCheckFailed;
  static const LPCWSTR kEmptyText = u"";
  out->conditionText = static_cast<LPWSTR>(GlobalAlloc(GPTR, kFormattedTextChars * sizeof(WCHAR)));
  out->forcedText = static_cast<LPWSTR>(GlobalAlloc(GPTR, kFormattedTextChars * sizeof(WCHAR)));
  out->pairs = static_cast<ItemValuePair*>(GlobalAlloc(GPTR, 2 * sizeof(ItemValuePair)));
  if (out->conditionText == nullptr || out->forcedText == nullptr || out->pairs == nullptr) {
    FreeLinkedItemConflict(out);
    return kCheckNoMemory;
  }
  FormatText(out->conditionText, kFormattedTextChars, kLinkedLineFormat, {label, stampName});
  FormatText(out->forcedText, kFormattedTextChars, kLinkedLineFormat, {label, none});
  out->pairs[0] = {kItemStampName, kTypeString, 0, &kEmptyText};
  out->pairs[1] = {kItemStampText, kTypeString, 0, &kEmptyText};
  out->pairCount = 2;
  return kCheckDone;
}

void FreeLinkedItemConflict(LinkedItemConflict* conflict) {
  if (conflict == nullptr) return;
  GlobalFree(conflict->conditionText);
  GlobalFree(conflict->forcedText);
  GlobalFree(conflict->pairs);
  *conflict = LinkedItemConflict{};
}
