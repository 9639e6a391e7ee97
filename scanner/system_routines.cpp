// Texts of the string table, and the module's directory and derived file names.
#include "scanner/system_routines.h"

#include <cstdio>
#include <cstring>

#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/ini.h"
#include "platform/kernel/module.h"
#include "platform/kernel/qrs.h"
#include "platform/kernel/resource.h"
#include "platform/gdi/text.h"
#include "platform/user/paint.h"

HINSTANCE g_Instance;

int LoadLocalizedString(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  int length = 0;
  if (LPCSTR file = LocaleTextFilePath()) {
    char key[16];
    std::snprintf(key, sizeof key, "%u", id);
    length = static_cast<int>(GetPrivateProfileStringA("Resource", key, "", buffer, static_cast<DWORD>(size), file));
  }
  if (length <= 0) length = LoadStringA(instance, id, buffer, size);
  if (length < 0) length = 0;
  buffer[length] = '\0';
  // "\n" (a backslash and the letter n) becomes carriage return and line feed, in place.
  for (int i = 0; i + 1 < length; ++i) {
    if (IsDBCSLeadByte(static_cast<BYTE>(buffer[i]))) {
      ++i;  // a double-byte character: its trail byte may look like a backslash
      continue;
    }
    if (buffer[i] == '\\' && buffer[i + 1] == 'n') {
      buffer[i] = '\r';
      buffer[i + 1] = '\n';
    }
  }
  return length;
}

BOOL GetSourceModuleDirectory(HINSTANCE instance, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return FALSE;
  const DWORD n = GetModuleFileNameA(instance, buffer, size);
  if (n == 0 || n >= size) return FALSE;
  char* slash = std::strrchr(buffer, '\\');
  if (slash == nullptr) return FALSE;
  slash[1] = '\0';
  return TRUE;
}

BOOL MakeDefaultTransferName(HINSTANCE instance, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return FALSE;
  const DWORD n = GetModuleFileNameA(instance, buffer, size);
  if (n == 0 || n >= size) return FALSE;
  char* dot = std::strrchr(buffer, '.');
  if (dot == nullptr || static_cast<DWORD>(dot - buffer) + 4 >= size) return FALSE;
  std::strcpy(dot + 1, "tmp");
  return TRUE;
}

namespace {

// The version resource: a block header (length, value length, type), the key
// "VS_VERSION_INFO" with its terminator, padding to 32 bits, then the fixed file information
// whose file version is two 32-bit words after its signature and structure version.
constexpr char16_t kVersionKey[] = u"VS_VERSION_INFO";
constexpr DWORD kFixedInfoOffset = 40;
constexpr DWORD kFixedInfoBytes = 52;
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;

}  // namespace

BOOL GetModuleVersion(HINSTANCE instance, WORD* major, WORD* minor, WORD* build, WORD* revision) {
  for (WORD* part : {major, minor, build, revision})
    if (part != nullptr) *part = 0;
  HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(1), RT_VERSION);
  if (found == nullptr) return FALSE;
  const DWORD size = SizeofResource(instance, found);
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
  if (bytes == nullptr || size < kFixedInfoOffset + kFixedInfoBytes) return FALSE;
  if (GetLE16(bytes) > size || GetLE16(bytes + 2) < kFixedInfoBytes) return FALSE;
  for (DWORD i = 0; i < sizeof kVersionKey / sizeof(char16_t); ++i)
    if (GetLE16(bytes + 6 + 2 * i) != kVersionKey[i]) return FALSE;
  const BYTE* fixed = bytes + kFixedInfoOffset;
  if (GetLE32(fixed) != kFixedInfoSignature) return FALSE;
  const DWORD high = GetLE32(fixed + 8), low = GetLE32(fixed + 12);
  if (major != nullptr) *major = static_cast<WORD>(high >> 16);
  if (minor != nullptr) *minor = static_cast<WORD>(high);
  if (build != nullptr) *build = static_cast<WORD>(low >> 16);
  if (revision != nullptr) *revision = static_cast<WORD>(low);
  return TRUE;
}

namespace {

// The text character set of the window's device context (DEFAULT_CHARSET without one).
int WindowCharset(HWND window) {
  HDC dc = GetDC(window);
  if (dc == nullptr) return DEFAULT_CHARSET;
  const int charset = GetTextCharset(dc);
  ReleaseDC(window, dc);
  return charset;
}

}  // namespace

BOOL IsCjkCharset(HWND window) {
  switch (WindowCharset(window)) {
    case SHIFTJIS_CHARSET:
    case HANGUL_CHARSET:
    case JOHAB_CHARSET:
    case GB2312_CHARSET:
    case CHINESEBIG5_CHARSET: return TRUE;
    default: return FALSE;
  }
}

BOOL IsChineseCharset(HWND window) {
  const int charset = WindowCharset(window);
  return charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET ? TRUE : FALSE;
}
