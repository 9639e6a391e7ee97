#include "platform/base/text.h"

#include <climits>
#include <cstring>

#include "platform/kernel/codepage.h"

namespace {

template <typename C>
size_t Length(const C* s) {
  size_t n = 0;
  if (s == nullptr) return 0;
  while (s[n] != 0) ++n;
  return n;
}

// Ordinal comparison with NULL sorting first; `fold` maps each unit before comparing.
template <typename C, typename F>
int Compare(const C* a, const C* b, size_t limit, F fold) {
  if (a == nullptr || b == nullptr) return a == b ? 0 : (a == nullptr ? -1 : 1);
  for (size_t i = 0; i < limit; ++i) {
    auto ca = fold(a[i]);
    auto cb = fold(b[i]);
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
  return 0;
}

unsigned FoldW(WCHAR c) { return UpcaseChar(c); }
unsigned FoldA(char c) {
  unsigned u = static_cast<unsigned char>(c);
  return (u >= 'a' && u <= 'z') ? u - 32 : u;
}
unsigned Unit(WCHAR c) { return c; }
unsigned UnitA(char c) { return static_cast<unsigned char>(c); }

bool IsBlank(WCHAR c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

int DigitValue(WCHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

// Reads an unsigned magnitude in the given base; `overflow` is set when it exceeds `limit`.
// Returns the position after the number, or `s` itself when there are no digits.
const WCHAR* ParseNumber(const WCHAR* s, int base, unsigned long long limit, bool& negative,
                         unsigned long long& value, bool& overflow) {
  const WCHAR* start = s;
  negative = false;
  overflow = false;
  value = 0;
  while (IsBlank(*s)) ++s;
  if (*s == u'+' || *s == u'-') negative = (*s++ == u'-');
  if ((base == 0 || base == 16) && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X') && DigitValue(s[2]) < 16) {
    s += 2;
    base = 16;
  } else if (base == 0) {
    base = (s[0] == u'0') ? 8 : 10;
  }
  if (base < 2 || base > 36 || DigitValue(*s) >= base) return start;
  while (DigitValue(*s) < base) {
    value = value * base + DigitValue(*s++);
    if (value > limit) {
      overflow = true;
      value = limit + 1;
    }
  }
  return s;
}

}  // namespace

int lstrlenW(LPCWSTR s) { return static_cast<int>(Length(s)); }
int lstrlenA(LPCSTR s) { return static_cast<int>(Length(s)); }

LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src) {
  if (dst == nullptr || src == nullptr) return nullptr;
  size_t n = Length(src);
  std::memmove(dst, src, (n + 1) * sizeof(WCHAR));
  return dst;
}

LPSTR lstrcpyA(LPSTR dst, LPCSTR src) {
  if (dst == nullptr || src == nullptr) return nullptr;
  std::memmove(dst, src, Length(src) + 1);
  return dst;
}

LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max) {
  if (dst == nullptr) return nullptr;
  if (max <= 0) return dst;
  int i = 0;
  if (src != nullptr)
    for (; i < max - 1 && src[i] != 0; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

LPSTR lstrcpynA(LPSTR dst, LPCSTR src, int max) {
  if (dst == nullptr) return nullptr;
  if (max <= 0) return dst;
  int i = 0;
  if (src != nullptr)
    for (; i < max - 1 && src[i] != 0; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src) {
  if (dst == nullptr || src == nullptr) return nullptr;
  lstrcpyW(dst + Length(dst), src);
  return dst;
}

LPSTR lstrcatA(LPSTR dst, LPCSTR src) {
  if (dst == nullptr || src == nullptr) return nullptr;
  lstrcpyA(dst + Length(dst), src);
  return dst;
}

int lstrcmpW(LPCWSTR a, LPCWSTR b) { return Compare(a, b, SIZE_MAX, Unit); }
int lstrcmpiW(LPCWSTR a, LPCWSTR b) { return Compare(a, b, SIZE_MAX, FoldW); }
int lstrcmpA(LPCSTR a, LPCSTR b) { return Compare(a, b, SIZE_MAX, UnitA); }
int lstrcmpiA(LPCSTR a, LPCSTR b) { return Compare(a, b, SIZE_MAX, FoldA); }

size_t wcslen(const WCHAR* s) { return Length(s); }

size_t wcsnlen(const WCHAR* s, size_t max) {
  size_t n = 0;
  if (s == nullptr) return 0;
  while (n < max && s[n] != 0) ++n;
  return n;
}

int wcscmp(const WCHAR* a, const WCHAR* b) { return Compare(a, b, SIZE_MAX, Unit); }
int wcsncmp(const WCHAR* a, const WCHAR* b, size_t n) { return Compare(a, b, n, Unit); }
int _wcsicmp(const WCHAR* a, const WCHAR* b) { return Compare(a, b, SIZE_MAX, FoldW); }
int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t n) { return Compare(a, b, n, FoldW); }

WCHAR* wcscpy(WCHAR* dst, const WCHAR* src) { return lstrcpyW(dst, src); }

WCHAR* wcsncpy(WCHAR* dst, const WCHAR* src, size_t n) {
  if (dst == nullptr || src == nullptr) return dst;
  size_t i = 0;
  for (; i < n && src[i] != 0; ++i) dst[i] = src[i];
  for (; i < n; ++i) dst[i] = 0;
  return dst;
}

WCHAR* wcscat(WCHAR* dst, const WCHAR* src) { return lstrcatW(dst, src); }

WCHAR* wcsncat(WCHAR* dst, const WCHAR* src, size_t n) {
  if (dst == nullptr || src == nullptr) return dst;
  WCHAR* p = dst + Length(dst);
  size_t i = 0;
  for (; i < n && src[i] != 0; ++i) p[i] = src[i];
  p[i] = 0;
  return dst;
}

const WCHAR* wcschr(const WCHAR* s, WCHAR c) {
  if (s == nullptr) return nullptr;
  for (;; ++s) {
    if (*s == c) return s;
    if (*s == 0) return nullptr;
  }
}
WCHAR* wcschr(WCHAR* s, WCHAR c) { return const_cast<WCHAR*>(wcschr(static_cast<const WCHAR*>(s), c)); }

const WCHAR* wcsrchr(const WCHAR* s, WCHAR c) {
  if (s == nullptr) return nullptr;
  const WCHAR* found = nullptr;
  for (;; ++s) {
    if (*s == c) found = s;
    if (*s == 0) return found;
  }
}
WCHAR* wcsrchr(WCHAR* s, WCHAR c) { return const_cast<WCHAR*>(wcsrchr(static_cast<const WCHAR*>(s), c)); }

const WCHAR* wcsstr(const WCHAR* s, const WCHAR* what) {
  if (s == nullptr || what == nullptr) return nullptr;
  size_t n = Length(what);
  if (n == 0) return s;
  for (; *s != 0; ++s)
    if (wcsncmp(s, what, n) == 0) return s;
  return nullptr;
}
WCHAR* wcsstr(WCHAR* s, const WCHAR* what) { return const_cast<WCHAR*>(wcsstr(static_cast<const WCHAR*>(s), what)); }

size_t wcsspn(const WCHAR* s, const WCHAR* set) {
  if (s == nullptr || set == nullptr) return 0;
  size_t n = 0;
  while (s[n] != 0 && wcschr(set, s[n]) != nullptr) ++n;
  return n;
}

size_t wcscspn(const WCHAR* s, const WCHAR* set) {
  if (s == nullptr) return 0;
  size_t n = 0;
  while (s[n] != 0 && (set == nullptr || wcschr(set, s[n]) == nullptr)) ++n;
  return n;
}

const WCHAR* wcspbrk(const WCHAR* s, const WCHAR* set) {
  if (s == nullptr) return nullptr;
  s += wcscspn(s, set);
  return *s != 0 ? s : nullptr;
}
WCHAR* wcspbrk(WCHAR* s, const WCHAR* set) { return const_cast<WCHAR*>(wcspbrk(static_cast<const WCHAR*>(s), set)); }

WCHAR* wcstok(WCHAR* s, const WCHAR* delimiters, WCHAR** context) {
  if (context == nullptr || delimiters == nullptr) return nullptr;
  if (s == nullptr) s = *context;
  if (s == nullptr) return nullptr;
  s += wcsspn(s, delimiters);
  if (*s == 0) {
    *context = s;
    return nullptr;
  }
  WCHAR* end = s + wcscspn(s, delimiters);
  if (*end != 0) *end++ = 0;
  *context = end;
  return s;
}

WCHAR* wcstok_s(WCHAR* s, const WCHAR* delimiters, WCHAR** context) { return wcstok(s, delimiters, context); }

WCHAR* _wcsupr(WCHAR* s) {
  if (s != nullptr) CharUpperBuffW(s, static_cast<DWORD>(Length(s)));
  return s;
}

WCHAR* _wcslwr(WCHAR* s) {
  if (s != nullptr) CharLowerBuffW(s, static_cast<DWORD>(Length(s)));
  return s;
}

ULONG wcstoul(const WCHAR* s, WCHAR** end, int base) {
  if (s == nullptr) {
    if (end != nullptr) *end = nullptr;
    return 0;
  }
  bool negative, overflow;
  unsigned long long value;
  const WCHAR* after = ParseNumber(s, base, 0xFFFFFFFFull, negative, value, overflow);
  if (end != nullptr) *end = const_cast<WCHAR*>(after);
  if (overflow) return 0xFFFFFFFFu;
  ULONG result = static_cast<ULONG>(value);
  return negative ? static_cast<ULONG>(0u - result) : result;
}

LONG wcstol(const WCHAR* s, WCHAR** end, int base) {
  if (s == nullptr) {
    if (end != nullptr) *end = nullptr;
    return 0;
  }
  bool negative, overflow;
  unsigned long long value;
  const WCHAR* after = ParseNumber(s, base, 0x80000000ull, negative, value, overflow);
  if (end != nullptr) *end = const_cast<WCHAR*>(after);
  if (negative) return (overflow || value >= 0x80000000ull) ? INT32_MIN : -static_cast<LONG>(value);
  return (overflow || value > 0x7FFFFFFFull) ? INT32_MAX : static_cast<LONG>(value);
}

int _wtoi(const WCHAR* s) { return static_cast<int>(wcstol(s, nullptr, 10)); }
LONG _wtol(const WCHAR* s) { return wcstol(s, nullptr, 10); }

void _wsplitpath(const WCHAR* path, WCHAR* drive, WCHAR* dir, WCHAR* fname, WCHAR* ext) {
  auto put = [](WCHAR* out, const WCHAR* from, size_t n, size_t cap) {
    if (out == nullptr) return;
    if (n > cap - 1) n = cap - 1;
    for (size_t i = 0; i < n; ++i) out[i] = from[i];
    out[n] = 0;
  };
  if (path == nullptr) path = u"";
  const WCHAR* p = path;
  if (p[0] != 0 && p[1] == u':') {
    put(drive, p, 2, _MAX_DRIVE);
    p += 2;
  } else {
    put(drive, p, 0, _MAX_DRIVE);
  }
  const WCHAR* lastSep = nullptr;
  const WCHAR* lastDot = nullptr;
  for (const WCHAR* q = p; *q != 0; ++q) {
    if (*q == u'\\' || *q == u'/') lastSep = q;
    if (*q == u'.') lastDot = q;
  }
  const WCHAR* name = lastSep != nullptr ? lastSep + 1 : p;
  put(dir, p, static_cast<size_t>(name - p), _MAX_DIR);
  const WCHAR* end = p + Length(p);
  if (lastDot == nullptr || lastDot < name) lastDot = end;
  put(fname, name, static_cast<size_t>(lastDot - name), _MAX_FNAME);
  put(ext, lastDot, static_cast<size_t>(end - lastDot), _MAX_EXT);
}

WCHAR UpcaseChar(WCHAR c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<WCHAR>(c - 32) : c;
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<WCHAR>(c - 32);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x131) return u'I';
    if (c == 0x17F) return u'S';
    if (c == 0x138 || c == 0x149) return c;
    bool oddRange = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddRange) return (c % 2 == 0) ? static_cast<WCHAR>(c - 1) : c;
    return (c % 2 == 1) ? static_cast<WCHAR>(c - 1) : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9) return c == 0x3C2 ? 0x3A3 : static_cast<WCHAR>(c - 32);
  if (c >= 0x430 && c <= 0x44F) return static_cast<WCHAR>(c - 32);
  if (c >= 0x450 && c <= 0x45F) return static_cast<WCHAR>(c - 80);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<WCHAR>(c - 32);
  return c;
}

