// Drawing into memory DCs, pixel by pixel: every primitive of the table draws on a white 10 x 8
// bitmap with a black one-pixel pen and a red brush selected, and the picture must come out as
// written (letters in dc_test_support.h).
#include <gtest/gtest.h>

#include <functional>

#include "tests/platform/gdi/dc_test_support.h"
#include "tests/support/sandbox_test.h"

namespace {

class Primitives : public SandboxTest {};

// Selects a new object for the duration of a case and deletes it afterwards.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), old_(SelectObject(dc, object)) {}
  ~Selected() {
    SelectObject(dc_, old_);
    DeleteObject(object_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ old_;
};

void Fill(HDC dc, RECT r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

struct PrimitiveCase {
  const char* name;
  std::function<void(HDC)> draw;
  std::vector<std::string> expected;
};

const std::vector<PrimitiveCase>& Cases() {
  static const std::vector<PrimitiveCase> cases = {
      {"line: the end point is not drawn",
       [](HDC dc) {
         MoveToEx(dc, 1, 1, nullptr);
         LineTo(dc, 6, 1);
         LineTo(dc, 6, 4);
       },
       {"..........", ".######...", "......#...", "......#...", "..........", "..........", "..........", ".........."}},
      {"line: diagonal and backwards",
       [](HDC dc) {
         MoveToEx(dc, 1, 1, nullptr);
         LineTo(dc, 5, 5);
         MoveToEx(dc, 9, 7, nullptr);
         LineTo(dc, 6, 7);
       },
       {"..........", ".#........", "..#.......", "...#......", "....#.....", "..........", "..........", ".......###"}},
      {"line: shallow slope",
       [](HDC dc) {
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 8, 2);
       },
       {"##........", "..####....", "......##..", "..........", "..........", "..........", "..........", ".........."}},
      {"polyline: the last point is not drawn, the position stays",
       [](HDC dc) {
         const POINT points[] = {{1, 1}, {4, 1}, {4, 4}, {8, 4}};
         Polyline(dc, points, 4);
         LineTo(dc, 0, 6);  // from (0, 0), where the position still is: column 0
       },
       {"#.........", "#####.....", "#...#.....", "#...#.....", "#...####..", "#.........", "..........", ".........."}},
      {"rectangle: pen frame, brush inside",
       [](HDC dc) { Rectangle(dc, 1, 1, 7, 6); },
       {"..........", ".######...", ".#rrrr#...", ".#rrrr#...", ".#rrrr#...", ".######...", "..........", ".........."}},
      {"rectangle: the null pen fills one pixel less each way",
       [](HDC dc) {
         HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_PEN));
         Rectangle(dc, 1, 1, 7, 6);
         SelectObject(dc, old);
       },
       {"..........", ".rrrrr....", ".rrrrr....", ".rrrrr....", ".rrrrr....", "..........", "..........", ".........."}},
      {"rectangle: the null brush leaves the inside",
       [](HDC dc) {
         HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_BRUSH));
         Rectangle(dc, 7, 1, 2, 4);  // corners in either order
         SelectObject(dc, old);
       },
       {"..........", "..#####...", "..#...#...", "..#####...", "..........", "..........", "..........", ".........."}},
      {"ellipse: a circle with its ring and inside",
       [](HDC dc) { Ellipse(dc, 1, 0, 8, 7); },
       {"...###....", "..#rrr#...", ".#rrrrr#..", ".#rrrrr#..", ".#rrrrr#..", "..#rrr#...", "...###....", ".........."}},
      {"ellipse: a pen three wide fills the ring",
       [](HDC dc) {
         Selected pen(dc, CreatePen(PS_SOLID, 3, RGB(0, 0, 255)));
         Ellipse(dc, 0, 0, 10, 8);
       },
       {"...bbbb...", ".bbbbbbbb.", "bbbbbbbbbb", "bbbrrrrbbb", "bbbrrrrbbb", "bbbbbbbbbb", ".bbbbbbbb.", "...bbbb..."}},
      {"polygon: inclusive outline",
       [](HDC dc) {
         const POINT points[] = {{1, 1}, {6, 1}, {6, 5}, {1, 5}};
         Polygon(dc, points, 4);
       },
       {"..........", ".######...", ".#rrrr#...", ".#rrrr#...", ".#rrrr#...", ".######...", "..........", ".........."}},
      {"polygon: fill by pixel centres",
       [](HDC dc) {
         HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_PEN));
         const POINT points[] = {{1, 1}, {7, 1}, {1, 7}};
         Polygon(dc, points, 3);
         SelectObject(dc, old);
       },
       {"..........", ".rrrrr....", ".rrrr.....", ".rrr......", ".rr.......", ".r........", "..........", ".........."}},
      {"polygon: alternate and winding fill of a doubled loop",
       [](HDC dc) {
         HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_PEN));
         // The same square twice: alternate leaves it empty, winding fills it.
         const POINT twice[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}, {0, 4}};
         Polygon(dc, twice, 8);
         const POINT again[] = {{5, 0}, {9, 0}, {9, 4}, {5, 4}, {5, 0}, {9, 0}, {9, 4}, {5, 4}};
         SetPolyFillMode(dc, WINDING);
         Polygon(dc, again, 8);
         SelectObject(dc, old);
       },
       {".....rrrr.", ".....rrrr.", ".....rrrr.", ".....rrrr.", "..........", "..........", "..........", ".........."}},
      {"pen: dots with opaque and transparent gaps",
       [](HDC dc) {
         Selected pen(dc, CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
         SetBkColor(dc, RGB(0, 0, 255));
         MoveToEx(dc, 0, 1, nullptr);
         LineTo(dc, 10, 1);
         SetBkMode(dc, TRANSPARENT);
         MoveToEx(dc, 0, 3, nullptr);
         LineTo(dc, 10, 3);
       },
       {"..........", "###bbb###b", "..........", "###...###.", "..........", "..........", "..........", ".........."}},
      {"pen: dashes",
       [](HDC dc) {
         Selected pen(dc, CreatePen(PS_DASH, 1, RGB(255, 0, 0)));
         SetBkMode(dc, TRANSPARENT);
         MoveToEx(dc, 9, 0, nullptr);
         LineTo(dc, 9, 8);
       },
       {".........r", ".........r", ".........r", ".........r", ".........r", ".........r", ".........r", ".........r"}},
      {"pen: three wide, centred on the line",
       [](HDC dc) {
         Selected pen(dc, CreatePen(PS_SOLID, 3, RGB(0, 255, 0)));
         MoveToEx(dc, 2, 3, nullptr);
         LineTo(dc, 6, 3);
       },
       {"..........", "..........", ".gggggg...", ".gggggg...", ".gggggg...", "..........", "..........", ".........."}},
      {"pen: the null pen draws nothing",
       [](HDC dc) {
         HGDIOBJ old = SelectObject(dc, GetStockObject(NULL_PEN));
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 9, 7);
         SelectObject(dc, old);
       },
       {"..........", "..........", "..........", "..........", "..........", "..........", "..........", ".........."}},
      {"fill: FillRect leaves the right and bottom edges, FrameRect frames",
       [](HDC dc) {
         Fill(dc, RECT{1, 1, 4, 3}, RGB(0, 0, 255));
         HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
         RECT frame{5, 2, 9, 7};
         FrameRect(dc, &frame, green);
         DeleteObject(green);
       },
       {"..........", ".bbb......", ".bbb.gggg.", ".....g..g.", ".....g..g.", ".....g..g.", ".....gggg.", ".........."}},
      {"fill: a hatched brush, cross, transparent gaps",
       [](HDC dc) {
         HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(0, 0, 255));
         SetBkMode(dc, TRANSPARENT);
         RECT all{0, 0, 10, 8};
         FillRect(dc, &all, hatch);
         DeleteObject(hatch);
       },
       {"bbbbbbbbbb", "b.......b.", "b.......b.", "b.......b.", "b.......b.", "b.......b.", "b.......b.", "b.......b."}},
      {"fill: a hatched brush, diagonal, opaque gaps, brush origin moved",
       [](HDC dc) {
         HBRUSH hatch = CreateHatchBrush(HS_FDIAGONAL, RGB(0, 0, 0));
         SetBkColor(dc, RGB(255, 255, 0));
         SetBrushOrgEx(dc, 2, 0, nullptr);
         RECT part{0, 0, 10, 4};
         FillRect(dc, &part, hatch);
         DeleteObject(hatch);
       },
       {"yy#yyyyyyy", "yyy#yyyyyy", "yyyy#yyyyy", "yyyyy#yyyy", "..........", "..........", "..........", ".........."}},
      {"raster: R2_XORPEN and R2_NOT",
       [](HDC dc) {
         Fill(dc, RECT{0, 0, 10, 2}, RGB(255, 0, 0));
         Selected pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 0)));
         SetROP2(dc, R2_XORPEN);
         MoveToEx(dc, 0, 1, nullptr);
         LineTo(dc, 10, 1);  // red ^ yellow = green, white ^ yellow = blue
         MoveToEx(dc, 0, 2, nullptr);
         LineTo(dc, 10, 2);
         SetROP2(dc, R2_NOT);
         MoveToEx(dc, 0, 4, nullptr);
         LineTo(dc, 5, 4);
       },
       {"rrrrrrrrrr", "gggggggggg", "bbbbbbbbbb", "..........", "#####.....", "..........", "..........", ".........."}},
      {"raster: InvertRect",
       [](HDC dc) {
         Fill(dc, RECT{0, 0, 5, 8}, RGB(0, 0, 255));
         RECT r{3, 2, 7, 4};
         InvertRect(dc, &r);
       },
       {"bbbbb.....", "bbbbb.....", "bbbyy##...", "bbbyy##...", "bbbbb.....", "bbbbb.....", "bbbbb.....", "bbbbb....."}},
      {"blit: PatBlt with the brush, PATINVERT, DSTINVERT, BLACKNESS",
       [](HDC dc) {
         PatBlt(dc, 0, 0, 3, 2, PATCOPY);
         PatBlt(dc, 3, 0, 3, 2, PATINVERT);
         PatBlt(dc, 6, 0, 3, 2, DSTINVERT);
         PatBlt(dc, 10, 5, -3, -2, BLACKNESS);  // negative sizes count back from the corner
       },
       {"rrrccc###.", "rrrccc###.", "..........", ".......###", ".......###", "..........", "..........", ".........."}},
      {"blit: BitBlt copies, ANDs and XORs another DC's pixels",
       [](HDC dc) {
         PictureDc source(4, 2);
         Fill(source.dc(), RECT{0, 0, 2, 2}, RGB(255, 0, 0));
         Fill(source.dc(), RECT{2, 0, 4, 2}, RGB(0, 255, 0));
         Fill(dc, RECT{0, 4, 10, 6}, RGB(255, 255, 0));
         BitBlt(dc, 1, 1, 4, 2, source.dc(), 0, 0, SRCCOPY);
         BitBlt(dc, 0, 4, 4, 1, source.dc(), 0, 0, SRCAND);     // yellow & red, yellow & green
         BitBlt(dc, 5, 5, 4, 1, source.dc(), 0, 1, SRCINVERT);  // yellow ^ red, yellow ^ green
         BitBlt(dc, 8, 0, 2, 2, source.dc(), 3, 1, SRCCOPY);    // the source's edge: one pixel only
       },
       {"........g.", ".rrgg.....", ".rrgg.....", "..........", "rrggyyyyyy", "yyyyyggrry", "..........", ".........."}},
      {"blit: BitBlt within one DC, overlapping",
       [](HDC dc) {
         Fill(dc, RECT{0, 0, 2, 1}, RGB(255, 0, 0));
         Fill(dc, RECT{2, 0, 4, 1}, RGB(0, 0, 255));
         BitBlt(dc, 1, 0, 4, 1, dc, 0, 0, SRCCOPY);
       },
       {"rrrbb.....", "..........", "..........", "..........", "..........", "..........", "..........", ".........."}},
      {"blit: StretchBlt doubles, halves and mirrors",
       [](HDC dc) {
         PictureDc source(2, 2);
         Fill(source.dc(), RECT{0, 0, 1, 2}, RGB(255, 0, 0));
         Fill(source.dc(), RECT{1, 0, 2, 2}, RGB(0, 0, 255));
         StretchBlt(dc, 0, 0, 4, 4, source.dc(), 0, 0, 2, 2, SRCCOPY);
         StretchBlt(dc, 5, 0, 1, 1, source.dc(), 0, 0, 2, 2, SRCCOPY);   // samples the pixel centres
         StretchBlt(dc, 7, 0, 2, 2, source.dc(), 2, 0, -2, 2, SRCCOPY);  // columns 1, 0
       },
       {"rrbb.b.br.", "rrbb...br.", "rrbb......", "rrbb......", "..........", "..........", "..........", ".........."}},
      {"clip: IntersectClipRect and ExcludeClipRect",
       [](HDC dc) {
         IntersectClipRect(dc, 1, 1, 9, 7);
         ExcludeClipRect(dc, 3, 3, 7, 5);
         Fill(dc, RECT{0, 0, 10, 8}, RGB(0, 0, 255));
       },
       {"..........", ".bbbbbbbb.", ".bbbbbbbb.", ".bb....bb.", ".bb....bb.", ".bbbbbbbb.", ".bbbbbbbb.", ".........."}},
      {"clip: a region of two rectangles, copied when selected",
       [](HDC dc) {
         HRGN left = CreateRectRgn(0, 0, 3, 3);
         HRGN right = CreateRectRgn(6, 4, 10, 8);
         CombineRgn(left, left, right, RGN_OR);
         SelectClipRgn(dc, left);
         DeleteObject(left);  // the DC keeps its own copy
         DeleteObject(right);
         Rectangle(dc, 0, 0, 10, 8);
       },
       {"###.......", "#rr.......", "#rr.......", "..........", "......rrr#", "......rrr#", "......rrr#", "......####"}},
      {"clip: SaveDC and RestoreDC bring back the clip and the pen",
       [](HDC dc) {
         SaveDC(dc);
         IntersectClipRect(dc, 0, 0, 2, 8);
         Selected pen(dc, CreatePen(PS_SOLID, 1, RGB(0, 255, 0)));
         SaveDC(dc);
         SelectObject(dc, GetStockObject(WHITE_PEN));
         RestoreDC(dc, -1);
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 10, 0);
         RestoreDC(dc, 1);
         MoveToEx(dc, 0, 2, nullptr);
         LineTo(dc, 10, 2);
       },
       {"gg........", "..........", "##########", "..........", "..........", "..........", "..........", ".........."}},
      {"origins: viewport and window origins move the drawing",
       [](HDC dc) {
         SetViewportOrgEx(dc, 4, 2, nullptr);
         SetWindowOrgEx(dc, 1, 0, nullptr);
         Fill(dc, RECT{1, 0, 3, 2}, RGB(0, 255, 0));  // at device (4, 2)
         IntersectClipRect(dc, 1, 0, 2, 10);  // logical, so device column 4
         Fill(dc, RECT{0, 3, 10, 5}, RGB(0, 0, 255));
       },
       {"..........", "..........", "....gg....", "....gg....", "..........", "....b.....", "....b.....", ".........."}},
      {"icon: the mask keeps, the image XORs; DI_MASK alone copies the mask",
       [](HDC dc) {
         // 4 x 4: the outer ring transparent (mask 1), the middle red; the bottom-right pixel's
         // image is white over a transparent mask bit, so it inverts what is below.
         const BYTE mask[4 * 2] = {0xF0, 0, 0x90, 0, 0x90, 0, 0xF0, 0};
         BYTE image[4 * 4 * 4] = {};
         for (int i : {5, 6, 9, 10}) image[4 * i + 2] = 255;
         image[4 * 15] = image[4 * 15 + 1] = image[4 * 15 + 2] = 255;
         HICON icon = CreateIcon(nullptr, 4, 4, 1, 32, mask, image);
         EXPECT_TRUE(DrawIconEx(dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
         EXPECT_TRUE(DrawIconEx(dc, 6, 1, icon, 0, 0, 0, nullptr, DI_MASK));
         DestroyIcon(icon);
         EXPECT_FALSE(DrawIconEx(dc, 1, 1, icon, 0, 0, 0, nullptr, DI_NORMAL));
         EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_CURSOR_HANDLE));
       },
       {"..........", "..........", "..rr...##.", "..rr...##.", "....#.....", "..........", "..........", ".........."}},
      {"icon: an 8-bit image stretched twice, over a brush",
       [](HDC dc) {
         const BYTE mask[2 * 2] = {0x00, 0, 0x00, 0};
         const BYTE image[2 * 2] = {12, 10, 0, 0};  // rows of 16-bit multiples: blue, lime
         HICON icon = CreateIcon(nullptr, 2, 1, 1, 8, mask, image);
         HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
         EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 4, 3, 0, yellow, DI_NORMAL));
         DeleteObject(yellow);
         DestroyIcon(icon);
       },
       {"bbgg......", "bbgg......", "bbgg......", "..........", "..........", "..........", "..........", ".........."}},
      {"pixels: SetPixel and GetPixel outside the bitmap",
       [](HDC dc) {
         SetPixel(dc, 2, 3, RGB(255, 0, 255));
         EXPECT_EQ(SetPixel(dc, 10, 0, RGB(0, 0, 0)), CLR_INVALID);
         EXPECT_EQ(GetPixel(dc, -1, 0), CLR_INVALID);
         EXPECT_EQ(GetPixel(dc, 2, 3), RGB(255, 0, 255));
       },
       {"..........", "..........", "..........", "..m.......", "..........", "..........", "..........", ".........."}},
  };
  return cases;
}

TEST_F(Primitives, DrawTheirPixels) {
  for (const PrimitiveCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    PictureDc picture(10, 8);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldBrush = SelectObject(picture.dc(), red);
    c.draw(picture.dc());
    SelectObject(picture.dc(), oldBrush);
    DeleteObject(red);
    EXPECT_EQ(Joined(picture.Rows()), Joined(c.expected));
  }
}

}  // namespace
