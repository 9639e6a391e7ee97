#include "graphics/ddi/text_output.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/runtime/resource_module.h"
#include "core/system/os_generation.h"
#include "graphics/device/overlay_state.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/drawing/clip_cache.h"
#include "graphics/drawing/command_recorder.h"
#include "graphics/drawing/glyph_records.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/drawing/rop_maps.h"
#include "graphics/imaging/brush_emission.h"
#include "graphics/imaging/brush_patterns.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/color_detection.h"
#include "graphics/imaging/image_queue.h"
#include "graphics/job/job_control.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/engine/engine.h"
#include "platform/kernel/resource.h"

namespace {

constexpr UINT kBoldStrengthString = 18;
constexpr int kBoldStrengthChars = 81;
constexpr DWORD kNoSolidColor = 0xFFFFFFFF;  // a brush that is not one solid colour
constexpr BYTE kColorTargetFill = 2;
constexpr BYTE kDrawModeFill = 2;
constexpr BYTE kFillModeText = 1;
constexpr BYTE kRopModeKind = 1;
constexpr float kFixToPixels = 0.0625f;
constexpr float kPointsPerInch = 72.0f;

// The faces whose simulated bold is sent as glyph bitmaps.
constexpr std::u16string_view kBitmapFaces[] = {u"仿宋_GB2312", u"楷体_GB2312"};

bool EmitterFailed(int result) { return result != 0; }

// A name of the font metrics, read within the block the metrics say they fill; without one
// leading "@" (the vertical form of a face).
std::u16string_view MetricsName(const IFIMETRICS* ifi, PTRDIFF offset) {
  if (offset < static_cast<PTRDIFF>(sizeof(IFIMETRICS)) || static_cast<ULONG>(offset) >= ifi->cjThis) return {};
  const auto* at = reinterpret_cast<const char16_t*>(reinterpret_cast<const BYTE*>(ifi) + offset);
  const std::size_t most = (ifi->cjThis - static_cast<ULONG>(offset)) / sizeof(char16_t);
  std::size_t length = 0;
  while (length < most && at[length] != 0) ++length;
  if (length == most) return {};  // no terminator inside the block
  std::u16string_view name(at, length);
  if (!name.empty() && name.front() == u'@') name.remove_prefix(1);
  return name;
}

bool UsesBitmapRoad(FONTOBJ* font) {
  if ((font->flFontType & FO_SIM_BOLD) == 0 || IsWindowsXpOrLater() != 1) return false;
  const IFIMETRICS* ifi = FONTOBJ_pifi(font);
  if (ifi == nullptr) return false;
  const std::u16string_view family = MetricsName(ifi, ifi->dpwszFamilyName);
  const std::u16string_view face = MetricsName(ifi, ifi->dpwszFaceName);
  for (std::u16string_view candidate : kBitmapFaces)
    if (family == candidate && face == candidate) return true;
  return false;
}

// The device colour's bytes in memory: blue, green, red.
struct MemoryPixel {
  BYTE bytes[3];
  explicit MemoryPixel(DWORD color)
      : bytes{static_cast<BYTE>(color), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color >> 16)} {}
};

int CountColor(Pdev* pdev, const MemoryPixel& pixel) {
  return DetectImageColor(pdev->colorClassWord, &pdev->pageColor.Census, pdev, pixel.bytes, 1, 1, nullptr, 0,
                          kColorFormatRgb, 24, 0) == 0;
}

// Counts and converts the text colour and sets it; 0 when a step fails.
int ConvertTextColor(Pdev* pdev, DWORD color) {
  const MemoryPixel pixel(color);
  if (!CountColor(pdev, pixel)) return 0;
  BYTE result[3] = {};
  const int answer = ConvertSolidColor(pdev->colorConverter, pdev->colorClassWord, pdev, &pdev->settings,
                                       pdev->config, pixel.bytes, result, 1, 1, 0, kSolidText, 1);
  // Any failure (also running out of memory) leaves the result unset: nothing is sent.
  if (answer < 0) return 0;
  if (answer == kConvertedRgb) {
    const BYTE rgb[3] = {result[2], result[1], result[0]};
    return !EmitterFailed(EmitSolidColor(pdev->emitter, kColorTargetFill, kColorSpaceRgb, rgb));
  }
  return !EmitterFailed(EmitSolidColor(pdev->emitter, kColorTargetFill, kColorSpaceGrey, result));
}

