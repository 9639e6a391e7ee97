#include "graphics/ddi/device_fonts.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/database/dbrecords.h"
#include "core/runtime/resource_module.h"
#include "graphics/ddi/driver_state.h"
#include "graphics/device/pdev_settings.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/engine/engine.h"
#include "platform/gdi/fonts.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/user/paint.h"

namespace {

constexpr WORD kFontRecordType = 11;
constexpr BYTE kShiftJisCharset = 128;
constexpr int kGlyphSetResourceName = 6;
constexpr int kGlyphSetResourceType = 260;

// Header fields of the font data (byte positions of the whole block).
constexpr DWORD kAtVertRes = 10, kAtHorzRes = 12, kAtAscent = 14, kAtIntLeading = 16, kAtExtLeading = 18;
constexpr DWORD kAtItalic = 20, kAtUnderline = 21, kAtStrikeOut = 22, kAtWeight = 23, kAtCharset = 25;
constexpr DWORD kAtPitch = 30, kAtAvgWidth = 31, kAtMaxWidth = 33, kAtFirst = 35, kAtLast = 36, kAtDefault = 37;
constexpr DWORD kAtBreak = 38, kAtExtMetrics = 45 + 14, kAtKerning = 71, kAtHexId = 79;

// The IFIMETRICS block: the fixed part, the face and family names, the simulations.
constexpr DWORD kFaceNameAt = sizeof(IFIMETRICS);
constexpr DWORD kNameBytes = kFontNameChars * sizeof(WCHAR);
constexpr DWORD kFontSimAt = kFaceNameAt + 2 * kNameBytes;
constexpr DWORD kMetricsBytes = kFontSimAt + sizeof(FONTSIM) + 3 * sizeof(FONTDIFF);
static_assert(kMetricsBytes % 4 == 0);

// Code pages of the character sets (character sets 1 and 2 count as 0).
struct CharsetCodePage {
  BYTE charset;
  UINT codePage;
};
constexpr CharsetCodePage kCharsetCodePages[] = {
    {0, 1252},   {128, 932},  {129, 949},  {134, 936},  {136, 950},  {161, 1253},
    {162, 1254}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {238, 1250},
};

UINT CodePageOfCharset(BYTE charset) {
  if (charset == 1 || charset == 2) charset = 0;
  for (const CharsetCodePage& row : kCharsetCodePages)
    if (row.charset == charset) return row.codePage;
  return 1252;
}

bool IsDbcsCharset(BYTE charset) { return charset == 128 || charset == 129 || charset == 134 || charset == 136; }

// The font data's header fields, read once the reader has checked the header is present.
struct FontHeader {
  WORD vertRes, horzRes, ascent, intLeading, extLeading, weight, avgWidth, maxWidth;
  BYTE italic, underline, strikeOut, charset, pitch, first, last, defaultChar, breakChar;
  DWORD extMetrics, kerning;
};

bool ReadHeader(const BYTE* data, DWORD size, FontHeader* h) {
  if (size < kFontFixedPart) return false;
  auto word = [&](DWORD at) {
    WORD v = 0;
    ReadFontWord(data, size, at, &v);
    return v;
  };
  *h = FontHeader{word(kAtVertRes), word(kAtHorzRes), word(kAtAscent), word(kAtIntLeading), word(kAtExtLeading),
                  word(kAtWeight), word(kAtAvgWidth), word(kAtMaxWidth), data[kAtItalic], data[kAtUnderline],
                  data[kAtStrikeOut], data[kAtCharset], data[kAtPitch], data[kAtFirst], data[kAtLast],
                  data[kAtDefault], data[kAtBreak], 0, 0};
  ReadFontDword(data, size, kAtExtMetrics, &h->extMetrics);
  ReadFontDword(data, size, kAtKerning, &h->kerning);
  return true;
}

// ---- Installed families -------------------------------------------------------------------

int CALLBACK CollectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM param) {
  auto* names = reinterpret_cast<std::u16string*>(param);
  names->append(font->lfFaceName);
  names->push_back(u'\0');
  return 1;
}

bool IsInstalled(LPCWSTR installed, LPCWSTR name) {
  for (LPCWSTR n = installed; *n != 0; n += lstrlenW(n) + 1)
    if (lstrcmpiW(n, name) == 0) return true;
  return false;
}

// ---- Entries ------------------------------------------------------------------------------

