// Pictures as PNG files: 32-bit images (0x00RRGGBB, rows top-down) read from and written to PNG,
// and the comparison of two pictures within a tolerance. The engine's reference pages and the
// DCs' and bitmaps' pictures (gdi_sim.h) are kept and compared this way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"

struct ReferenceImage {
  LONG width = 0;
  LONG height = 0;
  std::vector<std::uint32_t> pixels;
};

// The pixels of a cairo image surface (ARGB32 or RGB24) as a picture, the alpha byte dropped.
struct _cairo_surface;
ReferenceImage ReferenceImageFromCairo(_cairo_surface* surface);

PLATFORM_API BOOL SaveReferencePng(const ReferenceImage& image, const std::string& hostPath);
PLATFORM_API BOOL LoadReferencePng(const std::string& hostPath, ReferenceImage& image);

// The share of pixels (0 to 1) whose red, green or blue differs by more than `tolerance`; 1 when
// the sizes differ.
PLATFORM_API double CompareReferenceImages(const ReferenceImage& a, const ReferenceImage& b, int tolerance);
