// The device as the graphics engine sees it: GDIINFO (page size, resolution, printable
// offsets, colour depth, halftoning) and DEVINFO (capabilities, default fonts, palette).
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_device.h"

struct Pdev;

// The 10-byte margin block an application's device mode may carry behind its 1548 bytes, in
// the layout of the page-margins escape: paper id, then left, right, top and bottom margins in
// tenths of a millimetre.
struct MarginBlock {
  WORD paperId;
  WORD margins[4];
};
static_assert(sizeof(MarginBlock) == 10);

// Fills GDIINFO from the page layout and the settings; the first min(size, 320) bytes reach
// the engine's buffer. FALSE when the page's form cannot be read.
BOOL FillDeviceInfo(Pdev* pdev, const MarginBlock* margins, ULONG size, GDIINFO* info);
// Fills DEVINFO and makes the device's default palette (any earlier one is deleted first);
// the first min(size, 312) bytes reach the engine's buffer. FALSE without a palette.
BOOL CreateDevicePalette(Pdev* pdev, ULONG size, DEVINFO* info);
// The halftone pattern size for a resolution: HT_PATSIZE_4x4_M (3) .. HT_PATSIZE_16x16_M (15).
ULONG PickHalftonePatternSize(LONG xResolution, LONG yResolution);
