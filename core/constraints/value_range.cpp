#include "core/constraints/value_range.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "core/constraints/change_values.h"
#include "core/constraints/hard_rules.h"
#include "core/constraints/item_position.h"
#include "core/runtime/resource_module.h"
#include "core/stamps/stamp_store.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/resource.h"

namespace {

// Message kinds handed back with status 11.
constexpr WORD kKindNotice = 1;
constexpr WORD kKindRange = 2;
constexpr WORD kKindStampsFull = 3;

// Control kinds with a check of their own.
constexpr WORD kControlKindRange = 8;
constexpr WORD kControlKindRangeNotice = 12;  // even an in-range value shows a notice
constexpr WORD kControlKindStamp = 16;

// Strings of the ResourceModule that a fixed range shows.
constexpr UINT kRangeTextTenths = 300;
constexpr UINT kRangeTextWhole = 301;

// The built-in ranges of the font items: stored values, the divisor of the shown range, the
// text and the scale shown.
struct FixedRange {
  SettingItemId id;
  LONG minimum;
  LONG maximum;
  LONG divisor;
  bool unsigned16;  // the value is compared as an unsigned 16-bit number
  UINT text;
  WORD scale;
};

constexpr FixedRange kFixedRanges[] = {
    {306, 7, 600, 1, false, kRangeTextWhole, 1},
    {359, 5, 24, 1, false, kRangeTextWhole, 1},
    {385, 50, 240, 10, true, kRangeTextWhole, 1},
    {309, -900, 900, 1, false, kRangeTextTenths, 10},
    {310, -900, 900, 1, false, kRangeTextTenths, 10},
    {311, -900, 900, 1, false, kRangeTextTenths, 10},
};

// The scale of shown decimals is a 16-bit number: more than 4 decimals are shown as 4.
constexpr LONG kMostDecimals = 4;

WORD CheckFixedRange(const ItemChange* change, WORD* messageKind, RangeCheckResult* result) {
  const FixedRange* range = nullptr;
  for (const FixedRange& row : kFixedRanges)
    if (row.id == change->id) range = &row;
  if (range == nullptr) return kCheckFailed;
  LONGLONG value = 0;
  if (!NumberOfTypedValue(change->type, change->value, &value)) return kCheckFailed;
  if (range->unsigned16) value = static_cast<WORD>(value);
  if (value >= range->minimum && value <= range->maximum) return kControlProceed;

  std::memset(result->text, 0, sizeof result->text);
  LoadStringW(GetResourceModule(), range->text, result->text, static_cast<int>(std::size(result->text)));
  result->integerFlag = 1;
  result->scale = range->scale;
  result->minimum = range->minimum / range->divisor;
  result->maximum = range->maximum / range->divisor;
  result->valueType = change->type;
  *messageKind = kKindRange;
  return kControlShowMessage;
}

// Reads a bound of the list range: the value of choice `n`, `width` bytes of it, widened as
// signed or unsigned. FALSE when the choice cannot be read or its value is shorter.
bool ReadRangeBound(const ItemStore* store, SettingItemId id, WORD n, DWORD width, bool isSigned, LONGLONG* bound) {
  WORD type = 0;
  DatabaseRecord* record = nullptr;
  if (ReadChoiceRecord(FALSE, store->main, store->linked, id, n, &type, &record) != kDbOk) return false;
  bool read = false;
  if (record != nullptr && (record->h.type == 13 || record->h.type == 14)) {
    const StoredValue& stored = reinterpret_cast<const ChoiceEntryRecord*>(record)->value;
    if (stored.present && stored.value != nullptr && stored.type != DDD_VALUE_STRING && stored.length >= width) {
      if (width == sizeof(WORD)) {
        WORD v;
        std::memcpy(&v, stored.value, sizeof v);
        *bound = isSigned ? static_cast<LONGLONG>(static_cast<SHORT>(v)) : v;
      } else {
        DWORD v;
        std::memcpy(&v, stored.value, sizeof v);
        *bound = isSigned ? static_cast<LONGLONG>(static_cast<LONG>(v)) : v;
      }
      read = true;
    }
  }
  FreeRecord(&record, kDbAnyType);
  return read;
}

// A bound as the control shows it: a position, or hundredths of an inch in unit mode 1.
LONG ShownBound(SettingItemId id, LONG bound, const RangeCheckResult* result) {
  if (result->flags & kRangeConvertPositions) {
    LONG position = bound;
    if (ConvertItemPosition(kValueToPosition, id, bound, &position)) bound = position;
  }
  if ((result->flags & kRangeConvertUnits) && result->unitMode == 1) bound = ClampItemValue(bound, id);
  return bound;
}

WORD CheckListRange(const SettingsContext* context, const ItemChange* change, WORD* messageKind,
                    RangeCheckResult* result) {
  if (change->id == kItemZoomPercent) {
    LONGLONG scaling = 0;
    if (!ReadChangeOrItemNumber(context, nullptr, kItemZoomOn, &scaling)) return kCheckFailed;
    if (scaling == 0) return kControlProceed;
  }
  if (context->store == nullptr) return kCheckFailed;
  LONGLONG value = 0;
  if (!NumberOfTypedValue(change->type, change->value, &value)) return kCheckFailed;
  // The bounds are read as the change's value is: 16 bits for types 2 and 3, signed for 2, 4
  // and 10.
  const ValueTypeCode type = change->type;
  const DWORD width = type == kTypeInt16 || type == kTypeUInt16 ? sizeof(WORD) : sizeof(DWORD);
  const bool isSigned = type == kTypeInt16 || type == kTypeInt32 || type == kTypeFontField;
  LONGLONG minimum = 0;
  LONGLONG maximum = 0;
  if (!ReadRangeBound(context->store, change->id, 1, width, isSigned, &minimum) ||
      !ReadRangeBound(context->store, change->id, 2, width, isSigned, &maximum))
    return kCheckFailed;
  if (value >= minimum && value <= maximum) return kControlProceed;

  std::memset(result->text, 0, sizeof result->text);
  result->scale = 1;
  result->integerFlag = 1;
  if ((result->flags & (kRangeConvertPositions | kRangeConvertUnits)) && result->decimals > 0) {
    WORD scale = 1;
    for (LONG i = 0; i < std::min(result->decimals, kMostDecimals); ++i) scale *= 10;
    result->scale = scale;
    result->integerFlag = 0;
  }
  result->minimum = ShownBound(change->id, static_cast<LONG>(minimum), result);
  result->maximum = ShownBound(change->id, static_cast<LONG>(maximum), result);
  result->valueType = kTypeInt32;
  *messageKind = kKindRange;
  return kControlShowMessage;
}

}  // namespace

