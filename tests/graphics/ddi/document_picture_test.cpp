// The printed pages as a person sees them: a document printed through the engine host, its
// spool job rendered page by page, and each page compared with the engine host's own reference
// rendering of the drawing calls the application made on it (the page's imageable area, placed
// at the device's physical offset on the sheet).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/graphics/ddi/document_fixture.h"
#include "tools/spoolview/spool_render.h"

namespace {

constexpr double kScale = 0.25;

// A bitmap of the format with a pattern of stripes and blocks; indexed formats get a palette
// of distinct colours.
DrawImage StripedImage(ULONG format, LONG w, LONG h) {
  DrawImage image;
  image.width = w;
  image.height = h;
  image.format = format;
  const LONG bits = format == BMF_1BPP ? 1 : format == BMF_4BPP ? 4 : format == BMF_8BPP ? 8
                    : format == BMF_16BPP ? 16 : format == BMF_24BPP ? 24 : 32;
  image.stride = ((w * bits + 31) / 32) * 4;
  image.bits.assign(static_cast<size_t>(image.stride * h), 0);
  for (LONG y = 0; y < h; ++y)
    for (LONG x = 0; x < w; ++x) {
      const int v = ((x / 16) + (y / 16)) % 4;
      BYTE* row = image.bits.data() + y * image.stride;
      switch (bits) {
        case 1: if (v % 2) row[x / 8] |= static_cast<BYTE>(0x80 >> (x % 8)); break;
        case 4: row[x / 2] |= static_cast<BYTE>(x % 2 ? v : v << 4); break;
        case 8: row[x] = static_cast<BYTE>(v); break;
        case 16: {
          const WORD c = static_cast<WORD>(v == 0 ? 0x7C00 : v == 1 ? 0x03E0 : v == 2 ? 0x001F : 0x7FFF);
          row[2 * x] = static_cast<BYTE>(c);
          row[2 * x + 1] = static_cast<BYTE>(c >> 8);
          break;
        }
        default: {
          BYTE* p = row + (bits / 8) * x;
          p[0] = static_cast<BYTE>(v * 80);
          p[1] = static_cast<BYTE>(255 - v * 60);
          p[2] = static_cast<BYTE>(v == 1 ? 255 : 30);
        }
      }
    }
  if (bits <= 8) {
    const COLORREF colours[4] = {RGB(255, 255, 255), RGB(200, 20, 20), RGB(20, 160, 40), RGB(30, 30, 200)};
    for (int i = 0; i < (1 << bits); ++i) image.palette.push_back(colours[i % 4]);
  }
  return image;
}

DrawCall ImageCall(DrawKind kind, ULONG format, RECTL target) {
  DrawCall call;
  call.kind = kind;
  call.rop4 = 0xCCCC;
  call.target = target;
  call.image = StripedImage(format, 64, 48);
  call.source = {0, 0, 64, 48};
  return call;
}

std::vector<DrawCall> ImagesOfEveryDepth() {
  std::vector<DrawCall> calls;
  const ULONG formats[] = {BMF_1BPP, BMF_4BPP, BMF_8BPP, BMF_16BPP, BMF_24BPP, BMF_32BPP};
  LONG x = 200;
  for (ULONG format : formats) {
    calls.push_back(ImageCall(DrawKind::CopyBits, format, {x, 200, x + 64, 248}));
    calls.push_back(ImageCall(DrawKind::StretchBlt, format, {x, 400, x + 256, 592}));
    DrawCall odd = ImageCall(DrawKind::CopyBits, format, {x, 700, x + 45, 730});
    odd.source = {3, 5, 48, 35};  // a first pixel inside a byte for 1 and 4-bit sources
    calls.push_back(odd);
    x += 300;
  }
  return calls;
}

DrawCall SolidFill(DrawPath path, COLORREF colour, DrawClip clip) {
  DrawCall call;
  call.kind = DrawKind::FillPath;
  call.path = std::move(path);
  call.brush.kind = BrushKind::Solid;
  call.brush.colour = colour;
  call.clip = std::move(clip);
  return call;
}

std::vector<DrawCall> ClippedFills() {
  DrawClip rect;
  rect.kind = ClipKind::Rect;
  rect.rect = {300, 300, 900, 700};
  DrawClip ellipse;
  ellipse.kind = ClipKind::Complex;
  ellipse.path = PathEllipse({1000, 300, 1600, 800});
  DrawCall black;
  black.kind = DrawKind::BitBlt;
  black.rop4 = 0x0000;
  black.target = {200, 900, 700, 1100};
  black.source = {0, 0, 500, 200};
  black.clip = rect;
  black.clip.rect = {250, 950, 600, 1300};
  return {SolidFill(PathRectangle({200, 200, 800, 500}), RGB(200, 30, 30), rect),
          SolidFill(PathEllipse({400, 400, 1000, 900}), RGB(30, 30, 200), rect),
          SolidFill(PathRectangle({900, 250, 1700, 850}), RGB(20, 150, 20), ellipse),
          black};
}

std::vector<DrawCall> EveryPathKind() {
  DrawPath circle = PathEllipse({200, 200, 500, 500});
  circle.ellipse = true;
  DrawPath curve;
  PathMoveTo(curve, 700, 300);
  PathBezierTo(curve, {800, 100}, {1000, 600}, {1200, 300});
  PathLineTo(curve, 1200, 600);
  PathClose(curve);
  DrawCall stroked;
  stroked.kind = DrawKind::StrokePath;
  stroked.path = PathRectangle({200, 700, 700, 1000});
  stroked.pen.width = 1;
  DrawCall thick = stroked;
  thick.path = curve;
  thick.pen.geometric = true;
  thick.pen.width = 8;
  thick.pen.join = JOIN_ROUND;
  thick.pen.cap = ENDCAP_ROUND;
  DrawCall both;
  both.kind = DrawKind::StrokeAndFillPath;
  both.path = PathRectangle({900, 800, 1400, 1100});
  both.brush.kind = BrushKind::Solid;
  both.brush.colour = RGB(250, 200, 0);
  both.pen.geometric = true;
  both.pen.width = 6;
  return {SolidFill(circle, RGB(220, 40, 40), {}), SolidFill(curve, RGB(40, 40, 220), {}), stroked, thick, both};
}

// A line of text at (x, y) on the baseline.
DrawCall TextLine(std::u16string text, std::u16string face, LONG em, LONG x, LONG y, bool bold = false,
                  LONG escapement = 0) {
  DrawCall call;
  call.kind = DrawKind::TextOut;
  call.text.text = std::move(text);
  call.text.face = std::move(face);
  call.text.emHeight = em;
  call.text.origin = {x, y};
  call.text.bold = bold;
  call.text.escapement = escapement;
  return call;
}

// The pages of the document: what the application draws on each.
struct PictureCase {
  const char* name;
  std::vector<DrawCall> calls;
  // The share of pixels that may differ. The library places a page on its sheet at a fraction
  // of a device pixel that the whole-pixel crop cannot follow: every edge of a large glyph then
  // differs a little in shade.
  double tolerance = 0.002;
};

TEST_F(DocumentTest, PrintedPagesMatchTheEnginesReferenceRendering) {
  const std::vector<PictureCase> pages = {
      {"first blank page", {}},
      {"second blank page", {}},
      {"images of every depth", ImagesOfEveryDepth()},
      {"clipped fills", ClippedFills()},
      {"every path kind", EveryPathKind()},
      {"text in two faces and sizes",
       {TextLine(u"Quarterly Report", u"Times New Roman", 220, 400, 700),
        TextLine(u"Sales rose in every region this quarter.", u"Arial", 100, 400, 1000),
        TextLine(u"Small print at the foot of the page.", u"Times New Roman", 50, 400, 1200)},
       0.005},
      {"bold and turned text",
       {TextLine(u"Bold heading", u"Arial", 160, 500, 600, true),
        TextLine(u"Upwards", u"Times New Roman", 120, 300, 2400, false, 900),
        TextLine(u"At an angle", u"Arial", 120, 900, 2200, true, 450)},
       0.005},
  };

  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(EngineStartDoc(dc, u"Pictures"));
  for (const PictureCase& page : pages) {
    ASSERT_TRUE(EngineStartPage(dc));
    for (const DrawCall& call : page.calls) EngineDraw(dc, call);
    ASSERT_TRUE(EngineEndPage(dc));
  }
  ASSERT_TRUE(EngineEndDoc(dc));

  SpoolRenderOptions options;
  options.scale = kScale;
  const std::vector<ReferenceImage> printed = RenderSpoolPages(ScanSpoolStream(LastSpoolJob()), options);
  ASSERT_EQ(printed.size(), pages.size());
  const GDIINFO* info = EngineDcGdiInfo(dc);
  const SIZEL surface = EngineDcSurface(dc)->sizlBitmap;
  for (size_t i = 0; i < pages.size(); ++i) {
    SCOPED_TRACE(pages[i].name);
    const std::vector<DrawCall> drawn = EngineDcPage(dc, i);
    const ReferenceImage expected = RenderReferencePage(drawn, surface, kScale);
    const ReferenceImage area =
        CropSheet(printed[i], std::lround(info->ptlPhysOffset.x * kScale), std::lround(info->ptlPhysOffset.y * kScale),
             expected.width, expected.height);
    const double difference = CompareReferenceImages(area, expected, 8);
    EXPECT_LT(difference, pages[i].tolerance) << pages[i].name;
    if (difference >= pages[i].tolerance) {
      // Both pictures beside the test for a person to compare.
      const std::string stem = "picture-page-" + std::to_string(i);
      SaveReferencePng(area, stem + "-printed.png");
      SaveReferencePng(expected, stem + "-expected.png");
    }
  }
}

}  // namespace
