// Text with FreeType glyphs and metrics from the font files alone (rules in text.h).
#include "platform/gdi/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/gdi/drawn_internal.h"
#include "platform/gdi/font_files.h"
#include "platform/gdi/printer_device.h"
#include "platform/gdi/raster.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/lasterror.h"

using namespace gdi;

namespace {

// How far an italic drawn from an upright file leans: x grows by this much per unit of height.
constexpr double kItalicSlant = 0.2;
// The cell height of a font whose height is 0.
constexpr LONG kDefaultCellHeight = 16;
// Tabs of DrawTextW stop every this many average characters.
constexpr LONG kTabCharacters = 8;

FT_Library Library() {
  static FT_Library library = nullptr;
  static std::once_flag once;
  std::call_once(once, [] { FT_Init_FreeType(&library); });
  return library;
}

// Faces by file, em, slant and escapement (tenths of a degree, counter-clockwise), opened once
// and kept for the process; the glyphs of a face with an escapement are turned by it.
FT_Face OpenFace(const std::string& path, LONG em, bool slant, LONG escapement = 0) {
  static std::map<std::tuple<std::string, LONG, bool, LONG>, FT_Face> faces;
  const auto key = std::make_tuple(path, em, slant, escapement);
  if (auto it = faces.find(key); it != faces.end()) return it->second;
  FT_Face face = nullptr;
  if (Library() == nullptr || FT_New_Face(Library(), path.c_str(), 0, &face) != 0) return nullptr;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(em));
  if (slant || escapement != 0) {
    // The turn after the lean: [c -s; s c] x [1 k; 0 1], in the face's y-up units.
    const double angle = escapement * M_PI / 1800.0, c = std::cos(angle), s = std::sin(angle);
    const double k = slant ? kItalicSlant : 0.0;
    FT_Matrix m{static_cast<FT_Fixed>(std::lround(c * 0x10000)), static_cast<FT_Fixed>(std::lround((c * k - s) * 0x10000)),
                static_cast<FT_Fixed>(std::lround(s * 0x10000)), static_cast<FT_Fixed>(std::lround((s * k + c) * 0x10000))};
    FT_Set_Transform(face, &m, nullptr);
  }
  faces.emplace(key, face);
  return face;
}

// Design units to pixels at the em, rounded half away from zero.
LONG Scale(long long units, LONG em, long long unitsPerEm) {
  const long long v = units * em * 2;
  return static_cast<LONG>(v >= 0 ? (v + unitsPerEm) / (2 * unitsPerEm) : -((-v + unitsPerEm) / (2 * unitsPerEm)));
}

struct CodePageSet {
  UINT codePage;
  int charSet;
  int signatureBit;
};

constexpr CodePageSet kCodePageSets[] = {
    {1252, ANSI_CHARSET, 0},     {932, SHIFTJIS_CHARSET, 17},    {936, GB2312_CHARSET, 18},
    {949, HANGUL_CHARSET, 19},   {950, CHINESEBIG5_CHARSET, 20},
};

int ResolveCharset(BYTE charSet) {
  if (charSet != DEFAULT_CHARSET) return charSet;
  const UINT acp = GetACP();
  for (const CodePageSet& s : kCodePageSets)
    if (s.codePage == acp) return s.charSet;
  return ANSI_CHARSET;
}

// A face's design metrics as the Windows metrics of its OS/2 table give them.
struct DesignMetrics {
  long long unitsPerEm;
  long long winAscent;
  long long winDescent;
};

DesignMetrics DesignOf(FT_Face probe) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(probe, FT_SFNT_OS2));
  return DesignMetrics{probe->units_per_EM, os2 != nullptr ? os2->usWinAscent : probe->ascender,
                       os2 != nullptr ? os2->usWinDescent : -probe->descender};
}

long long CellUnits(const DesignMetrics& design) { return std::max(1LL, design.winAscent + design.winDescent); }

