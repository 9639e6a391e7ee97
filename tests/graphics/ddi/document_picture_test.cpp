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

// The pages of the document: what the application draws on each.
struct PictureCase {
  const char* name;
  std::vector<DrawCall> calls;
};

TEST_F(DocumentTest, PrintedPagesMatchTheEnginesReferenceRendering) {
  // The drawing calls reach the module in a later stage; until then its pages are the ones the
  // document and page path makes, and the table holds pages without drawing.
  const std::vector<PictureCase> pages = {{"first blank page", {}}, {"second blank page", {}}};

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
    EXPECT_LT(CompareReferenceImages(area, expected, 8), 0.002);
  }
}

}  // namespace
