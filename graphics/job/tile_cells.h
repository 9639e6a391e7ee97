// Tiles: the placement of one cell of a page enlarged over columns x rows sheets.
#pragma once

#include "graphics/job/page_geometry.h"
#include "platform/base/types.h"

// The cell placement of cell n (0-based, in the layout's order) of a tile layout: the layout's
// matrix moved back by the cell's across and along positions times the cell size. -1 for a cell
// beyond the grid, a negative position, or a position the layout's walk does not reach.
int ComputeGridCell(float out[6], const TileLayout* tiles, WORD n);
