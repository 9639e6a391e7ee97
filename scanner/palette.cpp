// The palettes of the output formats and the nearest entry of the 3-3-2 colour cube.
#include <array>

#include "platform/twain/twain.h"
#include "scanner/band_processing.h"

namespace {

// n x mul / div rounded half away from zero (all operands are small and non-negative here).
constexpr BYTE ScaleLevel(int n, int mul, int div) { return static_cast<BYTE>((2 * n * mul + div) / (2 * div)); }

// Levels of the 3-3-2 cube: eight reds and greens, four blues.
constexpr std::array<BYTE, 8> kCubeLevels8 = {ScaleLevel(0, 3643, 100), ScaleLevel(1, 3643, 100), ScaleLevel(2, 3643, 100),
                                              ScaleLevel(3, 3643, 100), ScaleLevel(4, 3643, 100), ScaleLevel(5, 3643, 100),
                                              ScaleLevel(6, 3643, 100), ScaleLevel(7, 3643, 100)};
constexpr std::array<BYTE, 4> kCubeLevels4 = {0, 85, 170, 255};

// For every channel value the nearest level (the lowest level on ties). The cube is a product
// of its channel levels, so the nearest entry by summed squares is the nearest level per
// channel, and the lowest index among ties is the lowest level per channel.
template <std::size_t N>
constexpr std::array<BYTE, 256> NearestLevels(const std::array<BYTE, N>& levels) {
  std::array<BYTE, 256> table{};
  for (int v = 0; v < 256; ++v) {
    int best = 0;
    for (int l = 1; l < static_cast<int>(N); ++l) {
      const int d = v - levels[l], db = v - levels[best];
      if (d * d < db * db) best = l;
    }
    table[v] = static_cast<BYTE>(best);
  }
  return table;
}

// Nearest levels already shifted into their place in the palette index.
constexpr std::array<BYTE, 256> Shifted(std::array<BYTE, 256> table, int shift) {
  for (auto& v : table) v = static_cast<BYTE>(v << shift);
  return table;
}
constexpr std::array<BYTE, 256> kNearestRed = Shifted(NearestLevels(kCubeLevels8), 5);
constexpr std::array<BYTE, 256> kNearestGreen = Shifted(NearestLevels(kCubeLevels8), 2);
constexpr std::array<BYTE, 256> kNearestBlue = NearestLevels(kCubeLevels4);

}  // namespace

BYTE NearestPaletteIndex(BYTE red, BYTE green, BYTE blue) {
  return static_cast<BYTE>(kNearestRed[red] | kNearestGreen[green] | kNearestBlue[blue]);
}

void NearestPaletteIndices(BYTE* out, const BYTE* triplets, DWORD n) {
  for (DWORD i = 0; i < n; ++i, triplets += 3)
    out[i] = static_cast<BYTE>(kNearestRed[triplets[0]] | kNearestGreen[triplets[1]] | kNearestBlue[triplets[2]]);
}

BOOL BuildPalette(BYTE* buffer, WORD pixelType, DWORD size) {
  switch (pixelType) {
    case TWPT_BW: {
      if (buffer == nullptr || size < 8) return FALSE;
      const BYTE bw[8] = {0, 0, 0, 0, 255, 255, 255, 0};
      for (int i = 0; i < 8; ++i) buffer[i] = bw[i];
      return TRUE;
    }
    case TWPT_GRAY:
    case TWPT_PALETTE: {
      if (buffer == nullptr || size < 1024) return FALSE;
      for (int i = 0; i < 256; ++i) {
        BYTE* q = buffer + 4 * i;  // blue, green, red, reserved
        if (pixelType == TWPT_GRAY) {
          q[0] = q[1] = q[2] = static_cast<BYTE>(i);
        } else {
          q[0] = kCubeLevels4[i & 3];
          q[1] = kCubeLevels8[(i >> 2) & 7];
          q[2] = kCubeLevels8[i >> 5];
        }
        q[3] = 0;
      }
      return TRUE;
    }
    default:
      return TRUE;  // RGB has no palette
  }
}
