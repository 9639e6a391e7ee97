#include "graphics/imaging/color_detection.h"

#include "graphics/imaging/page_color.h"

namespace {
// The colour value of three bytes b0, b1, b2.
DWORD ColorOf(const BYTE* p) { return (DWORD{p[0]} << 16) | (DWORD{p[1]} << 8) | p[2]; }
DWORD GreyColor(BYTE v) { return v * 0x010101u; }

bool IsGreyEntry(const BYTE* p, int test) {
  return test == kGreyTestStrict ? p[0] == p[1] && p[1] == p[2] : IsNearGrey(p[0], p[1], p[2]) != 0;
}

// The index of pixel i of a row of 1, 4 or 8-bit pixels.
DWORD PixelIndex(const BYTE* row, LONG i, int bits) {
  switch (bits) {
    case 1:
      return (row[i >> 3] & (0x80 >> (i & 7))) != 0;
    case 4:
      return (i & 1) == 0 ? row[i >> 1] >> 4 : row[i >> 1] & 0x0F;
    default:
      return row[i];
  }
}

std::size_t RowBytes(LONG width, int bits) { return (static_cast<std::size_t>(width) * bits + 7) >> 3; }
}  // namespace

int IsNearGrey(int r, int g, int b) {
  if (r == g && g == b) return 1;
  const float mean = static_cast<float>((r + g + b) / 3.0);
  static constexpr int kTolerance[4] = {5, 5, 5, 2};
  const float tolerance = static_cast<float>(kTolerance[(static_cast<int>(mean) & 0xFF) >> 6]);
  const int lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
  const int hi = r > g ? (r > b ? r : b) : (g > b ? g : b);
  return lo >= mean - tolerance && hi <= mean + tolerance ? 1 : 0;
}

int ClassifyRgbRows(const BYTE* pixels, LONG width, LONG height, int test) {
  if (test != kGreyTestStrict && test != kGreyTestTolerant) return kClassUnknown;
  const std::size_t count = width > 0 && height > 0 ? static_cast<std::size_t>(width) * height : 0;
  for (std::size_t i = 0; i < count; ++i)
    if (!IsGreyEntry(pixels + 3 * i, test)) return kClassColor;
  return test == kGreyTestStrict ? kClassGrey : kClassNearGrey;
}

int ClassifyIndexedRows(const BYTE* rows, LONG width, LONG height, const BYTE* palette, DWORD entryCount,
                        int bitsPerPixel, int test) {
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8) return kClassUnknown;
  if (test != kGreyTestStrict && test != kGreyTestTolerant) return kClassUnknown;
  const int grey = test == kGreyTestStrict ? kClassGrey : kClassNearGrey;
  bool allGrey = true;
  for (DWORD e = 0; e < entryCount && allGrey; ++e) allGrey = IsGreyEntry(palette + 3 * e, test);
  // Every entry grey: the image is grey whatever its pixels. A pixel whose index lies beyond a
  // short palette is read as not grey only where the pixels are looked at.
  if (allGrey || width <= 0 || height <= 0) return grey;
  const std::size_t stride = RowBytes(width, bitsPerPixel);
  for (LONG y = 0; y < height; ++y) {
    const BYTE* row = rows + y * stride;
    for (LONG x = 0; x < width; ++x) {
      const DWORD index = PixelIndex(row, x, bitsPerPixel);
      if (index >= entryCount || !IsGreyEntry(palette + 3 * index, test)) return kClassColor;
    }
  }
  return grey;
}

