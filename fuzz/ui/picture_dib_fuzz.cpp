// The pictures of the model's picture records come from its database: making a bitmap of one
// must never read outside its bytes, and a bitmap it makes has the size its header gives.
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/paint.h"
#include "ui/pages/picture_controls.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  // An exactly sized copy, so a read past the end is caught.
  std::vector<BYTE> dib(data, data + size);
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateBitmapFromDib(screen, dib.data(), static_cast<DWORD>(dib.size()));
  if (bitmap != nullptr) {
    BITMAPINFOHEADER header{};
    BITMAP made{};
    if (dib.size() < sizeof(header) || GetObjectW(bitmap, sizeof(made), &made) == 0) __builtin_trap();
    std::memcpy(&header, dib.data(), sizeof(header));
    if (made.bmWidth != header.biWidth || made.bmHeight != (header.biHeight < 0 ? -header.biHeight : header.biHeight))
      __builtin_trap();
    DeleteObject(bitmap);
  }
  ReleaseDC(nullptr, screen);
  return 0;
}
