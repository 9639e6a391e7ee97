// The placement of a direct-mode image turned by a quarter, half or three quarters.
#pragma once

#include "graphics/output/display_list.h"
#include "platform/base/types.h"

// The image header's matrix for a turn of 0, 90, 180 or 270 degrees and the image's scale,
// with W and H the header's source width and height; any other turn places it upright. 0, or -1
// without a header.
int SetImageTurnMatrix(ImageAttributes* header, LONG turn, float xScale, float yScale);
