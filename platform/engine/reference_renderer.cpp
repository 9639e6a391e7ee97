// The reference renderer and PNG files of pages.
#include "platform/engine/reference_renderer.h"

#include <cairo-ft.h>
#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>

#include "platform/engine/engine_sim.h"
#include "platform/engine/engine_state.h"
#include "platform/engine/font_faces.h"
#include "platform/kernel/kernel_sim.h"

void SetReferenceColour(cairo_t* cr, COLORREF c) {
  cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

namespace {

void AddPath(cairo_t* cr, const DrawPath& path) {
  size_t p = 0;
  for (PathOp op : path.ops) {
    switch (op) {
      case PathOp::Move: cairo_move_to(cr, path.points[p].x, path.points[p].y); ++p; break;
      case PathOp::Line: cairo_line_to(cr, path.points[p].x, path.points[p].y); ++p; break;
      case PathOp::Bezier:
        cairo_curve_to(cr, path.points[p].x, path.points[p].y, path.points[p + 1].x, path.points[p + 1].y,
                       path.points[p + 2].x, path.points[p + 2].y);
        p += 3;
        break;
      case PathOp::Close: cairo_close_path(cr); break;
    }
  }
}

// The image's pixels as 0x00RRGGBB rows, top-down.
std::vector<std::uint32_t> ImagePixels(const DrawImage& img) {
  std::vector<std::uint32_t> out;
  const LONG stride = img.stride < 0 ? -img.stride : img.stride;
  if (img.width <= 0 || img.height <= 0 || img.bits.size() < static_cast<size_t>(stride) * img.height) return out;
  out.resize(static_cast<size_t>(img.width) * img.height);
  auto palette = [&](size_t i) -> std::uint32_t {
    COLORREF c = i < img.palette.size() ? img.palette[i] : 0;
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  };
  for (LONG y = 0; y < img.height; ++y) {
    const BYTE* row = img.bits.data() + static_cast<size_t>(y) * stride;
    for (LONG x = 0; x < img.width; ++x) {
      std::uint32_t v = 0;
      switch (img.format) {
        case BMF_1BPP: v = palette((row[x / 8] >> (7 - x % 8)) & 1); break;
        case BMF_4BPP: v = palette(x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0xF); break;
        case BMF_8BPP: v = palette(row[x]); break;
        case BMF_16BPP: {
          const unsigned c = row[2 * x] | (row[2 * x + 1] << 8);
          auto e = [](unsigned v5) { return (v5 << 3) | (v5 >> 2); };
          v = (e((c >> 10) & 31) << 16) | (e((c >> 5) & 31) << 8) | e(c & 31);
          break;
        }
        case BMF_24BPP: v = row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16); break;
        case BMF_32BPP: v = row[4 * x] | (row[4 * x + 1] << 8) | (row[4 * x + 2] << 16); break;
      }
      out[static_cast<size_t>(y) * img.width + x] = v;
    }
  }
  return out;
}

std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

std::uint32_t BrushAt(const DrawBrush& b, LONG x, LONG y, const std::vector<std::uint32_t>& pattern) {
  if (b.kind == BrushKind::Hatch) return Rgb(HatchBit(b.hatch, x, y) ? b.colour : b.background);
  if (b.kind == BrushKind::Pattern && !pattern.empty()) {
    const LONG w = b.pattern.width, h = b.pattern.height;
    return pattern[static_cast<size_t>(((y % h) + h) % h) * w + ((x % w) + w) % w];
  }
  return Rgb(b.colour);
}

std::uint32_t Rop3(BYTE rop, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t r = 0;
  for (int i = 0; i < 8; ++i)
    if (rop & (1 << i)) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  return r & 0xFFFFFF;
}

void SetSourceBrush(cairo_t* cr, const DrawBrush& brush, cairo_surface_t*& tile) {
  if (brush.kind == BrushKind::Solid || brush.kind == BrushKind::None) {
    SetReferenceColour(cr, brush.colour);
    return;
  }
  const LONG w = brush.kind == BrushKind::Hatch ? 8 : brush.pattern.width;
  const LONG h = brush.kind == BrushKind::Hatch ? 8 : brush.pattern.height;
  const std::vector<std::uint32_t> pattern = ImagePixels(brush.pattern);
  tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max<LONG>(w, 1), std::max<LONG>(h, 1));
  auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(tile));
  const int stride = cairo_image_surface_get_stride(tile) / 4;
  for (LONG y = 0; y < h; ++y)
    for (LONG x = 0; x < w; ++x) data[y * stride + x] = BrushAt(brush, x, y, pattern);
  cairo_surface_mark_dirty(tile);
  cairo_pattern_t* p = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

}  // namespace

