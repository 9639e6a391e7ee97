// PNG files of pictures (png_images.h) and the pictures of DCs and bitmaps (gdi_sim.h).
#include "platform/gdi/png_images.h"

#include <cairo.h>

#include <cstdlib>

#include "platform/gdi/gdi_sim.h"
#include "platform/gdi/raster.h"

ReferenceImage ReferenceImageFromCairo(cairo_surface_t* s) {
  ReferenceImage image;
  cairo_surface_flush(s);
  image.width = cairo_image_surface_get_width(s);
  image.height = cairo_image_surface_get_height(s);
  const auto* data = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(s));
  const int stride = cairo_image_surface_get_stride(s) / 4;
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (LONG y = 0; y < image.height; ++y)
    for (LONG x = 0; x < image.width; ++x) image.pixels[static_cast<size_t>(y) * image.width + x] = data[y * stride + x] & 0xFFFFFF;
  return image;
}

BOOL SaveReferencePng(const ReferenceImage& image, const std::string& hostPath) {
  if (image.width <= 0 || image.height <= 0 || image.pixels.size() != static_cast<size_t>(image.width) * image.height)
    return FALSE;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
  auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s));
  const int stride = cairo_image_surface_get_stride(s) / 4;
  for (LONG y = 0; y < image.height; ++y)
    for (LONG x = 0; x < image.width; ++x) data[y * stride + x] = image.pixels[static_cast<size_t>(y) * image.width + x];
  cairo_surface_mark_dirty(s);
  const bool ok = cairo_surface_write_to_png(s, hostPath.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(s);
  return ok;
}

BOOL LoadReferencePng(const std::string& hostPath, ReferenceImage& image) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(hostPath.c_str());
  const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS;
  if (ok) image = ReferenceImageFromCairo(s);
  cairo_surface_destroy(s);
  return ok;
}

double CompareReferenceImages(const ReferenceImage& a, const ReferenceImage& b, int tolerance) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size() || a.pixels.empty()) return 1.0;
  size_t differing = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      if (std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) - static_cast<int>((b.pixels[i] >> shift) & 0xFF)) > tolerance) {
        ++differing;
        break;
      }
    }
  }
  return static_cast<double>(differing) / a.pixels.size();
}

BOOL SimSavePng(HGDIOBJ object, const std::string& hostPath) {
  using namespace gdi;
  ReferenceImage image;
  {
    std::lock_guard guard(Lock());
    RECT area{};
    SourceImage source;
    if (Bitmap* b = Find<Bitmap>(object)) {
      source = SourceImage{b->Row(0), b->bottomUp ? -static_cast<std::ptrdiff_t>(b->width) : b->width, b->width, b->height};
      area = RECT{0, 0, b->width, b->height};
    } else if (Dc* dc = Find<Dc>(object)) {
      Dc bare = *dc;
      bare.state.hasClip = false;  // the whole drawable part, whatever the DC's own clip
      Target t;
      if (!TargetOf(bare, t) || t.clip.empty()) return FALSE;
      source = SourceImage{t.top, t.stride, t.width, t.height};
      area = t.clip[0];
    } else {
      return FALSE;
    }
    image.width = area.right - area.left;
    image.height = area.bottom - area.top;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (LONG y = 0; y < image.height; ++y)
      for (LONG x = 0; x < image.width; ++x)
        image.pixels[static_cast<size_t>(y) * image.width + x] = source.top[(area.top + y) * source.stride + area.left + x] & 0xFFFFFF;
  }
  return SaveReferencePng(image, hostPath);
}

double SimComparePng(const std::string& picture, const std::string& fixture, int channelTolerance) {
  ReferenceImage a, b;
  if (!LoadReferencePng(picture, a) || !LoadReferencePng(fixture, b)) return 1.0;
  return CompareReferenceImages(a, b, channelTolerance);
}
