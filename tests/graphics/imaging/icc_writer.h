// A small writer of version 2 ICC profiles for the colour engine's tests: a header, a tag
// table and the tag types the engine reads, each written field by field, big-endian.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using IccBytes = std::vector<std::uint8_t>;

// Appends n bytes of v, most significant first.
inline void PutBe(IccBytes& b, std::uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutBe16(IccBytes& b, unsigned v) { PutBe(b, v, 2); }
inline void PutBe32(IccBytes& b, std::uint32_t v) { PutBe(b, v, 4); }
inline void PutSig(IccBytes& b, const char* four) {
  PutBe(b, (std::uint32_t(std::uint8_t(four[0])) << 24) | (std::uint32_t(std::uint8_t(four[1])) << 16) |
               (std::uint32_t(std::uint8_t(four[2])) << 8) | std::uint8_t(four[3]), 4);
}
inline void PutS15Fixed16(IccBytes& b, double v) {
  PutBe32(b, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(v * 65536))));
}
inline void SetBe32(IccBytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

struct IccTag {
  std::string Signature;
  IccBytes Data;
};

// A whole profile: class ("mntr", "scnr"), colour space ("RGB "), connection space ("XYZ ",
// "Lab "), the tags in order, each at a 4-byte aligned offset after the tag table.
inline IccBytes MakeIccProfile(const char* profileClass, const char* space, const char* connection,
                               const std::vector<IccTag>& tags) {
  IccBytes b(128, 0);
  SetBe32(b, 8, 0x02100000);
  for (int i = 0; i < 4; ++i) {
    b[12 + i] = profileClass[i];
    b[16 + i] = space[i];
    b[20 + i] = connection[i];
    b[36 + i] = "acsp"[i];
  }
  SetBe32(b, 68, 0x0000F6D6);  // D50 illuminant
  SetBe32(b, 72, 0x00010000);
  SetBe32(b, 76, 0x0000D32D);
  PutBe32(b, static_cast<std::uint32_t>(tags.size()));
  std::size_t offset = b.size() + 12 * tags.size();
  std::vector<std::size_t> offsets;
  for (const IccTag& t : tags) {
    offsets.push_back(offset);
    offset += (t.Data.size() + 3) & ~std::size_t{3};
  }
  for (std::size_t i = 0; i < tags.size(); ++i) {
    PutSig(b, tags[i].Signature.c_str());
    PutBe32(b, static_cast<std::uint32_t>(offsets[i]));
    PutBe32(b, static_cast<std::uint32_t>(tags[i].Data.size()));
  }
  for (const IccTag& t : tags) {
    b.insert(b.end(), t.Data.begin(), t.Data.end());
    while (b.size() % 4 != 0) b.push_back(0);
  }
  SetBe32(b, 0, static_cast<std::uint32_t>(b.size()));
  return b;
}

inline IccBytes CurvTag(const std::vector<std::uint16_t>& entries) {
  IccBytes b;
  PutSig(b, "curv");
  PutBe32(b, 0);
  PutBe32(b, static_cast<std::uint32_t>(entries.size()));
  for (std::uint16_t v : entries) PutBe16(b, v);
  return b;
}
inline IccBytes GammaTag(std::uint16_t u8Fixed8) { return CurvTag({u8Fixed8}); }
// n entries of 65535 x (i / (n - 1))^gamma, rounded.
inline IccBytes TableCurvTag(std::size_t n, double gamma) {
  std::vector<std::uint16_t> v(n);
  for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint16_t>(std::lround(65535 * std::pow(double(i) / (n - 1), gamma)));
  return CurvTag(v);
}

inline IccBytes XyzTag(double x, double y, double z) {
  IccBytes b;
  PutSig(b, "XYZ ");
  PutBe32(b, 0);
  PutS15Fixed16(b, x);
  PutS15Fixed16(b, y);
  PutS15Fixed16(b, z);
  return b;
}

// The three outputs (0..1 of the full scale) at the grid point of inputs (0..1).
using GridFunction = std::function<std::array<double, 3>(double, double, double)>;
// An input or output table value (0..1) for a position (0..1).
using TableFunction = std::function<double(double)>;

// 'mft1' (wide = false, 256-entry tables) or 'mft2' (inputCount and outputCount entries) with
// three inputs and outputs, grid points per input, an identity matrix.
inline IccBytes LutTag(bool wide, int grid, std::size_t inputCount, std::size_t outputCount, const TableFunction& input,
                       const GridFunction& values, const TableFunction& output) {
  const double full = wide ? 65535 : 255;
  auto put = [&](IccBytes& b, double v) {
    const long q = std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * full);
    if (wide)
      PutBe16(b, static_cast<unsigned>(q));
    else
      b.push_back(static_cast<std::uint8_t>(q));
  };
  if (!wide) inputCount = outputCount = 256;
  IccBytes b;
  PutSig(b, wide ? "mft2" : "mft1");
  PutBe32(b, 0);
  b.push_back(3);
  b.push_back(3);
  b.push_back(static_cast<std::uint8_t>(grid));
  b.push_back(0);
  for (int i = 0; i < 9; ++i) PutS15Fixed16(b, i % 4 == 0 ? 1.0 : 0.0);
  if (wide) {
    PutBe16(b, static_cast<unsigned>(inputCount));
    PutBe16(b, static_cast<unsigned>(outputCount));
  }
  for (int c = 0; c < 3; ++c)
    for (std::size_t i = 0; i < inputCount; ++i) put(b, input(double(i) / (inputCount - 1)));
  for (int r = 0; r < grid; ++r)
    for (int g = 0; g < grid; ++g)
      for (int bl = 0; bl < grid; ++bl) {
        const auto v = values(double(r) / (grid - 1), double(g) / (grid - 1), double(bl) / (grid - 1));
        for (double x : v) put(b, x);
      }
  for (int c = 0; c < 3; ++c)
    for (std::size_t i = 0; i < outputCount; ++i) put(b, output(double(i) / (outputCount - 1)));
  return b;
}
