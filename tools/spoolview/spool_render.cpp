#include "tools/spoolview/spool_render.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "outside/drawlib/drawlib_stream.h"
#include "platform/base/byte_order.h"
#include "tools/spoolview/glyph_render.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLargest = 1e6;  // coordinates beyond this are refused as nonsense

struct Rgb {
  double r = 0, g = 0, b = 0;
};

bool Sane(double v) { return std::isfinite(v) && std::fabs(v) <= kLargest; }
template <typename... T>
bool Sane(double v, T... rest) {
  return Sane(v) && Sane(rest...);
}

// Colour bytes of a space: one grey byte, or red, green, blue.
Rgb ReadColor(PayloadReader& r, WORD space) {
  Rgb c;
  if (space == 3) {
    c.r = c.g = c.b = r.U8() / 255.0;
  } else if (space == 4) {
    c.r = r.U8() / 255.0;
    c.g = r.U8() / 255.0;
    c.b = r.U8() / 255.0;
  }
  return c;
}

std::uint32_t Argb(const Rgb& c) {
  return 0xFF000000u | (static_cast<std::uint32_t>(std::lround(c.r * 255)) << 16) |
         (static_cast<std::uint32_t>(std::lround(c.g * 255)) << 8) | static_cast<std::uint32_t>(std::lround(c.b * 255));
}

// A repeating pattern of ARGB pixels with its origin at (x, y).
cairo_pattern_t* TilePattern(const std::vector<std::uint32_t>& pixels, int width, int height, double x, double y,
                             bool repeat) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return nullptr;
  }
  cairo_surface_flush(surface);
  BYTE* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int row = 0; row < height; ++row)
    std::memcpy(data + static_cast<size_t>(row) * stride, pixels.data() + static_cast<size_t>(row) * width,
                static_cast<size_t>(width) * 4);
  cairo_surface_mark_dirty(surface);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(surface);
  cairo_surface_destroy(surface);
  cairo_pattern_set_extend(pattern, repeat ? CAIRO_EXTEND_REPEAT : CAIRO_EXTEND_NONE);
  cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
  cairo_matrix_t m;
  cairo_matrix_init_translate(&m, -x, -y);
  cairo_pattern_set_matrix(pattern, &m);
  return pattern;
}

