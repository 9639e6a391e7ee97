// The reference renderer: draws a page's drawing calls (engine_drawing.h) into an image of its
// own with cairo and FreeType, as the page should look; later stages compare what the print path
// produced with it. Pixels are 0x00RRGGBB, rows top-down.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/engine/engine_drawing.h"

struct ReferenceImage {
  LONG width = 0;
  LONG height = 0;
  std::vector<std::uint32_t> pixels;
};

// The page of the given device size drawn at `scale` (1: one image pixel per device pixel).
PLATFORM_API ReferenceImage RenderReferencePage(std::span<const DrawCall> calls, SIZEL pageSize, double scale);

PLATFORM_API BOOL SaveReferencePng(const ReferenceImage& image, const std::string& hostPath);
PLATFORM_API BOOL LoadReferencePng(const std::string& hostPath, ReferenceImage& image);

// The share of pixels (0 to 1) whose red, green or blue differs by more than `tolerance`; 1 when
// the sizes differ.
PLATFORM_API double CompareReferenceImages(const ReferenceImage& a, const ReferenceImage& b, int tolerance);
