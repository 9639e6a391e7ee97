// Double-NUL pair lists.
#include "core/common/pair_list.h"

#include <cstring>

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

// Characters of a string with its terminator.
SIZE_T Span(LPCWSTR s) { return static_cast<SIZE_T>(lstrlenW(s)) + 1; }

// Copies a string with its terminator; answers the position after it.
LPWSTR CopyString(LPWSTR to, LPCWSTR from) {
  const SIZE_T n = Span(from);
  std::memcpy(to, from, n * sizeof(WCHAR));
  return to + n;
}

}  // namespace

LPCWSTR FindPairValue(LPCWSTR list, LPCWSTR key) {
  if (list == nullptr || key == nullptr) return nullptr;
  for (LPCWSTR p = list; *p != 0;) {
    LPCWSTR value = p + Span(p);
    if (lstrcmpW(p, key) == 0) return value;
    p = value + Span(value);
  }
  return nullptr;
}

LPWSTR SetPairValue(LPCWSTR list, LPCWSTR key, LPCWSTR value) {
  if (list == nullptr || key == nullptr) return nullptr;
  // Size the new block from the real lengths: the old pairs, a new pair, the closing NUL.
  SIZE_T chars = 1;
  for (LPCWSTR p = list; *p != 0;) {
    LPCWSTR v = p + Span(p);
    chars += Span(p) + Span(v);
    p = v + Span(v);
  }
  if (value != nullptr) chars += Span(key) + Span(value);
  LPWSTR result = static_cast<LPWSTR>(GlobalAlloc(GPTR, chars * sizeof(WCHAR)));
  if (result == nullptr) return nullptr;
  LPWSTR out = result;
  bool found = false;
  for (LPCWSTR p = list; *p != 0;) {
    LPCWSTR v = p + Span(p);
    if (!found && lstrcmpW(p, key) == 0) {
      found = true;
      if (value != nullptr) {
        out = CopyString(out, p);
        out = CopyString(out, value);
      }
    } else {
      out = CopyString(out, p);
      out = CopyString(out, v);
    }
    p = v + Span(v);
  }
  if (!found && value != nullptr) {
    out = CopyString(out, key);
    out = CopyString(out, value);
  }
  *out = 0;
  return result;
}
