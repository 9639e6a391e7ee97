// The module-wide state of the graphics driver between DrvEnableDriver and DrvDisableDriver:
// the lock slots, the device-font lock and the glyph sets the device fonts answer (the default
// one-to-one set of code points 0-255, and the Shift-JIS set read from the resource module).
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_fonts.h"

// Lock slots, the device-font lock and the default glyph set. FALSE when the glyph set cannot
// be made (what was initialised stays for ReleaseDriverState).
BOOL InitDriverState();
// Deletes the lock slots, frees both glyph sets under the device-font lock and deletes it.
void ReleaseDriverState();

// The device-font lock: glyph sets are read and made only while it is held.
void EnterFontLock();
void LeaveFontLock();
// The default glyph set (code points 0 to 255 one to one); NULL before InitDriverState.
FD_GLYPHSET* DefaultGlyphSet();
// The cached Shift-JIS glyph set; set once by the device fonts, freed by ReleaseDriverState.
FD_GLYPHSET* CachedResourceGlyphSet();
void SetCachedResourceGlyphSet(FD_GLYPHSET* set);
