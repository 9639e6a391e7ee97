// Real fonts for the engine's text objects: FreeType faces give the font metrics (IFIMETRICS),
// glyph outlines as paths and one-bit glyph bitmaps; EngComputeGlyphSet maps a code page.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/engine/engine_state.h"
#include "platform/engine/font_faces.h"
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include "platform/gdi/font_files.h"
#include "platform/gdi/fonts.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/resource.h"

namespace engine {

struct Font {
  FONTOBJ fo{};
  FT_Face face = nullptr;
  LONG em = 0;
  std::vector<ULONG_PTR> ifi;  // the IFIMETRICS block with its names, 8-byte aligned
  Xform* xform = nullptr;
  struct Glyph {
    GLYPHDATA data{};
    GLYPHDEF def{};
    std::vector<ULONG_PTR> bits;  // GLYPHBITS
    Path* path = nullptr;
  };
  std::map<std::pair<HGLYPH, ULONG>, std::unique_ptr<Glyph>> glyphs;
};

namespace {

FT_Library Library() {
  static FT_Library library = nullptr;
  static std::once_flag once;
  std::call_once(once, [] { FT_Init_FreeType(&library); });
  return library;
}

// FreeType's 26.6 units to 28.4.
FIX From26Dot6(FT_Pos v) { return static_cast<FIX>((v + (v >= 0 ? 2 : -2)) / 4); }

void AppendName(std::vector<BYTE>& block, PTRDIFF& offset, const char* name) {
  offset = static_cast<PTRDIFF>(block.size());
  for (const char* p = name != nullptr ? name : ""; *p != 0; ++p) {
    block.push_back(static_cast<BYTE>(*p));
    block.push_back(0);
  }
  block.push_back(0);
  block.push_back(0);
}

// The IFIMETRICS of a face, with the family, style, face and unique names behind it.
// A name of the font's metrics as the DC asked for it.
void AppendName(std::vector<BYTE>& block, PTRDIFF& offset, const std::u16string& name) {
  offset = static_cast<PTRDIFF>(block.size());
  for (char16_t c : name) {
    block.push_back(static_cast<BYTE>(c));
    block.push_back(static_cast<BYTE>(c >> 8));
  }
  block.push_back(0);
  block.push_back(0);
}

// The IFIMETRICS of a face, with the family, style, face and unique names behind it; the
// family and face names are the ones the text asked for, as a font realised by that name
// reports them (a face name the host has no file for is served by a stand-in file).
std::vector<ULONG_PTR> BuildMetrics(FT_Face face, SIZEL resolution, const std::u16string& asked) {
  IFIMETRICS m{};
  std::vector<BYTE> names(sizeof(IFIMETRICS));
  if (asked.empty()) AppendName(names, m.dpwszFamilyName, face->family_name);
  else AppendName(names, m.dpwszFamilyName, asked);
  AppendName(names, m.dpwszStyleName, face->style_name);
  std::string full = std::string(face->family_name ? face->family_name : "") + " " + (face->style_name ? face->style_name : "");
  if (asked.empty()) AppendName(names, m.dpwszFaceName, face->family_name);
  else AppendName(names, m.dpwszFaceName, asked);
  AppendName(names, m.dpwszUniqueName, full.c_str());
  m.cjThis = static_cast<ULONG>((names.size() + 7) & ~size_t{7});
  const bool bold = face->style_flags & FT_STYLE_FLAG_BOLD, italic = face->style_flags & FT_STYLE_FLAG_ITALIC;
  const bool fixed = FT_IS_FIXED_WIDTH(face);
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  m.jWinCharSet = 0;  // ANSI_CHARSET
  constexpr BYTE kFixedPitch = 1, kVariablePitch = 2, kFamilySwiss = 0x20;
  m.jWinPitchAndFamily = (fixed ? kFixedPitch : kVariablePitch) | kFamilySwiss;
  m.usWinWeight = os2 != nullptr ? os2->usWeightClass : (bold ? 700 : 400);
  m.flInfo = FM_INFO_TECH_TRUETYPE | FM_INFO_ARB_XFORMS | FM_INFO_1BPP | FM_INFO_RETURNS_OUTLINES |
             FM_INFO_RETURNS_BITMAPS | FM_INFO_RIGHT_HANDED | (fixed ? FM_INFO_CONSTANT_WIDTH : 0);
  m.fsSelection = (italic ? FM_SEL_ITALIC : 0) | (bold ? FM_SEL_BOLD : 0) | (!bold && !italic ? FM_SEL_REGULAR : 0);
  m.fwdUnitsPerEm = static_cast<FWORD>(face->units_per_EM);
  m.fwdLowestPPEm = 8;
  m.fwdWinAscender = m.fwdMacAscender = m.fwdTypoAscender = face->ascender;
  m.fwdWinDescender = static_cast<FWORD>(-face->descender);
  m.fwdMacDescender = m.fwdTypoDescender = face->descender;
  m.fwdMacLineGap = m.fwdTypoLineGap = static_cast<FWORD>(std::max(0, face->height - face->ascender + face->descender));
  m.fwdAveCharWidth = os2 != nullptr ? os2->xAvgCharWidth : static_cast<FWORD>(face->max_advance_width / 2);
  m.fwdMaxCharInc = static_cast<FWORD>(face->max_advance_width);
  m.fwdCapHeight = os2 != nullptr ? os2->sCapHeight : 0;
  m.fwdXHeight = os2 != nullptr ? os2->sxHeight : 0;
  m.fwdUnderscoreSize = face->underline_thickness;
  m.fwdUnderscorePosition = face->underline_position;
  m.fwdStrikeoutSize = os2 != nullptr ? os2->yStrikeoutSize : face->underline_thickness;
  m.fwdStrikeoutPosition = os2 != nullptr ? os2->yStrikeoutPosition : static_cast<FWORD>(face->ascender / 3);
  FT_UInt index = 0;
  FT_ULong first = FT_Get_First_Char(face, &index), last = first;
  for (FT_ULong c = first; index != 0; c = FT_Get_Next_Char(face, c, &index)) last = c;
  m.wcFirstChar = static_cast<WCHAR>(std::min<FT_ULong>(first, 0xFFFF));
  m.wcLastChar = static_cast<WCHAR>(std::min<FT_ULong>(last, 0xFFFF));
  m.wcDefaultChar = u'?';
  m.wcBreakChar = u' ';
  m.chFirstChar = 0x20;
  m.chLastChar = 0xFF;
  m.chDefaultChar = '?';
  m.chBreakChar = ' ';
  m.ptlBaseline = {1, 0};
  m.ptlAspect = {resolution.cx, resolution.cy};
  m.ptlCaret = {0, 1};
  m.rclFontBox = {static_cast<LONG>(face->bbox.xMin), static_cast<LONG>(face->bbox.yMax),
                  static_cast<LONG>(face->bbox.xMax), static_cast<LONG>(face->bbox.yMin)};
  std::memcpy(m.achVendId, os2 != nullptr ? reinterpret_cast<const char*>(os2->achVendID) : "Unkn", 4);
  std::memcpy(names.data(), &m, sizeof m);
  std::vector<ULONG_PTR> block(m.cjThis / sizeof(ULONG_PTR), 0);
  std::memcpy(block.data(), names.data(), names.size());
  return block;
}

struct OutlineBuilder {
  std::vector<Path::Batch> batches;
  std::vector<POINTFIX> points;
  POINTFIX last{0, 0};
  bool open = false;

