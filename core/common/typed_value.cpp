#include "core/common/typed_value.h"

#include <cstring>

int SetTypedValue(ValueTypeCode type, void* slot, const void* value) {
  if (!slot || !value) return 0;
  std::memset(slot, 0, kTypedValueSlotSize);
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case 7:  // single-precision float
    case kTypeFontField: std::memcpy(slot, value, 4); return 1;
    case kTypeInt16:
    case kTypeUInt16: std::memcpy(slot, value, 2); return 1;
    case kTypeUInt8: std::memcpy(slot, value, 1); return 1;
    case kTypeString: std::memcpy(slot, &value, sizeof value); return 1;
    default: return 0;
  }
}
