// The palettes of the output formats and the nearest entry of the 3-3-2 colour cube.
#include <array>

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "scanner/pixel_loops.h"

namespace {

// n x mul / div rounded half away from zero (all operands are small and non-negative here).
constexpr BYTE ScaleLevel(int n, int mul, int div) { return static_cast<BYTE>((2 * n * mul + div) / (2 * div)); }

// Levels of the 3-3-2 cube: eight reds and greens, four blues.
constexpr std::array<BYTE, 8> kCubeLevels8 = {ScaleLevel(0, 3643, 100), ScaleLevel(1, 3643, 100), ScaleLevel(2, 3643, 100),
                                              ScaleLevel(3, 3643, 100), ScaleLevel(4, 3643, 100), ScaleLevel(5, 3643, 100),
                                              ScaleLevel(6, 3643, 100), ScaleLevel(7, 3643, 100)};
constexpr std::array<BYTE, 4> kCubeLevels4 = {0, 85, 170, 255};

// For every channel value the nearest level (the lowest level on ties): the cube is a product
// of its channel levels, so the nearest entry by summed squares is the nearest level per
// channel, and the lowest index among ties is the lowest level per channel.
template <std::size_t N>
constexpr BYTE NearestLevel(const std::array<BYTE, N>& levels, int v) {
  int best = 0;
  for (int l = 1; l < static_cast<int>(N); ++l) {
    const int d = v - levels[l], db = v - levels[best];
    if (d * d < db * db) best = l;
  }
  return static_cast<BYTE>(best);
}

// The same nearest levels as a multiply and shift, which vectorises where a table look-up
// does not (checked against the search for every value below).
constexpr BYTE Level8(unsigned v) { return static_cast<BYTE>((v * 7 + 129) >> 8); }
constexpr BYTE Level4(unsigned v) { return static_cast<BYTE>((v * 3 + 129) >> 8); }

constexpr bool LevelFormulasMatchTheSearch() {
  for (int v = 0; v < 256; ++v)
    if (Level8(v) != NearestLevel(kCubeLevels8, v) || Level4(v) != NearestLevel(kCubeLevels4, v)) return false;
  return true;
}
static_assert(LevelFormulasMatchTheSearch());

constexpr BYTE CubeIndex(BYTE red, BYTE green, BYTE blue) {
  return static_cast<BYTE>(Level8(red) << 5 | Level8(green) << 2 | Level4(blue));
}

// The loop of NearestPaletteIndices. Its clones stay inside this file: callers elsewhere see
// one plain function, which every compiler links the same way.
QV_TRIPLET_LOOP void NearestPaletteIndexLoop(BYTE* __restrict out, const BYTE* __restrict triplets, DWORD n) {
  for (DWORD i = 0; i < n; ++i) {
    const BYTE* p = triplets + 3 * static_cast<size_t>(i);
    out[i] = CubeIndex(p[0], p[1], p[2]);
  }
}

}  // namespace

BYTE NearestPaletteIndex(BYTE red, BYTE green, BYTE blue) { return CubeIndex(red, green, blue); }

void NearestPaletteIndices(BYTE* out, const BYTE* triplets, DWORD n) { NearestPaletteIndexLoop(out, triplets, n); }

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
