// Paper-size unit conversions.
#include "core/common/units.h"
#include "platform/base/types.h"

#include <cstdint>

namespace {

// Applies the sign of value to the conversion of its magnitude. The magnitude is taken in
// 64 bits, so the most negative value converts without overflow.
template <typename Convert>
LONG ConvertSigned(LONG value, Convert convert) {
  const std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  const std::int64_t result = convert(magnitude);
  return static_cast<LONG>(value < 0 ? -result : result);
}

}  // namespace

LONG TenthMmToHundredthInch(LONG value) {
  return ConvertSigned(value, [](std::int64_t v) { return (v * 1000 / 254 + 5) / 10; });
}

LONG HundredthInchToTenthMm(LONG value) {
  // The result can exceed 32 bits only for inputs far beyond any paper size; such values
  // are clamped to the LONG range rather than wrapped.
  return ConvertSigned(value, [](std::int64_t v) {
    const std::int64_t r = (v * 254 / 10 + 5) / 10;
    return r > INT32_MAX ? static_cast<std::int64_t>(INT32_MAX) : r;
  });
}

int SplitHundredths(BOOL tensOnly, WORD value, int* whole, int* fraction) {
  if (whole == nullptr || fraction == nullptr) return 0;
  *whole = value / 100;
  *fraction = tensOnly ? (value % 100) / 10 : value % 100;
  return 1;
}
