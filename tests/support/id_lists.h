// Id lists of the constraint routines as vectors, for comparing them in tests.
#pragma once

#include <vector>

#include "platform/base/types.h"

// A counted list.
inline std::vector<WORD> IdList(const WORD* items, WORD count) { return std::vector<WORD>(items, items + count); }

// A 0-ended block, the 0 included; empty for NULL.
inline std::vector<WORD> ZeroEndedIds(const WORD* items) {
  std::vector<WORD> out;
  for (; items != nullptr; ++items) {
    out.push_back(*items);
    if (*items == 0) break;
  }
  return out;
}
