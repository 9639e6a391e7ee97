// The escapes with which the user-interface module draws its overlays (stamps and job
// information) into the pages: at each page's end it asks which overlays belong on the ending
// page or sheet and where, and while it draws a stamp it moves each text to its tile.
#pragma once

#include "platform/base/types.h"

struct Pdev;

// DRVESC_PAGEEND: the 44-byte page-end answer for the end of a page (input 0 or none) or of the
// document (1). 1, or -1 for an output other than 44 bytes, another input value, or an N-up
// count of 0.
LONG HandlePageEndEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out);
// DRVESC_STAMPPOS: {i32 x, i32 y} moves what is drawn next by (x, y) page pixels (the page is
// begun when none is open). 1 (also, doing nothing, for an input other than 8 bytes), or -1
// when the page cannot be begun or a command fails.
LONG HandleStampPosEscape(Pdev* pdev, ULONG cjIn, const BYTE* in);
