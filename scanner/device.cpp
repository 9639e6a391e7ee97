// Scanner device commands over the device-access library's StiCommand.
#include "scanner/device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/base/addr32.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/kernel/time.h"
#include "platform/user/msgbox.h"
#include "platform/base/byte_order.h"
#include "scanner/color_transform.h"
#include "scanner/filter_library.h"
#include "scanner/image_record.h"
#include "scanner/pixel_loops.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "scanner/text_ids.h"

BOOL g_PreviewRequested;

namespace {

using StiCommandProc = LONG (*)(int op, ULONG_PTR arg);

// StiCommand operations.
constexpr int kOpOpen = 1;
constexpr int kOpClose = 2;
constexpr int kOpStart = 3;
constexpr int kOpLock = 4;
constexpr int kOpUnlock = 5;
constexpr int kOpExecute = 6;
constexpr int kOpLastStatus = 7;
constexpr int kOpTempLock = 8;
constexpr int kOpTempUnlock = 9;

// Opcodes.
constexpr BYTE kCmdTestPaper = 0x42;
constexpr BYTE kCmdFeederQuery = 0x43;
constexpr BYTE kCmdSetParameters = 0x44;
constexpr BYTE kCmdSetWindow = 0x45;
constexpr BYTE kCmdToneTable = 0x47;
constexpr BYTE kCmdStart = 0x48;
constexpr BYTE kCmdRead = 0x49;
constexpr BYTE kCmdAbort = 0x4C;

// Directions (bytes 40-43 of a command block).
constexpr DWORD kToDevice = 1;
constexpr DWORD kFromDevice = 2;
constexpr DWORD kNoData = 3;

// Last-status values.
constexpr DWORD kStatusNone = 0xFFFFFFFF;  // no connection (-1)
constexpr DWORD kStatusNoPaper = 0x23A00;
constexpr DWORD kStatusCoverOpen = 0x18000;
constexpr DWORD kStatusPaperJam = 0x18001;
constexpr DWORD kStatusEndOfDocument = 0x60000;
constexpr LONG kOpenAlreadyOpen = static_cast<LONG>(0x800704DF);  // counts as a successful open

constexpr DWORD kSmallBufferSize = 0xFFFE;  // DeviceBufferSize when the text says 0
constexpr DWORD kMessageBytes = 260;
constexpr DWORD kSettleMilliseconds = 200;

LONG StiPlaceholder(int, ULONG_PTR) { return 0; }

struct DeviceState {
  HMODULE Library = nullptr;
  StiCommandProc Command = StiPlaceholder;
  BYTE Flags = 0;
  DWORD BufferSize = 0;
  BOOL DocumentEnd = FALSE;
  // The running scan.
  WORD Kind = 0;
  DWORD Width = 0;
  DWORD Length = 0;
  WORD Resolution = 0;
  BOOL FirstBand = FALSE;
  HANDLE RawDump = INVALID_HANDLE_VALUE;
  BYTE Window[kScanWindowBytes] = {};
  // The band buffer of device reads.
  HGLOBAL BandMemory = nullptr;
  BYTE* BandBuffer = nullptr;
  DWORD BandBufferSize = 0;
};

DeviceState g_Device;

LONG Sti(int op, ULONG_PTR arg) { return g_Device.Command(op, arg); }
DWORD LastStatus() { return static_cast<DWORD>(Sti(kOpLastStatus, 0)); }

// Sends a filled command block; the 32-bit addresses it holds are valid during the call only.
LONG SendBlock(BYTE* block) {
  const LONG result = Sti(kOpExecute, reinterpret_cast<ULONG_PTR>(block));
  ReleaseAddr32(GetLE32(block + 44));
  ReleaseAddr32(GetLE32(block + 52));
  return result;
}

// A command block: direction, parameter (sent) and data (received) buffers.
void FillBlock(BYTE* block, BYTE opcode, DWORD direction, DWORD transferLength, const void* parameter,
               void* data, DWORD dataLength) {
  std::memset(block, 0, kDeviceCommandBlockBytes);
  block[1] = opcode;
  PutBE32(block + 4, transferLength);
  PutLE32(block + 40, direction);
  PutLE32(block + 44, ToAddr32(parameter));
  PutLE32(block + 52, ToAddr32(data));
  PutLE32(block + 60, dataLength);
}

int Execute(BYTE opcode, DWORD direction, DWORD transferLength, const void* parameter, void* data, DWORD dataLength) {
  BYTE block[kDeviceCommandBlockBytes];
  FillBlock(block, opcode, direction, transferLength, parameter, data, dataLength);
  return ExecuteDeviceCommand(opcode, block);
}

// Locks the device for a scan (operation 4); the status comes back in byte 2 of the buffer.
bool LockDevice() {
  BYTE status[kDeviceCommandBlockBytes] = {};
  if (Sti(kOpLock, reinterpret_cast<ULONG_PTR>(status)) < 0) {
    ReportDeviceError(&status[2], LastStatus());
    return false;
  }
  g_Device.Flags |= kDeviceLocked;
  return true;
}

// Bits per pixel the device sends for a scan kind (grey for the kinds expanded to colour).
DWORD DeviceBits(WORD kind) {
  if (kind > 255) return 16;
  const BYTE composition = static_cast<BYTE>(kind);
  return composition == 0 || composition == 1 || composition == 3 ? 1 : 8;
}

// The window width the device works with: whole multiples of 64 pixels at 400 dpi, else 32.
DWORD PaddedWidth(DWORD width, WORD resolution) {
  const DWORD unit = resolution == 400 ? 64 : 32;
  return static_cast<DWORD>((static_cast<ULONGLONG>(width) + unit - 1) / unit * unit);
}

// The tone-curve index of TRC_LUT_LIST for a kind and resolution.
int CurveIndex(WORD kind, WORD resolution) {
  const int band = resolution < 300 ? 0 : (resolution < 600 ? 1 : 2);
  if (kind == kScanKindDiffusion) return 6 + band;
  if (kind == kScanKindHalftone) return 3 + band;
  return band;
}

void BuildScanWindow(BYTE* w, WORD kind, LONG left, LONG top, DWORD width, DWORD length, WORD resolution,
                     BYTE threshold, WORD halftoneMode, DWORD backgroundRemoval) {
  std::memset(w, 0, kScanWindowBytes);
  PutBE16(w + 2, resolution);
  PutBE16(w + 4, resolution);
  PutBE32(w + 8, static_cast<DWORD>(static_cast<LONGLONG>(resolution) * (left / 2) / 600));
  PutBE32(w + 12, static_cast<DWORD>(static_cast<LONGLONG>(resolution) * (top / 2) / 600));
  PutBE32(w + 16, PaddedWidth(width, resolution));
  PutBE32(w + 20, resolution == 400 ? (length + 1) / 2 * 2 : length);
  const BYTE composition = static_cast<BYTE>(kind);
  w[25] = threshold;
  w[26] = composition == kScanKindColor ? kScanKindGray : composition;
  w[27] = static_cast<BYTE>(DeviceBits(kind));
  w[28] = backgroundRemoval ? 0x40 : 0;
  w[29] = static_cast<BYTE>(0x32 | ((halftoneMode & 3) << 6));
  std::memcpy(w + 32, w + 8, 16);
}

// Makes sure the band buffer has DeviceBufferSize bytes (the size can change between opens).
bool EnsureBandBuffer() {
  if (g_Device.BandBuffer != nullptr && g_Device.BandBufferSize == g_Device.BufferSize) return true;
  FreeDeviceBandBuffer();
  g_Device.BandMemory = GlobalAlloc(GMEM_MOVEABLE, g_Device.BufferSize);
  if (g_Device.BandMemory == nullptr) return false;
  g_Device.BandBuffer = static_cast<BYTE*>(GlobalLock(g_Device.BandMemory));
  if (g_Device.BandBuffer == nullptr) {
    FreeDeviceBandBuffer();
    return false;
  }
  g_Device.BandBufferSize = g_Device.BufferSize;
  return true;
}

void WriteDump(const void* bytes, DWORD count) {
  DWORD written = 0;
  if (g_Device.RawDump != INVALID_HANDLE_VALUE) WriteFile(g_Device.RawDump, bytes, count, &written, nullptr);
}

// Starts the raw dump of the scan in the module's directory, with its header.
void StartRawDump(DWORD deviceLineBytes, DWORD deviceWidth) {
  const bool oneBit = g_Device.Kind == kScanKindThreshold || g_Device.Kind == kScanKindDiffusion;
  const bool grey = g_Device.Kind == kScanKindGray || g_Device.Kind == kScanKindColor;
  if (!oneBit && !grey) return;
  char path[MAX_PATH];
  if (!GetSourceModuleDirectory(g_Instance, path, sizeof path)) return;
  const char* name = oneBit ? "TWAIN_RAW.PBM" : "TWAIN_RAW.PGM";
  if (std::strlen(path) + std::strlen(name) >= sizeof path) return;
  std::strcat(path, name);
  g_Device.RawDump = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD height = GetBE32(g_Device.Window + 20);
  char header[64];
  const int n = oneBit ? std::snprintf(header, sizeof header, "P4\n%u %u\n", deviceLineBytes * 8, height)
                       : std::snprintf(header, sizeof header, "P5\n%u %u\n%d\n", deviceWidth, height, 255);
  WriteDump(header, static_cast<DWORD>(n));
}

// Each of n grey bytes repeated into an RGB triplet.
QV_TRIPLET_LOOP void GreyToTriplets(BYTE* __restrict triplets, const BYTE* __restrict grey, DWORD n) {
  for (DWORD x = 0; x < n; ++x) {
    const BYTE g = grey[x];
    triplets[3 * static_cast<size_t>(x)] = g;
    triplets[3 * static_cast<size_t>(x) + 1] = g;
    triplets[3 * static_cast<size_t>(x) + 2] = g;
  }
}

// Copies device lines into packed destination lines of the scan kind.
void CopyDeviceLines(BYTE* dest, const BYTE* src, DWORD lines, DWORD deviceLineBytes) {
  const WORD kind = g_Device.Kind;
  const DWORD width = g_Device.Width;
  const DWORD destLine = PackedLineBytes(kind, width);
  for (DWORD l = 0; l < lines; ++l, src += deviceLineBytes, dest += destLine) {
    if (DeviceBits(kind) == 1) {
      for (DWORD i = 0; i < destLine; ++i) dest[i] = g_Switches.MonoBitReverse ? static_cast<BYTE>(src[i] ^ 0xFF) : src[i];
    } else if (kind == kScanKindColor48) {
      // Each 16-bit device sample becomes the three samples of a 48-bit pixel.
      for (DWORD x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c) std::memcpy(dest + 6 * x + 2 * c, src + 2 * x, 2);
    } else if (kind == kScanKindColor) {
      // Grey bytes repeated into RGB triplets (read from the band buffer, never from the
      // destination, so the two never overlap).
      GreyToTriplets(dest, src, width);
    } else {
      std::memcpy(dest, src, destLine);
    }
  }
}

}  // namespace

