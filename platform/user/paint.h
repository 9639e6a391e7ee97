// Invalidation: the part of a window's client area that needs painting. Nothing paints by
// itself; UpdateWindow, RedrawWindow with RDW_UPDATENOW and the driver API's painting send the
// painting messages.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define RDW_INVALIDATE 0x0001
#define RDW_INTERNALPAINT 0x0002
#define RDW_ERASE 0x0004
#define RDW_VALIDATE 0x0008
#define RDW_NOINTERNALPAINT 0x0010
#define RDW_NOERASE 0x0020
#define RDW_NOCHILDREN 0x0040
#define RDW_ALLCHILDREN 0x0080
#define RDW_UPDATENOW 0x0100
#define RDW_ERASENOW 0x0200
#define RDW_FRAME 0x0400
#define RDW_NOFRAME 0x0800

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};

// A DC of the window's client area (NULL: the screen); ReleaseDC ends it.
PLATFORM_API HDC GetDC(HWND hwnd);
// A DC of the whole window, frame included.
PLATFORM_API HDC GetWindowDC(HWND hwnd);
PLATFORM_API int ReleaseDC(HWND hwnd, HDC dc);
// Takes the part to paint (the window is valid again), sends WM_ERASEBKGND when it was marked
// for erasing, and answers a DC that draws only inside that part; EndPaint ends it.
PLATFORM_API HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
PLATFORM_API BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
// Draws the frame and sends WM_PAINT when the window is visible and has a part to paint.
PLATFORM_API BOOL UpdateWindow(HWND hwnd);
// RDW_INVALIDATE / RDW_VALIDATE the rectangle (RDW_ERASE: erase too), RDW_ALLCHILDREN the
// children as well, RDW_UPDATENOW paints at once. Regions are not kept: `region` is ignored.
PLATFORM_API BOOL RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags);

#define SW_SCROLLCHILDREN 0x0001
#define SW_INVALIDATE 0x0002
#define SW_ERASE 0x0004

// Moves the pixels of the client area's `scroll` rectangle (NULL: all of it) by dx, dy; only
// pixels inside `clip` (NULL: the client area) change. The part of the scrolled rectangle that
// no moved pixel covers is the uncovered region: copied into `update` and its bounds into
// `updateRect` when given, made part of the part to paint with SW_INVALIDATE (SW_ERASE: erase
// too). A part to paint inside the scrolled rectangle moves with the pixels. SW_SCROLLCHILDREN
// moves the children that lie in the scrolled rectangle as well. Answers the uncovered
// region's kind (NULLREGION, SIMPLEREGION, COMPLEXREGION), ERROR for a missing window.
PLATFORM_API int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update,
                                LPRECT updateRect, UINT flags);

// Adds a rectangle of the client area (NULL: all of it) to the part to paint.
PLATFORM_API BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
// Takes a rectangle (NULL: all) out of it: the window no longer needs painting when the
// rectangle covers what was invalid.
PLATFORM_API BOOL ValidateRect(HWND hwnd, const RECT* rect);
// The bounds of the part to paint; FALSE when nothing is invalid.
PLATFORM_API BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);

PLATFORM_API BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
PLATFORM_API BOOL SetRectEmpty(LPRECT rect);
PLATFORM_API BOOL IsRectEmpty(const RECT* rect);
PLATFORM_API BOOL PtInRect(const RECT* rect, POINT point);
PLATFORM_API BOOL OffsetRect(LPRECT rect, int dx, int dy);
PLATFORM_API BOOL InflateRect(LPRECT rect, int dx, int dy);
PLATFORM_API BOOL IntersectRect(LPRECT out, const RECT* a, const RECT* b);
PLATFORM_API BOOL UnionRect(LPRECT out, const RECT* a, const RECT* b);
PLATFORM_API BOOL EqualRect(const RECT* a, const RECT* b);
PLATFORM_API BOOL CopyRect(LPRECT out, const RECT* in);
