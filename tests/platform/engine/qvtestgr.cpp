// A small printer graphics driver for the engine host's own tests. It describes an A4 page at
// the device mode's resolution (100 dpi by default), reads every object it is handed through the
// engine's callbacks, writes one line per call to the spool job ("FillPath batches=2 ..."), and
// hands block transfers and glyph bitmaps back to the engine, which draws them into its page
// bitmap. Escape 0x7100 makes the next drawing calls also misuse the engine's objects (reading
// past their end, short buffers, foreign pointers) and report what the engine answered.
// HKEY_CURRENT_USER\Software\QvTestGr switches faults on: "Table" 1 answers a table with a
// repeated row, 2 a row with an index out of range, 3 a table without DrvEnablePDEV; "Hooks"
// replaces the surface hooks; "FailStartDoc" 1 refuses every document.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/export.h"
#include "platform/engine/ddi_functions.h"
#include "platform/engine/engine.h"
#include "platform/registry/registry.h"

namespace {

constexpr ULONG kTag = 0x64726774;  // "tgrd"
constexpr ULONG kEscapeMisuse = 0x7100;
constexpr LONG kDefaultDpi = 100;
constexpr LONG kA4WidthMm10 = 2100, kA4HeightMm10 = 2970;

struct TestPdev {
  ULONG tag;
  HANDLE printer;
  HDEV hdev;
  HSURF hsurf;
  HPALETTE palette;
  SIZEL size;
  LONG dpi;
  BOOL inDoc;
  BOOL misuse;
};

FD_GLYPHSET* glyphSet = nullptr;

// A fault switch of the tests; 0 when not set.
DWORD Switch(LPCWSTR name, DWORD otherwise = 0) {
  HKEY key = nullptr;
  DWORD value = otherwise, size = sizeof value;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\QvTestGr", 0, KEY_READ, &key) == ERROR_SUCCESS) {
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS) value = otherwise;
    RegCloseKey(key);
  }
  return value;
}

TestPdev* PdevOf(SURFOBJ* so) {
  auto* p = so != nullptr ? reinterpret_cast<TestPdev*>(so->dhpdev) : nullptr;
  return p != nullptr && p->tag == kTag ? p : nullptr;
}

