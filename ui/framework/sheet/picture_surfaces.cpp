#include "ui/framework/sheet/picture_surfaces.h"

#include "platform/base/text.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"
#include "platform/user/window.h"

namespace {

void DeleteSurface(PictureSurface* surface) {
  if (surface->dc != nullptr) DeleteDC(surface->dc);
  if (surface->bitmap != nullptr) DeleteObject(surface->bitmap);
  GlobalFree(surface);
}

SheetState* SheetOfControl(HWND control) { return control != nullptr ? FindSheetState(GetParent(control)) : nullptr; }

}  // namespace

PictureSurface* FindPictureSurface(HWND control) {
  SheetState* state = SheetOfControl(control);
  if (state == nullptr) return nullptr;
  const int id = GetDlgCtrlID(control);
  for (auto* surface = static_cast<PictureSurface*>(state->pictureSurfaces); surface != nullptr;
       surface = surface->next)
    if (surface->controlId == id) return surface;
  return nullptr;
}

int AddPictureSurface(HWND control, HDC dc, HBITMAP bitmap, LONG width, LONG height) {
  SheetState* state = SheetOfControl(control);
  if (state == nullptr) return 0;
  auto* surface = static_cast<PictureSurface*>(GlobalAlloc(GPTR, sizeof(PictureSurface)));
  if (surface == nullptr) return 0;
  *surface = {GetDlgCtrlID(control), dc, bitmap, width, height, nullptr};
  auto** link = reinterpret_cast<PictureSurface**>(&state->pictureSurfaces);
  while (*link != nullptr) link = &(*link)->next;
  *link = surface;
  return 1;
}

void RemovePictureSurface(SheetState* state, int controlId) {
  if (state == nullptr) return;
  for (auto** link = reinterpret_cast<PictureSurface**>(&state->pictureSurfaces); *link != nullptr;
       link = &(*link)->next) {
    if ((*link)->controlId != controlId) continue;
    PictureSurface* found = *link;
    *link = found->next;
    DeleteSurface(found);
    return;
  }
}

void FreePictureSurfaces(PictureSurface* first) {
  while (first != nullptr) {
    PictureSurface* next = first->next;
    DeleteSurface(first);
    first = next;
  }
}

const LOGFONTW* FindFontByFaceName(const FontTable* table, LPCWSTR faceName, WORD* status) {
  WORD result = kFontBadArgument;
  const LOGFONTW* found = nullptr;
  if (table != nullptr && faceName != nullptr) {
    result = table->fonts == nullptr ? kFontNoArray : kFontNotFound;
    for (DWORD i = 0; table->fonts != nullptr && i < table->count; ++i) {
      if (lstrcmpW(table->fonts[i].lfFaceName, faceName) == 0) {
        found = &table->fonts[i];
        result = kFontFound;
        break;
      }
    }
  }
  if (status != nullptr) *status = result;
  return found;
}
