// Linear mapping between boxes (see mapping.h).
#include "scanner/ui/mapping.h"

#include "platform/user/dialog.h"
#include "platform/user/window.h"

LONG MapLinear(LONG value, LONG fromOrigin, LONG fromExtent, LONG toOrigin, LONG toExtent) {
  if (fromExtent == 0) return toOrigin;
  long long n = (static_cast<long long>(value) - fromOrigin) * toExtent;
  long long d = fromExtent;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  const long long q = n >= 0 ? (2 * n + d) / (2 * d) : -((-2 * n + d) / (2 * d));
  return static_cast<LONG>(q + toOrigin);
}

BOOL LogicalToDevice(POINT& point, const MapBox& logical, const MapBox& device) {
  point.x = MapLinear(point.x, logical.OriginX, logical.ExtentX, device.OriginX, device.ExtentX);
  point.y = MapLinear(point.y, logical.OriginY, logical.ExtentY, device.OriginY, device.ExtentY);
  return TRUE;
}

BOOL DeviceToLogical(POINT& point, const MapBox& logical, const MapBox& device) {
  point.x = MapLinear(point.x, device.OriginX, device.ExtentX, logical.OriginX, logical.ExtentX);
  point.y = MapLinear(point.y, device.OriginY, device.ExtentY, logical.OriginY, logical.ExtentY);
  return TRUE;
}

BOOL MapToClient(HWND window, POINT& point, const MapBox& logical) {
  RECT client{};
  if (!GetClientRect(window, &client)) return FALSE;
  return LogicalToDevice(point, logical, MapBox{0, 0, client.right - client.left, client.bottom - client.top});
}

BOOL ItemRectInDialog(HWND dialog, int id, RECT& rect) {
  rect = RECT{};
  HWND item = GetDlgItem(dialog, id);
  if (item == nullptr || !GetWindowRect(item, &rect)) return FALSE;
  // The two corners from screen coordinates into the dialog's client area.
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return TRUE;
}
