// The printed pages as a person sees them: a document printed through the engine host, its
// spool job rendered page by page, and each page compared with the engine host's own reference
// rendering of the drawing calls the application made on it (the page's imageable area, placed
// at the device's physical offset on the sheet).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/graphics/ddi/document_fixture.h"
#include "tools/demo/sample_document.h"
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

// The share of pixels that may differ on a page with large glyphs: the library places a page
// on its sheet at a fraction of a device pixel that the whole-pixel crop cannot follow, so every
// edge of a large glyph differs a little in shade.
constexpr double kTextTolerance = 0.005;
// The share of pixels of a whole document page that may differ beyond one picture pixel.
constexpr double kDocumentTolerance = 0.002;
// The sample model's papers have margins of 4.2 mm: at 600 dpi a page's imageable area begins
// 99.21 device pixels into the sheet. The document's pictures are made at the scale (close to a
// quarter) that puts that offset on a whole picture pixel, so that the crop follows the page.
constexpr double kDocumentScale = 25.0 / (42.0 * 600.0 / 254.0);

// Checks that the printed sheet shows the expected page (the imageable area at the device's
// physical offset); on a difference both pictures are kept beside the test for a person to
// compare.
void ExpectSheetShowsPage(const ReferenceImage& sheet, const ReferenceImage& expected, POINTL physOffset,
                          double tolerance, const std::string& stem) {
  const ReferenceImage area = CropSheet(sheet, std::lround(physOffset.x * kScale), std::lround(physOffset.y * kScale),
                                   expected.width, expected.height);
  const double difference = CompareReferenceImages(area, expected, 8);
  EXPECT_LT(difference, tolerance);
  if (difference >= tolerance) {
    SaveReferencePng(area, stem + "-printed.png");
    SaveReferencePng(expected, stem + "-expected.png");
  }
}

// The picture turned a quarter clockwise: how a landscape page lies on a portrait sheet.
ReferenceImage TurnedQuarterClockwise(const ReferenceImage& image) {
  ReferenceImage turned;
  turned.width = image.height;
  turned.height = image.width;
  turned.pixels.resize(image.pixels.size());
  for (LONG y = 0; y < turned.height; ++y)
    for (LONG x = 0; x < turned.width; ++x)
      turned.pixels[static_cast<size_t>(y * turned.width + x)] =
          image.pixels[static_cast<size_t>((image.height - 1 - x) * image.width + y)];
  return turned;
}

// The share of pixels of one picture whose colour lies outside the range that the other
// picture's pixels within one pixel's reach span (each channel widened by `tolerance`), the
// larger of the two ways; 1 for pictures of different sizes. Dense pages of small glyphs differ
// along every glyph edge by the sub-pixel placement of the page on its sheet, and a shaded edge
// pixel then lies between its neighbours' shades; a glyph or a line that is missing, misplaced
// by more than a picture pixel or of another colour still differs.
double DifferenceBeyondOnePixel(const ReferenceImage& a, const ReferenceImage& b, int tolerance) {
  if (a.width != b.width || a.height != b.height || a.pixels.empty()) return 1;
  auto unmatched = [tolerance](const ReferenceImage& from, const ReferenceImage& in) {
    size_t count = 0;
    for (LONG y = 0; y < from.height; ++y)
      for (LONG x = 0; x < from.width; ++x) {
        const std::uint32_t p = from.pixels[static_cast<size_t>(y * from.width + x)];
        bool inside = true;
        for (int shift : {0, 8, 16}) {
          int low = 255, high = 0;
          for (LONG ny = std::max<LONG>(0, y - 1); ny <= std::min<LONG>(in.height - 1, y + 1); ++ny)
            for (LONG nx = std::max<LONG>(0, x - 1); nx <= std::min<LONG>(in.width - 1, x + 1); ++nx) {
              const int v = static_cast<int>((in.pixels[static_cast<size_t>(ny * in.width + nx)] >> shift) & 0xFF);
              low = std::min(low, v);
              high = std::max(high, v);
            }
          const int v = static_cast<int>((p >> shift) & 0xFF);
          inside = inside && v >= low - tolerance && v <= high + tolerance;
        }
        count += inside ? 0 : 1;
      }
    return static_cast<double>(count) / static_cast<double>(from.pixels.size());
  };
  return std::max(unmatched(a, b), unmatched(b, a));
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
  // The share of pixels that may differ; pages of large glyphs take kTextTolerance.
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
       kTextTolerance},
      {"bold and turned text",
       {TextLine(u"Bold heading", u"Arial", 160, 500, 600, true),
        TextLine(u"Upwards", u"Times New Roman", 120, 300, 2400, false, 900),
        TextLine(u"At an angle", u"Arial", 120, 900, 2200, true, 450)},
       kTextTolerance},
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
    ExpectSheetShowsPage(printed[i], RenderReferencePage(drawn, surface, kScale), info->ptlPhysOffset,
                         pages[i].tolerance, "picture-page-" + std::to_string(i));
  }
}

// The office document of the demo and the benchmark: a letter in two faces, a ruled table with
// fills, a schedule on a landscape page between portrait ones, a chart of paths and a
// photograph; every page as the reference renders the calls the document made on it.
TEST_F(DocumentTest, SampleDocumentPagesMatchTheEnginesReferenceRendering) {
  const DocumentModes modes = MakeDocumentModes(*settings_, *config_);
  EngineDc* dc = CreateDc(modes.portrait);
  ASSERT_NE(dc, nullptr);
  struct Expected {
    std::string name;
    ReferenceImage picture;
    POINTL offset;
    bool landscape;
  };
  std::vector<Expected> expected;
  const DocumentPrintResult result = PrintSampleDocument(
      dc, modes, kSampleDocumentKinds, u"Sample document", [&](size_t, const DocumentPage& page, EngineDc* at) {
        const SIZEL surface = EngineDcSurface(at)->sizlBitmap;
        expected.push_back({page.name, RenderReferencePage(page.calls, surface, kDocumentScale),
                            EngineDcGdiInfo(at)->ptlPhysOffset, surface.cx > surface.cy});
      });
  ASSERT_TRUE(result.printed);
  EXPECT_EQ(result.refused, 0);
  EXPECT_EQ(breaches_(), 0u);

  SpoolRenderOptions options;
  options.scale = kDocumentScale;
  const std::vector<ReferenceImage> printed = RenderSpoolPages(ScanSpoolStream(LastSpoolJob()), options);
  ASSERT_EQ(printed.size(), expected.size());
  for (size_t i = 0; i < printed.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(expected[i].landscape, SampleDocumentOrientation(i) == PageOrientation::Landscape);
    // A landscape page lies turned on the portrait sheet (the sample model's papers have equal
    // margins, so its imageable area starts at the same offset).
    const ReferenceImage page = expected[i].landscape ? TurnedQuarterClockwise(expected[i].picture) : expected[i].picture;
    const ReferenceImage area = CropSheet(printed[i], std::lround(expected[i].offset.x * kDocumentScale),
                                     std::lround(expected[i].offset.y * kDocumentScale), page.width, page.height);
    const double difference = DifferenceBeyondOnePixel(area, page, 8);
    EXPECT_LT(difference, kDocumentTolerance);
    if (difference >= kDocumentTolerance) {
      SaveReferencePng(area, "sample-page-" + std::to_string(i) + "-printed.png");
      SaveReferencePng(page, "sample-page-" + std::to_string(i) + "-expected.png");
    }
  }
}

}  // namespace