int DetectImageColor(DWORD* colorClassWord, ColorSet* set, Pdev* pdev, const BYTE* data, LONG width, LONG height,
                     const BYTE* palette, DWORD entryCount, int colorFormat, int bitsPerPixel, int) {
  if (colorClassWord == nullptr) return -1;
  if (pdev == nullptr || set == nullptr || data == nullptr) {
    *colorClassWord = kClassUnknown;
    return -1;
  }
  const bool rgb = colorFormat == kColorFormatRgb && bitsPerPixel == 24;
  const bool indexed = colorFormat == kColorFormatIndexed && palette != nullptr &&
                       (bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8);
  int colorClass = kClassUnknown;
  if (!IsPageColorDecided(pdev)) {
    const int test = UseStrictGreyTest(pdev) == 1 ? kGreyTestStrict : kGreyTestTolerant;
    if (rgb) colorClass = ClassifyRgbRows(data, width, height, test);
    if (indexed) colorClass = ClassifyIndexedRows(data, width, height, palette, entryCount, bitsPerPixel, test);
    // Only an object that cannot be classified fails; on a decided page nothing is classified.
    if (colorClass == kClassUnknown) {
      *colorClassWord = kClassUnknown;
      return -1;
    }
  }
  *colorClassWord = static_cast<DWORD>(colorClass);
  if (colorClass == kClassColor && MarkPageColor(pdev) != 0) return -1;
  if (set->Collecting == 1 && (rgb || indexed) &&
      CountImageColors(set, data, width, height, bitsPerPixel, 1, palette, entryCount) == -1)
    return -1;
  return 0;
}

int CheckObjectGrey(const DWORD* colorClassWord, const BYTE* pixels, LONG width, LONG height, int colorFormat,
                    int bitsPerPixel, int reuse) {
  if (reuse && colorClassWord != nullptr && (*colorClassWord == kClassColor || *colorClassWord == kClassGrey))
    return static_cast<int>(*colorClassWord);
  if (colorFormat == kColorFormatRgb && bitsPerPixel == 24 && pixels != nullptr)
    return ClassifyRgbRows(pixels, width, height, kGreyTestStrict);
  return -1;
}

int AddColorToSet(ColorSet* set, DWORD color) {
  if (set == nullptr || set->WhiteMode > 1) return -1;
  if (set->Collecting == 0) return 0;
  if (color == kColorWhite && set->WhiteMode == 0) return 0;
  const int capacity = set->Capacity > kColorSetMaxCapacity ? kColorSetMaxCapacity : set->Capacity;
  const int used = set->Count > capacity ? capacity : set->Count;
  for (int n = 1; n <= used; ++n)
    if (set->Slots[n] == color) return 0;
  ++set->Count;
  if (set->Count > capacity)
    set->Collecting = 0;
  else
    set->Slots[set->Count] = color;
  return 0;
}

int CountImageColors(ColorSet* set, const BYTE* rows, LONG width, LONG height, int bitsPerPixel, int rgbPalette,
                     const BYTE* palette, DWORD entryCount) {
  if (set == nullptr || rows == nullptr || set->Collecting == 0) return -1;
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24) return -1;
  if (bitsPerPixel != 24 && palette == nullptr) return -1;
  if (width <= 0 || height <= 0) return 0;
  const std::size_t entryBytes = rgbPalette ? 3 : 1;
  auto entryColor = [&](DWORD index) {
    const BYTE* e = palette + index * entryBytes;
    return rgbPalette ? ColorOf(e) : GreyColor(*e);
  };
  const std::size_t stride = bitsPerPixel == 24 ? static_cast<std::size_t>(width) * entryBytes : RowBytes(width, bitsPerPixel);
  int result = 0;
  for (LONG y = 0; y < height && set->Collecting != 0; ++y) {
    const BYTE* row = rows + y * stride;
    bool seen[2] = {false, false};
    for (LONG x = 0; x < width && set->Collecting != 0; ++x) {
      if (bitsPerPixel == 24) {
        result |= AddColorToSet(set, rgbPalette ? ColorOf(row + 3 * x) : GreyColor(row[x]));
        continue;
      }
      const DWORD index = PixelIndex(row, x, bitsPerPixel);
      if (index >= entryCount) continue;
      result |= AddColorToSet(set, entryColor(index));
      if (bitsPerPixel == 1) {
        seen[index] = true;
        if (seen[0] && seen[1]) break;  // both entries counted: the rest of the row adds nothing
      }
    }
  }
  return result;
}

void MergeColorSets(ColorSet* set, const ColorSet* other) {
  if (set == nullptr || other == nullptr) return;
  const int capacity = other->Capacity > kColorSetMaxCapacity ? kColorSetMaxCapacity : other->Capacity;
  const int used = other->Count > capacity ? capacity : other->Count;
  for (int n = 1; n <= used && set->Collecting != 0; ++n) AddColorToSet(set, other->Slots[n]);
  if (other->Collecting == 0) set->Collecting = 0;
}
