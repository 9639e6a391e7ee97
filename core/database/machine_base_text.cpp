#include "core/database/machine_base_text.h"

#include <cstring>

#include "core/database/database.h"
#include "core/system/chunked_printer_data.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

LPWSTR ReadMachineBaseText(HANDLE printer) {
  LPWSTR path = GetDriverDataFile(printer);
  if (path == nullptr) return nullptr;
  DatabaseStream main, linked;
  std::memset(&main, 0, sizeof main);
  std::memset(&linked, 0, sizeof linked);
  LPWSTR text = nullptr;
  if (OpenDescriptionDatabase(path, 0, &main, &linked) != kDbOk ||
      ReadDriverText(&main, kDbDriverTextRegistryBase, &text) != kDbOk)
    text = nullptr;
  CloseDatabaseStreams(&main, &linked);
  GlobalFree(path);
  return text;
}

LPWSTR JoinMachineKeyPath(LPCWSTR base, LPCWSTR subKey) {
  if (base == nullptr || subKey == nullptr) return nullptr;
  const int baseLength = lstrlenW(base);
  const bool separator = baseLength > 0 && base[baseLength - 1] != u'\\';
  auto* path = static_cast<LPWSTR>(
      GlobalAlloc(GPTR, (SIZE_T(baseLength) + (separator ? 1 : 0) + lstrlenW(subKey) + 1) * sizeof(WCHAR)));
  if (path == nullptr) return nullptr;
  lstrcpyW(path, base);
  if (separator) lstrcatW(path, u"\\");
  lstrcatW(path, subKey);
  return path;
}
