#include "ui/framework/text/number_text.h"

#include <cstring>

#include "core/descriptors/value_routines.h"
#include "platform/kernel/memory.h"
#include "platform/user/format.h"

namespace {

constexpr int kNumberTextChars = 24;
constexpr int kMaxDigits = 10;

DWORD PowerOfTen(WORD n) {
  DWORD p = 1;
  for (WORD i = 0; i < n; ++i) p *= 10;
  return p;
}

int DigitCount(DWORD v) {
  int n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

bool IsNumberType(ValueTypeCode type) {
  return type == kTypeFlag || type == kTypeInt16 || type == kTypeUInt16 || type == kTypeInt32 ||
         type == kTypeUInt32 || type == kTypeUInt8 || type == kTypeFontField;
}

}  // namespace

int FormatFixedPoint(LPWSTR* text, WORD decimals, BOOL isSigned, DWORD flags, DWORD value) {
  if (text == nullptr) return 0;
  *text = nullptr;
  if ((flags & kEditDecimal) == 0 || decimals > kMaxDecimals) return 0;
  LPCWSTR sign = u"";
  if (isSigned && static_cast<LONG>(value) < 0) {
    sign = u"-";
    value = 0u - value;
  }
  const DWORD scale = PowerOfTen(decimals);
  const DWORD whole = value / scale;
  const DWORD fraction = value % scale;
  WCHAR zeros[kMaxDecimals + 1] = {};
  for (int i = 0; i < decimals - DigitCount(fraction); ++i) zeros[i] = u'0';
  auto* out = static_cast<LPWSTR>(GlobalAlloc(GPTR, kNumberTextChars * sizeof(WCHAR)));
  if (out == nullptr) return 0;
  if ((flags & kFixedPointOmitZeroFraction) != 0 && fraction == 0)
    wsprintfW(out, u"%s%lu", sign, whole);
  else
    wsprintfW(out, u"%s%lu.%s%lu", sign, whole, zeros, fraction);
  *text = out;
  return 1;
}

int FormatNumberText(LPWSTR* text, WORD decimals, BOOL isSigned, ValueTypeCode type, const void* value) {
  if (text == nullptr || value == nullptr) return 0;
  *text = nullptr;
  if (decimals != 0) {
    DWORD number = 0;
    std::memcpy(&number, value, type == kTypeInt16 || type == kTypeUInt16 ? 2 : type == kTypeUInt8 ? 1 : 4);
    if (isSigned && type == kTypeInt16) number = static_cast<DWORD>(static_cast<LONG>(static_cast<SHORT>(number)));
    return FormatFixedPoint(text, decimals, isSigned, kEditDecimal, number);
  }
  if (!IsNumberType(type)) return 0;
  auto* out = static_cast<LPWSTR>(GlobalAlloc(GPTR, kNumberTextChars * sizeof(WCHAR)));
  if (out == nullptr) return 0;
  FormatTypedValue(type, value, out);
  *text = out;
  return 1;
}

int ParseInt32Text(LPCSTR text, LONG* value) {
  if (text == nullptr || value == nullptr) return 0;
  const bool negative = text[0] == '-';
  LPCSTR digits = (text[0] == '-' || text[0] == '+') ? text + 1 : text;
  const size_t count = std::strlen(digits);
  if (count == 0 || count > kMaxDigits) return 0;
  for (size_t i = 0; i < count; ++i)
    if (digits[i] < '0' || digits[i] > '9') return 0;
  // Ten digits are compared with the largest ten-digit text of their sign; the sign itself
  // takes no part, so "+" is held to the same limit as no sign.
  if (count == kMaxDigits && std::strcmp(digits, negative ? "2147483648" : "4294967295") > 0) return 0;
  DWORD accumulated = 0;
  for (size_t i = 0; i < count; ++i) accumulated = accumulated * 10 + static_cast<DWORD>(digits[i] - '0');
  *value = static_cast<LONG>(negative ? 0u - accumulated : accumulated);
  return 1;
}