WCHAR DowncaseChar(WCHAR c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + 32) : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<WCHAR>(c + 32);
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x17F) {
    if (c == 0x130) return u'i';
    if (c == 0x138 || c == 0x149 || c == 0x17F) return c;
    bool oddRange = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddRange) return (c % 2 == 1) ? static_cast<WCHAR>(c + 1) : c;
    return (c % 2 == 0) ? static_cast<WCHAR>(c + 1) : c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<WCHAR>(c + 32);
  if (c >= 0x410 && c <= 0x42F) return static_cast<WCHAR>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<WCHAR>(c + 80);
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<WCHAR>(c + 32);
  return c;
}

LPWSTR CharUpperW(LPWSTR s) {
  ULONG_PTR v = reinterpret_cast<ULONG_PTR>(s);
  if ((v >> 16) == 0) return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(UpcaseChar(static_cast<WCHAR>(v))));
  _wcsupr(s);
  return s;
}

LPWSTR CharLowerW(LPWSTR s) {
  ULONG_PTR v = reinterpret_cast<ULONG_PTR>(s);
  if ((v >> 16) == 0) return reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(DowncaseChar(static_cast<WCHAR>(v))));
  _wcslwr(s);
  return s;
}

DWORD CharUpperBuffW(LPWSTR s, DWORD length) {
  if (s == nullptr) return 0;
  for (DWORD i = 0; i < length; ++i) s[i] = UpcaseChar(s[i]);
  return length;
}

