// Text fallback: characters the face's file lacks (Japanese captions) are measured and drawn
// with the fallback face at the same requested height; characters neither face has still draw
// the face's missing-glyph box; Latin characters keep the face's own glyphs and advances.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/gdi/dc_test_support.h"
#include "tests/support/sandbox_test.h"

namespace {

class TextFallback : public SandboxTest {};

// "Scan" and the Japanese for "reading".
constexpr char16_t kMixed[] = u"Scan \u8aad\u307f\u53d6\u308a";
constexpr int kLatin = 5;
constexpr int kMixedLength = 9;
// Two characters neither file has (unassigned code points).
constexpr char16_t kMissingA = u'\u0378', kMissingB = u'\u0379';

// A DC with a font of `height` selected, black text on white, transparent background.
class FontDc {
 public:
  FontDc(int width, int pixelHeight, LONG height, const char16_t* face = u"MS Shell Dlg")
      : picture_(width, pixelHeight), width_(width), height_(pixelHeight) {
    font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    old_ = SelectObject(picture_.dc(), font_);
    SetBkMode(picture_.dc(), TRANSPARENT);
  }
  ~FontDc() {
    SelectObject(picture_.dc(), old_);
    DeleteObject(font_);
  }
  FontDc(const FontDc&) = delete;
  FontDc& operator=(const FontDc&) = delete;

  HDC dc() const { return picture_.dc(); }
  // The extent after each character.
  std::vector<INT> Extents(const char16_t* text, int count) const {
    std::vector<INT> dx(static_cast<size_t>(count));
    SIZE size{};
    EXPECT_TRUE(GetTextExtentExPointW(dc(), text, count, 0, nullptr, dx.data(), &size));
    return dx;
  }
  // The pixels of columns [left, right) of every row.
  std::vector<COLORREF> Pixels(int left, int right) const {
    std::vector<COLORREF> out;
    for (int y = 0; y < height_; ++y)
      for (int x = left; x < right && x < width_; ++x) out.push_back(GetPixel(dc(), x, y));
    return out;
  }
  int Inked(int left, int right) const {
    int n = 0;
    for (COLORREF c : Pixels(left, right)) n += c != RGB(255, 255, 255);
    return n;
  }

 private:
  PictureDc picture_;
  int width_, height_;
  HFONT font_;
  HGDIOBJ old_;
};

// The ink of one character drawn alone at (2, 2).
std::vector<COLORREF> InkOfCharacter(char16_t c, LONG height) {
  FontDc picture(40, 40, height);
  EXPECT_TRUE(TextOutW(picture.dc(), 2, 2, &c, 1));
  return picture.Pixels(0, 40);
}

TEST_F(TextFallback, JapaneseMeasuresWithTheFallbackFace) {
  struct HeightCase {
    LONG height;
    int fullWidth;  // the fallback's full-width advance at the em it gets for this height
  };
  // A negative height is the em of both faces; a positive one is each face's own cell (the
  // fallback's cell is a little taller than its em, and the face's a lot).
  const HeightCase cases[] = {{-16, 16}, {-11, 11}, {16, 15}, {13, 12}};
  for (const HeightCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.height));
    FontDc picture(4, 4, c.height);
    const std::vector<INT> mixed = picture.Extents(kMixed, kMixedLength);
    const std::vector<INT> latin = picture.Extents(kMixed, kLatin);
    for (int i = 0; i < kLatin; ++i) EXPECT_EQ(mixed[i], latin[i]);
    for (int i = kLatin; i < kMixedLength; ++i) EXPECT_EQ(mixed[i] - mixed[i - 1], c.fullWidth) << i;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(picture.dc(), kMixed, kMixedLength, &size));
    EXPECT_EQ(size.cx, mixed.back());
    // The font's metrics stay the face's own.
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(picture.dc(), &tm));
    EXPECT_EQ(size.cy, tm.tmHeight);
    // DrawTextW measures lines and fits words with the same advances.
    RECT fit{0, 0, 0, 0};
    EXPECT_EQ(DrawTextW(picture.dc(), kMixed, kMixedLength, &fit, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
    EXPECT_EQ(fit.right, size.cx);
    // Japanese breaks between characters: the last one goes to a line of its own.
    RECT wrap{0, 0, size.cx - 1, 0};
    EXPECT_EQ(DrawTextW(picture.dc(), kMixed, kMixedLength, &wrap, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
    EXPECT_EQ(wrap.right, mixed[kMixedLength - 2]);
  }
}

TEST_F(TextFallback, JapaneseWrapsBetweenCharactersButNotBeforeClosingMarks) {
  struct WrapCase {
    const char16_t* text;
    int widthInCharacters;  // the rectangle's width, in full-width characters
    int lines;
    int widest;  // in full-width characters
  };
  const WrapCase cases[] = {
      {u"\u8aad\u307f\u53d6\u308a", 2, 2, 2},
      {u"\u8aad\u307f\u53d6\u308a", 3, 2, 3},
      // The full stop stays with the character before it.
      {u"\u8aad\u307f\u53d6\u308a\u3002", 4, 2, 3},
      // The opening bracket goes with the character after it.
      {u"\u8aad\u307f\u300c\u53d6\u308a", 3, 2, 3},
  };
  FontDc picture(4, 4, -16);
  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(picture.dc(), &tm));
  for (const WrapCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.widthInCharacters));
    RECT r{0, 0, 16 * c.widthInCharacters, 0};
    EXPECT_EQ(DrawTextW(picture.dc(), c.text, -1, &r, DT_CALCRECT | DT_WORDBREAK), c.lines * tm.tmHeight);
    EXPECT_EQ(r.right, 16 * c.widest);
  }
}

