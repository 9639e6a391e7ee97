// What window DCs draw, told to the window manager (see drawn.h).
#include "platform/gdi/drawn.h"

#include <atomic>

#include "platform/gdi/drawn_internal.h"
#include "platform/gdi/gdi_table.h"
#include "platform/gdi/raster.h"

namespace {

std::atomic<GdiDrawnListener> listener{nullptr};

}  // namespace

void GdiSetDrawnListener(GdiDrawnListener l) { listener = l; }

void GdiSetDcWindow(HDC handle, HWND window) {
  std::lock_guard guard(gdi::Lock());
  if (gdi::Dc* dc = gdi::Find<gdi::Dc>(handle)) dc->window = window;
}

void GdiNoteDrawn(HDC handle, GdiDrawn drawn) {
  std::lock_guard guard(gdi::Lock());
  const gdi::Dc* dc = gdi::Find<gdi::Dc>(handle);
  if (dc == nullptr) return;
  const POINT a = gdi::ToSurface(*dc, POINT{drawn.rect.left, drawn.rect.top});
  const POINT b = gdi::ToSurface(*dc, POINT{drawn.rect.right, drawn.rect.bottom});
  drawn.rect = RECT{a.x, a.y, b.x, b.y};
  gdi::NoteDrawn(*dc, drawn);
}

namespace gdi {

void NoteDrawn(const Dc& dc, GdiDrawn drawn) {
  GdiDrawnListener l = listener.load();
  if (dc.window == nullptr || l == nullptr) return;
  drawn.rect = RECT{drawn.rect.left - dc.origin.x, drawn.rect.top - dc.origin.y, drawn.rect.right - dc.origin.x,
                    drawn.rect.bottom - dc.origin.y};
  l(dc.window, drawn);
}

}  // namespace gdi
