#include "graphics/drawing/blt_dispatch.h"

#include <algorithm>
#include <vector>

#include "graphics/device/pdev.h"
#include "graphics/drawing/bitmap_image.h"
#include "graphics/drawing/bitmap_rows.h"
#include "graphics/drawing/clip_cache.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/drawing/rop_maps.h"
#include "graphics/imaging/brush_emission.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/color_detection.h"
#include "graphics/imaging/image_queue.h"
#include "graphics/job/job_control.h"  // up: a drawing that fills the page ends it through the job code
#include "platform/base/errors.h"
#include "platform/engine/engine.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"

namespace {

constexpr ROP4 kRopNoOperation = 0xAAAA;
constexpr ROP4 kRopPatternOrMask = 0xAAF0;  // pattern where the mask is set
constexpr ROP4 kRopSourceOrMask = 0xCCAA;   // source where the mask is set
constexpr ROP4 kRopInvert = 0x5555;
constexpr ROP4 kPatternFillRops[] = {0x0505, 0x0A0A, 0x0F0F, 0x5050, 0x5555, 0x5A5A, 0x5F5F,
                                     0xA0A0, 0xA5A5, 0xAFAF, 0xF0F0, 0xF5F5, 0xFAFA};
constexpr DWORD kBlack = 0x000000;
constexpr DWORD kWhite = 0xFFFFFF;
constexpr DWORD kNoSolidColor = 0xFFFFFFFF;
constexpr BYTE kRopModeKind = 1;
constexpr BYTE kCopyPen = 13;
constexpr BYTE kFillKind = 2;
constexpr BYTE kColorSpaceGrey = 3;
constexpr BYTE kColorSpaceRgb = 4;
constexpr BYTE kFillEvenOdd = 1;
constexpr BYTE kDrawModeFill = 2;
constexpr BYTE kTextRopPaint = 0xB8;  // source through the brush where the source is black
constexpr BYTE kTextRopMerge = 0xE2;
constexpr WORD kBltOriginCode = 3;

RECTL Normalised(RECTL r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

bool Inside(const RECTL& inner, const RECTL& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

BOOL Punt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
          RECTL* sourceRect, POINTL* sourceOrigin, POINTL* maskOrigin, BRUSHOBJ* brush, POINTL* brushOrigin, ROP4 rop4,
          int kind, COLORADJUSTMENT* adjustment, ULONG stretchMode) {
  if (kind == kBltStretchBltRop)
    return EngStretchBltROP(target, source, mask, clip, xlate, adjustment, brushOrigin, targetRect, sourceRect,
                            maskOrigin, stretchMode, brush, rop4);
  return EngBitBlt(target, source, mask, clip, xlate, targetRect, sourceOrigin, maskOrigin, brush, brushOrigin, rop4);
}

// Colour bytes for the emitter from a conversion result (blue, green, red, or grey).
void EmitterColor(int answer, const BYTE* result, BYTE* out) {
  if (answer == kConvertedGrey) {
    out[0] = result[0];
    return;
  }
  out[0] = result[2];
  out[1] = result[1];
  out[2] = result[0];
}

// Converts a device colour 0x00RRGGBB and sends it as the fill colour; false on failure.
bool EmitFillColor(Pdev* pdev, DWORD color, int reuse) {
  const BYTE pixel[3] = {static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16)};
  BYTE result[3] = {};
  const int answer = ConvertSolidColor(pdev->colorConverter, pdev->colorClassWord, pdev, &pdev->settings, pdev->config,
                                       pixel, result, 1, 1, 0, kSolidGraphics, reuse);
  if (answer != kConvertedRgb && answer != kConvertedGrey) return false;
  BYTE out[3] = {};
  EmitterColor(answer, result, out);
  return EmitSolidColor(pdev->emitter, kFillKind, answer == kConvertedGrey ? kColorSpaceGrey : kColorSpaceRgb, out) ==
         0;
}

// The clip of a fill; cut holds the clip rectangle when the fill is cut instead of clipped.
bool ApplyFillClip(Pdev* pdev, CLIPOBJ* clip, const RECTL& target, SIZEL sourceSize, const RECTL** cut) {
  *cut = nullptr;
  const bool unscaled = sourceSize.cx == target.right - target.left && sourceSize.cy == target.bottom - target.top;
  if (unscaled && clip != nullptr && clip->iDComplexity == DC_RECT && !Inside(target, clip->rclBounds)) {
    *cut = &clip->rclBounds;
    return ApplyClipObject(pdev, nullptr, &target) != 0;
  }
  return ApplyClipObject(pdev, clip, &target) != 0;
}

BOOL FinishFill(Pdev* pdev, RECTL rect, const RECTL* cut) {
  if (cut != nullptr) {
    rect = {std::max(rect.left, cut->left), std::max(rect.top, cut->top), std::min(rect.right, cut->right),
            std::min(rect.bottom, cut->bottom)};
    // Wholly outside the clip: nothing shows.
    if (rect.left >= rect.right || rect.top >= rect.bottom) return TRUE;
  }
  rect = Normalised(rect);
  return EmitDrawMode(pdev->emitter, kDrawModeFill) == 0 &&
         EmitDeviceRectangle(pdev->emitter, rect.left, rect.top, rect.right, rect.bottom) == 0;
}

BOOL SolidFill(Pdev* pdev, CLIPOBJ* clip, const RECTL& target, SIZEL sourceSize, DWORD color) {
  if (FlushDeferredImages(pdev, kFlushForDrawing) != 0) return FALSE;
  const RECTL* cut = nullptr;
  if (!ApplyFillClip(pdev, clip, target, sourceSize, &cut)) return FALSE;
  if (!EmitFillColor(pdev, color, 0)) return FALSE;
  if (EmitFillMode(pdev->emitter, kFillEvenOdd) != 0 || EmitRopMode(pdev->emitter, kRopModeKind, kCopyPen) != 0)
    return FALSE;
  return FinishFill(pdev, target, cut);
}

BOOL PatternFill(Pdev* pdev, CLIPOBJ* clip, const RECTL& target, SIZEL sourceSize, BRUSHOBJ* brush,
                 POINTL* brushOrigin, ROP4 rop4) {
  if (FlushDeferredImages(pdev, kFlushForDrawing) != 0) return FALSE;
  const RECTL* cut = nullptr;
  if (!ApplyFillClip(pdev, clip, target, sourceSize, &cut)) return FALSE;
  POINTL origin = brushOrigin != nullptr ? *brushOrigin : POINTL{0, 0};
  if (rop4 == kRopInvert) {
    if (EmitRopMode(pdev->emitter, kRopModeKind, MapRopToRop2(kRopInvert) & 0xFF) != 0) return FALSE;
  } else if (EmitBrushPattern(pdev, kBrushTargetFill, &origin, brush, rop4 & 0xFFFF) == 0) {
    return FALSE;
  }
  if (EmitFillMode(pdev->emitter, kFillEvenOdd) != 0) return FALSE;
  return FinishFill(pdev, target, cut);
}

// A text-like source: its white pixels as a mask, drawn in the brush colour.
BOOL DrawImageMaskBlt(Pdev* pdev, SURFOBJ* source, SIZEL size, POINTL origin, const RECTL* target, XLATEOBJ* xlate,
                      const float matrix[6], DWORD rop) {
  ImageMaskHeader h{};
  h.x = static_cast<float>(target->left);
  h.y = static_cast<float>(target->top);
  h.width = static_cast<WORD>(size.cx);
  h.height = static_cast<WORD>(size.cy);
  const bool firstEntrySet = source->iBitmapFormat == BMF_1BPP && xlate != nullptr && xlate->pulXlate != nullptr &&
                             xlate->cEntries > 0 && xlate->pulXlate[0] != 0;
  h.polarity = firstEntrySet ? (rop != kTextRopPaint ? 1 : 0) : (rop == kTextRopPaint ? 1 : 0);
  std::copy(matrix, matrix + 6, h.matrix);
  h.dataLength = (static_cast<DWORD>(size.cx) + 7) / 8 * static_cast<DWORD>(size.cy);
  HGLOBAL block = nullptr;
  BYTE* rows = ConvertBitmapRows(source, size, origin, xlate, kRowsWhiteMask, &block);
  BOOL result = FALSE;
  if (rows != nullptr)
    result = EmitDrawImageMask(pdev->emitter, h) == 0 && EmitImageData(pdev->emitter, rows, h.dataLength) == 0;
  if (block != nullptr) {
    GlobalUnlock(block);
    GlobalFree(block);
  }
  return result;
}

BOOL DrawBitmapBlt(Pdev* pdev, CLIPOBJ* clip, SURFOBJ* source, SURFOBJ* mask, SIZEL sourceSize, POINTL sourceOrigin,
                   POINTL maskOrigin, const RECTL* target, const RECTL& normalised, XLATEOBJ* xlate, BRUSHOBJ* brush,
                   POINTL* brushOrigin, BYTE ropKind, DWORD rop) {
  SIZEL size = sourceSize;
  if (source != nullptr) {
    if (xlate == nullptr && source->iBitmapFormat != BMF_24BPP) return FALSE;
    // The area is kept inside the bitmap: a negative origin shrinks the image.
    if (sourceOrigin.x < 0) {
      size.cx += sourceOrigin.x;
      sourceOrigin.x = 0;
    }
    if (sourceOrigin.y < 0) {
      size.cy += sourceOrigin.y;
      sourceOrigin.y = 0;
    }
    size.cx = std::min(size.cx, source->sizlBitmap.cx - sourceOrigin.x);
    size.cy = std::min(size.cy, source->sizlBitmap.cy - sourceOrigin.y);
  }
  if (mask != nullptr) {
    maskOrigin.x = std::max<LONG>(maskOrigin.x, 0);
    maskOrigin.y = std::max<LONG>(maskOrigin.y, 0);
  }
  const bool blackWhite = IsBlackWhiteSource(source, size, sourceOrigin, xlate, brush, ropKind, rop) != 0;
  if ((blackWhite ? EmitRopMode(pdev->emitter, kRopModeKind, kCopyPen) : EmitRopMode(pdev->emitter, ropKind, rop)) != 0)
    return FALSE;
  if (brush != nullptr) {
    if (!blackWhite) {
      if (EmitBrushPattern(pdev, kBrushTargetFill, brushOrigin, brush, std::nullopt) == 0) return FALSE;
    } else {
      const DWORD color = brush->iSolidColor;
      const BYTE pixel[3] = {static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16)};
      if (DetectImageColor(pdev->colorClassWord, &pdev->pageColor.Census, pdev, pixel, 1, 1, nullptr, 0,
                           kColorFormatRgb, 24, 0) != 0)
        return FALSE;
      if (!EmitFillColor(pdev, color, 1)) return FALSE;
    }
  }
  const bool queued = (pdev->colorConverter->ImageWord & kImageColorLibrary) != 0;
  if (!queued && ApplyClipObject(pdev, clip, &normalised) == 0) return FALSE;
  // Nothing of the source lies inside the bitmap: nothing to draw.
  if (source == nullptr) return FALSE;
  if (size.cx <= 0 || size.cy <= 0 || target->right == target->left || target->bottom == target->top) return TRUE;
  if (size.cx > 0xFFFF || size.cy > 0xFFFF) return FALSE;
  const float matrix[6] = {static_cast<float>(size.cx) / static_cast<float>(target->right - target->left), 0.0f, 0.0f,
                           static_cast<float>(size.cy) / static_cast<float>(target->bottom - target->top), 0.0f, 0.0f};
  if (blackWhite) return DrawImageMaskBlt(pdev, source, size, sourceOrigin, target, xlate, matrix, rop);
  return RenderBitmapImage(pdev, source, mask, size, sourceOrigin, maskOrigin, target, xlate, matrix, clip) != 0;
}

}  // namespace

