// Building the host's path descriptions.
#include "platform/engine/engine_drawing.h"

void PathMoveTo(DrawPath& path, float x, float y) {
  path.ops.push_back(PathOp::Move);
  path.points.push_back({x, y});
}

void PathLineTo(DrawPath& path, float x, float y) {
  path.ops.push_back(PathOp::Line);
  path.points.push_back({x, y});
}

void PathBezierTo(DrawPath& path, DrawPoint c1, DrawPoint c2, DrawPoint end) {
  path.ops.push_back(PathOp::Bezier);
  path.points.insert(path.points.end(), {c1, c2, end});
}

void PathClose(DrawPath& path) { path.ops.push_back(PathOp::Close); }

DrawPath PathRectangle(const RECTL& r) {
  DrawPath path;
  PathMoveTo(path, static_cast<float>(r.left), static_cast<float>(r.top));
  PathLineTo(path, static_cast<float>(r.right), static_cast<float>(r.top));
  PathLineTo(path, static_cast<float>(r.right), static_cast<float>(r.bottom));
  PathLineTo(path, static_cast<float>(r.left), static_cast<float>(r.bottom));
  PathClose(path);
  return path;
}

DrawPath PathEllipse(const RECTL& r) {
  // The control points of a quarter circle lie at this fraction of the radius.
  constexpr float kQuarterArc = 0.5522847f;
  const float cx = (r.left + r.right) / 2.0f, cy = (r.top + r.bottom) / 2.0f;
  const float rx = (r.right - r.left) / 2.0f, ry = (r.bottom - r.top) / 2.0f;
  const float kx = rx * kQuarterArc, ky = ry * kQuarterArc;
  DrawPath path;
  PathMoveTo(path, cx + rx, cy);
  PathBezierTo(path, {cx + rx, cy + ky}, {cx + kx, cy + ry}, {cx, cy + ry});
  PathBezierTo(path, {cx - kx, cy + ry}, {cx - rx, cy + ky}, {cx - rx, cy});
  PathBezierTo(path, {cx - rx, cy - ky}, {cx - kx, cy - ry}, {cx, cy - ry});
  PathBezierTo(path, {cx + kx, cy - ry}, {cx + rx, cy - ky}, {cx + rx, cy});
  PathClose(path);
  path.ellipse = true;
  return path;
}
