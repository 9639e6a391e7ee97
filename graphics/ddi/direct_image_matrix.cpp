#include "graphics/ddi/direct_image_matrix.h"

int SetImageTurnMatrix(ImageAttributes* header, LONG turn, float x, float y) {
  if (header == nullptr) return -1;
  const float w = header->width;
  const float h = header->height;
  float m[6] = {x, 0, 0, y, 0, 0};
  switch (turn) {
    case 90: m[0] = 0, m[1] = -y, m[2] = x, m[3] = 0, m[4] = 0, m[5] = h; break;
    case 180: m[0] = -x, m[1] = 0, m[2] = 0, m[3] = -y, m[4] = w, m[5] = h; break;
    case 270: m[0] = 0, m[1] = y, m[2] = -x, m[3] = 0, m[4] = w, m[5] = 0; break;
    default: break;
  }
  for (int i = 0; i < 6; ++i) header->matrix[i] = m[i];
  return 0;
}