int IsBlackWhiteSource(SURFOBJ* source, SIZEL size, POINTL origin, XLATEOBJ* xlate, BRUSHOBJ* brush, BYTE ropKind,
                       DWORD rop) {
  if (ropKind != kRopKindTernary || (rop != kTextRopPaint && rop != kTextRopMerge)) return 0;
  if (brush == nullptr || brush->iSolidColor == kNoSolidColor || source == nullptr) return 0;
  const WORD bits = BitsPerPixelOfFormat(source->iBitmapFormat);
  const auto blackOrWhite = [](DWORD c) { return c == kBlack || c == kWhite; };
  if (bits == 1) {
    if (xlate == nullptr || xlate->pulXlate == nullptr || xlate->cEntries < 2) return 0;
    return blackOrWhite(xlate->pulXlate[0]) && blackOrWhite(xlate->pulXlate[1]) ? 1 : 0;
  }
  if (size.cx <= 0 || size.cy <= 0 || !SourceAreaFits(source, origin, size)) return 0;
  if (bits <= 8 && xlate == nullptr) return 0;
  const int kind = ClassifyXlate(xlate, bits);
  const int shift = static_cast<int>((static_cast<DWORD>(bits) * static_cast<DWORD>(origin.x)) % 8);
  const DWORD rowBytes = (static_cast<DWORD>(bits) * static_cast<DWORD>(size.cx) + 7) / 8;
  std::vector<BYTE> shifted(shift != 0 ? rowBytes : 0);
  const DWORD available = (static_cast<DWORD>(bits) * static_cast<DWORD>(source->sizlBitmap.cx) + 7) / 8 -
                          static_cast<DWORD>(bits) * static_cast<DWORD>(origin.x) / 8;
  for (LONG y = 0; y < size.cy; ++y) {
    const BYTE* row = static_cast<const BYTE*>(source->pvScan0) + static_cast<std::ptrdiff_t>(bits) * origin.x / 8 +
                      static_cast<std::ptrdiff_t>(source->lDelta) * (origin.y + y);
    if (shift != 0) {
      ShiftRowBits(row, shifted.data(), static_cast<DWORD>(bits) * static_cast<DWORD>(size.cx), shift, available);
      row = shifted.data();
    }
    for (DWORD x = 0; x < static_cast<DWORD>(size.cx); ++x)
      if (!blackOrWhite(TranslatedPixel(row, x, xlate, kind, bits))) return 0;
  }
  return 1;
}

