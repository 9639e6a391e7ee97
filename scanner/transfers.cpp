// Image information, layout and palette requests, transfer set-up, and the native, memory and
// file transfers over the scan run.
#include "scanner/transfers.h"

#include <cstring>
#include <vector>

#include "platform/base/addr32.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/memory.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "platform/base/byte_order.h"
#include "scanner/capabilities.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/scan_run.h"
#include "scanner/source_windows.h"
#include "scanner/system_routines.h"

namespace {

constexpr DWORD kSmallStripThreshold = 60000;  // bytes: the smallest preferred memory strip
constexpr DWORD kMinStripLines = 20;
constexpr DWORD kFileStripLines = 100;
constexpr WORD kBitmapSignature = 0x4D42;  // "BM"
constexpr char kNativeDumpName[] = "TWAIN_DIB_NATIVE.BMP";
constexpr char kMemoryDumpName[] = "TWAIN_DIB_MEMORY.BMP";

// Module-wide transfer state: the run's tone table, the memory transfer's run mark and its
// diagnostic dump.
struct TransferState {
  BYTE ToneTable[256] = {};
  BOOL MemoryRunActive = FALSE;
  BOOL GreyAsColour = FALSE;  // the run scans a grey image as colour
  WORD RunKind = 0;
  DWORD DumpWidth = 0;
  DWORD DumpHeight = 0;
  BOOL NewDump = FALSE;
  HANDLE Dump = INVALID_HANDLE_VALUE;
  // The memory transfer's image has ended (done or cancelled); it stays ended in state 7 until
  // the application ends the transfer.
  BOOL MemoryImageEnded = FALSE;
  // The memory transfer's strip buffer, kept from strip to strip of a run (not allocated and
  // cleared again for every strip) and released when the run ends.
  std::vector<BYTE> Strip;
};

TransferState g_Transfer;
// The record a strip is transferred for: the application's, or the preview scan's own.
ImageRecord* g_StripRecord = nullptr;

ImageRecord& Record() { return g_StripRecord != nullptr ? *g_StripRecord : CurrentImageRecord(); }

// The row size of the record's image as a memory transfer delivers it (width and height
// exchanged by a quarter turn), and the strip sizes DAT_SETUPMEMXFER answers.
struct MemoryStripSizes {
  DWORD Line;
  DWORD Minimum;
  DWORD Preferred;
};

MemoryStripSizes StripSizes(const ImageRecord& r, DWORD width) {
  const DWORD line = r.ScanKind == kScanKindColor48 && r.PixelType == TWPT_RGB
                         ? BitmapLineBytes(kScanKindColor48, width)
                         : BitmapLineBytesForPixelType(r.PixelType, width);
  const ULONGLONG n = DeviceBufferSize() / line;
  const ULONGLONG s = n * line;
  if (s <= kSmallStripThreshold) return MemoryStripSizes{line, 3 * line, static_cast<DWORD>(s)};
  const DWORD size = line > kSmallStripThreshold ? line : kSmallStripThreshold;
  return MemoryStripSizes{line, size, size};
}

DWORD PixelsPerMetre(const ImageRecord& r, WORD resolution) {
  const DWORD scaled = static_cast<DWORD>(resolution) * 100 / (r.ScalePercent != 0 ? r.ScalePercent : 100);
  return scaled * 10000 / 254;
}

// The scan request of a transfer with the run's tone table; FALSE (condition set) for kinds a
// native or file transfer cannot deliver.
bool PrepareTransfer(ScanRequest& q, bool wholeImage) {
  ImageRecord& r = Record();
  BuildScanRequest(q, r);
  if (wholeImage && (r.ScanKind == kScanKindGray16 || r.ScanKind == kScanKindColor48) && r.PixelType == TWPT_RGB) {
    SetConditionCode(TWCC_OPERATIONERROR);
    return false;
  }
  if (!g_Switches.UseHardwareGrayScale && r.PixelType == TWPT_GRAY) q.Kind = kScanKindColor;
  g_Transfer.GreyAsColour = r.PixelType == TWPT_GRAY && q.Kind == kScanKindColor;
  g_Transfer.RunKind = q.Kind;
  const LevelSlot& slot = r.LevelSlots[0];
  ToneCurveFromLevels(g_Transfer.ToneTable, slot.Gamma, slot.InputLow, slot.InputHigh, slot.OutputLow,
                      slot.OutputHigh);
  q.ToneTable = g_Transfer.ToneTable;
  if (q.DeviceWidth == 0 || q.DeviceHeight == 0) {
    SetConditionCode(TWCC_OPERATIONERROR);
    return false;
  }
  return true;
}

// fgf_FullToGray over a strip of RGB triplets of a grey image scanned as colour.
void ReduceToGrey(BYTE* strip, DWORD width, DWORD lines) {
  const FilterEntryProc fullToGray = BoundFullToGray();
  if (fullToGray == nullptr) return;
  char directory[MAX_PATH] = {};
  GetSourceModuleDirectory(g_Instance, directory, sizeof directory);
  BYTE block[kFullToGrayBlockBytes] = {};
  const DWORD pixels = ToAddr32(strip), text = ToAddr32(directory);
  PutLE32(block, pixels);
  PutLE32(block + 4, pixels);
  PutLE32(block + 8, text);
  PutLE32(block + 12, TWPT_GRAY);
  PutLE32(block + 16, width);
  PutLE32(block + 20, lines);
  fullToGray(block);
  ReleaseAddr32(pixels);
  ReleaseAddr32(text);
}

// The count of transfers still to come after an image ended (not after a failure).
void CountImageDone(BOOL cancelled, BOOL file) {
  SHORT& count = Record().PendingTransferCount;
  if (cancelled) {
    count = 0;
  } else if (file) {
    count = Record().ScanFrom >= 2 && FeederHasPaper() ? 1 : 0;
  } else if (count != -1) {
    --count;
    if (count < 0) count = 0;
  } else if (!FeederHasPaper()) {
    count = 0;
  }
  if (count == 0)
    EndScanRun();
  else
    FinishScanImage();
}

// Maps a strip result other than 0 and 6 to the transfer's result.
TW_UINT16 StripFailure(int result) {
  if (result == kStripCancelled) return TWRC_CANCEL;
  if (ConditionCode() == TWCC_SUCCESS) SetConditionCode(TWCC_OPERATIONERROR);
  return TWRC_FAILURE;
}

// Writes count bytes at a position of a file; FALSE when it fails or is cut short.
bool WriteFileAt(HANDLE file, ULONGLONG position, const void* bytes, DWORD count) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(position);
  DWORD written = 0;
  return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && WriteFile(file, bytes, count, &written, nullptr) &&
         written == count;
}

