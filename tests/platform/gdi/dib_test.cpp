// DIB sections and DIBs: pixels written through a section's memory are what a DC draws on, and
// DIBs of every depth convert into and out of bitmaps and DCs with their rows in order.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/gdi/dc_test_support.h"
#include "tests/support/sandbox_test.h"

namespace {

class Dibs : public SandboxTest {};

BITMAPINFOHEADER Header(LONG width, LONG height, WORD bits) {
  return BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
}

// A DIB header with a colour table of up to 16 entries.
struct SmallDib {
  BITMAPINFOHEADER header;
  RGBQUAD colours[16];
};

TEST_F(Dibs, SectionMemoryIsTheDcsPixels) {
  for (LONG height : {3, -3}) {
    SCOPED_TRACE(height);
    BITMAPINFO info{};
    info.bmiHeader = Header(4, height, 32);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    // The first row in memory is the bottom one of a bottom-up section, the top of a top-down one.
    pixels[0] = 0x00FF0000;  // red, in memory order B G R x
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, section);
    EXPECT_EQ(GetPixel(dc, 0, height > 0 ? 2 : 0), RGB(255, 0, 0));
    SetPixel(dc, 3, 0, RGB(0, 0, 255));
    EXPECT_EQ(pixels[height > 0 ? 2 * 4 + 3 : 3], 0x000000FFu);
    SelectObject(dc, old);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(section));
  }
}

TEST_F(Dibs, SectionsOfOtherFormatsAreRefused) {
  BITMAPINFO info{};
  void* bits = nullptr;
  info.bmiHeader = Header(4, 4, 24);
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader = Header(0, 4, 32);
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader = Header(kGdiMaxBitmapSide, kGdiMaxBitmapSide, 32);
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  info.bmiHeader = Header(4, 4, 32);
  info.bmiHeader.biCompression = BI_RLE8;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST_F(Dibs, DibsOfEveryDepthDrawTheirRowsInOrder) {
  // Two rows of four pixels: red green blue white over black black black black (top row first).
  const std::string top = "rgb.", bottom = "####";
  struct DepthCase {
    WORD bits;
    std::vector<BYTE> rowsBottomUp;  // bottom row first, each padded to 4 bytes
  };
  const std::vector<DepthCase> cases = {
      {1, {0x00, 0, 0, 0, 0x10, 0, 0, 0}},                       // table: 0 black, 1 white; only white set
      {4, {0x00, 0x00, 0, 0, 0x12, 0x34, 0, 0}},                 // table 1 red 2 green 3 blue 4 white
      {8, {0, 0, 0, 0, 1, 2, 3, 4}},
      {16, {0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F}},
      {24, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}},
      {32, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0}},
  };
  for (const DepthCase& c : cases) {
    SCOPED_TRACE(c.bits);
    SmallDib dib{};
    dib.header = Header(4, 2, c.bits);
    if (c.bits == 8) dib.header.biClrUsed = 16;  // the table holds 16 colours, not 256
    dib.colours[1] = c.bits == 1 ? RGBQUAD{255, 255, 255, 0} : RGBQUAD{0, 0, 255, 0};
    dib.colours[2] = RGBQUAD{0, 255, 0, 0};
    dib.colours[3] = RGBQUAD{255, 0, 0, 0};
    dib.colours[4] = RGBQUAD{255, 255, 255, 0};
    const auto* info = reinterpret_cast<const BITMAPINFO*>(&dib);
    const std::string expectTop = c.bits == 1 ? "###." : top;
    PictureDc picture(6, 3);
    EXPECT_EQ(SetDIBitsToDevice(picture.dc(), 1, 0, 4, 2, 0, 0, 0, 2, c.rowsBottomUp.data(), info, DIB_RGB_COLORS), 2);
    const std::vector<std::string> rows = picture.Rows();
    EXPECT_EQ(rows[0], "." + expectTop + ".");
    EXPECT_EQ(rows[1], "." + bottom + ".");
    // Stretched to twice the width, upside down.
    PictureDc stretched(8, 2);
    EXPECT_EQ(StretchDIBits(stretched.dc(), 0, 2, 8, -2, 0, 0, 4, 2, c.rowsBottomUp.data(), info, DIB_RGB_COLORS, SRCCOPY), 2);
    std::string doubled;
    for (char ch : expectTop) doubled += std::string(2, ch);
    EXPECT_EQ(stretched.Rows()[0], "########");
    EXPECT_EQ(stretched.Rows()[1], doubled);
  }
}

TEST_F(Dibs, GetDIBitsAndSetDIBitsRoundTrip) {
  PictureDc picture(3, 2);
  SetPixel(picture.dc(), 0, 0, RGB(255, 0, 0));
  SetPixel(picture.dc(), 2, 1, RGB(0, 0, 255));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  HGDIOBJ bitmap = GetCurrentObject(picture.dc(), OBJ_BITMAP);
  ASSERT_EQ(bitmap, picture.bitmap());
  EXPECT_EQ(GetDIBits(picture.dc(), picture.bitmap(), 0, 2, nullptr, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(info.bmiHeader.biWidth, 3);
  EXPECT_EQ(info.bmiHeader.biBitCount, 32);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 24u);
  // 24 bits, bottom-up: rows of 9 bytes padded to 12, the bottom row first.
  info.bmiHeader.biBitCount = 24;
  BYTE rows[24] = {};
  EXPECT_EQ(GetDIBits(picture.dc(), picture.bitmap(), 0, 2, rows, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(rows[6], 255);  // bottom row, third pixel: blue
  EXPECT_EQ(rows[7], 0);
  EXPECT_EQ(rows[12 + 2], 255);  // top row, first pixel: red
  EXPECT_EQ(rows[12 + 0], 0);
  EXPECT_EQ(rows[12 + 3], 255);  // white
  // Written into a new bitmap, the picture is the same.
  HDC none = CreateCompatibleDC(nullptr);
  HBITMAP fresh = CreateDIBitmap(none, &info.bmiHeader, CBM_INIT, rows, &info, DIB_RGB_COLORS);
  ASSERT_NE(fresh, nullptr);
  HGDIOBJ old = SelectObject(none, fresh);
  EXPECT_EQ(GetPixel(none, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(none, 2, 1), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(none, 1, 1), RGB(255, 255, 255));
  std::uint32_t raw[6] = {};
  EXPECT_EQ(GetBitmapBits(fresh, sizeof raw, raw), 24);
  EXPECT_EQ(raw[0], 0x00FF0000u);
  SelectObject(none, old);
  DeleteDC(none);
  EXPECT_TRUE(DeleteObject(fresh));
  info.bmiHeader.biBitCount = 8;
  EXPECT_EQ(GetDIBits(picture.dc(), picture.bitmap(), 0, 2, rows, &info, DIB_RGB_COLORS), 0);
}

}  // namespace
