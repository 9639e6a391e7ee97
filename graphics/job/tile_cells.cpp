#include "graphics/job/tile_cells.h"

int ComputeGridCell(float out[6], const TileLayout* tiles, WORD n) {
  if (out == nullptr || tiles == nullptr || tiles->columns == 0 || tiles->rows == 0) return -1;
  const int columns = tiles->columns;
  const int rows = tiles->rows;
  if (n >= columns * rows) return -1;
  const int acrossIndex = tiles->rowByRow ? n % columns : n / rows;
  const int alongIndex = tiles->rowByRow ? n / columns : n % rows;
  const LONG across = tiles->acrossStart + acrossIndex * tiles->acrossStep;
  const LONG along = tiles->alongStart + alongIndex * tiles->alongStep;
  if (across < 0 || along < 0) return -1;
  // The same cell reached by walking n steps from the first, wrapping at the end values.
  LONG a = tiles->acrossStart;
  LONG b = tiles->alongStart;
  for (int step = 0; step < n; ++step) {
    if (tiles->rowByRow) {
      if (a == tiles->acrossEnd) a = tiles->acrossStart, b += tiles->alongStep;
      else a += tiles->acrossStep;
    } else {
      if (b == tiles->alongEnd) b = tiles->alongStart, a += tiles->acrossStep;
      else b += tiles->alongStep;
    }
  }
  if (a != across || b != along) return -1;
  for (int i = 0; i < 6; ++i) out[i] = tiles->matrix[i];
  out[4] = tiles->matrix[4] - static_cast<float>(across) * tiles->cellWidth;
  out[5] = tiles->matrix[5] - static_cast<float>(along) * tiles->cellHeight;
  return 0;
}