// The raster operation and colour of the glyphs.
int EmitTextForeground(Pdev* pdev, BRUSHOBJ* foreground, MIX mix) {
  if (EmitterFailed(EmitRopMode(pdev->emitter, kRopModeKind, mix & 0xFF))) return 0;
  const DWORD color = foreground->iSolidColor != kNoSolidColor ? foreground->iSolidColor : 0;
  if (!IsStampDrawingActive(pdev)) return ConvertTextColor(pdev, color);
  if (!CountColor(pdev, MemoryPixel(color))) return 0;
  // Stamps keep their colour as it is; the mask pattern takes it as 0xRRGGBB, which the
  // device colour already is.
  if (GetPdevSettingWord(pdev, kItemStampMode) != 0)
    return !EmitterFailed(EmitSolidMaskPattern(pdev->emitter, kColorTargetFill, color));
  const BYTE rgb[3] = {static_cast<BYTE>(color >> 16), static_cast<BYTE>(color >> 8), static_cast<BYTE>(color)};
  return !EmitterFailed(EmitSolidColor(pdev->emitter, kColorTargetFill, kColorSpaceRgb, rgb));
}

// A rectangle filled with the brush under the mix's raster operation.
int FillTextRectangle(Pdev* pdev, const RECTL& rect, BRUSHOBJ* brush, POINTL* origin, MIX mix, bool setDrawMode) {
  if (EmitBrushPattern(pdev, kBrushTargetFill, origin, brush, MapMixToRop3(mix)) == 0) return 0;
  if (EmitterFailed(EmitFillMode(pdev->emitter, kFillModeText))) return 0;
  const LONG left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
  const LONG top = std::min(rect.top, rect.bottom), bottom = std::max(rect.top, rect.bottom);
  if (setDrawMode && EmitterFailed(EmitDrawMode(pdev->emitter, kDrawModeFill))) return 0;
  return !EmitterFailed(EmitDeviceRectangle(pdev->emitter, left, top, right, bottom));
}

int DrawOpaqueRectangle(Pdev* pdev, const RECTL& rect, BRUSHOBJ* brush, POINTL* origin, MIX mix) {
  return brush != nullptr && FillTextRectangle(pdev, rect, brush, origin, mix, true);
}

// The underline and strike-out rectangles, up to the one whose four sides are all 0.
int DrawExtraRectangles(Pdev* pdev, const RECTL* rects, BRUSHOBJ* brush, POINTL* origin, MIX mix) {
  for (const RECTL* r = rects; r->left != 0 || r->right != 0 || r->top != 0 || r->bottom != 0; ++r)
    if (!FillTextRectangle(pdev, *r, brush, origin, mix, false)) return 0;
  return 1;
}

// Glyph i of a batch: a fixed-pitch string places it i increments from the batch's first
// glyph (backwards for a reversed string), any other string where the engine put it.
POINTL GlyphPosition(const STROBJ* string, const GLYPHPOS* glyphs, ULONG i) {
  if (string->ulCharInc == 0) return glyphs[i].ptl;
  std::int64_t step = static_cast<std::int64_t>(i) * string->ulCharInc;
  if (string->flAccel & SO_REVERSED) step = -step;
  POINTL at = glyphs[0].ptl;
  if (string->flAccel & SO_VERTICAL) at.y = static_cast<LONG>(at.y + step);
  else if (string->flAccel & SO_HORIZONTAL) at.x = static_cast<LONG>(at.x + step);
  return at;
}

// The glyph's outline path as points in pixels and operation codes; false for a Bezier batch
// whose point count is not a multiple of 3 or a batch without its points.
bool ReadGlyphPath(PATHOBJ* path, GlyphOutline* outline) {
  PATHOBJ_vEnumStart(path);
  BOOL more;
  do {
    PATHDATA data{};
    more = PATHOBJ_bEnum(path, &data);
    if (data.count != 0 && data.pptfx == nullptr) return false;
    auto add = [&](ULONG i) {
      outline->points.push_back({data.pptfx[i].x * kFixToPixels, data.pptfx[i].y * kFixToPixels});
    };
    ULONG i = 0;
    if ((data.flags & PD_BEGINSUBPATH) && data.count != 0) {
      outline->ops.push_back(kGlyphOpStart);
      add(i++);
    }
    if (data.flags & PD_BEZIERS) {
      if ((data.count - i) % 3 != 0) return false;
      for (; i < data.count; i += 3) {
        outline->ops.push_back(kGlyphOpBezier);
        add(i), add(i + 1), add(i + 2);
      }
    } else {
      for (; i < data.count; ++i) {
        outline->ops.push_back(kGlyphOpLine);
        add(i);
      }
    }
    if ((data.flags & PD_ENDSUBPATH) && (data.flags & PD_CLOSEFIGURE)) outline->ops.push_back(kGlyphOpClose);
  } while (more);
  outline->ops.push_back(kGlyphOpEnd);
  return true;
}