void Report(TestPdev* p, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Report(TestPdev* p, const char* format, ...) {
  if (p == nullptr || !p->inDoc) return;
  char line[512];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(line, sizeof line - 1, format, args);
  va_end(args);
  if (n < 0) return;
  if (n > static_cast<int>(sizeof line - 2)) n = sizeof line - 2;
  line[n++] = '\n';
  DWORD written = 0;
  EngWritePrinter(p->printer, line, static_cast<DWORD>(n), &written);
}

struct PathCount {
  ULONG batches = 0, points = 0;
  BOOL beziers = FALSE, closed = FALSE;
};

PathCount CountPath(PATHOBJ* po) {
  PathCount c;
  PATHDATA pd;
  PATHOBJ_vEnumStart(po);
  BOOL more;
  do {
    more = PATHOBJ_bEnum(po, &pd);
    if (pd.count == 0) break;
    ++c.batches;
    c.points += pd.count;
    if (pd.flags & PD_BEZIERS) c.beziers = TRUE;
    if (pd.flags & PD_CLOSEFIGURE) c.closed = TRUE;
  } while (more);
  return c;
}

// What the clip holds: rectangles enumerated, and for a complex one its outline path's batches.
void DescribeClip(CLIPOBJ* co, ULONG& rects, ULONG& outline) {
  rects = outline = 0;
  if (co == nullptr || co->iDComplexity == DC_TRIVIAL) return;
  CLIPOBJ_cEnumStart(co, TRUE, CT_RECTANGLES, CD_RIGHTDOWN, 0);
  struct {
    ULONG c;
    RECTL r[8];
  } buffer;
  BOOL more;
  do {
    more = CLIPOBJ_bEnum(co, sizeof buffer, &buffer.c);
    rects += buffer.c;
  } while (more);
  if (co->iDComplexity == DC_COMPLEX) {
    PATHOBJ* po = CLIPOBJ_ppoGetPath(co);
    if (po != nullptr) {
      outline = CountPath(po).batches;
      EngDeletePath(po);
    }
  }
}

const char* BrushKindOf(BRUSHOBJ* bo) {
  if (bo == nullptr) return "none";
  if (bo->iSolidColor != 0xFFFFFFFF) return "solid";
  return BRUSHOBJ_pvGetRbrush(bo) != nullptr ? "realised" : "unrealised";
}

// The misuse of the engine's objects that escape 0x7100 asks for, with the engine's answers.
void Misuse(TestPdev* p, PATHOBJ* po, CLIPOBJ* co, BRUSHOBJ* bo) {
  PATHDATA pd{1, 1, nullptr};
  const BOOL pastEnd = PATHOBJ_bEnum(po, &pd);
  ULONG shortBuffer[2] = {99, 99};
  CLIPOBJ_cEnumStart(co, TRUE, CT_RECTANGLES, CD_ANY, 0);
  const BOOL shortEnum = CLIPOBJ_bEnum(co, sizeof shortBuffer, shortBuffer);
  PATHOBJ foreign{0, 0};
  PATHDATA fd{1, 1, nullptr};
  const BOOL foreignEnum = PATHOBJ_bEnum(&foreign, &fd);
  EngDeletePath(po);  // the host's own path, not the driver's to release
  int local = 0;
  EngFreeMem(&local);
  const PVOID zeroBlock = BRUSHOBJ_pvAllocRbrush(bo, 0);
  Report(p, "Misuse pastEnd=%d count=%u shortEnum=%d c=%u foreign=%d fcount=%u zeroBlock=%d", pastEnd, pd.count,
         shortEnum, shortBuffer[0], foreignEnum, fd.count, zeroBlock != nullptr);
}

BOOL PathCall(const char* name, SURFOBJ* so, PATHOBJ* po, CLIPOBJ* co, XFORMOBJ* xo, BRUSHOBJ* stroke, BRUSHOBJ* fill,
              LINEATTRS* la) {
  TestPdev* p = PdevOf(so);
  if (p == nullptr || po == nullptr) return FALSE;
  PathCount c = CountPath(po);
  RECTFX bounds;
  PATHOBJ_vGetBounds(po, &bounds);
  ULONG rects, outline;
  DescribeClip(co, rects, outline);
  ULONG xform = xo != nullptr ? XFORMOBJ_iGetXform(xo, nullptr) : 99;
  Report(p, "%s batches=%u points=%u curves=%u beziers=%d ellipse=%d closed=%d bounds=%d,%d,%d,%d clip=%d rects=%u "
            "outline=%u xform=%u pen=%s fill=%s geometric=%d",
         name, c.batches, c.points, po->cCurves, c.beziers, (po->fl & PO_ELLIPSE) != 0, c.closed, bounds.xLeft >> 4,
         bounds.yTop >> 4, bounds.xRight >> 4, bounds.yBottom >> 4, co != nullptr ? co->iDComplexity : -1, rects, outline,
         xform, BrushKindOf(stroke), BrushKindOf(fill), la != nullptr && (la->fl & LA_GEOMETRIC) != 0);
  if (p->misuse) Misuse(p, po, co, fill != nullptr ? fill : stroke);
  return TRUE;
}

}  // namespace

