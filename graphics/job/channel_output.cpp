#include "graphics/job/channel_output.h"

#include "core/runtime/resource_module.h"
#include "graphics/output/file_target.h"
#include "graphics/output/output_channel.h"

#include <cstring>

#include "graphics/drawing/drawing_session.h"
#include "graphics/drawing/parameter_blocks.h"
#include "graphics/job/page_store.h"

namespace {

// The drawing library writes to the printer job named in its resource path block: each pass
// points it at the job the channel writes to.
void PointLibraryAt(OutputChannel* channel, HANDLE printer) {
  DrawingLibrarySession* session = channel != nullptr ? channel->session : nullptr;
  if (session == nullptr || session->resourcePathBlock == nullptr) return;
  std::memcpy(session->resourcePathBlock + kResourcePathPrinterOffset, &printer, sizeof printer);
}

// A target that is not the engine's own job is a pass's job, which the channel closes.
bool HoldsPassJob(const Pdev* pdev) {
  return pdev->channel != nullptr && HasChannelTarget(pdev->channel) && pdev->channel->target != pdev->printer;
}

}  // namespace

int OpenOutputChannel(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  pdev->job.pageStoreState = 0;
  pdev->channel = CreateChannel(GetResourceModule());
  if (pdev->channel == nullptr) return -1;
  return InitChannelStore(pdev->channel);
}

void CloseOutputChannel(Pdev* pdev) {
  if (pdev == nullptr) return;
  pdev->job.pageStoreState = 0;
  DestroyChannel(pdev->channel);
  pdev->channel = nullptr;
}

int StartChannelOutput(Pdev* pdev, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName, LPCWSTR reserved) {
  if (pdev == nullptr) return -1;
  pdev->job.pageStoreState = 0;
  // No page's colours are counted yet.
  InitColorSet(&pdev->pageColor.Census, 0, 0, 0);
  return OpenChannelPrinter(pdev->channel, printer, outputName, documentName, reserved);
}

int EndChannelOutput(Pdev* pdev, DWORD) {
  if (pdev == nullptr || !HasChannelTarget(pdev->channel)) return 0;
  // A job that ends during a later pass still closes that pass's spool job.
  if (HoldsPassJob(pdev)) {
    const int result = CloseChannelToPrinter(pdev->channel);
    PointLibraryAt(pdev->channel, pdev->printer);
    return result;
  }
  return ReleaseChannelTarget(pdev->channel);
}

int WriteStreamData(Pdev* pdev, DWORD length, const void* bytes) {
  if (pdev == nullptr) return -1;
  if ((pdev->job.flags & kJobOutputBegun) == 0) return 0;
  return WriteChannel(pdev->channel, length, bytes) < 0 ? -1 : 0;
}

int StartPassOutput(Pdev* pdev, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName, LPCWSTR reserved) {
  if (pdev == nullptr) return -1;
  const int result = OpenChannelSpoolJob(pdev->channel, printer, outputName, documentName, reserved);
  PointLibraryAt(pdev->channel, pdev->channel != nullptr ? pdev->channel->target : nullptr);
  return result;
}

int EndPassOutput(Pdev* pdev, DWORD) {
  if (pdev == nullptr || pdev->channel == nullptr) return -1;
  if (!HasChannelTarget(pdev->channel)) return -1;
  if (!HoldsPassJob(pdev)) return ReleaseChannelTarget(pdev->channel);
  const int result = CloseChannelToPrinter(pdev->channel);
  PointLibraryAt(pdev->channel, pdev->printer);
  return result;
}

int EndFileOutput(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  return EndFileTarget(pdev->channel) < 0 ? -1 : 0;
}
