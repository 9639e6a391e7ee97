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
#include "platform/gdi/png_images.h"

// The page of the given device size drawn at `scale` (1: one image pixel per device pixel).
PLATFORM_API ReferenceImage RenderReferencePage(std::span<const DrawCall> calls, SIZEL pageSize, double scale);

// The renderer's own steps, for other drawings of the same calls with cairo (a PDF file, for
// example): a colour as the context's source, and a path call's fill with its brush and its
// stroke with its pen, in the context's coordinates.
typedef struct _cairo cairo_t;
PLATFORM_API void SetReferenceColour(cairo_t* cr, COLORREF colour);
PLATFORM_API void FillReferencePath(cairo_t* cr, const DrawCall& call);
PLATFORM_API void StrokeReferencePath(cairo_t* cr, const DrawCall& call);