// The driver functions.
namespace {

DHPDEV DrvEnablePDEV(DEVMODEW* dm, LPWSTR, ULONG patterns, HSURF* patternSurfaces, ULONG cjCaps, ULONG* caps,
                     ULONG cjDevInfo, DEVINFO* devInfo, HDEV hdev, LPWSTR, HANDLE printer) {
  if (caps == nullptr || devInfo == nullptr) return nullptr;
  auto* p = static_cast<TestPdev*>(EngAllocMem(FL_ZERO_MEMORY, sizeof(TestPdev), kTag));
  if (p == nullptr) return nullptr;
  p->tag = kTag;
  p->printer = printer;
  p->hdev = hdev;
  p->dpi = dm != nullptr && dm->dmPrintQuality > 0 ? dm->dmPrintQuality : kDefaultDpi;
  p->size = {kA4WidthMm10 * p->dpi / 254, kA4HeightMm10 * p->dpi / 254};
  if (dm != nullptr && dm->dmOrientation == 2) p->size = {p->size.cy, p->size.cx};
  p->palette = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
  GDIINFO gdi{};
  gdi.ulVersion = 0x400;
  gdi.ulTechnology = DT_RASPRINTER;
  gdi.ulHorzRes = p->size.cx;
  gdi.ulVertRes = p->size.cy;
  gdi.cBitsPixel = 24;
  gdi.cPlanes = 1;
  gdi.ulLogPixelsX = gdi.ulLogPixelsY = p->dpi;
  gdi.szlPhysSize = p->size;
  DEVINFO info{};
  info.flGraphicsCaps = GCAPS_BEZIERS | GCAPS_ALTERNATEFILL | GCAPS_WINDINGFILL | GCAPS_OPAQUERECT;
  info.iDitherFormat = BMF_24BPP;
  info.hpalDefault = p->palette;
  std::memcpy(caps, &gdi, cjCaps < sizeof gdi ? cjCaps : sizeof gdi);
  std::memcpy(devInfo, &info, cjDevInfo < sizeof info ? cjDevInfo : sizeof info);
  for (ULONG i = 0; i < patterns && patternSurfaces != nullptr; ++i) patternSurfaces[i] = nullptr;
  return reinterpret_cast<DHPDEV>(p);
}

VOID DrvCompletePDEV(DHPDEV pdev, HDEV hdev) { reinterpret_cast<TestPdev*>(pdev)->hdev = hdev; }

VOID DrvDisablePDEV(DHPDEV pdev) {
  auto* p = reinterpret_cast<TestPdev*>(pdev);
  EngDeletePalette(p->palette);
  EngFreeMem(p);
}

BOOL DrvResetPDEV(DHPDEV oldPdev, DHPDEV newPdev) {
  auto* o = reinterpret_cast<TestPdev*>(oldPdev);
  auto* n = reinterpret_cast<TestPdev*>(newPdev);
  n->inDoc = o->inDoc;
  n->misuse = o->misuse;
  Report(n, "ResetPDEV size=%dx%d", n->size.cx, n->size.cy);
  return TRUE;
}

HSURF DrvEnableSurface(DHPDEV pdev) {
  auto* p = reinterpret_cast<TestPdev*>(pdev);
  p->hsurf = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(p), p->size, BMF_24BPP);
  if (p->hsurf == nullptr) return nullptr;
  const FLONG hooks = Switch(u"Hooks", HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_TEXTOUT | HOOK_STROKEPATH | HOOK_FILLPATH |
                                          HOOK_STROKEANDFILLPATH | HOOK_COPYBITS | HOOK_STRETCHBLTROP);
  if (!EngAssociateSurface(p->hsurf, p->hdev, hooks)) {
    EngDeleteSurface(p->hsurf);
    return nullptr;
  }
  return p->hsurf;
}

VOID DrvDisableSurface(DHPDEV pdev) {
  auto* p = reinterpret_cast<TestPdev*>(pdev);
  EngDeleteSurface(p->hsurf);
  p->hsurf = nullptr;
}

BOOL DrvStartDoc(SURFOBJ* so, LPWSTR, DWORD job) {
  TestPdev* p = PdevOf(so);
  if (p == nullptr) return FALSE;
  if (p->inDoc) {
    Report(p, "StartDoc continued job=%u", job);
    return TRUE;
  }
  if (Switch(u"FailStartDoc") == 1) return FALSE;
  p->inDoc = TRUE;
  Report(p, "StartDoc job=%u", job);
  return TRUE;
}

BOOL DrvStartPage(SURFOBJ* so) {
  Report(PdevOf(so), "StartPage");
  return PdevOf(so) != nullptr;
}

BOOL DrvSendPage(SURFOBJ* so) {
  Report(PdevOf(so), "SendPage");
  return PdevOf(so) != nullptr;
}

BOOL DrvEndDoc(SURFOBJ* so, FLONG flags) {
  TestPdev* p = PdevOf(so);
  if (p == nullptr) return FALSE;
  Report(p, "EndDoc flags=%u", flags);
  p->inDoc = FALSE;
  return TRUE;
}

ULONG DrvEscape(SURFOBJ* so, ULONG code, ULONG, PVOID, ULONG, PVOID) {
  TestPdev* p = PdevOf(so);
  if (p == nullptr || code != kEscapeMisuse) return 0;
  p->misuse = TRUE;
  return 1;
}

BOOL DrvStrokePath(SURFOBJ* so, PATHOBJ* po, CLIPOBJ* co, XFORMOBJ* xo, BRUSHOBJ* bo, POINTL*, LINEATTRS* la, MIX) {
  return PathCall("StrokePath", so, po, co, xo, bo, nullptr, la);
}

