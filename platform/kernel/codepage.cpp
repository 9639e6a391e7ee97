#include "platform/kernel/codepage.h"

#include <iconv.h>

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr UINT kDefaultAnsiCodePage = 1252;

// Bytes 0x80-0x9F of code page 1252. The five bytes the C library's converter refuses (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as on the platform.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Single bytes of code page 932 that the platform maps although iconv does not.
struct ByteOverride {
  BYTE byte;
  char16_t unicode;
};
constexpr ByteOverride kCp932Overrides[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3}};

enum class PageKind { Table1252, Iconv, Utf8 };

struct PageInfo {
  UINT page;
  PageKind kind;
  const char* iconvName;      // for PageKind::Iconv
  UINT maxCharSize;
  BYTE leadRanges[MAX_LEADBYTES];  // pairs of first and last lead byte, 0-ended
  char16_t unicodeDefault;    // what an invalid input sequence becomes
  UINT oemPage;               // the OEM page that goes with it as ANSI page
};

constexpr PageInfo kPages[] = {
    {437, PageKind::Iconv, "IBM437", 1, {}, u'?', 437},
    {932, PageKind::Iconv, "CP932", 2, {0x81, 0x9F, 0xE0, 0xFC}, 0x30FB, 932},
    {936, PageKind::Iconv, "CP936", 2, {0x81, 0xFE}, u'?', 936},
    {949, PageKind::Iconv, "CP949", 2, {0x81, 0xFE}, u'?', 949},
    {950, PageKind::Iconv, "CP950", 2, {0x81, 0xFE}, u'?', 950},
    {1252, PageKind::Table1252, nullptr, 1, {}, u'?', 437},
    {CP_UTF8, PageKind::Utf8, nullptr, 4, {}, 0xFFFD, 437},
};

std::atomic<UINT> ansiCodePage{kDefaultAnsiCodePage};

void ResetCodePages() { ansiCodePage = kDefaultAnsiCodePage; }
const bool registered = (SimAddResetHook(&ResetCodePages), true);

const PageInfo* FindPage(UINT page) {
  for (const PageInfo& info : kPages)
    if (info.page == page) return &info;
  return nullptr;
}

UINT ResolvePage(UINT page) {
  if (page == CP_ACP || page == CP_THREAD_ACP) return ansiCodePage;
  if (page == CP_OEMCP) return GetOEMCP();
  return page;
}

bool IsLead(const PageInfo& info, BYTE b) {
  for (int i = 0; i + 1 < MAX_LEADBYTES && info.leadRanges[i] != 0; i += 2)
    if (b >= info.leadRanges[i] && b <= info.leadRanges[i + 1]) return true;
  return false;
}

// Both directions of a single- or double-byte page. toUnicode is indexed by the byte, or by
// lead << 8 | trail; fromUnicode holds the byte or lead << 8 | trail. 0 means no mapping
// (U+0000 and byte 0 map to each other).
struct Tables {
  std::vector<char16_t> toUnicode = std::vector<char16_t>(65536, 0);
  std::vector<WORD> fromUnicode = std::vector<WORD>(65536, 0);
};

void AddMapping(Tables& t, WORD code, char16_t unicode) {
  t.toUnicode[code] = unicode;
  if (t.fromUnicode[unicode] == 0) t.fromUnicode[unicode] = code;
}

// Converts one byte sequence with iconv; answers 0 when iconv refuses it.
char16_t IconvOne(iconv_t cd, const char* bytes, size_t n) {
  char in[2] = {bytes[0], n > 1 ? bytes[1] : '\0'};
  char16_t out[4] = {};
  char* inPtr = in;
  char* outPtr = reinterpret_cast<char*>(out);
  size_t inLeft = n, outLeft = sizeof(out);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  if (r == static_cast<size_t>(-1) || inLeft != 0 || outLeft != sizeof(out) - 2) return 0;
  return out[0];
}

