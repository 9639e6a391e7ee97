#include "core/rules/formatted_string.h"

#include <vector>

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"

namespace {

// Longest resource string loaded as a format.
constexpr int kFormatChars = 1024;

}  // namespace

BOOL LoadFormattedString(HMODULE module, LPWSTR* text, int capacity, UINT id, std::initializer_list<FormatArg> args) {
  if (text == nullptr) return FALSE;
  *text = nullptr;
  if (capacity <= 0) capacity = kMessageChars;
  std::vector<WCHAR> format(kFormatChars, 0);
  if (LoadStringW(module, id, format.data(), kFormatChars) <= 0) return FALSE;
  // Room for the whole text, so that a text too long is seen as such rather than cut: the
  // format and every argument printed as often as a format can name one.
  size_t room = static_cast<size_t>(lstrlenW(format.data())) + 32;
  for (const FormatArg& arg : args)
    room += static_cast<size_t>(kFormatMaxDirectives) * (arg.text != nullptr ? lstrlenW(arg.text) + 1 : 12);
  std::vector<WCHAR> whole(room, 0);
  const int length = FormatTextV(whole.data(), static_cast<int>(room), format.data(), {args.begin(), args.size()});
  if (length >= capacity - 1) return FALSE;
  auto* out = static_cast<LPWSTR>(GlobalAlloc(GPTR, static_cast<SIZE_T>(capacity) * sizeof(WCHAR)));
  if (out == nullptr) return FALSE;
  lstrcpynW(out, whole.data(), capacity);
  *text = out;
  return TRUE;
}
