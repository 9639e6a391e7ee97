// The GDI's side of telling what window DCs draw (drawn.h).
#pragma once

#include "platform/gdi/drawn.h"
#include "platform/gdi/gdi_table.h"

namespace gdi {

// Tells the window manager what a window's DC drew; `drawn.rect` in surface pixels. Nothing
// for other DCs. The caller holds the lock.
void NoteDrawn(const Dc& dc, GdiDrawn drawn);

}  // namespace gdi