HANDLE CreateInModuleDirectory(const char* name) {
  char path[MAX_PATH];
  if (!GetSourceModuleDirectory(g_Instance, path, sizeof path) || std::strlen(path) + std::strlen(name) >= MAX_PATH)
    return INVALID_HANDLE_VALUE;
  std::strcat(path, name);
  return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

void CloseMemoryDump() {
  if (g_Transfer.Dump != INVALID_HANDLE_VALUE) CloseHandle(g_Transfer.Dump);
  g_Transfer.Dump = INVALID_HANDLE_VALUE;
}

// The memory transfer's dump starts with the headers of the image HandleSetupMemXfer saw.
void StartMemoryDump() {
  const ImageRecord& r = Record();
  g_Transfer.Dump = CreateInModuleDirectory(kMemoryDumpName);
  if (g_Transfer.Dump == INVALID_HANDLE_VALUE) return;
  const DWORD line = BitmapLineBytesForPixelType(r.PixelType, g_Transfer.DumpWidth);
  const ULONGLONG image = static_cast<ULONGLONG>(line) * g_Transfer.DumpHeight;
  BYTE palette[1024];
  const DWORD paletteBytes = r.PixelType == TWPT_BW ? 8 : (r.PixelType == TWPT_RGB ? 0 : 1024);
  BuildPalette(palette, r.PixelType == TWPT_PALETTE ? TWPT_GRAY : r.PixelType, sizeof palette);
  BYTE headers[kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes] = {};
  BuildBitmapFileHeader(headers, paletteBytes, image);
  BYTE* info = headers + kBitmapFileHeaderBytes;
  PutLE32(info, kBitmapInfoHeaderBytes);
  PutLE32(info + 4, g_Transfer.DumpWidth);
  PutLE32(info + 8, g_Transfer.DumpHeight);
  PutLE16(info + 12, 1);
  PutLE16(info + 14, r.PixelType == TWPT_BW ? 1 : (r.PixelType == TWPT_RGB ? 24 : 8));
  PutLE32(info + 20, static_cast<DWORD>(image));
  const DWORD ppm = static_cast<DWORD>((static_cast<ULONGLONG>(r.XResolution) * 10000 + 253) / 254);
  PutLE32(info + 24, ppm);
  PutLE32(info + 28, ppm);
  DWORD written;
  WriteFile(g_Transfer.Dump, headers, sizeof headers, &written, nullptr);
  WriteFile(g_Transfer.Dump, palette, paletteBytes, &written, nullptr);
}

// One strip of the memory transfer into the application's buffer (top-down, unrotated).
TW_UINT16 TransferMemoryStrip(TW_IMAGEMEMXFER& x, BYTE* buffer) {
  ImageRecord& r = Record();
  const ULONGLONG length = x.Memory.Length;
  ULONGLONG capacity = length;
  if (!g_Transfer.MemoryRunActive) {
    ScanRequest q;
    if (!PrepareTransfer(q, false)) return TWRC_FAILURE;
    if (BeginScanRun(q, 0) != 0) {
      if (ConditionCode() == TWCC_SUCCESS) SetConditionCode(TWCC_OPERATIONERROR);
      return TWRC_CANCEL;
    }
    g_Transfer.MemoryRunActive = TRUE;
    CurrentSourceWindows().suspendPreviewAnimation(TRUE);
    if (CurrentSourceWindows().openProgressWindow(static_cast<double>(q.DeviceWidth) * q.DeviceHeight) == nullptr) {
      EndTransferRun();
      return RefuseRequest(TWCC_OPERATIONERROR);
    }
  }
  if (g_Transfer.GreyAsColour) capacity *= 3;  // room for the RGB triplets before reduction
  CurrentSourceWindows().pumpProgressMessages();
  const WORD kind = g_Transfer.RunKind;
  // Lines that are already the rows the application receives are read straight into its buffer
  // and aligned there; others go through the strip buffer and are placed from it.
  const bool direct = !g_Transfer.GreyAsColour && LinesAreRows(r.PixelType, kind);
  std::vector<BYTE>& strip = g_Transfer.Strip;
  try {
    if (!direct && strip.size() < capacity) strip.resize(capacity);
  } catch (const std::bad_alloc&) {
    EndTransferRun();
    return RefuseRequest(TWCC_LOWMEMORY);
  }
  BYTE* lines = direct ? buffer : strip.data();
  ClearDocumentEndFlag();
  POINT position{};
  SIZE size{};
  const int result = NextStrip(lines, &position, &size, capacity, r);
  if (DocumentEndFlag()) {
    EndTransferRun();
    return TWRC_CANCEL;
  }
  if (result != kStripMore && result != kStripLast) {
    EndTransferRun();
    return StripFailure(result);
  }
  const DWORD width = static_cast<DWORD>(size.cx), rows = static_cast<DWORD>(size.cy);
  if (CurrentSourceWindows().stepProgressCancelled(static_cast<double>(width) * rows)) {
    AbortDeviceScan();
    EndTransferRun();
    return TWRC_CANCEL;
  }
  if (kind == kScanKindColor48) {
    // Red and blue samples change places.
    const ULONGLONG line = PackedLineBytes(kind, width);
    for (DWORD l = 0; l < rows; ++l)
      for (DWORD px = 0; px < width; ++px) {
        BYTE* p = lines + l * line + 6ull * px;
        std::swap(p[0], p[4]);
        std::swap(p[1], p[5]);
      }
  }
  if (g_Transfer.GreyAsColour) ReduceToGrey(lines, width, rows);
  const DWORD bytesPerRow = kind == kScanKindColor48 ? BitmapLineBytes(kind, width)
                                                     : BitmapLineBytesForPixelType(r.PixelType, width);
  if (static_cast<ULONGLONG>(bytesPerRow) * rows > length) {
    EndTransferRun();
    return RefuseRequest(TWCC_LOWMEMORY);
  }
  ExpandStripLines(lines, kind, width, rows);
  const OutputLayout layout{r.PixelType, width, rows, 0, FALSE, FALSE, r.Threshold, FALSE};
  const PlacementTarget target{INVALID_HANDLE_VALUE, 0, buffer, length};
  if (!direct && !PlaceStrip(target, layout, lines, kind, 0, 0, width, rows)) {
    EndTransferRun();
    return RefuseRequest(TWCC_LOWMEMORY);
  }
  x.Compression = TWCP_NONE;
  x.Columns = width;
  x.Rows = rows;
  x.XOffset = static_cast<TW_UINT32>(position.x);
  x.YOffset = static_cast<TW_UINT32>(position.y);
  x.BytesPerRow = bytesPerRow;
  x.BytesWritten = bytesPerRow * rows;
  if (result == kStripLast) {
    CurrentSourceWindows().closeProgressWindow(FALSE);
    CurrentSourceWindows().suspendPreviewAnimation(FALSE);
    g_Transfer.MemoryRunActive = FALSE;
    std::vector<BYTE>().swap(g_Transfer.Strip);
    return TWRC_XFERDONE;
  }
  return TWRC_SUCCESS;
}

TW_UINT16 TransferNative(TW_HANDLE* out) {
  ImageRecord& r = Record();
  *out = nullptr;
  ScanRequest q;
  if (!PrepareTransfer(q, true)) return TWRC_FAILURE;
  BYTE header[kBitmapInfoHeaderBytes];
  const DWORD paletteBytes = BuildBitmapInfoHeader(header, r);
  const ULONGLONG imageBytes = r.ImageSize;
  if (r.ImageSize == 0xFFFFFFFF || imageBytes + paletteBytes + 41 > 0x100000000ull)
    return RefuseRequest(TWCC_LOWMEMORY);
  CurrentSourceWindows().suspendPreviewAnimation(TRUE);
  if (CurrentSourceWindows().openProgressWindow(static_cast<double>(r.Width) * r.Height) == nullptr) {
    CurrentSourceWindows().suspendPreviewAnimation(FALSE);
    return RefuseRequest(TWCC_OPERATIONERROR);
  }
  TW_UINT16 outcome = TWRC_FAILURE;
  HGLOBAL bitmap = GlobalAlloc(GMEM_MOVEABLE, imageBytes + paletteBytes + kBitmapInfoHeaderBytes);
  BYTE* bits = bitmap != nullptr ? static_cast<BYTE*>(GlobalLock(bitmap)) : nullptr;
  const DWORD line = r.BytesPerLine;
  DWORD stripLines = line != 0 ? DeviceBufferSize() / line : 0;
  if (stripLines < kMinStripLines) stripLines = kMinStripLines;
  std::vector<BYTE> strip;
  if (bits == nullptr) {
    SetConditionCode(TWCC_LOWMEMORY);
  } else {
    *out = bitmap;
    std::memcpy(bits, header, sizeof header);
    BuildPalette(bits + kBitmapInfoHeaderBytes, r.PixelType, paletteBytes);
    BYTE* image = bits + kBitmapInfoHeaderBytes + paletteBytes;
    try {
      strip.resize(static_cast<size_t>(line) * stripLines);
    } catch (const std::bad_alloc&) {
      SetConditionCode(TWCC_LOWMEMORY);
    }
    if (!strip.empty() && BeginScanRun(q, r.Rotation) != 0) {
      if (ConditionCode() == TWCC_SUCCESS) SetConditionCode(TWCC_OPERATIONERROR);
      outcome = TWRC_CANCEL;
    } else if (!strip.empty()) {
      const OutputLayout layout{r.PixelType, r.Width, r.Height, r.Rotation, r.HorizontalMirror != 0,
                                r.VerticalMirror != 0, r.Threshold, TRUE};
      const PlacementTarget target{INVALID_HANDLE_VALUE, 0, image, imageBytes};
      ClearDocumentEndFlag();
      for (;;) {
        CurrentSourceWindows().pumpProgressMessages();
        POINT position{};
        SIZE size{};
        const int result = NextStrip(strip.data(), &position, &size, strip.size(), r);
        if (DocumentEndFlag()) {
          outcome = TWRC_CANCEL;
          break;
        }
        if (result != kStripMore && result != kStripLast) {
          outcome = StripFailure(result);
          break;
        }
        const DWORD width = static_cast<DWORD>(size.cx), lines = static_cast<DWORD>(size.cy);
        if (CurrentSourceWindows().stepProgressCancelled(static_cast<double>(width) * lines)) {
          AbortDeviceScan();
          outcome = TWRC_CANCEL;
          break;
        }
        if (g_Transfer.GreyAsColour) ReduceToGrey(strip.data(), width, lines);
        ExpandStripLines(strip.data(), q.Kind, width, lines);
        if (!PlaceStrip(target, layout, strip.data(), q.Kind, static_cast<DWORD>(position.x),
                        static_cast<DWORD>(position.y), width, lines)) {
          outcome = RefuseRequest(TWCC_LOWMEMORY);
          break;
        }
        if (result == kStripLast) {
          outcome = TWRC_XFERDONE;
          break;
        }
      }
    }
  }
  CurrentSourceWindows().closeProgressWindow(outcome != TWRC_XFERDONE);
  CurrentSourceWindows().suspendPreviewAnimation(FALSE);
  if (bitmap != nullptr) {
    if (bits != nullptr) GlobalUnlock(bitmap);
    if (outcome != TWRC_XFERDONE) {
      GlobalFree(bitmap);
      *out = nullptr;
    }
  }
  return outcome;
}

// The file transfer: headers, then every row at its place in the bottom-up bitmap.
TW_UINT16 TransferFile() {
  ImageRecord& r = Record();
  BYTE header[kBitmapInfoHeaderBytes];
  const DWORD paletteBytes = BuildBitmapInfoHeader(header, r);
  ScanRequest probe;
  if (!PrepareTransfer(probe, true)) return TWRC_FAILURE;
  HANDLE file = CreateFileA(r.TransferFileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_RANDOM_ACCESS,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return RefuseRequest(TWCC_LOWMEMORY);
  const ULONGLONG imageBytes = static_cast<ULONGLONG>(r.BytesPerLine) * r.Height;
  BYTE fileHeader[kBitmapFileHeaderBytes];
  BuildBitmapFileHeader(fileHeader, paletteBytes, imageBytes);
  BYTE palette[1024];
  BuildPalette(palette, r.PixelType, sizeof palette);
  DWORD written = 0;
  if (!WriteFile(file, fileHeader, sizeof fileHeader, &written, nullptr) || written != sizeof fileHeader ||
      !WriteFile(file, header, sizeof header, &written, nullptr) || written != sizeof header ||
      !WriteFile(file, palette, paletteBytes, &written, nullptr) || written != paletteBytes) {
    CloseHandle(file);
    return RefuseRequest(TWCC_LOWMEMORY);
  }
  std::vector<BYTE> buffer;
  try {
    buffer.resize(static_cast<size_t>(r.BytesPerLine) * kFileStripLines);
  } catch (const std::bad_alloc&) {
    CloseHandle(file);
    return RefuseRequest(TWCC_LOWMEMORY);
  }
  const ULONGLONG base = kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes + paletteBytes;
  const DWORD rowBytes = r.ScanKind == kScanKindColor48 && r.PixelType == TWPT_RGB ? 6 * r.Width
                                                                                    : PixelRowBytes(r.PixelType, r.Width);
  TW_UINT16 result;
  for (;;) {
    TW_IMAGEMEMXFER x{};
    x.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    x.Memory.Length = static_cast<TW_UINT32>(buffer.size());
    x.Memory.TheMem = buffer.data();
    result = TransferMemoryStrip(x, buffer.data());
    if (result != TWRC_SUCCESS && result != TWRC_XFERDONE) break;
    bool failed = false;
    for (DWORD row = 0; row < x.Rows && !failed; ++row) {
      const ULONGLONG y = static_cast<ULONGLONG>(x.YOffset) + row;
      const ULONGLONG position = base + (r.Height - 1 - y) * r.BytesPerLine;
      failed = y >= r.Height || !WriteFileAt(file, position, buffer.data() + static_cast<ULONGLONG>(row) * x.BytesPerRow,
                                             rowBytes);
    }
    if (failed) {
      // A file with missing rows is no transfer: the run ends and the failure is reported.
      EndTransferRun();
      result = RefuseRequest(TWCC_LOWMEMORY);
      break;
    }
    if (result == TWRC_XFERDONE) {
      const DWORD padding = r.BytesPerLine - rowBytes;
      const BYTE zeros[4] = {};
      if (padding > 0 && !WriteFileAt(file, base + imageBytes - padding, zeros, padding))
        result = RefuseRequest(TWCC_LOWMEMORY);
      break;
    }
  }
  CloseHandle(file);
  return result;
}

}  // namespace

DWORD PreferredMemoryStripBytes(const ImageRecord& record) {
  const DWORD width = record.Rotation == 1 || record.Rotation == 2 ? record.Height : record.Width;
  return width == 0 ? 0 : StripSizes(record, width).Preferred;
}

TW_UINT16 TransferRecordStrip(TW_IMAGEMEMXFER& x, BYTE* buffer, ImageRecord& record) {
  g_StripRecord = &record;
  const TW_UINT16 result = TransferMemoryStrip(x, buffer);
  g_StripRecord = nullptr;
  return result;
}

void EndTransferRun() {
  CurrentSourceWindows().closeProgressWindow(TRUE);
  CurrentSourceWindows().suspendPreviewAnimation(FALSE);
  g_Transfer.MemoryRunActive = FALSE;
  std::vector<BYTE>().swap(g_Transfer.Strip);
  EndScanRun();
}

void BuildBitmapFileHeader(BYTE* h, DWORD paletteBytes, ULONGLONG imageBytes) {
  const ULONGLONG offBits = kBitmapFileHeaderBytes + kBitmapInfoHeaderBytes + paletteBytes;
  PutLE16(h, kBitmapSignature);
  PutLE32(h + 2, static_cast<DWORD>(offBits + imageBytes));
  PutLE32(h + 6, 0);
  PutLE32(h + 10, static_cast<DWORD>(offBits));
}

DWORD BuildBitmapInfoHeader(BYTE* h, const ImageRecord& r) {
  std::memset(h, 0, kBitmapInfoHeaderBytes);
  DWORD palette = 0, used = 0;
  WORD bits = 24;
  switch (r.PixelType) {
    case TWPT_BW:
      bits = 1;
      palette = 8;
      used = 2;
      break;
    case TWPT_GRAY:
    case TWPT_PALETTE:
      bits = 8;
      palette = 1024;
      used = 256;
      break;
    default:
      bits = r.ScanKind == kScanKindColor48 ? 48 : 24;
      break;
  }
  PutLE32(h, kBitmapInfoHeaderBytes);
  PutLE32(h + 4, r.Width);
  PutLE32(h + 8, r.Height);
  PutLE16(h + 12, 1);
  PutLE16(h + 14, bits);
  PutLE32(h + 16, 0);
  PutLE32(h + 20, r.PixelType == TWPT_RGB ? 0 : r.ImageSize);
  PutLE32(h + 24, PixelsPerMetre(r, r.XResolution));
  PutLE32(h + 28, PixelsPerMetre(r, r.YResolution));
  PutLE32(h + 32, used);
  return palette;
}

TW_UINT16 HandleImageInfo(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({6})) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  const ImageRecord& r = Record();
  auto* info = static_cast<TW_IMAGEINFO*>(t.Data);
  const TW_INT16 dpi = static_cast<TW_INT16>(static_cast<DWORD>(r.XResolution) * 100 /
                                             (r.ScalePercent != 0 ? r.ScalePercent : 100));
  info->XResolution = {dpi, 0};
  info->YResolution = {dpi, 0};
  info->ImageWidth = static_cast<TW_INT32>(r.Width);
  info->ImageLength = static_cast<TW_INT32>(r.Height);
  info->BitsPerPixel = static_cast<TW_INT16>(r.BitsPerPixel);
  info->Planar = FALSE;
  info->Compression = TWCP_NONE;
  std::memset(info->BitsPerSample, 0, sizeof info->BitsPerSample);
  switch (r.PixelType) {
    case TWPT_BW:
    case TWPT_GRAY:
    case TWPT_PALETTE:
      info->PixelType = static_cast<TW_INT16>(r.PixelType);
      info->SamplesPerPixel = 1;
      info->BitsPerSample[0] = static_cast<TW_INT16>(r.BitsPerPixel);
      break;
    case TWPT_RGB:
      info->PixelType = TWPT_RGB;
      info->SamplesPerPixel = 3;
      for (int i = 0; i < 3; ++i) info->BitsPerSample[i] = r.ScanKind == kScanKindColor48 ? 16 : 8;
      break;
    default:
      break;
  }
  return TWRC_SUCCESS;
}

