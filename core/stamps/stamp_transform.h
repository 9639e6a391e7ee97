// Placement of a stamp (watermark) on a page: rotation, alignment or tiling. Printing and
// the stamp preview map every point of the stamp with the same transform.
#pragma once

#include "platform/base/types.h"

struct StampSize {
  float width;
  float height;
};

struct StampPoint {
  float x;
  float y;
};

struct StampTransform {
  float m11, m12, m21, m22;     // rotation matrix
  float offsetX, offsetY;       // translation
  float tileWidth, tileHeight;  // step between tiles
  WORD columns, rows;           // 0 and 0 for a single aligned stamp
};

// Rotation mode that turns the stamp about the centre of its box.
constexpr WORD kStampRotateAboutCentre = 2;
// Largest tile count MakeStampTransform answers.
constexpr int kStampMaxTiles = 0x7FFFFFF;

// Builds the transform of a stamp box of size box, turned by angle degrees, inside an area.
// placement: 0 tiles the area; otherwise 0x100/0x200/0x300 (left, centre, right) or-ed with
// 1/2/3 (top, middle, bottom). Answers 1 for a placed stamp, the tile count when tiling,
// -1 for a NULL argument (or, when tiling, a box whose turned extent is not positive).
int MakeStampTransform(const StampSize* area, const StampSize* box, SHORT angle, WORD mode, WORD placement,
                       StampTransform* transform);
// Maps a point of the stamp into the area for tile n; 0, or -1 for a NULL argument or,
// when tiling, a tile index outside columns x rows.
int MapStampPoint(const StampTransform* transform, const StampPoint* point, int tile, StampPoint* out);
