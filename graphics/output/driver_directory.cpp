#include "graphics/output/driver_directory.h"

#include <cstring>

#include "core/system/printer_info.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

char16_t UpperAscii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

// Position of the first ".DLL" in the text without regard to case; -1 when there is none.
int FindDllExtension(LPCWSTR text) {
  static constexpr char16_t kExtension[] = u".DLL";
  for (int i = 0; text[i] != 0; ++i) {
    int k = 0;
    while (k < 4 && text[i + k] != 0 && UpperAscii(text[i + k]) == kExtension[k]) ++k;
    if (k == 4) return i;
  }
  return -1;
}

}  // namespace

LPWSTR GetDriverDirectory(HANDLE printer) {
  LPBYTE info = GetDriverInfo(printer, 2);
  if (info == nullptr) return nullptr;
  LPCWSTR path = reinterpret_cast<DRIVER_INFO_2W*>(info)->pDriverPath;
  LPWSTR directory = nullptr;
  const int extension = path != nullptr ? FindDllExtension(path) : -1;
  int cut = extension;
  while (cut > 0 && path[cut - 1] != u'\\') --cut;
  if (cut > 0) {
    directory = static_cast<LPWSTR>(GlobalAlloc(GPTR, (cut + 1) * sizeof(WCHAR)));
    if (directory != nullptr) std::memcpy(directory, path, cut * sizeof(WCHAR));
  }
  GlobalFree(info);
  return directory;
}
