#include "graphics/ddi/overlay_escapes.h"

#include <cstring>
#include <utility>

#include "graphics/ddi/escape_results.h"
#include "graphics/device/paper_layout.h"
#include "graphics/device/pdev.h"
#include "graphics/drawing/clip_cache.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/imaging/image_queue.h"
#include "graphics/job/job_control.h"
#include "graphics/job/page_geometry.h"

namespace {

constexpr DWORD kEndOfPage = 0, kEndOfDocument = 1;
constexpr DWORD kStampPosSize = 8;

// The 44-byte answer: three words and two rectangles {left, top, right, bottom} in pixels.
struct PageEndAnswer {
  DWORD sheetStamp;
  DWORD pageStamp;
  DWORD jobInformation;
  float page[4];
  float sheet[4];
};
static_assert(sizeof(PageEndAnswer) == kPageEndAnswerSize);

// The layout rectangle in pixels at the resolution.
void PutRectangle(float out[4], LONG left, LONG top, LONG right, LONG bottom, LONG resolution) {
  const LONG values[4] = {left, top, right, bottom};
  for (int i = 0; i < 4; ++i) out[i] = static_cast<float>(LayoutUnitsToPixels(values[i], resolution));
}

// The page area: the page's imageable rectangle, moved inward to the page's margins where they
// lie beyond the printable area's physical offsets (the two pairs exchanged on a turned page).
void PutPageArea(const Pdev* pdev, bool withMargins, LONG resolution, float out[4]) {
  const PaperLayout& layout = pdev->pageLayout;
  LONG left = layout.left, top = layout.top, right = layout.right, bottom = layout.bottom;
  if (withMargins) {
    const PagePaperBlock& page = pdev->pageState.page;
    const LONG x = page.centredLeft, y = page.centredTop;
    auto units = [](LONG tenths) { return TenthMmToLayoutUnits(tenths); };
    if (pdev->pageState.orientation == kPageLandscape) {
      left += units(page.bottomMargin - y);
      right -= units(page.topMargin - y);
      top += units(page.leftMargin - x);
      bottom -= units(page.rightMargin - x);
    } else {
      left += units(page.leftMargin - x);
      right -= units(page.rightMargin - x);
      top += units(page.topMargin - y);
      bottom -= units(page.bottomMargin - y);
    }
  }
  PutRectangle(out, left, top, right, bottom, resolution);
}

// The sheet area: the sheet's imageable rectangle, its corners exchanged for a turned page.
void PutSheetArea(const Pdev* pdev, LONG resolution, float out[4]) {
  const PaperLayout& layout = pdev->sheetLayout;
  LONG left = layout.left, top = layout.top, right = layout.right, bottom = layout.bottom;
  if (GetLandscapeForStamp(&pdev->pageState, pdev->render.booklet != 0)) {
    std::swap(left, top);
    std::swap(right, bottom);
  }
  PutRectangle(out, left, top, right, bottom, resolution);
}

}  // namespace

LONG HandlePageEndEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG cjOut, BYTE* out) {
  if (out == nullptr || cjOut != kPageEndAnswerSize) return kEscBadArgument;
  DWORD end = kEndOfPage;
  if (in != nullptr && cjIn == 4) std::memcpy(&end, in, sizeof end);
  if (end != kEndOfPage && end != kEndOfDocument) return kEscBadArgument;
  PageEndAnswer answer{};
  constexpr DWORD kSideFlags = kJobStarted | kJobOutputBegun | kJobSideOpen;
  const JobState& job = pdev->job;
  if ((job.flags & kSideFlags) != kSideFlags) {
    std::memcpy(out, &answer, sizeof answer);
    return kEscDone;
  }
  const RenderSettings& r = pdev->render;
  const WORD perSheet = r.nUp;
  if (perSheet == 0) return kEscBadArgument;
  // The page and sheet numbers of what ends now, counted from 1.
  WORD page = job.pages;
  const WORD sheet = static_cast<WORD>(job.sheets + 1);
  bool sheetEnds;
  if (end == kEndOfPage) {
    ++page;
    sheetEnds = page % perSheet == 0;
  } else {
    sheetEnds = page % perSheet != 0;  // a partly filled last sheet
  }
  answer.pageStamp = end == kEndOfPage ? 1 : 0;
  if (!r.perPageStamp || (r.stampValueA && page != 1)) answer.pageStamp = 0;
  answer.sheetStamp = sheetEnds ? 1 : 0;
  if (sheetEnds) answer.jobInformation = static_cast<DWORD>(r.jobInfoSwitch);
  if (!r.perSheetStamp || (r.stampValueA && sheet != 1)) answer.sheetStamp = 0;
  // An empty page that is skipped gets no overlay.
  if (end == kEndOfPage && (job.flags & kJobPageOpen) == 0 && r.skipEmptyPages)
    answer.sheetStamp = answer.pageStamp = answer.jobInformation = 0;
  const LONG resolution = pdev->pageState.resolution[0];
  PutPageArea(pdev, answer.pageStamp == 1, resolution, answer.page);
  PutSheetArea(pdev, resolution, answer.sheet);
  std::memcpy(out, &answer, sizeof answer);
  return kEscDone;
}

LONG HandleStampPosEscape(Pdev* pdev, ULONG cjIn, const BYTE* in) {
  if (in == nullptr || cjIn != kStampPosSize) return kEscDone;
  LONG x, y;
  std::memcpy(&x, in, sizeof x);
  std::memcpy(&y, in + 4, sizeof y);
  if ((pdev->job.flags & kJobPageOpen) == 0 && StartPageInJob(pdev) != 0) return kEscBadArgument;
  if (pdev->emitter == nullptr || FlushDeferredImages(pdev, kFlushForDrawing) != 0) return kEscBadArgument;
  const BOOL booklet = pdev->render.booklet != 0;
  float axis[6];
  if (GetStampAxis(&pdev->pageState, axis, 0, 0, GetLandscapeForStamp(&pdev->pageState, booklet), booklet) != 0)
    return kEscBadArgument;
  TranslateMatrix(axis, static_cast<float>(x), static_cast<float>(y));
  if (EmitSetAxis(pdev->emitter, axis) != 0 || EmitInitClip(pdev->emitter) != 0) return kEscBadArgument;
  // The library holds no clip now: the next drawing sends its own.
  ResetClipCache(pdev);
  return kEscDone;
}
