// The raster-operation maps and the picture-band tracker.
#include <gtest/gtest.h>

#include <tuple>

#include "graphics/drawing/image_bands.h"
#include "graphics/drawing/rop_maps.h"

namespace {

TEST(RopMaps, TernaryCodesToMixesAndBack) {
  const struct {
    BYTE ternary;
    BYTE mix;
  } pairs[] = {{0xFF, 16}, {0x00, 1}, {0x05, 2}, {0x0A, 3}, {0x0F, 4}, {0x50, 5}, {0x55, 6}, {0x5A, 7},
               {0x5F, 8}, {0xA0, 9}, {0xA5, 10}, {0xAA, 11}, {0xAF, 12}, {0xF0, 13}, {0xF5, 14}, {0xFA, 15}};
  for (const auto& p : pairs) {
    SCOPED_TRACE(p.ternary);
    EXPECT_EQ(MapRopToRop2(p.ternary * 0x101u), p.mix * 0x101u);
    EXPECT_EQ(MapMixToRop3(p.mix * 0x101u), p.ternary * 0x101u);
  }
  EXPECT_EQ(MapRopToRop2(0xCCCC), 0x0D0D) << "a code that uses the source copies the pen";
  EXPECT_EQ(MapRopToRop2(0xAAF0), 0x0B0D);
  EXPECT_EQ(MapRopToRop2(0x12345555), 0x0606) << "only the low 16 bits count";
  EXPECT_EQ(MapMixToRop3(0x0D06), 0xF055);
  EXPECT_EQ(MapMixToRop3(0x1010), 0xFFFF) << "R2_WHITE";
}

TEST(ImageBands, PicturesTheirBandsAndOtherBlts) {
  ImageBandTracker t{};
  EXPECT_EQ(ClassifyImageBand(nullptr, 1, 1, 24, 2, 0xCC, 0), -1);
  // A picture of 64-row bands, then a last band of 20 rows.
  EXPECT_EQ(ClassifyImageBand(&t, 4960, 64, 24, 2, 0xCC, 1), kBandNewPicture);
  EXPECT_EQ(t.groupWidth, 4960u);
  EXPECT_EQ(t.groupHeight, 64u);
  EXPECT_EQ(ClassifyImageBand(&t, 4960, 64, 24, 2, 0xCC, 1), kBandContinues);
  EXPECT_EQ(ClassifyImageBand(&t, 4960, 20, 24, 2, 0xCC, 1), kBandContinues);
  EXPECT_EQ(t.trackedHeight, 0u) << "the height is no longer tracked";
  EXPECT_EQ(ClassifyImageBand(&t, 4960, 99, 24, 2, 0xCC, 1), kBandContinues);
  EXPECT_EQ(ClassifyImageBand(&t, 100, 99, 24, 2, 0xCC, 1), kBandNewPicture);
  // Column bands: the same height with another width continues and drops the width.
  EXPECT_EQ(ClassifyImageBand(&t, 50, 99, 24, 2, 0xCC, 1), kBandContinues);
  EXPECT_EQ(t.trackedWidth, 0u);
  EXPECT_EQ(ClassifyImageBand(&t, 70, 99, 24, 2, 0xCC, 1), kBandContinues);
  EXPECT_EQ(ClassifyImageBand(&t, 70, 98, 24, 2, 0xCC, 1), kBandNewPicture);
  // Another origin or depth starts a new picture.
  EXPECT_EQ(ClassifyImageBand(&t, 70, 98, 24, 2, 0xCC, 2), kBandNewPicture);
  EXPECT_EQ(ClassifyImageBand(&t, 70, 98, 32, 2, 0xCC, 2), kBandNewPicture);
  // Anything but a 16, 24 or 32-bit source copy clears the tracker.
  for (const auto& other : {std::make_tuple(WORD{8}, BYTE{2}, DWORD{0xCC}), std::make_tuple(WORD{24}, BYTE{3}, DWORD{0xCC}),
                            std::make_tuple(WORD{16}, BYTE{2}, DWORD{0x66})}) {
    t = ImageBandTracker{1, 24, 5, 5, 5, 5};
    EXPECT_EQ(ClassifyImageBand(&t, 5, 5, std::get<0>(other), std::get<1>(other), std::get<2>(other), 1),
              kBandNotPicture);
    EXPECT_EQ(t.bitsPerPixel, 0);
    EXPECT_EQ(t.groupWidth, 0u);
  }
  EXPECT_EQ(ClassifyImageBand(&t, 5, 5, 16, 2, 0xCC, 0), kBandNewPicture) << "after a clear, always new";
}

}  // namespace
