// The ready-made blocks the job control writes into the output channel besides a page's
// drawing commands, in the display list's command encoding (two-letter codes, big-endian
// operands, single-precision floats): a direct-fax cover page's texts set in a printer-resident
// font, the record naming a stored overlay, and a file of the driver directory copied whole.
#pragma once

#include "graphics/device/font_resource_reader.h"
#include "graphics/device/pdev.h"
#include "graphics/job/cover_page.h"
#include "platform/base/types.h"

inline constexpr DWORD kCoverPreambleSize = 19;
inline constexpr int kCoverTextBytes = 258;

// One cover text ready for its records: the font record's id with bit 0x2 set, the position in
// device pixels, and the ANSI codes with their advance widths.
struct PreparedCoverText {
  WORD fontNumber;
  float x;
  float y;
  WORD count;   // characters
  WORD length;  // bytes of text
  char text[kCoverTextBytes];
  float advances[kCoverTextBytes];
};

// An upper bound of the cover block's size, or -1 when the texts cannot be built.
int EstimateCoverRecordsSize(const ExtendedFaxDestination* entry, const CoverInformation* info,
                             const CoverExtras* extras);
// Writes the cover block into buffer (capacity bytes): its size, or -1 when a text cannot be
// prepared (a character its font lacks fails the whole block) or the block does not fit.
int WriteCoverRecords(const ExtendedFaxDestination* entry, const CoverInformation* info, const CoverExtras* extras,
                      Pdev* pdev, BYTE* buffer, DWORD capacity);
// Prepares one placed text: its font from the model's cover-page fonts, its position and the
// advance of each character. FALSE when the font or a character's width cannot be had.
BOOL PrepareCoverText(Pdev* pdev, const CoverTextItem* item, PreparedCoverText* out);
// The advance widths of an ANSI text in the font at size (tenths of a point) and resolution;
// the count of characters, or -1 when one has no width (or a lead byte ends the text).
int MeasureCoverText(const FontResourceReader* reader, const char* text, int length, int size, LONG resolution,
                     float* advances);