  void Close() {
    if (open) batches.back().flags |= PD_ENDSUBPATH | PD_CLOSEFIGURE;
    open = false;
  }
  void Add(bool bezier, std::initializer_list<POINTFIX> pts) {
    Path::Batch& b = batches.back();
    const bool onlyStart = (b.flags & PD_BEGINSUBPATH) && b.count == 1;
    if (onlyStart && bezier) b.flags |= PD_BEZIERS;
    if (!onlyStart && ((b.flags & PD_BEZIERS) != 0) != bezier)
      batches.push_back({bezier ? static_cast<FLONG>(PD_BEZIERS) : 0u, static_cast<ULONG>(points.size()), 0});
    for (POINTFIX p : pts) points.push_back(p);
    batches.back().count += static_cast<ULONG>(pts.size());
    last = *(pts.end() - 1);
  }
};

POINTFIX Device(const FT_Vector* v) { return {From26Dot6(v->x), -From26Dot6(v->y)}; }

int MoveTo(const FT_Vector* to, void* user) {
  auto* b = static_cast<OutlineBuilder*>(user);
  b->Close();
  b->batches.push_back({PD_BEGINSUBPATH, static_cast<ULONG>(b->points.size()), 1});
  b->last = Device(to);
  b->points.push_back(b->last);
  b->open = true;
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  static_cast<OutlineBuilder*>(user)->Add(false, {Device(to)});
  return 0;
}

// A quadratic segment raised to the cubic Bezier that draws the same curve.
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* b = static_cast<OutlineBuilder*>(user);
  POINTFIX p0 = b->last, c = Device(control), p3 = Device(to);
  POINTFIX c1{p0.x + 2 * (c.x - p0.x) / 3, p0.y + 2 * (c.y - p0.y) / 3};
  POINTFIX c2{p3.x + 2 * (c.x - p3.x) / 3, p3.y + 2 * (c.y - p3.y) / 3};
  b->Add(true, {c1, c2, p3});
  return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  static_cast<OutlineBuilder*>(user)->Add(true, {Device(c1), Device(c2), Device(to)});
  return 0;
}

Font::Glyph* LoadGlyph(Font* font, HGLYPH hg, ULONG mode) {
  auto key = std::make_pair(hg, mode);
  auto found = font->glyphs.find(key);
  if (found != font->glyphs.end()) return found->second.get();
  const FT_Int32 flags = mode == FO_GLYPHBITS ? FT_LOAD_TARGET_MONO : (FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
  if (FT_Load_Glyph(font->face, hg, flags) != 0) return nullptr;
  FT_GlyphSlot slot = font->face->glyph;
  auto glyph = std::make_unique<Font::Glyph>();
  GLYPHDATA& d = glyph->data;
  d.hg = hg;
  d.fxD = From26Dot6(slot->advance.x);
  d.fxA = From26Dot6(slot->metrics.horiBearingX);
  d.fxAB = d.fxA + From26Dot6(slot->metrics.width);
  d.fxInkTop = -From26Dot6(slot->metrics.horiBearingY);
  d.fxInkBottom = d.fxInkTop + From26Dot6(slot->metrics.height);
  d.ptqD.x.QuadPart = static_cast<LONGLONG>(slot->advance.x) << 26;  // 32.32
  if (mode == FO_GLYPHBITS) {
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return nullptr;
    const FT_Bitmap& bm = slot->bitmap;
    // A glyph without ink is handed out as one blank pixel.
    const LONG w = std::max<LONG>(1, bm.width), h = std::max<LONG>(1, bm.rows), rowBytes = (w + 7) / 8;
    glyph->bits.assign((offsetof(GLYPHBITS, aj) + rowBytes * h + sizeof(ULONG_PTR)) / sizeof(ULONG_PTR), 0);
    auto* gb = reinterpret_cast<GLYPHBITS*>(glyph->bits.data());
    gb->ptlOrigin = {slot->bitmap_left, -slot->bitmap_top};
    gb->sizlBitmap = {w, h};
    for (unsigned y = 0; y < bm.rows; ++y) std::memcpy(gb->aj + y * rowBytes, bm.buffer + y * bm.pitch, (bm.width + 7) / 8);
    glyph->def.pgb = gb;
    d.rclInk = {gb->ptlOrigin.x, gb->ptlOrigin.y, gb->ptlOrigin.x + w, gb->ptlOrigin.y + h};
  } else {
    OutlineBuilder builder;
    FT_Outline_Funcs funcs{&MoveTo, &LineTo, &ConicTo, &CubicTo, 0, 0};
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE || FT_Outline_Decompose(&slot->outline, &funcs, &builder) != 0)
      return nullptr;
    builder.Close();
    glyph->path = NewPathFromPoints(std::move(builder.batches), std::move(builder.points), PO_BEZIERS);
    glyph->def.ppo = &glyph->path->po;
  }
  d.gdf = glyph->def;
  Font::Glyph* out = glyph.get();
  font->glyphs[key] = std::move(glyph);
  return out;
}

}  // namespace

