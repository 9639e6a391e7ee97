// Pens, brushes, fonts and the stock objects: the drawing tools a DC selects. Every object lives
// in the layer's GDI table (gdi_objects.h) until DeleteObject; stock objects are never deleted
// and not counted as live.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

// Object types (GetObjectType, GetCurrentObject).
#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_PAL 5
#define OBJ_FONT 6
#define OBJ_BITMAP 7
#define OBJ_REGION 8
#define OBJ_MEMDC 10

// Pen styles. Dashed styles are drawn dashed at width 1 only (wider pens draw solid); their
// gaps take the background colour in OPAQUE mode. The patterns (on, off, ... pixels):
// dash 18 6, dot 3 3, dash-dot 9 6 3 6, dash-dot-dot 9 3 3 3 3 3.
#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6
#define PS_STYLE_MASK 0x0000000F

// Brush styles and hatches. A hatch repeats every 8 x 8 pixels from the brush origin: the
// horizontal line is row 0, the vertical line column 0, the forward diagonal the pixels with
// x == y, the backward one x + y == 7; the other pixels take the background colour in OPAQUE
// mode and are left alone in TRANSPARENT mode.
#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

// Stock objects.
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define DEFAULT_PALETTE 15
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17

struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;  // x is the width; y is not used
  COLORREF lopnColor;
};

struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  ULONG_PTR lbHatch;
};

static_assert(sizeof(LOGPEN) == 16 && sizeof(LOGBRUSH) == 16);

// A pen of `style` (PS_*), `width` pixels (0 means 1) and colour. NULL with
// ERROR_INVALID_PARAMETER for an unknown style.
PLATFORM_API HPEN CreatePen(int style, int width, COLORREF color);
PLATFORM_API HPEN CreatePenIndirect(const LOGPEN* pen);
PLATFORM_API HBRUSH CreateSolidBrush(COLORREF color);
PLATFORM_API HBRUSH CreateHatchBrush(int hatch, COLORREF color);
// BS_SOLID, BS_NULL and BS_HATCHED; NULL with ERROR_INVALID_PARAMETER for others.
PLATFORM_API HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
// A font of the face, height, weight and slant of the record (the glyphs come from the font
// files of font_files.h; text.h tells how the height is read). NULL for a NULL record.
PLATFORM_API HFONT CreateFontIndirectW(const LOGFONTW* font);
PLATFORM_API HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                               DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                               DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCWSTR face);

// A stock object (the permanent ones above); NULL for an index that is not one.
PLATFORM_API HGDIOBJ GetStockObject(int index);
// OBJ_* of a live object, 0 otherwise.
PLATFORM_API DWORD GetObjectType(HGDIOBJ object);
// Copies the object's description (LOGPEN, LOGBRUSH, LOGFONTW, BITMAP or DIBSECTION, a
// palette's entry count as a WORD) into `buffer` of `size` bytes; with no buffer answers the
// size needed. Answers the bytes written, 0 for a handle that is not a live object or a buffer
// too small.
PLATFORM_API int GetObjectW(HGDIOBJ object, int size, LPVOID buffer);