void FillWidthTable(DeviceFontEntry* e, const FontHeader& h) {
  const FontResourceReader& r = e->reader;
  WORD fallback = h.maxWidth;
  if (r.widthTable == 0) {
    if (IsDbcsCharset(h.charset)) fallback = static_cast<WORD>(fallback / 2);
    for (WORD& w : e->widths) w = fallback;
    return;
  }
  auto width = [&](int c) {
    WORD w = 0;
    ReadFontWord(r.data, r.length, r.widthTable + 2u * static_cast<DWORD>(c - h.first), &w);
    return static_cast<WORD>((w & 0x8000) != 0 ? 0 : w);
  };
  const int defaultChar = h.first + h.defaultChar;
  const WORD unknown = defaultChar <= h.last ? width(defaultChar) : fallback;
  for (int c = 0; c < kFontWidthEntries; ++c) e->widths[c] = c >= h.first && c <= h.last ? width(c) : unknown;
}

void WideName(const char* ansi, WCHAR* out) {
  std::memset(out, 0, kNameBytes);
  MultiByteToWideChar(1252, 0, ansi, -1, out, kFontNameChars);
  out[kFontNameChars - 1] = 0;
}

WCHAR WideChar(BYTE c, UINT codePage) {
  const char byte = static_cast<char>(c);
  WCHAR wc = 0;
  return MultiByteToWideChar(codePage, 0, &byte, 1, &wc, 1) == 1 ? wc : 0;
}