FT_Face OpenFace(const DrawText& text) {
  const FontFile file =
      GdiFindFontFile(text.face, text.bold && !text.simulateBold ? FW_BOLD : FW_NORMAL, text.italic);
  FT_Face face = nullptr;
  if (file.path.empty() || FT_New_Face(Library(), file.path.c_str(), 0, &face) != 0) return nullptr;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max<LONG>(1, text.emHeight)));
  // An italic face without a slanted file: the upright glyphs leaned right; an escapement
  // then turns them counter-clockwise (FreeType's y grows upwards).
  const double slant = file.slant ? kItalicSlant : 0.0, angle = EscapementRadians(text);
  if (slant != 0 || angle != 0) {
    const double c = std::cos(angle), s = std::sin(angle);
    FT_Matrix m{static_cast<FT_Fixed>(std::lround(c * 0x10000)), static_cast<FT_Fixed>(std::lround((c * slant - s) * 0x10000)),
                static_cast<FT_Fixed>(std::lround(s * 0x10000)), static_cast<FT_Fixed>(std::lround((s * slant + c) * 0x10000))};
    FT_Set_Transform(face, &m, nullptr);
  }
  return face;
}

double EscapementRadians(const DrawText& text) { return (text.escapement % 3600) * 3.14159265358979323846 / 1800.0; }

