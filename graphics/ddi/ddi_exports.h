// The graphics driver's DDI functions as the engine calls them through the function table,
// and the driver-level bodies that the module's exported entry points run. Every function runs
// the trace bracket: its name on entry, its result line on exit.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_functions.h"

constexpr ULONG kDriverVersion = DDI_DRIVER_VERSION_NT4;
constexpr ULONG kDriverFunctionCount = 25;
// Smallest DRVENABLEDATA the driver fills.
constexpr ULONG kDriverEnableDataSize = 16;

// The function table in the order the engine receives it.
extern const DRVFN kDriverFunctions[kDriverFunctionCount];

// Bodies of the exports DrvEnableDriver, DrvDisableDriver and DrvQueryDriverInfo.
BOOL EnableDriverEntry(ULONG engineVersion, ULONG cj, DRVENABLEDATA* data);
VOID DisableDriverEntry();
BOOL QueryDriverInfoEntry(DWORD mode, PVOID buffer, DWORD cb, PDWORD needed);

// Device life (the device record is the DHPDEV).
DHPDEV DrvEnablePDEV(DEVMODEW* devMode, LPWSTR logAddress, ULONG patterns, HSURF* patternSurfaces, ULONG cjCaps,
                     ULONG* gdiInfo, ULONG cjDevInfo, DEVINFO* devInfo, HDEV device, LPWSTR deviceName,
                     HANDLE printer);
BOOL DrvResetPDEV(DHPDEV oldPdev, DHPDEV newPdev);
VOID DrvCompletePDEV(DHPDEV pdev, HDEV device);
VOID DrvDisablePDEV(DHPDEV pdev);
HSURF DrvEnableSurface(DHPDEV pdev);
VOID DrvDisableSurface(DHPDEV pdev);

// Documents and pages.
BOOL DrvStartDoc(SURFOBJ* surface, LPWSTR docName, DWORD jobId);
BOOL DrvStartPage(SURFOBJ* surface);
BOOL DrvSendPage(SURFOBJ* surface);
BOOL DrvEndDoc(SURFOBJ* surface, FLONG flags);
ULONG DrvEscape(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out);

// Drawing.
BOOL DrvBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
               POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush, POINTL* brushOrigin, ROP4 rop4);
BOOL DrvStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                   COLORADJUSTMENT* adjustment, POINTL* halftoneOrigin, RECTL* targetRect, RECTL* sourceRect,
                   POINTL* maskPoint, ULONG mode);
BOOL DrvStretchBltROP(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                      COLORADJUSTMENT* adjustment, POINTL* halftoneOrigin, RECTL* targetRect, RECTL* sourceRect,
                      POINTL* maskPoint, ULONG mode, BRUSHOBJ* brush, DWORD rop4);
BOOL DrvCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                 POINTL* sourcePoint);
BOOL DrvTextOut(SURFOBJ* surface, STROBJ* string, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra, RECTL* opaque,
                BRUSHOBJ* fore, BRUSHOBJ* opaqueBrush, POINTL* origin, MIX mix);
BOOL DrvStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* brush,
                   POINTL* brushOrigin, LINEATTRS* line, MIX mix);
BOOL DrvFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush, POINTL* brushOrigin, MIX mix,
                 FLONG options);
BOOL DrvStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* stroke,
                          LINEATTRS* line, BRUSHOBJ* fill, POINTL* brushOrigin, MIX mix, FLONG options);
BOOL DrvRealizeBrush(BRUSHOBJ* brush, SURFOBJ* target, SURFOBJ* pattern, SURFOBJ* mask, XLATEOBJ* xlate,
                     ULONG hatch);

// Fonts.
ULONG DrvGetGlyphMode(DHPDEV pdev, FONTOBJ* font);
IFIMETRICS* DrvQueryFont(DHPDEV pdev, ULONG_PTR file, ULONG face, ULONG_PTR* id);
PVOID DrvQueryFontTree(DHPDEV pdev, ULONG_PTR file, ULONG face, ULONG mode, ULONG_PTR* id);
LONG DrvQueryFontData(DHPDEV pdev, FONTOBJ* font, ULONG mode, HGLYPH glyph, GLYPHDATA* data, PVOID buffer, ULONG size);
BOOL DrvQueryAdvanceWidths(DHPDEV pdev, FONTOBJ* font, ULONG mode, HGLYPH* glyphs, PVOID widths, ULONG count);