BOOL DrvFillPath(SURFOBJ* so, PATHOBJ* po, CLIPOBJ* co, BRUSHOBJ* bo, POINTL*, MIX, FLONG) {
  return PathCall("FillPath", so, po, co, nullptr, nullptr, bo, nullptr);
}

BOOL DrvStrokeAndFillPath(SURFOBJ* so, PATHOBJ* po, CLIPOBJ* co, XFORMOBJ* xo, BRUSHOBJ* stroke, LINEATTRS* la,
                          BRUSHOBJ* fill, POINTL*, MIX, FLONG) {
  return PathCall("StrokeAndFillPath", so, po, co, xo, stroke, fill, la);
}

BOOL DrvBitBlt(SURFOBJ* trg, SURFOBJ* src, SURFOBJ* mask, CLIPOBJ* co, XLATEOBJ* xo, RECTL* rect, POINTL* srcPt,
               POINTL* maskPt, BRUSHOBJ* bo, POINTL* brushOrg, ROP4 rop4) {
  TestPdev* p = PdevOf(trg);
  Report(p, "BitBlt rop4=0x%04X source=%s brush=%s", rop4, src != nullptr ? "yes" : "no", BrushKindOf(bo));
  return EngBitBlt(trg, src, mask, co, xo, rect, srcPt, maskPt, bo, brushOrg, rop4);
}

BOOL DrvCopyBits(SURFOBJ* trg, SURFOBJ* src, CLIPOBJ* co, XLATEOBJ* xo, RECTL* rect, POINTL* srcPt) {
  TestPdev* p = PdevOf(trg);
  Report(p, "CopyBits format=%u size=%dx%d delta=%d first=0x%06X", src != nullptr ? src->iBitmapFormat : 0,
         src != nullptr ? src->sizlBitmap.cx : 0, src != nullptr ? src->sizlBitmap.cy : 0, src != nullptr ? src->lDelta : 0,
         xo != nullptr ? XLATEOBJ_iXlate(xo, 0) : 0);
  return EngCopyBits(trg, src, co, xo, rect, srcPt);
}

BOOL DrvStretchBlt(SURFOBJ* trg, SURFOBJ* src, SURFOBJ* mask, CLIPOBJ* co, XLATEOBJ* xo, COLORADJUSTMENT* ca,
                   POINTL* ht, RECTL* rect, RECTL* srcRect, POINTL* maskPt, ULONG mode) {
  Report(PdevOf(trg), "StretchBlt mode=%u", mode);
  return EngStretchBltROP(trg, src, mask, co, xo, ca, ht, rect, srcRect, maskPt, mode, nullptr, 0xCCCC);
}

BOOL DrvStretchBltROP(SURFOBJ* trg, SURFOBJ* src, SURFOBJ* mask, CLIPOBJ* co, XLATEOBJ* xo, COLORADJUSTMENT* ca,
                      POINTL* ht, RECTL* rect, RECTL* srcRect, POINTL* maskPt, ULONG mode, BRUSHOBJ* bo, DWORD rop4) {
  Report(PdevOf(trg), "StretchBltROP rop4=0x%04X brush=%s", rop4, BrushKindOf(bo));
  return EngStretchBltROP(trg, src, mask, co, xo, ca, ht, rect, srcRect, maskPt, mode, bo, rop4);
}