TW_UINT16 HandleImageLayout(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  const TW_UINT16 m = t.Message;
  if (m != MSG_GET && m != MSG_GETCURRENT && m != MSG_GETDEFAULT && m != MSG_SET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({4, 5, 6})) return RefuseRequest(TWCC_BADPROTOCOL);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* layout = static_cast<TW_IMAGELAYOUT*>(t.Data);
  ImageRecord& r = Record();
  if (m == MSG_GETDEFAULT) {
    layout->Frame = TW_FRAME{};
    layout->DocumentNumber = layout->PageNumber = layout->FrameNumber = 1;
    return TWRC_SUCCESS;
  }
  if (m == MSG_GET || m == MSG_GETCURRENT) {
    // 1/1200 inch in the current unit, rounded to TW_FIX32 away from zero.
    const auto convert = [&](LONG v) {
      double value;
      if (r.Unit == TWUN_INCHES)
        value = v / 1200.0;
      else if (r.Unit == TWUN_CENTIMETERS)
        value = v * 2.54 / 1200.0;
      else
        value = static_cast<double>(static_cast<LONGLONG>(v) * r.XResolution / 1200);
      const double scaled = value * 65536.0;
      const LONG n = static_cast<LONG>(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
      return TW_FIX32{static_cast<TW_INT16>(n >> 16), static_cast<TW_UINT16>(n & 0xFFFF)};
    };
    layout->Frame = {convert(r.LayoutFrame.left), convert(r.LayoutFrame.top), convert(r.LayoutFrame.right),
                     convert(r.LayoutFrame.bottom)};
    layout->DocumentNumber = 0;
    layout->PageNumber = layout->FrameNumber = 1;
    return TWRC_SUCCESS;
  }
  if (r.Unit != TWUN_INCHES && r.Unit != TWUN_CENTIMETERS && r.Unit != TWUN_PIXELS)
    return RefuseRequest(TWCC_BADPROTOCOL);
  const auto toBed = [&](TW_FIX32 v) -> LONGLONG {
    const double value = Fix32ToFloat(v);
    if (r.Unit == TWUN_INCHES) return static_cast<LONGLONG>(value * 1200);
    if (r.Unit == TWUN_CENTIMETERS) return static_cast<LONGLONG>(value * 1200 * 0.39370078740157477);
    return static_cast<LONGLONG>(v.Whole) * 1200 / (r.XResolution != 0 ? r.XResolution : 1);
  };
  // The frame stays on the bed, its sides in order.
  const auto clamp = [](LONGLONG v, LONG limit) { return static_cast<LONG>(v < 0 ? 0 : (v > limit ? limit : v)); };
  LONG left = clamp(toBed(layout->Frame.Left), kBedWidth), right = clamp(toBed(layout->Frame.Right), kBedWidth);
  LONG top = clamp(toBed(layout->Frame.Top), kBedHeight), bottom = clamp(toBed(layout->Frame.Bottom), kBedHeight);
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (r.ScanFrom != 0) {
    // The feeder centres the sheet across the bed.
    LONG shift = (kBedWidth - right) / 2;
    if (shift < 0) shift = 0;
    left = shift;
    right += shift;
    if (right > kBedWidth) right = kBedWidth;
  }
  r.LayoutFrame = {left, top, right, bottom};
  RecomputePixelSizes(r);
  if (r.Width == 0 || r.Height == 0) {
    r.LayoutFrame = {0, 0, kBedWidth, kBedHeight};
    RecomputePixelSizes(r);
    return RefuseRequest(TWCC_OPERATIONERROR);
  }
  return TWRC_SUCCESS;
}

TW_UINT16 HandlePalette8(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({4, 5, 6})) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* palette = static_cast<TW_PALETTE8*>(t.Data);
  palette->NumColors = 256;
  palette->PaletteType = TWPA_RGB;
  BYTE quads[1024] = {};
  BuildPalette(quads, Record().PixelType, sizeof quads);
  for (int i = 0; i < 256; ++i) {
    palette->Colors[i].Index = static_cast<TW_UINT8>(i);
    palette->Colors[i].Channel1 = quads[4 * i + 2];
    palette->Colors[i].Channel2 = quads[4 * i + 1];
    palette->Colors[i].Channel3 = quads[4 * i];
  }
  return TWRC_SUCCESS;
}

