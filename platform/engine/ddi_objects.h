// The printer graphics driver interface, drawing objects: surfaces, clips, paths, brushes,
// colour translations, transforms, line attributes and text strings as the engine hands them
// to a driver, with their constants. Our own declarations of the platform's 64-bit layouts.
#pragma once

#include <cstddef>

#include "platform/engine/ddi_device.h"

using FIX = LONG;        // 28.4 fixed point
using FLOATL = FLOAT;    // single precision in the user-mode interface
using ROP4 = ULONG;
using MIX = ULONG;
using HGLYPH = ULONG;

#define DDI_ERROR 0xFFFFFFFF

// Bitmap formats and surface kinds.
#define BMF_1BPP 1L
#define BMF_4BPP 2L
#define BMF_8BPP 3L
#define BMF_16BPP 4L
#define BMF_24BPP 5L
#define BMF_32BPP 6L
#define BMF_TOPDOWN 0x0001
#define BMF_NOZEROINIT 0x0002
#define BMF_USERMEM 0x0008

#define STYPE_BITMAP 0
#define STYPE_DEVICE 1
#define STYPE_DEVBITMAP 3

struct SURFOBJ {
  DHSURF dhsurf;
  HSURF hsurf;
  DHPDEV dhpdev;
  HDEV hdev;
  SIZEL sizlBitmap;
  ULONG cjBits;
  PVOID pvBits;
  PVOID pvScan0;
  LONG lDelta;
  ULONG iUniq;
  ULONG iBitmapFormat;
  USHORT iType;
  USHORT fjBitmap;
};

// Clip complexity and enumeration.
#define DC_TRIVIAL 0
#define DC_RECT 1
#define DC_COMPLEX 3
#define FC_RECT 1
#define FC_COMPLEX 3
#define TC_RECTANGLES 0
#define CT_RECTANGLES 0L
#define CD_RIGHTDOWN 0x00000000
#define CD_ANY 0x00000004

struct CLIPOBJ {
  ULONG iUniq;
  RECTL rclBounds;
  BYTE iDComplexity;
  BYTE iFComplexity;
  BYTE iMode;
  BYTE fjOptions;
};

struct ENUMRECTS {
  ULONG c;
  RECTL arcl[1];
};

// Paths: coordinates in 28.4.
#define PO_BEZIERS 0x00000001
#define PO_ELLIPSE 0x00000002
#define PD_BEGINSUBPATH 0x00000001
#define PD_ENDSUBPATH 0x00000002
#define PD_RESETSTYLE 0x00000004
#define PD_CLOSEFIGURE 0x00000008
#define PD_BEZIERS 0x00000010

struct POINTFIX {
  FIX x;
  FIX y;
};

struct RECTFX {
  FIX xLeft;
  FIX yTop;
  FIX xRight;
  FIX yBottom;
};

struct PATHOBJ {
  FLONG fl;
  ULONG cCurves;
};

struct PATHDATA {
  FLONG flags;
  ULONG count;
  POINTFIX* pptfx;
};

// Brushes: iSolidColor is 0xFFFFFFFF for a brush that needs a realisation.
struct BRUSHOBJ {
  ULONG iSolidColor;
  PVOID pvRbrush;
  FLONG flColorType;
};

// Standard hatch styles handed to DrvRealizeBrush; 6 and above are pattern brushes.
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

// Palettes.
#define PAL_INDEXED 0x00000001
#define PAL_BITFIELDS 0x00000002
#define PAL_RGB 0x00000004
#define PAL_BGR 0x00000008

// Colour translations.
#define XO_TRIVIAL 0x00000001
#define XO_TABLE 0x00000002
#define XO_TO_MONO 0x00000004

struct XLATEOBJ {
  ULONG iUniq;
  FLONG flXlate;
  USHORT iSrcType;
  USHORT iDstType;
  ULONG cEntries;
  ULONG* pulXlate;
};

// Transforms.
#define GX_IDENTITY 0L
#define GX_OFFSET 1L
#define GX_SCALE 2L
#define GX_GENERAL 3L
#define XF_LTOL 0L
#define XF_INV_LTOL 1L
#define XF_LTOFX 2L
#define XF_INV_FXTOL 3L

struct XFORMOBJ {
  ULONG ulReserved;
};

struct XFORML {
  FLOATL eM11;
  FLOATL eM12;
  FLOATL eM21;
  FLOATL eM22;
  FLOATL eDx;
  FLOATL eDy;
};

// Lines.
#define LA_GEOMETRIC 0x00000001
#define LA_ALTERNATE 0x00000002
#define LA_STARTGAP 0x00000004
#define LA_STYLED 0x00000008
#define JOIN_ROUND 0L
#define JOIN_BEVEL 1L
#define JOIN_MITER 2L
#define ENDCAP_ROUND 0L
#define ENDCAP_SQUARE 1L
#define ENDCAP_BUTT 2L

union FLOAT_LONG {
  FLOATL e;
  LONG l;
};

struct LINEATTRS {
  FLONG fl;
  ULONG iJoin;
  ULONG iEndCap;
  FLOAT_LONG elWidth;
  FLOATL eMiterLimit;
  ULONG cstyle;
  FLOAT_LONG* pstyle;
  FLOAT_LONG elStyleState;
};

// Fill options of DrvFillPath.
#define FP_ALTERNATEMODE 1L
#define FP_WINDINGMODE 2L

// Binary raster operations of a MIX (foreground in the low byte, background in the next).
#define R2_BLACK 1
#define R2_NOP 11
#define R2_COPYPEN 13
#define R2_WHITE 16

struct COLORADJUSTMENT {
  WORD caSize;
  WORD caFlags;
  WORD caIlluminantIndex;
  WORD caRedGamma;
  WORD caGreenGamma;
  WORD caBlueGamma;
  WORD caReferenceBlack;
  WORD caReferenceWhite;
  SHORT caContrast;
  SHORT caBrightness;
  SHORT caColorfulness;
  SHORT caRedGreenTint;
};

// Stretch modes.
#define BLACKONWHITE 1
#define COLORONCOLOR 3
#define HALFTONE 4

// Document end flags.
#define ED_ABORTDOC 1

static_assert(sizeof(SURFOBJ) == 80 && offsetof(SURFOBJ, pvScan0) == 56 && offsetof(SURFOBJ, iType) == 76);
static_assert(sizeof(CLIPOBJ) == 24 && sizeof(ENUMRECTS) == 20);
static_assert(sizeof(POINTFIX) == 8 && sizeof(RECTFX) == 16 && sizeof(PATHOBJ) == 8 && sizeof(PATHDATA) == 16);
static_assert(sizeof(BRUSHOBJ) == 24 && sizeof(XLATEOBJ) == 24 && sizeof(XFORMOBJ) == 4 && sizeof(XFORML) == 24);
static_assert(sizeof(LINEATTRS) == 40 && sizeof(COLORADJUSTMENT) == 24);