// Each glyph's bitmap goes back to the engine as a one-bit source painted in the text colour.
BOOL DrvTextOut(SURFOBJ* so, STROBJ* str, FONTOBJ* fo, CLIPOBJ* co, RECTL*, RECTL* opaque, BRUSHOBJ* fore,
                BRUSHOBJ* opaqueBrush, POINTL*, MIX) {
  TestPdev* p = PdevOf(so);
  if (p == nullptr || str == nullptr || fo == nullptr || fore == nullptr) return FALSE;
  if (fo->pvConsumer == nullptr) fo->pvConsumer = EngAllocMem(FL_ZERO_MEMORY, 16, kTag);
  if (opaque != nullptr && opaqueBrush != nullptr)
    EngBitBlt(so, nullptr, nullptr, co, nullptr, opaque, nullptr, nullptr, opaqueBrush, nullptr, 0xF0F0);
  IFIMETRICS* ifi = FONTOBJ_pifi(fo);
  POINTL em{0, ifi != nullptr ? ifi->fwdUnitsPerEm : 0}, emDevice{0, 0};
  XFORMOBJ* xo = FONTOBJ_pxoGetXform(fo);
  XFORMOBJ_bApplyXform(xo, XF_LTOL, 1, &em, &emDevice);
  char face[64] = {};
  if (ifi != nullptr) {
    auto* name = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpwszFaceName);
    for (int i = 0; i < 63 && name[i] != 0; ++i) face[i] = static_cast<char>(name[i]);
  }
  ULONG glyphs = 0, batches = 0, outlinePoints = 0, inked = 0;
  STROBJ_vEnumStart(str);
  BOOL more;
  do {
    ULONG count = 0;
    GLYPHPOS* pos = nullptr;
    more = STROBJ_bEnum(str, &count, &pos);
    if (count == 0) break;
    ++batches;
    for (ULONG i = 0; i < count; ++i, ++glyphs) {
      GLYPHDATA* outline = nullptr;
      if (FONTOBJ_cGetGlyphs(fo, FO_PATHOBJ, 1, &pos[i].hg, reinterpret_cast<PVOID*>(&outline)) == 1)
        outlinePoints += CountPath(outline->gdf.ppo).points;
      GLYPHDATA* bits = nullptr;
      if (FONTOBJ_cGetGlyphs(fo, FO_GLYPHBITS, 1, &pos[i].hg, reinterpret_cast<PVOID*>(&bits)) != 1) continue;
      GLYPHBITS* gb = bits->gdf.pgb;
      HBITMAP bm = EngCreateBitmap(gb->sizlBitmap, 0, BMF_1BPP, BMF_TOPDOWN, nullptr);
      SURFOBJ* src = EngLockSurface(reinterpret_cast<HSURF>(bm));
      if (src == nullptr) continue;
      const LONG rowBytes = (gb->sizlBitmap.cx + 7) / 8;
      for (LONG y = 0; y < gb->sizlBitmap.cy; ++y) {
        std::memcpy(static_cast<BYTE*>(src->pvScan0) + y * src->lDelta, gb->aj + y * rowBytes, rowBytes);
        for (LONG x = 0; x < rowBytes; ++x) inked += gb->aj[y * rowBytes + x] != 0;
      }
      RECTL rect{pos[i].ptl.x + gb->ptlOrigin.x, pos[i].ptl.y + gb->ptlOrigin.y,
                 pos[i].ptl.x + gb->ptlOrigin.x + gb->sizlBitmap.cx, pos[i].ptl.y + gb->ptlOrigin.y + gb->sizlBitmap.cy};
      POINTL at{0, 0};
      EngBitBlt(so, src, nullptr, co, nullptr, &rect, &at, nullptr, fore, nullptr, 0xE2E2);  // ink takes the brush
      EngUnlockSurface(src);
      EngDeleteSurface(reinterpret_cast<HSURF>(bm));
    }
  } while (more);
  Report(p, "TextOut face=%s em=%d glyphs=%u batches=%u enumerated=%d outlinePoints=%u inkedBytes=%u", face,
         emDevice.y, glyphs, batches, str->pgp == nullptr, outlinePoints, inked);
  if (p->misuse) {
    HGLYPH bad[2] = {0x7FFFFFFF, 0};
    PVOID out = nullptr;
    const ULONG outOfRange = FONTOBJ_cGetGlyphs(fo, FO_GLYPHBITS, 1, bad, &out);
    const ULONG two = FONTOBJ_cGetGlyphs(fo, FO_GLYPHBITS, 2, bad + 1, &out);
    ULONG c = 7;
    GLYPHPOS* g = nullptr;
    const BOOL past = STROBJ_bEnum(str, &c, &g);
    Report(p, "Misuse glyphOutOfRange=%u twoGlyphs=%u pastEnd=%d count=%u", outOfRange, two, past, c);
  }
  return TRUE;
}

