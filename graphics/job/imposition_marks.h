// The marks that belong to an arrangement of pages: N-up borders around each page cell and the
// crop marks of a tile. Both are drawn at the end of a sheet side, with the state cache off (so
// every state command reaches the library), the clip reset first, and the page axis set back
// to the identity afterwards.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// A border of solid lines around each of the first `cells` cells of the side; 0 or -1.
int DrawNupBorders(Pdev* pdev, WORD cells);
// Dashed corner legs and edge-centre marks over the sheet's printable area, in the axis of one
// tile sheet; 0 or -1.
int DrawCropMarks(Pdev* pdev);
