#include "graphics/imaging/page_color.h"

#include "graphics/device/pdev.h"

namespace {
// Job flags 1, 2 and 4: the job has started, its output has begun and a page is open; only
// then does an automatic page colour wait for its first coloured object.
constexpr DWORD kPageOpenFlags = 0x1 | kJobOutputBegun | 0x4;

bool IsUndecided(const Pdev* pdev) {
  return (pdev->job.flags & kPageOpenFlags) == kPageOpenFlags && pdev->pageColor.PageColor == kPageColorUndecided;
}
}  // namespace

int IsPageColorDecided(const Pdev* pdev) { return pdev == nullptr || IsUndecided(pdev) ? 0 : 1; }

int UseStrictGreyTest(const Pdev* pdev) {
  if (pdev == nullptr || !IsUndecided(pdev)) return 0;
  return pdev->pageColor.TolerantGrey ? 0 : 1;
}

int MarkPageColor(Pdev* pdev) {
  if (pdev == nullptr || !IsUndecided(pdev)) return -1;
  pdev->pageColor.PageColor = kPageColorColor;
  return 0;
}
