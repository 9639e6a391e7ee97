// List items (see list_items.h).
#include "platform/user/list_items.h"

#include "platform/base/text.h"

size_t ListItems::SortedPlace(const std::u16string& text) const {
  size_t i = 0;
  while (i < items.size() && lstrcmpiW(items[i].text.c_str(), text.c_str()) <= 0) ++i;
  return i;
}

int ListItems::Find(int after, const std::u16string& prefix, bool exact) const {
  size_t n = items.size();
  if (n == 0) return -1;
  size_t start = (after < 0 || size_t(after) >= n) ? 0 : size_t(after) + 1;
  for (size_t k = 0; k < n; ++k) {
    size_t i = (start + k) % n;
    const std::u16string& t = items[i].text;
    if (exact ? lstrcmpiW(t.c_str(), prefix.c_str()) == 0
              : (t.size() >= prefix.size() && _wcsnicmp(t.c_str(), prefix.c_str(), prefix.size()) == 0))
      return int(i);
  }
  return -1;
}
