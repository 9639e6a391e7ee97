// Painting of the preview window: the corner box, the rulers with their pointer markers, the
// page with the preview image, and the rubber band of a running frame drag.
#pragma once

#include "platform/base/types.h"
#include "scanner/scan_settings.h"

void PaintPreview(HWND window, const ScanSettings& settings);
// The markers follow the pointer (or the frame's edges while it is moved); the strips around
// the old and new ones are painted again.
void UpdatePointerMarkers(HWND window, const ScanSettings& settings, POINT client);
void ForgetPointerMarkers();
// The markers each ruler shows now (-1: none): two positions along the top and the left ruler.
struct PointerMarkers {
  LONG Top[2];
  LONG Left[2];
};
const PointerMarkers& CurrentPointerMarkers();