// The em in pixels of a face for a font's lfHeight: -lfHeight for a negative height, else the
// em that makes the face's cell that height.
LONG EmForHeight(LONG height, const DesignMetrics& design) {
  if (height < 0) return -height;
  const LONG cell = height == 0 ? kDefaultCellHeight : height;
  return std::max<LONG>(1, Scale(design.unitsPerEm, cell, CellUnits(design)));
}

// A DC's font ready to measure and draw. Characters the face has no glyph for come from the
// fallback face (when installed), sized for the same lfHeight; the font's metrics are the face's.
struct TextFont {
  FT_Face face = nullptr;
  LONG em = 0;
  long long unitsPerEm = 1;
  FT_Face fallback = nullptr;
  LONG fallbackEm = 0;
  long long fallbackUnitsPerEm = 1;
  TEXTMETRICW tm{};
  bool underline = false;
  bool strikeOut = false;
  LONG underlineOffset = 1;  // below the baseline
  LONG underlineThickness = 1;
  LONG strikeOffset = 0;     // above the baseline
  LONG escapement = 0;       // tenths of a degree, counter-clockwise
};

bool FontOf(const Dc& dc, TextFont& font) {
  const Font* f = Find<Font>(dc.state.font);
  if (f == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const LOGFONTW& log = f->log;
  const LONG weight = log.lfWeight == 0 ? FW_NORMAL : log.lfWeight;
  const FontFile file = GdiFindFontFile(log.lfFaceName, weight, log.lfItalic != 0);
  if (file.path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  // The face's design metrics, read from a face at any size.
  FT_Face probe = OpenFace(file.path, kDefaultCellHeight, false);
  if (probe == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(probe, FT_SFNT_OS2));
  const DesignMetrics design = DesignOf(probe);
  const long long upem = design.unitsPerEm;
  const LONG em = EmForHeight(log.lfHeight, design);
  LONG ascent, descent;
  if (log.lfHeight < 0) {
    ascent = Scale(design.winAscent, em, upem);
    descent = Scale(design.winDescent, em, upem);
  } else {
    const LONG cell = log.lfHeight == 0 ? kDefaultCellHeight : log.lfHeight;
    ascent = Scale(design.winAscent, cell, CellUnits(design));
    descent = cell - ascent;
  }
  font.escapement = log.lfEscapement % 3600;
  font.face = OpenFace(file.path, em, file.slant, font.escapement);
  if (font.face == nullptr) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  font.em = em;
  font.unitsPerEm = upem;
  // Without the fallback's package the characters the face lacks draw its missing-glyph box.
  if (const std::string fallback = GdiFindFallbackFontFile(); !fallback.empty()) {
    if (FT_Face fallbackProbe = OpenFace(fallback, kDefaultCellHeight, false); fallbackProbe != nullptr) {
      const DesignMetrics fallbackDesign = DesignOf(fallbackProbe);
      font.fallbackEm = EmForHeight(log.lfHeight, fallbackDesign);
      font.fallbackUnitsPerEm = fallbackDesign.unitsPerEm;
      font.fallback = OpenFace(fallback, font.fallbackEm, file.slant, font.escapement);
    }
  }
  TEXTMETRICW& tm = font.tm;
  tm = TEXTMETRICW{};
  tm.tmAscent = ascent;
  tm.tmDescent = descent;
  tm.tmHeight = ascent + descent;
  tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - em);
  tm.tmAveCharWidth = Scale(os2 != nullptr ? os2->xAvgCharWidth : probe->max_advance_width / 2, em, upem);
  tm.tmMaxCharWidth = Scale(probe->max_advance_width, em, upem);
  tm.tmWeight = weight;
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFFFC;
  tm.tmDefaultChar = 0x20;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = log.lfItalic != 0;
  tm.tmUnderlined = log.lfUnderline != 0;
  tm.tmStruckOut = log.lfStrikeOut != 0;
  const BYTE family = file.family == FontFileFamily::Mono ? FF_MODERN : file.family == FontFileFamily::Serif ? FF_ROMAN : FF_SWISS;
  tm.tmPitchAndFamily = static_cast<BYTE>(family | TMPF_VECTOR | TMPF_TRUETYPE | (FT_IS_FIXED_WIDTH(probe) ? 0 : TMPF_FIXED_PITCH));
  tm.tmCharSet = static_cast<BYTE>(ResolveCharset(log.lfCharSet));
  font.underline = tm.tmUnderlined;
  font.strikeOut = tm.tmStruckOut;
  font.underlineOffset = std::max<LONG>(1, Scale(-probe->underline_position, em, upem));
  font.underlineThickness = std::max<LONG>(1, Scale(probe->underline_thickness, em, upem));
  font.strikeOffset = os2 != nullptr ? Scale(os2->yStrikeoutPosition, em, upem) : ascent / 3;
  return true;
}

// The face a character is drawn with and its glyph there.
struct GlyphSource {
  FT_Face face;
  FT_UInt index;
  LONG em;
  long long unitsPerEm;
};

// The font's face when it has the character, else the fallback face when that has it, else the
// font's face's missing glyph (index 0). Spaces and controls never fall back.
GlyphSource SourceOf(const TextFont& font, char32_t c) {
  const FT_UInt index = FT_Get_Char_Index(font.face, c);
  if (index == 0 && c > 0x20 && font.fallback != nullptr) {
    if (const FT_UInt other = FT_Get_Char_Index(font.fallback, c); other != 0)
      return GlyphSource{font.fallback, other, font.fallbackEm, font.fallbackUnitsPerEm};
  }
  return GlyphSource{font.face, index, font.em, font.unitsPerEm};
}

LONG Advance(const TextFont& font, char32_t c) {
  FT_Fixed advance = 0;
  const GlyphSource source = SourceOf(font, c);
  if (FT_Get_Advance(source.face, source.index, FT_LOAD_NO_SCALE, &advance) != 0) return 0;
  return Scale(advance, source.em, source.unitsPerEm);
}

// The advance of every UTF-16 unit: a surrogate pair's advance goes to its first unit.
std::vector<LONG> Advances(const TextFont& font, const WCHAR* text, size_t count) {
  std::vector<LONG> out(count, 0);
  for (size_t i = 0; i < count; ++i) {
    const char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      out[i] = Advance(font, 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      out[i] = Advance(font, c);
    }
  }
  return out;
}

LONG Sum(const std::vector<LONG>& v) {
  LONG s = 0;
  for (LONG a : v) s += a;
  return s;
}

std::uint8_t Blend(std::uint8_t d, std::uint8_t c, unsigned coverage) {
  return static_cast<std::uint8_t>((d * (255 - coverage) + c * coverage + 127) / 255);
}

// Blends a rendered glyph's coverage in the colour into the target, its first pixel at
// (left, top).
void PaintGlyph(const Target& t, const FT_Bitmap& bm, LONG left, LONG top, std::uint32_t color) {
  for (unsigned row = 0; row < bm.rows; ++row)
    for (unsigned col = 0; col < bm.width; ++col) {
      const unsigned coverage = bm.buffer[static_cast<long>(row) * bm.pitch + col];
      const LONG x = left + static_cast<LONG>(col), y = top + static_cast<LONG>(row);
      if (coverage == 0 || !t.Visible(x, y)) continue;
      std::uint32_t* p = t.Pixel(x, y);
      const std::uint32_t d = *p;
      *p = (std::uint32_t{Blend(d >> 16, color >> 16, coverage)} << 16) | (Blend(d >> 8, color >> 8, coverage) << 8) |
           Blend(d, color, coverage);
    }
}

// The character at text[i]; a surrogate pair counts as one and leaves i on its second unit.
char32_t NextCharacter(const WCHAR* text, size_t count, size_t& i) {
  const char32_t c = text[i];
  if (c >= 0xD800 && c < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
    ++i;
    return 0x10000 + ((c - 0xD800) << 10) + (text[i] - 0xDC00);
  }
  return c;
}

// Draws the glyphs of the text from the surface point `origin` on the baseline, each unit
// moving on by its advance; only inside `limit` (surface pixels) when given.
void DrawGlyphs(const Target& target, const TextFont& font, const WCHAR* text, size_t count, const std::vector<LONG>& advances,
                POINT origin, std::uint32_t color, const RECT* limit) {
  Target t = target;
  if (limit != nullptr) t.clip = ClipRects(t.clip, *limit);
  if (t.clip.empty()) return;
  const RECT visible = BoundsOf(t.clip);
  LONG penX = origin.x;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = i;
    const char32_t c = NextCharacter(text, count, i);
    const LONG reach = std::max(font.em, font.fallbackEm);
    const bool nearby = penX < visible.right + reach && penX + 2 * reach > visible.left;
    const GlyphSource source = nearby && c > 0x20 ? SourceOf(font, c) : GlyphSource{};
    // Outlines only: a fallback file's embedded bitmaps would draw differently from its outlines.
    if (source.face != nullptr && FT_Load_Glyph(source.face, source.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER) == 0) {
      const FT_GlyphSlot slot = source.face->glyph;
      const FT_Bitmap& bm = slot->bitmap;
      const LONG left = penX + slot->bitmap_left, top = origin.y - slot->bitmap_top;
      PaintGlyph(t, bm, left, top, color);
    }
    penX += advances[at];
  }
  Paint line;
  line.color = color;
  const LONG width = penX - origin.x;
  if (font.underline)
    FillBox(t, RECT{origin.x, origin.y + font.underlineOffset, origin.x + width, origin.y + font.underlineOffset + font.underlineThickness}, line);
  if (font.strikeOut)
    FillBox(t, RECT{origin.x, origin.y - font.strikeOffset, origin.x + width, origin.y - font.strikeOffset + font.underlineThickness}, line);
}

