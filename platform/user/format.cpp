#include "platform/user/format.h"

#include <climits>
#include <cstring>
#include <string>

#include "platform/base/text.h"
#include "platform/kernel/codepage.h"

namespace {

// The formatter behind wsprintfW and wsprintfA; C is the output character type.
template <typename C>
class Formatter {
 public:
  explicit Formatter(C* out) : out_(out) {}

  void Put(C c) {
    if (count_ < WSPRINTF_LIMIT - 1) out_[count_++] = c;
  }
  void PutRepeated(C c, int n) {
    for (int i = 0; i < n; ++i) Put(c);
  }
  int Finish() {
    out_[count_] = 0;
    return count_;
  }

  template <typename S>
  void PutField(const S* text, size_t n, int width, bool left) {
    int pad = width > static_cast<int>(n) ? width - static_cast<int>(n) : 0;
    if (!left) PutRepeated(' ', pad);
    for (size_t i = 0; i < n; ++i) Put(static_cast<C>(text[i]));
    if (left) PutRepeated(' ', pad);
  }

 private:
  C* out_;
  int count_ = 0;
};

struct Directive {
  bool left = false, alternate = false, zero = false;
  int width = 0;
  int precision = -1;
  int size = 0;  // 0 default, 'h' narrow, 'l' wide, 64 for 64-bit integers
};

// Formats one integer into `digits` (sign and prefix kept apart so that zero padding goes
// between them and the digits, as the C library does).
template <typename C>
void FormatInteger(Formatter<C>& f, const Directive& directive, unsigned long long magnitude, bool negative, int base,
                   bool upper) {
  char digits[32];
  int n = 0;
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  while (magnitude != 0) {
    digits[n++] = set[magnitude % base];
    magnitude /= base;
  }
  int minDigits = directive.precision >= 0 ? directive.precision : 1;
  if (minDigits > 512) minDigits = 512;
  bool hadValue = n > 0;
  const char* prefix = negative ? "-" : "";
  if (directive.alternate && base == 16 && hadValue) prefix = upper ? "0X" : "0x";
  int prefixLength = static_cast<int>(std::strlen(prefix));
  int zeros = minDigits > n ? minDigits - n : 0;
  int total = prefixLength + zeros + n;
  int pad = directive.width > total ? directive.width - total : 0;
  if (directive.zero && !directive.left && directive.precision < 0) {
    zeros += pad;
    pad = 0;
  }
  if (!directive.left) f.PutRepeated(' ', pad);
  for (int i = 0; i < prefixLength; ++i) f.Put(static_cast<C>(prefix[i]));
  f.PutRepeated('0', zeros);
  while (n > 0) f.Put(static_cast<C>(digits[--n]));
  if (directive.left) f.PutRepeated(' ', pad);
}

// Converts a narrow string through the ANSI code page for the wide output.
std::u16string Widen(const char* s, size_t n) {
  std::u16string wide(n, u'\0');
  int got = n == 0 ? 0
                   : MultiByteToWideChar(CP_ACP, 0, s, static_cast<int>(n), wide.data(), static_cast<int>(n));
  wide.resize(got > 0 ? got : 0);
  return wide;
}

std::string Narrow(const WCHAR* s, size_t n) {
  std::string narrow(n * 2, '\0');
  int got = n == 0 ? 0
                   : WideCharToMultiByte(CP_ACP, 0, s, static_cast<int>(n), narrow.data(),
                                         static_cast<int>(narrow.size()), nullptr, nullptr);
  narrow.resize(got > 0 ? got : 0);
  return narrow;
}

template <typename C>
int Format(C* out, const C* format, va_list args) {
  constexpr bool wideOutput = sizeof(C) == 2;
  if (out == nullptr) return 0;
  Formatter<C> f(out);
  if (format == nullptr) return f.Finish();
  for (const C* p = format; *p != 0; ++p) {
    if (*p != '%') {
      f.Put(*p);
      continue;
    }
    ++p;
    if (*p == 0) break;
    if (*p == '%') {
      f.Put('%');
      continue;
    }
    Directive directive;
    for (;; ++p) {
      if (*p == '-') directive.left = true;
      else if (*p == '#') directive.alternate = true;
      else if (*p == '0') directive.zero = true;
      else break;
    }
    while (*p >= '0' && *p <= '9') {
      if (directive.width < 4096) directive.width = directive.width * 10 + (*p - '0');
      ++p;
    }
    if (*p == '.') {
      ++p;
      directive.precision = 0;
      while (*p >= '0' && *p <= '9') {
        if (directive.precision < 4096) directive.precision = directive.precision * 10 + (*p - '0');
        ++p;
      }
    }
    if (*p == 'h') {
      directive.size = 'h';
      ++p;
    } else if (*p == 'l' && p[1] == 'l') {
      directive.size = 64;
      p += 2;
    } else if (*p == 'l' || *p == 'w') {
      directive.size = 'l';
      ++p;
    } else if (*p == 'I' && p[1] == '6' && p[2] == '4') {
      directive.size = 64;
      p += 3;
    } else if (*p == 'I' && p[1] == '3' && p[2] == '2') {
      p += 3;
    }
    C type = *p;
    if (type == 0) break;
    switch (type) {
      case 'd':
      case 'i': {
        long long v = directive.size == 64 ? va_arg(args, long long) : va_arg(args, int);
        unsigned long long magnitude = v < 0 ? 0ull - static_cast<unsigned long long>(v) : v;
        FormatInteger(f, directive, magnitude, v < 0, 10, false);
        break;
      }
      case 'u':
      case 'x':
      case 'X': {
        unsigned long long v = directive.size == 64 ? va_arg(args, unsigned long long) : va_arg(args, unsigned int);
        FormatInteger(f, directive, v, false, type == 'u' ? 10 : 16, type == 'X');
        break;
      }
      case 'p': {
        Directive pointer = directive;
        pointer.precision = 16;
        FormatInteger(f, pointer, reinterpret_cast<ULONG_PTR>(va_arg(args, void*)), false, 16, true);
        break;
      }
      case 'c':
      case 'C': {
        int v = va_arg(args, int);
        // Which width the argument has: the output's own unless h/l or the capital form says.
        bool wideArg = directive.size == 'l' || (directive.size != 'h' && ((type == 'c') == wideOutput));
        if (wideArg) {
          WCHAR w = static_cast<WCHAR>(v);
          if constexpr (wideOutput) {
            f.PutField(&w, 1, directive.width, directive.left);
          } else {
            std::string s = Narrow(&w, 1);
            f.PutField(s.data(), s.size(), directive.width, directive.left);
          }
        } else {
          char b = static_cast<char>(v);
          if constexpr (wideOutput) {
            std::u16string s = Widen(&b, 1);
            f.PutField(s.data(), s.size(), directive.width, directive.left);
          } else {
            f.PutField(&b, 1, directive.width, directive.left);
          }
        }
        break;
      }
      case 's':
      case 'S': {
        bool wideArg = directive.size == 'l' || (directive.size != 'h' && ((type == 's') == wideOutput));
        size_t limit = directive.precision >= 0 ? static_cast<size_t>(directive.precision) : SIZE_MAX;
        if (wideArg) {
          const WCHAR* s = va_arg(args, const WCHAR*);
          if (s == nullptr) s = u"(null)";
          size_t n = wcsnlen(s, limit);
          if constexpr (wideOutput) {
            f.PutField(s, n, directive.width, directive.left);
          } else {
            std::string narrow = Narrow(s, n);
            f.PutField(narrow.data(), narrow.size(), directive.width, directive.left);
          }
        } else {
          const char* s = va_arg(args, const char*);
          if (s == nullptr) s = "(null)";
          size_t n = 0;
          while (n < limit && s[n] != 0) ++n;
          if constexpr (wideOutput) {
            std::u16string wide = Widen(s, n);
            f.PutField(wide.data(), wide.size(), directive.width, directive.left);
          } else {
            f.PutField(s, n, directive.width, directive.left);
          }
        }
        break;
      }
      default:
        f.Put(type);
        break;
    }
  }
  return f.Finish();
}

}  // namespace

int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args) { return Format<WCHAR>(out, format, args); }

int wsprintfW(LPWSTR out, LPCWSTR format, ...) {
  va_list args;
  va_start(args, format);
  int n = Format<WCHAR>(out, format, args);
  va_end(args);
  return n;
}

int wvsprintfA(LPSTR out, LPCSTR format, va_list args) { return Format<char>(out, format, args); }

int wsprintfA(LPSTR out, LPCSTR format, ...) {
  va_list args;
  va_start(args, format);
  int n = Format<char>(out, format, args);
  va_end(args);
  return n;
}
