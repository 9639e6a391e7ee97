// A page of drawing commands sent straight to the drawing library: the library's stream lands
// in the engine's spool job between the module's own bytes, in their true order, and the page
// rendered from the spool file on disk (by the reader and by the spoolview tool) is the page
// rendered from what the library wrote, and looks as kept.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/drawing/command_recorder.h"
#include "outside/drawlib/drawlib_stream.h"
#include "platform/base/byte_order.h"
#include "tests/graphics/drawing/library_fixture.h"
#include "tools/spoolview/spool_render.h"

namespace {

constexpr char kHeader[] = "\x1B%-12345X@PJL JOB NAME=\"page\"\r\n";
constexpr char kTrailer[] = "@PJL EOJ\r\n\x1B%-12345X";
constexpr char kOwnBlock[] = "MODULE-BLOCK";

std::vector<BYTE> JobBlock(const char* text) {
  const DWORD length = static_cast<DWORD>(std::strlen(text));
  std::vector<BYTE> block(8 + length);
  PutLE32(block.data(), length + 8);
  PutLE32(block.data() + 4, length);
  std::memcpy(block.data() + 8, text, length);
  return block;
}

class DirectPageTest : public LibraryTest {
 protected:
  // The page: 400 x 300 device pixels with fills, strokes, dashes, patterns and images.
  void DrawPage() {
    OutputChannel* c = channel_;
    ASSERT_EQ(OpenLibrarySession(pdev_.get()), 0);
    ASSERT_EQ(RecordStartJob(c, 0x90, 2, 0), 0);
    const std::vector<BYTE> header = JobBlock(kHeader);
    ASSERT_EQ(RecordJobHeader(c, header.data(), static_cast<DWORD>(header.size()), JobBlockKind::kHeader), 0);
    ASSERT_EQ(RecordSetPatternResolution(c, 1, 600), 0);
    // The module's own bytes wait in the staging buffer; the next library call sends them first.
    ASSERT_EQ(WriteChannel(c, sizeof(kOwnBlock) - 1, kOwnBlock), static_cast<int>(sizeof(kOwnBlock) - 1));
    BYTE* size = c->session->pageSizeBlock;
    PutLE32(size, 20);
    PutLE16(size + 4, 2);
    PutLE16(size + 6, 400);
    PutLE16(size + 8, 300);
    PutLE16(size + 10, 1);
    PutLE32(c->session->pageBlock, 48);
    ASSERT_EQ(RecordStartPage(c), 0);

    const float identity[6] = {1, 0, 0, 1, 0, 0};
    ASSERT_EQ(RecordSetAxis(c, identity), 0);
    ASSERT_EQ(RecordSetSolidColor(c, 2, 4, 0x99CCFF), 0);
    ASSERT_EQ(RecordSetFillMode(c, 1), 0);
    ASSERT_EQ(RecordSetDrawMode(c, 2), 0);
    ASSERT_EQ(RecordDrawRectangle(c, 20, 20, 200, 120), 0);
    // A stroked path of lines and a curve.
    ASSERT_EQ(RecordSetSolidColor(c, 1, 4, 0xCC0000), 0);
    ASSERT_EQ(RecordSetLineWidth(c, 4), 0);
    ASSERT_EQ(RecordSetLineCap(c, 0), 0);
    ASSERT_EQ(RecordSetLineJoin(c, 0), 0);
    ASSERT_EQ(RecordSetDrawMode(c, 1), 0);
    ASSERT_EQ(RecordInitPath(c), 0);
    ASSERT_EQ(RecordMovePoint(c, 30, 200), 0);
    const RecordPoint lines[] = {{80, 150}, {130, 260}};
    ASSERT_EQ(RecordAddLinePath(c, 2, lines), 0);
    const RecordPoint curve[] = {{160 * 16, 150 * 16}, {200 * 16, 290 * 16}, {240 * 16, 200 * 16}};
    ASSERT_EQ(RecordAddBezierPath(c, 1, curve), 0);
    ASSERT_EQ(RecordDrawPath(c), 0);
    // A dashed ellipse filled and stroked.
    const WORD dashes[] = {12, 6};
    ASSERT_EQ(RecordSetLineType(c, 6, 0, 2, dashes), 0);
    ASSERT_EQ(RecordSetLineWidth(c, 2), 0);
    ASSERT_EQ(RecordSetDrawMode(c, 3), 0);
    const float ellipse[6] = {310, 80, 70, 45, 0, 360};
    ASSERT_EQ(RecordDrawEllipseArc(c, ellipse), 0);
    ASSERT_EQ(RecordSetLineType(c, 1, 0, 0, nullptr), 0);
    // A hatched and a masked rectangle.
    ASSERT_EQ(RecordSecondaryColor(c, 2, 4, kSecondaryOpaque, 0xFFFFCC), 0);
    ASSERT_EQ(RecordSetHatchPattern(c, 0, 0, 4, 4, 0x11, 0x006600), 0);
    ASSERT_EQ(RecordSetDrawMode(c, 2), 0);
    ASSERT_EQ(RecordDrawRectangle(c, 250, 150, 390, 210), 0);
    ASSERT_EQ(RecordSecondaryColor(c, 2, 4, kSecondaryTransparent, 0), 0);
    const BYTE dither[8] = {0xBB, 0xBB, 0xEE, 0xEE, 0xBB, 0xBB, 0xEE, 0xEE};
    ASSERT_EQ(RecordSetMaskPattern(c, 0, 0, 2, 4, 0x663399, 8, 8, dither), 0);
    ASSERT_EQ(RecordDrawRectangle(c, 250, 220, 390, 290), 0);
    // An RGB image of 4 x 2 pixels drawn 10 times larger, and a mask in the fill colour.
    ASSERT_EQ(RecordSetSolidColor(c, 2, 3, 0x40), 0);
    const BYTE pixels[24] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0, 255, 255, 255, 0, 255, 255,
                             255, 0, 255, 128, 128, 128};
    ImageAttributes image{20, 140, {0.1f, 0, 0, 0.1f, 0, 0}, 4, 2, 1, 0, 0, 2, 4, 0, 0, 0, nullptr, {1, 8, 1}, 24};
    ASSERT_EQ(RecordDrawImage(c, image), 0);
    ASSERT_EQ(RecordImageData(c, pixels, 12), 0);
    ASSERT_EQ(RecordImageData(c, pixels + 12, 12), 0);
    const BYTE maskBits[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
    ImageMaskHeader mask{20, 230, 8, 8, 1, {0.2f, 0, 0, 0.2f, 0, 0}, 8};
    ASSERT_EQ(RecordDrawImageMask(c, mask), 0);
    ASSERT_EQ(RecordImageData(c, maskBits, 8), 0);
    ASSERT_EQ(RecordEndPage(c), 0);
    ASSERT_EQ(RecordShowPage(c), 0);
    const std::vector<BYTE> trailer = JobBlock(kTrailer);
    ASSERT_EQ(RecordJobHeader(c, trailer.data(), static_cast<DWORD>(trailer.size()), JobBlockKind::kTrailer), 0);
    ASSERT_EQ(RecordEndJob(c), 0);
    ASSERT_EQ(CloseLibrarySession(c), 0);
    ASSERT_EQ(FlushChannel(c), 0);
    EXPECT_EQ(breaches_(), 0u) << Trace();
  }

