// Device fonts: the printer-resident fonts of the model's font records (type 11), exposed when
// their face is not installed on the system, each built into a DeviceFontEntry on the device's
// private heap when it is enabled, and the engine's font queries answered from them.
#pragma once

#include "graphics/device/font_resource_reader.h"
#include "graphics/device/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_fonts.h"

constexpr DWORD kDeviceFontEntryVersion = 0x10000;
constexpr int kFontWidthEntries = 256;

// One exposed font, one block: this header, then at their offsets the IFIMETRICS with its
// names, simulations and panose, the kerning pairs (ended by a zero row) and a copy of the
// font data (the reader reads the copy).
struct DeviceFontEntry {
  DWORD version;
  DWORD metricsOffset;
  DWORD metricsSize;
  DWORD kerningOffset;  // 0 when the font has no kerning pairs
  DWORD kerningSize;
  DWORD dataOffset;
  DWORD dataSize;
  DWORD totalSize;
  DWORD fontId;  // the hexadecimal id text read as a number
  WORD extMetrics[kFontExtMetricsFields];
  WORD widths[kFontWidthEntries];
  FontResourceReader reader;
  BOOL readerOpen;
};

// Counts the model's font records, enumerates the installed families and builds an entry for
// every exposed record; FALSE (no fonts) when there are none or an entry cannot be built.
BOOL LoadDeviceFonts(Pdev* pdev);
// The entry's IFIMETRICS.
IFIMETRICS* DeviceFontMetrics(DeviceFontEntry* entry);
// A new global block of the installed families' face names, each NUL-terminated, ended by an
// empty name; NULL when the families cannot be enumerated.
LPWSTR EnumerateFontFamilies(HDC dc);

// The font queries. A device that is not a live record, or a face outside 1..the count of
// exposed fonts, gives ERROR_INVALID_PARAMETER and a NULL or 0 answer.
IFIMETRICS* HandleQueryFont(Pdev* pdev, ULONG_PTR file, ULONG face, ULONG_PTR* id);
PVOID HandleQueryFontTree(Pdev* pdev, ULONG_PTR file, ULONG face, ULONG mode, ULONG_PTR* id);
LONG HandleQueryFontData(Pdev* pdev, FONTOBJ* font, ULONG mode, HGLYPH glyph, GLYPHDATA* data, PVOID buffer,
                         ULONG size);
BOOL HandleQueryAdvanceWidths(Pdev* pdev, FONTOBJ* font, ULONG mode, HGLYPH* glyphs, PVOID widths, ULONG count);
