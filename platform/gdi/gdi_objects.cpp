// The table of GDI objects (gdi_table.h), palettes and icons (rules in gdi_objects.h).
#include "platform/gdi/gdi_objects.h"

#include <map>

#include "platform/base/errors.h"
#include "platform/gdi/gdi_table.h"
#include "platform/kernel/lasterror.h"

namespace gdi {
namespace {

struct Table {
  std::recursive_mutex lock;
  std::map<std::uintptr_t, Object> objects;
  std::uintptr_t next = 0x6D0000;
};

Table& TheTable() {
  static Table table;
  return table;
}

// Bytes of `rows` rows of `width` pixels at `bits` bits per pixel, each row a multiple of 16 bits.
size_t IconBytes(int width, int rows, int bits) {
  const size_t rowBits = static_cast<size_t>(width) * bits;
  return (rowBits + 15) / 16 * 2 * static_cast<size_t>(rows);
}

bool Selected(const void* handle) {
  auto uses = [handle](const DcState& s) {
    return s.pen == handle || s.brush == handle || s.font == handle || s.bitmap == handle || s.palette == handle;
  };
  for (Dc* dc : AllDcs()) {
    if (uses(dc->state)) return true;
    for (const DcState& s : dc->saved)
      if (uses(s)) return true;
  }
  return false;
}

}  // namespace

std::recursive_mutex& Lock() { return TheTable().lock; }

void* Insert(ObjectData data, bool permanent) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  table.next += 4;
  table.objects.emplace(table.next, Object{std::move(data), permanent});
  return reinterpret_cast<void*>(table.next);
}

Object* FindObject(const void* handle) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  auto it = table.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it != table.objects.end() ? &it->second : nullptr;
}

bool Erase(const void* handle) {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  return table.objects.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1;
}

std::vector<Dc*> AllDcs() {
  Table& table = TheTable();
  std::lock_guard guard(table.lock);
  std::vector<Dc*> dcs;
  for (auto& [handle, object] : table.objects)
    if (Dc* dc = std::get_if<Dc>(&object.data)) dcs.push_back(dc);
  return dcs;
}

}  // namespace gdi

using namespace gdi;

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (palette == nullptr || palette->palVersion != kLogPaletteVersion || palette->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Palette p;
  p.entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return static_cast<HPALETTE>(Insert(std::move(p)));
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  std::lock_guard guard(Lock());
  const Palette* p = Find<Palette>(palette);
  if (p == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const std::vector<PALETTEENTRY>& all = p->entries;
  if (entries == nullptr) return static_cast<UINT>(all.size());
  if (start >= all.size()) return 0;
  const UINT n = count < all.size() - start ? count : static_cast<UINT>(all.size() - start);
  for (UINT i = 0; i < n; ++i) entries[i] = all[start + i];
  return n;
}

HPALETTE SelectPalette(HDC handle, HPALETTE palette, BOOL) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr || Find<Palette>(palette) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ old = dc->state.palette;
  dc->state.palette = palette;
  return static_cast<HPALETTE>(old);
}

UINT RealizePalette(HDC handle) {
  std::lock_guard guard(Lock());
  if (Find<Dc>(handle) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return GDI_ERROR;
  }
  return 0;
}

UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
  std::lock_guard guard(Lock());
  const Palette* p = Find<Palette>(palette);
  if (p == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return CLR_INVALID;
  }
  UINT best = 0;
  long long bestDistance = -1;
  for (size_t i = 0; i < p->entries.size(); ++i) {
    const PALETTEENTRY& e = p->entries[i];
    const long long dr = e.peRed - GetRValue(color), dg = e.peGreen - GetGValue(color), db = e.peBlue - GetBValue(color);
    const long long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = static_cast<UINT>(i);
    }
  }
  return best;
}

BOOL DeleteObject(HGDIOBJ object) {
  std::lock_guard guard(Lock());
  Object* o = FindObject(object);
  if (o == nullptr || o->Kind() == SimGdiKind::Icon || o->Kind() == SimGdiKind::Dc) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (o->permanent) return TRUE;
  if (Selected(object)) return FALSE;
  Erase(object);
  return TRUE;
}

HICON CreateIcon(HINSTANCE, int width, int height, BYTE planes, BYTE bitsPixel, const BYTE* andBits,
                 const BYTE* xorBits) {
  constexpr int kMaxSide = 256;
  constexpr int kMaxBitsPerPixel = 32;
  if (andBits == nullptr || xorBits == nullptr || width < 1 || height < 1 || width > kMaxSide ||
      height > kMaxSide || planes == 0 || bitsPixel == 0 || planes * bitsPixel > kMaxBitsPerPixel) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Icon icon;
  icon.width = width;
  icon.height = height;
  icon.bitsPixel = planes * bitsPixel;
  icon.andBits.assign(andBits, andBits + IconBytes(width, height, 1));
  icon.xorBits.assign(xorBits, xorBits + IconBytes(width, height, icon.bitsPixel));
  return static_cast<HICON>(Insert(std::move(icon)));
}

BOOL DestroyIcon(HICON icon) {
  std::lock_guard guard(Lock());
  if (Find<Icon>(icon) == nullptr || !Erase(icon)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

int SimLiveGdiObjectsOfKind(SimGdiKind kind) {
  std::lock_guard guard(Lock());
  int n = 0;
  for (const auto& [handle, object] : TheTable().objects)
    if (!object.permanent && object.Kind() == kind) ++n;
  return n;
}

int SimLiveGdiObjects() {
  std::lock_guard guard(Lock());
  int n = 0;
  for (const auto& [handle, object] : TheTable().objects)
    if (!object.permanent) ++n;
  return n;
}