// The realisation: width, height, then the pattern's pixels as device colours.
BOOL DrvRealizeBrush(BRUSHOBJ* bo, SURFOBJ* target, SURFOBJ* pattern, SURFOBJ*, XLATEOBJ* xo, ULONG hatch) {
  if (bo == nullptr || pattern == nullptr || PdevOf(target) == nullptr) return FALSE;
  const ULONG f = pattern->iBitmapFormat;
  if (f != BMF_1BPP && f != BMF_8BPP && f != BMF_24BPP) return FALSE;
  const LONG w = pattern->sizlBitmap.cx, h = pattern->sizlBitmap.cy;
  auto* block = static_cast<ULONG*>(BRUSHOBJ_pvAllocRbrush(bo, static_cast<ULONG>(12 + 4 * w * h)));
  if (block == nullptr) return FALSE;
  block[0] = w, block[1] = h, block[2] = hatch;
  for (LONG y = 0; y < h; ++y) {
    const BYTE* row = static_cast<const BYTE*>(pattern->pvScan0) + y * pattern->lDelta;
    for (LONG x = 0; x < w; ++x) {
      ULONG raw = pattern->iBitmapFormat == BMF_1BPP   ? (row[x / 8] >> (7 - x % 8)) & 1
                  : pattern->iBitmapFormat == BMF_8BPP ? row[x]
                                                       : row[3 * x] | (row[3 * x + 1] << 8) | (row[3 * x + 2] << 16);
      block[3 + y * w + x] = XLATEOBJ_iXlate(xo, raw);
    }
  }
  Report(PdevOf(target), "RealizeBrush hatch=%u size=%dx%d first=0x%06X", hatch, w, h, block[3]);
  return TRUE;
}

ULONG DrvGetGlyphMode(DHPDEV, FONTOBJ*) { return FO_GLYPHBITS; }

VOID DrvDestroyFont(FONTOBJ* fo) {
  if (fo != nullptr && fo->pvConsumer != nullptr) {
    EngFreeMem(fo->pvConsumer);
    fo->pvConsumer = nullptr;
  }
}

#define ROW(index, fn) {index, reinterpret_cast<PFN>(&fn)}
const DRVFN kTable[] = {
    ROW(INDEX_DrvEnablePDEV, DrvEnablePDEV),       ROW(INDEX_DrvResetPDEV, DrvResetPDEV),
    ROW(INDEX_DrvCompletePDEV, DrvCompletePDEV),   ROW(INDEX_DrvDisablePDEV, DrvDisablePDEV),
    ROW(INDEX_DrvEnableSurface, DrvEnableSurface), ROW(INDEX_DrvDisableSurface, DrvDisableSurface),
    ROW(INDEX_DrvBitBlt, DrvBitBlt),               ROW(INDEX_DrvStretchBlt, DrvStretchBlt),
    ROW(INDEX_DrvCopyBits, DrvCopyBits),           ROW(INDEX_DrvTextOut, DrvTextOut),
    ROW(INDEX_DrvSendPage, DrvSendPage),           ROW(INDEX_DrvStrokePath, DrvStrokePath),
    ROW(INDEX_DrvFillPath, DrvFillPath),           ROW(INDEX_DrvStrokeAndFillPath, DrvStrokeAndFillPath),
    ROW(INDEX_DrvRealizeBrush, DrvRealizeBrush),   ROW(INDEX_DrvStartPage, DrvStartPage),
    ROW(INDEX_DrvStartDoc, DrvStartDoc),           ROW(INDEX_DrvEscape, DrvEscape),
    ROW(INDEX_DrvEndDoc, DrvEndDoc),               ROW(INDEX_DrvGetGlyphMode, DrvGetGlyphMode),
    ROW(INDEX_DrvStretchBltROP, DrvStretchBltROP), ROW(INDEX_DrvDestroyFont, DrvDestroyFont),
};
#undef ROW

}  // namespace

DLLEXPORT BOOL DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

DLLEXPORT BOOL DrvEnableDriver(ULONG engineVersion, ULONG cj, DRVENABLEDATA* data) {
  if (engineVersion < DDI_DRIVER_VERSION_NT4 || cj < sizeof(DRVENABLEDATA) || data == nullptr) return FALSE;
  static DRVFN table[sizeof kTable / sizeof kTable[0]];
  std::memcpy(table, kTable, sizeof table);
  const DWORD fault = Switch(u"Table");
  if (fault == 1) table[1].iFunc = table[0].iFunc;
  if (fault == 2) table[1].iFunc = INDEX_LAST + 1;
  if (fault == 3) table[0].iFunc = INDEX_DrvDisableDriver;
  data->iDriverVersion = DDI_DRIVER_VERSION_NT4;
  data->c = sizeof table / sizeof table[0];
  data->pdrvfn = table;
  glyphSet = EngComputeGlyphSet(0, 0, 256);
  return glyphSet != nullptr;
}

DLLEXPORT VOID DrvDisableDriver() {
  EngFreeMem(glyphSet);
  glyphSet = nullptr;
}
