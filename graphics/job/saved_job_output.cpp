#include "graphics/job/saved_job_output.h"

#include "graphics/job/channel_output.h"
#include "graphics/job/job_control.h"
#include "graphics/job/page_recording.h"
#include "graphics/output/output_channel.h"
#include "graphics/output/print_to_file.h"

namespace {

// The first stored page with its page start, its colour decided from its record.
int ReplayFirstStoredPage(Pdev* pdev) {
  StoredPageJob job;
  FillStoredPageJob(pdev, &job);
  const int result = ReplayPageRange(&job, pdev->job.firstStoredPage, kReplayPageStart, nullptr, kNoStoredPage,
                                     job.colorMode, kNoMediaOverride);
  FinishStoredPageJob(pdev, job);
  return result;
}

}  // namespace

int OutputSavedJob(Pdev* pdev) {
  if (pdev == nullptr || pdev->channel == nullptr) return -1;
  int result = EndCopyPageRecord(pdev);
  const bool toFile = pdev->render.confirmed == 0;
  if (toFile && PrepareFileOutput(pdev) != 0) return -1;
  // A folder the user chose to go without leaves the channel on the printer alone.
  const bool fileAdded = toFile && pdev->channel->mode == kChannelPrinterAndFile;
  result |= BeginJobOutput(pdev, 0);
  if (result == 0) result |= ReplayFirstStoredPage(pdev);
  result |= EndJobOutput(pdev);
  if (fileAdded) result |= EndFileOutput(pdev);
  return result != 0 ? -1 : 0;
}
