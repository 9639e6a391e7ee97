// Page colour detection: the grey tests of pixels and palettes, the class of each object
// drawn (coloured objects decide the page), and the page's colour census.
#pragma once

#include <cstddef>

#include "graphics/device/page_color_state.h"
#include "platform/base/types.h"

struct Pdev;

enum ColorClass : int {
  kClassColor = 1,
  kClassGrey = 2,      // every pixel has three equal bytes
  kClassNearGrey = 3,  // every pixel passes IsNearGrey
  kClassUnknown = 4,   // not classified
};

enum GreyTest : int { kGreyTestStrict = 1, kGreyTestTolerant = 2 };

// Colour formats of the objects checked.
inline constexpr int kColorFormatRgb = 4;
inline constexpr int kColorFormatIndexed = 11;

int IsNearGrey(int r, int g, int b);

// width x height three-byte pixels: the class by the strict or tolerant test; 4 for another test.
int ClassifyRgbRows(const BYTE* pixels, LONG width, LONG height, int test);

// Rows of 1, 4 or 8-bit indices ((width x bits + 7) >> 3 bytes each) into a palette of
// three-byte entries; an index past the entry count counts as coloured.
int ClassifyIndexedRows(const BYTE* rows, LONG width, LONG height, const BYTE* palette, DWORD entryCount,
                        int bitsPerPixel, int test);

// Classifies the object into the word (a coloured one decides the page) and counts its colours
// into the set while it collects. 0, or -1 (no word, no device, set or data, an object that
// cannot be classified, the page not marked, a census failure).
int DetectImageColor(DWORD* colorClassWord, ColorSet* set, Pdev* pdev, const BYTE* data, LONG width, LONG height,
                     const BYTE* palette, DWORD entryCount, int colorFormat, int bitsPerPixel, int reserved);

// Whether a solid object is grey: with reuse the class the word holds (1 or 2) stands;
// otherwise the strict test of 24-bit RGB pixels; -1 for any other object.
int CheckObjectGrey(const DWORD* colorClassWord, const BYTE* pixels, LONG width, LONG height, int colorFormat,
                    int bitsPerPixel, int reuse);

// 0, or -1 without a set or with a white mode other than 0 and 1.
int AddColorToSet(ColorSet* set, DWORD color);

// Counts the colours of packed rows (1, 4, 8 or 24 bits) until the set stops collecting; an
// index past the palette is skipped. The OR of the per-pixel results; -1 without a set or rows,
// for a set that stopped collecting, or another bit count.
int CountImageColors(ColorSet* set, const BYTE* rows, LONG width, LONG height, int bitsPerPixel, int rgbPalette,
                     const BYTE* palette, DWORD entryCount);

// Adds the other set's colours while the first collects; a set that stopped collecting stops
// the merged one.
void MergeColorSets(ColorSet* set, const ColorSet* other);
