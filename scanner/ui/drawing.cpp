// Drawing routines of the data source's windows (see drawing.h).
#include "scanner/ui/drawing.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/kernel/memory.h"
#include "platform/user/resources.h"
#include "platform/user/sys_colors.h"
#include "scanner/system_routines.h"

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr DWORD kDibHeaderBytes = 40;

// A line with a solid 1-pixel pen of the colour.
BOOL DrawLineInColour(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  if (pen == nullptr) return FALSE;
  HGDIOBJ old = SelectObject(dc, pen);
  const BOOL drawn = DrawLine(dc, x1, y1, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
  return drawn;
}

// COLORREF (0x00BBGGRR) as a pixel of the layer's bitmaps (0x00RRGGBB).
std::uint32_t PixelOf(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace

BOOL DrawLine(HDC dc, int x1, int y1, int x2, int y2) {
  return MoveToEx(dc, x1, y1, nullptr) && LineTo(dc, x2, y2);
}

BOOL DrawRectOutline(HDC dc, int left, int top, int right, int bottom, int width, COLORREF colour) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  if (pen == nullptr) return FALSE;
  POINT position{};
  GetCurrentPositionEx(dc, &position);
  HGDIOBJ old = SelectObject(dc, pen);
  const int inset = width / 2;
  left += inset;
  top += inset;
  right -= inset;
  bottom -= inset;
  const BOOL drawn = DrawLine(dc, left, top, left, bottom) && DrawLine(dc, left + width, bottom, right, bottom) &&
                     DrawLine(dc, right, bottom - width, right, top) &&
                     DrawLine(dc, right - width, top, left + width, top);
  SelectObject(dc, old);
  DeleteObject(pen);
  MoveToEx(dc, position.x, position.y, nullptr);
  return drawn;
}

BOOL FillWithSysColor(HDC dc, const RECT& rect, int sysColourIndex) {
  HBRUSH brush = CreateSolidBrush(GetSysColor(sysColourIndex));
  if (brush == nullptr) return FALSE;
  const int filled = FillRect(dc, &rect, brush);
  DeleteObject(brush);
  return filled != 0;
}

BOOL Draw3DFrame(HDC dc, const RECT& rect) {
  if (FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))) == 0) return FALSE;
  HPEN pen = CreatePen(PS_SOLID, 1, kWhite);
  if (pen == nullptr) return FALSE;
  HGDIOBJ old = SelectObject(dc, pen);
  const BOOL drawn = MoveToEx(dc, rect.right - 1, rect.top, nullptr) && LineTo(dc, rect.left, rect.top) &&
                     LineTo(dc, rect.left, rect.bottom);
  SelectObject(dc, old);
  DeleteObject(pen);
  return drawn;
}

BOOL DrawRulerTick(HDC dc, int x, int y, int length, BOOL horizontalRuler) {
  if (horizontalRuler)
    return DrawLineInColour(dc, x, y - length - 1, x, y, kBlack) &&
           DrawLineInColour(dc, x + 1, y - length, x + 1, y, kWhite);
  return DrawLineInColour(dc, x - length - 1, y, x, y, kBlack) &&
         DrawLineInColour(dc, x - length, y + 1, x, y + 1, kWhite);
}

BOOL DrawMarkerTriangle(HDC dc, const POINT* points, COLORREF fill) {
  HPEN pen = CreatePen(PS_SOLID, 1, kBlack);
  HBRUSH brush = CreateSolidBrush(fill);
  BOOL drawn = FALSE;
  if (pen != nullptr && brush != nullptr) {
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    drawn = Polygon(dc, points, 3);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
  }
  if (pen != nullptr) DeleteObject(pen);
  if (brush != nullptr) DeleteObject(brush);
  return drawn;
}

HRGN ClipToRegionCombination(HDC dc, const RECT& a, const RECT& b, int mode) {
  HRGN first = CreateRectRgnIndirect(&a);
  HRGN second = CreateRectRgnIndirect(&b);
  if (first != nullptr && second != nullptr && CombineRgn(first, first, second, mode) != ERROR) {
    SelectClipRgn(dc, first);
    DeleteObject(second);
    return first;
  }
  if (first != nullptr) DeleteObject(first);
  if (second != nullptr) DeleteObject(second);
  return nullptr;
}

