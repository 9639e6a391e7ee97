// Bitmaps, DIB sections and DIB conversion (rules in bitmaps.h).
#include "platform/gdi/bitmaps.h"

#include <algorithm>
#include <cstring>

#include "platform/base/errors.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/printer_device.h"
#include "platform/gdi/raster.h"
#include "platform/kernel/lasterror.h"

using namespace gdi;

namespace {

bool SizeAllowed(long long width, long long height) {
  return width >= 1 && height >= 1 && width <= kGdiMaxBitmapSide && height <= kGdiMaxBitmapSide &&
         width * height <= kGdiMaxBitmapPixels;
}

HBITMAP NewBitmap(LONG width, LONG height) {
  if (!SizeAllowed(width, height)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Bitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.pixels.assign(static_cast<size_t>(width) * height, 0);
  return static_cast<HBITMAP>(Insert(std::move(bitmap)));
}

// A DIB's layout as a header describes it.
struct DibLayout {
  LONG width = 0;
  LONG height = 0;  // rows
  bool bottomUp = true;
  int bits = 0;
  size_t stride = 0;  // bytes a row
  std::vector<std::uint32_t> colours;  // the colour table as pixels
};

// Reads a DIB header with its colour table; false (ERROR_INVALID_PARAMETER) for a format the
// layer does not convert: BI_RGB at 1, 4, 8, 16, 24 or 32 bits, DIB_RGB_COLORS.
bool ReadLayout(const BITMAPINFO* info, UINT usage, DibLayout& layout) {
  if (info == nullptr || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const long long rows = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
  const int bits = h.biBitCount;
  const bool known = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || !known || !SizeAllowed(h.biWidth, rows)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  layout.width = h.biWidth;
  layout.height = static_cast<LONG>(rows);
  layout.bottomUp = h.biHeight > 0;
  layout.bits = bits;
  layout.stride = (static_cast<size_t>(h.biWidth) * bits + 31) / 32 * 4;
  if (bits <= 8) {
    const DWORD full = 1u << bits;
    const DWORD used = h.biClrUsed != 0 && h.biClrUsed < full ? h.biClrUsed : full;
    const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(info) + h.biSize);
    layout.colours.assign(full, 0);
    for (DWORD i = 0; i < used; ++i) layout.colours[i] = (DWORD{table[i].rgbRed} << 16) | (table[i].rgbGreen << 8) | table[i].rgbBlue;
  }
  return true;
}

// The pixel x of a DIB row.
std::uint32_t DibPixel(const DibLayout& layout, const BYTE* row, LONG x) {
  switch (layout.bits) {
    case 1: return layout.colours[(row[x / 8] >> (7 - x % 8)) & 1];
    case 4: return layout.colours[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF];
    case 8: return layout.colours[row[x]];
    case 16: {
      const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
      auto five = [](unsigned c) { return (c << 3) | (c >> 2); };
      return (five((v >> 10) & 31) << 16) | (five((v >> 5) & 31) << 8) | five(v & 31);
    }
    case 24: return (DWORD{row[3 * x + 2]} << 16) | (row[3 * x + 1] << 8) | row[3 * x];
    default: {
      std::uint32_t v;
      std::memcpy(&v, row + 4 * static_cast<size_t>(x), 4);
      return v & 0xFFFFFF;
    }
  }
}

// The DIB's rows as 32-bit pixels, top row first.
std::vector<std::uint32_t> Decode(const DibLayout& layout, const void* bits) {
  std::vector<std::uint32_t> out(static_cast<size_t>(layout.width) * layout.height);
  const auto* base = static_cast<const BYTE*>(bits);
  for (LONG y = 0; y < layout.height; ++y) {
    const BYTE* row = base + layout.stride * static_cast<size_t>(layout.bottomUp ? layout.height - 1 - y : y);
    for (LONG x = 0; x < layout.width; ++x) out[static_cast<size_t>(y) * layout.width + x] = DibPixel(layout, row, x);
  }
  return out;
}

}  // namespace

HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height) {
  {
    std::lock_guard guard(Lock());
    if (Find<Dc>(dc) == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
  }
  return NewBitmap(width, height);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (planes != 1 || bitsPerPixel != 32) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HBITMAP handle = NewBitmap(width, height);
  if (handle != nullptr && bits != nullptr) {
    std::lock_guard guard(Lock());
    Bitmap* b = Find<Bitmap>(handle);
    std::memcpy(b->pixels.data(), bits, b->pixels.size() * 4);
    for (std::uint32_t& p : b->pixels) p &= 0xFFFFFF;
  }
  return handle;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
  DibLayout layout;
  if (!ReadLayout(info, usage, layout)) return nullptr;
  if (layout.bits != 32 || section != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Bitmap bitmap;
  bitmap.width = layout.width;
  bitmap.height = layout.height;
  bitmap.bottomUp = layout.bottomUp;
  bitmap.dibSection = true;
  bitmap.header = info->bmiHeader;
  bitmap.header.biSize = sizeof(BITMAPINFOHEADER);
  bitmap.pixels.assign(static_cast<size_t>(layout.width) * layout.height, 0);
  std::lock_guard guard(Lock());
  HBITMAP handle = static_cast<HBITMAP>(Insert(std::move(bitmap)));
  if (bits != nullptr) *bits = Find<Bitmap>(handle)->pixels.data();
  return handle;
}

HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info,
                       UINT usage) {
  if (header == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const LONG rows = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  HBITMAP handle = CreateCompatibleBitmap(dc, header->biWidth, rows);
  if (handle != nullptr && (init & CBM_INIT) != 0 && SetDIBits(dc, handle, 0, static_cast<UINT>(rows), bits, info, usage) == 0) {
    DeleteObject(handle);
    return nullptr;
  }
  return handle;
}

int GetDIBits(HDC, HBITMAP handle, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT usage) {
  std::lock_guard guard(Lock());
  Bitmap* b = Find<Bitmap>(handle);
  if (b == nullptr || info == nullptr || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  BITMAPINFOHEADER& h = info->bmiHeader;
  if (bits == nullptr) {
    h.biWidth = b->width;
    h.biHeight = b->height;
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(static_cast<size_t>(b->width) * b->height * 4);
    return b->height;
  }
  const int out = h.biBitCount;
  if ((out != 24 && out != 32) || h.biCompression != BI_RGB || h.biWidth != b->width) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const bool bottomUp = h.biHeight > 0;
  const size_t stride = (static_cast<size_t>(b->width) * out + 31) / 32 * 4;
  if (start >= static_cast<UINT>(b->height)) return 0;
  const UINT n = std::min<UINT>(lines, static_cast<UINT>(b->height) - start);
  auto* dest = static_cast<BYTE*>(bits);
  for (UINT i = 0; i < n; ++i) {
    // Row `start + i` counted from the bottom of the bitmap; the output's i-th row in its order.
    const LONG y = b->height - 1 - static_cast<LONG>(start + i);
    const std::uint32_t* src = b->Row(bottomUp ? y : static_cast<LONG>(start + i));
    BYTE* row = dest + stride * i;
    for (LONG x = 0; x < b->width; ++x) {
      const std::uint32_t p = src[x];
      if (out == 32) {
        std::memcpy(row + 4 * static_cast<size_t>(x), &p, 4);
        row[4 * x + 3] = 0;
      } else {
        row[3 * x] = static_cast<BYTE>(p);
        row[3 * x + 1] = static_cast<BYTE>(p >> 8);
        row[3 * x + 2] = static_cast<BYTE>(p >> 16);
      }
    }
  }
  return static_cast<int>(n);
}

int SetDIBits(HDC, HBITMAP handle, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage) {
  DibLayout layout;
  if (bits == nullptr || !ReadLayout(info, usage, layout)) return 0;
  std::lock_guard guard(Lock());
  Bitmap* b = Find<Bitmap>(handle);
  if (b == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // The bits hold `lines` rows of the DIB (bottom-up: rows start .. start + lines - 1).
  if (start >= static_cast<UINT>(b->height)) return 0;
  const UINT n = std::min({lines, static_cast<UINT>(b->height) - start, static_cast<UINT>(layout.height)});
  const auto* base = static_cast<const BYTE*>(bits);
  const LONG w = std::min(layout.width, b->width);
  for (UINT i = 0; i < n; ++i) {
    const BYTE* row = base + layout.stride * i;
    const LONG y = layout.bottomUp ? b->height - 1 - static_cast<LONG>(start + i) : static_cast<LONG>(start + i);
    std::uint32_t* dest = b->Row(y);
    for (LONG x = 0; x < w; ++x) dest[x] = DibPixel(layout, row, x);
  }
  return static_cast<int>(n);
}

int SetDIBitsToDevice(HDC handle, int x, int y, DWORD width, DWORD height, int xSrc, int ySrc, UINT start, UINT lines,
                      const void* bits, const BITMAPINFO* info, UINT usage) {
  DibLayout layout;
  if (bits == nullptr || !ReadLayout(info, usage, layout)) return 0;
  // The bits hold DIB rows start .. start + lines - 1 (counted from the bottom).
  const UINT have = std::min<UINT>(lines, static_cast<UINT>(layout.height));
  DibLayout part = layout;
  part.height = static_cast<LONG>(have);
  const std::vector<std::uint32_t> pixels = Decode(part, bits);
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // The source rectangle's top row, counted from the top of the decoded part.
  const LONG topFromBottom = ySrc + static_cast<LONG>(height) - 1;  // bottom-left origin
  const LONG topRow = layout.bottomUp ? static_cast<LONG>(start + have) - 1 - topFromBottom : ySrc - static_cast<LONG>(start);
  const SourceImage image{pixels.data(), layout.width, layout.width, part.height};
  Blit(*dc, x, y, static_cast<LONG>(width), static_cast<LONG>(height), image, xSrc, topRow, static_cast<LONG>(width),
       static_cast<LONG>(height), SRCCOPY);
  return static_cast<int>(have);
}

int StretchDIBits(HDC handle, int x, int y, int width, int height, int xSrc, int ySrc, int srcWidth, int srcHeight,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop) {
  DibLayout layout;
  if (bits == nullptr || !ReadLayout(info, usage, layout)) return 0;
  const std::vector<std::uint32_t> pixels = Decode(layout, bits);
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  // A bottom-up DIB's source rectangle is measured from its bottom-left corner.
  const LONG top = layout.bottomUp ? layout.height - (ySrc + srcHeight) : ySrc;
  if (dc->printer != nullptr) {
    const POINT a = ToSurface(*dc, POINT{x, y});
    const RECT target{a.x, a.y, a.x + width, a.y + height};
    const RECT source{xSrc, top, xSrc + srcWidth, top + srcHeight};
    return dc->printer->image(*dc, target, pixels.data(), layout.width, layout.height, source, rop) ? layout.height : 0;
  }
  const SourceImage image{pixels.data(), layout.width, layout.width, layout.height};
  Blit(*dc, x, y, width, height, image, xSrc, top, srcWidth, srcHeight, rop);
  return layout.height;
}

LONG GetBitmapBits(HBITMAP handle, LONG size, LPVOID bits) {
  std::lock_guard guard(Lock());
  Bitmap* b = Find<Bitmap>(handle);
  if (b == nullptr || bits == nullptr || size <= 0) return 0;
  const size_t rowBytes = static_cast<size_t>(b->width) * 4;
  const size_t rows = std::min<size_t>(static_cast<size_t>(size) / rowBytes, static_cast<size_t>(b->height));
  for (size_t y = 0; y < rows; ++y) std::memcpy(static_cast<BYTE*>(bits) + y * rowBytes, b->Row(static_cast<LONG>(y)), rowBytes);
  return static_cast<LONG>(rows * rowBytes);
}
