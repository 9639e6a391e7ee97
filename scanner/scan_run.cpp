// The scan run: a band store in memory filled from the device band by band through the band
// pipeline, served as strips that fit the caller's buffer.
#include "scanner/scan_run.h"

#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/twain/twain.h"
#include "scanner/color_transform.h"
#include "scanner/connection.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/source_windows.h"

namespace {

constexpr ULONGLONG kBandStoreLimit = 0x70000000;  // bytes; larger stores are not tried
constexpr DWORD kMinLinesPerRead = 20;

struct ScanRun {
  BOOL Active = FALSE;
  WORD Kind = 0;
  WORD Rotation = 0;
  WORD Resolution = 0;
  RECT Frame = {};
  DWORD Width = 0;
  DWORD TotalLines = 0;
  DWORD LinesHandedOut = 0;
  DWORD LinesRead = 0;  // lines read from the device so far
  DWORD LinesInStore = 0;
  DWORD ReadPosition = 0;
  DWORD Capacity = 0;  // lines the store holds
  DWORD LinesPerRead = 0;
  HGLOBAL Store = nullptr;
};

ScanRun g_Run;

void FreeBandStore() {
  if (g_Run.Store != nullptr) GlobalFree(g_Run.Store);
  g_Run.Store = nullptr;
}

// Allocates the band store for as many lines of the image as memory allows: one line fewer
// after each failure; after a failure the store that finally fits is halved, to leave memory
// for the rest of the transfer. FALSE when not even one line fits.
bool AllocateBandStore(DWORD lineBytes) {
  DWORD lines = g_Run.Capacity;
  bool failed = false;
  while (lines > 0) {
    const ULONGLONG bytes = static_cast<ULONGLONG>(lineBytes) * lines;
    HGLOBAL store = bytes < kBandStoreLimit ? GlobalAlloc(GMEM_MOVEABLE, bytes) : nullptr;
    if (store == nullptr) {
      failed = true;
      --lines;
      continue;
    }
    if (failed && lines > 1) {
      GlobalFree(store);
      lines /= 2;
      failed = false;  // the halved store is kept if it fits; else shrinking goes on
      store = GlobalAlloc(GMEM_MOVEABLE, static_cast<ULONGLONG>(lineBytes) * lines);
      if (store == nullptr) {
        failed = true;
        --lines;
        continue;
      }
    }
    g_Run.Store = store;
    g_Run.Capacity = lines;
    return true;
  }
  return false;
}

// Reads the next lines of the image into the empty store: 0, 6 when every line is read, 1 a
// failure (ConditionCode set), 3 cancelled.
int FillBandStore(const ImageRecord& record) {
  if (g_Run.LinesRead >= g_Run.TotalLines) return kStripLast;
  BYTE* store = static_cast<BYTE*>(GlobalLock(g_Run.Store));
  if (store == nullptr) {
    SetConditionCode(TWCC_LOWMEMORY);
    return kStripFailed;
  }
  const DWORD lineBytes = PackedLineBytes(g_Run.Kind, g_Run.Width);
  DWORD filled = 0;
  int result = kStripMore;
  while (filled < g_Run.Capacity && g_Run.LinesRead < g_Run.TotalLines) {
    DWORD n = g_Run.LinesPerRead;
    if (n > g_Run.Capacity - filled) n = g_Run.Capacity - filled;
    if (n > g_Run.TotalLines - g_Run.LinesRead) n = g_Run.TotalLines - g_Run.LinesRead;
    BYTE* lines = store + static_cast<ULONGLONG>(filled) * lineBytes;
    if (ReadScanBand(lines, n) != 0) {
      SetConditionCode(TWCC_OPERATIONERROR);
      result = kStripFailed;
      break;
    }
    if (RunBandPipeline(lines, g_Run.Width, n, lineBytes, record) != 0) {
      SetConditionCode(TWCC_OPERATIONERROR);
      result = kStripFailed;
      break;
    }
    filled += n;
    g_Run.LinesRead += n;
    if (CurrentSourceWindows().stepProgressCancelled(static_cast<double>(n) * g_Run.Width)) {
      AbortDeviceScan();
      result = kStripCancelled;
      break;
    }
    CurrentSourceWindows().pumpProgressMessages();
  }
  g_Run.LinesInStore = filled;
  GlobalUnlock(g_Run.Store);
  return result;
}

// Aligned bytes of f lines of the run for the capacity test.
ULONGLONG StripBytes(DWORD f, const ImageRecord& record) {
  const bool tripletsOrGrey = g_Run.Kind == kScanKindColor || record.PixelType == TWPT_GRAY;
  if (g_Run.Rotation == 1 || g_Run.Rotation == 2) {
    const DWORD columns = tripletsOrGrey ? (f + 3) / 4 * 4 : f;
    return static_cast<ULONGLONG>(BitmapLineBytes(g_Run.Kind, columns)) * g_Run.Width;
  }
  const DWORD width = tripletsOrGrey ? (g_Run.Width + 3) / 4 * 4 : g_Run.Width;
  return static_cast<ULONGLONG>(f) * BitmapLineBytes(g_Run.Kind, width);
}

// The most lines, up to f, whose strip fits the capacity (0 when not even one line does). A
// strip's bytes never shrink as it grows, so halving the range finds what lowering f one line at
// a time would.
DWORD FittingLines(DWORD f, ULONGLONG capacity, const ImageRecord& record) {
  DWORD fits = 0;  // no lines always fit
  while (fits < f) {
    const DWORD middle = fits + (f - fits + 1) / 2;
    if (StripBytes(middle, record) <= capacity)
      fits = middle;
    else
      f = middle - 1;
  }
  return fits;
}

}  // namespace

