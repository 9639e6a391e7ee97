// The output channel as the job code drives it for a device: one channel per document, opened
// on the engine's spool job, further spool jobs for later passes, and print to file.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// Makes the document's channel (closed) with the resource module as source of its texts; the
// job's page-store state starts at 0. -1 when no channel could be made.
int OpenOutputChannel(Pdev* pdev);
// Destroys the document's channel.
void CloseOutputChannel(Pdev* pdev);
// The channel writes to the engine's spool job on `printer` (mode 1).
int StartChannelOutput(Pdev* pdev, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName, LPCWSTR reserved);
// Releases the channel's target at the document's end: 0, or -1 when the last bytes could not
// be written.
int EndChannelOutput(Pdev* pdev, DWORD flag);
// Writes job bytes once the job's output has begun (before that nothing is written: 0); 0 or
// -1.
int WriteStreamData(Pdev* pdev, DWORD length, const void* bytes);
// A new spool job on `printer` for a pass after the first.
int StartPassOutput(Pdev* pdev, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName, LPCWSTR reserved);
// Ends a pass: the engine's own job is only released, a pass's own job is closed.
int EndPassOutput(Pdev* pdev, DWORD flag);
// Ends print to file: 0, or -1 when the file's last bytes could not be written or closed.
int EndFileOutput(Pdev* pdev);
