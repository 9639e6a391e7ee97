// The conditions of the tray rules: tests of the option values a device query found (its apply
// list), joined into clauses and either-or groups. Caller to come: the device configuration query.
#pragma once

#include <span>

#include "items/item_tables.h"
#include "platform/base/types.h"

// One value found by a device query. A text (type 6) is owned by the entry and its size is
// its byte length with the terminator; item 0 marks an empty slot.
struct ConfigEntry {
  SettingItemId item;
  ValueTypeCode type;
  DWORD size;
  union {
    DWORD number;
    LPWSTR text;
  } value;
};

inline constexpr WORD kConditionEitherOr = 2;  // joins the next condition as an alternative
inline constexpr WORD kConditionEndsClause = 3;
inline constexpr WORD kConditionEndsClauseToo = 4;

// One condition of a rule record. A condition without a constant is false.
struct TrayCondition {
  SettingItemId item;
  ValueTypeCode type;
  WORD comparison;  // 1 equal, 2 not equal, 3 to 6 the constant greater/greater-equal/less/less-equal
  WORD connector;
  bool hasConstant;
  DWORD constant;      // numbers
  LPCWSTR constantText;  // type 6
};

enum class ConditionResult { kFalse, kTrue, kUndecidable };

// One condition against the apply list.
ConditionResult EvaluateCondition(const TrayCondition& condition, std::span<const ConfigEntry> applyList);
// A whole list: an empty list holds; one undecidable condition met on the walk makes it undecidable.
ConditionResult EvaluateConditionList(std::span<const TrayCondition> conditions, std::span<const ConfigEntry> applyList);

// A pair of a tray rule: the paper source that sits on the device tray of this index.
struct SourceTrayPair {
  WORD source;
  WORD trayIndex;
};

// A tray rule record: the pairs apply when the conditions hold.
struct TrayRule {
  std::span<const TrayCondition> conditions;
  std::span<const SourceTrayPair> pairs;
};

// The device tray index of a paper source: from the first rule that names the source and whose
// conditions hold; 0 (no tray) when none does or when such a rule cannot be evaluated.
WORD FindSourceTrayIndex(WORD source, std::span<const TrayRule> rules, std::span<const ConfigEntry> applyList);
