// Bitmaps from resources (see resources.h). The packed DIB is checked against the bytes present
// before the layer converts it: a 40-byte header, 1, 4, 8, 24 or 32 bits per pixel without
// compression, its colour table and every row.
#include <cstdint>

#include "platform/base/errors.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/qrs.h"
#include "platform/kernel/resource.h"
#include "platform/user/picture_resources.h"
#include "platform/user/resources.h"

namespace {

constexpr DWORD kDibHeaderSize = 40;

WORD U16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
DWORD U32(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

HBITMAP Invalid() {
  SetLastError(ERROR_INVALID_DATA);
  return nullptr;
}

}  // namespace

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
  HRSRC found = FindResourceW(instance, name, RT_BITMAP);
  if (found == nullptr) return nullptr;
  const BYTE* dib = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
  const DWORD size = SizeofResource(instance, found);
  if (dib == nullptr || size < kDibHeaderSize || U32(dib) != kDibHeaderSize) return Invalid();
  const LONG width = LONG(U32(dib + 4)), height = LONG(U32(dib + 8));
  const WORD bits = U16(dib + 14);
  const DWORD compression = U32(dib + 16), used = U32(dib + 32);
  if (width < 1 || width > kGdiMaxBitmapSide || height == 0 || height < -kGdiMaxBitmapSide ||
      height > kGdiMaxBitmapSide || compression != 0)
    return Invalid();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return Invalid();
  const DWORD colours = bits <= 8 ? (used != 0 ? used : (1u << bits)) : 0;
  if (colours > 256) return Invalid();
  const std::uint64_t rowBytes = ((std::uint64_t(width) * bits + 31) / 32) * 4;
  const std::uint64_t rows = height < 0 ? std::uint64_t(-height) : std::uint64_t(height);
  if (kDibHeaderSize + std::uint64_t(colours) * 4 + rowBytes * rows > size) return Invalid();
  const auto* info = reinterpret_cast<const BITMAPINFO*>(dib);
  HDC screen = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, dib + kDibHeaderSize + colours * 4, info,
                                  DIB_RGB_COLORS);
  if (screen != nullptr) DeleteDC(screen);
  UserNotePictureResource(bitmap, instance, name);
  return bitmap;
}

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  if ((reinterpret_cast<ULONG_PTR>(name) >> 16) != 0) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return LoadBitmapW(instance, reinterpret_cast<LPCWSTR>(name));
}
