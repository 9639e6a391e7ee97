// Evaluation of the tray rules' conditions against the option values a device query found.
#include "ui/pages/device_conditions.h"

#include <cstdint>

#include "platform/base/text.h"

namespace {

constexpr ValueTypeCode kNumber32 = 1;
constexpr ValueTypeCode kSigned16 = 2;
constexpr ValueTypeCode kUnsigned16 = 3;
constexpr ValueTypeCode kSigned32 = 4;
constexpr ValueTypeCode kUnsigned32 = 5;
constexpr ValueTypeCode kWideText = 6;
constexpr ValueTypeCode kUnsigned8 = 8;
constexpr ValueTypeCode kSigned32Too = 10;

// The byte size an apply-list entry of a number type has; 0 for a type that is not a number.
DWORD NumberSize(ValueTypeCode type) {
  switch (type) {
    case kUnsigned8: return 1;
    case kSigned16:
    case kUnsigned16: return 2;
    case kNumber32:
    case kSigned32:
    case kUnsigned32:
    case kSigned32Too: return 4;
    default: return 0;
  }
}

// Operators 7, 8, 10, 11 and 12 compare for equality; 0, 9 and above 12 are unknown (0).
WORD NormalizeComparison(WORD comparison) {
  if (comparison >= 1 && comparison <= 6) return comparison;
  if (comparison == 7 || comparison == 8 || (comparison >= 10 && comparison <= 12)) return 1;
  return 0;
}

// The constant against the device's value, both already brought to one signed range.
ConditionResult Compare(WORD comparison, int64_t constant, int64_t value) {
  bool holds = false;
  switch (comparison) {
    case 1: holds = constant == value; break;
    case 2: holds = constant != value; break;
    case 3: holds = constant > value; break;
    case 4: holds = constant >= value; break;
    case 5: holds = constant < value; break;
    default: holds = constant <= value; break;
  }
  return holds ? ConditionResult::kTrue : ConditionResult::kFalse;
}

// A number as its type reads it: signed types sign-extended from their size.
int64_t ReadNumber(ValueTypeCode type, DWORD number) {
  switch (type) {
    case kSigned16: return static_cast<int16_t>(number & 0xFFFF);
    case kSigned32:
    case kSigned32Too: return static_cast<int32_t>(number);
    case kUnsigned16: return number & 0xFFFF;
    case kUnsigned8: return number & 0xFF;
    default: return number;
  }
}

const ConfigEntry* FindEntry(SettingItemId item, std::span<const ConfigEntry> applyList) {
  for (const ConfigEntry& entry : applyList)
    if (entry.item == item && item != 0) return &entry;
  return nullptr;
}

bool EndsClause(const TrayCondition& condition) {
  return condition.connector == kConditionEndsClause || condition.connector == kConditionEndsClauseToo;
}

}  // namespace

ConditionResult EvaluateCondition(const TrayCondition& condition, std::span<const ConfigEntry> applyList) {
  const bool isText = condition.type == kWideText;
  if (!condition.hasConstant || (isText && condition.constantText == nullptr)) return ConditionResult::kFalse;
  const ConfigEntry* entry = FindEntry(condition.item, applyList);
  if (entry == nullptr || entry->type != condition.type) return ConditionResult::kUndecidable;
  const WORD comparison = NormalizeComparison(condition.comparison);
  if (comparison == 0) return ConditionResult::kUndecidable;
  // A 32-bit number of type 1 and a text know only equal and not equal.
  if ((isText || condition.type == kNumber32) && comparison > 2) return ConditionResult::kUndecidable;
  if (isText) {
    if (entry->value.text == nullptr) return ConditionResult::kUndecidable;
    const bool equal = lstrcmpW(condition.constantText, entry->value.text) == 0;
    return equal == (comparison == 1) ? ConditionResult::kTrue : ConditionResult::kFalse;
  }
  const DWORD size = NumberSize(condition.type);
  if (size == 0 || entry->size != size) return ConditionResult::kUndecidable;
  return Compare(comparison, ReadNumber(condition.type, condition.constant), ReadNumber(condition.type, entry->value.number));
}

ConditionResult EvaluateConditionList(std::span<const TrayCondition> conditions, std::span<const ConfigEntry> applyList) {
  if (conditions.empty()) return ConditionResult::kTrue;
  int count = 0;
  size_t i = 0;
  while (i < conditions.size()) {
    const TrayCondition& condition = conditions[i];
    const ConditionResult result = EvaluateCondition(condition, applyList);
    if (result == ConditionResult::kUndecidable) return result;
    if (result == ConditionResult::kTrue) {
      ++count;
      if (EndsClause(condition)) return ConditionResult::kTrue;
      if (condition.connector != kConditionEitherOr) {
        ++i;
        continue;
      }
      // The rest of the either-or group is passed over, up to and including the condition
      // that closes it.
      size_t closing = i + 1;
      while (closing < conditions.size() && conditions[closing].connector == kConditionEitherOr) ++closing;
      if (closing < conditions.size() && EndsClause(conditions[closing])) return ConditionResult::kTrue;
      i = closing + 1;
      continue;
    }
    if (condition.connector == kConditionEitherOr) {
      ++i;
      continue;
    }
    // A false condition drops its clause: the walk resumes after the clause's end.
    count = 0;
    size_t end = i;
    while (end < conditions.size() && !EndsClause(conditions[end])) ++end;
    i = end < conditions.size() ? end + 1 : i + 1;
  }
  return count > 0 ? ConditionResult::kTrue : ConditionResult::kFalse;
}

WORD FindSourceTrayIndex(WORD source, std::span<const TrayRule> rules, std::span<const ConfigEntry> applyList) {
  for (const TrayRule& rule : rules) {
    const SourceTrayPair* pair = nullptr;
    for (const SourceTrayPair& candidate : rule.pairs)
      if (candidate.source == source) {
        pair = &candidate;
        break;
      }
    if (pair == nullptr) continue;
    const ConditionResult result = EvaluateConditionList(rule.conditions, applyList);
    if (result == ConditionResult::kUndecidable) return 0;
    if (result == ConditionResult::kTrue) return pair->trayIndex;
  }
  return 0;
}
