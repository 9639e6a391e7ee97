#include "graphics/imaging/brush_emission.h"

#include <cstring>

#include "core/store/item_access.h"
#include "graphics/ddi/realized_brush.h"  // up: the brush the engine realised
#include "graphics/device/overlay_state.h"
#include "graphics/device/pdev.h"
#include "graphics/drawing/graphics_emitter.h"  // up: brushes leave as drawing state
#include "graphics/drawing/rop_maps.h"  // up: the brush fill's raster operation
#include "graphics/imaging/brush_patterns.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/color_detection.h"
#include "graphics/imaging/scratch_block.h"
#include "items/item_ids.h"
#include "platform/engine/engine.h"
#include "platform/kernel/memory.h"

namespace {

constexpr DWORD kRealizedBrushColor = 0xFFFFFFFF;  // a brush's solid colour when it is realised
constexpr DWORD kSolidStyle = 6;
constexpr DWORD kLastHatchStyle = 5;
constexpr BYTE kRopModeKind = 1;
constexpr BYTE kRasterComponentBits = 8;
constexpr BYTE kRasterPatternCount = 1;
constexpr LONG kMaxSide = 32767;
constexpr BYTE kStampFillKind = 3;

// A realised brush as the driver stored it; entries are read only through the checks below.
struct RealizedView {
  const BYTE* Block;
  DWORD Width, Height, Format, Flags, Entries, TableOffset, Hatch;

  static DWORD Word(const BYTE* block, ULONG offset) {
    DWORD value = 0;
    std::memcpy(&value, block + offset, sizeof value);
    return value;
  }
  explicit RealizedView(const BYTE* block)
      : Block(block), Width(0), Height(0), Format(0), Flags(0), Entries(Word(block, 16)),
        TableOffset(Word(block, 20)), Hatch(Word(block, 24)) {
    if (Hatch < kFirstPatternHatch) return;  // a standard hatch has no pattern header
    Width = Word(block, 0);
    Height = Word(block, 4);
    Format = Word(block, 8);
    Flags = Word(block, 12);
  }
  // Colour-table entry i (a device colour); false past the entries the driver stored.
  bool Entry(DWORD i, DWORD* color) const {
    if (i >= Entries) return false;
    *color = Word(Block, TableOffset + 4 * i);
    return true;
  }
  PatternRows Rows() const {
    const std::size_t rowsLength = TableOffset >= kRealizedBrushFixedBytes ? TableOffset - kRealizedBrushFixedBytes : 0;
    return PatternRows{static_cast<LONG>(Width),
                       static_cast<LONG>(Height),
                       Format,
                       (Flags & BMF_TOPDOWN) != 0,
                       Block + kRealizedBrushRows,
                       rowsLength,
                       reinterpret_cast<const DWORD*>(Block + TableOffset),
                       Entries};
  }
  bool SizeFits() const { return Width <= static_cast<DWORD>(kMaxSide) && Height <= static_cast<DWORD>(kMaxSide); }
};

// A converted colour as the emitter takes it.
struct EmitColor {
  BYTE Space;
  BYTE Bytes[3];
};

// The device colour's bytes in memory (blue, green, red) reordered to {red, green, blue}.
EmitColor UnconvertedColor(DWORD color) {
  return {kColorSpaceRgb, {static_cast<BYTE>(color >> 16), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color)}};
}

// Counts and converts one device colour for graphics; false when either step fails.
bool ConvertColor(Pdev* pdev, DWORD color, EmitColor* out) {
  const BYTE pixel[3] = {static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16)};
  BYTE result[3] = {};
  switch (ConvertPatternColors(pdev, pdev->colorClassWord, pdev->colorConverter, pixel, 1, 1, result)) {
    case kConvertedRgb: *out = {kColorSpaceRgb, {result[2], result[1], result[0]}}; return true;
    case kConvertedGrey: *out = {kColorSpaceGrey, {result[0], 0, 0}}; return true;
    default: return false;
  }
}

POINTL OriginOrZero(const POINTL* origin) { return origin != nullptr ? *origin : POINTL{0, 0}; }

// The pattern's background: transparent and unconverted under an R2_NOP background mix.
int EmitPatternBackground(Pdev* pdev, DWORD color, BYTE target, std::optional<DWORD> rop) {
  EmitColor c{};
  BYTE mode = kSecondaryOpaque;
  if (rop.has_value() && (MapRopToRop2(*rop) >> 8) == R2_NOP) {
    c = UnconvertedColor(color);
    mode = kSecondaryTransparent;
  } else if (!ConvertColor(pdev, color, &c)) {
    return 0;
  }
  return EmitTextColor(pdev->emitter, target, c.Space, mode, c.Bytes) == 0 ? 1 : 0;
}

int EmitHatchBrush(Pdev* pdev, DWORD color, BYTE target, DWORD style, const POINTL* origin) {
  EmitColor c{};
  if (!ConvertColor(pdev, color, &c)) return 0;
  const POINTL at = OriginOrZero(origin);
  return EmitHatchPattern(pdev->emitter, at.x, at.y, target, c.Space, static_cast<BYTE>(HatchCode(style)), c.Bytes) ==
                 0
             ? 1
             : 0;
}

