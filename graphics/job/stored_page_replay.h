// Stored pages replayed: a page recorded into the temporary job store is played back into the
// drawing library through the command replayer, its stored records interpreted between the
// display-list bytes (page start with this page's values, show page, end page, the page axis
// combined with a placement), with the page colour decided from the page records. Pages are
// replayed in document order, or last to first for reverse-order printing.
//
// The job code owns the values these steps read and set; it hands them over in a
// StoredPageJob filled from the device and takes the changed values back.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/page_state.h"
#include "graphics/imaging/color_detection.h"
#include "graphics/imaging/page_color.h"
#include "graphics/job/page_record.h"
#include "platform/base/types.h"

struct OutputChannel;
struct GraphicsStateEmitter;

// Replay flags: which stored records of a page take effect (the others are read and skipped).
constexpr DWORD kReplayPageStart = 0x1;  // send the page start with this page's values
constexpr DWORD kReplayShowPage = 0x2;
constexpr DWORD kReplayEndPage = 0x4;
constexpr DWORD kReplayAxis = 0x8;  // the recorded axis combined with the placement
constexpr DWORD kReplayWholePage = 0xF;

// Page numbers from this one up stand for "no page".
constexpr WORD kNoStoredPage = 0x8000;
constexpr LONG kNoMediaOverride = -1;

// Page colour codes handed to the page start.
constexpr BYTE kPageCodeMono = 1;
constexpr BYTE kPageCodeColor = 2;
constexpr BYTE kPageCodeFixed = 3;  // the colour mode is fixed by the settings

struct StoredPageJob;

// The job's page start for a replayed page: builds the page blocks from the job's values and
// the record's, and starts the page in the library. colorCode is the decided page colour,
// mediaCode the record's media-source code or the override.
using StoredPageStartProc = int (*)(StoredPageJob* job, const StoredPageStart& start, BYTE colorCode,
                                    BYTE mediaCode);
// The tile replay of one stored page (every tile cell of the page).
using StoredPageTilesProc = int (*)(StoredPageJob* job, WORD page);

struct StoredPageJob {
  OutputChannel* channel;
  GraphicsStateEmitter* emitter;
  PageState* pageState;
  DWORD jobFlags;  // kJobOutputBegun must be set
  WORD firstStoredPage;
  WORD storedPages;
  LONG colorMode;     // 0 automatic
  LONG reverseOrder;  // replay the pages last to first
  LONG booklet;       // booklet pages keep the sides-on-sheet counter
  LONG tiles;
  // Set from a replayed page-start record.
  WORD mediaCode;
  LONG colorParameter;
  WORD sidesOnSheet;
  // Set by DecideStoredPageColor.
  DWORD pageColor;
  WORD colorCount;
  StoredPageStartProc startPage;
  StoredPageTilesProc replayTiles;
  void* owner;  // the job code's own record
};

// The page colour state and colour set of a stored page's record.
int ReadPageColorRecord(StoredPageJob* job, DWORD* colorState, ColorSet* colors, WORD page);
// The page colour code of one page, of two pages sharing a side, or of none (both numbers
// kNoStoredPage or above); the job's page colour and colour count follow. -1 (the code then
// being the record's state byte) for a record whose colour state is unknown.
int DecideStoredPageColor(StoredPageJob* job, BYTE* code, WORD page, WORD secondPage, LONG colorMode);
// Replays one stored page with the records the flags select. placement may be NULL (the axis
// records are then sent as recorded). The state cache is off while the page replays. While the
// channel writes to a user file, the page's display-list bytes are written to the channel too.
int ReplayStoredPage(StoredPageJob* job, WORD page, DWORD flags, BYTE colorCode, const float* placement,
                     LONG mediaOverride);
// Decides the page colour and replays the page. The job's output must have begun; without an
// open store nothing is replayed (0); the page and the second page must differ unless the page
// is kNoStoredPage or above.
int ReplayPageRange(StoredPageJob* job, WORD page, DWORD flags, const float* placement, WORD secondPage,
                    LONG colorMode, LONG mediaOverride);
// Every stored page, first to last (last to first for reverse order), each with its page
// start; tiles through the tile replay. The failures are ORed; every page is still replayed.
int ReplayAllStoredPages(StoredPageJob* job);
