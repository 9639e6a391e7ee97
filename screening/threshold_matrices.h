// The two threshold matrices (indexes 3000 and 3001 of group 102). Each is a 32 x 32 field
// of 8-bit thresholds that repeats a 16 x 16 tile [A B / B A] of two 8 x 8 cells; only the
// cells are written down, the field is tiled from them at compile time.
#pragma once

#include <array>
#include <cstddef>

#include "platform/base/types.h"
#include "screening/table_bytes.h"

namespace screening {

inline constexpr std::size_t kCellSide = 8;
inline constexpr std::size_t kTileSide = 2 * kCellSide;
inline constexpr std::size_t kMatrixSide = 32;
inline constexpr std::size_t kMatrixHeaderSize = 12;  // width, height, eight zero bytes
inline constexpr std::size_t kThresholdMatrixSize = kMatrixHeaderSize + kMatrixSide * kMatrixSide;
static_assert(kThresholdMatrixSize == 1036 && kMatrixSide % kTileSide == 0);

using ThresholdCell = std::array<std::array<BYTE, kCellSide>, kCellSide>;

struct ThresholdCellPair {
  ThresholdCell a;  // top left and bottom right of the tile
  ThresholdCell b;  // top right and bottom left of the tile
};

inline constexpr ThresholdCellPair kThresholdCells3000{
    {{
        {227, 203, 75, 19, 27, 59, 185, 241},
        {163, 131, 115, 51, 83, 123, 137, 193},
        {39, 103, 157, 173, 213, 149, 109, 69},
        {7, 95, 221, 253, 237, 181, 45, 13},
        {31, 63, 189, 245, 229, 205, 77, 21},
        {87, 127, 141, 197, 165, 133, 117, 53},
        {209, 145, 105, 65, 33, 97, 155, 171},
        {233, 177, 41, 9, 1, 89, 219, 251},
    }},
    {{
        {225, 201, 73, 17, 25, 57, 187, 243},
        {161, 129, 113, 49, 81, 121, 139, 195},
        {37, 101, 159, 175, 215, 151, 111, 71},
        {5, 93, 223, 255, 239, 183, 47, 15},
        {29, 61, 191, 247, 231, 207, 79, 23},
        {85, 125, 143, 199, 167, 135, 119, 55},
        {211, 147, 107, 67, 35, 99, 153, 169},
        {235, 179, 43, 11, 3, 91, 217, 249},
    }},
};

inline constexpr ThresholdCellPair kThresholdCells3001{
    {{
        {245, 21, 53, 213, 249, 25, 57, 217},
        {69, 149, 181, 109, 77, 153, 185, 103},
        {37, 197, 237, 13, 45, 205, 231, 7},
        {165, 125, 93, 141, 173, 115, 83, 135},
        {253, 29, 61, 221, 243, 19, 51, 211},
        {73, 157, 189, 99, 67, 147, 179, 107},
        {41, 201, 227, 3, 35, 195, 235, 11},
        {169, 119, 87, 131, 163, 123, 91, 139},
    }},
    {{
        {247, 23, 55, 215, 251, 27, 59, 219},
        {71, 151, 183, 111, 79, 155, 187, 101},
        {39, 199, 239, 15, 47, 207, 229, 5},
        {167, 127, 95, 143, 175, 113, 81, 133},
        {255, 31, 63, 223, 241, 17, 49, 209},
        {75, 159, 191, 97, 65, 145, 177, 105},
        {43, 203, 225, 1, 33, 193, 233, 9},
        {171, 117, 85, 129, 161, 121, 89, 137},
    }},
};

// Writes the header and tiles the field row by row: within each 16 x 16 tile, cell A sits
// where the cell row and cell column are both even or both odd, cell B elsewhere.
constexpr std::array<BYTE, kThresholdMatrixSize> BuildThresholdMatrix(const ThresholdCellPair& cells) {
  std::array<BYTE, kThresholdMatrixSize> bytes{};
  PutWord(bytes, 0, kMatrixSide);
  PutWord(bytes, 2, kMatrixSide);
  for (std::size_t row = 0; row < kMatrixSide; ++row) {
    for (std::size_t col = 0; col < kMatrixSide; ++col) {
      const std::size_t tileRow = row % kTileSide;
      const std::size_t tileCol = col % kTileSide;
      const bool useB = (tileRow / kCellSide) != (tileCol / kCellSide);
      const ThresholdCell& cell = useB ? cells.b : cells.a;
      bytes[kMatrixHeaderSize + row * kMatrixSide + col] = cell[tileRow % kCellSide][tileCol % kCellSide];
    }
  }
  return bytes;
}

inline constexpr std::array<BYTE, kThresholdMatrixSize> kThresholdMatrix3000 = BuildThresholdMatrix(kThresholdCells3000);
inline constexpr std::array<BYTE, kThresholdMatrixSize> kThresholdMatrix3001 = BuildThresholdMatrix(kThresholdCells3001);

}  // namespace screening
