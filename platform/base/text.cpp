#include "platform/base/text.h"

#include <climits>
#include <cstring>


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

bool EqualNoCaseW(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpcaseChar(a[i]) != UpcaseChar(b[i])) return false;
  return true;
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

std::u16string FormatHex(DWORD value, int minDigits, bool upper) {
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(set[value & 0xF]));
    value >>= 4;
  } while (value != 0);
  if (static_cast<int>(digits.size()) < minDigits) digits.insert(0, minDigits - digits.size(), u'0');
  return digits;
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
