// The same document printed twice through the engine host: once with its pages drawn straight
// onto the drawing library, once with every page held in the temporary job store and replayed
// at the side's end. The drawing commands each page sends to the library must be the same on
// both roads, argument for argument.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "items/item_ids.h"
#include "tests/graphics/ddi/document_fixture.h"

namespace {

using Strings = std::vector<std::string>;

// A 24-bit image of w x h pixels in bands of three colours.
DrawImage Image24(LONG w, LONG h) {
  DrawImage image;
  image.width = w;
  image.height = h;
  image.format = BMF_24BPP;
  image.stride = ((w * 24 + 31) / 32) * 4;
  image.bits.resize(static_cast<size_t>(image.stride * h));
  for (LONG y = 0; y < h; ++y)
    for (LONG x = 0; x < w * 3; ++x) image.bits[static_cast<size_t>(y * image.stride + x)] = static_cast<BYTE>(x * 7 + y * 3);
  return image;
}

// A 1-bit image of w x h pixels, black and white checks.
DrawImage Image1(LONG w, LONG h) {
  DrawImage image;
  image.width = w;
  image.height = h;
  image.format = BMF_1BPP;
  image.stride = ((w + 31) / 32) * 4;
  image.bits.resize(static_cast<size_t>(image.stride * h));
  for (LONG y = 0; y < h; ++y)
    for (LONG b = 0; b < image.stride; ++b) image.bits[static_cast<size_t>(y * image.stride + b)] = (y / 4) % 2 ? 0xF0 : 0x0F;
  image.palette = {0x000000, 0xFFFFFF};
  return image;
}

DrawCall Fill(DrawPath path, DrawBrush brush, DrawClip clip = {}) {
  DrawCall call;
  call.kind = DrawKind::FillPath;
  call.path = std::move(path);
  call.brush = std::move(brush);
  call.clip = std::move(clip);
  return call;
}

DrawCall Stroke(DrawPath path, DrawPen pen) {
  DrawCall call;
  call.kind = DrawKind::StrokePath;
  call.path = std::move(path);
  call.pen = std::move(pen);
  call.brush.kind = BrushKind::Solid;
  return call;
}

DrawCall Text(std::u16string s, POINTL origin, COLORREF colour, bool opaque = false) {
  DrawCall call;
  call.kind = DrawKind::TextOut;
  call.text.text = std::move(s);
  call.text.face = u"Arial";
  call.text.emHeight = 60;
  call.text.origin = origin;
  call.text.colour = colour;
  call.text.opaque = opaque;
  return call;
}

DrawCall Blt(DrawKind kind, ROP4 rop, RECTL target, DrawImage image) {
  DrawCall call;
  call.kind = kind;
  call.rop4 = rop;
  call.target = target;
  call.source = {0, 0, image.width, image.height};
  call.image = std::move(image);
  return call;
}

DrawBrush Solid(COLORREF colour) {
  DrawBrush brush;
  brush.kind = BrushKind::Solid;
  brush.colour = colour;
  return brush;
}

DrawBrush Hatch(COLORREF colour, ULONG style) {
  DrawBrush brush;
  brush.kind = BrushKind::Hatch;
  brush.colour = colour;
  brush.hatch = style;
  return brush;
}

// The pages of the document: text, paths, brushes and images mixed, with clips that change.
std::vector<std::vector<DrawCall>> Pages() {
  std::vector<std::vector<DrawCall>> pages(3);
  DrawPen dashed;
  dashed.colour = RGB(0, 0, 160);
  dashed.geometric = true;
  dashed.width = 6;
  dashed.join = JOIN_ROUND;
  dashed.cap = ENDCAP_ROUND;
  dashed.style = {12, 6};
  DrawPath wave;
  PathMoveTo(wave, 100, 700);
  PathBezierTo(wave, {200, 600}, {300, 800}, {400, 700});
  PathLineTo(wave, 500, 760);
  pages[0] = {Text(u"Page one", {300, 300}, RGB(0, 0, 0)),
              Fill(PathRectangle({100, 400, 500, 600}), Solid(RGB(200, 30, 30))),
              Stroke(wave, dashed),
              Text(u"Colour", {300, 900}, RGB(0, 120, 0), true)};
  DrawClip rectClip;
  rectClip.kind = ClipKind::Rect;
  rectClip.rect = {150, 150, 450, 450};
  DrawCall hatchBlt = Blt(DrawKind::BitBlt, 0xF0F0, {120, 800, 520, 1000}, {});
  hatchBlt.brush = Hatch(RGB(10, 20, 200), HS_DIAGCROSS);
  pages[1] = {Fill(PathEllipse({100, 100, 500, 500}), Solid(RGB(30, 30, 220)), rectClip),
              Blt(DrawKind::StretchBlt, 0xCCCC, {100, 520, 340, 700}, Image24(48, 36)),
              hatchBlt,
              Text(u"Second", {600, 300}, RGB(160, 0, 160))};
  DrawClip complexClip;
  complexClip.kind = ClipKind::Complex;
  complexClip.path = PathEllipse({200, 200, 800, 800});
  DrawBrush pattern;
  pattern.kind = BrushKind::Pattern;
  pattern.pattern = Image24(8, 8);
  pages[2] = {Fill(PathRectangle({150, 150, 850, 850}), pattern, complexClip),
              Blt(DrawKind::BitBlt, 0xCCCC, {100, 900, 164, 932}, Image1(64, 32)),
              Fill(PathRectangle({300, 1000, 700, 1100}), Hatch(RGB(0, 0, 0), HS_HORIZONTAL)),
              Text(u"Three", {400, 1300}, RGB(0, 0, 0))};
  return pages;
}

// Calls that frame a page rather than draw on it: the page start and its parameter blocks, the
// page's end and show. A stored page is started again from its record at replay, so these are
// left out of the comparison; everything the page's drawing sent is kept.
const char* const kFraming[] = {"VR_StartPage", "VR_EndPage", "VR_ShowPage", "VR_SetColorParameter"};

bool IsFraming(const std::string& line) {
  return std::any_of(std::begin(kFraming), std::end(kFraming),
                     [&](const char* name) { return line.rfind(std::string(name) + "(", 0) == 0; });
}

// A glyph's value carries the engine's number for the font in its high word; the engine numbers
// fonts afresh for every document, so each run's numbers are renamed by order of first use.
void RenumberFonts(std::vector<Strings>& sides) {
  std::vector<std::string> seen;
  for (Strings& side : sides)
    for (std::string& line : side) {
      if (line.rfind("VR_DrawDataFont(", 0) != 0) continue;
      const size_t at = line.find("value=");
      if (at == std::string::npos) continue;
      const size_t end = line.find(',', at);
      const unsigned long value = std::stoul(line.substr(at + 6, end - at - 6));
      const std::string font = std::to_string(value >> 16);
      const auto it = std::find(seen.begin(), seen.end(), font);
      const size_t number = static_cast<size_t>(it - seen.begin());
      if (it == seen.end()) seen.push_back(font);
      line.replace(at, end - at, "value=font" + std::to_string(number) + ":" + std::to_string(value & 0xFFFF));
    }
}

class DifferentialTest : public DocumentTest {
 protected:
  // Prints the pages as one document; the library's drawing lines of each side, in the order
  // the library received the sides.
  std::vector<Strings> PrintSides() {
    reset_();
    EngineDc* dc = CreateDc();
    EXPECT_NE(dc, nullptr);
    if (dc == nullptr) return {};
    EXPECT_TRUE(EngineStartDoc(dc, u"Differential"));
    for (const std::vector<DrawCall>& page : Pages()) {
      EXPECT_TRUE(EngineStartPage(dc));
      for (const DrawCall& call : page) EXPECT_EQ(EngineDraw(dc, call), TRUE);
      EXPECT_TRUE(EngineEndPage(dc));
    }
    EXPECT_TRUE(EngineEndDoc(dc));
    EXPECT_EQ(breaches_(), 0u) << Trace();
    std::vector<Strings> sides;
    bool inPage = false;
    for (const std::string& line : Lines()) {
      if (line.rfind("VR_StartPage(", 0) == 0) {
        sides.emplace_back();
        inPage = true;
      } else if (line.rfind("VR_EndPage(", 0) == 0) {
        inPage = false;
      }
      if (inPage && line.rfind("VR_", 0) == 0 && !IsFraming(line)) sides.back().push_back(line);
    }
    DeleteDc(dc);
    return sides;
  }