int BeginScanRun(const ScanRequest& q, WORD rotation) {
  // Images wider or longer than the device can deliver, and empty ones, are refused before
  // the device is touched.
  if (q.DeviceWidth == 0 || q.DeviceHeight == 0 || q.DeviceWidth > kMaxScanPixels || q.DeviceHeight > kMaxScanPixels)
    return 1;
  FinishScanImage();
  g_Run.Kind = q.Kind;
  g_Run.Rotation = rotation;
  g_Run.Resolution = q.Resolution;
  g_Run.Frame = q.Frame;
  g_Run.Width = q.DeviceWidth;
  g_Run.TotalLines = g_Run.Capacity = q.DeviceHeight;
  if (!AllocateBandStore(BitmapLineBytes(q.Kind, q.DeviceWidth))) {
    SetConditionCode(TWCC_LOWMEMORY);
    return 1;
  }
  DWORD perRead = DeviceBufferSize() / g_Run.Width;
  if (perRead < kMinLinesPerRead) perRead = kMinLinesPerRead;
  if (q.Kind == kScanKindThreshold || q.Kind == kScanKindDiffusion) perRead *= 8;
  g_Run.LinesPerRead = perRead;
  if ((DeviceFlags() & (kDeviceOpen | kDeviceLocked)) != (kDeviceOpen | kDeviceLocked)) {
    const int prepared = PrepareDevice(q.PaperTest != 0);
    if (prepared != 0) {
      SetConditionCode(static_cast<TW_UINT16>(prepared));
      FreeBandStore();
      return 1;
    }
  }
  const int started = StartScan(q.Kind, q.Frame.left, q.Frame.top, q.DeviceWidth, q.DeviceHeight, q.Resolution,
                                q.Threshold, q.HalftoneMode, q.BackgroundRemoval, q.PaperTest != 0, q.ToneTable);
  if (started != 0) {
    SetConditionCode(static_cast<TW_UINT16>(started));
    FreeBandStore();
    return 1;
  }
  g_Run.Active = TRUE;
  return 0;
}

int NextStrip(BYTE* strip, POINT* position, SIZE* size, ULONGLONG capacity, const ImageRecord& record) {
  if (!g_Run.Active || g_Run.Store == nullptr) {
    SetConditionCode(TWCC_OPERATIONERROR);
    return kStripFailed;
  }
  if (g_Run.ReadPosition == 0) {
    const int filled = FillBandStore(record);
    if (filled != kStripMore && filled != kStripLast) {
      CurrentSourceWindows().activateScanDialog();
      return filled;
    }
  }
  DWORD f = g_Run.LinesInStore - g_Run.ReadPosition;
  if (f > g_Run.TotalLines - g_Run.LinesHandedOut) f = g_Run.TotalLines - g_Run.LinesHandedOut;
  f = FittingLines(f, capacity, record);
  if (f == 0) {
    SetConditionCode(TWCC_LOWMEMORY);
    CurrentSourceWindows().activateScanDialog();
    return kStripFailed;
  }
  const BYTE* store = static_cast<const BYTE*>(GlobalLock(g_Run.Store));
  if (store == nullptr) {
    SetConditionCode(TWCC_LOWMEMORY);
    return kStripFailed;
  }
  const DWORD lineBytes = PackedLineBytes(g_Run.Kind, g_Run.Width);
  std::memcpy(strip, store + static_cast<ULONGLONG>(g_Run.ReadPosition) * lineBytes,
              static_cast<size_t>(f) * lineBytes);
  GlobalUnlock(g_Run.Store);
  position->x = 0;
  position->y = static_cast<LONG>(g_Run.LinesHandedOut + g_Run.ReadPosition);
  size->cx = static_cast<LONG>(g_Run.Width);
  size->cy = static_cast<LONG>(f);
  g_Run.ReadPosition += f;
  if (g_Run.ReadPosition >= g_Run.LinesInStore) {
    g_Run.ReadPosition = 0;
    g_Run.LinesHandedOut += g_Run.LinesInStore;
  }
  return g_Run.LinesHandedOut >= g_Run.TotalLines ? kStripLast : kStripMore;
}

void FinishScanImage() {
  FreeBandStore();
  g_Run = ScanRun{};
}

void EndScanRun() {
  FinishScanImage();
  EndDeviceScan();  // aborts the device's scan when it is locked, unlocks and closes
  FreeDeviceBandBuffer();
  ReleaseColorTransform();
}

BOOL ScanRunActive() { return g_Run.Active; }
