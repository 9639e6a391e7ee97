// List items (see list_items.h).
#include "platform/user/list_items.h"

#include "platform/base/text.h"

#include <algorithm>
#include <cstring>

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

LRESULT ListItems::CopyText(LONG_PTR index, LPARAM out) const {
  if (!Valid(index) || out == 0) return kListError;
  const ListItem& item = items[size_t(index)];
  if (!hasStrings) {
    std::memcpy(reinterpret_cast<void*>(out), &item.data, sizeof(ULONG_PTR));
    return sizeof(ULONG_PTR);
  }
  auto* text = reinterpret_cast<LPWSTR>(out);
  std::copy(item.text.begin(), item.text.end(), text);
  text[item.text.size()] = 0;
  return LRESULT(item.text.size());
}

LRESULT ListItems::TextLength(LONG_PTR index) const {
  if (!Valid(index)) return kListError;
  return hasStrings ? LRESULT(items[size_t(index)].text.size()) : LRESULT(sizeof(ULONG_PTR));
}

LRESULT ListItems::SetData(LONG_PTR index, LPARAM data) {
  if (!Valid(index)) return kListError;
  items[size_t(index)].data = ULONG_PTR(data);
  return TRUE;
}

LRESULT ListItems::GetData(LONG_PTR index) const {
  if (!Valid(index)) return kListError;
  return LRESULT(items[size_t(index)].data);
}