BYTE DeviceFlags() { return g_Device.Flags; }
DWORD DeviceBufferSize() { return g_Device.BufferSize; }
BOOL DocumentEndFlag() { return g_Device.DocumentEnd; }
void ClearDocumentEndFlag() { g_Device.DocumentEnd = FALSE; }

BOOL OpenDevice() {
  if (g_Device.Library != nullptr) return TRUE;
  if (BoundZoomAndDelBack() == nullptr) return FALSE;
  char text[32];
  LoadLocalizedString(g_Instance, kTextDeviceBufferSize, text, sizeof text);
  g_Device.BufferSize = static_cast<DWORD>(std::strtoul(text, nullptr, 10));
  if (g_Device.BufferSize == 0) g_Device.BufferSize = kSmallBufferSize;
  g_Device.Flags = 0;

  char path[MAX_PATH], name[MAX_PATH];
  if (!GetSourceModuleDirectory(g_Instance, path, sizeof path)) return FALSE;
  LoadLocalizedString(g_Instance, kTextDeviceLibrary, name, sizeof name);
  if (std::strlen(path) + std::strlen(name) >= sizeof path) return FALSE;
  std::strcat(path, name);
  g_Device.Library = LoadLibraryA(path);
  if (g_Device.Library == nullptr) return FALSE;
  const auto command = reinterpret_cast<StiCommandProc>(GetProcAddress(g_Device.Library, "StiCommand"));
  if (command == nullptr) {
    FreeLibrary(g_Device.Library);
    g_Device.Library = nullptr;
    return FALSE;
  }
  g_Device.Command = command;
  LoadLocalizedString(g_Instance, kTextDeviceName, name, sizeof name);
  const LONG result = Sti(kOpOpen, reinterpret_cast<ULONG_PTR>(name));
  if (result >= 0 || result == kOpenAlreadyOpen) {
    g_Device.Flags |= kDeviceOpen;
    return TRUE;
  }
  ReportDeviceError(nullptr, kStatusNone);
  FreeLibrary(g_Device.Library);
  g_Device.Library = nullptr;
  g_Device.Command = StiPlaceholder;
  return FALSE;
}

