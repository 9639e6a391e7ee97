// The drawing calls of a printer DC turned into the graphics engine's drawing calls
// (printer_drawing.h): the DC's state becomes the call's pen, brush, clip and mix.
#include "platform/engine/printer_drawing.h"

#include <algorithm>
#include <cstring>

#include "platform/engine/engine_host.h"
#include "platform/engine/printer_dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/raster.h"

namespace gdi {

namespace {

// Dash patterns of the pen styles at width 1, in pixels on and off (draw_objects.h).
constexpr float kDash[] = {18, 6};
constexpr float kDot[] = {3, 3};
constexpr float kDashDot[] = {9, 6, 3, 6};
constexpr float kDashDotDot[] = {9, 3, 3, 3, 3, 3};
// From this weight on a font is drawn from its bold face.
constexpr LONG kBoldWeight = 600;

// The DC's pen; false for the null pen.
bool PenOf(const Dc& dc, DrawPen& out) {
  const Pen* pen = Find<Pen>(dc.state.pen);
  if (pen == nullptr || (pen->style & PS_STYLE_MASK) == PS_NULL) return false;
  out.colour = pen->color & 0xFFFFFF;
  if (pen->width > 1) {
    out.geometric = true;
    out.width = static_cast<float>(pen->width);
    out.join = JOIN_ROUND;
    out.cap = ENDCAP_ROUND;
    return true;
  }
  std::span<const float> dashes;
  switch (pen->style & PS_STYLE_MASK) {
    case PS_DASH: dashes = kDash; break;
    case PS_DOT: dashes = kDot; break;
    case PS_DASHDOT: dashes = kDashDot; break;
    case PS_DASHDOTDOT: dashes = kDashDotDot; break;
    default: break;
  }
  out.style.assign(dashes.begin(), dashes.end());
  return true;
}

// The DC's brush; false for the null brush.
bool BrushOf(const Dc& dc, DrawBrush& out) {
  const Brush* brush = Find<Brush>(dc.state.brush);
  if (brush == nullptr || brush->style == BS_NULL) return false;
  if (brush->style == BS_HATCHED) {
    out.kind = BrushKind::Hatch;
    out.hatch = static_cast<ULONG>(brush->hatch);
    out.background = dc.state.bkColor;
  } else {
    out.kind = BrushKind::Solid;
  }
  out.colour = brush->color & 0xFFFFFF;
  return true;
}

// The call with the DC's clip and mix, handed to the engine; a clip that leaves nothing
// visible draws nothing and succeeds.
BOOL Send(Dc& dc, DrawCall& call, const RECT* limit = nullptr) {
  std::vector<RECT> clip;
  bool clipped = dc.state.hasClip;
  if (clipped) clip = dc.state.clip.rects;
  if (limit != nullptr) {
    clip = clipped ? ClipRects(clip, *limit) : std::vector<RECT>{*limit};
    clipped = true;
  }
  if (clipped && clip.empty()) return TRUE;
  if (!clipped) {
    call.clip.kind = ClipKind::Trivial;
  } else if (clip.size() == 1) {
    call.clip.kind = ClipKind::Rect;
    call.clip.rect = RECTL{clip[0].left, clip[0].top, clip[0].right, clip[0].bottom};
  } else {
    call.clip.kind = ClipKind::Complex;
    for (const RECT& r : clip) {
      const DrawPath box = PathRectangle(RECTL{r.left, r.top, r.right, r.bottom});
      call.clip.path.ops.insert(call.clip.path.ops.end(), box.ops.begin(), box.ops.end());
      call.clip.path.points.insert(call.clip.path.points.end(), box.points.begin(), box.points.end());
    }
  }
  const auto rop2 = static_cast<MIX>(dc.state.rop2);
  call.mix = rop2 | (rop2 << 8);
  call.fillMode = dc.state.polyFillMode == WINDING ? FP_WINDINGMODE : FP_ALTERNATEMODE;
  return EngineDraw(dc.engine, call) == TRUE ? TRUE : FALSE;
}

DrawPath PathThrough(std::span<const POINT> points, bool closed) {
  DrawPath path;
  PathMoveTo(path, static_cast<float>(points[0].x), static_cast<float>(points[0].y));
  for (size_t i = 1; i < points.size(); ++i) PathLineTo(path, static_cast<float>(points[i].x), static_cast<float>(points[i].y));
  if (closed) PathClose(path);
  return path;
}

// A closed path filled with the brush and outlined with the pen, whichever the DC has.
BOOL FillAndStroke(Dc& dc, DrawPath path) {
  DrawCall call;
  const bool stroked = PenOf(dc, call.pen);
  const bool filled = BrushOf(dc, call.brush);
  if (!stroked && !filled) return TRUE;
  call.kind = stroked && filled ? DrawKind::StrokeAndFillPath : stroked ? DrawKind::StrokePath : DrawKind::FillPath;
  call.path = std::move(path);
  return Send(dc, call);
}

}  // namespace

BOOL PrinterLines(Dc& dc, std::span<const POINT> points, bool closed) {
  DrawCall call;
  if (points.size() < 2 || !PenOf(dc, call.pen)) return TRUE;
  call.kind = DrawKind::StrokePath;
  call.path = PathThrough(points, closed);
  return Send(dc, call);
}

BOOL PrinterPolygon(Dc& dc, std::span<const POINT> points) {
  if (points.size() < 2) return TRUE;
  return FillAndStroke(dc, PathThrough(points, true));
}

BOOL PrinterRectangle(Dc& dc, const RECT& box, bool ellipse) {
  if (IsEmpty(box)) return TRUE;
  // The outline runs through the outermost pixels: the last column and row are right - 1 and
  // bottom - 1.
  const RECTL edges{box.left, box.top, box.right - 1, box.bottom - 1};
  DrawPath path = ellipse ? PathEllipse(edges) : PathRectangle(edges);
  return FillAndStroke(dc, std::move(path));
}

BOOL PrinterFillRect(Dc& dc, const RECT& box, COLORREF colour) {
  if (IsEmpty(box)) return TRUE;
  DrawCall call;
  call.kind = DrawKind::FillPath;
  call.path = PathRectangle(RECTL{box.left, box.top, box.right, box.bottom});
  call.brush.kind = BrushKind::Solid;
  call.brush.colour = colour & 0xFFFFFF;
  return Send(dc, call);
}

BOOL PrinterText(Dc& dc, const PrinterTextRun& run) {
  const Font* font = Find<Font>(dc.state.font);
  if (font == nullptr) return FALSE;
  const LOGFONTW& log = font->log;
  DrawCall call;
  call.kind = DrawKind::TextOut;
  DrawText& text = call.text;
  text.text.assign(run.text, run.count);
  if (log.lfFaceName[0] != 0) text.face = log.lfFaceName;
  text.bold = log.lfWeight >= kBoldWeight;
  text.italic = log.lfItalic != 0;
  text.underline = log.lfUnderline != 0;
  text.escapement = log.lfEscapement;
  text.emHeight = run.em;
  text.origin = POINTL{run.origin.x, run.origin.y};
  text.colour = dc.state.textColor;
  text.opaque = dc.state.bkMode == OPAQUE;
  text.background = dc.state.bkColor;
  text.fixedPitch = run.advance;
  return Send(dc, call, run.limit);
}

BOOL PrinterImage(Dc& dc, const RECT& target, const std::uint32_t* pixels, LONG width, LONG height, const RECT& source,
                  DWORD rop) {
  if (width <= 0 || height <= 0) return FALSE;
  DrawCall call;
  const BYTE code = static_cast<BYTE>(rop >> 16);
  call.kind = code == 0xCC ? DrawKind::StretchBlt : DrawKind::StretchBltROP;
  call.rop4 = static_cast<ROP4>(code | (code << 8));
  call.target = RECTL{target.left, target.top, target.right, target.bottom};
  call.source = RECTL{source.left, source.top, source.right, source.bottom};
  call.stretchMode = static_cast<ULONG>(dc.state.stretchMode);
  BrushOf(dc, call.brush);
  DrawImage& image = call.image;
  image.width = width;
  image.height = height;
  image.format = BMF_32BPP;
  image.stride = width * 4;
  // 0x00RRGGBB in memory is blue, green, red, unused: the engine's 32-bit layout.
  image.bits.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  std::memcpy(image.bits.data(), pixels, image.bits.size());
  return Send(dc, call);
}

int PrinterDeviceCaps(const Dc& dc, int index) {
  const GDIINFO* info = EngineDcGdiInfo(dc.engine);
  if (info == nullptr) return 0;
  switch (index) {
    case HORZRES: return static_cast<int>(info->ulHorzRes);
    case VERTRES: return static_cast<int>(info->ulVertRes);
    case BITSPIXEL: return static_cast<int>(info->cBitsPixel);
    case PLANES: return static_cast<int>(info->cPlanes);
    case NUMCOLORS: return static_cast<int>(info->ulNumColors);
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT | RC_DI_BITMAP;
    case LOGPIXELSX: return static_cast<int>(info->ulLogPixelsX);
    case LOGPIXELSY: return static_cast<int>(info->ulLogPixelsY);
    case PHYSICALWIDTH: return static_cast<int>(info->szlPhysSize.cx);
    case PHYSICALHEIGHT: return static_cast<int>(info->szlPhysSize.cy);
    case PHYSICALOFFSETX: return static_cast<int>(info->ptlPhysOffset.x);
    case PHYSICALOFFSETY: return static_cast<int>(info->ptlPhysOffset.y);
    default: return 0;
  }
}

}  // namespace gdi