  std::vector<BYTE> SpoolFileBytes() {
    std::ifstream in(Host(Job(engineJob_).spoolFile.c_str()), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
  }

  static SpoolRenderOptions FullSize() {
    SpoolRenderOptions options;
    options.scale = 1;
    return options;
  }
};

TEST_F(DirectPageTest, SpoolFileHoldsTheLibraryStreamAmongTheModulesBytes) {
  DrawPage();
  const std::vector<BYTE> spool = SpoolFileBytes();
  const std::vector<BYTE> library = LibraryStream();
  const SpoolScan scan = ScanSpoolStream(spool);
  EXPECT_FALSE(scan.truncated);
  EXPECT_EQ(scan.otherBytes, std::strlen(kHeader) + std::strlen(kTrailer) + std::strlen(kOwnBlock));
  EXPECT_EQ(scan.records.size(), ScanSpoolStream(library).records.size());
  // In the spool file the module's block lies between the pattern resolution and the page.
  const std::string text(spool.begin(), spool.end());
  const size_t own = text.find(kOwnBlock);
  ASSERT_NE(own, std::string::npos);
  EXPECT_LT(text.find("@PJL JOB"), own);
  EXPECT_GT(text.find("@PJL EOJ"), own);
  std::vector<BYTE> withoutOwn = spool;
  withoutOwn.erase(withoutOwn.begin() + static_cast<long>(own),
                   withoutOwn.begin() + static_cast<long>(own + std::strlen(kOwnBlock)));
  EXPECT_EQ(withoutOwn, library) << "everything else is the library's stream, in order";
  BYTE slotBefore = 0, slotAfter = 0;
  for (const SpoolRecord& r : scan.records) {
    const size_t at = static_cast<size_t>(r.payload.data() - spool.data());
    if (at < own) slotBefore = r.slot;
    if (at > own && slotAfter == 0) slotAfter = r.slot;
  }
  EXPECT_EQ(slotBefore, kVrSetPatternResolution);
  EXPECT_EQ(slotAfter, kVrStartPage);
}

TEST_F(DirectPageTest, PageFromTheSpoolFileIsThePageTheLibraryWasSent) {
  DrawPage();
  const std::vector<BYTE> library = LibraryStream();
  const std::vector<ReferenceImage> sent = RenderSpoolPages(ScanSpoolStream(library), FullSize());
  const std::vector<BYTE> spool = SpoolFileBytes();
  const std::vector<ReferenceImage> printed = RenderSpoolPages(ScanSpoolStream(spool), FullSize());
  ASSERT_EQ(sent.size(), 1u);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].width, 400);
  EXPECT_EQ(printed[0].height, 300);
  EXPECT_EQ(printed[0].pixels, sent[0].pixels);

  // The tool renders the spool file on disk into the same picture.
  const std::filesystem::path out = std::filesystem::path(SimSandboxRoot()) / "spoolview";
  const std::string command = std::string(QV_DRIVER_DIR) + "/spoolview '" + Host(Job(engineJob_).spoolFile.c_str()) +
                              "' '" + out.string() + "' 1 > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  ReferenceImage fromTool;
  ASSERT_TRUE(LoadReferencePng((out / "page-001.png").string(), fromTool));
  EXPECT_EQ(CompareReferenceImages(fromTool, printed[0], 0), 0.0);
  EXPECT_FALSE(std::filesystem::exists(out / "page-002.png"));

  const std::string kept = std::string(QV_SOURCE_DIR) + "/tests/graphics/drawing/fixtures/direct_page.png";
  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(printed[0], kept));
  }
  ReferenceImage expected;
  ASSERT_TRUE(LoadReferencePng(kept, expected)) << kept;
  EXPECT_LT(CompareReferenceImages(printed[0], expected, 8), 0.002);
}

}  // namespace
