// The parts of a constraint record that its evaluation and the size checks read: the bits of
// its message word, the connectors of its conditions, and a condition's values.
#pragma once

#include "core/constraints/setting_change.h"
#include "core/database/dbrecords.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

// Bits of a constraint record's message word.
inline constexpr WORD kMessageWordTypeMask = 0x00FF;
inline constexpr WORD kMessageWordSkipApply = 0x0100;     // skipped in mode 2
inline constexpr WORD kMessageWordSkipDefaults = 0x0200;  // skipped in mode 1
inline constexpr WORD kMessageWordKindShift = 10;         // bits 10-13: the check kind
inline constexpr WORD kMessageWordKindMask = 0x3C00;
inline constexpr WORD kMessageWordMarked = 0x4000;         // skipped in modes 1, 2; alone in mode 3

// Condition connectors.
inline constexpr BYTE kConnectOr = 2;
inline constexpr BYTE kConnectEnd = 3;
inline constexpr BYTE kConnectEndGroup = 4;

// The check kind of a message word, and whether it asks for a media check.
inline WORD CheckKind(WORD messageWord) { return (messageWord & kMessageWordKindMask) >> kMessageWordKindShift; }
inline bool IsMediaCheckKind(WORD kind) { return (kind >= 1 && kind <= 3) || (kind >= 5 && kind <= 9); }

// Whether the mode skips a record with this message word.
inline bool SkippedInMode(WORD mode, WORD messageWord) {
  const bool marked = (messageWord & kMessageWordMarked) != 0;
  switch (mode) {
    case kCheckModeDefaults: return marked || (messageWord & kMessageWordSkipDefaults) != 0;
    case kCheckModeApply: return marked || (messageWord & kMessageWordSkipApply) != 0;
    case kCheckModeMarked: return !marked;
    default: return false;
  }
}

// A condition's values, a referenced list loaded into a copy of its own so that the record
// stays as it was read; the copy is freed when this goes.
struct ConditionValues {
  StoredValue value{};
  const void* original = nullptr;
  ConditionValues() = default;
  ConditionValues(const ConditionValues&) = delete;
  ConditionValues& operator=(const ConditionValues&) = delete;
  // kDbOk, or the failure of loading a referenced list (kDbNoMemory without memory).
  WORD Load(const ItemValueElement* condition, DatabaseStream* stream) {
    value = condition->value;
    original = condition->value.value;
    if (value.type != DDD_VALUE_REFERENCE) return kDbOk;
    value.owned = FALSE;
    return LoadReferencedValue(&value, stream);
  }
  ~ConditionValues() {
    if (value.owned && value.value != nullptr && value.value != original) GlobalFree(value.value);
  }
};