BOOL CloseDevice() {
  if (g_Device.Library != nullptr) {
    if (g_Device.Flags & kDeviceLocked) Sti(kOpUnlock, 0);
    Sti(kOpClose, 0);
    g_Device.Flags = 0;
    FreeLibrary(g_Device.Library);
    g_Device.Library = nullptr;
    g_Device.Command = StiPlaceholder;
  }
  return TRUE;
}

int ExecuteDeviceCommand(BYTE opcode, BYTE* block) {
  // One attempt: a device condition is reported (or ends the document) and the scan ends.
  block[0] = 0;
  block[1] = opcode;
  block[2] = block[3] = 0;
  std::memset(block + 8, 0, 32);
  const LONG result = SendBlock(block);
  const DWORD status = LastStatus();
  if (result >= 0) return kScanOk;
  if (block[2] == 0) {
    ShowDeviceMessage(kTextNoConnection, kTextDeviceCaption, FALSE);
    EndDeviceScan();
    return kScanFailed;
  }
  if (ReportDeviceError(&block[2], status) != 0) EndDeviceScan();
  return kScanFailed;
}

int ReportDeviceError(const BYTE* statusByte, DWORD status) {
  if (status == kStatusNone) {
    ShowDeviceMessage(kTextNoConnection, kTextDeviceCaption, FALSE);
    return -1;
  }
  if (status == kStatusEndOfDocument) {
    g_Device.DocumentEnd = TRUE;  // the end of a document is no error to show
    return -1;
  }
  if (statusByte != nullptr) {
    if (*statusByte == 0) return 0;
    if (*statusByte & 0x08) {
      ShowDeviceMessage(kTextScannerBusy, kTextDeviceCaption, FALSE);
      return -1;
    }
  }
  UINT text = kTextNoConnection;
  if (status == kStatusCoverOpen) text = kTextCoverOpen;
  if (status == kStatusPaperJam) text = kTextPaperJam;
  ShowDeviceMessage(text, kTextDeviceCaption, FALSE);
  return -1;
}