void StrokeReferencePath(cairo_t* cr, const DrawCall& call) {
  SetReferenceColour(cr, call.pen.colour);
  cairo_set_line_width(cr, call.pen.geometric ? call.pen.width : 1.0);
  cairo_set_line_join(cr, call.pen.join == JOIN_ROUND ? CAIRO_LINE_JOIN_ROUND
                          : call.pen.join == JOIN_BEVEL ? CAIRO_LINE_JOIN_BEVEL : CAIRO_LINE_JOIN_MITER);
  cairo_set_line_cap(cr, call.pen.cap == ENDCAP_ROUND ? CAIRO_LINE_CAP_ROUND
                         : call.pen.cap == ENDCAP_SQUARE ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT);
  std::vector<double> dashes(call.pen.style.begin(), call.pen.style.end());
  cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
  cairo_new_path(cr);
  AddPath(cr, call.path);
  cairo_stroke(cr);
}

void FillReferencePath(cairo_t* cr, const DrawCall& call) {
  cairo_surface_t* tile = nullptr;
  SetSourceBrush(cr, call.brush, tile);
  cairo_set_fill_rule(cr, call.fillMode == FP_WINDINGMODE ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  cairo_new_path(cr);
  AddPath(cr, call.path);
  cairo_fill(cr);
  if (tile != nullptr) cairo_surface_destroy(tile);
}

namespace {

// FreeType faces of the renderer's texts still open. cairo keeps a font face, and the glyphs it
// rendered from it, in process-wide caches keyed by the FreeType face's address and past the
// drawing that made it; a face closed while cairo still knew it would hand a later face opened
// at the same address the closed one's glyphs. So each face stays open until cairo lets go of
// its font face, and the sandbox's reset empties cairo's font caches.
std::atomic<long> gOpenFaces{0};

void CloseFace(void* face) {
  FT_Done_Face(static_cast<FT_Face>(face));
  --gOpenFaces;
}

// cairo's font face for a face of the renderer's own; the face closes with it. NULL (and the
// face closed) when cairo cannot take it.
cairo_font_face_t* CairoFace(FT_Face face) {
  static const cairo_user_data_key_t kFaceKey{};
  ++gOpenFaces;
  cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
  if (cairo_font_face_status(cf) != CAIRO_STATUS_SUCCESS ||
      cairo_font_face_set_user_data(cf, &kFaceKey, face, &CloseFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(cf);
    CloseFace(face);
    return nullptr;
  }
  return cf;
}

// Empties cairo's process-wide caches, closing every face only they still held. Runs with the
// sandbox's reset, when no drawing of the renderer is under way.
void DropCairoCaches() { cairo_debug_reset_static_data(); }
const bool registeredReset = (SimAddResetHook(&DropCairoCaches), true);

void Text(cairo_t* cr, const DrawText& text) {
  FT_Face face = engine::OpenFace(text);
  if (face == nullptr) return;
  std::vector<engine::PlacedGlyph> placed;
  RECTL bounds{};
  engine::PlaceGlyphs(face, text, placed, bounds);
  if (text.opaque) {
    SetReferenceColour(cr, text.background);
    cairo_rectangle(cr, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
    cairo_fill(cr);
  }
  cairo_font_face_t* cf = CairoFace(face);
  if (cf == nullptr) return;
  if (text.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD)) cairo_ft_font_face_set_synthesize(cf, CAIRO_FT_SYNTHESIZE_BOLD);
  cairo_set_font_face(cr, cf);
  cairo_matrix_t font;
  cairo_matrix_init_scale(&font, text.emHeight, text.emHeight);
  if (FT_IS_SFNT(face) && text.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) font.xy = -engine::kItalicSlant * text.emHeight;
  if (const double angle = engine::EscapementRadians(text); angle != 0) {
    // Turned counter-clockwise on the page, where y grows downwards.
    cairo_matrix_t turn, turned;
    cairo_matrix_init_rotate(&turn, -angle);
    cairo_matrix_multiply(&turned, &font, &turn);
    font = turned;
  }
  cairo_set_font_matrix(cr, &font);
  // The outlines as they are, unhinted at the picture's scale, as a page printer draws them.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  std::vector<cairo_glyph_t> glyphs;
  for (const engine::PlacedGlyph& g : placed) glyphs.push_back({g.index, static_cast<double>(g.origin.x), static_cast<double>(g.origin.y)});
  SetReferenceColour(cr, text.colour);
  cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
  if (const RECTL line = engine::UnderlineRect(face, text, bounds); line.right > line.left) {
    cairo_rectangle(cr, line.left, line.top, line.right - line.left, line.bottom - line.top);
    cairo_fill(cr);
  }
  cairo_set_font_face(cr, nullptr);
  cairo_font_face_destroy(cf);
}

// A block transfer: the result of the ROP over the target rectangle, computed pixel by pixel
// against what the page holds, then painted through the clip.
void Blt(cairo_t* cr, cairo_surface_t* page, const DrawCall& call, double scale) {
  RECTL t = call.target;
  if (t.left > t.right) std::swap(t.left, t.right);
  if (t.top > t.bottom) std::swap(t.top, t.bottom);
  const LONG pw = cairo_image_surface_get_width(page), ph = cairo_image_surface_get_height(page);
  const LONG x0 = std::max<LONG>(0, std::lround(t.left * scale)), y0 = std::max<LONG>(0, std::lround(t.top * scale));
  const LONG x1 = std::min<LONG>(pw, std::lround(t.right * scale)), y1 = std::min<LONG>(ph, std::lround(t.bottom * scale));
  if (x0 >= x1 || y0 >= y1) return;
  const std::vector<std::uint32_t> src = ImagePixels(call.image);
  const std::vector<std::uint32_t> pattern = ImagePixels(call.brush.pattern);
  RECTL s = call.source;
  if (call.kind == DrawKind::BitBlt || call.kind == DrawKind::CopyBits)
    s = {s.left, s.top, s.left + t.right - t.left, s.top + t.bottom - t.top};
  cairo_surface_flush(page);
  const auto* pageData = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(page));
  const int pageStride = cairo_image_surface_get_stride(page) / 4;
  cairo_surface_t* result = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, x1 - x0, y1 - y0);
  auto* out = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(result));
  const int outStride = cairo_image_surface_get_stride(result) / 4;
  const BYTE rop = call.rop4 & 0xFF;
  for (LONG y = y0; y < y1; ++y) {
    for (LONG x = x0; x < x1; ++x) {
      const double dx = (x + 0.5) / scale - t.left, dy = (y + 0.5) / scale - t.top;
      const LONG sx = s.left + static_cast<LONG>(std::floor(dx * (s.right - s.left) / std::max<LONG>(1, t.right - t.left)));
      const LONG sy = s.top + static_cast<LONG>(std::floor(dy * (s.bottom - s.top) / std::max<LONG>(1, t.bottom - t.top)));
      bool inside = sx >= 0 && sy >= 0 && sx < call.image.width && sy < call.image.height && !src.empty();
      const std::uint32_t sv = inside ? src[static_cast<size_t>(sy) * call.image.width + sx] : 0;
      const std::uint32_t d = pageData[y * pageStride + x] & 0xFFFFFF;
      const std::uint32_t p = BrushAt(call.brush, static_cast<LONG>(x / scale), static_cast<LONG>(y / scale), pattern);
      const bool needsSource = ((rop >> 2) & 0x33) != (rop & 0x33);
      // Pixels whose source lies outside the image are left as they are.
      out[(y - y0) * outStride + (x - x0)] = (needsSource && !inside) ? 0 : 0xFF000000u | Rop3(rop, p, sv, d);
    }
  }
  cairo_surface_mark_dirty(result);
  cairo_save(cr);
  cairo_identity_matrix(cr);
  cairo_set_source_surface(cr, result, x0, y0);
  cairo_paint(cr);
  cairo_restore(cr);
  cairo_surface_destroy(result);
}

