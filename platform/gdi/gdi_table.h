// The layer's one table of GDI objects (palettes, icons, bitmaps, pens, brushes, fonts, regions
// and DCs), shared by the GDI source files. Handle values step by 4 from a base no kernel handle
// uses and are never reused, so a stale or foreign handle is refused. Callers hold Lock() while
// they use what Find answers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <variant>
#include <vector>

#include "platform/base/types.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/gdi_sim.h"

struct EngineDc;

namespace gdi {
struct PrinterDcCalls;
}  // namespace gdi

namespace gdi {

struct Palette {
  std::vector<PALETTEENTRY> entries;
};

struct Icon {
  int width = 0;
  int height = 0;
  int bitsPixel = 0;            // of the colour image
  std::vector<BYTE> andBits;    // 1 bit a pixel, rows of 16-bit multiples, top-down
  std::vector<BYTE> xorBits;    // bitsPixel a pixel, same row rule
};

struct Bitmap {
  LONG width = 0;
  LONG height = 0;
  std::vector<std::uint32_t> pixels;  // the DIB memory: bottom row first when bottomUp
  bool dibSection = false;
  bool bottomUp = false;
  BITMAPINFOHEADER header{};          // a DIB section's header as given
  HDC selectedInto = nullptr;

  // The first pixel of row y (0 the top row).
  std::uint32_t* Row(LONG y) { return pixels.data() + static_cast<size_t>(bottomUp ? height - 1 - y : y) * width; }
};

struct Pen {
  UINT style = PS_SOLID;
  LONG width = 1;
  COLORREF color = 0;
};

struct Brush {
  UINT style = BS_SOLID;
  COLORREF color = 0;
  LONG hatch = 0;
};

struct Font {
  LOGFONTW log{};
};

// Rectangles that do not overlap, each with its right and bottom edges outside.
struct Region {
  std::vector<RECT> rects;
};

struct DcState {
  HGDIOBJ pen = nullptr;
  HGDIOBJ brush = nullptr;
  HGDIOBJ font = nullptr;
  HGDIOBJ bitmap = nullptr;  // memory DCs
  HGDIOBJ palette = nullptr;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  int polyFillMode = ALTERNATE;
  int stretchMode = BLACKONWHITE;
  UINT textAlign = 0;
  POINT viewportOrg{0, 0};
  POINT windowOrg{0, 0};
  POINT brushOrg{0, 0};
  POINT position{0, 0};
  bool hasClip = false;
  Region clip;  // device coordinates
};

struct Dc {
  bool memory = false;
  GdiSurface surface{};  // a surface DC's
  POINT origin{0, 0};    // a surface DC's device (0, 0) on its surface
  RECT bounds{};         // a surface DC's drawable part of the surface
  DcState state;
  std::vector<DcState> saved;
  EngineDc* engine = nullptr;  // a printer DC's device context in the graphics engine (engine/printer_dc.h)
  const PrinterDcCalls* printer = nullptr;  // a printer DC's calls (printer_device.h)
  HWND window = nullptr;                    // the window a window DC draws into (drawn.h)
};

using ObjectData = std::variant<Palette, Icon, Bitmap, Pen, Brush, Font, Region, Dc>;

struct Object {
  ObjectData data;
  bool permanent = false;  // stock objects and permanent brushes

  SimGdiKind Kind() const { return static_cast<SimGdiKind>(data.index()); }
};

std::recursive_mutex& Lock();
void* Insert(ObjectData data, bool permanent = false);
Object* FindObject(const void* handle);
// Removes a live object; false for one that is not live.
bool Erase(const void* handle);
// Every live DC, for the checks that an object is not selected.
std::vector<Dc*> AllDcs();

// A stock object (GetStockObject's index), made on first use.
HGDIOBJ Stock(int index);
// The 1 x 1 bitmap a new memory DC has selected (selectable into any number of DCs).
HGDIOBJ DefaultBitmap();

template <class T>
T* Find(const void* handle) {
  Object* object = FindObject(handle);
  return object != nullptr ? std::get_if<T>(&object->data) : nullptr;
}

// Colours: COLORREF is 0x00BBGGRR, pixels are 0x00RRGGBB.
inline std::uint32_t ToPixel(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
inline COLORREF ToColor(std::uint32_t p) { return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF); }

}  // namespace gdi