int ShowDeviceMessage(UINT textId, UINT captionId, BOOL withCancel) {
  char* text = static_cast<char*>(std::malloc(kMessageBytes));
  char* caption = static_cast<char*>(std::malloc(kMessageBytes));
  int answer = IDCANCEL;
  if (text != nullptr && caption != nullptr) {
    LoadLocalizedString(g_Instance, textId, text, kMessageBytes);
    LoadLocalizedString(g_Instance, captionId, caption, kMessageBytes);
    answer = MessageBoxA(nullptr, text, caption,
                         MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST | (withCancel ? MB_OKCANCEL : 0));
  }
  std::free(text);
  std::free(caption);
  return answer;
}

BOOL CheckFeederPaper(BOOL showMessages) {
  if (g_Device.Library == nullptr && !OpenDevice()) return FALSE;
  for (;;) {
    BYTE block[kDeviceCommandBlockBytes];
    FillBlock(block, kCmdTestPaper, kNoData, 0, nullptr, nullptr, 0);
    const LONG result = SendBlock(block);
    const DWORD status = LastStatus();
    if (result < 0) {
      if (showMessages) ReportDeviceError(nullptr, status);
      return FALSE;
    }
    if ((block[2] & 0x18) == 0x18) {
      if (showMessages) ReportDeviceError(&block[2], status);
      return FALSE;
    }
    if (status != kStatusNoPaper && (block[3] & 0x40)) return TRUE;
    if (!showMessages) return FALSE;
    if (ShowDeviceMessage(kTextFeederEmpty, kTextDeviceCaption, TRUE) != IDOK) return FALSE;
  }
}

