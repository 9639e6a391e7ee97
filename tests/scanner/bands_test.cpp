// Band processing: tone curves, line packing, inversion, palettes and the placement of strips
// into output images with every rotation, mirror and bottom-up order, checked pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "scanner/filter_library.h"
#include "tests/support/sandbox_test.h"

namespace {

using Image = std::vector<std::vector<int>>;  // [row][column]

Image RotateClockwise(const Image& s) {
  const size_t h = s.size(), w = s[0].size();
  Image d(w, std::vector<int>(h));
  for (size_t r = 0; r < h; ++r)
    for (size_t c = 0; c < w; ++c) d[c][h - 1 - r] = s[r][c];
  return d;
}

Image RotateCounterClockwise(const Image& s) { return RotateClockwise(RotateClockwise(RotateClockwise(s))); }

// What the application sees (top-down) for a source image with a rotation and mirrors.
Image ExpectedView(const Image& source, int rotation, bool hMirror, bool vMirror) {
  Image v = source;
  if (rotation == 1) v = RotateClockwise(v);
  if (rotation == 2) v = RotateCounterClockwise(v);
  if (rotation == 3) v = RotateClockwise(RotateClockwise(v));
  if (hMirror)
    for (auto& row : v) std::reverse(row.begin(), row.end());
  if (vMirror) std::reverse(v.begin(), v.end());
  return v;
}

struct KindCase {
  WORD pixelType;
  WORD kind;
  DWORD srcBytes;  // bytes per source pixel in the strip
  DWORD outBytes;  // bytes per output pixel
};

// Distinct grey values per source pixel, kept below 200 so +k stays a byte.
int SourceValue(int x, int y) { return 10 + 13 * y + 3 * x; }

// Builds aligned strip lines of a source pixel range for a kind.
std::vector<BYTE> MakeStrip(const KindCase& k, int width, int y0, int lines) {
  const DWORD line = BitmapLineBytes(k.kind, width);
  std::vector<BYTE> strip(static_cast<size_t>(line) * lines, 0xEE);
  for (int l = 0; l < lines; ++l)
    for (int x = 0; x < width; ++x)
      for (DWORD b = 0; b < k.srcBytes; ++b)
        strip[l * line + x * k.srcBytes + b] = static_cast<BYTE>(SourceValue(x, y0 + l) + b);
  return strip;
}

TEST(PlaceStrip, EveryRotationMirrorAndOrderMatchesTheViewPixelByPixel) {
  const KindCase kinds[] = {
      {TWPT_GRAY, kScanKindGray, 1, 1},    {TWPT_GRAY, kScanKindColor, 3, 1},
      {TWPT_RGB, kScanKindColor, 3, 3},    {TWPT_RGB, kScanKindColor48, 6, 6},
      {TWPT_PALETTE, kScanKindColor, 3, 1},
  };
  const int sw = 5, sh = 3;
  Image source(sh, std::vector<int>(sw));
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x) source[y][x] = SourceValue(x, y);

