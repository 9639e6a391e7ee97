// Tiles printed: one page enlarged over columns x rows sheets. Each page is recorded with its
// page start and an axis record, and at its side end replayed once per sheet, each time with
// the placement that brings that sheet's part of the enlarged page onto the sheet.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/pdev.h"
#include "graphics/job/page_geometry.h"
#include "graphics/job/stored_page_replay.h"
#include "platform/base/types.h"

// Records the next side's page of a tile job (page start and axis records): into the store of
// kept pages when the job keeps its pages, else into a store of its own. -1 for booklets, N-up
// or a page already being recorded.
int BeginTilePageRecord(Pdev* pdev);
// At the side end: ends the page's record, replays its tiles and closes its store.
int EndTilePage(Pdev* pdev);
// Every tile of a stored page, in the grid's order (reversed for reverse-order printing).
int ReplayTiles(StoredPageJob* job, WORD page);
// One tile: cell `cell` of the grid, with its own page start.
int ReplayTileCell(StoredPageJob* job, WORD page, const TileLayout* tiles, WORD cell);
