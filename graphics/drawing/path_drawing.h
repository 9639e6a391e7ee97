// Paths stroked, filled or both: each is sorted into an ellipse, a single axis-aligned
// rectangle or a general path and drawn with the matching drawing-library command, after the
// clip, the pen and the brush state are set.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

enum PathMode : int { kPathStroke = 1, kPathFill = 2, kPathStrokeAndFill = 3 };
enum PathKind : int { kPathEllipse = 1, kPathRectangle = 2, kPathGeneral = 3 };

inline constexpr int kDdiError = -1;

// TRUE, FALSE (a clip, state or drawing command failed) or kDdiError (a damaged device, a
// failed document, a failed flush of the queued images or page start).
int StrokeFillPath(SURFOBJ* surface, PATHOBJ* path, CLIPOBJ* clip, XFORMOBJ* xform, BRUSHOBJ* strokeBrush,
                   LINEATTRS* line, BRUSHOBJ* fillBrush, POINTL* brushOrigin, MIX mix, FLONG fillOptions, int mode);

// Ellipse, rectangle or general path (see PathKind).
int ClassifyPath(PATHOBJ* path, const LINEATTRS* line, XFORMOBJ* xform, int mode);
// A batch of exactly four points without Beziers, closed, whose first edge is horizontal.
bool IsRectangleBatch(const PATHDATA& batch);