// Draws the glyphs of turned text: the baseline starts at the surface point `origin` and runs
// at the font's escapement; each unit moves on by its advance along it.
void DrawTurnedGlyphs(const Target& t, const TextFont& font, const WCHAR* text, size_t count,
                      const std::vector<LONG>& advances, double originX, double originY, std::uint32_t color) {
  const double angle = font.escapement * M_PI / 1800.0, c = std::cos(angle), s = std::sin(angle);
  double pen = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t at = i;
    const char32_t ch = NextCharacter(text, count, i);
    const GlyphSource source = ch > 0x20 ? SourceOf(font, ch) : GlyphSource{};
    if (source.face != nullptr && FT_Load_Glyph(source.face, source.index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_RENDER) == 0) {
      const FT_GlyphSlot slot = source.face->glyph;
      const FT_Bitmap& bm = slot->bitmap;
      const LONG left = std::lround(originX + pen * c) + slot->bitmap_left;
      const LONG top = std::lround(originY - pen * s) - slot->bitmap_top;
      PaintGlyph(t, bm, left, top, color);
    }
    pen += advances[at];
  }
}

// Text output in logical coordinates, as ExtTextOutW; the caller holds the lock. A printer DC
// hands the placed text to its engine.
BOOL Output(Dc& dc, LONG x, LONG y, UINT options, const RECT* rect, const WCHAR* text, size_t count, const INT* dx) {
  TextFont font;
  if (count > 0 && text == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (count > 0 && !FontOf(dc, font)) return FALSE;
  Target t;
  const bool printer = dc.printer != nullptr;
  if (!printer && !TargetOf(dc, t)) return TRUE;
  RECT box{};
  if (rect != nullptr) {
    const POINT a = ToSurface(dc, POINT{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom)});
    const POINT b = ToSurface(dc, POINT{std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)});
    box = RECT{a.x, a.y, b.x, b.y};
  }
  if (rect != nullptr && (options & ETO_OPAQUE) != 0) {
    if (printer) {
      if (!dc.printer->fillRect(dc, box, dc.state.bkColor)) return FALSE;
    } else {
      Paint bk;
      bk.color = ToPixel(dc.state.bkColor);
      FillBox(t, box, bk);
    }
  }
  if (count == 0) return TRUE;
  std::vector<LONG> advances = Advances(font, text, count);
  if (dx != nullptr)
    for (size_t i = 0; i < count; ++i) advances[i] = dx[i];
  const LONG width = Sum(advances);
  const UINT align = dc.state.textAlign;
  POINT at = (align & TA_UPDATECP) != 0 ? dc.state.position : POINT{x, y};
  LONG left = at.x;
  if ((align & TA_CENTER) == TA_CENTER)
    left = at.x - width / 2;
  else if ((align & TA_RIGHT) != 0)
    left = at.x - width;
  LONG baseline = at.y + font.tm.tmAscent;
  if ((align & TA_BASELINE) == TA_BASELINE)
    baseline = at.y;
  else if ((align & TA_BOTTOM) != 0)
    baseline = at.y - font.tm.tmDescent;
  if ((align & TA_UPDATECP) != 0) dc.state.position.x = (align & TA_CENTER) == TA_CENTER ? at.x : (align & TA_RIGHT) != 0 ? left : left + width;
  if (!printer) {
    const POINT a = ToSurface(dc, POINT{left, baseline - font.tm.tmAscent});
    const POINT b = ToSurface(dc, POINT{left + width, baseline + font.tm.tmDescent});
    NoteDrawn(dc, GdiDrawn{GdiDrawn::Text, std::u16string(text, count), nullptr, RECT{a.x, a.y, b.x, b.y}});
  }
  if (font.escapement != 0) {
    // The line turns about the reference point; no background cell and no lines are drawn.
    const double angle = font.escapement * M_PI / 1800.0, c = std::cos(angle), s = std::sin(angle);
    const POINT reference = ToSurface(dc, at);
    const double dx = left - at.x, dy = baseline - at.y;
    const double originX = reference.x + dx * c + dy * s, originY = reference.y - dx * s + dy * c;
    if (printer) {
      // The engine turns the glyphs itself; it gets the turned baseline's start.
      const POINT start{static_cast<LONG>(std::lround(originX)), static_cast<LONG>(std::lround(originY))};
      const RECT* limit = rect != nullptr && (options & ETO_CLIPPED) != 0 ? &box : nullptr;
      return dc.printer->text(dc, PrinterTextRun{text, count, start, font.em, 0, limit});
    }
    Target turned = t;
    if (rect != nullptr && (options & ETO_CLIPPED) != 0) turned.clip = ClipRects(turned.clip, box);
    if (!turned.clip.empty())
      DrawTurnedGlyphs(turned, font, text, count, advances, originX, originY, ToPixel(dc.state.textColor));
    return TRUE;
  }
  const POINT origin = ToSurface(dc, POINT{left, baseline});
  const RECT* limit = rect != nullptr && (options & ETO_CLIPPED) != 0 ? &box : nullptr;
  if (printer) {
    // The engine places glyphs by their own advances; given advances reach it only as one
    // fixed pitch, when they are all the same.
    LONG pitch = 0;
    if (dx != nullptr && std::all_of(advances.begin(), advances.end(), [&](LONG a) { return a == advances[0]; }))
      pitch = advances[0];
    return dc.printer->text(dc, PrinterTextRun{text, count, origin, font.em, pitch, limit});
  }
  if (dc.state.bkMode == OPAQUE && (options & ETO_OPAQUE) == 0) {
    Paint bk;
    bk.color = ToPixel(dc.state.bkColor);
    RECT cell{origin.x, origin.y - font.tm.tmAscent, origin.x + width, origin.y + font.tm.tmDescent};
    FillBox(t, limit != nullptr ? ClipRects({cell}, *limit).empty() ? RECT{} : ClipRects({cell}, *limit)[0] : cell, bk);
  }
  DrawGlyphs(t, font, text, count, advances, origin, ToPixel(dc.state.textColor), limit);
  return TRUE;
}

