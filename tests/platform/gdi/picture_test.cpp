// A test picture drawn with every kind of GDI call, against its kept PNG. To rewrite the
// picture after an intended change:
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_platform_gdi --gtest_filter='Picture.*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/platform/gdi/dc_test_support.h"
#include "tests/support/sandbox_test.h"

namespace {

class Picture : public SandboxTest {};

// Pixels may differ by this much in a channel (glyph rasteriser versions) and this share of the
// picture may differ by more.
constexpr int kChannelTolerance = 64;
constexpr double kDifferingShare = 0.005;

std::filesystem::path Fixture() { return std::filesystem::path(QV_SOURCE_DIR) / "tests/platform/gdi/data/test_picture.png"; }

// A 16 x 16 icon: a red disc with a blue border inside a transparent square, mask and image.
HICON DiscIcon() {
  BYTE mask[16 * 2] = {};
  BYTE image[16 * 16 * 4] = {};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const int dx = 2 * x - 15, dy = 2 * y - 15, d = dx * dx + dy * dy;
      BYTE* p = image + 4 * (y * 16 + x);
      if (d > 225) {
        mask[y * 2 + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));  // transparent
      } else if (d > 144) {
        p[0] = 255;  // blue border
      } else {
        p[2] = 255;  // red inside
      }
    }
  return CreateIcon(nullptr, 16, 16, 1, 32, mask, image);
}

void DrawTestPicture(HDC dc, bool withText) {
  RECT all{0, 0, 200, 120};
  HBRUSH face = CreateSolidBrush(RGB(236, 233, 216));
  FillRect(dc, &all, face);
  HPEN blue = CreatePen(PS_SOLID, 2, RGB(0, 60, 160));
  HBRUSH yellow = CreateSolidBrush(RGB(255, 220, 90));
  HGDIOBJ oldPen = SelectObject(dc, blue);
  HGDIOBJ oldBrush = SelectObject(dc, yellow);
  Rectangle(dc, 8, 8, 60, 44);
  Ellipse(dc, 68, 8, 120, 44);
  const POINT star[] = {{150, 6}, {162, 42}, {130, 20}, {170, 20}, {138, 42}};
  SetPolyFillMode(dc, WINDING);
  Polygon(dc, star, 5);
  HPEN dashed = CreatePen(PS_DASH, 1, RGB(160, 0, 0));
  SelectObject(dc, dashed);
  SetBkMode(dc, TRANSPARENT);
  MoveToEx(dc, 8, 52, nullptr);
  LineTo(dc, 190, 52);
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 120, 0));
  RECT hatched{8, 58, 60, 90};
  FillRect(dc, &hatched, hatch);
  HICON icon = DiscIcon();
  DrawIconEx(dc, 70, 60, icon, 0, 0, 0, nullptr, DI_NORMAL);
  DrawIconEx(dc, 92, 58, icon, 32, 32, 0, nullptr, DI_NORMAL);
  // A copy of the top-left shapes, halved, through a second memory DC.
  PictureDc small(40, 20);
  StretchBlt(small.dc(), 0, 0, 40, 20, dc, 8, 8, 112, 36, SRCCOPY);
  BitBlt(dc, 140, 60, 40, 20, small.dc(), 0, 0, SRCCOPY);
  if (withText) {
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"MS Shell Dlg");
    HFONT bold = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"MS Shell Dlg");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT line{8, 94, 192, 110};
    DrawTextW(dc, u"&Scan settings: 300 dpi, grey", -1, &line, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, bold);
    SetTextColor(dc, RGB(0, 60, 160));
    SetTextAlign(dc, TA_RIGHT);
    TextOutW(dc, 192, 100, u"OK", 2);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    DeleteObject(bold);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DestroyIcon(icon);
  for (HGDIOBJ o : {static_cast<HGDIOBJ>(face), static_cast<HGDIOBJ>(blue), static_cast<HGDIOBJ>(yellow),
                    static_cast<HGDIOBJ>(dashed), static_cast<HGDIOBJ>(hatch)})
    DeleteObject(o);
}

TEST_F(Picture, DrawsAsItsKeptPicture) {
  PictureDc picture(200, 120);
  DrawTestPicture(picture.dc(), true);
  const std::string drawn = (std::filesystem::path(::testing::TempDir()) / "gdi_test_picture.png").string();
  ASSERT_TRUE(SimSavePng(picture.dc(), drawn));
  const char* update = std::getenv("QV_UPDATE_FIXTURES");
  if (update != nullptr && *update == '1') std::filesystem::copy_file(drawn, Fixture(), std::filesystem::copy_options::overwrite_existing);
  EXPECT_LE(SimComparePng(drawn, Fixture().string(), kChannelTolerance), kDifferingShare) << Fixture();
  // The bitmap's own picture is the same as the DC's.
  const std::string ofBitmap = (std::filesystem::path(::testing::TempDir()) / "gdi_test_bitmap.png").string();
  ASSERT_TRUE(SimSavePng(picture.bitmap(), ofBitmap));
  EXPECT_EQ(SimComparePng(drawn, ofBitmap, 0), 0.0);
  std::filesystem::remove(drawn);
  std::filesystem::remove(ofBitmap);
}

TEST_F(Picture, SeesADifferentPictureAsDifferent) {
  PictureDc picture(200, 120);
  DrawTestPicture(picture.dc(), false);  // the same without its texts
  const std::string drawn = (std::filesystem::path(::testing::TempDir()) / "gdi_test_without_text.png").string();
  ASSERT_TRUE(SimSavePng(picture.dc(), drawn));
  EXPECT_GT(SimComparePng(drawn, Fixture().string(), kChannelTolerance), kDifferingShare);
  EXPECT_EQ(SimComparePng(drawn, "/nonexistent.png", kChannelTolerance), 1.0);
  PictureDc other(100, 120);
  const std::string small = (std::filesystem::path(::testing::TempDir()) / "gdi_test_small.png").string();
  ASSERT_TRUE(SimSavePng(other.dc(), small));
  EXPECT_EQ(SimComparePng(small, Fixture().string(), kChannelTolerance), 1.0);
  EXPECT_FALSE(SimSavePng(nullptr, small));
  std::filesystem::remove(drawn);
  std::filesystem::remove(small);
}

}  // namespace