void PlaceGlyphs(FT_Face face, const DrawText& text, std::vector<PlacedGlyph>& glyphs, RECTL& bounds) {
  glyphs.clear();
  const double angle = EscapementRadians(text);
  if (angle != 0) {
    // A turned baseline: the pen follows the advances the face's transform turned too; the
    // box holds the turned rectangle of the glyphs' ascent and descent.
    FT_Vector pen{0, 0};  // 26.6, y upwards
    for (char16_t c : text.text) {
      const FT_UInt index = FT_Get_Char_Index(face, c);
      glyphs.push_back({index, {text.origin.x + static_cast<LONG>(std::lround(pen.x / 64.0)),
                                text.origin.y - static_cast<LONG>(std::lround(pen.y / 64.0))}});
      if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
        pen.x += face->glyph->advance.x;
        pen.y += face->glyph->advance.y;
      }
    }
    const FT_Size_Metrics& sm = face->size->metrics;
    const double length = std::hypot(pen.x / 64.0, pen.y / 64.0), up = sm.ascender / 64.0, down = -sm.descender / 64.0;
    const double c = std::cos(angle), s = std::sin(angle);
    double left = 1e18, top = 1e18, right = -1e18, bottom = -1e18;
    for (double along : {0.0, length})
      for (double across : {-up, down}) {
        const double x = text.origin.x + along * c + across * s, y = text.origin.y - along * s + across * c;
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
      }
    bounds = {static_cast<LONG>(std::floor(left)), static_cast<LONG>(std::floor(top)), static_cast<LONG>(std::ceil(right)),
              static_cast<LONG>(std::ceil(bottom))};
    return;
  }
  FT_Pos pen = 0;  // 26.6
  const FT_Pos pitch = static_cast<FT_Pos>(text.fixedPitch) * 64 * (text.reversed ? -1 : 1);
  for (char16_t c : text.text) {
    const FT_UInt index = FT_Get_Char_Index(face, c);
    glyphs.push_back({index, {text.origin.x + static_cast<LONG>((pen + 32) >> 6), text.origin.y}});
    if (text.fixedPitch > 0) pen += pitch;
    else if (FT_Load_Glyph(face, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) pen += face->glyph->advance.x;
  }
  const FT_Size_Metrics& sm = face->size->metrics;
  // A reversed string runs left of its origin; its box still spans its glyphs.
  const FT_Pos low = std::min<FT_Pos>(0, pen), high = std::max<FT_Pos>(0, pen) + (text.reversed ? 64 * text.fixedPitch : 0);
  bounds = {text.origin.x + static_cast<LONG>(low >> 6), text.origin.y - static_cast<LONG>((sm.ascender + 63) >> 6),
            text.origin.x + static_cast<LONG>((high + 63) >> 6), text.origin.y + static_cast<LONG>((-sm.descender + 63) >> 6)};
}

RECTL UnderlineRect(FT_Face face, const DrawText& text, const RECTL& bounds) {
  if (!text.underline || text.escapement % 3600 != 0 || face->units_per_EM == 0) return {0, 0, 0, 0};
  const double scale = static_cast<double>(text.emHeight) / face->units_per_EM;
  const LONG thickness = std::max<LONG>(1, static_cast<LONG>(std::lround(face->underline_thickness * scale)));
  const LONG top = text.origin.y + static_cast<LONG>(std::lround(-face->underline_position * scale)) - thickness / 2;
  return {bounds.left, top, bounds.right, top + thickness};
}

