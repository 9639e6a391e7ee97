// GDI objects: live counters of every kind, deleting and selecting rules, descriptions, regions,
// and DCs over a caller's pixel surface.
#include <gtest/gtest.h>

#include <functional>

#include "tests/platform/gdi/dc_test_support.h"
#include "tests/support/sandbox_test.h"

namespace {

class GdiObjects : public SandboxTest {};

struct KindCase {
  const char* name;
  SimGdiKind kind;
  std::function<HGDIOBJ()> create;
  std::function<BOOL(HGDIOBJ)> destroy;
};

BYTE kMask[2 * 2] = {0x3F, 0, 0x3F, 0};
BYTE kColours[2 * 2 * 4] = {};

const std::vector<KindCase>& KindCases() {
  auto deleteObject = [](HGDIOBJ o) { return DeleteObject(o); };
  static const std::vector<KindCase> cases = {
      {"pen", SimGdiKind::Pen, [] { return CreatePen(PS_DASH, 1, RGB(1, 2, 3)); }, deleteObject},
      {"brush", SimGdiKind::Brush, [] { return CreateHatchBrush(HS_CROSS, 0); }, deleteObject},
      {"font", SimGdiKind::Font, [] { return CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Arial"); }, deleteObject},
      {"bitmap", SimGdiKind::Bitmap, [] { return CreateBitmap(3, 2, 1, 32, nullptr); }, deleteObject},
      {"region", SimGdiKind::Region, [] { return CreateRectRgn(0, 0, 4, 4); }, deleteObject},
      {"palette", SimGdiKind::Palette,
       [] {
         LOGPALETTE p{kLogPaletteVersion, 1, {{1, 2, 3, 0}}};
         return CreatePalette(&p);
       },
       deleteObject},
      {"icon", SimGdiKind::Icon, [] { return CreateIcon(nullptr, 2, 2, 1, 32, kMask, kColours); },
       [](HGDIOBJ o) { return DestroyIcon(static_cast<HICON>(o)); }},
      {"memory DC", SimGdiKind::Dc, [] { return CreateCompatibleDC(nullptr); },
       [](HGDIOBJ o) { return DeleteDC(static_cast<HDC>(o)); }},
  };
  return cases;
}

TEST_F(GdiObjects, EveryKindIsCountedUntilDeleted) {
  for (const KindCase& c : KindCases()) {
    SCOPED_TRACE(c.name);
    const int before = SimLiveGdiObjectsOfKind(c.kind), all = SimLiveGdiObjects();
    HGDIOBJ object = c.create();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(SimLiveGdiObjectsOfKind(c.kind), before + 1);
    EXPECT_EQ(SimLiveGdiObjects(), all + 1);
    EXPECT_TRUE(c.destroy(object));
    EXPECT_EQ(SimLiveGdiObjectsOfKind(c.kind), before);
    EXPECT_FALSE(c.destroy(object));  // a handle is never reused
  }
}

TEST_F(GdiObjects, IconsAndDcsAreNotDeletedAsObjects) {
  HDC dc = CreateCompatibleDC(nullptr);
  HICON icon = CreateIcon(nullptr, 2, 2, 1, 32, kMask, kColours);
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_FALSE(DeleteObject(icon));
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(icon)));
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_TRUE(DestroyIcon(icon));
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(GdiObjects, StockObjectsAreNotCountedAndStay) {
  const int all = SimLiveGdiObjects();
  HGDIOBJ brush = GetStockObject(BLACK_BRUSH);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(GetStockObject(BLACK_BRUSH), brush);
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
  HBRUSH face = GdiCreatePermanentBrush(RGB(212, 208, 200));
  EXPECT_TRUE(DeleteObject(face));
  LOGBRUSH lb{};
  EXPECT_EQ(GetObjectW(face, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, RGB(212, 208, 200));
  EXPECT_EQ(SimLiveGdiObjects(), all);
}

TEST_F(GdiObjects, ASelectedObjectIsNotDeleted) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(9, 9, 9));
  HGDIOBJ old = SelectObject(dc, pen);
  EXPECT_EQ(old, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  EXPECT_FALSE(DeleteObject(pen));
  // Kept in a saved state, it is still in use.
  SaveDC(dc);
  SelectObject(dc, old);
  EXPECT_FALSE(DeleteObject(pen));
  RestoreDC(dc, -1);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
  SelectObject(dc, old);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_EQ(SelectObject(dc, pen), nullptr);  // stale
  EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(GdiObjects, ABitmapIsSelectedIntoOneDcAtATime) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(a);
  HBITMAP bitmap = CreateCompatibleBitmap(a, 4, 4);
  HGDIOBJ firstA = SelectObject(a, bitmap);
  ASSERT_NE(firstA, nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr);
  EXPECT_TRUE(DeleteDC(a));  // the bitmap stays, now free
  HGDIOBJ firstB = SelectObject(b, bitmap);
  EXPECT_EQ(firstB, firstA);  // every memory DC starts with the same 1 x 1 bitmap
  EXPECT_EQ(GetDeviceCaps(b, HORZRES), 4);
  SelectObject(b, firstB);
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_TRUE(DeleteDC(b));
  EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(bitmap)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(GdiObjects, DescriptionsAsCreated) {
  HPEN pen = CreatePen(PS_DOT, 0, RGB(1, 2, 3));
  LOGPEN lp{};
  EXPECT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DOT));
  EXPECT_EQ(lp.lopnWidth.x, 1);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  EXPECT_EQ(GetObjectW(pen, 4, &lp), 0);
  EXPECT_EQ(GetObjectW(pen, 0, nullptr), static_cast<int>(sizeof lp));
  EXPECT_EQ(CreatePen(9, 1, 0), nullptr);

  HFONT font = CreateFontW(-12, 0, 0, 0, FW_BOLD, 1, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, u"Arial");
  LOGFONTW lf{};
  EXPECT_EQ(GetObjectW(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfItalic, 1);
  EXPECT_EQ(std::u16string(lf.lfFaceName), u"Arial");

  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 5, -3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  DIBSECTION ds{};
  EXPECT_EQ(GetObjectW(section, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmWidth, 5);
  EXPECT_EQ(ds.dsBm.bmHeight, 3);
  EXPECT_EQ(ds.dsBm.bmWidthBytes, 20);
  EXPECT_EQ(ds.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(ds.dsBm.bmBits, bits);
  EXPECT_EQ(ds.dsBmih.biHeight, -3);
  BITMAP bm{};
  EXPECT_EQ(GetObjectW(section, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(GetObjectType(section), static_cast<DWORD>(OBJ_BITMAP));

  for (HGDIOBJ o : {static_cast<HGDIOBJ>(pen), static_cast<HGDIOBJ>(font), static_cast<HGDIOBJ>(section)})
    EXPECT_TRUE(DeleteObject(o));
}

struct RegionCase {
  int mode;
  int kind;
  RECT box;
  POINT inside;
  POINT outside;
};

// Region A is (0, 0, 4, 4), B is (2, 2, 6, 6).
constexpr RegionCase kRegionCases[] = {
    {RGN_AND, SIMPLEREGION, {2, 2, 4, 4}, {3, 3}, {1, 1}},
    {RGN_OR, COMPLEXREGION, {0, 0, 6, 6}, {5, 5}, {5, 0}},
    {RGN_DIFF, COMPLEXREGION, {0, 0, 4, 4}, {1, 3}, {3, 3}},
    {RGN_XOR, COMPLEXREGION, {0, 0, 6, 6}, {5, 5}, {2, 2}},
    {RGN_COPY, SIMPLEREGION, {0, 0, 4, 4}, {0, 0}, {4, 4}},
};

TEST_F(GdiObjects, RegionsCombine) {
  HRGN a = CreateRectRgn(0, 0, 4, 4);
  HRGN b = CreateRectRgn(2, 2, 6, 6);
  HRGN out = CreateRectRgn(0, 0, 0, 0);
  for (const RegionCase& c : kRegionCases) {
    SCOPED_TRACE(c.mode);
    EXPECT_EQ(CombineRgn(out, a, b, c.mode), c.kind);
    RECT box{};
    EXPECT_EQ(GetRgnBox(out, &box), c.kind);
    EXPECT_EQ(box.left, c.box.left);
    EXPECT_EQ(box.bottom, c.box.bottom);
    EXPECT_EQ(box.right, c.box.right);
    EXPECT_TRUE(PtInRegion(out, c.inside.x, c.inside.y));
    EXPECT_FALSE(PtInRegion(out, c.outside.x, c.outside.y));
  }
  // Two halves side by side join into one rectangle.
  HRGN left = CreateRectRgn(0, 0, 2, 4);
  EXPECT_EQ(CombineRgn(out, left, nullptr, RGN_COPY), SIMPLEREGION);
  HRGN right = CreateRectRgn(2, 0, 4, 4);
  EXPECT_EQ(CombineRgn(out, left, right, RGN_OR), SIMPLEREGION);
  EXPECT_TRUE(EqualRgn(out, a));
  EXPECT_EQ(OffsetRgn(out, 1, 1), SIMPLEREGION);
  EXPECT_FALSE(EqualRgn(out, a));
  EXPECT_EQ(CombineRgn(out, a, a, RGN_DIFF), NULLREGION);
  EXPECT_EQ(CombineRgn(out, a, nullptr, RGN_AND), ERROR);
  for (HRGN r : {a, b, out, left, right}) EXPECT_TRUE(DeleteObject(r));
}

TEST_F(GdiObjects, SurfaceDcDrawsInsideItsClipFromItsOrigin) {
  std::vector<std::uint32_t> pixels(12 * 6, 0x00FFFFFF);
  GdiSurface surface{pixels.data(), 10, 6, 12};  // two spare pixels at each row's end
  HDC dc = GdiCreateSurfaceDC(surface, POINT{3, 1}, RECT{2, 1, 8, 5});
  ASSERT_NE(dc, nullptr);
  RECT all{-10, -10, 100, 100};
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(dc, &all, blue);
  SetPixel(dc, 0, 0, RGB(255, 0, 0));  // the surface's (3, 1)
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, -1, 0), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, -2, 0), CLR_INVALID);  // the surface's column 1, outside the clip
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, -1);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 5);
  EXPECT_EQ(box.bottom, 4);
  EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 10);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
  SimSetScreenDpi(120);
  EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 120);
  std::string rows;
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 12; ++x) rows += pixels[static_cast<size_t>(y) * 12 + x] == 0xFFFFFF ? '.' : pixels[static_cast<size_t>(y) * 12 + x] == 0xFF ? 'b' : 'r';
    rows += '\n';
  }
  EXPECT_EQ(rows,
            "............\n"
            "..brbbbb....\n"
            "..bbbbbb....\n"
            "..bbbbbb....\n"
            "..bbbbbb....\n"
            "............\n");
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(blue));
  GdiSurface bad{pixels.data(), 10, 6, 9};
  EXPECT_EQ(GdiCreateSurfaceDC(bad, POINT{0, 0}, RECT{0, 0, 10, 6}), nullptr);
}

}  // namespace

