// The layout values of a document's page state, read from its settings when the job's output
// begins: orientation setting, duplex binding, binding edge and margins, zoom, page order, the
// N-up count and its cell grid, landscape, booklet and tile values, cell alignment and offsets.
// Tiles and booklets place one page per side: their N-up count is 1 and they take no binding,
// page order or (tiles) alignment.
#pragma once

#include "graphics/device/pdev.h"

// Fills the layout values of the device's page state; -1 for a value outside its table.
int ReadLayoutSettings(Pdev* pdev);