int PrepareDevice(BOOL paperTest) {
  if (!OpenDevice()) {
    CloseDevice();
    return kScanFailed;
  }
  if (!(g_Device.Flags & kDeviceLocked)) {
    if (!LockDevice()) return kScanFailed;
    Sleep(kSettleMilliseconds);
  }
  if (Sti(kOpStart, 0) < 0) {
    EndDeviceScan();
    ShowDeviceMessage(kTextNoConnection, kTextDeviceCaption, FALSE);
    return kScanFailed;
  }
  if (paperTest && !CheckFeederPaper(TRUE)) {
    EndDeviceScan();
    return kScanFailed;
  }
  return kScanOk;
}

int StartScan(WORD kind, LONG left, LONG top, DWORD width, DWORD length, WORD resolution, WORD threshold,
              WORD halftoneMode, DWORD backgroundRemoval, BOOL paperTest, const BYTE* toneTable) {
  g_Device.Kind = kind;
  g_Device.Width = width;
  g_Device.Length = length;
  g_Device.Resolution = resolution;
  if ((kind == kScanKindColor || kind == kScanKindGray16 || kind == kScanKindColor48) && g_Switches.ConvertToSrgb &&
      !CreateColorTransform())
    return kScanFailed;
  if (!(g_Device.Flags & kDeviceLocked) && !LockDevice()) return kScanFailed;
  if (paperTest && !CheckFeederPaper(TRUE)) {
    EndDeviceScan();
    return kScanFailed;
  }
  const BYTE composition = static_cast<BYTE>(kind);
  const BYTE* const* curves = BoundToneCurveList();
  if (composition == 4 || composition > 5 || curves == nullptr || toneTable == nullptr || width == 0 || length == 0) {
    EndDeviceScan();
    return kScanFailed;
  }

  // The tone table: the library's curve applied to the run's table, reversed.
  BYTE tones[256];
  const BYTE* curve = curves[CurveIndex(kind, resolution)];
  for (int i = 0; i < 256; ++i)
    tones[i] = (kind == kScanKindThreshold || g_PreviewRequested) ? toneTable[i] : curve[255 - toneTable[255 - i]];
  // The threshold byte of the one-bit compositions.
  BYTE thresholdByte = 0;
  if (composition == 0 || composition == 1 || composition == 3) {
    const BYTE* general = curves[CurveIndex(kScanKindThreshold, resolution)];
    const int t = threshold > 255 ? 255 : threshold;
    thresholdByte = g_PreviewRequested ? general[t] : general[255 - t];
  }
  BuildScanWindow(g_Device.Window, kind, left, top, width, length, resolution, thresholdByte, halftoneMode,
                  backgroundRemoval);

  const BYTE parameters8[8] = {3, 6, 1, 0, 2, 0x58, 0, 0};
  BYTE parameters48[48] = {0x20, 0x2E, static_cast<BYTE>(paperTest ? 0x40 : 0)};
  if (Execute(kCmdAbort, kNoData, 0, nullptr, nullptr, 0) != kScanOk ||
      Execute(kCmdSetParameters, kToDevice, sizeof parameters8, parameters8, nullptr, 0) != kScanOk ||
      Execute(kCmdSetParameters, kToDevice, sizeof parameters48, parameters48, nullptr, 0) != kScanOk ||
      Execute(kCmdToneTable, kToDevice, sizeof tones, tones, nullptr, 0) != kScanOk ||
      Execute(kCmdSetWindow, kToDevice, kScanWindowBytes, g_Device.Window, nullptr, 0) != kScanOk ||
      Execute(kCmdStart, kNoData, 0, nullptr, nullptr, 0) != kScanOk)
    return kScanFailed;
  if (!EnsureBandBuffer()) return kScanFailed;
  g_Device.FirstBand = TRUE;
  return kScanOk;
}

