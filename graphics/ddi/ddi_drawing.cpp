// The drawing exports: each checks the arguments it must have, then hands the call on.
#include <cstring>

#include "core/runtime/trace_log.h"
#include "graphics/ddi/ddi_exports.h"
#include "graphics/ddi/realized_brush.h"
#include "graphics/ddi/text_output.h"
#include "graphics/device/pdev.h"
#include "graphics/drawing/blt_dispatch.h"
#include "graphics/drawing/path_drawing.h"
#include "platform/base/errors.h"
#include "platform/engine/engine.h"
#include "platform/kernel/lasterror.h"

namespace {

constexpr ULONG kEraseToWhite = 0xFFFFFFFF;
constexpr ROP4 kRopCopy = 0xCCCC;

BOOL Refuse() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

BOOL CopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
              POINTL* sourcePoint) {
  if (target == nullptr || source == nullptr || targetRect == nullptr) return Refuse();
  if (source->iType != STYPE_BITMAP) return EngEraseSurface(target, targetRect, kEraseToWhite);
  if (target->iType != STYPE_DEVICE) return Refuse();
  RECTL sourceRect = *targetRect;
  return DispatchBlt(target, source, nullptr, clip, xlate, targetRect, &sourceRect, sourcePoint, nullptr, nullptr,
                     nullptr, kRopCopy, kBltCopyBits, nullptr, 0);
}

// Stroking needs line attributes, and a transform for geometric lines.
bool HasStrokeArguments(SURFOBJ* surface, PATHOBJ* path, XFORMOBJ* xform, LINEATTRS* line) {
  return surface != nullptr && path != nullptr && line != nullptr &&
         ((line->fl & LA_GEOMETRIC) == 0 || xform != nullptr);
}

}  // namespace

BOOL DrvCopyBits(SURFOBJ* target, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                 POINTL* sourcePoint) {
  TraceEnter(u"DrvCopyBits");
  const BOOL result = CopyBits(target, source, clip, xlate, targetRect, sourcePoint);
  TraceLeave(u"DrvCopyBits RetValue = %d", result);
  return result;
}

BOOL DrvBitBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
               POINTL* sourcePoint, POINTL* maskPoint, BRUSHOBJ* brush, POINTL* brushOrigin, ROP4 rop4) {
  TraceEnter(u"DrvBitBlt");
  RECTL sourceRect = targetRect != nullptr ? *targetRect : RECTL{};
  const BOOL result = target == nullptr || targetRect == nullptr
                          ? Refuse()
                          : DispatchBlt(target, source, mask, clip, xlate, targetRect, &sourceRect, sourcePoint,
                                        maskPoint, brush, brushOrigin, rop4, kBltBitBlt, nullptr, 0);
  TraceLeave(u"DrvBitBlt RetValue = %d", result);
  return result;
}

BOOL DrvStretchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                   COLORADJUSTMENT* adjustment, POINTL* halftoneOrigin, RECTL* targetRect, RECTL* sourceRect,
                   POINTL* maskPoint, ULONG mode) {
  TraceEnter(u"DrvStretchBlt");
  POINTL sourcePoint = sourceRect != nullptr ? POINTL{sourceRect->left, sourceRect->top} : POINTL{};
  const BOOL result = target == nullptr || sourceRect == nullptr || targetRect == nullptr
                          ? Refuse()
                          : DispatchBlt(target, source, mask, clip, xlate, targetRect, sourceRect, &sourcePoint,
                                        maskPoint, nullptr, halftoneOrigin, kRopCopy, kBltStretchBlt, adjustment, mode);
  TraceLeave(u"DrvStretchBlt RetValue = %d", result);
  return result;
}

BOOL DrvStretchBltROP(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate,
                      COLORADJUSTMENT* adjustment, POINTL* halftoneOrigin, RECTL* targetRect, RECTL* sourceRect,
                      POINTL* maskPoint, ULONG mode, BRUSHOBJ* brush, DWORD rop4) {
  TraceEnter(u"DrvStretchBltROP");
  POINTL sourcePoint = sourceRect != nullptr ? POINTL{sourceRect->left, sourceRect->top} : POINTL{};
  const BOOL result = target == nullptr || sourceRect == nullptr || targetRect == nullptr
                          ? Refuse()
                          : DispatchBlt(target, source, mask, clip, xlate, targetRect, sourceRect, &sourcePoint,
                                        maskPoint, brush, halftoneOrigin, rop4, kBltStretchBltRop, adjustment, mode);
  TraceLeave(u"DrvStretchBltROP RetValue = %d", result);
  return result;
}

BOOL DrvStrokePath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* brush,
                   POINTL* brushOrigin, LINEATTRS* line, MIX mix) {
  TraceEnter(u"DrvStrokePath");
  const BOOL result = !HasStrokeArguments(surface, path, xform, line)
                          ? Refuse()
                          : StrokeFillPath(surface, path, clip, xform, brush, line, nullptr, brushOrigin, mix, 0,
                                           kPathStroke);
  TraceLeave(u"DrvStrokePath RetValue = %d", result);
  return result;
}

BOOL DrvFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush, POINTL* brushOrigin, MIX mix,
                 FLONG options) {
  TraceEnter(u"DrvFillPath");
  const BOOL result = surface == nullptr || path == nullptr
                          ? Refuse()
                          : StrokeFillPath(surface, path, clip, nullptr, nullptr, nullptr, brush, brushOrigin, mix,
                                           options, kPathFill);
  TraceLeave(u"DrvFillPath RetValue = %d", result);
  return result;
}

BOOL DrvStrokeAndFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* strokeBrush,
                          LINEATTRS* line, BRUSHOBJ* fillBrush, POINTL* brushOrigin, MIX mix, FLONG options) {
  TraceEnter(u"DrvStrokeAndFillPath");
  const BOOL result = !HasStrokeArguments(surface, path, xform, line)
                          ? Refuse()
                          : StrokeFillPath(surface, path, clip, xform, strokeBrush, line, fillBrush, brushOrigin, mix,
                                           options, kPathStrokeAndFill);
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
