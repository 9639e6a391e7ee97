// Linear mapping of points between a logical box and a device box, rounded to the nearest
// whole number as an anisotropic mapping mode rounds (halves away from zero).
#pragma once

#include "platform/base/types.h"

// A box: its origin and extent along each axis.
struct MapBox {
  LONG OriginX;
  LONG OriginY;
  LONG ExtentX;
  LONG ExtentY;
};

// One coordinate from one origin and extent to another; the target origin for an empty source
// extent.
LONG MapLinear(LONG value, LONG fromOrigin, LONG fromExtent, LONG toOrigin, LONG toExtent);
BOOL LogicalToDevice(POINT& point, const MapBox& logical, const MapBox& device);
BOOL DeviceToLogical(POINT& point, const MapBox& logical, const MapBox& device);
// Onto the window's client rectangle (device origin 0, 0, extent its client size).
BOOL MapToClient(HWND window, POINT& point, const MapBox& logical);
// A dialog item's window rectangle in the dialog's client coordinates (where a child window
// placed over it goes); FALSE, and the rectangle empty, when the item is missing.
BOOL ItemRectInDialog(HWND dialog, int id, RECT& rect);
