// Reading an RGB ICC profile (version 2 tag layout) into a ProfileLut, from a file or from
// bytes in memory. Every offset, size and count the profile announces is checked against the
// bytes present before it is used.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/imaging/profile_lut.h"

// Where the profile's bytes come from: its size and a reader of size bytes at an offset
// (false when they cannot be read).
struct IccSource {
  void* Context;
  std::uint64_t Size;
  bool (*ReadAt)(void* context, std::uint64_t offset, BYTE* buffer, std::size_t size);
};

// Builds the object from the profile; any failure leaves it unusable. Answers an IccStatus.
int ReadIccProfile(ProfileLut& lut, const IccSource& source);

// The same from bytes in memory.
int ReadIccProfileBytes(ProfileLut& lut, const BYTE* bytes, std::size_t size);