void BuildFontMetrics(DeviceFontEntry* e, const FontHeader& h, WORD kerningPairs) {
  auto* base = reinterpret_cast<BYTE*>(e) + e->metricsOffset;
  auto* ifi = reinterpret_cast<IFIMETRICS*>(base);
  const WORD* em = e->extMetrics;
  const bool fixed = (h.pitch & 0x0F) == 0;
  const bool dbcs = IsDbcsCharset(h.charset);
  auto* face = reinterpret_cast<WCHAR*>(base + kFaceNameAt);
  auto* family = reinterpret_cast<WCHAR*>(base + kFaceNameAt + kNameBytes);
  WideName(e->reader.faceName, face);
  WideName(e->reader.familyName, family);
  ifi->cjThis = e->metricsSize;
  ifi->dpwszFaceName = kFaceNameAt;
  ifi->dpwszFamilyName = kFaceNameAt + kNameBytes;
  // What the style and unique names stand for is open; both follow the family name.
  ifi->dpwszStyleName = ifi->dpwszUniqueName = ifi->dpwszFamilyName + lstrlenW(family);
  ifi->dpFontSim = kFontSimAt;
  ifi->jWinCharSet = h.charset;
  ifi->jWinPitchAndFamily = static_cast<BYTE>((h.pitch & 0xF0) | (fixed ? 1 : 2));
  const USHORT weight = h.weight == 0 || h.weight > 1000 ? 400 : h.weight;
  ifi->usWinWeight = weight;
  ifi->flInfo = FM_INFO_ARB_XFORMS | FM_INFO_NOT_CONTIGUOUS | FM_INFO_RIGHT_HANDED;
  if (fixed) ifi->flInfo |= FM_INFO_OPTICALLY_FIXED_PITCH | (dbcs ? FM_INFO_DBCS_FIXED_PITCH : FM_INFO_CONSTANT_WIDTH);
  ifi->fsSelection = static_cast<USHORT>((h.underline ? FM_SEL_UNDERSCORE : 0) | (h.strikeOut ? FM_SEL_STRIKEOUT : 0));
  ifi->fsType = 2;
  ifi->fwdUnitsPerEm = 1000;
  ifi->fwdLowestPPEm = static_cast<FWORD>(em[kEmMinScale]);
  const FWORD ascent = static_cast<FWORD>(h.ascent);
  const FWORD descent = static_cast<FWORD>(1000 + h.intLeading - h.ascent);
  const LONG gap = static_cast<LONG>(h.extLeading) - h.intLeading;
  ifi->fwdWinAscender = ifi->fwdMacAscender = ifi->fwdTypoAscender = ascent;
  ifi->fwdWinDescender = descent;
  ifi->fwdMacDescender = ifi->fwdTypoDescender = static_cast<FWORD>(-descent);
  ifi->fwdMacLineGap = ifi->fwdTypoLineGap = static_cast<FWORD>(gap > 0 ? gap : 0);
  LONG average = h.avgWidth;
  if (average == 0) {
    LONG sum = 0;
    for (int c = h.first; c <= h.last; ++c) sum += e->widths[c];
    const LONG n = h.last - h.first + 1;
    average = (sum + n / 2) / n;
  }
  ifi->fwdAveCharWidth = static_cast<FWORD>(average);
  ifi->fwdMaxCharInc = static_cast<FWORD>(h.maxWidth > average ? h.maxWidth : average);
  ifi->fwdCapHeight = static_cast<FWORD>(em[kEmCapHeight]);
  ifi->fwdXHeight = static_cast<FWORD>(em[kEmXHeight]);
  ifi->fwdSubscriptXSize = ifi->fwdSubscriptYSize = static_cast<FWORD>(em[kEmSubscriptSize]);
  ifi->fwdSubscriptYOffset = static_cast<FWORD>(em[kEmSubscript]);
  ifi->fwdSuperscriptXSize = ifi->fwdSuperscriptYSize = static_cast<FWORD>(em[kEmSuperscriptSize]);
  ifi->fwdSuperscriptYOffset = static_cast<FWORD>(em[kEmSuperscript]);
  ifi->fwdUnderscoreSize = static_cast<FWORD>(em[kEmUnderlineWidth]);
  ifi->fwdUnderscorePosition = static_cast<FWORD>(-static_cast<FWORD>(em[kEmUnderlineOffset]));
  ifi->fwdStrikeoutSize = static_cast<FWORD>(em[kEmStrikeOutWidth]);
  ifi->fwdStrikeoutPosition = static_cast<FWORD>(em[kEmStrikeOutOffset]);
  ifi->chFirstChar = h.first;
  ifi->chLastChar = h.last;
  ifi->chDefaultChar = static_cast<BYTE>(h.first + h.defaultChar);
  ifi->chBreakChar = static_cast<BYTE>(h.first + h.breakChar);
  if (h.charset == kShiftJisCharset) {
    ifi->wcFirstChar = 0;
    ifi->wcLastChar = 0xFFE5;
    ifi->wcDefaultChar = 0xFF65;
    ifi->wcBreakChar = 0x20;
  } else {
    ifi->wcFirstChar = WideChar(ifi->chFirstChar, 1252);
    ifi->wcLastChar = WideChar(ifi->chLastChar, 1252);
    ifi->wcDefaultChar = WideChar(ifi->chDefaultChar, 1252);
    ifi->wcBreakChar = WideChar(ifi->chBreakChar, 1252);
  }
  ifi->ptlBaseline = {1, 0};
  ifi->ptlAspect = {h.horzRes, h.vertRes};
  ifi->ptlCaret = em[kEmSlant] != 0 ? POINTL{1, 2} : POINTL{0, 1};
  ifi->rclFontBox = {0, ascent, ifi->fwdMaxCharInc, -descent};
  std::memcpy(ifi->achVendId, "Unkn", 4);
  ifi->cKerningPairs = kerningPairs;
  ifi->panose.bWeight = static_cast<BYTE>(weight / 100 + 1);
  ifi->panose.bProportion = fixed ? 9 : 0;
  const bool anyFamily = (h.pitch & 0xF0) != 0;
  ifi->panose.bFamilyType = anyFamily ? 1 : 0;
  ifi->panose.bSerifStyle = anyFamily ? 1 : 0;

  auto* sim = reinterpret_cast<FONTSIM*>(base + kFontSimAt);
  sim->dpBold = sizeof(FONTSIM);
  sim->dpItalic = sizeof(FONTSIM) + sizeof(FONTDIFF);
  sim->dpBoldItalic = sizeof(FONTSIM) + 2 * sizeof(FONTDIFF);
  auto* diffs = reinterpret_cast<FONTDIFF*>(base + kFontSimAt + sizeof(FONTSIM));
  for (int i = 0; i < 3; ++i) {
    FONTDIFF& d = diffs[i];
    const bool bold = i != 1, italic = i != 0;
    d.bWeight = static_cast<BYTE>(ifi->panose.bWeight + (bold ? 1 : 0));
    d.usWinWeight = static_cast<USHORT>(weight + (bold ? 300 : 0));
    d.fsSelection = static_cast<FWORD>(ifi->fsSelection | (bold ? FM_SEL_BOLD : 0) | (italic ? FM_SEL_ITALIC : 0));
    d.fwdAveCharWidth = static_cast<FWORD>(ifi->fwdAveCharWidth + (bold ? 1 : 0));
    d.fwdMaxCharInc = static_cast<FWORD>(ifi->fwdMaxCharInc + (bold ? 1 : 0));
    d.ptlCaret = italic ? POINTL{1, 3} : ifi->ptlCaret;
  }
}

