#include "graphics/job/booklet_output.h"

#include <algorithm>
#include <vector>

#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/booklet_cell.h"
#include "graphics/job/booklet_layout.h"
#include "graphics/job/page_recording.h"
#include "graphics/job/page_start.h"
#include "graphics/job/page_store.h"

namespace {

constexpr WORD kBookletPageRoom = 80;
constexpr DWORD kBookletKind = kPageKindKeep | kPageKindStart | kPageKindShow | kPageKindEnd | kPageKindAxis;
// Models with this feature stack the booklet's sheets innermost first.
constexpr DWORD kFeatureInnerSheetFirst = 0x400;
constexpr LONG kBookletWhole = 0;
constexpr LONG kBookletSubsets = 1;
constexpr LONG kBookletGroups = 2;
constexpr LONG kInsertedSheetForCover = 1;
constexpr int kPagesPerSheet = 4;
// The pages a cover leaves out of the first group: the cover's side takes one page alone.
constexpr int kCoverShift = 2;

bool IsStoreOpen(const Pdev* pdev) { return (pdev->job.pageStoreState & kPageStoreOpen) != 0; }

// Sheets per subset or group: a setting below 1 would divide the booklet into nothing, so
// it counts as one sheet.
WORD SheetsPerPart(const RenderSettings& r) { return static_cast<WORD>(r.bookletSubset < 1 ? 1 : r.bookletSubset); }

// Replays one page onto its half of the current side; `other` is the side's other page (or
// none), whose colour the side's page start shares.
int ReplayBookletPage(Pdev* pdev, WORD page, WORD half, WORD other, DWORD flags, LONG mediaOverride) {
  PageState& state = pdev->pageState;
  if (GetPageRecord(pdev, &state.page, &state.orientation, page) != 0) return -1;
  BookletCell cell;
  float placement[6];
  if (ComputeBookletCell(&cell, &state, half, state.bookletBinding == 2) != 0 ||
      ComputeCellPlacement(placement, &cell, pdev->job.sidesOnSheet) != 0)
    return -1;
  StoredPageJob job;
  FillStoredPageJob(pdev, &job);
  const int result = ReplayPageRange(&job, page, flags, placement, other, pdev->render.colorMode, mediaOverride);
  FinishStoredPageJob(pdev, job);
  return result;
}

// The media override of a side that carries the first pages: the inserted sheet's source.
int SideMediaOverride(Pdev* pdev, WORD p, WORD q, LONG* media, SHORT* source) {
  const RenderSettings& r = pdev->render;
  *media = kNoMediaOverride;
  *source = pdev->pageState.paperSource;
  if (r.insertedSheetMode != kInsertedSheetForCover) return 0;
  const bool coverSide = p == 0 || q == 0 || (!r.bookletCover && (p == 1 || q == 1));
  if (!coverSide) return 0;
  WORD code = 0;
  if (GetSourceCode(pdev, r.insertedSheetPaper, &code) != 0) return -1;
  *media = code;
  *source = r.insertedSheetPaper;
  return 0;
}

// Booklets in groups of g sheets: each group is a booklet of its own. With a cover the first
// group (when the store begins with the document's first page) holds two pages fewer.
int OutputGroups(Pdev* pdev, WORD first, WORD last) {
  const RenderSettings& r = pdev->render;
  const int b = kPagesPerSheet * SheetsPerPart(r);
  const int shift = r.bookletCover && first == 0 ? kCoverShift : 0;
  const int stored = last - first + 1;
  const int groups = (stored + shift + b - 1) / b;
  int result = 0;
  for (int i = 0; i < groups; ++i) {
    const int g = r.reverseOrder ? groups - 1 - i : i;
    const int start = first + g * b - (g != 0 ? shift : 0);
    const int end = std::min<int>(g == 0 ? first + b - 1 - shift : start + b - 1, last);
    result |= LayOutSheet(pdev, static_cast<WORD>(start), static_cast<WORD>(end));
  }
  return result;
}

int OutputSubsets(Pdev* pdev, WORD first, WORD stored) {
  const RenderSettings& r = pdev->render;
  const WORD per = SheetsPerPart(r);
  std::vector<BookletSubset> subsets(SplitBookletSubsets(stored, r.reverseOrder, per, nullptr));
  SplitBookletSubsets(stored, r.reverseOrder, per, subsets.data());
  int result = 0;
  for (const BookletSubset& s : subsets)
    result |= LayOutSheet(pdev, static_cast<WORD>(first + s.first), static_cast<WORD>(first + s.last));
  return result;
}

}  // namespace

