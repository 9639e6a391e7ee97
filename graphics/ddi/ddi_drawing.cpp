// The drawing exports: each checks the arguments it must have, then hands the call on.
#include <cstring>

#include "core/services/trace_log.h"
#include "graphics/ddi/ddi_exports.h"
#include "graphics/ddi/pdev.h"
#include "graphics/ddi/pending_job_calls.h"
#include "graphics/ddi/realized_brush.h"
#include "graphics/ddi/text_output.h"
#include "platform/base/errors.h"
#include "platform/engine/engine.h"
#include "platform/kernel/lasterror.h"

namespace {

constexpr ULONG kEraseToWhite = 0xFFFFFFFF;

BOOL Refuse() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

Pdev* SurfacePdev(SURFOBJ* surface) { return reinterpret_cast<Pdev*>(surface->dhpdev); }

BOOL CopyBits(SURFOBJ* target, SURFOBJ* source, RECTL* targetRect) {
  if (target == nullptr || source == nullptr || targetRect == nullptr) return Refuse();
  if (source->iType != STYPE_BITMAP) return EngEraseSurface(target, targetRect, kEraseToWhite);
  if (target->iType == STYPE_DEVICE) return DrawOnDevice(SurfacePdev(target), "DrvCopyBits");
  return Refuse();
}

// Stroking needs line attributes, and a transform for geometric lines.
bool HasStrokeArguments(SURFOBJ* surface, PATHOBJ* path, XFORMOBJ* xform, LINEATTRS* line) {
  return surface != nullptr && path != nullptr && line != nullptr &&
         ((line->fl & LA_GEOMETRIC) == 0 || xform != nullptr);
}

}  // namespace

BOOL DrvCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ*, XLATEOBJ*, RECTL* targetRect, POINTL*) {
  TraceEnter(u"DrvCopyBits");
  const BOOL result = CopyBits(target, source, targetRect);
  TraceLeave(u"DrvCopyBits RetValue = %d", result);
  return result;
}

BOOL DrvBitBlt(SURFOBJ* target, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL* targetRect, POINTL*, POINTL*,
               BRUSHOBJ*, POINTL*, ROP4) {
  TraceEnter(u"DrvBitBlt");
  const BOOL result =
      target == nullptr || targetRect == nullptr ? Refuse() : DrawOnDevice(SurfacePdev(target), "DrvBitBlt");
  TraceLeave(u"DrvBitBlt RetValue = %d", result);
  return result;
}

BOOL DrvStretchBlt(SURFOBJ* target, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*, RECTL*,
                   RECTL* sourceRect, POINTL*, ULONG) {
  TraceEnter(u"DrvStretchBlt");
  const BOOL result =
      target == nullptr || sourceRect == nullptr ? Refuse() : DrawOnDevice(SurfacePdev(target), "DrvStretchBlt");
  TraceLeave(u"DrvStretchBlt RetValue = %d", result);
  return result;
}

BOOL DrvStretchBltROP(SURFOBJ* target, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*, RECTL*,
                      RECTL* sourceRect, POINTL*, ULONG, BRUSHOBJ*, DWORD) {
  TraceEnter(u"DrvStretchBltROP");
  const BOOL result =
      target == nullptr || sourceRect == nullptr ? Refuse() : DrawOnDevice(SurfacePdev(target), "DrvStretchBltROP");
  TraceLeave(u"DrvStretchBltROP RetValue = %d", result);
  return result;
}

BOOL DrvStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ*, XFORMOBJ* xform, BRUSHOBJ*, POINTL*, LINEATTRS* line,
                   MIX) {
  TraceEnter(u"DrvStrokePath");
  const BOOL result = !HasStrokeArguments(surface, path, xform, line) ? Refuse()
                                                                       : DrawOnDevice(SurfacePdev(surface), "DrvStrokePath");
  TraceLeave(u"DrvStrokePath RetValue = %d", result);
  return result;
}

BOOL DrvFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
  TraceEnter(u"DrvFillPath");
  const BOOL result =
      surface == nullptr || path == nullptr ? Refuse() : DrawOnDevice(SurfacePdev(surface), "DrvFillPath");
  TraceLeave(u"DrvFillPath RetValue = %d", result);
  return result;
}

BOOL DrvStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ*, XFORMOBJ* xform, BRUSHOBJ*, LINEATTRS* line,
                          BRUSHOBJ*, POINTL*, MIX, FLONG) {
  TraceEnter(u"DrvStrokeAndFillPath");
  const BOOL result = !HasStrokeArguments(surface, path, xform, line)
                          ? Refuse()
                          : DrawOnDevice(SurfacePdev(surface), "DrvStrokeAndFillPath");
  TraceLeave(u"DrvStrokeAndFillPath RetValue = %d", result);
  return result;
}

BOOL DrvTextOut(SURFOBJ* surface, STROBJ* string, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra, RECTL* opaque,
                BRUSHOBJ* foreground, BRUSHOBJ* opaqueBrush, POINTL* brushOrigin, MIX mix) {
  TraceEnter(u"DrvTextOut");
  const BOOL result = surface == nullptr || string == nullptr || font == nullptr
                          ? Refuse()
                          : HandleTextOut(surface, string, font, clip, extra, opaque, foreground, opaqueBrush,
                                          brushOrigin, mix);
  TraceLeave(u"DrvTextOut RetValue = %d", result);
  return result;
}

BOOL DrvRealizeBrush(BRUSHOBJ* brush, SURFOBJ* target, SURFOBJ* pattern, SURFOBJ*, XLATEOBJ* xlate, ULONG hatch) {
  TraceEnter(u"DrvRealizeBrush");
  const BOOL result = HandleRealizeBrush(brush, target, pattern, xlate, hatch);
  TraceLeave(u"DrvRealizeBrush RetValue = %d", result);
  return result;
}