  for (const KindCase& k : kinds)
    for (int rotation = 0; rotation < 4; ++rotation)
      for (int flags = 0; flags < 8; ++flags) {
        const bool hMirror = flags & 1, vMirror = flags & 2, bottomUp = flags & 4;
        const bool turned = rotation == 1 || rotation == 2;
        const DWORD ow = turned ? sh : sw, oh = turned ? sw : sh;
        const DWORD stride = (ow * k.outBytes * 8 + 31) / 32 * 4;
        std::vector<BYTE> out(stride * oh, 0);
        PlacementTarget target{nullptr, 0, out.data(), out.size()};
        OutputLayout layout{k.pixelType, ow, oh, static_cast<WORD>(rotation), hMirror, vMirror, 128, bottomUp};
        // Two strips: lines 0-1, then line 2.
        const std::vector<BYTE> first = MakeStrip(k, sw, 0, 2), second = MakeStrip(k, sw, 2, 1);
        ASSERT_TRUE(PlaceStrip(target, layout, first.data(), k.kind, 0, 0, sw, 2));
        ASSERT_TRUE(PlaceStrip(target, layout, second.data(), k.kind, 0, 2, sw, 1));

        const Image view = ExpectedView(source, rotation, hMirror, vMirror);
        for (DWORD r = 0; r < oh; ++r)
          for (DWORD c = 0; c < ow; ++c) {
            const DWORD storedRow = bottomUp ? oh - 1 - r : r;
            const BYTE* px = out.data() + storedRow * stride + c * k.outBytes;
            const int v = view[r][c];
            SCOPED_TRACE(testing::Message() << "type " << k.pixelType << " kind " << k.kind << " rot " << rotation
                                            << " flags " << flags << " at " << c << "," << r);
            if (k.pixelType == TWPT_PALETTE) {
              EXPECT_EQ(px[0], NearestPaletteIndex(static_cast<BYTE>(v), static_cast<BYTE>(v + 1), static_cast<BYTE>(v + 2)));
            } else {
              for (DWORD b = 0; b < k.outBytes; ++b) EXPECT_EQ(px[b], v + b);
            }
          }
      }
}

// Strips larger than a tile, with widths and line counts not multiples of it, strips starting
// at a column other than 0, and a one-pixel-wide image, compared with the view byte for byte.
class PlaceStripInFile : public SandboxTest {};

