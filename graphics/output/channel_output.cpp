#include "graphics/output/channel_output.h"

#include "core/services/resource_module.h"
#include "graphics/output/file_target.h"
#include "graphics/output/output_channel.h"

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
  return OpenChannelPrinter(pdev->channel, printer, outputName, documentName, reserved);
}

int EndChannelOutput(Pdev* pdev, DWORD) {
  if (pdev == nullptr || !HasChannelTarget(pdev->channel)) return 0;
  return ReleaseChannelTarget(pdev->channel);
}

int WriteStreamData(Pdev* pdev, DWORD length, const void* bytes) {
  if (pdev == nullptr) return -1;
  if ((pdev->job.flags & kJobOutputBegun) == 0) return 0;
  return WriteChannel(pdev->channel, length, bytes) < 0 ? -1 : 0;
}

int StartPassOutput(Pdev* pdev, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName, LPCWSTR reserved) {
  if (pdev == nullptr) return -1;
  return OpenChannelSpoolJob(pdev->channel, printer, outputName, documentName, reserved);
}

int EndPassOutput(Pdev* pdev, DWORD) {
  if (pdev == nullptr || pdev->channel == nullptr) return -1;
  if (pdev->channel->target == pdev->printer) return ReleaseChannelTarget(pdev->channel);
  return CloseChannelToPrinter(pdev->channel);
}

int EndFileOutput(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  return EndFileTarget(pdev->channel) < 0 ? -1 : 0;
}