// What every glyph of one string shares.
struct StringContext {
  Pdev* pdev;
  STROBJ* string;
  FONTOBJ* font;
  bool bitmapRoad;
  OutlineGlyphHead head;
  ULONG done = 0;  // glyphs of the string already drawn
};

// The code that goes with an outline: the font's number and the glyph's original character;
// a string drawn by glyph index has none, and the glyph handle stands in for it.
DWORD DataFontCode(const StringContext& s, ULONG index, HGLYPH glyph) {
  const DWORD character = s.string->pwszOrg != nullptr && index < s.string->cGlyphs
                              ? static_cast<DWORD>(s.string->pwszOrg[index])
                              : (glyph & 0xFFFF);
  return (s.font->iUniq << 16) | character;
}

int DrawGlyphOutline(StringContext& s, HGLYPH glyph, POINTL at, DWORD code) {
  GLYPHDATA* data = nullptr;
  if (FONTOBJ_cGetGlyphs(s.font, FO_PATHOBJ, 1, &glyph, reinterpret_cast<PVOID*>(&data)) != 1 || data == nullptr ||
      data->gdf.ppo == nullptr)
    return 0;
  GlyphOutline outline;
  if (!ReadGlyphPath(data->gdf.ppo, &outline)) return 0;
  const std::vector<BYTE> record = BuildOutlineGlyphRecord(s.head, outline);
  if (record.empty()) return 0;
  return RecordDrawDataFont(s.pdev->channel, static_cast<float>(at.x), static_cast<float>(at.y), code,
                            record.data()) == 0;
}

// A glyph of the bitmap road; one wider than the record can describe goes as its outline.
int DrawGlyphBitmap(StringContext& s, HGLYPH glyph, POINTL at, DWORD code) {
  GLYPHDATA* data = nullptr;
  if (FONTOBJ_cGetGlyphs(s.font, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)) != 1 || data == nullptr ||
      data->gdf.pgb == nullptr)
    return 0;
  const GLYPHBITS* bits = data->gdf.pgb;
  if (bits->sizlBitmap.cx > static_cast<LONG>(kMaxBitmapGlyphRowBytes * 8)) return DrawGlyphOutline(s, glyph, at, code);
  const std::vector<BYTE> record =
      BuildBitmapGlyphRecord(static_cast<float>(bits->ptlOrigin.x), static_cast<float>(bits->ptlOrigin.y),
                             bits->sizlBitmap.cx, bits->sizlBitmap.cy, bits->aj);
  if (record.empty()) return 0;
  return !EmitterFailed(EmitDataFontText(s.pdev->emitter, static_cast<float>(at.x), static_cast<float>(at.y),
                                         record.data()));
}

// One batch of glyphs, each on the string's road.
int DrawGlyphBatch(StringContext& s, ULONG count, const GLYPHPOS* glyphs) {
  for (ULONG i = 0; i < count; ++i) {
    const POINTL at = GlyphPosition(s.string, glyphs, i);
    const DWORD code = DataFontCode(s, s.done + i, glyphs[i].hg);
    const int sent = s.bitmapRoad ? DrawGlyphBitmap(s, glyphs[i].hg, at, code) : DrawGlyphOutline(s, glyphs[i].hg, at, code);
    if (!sent) return 0;
  }
  s.done += count;
  return 1;
}

}  // namespace

