// Text: real glyphs of the font package's files where the metrics say, and metrics that stay
// the same on every machine (the figures below are the font files' own, scaled and rounded).
#include <gtest/gtest.h>

#include "tests/platform/gdi/dc_test_support.h"
#include "tests/support/sandbox_test.h"

namespace {

class Text : public SandboxTest {};

// A font selected into a DC for the scope.
class WithFont {
 public:
  WithFont(HDC dc, LONG height, LONG weight, const char16_t* face, BYTE italic = 0, BYTE underline = 0, BYTE charSet = DEFAULT_CHARSET)
      : dc_(dc) {
    font_ = CreateFontW(height, 0, 0, 0, weight, italic, underline, 0, charSet, 0, 0, 0, 0, face);
    old_ = SelectObject(dc, font_);
  }
  ~WithFont() {
    SelectObject(dc_, old_);
    DeleteObject(font_);
  }
  WithFont(const WithFont&) = delete;
  WithFont& operator=(const WithFont&) = delete;

 private:
  HDC dc_;
  HFONT font_;
  HGDIOBJ old_;
};

// The box of the pixels that are not white, and how many there are.
struct Ink {
  RECT box{1 << 20, 1 << 20, -1, -1};
  int pixels = 0;
  int solid = 0;  // pixels of exactly the text colour
};

Ink InkOf(HDC dc, int width, int height, COLORREF text = RGB(0, 0, 0)) {
  Ink ink;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (c == RGB(255, 255, 255)) continue;
      ++ink.pixels;
      if (c == text) ++ink.solid;
      ink.box = RECT{std::min<LONG>(ink.box.left, x), std::min<LONG>(ink.box.top, y), std::max<LONG>(ink.box.right, x + 1),
                     std::max<LONG>(ink.box.bottom, y + 1)};
    }
  return ink;
}

struct MetricsCase {
  const char16_t* face;
  LONG height;
  LONG weight;
  struct {
    LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth, tmMaxCharWidth;
  } expected;
  LONG helloWidth;       // "Hello, World"
};

TEST_F(Text, MetricsAreTheFontFilesOwn) {
  const MetricsCase cases[] = {
      {u"MS Shell Dlg", -11, FW_NORMAL, {13, 10, 3, 2, 0, 6, 21}, 67},
      {u"MS Shell Dlg", -13, FW_BOLD, {15, 12, 3, 2, 0, 7, 26}, 89},
      {u"Times New Roman", 20, FW_NORMAL, {20, 16, 4, 3, 0, 9, 36}, 106},
      {u"Courier New", -12, FW_NORMAL, {14, 11, 3, 2, 0, 7, 7}, 84},
      {u"System", 0, FW_NORMAL, {16, 13, 3, 2, 0, 7, 26}, 87},
  };
  for (const MetricsCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.height) + " " + std::to_string(c.weight));
    PictureDc picture(4, 4);
    WithFont font(picture.dc(), c.height, c.weight, c.face);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(picture.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, c.expected.tmHeight);
    EXPECT_EQ(tm.tmAscent, c.expected.tmAscent);
    EXPECT_EQ(tm.tmDescent, c.expected.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, c.expected.tmInternalLeading);
    EXPECT_EQ(tm.tmExternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, c.expected.tmAveCharWidth);
    EXPECT_EQ(tm.tmMaxCharWidth, c.expected.tmMaxCharWidth);
    EXPECT_EQ(tm.tmWeight, c.weight);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(picture.dc(), u"Hello, World", 12, &size));
    EXPECT_EQ(size.cx, c.helloWidth);
    EXPECT_EQ(size.cy, tm.tmHeight);
  }
}

