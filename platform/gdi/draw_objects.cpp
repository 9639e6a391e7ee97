// Pens, brushes, fonts, stock objects and the descriptions GetObjectW copies (draw_objects.h).
#include "platform/gdi/draw_objects.h"

#include <array>
#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_table.h"
#include "platform/kernel/lasterror.h"

namespace gdi {
namespace {

constexpr int kStockCount = DEFAULT_GUI_FONT + 1;

struct StockFont {
  int index;
  LONG height;
  LONG weight;
  const char16_t* face;
  BYTE charSet;
};

// The stock fonts: the system font is bold sans 16 pixels high, the GUI font the dialog face at
// 8 points on a 96 dpi screen, the fixed fonts mono. The system's own fonts are in the system's
// character set (that of the ANSI code page), as window and dialog texts are; the ANSI fonts in
// ANSI_CHARSET.
constexpr std::array kStockFonts{
    StockFont{OEM_FIXED_FONT, 12, FW_NORMAL, u"Terminal", ANSI_CHARSET},
    StockFont{ANSI_FIXED_FONT, 12, FW_NORMAL, u"Courier", ANSI_CHARSET},
    StockFont{ANSI_VAR_FONT, -11, FW_NORMAL, u"MS Sans Serif", ANSI_CHARSET},
    StockFont{SYSTEM_FONT, 16, FW_BOLD, u"System", DEFAULT_CHARSET},
    StockFont{DEVICE_DEFAULT_FONT, 16, FW_BOLD, u"System", DEFAULT_CHARSET},
    StockFont{SYSTEM_FIXED_FONT, 15, FW_NORMAL, u"Fixedsys", DEFAULT_CHARSET},
    StockFont{DEFAULT_GUI_FONT, -11, FW_NORMAL, u"MS Shell Dlg", DEFAULT_CHARSET},
};

// The twenty static colours of the default palette.
constexpr std::array<PALETTEENTRY, 20> kDefaultPalette{{
    {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
    {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
    {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
    {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
}};

ObjectData MakeStock(int index) {
  switch (index) {
    case WHITE_BRUSH: return Brush{BS_SOLID, RGB(255, 255, 255), 0};
    case LTGRAY_BRUSH: return Brush{BS_SOLID, RGB(192, 192, 192), 0};
    case GRAY_BRUSH: return Brush{BS_SOLID, RGB(128, 128, 128), 0};
    case DKGRAY_BRUSH: return Brush{BS_SOLID, RGB(64, 64, 64), 0};
    case BLACK_BRUSH: return Brush{BS_SOLID, RGB(0, 0, 0), 0};
    case NULL_BRUSH: return Brush{BS_NULL, 0, 0};
    case WHITE_PEN: return Pen{PS_SOLID, 1, RGB(255, 255, 255)};
    case BLACK_PEN: return Pen{PS_SOLID, 1, RGB(0, 0, 0)};
    case NULL_PEN: return Pen{PS_NULL, 1, 0};
    case DEFAULT_PALETTE: return Palette{{kDefaultPalette.begin(), kDefaultPalette.end()}};
    default: break;
  }
  Font font;
  for (const StockFont& f : kStockFonts)
    if (f.index == index) {
      font.log.lfHeight = f.height;
      font.log.lfWeight = f.weight;
      font.log.lfCharSet = f.charSet;
      lstrcpynW(font.log.lfFaceName, f.face, LF_FACESIZE);
    }
  return font;
}

bool IsStockIndex(int index) { return index >= 0 && index < kStockCount && index != 9; }

struct Stocks {
  std::array<HGDIOBJ, kStockCount> objects{};
  HGDIOBJ bitmap = nullptr;
};

Stocks& TheStocks() {
  static Stocks stocks;
  return stocks;
}

bool KnownPenStyle(UINT style) { return (style & PS_STYLE_MASK) <= PS_INSIDEFRAME; }

template <class T>
int CopyOut(const T& value, int size, void* buffer) {
  if (buffer == nullptr) return sizeof(T);
  if (size < static_cast<int>(sizeof(T))) return 0;
  std::memcpy(buffer, &value, sizeof(T));
  return sizeof(T);
}

}  // namespace

HGDIOBJ Stock(int index) {
  std::lock_guard guard(Lock());
  HGDIOBJ& slot = TheStocks().objects[static_cast<size_t>(index)];
  if (slot == nullptr) slot = Insert(MakeStock(index), true);
  return slot;
}

HGDIOBJ DefaultBitmap() {
  std::lock_guard guard(Lock());
  HGDIOBJ& slot = TheStocks().bitmap;
  if (slot == nullptr) {
    Bitmap bitmap;
    bitmap.width = bitmap.height = 1;
    bitmap.pixels.assign(1, 0);
    slot = Insert(std::move(bitmap), true);
  }
  return slot;
}

}  // namespace gdi

using namespace gdi;

HPEN CreatePen(int style, int width, COLORREF color) {
  if (style < 0 || !KnownPenStyle(static_cast<UINT>(style))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HPEN>(Insert(Pen{static_cast<UINT>(style) & PS_STYLE_MASK, width < 1 ? 1 : width, color & 0xFFFFFF}));
}

HPEN CreatePenIndirect(const LOGPEN* pen) {
  if (pen == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreatePen(static_cast<int>(pen->lopnStyle), pen->lopnWidth.x, pen->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) { return static_cast<HBRUSH>(Insert(Brush{BS_SOLID, color & 0xFFFFFF, 0})); }

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
  if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return static_cast<HBRUSH>(Insert(Brush{BS_HATCHED, color & 0xFFFFFF, hatch}));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (brush == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  switch (brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(brush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(Insert(Brush{BS_NULL, 0, 0}));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(brush->lbHatch), brush->lbColor);
    default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
  }
}

HBRUSH GdiCreatePermanentBrush(COLORREF color) { return static_cast<HBRUSH>(Insert(Brush{BS_SOLID, color & 0xFFFFFF, 0}, true)); }

HFONT CreateFontIndirectW(const LOGFONTW* font) {
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Font f;
  f.log = *font;
  f.log.lfFaceName[LF_FACESIZE - 1] = 0;
  return static_cast<HFONT>(Insert(std::move(f)));
}

HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic, DWORD underline,
                  DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                  DWORD pitchAndFamily, LPCWSTR face) {
  LOGFONTW log{};
  log.lfHeight = height;
  log.lfWidth = width;
  log.lfEscapement = escapement;
  log.lfOrientation = orientation;
  log.lfWeight = weight;
  log.lfItalic = static_cast<BYTE>(italic);
  log.lfUnderline = static_cast<BYTE>(underline);
  log.lfStrikeOut = static_cast<BYTE>(strikeOut);
  log.lfCharSet = static_cast<BYTE>(charSet);
  log.lfOutPrecision = static_cast<BYTE>(outPrecision);
  log.lfClipPrecision = static_cast<BYTE>(clipPrecision);
  log.lfQuality = static_cast<BYTE>(quality);
  log.lfPitchAndFamily = static_cast<BYTE>(pitchAndFamily);
  if (face != nullptr) lstrcpynW(log.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectW(&log);
}

HGDIOBJ GetStockObject(int index) { return IsStockIndex(index) ? Stock(index) : nullptr; }

DWORD GetObjectType(HGDIOBJ object) {
  std::lock_guard guard(Lock());
  Object* o = FindObject(object);
  if (o == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  switch (o->Kind()) {
    case SimGdiKind::Palette: return OBJ_PAL;
    case SimGdiKind::Bitmap: return OBJ_BITMAP;
    case SimGdiKind::Pen: return OBJ_PEN;
    case SimGdiKind::Brush: return OBJ_BRUSH;
    case SimGdiKind::Font: return OBJ_FONT;
    case SimGdiKind::Region: return OBJ_REGION;
    case SimGdiKind::Dc: return std::get<Dc>(o->data).memory ? OBJ_MEMDC : OBJ_DC;
    case SimGdiKind::Icon: break;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return 0;
}

int GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
  std::lock_guard guard(Lock());
  Object* o = FindObject(object);
  if (o == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (const Pen* pen = std::get_if<Pen>(&o->data)) return CopyOut(LOGPEN{pen->style, POINT{pen->width, 0}, pen->color}, size, buffer);
  if (const Brush* brush = std::get_if<Brush>(&o->data))
    return CopyOut(LOGBRUSH{brush->style, brush->color, static_cast<ULONG_PTR>(brush->hatch)}, size, buffer);
  if (const Font* font = std::get_if<Font>(&o->data)) return CopyOut(font->log, size, buffer);
  if (const Palette* palette = std::get_if<Palette>(&o->data)) return CopyOut(static_cast<WORD>(palette->entries.size()), size, buffer);
  if (Bitmap* bitmap = std::get_if<Bitmap>(&o->data)) {
    BITMAP bm{0, bitmap->width, bitmap->height, bitmap->width * 4, 1, 32, bitmap->dibSection ? bitmap->pixels.data() : nullptr};
    if (bitmap->dibSection && (buffer == nullptr || size >= static_cast<int>(sizeof(DIBSECTION)))) {
      DIBSECTION ds{};
      ds.dsBm = bm;
      ds.dsBmih = bitmap->header;
      return CopyOut(ds, size, buffer);
    }
    return CopyOut(bm, size, buffer);
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return 0;
}