// While a stamp with a stamp mode value is drawn, solid fills take the stamp colour through a
// mask (a one-pixel colour counted on the page first). 1 or 0.
int EmitStampFill(Pdev* pdev) {
  const DWORD color = GetItemNumber(&pdev->settings, pdev->config, kItemStampColor, kTypeUInt32);
  const BYTE pixel[3] = {static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16)};
  if (DetectImageColor(pdev->colorClassWord, &pdev->pageColor.Census, pdev, pixel, 1, 1, nullptr, 0, kColorFormatRgb,
                       24, 0) != 0)
    return 0;
  return EmitSolidMaskPattern(pdev->emitter, kStampFillKind, color) == 0 ? 1 : 0;
}

int EmitSolidBrushColor(Pdev* pdev, DWORD color, BYTE target) {
  EmitColor c{};
  if (!ConvertColor(pdev, color, &c)) return 0;
  return EmitSolidColor(pdev->emitter, target, c.Space, c.Bytes) == 0 ? 1 : 0;
}

// A one-bit pattern in the ink colour (entry 0), its rows without padding from the top down.
int EmitMaskBrush(Pdev* pdev, const RealizedView& brush, BYTE target, const POINTL* origin) {
  DWORD ink = 0;
  EmitColor c{};
  if (!brush.Entry(0, &ink) || !ConvertColor(pdev, ink, &c) || !brush.SizeFits()) return 0;
  const std::size_t length = ((static_cast<std::size_t>(brush.Width) + 7) >> 3) * brush.Height;
  Scratch rows(length);
  if (rows.Block == nullptr || !RepackMaskRows(brush.Rows(), rows.Bytes(), length)) return 0;
  const POINTL at = OriginOrZero(origin);
  return EmitMaskPattern(pdev->emitter, at.x, at.y, target, c.Space, c.Bytes, static_cast<WORD>(brush.Width),
                         static_cast<WORD>(brush.Height), rows.Bytes()) == 0
             ? 1
             : 0;
}

// A colour pattern unpacked to three bytes per pixel, converted, and sent as a raster pattern
// (one byte per pixel and a third of the length for a grey result).
int EmitRasterBrush(Pdev* pdev, const RealizedView& brush, BYTE target, const POINTL* origin) {
  const PatternRows pattern = brush.Rows();
  const std::size_t length = RasterPatternLength(pattern);
  // Too long even as grey: refused before its colours are counted on the page.
  if (length == 0 || length / 3 > kMaxRasterPatternBytes || !brush.SizeFits()) return 0;
  Scratch rows(length), converted(length);
  if (rows.Block == nullptr || converted.Block == nullptr || !PatternToRgbRows(pattern, rows.Bytes(), length)) return 0;
  BYTE space = kColorSpaceRgb;
  std::size_t sent = length;
  switch (ConvertPatternColors(pdev, pdev->colorClassWord, pdev->colorConverter, rows.Bytes(), pattern.Width,
                               pattern.Height, converted.Bytes())) {
    case kConvertedRgb: break;
    case kConvertedGrey:
      space = kColorSpaceGrey;
      sent = length / 3;
      break;
    default: return 0;
  }
  // The bytes after the converted pixels up to the sent length stay 0, as in the unpacked rows.
  const std::size_t pixelBytes = static_cast<std::size_t>(pattern.Width) * pattern.Height * (space == kColorSpaceRgb ? 3 : 1);
  std::memset(converted.Bytes() + pixelBytes, 0, sent - pixelBytes);
  if (sent > kMaxRasterPatternBytes) return 0;
  const POINTL at = OriginOrZero(origin);
  return EmitRasterPattern(pdev->emitter, at.x, at.y, target, space, kRasterComponentBits,
                           static_cast<WORD>(pattern.Width), static_cast<WORD>(pattern.Height), kRasterPatternCount,
                           static_cast<DWORD>(sent), converted.Bytes()) == 0
             ? 1
             : 0;
}

}  // namespace

int EmitBrushPattern(Pdev* pdev, BYTE target, const POINTL* origin, BRUSHOBJ* brush, std::optional<DWORD> rop) {
  if (pdev == nullptr || pdev->emitter == nullptr || brush == nullptr) return 0;
  const BYTE* realized = nullptr;
  DWORD style = kSolidStyle;
  if (brush->iSolidColor == kRealizedBrushColor) {
    realized = static_cast<const BYTE*>(BRUSHOBJ_pvGetRbrush(brush));
    if (realized == nullptr) return 0;
    style = RealizedView(realized).Hatch;
  }
  if (rop.has_value() && EmitRopMode(pdev->emitter, kRopModeKind, MapRopToRop2(*rop) & 0xFF) != 0) return 0;
  if (realized == nullptr) {
    // The stamp mode value counts only while a stamp is drawn.
    if (IsStampDrawingActive(pdev) && pdev->render.stampModeValue != 0) return EmitStampFill(pdev);
    return EmitSolidBrushColor(pdev, brush->iSolidColor, target);
  }
  const RealizedView view(realized);
  DWORD background = 0, ink = 0;
  if (style <= kLastHatchStyle) {
    if (!view.Entry(0, &background) || !view.Entry(1, &ink)) return 0;
    return EmitPatternBackground(pdev, background, target, rop) != 0 ? EmitHatchBrush(pdev, ink, target, style, origin)
                                                                     : 0;
  }
  if (view.Format == kPatternFormat1Bit) {
    if (!view.Entry(1, &background) || !view.Entry(0, &ink)) return 0;
    return EmitPatternBackground(pdev, background, target, rop) != 0 ? EmitMaskBrush(pdev, view, target, origin) : 0;
  }
  return EmitRasterBrush(pdev, view, target, origin);
}
