#include "graphics/ddi/document_job.h"

#include <cstring>
#include <utility>

#include "core/store/item_access.h"
#include "graphics/device/paper_layout.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/drawing/drawing_session.h"
#include "graphics/imaging/image_queue.h"
#include "graphics/job/job_control.h"
#include "graphics/job/job_items.h"
#include "graphics/output/output_channel.h"
#include "items/item_ids.h"

namespace {

// The paper items a reset in a begun job takes from the new settings.
constexpr SettingItemId kResetPaperNumbers[] = {kItemOrientation, kItemPaperSize, kItemPaperLength, kItemPaperWidth,
                                                kItemDefaultSource};

// The job objects and records move to the new device; the old one keeps none of them.
void MoveJob(Pdev* from, Pdev* to) {
  to->render = from->render;
  to->pageState = from->pageState;
  to->job = from->job;
  to->pageColor = from->pageColor;
  to->channel = from->channel;
  to->emitter = from->emitter;
  to->colorConverter = from->colorConverter;
  to->colorClassWord = from->colorClassWord;
  to->imageQueue = from->imageQueue;
  from->imageQueue = nullptr;
  to->jobId = from->jobId;
  to->jobIdCompanion = from->jobIdCompanion;
  to->outputFormat = from->outputFormat;
  std::memcpy(to->modelFeatures, from->modelFeatures, sizeof to->modelFeatures);
  from->channel = nullptr;
  from->emitter = nullptr;
  from->colorConverter = nullptr;
  from->colorClassWord = nullptr;
  from->jobIdCompanion = 0;
  to->fax = from->fax;
  from->fax.list = nullptr;
  from->fax.listSize = from->fax.listCount = 0;
  // What the escapes left for the job: the direct mode with its overrides and saved settings,
  // the application's data block, the job information and the job headers.
  to->directMode = from->directMode;
  from->directMode.saved = 0;
  to->heldImage = std::exchange(from->heldImage, nullptr);
  to->appBlock = std::exchange(from->appBlock, nullptr);
  to->appBlockSize = std::exchange(from->appBlockSize, 0);
  to->jobInfo = std::exchange(from->jobInfo, nullptr);
  to->jobHeaders = std::exchange(from->jobHeaders, nullptr);
}

// A begun job keeps its settings; only the paper of the new ones is taken.
bool KeepSettingsExceptPaper(Pdev* from, Pdev* to) {
  const SettingsRecord fresh = to->settings;
  to->settings = from->settings;
  bool ok = true;
  for (SettingItemId id : kResetPaperNumbers) {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ULONG_PTR cell = 0;
    SettingsRecord source = fresh;
    if (GetItemValue(id, &source, to->config, &type, &length, &cell) != kItemDone) {
      ok = false;
      continue;
    }
    ok = WriteJobItem(&to->settings, to->config, id, static_cast<SHORT>(cell)) && ok;
  }
  SettingsRecord source = fresh;
  ok = CopyItemText(&to->settings, &source, to->config, kItemFormName) == 0 && ok;
  if (from->render.customPaper == 0) {
    FreePaperLayoutRecord(&to->sheetLayout);
    to->sheetLayout = from->sheetLayout;
    from->sheetLayout.record = nullptr;
  }
  return ok;
}

}  // namespace

BOOL StartDocumentJob(Pdev* pdev, LPWSTR docName, DWORD jobId) {
  int result = InitJobState(pdev, pdev->printer);
  result |= StartJob(pdev, docName, nullptr);
  result |= StoreJobId(pdev, jobId);
  if (OpenLibrarySession(pdev) == -1) result = -1;
  return result == 0;
}

BOOL EndDocumentPage(Pdev* pdev) {
  // The held-back bitmap bands are drawn before the page ends (an aborted job draws nothing).
  const bool flushed = (pdev->job.flags & kJobAborted) != 0 || FlushDeferredImages(pdev, kFlushForDrawing) == 0;
  return EndPageInJob(pdev) == 0 && flushed;
}

BOOL EndDocumentJob(Pdev* pdev) {
  const int result = EndJob(pdev);
  const int closed = pdev->channel != nullptr ? CloseLibrarySession(pdev->channel) : 0;
  return result == 0 && closed == 0;
}

void CloseDocumentJob(Pdev* pdev) {
  if (pdev->channel != nullptr) CloseLibrarySession(pdev->channel);
  CloseJob(pdev);
}

BOOL MoveDocumentToReset(Pdev* oldPdev, Pdev* newPdev) {
  // Whatever the new device started on its own gives way to the running document.
  CloseDocumentJob(newPdev);
  MoveJob(oldPdev, newPdev);
  bool ok = true;
  if (IsJobBegun(newPdev)) {
    ok = KeepSettingsExceptPaper(oldPdev, newPdev);
  } else {
    CopySettingsExtension(&newPdev->settings, &oldPdev->settings);
    if (oldPdev->faxModel && CarrySettings(&newPdev->settings, &oldPdev->settings, newPdev->config) != 0) ok = false;
  }
  newPdev->ddiState |= kDdiMadeByReset | (oldPdev->ddiState & (kDdiDocStarted | kDdiJobOutputBegun));
  if (MarkJobReset(newPdev, oldPdev) != 0 || !ok) return FALSE;
  newPdev->pageSettings = oldPdev->pageSettings;
  return TRUE;
}
