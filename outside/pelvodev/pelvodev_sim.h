// The simulated scanner behind the stand-in device-access library "pelvodev.dll": its test
// pattern, its set-up and failure scripts and its log of decoded commands. Tests reach the
// Sim functions with GetProcAddress on the loaded library (the typedefs below).
//
// The scanner: a 14028 x 20400 (1/1200 inch) flatbed and, when configured, a feeder. Opcode 0x49
// reads return the pattern of the current scan window in bed pixel coordinates
// (X = window left + column, Y = window top + line) as device lines of the window's padded
// width: one bit per pixel most significant bit first (SimPattern1), one byte (SimPattern8) or
// two bytes little-endian (SimPattern16). With its tone handling switched on
// (SimScannerApplyTones) it works as a real scanner does with the tone table of opcode 0x47
// (the identity before one arrives): 8-bit samples are the table's values of SimPattern8, and
// one-bit pixels are quantised from those toned grey values (SimToneBit); 16-bit samples stay
// raw. Reading beyond the window's length, or beyond the
// configured page length of a feeder page, fails with status byte 2 and last status 0x60000
// (end of document).
#pragma once

#include "platform/base/types.h"

// The test pattern at bed pixel (x, y).
constexpr BYTE SimPattern8(DWORD x, DWORD y) { return static_cast<BYTE>(x * 7 + y * 13 + ((x * y) >> 5)); }
constexpr int SimPattern1(DWORD x, DWORD y) { return ((x / 3 + y / 5) ^ (x * y >> 6)) & 1; }
// A one-bit pixel made from a toned grey value: set (dark) when the value is below the window's
// threshold byte for composition 0 (line art), below a level of a 4 x 4 ordered dither at bed
// pixel (x, y) for the other one-bit compositions.
constexpr int SimToneBit(BYTE toned, BYTE composition, BYTE threshold, DWORD x, DWORD y) {
  constexpr BYTE kDither[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  const int level = composition == 0 ? threshold : kDither[y % 4][x % 4] * 16 + 8;
  return toned < level ? 1 : 0;
}
constexpr WORD SimPattern16(DWORD x, DWORD y) { return static_cast<WORD>((SimPattern8(x, y) << 8) | ((x + 3 * y) & 0xFF)); }

// Last-status values of operation 7.
constexpr DWORD kSimStatusNoPaper = 0x23A00;
constexpr DWORD kSimStatusCoverOpen = 0x18000;
constexpr DWORD kSimStatusPaperJam = 0x18001;
constexpr DWORD kSimStatusEndOfDocument = 0x60000;
constexpr DWORD kSimStatusInvalidField = 0x52400;
// Device status bytes (byte 2 of a command block or of the lock buffer).
constexpr BYTE kSimStatusByteCheck = 2;
constexpr BYTE kSimStatusByteBusy = 8;
constexpr BYTE kSimStatusByteConflict = 0x18;

struct SimScannerSetupInfo {
  LONG OpenResult;        // answer of operation 1 for the right device name
  BOOL HasFeeder;         // reply of opcode 0x43
  DWORD FeederPages;      // sheets waiting in the feeder
  DWORD PaperAfterTests;  // the feeder stays empty for this many 0x42 tests, then FeederPages arrive
  DWORD PageLines;        // lines of a feeder page (0: as long as the scan window)
};

// One StiCommand call (every operation but 7, which only answers the last status).
struct SimScannerCall {
  int Op;                 // the operation
  char Name[64];          // operation 1: the device name passed
  BYTE Opcode;            // operation 6: the command block's opcode
  DWORD Direction;        // bytes 40-43
  DWORD TransferLength;   // bytes 4-7, big-endian
  DWORD DataLength;       // bytes 60-63
  DWORD ParamLength;      // parameter bytes kept below
  BYTE Param[256];
  LONG Result;            // what the call answered
};

// The last scan window received (opcode 0x45), decoded.
struct SimScanWindow {
  DWORD XResolution;
  DWORD YResolution;
  DWORD Left;
  DWORD Top;
  DWORD Width;
  DWORD Length;
  BYTE Threshold;
  BYTE Composition;
  BYTE BitsPerPixel;
  BYTE Background;
  BYTE Halftone;
  BYTE Repeat[16];  // bytes 32-47
};

// Back to a flatbed-and-feeder scanner with an empty feeder, no scripts and an empty log.
using SimScannerResetProc = void (*)();
using SimScannerSetupProc = void (*)(const SimScannerSetupInfo* info);
// The occurrence-th next call of operation op (for op 6: of that opcode; 0 = every call)
// answers result and leaves statusByte (byte 2 of the block or lock buffer) and lastStatus
// (operation 7). A non-negative result with a status byte reports a condition on success.
using SimScannerFailProc = void (*)(int op, BYTE opcode, DWORD occurrence, LONG result, BYTE statusByte,
                                    DWORD lastStatus);
using SimScannerCallCountProc = DWORD (*)();
using SimScannerCallProc = BOOL (*)(DWORD index, SimScannerCall* call);
using SimScannerWindowProc = BOOL (*)(SimScanWindow* window);
using SimScannerToneTableProc = BOOL (*)(BYTE* table256);
using SimScannerFeederPagesProc = DWORD (*)();
// Switches the scanner's tone handling on or off (off after SimScannerReset).
using SimScannerApplyTonesProc = void (*)(BOOL on);
