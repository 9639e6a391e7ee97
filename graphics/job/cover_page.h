// The destinations of a direct-fax job and the layout of its cover page. Each pass of the job
// sends to one destination of the fax send list; when a cover page is asked for, its texts are
// placed from four fixed layout tables (heading, destination, sender, comment) with the
// destination's entry, the cover settings and the resource module's strings.
#pragma once

#include <cstddef>

#include "core/job/fax_list.h"
#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// A destination's entry followed by the send list's two header texts.
struct ExtendedFaxDestination {
  FaxDestination entry;
  WCHAR firstText[kFaxHeaderTextChars];   // at byte 742
  WCHAR secondText[kFaxNoteTextChars];    // at byte 824
};
static_assert(sizeof(ExtendedFaxDestination) == 2166 && offsetof(ExtendedFaxDestination, firstText) == 742 &&
              offsetof(ExtendedFaxDestination, secondText) == 824);

// The cover settings of the job (texts are the settings' own fields; NULL reads as empty).
struct CoverInformation {
  WORD kind;          // item 1804: 0 the first variant of every table, else the second
  LPCWSTR title;      // item 1805
  WORD mode;          // item 379 when item 380 is at least 2, else 0
  LPCWSTR recipient;  // item 1806
  WORD company;       // item 1807
  WORD honorific;     // item 1808
  WORD numberPrefix;  // item 1809: 1 puts the dial prefix before the fax number
  LPCWSTR sender[4];  // items 1820 to 1823
};

// The dial prefixes (items 5141 and 5143) put before the fax number.
struct CoverExtras {
  LPCWSTR secondPrefix;  // destinations with selector 2
  LPCWSTR firstPrefix;   // destinations with selector 1
};

inline constexpr int kCoverTextChars = 128;
inline constexpr int kMaxCoverTexts = 40;

// One placed line: position in tenths of a millimetre, size in tenths of a point, font slot.
struct CoverTextItem {
  SHORT x;
  SHORT y;
  SHORT size;
  SHORT fontSlot;
  WCHAR text[kCoverTextChars + 1];
};

// One row of a layout table.
struct CoverLayoutRow {
  SHORT source;
  SHORT stringId;   // sources 1 and 7
  SHORT fontSlot;   // 1 or 2
  SHORT rightAlign; // 1: x is the right edge
  SHORT baseline;   // 2: y is the baseline
  SHORT size;
  SHORT x;
  SHORT y;
  SHORT perLine;    // bytes per line of a wrapped text
  SHORT lines;
  SHORT lineStep;
};

// The extended entry of destination index of a send list: 1, or 0 when the list is missing
// or not whole, or the index is not below its count.
int LoadFaxDestination(const BYTE* blob, DWORD size, DWORD index, ExtendedFaxDestination* out);
// Reads the cover settings and the dial prefixes of the device's settings.
void ReadCoverInformation(Pdev* pdev, CoverInformation* info, CoverExtras* extras);
// Places every text of the cover: 1 with the items, or 0 when a text cannot be converted.
int BuildCoverTexts(const ExtendedFaxDestination* entry, const CoverInformation* info, const CoverExtras* extras,
                    CoverTextItem* items, int* count);
// Places one row's text (wrapped for rows of two lines or more) as the next items; the array
// never grows beyond kMaxCoverTexts. 0 when the text cannot be converted.
int PlaceCoverText(LPCWSTR text, const CoverLayoutRow* row, CoverTextItem* items, int* count);
// Splits the text (in the ANSI code page) into lines of at most bytesPerLine bytes, never
// splitting a double-byte character, breaking at CR LF, and at most maxLines lines: 1 with the
// lines (each at most kCoverTextChars characters), or 0 when a conversion fails.
int WrapCoverText(LPCWSTR text, int bytesPerLine, int maxLines, WCHAR (*lines)[kCoverTextChars + 1], int* count);
