// The preview scan (see preview_scan.h): a memory-strip transfer of a record of its own, into
// one image block that the preview window takes over with the first band.
#include "scanner/ui/preview_scan.h"

#include <cstring>

#include "platform/kernel/memory.h"
#include "platform/twain/twain.h"
#include "platform/user/message.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/scan_run.h"
#include "scanner/transfers.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr WORD kPreviewScanType = 4;  // 24-bit colour
constexpr SHORT kNeutralGamma = 100;

// The preview's settings: the defaults with colour at 75 dpi over the preview area, neutral
// gamma, and the real settings' source.
ScanSettings PreviewSettings(const ScanSettings& real) {
  ScanSettings s{};
  ResetScanSettings(s);
  s.ScanTypeCode = kPreviewScanType;
  s.ScanArea = real.PreviewArea;
  s.XResolution = s.YResolution = kPreviewResolution;
  for (LevelSlot& slot : s.LevelSlots) slot.Gamma = kNeutralGamma;
  s.ScanFrom = real.ScanFrom;
  return s;
}

}  // namespace

BOOL BuildPreviewRecord(const ScanSettings& settings, ImageRecord& record) {
  record = ImageRecord{};
  return SetImageRecordDefaults(record) && BuildImageRecord(PreviewSettings(settings), record);
}

BOOL RunPreviewScan(HWND, ScanSettings& settings) {
  HWND window = settings.PreviewWindow;
  SendMessageW(window, PVM_FREEIMAGES, kKeepSpareBlocks, 0);
  // A record of its own: the application's record keeps what it negotiated.
  ImageRecord record{};
  if (!BuildPreviewRecord(settings, record)) return FALSE;
  const ULONGLONG imageBytes = static_cast<ULONGLONG>(record.BytesPerLine) * record.Height;
  if (imageBytes == 0 || imageBytes + kBitmapInfoHeaderBytes > 0xFFFFFFFFull) return FALSE;
  const DWORD rowBytes = record.BytesPerLine;
  const DWORD preferred = PreferredMemoryStripBytes(record);
  const DWORD stripBytes = (preferred / rowBytes > 0 ? preferred / rowBytes : 1) * rowBytes;
  PreviewImage image{};
  // Every strip is asked for with the same length, also near the image's end: the block has
  // one strip of room beyond the pixels, so that length always lies inside it.
  // The previous preview's block is used again when it is large enough.
  const SIZE_T blockBytes = kBitmapInfoHeaderBytes + imageBytes + stripBytes;
  image.Block = TakeSpareImageBlock(blockBytes);
  if (image.Block == nullptr) image.Block = GlobalAlloc(GMEM_MOVEABLE, blockBytes);
  BYTE* block = image.Block != nullptr ? static_cast<BYTE*>(GlobalLock(image.Block)) : nullptr;
  if (block == nullptr) {
    if (image.Block != nullptr) GlobalFree(image.Block);
    return FALSE;
  }
  BuildBitmapInfoHeader(block, record);
  LONG height = 0;
  std::memcpy(&height, block + 8, sizeof height);
  height = -height;  // top-down rows
  std::memcpy(block + 8, &height, sizeof height);
  std::memset(block + kBitmapInfoHeaderBytes, 0xFF, imageBytes);
  image.Area = settings.PreviewArea;
  image.PixelBytes = static_cast<DWORD>(imageBytes);
  image.LinesReceived = 0;
  g_PreviewScanRunning = TRUE;
  SendMessageW(window, PVM_SCANSTARTING, 0, 0);
  BYTE* pixels = block + kBitmapInfoHeaderBytes;
  const BYTE* end = pixels + imageBytes;
  BOOL failed = FALSE, mismatch = FALSE, handedOver = FALSE;
  for (;;) {
    TW_IMAGEMEMXFER x{};
    x.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    x.Memory.Length = stripBytes;
    x.Memory.TheMem = pixels;
    const TW_UINT16 result = TransferRecordStrip(x, pixels, record);
    if (result != TWRC_SUCCESS && result != TWRC_XFERDONE) {
      failed = TRUE;
      break;
    }
    if (x.BytesPerRow != rowBytes) {
      mismatch = TRUE;
      break;
    }
    image.LinesReceived += x.Rows;
    SendMessageW(window, PVM_BANDARRIVED, 0, reinterpret_cast<LPARAM>(&image));
    handedOver = TRUE;
    pixels += static_cast<ULONGLONG>(x.BytesPerRow) * x.Rows;
    if (result == TWRC_XFERDONE || pixels >= end) break;
  }
  GlobalUnlock(image.Block);
  // Without a band the window never took the block: it is freed here.
  if (!handedOver) GlobalFree(image.Block);
  g_PreviewScanRunning = FALSE;
  SendMessageW(window, PVM_SCANFINISHED, 0, 0);
  EndScanRun();
  CloseDevice();
  if (mismatch) return TRUE;
  if (failed) return FALSE;
  settings.PreviewAvailable = TRUE;
  return TRUE;
}
