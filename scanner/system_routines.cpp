// Texts of the string table, and the module's directory and derived file names.
#include "scanner/system_routines.h"

#include <cstdio>
#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/ini.h"
#include "platform/kernel/module.h"
#include "platform/kernel/resource.h"

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
