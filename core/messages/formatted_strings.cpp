#include "core/messages/formatted_strings.h"

#include <span>

#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"

BOOL LoadFormattedString(HMODULE module, LPWSTR* text, int capacity, UINT id, std::initializer_list<FormatArg> args) {
  if (text == nullptr) return FALSE;
  *text = nullptr;
  if (capacity <= 0) capacity = kFormattedTextChars;
  WCHAR pattern[kFormattedTextChars];
  if (module == nullptr || LoadStringW(module, id, pattern, kFormattedTextChars) <= 0) return FALSE;
  auto* out = static_cast<LPWSTR>(GlobalAlloc(GPTR, sizeof(WCHAR) * static_cast<SIZE_T>(capacity)));
  if (out == nullptr) return FALSE;
  if (FormatTextV(out, capacity, pattern, std::span<const FormatArg>(args.begin(), args.size())) >= capacity - 1) {
    GlobalFree(out);
    return FALSE;
  }
  *text = out;
  return TRUE;
}
