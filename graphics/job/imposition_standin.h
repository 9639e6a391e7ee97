// Stand-in for the imposition of pages (booklet and tile output) and for saved jobs, which are
// not part of this module yet. The job and page code calls them here; until they exist a plain
// document prints whole: the layout values are read as the settings give them, and a document
// that asks for booklets, tiles or a saved job fails its job plainly (-1) instead of printing
// something else.
#pragma once

#include "graphics/ddi/pdev.h"
#include "platform/base/types.h"

// The layout values of the page state from the settings in force; -1 for a value outside its
// table.
int ReadLayoutSettings(Pdev* pdev);
// Booklets, tiles and saved jobs: -1.
int BeginTilePageRecord(Pdev* pdev);
int BeginBookletStore(Pdev* pdev);
int BeginBookletPageRecord(Pdev* pdev);
int OutputSavedJob(Pdev* pdev);
int OutputBookletSheets(Pdev* pdev);
int EndBookletPageRecord(Pdev* pdev);
int EndTilePage(Pdev* pdev);