TEST_F(Text, ExtentsAddUpAndItalicChangesNothing) {
  PictureDc picture(4, 4);
  SIZE upright{}, slanted{}, a{}, b{};
  {
    WithFont font(picture.dc(), -13, FW_NORMAL, u"Arial");
    GetTextExtentPoint32W(picture.dc(), u"Wil", 3, &upright);
    GetTextExtentPoint32W(picture.dc(), u"Wi", 2, &a);
    GetTextExtentPoint32W(picture.dc(), u"l", 1, &b);
    int fit = 0, dx[3] = {};
    SIZE all{};
    ASSERT_TRUE(GetTextExtentExPointW(picture.dc(), u"Wil", 3, a.cx, &fit, dx, &all));
    EXPECT_EQ(fit, 2);
    EXPECT_EQ(dx[1], a.cx);
    EXPECT_EQ(dx[2], all.cx);
  }
  {
    WithFont font(picture.dc(), -13, FW_NORMAL, u"Arial", 1);
    GetTextExtentPoint32W(picture.dc(), u"Wil", 3, &slanted);
  }
  EXPECT_EQ(upright.cx, a.cx + b.cx);
  EXPECT_EQ(slanted.cx, upright.cx);
  EXPECT_EQ(slanted.cy, upright.cy);
  EXPECT_FALSE(GetTextExtentPoint32W(picture.dc(), nullptr, 2, &a));
}

TEST_F(Text, GlyphsFallInsideTheirCell) {
  PictureDc picture(60, 24);
  WithFont font(picture.dc(), -16, FW_NORMAL, u"MS Shell Dlg");
  SetBkMode(picture.dc(), TRANSPARENT);
  SIZE size{};
  GetTextExtentPoint32W(picture.dc(), u"Hg", 2, &size);
  ASSERT_TRUE(TextOutW(picture.dc(), 3, 2, u"Hg", 2));
  const Ink ink = InkOf(picture.dc(), 60, 24);
  EXPECT_GT(ink.solid, 20);  // the stems are fully covered
  EXPECT_GE(ink.box.left, 3);
  EXPECT_LE(ink.box.right, 3 + size.cx);
  EXPECT_GE(ink.box.top, 2);
  EXPECT_LE(ink.box.bottom, 2 + size.cy);
  TEXTMETRICW tm{};
  GetTextMetricsW(picture.dc(), &tm);
  EXPECT_GT(ink.box.bottom, 2 + tm.tmAscent);  // the g goes below the baseline
}

// A font with an escapement turns the line about its reference point: at 90 degrees "Hg"
// runs upwards from the point with the cell's top to the left of it, at 180 degrees leftwards
// and upside down above it; the metrics stay those of the upright font.
TEST_F(Text, EscapementTurnsTheLineAboutItsReferencePoint) {
  const struct Case {
    LONG escapement;
    RECT within;  // where the ink must lie, relative to the reference point (size = text extent)
  } cases[] = {{900, {0, -1, 1, 0}}, {1800, {-1, -1, 0, 0}}, {2700, {-1, 0, 0, 1}}};
  for (const Case& c : cases) {
    PictureDc picture(100, 100);
    HFONT font = CreateFontW(-16, 0, c.escapement, c.escapement, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                             u"MS Shell Dlg");
    HGDIOBJ old = SelectObject(picture.dc(), font);
    SetBkMode(picture.dc(), TRANSPARENT);
    SIZE size{};
    GetTextExtentPoint32W(picture.dc(), u"Hg", 2, &size);
    TEXTMETRICW tm{};
    GetTextMetricsW(picture.dc(), &tm);
    EXPECT_EQ(tm.tmHeight, size.cy);
    ASSERT_TRUE(TextOutW(picture.dc(), 50, 50, u"Hg", 2));
    const Ink ink = InkOf(picture.dc(), 100, 100);
    SelectObject(picture.dc(), old);
    DeleteObject(font);
    // Turned a quarter, the extent's width runs along y and its height along x.
    const bool quarter = c.escapement != 1800;
    const LONG alongX = quarter ? size.cy : size.cx, alongY = quarter ? size.cx : size.cy;
    EXPECT_GT(ink.pixels, 20) << c.escapement;
    EXPECT_GE(ink.box.left, 50 + std::min(LONG{0}, c.within.left * alongX) - 1) << c.escapement;
    EXPECT_LE(ink.box.right, 50 + std::max(LONG{0}, c.within.right * alongX) + 1) << c.escapement;
    EXPECT_GE(ink.box.top, 50 + std::min(LONG{0}, c.within.top * alongY) - 1) << c.escapement;
    EXPECT_LE(ink.box.bottom, 50 + std::max(LONG{0}, c.within.bottom * alongY) + 1) << c.escapement;
  }
}

