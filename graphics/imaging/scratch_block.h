// A global scratch block for one conversion, freed at the end of its scope. One byte more than
// asked is allocated so that a zero-sized request still gives a block.
#pragma once

#include <cstddef>

#include "platform/base/types.h"
#include "platform/kernel/memory.h"

struct Scratch {
  HGLOBAL Block;
  explicit Scratch(std::size_t bytes) : Block(GlobalAlloc(GMEM_FIXED, bytes + 1)) {}
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  ~Scratch() {
    if (Block != nullptr) GlobalFree(Block);
  }
  BYTE* Bytes() const { return static_cast<BYTE*>(Block); }
};