// A file target receives at its base offset exactly the bytes a memory target receives.
TEST_F(PlaceStripInFile, FileTargetHoldsWhatMemoryHolds) {
  const KindCase k{TWPT_RGB, kScanKindColor, 3, 3};
  const int sw = 5, sh = 3;
  constexpr ULONGLONG kBase = 54;  // after a bitmap file's headers
  for (int rotation = 0; rotation < 4; ++rotation) {
    SCOPED_TRACE(rotation);
    const bool turned = rotation == 1 || rotation == 2;
    const DWORD ow = turned ? sh : sw, oh = turned ? sw : sh;
    const DWORD stride = (ow * k.outBytes * 8 + 31) / 32 * 4;
    std::vector<BYTE> memory(stride * oh, 0);
    HANDLE file = CreateFileW(u"C:\\placed.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::vector<BYTE> zeros(kBase + memory.size(), 0);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, zeros.data(), DWORD(zeros.size()), &written, nullptr));
    const OutputLayout layout{k.pixelType, ow, oh, static_cast<WORD>(rotation), false, false, 128, true};
    const std::vector<BYTE> strip = MakeStrip(k, sw, 0, sh);
    const PlacementTarget inMemory{nullptr, 0, memory.data(), memory.size()};
    const PlacementTarget inFile{file, kBase, nullptr, 0};
    ASSERT_TRUE(PlaceStrip(inMemory, layout, strip.data(), k.kind, 0, 0, sw, sh));
    ASSERT_TRUE(PlaceStrip(inFile, layout, strip.data(), k.kind, 0, 0, sw, sh));
    std::vector<BYTE> back(zeros.size());
    DWORD read = 0;
    ASSERT_NE(SetFilePointer(file, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    ASSERT_TRUE(ReadFile(file, back.data(), DWORD(back.size()), &read, nullptr));
    ASSERT_EQ(read, back.size());
    CloseHandle(file);
    EXPECT_EQ(std::vector<BYTE>(back.begin(), back.begin() + kBase), std::vector<BYTE>(kBase, 0));
    EXPECT_EQ(std::vector<BYTE>(back.begin() + kBase, back.end()), memory);
  }
}

TEST(PlaceStrip, TiledStripsOfEveryOrientationMatchTheView) {
  const KindCase kinds[] = {
      {TWPT_GRAY, kScanKindGray, 1, 1},    {TWPT_GRAY, kScanKindColor, 3, 1},
      {TWPT_RGB, kScanKindColor, 3, 3},    {TWPT_RGB, kScanKindColor48, 6, 6},
      {TWPT_PALETTE, kScanKindColor, 3, 1},
  };
  struct Size {
    int width, height, firstLines, splitColumn;
  };
  const Size sizes[] = {{23, 71, 67, 9}, {1, 9, 5, 0}};
  const auto sourceByte = [](int x, int y, DWORD b) { return static_cast<BYTE>(x * 7 + y * 31 + b * 101 + (x ^ y)); };
  for (const Size& z : sizes)
    for (const KindCase& k : kinds)
      for (int rotation = 0; rotation < 4; ++rotation)
        for (int flags = 0; flags < 8; ++flags) {
          const bool hMirror = flags & 1, vMirror = flags & 2, bottomUp = flags & 4;
          const bool turned = rotation == 1 || rotation == 2;
          const DWORD ow = turned ? z.height : z.width, oh = turned ? z.width : z.height;
          const DWORD stride = (ow * k.outBytes * 8 + 31) / 32 * 4;
          std::vector<BYTE> out(stride * oh, 0), expected(stride * oh, 0);
          PlacementTarget target{nullptr, 0, out.data(), out.size()};
          OutputLayout layout{k.pixelType, ow, oh, static_cast<WORD>(rotation), hMirror, vMirror, 128, bottomUp};
          // Each band in two pieces side by side: columns before the split, then the rest.
          for (int y0 = 0; y0 < z.height; y0 += z.firstLines) {
            const int lines = std::min(z.firstLines, z.height - y0);
            for (const auto& [x0, width] : {std::pair{0, z.splitColumn}, std::pair{z.splitColumn, z.width - z.splitColumn}}) {
              if (width == 0) continue;
              const DWORD line = BitmapLineBytes(k.kind, width);
              std::vector<BYTE> strip(static_cast<size_t>(line) * lines, 0xEE);
              for (int l = 0; l < lines; ++l)
                for (int x = 0; x < width; ++x)
                  for (DWORD b = 0; b < k.srcBytes; ++b) strip[l * line + x * k.srcBytes + b] = sourceByte(x0 + x, y0 + l, b);
              ASSERT_TRUE(PlaceStrip(target, layout, strip.data(), k.kind, x0, y0, width, lines));
            }
          }
          Image ids(z.height, std::vector<int>(z.width));
          for (int y = 0; y < z.height; ++y)
            for (int x = 0; x < z.width; ++x) ids[y][x] = y * z.width + x;
          const Image view = ExpectedView(ids, rotation, hMirror, vMirror);
          for (DWORD r = 0; r < oh; ++r)
            for (DWORD c = 0; c < ow; ++c) {
              const int x = view[r][c] % z.width, y = view[r][c] / z.width;
              BYTE* px = expected.data() + (bottomUp ? oh - 1 - r : r) * stride + c * k.outBytes;
              if (k.pixelType == TWPT_PALETTE) {
                px[0] = NearestPaletteIndex(sourceByte(x, y, 0), sourceByte(x, y, 1), sourceByte(x, y, 2));
              } else {
                for (DWORD b = 0; b < k.outBytes; ++b) px[b] = sourceByte(x, y, b);
              }
            }
          ASSERT_EQ(out, expected) << z.width << "x" << z.height << " type " << k.pixelType << " kind " << k.kind
                                   << " rot " << rotation << " flags " << flags;
        }
}

TEST(PlaceStrip, StripGeometryBoundsExactlyThePixelsWritten) {
  const int sw = 5, sh = 4;
  for (int rotation = 0; rotation < 4; ++rotation)
    for (int flags = 0; flags < 4; ++flags) {
      const bool hMirror = flags & 1, vMirror = flags & 2;
      const bool turned = rotation == 1 || rotation == 2;
      const DWORD ow = turned ? sh : sw, oh = turned ? sw : sh;
      const DWORD stride = (ow * 8 + 31) / 32 * 4;
      std::vector<BYTE> out(stride * oh, 0);
      PlacementTarget target{nullptr, 0, out.data(), out.size()};
      OutputLayout layout{TWPT_GRAY, ow, oh, static_cast<WORD>(rotation), hMirror, vMirror, 0, FALSE};
      // A strip of lines 1 and 2.
      const std::vector<BYTE> strip = MakeStrip({TWPT_GRAY, kScanKindGray, 1, 1}, sw, 1, 2);
      ASSERT_TRUE(PlaceStrip(target, layout, strip.data(), kScanKindGray, 0, 1, sw, 2));
      POINT pos;
      SIZE size;
      StripGeometry(&pos, &size, ow, oh, 0, 1, sw, 2, rotation, hMirror, vMirror);
      for (DWORD r = 0; r < oh; ++r)
        for (DWORD c = 0; c < ow; ++c) {
          const bool inside = static_cast<LONG>(c) >= pos.x && static_cast<LONG>(c) < pos.x + size.cx &&
                              static_cast<LONG>(r) >= pos.y && static_cast<LONG>(r) < pos.y + size.cy;
          EXPECT_EQ(out[r * stride + c] != 0, inside) << "rot " << rotation << " flags " << flags << " at " << c << "," << r;
        }
    }
}

TEST(PlaceStrip, OneBitLinesAndThresholdedColour) {
  // 10 pixels wide, 2 lines: aligned one-bit lines are 4 bytes.
  const DWORD w = 10, h = 2, stride = 4;
  std::vector<BYTE> out(stride * h, 0);
  PlacementTarget target{nullptr, 0, out.data(), out.size()};
  OutputLayout layout{TWPT_BW, w, h, 0, FALSE, FALSE, 128, TRUE};
  const BYTE strip[8] = {0xA5, 0xC0, 0, 0, 0x3C, 0x40, 0, 0};
  ASSERT_TRUE(PlaceStrip(target, layout, strip, kScanKindThreshold, 0, 0, w, 2));
  // Bottom-up: the first line lands on the last row of the bitmap.
  EXPECT_EQ(out[4], 0xA5);
  EXPECT_EQ(out[5], 0xC0);
  EXPECT_EQ(out[0], 0x3C);
  EXPECT_EQ(out[1], 0x40);

  // A colour strip thresholded at 128: pixels whose first byte is 128 or more are set.
  const BYTE firsts[10] = {128, 127, 255, 0, 200, 1, 129, 128, 0, 130};
  std::vector<BYTE> colour(BitmapLineBytes(kScanKindColor, w), 0);
  for (DWORD i = 0; i < w; ++i) colour[3 * i] = firsts[i], colour[3 * i + 1] = 255 - firsts[i];
  std::fill(out.begin(), out.end(), 0);
  layout.BottomUp = FALSE;
  ASSERT_TRUE(PlaceStrip(target, layout, colour.data(), kScanKindColor, 0, 0, w, 1));
  EXPECT_EQ(out[0], 0xAB);  // 1010 1011
  EXPECT_EQ(out[1], 0x40);  // 01

  // One-bit output never rotates or mirrors horizontally: a whole-line write would be wrong.
  layout.HorizontalMirror = TRUE;
  EXPECT_FALSE(PlaceStrip(target, layout, strip, kScanKindThreshold, 0, 0, w, 1));
}

TEST(PlaceStrip, RefusesWritesOutsideTheTargetAndUnknownCombinations) {
  std::vector<BYTE> out(8 * 2 + 4, 0);  // one byte short of 3 rows of 5 grey pixels
  PlacementTarget target{nullptr, 0, out.data(), out.size()};
  OutputLayout layout{TWPT_GRAY, 5, 3, 0, FALSE, FALSE, 0, FALSE};
  const std::vector<BYTE> strip(8 * 3, 7);
  EXPECT_TRUE(PlaceStrip(target, layout, strip.data(), kScanKindGray, 0, 0, 5, 2));
  EXPECT_FALSE(PlaceStrip(target, layout, strip.data(), kScanKindGray, 0, 2, 5, 1));  // past the buffer
  EXPECT_EQ(out[8 * 2 + 3], 0);
  out.resize(8 * 3);
  target.MemorySize = out.size();
  target.Memory = out.data();
  EXPECT_FALSE(PlaceStrip(target, layout, strip.data(), kScanKindGray, 0, 2, 5, 2));  // beyond the image
  EXPECT_FALSE(PlaceStrip(target, layout, strip.data(), kScanKindThreshold, 0, 0, 5, 1));  // one-bit into grey
  layout.PixelType = TWPT_RGB;
  EXPECT_FALSE(PlaceStrip(target, layout, strip.data(), kScanKindGray, 0, 0, 5, 1));
  PlacementTarget none{nullptr, 0, nullptr, 0};
  EXPECT_FALSE(WriteAt(none, 0, strip.data(), 1));
  PlacementTarget huge{nullptr, 0, out.data(), 0x200000000ull};
  EXPECT_FALSE(WriteAt(huge, 0x100000000ull, strip.data(), 1));  // beyond 4 GiB
}

TEST(PixelOffset, OffsetsOfEachRotationAndOutsidePixels) {
  struct Case {
    DWORD w, h, bits, x, y;
    WORD rotation;
    BOOL hm, vm, bu;
    ULONGLONG offset;
  } cases[] = {
      {10, 4, 8, 2, 1, 0, FALSE, FALSE, FALSE, 12 + 2},
      {10, 4, 8, 2, 1, 0, FALSE, FALSE, TRUE, 2 * 12 + 2},
      {10, 4, 24, 2, 1, 0, TRUE, FALSE, FALSE, 32 + 7 * 3},
      {10, 4, 8, 2, 1, 1, FALSE, FALSE, FALSE, 2 * 12 + 8},  // column 10-1-1, row 2
      {10, 4, 8, 2, 1, 2, FALSE, FALSE, FALSE, 1 * 12 + 1},  // column 1, row 4-1-2
      {10, 4, 8, 2, 1, 3, FALSE, FALSE, FALSE, 2 * 12 + 7},  // column 7, row 2
      {10, 4, 1, 9, 3, 0, FALSE, FALSE, FALSE, 3 * 4 + 1},
      {10, 4, 48, 1, 0, 0, FALSE, TRUE, FALSE, 3 * 60 + 6},
      {10, 4, 8, 2, 11, 1, FALSE, FALSE, FALSE, 2 * 12 + 0},  // column outside: 0
      {40000, 40000, 48, 0, 39999, 0, FALSE, FALSE, FALSE, 39999ull * 240000},  // beyond 32 bits
  };
  for (const Case& c : cases)
    EXPECT_EQ(PixelOffset(c.w, c.h, c.bits, c.x, c.y, c.rotation, c.hm, c.vm, c.bu), c.offset)
        << c.w << "x" << c.h << " rot " << c.rotation << " at " << c.x << "," << c.y;
}

TEST(ToneCurve, LevelsGammaAndClamps) {
  BYTE curve[256];
  ToneCurveFromLevels(curve, 200, 0, 255, 0, 255);
  EXPECT_EQ(curve[64], 127);
  EXPECT_EQ(curve[0], 0);
  EXPECT_EQ(curve[255], 255);
  ToneCurveFromLevels(curve, 100, 20, 200, 10, 240);
  EXPECT_EQ(curve[0], 10);
  EXPECT_EQ(curve[19], 10);
  EXPECT_EQ(curve[20], 10);
  EXPECT_EQ(curve[200], 240);
  EXPECT_EQ(curve[201], 240);
  EXPECT_EQ(curve[110], 10 + 115);  // linear half way
  // Gamma 0 is taken as 1.80, 5 as 0.10 and 2000 as 9.99.
  BYTE a[256], b[256];
  ToneCurveFromLevels(a, 0, 0, 255, 0, 255);
  ToneCurveFromLevels(b, 180, 0, 255, 0, 255);
  EXPECT_EQ(0, std::memcmp(a, b, 256));
  ToneCurveFromLevels(a, 5, 0, 255, 0, 255);
  ToneCurveFromLevels(b, 10, 0, 255, 0, 255);
  EXPECT_EQ(0, std::memcmp(a, b, 256));
  ToneCurveFromLevels(a, 2000, 0, 255, 0, 255);
  ToneCurveFromLevels(b, 999, 0, 255, 0, 255);
  EXPECT_EQ(0, std::memcmp(a, b, 256));
  // An empty input range is a step, not a division by zero.
  ToneCurveFromLevels(curve, 100, 90, 90, 0, 255);
  EXPECT_EQ(curve[89], 0);
  EXPECT_EQ(curve[90], 255);
  EXPECT_EQ(curve[91], 255);
}

TEST(StripLines, ExpandAndPackInPlace) {
  struct Case {
    WORD kind;
    DWORD width, packed, aligned;
  } cases[] = {
      {kScanKindGray, 5, 5, 8},       {kScanKindColor, 5, 15, 16},   {kScanKindThreshold, 10, 2, 4},
      {kScanKindGray16, 3, 6, 8},     {kScanKindColor48, 3, 18, 20}, {kScanKindColor, 4, 12, 12},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(PackedLineBytes(c.kind, c.width), c.packed);
    ASSERT_EQ(BitmapLineBytes(c.kind, c.width), c.aligned);
    const DWORD lines = 3;
    std::vector<BYTE> strip(c.aligned * lines, 0xFF);
    for (DWORD i = 0; i < c.packed * lines; ++i) strip[i] = static_cast<BYTE>(i + 1);
    ExpandStripLines(strip.data(), c.kind, c.width, lines);
    for (DWORD l = 0; l < lines; ++l)
      for (DWORD i = 0; i < c.aligned; ++i)
        EXPECT_EQ(strip[l * c.aligned + i], i < c.packed ? l * c.packed + i + 1 : 0) << c.kind << " line " << l;
    PackStripLines(strip.data(), c.kind, c.width, lines);
    for (DWORD i = 0; i < c.packed * lines; ++i) EXPECT_EQ(strip[i], static_cast<BYTE>(i + 1));
  }
  EXPECT_EQ(PixelRowBytes(TWPT_BW, 9), 2u);
  EXPECT_EQ(PixelRowBytes(TWPT_RGB, 9), 27u);
  EXPECT_EQ(BitmapLineBytesForPixelType(TWPT_RGB, 9), 28u);
  EXPECT_EQ(BitmapLineBytesForPixelType(TWPT_PALETTE, 9), 12u);
}

TEST(Inversion, ByKindAndHardwareGrey) {
  ImageRecord record{};
  record.Invert = 1;
  struct Case {
    WORD kind, pixelType;
    DWORD hardwareGray, lineBytes, inverted;
  } cases[] = {
      {kScanKindThreshold, TWPT_BW, 0, 2, 2},  // 10 pixels: 2 bytes
      {kScanKindGray, TWPT_GRAY, 1, 10, 10},   // one byte per pixel
      {kScanKindGray, TWPT_GRAY, 0, 30, 30},   // grey read as colour triplets
      {kScanKindColor, TWPT_RGB, 0, 30, 30},
      {kScanKindColor48, TWPT_RGB, 0, 60, 0},  // never inverted
      {kScanKindGray16, TWPT_GRAY, 0, 20, 20}, // bounded by the run's line
  };
  for (const Case& c : cases) {
    record.ScanKind = c.kind;
    record.PixelType = c.pixelType;
    std::vector<BYTE> band(c.lineBytes * 2, 0x0F);
    InvertBand(band.data(), 10, 2, c.lineBytes, record, c.hardwareGray);
    for (DWORD l = 0; l < 2; ++l)
      for (DWORD i = 0; i < c.lineBytes; ++i)
        EXPECT_EQ(band[l * c.lineBytes + i], i < c.inverted ? 0xF0 : 0x0F) << "kind " << c.kind;
  }
  EXPECT_TRUE(InvertApplies(record));  // 0x4002 with invert
  record.ScanKind = kScanKindColor48;
  EXPECT_FALSE(InvertApplies(record));
}

TEST(Palette, OutputPalettesAndNearestEntry) {
  BYTE pal[1024];
  EXPECT_FALSE(BuildPalette(pal, TWPT_BW, 7));
  ASSERT_TRUE(BuildPalette(pal, TWPT_BW, 8));
  const BYTE bw[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  EXPECT_EQ(0, std::memcmp(pal, bw, 8));
  EXPECT_FALSE(BuildPalette(pal, TWPT_GRAY, 1023));
  ASSERT_TRUE(BuildPalette(pal, TWPT_GRAY, 1024));
  EXPECT_EQ(pal[4 * 77], 77);
  EXPECT_EQ(pal[4 * 77 + 2], 77);
  ASSERT_TRUE(BuildPalette(pal, TWPT_PALETTE, 1024));
  EXPECT_EQ(pal[4 * 255 + 0], 255);  // blue
  EXPECT_EQ(pal[4 * 255 + 1], 255);  // green
  EXPECT_EQ(pal[4 * 255 + 2], 255);  // red
  EXPECT_EQ(pal[4 * (2 << 5) + 2], 73);             // 2 x 36.43 = 72.86 rounds to 73
  EXPECT_EQ(pal[4 * (4 << 2) + 1], 146);            // 4 x 36.43 = 145.72
  EXPECT_EQ(pal[4 * 2 + 0], 170);
  // The nearest entry by summed squares, the first entry on ties, over a grid of colours.
  for (int r = 0; r < 256; r += 5)
    for (int g = 0; g < 256; g += 7)
      for (int b = 0; b < 256; b += 3) {
        int best = 0, bestDistance = 1 << 30;
        for (int i = 0; i < 256; ++i) {
          const int dr = r - pal[4 * i + 2], dg = g - pal[4 * i + 1], db = b - pal[4 * i];
          const int d = dr * dr + dg * dg + db * db;
          if (d < bestDistance) best = i, bestDistance = d;
        }
        ASSERT_EQ(NearestPaletteIndex(r, g, b), best) << r << "," << g << "," << b;
      }
}

TEST(Palette, IndicesOfALongRunMatchEachPixelsEntry) {
  // Long enough for the vectorised loop and its remainder; every channel value occurs.
  const DWORD n = 1001;
  std::vector<BYTE> triplets(3 * n), indices(n + 1, 0xEE);
  for (size_t i = 0; i < triplets.size(); ++i) triplets[i] = static_cast<BYTE>(i * 37 + i / 256);
  NearestPaletteIndices(indices.data(), triplets.data(), n);
  for (DWORD i = 0; i < n; ++i)
    ASSERT_EQ(indices[i], NearestPaletteIndex(triplets[3 * i], triplets[3 * i + 1], triplets[3 * i + 2])) << i;
  EXPECT_EQ(indices[n], 0xEE);
}

}  // namespace

namespace {

// The filter parameters by pixel type, one-bit method, kind, inversion and level channel mode.
TEST(FilterParameters, FieldsByPixelTypeAndMethod) {
  struct Case {
    WORD pixelType, kind, method;
    DWORD invert;
    WORD channelMode;
    WORD composition, f62, f162, f164, f168, f170, f214, f216, f218, f220;
  } cases[] = {
      {TWPT_BW, kScanKindThreshold, kOneBitThreshold, 0, 1, 0x0101, 1, 1, 1, 0, 5, 0, 150, 0, 5},
      {TWPT_BW, kScanKindThreshold, kOneBitThreshold, 1, 1, 0x0101, 1, 1, 2, 0, 5, 0, 150, 0, 5},
      {TWPT_BW, kScanKindHalftone, kOneBitHalftone, 0, 1, 0x0101, 1, 1, 1, 0, 5, 150 * 32, 202, 0, 5},
      {TWPT_BW, kScanKindThreshold, kOneBitDiffusion, 0, 1, 0x0501, 1, 1, 1, 0, 5, 150 * 32, 202, 0, 5},
      {TWPT_BW, kScanKindDiffusion, kOneBitThreshold, 0, 1, 3, 4, 1, 1, 1, 5, 0, 150, 0, 5},
      {TWPT_GRAY, kScanKindGray, 0, 0, 1, 3, 4, 2, 1, 1, 5, 0, 202, 0, 5},
      {TWPT_RGB, kScanKindColor, 0, 0, 0, 6, 4, 2, 1, 1, 1, 0, 202, 1, 4},
      {TWPT_RGB, kScanKindColor, 0, 0, 2, 6, 4, 2, 1, 1, 3, 0, 202, 0, 2},
      {TWPT_RGB, kScanKindColor48, 0, 1, 1, 6, 4, 1, 1, 1, 2, 0, 202, 0, 1},
      {TWPT_PALETTE, kScanKindColor, 0, 0, 1, 4, 4, 2, 1, 1, 2, 0, 202, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.pixelType << " kind " << c.kind << " method " << c.method
                                    << " mode " << c.channelMode);
    ImageRecord r{};
    r.PixelType = c.pixelType;
    r.ScanKind = c.kind;
    r.OneBitMethod = c.method;
    r.Invert = c.invert;
    r.Threshold = 150;
    r.HalftoneMode = 2;
    for (int i = 0; i < 4; ++i) r.LevelSlots[i] = {static_cast<SHORT>(250 - i), static_cast<SHORT>(5 + i),
                                                  static_cast<SHORT>(100 + 10 * i), static_cast<SHORT>(1 + i),
                                                  static_cast<SHORT>(240 + i)};
    BYTE p[312];
    ASSERT_TRUE(BuildFilterParameters(p, r, c.channelMode));
    auto at = [&](int offset) { return static_cast<int>(static_cast<SHORT>(p[offset] | (p[offset + 1] << 8))); };
    EXPECT_EQ(at(60), c.composition);
    EXPECT_EQ(at(62), c.f62);
    EXPECT_EQ(at(64), -1);
    EXPECT_EQ(at(162), c.f162);
    EXPECT_EQ(at(164), c.f164);
    EXPECT_EQ(at(166), 3);
    EXPECT_EQ(at(168), c.f168);
    EXPECT_EQ(at(170), c.f170);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(at(172 + 2 * i), 5 + i);
      EXPECT_EQ(at(182 + 2 * i), 250 - i);
      EXPECT_EQ(at(192 + 2 * i), 1 + i);
      EXPECT_EQ(at(202 + 2 * i), 240 + i);
    }
    EXPECT_EQ(at(180), 5);
    EXPECT_EQ(at(190), 250);
    EXPECT_EQ(at(200), 1);
    EXPECT_EQ(at(210), 240);
    EXPECT_EQ(at(214), c.f214);
    EXPECT_EQ(at(216), c.f216);
    EXPECT_EQ(at(218), c.f218);
    EXPECT_EQ(at(220), c.f220);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(at(220 + 2 * i), c.channelMode != 0 ? 100 + 10 * i : 100);
    EXPECT_EQ(at(228), 100);
    EXPECT_EQ(at(230), 100);
    int nonZeroElsewhere = 0;
    for (int i = 0; i < 312; ++i)
      if ((i < 60 || i > 231 || (i >= 66 && i < 162) || i == 212 || i == 213) && p[i] != 0) ++nonZeroElsewhere;
    EXPECT_EQ(nonZeroElsewhere, 0);
  }
  ImageRecord other{};
  other.PixelType = 7;
  BYTE p[312];
  EXPECT_FALSE(BuildFilterParameters(p, other, 1));
}

}  // namespace
