// Text output: every glyph of a string goes to the drawing library as a data-font record, as
// its outline or, for the two Chinese faces drawn with simulated bold on 5.1 and later, as its
// one-bit bitmap. The clip, the opaque background and the text colour come before the glyphs,
// the extra rectangles (underline, strike-out) after them.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_fonts.h"
#include "platform/engine/ddi_objects.h"

// DrvTextOut's work: TRUE when the whole string was sent (or text is dropped for the job).
BOOL HandleTextOut(SURFOBJ* surface, STROBJ* string, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra, RECTL* opaque,
                   BRUSHOBJ* foreground, BRUSHOBJ* opaqueBrush, POINTL* brushOrigin, MIX mix);

// The string's glyphs in the text colour; 1 when all were sent, 0 at the first failure.
int DrawStringObject(Pdev* pdev, BRUSHOBJ* foreground, STROBJ* string, FONTOBJ* font, MIX mix);

// The font's em size in points at the device's resolution; 1, or 0 without metrics or transform.
int FontEmSizePoints(Pdev* pdev, FONTOBJ* font, float* points);
// The bold byte of a simulated-bold outline; 1, or 0 when the em size cannot be had.
int ComputeBoldStrength(Pdev* pdev, FONTOBJ* font, BYTE* bold);