void BuildTables(const PageInfo& info, Tables& t) {
  if (info.kind == PageKind::Table1252) {
    for (int b = 1; b < 256; ++b) AddMapping(t, static_cast<WORD>(b), b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
    return;
  }
  iconv_t cd = iconv_open("UTF-16LE", info.iconvName);
  if (cd == reinterpret_cast<iconv_t>(-1)) return;  // without its converter every byte is invalid
  for (int b = 1; b < 256; ++b) {
    if (IsLead(info, static_cast<BYTE>(b))) continue;
    char byte = static_cast<char>(b);
    char16_t u = IconvOne(cd, &byte, 1);
    if (u != 0) AddMapping(t, static_cast<WORD>(b), u);
  }
  if (info.page == 932)
    for (const ByteOverride& o : kCp932Overrides) AddMapping(t, o.byte, o.unicode);
  for (int lead = 0x81; lead < 256; ++lead) {
    if (!IsLead(info, static_cast<BYTE>(lead))) continue;
    for (int trail = 0x21; trail < 256; ++trail) {
      char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char16_t u = IconvOne(cd, pair, 2);
      if (u != 0) AddMapping(t, static_cast<WORD>(lead << 8 | trail), u);
    }
  }
  iconv_close(cd);
}

// A page's tables, built at their first use; once built they are found without the once
// flag's bookkeeping.
const Tables& TablesFor(const PageInfo& info) {
  static std::once_flag once[std::size(kPages)];
  static std::unique_ptr<Tables> tables[std::size(kPages)];
  static std::atomic<const Tables*> built[std::size(kPages)];
  size_t index = static_cast<size_t>(&info - kPages);
  if (const Tables* ready = built[index].load(std::memory_order_acquire)) return *ready;
  std::call_once(once[index], [&] {
    tables[index] = std::make_unique<Tables>();
    BuildTables(info, *tables[index]);
    built[index].store(tables[index].get(), std::memory_order_release);
  });
  return *tables[index];
}

// Decodes bytes into UTF-16; `invalid` tells whether any sequence had no mapping.
std::u16string Decode(const PageInfo& info, const char* bytes, size_t n, bool& invalid) {
  invalid = false;
  if (info.kind == PageKind::Utf8) {
    std::u16string text = Utf8ToUtf16(std::string_view(bytes, n));
    invalid = Utf16ToUtf8(text) != std::string_view(bytes, n);
    return text;
  }
  const Tables& t = TablesFor(info);
  std::u16string out(n, u'\0');  // at most one character per byte
  size_t count = 0;
  for (size_t i = 0; i < n; ++i) {
    BYTE b = static_cast<BYTE>(bytes[i]);
    char16_t u;
    if (b == 0) {
      u = 0;
    } else if (info.maxCharSize == 2 && IsLead(info, b)) {
      if (i + 1 < n) {
        BYTE trail = static_cast<BYTE>(bytes[i + 1]);
        u = t.toUnicode[b << 8 | trail];
        if (u != 0) ++i;  // an invalid trail byte is read again on its own
      } else {
        u = 0;
      }
    } else {
      u = t.toUnicode[b];
    }
    if (u == 0 && b != 0) {
      invalid = true;
      u = info.unicodeDefault;
    }
    out[count++] = u;
  }
  out.resize(count);
  return out;
}

// Encodes UTF-16 into bytes; `usedDefault` tells whether any character had no mapping;
// `invalid` whether the text held an unpaired surrogate (UTF-8 only).
std::string Encode(const PageInfo& info, const WCHAR* text, size_t n, const std::string& defaultBytes,
                   bool& usedDefault, bool& invalid) {
  usedDefault = false;
  invalid = false;
  if (info.kind == PageKind::Utf8) {
    std::u16string_view view(text, n);
    std::string bytes = Utf16ToUtf8(view);
    invalid = Utf8ToUtf16(bytes) != view;
    return bytes;
  }
  const Tables& t = TablesFor(info);
  std::string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    WCHAR c = text[i];
    WORD code = c == 0 ? 0 : t.fromUnicode[c];
    if (c != 0 && code == 0) {
      usedDefault = true;
      out += defaultBytes;
    } else if (code > 0xFF) {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    } else {
      out += static_cast<char>(code);
    }
  }
  return out;
}

// The number of bytes of the character that starts at `s` in the page (1 or 2).
size_t CharBytes(const PageInfo& info, const char* s) {
  if (info.maxCharSize == 2 && IsLead(info, static_cast<BYTE>(s[0])) && s[1] != 0) return 2;
  return 1;
}

}  // namespace

UINT GetACP() { return ansiCodePage; }

UINT GetOEMCP() {
  const PageInfo* info = FindPage(ansiCodePage);
  return info != nullptr ? info->oemPage : 437;
}

BOOL SimSetAnsiCodePage(UINT codePage) {
  const PageInfo* info = FindPage(codePage);
  if (info == nullptr || info->kind == PageKind::Utf8) return FALSE;
  ansiCodePage = codePage;
  return TRUE;
}

BOOL IsValidCodePage(UINT codePage) { return FindPage(codePage) != nullptr; }

