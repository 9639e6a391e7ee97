// Glyph records drawn by spoolview: outlines filled in the fill colour and bitmaps through their
// set bits, both at the glyph position on the page axis.
#include <gtest/gtest.h>

#include <bit>
#include <vector>

#include "outside/drawlib/drawlib_stream.h"
#include "platform/base/byte_order.h"
#include "tools/spoolview/spool_render.h"

namespace {

std::vector<BYTE> Record(BYTE slot, const std::vector<BYTE>& payload) {
  std::vector<BYTE> bytes = {0x1B, 'V', 'R', slot, 0, 0, 0, 0};
  PutLE32(bytes.data() + 4, static_cast<DWORD>(payload.size()));
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

void Append(std::vector<BYTE>& to, const std::vector<BYTE>& more) { to.insert(to.end(), more.begin(), more.end()); }

void AppendFloats(std::vector<BYTE>& to, std::initializer_list<float> values) {
  for (float v : values) {
    BYTE b[4];
    PutLE32(b, std::bit_cast<DWORD>(v));
    to.insert(to.end(), b, b + 4);
  }
}

// A data-font call at (x, y) with code 0.
std::vector<BYTE> DataFont(float x, float y, const std::vector<BYTE>& record) {
  std::vector<BYTE> payload;
  AppendFloats(payload, {x, y});
  payload.insert(payload.end(), 4, 0);
  payload.insert(payload.end(), record.begin(), record.end());
  return Record(kVrDrawDataFont, payload);
}

TEST(GlyphRender, OutlinesAndBitmapsLandOnTheAxis) {
  std::vector<BYTE> page(620, 0);
  PutLE16(page.data() + 6, 40);
  PutLE16(page.data() + 8, 20);
  std::vector<BYTE> bytes = Record(kVrStartPage, page);
  std::vector<BYTE> axis;
  AppendFloats(axis, {1, 0, 0, 1, 2, 1});  // the page two pixels right and one down
  Append(bytes, Record(kVrSetAxis, axis));
  Append(bytes, Record(kVrSetSolidColor, {2, 0, 4, 0, 255, 0, 0}));
  // An outline square of 6 x 6 pixels above its baseline: codes 1 2 2 2 5 6.
  std::vector<BYTE> outline = {1, 0, 0, 0, 0, 0, 0, 0};
  AppendFloats(outline, {10});
  outline.insert(outline.end(), {4, 0, 6, 0});
  AppendFloats(outline, {0, 0, 6, 0, 6, -6, 0, -6});
  outline.insert(outline.end(), {0x12, 0x22, 0x56, 0});
  PutLE32(outline.data() + 4, static_cast<DWORD>(outline.size()));
  Append(bytes, DataFont(4, 10, outline));
  // A bitmap of 8 x 2 whose left half is set, its corner 3 pixels above the glyph position.
  std::vector<BYTE> bitmap = {2, 0, 0, 0, 0, 0, 0, 0};
  AppendFloats(bitmap, {0, -3});
  bitmap.insert(bitmap.end(), {2, 0, 8, 0, 1, 1, 0xF0, 0xF0, 0x11, 0x11});
  PutLE32(bitmap.data() + 4, static_cast<DWORD>(bitmap.size()));
  Append(bytes, DataFont(20, 10, bitmap));
  Append(bytes, Record(kVrEndPage, {}));

  SpoolRenderOptions options;
  options.scale = 1;
  const std::vector<ReferenceImage> pages = RenderSpoolPages(ScanSpoolStream(bytes), options);
  ASSERT_EQ(pages.size(), 1u);
  auto at = [&](int x, int y) { return pages[0].pixels[static_cast<size_t>(y) * 40 + x]; };
  // The square covers x 6..12, y 5..11 on the sheet.
  EXPECT_EQ(at(8, 8), 0xFF0000u);
  EXPECT_EQ(at(5, 8), 0xFFFFFFu);
  EXPECT_EQ(at(8, 11), 0xFFFFFFu);
  // The bitmap's set pixels are x 22..25, y 8..9.
  EXPECT_EQ(at(23, 8), 0xFF0000u);
  EXPECT_EQ(at(25, 9), 0xFF0000u);
  EXPECT_EQ(at(26, 8), 0xFFFFFFu);
  EXPECT_EQ(at(23, 10), 0xFFFFFFu);
}

}  // namespace