int BeginBookletStore(Pdev* pdev) {
  if (pdev == nullptr || pdev->render.tiles || pdev->pageState.nup > 1) return -1;
  if (BeginPageStore(pdev, pdev->job.sides, kBookletPageRoom) != 0) return -1;
  if ((pdev->modelFeatures[0] & kFeatureInnerSheetFirst) == 0) pdev->render.bookletOrder = 1;
  return 0;
}

int BeginBookletPageRecord(Pdev* pdev) {
  if (pdev == nullptr || !pdev->render.booklet || pdev->render.tiles || pdev->pageState.nup != 1) return -1;
  return BeginNextPageRecord(pdev, kBookletKind);
}

int EndBookletPageRecord(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  JobState& job = pdev->job;
  int result = EndStoredPageRecordIfOpen(pdev, static_cast<WORD>(job.firstStoredPage + job.storedPages));
  const RenderSettings& r = pdev->render;
  if (r.bookletKind == kBookletGroups && job.storedPages != 0 &&
      IsBookletGroupComplete(job.firstStoredPage, static_cast<WORD>(job.firstStoredPage + job.storedPages - 1),
                             SheetsPerPart(r), r.bookletCover) == 1) {
    result |= OutputBookletIfStored(pdev);
    result |= EndPageStore(pdev);
  }
  return result;
}

int OutputBookletIfStored(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  if (!IsStoreOpen(pdev) || pdev->job.storedPages == 0) return 0;
  // The layout replays pages with their own paper and side: the document's own values go on.
  const PageState state = pdev->pageState;
  const JobState job = pdev->job;
  const int result = OutputBookletSheets(pdev);
  pdev->pageState = state;
  pdev->job.sidesOnSheet = job.sidesOnSheet;
  pdev->job.mediaCode = job.mediaCode;
  pdev->job.colorParameter = job.colorParameter;
  pdev->job.colorCount = job.colorCount;
  pdev->job.flags = (pdev->job.flags & ~kJobSideOpen) | (job.flags & kJobSideOpen);
  return result;
}

int OutputBookletSheets(Pdev* pdev) {
  if (pdev == nullptr || (pdev->job.flags & kJobOutputBegun) == 0) return -1;
  const WORD stored = pdev->job.storedPages;
  if (stored == 0) return 0;
  const WORD first = pdev->job.firstStoredPage;
  const WORD last = static_cast<WORD>(first + stored - 1);
  switch (pdev->render.bookletKind) {
    case kBookletGroups: return OutputGroups(pdev, first, last);
    case kBookletSubsets: return OutputSubsets(pdev, first, stored);
    case kBookletWhole:
    default: return LayOutSheet(pdev, first, last);
  }
}

int LayOutSheet(Pdev* pdev, WORD first, WORD last) {
  if (pdev == nullptr || (pdev->job.flags & kJobOutputBegun) == 0 || last < first) return -1;
  const RenderSettings& r = pdev->render;
  const BOOL cover = r.bookletCover != 0;
  const WORD sides = BookletSideCount(first, last, cover);
  if (sides == 0) return -1;
  const BOOL reversed = (r.bookletOrder != 0) != (r.reverseOrder != 0);
  const DWORD binding = pdev->pageState.bookletBinding;
  int result = 0;
  for (WORD i = 0; i < sides; ++i) {
    pdev->job.sidesOnSheet = i % 2;
    const WORD p = BookletPagePosition(first, last, i, binding, kBookletFirstHalf, reversed, cover);
    const WORD q = BookletPagePosition(first, last, i, binding, kBookletSecondHalf, reversed, cover);
    LONG media = kNoMediaOverride;
    SHORT source = 0;
    if (SideMediaOverride(pdev, p, q, &media, &source) != 0) {
      result = -1;
      continue;
    }
    if (p == kBlankPage && q == kBlankPage) {
      if (!reversed) result |= SetUpPage(pdev, source);
    } else if (p == kBlankPage || q == kBlankPage) {
      const bool firstHalf = q == kBlankPage;
      result |= ReplayBookletPage(pdev, firstHalf ? p : q, firstHalf ? kBookletFirstHalf : kBookletSecondHalf,
                                  kBlankPage, kReplayWholePage, media);
    } else {
      // The higher page opens the side (its page start), the lower one shows and ends it.
      const bool pHigher = p > q;
      const WORD high = pHigher ? p : q, low = pHigher ? q : p;
      const WORD highHalf = pHigher ? kBookletFirstHalf : kBookletSecondHalf;
      const WORD lowHalf = pHigher ? kBookletSecondHalf : kBookletFirstHalf;
      result |= ReplayBookletPage(pdev, high, highHalf, low, kReplayPageStart | kReplayAxis, media);
      result |= ReplayBookletPage(pdev, low, lowHalf, high, kReplayShowPage | kReplayEndPage | kReplayAxis, media);
    }
  }
  if (InvalidateStateCache(pdev->emitter) != 0) result = -1;
  return result;
}
