// The dialog's preview scan: the preview area of the bed at 75 dpi in 24-bit colour, whatever
// the user has chosen, shown band by band in the preview window as it arrives.
#pragma once

#include "platform/base/types.h"
#include "scanner/image_record.h"
#include "scanner/scan_settings.h"

constexpr LONG kPreviewResolution = 75;

// The preview's own image record, built from the preview settings of the dialog's settings
// (its defaults in colour at 75 dpi over the preview area); 0 when it cannot be built.
BOOL BuildPreviewRecord(const ScanSettings& settings, ImageRecord& record);
// 1 after a complete preview or a strip of another row size, 0 on a failure.
BOOL RunPreviewScan(HWND dialog, ScanSettings& settings);
