// The signatures of the driver functions the engine calls (by name: DrvEnableDriver,
// DrvDisableDriver, DrvQueryDriverInfo; every other through the driver's function table).
#pragma once

#include "platform/engine/ddi_fonts.h"

using PFN_DrvEnableDriver = BOOL (*)(ULONG engineVersion, ULONG cj, DRVENABLEDATA* data);
using PFN_DrvDisableDriver = VOID (*)();
using PFN_DrvQueryDriverInfo = BOOL (*)(DWORD mode, PVOID buffer, DWORD cb, PDWORD needed);
using PFN_DrvEnablePDEV = DHPDEV (*)(DEVMODEW* devMode, LPWSTR logAddress, ULONG patterns, HSURF* patternSurfaces,
                                     ULONG cjCaps, ULONG* gdiInfo, ULONG cjDevInfo, DEVINFO* devInfo, HDEV device,
                                     LPWSTR deviceName, HANDLE printer);
using PFN_DrvCompletePDEV = VOID (*)(DHPDEV pdev, HDEV device);
using PFN_DrvDisablePDEV = VOID (*)(DHPDEV pdev);
using PFN_DrvResetPDEV = BOOL (*)(DHPDEV oldPdev, DHPDEV newPdev);
using PFN_DrvEnableSurface = HSURF (*)(DHPDEV pdev);
using PFN_DrvDisableSurface = VOID (*)(DHPDEV pdev);
using PFN_DrvStartDoc = BOOL (*)(SURFOBJ* surface, LPWSTR docName, DWORD jobId);
using PFN_DrvEndDoc = BOOL (*)(SURFOBJ* surface, FLONG flags);
using PFN_DrvStartPage = BOOL (*)(SURFOBJ* surface);
using PFN_DrvSendPage = BOOL (*)(SURFOBJ* surface);
using PFN_DrvEscape = ULONG (*)(SURFOBJ* surface, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out);
using PFN_DrvBitBlt = BOOL (*)(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                               RECTL* targetRect, POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush,
                               POINTL* brushOrigin, ROP4 rop4);
using PFN_DrvCopyBits = BOOL (*)(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                                 POINTL* sourcePoint);
using PFN_DrvStretchBlt = BOOL (*)(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                                   COLORADJUSTMENT* adjustment, POINTL* halftoneOrigin, RECTL* targetRect,
                                   RECTL* sourceRect, POINTL* maskPoint, ULONG mode);
using PFN_DrvStretchBltROP = BOOL (*)(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                                      COLORADJUSTMENT* adjustment, POINTL* halftoneOrigin, RECTL* targetRect,
                                      RECTL* sourceRect, POINTL* maskPoint, ULONG mode, BRUSHOBJ* brush, DWORD rop4);
using PFN_DrvStrokePath = BOOL (*)(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* brush,
                                   POINTL* brushOrigin, LINEATTRS* line, MIX mix);
using PFN_DrvFillPath = BOOL (*)(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush, POINTL* brushOrigin,
                                 MIX mix, FLONG options);
using PFN_DrvStrokeAndFillPath = BOOL (*)(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform,
                                          BRUSHOBJ* stroke, LINEATTRS* line, BRUSHOBJ* fill, POINTL* brushOrigin,
                                          MIX mix, FLONG options);
using PFN_DrvTextOut = BOOL (*)(SURFOBJ* surface, STROBJ* string, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra,
                                RECTL* opaque, BRUSHOBJ* fore, BRUSHOBJ* opaqueBrush, POINTL* origin, MIX mix);
using PFN_DrvRealizeBrush = BOOL (*)(BRUSHOBJ* brush, SURFOBJ* target, SURFOBJ* pattern, SURFOBJ* mask,
                                     XLATEOBJ* xlate, ULONG hatch);
using PFN_DrvGetGlyphMode = ULONG (*)(DHPDEV pdev, FONTOBJ* font);
using PFN_DrvDestroyFont = VOID (*)(FONTOBJ* font);
