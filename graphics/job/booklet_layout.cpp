#include "graphics/job/booklet_layout.h"

namespace {

constexpr int kPagesPerSheet = 4;

bool Odd(int v) { return (v & 1) != 0; }

}  // namespace

WORD BookletSideCount(WORD first, WORD last, BOOL cover) {
  if (!cover || first != 0) return static_cast<WORD>((last - first + 4) / 4 * 2);
  return static_cast<WORD>((last + 6) / 4 * 2 - 1);
}

WORD SplitBookletSubsets(WORD pages, BOOL reverse, WORD perSubset, BookletSubset* subsets) {
  if (pages == 0 || perSubset == 0) return 0;
  const int sheets = (pages + 3) / kPagesPerSheet;
  const int count = (sheets + perSubset - 1) / perSubset;
  if (subsets == nullptr) return static_cast<WORD>(count);
  const int base = sheets / count;
  const int extra = sheets % count;
  int next = 0;
  for (int i = 0; i < count; ++i) {
    const int own = i < extra ? base + 1 : base;
    int last = next + kPagesPerSheet * own - 1;
    if (last > pages - 1) last = pages - 1;
    BookletSubset& s = subsets[reverse ? count - 1 - i : i];
    s.first = static_cast<WORD>(next);
    s.last = static_cast<WORD>(last);
    next = last + 1;
  }
  return static_cast<WORD>(count);
}

int IsBookletGroupComplete(WORD first, WORD last, WORD groupSheets, BOOL cover) {
  if (groupSheets == 0) return 2;
  const int pages = kPagesPerSheet * groupSheets;
  if (!cover || first != 0) return last - first + 1 >= pages ? 1 : 2;
  return last + 1 >= pages - 2 ? 1 : 2;
}

WORD BookletPagePosition(WORD first, WORD last, WORD side, DWORD binding, WORD half, BOOL reversed, BOOL cover) {
  const int s = BookletSideCount(first, last, cover);
  const int i = side;
  int page;
  if (!reversed) {
    const int shift = first == 0 && s == i + 1 && cover ? 1 : 0;
    const bool t = Odd(i + shift) != (binding == 1);
    page = t != (half == 1) ? first + s - i - 1 : first + s + i;
  } else {
    const int shift = first == 0 && cover && i != 0 ? 1 : 0;
    const bool t = Odd(i + shift) != (binding == 1);
    page = t != (half == 1) ? first + 2 * s - i - 1 : first + i;
  }
  return page > last ? kBlankPage : static_cast<WORD>(page);
}