BOOL GetCPInfo(UINT codePage, LPCPINFO cpInfo) {
  const PageInfo* info = FindPage(ResolvePage(codePage));
  if (info == nullptr || cpInfo == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::memset(cpInfo, 0, sizeof(*cpInfo));
  cpInfo->MaxCharSize = info->maxCharSize;
  cpInfo->DefaultChar[0] = '?';
  std::memcpy(cpInfo->LeadByte, info->leadRanges, MAX_LEADBYTES);
  return TRUE;
}

BOOL IsDBCSLeadByteEx(UINT codePage, BYTE testChar) {
  const PageInfo* info = FindPage(ResolvePage(codePage));
  if (info == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return IsLead(*info, testChar) ? TRUE : FALSE;
}

BOOL IsDBCSLeadByte(BYTE testChar) { return IsDBCSLeadByteEx(CP_ACP, testChar); }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte, LPWSTR wideChar,
                        int cchWideChar) {
  const PageInfo* info = FindPage(ResolvePage(codePage));
  if (info == nullptr || multiByte == nullptr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
      (wideChar == nullptr && cchWideChar > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD allowed = info->kind == PageKind::Utf8 ? MB_ERR_INVALID_CHARS
                                                : (MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS);
  if ((flags & ~allowed) != 0 || (flags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE)) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  size_t n = cbMultiByte == -1 ? std::strlen(multiByte) + 1 : static_cast<size_t>(cbMultiByte);
  bool invalid;
  std::u16string text = Decode(*info, multiByte, n, invalid);
  if (invalid && (flags & MB_ERR_INVALID_CHARS) != 0) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (cchWideChar == 0) return static_cast<int>(text.size());
  if (text.size() > static_cast<size_t>(cchWideChar)) {
    std::memcpy(wideChar, text.data(), cchWideChar * sizeof(WCHAR));
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(wideChar, text.data(), text.size() * sizeof(WCHAR));
  return static_cast<int>(text.size());
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar, LPSTR multiByte,
                        int cbMultiByte, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  const PageInfo* info = FindPage(ResolvePage(codePage));
  bool utf8 = info != nullptr && info->kind == PageKind::Utf8;
  if (info == nullptr || wideChar == nullptr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
      (multiByte == nullptr && cbMultiByte > 0) || (utf8 && (defaultChar != nullptr || usedDefaultChar != nullptr))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD allowed = utf8 ? WC_ERR_INVALID_CHARS
                       : (WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS);
  if ((flags & ~allowed) != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  const bool callerDefault = defaultChar != nullptr && defaultChar[0] != 0;
  const std::string defaultBytes = callerDefault ? std::string(defaultChar, CharBytes(*info, defaultChar)) : std::string(1, '?');
  size_t n = cchWideChar == -1 ? static_cast<size_t>(lstrlenW(wideChar)) + 1 : static_cast<size_t>(cchWideChar);
  bool usedDefault, invalid;
  std::string bytes = Encode(*info, wideChar, n, defaultBytes, usedDefault, invalid);
  if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? TRUE : FALSE;
  if (invalid && (flags & WC_ERR_INVALID_CHARS) != 0) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  if (cbMultiByte == 0) return static_cast<int>(bytes.size());
  if (bytes.size() > static_cast<size_t>(cbMultiByte)) {
    // What fits goes out, never half of a double-byte character.
    size_t fit = 0;
    while (fit < bytes.size()) {
      size_t step = CharBytes(*info, bytes.data() + fit);
      if (fit + step > static_cast<size_t>(cbMultiByte)) break;
      fit += step;
    }
    std::memcpy(multiByte, bytes.data(), fit);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(multiByte, bytes.data(), bytes.size());
  return static_cast<int>(bytes.size());
}

LPSTR CharNextExA(WORD codePage, LPCSTR s, DWORD) {
  if (s == nullptr) return nullptr;
  if (*s == 0) return const_cast<LPSTR>(s);
  const PageInfo* info = FindPage(ResolvePage(codePage));
  return const_cast<LPSTR>(s + (info != nullptr ? CharBytes(*info, s) : 1));
}

LPSTR CharNextA(LPCSTR s) { return CharNextExA(CP_ACP, s, 0); }

LPSTR CharPrevA(LPCSTR start, LPCSTR s) {
  if (start == nullptr || s == nullptr) return const_cast<LPSTR>(s);
  if (s <= start) return const_cast<LPSTR>(start);
  LPCSTR p = start;
  for (;;) {
    LPCSTR next = CharNextA(p);
    if (next >= s || next == p) return const_cast<LPSTR>(p);
    p = next;
  }
}
