// Icons from resources (see resources.h). The icon's DIB is read field by field and checked
// against the bytes present: a header of 40 bytes, 1, 4, 8, 24 or 32 bits per pixel, a
// palette, colour rows and AND-mask rows (each a multiple of 4 bytes, bottom row first).
#include "platform/user/resources.h"

#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <vector>

#include "platform/base/errors.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/drawn.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/resource.h"
#include "platform/user/control_paint.h"
#include "platform/user/controls.h"
#include "platform/user/picture_resources.h"
#include "platform/user/user_sim.h"

namespace {

constexpr DWORD kGroupHeaderSize = 6;
constexpr DWORD kGroupEntrySize = 14;
constexpr DWORD kDibHeaderSize = 40;

// An icon's picture as loaded: colour pixels 0x00RRGGBB and whether each is opaque.
struct IconPicture {
  LONG width = 0;
  LONG height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<bool> opaque;
};

struct Loaded {
  std::mutex lock;
  std::map<HICON, IconPicture> pictures;
};

Loaded& State() {
  static Loaded* l = new Loaded;
  return *l;
}

WORD U16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
DWORD U32(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }

bool Bytes(HINSTANCE instance, LPCWSTR name, LPCWSTR type, const BYTE*& data, DWORD& size) {
  HRSRC found = FindResourceW(instance, name, type);
  if (found == nullptr) return false;
  data = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
  size = SizeofResource(instance, found);
  return data != nullptr;
}

HICON Fail() {
  SetLastError(ERROR_INVALID_DATA);
  return nullptr;
}

// The icon of one RT_ICON image: colour bits made 32 bits per pixel (0x00RRGGBB), rows top
// first; the AND mask in rows of 16-bit multiples, top first.
HICON MakeIcon(HINSTANCE instance, const BYTE* dib, DWORD size) {
  if (size < kDibHeaderSize || U32(dib) != kDibHeaderSize) return Fail();
  LONG width = LONG(U32(dib + 4)), height2 = LONG(U32(dib + 8));
  WORD bits = U16(dib + 14);
  DWORD compression = U32(dib + 16), used = U32(dib + 32);
  if (width < 1 || width > 256 || height2 < 2 || height2 > 512 || height2 % 2 || compression != 0) return Fail();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return Fail();
  LONG height = height2 / 2;
  DWORD colours = bits <= 8 ? (used ? used : (1u << bits)) : 0;
  if (bits <= 8 && colours > (1u << bits)) return Fail();
  DWORD rowBytes = ((DWORD(width) * bits + 31) / 32) * 4;
  DWORD maskRow = ((DWORD(width) + 31) / 32) * 4;
  DWORD need = kDibHeaderSize + colours * 4 + rowBytes * DWORD(height) + maskRow * DWORD(height);
  if (need > size) return Fail();
  const BYTE* palette = dib + kDibHeaderSize;
  const BYTE* pixels = palette + colours * 4;
  const BYTE* mask = pixels + rowBytes * DWORD(height);
  std::vector<BYTE> xorBits(size_t(width) * size_t(height) * 4);
  DWORD andRow = ((DWORD(width) + 15) / 16) * 2;
  std::vector<BYTE> andBits(size_t(andRow) * size_t(height));
  for (LONG y = 0; y < height; ++y) {
    const BYTE* row = pixels + rowBytes * DWORD(height - 1 - y);
    const BYTE* mrow = mask + maskRow * DWORD(height - 1 - y);
    for (LONG x = 0; x < width; ++x) {
      BYTE b = 0, g = 0, r = 0;
      if (bits <= 8) {
        DWORD index = bits == 8 ? row[x] : bits == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF : (row[x / 8] >> (7 - x % 8)) & 1;
        if (index >= colours) return Fail();
        b = palette[index * 4];
        g = palette[index * 4 + 1];
        r = palette[index * 4 + 2];
      } else {
        const BYTE* p = row + size_t(x) * (bits / 8);
        b = p[0];
        g = p[1];
        r = p[2];
      }
      BYTE* out = &xorBits[(size_t(y) * size_t(width) + size_t(x)) * 4];
      out[0] = b;
      out[1] = g;
      out[2] = r;
      out[3] = 0;
    }
    for (DWORD k = 0; k < andRow && k < maskRow; ++k) andBits[size_t(y) * andRow + k] = mrow[k];
  }
  HICON icon = CreateIcon(instance, int(width), int(height), 1, 32, andBits.data(), xorBits.data());
  if (icon == nullptr) return nullptr;
  IconPicture picture{width, height, {}, {}};
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x) {
      const BYTE* p = &xorBits[(size_t(y) * size_t(width) + size_t(x)) * 4];
      picture.pixels.push_back(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16));
      picture.opaque.push_back(!((andBits[size_t(y) * andRow + size_t(x) / 8] >> (7 - x % 8)) & 1));
    }
  Loaded& l = State();
  std::lock_guard<std::mutex> guard(l.lock);
  l.pictures[icon] = std::move(picture);
  return icon;
}

}  // namespace

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  if (type != IMAGE_ICON || (flags & LR_LOADFROMFILE)) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  const BYTE* group;
  DWORD groupSize;
  if (!Bytes(instance, name, MAKEINTRESOURCEW(14), group, groupSize)) return nullptr;
  if (groupSize < kGroupHeaderSize || U16(group + 2) != 1) return Fail();
  DWORD count = U16(group + 4);
  if (count == 0 || kGroupHeaderSize + count * kGroupEntrySize > groupSize) return Fail();
  if (cx == 0 && (flags & LR_DEFAULTSIZE)) cx = kIconSize;
  if (cy == 0 && (flags & LR_DEFAULTSIZE)) cy = kIconSize;
  // The image whose size is nearest (an exact one first), the deepest colour among equals.
  DWORD best = 0;
  long bestScore = -1;
  for (DWORD i = 0; i < count; ++i) {
    const BYTE* e = group + kGroupHeaderSize + i * kGroupEntrySize;
    int w = e[0] ? e[0] : 256, h = e[1] ? e[1] : 256;
    long distance = (cx ? std::abs(w - cx) : 0) + (cy ? std::abs(h - cy) : 0);
    long score = 100000 - distance * 64 + U16(e + 6);
    if (cx == 0 && cy == 0) score = i == 0 ? 1 : 0;
    if (score > bestScore) {
      bestScore = score;
      best = i;
    }
  }
  WORD imageId = U16(group + kGroupHeaderSize + best * kGroupEntrySize + 12);
  const BYTE* dib;
  DWORD dibSize;
  if (!Bytes(instance, MAKEINTRESOURCEW(imageId), MAKEINTRESOURCEW(3), dib, dibSize)) return Fail();
  HICON icon = MakeIcon(instance, dib, dibSize);
  UserNotePictureResource(icon, instance, name);
  return icon;
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name) {
  return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
}

BOOL UserDrawLoadedIcon(HDC dc, int x, int y, HICON icon) {
  IconPicture picture;
  {
    Loaded& l = State();
    std::lock_guard<std::mutex> guard(l.lock);
    auto it = l.pictures.find(icon);
    if (it == l.pictures.end()) return FALSE;
    picture = it->second;
  }
  GdiNoteDrawn(dc, GdiDrawn{GdiDrawn::Icon, {}, icon, RECT{x, y, x + picture.width, y + picture.height}});
  for (LONG row = 0; row < picture.height; ++row)
    for (LONG col = 0; col < picture.width; ++col) {
      size_t i = size_t(row) * size_t(picture.width) + size_t(col);
      std::uint32_t c = picture.pixels[i];
      if (picture.opaque[i]) SetPixel(dc, x + col, y + row, RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF));
    }
  return TRUE;
}

WORD SimIconResourceId(HICON icon) {
  HMODULE module;
  WORD id = 0;
  return UserPictureResource(icon, module, id) ? id : 0;
}