TW_UINT16 HandleSetupMemXfer(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({4, 5, 6})) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  const ImageRecord& r = Record();
  DWORD width = r.Width, height = r.Height;
  if (r.Rotation == 1 || r.Rotation == 2) std::swap(width, height);
  if (width == 0 || height == 0) return RefuseRequest(TWCC_BADVALUE);
  const MemoryStripSizes sizes = StripSizes(r, width);
  auto* setup = static_cast<TW_SETUPMEMXFER*>(t.Data);
  setup->MaxBufSize = 0xFFFFFFFF;
  setup->MinBufSize = sizes.Minimum;
  setup->Preferred = sizes.Preferred;
  g_Transfer.DumpWidth = width;
  g_Transfer.DumpHeight = height;
  g_Transfer.NewDump = TRUE;
  return TWRC_SUCCESS;
}

TW_UINT16 HandleSetupFileXfer(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  const TW_UINT16 m = t.Message;
  if (m != MSG_GET && m != MSG_GETDEFAULT && m != MSG_SET && m != MSG_RESET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({4, 5, 6})) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* setup = static_cast<TW_SETUPFILEXFER*>(t.Data);
  ImageRecord& r = Record();
  char defaultName[sizeof r.TransferFileName];
  switch (m) {
    case MSG_SET:
      if (setup->Format != TWFF_BMP) return RefuseRequest(TWCC_BADPROTOCOL);
      // At most 255 characters of the application's field, which need not be terminated.
      std::memcpy(r.TransferFileName, setup->FileName, sizeof r.TransferFileName - 1);
      r.TransferFileName[sizeof r.TransferFileName - 1] = 0;
      return TWRC_SUCCESS;
    case MSG_GETDEFAULT:
    case MSG_RESET:
      if (!MakeDefaultTransferName(g_Instance, defaultName, sizeof defaultName)) return RefuseRequest(TWCC_BUMMER);
      if (m == MSG_RESET) std::memcpy(r.TransferFileName, defaultName, sizeof defaultName);
      std::memcpy(setup->FileName, defaultName, sizeof defaultName);
      break;
    default:
      std::memcpy(setup->FileName, r.TransferFileName, sizeof r.TransferFileName);
      break;
  }
  setup->Format = TWFF_BMP;
  setup->VRefNum = -1;
  return TWRC_SUCCESS;
}