BOOL DispatchBlt(SURFOBJ* target, SURFOBJ* source, SURFOBJ* mask, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL* targetRect,
                 RECTL* sourceRect, POINTL* sourceOrigin, POINTL* maskOrigin, BRUSHOBJ* brush, POINTL* brushOrigin,
                 ROP4 rop4, int kind, COLORADJUSTMENT* adjustment, ULONG stretchMode) {
  const SIZEL sourceSize{sourceRect->right - sourceRect->left, sourceRect->bottom - sourceRect->top};
  const RECTL normalised = Normalised(*targetRect);
  Pdev* pdev = reinterpret_cast<Pdev*>(target->dhpdev);
  if (!IsPdevValid(pdev)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((pdev->ddiState & kDdiDocFailed) || DispatchPageEnd(pdev) == -1) return FALSE;
  const ROP4 rop = rop4 & 0xFFFF;
  const bool bytesDiffer = (rop >> 8) != (rop & 0xFF);
  const auto punt = [&]() -> BOOL {
    if (FlushDeferredImages(pdev, kFlushForDrawing) != 0) return FALSE;
    return Punt(target, source, mask, clip, xlate, targetRect, sourceRect, sourceOrigin, maskOrigin, brush,
                brushOrigin, rop4, kind, adjustment, stretchMode);
  };
  if (bytesDiffer && rop != kRopPatternOrMask && rop != kRopSourceOrMask) return punt();
  if (rop == 0x0000 || rop == 0xFFFF) return SolidFill(pdev, clip, normalised, sourceSize, rop == 0 ? kBlack : kWhite);
  if (rop == kRopNoOperation) return FlushDeferredImages(pdev, kFlushForDrawing) == 0;
  if (rop == kRopPatternOrMask) {
    if (mask != nullptr) return punt();
    return PatternFill(pdev, clip, normalised, sourceSize, brush, brushOrigin, rop);
  }
  if (std::find(std::begin(kPatternFillRops), std::end(kPatternFillRops), rop) != std::end(kPatternFillRops))
    return PatternFill(pdev, clip, normalised, sourceSize, brush, brushOrigin, rop);
  if (rop == kRopSourceOrMask && mask == nullptr && brush != nullptr) return TRUE;

  // The bitmap road.
  if (!bytesDiffer) {
    mask = nullptr;
    maskOrigin = nullptr;
  }
  const bool fullRop = mask != nullptr && maskOrigin != nullptr;
  const BYTE ropKind = fullRop ? kRopKindRop4 : kRopKindTernary;
  const DWORD ropValue = fullRop ? rop : (rop & 0xFF);
  const WORD bits = source != nullptr ? BitsPerPixelOfFormat(source->iBitmapFormat) : 0;
  SelectImageColorProcessing(pdev->colorConverter, pdev->imageQueue, &pdev->settings, pdev,
                             source != nullptr ? source->pvBits : nullptr, static_cast<DWORD>(sourceSize.cx),
                             static_cast<DWORD>(sourceSize.cy), bits, ropKind, ropValue, kBltOriginCode);
  const POINTL origin = sourceOrigin != nullptr ? *sourceOrigin : POINTL{0, 0};
  const POINTL maskAt = maskOrigin != nullptr ? *maskOrigin : POINTL{0, 0};
  return DrawBitmapBlt(pdev, clip, source, mask, sourceSize, origin, maskAt, targetRect, normalised, xlate, brush,
                       brushOrigin, ropKind, ropValue);
}
