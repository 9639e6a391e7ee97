// Compile-time packing of the little-endian fields that the screening buffers hand out.
// Buffers are built as byte arrays field by field, so their layout does not depend on the
// compiler's structure layout or on the host's byte order.
#pragma once

#include <array>
#include <bit>
#include <cstddef>

#include "platform/base/types.h"

namespace screening {

template <std::size_t N>
constexpr void PutWord(std::array<BYTE, N>& bytes, std::size_t offset, WORD value) {
  bytes[offset] = static_cast<BYTE>(value);
  bytes[offset + 1] = static_cast<BYTE>(value >> 8);
}

template <std::size_t N>
constexpr void PutDword(std::array<BYTE, N>& bytes, std::size_t offset, DWORD value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[offset + i] = static_cast<BYTE>(value >> (8 * i));
}

// A single-precision float goes out as its IEEE 754 bit pattern.
template <std::size_t N>
constexpr void PutFloat(std::array<BYTE, N>& bytes, std::size_t offset, float value) {
  PutDword(bytes, offset, std::bit_cast<DWORD>(value));
}

}  // namespace screening
