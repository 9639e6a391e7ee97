// The page's colour state that colour detection reads and sets: whether the page's colour is
// decided, which grey test applies, and the page's colour census.
#pragma once

#include "graphics/imaging/color_detection.h"
#include "platform/base/types.h"

struct Pdev;

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

// 0 while the job has begun its output and the page colour is undecided (and without a
// device); else 1.
int IsPageColorDecided(const Pdev* pdev);
// 1 for the strict grey test, 0 without a device, when the colour is decided or when the
// tolerant test is asked for.
int UseStrictGreyTest(const Pdev* pdev);
// Marks an undecided page as coloured; -1 when it was decided.
int MarkPageColor(Pdev* pdev);
