#include "graphics/job/output_copies.h"

#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/booklet_output.h"
#include "graphics/job/job_control.h"
#include "graphics/job/page_recording.h"
#include "graphics/job/page_start.h"

namespace {

// Inserted sheets that make the model print a blank back of their own need none from us.
constexpr DWORD kNoBlankBackForInsertedSheet = 0x1010903;
constexpr LONG kInsertBeforeDocument = 2;

// An inserted sheet from the source, and its blank back when a duplex back side is due (from
// the same source: the back is the same sheet).
int InsertSheet(Pdev* pdev, SHORT source) {
  int result = SetUpPage(pdev, source);
  if (!IsFeatureEnabled(pdev, kNoBlankBackForInsertedSheet) && IsBackSideDue(pdev, kBackSideForInsertedSheet) == 1)
    result |= SetUpPage(pdev, source);
  return result;
}

// Before a copy's pages: in reverse order the sheet meant for the end comes first; in document
// order the sheet inserted before the document.
int SheetsBeforePages(Pdev* pdev) {
  const RenderSettings& r = pdev->render;
  if (r.reverseOrder) {
    if (!r.insertAtEnd) return 0;
    int result = ResetGraphicsStateChecked(pdev, FALSE);
    return result | InsertSheet(pdev, r.insertAtEndPaper);
  }
  return r.insertedSheetMode == kInsertBeforeDocument ? InsertSheet(pdev, r.insertedSheetPaper) : 0;
}

// After a copy's pages: in reverse order the sheet meant for the front; in document order the
// sheet at the end.
int SheetsAfterPages(Pdev* pdev) {
  const RenderSettings& r = pdev->render;
  if (r.reverseOrder)
    return r.insertedSheetMode == kInsertBeforeDocument ? InsertSheet(pdev, r.insertedSheetPaper) : 0;
  return r.insertAtEnd ? SetUpPage(pdev, r.insertAtEndPaper) : 0;
}

}  // namespace

int OutputCopies(Pdev* pdev) {
  if (pdev == nullptr || pdev->emitter == nullptr || (pdev->job.pageStoreState & kPageStoreOpen) == 0) return -1;
  const RenderSettings& r = pdev->render;
  const int copies = r.driverCollation ? r.copies : 1;
  const DWORD cache = SetStateCacheEnabled(pdev->emitter, 0);
  int result = 0;
  for (int copy = 0; copy < copies; ++copy) {
    result |= SheetsBeforePages(pdev);
    result |= r.booklet ? OutputBookletSheets(pdev) : ReplayKeptPages(pdev);
    result |= SheetsAfterPages(pdev);
  }
  SetStateCacheEnabled(pdev->emitter, cache);
  return result != 0 ? -1 : 0;
}
