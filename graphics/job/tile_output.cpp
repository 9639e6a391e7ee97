#include "graphics/job/tile_output.h"

#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/page_recording.h"
#include "graphics/job/page_store.h"
#include "graphics/job/tile_cells.h"

namespace {

constexpr DWORD kTileKind = kPageKindKeep | kPageKindStart | kPageKindAxis;
constexpr DWORD kTileReplay = kReplayPageStart | kReplayAxis;

bool IsStoreOpen(const Pdev* pdev) { return (pdev->job.pageStoreState & kPageStoreOpen) != 0; }

}  // namespace

int BeginTilePageRecord(Pdev* pdev) {
  if (pdev == nullptr || pdev->render.booklet || pdev->pageState.nup != 1 || RecordingKindBits(pdev) != 0)
    return -1;
  if (pdev->render.storePages) {
    if (!IsStoreOpen(pdev) && OpenCopyStore(pdev) != 0) return -1;
  } else if (BeginPageStore(pdev, pdev->job.sides, 1) != 0) {
    return -1;
  }
  return BeginNextPageRecord(pdev, kTileKind);
}

int EndTilePage(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  const WORD page = static_cast<WORD>(pdev->job.firstStoredPage + pdev->job.storedPages);
  int result = EndStoredPageRecordIfOpen(pdev, page);
  if (result == 0) {
    StoredPageJob job;
    FillStoredPageJob(pdev, &job);
    result = ReplayTiles(&job, page);
    FinishStoredPageJob(pdev, job);
  }
  if (EndPageStore(pdev) != 0) result = -1;
  return result;
}

int ReplayTiles(StoredPageJob* job, WORD page) {
  if (job == nullptr || job->pageState == nullptr || job->owner == nullptr) return -1;
  // The grid of the page's own paper.
  PageState state = *job->pageState;
  TileLayout tiles;
  if (GetPageRecord(static_cast<Pdev*>(job->owner), &state.page, &state.orientation, page) != 0 ||
      ComputeTileLayout(&state, &tiles) != 0)
    return -1;
  const WORD cells = static_cast<WORD>(tiles.columns * tiles.rows);
  int result = 0;
  for (WORD i = 0; i < cells; ++i)
    result |= ReplayTileCell(job, page, &tiles, job->reverseOrder != 0 ? static_cast<WORD>(cells - 1 - i) : i);
  if (InvalidateStateCache(job->emitter) != 0) result = -1;
  return result;
}

int ReplayTileCell(StoredPageJob* job, WORD page, const TileLayout* tiles, WORD cell) {
  float placement[6];
  if (ComputeGridCell(placement, tiles, cell) != 0) return -1;
  return ReplayPageRange(job, page, kTileReplay, placement, kNoStoredPage, job->colorMode, kNoMediaOverride);
}