class PageRenderer {
 public:
  PageRenderer(WORD width, WORD height, const SpoolRenderOptions& options) : options_(options) {
    const double longest = std::max<double>(std::max(width, height), 1);
    scale_ = std::min(options.scale, options.maxSide / longest);
    const int w = std::max(1, static_cast<int>(std::ceil(width * scale_)));
    const int h = std::max(1, static_cast<int>(std::ceil(height * scale_)));
    surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cr_ = cairo_create(surface_);
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_paint(cr_);
    cairo_scale(cr_, scale_, scale_);
    cairo_set_line_width(cr_, 1);
  }
  ~PageRenderer() {
    if (fill_ != nullptr) cairo_pattern_destroy(fill_);
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  PageRenderer(const PageRenderer&) = delete;
  PageRenderer& operator=(const PageRenderer&) = delete;

  ReferenceImage Picture() {
    cairo_surface_flush(surface_);
    ReferenceImage image;
    image.width = cairo_image_surface_get_width(surface_);
    image.height = cairo_image_surface_get_height(surface_);
    const BYTE* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (LONG y = 0; y < image.height; ++y)
      for (LONG x = 0; x < image.width; ++x) {
        std::uint32_t v;
        std::memcpy(&v, data + static_cast<size_t>(y) * stride + 4 * static_cast<size_t>(x), 4);
        image.pixels[static_cast<size_t>(y) * image.width + x] = v & 0xFFFFFF;
      }
    return image;
  }

  void Apply(const SpoolRecord& record);

 private:
  void SetFill(cairo_pattern_t* pattern) {
    if (fill_ != nullptr) cairo_pattern_destroy(fill_);
    fill_ = pattern;
  }
  void UseFill() {
    if (fill_ != nullptr) cairo_set_source(cr_, fill_);
    else cairo_set_source_rgb(cr_, fillColor_.r, fillColor_.g, fillColor_.b);
  }
  void ApplyPen() {
    cairo_set_line_width(cr_, std::max(lineWidth_, 1.0 / scale_));
    cairo_set_line_cap(cr_, lineCap_ == 0 ? CAIRO_LINE_CAP_ROUND : lineCap_ == 1 ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, lineJoin_ == 0 ? CAIRO_LINE_JOIN_ROUND : lineJoin_ == 1 ? CAIRO_LINE_JOIN_BEVEL : CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr_, miterLimit_ >= 1 ? miterLimit_ : 10);
    if (dashes_.empty()) cairo_set_dash(cr_, nullptr, 0, 0);
    else cairo_set_dash(cr_, dashes_.data(), static_cast<int>(dashes_.size()), dashOffset_);
    cairo_set_source_rgb(cr_, strokeColor_.r, strokeColor_.g, strokeColor_.b);
  }
  // Fills and strokes the current path by the draw mode; keep: the path stays afterwards.
  void Draw(bool closedShape) {
    cairo_set_fill_rule(cr_, fillMode_ == kVrFillAlternate ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    const bool fill = closedShape && (drawMode_ == kVrDrawFill || drawMode_ == kVrDrawBoth);
    const bool stroke = drawMode_ == kVrDrawStroke || drawMode_ == kVrDrawBoth || !closedShape;
    if (fill) {
      UseFill();
      cairo_fill_preserve(cr_);
    }
    if (stroke) {
      ApplyPen();
      cairo_stroke_preserve(cr_);
    }
  }
  // Draws a shape without disturbing the path being built.
  template <typename F>
  void DrawShape(F addShape, bool closedShape) {
    cairo_path_t* saved = cairo_copy_path(cr_);
    cairo_new_path(cr_);
    addShape();
    Draw(closedShape);
    cairo_new_path(cr_);
    if (saved->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr_, saved);
    cairo_path_destroy(saved);
  }
  void AddArc(double cx, double cy, double rx, double ry, double start, double sweep) {
    if (rx <= 0 || ry <= 0) return;
    sweep = std::clamp(sweep, -360.0, 360.0);
    cairo_save(cr_);
    cairo_translate(cr_, cx, cy);
    cairo_scale(cr_, rx, ry);
    const double a0 = start * kPi / 180, a1 = (start + sweep) * kPi / 180;
    if (sweep >= 0) cairo_arc(cr_, 0, 0, 1, a0, a1);
    else cairo_arc_negative(cr_, 0, 0, 1, a0, a1);
    cairo_restore(cr_);
  }
  void SetLineType(WORD kind, float offset, const std::vector<double>& given) {
    static const std::vector<double> kKinds[] = {{}, {}, {18, 6}, {3, 3}, {9, 6, 3, 6}, {9, 3, 3, 3, 3, 3}};
    dashes_ = kind == 6 ? given : kind < 6 ? kKinds[kind] : std::vector<double>{};
    double sum = 0;
    for (double d : dashes_) {
      if (d < 0 || !Sane(d)) sum = -1e9;
      sum += d;
    }
    if (sum <= 0) dashes_.clear();
    dashOffset_ = Sane(offset) ? offset : 0;
  }
  void DrawImage(PayloadReader& r, bool mask);

  const SpoolRenderOptions& options_;
  double scale_ = 1;
  cairo_surface_t* surface_;
  cairo_t* cr_;
  Rgb strokeColor_, fillColor_;
  cairo_pattern_t* fill_ = nullptr;
  double lineWidth_ = 1, miterLimit_ = 10, dashOffset_ = 0;
  std::vector<double> dashes_;
  WORD lineCap_ = 2, lineJoin_ = 2, fillMode_ = 2, drawMode_ = kVrDrawFill;
};

void PageRenderer::DrawImage(PayloadReader& r, bool mask) {
  const float x = r.F32(), y = r.F32();
  double m[6];
  for (double& v : m) v = r.F32();
  const WORD width = r.U16(), height = r.U16();
  const size_t pixels = static_cast<size_t>(width) * height;
  if (r.failed() || pixels == 0 || pixels > static_cast<size_t>(options_.maxImagePixels) || !Sane(x, y) ||
      !Sane(m[0], m[1], m[2], m[3], m[4], m[5]))
    return;
  std::vector<std::uint32_t> argb(pixels, 0);
  if (mask) {
    const bool polarity = r.U32() != 0;
    const DWORD length = r.U32();
    const std::span<const BYTE> data = r.Bytes(length);
    const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
    if (r.failed() || data.size() < rowBytes * height) return;
    const std::uint32_t color = Argb(fillColor_);
    for (size_t row = 0; row < height; ++row)
      for (size_t col = 0; col < width; ++col) {
        const bool bit = (data[row * rowBytes + col / 8] >> (7 - col % 8)) & 1;
        if (bit == polarity) argb[row * width + col] = color;
      }
  } else {
    const DWORD maskFlag = r.U32();
    r.U32();
    const DWORD maskLength = r.U32();
    r.U32();
    const WORD format = r.U16();
    r.U16();
    r.U16();
    const WORD tableLength = r.U16();
    const std::span<const BYTE> table = r.Bytes(tableLength);
    r.U16();
    const WORD bits = r.U16(), encoding = r.U16();
    const DWORD imageLength = r.U32();
    const std::span<const BYTE> maskData = r.Bytes(maskLength);
    const std::span<const BYTE> data = r.Bytes(imageLength);
    if (r.failed()) return;
    const bool indexed = format == 10 || format == 11;
    const int components = format == 4 ? 3 : 1;
    const int sampleBits = indexed ? bits : 8;
    const size_t rowBytes = (static_cast<size_t>(sampleBits) * components * width + 7) / 8;
    const size_t maskRow = (static_cast<size_t>(width) + 7) / 8;
    const bool plain = encoding == 1 && (format == 3 || format == 4 || indexed) &&
                       (sampleBits == 1 || sampleBits == 4 || sampleBits == 8) && data.size() >= rowBytes * height;
    for (size_t row = 0; row < height; ++row)
      for (size_t col = 0; col < width; ++col) {
        if (maskFlag != 0 && maskData.size() >= maskRow * height &&
            !((maskData[row * maskRow + col / 8] >> (7 - col % 8)) & 1))
          continue;
        std::uint32_t v = 0xFF808080;
        if (plain) {
          const BYTE* p = data.data() + row * rowBytes;
          if (format == 4) {
            v = 0xFF000000u | (p[3 * col + 2] << 16) | (p[3 * col + 1] << 8) | p[3 * col];
          } else {
            DWORD sample = p[col];
            if (sampleBits == 1) sample = (p[col / 8] >> (7 - col % 8)) & 1;
            if (sampleBits == 4) sample = col % 2 == 0 ? p[col / 2] >> 4 : p[col / 2] & 0xF;
            if (format == 3) {
              v = 0xFF000000u | sample * 0x010101u;
            } else if (format == 10) {
              v = sample < table.size() ? 0xFF000000u | table[sample] * 0x010101u : 0xFF000000u;
            } else {
              v = 3 * sample + 2 < table.size()
                      ? 0xFF000000u | (table[3 * sample + 2] << 16) | (table[3 * sample + 1] << 8) | table[3 * sample]
                      : 0xFF000000u;
            }
          }
        }
        argb[row * width + col] = v;
      }
  }
  cairo_pattern_t* pattern = TilePattern(argb, width, height, 0, 0, false);
  if (pattern == nullptr) return;
  cairo_matrix_t toSource, shift, total;
  cairo_matrix_init(&toSource, m[0], m[1], m[2], m[3], m[4], m[5]);
  cairo_matrix_init_translate(&shift, -x, -y);
  cairo_matrix_multiply(&total, &shift, &toSource);
  cairo_matrix_t back = total;
  if (cairo_matrix_invert(&back) == CAIRO_STATUS_SUCCESS) {
    cairo_pattern_set_matrix(pattern, &total);
    cairo_save(cr_);
    cairo_new_path(cr_);
    const double corners[4][2] = {{0, 0}, {static_cast<double>(width), 0}, {static_cast<double>(width), static_cast<double>(height)}, {0, static_cast<double>(height)}};
    for (int i = 0; i < 4; ++i) {
      double cx = corners[i][0], cy = corners[i][1];
      cairo_matrix_transform_point(&back, &cx, &cy);
      if (i == 0) cairo_move_to(cr_, cx, cy);
      else cairo_line_to(cr_, cx, cy);
    }
    cairo_close_path(cr_);
    cairo_set_source(cr_, pattern);
    cairo_fill(cr_);
    cairo_restore(cr_);
  }
  cairo_pattern_destroy(pattern);
}

void PageRenderer::Apply(const SpoolRecord& record) {
  PayloadReader r(record.payload);
  switch (record.slot) {
    case kVrSetAxis: {
      double a[6];
      for (double& v : a) v = r.F32();
      const double det = a[0] * a[3] - a[1] * a[2];
      if (r.failed() || !Sane(det) || det == 0) break;
      // The axis maps the drawing's coordinates onto the sheet: it carries pens, paths, clips
      // and images alike.
      cairo_matrix_t axis, page, total;
      cairo_matrix_init(&axis, a[0], a[1], a[2], a[3], a[4], a[5]);
      cairo_matrix_init_scale(&page, scale_, scale_);
      cairo_matrix_multiply(&total, &axis, &page);
      cairo_set_matrix(cr_, &total);
      break;
    }
    case kVrInitClip:
      cairo_reset_clip(cr_);
      break;
    case kVrSetRectangleClip: {
      r.U16();
      const double x0 = r.I32(), y0 = r.I32(), x1 = r.I32(), y1 = r.I32();
      if (r.failed()) break;
      cairo_path_t* saved = cairo_copy_path(cr_);
      cairo_new_path(cr_);
      cairo_rectangle(cr_, std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0));
      cairo_clip(cr_);
      if (saved->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr_, saved);
      cairo_path_destroy(saved);
      break;
    }
    case kVrClipPath:
      cairo_set_fill_rule(cr_, fillMode_ == kVrFillAlternate ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
      cairo_clip(cr_);
      break;
    case kVrSetLineWidth: {
      const float w = r.F32();
      if (!r.failed() && Sane(w) && w >= 0) lineWidth_ = w;
      break;
    }
    case kVrSetLineCap:
      lineCap_ = r.U16();
      break;
    case kVrSetLineJoin:
      lineJoin_ = r.U16();
      break;
    case kVrSetMiterLimit: {
      const float v = r.F32();
      if (Sane(v)) miterLimit_ = v;
      break;
    }
    case kVrSetLineType: {
      const WORD kind = r.U16();
      const float offset = r.F32();
      const WORD n = r.U16();
      std::vector<double> dashes;
      for (WORD i = 0; i < n && !r.failed(); ++i) dashes.push_back(r.F32());
      if (!r.failed()) SetLineType(kind, offset, dashes);
      break;
    }
    case kVrSetFillMode:
      fillMode_ = r.U16();
      break;
    case kVrSetDrawMode:
      drawMode_ = r.U16();
      break;
    case kVrSetSolidColor: {
      const WORD kind = r.U16(), space = r.U16();
      const Rgb c = ReadColor(r, space);
      if (r.failed() || (space != 3 && space != 4)) break;
      if (kind == kVrColorStroke) {
        strokeColor_ = c;
      } else {
        fillColor_ = c;
        SetFill(nullptr);
        if (kind != kVrColorFill) strokeColor_ = c;
      }
      break;
    }
    case kVrSetHatchPattern: {
      const LONG x = r.I32(), y = r.I32();
      const WORD style = r.U16(), space1 = r.U16(), space2 = r.U16();
      r.U32();
      const Rgb c1 = ReadColor(r, space1), c2 = ReadColor(r, space2);
      const bool opaque = r.U16() == kVrOpaqueBackground;
      if (r.failed()) break;
      std::vector<std::uint32_t> cell(64, opaque ? Argb(c2) : 0);
      for (int py = 0; py < 8; ++py)
        for (int px = 0; px < 8; ++px) {
          const bool on = (style == 0 && py == 4) || (style == 1 && px == 4) || (style == 2 && px == py) ||
                          (style == 3 && px == 7 - py) || (style == 4 && (px == 4 || py == 4)) ||
                          (style >= 5 && (px == py || px == 7 - py));
          if (on) cell[py * 8 + px] = Argb(c1);
        }
      SetFill(TilePattern(cell, 8, 8, x, y, true));
      break;
    }
    case kVrSetMaskPattern: {
      const LONG x = r.I32(), y = r.I32();
      r.U16();
      const WORD space1 = r.U16(), space2 = r.U16();
      r.U32();
      const Rgb c1 = ReadColor(r, space1), c2 = ReadColor(r, space2);
      const bool opaque = r.U16() == kVrOpaqueBackground;
      const WORD w = r.U16(), h = r.U16();
      const size_t rowBytes = (static_cast<size_t>(w) + 7) / 8;
      const std::span<const BYTE> bits = r.Bytes(rowBytes * h);
      if (r.failed() || w == 0 || h == 0 || static_cast<size_t>(w) * h > static_cast<size_t>(options_.maxImagePixels))
        break;
      std::vector<std::uint32_t> cell(static_cast<size_t>(w) * h, opaque ? Argb(c2) : 0);
      for (size_t py = 0; py < h; ++py)
        for (size_t px = 0; px < w; ++px)
          if ((bits[py * rowBytes + px / 8] >> (7 - px % 8)) & 1) cell[py * w + px] = Argb(c1);
      SetFill(TilePattern(cell, w, h, x, y, true));
      break;
    }
    case kVrSetRasterPattern: {
      const LONG x = r.I32(), y = r.I32();
      r.U16();
      const WORD space = r.U16(), bits = r.U16(), w = r.U16(), h = r.U16();
      r.U16();
      const DWORD length = r.U32();
      const std::span<const BYTE> data = r.Bytes(length);
      const int components = space == 4 ? 3 : 1;
      const size_t rowBytes = (static_cast<size_t>(w) * components * 8 + 7) / 8;
      if (r.failed() || bits != 8 || w == 0 || h == 0 ||
          static_cast<size_t>(w) * h > static_cast<size_t>(options_.maxImagePixels) || data.size() < rowBytes * h)
        break;
      std::vector<std::uint32_t> cell(static_cast<size_t>(w) * h);
      for (size_t py = 0; py < h; ++py)
        for (size_t px = 0; px < w; ++px) {
          const BYTE* p = data.data() + py * rowBytes + px * components;
          cell[py * w + px] = components == 3 ? 0xFF000000u | (p[0] << 16) | (p[1] << 8) | p[2] : 0xFF000000u | p[0] * 0x010101u;
        }
      SetFill(TilePattern(cell, w, h, x, y, true));
      break;
    }
    case kVrInitPath:
      cairo_new_path(cr_);
      break;
    case kVrClosePath:
      cairo_close_path(cr_);
      break;
    case kVrDrawPath:
      Draw(true);
      cairo_new_path(cr_);
      break;
    case kVrMovePoint: {
      const float x = r.F32(), y = r.F32();
      if (!r.failed() && Sane(x, y)) cairo_move_to(cr_, x, y);
      break;
    }
    case kVrAddLinePath:
    case kVrAddBezierPath: {
      const WORD n = r.U16();
      const int per = record.slot == kVrAddLinePath ? 1 : 3;
      for (DWORD i = 0; i < n; ++i) {
        double p[6];
        for (int k = 0; k < 2 * per; ++k) p[k] = r.F32();
        if (r.failed()) break;
        bool sane = true;
        for (int k = 0; k < 2 * per; ++k) sane = sane && Sane(p[k]);
        if (!sane) continue;
        if (per == 1) {
          if (cairo_has_current_point(cr_)) cairo_line_to(cr_, p[0], p[1]);
          else cairo_move_to(cr_, p[0], p[1]);
        } else {
          if (!cairo_has_current_point(cr_)) cairo_move_to(cr_, p[0], p[1]);
          cairo_curve_to(cr_, p[0], p[1], p[2], p[3], p[4], p[5]);
        }
      }
      break;
    }
    case kVrAddRectanglePath: {
      const float w = r.F32(), h = r.F32();
      double x = 0, y = 0;
      if (r.failed() || !Sane(w, h)) break;
      if (cairo_has_current_point(cr_)) cairo_get_current_point(cr_, &x, &y);
      cairo_rectangle(cr_, x, y, w, h);
      break;
    }
    case kVrAddEllipseArcPath:
    case kVrAddEllipseChordPath:
    case kVrAddEllipsePiePath:
    case kVrDrawEllipseArc:
    case kVrDrawEllipseChord:
    case kVrDrawEllipsePie:
    case kVrDrawCircleArc:
    case kVrDrawCirclePie: {
      const bool circle = record.slot == kVrDrawCircleArc || record.slot == kVrDrawCirclePie;
      double v[6];
      for (int i = 0; i < (circle ? 5 : 6); ++i) v[i] = r.F32();
      if (circle) {
        v[5] = v[4];
        v[4] = v[3];
        v[3] = v[2];
      }
      if (r.failed() || !Sane(v[0], v[1], v[2], v[3], v[4], v[5])) break;
      const bool pie = record.slot == kVrAddEllipsePiePath || record.slot == kVrDrawEllipsePie || record.slot == kVrDrawCirclePie;
      const bool chord = record.slot == kVrAddEllipseChordPath || record.slot == kVrDrawEllipseChord;
      const bool full = std::fabs(v[5]) >= 360;
      auto add = [&] {
        if (pie) cairo_move_to(cr_, v[0], v[1]);
        else if (cairo_has_current_point(cr_)) cairo_new_sub_path(cr_);
        AddArc(v[0], v[1], v[2], v[3], v[4], v[5]);
        if (pie || chord || full) cairo_close_path(cr_);
      };
      const bool drawn = record.slot == kVrDrawEllipseArc || record.slot == kVrDrawEllipseChord ||
                         record.slot == kVrDrawEllipsePie || record.slot == kVrDrawCircleArc || record.slot == kVrDrawCirclePie;
      if (drawn) DrawShape(add, pie || chord || full);
      else add();
      break;
    }
    case kVrAddRoundRectanglePath:
    case kVrDrawRoundRectangle: {
      double v[6];
      for (double& e : v) e = r.F32();
      if (r.failed() || !Sane(v[0], v[1], v[2], v[3], v[4], v[5])) break;
      auto add = [&] {
        const double l = std::min(v[0], v[2]), t = std::min(v[1], v[3]), rr = std::max(v[0], v[2]), b = std::max(v[1], v[3]);
        const double rx = std::min(std::fabs(v[4]), (rr - l) / 2), ry = std::min(std::fabs(v[5]), (b - t) / 2);
        cairo_new_sub_path(cr_);
        AddArc(rr - rx, t + ry, rx, ry, -90, 90);
        AddArc(rr - rx, b - ry, rx, ry, 0, 90);
        AddArc(l + rx, b - ry, rx, ry, 90, 90);
        AddArc(l + rx, t + ry, rx, ry, 180, 90);
        if (rx <= 0 || ry <= 0) cairo_rectangle(cr_, l, t, rr - l, b - t);
        cairo_close_path(cr_);
      };
      if (record.slot == kVrDrawRoundRectangle) DrawShape(add, true);
      else add();
      break;
    }
    case kVrDrawRectangle: {
      const float x0 = r.F32(), y0 = r.F32(), x1 = r.F32(), y1 = r.F32();
      if (r.failed() || !Sane(x0, y0, x1, y1)) break;
      DrawShape([&] { cairo_rectangle(cr_, std::min(x0, x1), std::min(y0, y1), std::fabs(x1 - x0), std::fabs(y1 - y0)); },
                true);
      break;
    }
    case kVrDrawLine:
    case kVrDrawBezier: {
      const WORD n = r.U16();
      const bool bezier = record.slot == kVrDrawBezier;
      const DWORD values = bezier ? 2 + 6u * n : 2u * n + 2;
      std::vector<double> v(values);
      for (double& e : v) e = r.F32();
      if (r.failed()) break;
      for (double e : v)
        if (!Sane(e)) return;
      DrawShape(
          [&] {
            cairo_move_to(cr_, v[0], v[1]);
            for (size_t i = 2; i + (bezier ? 5 : 1) < v.size(); i += bezier ? 6 : 2) {
              if (bezier) cairo_curve_to(cr_, v[i], v[i + 1], v[i + 2], v[i + 3], v[i + 4], v[i + 5]);
              else cairo_line_to(cr_, v[i], v[i + 1]);
            }
          },
          false);
      break;
    }
    case kVrDrawImageMask:
      DrawImage(r, true);
      break;
    case kVrDrawImage:
      DrawImage(r, false);
      break;
    case kVrDrawDataFont: {
      const float x = r.F32(), y = r.F32();
      r.U32();  // the font and character code: the record alone draws the glyph
      const std::span<const BYTE> record = r.Bytes(r.remaining());
      ViewedGlyph glyph;
      if (r.failed() || !Sane(x, y) || !ReadGlyphRecord(record, &glyph)) break;
      UseFill();
      DrawViewedGlyph(cr_, glyph, x, y);
      break;
    }
    default:
      break;
  }
}

}  // namespace

std::vector<ReferenceImage> RenderSpoolPages(const SpoolScan& scan, const SpoolRenderOptions& options) {
  std::vector<ReferenceImage> pages;
  std::unique_ptr<PageRenderer> page;
  for (const SpoolRecord& record : scan.records) {
    if (record.slot == kVrStartPage) {
      if (page != nullptr) pages.push_back(page->Picture());
      PayloadReader r(record.payload);
      const std::span<const BYTE> size = r.Bytes(20);
      if (r.failed()) {
        page.reset();
        continue;
      }
      page = std::make_unique<PageRenderer>(GetLE16(size.data() + 6), GetLE16(size.data() + 8), options);
    } else if (record.slot == kVrEndPage) {
      if (page != nullptr) pages.push_back(page->Picture());
      page.reset();
    } else if (page != nullptr) {
      page->Apply(record);
    }
  }
  if (page != nullptr) pages.push_back(page->Picture());
  return pages;
}
