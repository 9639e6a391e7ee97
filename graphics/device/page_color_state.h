// The page's colour state the device record keeps: whether the page's colour is decided,
// which grey test applies, and the page's colour census.
#pragma once

#include "platform/base/types.h"

inline constexpr int kColorSetSlots = 16;
inline constexpr int kColorSetMaxCapacity = 15;
inline constexpr DWORD kColorWhite = 0xFFFFFF;

// The page's colour census: slots 1 to capacity hold the distinct colours met, in order.
struct ColorSet {
  DWORD Collecting;  // non-zero while collecting
  WORD Count;
  WORD Capacity;     // at most 15
  DWORD WhiteMode;   // 0 pure white is not counted, 1 it is
  DWORD Slots[kColorSetSlots];
};
static_assert(sizeof(ColorSet) == 76);

enum PageColor : LONG {
  kPageColorUndecided = 0,  // automatic colour, nothing coloured seen yet
  kPageColorMonochrome = 1,
  kPageColorColor = 2,
  kPageColorForced = 3,  // colour forced by the application
};

struct PageColorState {
  LONG PageColor;
  BOOL TolerantGrey;  // setting item 1289: near greys count as grey
  ColorSet Census;    // the distinct colours of the page
};