TW_UINT16 HandleImageNativeXfer(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({6})) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* handle = static_cast<TW_HANDLE*>(t.Data);
  const TW_UINT16 result = TransferNative(handle);
  if (result == TWRC_FAILURE) {
    EndScanRun();
    return result;
  }
  SetSourceState(kState7Transferring);
  if (result == TWRC_XFERDONE && g_Switches.RawDataSave && Record().ScanKind != kScanKindColor48) {
    HANDLE dump = CreateInModuleDirectory(kNativeDumpName);
    const BYTE* bitmap = static_cast<const BYTE*>(GlobalLock(*handle));
    if (dump != INVALID_HANDLE_VALUE && bitmap != nullptr) {
      const DWORD paletteBytes = GetLE32(bitmap + 32) * 4;
      const SIZE_T size = GlobalSize(*handle);
      BYTE fileHeader[kBitmapFileHeaderBytes];
      BuildBitmapFileHeader(fileHeader, paletteBytes, size - kBitmapInfoHeaderBytes - paletteBytes);
      DWORD written;
      WriteFile(dump, fileHeader, sizeof fileHeader, &written, nullptr);
      WriteFile(dump, bitmap, static_cast<DWORD>(size), &written, nullptr);
    }
    if (bitmap != nullptr) GlobalUnlock(*handle);
    if (dump != INVALID_HANDLE_VALUE) CloseHandle(dump);
  }
  CountImageDone(result == TWRC_CANCEL, FALSE);
  return result;
}