TEST_F(TextFallback, JapaneseDrawsRealGlyphsAndLatinStaysAsItWas) {
  FontDc mixed(120, 24, -16), latin(120, 24, -16);
  const std::vector<INT> dx = mixed.Extents(kMixed, kMixedLength);
  ASSERT_TRUE(TextOutW(mixed.dc(), 0, 2, kMixed, kMixedLength));
  ASSERT_TRUE(TextOutW(latin.dc(), 0, 2, kMixed, kLatin));
  // The Latin part's pixels are the same as without the Japanese after it.
  EXPECT_EQ(mixed.Pixels(0, dx[kLatin - 1]), latin.Pixels(0, dx[kLatin - 1]));
  // Each Japanese character inks its own cell, with its own glyph.
  std::vector<std::vector<COLORREF>> cells;
  for (int i = kLatin; i < kMixedLength; ++i) {
    EXPECT_GT(mixed.Inked(dx[i - 1], dx[i]), 25) << i;
    cells.push_back(mixed.Pixels(dx[i - 1], dx[i]));
  }
  for (size_t i = 1; i < cells.size(); ++i) EXPECT_NE(cells[i], cells[0]) << i;
  // None of them is the missing-glyph box.
  const std::vector<COLORREF> box = InkOfCharacter(kMissingA, -16);
  for (int i = kLatin; i < kMixedLength; ++i) EXPECT_NE(InkOfCharacter(kMixed[i], -16), box) << i;
}

TEST_F(TextFallback, CharacterInNeitherFaceDrawsTheMissingGlyphBox) {
  // Both missing characters draw the same inked box and advance alike.
  const std::vector<COLORREF> a = InkOfCharacter(kMissingA, -16), b = InkOfCharacter(kMissingB, -16);
  EXPECT_EQ(a, b);
  int inked = 0;
  for (COLORREF c : a) inked += c != RGB(255, 255, 255);
  EXPECT_GT(inked, 20);
  FontDc picture(4, 4, -16);
  const char16_t both[] = {kMissingA, kMissingB};
  const std::vector<INT> dx = picture.Extents(both, 2);
  EXPECT_GT(dx[0], 0);
  EXPECT_EQ(dx[1], 2 * dx[0]);
}

}  // namespace
