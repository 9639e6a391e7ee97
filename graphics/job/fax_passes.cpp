#include "graphics/job/fax_passes.h"

#include "core/job/fax_list.h"
#include "core/job/fax_temp_files.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/channel_output.h"
#include "graphics/job/fax_header_sheet.h"
#include "graphics/job/job_control.h"
#include "graphics/job/job_items.h"
#include "graphics/job/output_copies.h"
#include "graphics/job/page_start.h"
#include "items/item_ids.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"

namespace {

WORD ReadFaxItem(Pdev* pdev, SettingItemId id) { return static_cast<WORD>(ReadEffectiveJobItem(pdev, id)); }

bool IsAborted(const Pdev* pdev) { return (pdev->job.flags & kJobAborted) != 0; }

// One pass: its destination, its spool job (after the first), its header, header sheet,
// copies and trailer, and the end of its spool job.
int OutputPass(Pdev* pdev, WORD pass, ExtendedFaxDestination* record) {
  const FaxPassState& fax = pdev->fax;
  // A pass whose destination cannot be had is not sent: it would go out with another's cover.
  if (fax.headerSheet && GetFaxDestination(pdev, pass, record) != 0) return -1;
  int result = 0;
  if (pass > 0) result |= StartPassOutput(pdev, pdev->render.printer, nullptr, pdev->render.documentName, nullptr);
  result |= BeginJobOutput(pdev, pass);
  if (fax.headerSheet && !IsAborted(pdev)) result |= StartSheet(pdev, record);
  if (!IsAborted(pdev)) {
    result |= OutputCopies(pdev);
    result |= EndJobOutput(pdev);
  }
  result |= EndPassOutput(pdev, result == 0 ? 1 : 0);
  pdev->jobIdCompanion = 0;
  return result != 0 ? -1 : 0;
}

}  // namespace

int LoadFaxPassSettings(Pdev* pdev) {
  FaxPassState& fax = pdev->fax;
  fax.headerOnly = ReadFaxItem(pdev, kItemFaxHeaderOnly) == 1;
  fax.headerSheet = ReadFaxItem(pdev, kItemFaxHeaderSheet) == 1;
  fax.sheetKind = !fax.headerSheet                                ? kFaxSheetNone
                  : ReadFaxItem(pdev, kItemFaxHeaderOverlay) != 0 ? kFaxSheetOverlay
                                                                  : kFaxSheetDriverFile;
  fax.passes = ReadFaxItem(pdev, kItemFaxDestinations);
  fax.passPerDestination =
      ReadFaxItem(pdev, kItemFaxOneJob) == 0 && fax.passes >= 2 && fax.headerSheet && !fax.headerOnly;
  return 0;
}

int SetFaxListEscape(Pdev* pdev, DWORD length, const BYTE* record) {
  if (pdev == nullptr || length == 0 || record == nullptr) return -1;
  if (!pdev->faxModel) return 0;
  LoadFaxPassSettings(pdev);
  // The new list is loaded before the old one goes, so a refused record changes nothing.
  DWORD count = 0, size = 0;
  BYTE* list = LoadFaxDestinationList(pdev->printer, length, record, &count, &size);
  if (list == nullptr) return -1;
  FreeFaxList(pdev);
  pdev->fax.list = list;
  pdev->fax.listSize = size;
  pdev->fax.listCount = count;
  return 0;
}

int GetFaxDestination(Pdev* pdev, DWORD index, ExtendedFaxDestination* record) {
  if (pdev == nullptr || record == nullptr) return -1;
  *record = {};
  return LoadFaxDestination(pdev->fax.list, pdev->fax.listSize, index, record) == 1 ? 0 : -1;
}

int FreeFaxList(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  FaxPassState& fax = pdev->fax;
  BYTE* list = fax.list;
  fax.list = nullptr;
  fax.listSize = fax.listCount = 0;
  return list != nullptr && GlobalFree(list) != nullptr ? -1 : 0;
}

WORD GetFaxPassCount(Pdev* pdev) {
  if (pdev == nullptr || !pdev->faxModel || !pdev->fax.passPerDestination) return 1;
  return pdev->fax.passes;
}

int ReadFaxSheetPaper(Pdev* pdev) {
  FaxPassState& fax = pdev->fax;
  if (ReadSheetPaper(pdev, &pdev->settings, &fax.sheetPaper) != 0) return -1;
  return GetPaperCodeAndSize(pdev, &fax.sheetPaper, &fax.sheetPaperCode, fax.sheetPaperSize);
}

int OutputStoredJobs(Pdev* pdev) {
  if (pdev == nullptr || pdev->emitter == nullptr) return -1;
  auto* record =
      static_cast<ExtendedFaxDestination*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(ExtendedFaxDestination)));
  if (record == nullptr) return -1;
  const DWORD cache = SetStateCacheEnabled(pdev->emitter, 0);
  int result = 0;
  const WORD passes = GetFaxPassCount(pdev);
  // An aborted job has released its output and freed its objects: no later pass can run.
  for (WORD pass = 0; pass < passes && !IsAborted(pdev); ++pass) result |= OutputPass(pdev, pass, record);
  if (pdev->emitter != nullptr) SetStateCacheEnabled(pdev->emitter, cache);
  GlobalFree(record);
  return result != 0 || IsAborted(pdev) ? -1 : 0;
}

int DeleteFaxDataFile(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  LPCWSTR file = ReadJobItemText(pdev, kItemFaxDataFile);
  // The name comes with the document's settings: only a file this driver made is deleted.
  if (file == nullptr || file[0] == 0 || !IsRegisteredDirectFaxFile(pdev->database, file)) return 0;
  return DeleteFileW(file) ? 0 : -1;
}
