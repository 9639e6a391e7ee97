// The direct-mode image escape (4210): the chunk is checked whole before anything is sent, the
// page is begun, the transfer takes the chunk in order, and the chunk is held until the image
// is whole, which is then drawn and marks the page's colour.
#include "graphics/ddi/direct_image_input.h"
#include "graphics/ddi/direct_mode.h"
#include "graphics/ddi/escape_results.h"
#include "graphics/device/pdev.h"
#include "graphics/imaging/page_color.h"
#include "graphics/job/direct_image_drawing.h"
#include "graphics/job/job_control.h"
#include "graphics/job/page_store.h"

namespace {

constexpr WORD kFeatureImage = 4354;

void DropTransfer(DirectModeState* state) {
  state->transferId = 0;
  state->expected = state->received = 0;
}

}  // namespace

LONG HandleDirectImageEscape(Pdev* pdev, ULONG cjIn, const BYTE* in, ULONG, BYTE*, BOOL query) {
  if (query) return AnswerDirectQuery(pdev);
  if (pdev == nullptr || in == nullptr) return kEscBadArgument;
  DirectModeState& state = pdev->directMode;
  if (!state.on || QueryDirectFeature(pdev, kFeatureImage, nullptr) != 0) return kEscUnsupported;
  DirectImageInput image;
  if (const LONG located = LocateDirectImage(in, cjIn, &image); located != kImageLocated) return located;
  // The transfer takes the chunk on a copy first: a chunk out of order is refused before the
  // page is begun (a chunk of another transfer still drops the running one).
  DirectModeState next = state;
  const WORD id = AcceptImageChunk(&next, image.chunk);
  if (id == 0) {
    state = next;
    return kEscBadSize;
  }
  if (DispatchPageEnd(pdev) == -1) return kEscBadArgument;
  if (FlushBeforeDirectImage(pdev) != 1) return kEscBadArgument;
  state = next;
  const int drawn = DrawDirectImageChunk(pdev, image);
  if (drawn == kImageChunkHeld) return id;
  if (drawn != 0) {
    DropTransfer(&state);
    return kEscBadArgument;
  }
  // The whole image is on the page now.
  if (!IsPageColorDecided(pdev)) MarkPageColor(pdev);
  StopColorSet(&pdev->pageColor.Census);
  return id;
}
