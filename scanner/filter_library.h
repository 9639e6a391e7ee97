// The outside image-filter library: its binding, the filter run over a band, and the blocks
// passed to it.
#pragma once

#include "platform/base/types.h"
#include "scanner/image_record.h"

constexpr DWORD kFilterRunBlockBytes = 1404;
constexpr DWORD kFilterParametersBytes = 312;
constexpr DWORD kFullToGrayBlockBytes = 40;
constexpr DWORD kFilterCreateBlockBytes = 36;

using FilterEntryProc = int (*)(void* block);

BOOL LoadFilterLibrary();
void UnloadFilterLibrary();
// Entries of the loaded library (null while it is not loaded).
FilterEntryProc BoundZoomAndDelBack();
FilterEntryProc BoundFullToGray();
// The library's nine tone curves (TRC_LUT_LIST).
const BYTE* const* BoundToneCurveList();

// FilterParameters of a record (312 bytes); 0 for an unlisted pixel type.
BOOL BuildFilterParameters(BYTE* parameters, const ImageRecord& record, WORD levelChannelMode);
// Colour conversion and the filter run over a band of packed lines (lineBytes each): 0 or 5.
int RunBandPipeline(BYTE* pixels, DWORD width, DWORD lines, DWORD lineBytes, const ImageRecord& record);
// The filter run alone, then the inversion: 1 done, 0 failed.
BOOL RunImageFilter(BYTE* pixels, DWORD width, DWORD lines, DWORD lineBytes, const ImageRecord& record);

// Set while the preview scan reads its bands: the filter runs later on the stored image.
extern BOOL g_PreviewScanRunning;
