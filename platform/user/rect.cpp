// Rectangle arithmetic (right and bottom edges lie outside the rectangle).
#include <algorithm>

#include "platform/user/paint.h"

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (rect == nullptr) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL IsRectEmpty(const RECT* rect) { return rect == nullptr || rect->right <= rect->left || rect->bottom <= rect->top; }

BOOL PtInRect(const RECT* rect, POINT p) {
  return rect != nullptr && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
  if (rect == nullptr) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
  if (rect == nullptr) return FALSE;
  rect->left -= dx;
  rect->right += dx;
  rect->top -= dy;
  rect->bottom += dy;
  return TRUE;
}

BOOL IntersectRect(LPRECT out, const RECT* a, const RECT* b) {
  if (out == nullptr || a == nullptr || b == nullptr) return FALSE;
  RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
         std::min(a->bottom, b->bottom)};
  if (IsRectEmpty(&r)) {
    SetRectEmpty(out);
    return FALSE;
  }
  *out = r;
  return TRUE;
}

BOOL UnionRect(LPRECT out, const RECT* a, const RECT* b) {
  if (out == nullptr || a == nullptr || b == nullptr) return FALSE;
  if (IsRectEmpty(a) && IsRectEmpty(b)) {
    SetRectEmpty(out);
    return FALSE;
  }
  if (IsRectEmpty(a)) {
    *out = *b;
  } else if (IsRectEmpty(b)) {
    *out = *a;
  } else {
    *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
  }
  return TRUE;
}

BOOL EqualRect(const RECT* a, const RECT* b) {
  return a != nullptr && b != nullptr && a->left == b->left && a->top == b->top && a->right == b->right &&
         a->bottom == b->bottom;
}

BOOL CopyRect(LPRECT out, const RECT* in) {
  if (out == nullptr || in == nullptr) return FALSE;
  *out = *in;
  return TRUE;
}
