// What windows show: the texts and pictures their DCs drew since their last paint began, kept
// with each window for the test API (SimDrawnTexts, SimDrawnPictures in user_sim.h).
#include "platform/gdi/drawn.h"
#include "platform/user/picture_resources.h"
#include "platform/user/user_sim.h"
#include "platform/user/window_internal.h"

namespace {

void KeepDrawn(HWND hwnd, const GdiDrawn& drawn) {
  auto w = UserPeekWindow(hwnd);
  if (!w) return;
  if (drawn.kind == GdiDrawn::Text) {
    w->drawnTexts.push_back(SimDrawnText{hwnd, drawn.text, drawn.rect});
    return;
  }
  SimDrawnPicture p;
  p.hwnd = hwnd;
  p.kind = drawn.kind == GdiDrawn::Icon ? SimDrawnPicture::Icon : SimDrawnPicture::Bitmap;
  UserPictureResource(drawn.picture, p.module, p.resourceId);
  p.rect = drawn.rect;
  w->drawnPictures.push_back(p);
}

const bool registered = (GdiSetDrawnListener(&KeepDrawn), true);

// The window's own records, then its visible children's, in child order.
template <class T>
void Collect(HWND hwnd, std::vector<T> Window::*records, std::vector<T>& out) {
  auto w = UserPeekWindow(hwnd);
  if (!w || !IsWindowVisible(hwnd)) return;
  const std::vector<T>& own = (*w).*records;
  out.insert(out.end(), own.begin(), own.end());
  for (HWND child : std::vector<HWND>(w->children)) Collect(child, records, out);
}

}  // namespace

void UserForgetDrawn(Window& w) {
  w.drawnTexts.clear();
  w.drawnPictures.clear();
}

std::vector<SimDrawnText> SimDrawnTexts(HWND hwnd) {
  std::vector<SimDrawnText> out;
  Collect(hwnd, &Window::drawnTexts, out);
  return out;
}

std::vector<SimDrawnPicture> SimDrawnPictures(HWND hwnd) {
  std::vector<SimDrawnPicture> out;
  Collect(hwnd, &Window::drawnPictures, out);
  return out;
}
