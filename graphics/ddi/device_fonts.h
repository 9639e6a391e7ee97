// Device fonts: the printer-resident fonts of the model's font records, exposed when their face
// is not installed on the system, and the engine's font queries answered from them.
#pragma once

#include "graphics/ddi/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_fonts.h"

// The font queries. A device that is not a live record, or a face outside 1..the count of
// exposed fonts, gives ERROR_INVALID_PARAMETER and a NULL or 0 answer.
IFIMETRICS* HandleQueryFont(Pdev* pdev, ULONG_PTR file, ULONG face, ULONG_PTR* id);
PVOID HandleQueryFontTree(Pdev* pdev, ULONG_PTR file, ULONG face, ULONG mode, ULONG_PTR* id);
LONG HandleQueryFontData(Pdev* pdev, FONTOBJ* font, ULONG mode, HGLYPH glyph, GLYPHDATA* data, PVOID buffer,
                         ULONG size);
BOOL HandleQueryAdvanceWidths(Pdev* pdev, FONTOBJ* font, ULONG mode, HGLYPH* glyphs, PVOID widths, ULONG count);
