// Page colour detection: the grey tests, the class of each object and the page's decision, and
// the colour census with its capacity, white mode and merging.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "graphics/device/pdev.h"
#include "graphics/imaging/color_detection.h"
#include "graphics/imaging/page_color.h"

namespace {
using Bytes = std::vector<BYTE>;

ColorSet NewSet(WORD capacity, DWORD whiteMode = 0) {
  ColorSet s{};
  s.Collecting = 1;
  s.Capacity = capacity;
  s.WhiteMode = whiteMode;
  for (DWORD& slot : s.Slots) slot = 0xFFFFFF;
  return s;
}

std::vector<DWORD> Colors(const ColorSet& s) {
  const int used = s.Count > s.Capacity ? s.Capacity : s.Count;
  return std::vector<DWORD>(s.Slots + 1, s.Slots + 1 + used);
}

// A device with an open page whose colour is undecided.
std::unique_ptr<Pdev> OpenPage(BOOL tolerant = FALSE) {
  auto pdev = std::make_unique<Pdev>();
  pdev->job.flags = 0x7;
  pdev->pageColor.PageColor = kPageColorUndecided;
  pdev->pageColor.TolerantGrey = tolerant;
  return pdev;
}
}  // namespace

TEST(ColorDetection, NearGreyUsesTheToleranceOfTheMean) {
  struct Case {
    int r, g, b, expected;
  } cases[] = {
      {128, 130, 126, 1},  // mean 128, tolerance 5
      {250, 255, 251, 0},  // mean 252, tolerance 2: 255 is too far
      {7, 7, 7, 1},        {0, 5, 10, 1},      {0, 6, 12, 0},     {100, 103, 97, 1},
      {200, 195, 205, 0},  {253, 255, 254, 1}, {191, 196, 186, 1}, {192, 197, 187, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(IsNearGrey(c.r, c.g, c.b), c.expected) << c.r << "," << c.g << "," << c.b;
}

TEST(ColorDetection, RgbRowsAreClassifiedByTheirTest) {
  const Bytes grey{9, 9, 9, 200, 200, 200}, nearGrey{9, 9, 9, 128, 130, 126}, colour{9, 9, 9, 0, 0, 255};
  struct Case {
    const Bytes* pixels;
    LONG height;
    int test, expected;
  } cases[] = {
      {&grey, 1, kGreyTestStrict, kClassGrey},          {&nearGrey, 1, kGreyTestStrict, kClassColor},
      {&nearGrey, 1, kGreyTestTolerant, kClassNearGrey}, {&colour, 1, kGreyTestTolerant, kClassColor},
      {&colour, 0, kGreyTestStrict, kClassGrey},         {&colour, 0, kGreyTestTolerant, kClassNearGrey},
      {&grey, 1, 3, kClassUnknown},
  };
  for (const Case& c : cases) EXPECT_EQ(ClassifyRgbRows(c.pixels->data(), 2, c.height, c.test), c.expected);
}

TEST(ColorDetection, IndexedRowsLookAtTheEntriesTheirPixelsUse) {
  const Bytes blackWhite{0, 0, 0, 255, 255, 255};
  const Bytes withRed{0, 0, 0, 255, 255, 255, 0, 0, 255, 128, 130, 126};
  struct Case {
    const char* what;
    Bytes rows;
    LONG width, height;
    const Bytes* palette;
    int bits, test, expected;
  } cases[] = {
      {"black and white palette, any pixels", {0xA5, 0xFF}, 16, 1, &blackWhite, 1, kGreyTestStrict, kClassGrey},
      {"8-bit, red used", {0, 1, 2}, 3, 1, &withRed, 8, kGreyTestStrict, kClassColor},
      {"8-bit, red unused", {0, 1, 1}, 3, 1, &withRed, 8, kGreyTestStrict, kClassGrey},
      {"8-bit, near grey strict", {3}, 1, 1, &withRed, 8, kGreyTestStrict, kClassColor},
      {"8-bit, near grey tolerant", {3, 0}, 2, 1, &withRed, 8, kGreyTestTolerant, kClassNearGrey},
      {"4-bit, red in the low nibble", {0x12}, 2, 1, &withRed, 4, kGreyTestStrict, kClassColor},
      {"4-bit, odd width ignores the last nibble", {0x12}, 1, 1, &withRed, 4, kGreyTestStrict, kClassGrey},
      {"4-bit rows of one byte each", {0x10, 0x02}, 1, 2, &withRed, 4, kGreyTestStrict, kClassGrey},
      {"8-bit, short palette all grey", {0, 1, 7}, 3, 1, &blackWhite, 8, kGreyTestStrict, kClassGrey},
      {"8-bit, short palette all near grey", {7}, 1, 1, &blackWhite, 8, kGreyTestTolerant, kClassNearGrey},
      {"index past a palette with colour", {0, 7}, 2, 1, &withRed, 8, kGreyTestStrict, kClassColor},
      {"2 bits", {0}, 4, 1, &blackWhite, 2, kGreyTestStrict, kClassUnknown},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ClassifyIndexedRows(c.rows.data(), c.width, c.height, c.palette->data(), DWORD(c.palette->size() / 3),
                                  c.bits, c.test),
              c.expected)
        << c.what;
}

TEST(ColorDetection, TheFirstColouredObjectDecidesThePage) {
  auto pdev = OpenPage();
  ColorSet set = NewSet(15);
  DWORD word = 0;
  const Bytes grey{50, 50, 50}, red{0, 0, 255}, blue{255, 0, 0};
  EXPECT_EQ(DetectImageColor(&word, &set, pdev.get(), grey.data(), 1, 1, nullptr, 0, kColorFormatRgb, 24, 0), 0);
  EXPECT_EQ(word, DWORD{kClassGrey});
  EXPECT_EQ(pdev->pageColor.PageColor, kPageColorUndecided);
  EXPECT_EQ(DetectImageColor(&word, &set, pdev.get(), red.data(), 1, 1, nullptr, 0, kColorFormatRgb, 24, 0), 0);
  EXPECT_EQ(word, DWORD{kClassColor});
  EXPECT_EQ(pdev->pageColor.PageColor, kPageColorColor);
  // Decided: no longer classified, still counted.
  EXPECT_EQ(DetectImageColor(&word, &set, pdev.get(), blue.data(), 1, 1, nullptr, 0, kColorFormatRgb, 24, 0), 0);
  EXPECT_EQ(word, DWORD{kClassUnknown});
  EXPECT_EQ(Colors(set), (std::vector<DWORD>{0x323232, 0x0000FF, 0xFF0000}));
  // A format that cannot be classified is not counted either.
  EXPECT_EQ(DetectImageColor(&word, &set, pdev.get(), blue.data(), 1, 1, nullptr, 0, 3, 8, 0), 0);
  EXPECT_EQ(set.Count, 3);
}

TEST(ColorDetection, DetectionAnswersForEachSituation) {
  const Bytes nearGrey{126, 130, 128, 126, 130, 128}, palette{0, 0, 0, 0, 0, 255}, index{0x40};
  struct Case {
    const char* what;
    DWORD jobFlags;
    BOOL tolerant;
    const Bytes* data;
    const Bytes* palette;
    int format, bits, expected;
    DWORD word;
    LONG pageColor;
  } cases[] = {
      {"strict test", 0x7, FALSE, &nearGrey, nullptr, kColorFormatRgb, 24, 0, kClassColor, kPageColorColor},
      {"tolerant test", 0x7, TRUE, &nearGrey, nullptr, kColorFormatRgb, 24, 0, kClassNearGrey, kPageColorUndecided},
      {"no page open", 0x3, FALSE, &nearGrey, nullptr, kColorFormatRgb, 24, 0, kClassUnknown, kPageColorUndecided},
      {"16 bits", 0x7, FALSE, &nearGrey, nullptr, kColorFormatRgb, 16, -1, kClassUnknown, kPageColorUndecided},
      {"indexed without palette", 0x7, FALSE, &index, nullptr, kColorFormatIndexed, 1, -1, kClassUnknown, kPageColorUndecided},
      {"indexed, red pixel", 0x7, FALSE, &index, &palette, kColorFormatIndexed, 1, 0, kClassColor, kPageColorColor},
  };
  for (const Case& c : cases) {
    auto pdev = OpenPage(c.tolerant);
    pdev->job.flags = c.jobFlags;
    ColorSet set = NewSet(15);
    DWORD word = 0;
    EXPECT_EQ(DetectImageColor(&word, &set, pdev.get(), c.data->data(), 2, 1, c.palette ? c.palette->data() : nullptr,
                               c.palette ? 2 : 0, c.format, c.bits, 0),
              c.expected)
        << c.what;
    EXPECT_EQ(word, c.word) << c.what;
    EXPECT_EQ(pdev->pageColor.PageColor, c.pageColor) << c.what;
  }
  auto pdev = OpenPage();
  ColorSet set = NewSet(15);
  DWORD word = 0;
  EXPECT_EQ(DetectImageColor(nullptr, &set, pdev.get(), nearGrey.data(), 1, 1, nullptr, 0, kColorFormatRgb, 24, 0), -1);
  EXPECT_EQ(DetectImageColor(&word, &set, nullptr, nearGrey.data(), 1, 1, nullptr, 0, kColorFormatRgb, 24, 0), -1);
  EXPECT_EQ(word, DWORD{kClassUnknown});
  word = 0;
  EXPECT_EQ(DetectImageColor(&word, nullptr, pdev.get(), nearGrey.data(), 1, 1, nullptr, 0, kColorFormatRgb, 24, 0), -1);
  EXPECT_EQ(word, DWORD{kClassUnknown});
  set.WhiteMode = 2;  // a census failure fails the detection
  EXPECT_EQ(DetectImageColor(&word, &set, pdev.get(), nearGrey.data(), 1, 1, nullptr, 0, kColorFormatRgb, 24, 0), -1);
}

TEST(ColorDetection, SolidObjectsReuseTheirClass) {
  const Bytes grey{50, 50, 50}, red{0, 0, 255};
  struct Case {
    DWORD word;
    const Bytes* pixels;
    int format, bits, reuse, expected;
  } cases[] = {
      {kClassColor, &grey, kColorFormatRgb, 24, 1, 1}, {kClassGrey, &red, kColorFormatRgb, 24, 1, 2},
      {kClassNearGrey, &red, kColorFormatRgb, 24, 1, 1}, {kClassColor, &grey, kColorFormatRgb, 24, 0, 2},
      {kClassColor, &red, 3, 8, 0, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckObjectGrey(&c.word, c.pixels->data(), 1, 1, c.format, c.bits, c.reuse), c.expected);
}

TEST(ColorCensus, TheSetStopsPastItsCapacity) {
  ColorSet set = NewSet(15);
  for (DWORD c = 1; c <= 15; ++c) EXPECT_EQ(AddColorToSet(&set, c), 0);
  EXPECT_EQ(AddColorToSet(&set, 3), 0);  // already there
  EXPECT_EQ(set.Count, 15);
  EXPECT_EQ(set.Collecting, 1u);
  EXPECT_EQ(AddColorToSet(&set, 16), 0);
  EXPECT_EQ(set.Collecting, 0u);
  EXPECT_EQ(set.Count, 16);
  EXPECT_EQ(AddColorToSet(&set, 17), 0);
  EXPECT_EQ(set.Count, 16);
  EXPECT_EQ(set.Slots[15], 15u);
  EXPECT_EQ(AddColorToSet(nullptr, 1), -1);
}

TEST(ColorCensus, WhiteCountsOnlyInWhiteMode1) {
  for (DWORD mode : {0u, 1u, 2u}) {
    ColorSet set = NewSet(4, mode);
    EXPECT_EQ(AddColorToSet(&set, 0xFFFFFF), mode == 2 ? -1 : 0);
    EXPECT_EQ(set.Count, mode == 1 ? 1 : 0) << mode;
  }
}

TEST(ColorCensus, ImagesOfEachDepthAreCounted) {
  const Bytes palette{0, 0, 0, 255, 255, 255, 1, 2, 3, 4, 5, 6};
  const Bytes greyPalette{0, 255, 7, 9};
  struct Case {
    const char* what;
    Bytes rows;
    LONG width, height;
    int bits, rgb;
    const Bytes* palette;
    std::vector<DWORD> expected;
  } cases[] = {
      {"1-bit", {0x80, 0x00}, 9, 1, 1, 1, &palette, {0x000000}},
      {"1-bit grey palette", {0x40, 0x00}, 9, 1, 1, 0, &greyPalette, {0x000000}},
      {"4-bit odd width", {0x23, 0x20}, 3, 1, 4, 1, &palette, {0x010203, 0x040506}},
      {"4-bit index past the palette", {0x72}, 2, 1, 4, 1, &palette, {0x010203}},
      {"8-bit", {3, 2, 0, 1}, 2, 2, 8, 1, &palette, {0x040506, 0x010203, 0x000000}},
      {"8-bit grey", {2, 3}, 2, 1, 8, 0, &greyPalette, {0x070707, 0x090909}},
      {"24-bit", {1, 2, 3, 1, 2, 3, 9, 8, 7}, 3, 1, 24, 1, nullptr, {0x010203, 0x090807}},
      {"24-bit grey", {5, 6, 5}, 3, 1, 24, 0, nullptr, {0x050505, 0x060606}},
  };
  for (const Case& c : cases) {
    ColorSet set = NewSet(15);
    EXPECT_EQ(CountImageColors(&set, c.rows.data(), c.width, c.height, c.bits, c.rgb, c.palette ? c.palette->data() : nullptr,
                               c.palette ? DWORD(c.palette->size() / (c.rgb ? 3 : 1)) : 0),
              0)
        << c.what;
    EXPECT_EQ(Colors(set), c.expected) << c.what;
  }
  ColorSet set = NewSet(15);
  const Bytes rows{1, 2, 3};
  EXPECT_EQ(CountImageColors(&set, rows.data(), 1, 1, 16, 1, nullptr, 0), -1);
  EXPECT_EQ(CountImageColors(nullptr, rows.data(), 1, 1, 24, 1, nullptr, 0), -1);
  EXPECT_EQ(CountImageColors(&set, nullptr, 1, 1, 24, 1, nullptr, 0), -1);
  set.Collecting = 0;
  EXPECT_EQ(CountImageColors(&set, rows.data(), 1, 1, 24, 1, nullptr, 0), -1);
}

// Merging reads only the slots the other set filled; one that stopped stops the merged set.
TEST(ColorCensus, MergingTakesTheOtherSetsColours) {
  ColorSet other = NewSet(15);
  for (DWORD c = 1; c <= 16; ++c) AddColorToSet(&other, c);
  ColorSet set = NewSet(15);
  AddColorToSet(&set, 2);
  MergeColorSets(&set, &other);
  EXPECT_EQ(set.Count, 15);
  EXPECT_EQ(set.Collecting, 0u);
  ColorSet small = NewSet(5);
  AddColorToSet(&small, 0x10);
  ColorSet into = NewSet(15);
  AddColorToSet(&into, 0x10);
  MergeColorSets(&into, &small);
  EXPECT_EQ(Colors(into), std::vector<DWORD>{0x10});
  EXPECT_EQ(into.Collecting, 1u);
}