int FontEmSizePoints(Pdev* pdev, FONTOBJ* font, float* points) {
  if (pdev == nullptr || font == nullptr || points == nullptr) return 0;
  const IFIMETRICS* ifi = FONTOBJ_pifi(font);
  XFORMOBJ* xform = ifi != nullptr ? FONTOBJ_pxoGetXform(font) : nullptr;
  if (xform == nullptr) return 0;
  POINTL em{0, ifi->fwdUnitsPerEm}, device{0, 0};
  if (!XFORMOBJ_bApplyXform(xform, XF_LTOFX, 1, &em, &device)) return 0;
  const LONG resolution = GetDeviceResolution(pdev);
  *points = static_cast<float>(IntegerHypot(device.x, device.y)) * kFixToPixels * kPointsPerInch /
            static_cast<float>(resolution);
  return 1;
}

int ComputeBoldStrength(Pdev* pdev, FONTOBJ* font, BYTE* bold) {
  if (pdev == nullptr || pdev->emitter == nullptr || bold == nullptr) return 0;
  WCHAR text[kBoldStrengthChars + 1] = {};
  DWORD setting = 0;
  if (HMODULE resources = GetResourceModule();
      resources != nullptr && LoadStringW(resources, kBoldStrengthString, text, kBoldStrengthChars + 1) > 0)
    setting = wcstoul(text, nullptr, 0);
  float em = 0;
  if (!FontEmSizePoints(pdev, font, &em)) return 0;
  *bold = BoldStrengthFor(setting, em, static_cast<SHORT>(GetDeviceResolution(pdev)),
                          pdev->emitter->osLevel);
  return 1;
}

int DrawStringObject(Pdev* pdev, BRUSHOBJ* foreground, STROBJ* string, FONTOBJ* font, MIX mix) {
  StringContext s{pdev, string, font, UsesBitmapRoad(font), {0, 0, 0}};
  if (EmitterFailed(EmitDrawMode(pdev->emitter, kDrawModeFill)) || !EmitTextForeground(pdev, foreground, mix)) return 0;
  if (!s.bitmapRoad) {
    // The em size and bold strength are the font's, the same for every glyph of the string.
    s.head.italic = (font->flFontType & FO_SIM_ITALIC) != 0 ? 1 : 0;
    if ((font->flFontType & FO_SIM_BOLD) != 0 && !ComputeBoldStrength(pdev, font, &s.head.bold)) return 0;
    if (!FontEmSizePoints(pdev, font, &s.head.emPoints)) return 0;
  }
  if (string->pgp != nullptr) return DrawGlyphBatch(s, string->cGlyphs, string->pgp);
  STROBJ_vEnumStart(string);
  BOOL more;
  do {
    ULONG count = 0;
    GLYPHPOS* glyphs = nullptr;
    more = STROBJ_bEnum(string, &count, &glyphs);
    if (count == 0 || glyphs == nullptr) break;
    if (!DrawGlyphBatch(s, count, glyphs)) return 0;
  } while (more);
  return 1;
}

BOOL HandleTextOut(SURFOBJ* surface, STROBJ* string, FONTOBJ* font, CLIPOBJ* clip, RECTL* extra, RECTL* opaque,
                   BRUSHOBJ* foreground, BRUSHOBJ* opaqueBrush, POINTL* brushOrigin, MIX mix) {
  if (surface == nullptr || string == nullptr || font == nullptr || foreground == nullptr) return FALSE;
  Pdev* pdev = reinterpret_cast<Pdev*>(surface->dhpdev);
  if (!IsPdevValid(pdev) || (pdev->ddiState & kDdiDocFailed) != 0 || pdev->emitter == nullptr) return FALSE;
  // A fax model's job that is its header sheet alone carries no application text.
  if (pdev->faxModel != 0 && GetPdevSettingWord(pdev, kItemFaxHeaderOnly) == 1) return TRUE;
  FlushDeferredImages(pdev, kFlushForDrawing);  // its answer does not stop the text
  if (DispatchPageEnd(pdev) == -1) return FALSE;
  if (!IsOverlayDrawingActive(pdev) && !ApplyClipObject(pdev, IsStampDrawingActive(pdev) ? nullptr : clip, nullptr)) return FALSE;
  if (opaque != nullptr && !DrawOpaqueRectangle(pdev, *opaque, opaqueBrush, brushOrigin, mix)) return FALSE;
  if (!DrawStringObject(pdev, foreground, string, font, mix)) return FALSE;
  if (extra != nullptr && !DrawExtraRectangles(pdev, extra, foreground, brushOrigin, mix)) return FALSE;
  return TRUE;
}
