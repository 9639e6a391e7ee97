// Number text of the dialog's edits and read-outs (see number_text.h).
#include "scanner/ui/number_text.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/base/text.h"
#include "platform/user/dialog.h"

namespace {

constexpr int kEditTextBytes = 80;
constexpr int kNumberTextBytes = 64;
// 10^9 is the largest power of ten a 32-bit value holds.
constexpr int kMaxDecimals = 9;

// Lengths in 1/1200 inch per unit.
constexpr double kUnitFactors[] = {1.0, 2.54, 25.4, 0.0, 6.0, 72.0};

LONG PowerOfTen(int decimals) {
  LONG p = 1;
  for (int i = 0; i < decimals; ++i) p *= 10;
  return p;
}

// The edit's text as bytes (the edits hold digits, signs and points only).
void ReadEditText(HWND dialog, int control, char* text, int size) {
  char16_t wide[kEditTextBytes] = {};
  GetDlgItemTextW(dialog, control, reinterpret_cast<LPWSTR>(wide), kEditTextBytes);
  int i = 0;
  for (; i < size - 1 && wide[i] != 0; ++i) text[i] = wide[i] < 0x80 ? static_cast<char>(wide[i]) : '?';
  text[i] = 0;
}

void WriteEditText(HWND dialog, int control, const char* text) {
  std::u16string wide(text, text + std::strlen(text));
  SetDlgItemTextW(dialog, control, reinterpret_cast<LPCWSTR>(wide.c_str()));
}

}  // namespace

BOOL DocumentUnitsTo(LONG length, WORD unit, LONG dpi, double* out) {
  if (unit > kUnitPoint) return FALSE;
  const double factor = unit == kUnitPixel ? static_cast<double>(dpi) : kUnitFactors[unit];
  *out = length * factor / 1200.0;
  return TRUE;
}

void FormatDecimalValue(LPSTR text, LONG value, int decimals) {
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  long long v = value;
  char* out = text;
  if (v < 0) {
    *out++ = '-';
    v = -v;
  }
  if (decimals <= 0) {
    std::snprintf(out, kNumberTextBytes - 1, "%lld", v);
    return;
  }
  const long long p = PowerOfTen(decimals);
  std::snprintf(out, kNumberTextBytes - 1, "%lld.%0*lld", v / p, decimals, v % p);
}

LONG ParseFixedPoint(LPCSTR text, int decimals) {
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  int fraction = -1;  // fraction digits read, -1 before the point
  for (; *p != 0; ++p) {
    if (*p == '.') {
      if (fraction >= 0) break;
      fraction = 0;
      if (decimals <= 0) break;
      continue;
    }
    if (*p < '0' || *p > '9') break;
    if (value <= LLONG_MAX / 100) value = value * 10 + (*p - '0');
    if (fraction >= 0 && ++fraction >= decimals) break;
  }
  if (fraction < 0) fraction = 0;
  for (; fraction < decimals; ++fraction)
    if (value <= LLONG_MAX / 100) value *= 10;
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<LONG>(value);
}

void FormatDecimal(LPSTR text, int size, double value, int decimals) {
  if (size <= 0) return;
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  if (!(value >= 0) || value > 1e15) value = 0;
  // The value's decimal digits well beyond the ones kept, then rounded half away from zero.
  char exact[64];
  std::snprintf(exact, sizeof exact, "%.*f", decimals + 20, value);
  std::string digits;
  size_t point = 0;
  for (const char* c = exact; *c != 0; ++c) {
    if (*c == '.')
      point = digits.size();
    else
      digits += *c;
  }
  digits.resize(point + decimals + 1);
  const bool up = digits.back() >= '5';
  digits.pop_back();
  for (size_t i = digits.size(); up && i-- > 0;) {
    if (digits[i] == '9') {
      digits[i] = '0';
      if (i == 0) {
        digits.insert(digits.begin(), '1');
        ++point;
      }
      continue;
    }
    ++digits[i];
    break;
  }
  std::string whole = digits.substr(0, point);
  while (whole.size() > 1 && whole[0] == '0') whole.erase(0, 1);
  if (whole.empty()) whole = "0";
  std::string result = decimals > 0 ? whole + "." + digits.substr(point) : whole;
  std::snprintf(text, static_cast<size_t>(size), "%s", result.c_str());
}

void SetEditNumber(HWND dialog, int control, LONG value, BOOL isSigned, int decimals) {
  if (decimals <= 0) {
    SetDlgItemInt(dialog, control, static_cast<UINT>(value), isSigned);
    return;
  }
  char text[kNumberTextBytes];
  FormatDecimalValue(text, value, decimals);
  WriteEditText(dialog, control, text);
}

LONG ReadEditInteger(HWND dialog, int control, LONG fallback) {
  char text[kEditTextBytes];
  ReadEditText(dialog, control, text, sizeof text);
  if (text[0] == 0) return fallback;
  BOOL translated = FALSE;
  const LONG value = static_cast<LONG>(GetDlgItemInt(dialog, control, &translated, TRUE));
  return translated ? value : fallback;
}

LONG ReadEditFixed(HWND dialog, int control, LONG fallback, int decimals) {
  char text[kEditTextBytes];
  ReadEditText(dialog, control, text, sizeof text);
  if (text[0] == 0) return fallback;
  if (text[0] == ' ') FormatDecimalValue(text, fallback, decimals);
  const LONG value = ParseFixedPoint(text, decimals);
  char written[kNumberTextBytes];
  FormatDecimalValue(written, value, decimals);
  WriteEditText(dialog, control, written);
  return value;
}
