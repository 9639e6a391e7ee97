// The part of a window that needs painting, kept as one bounding rectangle of the client area.
#include "platform/user/paint.h"
#include "platform/user/window_internal.h"

void UserInvalidateAll(HWND hwnd, bool erase) { InvalidateRect(hwnd, nullptr, erase ? TRUE : FALSE); }

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  RECT client, part;
  GetClientRect(hwnd, &client);
  if (rect == nullptr) {
    part = client;
  } else if (!IntersectRect(&part, rect, &client)) {
    return TRUE;
  }
  if (IsRectEmpty(&part)) return TRUE;
  if (w->invalid)
    UnionRect(&w->update, &w->update, &part);
  else
    w->update = part;
  w->invalid = true;
  w->erase = w->erase || erase;
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* rect) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  RECT left;
  if (rect == nullptr || (IntersectRect(&left, rect, &w->update) && EqualRect(&left, &w->update))) {
    w->invalid = false;
    w->erase = false;
    SetRectEmpty(&w->update);
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL) {
  auto w = UserFindWindow(hwnd);
  if (!w) return FALSE;
  if (rect != nullptr) *rect = w->invalid ? w->update : RECT{0, 0, 0, 0};
  return w->invalid ? TRUE : FALSE;
}