// The kerning rows of the font data: count and where the rows start; 0 rows when absent.
WORD KerningRows(const BYTE* data, DWORD size, DWORD kerning, DWORD* rows) {
  WORD count = 0;
  if (kerning == 0) return 0;
  const DWORD at = kerning + kFontHeaderStart;
  if (!ReadFontWord(data, size, at, &count) || static_cast<ULONGLONG>(at) + 2 + 4ull * count > size) return 0xFFFF;
  *rows = at + 2;
  return count;
}

void ConvertKerningPairs(DeviceFontEntry* e, const BYTE* data, DWORD rows, WORD count, BYTE charset) {
  auto* pairs = reinterpret_cast<FD_KERNINGPAIR*>(reinterpret_cast<BYTE*>(e) + e->kerningOffset);
  const UINT codePage = CodePageOfCharset(charset);
  for (WORD i = 0; i < count; ++i) {
    const BYTE* row = data + rows + 4u * i;
    SHORT amount = 0;
    std::memcpy(&amount, row + 2, sizeof amount);
    pairs[i] = {WideChar(row[0], codePage), WideChar(row[1], codePage), amount};
  }
  pairs[count] = {0, 0, 0};
}

// One exposed record's entry on the device's heap; NULL when its font data does not hold
// what its header names.
DeviceFontEntry* BuildFontEntry(Pdev* pdev, const BYTE* data, DWORD size) {
  FontHeader h{};
  FontResourceReader probe{};
  if (size <= kFontHeaderStart || !ReadHeader(data, size, &h) ||
      OpenDeviceFontResource(data + kFontHeaderStart, &probe, size - kFontHeaderStart) != 0)
    return nullptr;
  DWORD kerningRows = 0;
  const WORD pairs = KerningRows(data, size, h.kerning, &kerningRows);
  const DWORD extAt = h.extMetrics + kFontHeaderStart;
  if (pairs == 0xFFFF || h.extMetrics == 0 || static_cast<ULONGLONG>(extAt) + kFontExtMetricsBytes > size)
    return nullptr;
  const DWORD header = (sizeof(DeviceFontEntry) + 7) & ~7u;
  const DWORD kerningSize = pairs != 0 ? (6u * pairs + 6 + 3) & ~3u : 0;
  const DWORD total = header + kMetricsBytes + kerningSize + size;
  auto* e = static_cast<DeviceFontEntry*>(HeapAlloc(pdev->heap, HEAP_ZERO_MEMORY, total));
  if (e == nullptr) return nullptr;
  e->version = kDeviceFontEntryVersion;
  e->metricsOffset = header;
  e->metricsSize = kMetricsBytes;
  e->kerningOffset = pairs != 0 ? header + kMetricsBytes : 0;
  e->kerningSize = kerningSize;
  e->dataOffset = header + kMetricsBytes + kerningSize;
  e->dataSize = size;
  e->totalSize = total;
  BYTE* copy = reinterpret_cast<BYTE*>(e) + e->dataOffset;
  std::memcpy(copy, data, size);
  e->readerOpen = OpenDeviceFontResource(copy + kFontHeaderStart, &e->reader, size - kFontHeaderStart) == 0;
  e->fontId = static_cast<DWORD>(e->reader.id);
  std::memcpy(e->extMetrics, copy + extAt, kFontExtMetricsBytes);
  FillWidthTable(e, h);
  BuildFontMetrics(e, h, pairs);
  if (pairs != 0) ConvertKerningPairs(e, copy, kerningRows, pairs, h.charset);
  if (e->metricsSize + e->kerningSize + e->dataSize + header != e->totalSize) {
    HeapFree(pdev->heap, 0, e);
    return nullptr;
  }
  return e;
}

// The face of a record's font data (its first name text), empty when it has none.
std::string RecordFace(const DeviceFontRecord* record) {
  if (record->data == nullptr || record->dataSize <= kFontHeaderStart) return {};
  FontResourceReader reader{};
  if (OpenDeviceFontResource(record->data + kFontHeaderStart, &reader, record->dataSize - kFontHeaderStart) != 0)
    return {};
  return reader.faceName;
}