Font* RealizeFont(const DrawText& text, SIZEL resolution) {
  FT_Face face = OpenFace(text);
  if (face == nullptr) return nullptr;
  auto font = new Font;
  font->face = face;
  font->em = text.emHeight;
  font->ifi = BuildMetrics(face, resolution, text.face);
  const FLOATL scale = static_cast<FLOATL>(text.emHeight) / static_cast<FLOATL>(face->units_per_EM);
  const double angle = EscapementRadians(text);
  const FLOATL c = static_cast<FLOATL>(std::cos(angle)) * scale, s = static_cast<FLOATL>(std::sin(angle)) * scale;
  font->xform = NewXform({c, -s, s, c, 0, 0});
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  font->fo.iUniq = State().nextUniq++;
  font->fo.iFace = 1;
  font->fo.cxMax = static_cast<ULONG>((face->size->metrics.max_advance + 63) >> 6);
  font->fo.flFontType = FO_TYPE_TRUETYPE | (text.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD) ? FO_SIM_BOLD : 0) |
                        (text.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC) ? FO_SIM_ITALIC : 0);
  if (font->fo.flFontType & FO_SIM_ITALIC) font->xform->m.eM21 -= kItalicSlant * scale;
  font->fo.iTTUniq = font->fo.iUniq;
  font->fo.sizLogResPpi = resolution;
  font->fo.pvProducer = font;
  State().fonts.insert(font);
  return font;
}

void DeleteFont(Font* font) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  if (State().fonts.erase(font) == 0) return;
  for (auto& [key, glyph] : font->glyphs)
    if (glyph->path != nullptr) DeletePath(glyph->path);
  DeleteXform(font->xform);
  FT_Done_Face(font->face);
  delete font;
}

void ResetFonts() {
  std::vector<Font*> fonts(State().fonts.begin(), State().fonts.end());
  for (Font* f : fonts) DeleteFont(f);
}

FONTOBJ* FontObject(Font* font) { return &font->fo; }

bool LayoutText(Font* font, const DrawText& text, std::vector<GLYPHPOS>& glyphs, RECTL& bounds) {
  std::vector<PlacedGlyph> placed;
  PlaceGlyphs(font->face, text, placed, bounds);
  glyphs.clear();
  for (const PlacedGlyph& p : placed) {
    Font::Glyph* g = LoadGlyph(font, p.index, FO_GLYPHBITS);
    glyphs.push_back({p.index, g != nullptr ? &g->def : nullptr, p.origin});
  }
  return true;
}

RECTL TextUnderline(Font* font, const DrawText& text, const RECTL& bounds) {
  return UnderlineRect(font->face, text, bounds);
}

}  // namespace engine

using namespace engine;

IFIMETRICS* FONTOBJ_pifi(FONTOBJ* fo) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Font* font = Find(State().fonts, fo);
  if (font == nullptr) {
    Refuse("FONTOBJ_pifi", Pointer(fo), "not an engine font");
    return nullptr;
  }
  auto* ifi = reinterpret_cast<IFIMETRICS*>(font->ifi.data());
  LogCallback("FONTOBJ_pifi", Pointer(fo), Pointer(ifi));
  return ifi;
}

XFORMOBJ* FONTOBJ_pxoGetXform(FONTOBJ* fo) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Font* font = Find(State().fonts, fo);
  if (font == nullptr) {
    Refuse("FONTOBJ_pxoGetXform", Pointer(fo), "not an engine font");
    return nullptr;
  }
  LogCallback("FONTOBJ_pxoGetXform", Pointer(fo), Pointer(&font->xform->xo));
  return &font->xform->xo;
}