template <class R, class F>
R WithFont(HDC handle, R fail, F use) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return fail;
  }
  TextFont font;
  if (!FontOf(*dc, font)) return fail;
  return use(*dc, font);
}

}  // namespace

UINT SetTextAlign(HDC handle, UINT align) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) return GDI_ERROR;
  const UINT old = dc->state.textAlign;
  dc->state.textAlign = align;
  return old;
}

UINT GetTextAlign(HDC handle) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  return dc != nullptr ? dc->state.textAlign : GDI_ERROR;
}

BOOL TextOutW(HDC handle, int x, int y, LPCWSTR text, int count) {
  if (count < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return Output(*dc, x, y, 0, nullptr, text, static_cast<size_t>(count), nullptr);
}

BOOL ExtTextOutW(HDC handle, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  if (dc == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return Output(*dc, x, y, options, rect, text, count, dx);
}

BOOL GetTextExtentExPointW(HDC handle, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size) {
  if (count < 0 || (count > 0 && text == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WithFont(handle, FALSE, [&](Dc&, TextFont& font) {
    const std::vector<LONG> advances = Advances(font, text, static_cast<size_t>(count));
    LONG extent = 0;
    int fits = 0;
    for (int i = 0; i < count; ++i) {
      extent += advances[static_cast<size_t>(i)];
      if (dx != nullptr) dx[i] = extent;
      if (extent <= maxExtent) fits = i + 1;
    }
    if (fit != nullptr) *fit = fits;
    if (size != nullptr) *size = SIZE{extent, font.tm.tmHeight};
    return TRUE;
  });
}

BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size) {
  if (size == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return GetTextExtentExPointW(dc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextMetricsW(HDC handle, TEXTMETRICW* metrics) {
  if (metrics == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WithFont(handle, FALSE, [&](Dc&, TextFont& font) {
    *metrics = font.tm;
    return TRUE;
  });
}

int GetTextFaceW(HDC handle, int count, LPWSTR face) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  const Font* f = dc != nullptr ? Find<Font>(dc->state.font) : nullptr;
  if (f == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const int length = lstrlenW(f->log.lfFaceName);
  if (face == nullptr) return length + 1;
  if (count <= 0) return 0;
  lstrcpynW(face, f->log.lfFaceName, count);
  return lstrlenW(face);
}

int GetTextCharsetInfo(HDC handle, FONTSIGNATURE* signature, DWORD) {
  std::lock_guard guard(Lock());
  Dc* dc = Find<Dc>(handle);
  const Font* f = dc != nullptr ? Find<Font>(dc->state.font) : nullptr;
  if (f == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return DEFAULT_CHARSET;
  }
  const int set = ResolveCharset(f->log.lfCharSet);
  if (signature != nullptr) {
    *signature = FONTSIGNATURE{};
    for (const CodePageSet& s : kCodePageSets)
      if (s.charSet == set) signature->fsCsb[0] = 1u << s.signatureBit;
  }
  return set;
}

int GetTextCharset(HDC dc) { return GetTextCharsetInfo(dc, nullptr, 0); }

namespace {

// A line of DrawTextW: its text and the position of its underlined character (or npos).
struct TextLine {
  std::u16string text;
  size_t underline = std::u16string::npos;
};

LONG Width(const TextFont& font, const std::u16string& s) { return Sum(Advances(font, s.data(), s.size())); }

// Removes the prefix marks: "&x" underlines x, "&&" is one '&'.
TextLine StripPrefixes(const std::u16string& s, UINT format) {
  TextLine line;
  if ((format & DT_NOPREFIX) != 0) {
    line.text = s;
    return line;
  }
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == u'&' && i + 1 < s.size()) {
      ++i;
      if (s[i] != u'&' && (format & DT_HIDEPREFIX) == 0) line.underline = line.text.size();
    } else if (s[i] == u'&') {
      continue;
    }
    line.text += s[i];
  }
  return line;
}

std::u16string ExpandTabs(const TextFont& font, const std::u16string& s) {
  std::u16string out;
  const LONG stop = std::max<LONG>(1, kTabCharacters * font.tm.tmAveCharWidth);
  for (char16_t c : s) {
    if (c != u'\t') {
      out += c;
      continue;
    }
    const LONG width = Width(font, out), space = std::max<LONG>(1, Advance(font, u' '));
    const LONG target = (width / stop + 1) * stop;
    for (LONG w = width; w < target; w += space) out += u' ';
  }
  return out;
}

// Japanese, Chinese and Korean characters: their text has no spaces between words, so a line
// may break on either side of one.
bool IsIdeographic(char16_t c) {
  return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xAC00 && c <= 0xD7AF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF01 && c <= 0xFFEF);
}

// Closing marks, small kana and the prolonged sound mark never begin a line.
constexpr std::u16string_view kNoLineStart = u"\u3001\u3002\uff0c\uff0e\uff09\u300d\u300f\u3011\u3015\uff01\uff1f"
                                             u"\u30fc\u3041\u3043\u3045\u3047\u3049\u3063\u3083\u3085\u3087"
                                             u"\u30a1\u30a3\u30a5\u30a7\u30a9\u30c3\u30e3\u30e5\u30e7";
// Opening marks never end a line.
constexpr std::u16string_view kNoLineEnd = u"\uff08\u300c\u300e\u3010\u3014";

// Whether a line may break between s[i - 1] and s[i] where there is no space.
bool BreaksBetween(const std::u16string& s, size_t i) {
  const char16_t before = s[i - 1], after = s[i];
  if (before == u' ' || after == u' ' || !(IsIdeographic(before) || IsIdeographic(after))) return false;
  return kNoLineStart.find(after) == std::u16string_view::npos && kNoLineEnd.find(before) == std::u16string_view::npos;
}

// Breaks a line at spaces and beside ideographic characters so that each piece fits `width`
// (a word wider than it stays whole).
void WrapLine(const TextFont& font, const TextLine& line, LONG width, std::vector<TextLine>& out) {
  size_t start = 0;
  const std::u16string& s = line.text;
  while (start < s.size() || start == 0) {
    size_t end = s.size(), lastBreak = std::u16string::npos;
    for (size_t i = start; i <= s.size(); ++i) {
      if (i == s.size() || s[i] == u' ' || (i > start && BreaksBetween(s, i))) {
        if (Width(font, s.substr(start, i - start)) > width && lastBreak != std::u16string::npos) {
          end = lastBreak;
          break;
        }
        lastBreak = i;
        if (i == s.size()) end = i;
      }
    }
    TextLine piece;
    piece.text = s.substr(start, end - start);
    if (line.underline != std::u16string::npos && line.underline >= start && line.underline < end) piece.underline = line.underline - start;
    out.push_back(piece);
    start = end;
    while (start < s.size() && s[start] == u' ') ++start;
    if (end >= s.size()) break;
  }
}

// Shortens a line that is wider than `width` to end in "..." (or lose the middle of a path).
void Ellipsize(const TextFont& font, TextLine& line, LONG width, UINT format) {
  if (Width(font, line.text) <= width) return;
  const std::u16string dots = u"...";
  if ((format & DT_PATH_ELLIPSIS) != 0) {
    const size_t slash = line.text.find_last_of(u"\\/");
    if (slash != std::u16string::npos && slash > 0) {
      std::u16string head = line.text.substr(0, slash);
      const std::u16string tail = line.text.substr(slash);
      while (!head.empty() && Width(font, head + dots + tail) > width) head.pop_back();
      line.text = head + dots + tail;
      line.underline = std::u16string::npos;
      return;
    }
  }
  std::u16string base = line.text;
  while (!base.empty() && Width(font, base + dots) > width) base.pop_back();
  line.text = base + dots;
  if (line.underline != std::u16string::npos && line.underline >= base.size()) line.underline = std::u16string::npos;
}

}  // namespace

int DrawTextW(HDC handle, LPCWSTR text, int count, LPRECT rect, UINT format) {
  if (text == nullptr || rect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const size_t length = count < 0 ? static_cast<size_t>(lstrlenW(text)) : static_cast<size_t>(count);
  return WithFont(handle, 0, [&](Dc& dc, TextFont& font) {
    const std::u16string all(text, length);
    const LONG areaWidth = rect->right - rect->left;
    // Lines: at line feeds (a CR LF pair is one break) unless single-line.
    std::vector<std::u16string> raw;
    if ((format & DT_SINGLELINE) != 0) {
      raw.push_back(all);
    } else {
      std::u16string current;
      for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == u'\r' || all[i] == u'\n') {
          raw.push_back(current);
          current.clear();
          if (all[i] == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n') ++i;
        } else {
          current += all[i];
        }
      }
      raw.push_back(current);
    }
    std::vector<TextLine> lines;
    for (const std::u16string& r : raw) {
      TextLine line = StripPrefixes((format & DT_EXPANDTABS) != 0 ? ExpandTabs(font, r) : r, format);
      if ((format & DT_WORDBREAK) != 0 && (format & DT_SINGLELINE) == 0)
        WrapLine(font, line, areaWidth, lines);
      else
        lines.push_back(line);
    }
    if ((format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS)) != 0)
      for (TextLine& line : lines) Ellipsize(font, line, areaWidth, format);
    const LONG lineHeight = font.tm.tmHeight + ((format & DT_EXTERNALLEADING) != 0 ? font.tm.tmExternalLeading : 0);
    const LONG height = lineHeight * static_cast<LONG>(lines.size());
    LONG widest = 0;
    for (const TextLine& line : lines) widest = std::max(widest, Width(font, line.text));
    if ((format & DT_CALCRECT) != 0) {
      if ((format & DT_WORDBREAK) == 0 || widest > areaWidth) rect->right = rect->left + widest;
      if ((format & DT_WORDBREAK) != 0) rect->right = rect->left + widest;
      rect->bottom = rect->top + height;
      return static_cast<int>(height);
    }
    LONG top = rect->top;
    const bool single = (format & DT_SINGLELINE) != 0;
    if (single && (format & DT_VCENTER) != 0)
      top = rect->top + (rect->bottom - rect->top - height) / 2;
    else if (single && (format & DT_BOTTOM) != 0)
      top = rect->bottom - height;
    const UINT savedAlign = dc.state.textAlign;
    dc.state.textAlign = TA_LEFT | TA_TOP;
    const UINT options = (format & DT_NOCLIP) != 0 ? 0 : ETO_CLIPPED;
    for (size_t i = 0; i < lines.size(); ++i) {
      const TextLine& line = lines[i];
      const LONG width = Width(font, line.text);
      LONG left = rect->left;
      if ((format & DT_CENTER) != 0)
        left = rect->left + (areaWidth - width) / 2;
      else if ((format & DT_RIGHT) != 0)
        left = rect->right - width;
      const LONG y = top + lineHeight * static_cast<LONG>(i);
      if ((format & DT_PREFIXONLY) == 0) Output(dc, left, y, options, rect, line.text.data(), line.text.size(), nullptr);
      if (line.underline != std::u16string::npos) {
        Target t;
        if (TargetOf(dc, t)) {
          const std::vector<LONG> advances = Advances(font, line.text.data(), line.text.size());
          LONG x = left;
          for (size_t k = 0; k < line.underline; ++k) x += advances[k];
          const POINT a = ToSurface(dc, POINT{x, y + font.tm.tmAscent + font.underlineOffset});
          Paint ink;
          ink.color = ToPixel(dc.state.textColor);
          RECT bar{a.x, a.y, a.x + advances[line.underline], a.y + font.underlineThickness};
          if (options != 0) {
            const POINT c = ToSurface(dc, POINT{rect->left, rect->top}), d = ToSurface(dc, POINT{rect->right, rect->bottom});
            t.clip = ClipRects(t.clip, RECT{c.x, c.y, d.x, d.y});
          }
          FillBox(t, bar, ink);
        }
      }
    }
    dc.state.textAlign = savedAlign;
    if (single && (format & (DT_VCENTER | DT_BOTTOM)) != 0) return static_cast<int>(top + height - rect->top);
    return static_cast<int>(height);
  });
}