DWORD CharLowerBuffW(LPWSTR s, DWORD length) {
  if (s == nullptr) return 0;
  for (DWORD i = 0; i < length; ++i) s[i] = DowncaseChar(s[i]);
  return length;
}

LPWSTR CharNextW(LPCWSTR s) {
  if (s == nullptr) return nullptr;
  return const_cast<LPWSTR>(*s != 0 ? s + 1 : s);
}

LPWSTR CharPrevW(LPCWSTR start, LPCWSTR s) {
  if (s == nullptr) return nullptr;
  return const_cast<LPWSTR>(s > start ? s - 1 : s);
}

BOOL IsCharUpperW(WCHAR c) { return DowncaseChar(c) != c; }
BOOL IsCharLowerW(WCHAR c) { return UpcaseChar(c) != c || c == 0xDF; }
BOOL IsCharAlphaW(WCHAR c) {
  if (IsCharUpperW(c) || IsCharLowerW(c)) return TRUE;
  // Letters without case: CJK ideographs, kana, hangul syllables.
  return (c >= 0x3041 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7A3) ||
         (c >= 0xFF66 && c <= 0xFF9F);
}
BOOL IsCharAlphaNumericW(WCHAR c) { return IsCharAlphaW(c) || (c >= u'0' && c <= u'9') || (c >= 0xFF10 && c <= 0xFF19); }

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

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool valid = extra >= 0 && i + extra < text.size() + (extra == 0 ? 1 : 0);
    for (int k = 1; valid && k <= extra; ++k) {
      unsigned char t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) valid = false;
      else c = (c << 6) | (t & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (valid && (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
    if (!valid) {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    i += extra + 1;
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}
