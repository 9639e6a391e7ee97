// Image lists (see imagelist.h). An icon is copied by drawing it at the list's size over
// black and over white: where the two differ the mask is set (the background shows through,
// or is inverted), and the drawing over black is the colour bits.
#include "platform/comctl/imagelist.h"

#include <mutex>
#include <set>
#include <vector>

#include "platform/base/errors.h"
#include "platform/comctl/comctl_internal.h"
#include "platform/comctl/comctl_sim.h"
#include "platform/comctl/progress.h"
#include "platform/gdi/bitmaps.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/lasterror.h"
#include "platform/user/picture_resources.h"

struct ImageListRecord {
  int cx = 0, cy = 0;
  UINT flags = 0;
  std::vector<HICON> icons;
  COLORREF background = CLR_NONE;
};

namespace {

constexpr int kMaxImageSide = 256;

struct Lists {
  std::mutex lock;
  std::set<HIMAGELIST> live;
};

Lists& L() {
  static auto* l = new Lists;
  return *l;
}

const bool registeredReset = (SimAddResetHook([] {
                                Lists& l = L();
                                std::lock_guard<std::mutex> guard(l.lock);
                                for (HIMAGELIST list : l.live) delete list;
                                l.live.clear();
                              }),
                              true);

bool Live(HIMAGELIST list) {
  Lists& l = L();
  std::lock_guard<std::mutex> guard(l.lock);
  return list != nullptr && l.live.count(list) != 0;
}

// The icon drawn at cx x cy over a plain background, as 32-bit top-down pixels.
std::vector<DWORD> DrawOver(HICON icon, int cx, int cy, COLORREF background) {
  std::vector<DWORD> out;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = cx;
  info.bmiHeader.biHeight = -cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dc != nullptr && bitmap != nullptr && bits != nullptr) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all{0, 0, cx, cy};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    if (DrawIconEx(dc, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL)) {
      const DWORD* p = static_cast<const DWORD*>(bits);
      out.assign(p, p + size_t(cx) * size_t(cy));
    }
    SelectObject(dc, old);
  }
  if (bitmap != nullptr) DeleteObject(bitmap);
  if (dc != nullptr) DeleteDC(dc);
  return out;
}

HICON CopyAtSize(HICON icon, int cx, int cy) {
  std::vector<DWORD> black = DrawOver(icon, cx, cy, RGB(0, 0, 0));
  std::vector<DWORD> white = DrawOver(icon, cx, cy, RGB(255, 255, 255));
  if (black.empty() || white.empty()) return nullptr;
  size_t maskRow = size_t((cx + 15) / 16) * 2;
  std::vector<BYTE> mask(maskRow * size_t(cy), 0);
  std::vector<BYTE> colour(size_t(cx) * size_t(cy) * 4, 0);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) {
      size_t i = size_t(y) * size_t(cx) + size_t(x);
      // Over black the result is the colour bits whatever the mask; where the mask lets the
      // background through (or inverts it) the two drawings differ.
      if ((black[i] & 0xFFFFFF) != (white[i] & 0xFFFFFF)) mask[size_t(y) * maskRow + size_t(x / 8)] |= BYTE(0x80 >> (x % 8));
      for (int k = 0; k < 4; ++k) colour[i * 4 + size_t(k)] = BYTE(black[i] >> (8 * k));
    }
  return CreateIcon(nullptr, cx, cy, 1, 32, mask.data(), colour.data());
}

bool InRange(HIMAGELIST list, int index) { return index >= 0 && index < int(list->icons.size()); }

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
  (void)grow;
  if (cx < 1 || cy < 1 || cx > kMaxImageSide || cy > kMaxImageSide || initial < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* list = new ImageListRecord;
  list->cx = cx;
  list->cy = cy;
  list->flags = flags;
  Lists& l = L();
  std::lock_guard<std::mutex> guard(l.lock);
  l.live.insert(list);
  return list;
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  {
    Lists& l = L();
    std::lock_guard<std::mutex> guard(l.lock);
    if (l.live.erase(list) == 0) return FALSE;
  }
  for (HICON icon : list->icons) DestroyIcon(icon);
  delete list;
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) { return Live(list) ? int(list->icons.size()) : 0; }

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
  if (!Live(list) || cx == nullptr || cy == nullptr) return FALSE;
  *cx = list->cx;
  *cy = list->cy;
  return TRUE;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) {
  if (!Live(list) || (index != -1 && !InRange(list, index))) return -1;
  HICON copy = CopyAtSize(icon, list->cx, list->cy);
  UserCopyPictureResource(icon, copy);
  if (copy == nullptr) return -1;
  if (index == -1) {
    list->icons.push_back(copy);
    return int(list->icons.size()) - 1;
  }
  DestroyIcon(list->icons[size_t(index)]);
  list->icons[size_t(index)] = copy;
  return index;
}

BOOL ImageList_Remove(HIMAGELIST list, int index) {
  if (!Live(list)) return FALSE;
  if (index == -1) {
    for (HICON icon : list->icons) DestroyIcon(icon);
    list->icons.clear();
    return TRUE;
  }
  if (!InRange(list, index)) return FALSE;
  DestroyIcon(list->icons[size_t(index)]);
  list->icons.erase(list->icons.begin() + index);
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT) {
  if (!Live(list) || !InRange(list, index)) return nullptr;
  HICON copy = CopyAtSize(list->icons[size_t(index)], list->cx, list->cy);
  UserCopyPictureResource(list->icons[size_t(index)], copy);
  return copy;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style) {
  if (!Live(list) || !InRange(list, index)) return FALSE;
  UINT how = (style & ILD_MASK) ? DI_MASK : (style & ILD_IMAGE) ? DI_IMAGE : DI_NORMAL;
  if (!(style & (ILD_TRANSPARENT | ILD_MASK | ILD_IMAGE)) && list->background != CLR_NONE) {
    HBRUSH brush = CreateSolidBrush(list->background);
    RECT r{x, y, x + list->cx, y + list->cy};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  return DrawIconEx(dc, x, y, list->icons[size_t(index)], list->cx, list->cy, 0, nullptr, how);
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF colour) {
  if (!Live(list)) return CLR_NONE;
  COLORREF old = list->background;
  list->background = colour;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) { return Live(list) ? list->background : CLR_NONE; }

int SimLiveImageLists() {
  Lists& l = L();
  std::lock_guard<std::mutex> guard(l.lock);
  return int(l.live.size());
}
