#include "core/common/typed_compare.h"

#include <cstring>

#include "platform/base/text.h"
#include "platform/base/types.h"

namespace {

template <typename T>
SHORT CompareNumbers(const void* first, const void* second) {
  T a, b;
  std::memcpy(&a, first, sizeof a);
  std::memcpy(&b, second, sizeof b);
  return a == b ? kCompareEqual : (a > b ? kCompareGreater : kCompareLess);
}

SHORT CompareWideStrings(const void* first, const void* second) {
  LPCWSTR a, b;
  std::memcpy(&a, first, sizeof a);
  std::memcpy(&b, second, sizeof b);
  if (a == nullptr || b == nullptr) return kCompareNotComparable;
  const int order = wcscmp(a, b);
  return order == 0 ? kCompareEqual : (order > 0 ? kCompareGreater : kCompareLess);
}

}  // namespace

SHORT CompareTypedValues(ValueTypeCode type, const void* first, const void* second) {
  if (first == nullptr || second == nullptr) return kCompareNotComparable;
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeFontField: return CompareNumbers<LONG>(first, second);
    case kTypeInt16: return CompareNumbers<SHORT>(first, second);
    case kTypeUInt16: return CompareNumbers<WORD>(first, second);
    case kTypeUInt32: return CompareNumbers<DWORD>(first, second);
    case kTypeUInt8: return CompareNumbers<BYTE>(first, second);
    case kTypeString: return CompareWideStrings(first, second);
    default: return kCompareNotComparable;
  }
}