void FreeEntries(Pdev* pdev, DWORD built) {
  for (DWORD i = 0; i < built; ++i) HeapFree(pdev->heap, 0, pdev->fonts.entries[i]);
  HeapFree(pdev->heap, 0, pdev->fonts.entries);
  pdev->fonts = DeviceFontTable{};
}

// ---- Queries ------------------------------------------------------------------------------

DeviceFontEntry* FindFontEntry(Pdev* pdev, ULONG face) {
  if (!IsPdevValid(pdev) || face < 1 || face > pdev->fonts.count) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return pdev->fonts.entries[face - 1];
}

// The Shift-JIS glyph set: the resource module's glyph set copied into a global block with its
// runs' glyph arrays (stored as offsets from the resource's start) re-pointed into the copy.
// Every run and its glyphs must lie inside the resource.
FD_GLYPHSET* CopyResourceGlyphSet() {
  ULONG size = 0;
  const auto* image = static_cast<const BYTE*>(
      EngFindResource(GetResourceModule(), kGlyphSetResourceName, kGlyphSetResourceType, &size));
  if (image == nullptr || size < offsetof(FD_GLYPHSET, awcrun)) return nullptr;
  FD_GLYPHSET header{};
  std::memcpy(&header, image, offsetof(FD_GLYPHSET, awcrun));
  const ULONGLONG runsEnd = offsetof(FD_GLYPHSET, awcrun) + static_cast<ULONGLONG>(header.cRuns) * sizeof(WCRUN);
  if (header.cRuns == 0 || runsEnd > size) return nullptr;
  auto* copy = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, image, size);
  auto* set = reinterpret_cast<FD_GLYPHSET*>(copy);
  for (ULONG i = 0; i < set->cRuns; ++i) {
    WCRUN& run = set->awcrun[i];
    const auto offset = reinterpret_cast<ULONG_PTR>(run.phg);
    if (offset > size || (size - offset) / sizeof(HGLYPH) < run.cGlyphs) {
      GlobalFree(copy);
      return nullptr;
    }
    run.phg = reinterpret_cast<HGLYPH*>(copy + offset);
  }
  return set;
}

FD_GLYPHSET* GetFontGlyphSet(const DeviceFontEntry* e) {
  const IFIMETRICS* ifi =
      reinterpret_cast<const IFIMETRICS*>(reinterpret_cast<const BYTE*>(e) + e->metricsOffset);
  if (ifi->jWinCharSet != kShiftJisCharset) return DefaultGlyphSet();
  if (CachedResourceGlyphSet() == nullptr) SetCachedResourceGlyphSet(CopyResourceGlyphSet());
  return CachedResourceGlyphSet();
}

// The glyph's width in font units: from the font's tables, else the average width.
LONG GlyphWidth(DeviceFontEntry* e, HGLYPH glyph) {
  const LONG width = glyph <= 0xFFFF ? LookUpGlyphCode(&e->reader, static_cast<WORD>(glyph)) : -1;
  return width >= 0 ? width : DeviceFontMetrics(e)->fwdAveCharWidth;
}

// A vector of font units through the font's transform into 28.4 device units.
bool TransformVector(FONTOBJ* font, LONG x, LONG y, POINTFIX* out) {
  XFORMOBJ* xform = FONTOBJ_pxoGetXform(font);
  if (xform == nullptr) return false;
  POINTL in{x, y};
  return XFORMOBJ_bApplyXform(xform, XF_LTOFX, 1, &in, out) != FALSE;
}

LONG Length(const POINTFIX& v) {
  return static_cast<LONG>(std::lround(std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y)));
}

FIX RoundFix(LONG v) { return (v + 8) & ~15; }

}  // namespace

LPWSTR EnumerateFontFamilies(HDC dc) {
  std::u16string names;
  if (dc == nullptr || !EnumFontFamiliesW(dc, nullptr, &CollectFamily, reinterpret_cast<LPARAM>(&names)))
    return nullptr;
  names.push_back(u'\0');
  auto* block = static_cast<LPWSTR>(GlobalAlloc(GPTR, names.size() * sizeof(WCHAR)));
  if (block != nullptr) std::memcpy(block, names.data(), names.size() * sizeof(WCHAR));
  return block;
}