  // Compares the sides page by page, both in the document's page order.
  void ExpectSameSides(std::vector<Strings> direct, std::vector<Strings> replayed) {
    RenumberFonts(direct);
    RenumberFonts(replayed);
    ASSERT_EQ(direct.size(), Pages().size());
    ASSERT_EQ(replayed.size(), direct.size());
    for (size_t p = 0; p < direct.size(); ++p) {
      SCOPED_TRACE("page " + std::to_string(p + 1));
      EXPECT_FALSE(direct[p].empty());
      const size_t n = std::min(direct[p].size(), replayed[p].size());
      for (size_t i = 0; i < n; ++i) EXPECT_EQ(replayed[p][i], direct[p][i]) << "call " << i;
      EXPECT_EQ(replayed[p].size(), direct[p].size());
    }
  }
};

// Reverse order holds every page and plays them back last to first: each side's drawing is
// the direct side's, the sides reversed.
TEST_F(DifferentialTest, ReplayedPagesDrawAsDirectPages) {
  const std::vector<Strings> direct = PrintSides();
  Set(kItemReverseOrder, kTypeFlag, 1);
  std::vector<Strings> replayed = PrintSides();
  std::reverse(replayed.begin(), replayed.end());
  ExpectSameSides(direct, replayed);
}

// Automatic colour holds each page until its colour is known and replays it at the side's end.
TEST_F(DifferentialTest, AutomaticColourPagesDrawAsDirectPages) {
  const std::vector<Strings> direct = PrintSides();
  Set(kItemColorMode, kTypeUInt8, 0);
  ExpectSameSides(direct, PrintSides());
}

}  // namespace
