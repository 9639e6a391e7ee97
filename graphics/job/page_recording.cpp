#include "graphics/job/page_recording.h"

#include "graphics/imaging/page_color.h"
#include "graphics/job/page_start.h"
#include "graphics/job/page_store.h"
#include "graphics/job/tile_output.h"

namespace {

constexpr WORD kKeptPageRoom = 80;
constexpr DWORD kKindKeep = kPageKindKeep | kPageKindStart;

bool IsRecordingPage(const Pdev* pdev) { return RecordingKindBits(pdev) != 0; }
bool IsStoreOpen(const Pdev* pdev) { return (pdev->job.pageStoreState & kPageStoreOpen) != 0; }

// The page being recorded is the next side, numbered from the store's first page.
bool IsNextPage(const Pdev* pdev) { return pdev->job.sides == pdev->job.firstStoredPage + pdev->job.storedPages; }

// The page start of a replayed page: the page blocks from the record's values.
int StartReplayedPage(StoredPageJob* job, const StoredPageStart& start, BYTE colorCode, BYTE mediaCode) {
  auto* pdev = static_cast<Pdev*>(job->owner);
  pdev->pageState.sheet = start.sheet;
  pdev->job.mediaCode = job->mediaCode;
  pdev->job.colorParameter = job->colorParameter;
  pdev->job.sidesOnSheet = job->sidesOnSheet;
  if (BuildPageParameterBlocks(pdev, colorCode, mediaCode, start.paperCode, start.paperSize, start.colorParameter) != 0)
    return -1;
  return SendLibraryPageStart(pdev);
}

}  // namespace

int BeginNextPageRecord(Pdev* pdev, DWORD kindBits) {
  if (!IsNextPage(pdev)) return -1;
  const RenderSettings& r = pdev->render;
  const WORD capacity = r.specialColor ? static_cast<WORD>(r.specialColorValue & 0xF) : 0;
  const LONG color = pdev->pageColor.PageColor <= kPageColorColor ? pdev->pageColor.PageColor : kPageColorColor;
  return BeginStoredPageRecord(pdev, pdev->job.sides, color, kindBits, r.specialColor ? 1 : 0,
                               capacity > kColorSetMaxCapacity ? kColorSetMaxCapacity : capacity, 0);
}

void FillStoredPageJob(Pdev* pdev, StoredPageJob* job) {
  *job = StoredPageJob{};
  job->channel = pdev->channel;
  job->emitter = pdev->emitter;
  job->pageState = &pdev->pageState;
  job->jobFlags = pdev->job.flags;
  job->firstStoredPage = pdev->job.firstStoredPage;
  job->storedPages = pdev->job.storedPages;
  job->colorMode = pdev->render.colorMode;
  job->reverseOrder = pdev->render.reverseOrder;
  job->booklet = pdev->render.booklet;
  job->tiles = pdev->render.tiles;
  job->mediaCode = pdev->job.mediaCode;
  job->colorParameter = pdev->job.colorParameter;
  job->sidesOnSheet = pdev->job.sidesOnSheet;
  job->startPage = StartReplayedPage;
  job->replayTiles = ReplayTiles;
  job->owner = pdev;
}

void FinishStoredPageJob(Pdev* pdev, const StoredPageJob& job) {
  pdev->job.mediaCode = job.mediaCode;
  pdev->job.colorParameter = job.colorParameter;
  pdev->job.sidesOnSheet = job.sidesOnSheet;
  pdev->job.colorCount = job.colorCount;
}

int OpenCopyStore(Pdev* pdev) {
  if (IsRecordingPage(pdev) || !pdev->render.storePages) return -1;
  return BeginPageStore(pdev, pdev->job.sides, kKeptPageRoom);
}

int BeginCopyPageRecord(Pdev* pdev) {
  if (pdev->render.booklet || pdev->render.tiles) return -1;
  if (!IsStoreOpen(pdev) && OpenCopyStore(pdev) != 0) return -1;
  return BeginNextPageRecord(pdev, kKindKeep);
}

int EndCopyPageRecord(Pdev* pdev) {
  return EndStoredPageRecordIfOpen(pdev, static_cast<WORD>(pdev->job.firstStoredPage + pdev->job.storedPages));
}

int BeginColorPageRecord(Pdev* pdev) {
  if (IsRecordingPage(pdev)) return -1;
  if (pdev->render.storePages) return BeginCopyPageRecord(pdev);
  if (BeginPageStore(pdev, pdev->job.sides, 1) != 0) return -1;
  return BeginNextPageRecord(pdev, kPageKindStart);
}

int ReplayHeldPage(Pdev* pdev) {
  if (pdev->job.storedPages != 0) return -1;
  const WORD page = pdev->job.firstStoredPage;
  int result = SavePageState(pdev, page);
  StoredPageJob job;
  FillStoredPageJob(pdev, &job);
  // The page's own sides count: its record's side parity is the side being printed.
  if (result == 0) result = ReplayPageRange(&job, page, kReplayPageStart, nullptr, kNoStoredPage, kColorAutomatic,
                                            kNoMediaOverride);
  FinishStoredPageJob(pdev, job);
  if (EndPageStore(pdev) != 0) result = -1;
  return result;
}

int EndColorRecording(Pdev* pdev) {
  const RenderSettings& r = pdev->render;
  if ((r.colorMode != kColorAutomatic && !r.specialColor) || r.tiles || r.booklet || !IsRecordingPage(pdev))
    return -1;
  return ReplayHeldPage(pdev);
}

int CheckHeldPageColor(Pdev* pdev) {
  constexpr DWORD kPageFlags = kJobStarted | kJobOutputBegun | kJobSideOpen | kJobPageOpen;
  if ((pdev->job.flags & kPageFlags) != kPageFlags) return -1;
  const DWORD kind = RecordingKindBits(pdev);
  // A held page that cannot be replayed fails the drawing that released it.
  if (kind != 0 && (kind & kPageKindKeep) == 0 && IsPageColorDecided(pdev) && !pdev->pageColor.Census.Collecting)
    return ReplayHeldPage(pdev);
  return 0;
}

int ReplayKeptPages(Pdev* pdev) {
  StoredPageJob job;
  FillStoredPageJob(pdev, &job);
  const int result = ReplayAllStoredPages(&job);
  FinishStoredPageJob(pdev, job);
  return result;
}