IFIMETRICS* DeviceFontMetrics(DeviceFontEntry* entry) {
  return reinterpret_cast<IFIMETRICS*>(reinterpret_cast<BYTE*>(entry) + entry->metricsOffset);
}

BOOL LoadDeviceFonts(Pdev* pdev) {
  pdev->fonts = DeviceFontTable{};
  const WORD records = CountRecords(pdev->database, kFontRecordType);
  if (records == 0) return FALSE;
  HDC desktop = GetDC(nullptr);
  LPWSTR installed = EnumerateFontFamilies(desktop);
  if (desktop != nullptr) ReleaseDC(nullptr, desktop);
  // Without the installed list no font can be told apart from an installed one.
  if (installed == nullptr) return FALSE;
  pdev->fonts.entries =
      static_cast<DeviceFontEntry**>(HeapAlloc(pdev->heap, HEAP_ZERO_MEMORY, sizeof(DeviceFontEntry*) * records));
  bool ok = pdev->fonts.entries != nullptr;
  DWORD built = 0;
  std::string previousFace;
  for (WORD position = 1; ok && position <= records; ++position) {
    DatabaseRecord* record = nullptr;
    if (ReadRecord(TRUE, pdev->database, pdev->linkedDatabase, kFontRecordType, position, &record) != kDbOk) {
      ok = false;
      break;
    }
    const auto* font = reinterpret_cast<const DeviceFontRecord*>(record);
    const std::string face = RecordFace(font);
    const bool exposed = face != previousFace && (font->name == nullptr || !IsInstalled(installed, font->name));
    previousFace = face;
    if (exposed) {
      DeviceFontEntry* entry = BuildFontEntry(pdev, font->data, font->dataSize);
      if (entry == nullptr) ok = false;
      else pdev->fonts.entries[built++] = entry;
    }
    FreeRecord(&record, kDbAnyType);
  }
  GlobalFree(installed);
  if (!ok) {
    // A half-built table answers no query.
    if (pdev->fonts.entries != nullptr) FreeEntries(pdev, built);
    return FALSE;
  }
  pdev->fonts.count = built;
  return TRUE;
}

IFIMETRICS* HandleQueryFont(Pdev* pdev, ULONG_PTR, ULONG face, ULONG_PTR* id) {
  if (id != nullptr) *id = 0;
  DeviceFontEntry* e = FindFontEntry(pdev, face);
  return e != nullptr ? DeviceFontMetrics(e) : nullptr;
}

