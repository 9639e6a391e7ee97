// The off-screen surfaces of a sheet's picture controls, one per control, and the look-up of a
// font by its face name.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/sheet/sheet_state.h"

struct PictureSurface {
  int controlId;
  HDC dc;
  HBITMAP bitmap;
  LONG width;
  LONG height;
  PictureSurface* next;
};

// The surface of a control (by its id, in the sheet of its parent dialog); NULL without one.
PictureSurface* FindPictureSurface(HWND control);
// Appends a surface for the control at the end of its sheet's list: 1, or 0 without a sheet
// or memory.
int AddPictureSurface(HWND control, HDC dc, HBITMAP bitmap, LONG width, LONG height);
// Unlinks the control's first surface, deletes its device context and bitmap and frees it.
void RemovePictureSurface(SheetState* state, int controlId);
// The same for a surface and every one after it.
void FreePictureSurfaces(PictureSurface* first);

// A table of fonts as the font pages keep it.
struct FontTable {
  DWORD count;
  LOGFONTW* fonts;
};
inline constexpr WORD kFontFound = 0;
inline constexpr WORD kFontBadArgument = 2;
inline constexpr WORD kFontNoArray = 10;
inline constexpr WORD kFontNotFound = 11;

// The first font whose face name equals the name, with *status 0; NULL with 11 when none
// matches, 10 when the table holds no array, 2 when the table or the name is missing.
const LOGFONTW* FindFontByFaceName(const FontTable* table, LPCWSTR faceName, WORD* status);
