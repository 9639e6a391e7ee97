#include "tools/spoolview/glyph_render.h"

#include <cmath>
#include <cstring>

#include "platform/base/byte_order.h"

namespace {

constexpr BYTE kOutlineKind = 1;
constexpr DWORD kBitmapKind = 2;
constexpr size_t kOutlineHead = 16;
constexpr size_t kBitmapHead = 22;
constexpr BYTE kOpStart = 1, kOpLine = 2, kOpBezier = 4, kOpClose = 5, kOpEnd = 6;
constexpr BYTE kBoldBias = 8;
constexpr float kLargest = 1e6f;

float F32At(const BYTE* p) {
  const DWORD bits = GetLE32(p);
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

bool Sane(float v) { return std::isfinite(v) && std::fabs(v) <= kLargest; }

bool ReadOutline(std::span<const BYTE> record, DWORD size, ViewedGlyph* g) {
  const WORD points = GetLE16(record.data() + 12), ops = GetLE16(record.data() + 14);
  const size_t need = kOutlineHead + size_t{points} * 8 + (size_t{ops} + 1) / 2;
  if (need > size) return false;
  g->bitmap = false;
  g->bold = record[1];
  g->points.resize(size_t{points} * 2);
  for (size_t i = 0; i < g->points.size(); ++i) {
    g->points[i] = F32At(record.data() + kOutlineHead + 4 * i);
    if (!Sane(g->points[i])) return false;
  }
  const BYTE* codes = record.data() + kOutlineHead + size_t{points} * 8;
  g->ops.resize(ops);
  size_t used = 0;
  for (size_t i = 0; i < ops; ++i) {
    const BYTE op = i % 2 == 0 ? codes[i / 2] >> 4 : codes[i / 2] & 0x0F;
    g->ops[i] = op;
    used += op == kOpStart || op == kOpLine ? 1 : op == kOpBezier ? 3 : 0;
  }
  return used <= points;
}

bool ReadBitmap(std::span<const BYTE> record, DWORD size, ViewedGlyph* g) {
  g->bitmap = true;
  g->originX = F32At(record.data() + 8);
  g->originY = F32At(record.data() + 12);
  g->rows = GetLE16(record.data() + 16);
  g->width = GetLE16(record.data() + 18);
  g->rowBytes = record[20];
  if (!Sane(g->originX) || !Sane(g->originY) || g->rowBytes < (size_t{g->width} + 7) / 8) return false;
  const size_t data = size_t{g->rowBytes} * g->rows;
  if (kBitmapHead + data > size) return false;
  g->bits.assign(record.data() + kBitmapHead, record.data() + kBitmapHead + data);
  return true;
}

void AddOutline(cairo_t* cr, const ViewedGlyph& g, double x, double y) {
  size_t p = 0;
  auto px = [&](size_t i) { return x + g.points[2 * i]; };
  auto py = [&](size_t i) { return y + g.points[2 * i + 1]; };
  for (BYTE op : g.ops) {
    switch (op) {
      case kOpStart: cairo_move_to(cr, px(p), py(p)), ++p; break;
      case kOpLine:
        if (cairo_has_current_point(cr)) cairo_line_to(cr, px(p), py(p));
        else cairo_move_to(cr, px(p), py(p));
        ++p;
        break;
      case kOpBezier:
        if (!cairo_has_current_point(cr)) cairo_move_to(cr, px(p), py(p));
        cairo_curve_to(cr, px(p), py(p), px(p + 1), py(p + 1), px(p + 2), py(p + 2));
        p += 3;
        break;
      case kOpClose: cairo_close_path(cr); break;
      case kOpEnd: return;
      default: break;
    }
  }
}

void MaskBitmap(cairo_t* cr, const ViewedGlyph& g, double x, double y) {
  if (g.width == 0 || g.rows == 0) return;
  cairo_surface_t* mask = cairo_image_surface_create(CAIRO_FORMAT_A8, g.width, g.rows);
  if (cairo_surface_status(mask) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(mask);
    return;
  }
  cairo_surface_flush(mask);
  BYTE* data = cairo_image_surface_get_data(mask);
  const int stride = cairo_image_surface_get_stride(mask);
  for (int row = 0; row < g.rows; ++row)
    for (int col = 0; col < g.width; ++col)
      data[row * stride + col] = (g.bits[size_t(row) * g.rowBytes + col / 8] >> (7 - col % 8)) & 1 ? 0xFF : 0;
  cairo_surface_mark_dirty(mask);
  cairo_mask_surface(cr, mask, x + g.originX, y + g.originY);
  cairo_surface_destroy(mask);
}

}  // namespace

bool ReadGlyphRecord(std::span<const BYTE> record, ViewedGlyph* glyph) {
  if (record.size() < 8 || glyph == nullptr) return false;
  const DWORD size = GetLE32(record.data() + 4);
  if (size > record.size()) return false;
  if (record[0] == kOutlineKind && size >= kOutlineHead) return ReadOutline(record, size, glyph);
  if (GetLE32(record.data()) == kBitmapKind && size >= kBitmapHead) return ReadBitmap(record, size, glyph);
  return false;
}

void DrawViewedGlyph(cairo_t* cr, const ViewedGlyph& glyph, double x, double y) {
  cairo_path_t* saved = cairo_copy_path(cr);
  cairo_new_path(cr);
  if (glyph.bitmap) {
    MaskBitmap(cr, glyph, x, y);
  } else {
    AddOutline(cr, glyph, x, y);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    if (glyph.bold > kBoldBias) {
      cairo_fill_preserve(cr);
      cairo_set_line_width(cr, glyph.bold - kBoldBias);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_set_dash(cr, nullptr, 0, 0);
      cairo_stroke(cr);
    } else {
      cairo_fill(cr);
    }
  }
  cairo_new_path(cr);
  if (saved->status == CAIRO_STATUS_SUCCESS) cairo_append_path(cr, saved);
  cairo_path_destroy(saved);
}
