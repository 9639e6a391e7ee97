// The engine's callbacks that a graphics driver calls: memory, surfaces and palettes, the
// punts that hand a drawing back to the engine, and the accessors of the drawing objects the
// engine passes with each call. Every object the engine hands out is kept in its own tables, so
// a pointer it did not make, or one already released, is refused with ERROR_INVALID_PARAMETER
// (logged in the engine log, engine_sim.h) and never read.
#pragma once

#include "platform/base/export.h"
#include "platform/engine/ddi_fonts.h"

// Memory: blocks counted as outstanding engine allocations until EngFreeMem.
#define FL_ZERO_MEMORY 0x00000001
PLATFORM_API PVOID EngAllocMem(ULONG flags, ULONG cj, ULONG tag);
PLATFORM_API VOID EngFreeMem(PVOID block);

// Surfaces and palettes. A device surface is drawn by its driver; the engine keeps a page
// bitmap of its size (24 bits, blue-green-red) for what the driver hands back to it.
PLATFORM_API HSURF EngCreateDeviceSurface(DHSURF dhsurf, SIZEL size, ULONG formatCompat);
PLATFORM_API HBITMAP EngCreateBitmap(SIZEL size, LONG width, ULONG format, FLONG flags, PVOID bits);
PLATFORM_API BOOL EngAssociateSurface(HSURF surface, HDEV device, FLONG hooks);
PLATFORM_API BOOL EngDeleteSurface(HSURF surface);
PLATFORM_API SURFOBJ* EngLockSurface(HSURF surface);
PLATFORM_API VOID EngUnlockSurface(SURFOBJ* surface);
PLATFORM_API BOOL EngEraseSurface(SURFOBJ* surface, RECTL* rect, ULONG colour);
PLATFORM_API HPALETTE EngCreatePalette(ULONG mode, ULONG colours, ULONG* table, FLONG red, FLONG green, FLONG blue);
PLATFORM_API BOOL EngDeletePalette(HPALETTE palette);

// Punts: the engine draws the call into the target (the page bitmap of a device surface, or an
// engine bitmap); it never calls the driver back.
PLATFORM_API BOOL EngBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                            RECTL* targetRect, POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush,
                            POINTL* brushOrigin, ROP4 rop4);
PLATFORM_API BOOL EngCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                              POINTL* sourcePoint);
PLATFORM_API BOOL EngStretchBltROP(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                                   COLORADJUSTMENT* adjustment, POINTL* halftoneOrigin, RECTL* targetRect,
                                   RECTL* sourceRect, POINTL* maskPoint, ULONG mode, BRUSHOBJ* brush, DWORD rop4);

// Paths (28.4 points in batches).
PLATFORM_API VOID PATHOBJ_vEnumStart(PATHOBJ* path);
PLATFORM_API BOOL PATHOBJ_bEnum(PATHOBJ* path, PATHDATA* data);
PLATFORM_API VOID PATHOBJ_vGetBounds(PATHOBJ* path, RECTFX* bounds);
PLATFORM_API VOID EngDeletePath(PATHOBJ* path);

// Clips.
PLATFORM_API ULONG CLIPOBJ_cEnumStart(CLIPOBJ* clip, BOOL all, ULONG type, ULONG direction, ULONG limit);
PLATFORM_API BOOL CLIPOBJ_bEnum(CLIPOBJ* clip, ULONG cj, ULONG* buffer);
PLATFORM_API PATHOBJ* CLIPOBJ_ppoGetPath(CLIPOBJ* clip);

// Brushes: a brush that needs a realisation gets it from the driver's DrvRealizeBrush the
// first time BRUSHOBJ_pvGetRbrush asks; the block of BRUSHOBJ_pvAllocRbrush belongs to the brush.
PLATFORM_API PVOID BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* brush, ULONG cj);
PLATFORM_API PVOID BRUSHOBJ_pvGetRbrush(BRUSHOBJ* brush);
PLATFORM_API ULONG BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* brush);

// Colour translation: an index (or a colour of the source format) to the target's format;
// 0xFFFFFFFF for an index outside the table.
PLATFORM_API ULONG XLATEOBJ_iXlate(XLATEOBJ* xlate, ULONG colour);

// Transforms.
PLATFORM_API ULONG XFORMOBJ_iGetXform(XFORMOBJ* xform, XFORML* out);
PLATFORM_API BOOL XFORMOBJ_bApplyXform(XFORMOBJ* xform, ULONG mode, ULONG count, PVOID in, PVOID out);

// Text and fonts.
PLATFORM_API VOID STROBJ_vEnumStart(STROBJ* string);
PLATFORM_API BOOL STROBJ_bEnum(STROBJ* string, ULONG* count, GLYPHPOS** glyphs);
PLATFORM_API IFIMETRICS* FONTOBJ_pifi(FONTOBJ* font);
PLATFORM_API XFORMOBJ* FONTOBJ_pxoGetXform(FONTOBJ* font);
PLATFORM_API ULONG FONTOBJ_cGetGlyphs(FONTOBJ* font, ULONG mode, ULONG count, HGLYPH* glyphs, PVOID* data);
PLATFORM_API FD_GLYPHSET* EngComputeGlyphSet(INT codePage, INT firstChar, INT count);

// Resources of a loaded module or resource file.
PLATFORM_API PVOID EngFindResource(HANDLE module, int name, int type, PULONG size);

// The spool job of a printer handle.
PLATFORM_API BOOL EngWritePrinter(HANDLE printer, LPVOID buffer, DWORD cb, LPDWORD written);
