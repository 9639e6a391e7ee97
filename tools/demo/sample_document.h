// A realistic office document as the drawing calls an application makes on each page, and the
// routine that prints it through the engine host. The document repeats six kinds of page:
//   0 a letter's first page: letterhead, addresses, a heading and body text in two faces
//   1 the letter's second page: headings, paragraphs, a bulleted list and a signature
//   2 a price table: ruled lines, a filled header row, banded rows and a totals row
//   3 a project schedule in landscape: a wide grid of months and filled task bars
//   4 a chart of paths: bars, a line series with markers, a pie of Bezier wedges, a legend
//   5 a photograph: a 24-bit picture stretched over most of the page, with a caption
// The demo, the picture test and the benchmark print the same pages.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "items/setting_records.h"
#include "platform/engine/engine_drawing.h"
#include "platform/engine/engine_host.h"

enum class PageOrientation : BYTE { Portrait, Landscape };

inline constexpr size_t kSampleDocumentKinds = 6;

struct DocumentPage {
  const char* name;  // what the page shows
  PageOrientation orientation;
  std::vector<DrawCall> calls;
};

// The orientation of page `index` (0-based) of the repeating document.
PageOrientation SampleDocumentOrientation(size_t index);

// Page `index` of the repeating document laid out on a printable area of `area` device pixels
// at `dpi` dots per inch; the footer carries the page number index + 1.
DocumentPage SampleDocumentPage(size_t index, SIZEL area, LONG dpi);

// The device modes of the document's two orientations, made from the printer's settings (the
// orientation item set on a copy each; the settings themselves keep their orientation).
struct DocumentModes {
  std::vector<BYTE> portrait;
  std::vector<BYTE> landscape;
};
DocumentModes MakeDocumentModes(const SettingsRecord& settings, const PrinterConfiguration& config);

struct DocumentPrintResult {
  bool printed = false;  // every page was taken and the document ended well
  int taken = 0;         // drawing calls the driver answered TRUE
  int refused = 0;       // drawing calls it answered otherwise
};

// Called after each page has ended: its index, the page as drawn, and the device context (its
// surface and device description are those of the page).
using DocumentPageDone = std::function<void(size_t index, const DocumentPage& page, EngineDc* dc)>;

// Prints `pages` pages of the repeating document as one document on `dc` (made with
// modes.portrait). Before a page of the other orientation the context is reset with that
// orientation's device mode, as an application does between pages.
DocumentPrintResult PrintSampleDocument(EngineDc* dc, const DocumentModes& modes, size_t pages, LPCWSTR title,
                                        const DocumentPageDone& pageDone = {});