WORD CheckValueRange(const SettingsContext* context, const ItemChange* change, ConstraintState* state,
                     WORD* messageKind, RangeCheckResult* result) {
  if (context == nullptr || change == nullptr || state == nullptr || messageKind == nullptr || result == nullptr)
    return kCheckFailed;
  if (change->value == nullptr) return kControlRefused;
  if (result->flags & kRangeFixedLimits) return CheckFixedRange(change, messageKind, result);
  return CheckListRange(context, change, messageKind, result);
}

WORD CheckStampRequest(HANDLE printer, const ItemChange* change, WORD* messageKind) {
  if (change == nullptr || messageKind == nullptr) return kCheckFailed;
  if (change->id == kItemStampListNames) return kControlProceed;
  if (change->id != kItemStampAddRequest || printer == nullptr) return kCheckFailed;
  DWORD stamps = 0;
  if (CountUserStamps(printer, &stamps) != kStampDone) return kCheckFailed;
  if (stamps < kMaxStoredStamps) return kControlRefused;
  *messageKind = kKindStampsFull;
  return kControlShowMessage;
}

WORD MapControlKind(WORD controlKind, WORD* messageKind) {
  struct KindAnswer {
    WORD kind;
    WORD status;
    WORD messageKind;  // 0: the message kind is left as it is
  };
  static constexpr KindAnswer kAnswers[] = {
      {1, kControlRefused, 0},          {4, kControlShowMessage, 1},   {36, kControlShowMessage, 1},
      {132, kControlShowMessage, 1},    {68, kControlShowMessage, 4},  {100, kControlShowMessage, 4},
  };
  for (const KindAnswer& answer : kAnswers)
    if (answer.kind == controlKind) {
      if (answer.messageKind != 0 && messageKind != nullptr) *messageKind = answer.messageKind;
      return answer.status;
    }
  return kCheckFailed;
}

WORD CheckConstraintByKind(HANDLE printer, const SettingsContext* context, const ItemChange* change,
                           ConstraintState* state, WORD controlKind, WORD* messageKind, RangeCheckResult* result) {
  if (context == nullptr || change == nullptr || state == nullptr || messageKind == nullptr || result == nullptr)
    return kCheckFailed;
  *messageKind = kKindNotice;
  switch (controlKind) {
    case kControlKindRangeNotice: {
      const WORD status = CheckValueRange(context, change, state, messageKind, result);
      if (status != kControlProceed) return status;
      *messageKind = kKindNotice;
      return kControlShowMessage;
    }
    case kControlKindRange: return CheckValueRange(context, change, state, messageKind, result);
    case kControlKindStamp: return CheckStampRequest(printer, change, messageKind);
    default: return MapControlKind(controlKind, messageKind);
  }
}
