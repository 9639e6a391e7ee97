// Stand-in for the module directory of the module start-up code (see the header).
#include "core/database_module_dir_standin.h"

BOOL GetDatabaseModuleDirectory(LPWSTR buffer, DWORD chars) {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCWSTR>(&GetDatabaseModuleDirectory), &self))
    self = nullptr;  // linked into a host: the host's directory
  DWORD n = GetModuleFileNameW(self, buffer, chars);
  if (n == 0 || n >= chars) return FALSE;
  WCHAR* slash = wcsrchr(buffer, u'\\');
  if (!slash) return FALSE;
  slash[1] = 0;
  return TRUE;
}
