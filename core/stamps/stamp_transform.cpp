// Stamp rotation, alignment and tiling in single precision.
#include "core/stamps/stamp_transform.h"
#include "platform/base/types.h"

#include <cmath>

namespace {

// Number of whole or partial extents that cover length, kept to 16 bits (saturating).
WORD CoverCount(float length, float extent) {
  const float whole = length / extent;
  if (!(whole >= 0.0f)) return 0;
  if (whole >= 65535.0f) return 65535;
  WORD count = static_cast<WORD>(whole);
  if (static_cast<float>(count) * extent < length && count < 65535) ++count;
  return count;
}

}  // namespace

int MakeStampTransform(const StampSize* area, const StampSize* box, SHORT angle, WORD mode, WORD placement,
                       StampTransform* transform) {
  if (area == nullptr || box == nullptr || transform == nullptr) return -1;
  const float theta = static_cast<float>(angle * 3.1415926536 / 180);
  const float s = static_cast<float>(std::sin(theta));
  const float c = static_cast<float>(std::cos(theta));
  const float w = box->width;
  const float h = box->height;
  float extentW;
  float extentH;
  float offsetX;
  float offsetY;
  if (mode == kStampRotateAboutCentre) {
    const float hw = w / 2;
    const float hh = h / 2;
    offsetX = hw - (c * hw + s * hh);
    offsetY = hh - (-s * hw + c * hh);
    extentW = w;
    extentH = h;
  } else if (angle >= 0) {
    extentW = c * w + s * h;
    extentH = s * w + c * h;
    offsetX = 0;
    offsetY = s * w;
  } else {
    const float sn = static_cast<float>(std::sin(-theta));
    const float cn = static_cast<float>(std::cos(-theta));
    extentW = cn * w + sn * h;
    extentH = sn * w + cn * h;
    offsetX = sn * h;
    offsetY = 0;
  }
  StampTransform t{};
  t.m11 = c;
  t.m12 = s;
  t.m21 = -s;
  t.m22 = c;
  int result;
  if (placement != 0) {
    switch (placement & 0xF00) {
      case 0x200: offsetX += area->width / 2 - extentW / 2; break;
      case 0x300: offsetX += area->width - extentW; break;
      default: break;
    }
    switch (placement & 0xF) {
      case 2: offsetY += area->height / 2 - extentH / 2; break;
      case 3: offsetY += area->height - extentH; break;
      default: break;
    }
    result = 1;
  } else {
    // A box that turns into no extent cannot tile the area.
    if (!(extentW > 0.0f) || !(extentH > 0.0f)) return -1;
    t.tileWidth = extentW;
    t.tileHeight = extentH;
    t.columns = CoverCount(area->width, extentW);
    t.rows = CoverCount(area->height, extentH);
    const long long tiles = static_cast<long long>(t.columns) * t.rows;
    result = tiles > kStampMaxTiles ? kStampMaxTiles : static_cast<int>(tiles);
  }
  t.offsetX = offsetX;
  t.offsetY = offsetY;
  *transform = t;
  return result;
}

int MapStampPoint(const StampTransform* transform, const StampPoint* point, int tile, StampPoint* out) {
  if (transform == nullptr || point == nullptr || out == nullptr) return -1;
  const StampTransform& t = *transform;
  float x = point->x * t.m11 + point->y * t.m12 + t.offsetX;
  float y = point->x * t.m21 + point->y * t.m22 + t.offsetY;
  if (t.columns != 0 || t.rows != 0) {
    if (tile < 0 || t.columns == 0 || static_cast<long long>(tile) >= static_cast<long long>(t.columns) * t.rows) {
      return -1;
    }
    x += static_cast<float>(tile % t.columns) * t.tileWidth;
    y += static_cast<float>(tile / t.columns) * t.tileHeight;
  }
  *out = {x, y};
  return 0;
}
