// How the standard controls paint themselves: plainly, in the system colours, so that a
// picture of a dialog shows which control is which and what it holds. Owner-drawn controls
// are drawn by their owner (WM_DRAWITEM); the background comes from the parent's
// WM_CTLCOLOR... answer as on the platform.
#pragma once

#include <string>

#include "platform/base/types.h"
#include "platform/user/list_items.h"
#include "platform/user/window_internal.h"

struct ListPaint {
  const ListItems* list;
  int sel;
  int top;
  UINT itemHeight;
  bool focused;
  HFONT font;
  bool ownerDrawn;
  bool tabStops;
};

struct ComboPaint {
  const ListItems* list;
  int sel;
  const std::u16string& text;
  UINT fieldHeight;
  bool focused;
  HFONT font;
  bool ownerDrawn;
  // A dropped list is drawn below the field, from its top line, one item height a line.
  bool dropped = false;
  int top = 0;
  UINT itemHeight = 0;
};

void UserPaintButton(HWND hwnd, WORD check, bool pushed, bool focused, HFONT font);
void UserPaintEdit(HWND hwnd, const std::u16string& shown, size_t selStart, size_t selEnd, bool focused, HFONT font);
void UserPaintStatic(HWND hwnd, UINT kind, HANDLE image, HFONT font);
void UserPaintList(HWND hwnd, const ListPaint& p);
void UserPaintCombo(HWND hwnd, const ComboPaint& p);
void UserPaintScrollBar(HWND hwnd, const ScrollNumbers& n, bool vertical);
// A scroll bar in a rectangle of a DC: arrows at both ends, the track, the thumb.
void UserDrawScrollBar(HDC dc, RECT r, const ScrollNumbers& n, bool vertical, bool enabled);
// Draws an icon that LoadIconW or LoadImageW made, at its own size (FALSE for other icons).
BOOL UserDrawLoadedIcon(HDC dc, int x, int y, HICON icon);
// A rectangle's edges one pixel wide: top and left in one colour, bottom and right in another.
void UserDrawEdge(HDC dc, RECT r, int topLeftColour, int bottomRightColour);
