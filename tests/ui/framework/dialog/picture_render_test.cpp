// The picture renderer: bitmaps composed on the button face, magenta left out, later entries
// over earlier ones, and x mirrored inside the rectangle for a right-to-left layout.
#include <gtest/gtest.h>

#include <vector>

#include "platform/platform.h"
#include "ui/pages/picture_controls.h"

namespace {

constexpr COLORREF kRed = RGB(200, 0, 0), kBlue = RGB(0, 0, 200), kMagenta = RGB(255, 0, 255);

// A bitmap of the side's size in one colour with a magenta left half; its pixels are 0x00RRGGBB.
HBITMAP HalfKeyed(int side, COLORREF colour) {
  std::vector<DWORD> pixels(size_t(side) * size_t(side));
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const COLORREF c = x < side / 2 ? kMagenta : colour;
      pixels[size_t(y) * size_t(side) + size_t(x)] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
  }
  return CreateBitmap(side, side, 1, 32, pixels.data());
}

struct RenderCase {
  const char* name;
  bool mirrored;
  int x;
  COLORREF expected;
};

TEST(PictureRenderTest, ComposedOnTheButtonFaceWithoutMagenta) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 40, 10);
  HGDIOBJ old = SelectObject(dc, target);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const RenderCase cases[] = {
      {"magenta half shows the face", false, 2, face},
      {"red half", false, 7, kRed},
      {"the later entry covers the earlier", false, 12, kBlue},
      {"outside the entries", false, 30, face},
      // Mirrored: the first entry at 30-39 (red at 35-39), the second at 25-34 (blue at 30-34,
      // its magenta half over nothing at 25-29).
      {"mirrored: red half", true, 37, kRed},
      {"mirrored: the second entry covers the first", true, 32, kBlue},
      {"mirrored: the second's magenta half shows the face", true, 27, face},
      {"mirrored: the left side is empty", true, 2, face},
  };
  for (const RenderCase& c : cases) {
    PictureList list;
    list.entries.push_back({HalfKeyed(10, kRed), 0, 0});
    list.entries.push_back({HalfKeyed(10, kBlue), 5, 0});
    const RECT rect{0, 0, 40, 10};
    ASSERT_EQ(RenderPictureList(dc, rect, list, c.mirrored), kPictureDone) << c.name;
    EXPECT_EQ(GetPixel(dc, c.x, 5), c.expected) << c.name;
  }
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

}  // namespace
