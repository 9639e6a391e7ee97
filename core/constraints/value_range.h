// The checks that the property-sheet code runs for a control next to CheckSettingChange: the
// range of a numeric control's value, the stamp requests, and the answer for each control kind.
#pragma once

#include "core/constraints/setting_change.h"
#include "platform/base/types.h"

// Input flags of a range check.
inline constexpr WORD kRangeConvertPositions = 0x0001;  // shown values are control positions
inline constexpr WORD kRangeConvertUnits = 0x0002;      // shown values are in the chosen unit
inline constexpr WORD kRangeFixedLimits = 0x0004;       // the built-in ranges of the font items

// Statuses of the control checks beyond kCheckFailed.
inline constexpr WORD kControlProceed = 9;
inline constexpr WORD kControlRefused = 3;
inline constexpr WORD kControlShowMessage = 11;

// What a failed range check shows: the message text (may be empty), the range in shown
// numbers and how to show them; the flags, unit mode and decimals are the caller's input.
struct RangeCheckResult {
  WCHAR text[128];
  LONG minimum;
  LONG maximum;
  WORD valueType;
  LONG integerFlag;  // 1: whole numbers
  WORD scale;        // shown numbers are the values divided by this
  WORD flags;        // kRange* (input)
  LONG unitMode;     // input; 1 shows sizes in hundredths of an inch
  LONG decimals;     // input
};

// Checks the change's value against its range: the fixed ranges of items 306, 359, 385 and
// 309-311 with kRangeFixedLimits, else the first two choices of the item's list record.
// 9 in range; 11 out of range, with the message kind and the result filled; 3 without a value;
// 1 a missing argument, an item without a fixed range, or a failed read.
WORD CheckValueRange(const SettingsContext* context, const ItemChange* change, ConstraintState* state,
                     WORD* messageKind, RangeCheckResult* result);

// The check of a control kind: 12 and 8 check the range (12 turns an in-range answer into a
// message of kind 1), 16 judges a stamp request, others map by MapControlKind. 9 proceed,
// 11 show a message of the returned kind, 3 refused, or 1. The message kind starts as 1.
WORD CheckConstraintByKind(HANDLE printer, const SettingsContext* context, const ItemChange* change,
                           ConstraintState* state, WORD controlKind, WORD* messageKind, RangeCheckResult* result);

// Item 272 proceeds (9); a request to add a stamp (0x9001) is refused (3) while the store has
// room, else a message of kind 3 (11). 1 for other items, no printer or a failed count.
WORD CheckStampRequest(HANDLE printer, const ItemChange* change, WORD* messageKind);

// The fixed answer of a control kind without a check: 1 -> 3; 4, 36, 132 -> 11 with kind 1;
// 68, 100 -> 11 with kind 4; others 1.
WORD MapControlKind(WORD controlKind, WORD* messageKind);
