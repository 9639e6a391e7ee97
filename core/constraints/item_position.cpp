#include "core/constraints/item_position.h"

#include "core/common/units.h"
#include "items/item_ids.h"
#include "platform/base/types.h"

namespace {

constexpr LONG kTenthsFactor = 10;
constexpr LONG kLowestPosition = -3;    // the smallest position that names a step
constexpr LONG kBelowFactorPosition = -4;
constexpr LONG kOffsetLimit = 19;       // items 268, 269, 324 in hundredths of an inch
constexpr ULONGLONG kLargestValue = 0xFFFFFFFFull;

bool IsOffsetItem(SettingItemId id) {
  return id == kItemBindingShift || id == kItemBindingShiftBack || id == kItemBookletShift;
}
bool IsTenthsItem(SettingItemId id) { return IsOffsetItem(id) || id == kItemStampEscapement; }

// The factor of a scaled item (392-403 in groups of three: 1, 256, 65536), 0 for others.
ULONGLONG ScaleFactor(SettingItemId id) {
  if (id < kItemAdjustmentFirst || id > kItemAdjustmentLast) return 0;
  constexpr ULONGLONG kFactors[3] = {1, 256, 65536};
  return kFactors[(id - kItemAdjustmentFirst) % 3];
}

// factor x 2^(position + 3); positions whose value would not fit 32 bits give the largest
// step that does, so a value from an application can never overflow.
LONG PositionToValue(ULONGLONG factor, LONG position) {
  if (position < kLowestPosition) return static_cast<LONG>(factor / 2);
  ULONGLONG value = factor;
  for (LONG p = kLowestPosition; p < position && value * 2 <= kLargestValue; ++p) value *= 2;
  return static_cast<LONG>(static_cast<DWORD>(value));
}

// The smallest position whose step reaches the (unsigned) value; computed in 64 bits, so it
// ends for every 32-bit value.
LONG ValueToPosition(ULONGLONG factor, DWORD value) {
  if (value < factor) return kBelowFactorPosition;
  LONG position = kLowestPosition;
  for (ULONGLONG step = factor; step < value; step *= 2) ++position;
  return position;
}

}  // namespace

BOOL ConvertItemPosition(WORD mode, SettingItemId id, LONG value, LONG* result) {
  if (result == nullptr) return FALSE;
  if (IsTenthsItem(id)) {
    const LONG stored = static_cast<SHORT>(value);
    *result = mode == kPositionToValue ? stored * kTenthsFactor : stored / kTenthsFactor;
    return TRUE;
  }
  const ULONGLONG factor = ScaleFactor(id);
  if (factor == 0) {
    *result = value;
    return FALSE;
  }
  *result = mode == kPositionToValue ? PositionToValue(factor, value)
                                     : ValueToPosition(factor, static_cast<DWORD>(value));
  return TRUE;
}

LONG ClampItemValue(LONG value, SettingItemId id) {
  LONG inches = TenthMmToHundredthInch(value);
  if (IsOffsetItem(id)) {
    if (inches > kOffsetLimit) inches = kOffsetLimit;
    if (inches < -kOffsetLimit) inches = -kOffsetLimit;
  }
  return inches;
}