// The layer draws every bitmap in 32 bits and has no monochrome masks, so the keyed copy is
// made directly: the key pixels of a copy of the bitmap take the background colour, then the
// copy is stretched with SRCCOPY. The picture is the one the mask operations give.
BOOL StretchBitmapKeyed(HDC dc, const RECT& rect, HBITMAP bitmap, int sourceWidth, int sourceHeight) {
  BITMAP info{};
  if (bitmap == nullptr || GetObjectW(bitmap, sizeof info, &info) == 0) return FALSE;
  std::vector<std::uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
  const LONG bytes = static_cast<LONG>(pixels.size() * 4);
  if (GetBitmapBits(bitmap, bytes, pixels.data()) != bytes) return FALSE;
  const std::uint32_t key = PixelOf(kBitmapKeyColour), background = PixelOf(GetBkColor(dc));
  for (std::uint32_t& p : pixels)
    if ((p & 0xFFFFFF) == key) p = background;
  HBITMAP keyed = CreateBitmap(info.bmWidth, info.bmHeight, 1, 32, pixels.data());
  HDC memory = CreateCompatibleDC(dc);
  BOOL drawn = FALSE;
  if (keyed != nullptr && memory != nullptr) {
    HGDIOBJ old = SelectObject(memory, keyed);
    drawn = StretchBlt(dc, rect.left, rect.top, RectWidth(rect), RectHeight(rect), memory, 0, 0, sourceWidth,
                       sourceHeight, SRCCOPY);
    SelectObject(memory, old);
  }
  if (memory != nullptr) DeleteDC(memory);
  if (keyed != nullptr) DeleteObject(keyed);
  return drawn;
}

BOOL DrawBitmapKeyed(HDC dc, int x, int y, WORD bitmapId) {
  HBITMAP bitmap = LoadBitmapW(g_Instance, MAKEINTRESOURCEW(bitmapId));
  if (bitmap == nullptr) return FALSE;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  const RECT rect{x, y, x + info.bmWidth, y + info.bmHeight};
  const BOOL drawn = StretchBitmapKeyed(dc, rect, bitmap, info.bmWidth, info.bmHeight);
  DeleteObject(bitmap);
  return drawn;
}

BOOL StretchBitmapResource(HDC dc, const RECT& rect, WORD bitmapId) {
  HBITMAP bitmap = LoadBitmapW(g_Instance, MAKEINTRESOURCEW(bitmapId));
  if (bitmap == nullptr) return FALSE;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  HDC memory = CreateCompatibleDC(dc);
  BOOL drawn = FALSE;
  if (memory != nullptr) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    drawn = StretchBlt(dc, rect.left, rect.top, RectWidth(rect), RectHeight(rect), memory, 0, 0, info.bmWidth,
                       info.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
  }
  DeleteObject(bitmap);
  return drawn;
}

BOOL StretchDib(HDC dc, const RECT& rect, HGLOBAL dib) {
  const SIZE_T blockBytes = GlobalSize(dib);
  const BYTE* block = dib != nullptr ? static_cast<const BYTE*>(GlobalLock(dib)) : nullptr;
  if (block == nullptr) return FALSE;
  BITMAPINFOHEADER header{};
  BOOL drawn = FALSE;
  if (blockBytes >= kDibHeaderBytes) {
    std::memcpy(&header, block, kDibHeaderBytes);
    const DWORD colours = header.biBitCount <= 8 ? (header.biClrUsed != 0 ? header.biClrUsed : 1u << header.biBitCount) : 0;
    const ULONGLONG rowBytes = (static_cast<ULONGLONG>(header.biWidth > 0 ? header.biWidth : 0) * header.biBitCount + 31) / 32 * 4;
    const ULONGLONG rows = static_cast<ULONGLONG>(std::llabs(static_cast<long long>(header.biHeight)));
    const ULONGLONG need = kDibHeaderBytes + colours * 4ull + rowBytes * rows;
    if (header.biSize == kDibHeaderBytes && header.biWidth > 0 && rows > 0 && colours <= 256 && need <= blockBytes) {
      const int saved = SaveDC(dc);
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, rect.left, rect.top, nullptr);
      drawn = StretchDIBits(dc, rect.left, rect.top, RectWidth(rect), RectHeight(rect), 0, 0, header.biWidth,
                            static_cast<int>(rows), block + kDibHeaderBytes + colours * 4,
                            reinterpret_cast<const BITMAPINFO*>(block), DIB_RGB_COLORS, SRCCOPY) != 0;
      RestoreDC(dc, saved);
    }
  }
  GlobalUnlock(dib);
  return drawn;
}

BOOL GetBitmapSize(WORD bitmapId, BITMAP* size) {
  HBITMAP bitmap = LoadBitmapW(g_Instance, MAKEINTRESOURCEW(bitmapId));
  if (bitmap == nullptr) return FALSE;
  const BOOL got = GetObjectW(bitmap, sizeof *size, size) != 0;
  DeleteObject(bitmap);
  return got;
}

LONG RectWidth(const RECT& rect) { return std::labs(rect.right - rect.left); }
LONG RectHeight(const RECT& rect) { return std::labs(rect.bottom - rect.top); }
