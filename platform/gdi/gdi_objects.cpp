// The table of palettes and icons (rules in gdi_objects.h).
#include "platform/gdi/gdi_objects.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/gdi/gdi_sim.h"
#include "platform/kernel/lasterror.h"

namespace {

enum class GdiKind { Palette, Icon };

struct GdiObject {
  GdiKind kind;
  std::vector<PALETTEENTRY> entries;  // a palette's
  std::vector<BYTE> andBits, xorBits; // an icon's
};

struct GdiTable {
  std::mutex lock;
  std::map<std::uintptr_t, GdiObject> objects;
  // Handle values step by 4 from a base no kernel handle uses, and are never reused.
  std::uintptr_t next = 0x6D0000;
};

GdiTable& Table() {
  static GdiTable table;
  return table;
}

void* Insert(GdiObject object) {
  GdiTable& table = Table();
  std::lock_guard guard(table.lock);
  table.next += 4;
  table.objects.emplace(table.next, std::move(object));
  return reinterpret_cast<void*>(table.next);
}

BOOL Remove(void* handle, GdiKind kind) {
  GdiTable& table = Table();
  std::lock_guard guard(table.lock);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table.objects.end() || it->second.kind != kind) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  table.objects.erase(it);
  return TRUE;
}

// Bytes of `rows` rows of `width` pixels at `bits` bits per pixel, each row a multiple of 16 bits.
size_t BitmapBytes(int width, int rows, int bits) {
  const size_t rowBits = static_cast<size_t>(width) * bits;
  return (rowBits + 15) / 16 * 2 * static_cast<size_t>(rows);
}

}  // namespace

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (palette == nullptr || palette->palVersion != kLogPaletteVersion || palette->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GdiObject object{GdiKind::Palette, {}, {}, {}};
  object.entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return static_cast<HPALETTE>(Insert(std::move(object)));
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  GdiTable& table = Table();
  std::lock_guard guard(table.lock);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(palette));
  if (it == table.objects.end() || it->second.kind != GdiKind::Palette) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const std::vector<PALETTEENTRY>& all = it->second.entries;
  if (entries == nullptr) return static_cast<UINT>(all.size());
  if (start >= all.size()) return 0;
  const UINT n = count < all.size() - start ? count : static_cast<UINT>(all.size() - start);
  for (UINT i = 0; i < n; ++i) entries[i] = all[start + i];
  return n;
}

BOOL DeleteObject(HGDIOBJ object) { return Remove(object, GdiKind::Palette); }

HICON CreateIcon(HINSTANCE, int width, int height, BYTE planes, BYTE bitsPixel, const BYTE* andBits,
                 const BYTE* xorBits) {
  constexpr int kMaxSide = 256;
  constexpr int kMaxBitsPerPixel = 32;
  if (andBits == nullptr || xorBits == nullptr || width < 1 || height < 1 || width > kMaxSide ||
      height > kMaxSide || planes == 0 || bitsPixel == 0 || planes * bitsPixel > kMaxBitsPerPixel) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GdiObject object{GdiKind::Icon, {}, {}, {}};
  object.andBits.assign(andBits, andBits + BitmapBytes(width, height, 1));
  object.xorBits.assign(xorBits, xorBits + BitmapBytes(width, height, planes * bitsPixel));
  return static_cast<HICON>(Insert(std::move(object)));
}

BOOL DestroyIcon(HICON icon) { return Remove(icon, GdiKind::Icon); }

int SimLiveGdiObjects() {
  GdiTable& table = Table();
  std::lock_guard guard(table.lock);
  return static_cast<int>(table.objects.size());
}