int ReadScanBand(BYTE* dest, DWORD lineCount) {
  const DWORD deviceWidth = PaddedWidth(g_Device.Width, g_Device.Resolution);
  const DWORD deviceLineBytes =
      static_cast<DWORD>((static_cast<ULONGLONG>(deviceWidth) * DeviceBits(g_Device.Kind) + 7) / 8);
  const DWORD destLineBytes = PackedLineBytes(g_Device.Kind, g_Device.Width);
  if (g_Device.BandBuffer == nullptr || deviceLineBytes == 0) return 1;
  // Whole device lines per read; a line that does not fit the buffer cannot be read at all.
  const DWORD linesPerRead = g_Device.BandBufferSize / deviceLineBytes;
  if (linesPerRead == 0) return 1;
  DWORD remaining = lineCount;
  while (remaining > 0) {
    const DWORD lines = remaining < linesPerRead ? remaining : linesPerRead;
    const DWORD count = lines * deviceLineBytes;
    BYTE parameter[4];
    PutBE32(parameter, count);
    BYTE block[kDeviceCommandBlockBytes];
    FillBlock(block, kCmdRead, kFromDevice, count, parameter, g_Device.BandBuffer, count);
    if (ExecuteDeviceCommand(kCmdRead, block) != kScanOk) return 1;
    const DWORD status = LastStatus();
    const BYTE statusByte = block[2];
    const bool passes = statusByte == 0 || statusByte == 8 ||
                        (statusByte == 2 && (status == 0 || status == kStatusCoverOpen || status == kStatusPaperJam));
    if (!passes) {
      ReportDeviceError(&block[2], status);
      EndDeviceScan();
      return 1;
    }
    if (g_Switches.RawDataSave && g_Device.FirstBand) StartRawDump(deviceLineBytes, deviceWidth);
    g_Device.FirstBand = FALSE;
    WriteDump(g_Device.BandBuffer, count);
    CopyDeviceLines(dest, g_Device.BandBuffer, lines, deviceLineBytes);
    dest += static_cast<ULONGLONG>(lines) * destLineBytes;
    remaining -= lines;
  }
  return 0;
}

void AbortDeviceScan() { Execute(kCmdAbort, kNoData, 0, nullptr, nullptr, 0); }

void EndDeviceScan() {
  if (g_Device.Flags & kDeviceLocked) {
    BYTE block[kDeviceCommandBlockBytes];
    FillBlock(block, kCmdAbort, kNoData, 0, nullptr, nullptr, 0);
    SendBlock(block);
    Sti(kOpUnlock, 0);
    Sti(kOpUnlock, 0);
    g_Device.Flags &= static_cast<BYTE>(~kDeviceLocked);
  }
  CloseDevice();
  if (g_Device.RawDump != INVALID_HANDLE_VALUE) {
    CloseHandle(g_Device.RawDump);
    g_Device.RawDump = INVALID_HANDLE_VALUE;
  }
  g_Device.FirstBand = FALSE;
}

void FreeDeviceBandBuffer() {
  if (g_Device.BandMemory != nullptr) {
    GlobalUnlock(g_Device.BandMemory);
    GlobalFree(g_Device.BandMemory);
  }
  g_Device.BandMemory = nullptr;
  g_Device.BandBuffer = nullptr;
  g_Device.BandBufferSize = 0;
}

BOOL FeederPresent() {
  if (!OpenDevice()) return FALSE;
  const bool temporary = !(g_Device.Flags & kDeviceLocked);
  if (temporary) Sti(kOpTempLock, 0);
  BYTE reply[kDeviceCommandBlockBytes] = {};
  BYTE block[kDeviceCommandBlockBytes];
  FillBlock(block, kCmdFeederQuery, 0, 0, reply, reply, sizeof reply);
  block[1] = kCmdFeederQuery;
  const BOOL present = SendBlock(block) >= 0 && (reply[10] & 1) != 0;
  if (temporary) Sti(kOpTempUnlock, 0);
  CloseDevice();
  return present;
}

BOOL FeederHasPaper() {
  if (!OpenDevice()) return FALSE;
  const bool temporary = !(g_Device.Flags & kDeviceLocked);
  if (temporary) Sti(kOpTempLock, 0);
  const BOOL paper = CheckFeederPaper(FALSE);
  if (temporary) Sti(kOpTempUnlock, 0);
  CloseDevice();
  return paper;
}
