// Expansion of the directory macros of file-dialog paths.
#include "ui/framework/text/path_macros.h"

#include <string>

#include "platform/base/text.h"
#include "platform/kernel/files.h"
#include "platform/kernel/global_copy.h"

namespace {

struct PathMacro {
  const char16_t* name;
  const char16_t* suffix;  // appended to the system directory
};

constexpr PathMacro kPathMacros[] = {
    {u"SYSTEM", u""},
    {u"ICM", u"\\Spool\\Drivers\\Color"},
    {u"DRIVER", u"\\Spool\\Drivers\\w32x86\\3"},
};

// The directory a macro name stands for; false for an unknown name or no system directory.
bool ExpandMacroName(const std::u16string& name, std::u16string* directory) {
  for (const PathMacro& macro : kPathMacros) {
    if (name != macro.name) continue;
    WCHAR system[kMacroPathChars + 1] = {};
    const UINT length = GetSystemDirectoryW(system, kMacroPathChars + 1);
    if (length == 0 || length > kMacroPathChars) return false;
    *directory = std::u16string(system, length) + macro.suffix;
    return true;
  }
  return false;
}

}  // namespace

int ExpandPathMacros(LPCWSTR path, LPWSTR* expanded) {
  if (expanded == nullptr) return 0;
  *expanded = nullptr;
  if (path == nullptr) return 0;
  std::u16string result;
  const char16_t* cursor = path;
  while (*cursor != u'\0' && *cursor != u'%') result.push_back(*cursor++);
  if (*cursor == u'%') {
    const char16_t* nameStart = ++cursor;
    while (*cursor != u'\0' && *cursor != u'%') ++cursor;
    if (*cursor != u'%' || cursor == nameStart) return 0;
    std::u16string directory;
    if (!ExpandMacroName(std::u16string(nameStart, cursor), &directory)) return 0;
    result += directory;
  }
  if (result.size() > static_cast<size_t>(kMacroPathChars)) return 0;
  *expanded = GlobalCopyText(result.c_str());
  return *expanded != nullptr ? 1 : 0;
}