void ApplyClip(cairo_t* cr, const DrawClip& clip) {
  if (clip.kind == ClipKind::Rect) {
    cairo_rectangle(cr, clip.rect.left, clip.rect.top, clip.rect.right - clip.rect.left, clip.rect.bottom - clip.rect.top);
    cairo_clip(cr);
  } else if (clip.kind == ClipKind::Complex) {
    cairo_new_path(cr);
    AddPath(cr, clip.path);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(cr);
  }
}

}  // namespace

ReferenceImage RenderReferencePage(std::span<const DrawCall> calls, SIZEL pageSize, double scale) {
  const int w = std::max(1, static_cast<int>(std::lround(pageSize.cx * scale)));
  const int h = std::max(1, static_cast<int>(std::lround(pageSize.cy * scale)));
  cairo_surface_t* page = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(page);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  for (const DrawCall& call : calls) {
    cairo_save(cr);
    cairo_scale(cr, scale, scale);
    ApplyClip(cr, call.clip);
    switch (call.kind) {
      case DrawKind::StrokePath: StrokeReferencePath(cr, call); break;
      case DrawKind::FillPath: FillReferencePath(cr, call); break;
      case DrawKind::StrokeAndFillPath:
        FillReferencePath(cr, call);
        StrokeReferencePath(cr, call);
        break;
      case DrawKind::TextOut: Text(cr, call.text); break;
      default: Blt(cr, page, call, scale); break;
    }
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  ReferenceImage image = ReferenceImageFromCairo(page);
  cairo_surface_destroy(page);
  return image;
}

void SimDropReferenceFontCaches() { DropCairoCaches(); }

long SimLiveReferenceFaces() { return gOpenFaces.load(); }

BOOL EngineSavePageBitmap(EngineDc* dc, const std::string& hostPath) {
  SURFOBJ* so = EngineDcSurface(dc);
  if (so == nullptr) return FALSE;
  std::lock_guard<std::recursive_mutex> guard(engine::State().lock);
  engine::Surface* s = engine::Find(engine::State().surfaces, so);
  if (s == nullptr) return FALSE;
  const BYTE* bits = engine::PageBitmap(s);
  const ULONG mode = engine::SurfacePaletteMode(s);
  ReferenceImage image;
  image.width = so->sizlBitmap.cx;
  image.height = so->sizlBitmap.cy;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  const size_t stride = ((static_cast<size_t>(image.width) * 24 + 31) / 32) * 4;
  for (LONG y = 0; y < image.height; ++y)
    for (LONG x = 0; x < image.width; ++x) {
      const BYTE* p = bits + y * stride + 3 * x;
      image.pixels[static_cast<size_t>(y) * image.width + x] = Rgb(engine::DeviceToRgb(p[0] | (p[1] << 8) | (p[2] << 16), mode));
    }
  return SaveReferencePng(image, hostPath);
}
