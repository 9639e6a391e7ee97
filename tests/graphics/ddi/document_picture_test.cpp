// The printed pages as a person sees them: a document printed through the engine host, its
// spool job rendered page by page, and each page compared with the engine host's own reference
// rendering of the drawing calls the application made on it (the page's imageable area, placed
// at the device's physical offset on the sheet).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/engine/reference_renderer.h"
#include "tests/graphics/ddi/document_fixture.h"
#include "tools/spoolview/spool_render.h"

namespace {

constexpr double kScale = 0.25;

// The part of a sheet picture that shows the page's imageable area.
ReferenceImage Crop(const ReferenceImage& sheet, LONG left, LONG top, LONG width, LONG height) {
  ReferenceImage part;
  part.width = width;
  part.height = height;
  part.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFFFFFF);
  for (LONG y = 0; y < height && top + y < sheet.height; ++y)
    for (LONG x = 0; x < width && left + x < sheet.width; ++x)
      part.pixels[static_cast<size_t>(y * width + x)] = sheet.pixels[static_cast<size_t>((top + y) * sheet.width + left + x)];
  return part;
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
        Crop(printed[i], std::lround(info->ptlPhysOffset.x * kScale), std::lround(info->ptlPhysOffset.y * kScale),
             expected.width, expected.height);
    EXPECT_LT(CompareReferenceImages(area, expected, 8), pages[i].tolerance);
  }
}

}  // namespace