PVOID HandleQueryFontTree(Pdev* pdev, ULONG_PTR, ULONG face, ULONG mode, ULONG_PTR* id) {
  if (id != nullptr) *id = 0;
  DeviceFontEntry* e = FindFontEntry(pdev, face);
  if (e == nullptr) return nullptr;
  if (mode == QFT_KERNPAIRS) return e->kerningOffset != 0 ? reinterpret_cast<BYTE*>(e) + e->kerningOffset : nullptr;
  if (mode == QFT_GLYPHSET) {
    EnterFontLock();
    FD_GLYPHSET* set = GetFontGlyphSet(e);
    LeaveFontLock();
    return set;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return nullptr;
}

LONG HandleQueryFontData(Pdev* pdev, FONTOBJ* font, ULONG mode, HGLYPH glyph, GLYPHDATA* data, PVOID buffer,
                         ULONG size) {
  if (font == nullptr) return 0;
  DeviceFontEntry* e = FindFontEntry(pdev, font->iFace);
  if (e == nullptr) return 0;
  const IFIMETRICS* ifi = DeviceFontMetrics(e);
  if (mode == QFD_GLYPHANDBITMAP) {
    POINTFIX advance{}, ascent{}, descent{};
    if (!TransformVector(font, GlyphWidth(e, glyph), 0, &advance) ||
        !TransformVector(font, 0, ifi->fwdWinAscender, &ascent) ||
        !TransformVector(font, 0, ifi->fwdWinDescender, &descent))
      return -1;
    if (data != nullptr) {
      std::memset(data, 0, sizeof *data);
      data->hg = glyph;
      data->fxD = data->fxAB = RoundFix(Length(advance));
      data->fxInkTop = -RoundFix(Length(ascent));
      data->fxInkBottom = RoundFix(Length(descent));
      data->ptqD.x.QuadPart = static_cast<LONGLONG>(data->fxD) << 16;
    }
    return 0;
  }
  if (mode == QFD_MAXEXTENTS) {
    constexpr LONG kMetricsSize = sizeof(FD_DEVICEMETRICS);
    if (buffer == nullptr) return kMetricsSize;
    if (size < sizeof(FD_DEVICEMETRICS)) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return -1;
    }
    POINTFIX base{}, side{}, ascent{}, descent{}, maxWidth{}, average{};
    if (!TransformVector(font, 1000, 0, &base) || !TransformVector(font, 0, -1000, &side) ||
        !TransformVector(font, 0, ifi->fwdWinAscender, &ascent) ||
        !TransformVector(font, 0, ifi->fwdWinDescender, &descent) ||
        !TransformVector(font, ifi->fwdMaxCharInc, 0, &maxWidth) ||
        !TransformVector(font, ifi->fwdAveCharWidth, 0, &average))
      return -1;
    FD_DEVICEMETRICS m{};
    const float baseLength = static_cast<float>(Length(base));
    const float sideLength = static_cast<float>(Length(side));
    m.pteBase = {baseLength > 0 ? static_cast<FLOATL>(base.x) / baseLength : 1.0f,
                 baseLength > 0 ? static_cast<FLOATL>(base.y) / baseLength : 0.0f};
    m.pteSide = {sideLength > 0 ? static_cast<FLOATL>(side.x) / sideLength : 0.0f,
                 sideLength > 0 ? static_cast<FLOATL>(side.y) / sideLength : -1.0f};
    m.fxMaxAscender = RoundFix(Length(ascent));
    m.fxMaxDescender = RoundFix(Length(descent));
    m.cxMax = static_cast<ULONG>((RoundFix(Length(maxWidth)) + 15) >> 4);
    m.lNonLinearMaxCharWidth = (RoundFix(Length(maxWidth)) + 15) >> 4;
    m.lNonLinearAvgCharWidth = (RoundFix(Length(average)) + 15) >> 4;
    m.cyMax = static_cast<ULONG>((m.fxMaxAscender + m.fxMaxDescender + 15) >> 4);
    m.lD = m.lNonLinearAvgCharWidth;
    const LONG underline = ifi->fwdUnderscorePosition, underlineSize = ifi->fwdUnderscoreSize;
    const LONG strike = ifi->fwdStrikeoutPosition, strikeSize = ifi->fwdStrikeoutSize;
    POINTFIX u{}, us{}, s{}, ss{};
    TransformVector(font, 0, -underline, &u);
    TransformVector(font, 0, underlineSize, &us);
    TransformVector(font, 0, -strike, &s);
    TransformVector(font, 0, strikeSize, &ss);
    m.ptlUnderline1 = {u.x >> 4, u.y >> 4};
    m.ptlULThickness = {us.x >> 4, us.y >> 4};
    m.ptlStrikeOut = {s.x >> 4, s.y >> 4};
    m.ptlSOThickness = {ss.x >> 4, ss.y >> 4};
    // The smallest height the device prints: one dot at its vertical resolution, in points.
    const LONG yResolution = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemYResolution));
    m.lMinD = yResolution > 0 ? 72 * e->extMetrics[kEmPointSize] / yResolution : 0;
    m.fdxQuantized = {baseLength / 1000.0f, 0.0f, 0.0f, sideLength / 1000.0f};
    std::memcpy(buffer, &m, sizeof m);
    return kMetricsSize;
  }
  SetLastError(ERROR_INVALID_PARAMETER);
  return -1;
}

BOOL HandleQueryAdvanceWidths(Pdev* pdev, FONTOBJ* font, ULONG mode, HGLYPH* glyphs, PVOID widths, ULONG count) {
  if (font == nullptr || glyphs == nullptr || widths == nullptr || mode > 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DeviceFontEntry* e = FindFontEntry(pdev, font->iFace);
  if (e == nullptr) return FALSE;
  POINTFIX base{};
  if (!TransformVector(font, 4096, 0, &base)) return FALSE;
  const LONGLONG scale = Length(base);
  auto* out = static_cast<USHORT*>(widths);
  for (ULONG i = 0; i < count; ++i)
    out[i] = static_cast<USHORT>((((GlyphWidth(e, glyphs[i]) * scale) >> 12) + 8) & 0xFFF0);
  return TRUE;
}
