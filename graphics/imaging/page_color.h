// The page's colour state that colour detection reads and sets: whether the page's colour is
// decided, which grey test applies, and the page's colour census.
#pragma once

#include "graphics/device/page_color_state.h"
#include "graphics/imaging/color_detection.h"
#include "platform/base/types.h"

struct Pdev;

// 0 while the job has begun its output and the page colour is undecided (and without a
// device); else 1.
int IsPageColorDecided(const Pdev* pdev);
// 1 for the strict grey test, 0 without a device, when the colour is decided or when the
// tolerant test is asked for.
int UseStrictGreyTest(const Pdev* pdev);
// Marks an undecided page as coloured; -1 when it was decided.
int MarkPageColor(Pdev* pdev);