TEST_F(Text, DifferentCharactersDrawDifferentGlyphs) {
  int counts[3] = {};
  const char16_t* texts[3] = {u"l", u"W", u"\u00e9"};
  for (int i = 0; i < 3; ++i) {
    PictureDc picture(30, 30);
    WithFont font(picture.dc(), -20, FW_NORMAL, u"Arial");
    TextOutW(picture.dc(), 2, 2, texts[i], 1);
    counts[i] = InkOf(picture.dc(), 30, 30).pixels;
  }
  EXPECT_GT(counts[1], 2 * counts[0]);
  EXPECT_GT(counts[2], counts[0]);
}

TEST_F(Text, AlignmentAndTheCurrentPosition) {
  PictureDc picture(80, 30);
  WithFont font(picture.dc(), -12, FW_NORMAL, u"Arial");
  SIZE size{};
  GetTextExtentPoint32W(picture.dc(), u"Abc", 3, &size);
  TEXTMETRICW tm{};
  GetTextMetricsW(picture.dc(), &tm);
  EXPECT_EQ(SetTextAlign(picture.dc(), TA_RIGHT | TA_BASELINE), static_cast<UINT>(TA_LEFT | TA_TOP));
  TextOutW(picture.dc(), 40, 20, u"Abc", 3);
  Ink ink = InkOf(picture.dc(), 80, 30);
  EXPECT_LE(ink.box.right, 40);
  EXPECT_GE(ink.box.left, 40 - size.cx);
  EXPECT_LE(ink.box.bottom, 20 + 1);
  EXPECT_GE(ink.box.top, 20 - tm.tmAscent);
  // In opaque mode the whole cell takes the background colour.
  PictureDc cell(80, 30);
  WithFont font2(cell.dc(), -12, FW_NORMAL, u"Arial");
  SetBkColor(cell.dc(), RGB(0, 0, 255));
  SetTextAlign(cell.dc(), TA_UPDATECP);
  MoveToEx(cell.dc(), 5, 4, nullptr);
  TextOutW(cell.dc(), 0, 0, u"Abc", 3);
  POINT at{};
  GetCurrentPositionEx(cell.dc(), &at);
  EXPECT_EQ(at.x, 5 + size.cx);
  EXPECT_EQ(at.y, 4);
  EXPECT_EQ(GetPixel(cell.dc(), 5, 4), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(cell.dc(), 5 + size.cx - 1, 4 + tm.tmHeight - 1), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(cell.dc(), 5 + size.cx, 4), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(cell.dc(), 5, 4 + tm.tmHeight), RGB(255, 255, 255));
}

TEST_F(Text, ExtTextOutFillsAndClips) {
  PictureDc picture(40, 20);
  WithFont font(picture.dc(), -14, FW_NORMAL, u"Arial");
  SetBkColor(picture.dc(), RGB(0, 255, 0));
  RECT fill{2, 2, 10, 6};
  EXPECT_TRUE(ExtTextOutW(picture.dc(), 0, 0, ETO_OPAQUE, &fill, nullptr, 0, nullptr));
  EXPECT_EQ(GetPixel(picture.dc(), 2, 2), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(picture.dc(), 9, 5), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(picture.dc(), 10, 5), RGB(255, 255, 255));
  PictureDc clipped(40, 20);
  WithFont font2(clipped.dc(), -14, FW_NORMAL, u"Arial");
  SetBkMode(clipped.dc(), TRANSPARENT);
  RECT keep{0, 0, 6, 20};
  const INT dx[3] = {10, 10, 10};
  ExtTextOutW(clipped.dc(), 1, 1, ETO_CLIPPED, &keep, u"MMM", 3, dx);
  Ink ink = InkOf(clipped.dc(), 40, 20);
  EXPECT_GT(ink.pixels, 0);
  EXPECT_LE(ink.box.right, 6);
  ExtTextOutW(clipped.dc(), 1, 1, 0, nullptr, u"MMM", 3, dx);
  ink = InkOf(clipped.dc(), 40, 20);
  EXPECT_GT(ink.box.right, 21);  // the third M starts 20 pixels on
}

