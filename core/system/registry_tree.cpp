#include "core/system/registry_tree.h"

#include "platform/base/errors.h"
#include "platform/base/types.h"
#include "platform/registry/registry.h"

LSTATUS DeleteKeyTree(HKEY root, LPCWSTR path) {
  HKEY key = nullptr;
  LSTATUS status = RegOpenKeyExW(root, path, 0, KEY_ALL_ACCESS, &key);
  if (status != ERROR_SUCCESS) return status;
  // Always delete the first sub key: the others move up as each one goes.
  for (;;) {
    WCHAR name[MAX_KEY_NAME + 1];
    DWORD nameSize = MAX_KEY_NAME + 1;
    status = RegEnumKeyExW(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_SUCCESS) status = DeleteKeyTree(key, name);
    if (status != ERROR_SUCCESS) {
      RegCloseKey(key);
      return status;
    }
  }
  RegCloseKey(key);
  return RegDeleteKeyW(root, path);
}
