// Copies into new global blocks, the layer's helpers for the many places that hand a caller a
// block of its own (freed with GlobalFree).
#pragma once

#include <cstring>

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

// A new fixed block holding the text and its terminator; NULL for no text or no memory.
inline LPWSTR GlobalCopyText(LPCWSTR text) {
  if (text == nullptr) return nullptr;
  const SIZE_T bytes = (static_cast<SIZE_T>(lstrlenW(text)) + 1) * sizeof(WCHAR);
  auto* copy = static_cast<LPWSTR>(GlobalAlloc(GMEM_FIXED, bytes));
  if (copy != nullptr) std::memcpy(copy, text, bytes);
  return copy;
}

// A new fixed block holding `bytes` bytes of `data`; NULL when there is no memory.
inline void* GlobalCopyBytes(const void* data, SIZE_T bytes) {
  void* copy = GlobalAlloc(GMEM_FIXED, bytes != 0 ? bytes : 1);
  if (copy != nullptr && bytes != 0) std::memcpy(copy, data, bytes);
  return copy;
}