TEST_F(Text, UnderlineAndBold) {
  PictureDc plain(40, 20), underlined(40, 20), bold(40, 20);
  {
    WithFont f(plain.dc(), -14, FW_NORMAL, u"Arial");
    TextOutW(plain.dc(), 1, 1, u"ii", 2);
  }
  {
    WithFont f(underlined.dc(), -14, FW_NORMAL, u"Arial", 0, 1);
    TextOutW(underlined.dc(), 1, 1, u"ii", 2);
  }
  {
    WithFont f(bold.dc(), -14, FW_BOLD, u"Arial");
    TextOutW(bold.dc(), 1, 1, u"ii", 2);
  }
  const Ink p = InkOf(plain.dc(), 40, 20), u = InkOf(underlined.dc(), 40, 20), b = InkOf(bold.dc(), 40, 20);
  EXPECT_GT(u.box.bottom, p.box.bottom);
  EXPECT_GT(u.pixels, p.pixels);
  EXPECT_GT(b.pixels, p.pixels);
}

TEST_F(Text, DrawTextMeasuresLinesAndWords) {
  PictureDc picture(100, 60);
  WithFont font(picture.dc(), -12, FW_NORMAL, u"MS Shell Dlg");
  TEXTMETRICW tm{};
  GetTextMetricsW(picture.dc(), &tm);
  SIZE one{}, word{};
  GetTextExtentPoint32W(picture.dc(), u"First line", 10, &one);
  GetTextExtentPoint32W(picture.dc(), u"alpha", 5, &word);
  RECT r{10, 5, 11, 6};
  EXPECT_EQ(DrawTextW(picture.dc(), u"First line\r\nTwo", -1, &r, DT_CALCRECT), 2 * tm.tmHeight);
  EXPECT_EQ(r.right, 10 + one.cx);
  EXPECT_EQ(r.bottom, 5 + 2 * tm.tmHeight);
  RECT single{0, 0, 1, 1};
  DrawTextW(picture.dc(), u"First line\nTwo", -1, &single, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(single.bottom, tm.tmHeight);
  // Three words where two fit on a line.
  RECT narrow{0, 0, 2 * word.cx + 8, 0};
  EXPECT_EQ(DrawTextW(picture.dc(), u"alpha alpha alpha", -1, &narrow, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
  EXPECT_LE(narrow.right, 2 * word.cx + 8);
  // The prefix mark takes no room; without DT_NOPREFIX "&&" is one '&'.
  SIZE file{}, amp{};
  GetTextExtentPoint32W(picture.dc(), u"File", 4, &file);
  GetTextExtentPoint32W(picture.dc(), u"&", 1, &amp);
  RECT p{0, 0, 0, 0};
  DrawTextW(picture.dc(), u"&File", -1, &p, DT_CALCRECT);
  EXPECT_EQ(p.right, file.cx);
  p = RECT{0, 0, 0, 0};
  DrawTextW(picture.dc(), u"&File", -1, &p, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(p.right, file.cx + amp.cx);
  p = RECT{0, 0, 0, 0};
  DrawTextW(picture.dc(), u"&&File", -1, &p, DT_CALCRECT);
  EXPECT_EQ(p.right, file.cx + amp.cx);
  EXPECT_EQ(DrawTextW(picture.dc(), nullptr, 1, &p, 0), 0);
}

TEST_F(Text, DrawTextPlacesAndClips) {
  struct PlaceCase {
    UINT format;
    int left, right;  // where the ink's box may lie, horizontally
    int top, bottom;
  };
  // The rectangle is (10, 10, 90, 50); "Mid" is about 20 pixels wide and 14 high.
  const PlaceCase cases[] = {
      {DT_LEFT | DT_TOP | DT_SINGLELINE, 10, 40, 10, 25},
      {DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, 60, 90, 35, 50},
      {DT_CENTER | DT_VCENTER | DT_SINGLELINE, 35, 65, 20, 40},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(c.format);
    PictureDc picture(100, 60);
    WithFont font(picture.dc(), -12, FW_NORMAL, u"Arial");
    RECT r{10, 10, 90, 50};
    EXPECT_GT(DrawTextW(picture.dc(), u"Mid", 3, &r, c.format), 0);
    const Ink ink = InkOf(picture.dc(), 100, 60);
    EXPECT_GT(ink.pixels, 0);
    EXPECT_GE(ink.box.left, c.left);
    EXPECT_LE(ink.box.right, c.right);
    EXPECT_GE(ink.box.top, c.top);
    EXPECT_LE(ink.box.bottom, c.bottom);
  }
  // Too long: clipped to the rectangle, or shortened with an ellipsis, or let out.
  for (UINT format : {0u, static_cast<UINT>(DT_END_ELLIPSIS), static_cast<UINT>(DT_NOCLIP)}) {
    SCOPED_TRACE(format);
    PictureDc picture(100, 30);
    WithFont font(picture.dc(), -12, FW_NORMAL, u"Arial");
    RECT r{5, 5, 40, 25};
    DrawTextW(picture.dc(), u"A rather long caption", -1, &r, format | DT_SINGLELINE);
    const Ink ink = InkOf(picture.dc(), 100, 30);
    if (format == DT_NOCLIP)
      EXPECT_GT(ink.box.right, 60);
    else
      EXPECT_LE(ink.box.right, 40);
  }
  // The prefixed character is underlined below the baseline.
  PictureDc plain(60, 30), prefixed(60, 30);
  WithFont f1(plain.dc(), -12, FW_NORMAL, u"Arial");
  WithFont f2(prefixed.dc(), -12, FW_NORMAL, u"Arial");
  RECT r{0, 0, 60, 30};
  DrawTextW(plain.dc(), u"Open", -1, &r, 0);
  DrawTextW(prefixed.dc(), u"&Open", -1, &r, 0);
  EXPECT_GT(InkOf(prefixed.dc(), 60, 30).pixels, InkOf(plain.dc(), 60, 30).pixels);
  PictureDc hidden(60, 30);
  WithFont f3(hidden.dc(), -12, FW_NORMAL, u"Arial");
  DrawTextW(hidden.dc(), u"&Open", -1, &r, DT_HIDEPREFIX);
  EXPECT_EQ(InkOf(hidden.dc(), 60, 30).pixels, InkOf(plain.dc(), 60, 30).pixels);
}

TEST_F(Text, CharsetFollowsTheFontAndTheCodePage) {
  PictureDc picture(4, 4);
  {
    WithFont font(picture.dc(), -12, FW_NORMAL, u"Arial", 0, 0, ANSI_CHARSET);
    FONTSIGNATURE sig{};
    EXPECT_EQ(GetTextCharsetInfo(picture.dc(), &sig, 0), ANSI_CHARSET);
    EXPECT_EQ(sig.fsCsb[0], 1u);
    WCHAR face[4] = {};
    EXPECT_EQ(GetTextFaceW(picture.dc(), 4, face), 3);
    EXPECT_EQ(std::u16string(face), u"Ari");
    EXPECT_EQ(GetTextFaceW(picture.dc(), 0, nullptr), 6);
  }
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  WithFont font(picture.dc(), -12, FW_NORMAL, u"MS Shell Dlg");
  FONTSIGNATURE sig{};
  EXPECT_EQ(GetTextCharsetInfo(picture.dc(), &sig, 0), SHIFTJIS_CHARSET);
  EXPECT_EQ(sig.fsCsb[0], 1u << 17);
  EXPECT_EQ(GetTextCharset(picture.dc()), SHIFTJIS_CHARSET);
  TEXTMETRICW tm{};
  GetTextMetricsW(picture.dc(), &tm);
  EXPECT_EQ(tm.tmCharSet, SHIFTJIS_CHARSET);
  EXPECT_EQ(GetTextCharset(nullptr), DEFAULT_CHARSET);
}

}  // namespace