TW_UINT16 HandleImageMemXfer(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({6, 7})) return RefuseRequest(TWCC_BADPROTOCOL);
  if (InState({6})) g_Transfer.MemoryImageEnded = FALSE;
  if (g_Transfer.MemoryImageEnded) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* x = static_cast<TW_IMAGEMEMXFER*>(t.Data);
  // The buffer: a pointer, or a handle locked for the call.
  const bool handle = (x->Memory.Flags & TWMF_HANDLE) != 0;
  BYTE* buffer = handle ? static_cast<BYTE*>(GlobalLock(x->Memory.TheMem)) : static_cast<BYTE*>(x->Memory.TheMem);
  if (buffer == nullptr || x->Memory.Length == 0 ||
      (handle && GlobalSize(x->Memory.TheMem) < x->Memory.Length)) {
    if (handle && buffer != nullptr) GlobalUnlock(x->Memory.TheMem);
    return RefuseRequest(TWCC_BADVALUE);
  }
  ImageRecord& r = Record();
  const WORD rotation = r.Rotation;
  const DWORD verticalMirror = r.VerticalMirror;
  r.Rotation = 0;
  r.VerticalMirror = 0;
  const bool dumping = g_Switches.RawDataSave && r.ScanKind != kScanKindColor48;
  if (dumping && g_Transfer.NewDump) {
    CloseMemoryDump();
    StartMemoryDump();
    g_Transfer.NewDump = FALSE;
  }
  const TW_UINT16 result = TransferMemoryStrip(*x, buffer);
  r.Rotation = rotation;
  r.VerticalMirror = verticalMirror;
  if (dumping && g_Transfer.Dump != INVALID_HANDLE_VALUE && (result == TWRC_SUCCESS || result == TWRC_XFERDONE)) {
    DWORD written;
    WriteFile(g_Transfer.Dump, buffer, x->BytesWritten, &written, nullptr);
  }
  if (handle) GlobalUnlock(x->Memory.TheMem);
  // Every strip moves to state 7, as TWAIN has it: from then on the image belongs to the
  // transfer until MSG_ENDXFER.
  SetSourceState(kState7Transferring);
  if (result != TWRC_SUCCESS) CloseMemoryDump();
  if (result == TWRC_CANCEL) {
    SetConditionCode(TWCC_SUCCESS);
    CountImageDone(TRUE, FALSE);
  } else if (result == TWRC_XFERDONE) {
    CountImageDone(FALSE, FALSE);
  }
  if (result == TWRC_CANCEL || result == TWRC_XFERDONE) g_Transfer.MemoryImageEnded = TRUE;
  return result;
}

TW_UINT16 HandleImageFileXfer(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({6})) return RefuseRequest(TWCC_BADPROTOCOL);
  const TW_UINT16 result = TransferFile();
  if (result == TWRC_FAILURE) {
    if (g_Transfer.MemoryRunActive) EndTransferRun();
    EndScanRun();
    return result;
  }
  if (result == TWRC_CANCEL) {
    SetConditionCode(TWCC_SUCCESS);
    Record().PendingTransferCount = 0;
    EndScanRun();
    return result;
  }
  SetSourceState(kState7Transferring);
  CountImageDone(FALSE, TRUE);
  return result;
}