namespace {

class GdiPalettes : public SandboxTest {};

TEST_F(GdiPalettes, SelectRealizeAndMatch) {
  struct {
    LOGPALETTE header;
    PALETTEENTRY more[2];
  } log{{kLogPaletteVersion, 3, {{0, 0, 0, 0}}}, {{200, 0, 0, 0}, {255, 255, 255, 0}}};
  HPALETTE palette = CreatePalette(&log.header);
  HDC dc = CreateCompatibleDC(nullptr);
  HPALETTE old = SelectPalette(dc, palette, FALSE);
  EXPECT_EQ(old, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette);
  EXPECT_EQ(RealizePalette(dc), 0u);
  EXPECT_EQ(RealizePalette(nullptr), GDI_ERROR);
  EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(255, 10, 10)), 1u);
  EXPECT_EQ(GetNearestPaletteIndex(palette, RGB(250, 250, 250)), 2u);
  EXPECT_EQ(GetNearestPaletteIndex(nullptr, 0), CLR_INVALID);
  EXPECT_FALSE(DeleteObject(palette));  // still selected
  SelectPalette(dc, old, FALSE);
  WORD entries = 0;
  EXPECT_EQ(GetObjectW(old, sizeof entries, &entries), 2);
  EXPECT_EQ(entries, 20);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(palette));
}

}  // namespace
