// Row conversion through a ProfileLut: input curves to 16-bit linear values, the matrix or the
// 17 x 17 x 17 table to 12-bit linear sRGB, the output table to 8-bit sRGB.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "graphics/imaging/color_maths.h"
#include "graphics/imaging/profile_lut.h"
#include "platform/kernel/memory.h"

namespace {
inline int Clamp12(std::int64_t v) { return v < 0 ? 0 : v > 4095 ? 4095 : static_cast<int>(v); }

// Tetrahedral interpolation in one cube cell with 12-bit fractions: corner(i, j, k) points at
// the three outputs of that corner; the weights sum to 4096 and the result is the weighted
// sum shifted right by 16.
template <typename Corner>
inline void InterpolateCell(Corner corner, int fr, int fg, int fb, int out[3]) {
  using T = std::remove_pointer_t<decltype(corner(0, 0, 0))>;
  const T *first, *second;
  int a, b, c;  // the fractions from the largest down
  if (fr >= fg) {
    if (fg >= fb) {
      first = corner(1, 0, 0), second = corner(1, 1, 0), a = fr, b = fg, c = fb;
    } else if (fr >= fb) {
      first = corner(1, 0, 0), second = corner(1, 0, 1), a = fr, b = fb, c = fg;
    } else {
      first = corner(0, 0, 1), second = corner(1, 0, 1), a = fb, b = fr, c = fg;
    }
  } else if (fr >= fb) {
    first = corner(0, 1, 0), second = corner(1, 1, 0), a = fg, b = fr, c = fb;
  } else if (fg >= fb) {
    first = corner(0, 1, 0), second = corner(0, 1, 1), a = fg, b = fb, c = fr;
  } else {
    first = corner(0, 0, 1), second = corner(0, 1, 1), a = fb, b = fg, c = fr;
  }
  const T* base = corner(0, 0, 0);
  const T* white = corner(1, 1, 1);
  for (int i = 0; i < 3; ++i) {
    const std::int64_t sum = std::int64_t{base[i]} * (4096 - a) + std::int64_t{first[i]} * (a - b) +
                             std::int64_t{second[i]} * (b - c) + std::int64_t{white[i]} * c;
    out[i] = Clamp12(sum >> 16);
  }
}

inline void StorePixel(const BYTE* table, const int rgb[3], BYTE* dst) {
  dst[0] = table[rgb[2]];
  dst[1] = table[rgb[1]];
  dst[2] = table[rgb[0]];
}

void ConvertMatrixRow(const ProfileLut& lut, const BYTE* src, BYTE* dst, std::size_t count) {
  const BYTE* table = SrgbOutputTable();
  std::int64_t m[9];
  for (int i = 0; i < 9; ++i) m[i] = lut.Matrix[i] >> 2;
  const bool nearWhite = lut.NearWhiteInUse != 0;
  for (std::size_t p = 0; p < count; ++p, src += 3, dst += 3) {
    const std::int64_t r = lut.InputCurves[0][src[2]], g = lut.InputCurves[1][src[1]], b = lut.InputCurves[2][src[0]];
    int out[3];
    if (nearWhite && r > 0xEFFF && g > 0xEFFF && b > 0xEFFF) {
      InterpolateCell([&lut](int i, int j, int k) { return lut.NearWhite + (i * 4 + j * 2 + k) * 3; },
                      static_cast<int>(r & 0xFFF), static_cast<int>(g & 0xFFF), static_cast<int>(b & 0xFFF), out);
    } else {
      out[0] = Clamp12((r * m[0] + g * m[1] + b * m[2]) >> 18);
      out[1] = Clamp12((r * m[3] + g * m[4] + b * m[5]) >> 18);
      out[2] = Clamp12((r * m[6] + g * m[7] + b * m[8]) >> 18);
    }
    StorePixel(table, out, dst);
  }
}

void ConvertTableRow(const ProfileLut& lut, const BYTE* src, BYTE* dst, std::size_t count) {
  const BYTE* table = SrgbOutputTable();
  const WORD* grid = lut.Lut;
  for (std::size_t p = 0; p < count; ++p, src += 3, dst += 3) {
    const int r = lut.InputCurves[0][src[2]], g = lut.InputCurves[1][src[1]], b = lut.InputCurves[2][src[0]];
    const WORD* cell = grid + ((r >> 12) * 289 + (g >> 12) * 17 + (b >> 12)) * 3;
    int out[3];
    InterpolateCell([cell](int i, int j, int k) { return cell + (i * 289 + j * 17 + k) * 3; }, r & 0xFFF, g & 0xFFF,
                    b & 0xFFF, out);
    StorePixel(table, out, dst);
  }
}
}  // namespace

void ConvertRgbRow(const ProfileLut* lut, const BYTE* src, BYTE* dst, std::size_t count) {
  if (lut != nullptr && lut->State == kLutMatrixModel) {
    ConvertMatrixRow(*lut, src, dst, count);
  } else if (lut != nullptr && lut->State == kLutTableModel && lut->Lut != nullptr) {
    ConvertTableRow(*lut, src, dst, count);
  } else if (src != dst && count > 0) {
    std::memmove(dst, src, count * 3);
  }
}

void ReleaseProfileLut(ProfileLut& lut) {
  if (lut.LutBlock != nullptr) {
    GlobalUnlock(lut.LutBlock);
    GlobalFree(lut.LutBlock);
  }
  lut.LutBlock = nullptr;
  lut.Lut = nullptr;
  lut.State = kLutUnusable;
  lut.NearWhiteInUse = 0;
}
