// The dialog's preview scan: the preview area of the bed at 75 dpi in 24-bit colour, whatever
// the user has chosen, shown band by band in the preview window as it arrives.
#pragma once

#include "platform/base/types.h"
#include "scanner/scan_settings.h"

constexpr LONG kPreviewResolution = 75;

// 1 after a complete preview or a strip of another row size, 0 on a failure.
BOOL RunPreviewScan(HWND dialog, ScanSettings& settings);
