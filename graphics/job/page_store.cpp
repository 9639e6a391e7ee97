#include "graphics/job/page_store.h"

#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"

namespace {

bool IsRecording(DWORD state) { return (state & ~kPageKindMask) == kPageStoreRecording; }

}  // namespace

int InitColorSet(ColorSet* set, DWORD collecting, WORD capacity, DWORD whiteMode) {
  if (set == nullptr || capacity > kColorSetMaxCapacity) return -1;
  set->Collecting = collecting != 0;
  set->Capacity = capacity;
  set->WhiteMode = whiteMode;
  set->Count = 0;
  for (DWORD& slot : set->Slots) slot = kColorWhite;
  return 0;
}

void StopColorSet(ColorSet* set) { set->Collecting = 0; }

int BeginPageStore(Pdev* pdev, WORD firstPage, WORD count) {
  if (pdev == nullptr || (pdev->job.flags & kJobOutputBegun) == 0 || pdev->job.pageStoreState != 0) return -1;
  pdev->job.pageStoreState = kPageStoreOpen;
  pdev->job.firstStoredPage = firstPage;
  pdev->job.storedPages = 0;
  return OpenChannelStore(pdev->channel, firstPage, sizeof(PageRecord), count) < 0 ? -1 : 0;
}

int BeginStoredPageRecord(Pdev* pdev, WORD page, LONG pageColor, DWORD kindBits, DWORD collecting, WORD capacity,
                          DWORD whiteMode) {
  if (pdev == nullptr || pdev->job.pageStoreState != kPageStoreOpen) return -1;
  if ((kindBits & kPageKindMask) == 0 || (kindBits & ~kPageKindMask) != 0) return -1;
  pdev->job.pageStoreState = kPageStoreRecording | kindBits;
  int result = 0;
  if (pageColor >= 0 && pageColor <= 2)
    pdev->pageColor.PageColor = pageColor;
  else
    result = -1;
  if (InitColorSet(&pdev->pageColor.Census, collecting, capacity, whiteMode) != 0) result = -1;
  if (BeginStoredPage(pdev->channel, page) < 0) result = -1;
  return result;
}

int SavePageState(Pdev* pdev, WORD page) {
  if (pdev == nullptr || !IsRecording(pdev->job.pageStoreState)) return -1;
  PageRecord record{};
  int result = ReadPageRecord(pdev->channel, page, sizeof record, &record) < 0 ? -1 : 0;
  record.colorState = static_cast<DWORD>(pdev->pageColor.PageColor);
  record.colors = pdev->pageColor.Census;
  if (result == 0 && WritePageRecord(pdev->channel, page, sizeof record, &record) < 0) result = -1;
  if (EndStoredPage(pdev->channel) < 0) result = -1;
  pdev->job.pageStoreState &= ~0x3Fu;
  ++pdev->job.storedPages;
  return result;
}

int EndStoredPageRecordIfOpen(Pdev* pdev, WORD page) {
  if (pdev == nullptr) return -1;
  return IsRecording(pdev->job.pageStoreState) ? SavePageState(pdev, page) : 0;
}

int EndPageStore(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  if ((pdev->job.pageStoreState & kPageStoreOpen) == 0) return 0;
  if (IsRecording(pdev->job.pageStoreState)) return -1;
  const int result = ResetChannelStore(pdev->channel) < 0 ? -1 : 0;
  pdev->job.pageStoreState = 0;
  return result;
}

int UpdatePageRecord(Pdev* pdev, const PagePaperBlock* paper, DWORD orientation, WORD page) {
  if (pdev == nullptr || paper == nullptr) return -1;
  PageRecord record{};
  if (ReadPageRecord(pdev->channel, page, sizeof record, &record) < 0) return -1;
  record.paper = *paper;
  record.orientation = orientation;
  return WritePageRecord(pdev->channel, page, sizeof record, &record) < 0 ? -1 : 0;
}

int GetPageRecord(Pdev* pdev, PagePaperBlock* paper, DWORD* orientation, WORD page) {
  if (pdev == nullptr || paper == nullptr || orientation == nullptr) return -1;
  PageRecord record{};
  if (ReadPageRecord(pdev->channel, page, sizeof record, &record) < 0) return -1;
  *paper = record.paper;
  *orientation = record.orientation;
  return 0;
}

DWORD RecordingKindBits(const Pdev* pdev) {
  return IsRecording(pdev->job.pageStoreState) ? pdev->job.pageStoreState & kPageKindMask : 0;
}
