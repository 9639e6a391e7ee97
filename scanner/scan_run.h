// From the ImageRecord to strips of image lines: the scan request of a transfer, the record's
// defaults and rebuilding, and the scan run that fills a band store from the device and hands
// out strips that fit the caller's buffer.
#pragma once

#include "platform/base/types.h"
#include "scanner/image_record.h"
#include "scanner/scan_settings.h"

// What one transfer asks of the device.
struct ScanRequest {
  WORD Kind;
  RECT Frame;  // 1/1200 inch
  WORD Resolution;
  DWORD DeviceWidth;   // unrotated pixels
  DWORD DeviceHeight;
  DWORD BitmapLine;
  WORD Threshold;
  WORD HalftoneMode;
  const BYTE* ToneTable;  // the run's 256-byte tone table
  DWORD PaperTest;        // the scan-from value: non-zero tests the feeder first
  DWORD BackgroundRemoval;
};

// Largest image side the scan run accepts, in pixels.
constexpr DWORD kMaxScanPixels = 30000;

// Results of NextStrip (and the scan engine).
constexpr int kStripMore = 0;
constexpr int kStripFailed = 1;
constexpr int kStripCancelled = 3;
constexpr int kStripLast = 6;

BOOL SetImageRecordDefaults(ImageRecord& record);
BOOL BuildImageRecord(const ScanSettings& settings, ImageRecord& record);
BOOL BuildScanRequest(ScanRequest& request, const ImageRecord& record);
void ResetLevelSlots(ImageRecord& record);
// Bits per pixel, bytes per line and image size from the pixel type and the pixel sizes.
void RecomputeLineSizes(ImageRecord& record);
// Pixel width and height of the layout frame at the resolution, then the line sizes.
void RecomputePixelSizes(ImageRecord& record);

// 0 started, 1 refused (with ConditionCode set when the device or memory refused it).
int BeginScanRun(const ScanRequest& request, WORD rotation);
// Copies the next lines into strip (at most capacity bytes of aligned lines of the run's kind);
// position and size of the strip in the unrotated image. 0 more strips follow, 6 last strip,
// else an error code (1 failure, 3 cancelled).
int NextStrip(BYTE* strip, POINT* position, SIZE* size, ULONGLONG capacity, const ImageRecord& record);
// Stops the device (aborting its scan) and frees everything of the run.
void EndScanRun();
// Frees the band store of a finished image and keeps the device for the next one.
void FinishScanImage();
BOOL ScanRunActive();