ULONG FONTOBJ_cGetGlyphs(FONTOBJ* fo, ULONG mode, ULONG count, HGLYPH* glyphs, PVOID* data) {
  std::lock_guard<std::recursive_mutex> guard(State().lock);
  Font* font = Find(State().fonts, fo);
  std::string args = Format("%s mode=%u count=%u", Pointer(fo).c_str(), mode, count);
  if (data != nullptr) *data = nullptr;
  if (font == nullptr || glyphs == nullptr || data == nullptr || count != 1 || (mode != FO_GLYPHBITS && mode != FO_PATHOBJ)) {
    Refuse("FONTOBJ_cGetGlyphs", args, font == nullptr ? "not an engine font" : "one glyph at a time, bits or path");
    return 0;
  }
  if (glyphs[0] >= static_cast<HGLYPH>(font->face->num_glyphs)) {
    Refuse("FONTOBJ_cGetGlyphs", args, "glyph handle out of range");
    return 0;
  }
  Font::Glyph* g = LoadGlyph(font, glyphs[0], mode);
  if (g == nullptr) {
    LogCallback("FONTOBJ_cGetGlyphs", args, "0");
    return 0;
  }
  *data = &g->data;
  LogCallback("FONTOBJ_cGetGlyphs", args + Format(" hg=%u", glyphs[0]), "1");
  return 1;
}

FD_GLYPHSET* EngComputeGlyphSet(INT codePage, INT firstChar, INT count) {
  std::string args = Format("codePage=%d first=%d count=%d", codePage, firstChar, count);
  if (count <= 0 || count > 256 || firstChar < 0 || firstChar + count > 256) {
    Refuse("EngComputeGlyphSet", args, "characters outside one byte");
    return nullptr;
  }
  // Each byte through the code page (0: the ANSI code page); runs of consecutive code points.
  std::vector<std::pair<WCHAR, HGLYPH>> map;
  for (INT i = 0; i < count; ++i) {
    const char byte = static_cast<char>(firstChar + i);
    WCHAR wc = 0;
    if (MultiByteToWideChar(codePage == 0 ? GetACP() : static_cast<UINT>(codePage), 0, &byte, 1, &wc, 1) == 1)
      map.push_back({wc, static_cast<HGLYPH>(firstChar + i)});
  }
  std::sort(map.begin(), map.end());
  map.erase(std::unique(map.begin(), map.end(), [](auto& a, auto& b) { return a.first == b.first; }), map.end());
  std::vector<std::pair<size_t, size_t>> runs;  // first index, length
  for (size_t i = 0; i < map.size(); ++i) {
    if (!runs.empty() && map[i].first == map[i - 1].first + 1)
      ++runs.back().second;
    else
      runs.push_back({i, 1});
  }
  const size_t header = offsetof(FD_GLYPHSET, awcrun) + sizeof(WCRUN) * std::max<size_t>(1, runs.size());
  const size_t size = header + sizeof(HGLYPH) * map.size();
  auto* set = static_cast<FD_GLYPHSET*>(EngAllocMem(FL_ZERO_MEMORY, static_cast<ULONG>(size), 0x53474651));
  if (set == nullptr) {
    LogCallback("EngComputeGlyphSet", args, "NULL");
    return nullptr;
  }
  set->cjThis = static_cast<ULONG>(size);
  set->flAccel = GS_8BIT_HANDLES;
  set->cGlyphsSupported = static_cast<ULONG>(map.size());
  set->cRuns = static_cast<ULONG>(runs.size());
  auto* handles = reinterpret_cast<HGLYPH*>(reinterpret_cast<BYTE*>(set) + header);
  for (size_t r = 0; r < runs.size(); ++r) {
    WCRUN& run = set->awcrun[r];
    run.wcLow = map[runs[r].first].first;
    run.cGlyphs = static_cast<USHORT>(runs[r].second);
    run.phg = handles + runs[r].first;
  }
  for (size_t i = 0; i < map.size(); ++i) handles[i] = map[i].second;
  LogCallback("EngComputeGlyphSet", args, Pointer(set));
  return set;
}

PVOID EngFindResource(HANDLE module, int name, int type, PULONG size) {
  std::string args = Format("module=%s name=%d type=%d", Pointer(module).c_str(), name, type);
  if (size != nullptr) *size = 0;
  HRSRC found = FindResourceW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(name), MAKEINTRESOURCEW(type));
  PVOID data = found != nullptr ? LockResource(LoadResource(static_cast<HMODULE>(module), found)) : nullptr;
  if (data != nullptr && size != nullptr) *size = SizeofResource(static_cast<HMODULE>(module), found);
  LogCallback("EngFindResource", args, Pointer(data));
  return data;
}
