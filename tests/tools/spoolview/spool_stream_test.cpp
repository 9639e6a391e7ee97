// The spool-file reader of spoolview: records found among foreign bytes, lengths checked
// against the bytes present, payload reads that stop at the record's end, and pages rendered
// safely from odd streams.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#include "outside/drawlib/drawlib_stream.h"
#include "platform/base/byte_order.h"
#include "tools/spoolview/spool_render.h"

namespace {

// A record of the stream around its payload.
std::vector<BYTE> Record(BYTE slot, const std::vector<BYTE>& payload) {
  std::vector<BYTE> bytes = {0x1B, 'V', 'R', slot, 0, 0, 0, 0};
  PutLE32(bytes.data() + 4, static_cast<DWORD>(payload.size()));
  bytes.insert(bytes.end(), payload.begin(), payload.end());
  return bytes;
}

void Append(std::vector<BYTE>& to, const std::vector<BYTE>& more) { to.insert(to.end(), more.begin(), more.end()); }

std::vector<BYTE> Floats(std::initializer_list<float> values) {
  std::vector<BYTE> bytes;
  for (float v : values) {
    BYTE b[4];
    PutLE32(b, std::bit_cast<DWORD>(v));
    bytes.insert(bytes.end(), b, b + 4);
  }
  return bytes;
}

std::vector<BYTE> Join(std::vector<BYTE> a, const std::vector<BYTE>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<BYTE> PageStart(WORD width, WORD height) {
  std::vector<BYTE> payload(620, 0);
  PutLE16(payload.data() + 6, width);
  PutLE16(payload.data() + 8, height);
  return Record(kVrStartPage, payload);
}

TEST(SpoolStream, RecordsAmongOtherBytes) {
  std::vector<BYTE> bytes = {'@', 'P', 'J', 'L', 0x1B, 'V'};
  Append(bytes, Record(kVrInitPath, {}));
  Append(bytes, {'x', 0x1B});
  Append(bytes, Record(kVrSetLineWidth, Floats({2.5f})));
  const SpoolScan scan = ScanSpoolStream(bytes);
  ASSERT_EQ(scan.records.size(), 2u);
  EXPECT_EQ(scan.records[0].slot, kVrInitPath);
  EXPECT_TRUE(scan.records[0].payload.empty());
  EXPECT_EQ(scan.records[1].slot, kVrSetLineWidth);
  PayloadReader r(scan.records[1].payload);
  EXPECT_EQ(r.F32(), 2.5f);
  EXPECT_EQ(r.remaining(), 0u);
  EXPECT_EQ(scan.otherBytes, 8u);
  EXPECT_FALSE(scan.truncated);
}

TEST(SpoolStream, LengthsBeyondTheBytesEndTheScan) {
  std::vector<BYTE> bytes = Record(kVrDrawPath, {});
  std::vector<BYTE> cut = Record(kVrSetLineWidth, Floats({1}));
  cut.pop_back();
  Append(bytes, cut);
  SpoolScan scan = ScanSpoolStream(bytes);
  EXPECT_EQ(scan.records.size(), 1u);
  EXPECT_TRUE(scan.truncated);
  std::vector<BYTE> huge = {0x1B, 'V', 'R', 5, 0xFF, 0xFF, 0xFF, 0xFF, 1, 2};
  scan = ScanSpoolStream(huge);
  EXPECT_TRUE(scan.records.empty());
  EXPECT_TRUE(scan.truncated);
  scan = ScanSpoolStream(std::vector<BYTE>{0x1B, 'V', 'R', 5});
  EXPECT_TRUE(scan.truncated) << "a head cut off";
  EXPECT_TRUE(ScanSpoolStream({}).records.empty());
}

TEST(SpoolStream, ReadsStopAtTheRecordsEnd) {
  const std::vector<BYTE> payload = {1, 0, 2};
  PayloadReader r(payload);
  EXPECT_EQ(r.U16(), 1);
  EXPECT_EQ(r.U32(), 0u) << "only one byte left";
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(r.U8(), 0) << "failed for good";
  EXPECT_TRUE(r.Bytes(1).empty());
}

TEST(SpoolRender, PagesFromOddStreams) {
  SpoolRenderOptions options;
  options.scale = 1;
  options.maxSide = 100;
  std::vector<BYTE> bytes;
  Append(bytes, Record(kVrDrawPath, {}));  // before any page: ignored
  Append(bytes, PageStart(65535, 200));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  Append(bytes, Record(kVrDrawRectangle, Floats({nan, 0, 1e30f, 5})));
  std::vector<BYTE> image = Floats({0, 0, 1, 0, 0, 1, 0, 0});
  Append(image, {0xFF, 0xFF, 0xFF, 0xFF});  // 65535 x 65535 pixels: not drawn
  Append(bytes, Record(kVrDrawImageMask, image));
  Append(bytes, Record(kVrSetLineType, {6, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  Append(bytes, Record(kVrEndPage, {}));
  Append(bytes, PageStart(10, 10));  // the stream ends inside this page
  const std::vector<ReferenceImage> pages = RenderSpoolPages(ScanSpoolStream(bytes), options);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].width, 100) << "scaled to the longest side allowed";
  EXPECT_EQ(pages[0].height, 1);
  EXPECT_EQ(pages[1].width, 10);
  for (std::uint32_t p : pages[1].pixels) EXPECT_EQ(p, 0xFFFFFFu);
}

TEST(SpoolRender, FillsAndStrokesByTheDrawMode) {
  SpoolRenderOptions options;
  options.scale = 1;
  std::vector<BYTE> bytes = PageStart(20, 10);
  Append(bytes, Record(kVrSetSolidColor, {2, 0, 4, 0, 255, 0, 0}));
  Append(bytes, Record(kVrSetDrawMode, {2, 0}));
  Append(bytes, Record(kVrDrawRectangle, Join(Floats({0, 0, 10, 10}), {1, 0})));
  Append(bytes, Record(kVrSetSolidColor, {2, 0, 3, 0, 0}));
  Append(bytes, Record(kVrSetDrawMode, {1, 0}));
  Append(bytes, Record(kVrDrawRectangle, Join(Floats({12.5f, 2.5f, 17.5f, 7.5f}), {1, 0})));
  const std::vector<ReferenceImage> pages = RenderSpoolPages(ScanSpoolStream(bytes), options);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].pixels[5 * 20 + 5], 0xFF0000u) << "filled in the fill colour";
  EXPECT_EQ(pages[0].pixels[5 * 20 + 15], 0xFFFFFFu) << "the second rectangle is only stroked";
  EXPECT_EQ(pages[0].pixels[5 * 20 + 12], 0x000000u) << "in the stroke colour";
}

}  // namespace
