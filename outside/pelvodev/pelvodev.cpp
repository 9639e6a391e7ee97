// Stand-in for the scanner device-access library: StiCommand over a simulated flatbed and
// feeder (see pelvodev_sim.h), with scripted failures and a log of decoded command blocks.
#include <algorithm>
#include <cstring>
#include <vector>

#include "outside/pelvodev/pelvodev_sim.h"
#include "platform/base/addr32.h"
#include "platform/base/byte_order.h"
#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler_state.h"

namespace {

constexpr char kDeviceName[] = "Scriptora Duo Local Scan";

struct Script {
  int Op;
  BYTE Opcode;
  DWORD Occurrence;
  LONG Result;
  BYTE StatusByte;
  DWORD LastStatus;
  DWORD Seen;
};

struct Scanner {
  SimScannerSetupInfo Setup{0, TRUE, 0, 0, 0};
  std::vector<Script> Scripts;
  std::vector<SimScannerCall> Log;
  DWORD LastStatus = 0;
  DWORD PaperTests = 0;
  bool FeederScan = false;  // the last 0x44 parameter asked for the paper test
  bool HaveWindow = false;
  SimScanWindow Window{};
  BYTE ToneTable[256]{};
  bool HaveToneTable = false;
  bool ApplyTones = false;  // samples made from the grey pattern through the tone table
  bool Started = false;
  ULONGLONG ReadPosition = 0;  // bytes of the device stream already delivered
};

Scanner& State() {
  static Scanner scanner;
  return scanner;
}

// The script that applies to this call, if any.
const Script* MatchScript(int op, BYTE opcode) {
  for (Script& s : State().Scripts) {
    if (s.Op != op || (op == 6 && s.Opcode != opcode)) continue;
    ++s.Seen;
    if (s.Occurrence == 0 || s.Seen == s.Occurrence) return &s;
  }
  return nullptr;
}

bool PaperInFeeder() {
  const Scanner& s = State();
  return s.Setup.HasFeeder && s.Setup.FeederPages > 0 && s.PaperTests > s.Setup.PaperAfterTests;
}

DWORD DeviceLineBytes(const SimScanWindow& w) {
  return static_cast<DWORD>((static_cast<ULONGLONG>(w.Width) * w.BitsPerPixel + 7) / 8);
}

// The tone table's value for a grey sample; the identity while no table was received.
BYTE Toned(const Scanner& s, BYTE grey) { return s.HaveToneTable ? s.ToneTable[grey] : grey; }

// SimPattern8 of the n pixels from (x, y) along the line, made as a scanner delivers a line, at
// once: its two terms grow by a step per pixel, and the byte they make depends only on their low
// 16 bits (the product's bits 5 to 12 and the rest's low 8 bits), so the line is made in 16-bit
// vector steps rather than pixel by pixel.
void PatternRow(DWORD x, DWORD y, DWORD n, BYTE* __restrict out) {
  WORD linear = static_cast<WORD>(x * 7 + y * 13), product = static_cast<WORD>(x * y);
  const WORD step = static_cast<WORD>(y);
  for (DWORD i = 0; i < n; ++i) {
    out[i] = static_cast<BYTE>(linear + (product >> 5));
    linear = static_cast<WORD>(linear + 7);
    product = static_cast<WORD>(product + step);
  }
}

// Bytes [first, first + n) of device line `line` of the current window, into out.
void StreamBytes(const Scanner& s, DWORD line, DWORD first, DWORD n, BYTE* out) {
  const SimScanWindow& w = s.Window;
  const DWORD y = w.Top + line;
  if (w.BitsPerPixel == 1) {
    for (DWORD i = 0; i < n; ++i) {
      const DWORD x0 = w.Left + (first + i) * 8;
      BYTE b = 0;
      for (DWORD bit = 0; bit < 8; ++bit) {
        const DWORD x = x0 + bit;
        const int on = s.ApplyTones ? SimToneBit(Toned(s, SimPattern8(x, y)), w.Composition, w.Threshold, x, y)
                                    : SimPattern1(x, y);
        if (on) b |= static_cast<BYTE>(0x80 >> bit);
      }
      out[i] = b;
    }
  } else if (w.BitsPerPixel == 16) {
    for (DWORD i = 0; i < n; ++i) {
      const DWORD index = first + i;
      const WORD v = SimPattern16(w.Left + index / 2, y);
      out[i] = static_cast<BYTE>(index % 2 ? v >> 8 : v);
    }
  } else {
    PatternRow(w.Left + first, y, n, out);
    if (s.ApplyTones)
      for (DWORD i = 0; i < n; ++i) out[i] = Toned(s, out[i]);
  }
}

// Fails the command with a device condition.
LONG Condition(BYTE* block, BYTE statusByte, DWORD lastStatus) {
  block[2] = statusByte;
  State().LastStatus = lastStatus;
  return -1;
}

LONG ParseWindow(BYTE* block, const BYTE* p, DWORD length) {
  if (p == nullptr || length < 48) return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
  SimScanWindow w{};
  w.XResolution = GetBE16(p + 2);
  w.YResolution = GetBE16(p + 4);
  w.Left = GetBE32(p + 8);
  w.Top = GetBE32(p + 12);
  w.Width = GetBE32(p + 16);
  w.Length = GetBE32(p + 20);
  w.Threshold = p[25];
  w.Composition = p[26];
  w.BitsPerPixel = p[27];
  w.Background = p[28];
  w.Halftone = p[29];
  std::memcpy(w.Repeat, p + 32, 16);
  const bool oneBit = w.Composition == 0 || w.Composition == 1 || w.Composition == 3;
  const bool bitsMatch = oneBit ? w.BitsPerPixel == 1 : (w.Composition == 2 && (w.BitsPerPixel == 8 || w.BitsPerPixel == 16));
  if (!bitsMatch || w.Width == 0 || w.Length == 0 || w.Width > 0x100000 || w.Length > 0x100000)
    return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
  State().Window = w;
  State().HaveWindow = true;
  return 0;
}

LONG ReadData(BYTE* block, const BYTE* param, BYTE* data, DWORD dataLength) {
  Scanner& s = State();
  if (param == nullptr || data == nullptr || !s.Started || !s.HaveWindow)
    return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
  const DWORD count = GetBE32(param);
  if (count > dataLength) return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
  const DWORD lineBytes = DeviceLineBytes(s.Window);
  DWORD lines = s.Window.Length;
  if (s.FeederScan && s.Setup.PageLines != 0 && s.Setup.PageLines < lines) lines = s.Setup.PageLines;
  const ULONGLONG total = static_cast<ULONGLONG>(lineBytes) * lines;
  if (s.ReadPosition + count > total) return Condition(block, kSimStatusByteCheck, kSimStatusEndOfDocument);
  // A line's piece at a time: the read may start and end inside a line.
  for (DWORD done = 0; done < count;) {
    const ULONGLONG at = s.ReadPosition + done;
    const DWORD line = static_cast<DWORD>(at / lineBytes), first = static_cast<DWORD>(at % lineBytes);
    const DWORD n = std::min(lineBytes - first, count - done);
    StreamBytes(s, line, first, n, data + done);
    done += n;
  }
  s.ReadPosition += count;
  return 0;
}

// Operation 6: one command block.
LONG Execute(BYTE* block, SimScannerCall& call) {
  Scanner& s = State();
  const BYTE opcode = block[1];
  const DWORD length = GetBE32(block + 4);
  BYTE* param = static_cast<BYTE*>(FromAddr32(GetLE32(block + 44)));
  BYTE* data = static_cast<BYTE*>(FromAddr32(GetLE32(block + 52)));
  const DWORD dataLength = GetLE32(block + 60);
  call.Opcode = opcode;
  call.Direction = GetLE32(block + 40);
  call.TransferLength = length;
  call.DataLength = dataLength;
  const DWORD keep = opcode == 0x49 ? 4 : (opcode == 0x43 ? 0 : length);
  if (keep > sizeof(call.Param) || (keep != 0 && param == nullptr))
    return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
  if (keep != 0) std::memcpy(call.Param, param, keep);
  call.ParamLength = keep;
  block[2] = 0;
  block[3] = 0;
  s.LastStatus = 0;
  switch (opcode) {
    case 0x42:
      ++s.PaperTests;
      if (PaperInFeeder())
        block[3] = 0x40;
      else
        s.LastStatus = kSimStatusNoPaper;
      return 0;
    case 0x43:
      if (data == nullptr || dataLength < 64) return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
      data[10] = static_cast<BYTE>((data[10] & ~1) | (s.Setup.HasFeeder ? 1 : 0));
      return 0;
    case 0x44:
      if (length == 48) s.FeederScan = (param[2] & 0x40) != 0;
      return 0;
    case 0x45:
      return ParseWindow(block, param, length);
    case 0x47:
      if (length != 256) return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
      std::memcpy(s.ToneTable, param, 256);
      s.HaveToneTable = true;
      return 0;
    case 0x48:
      if (!s.HaveWindow) return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
      if (s.FeederScan) {
        if (!PaperInFeeder()) return Condition(block, kSimStatusByteCheck, kSimStatusNoPaper);
        --s.Setup.FeederPages;
      }
      s.Started = true;
      s.ReadPosition = 0;
      return 0;
    case 0x49:
      return ReadData(block, param, data, dataLength);
    case 0x4C:
      s.Started = false;
      return 0;
    case 0x4E: {
      if (data == nullptr || dataLength < 20) return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
      const BYTE reply[20] = {0x81, 0x10, 1, 0, 'S', 'I', 'M', 'D', 'U', 'O'};
      std::memcpy(data, reply, sizeof reply);
      return 0;
    }
    default:
      return Condition(block, kSimStatusByteCheck, kSimStatusInvalidField);
  }
}

}  // namespace

DLLEXPORT LONG WINAPI StiCommand(int op, ULONG_PTR arg) {
  Scanner& s = State();
  SimScannerCall call{};
  call.Op = op;
  BYTE* block = reinterpret_cast<BYTE*>(arg);
  const Script* script = MatchScript(op, op == 6 && block != nullptr ? block[1] : 0);
  LONG result = 0;
  if (script != nullptr && script->Result < 0) {
    if ((op == 4 || op == 6) && block != nullptr) block[2] = script->StatusByte;
    s.LastStatus = script->LastStatus;
    result = script->Result;
  } else {
    switch (op) {
      case 1: {
        const char* name = reinterpret_cast<const char*>(arg);
        if (name != nullptr) std::strncpy(call.Name, name, sizeof call.Name - 1);
        result = name != nullptr && std::strcmp(name, kDeviceName) == 0 ? s.Setup.OpenResult : -1;
        break;
      }
      case 4:
        if (block == nullptr) {
          result = -1;
        } else {
          block[2] = 0;
        }
        break;
      case 6:
        result = block == nullptr ? -1 : Execute(block, call);
        break;
      case 7:
        result = static_cast<LONG>(s.LastStatus);
        break;
      case 2:
        s.Started = false;
        break;
      case 3:
      case 5:
      case 8:
      case 9:
        break;
      default:
        result = -1;
        break;
    }
    if (script != nullptr) {  // a condition reported on success
      if ((op == 4 || op == 6) && block != nullptr) block[2] = script->StatusByte;
      s.LastStatus = script->LastStatus;
      result = script->Result;
    }
  }
  if (op != 7) {
    call.Result = result;
    s.Log.push_back(call);
  }
  return result;
}

DLLEXPORT void SimScannerReset() { State() = Scanner{}; }

DLLEXPORT void SimScannerSetup(const SimScannerSetupInfo* info) {
  if (info != nullptr) State().Setup = *info;
}

DLLEXPORT void SimScannerFail(int op, BYTE opcode, DWORD occurrence, LONG result, BYTE statusByte, DWORD lastStatus) {
  State().Scripts.push_back({op, opcode, occurrence, result, statusByte, lastStatus, 0});
}

DLLEXPORT DWORD SimScannerCallCount() { return static_cast<DWORD>(State().Log.size()); }

DLLEXPORT BOOL SimScannerCall(DWORD index, SimScannerCall* call) {
  if (call == nullptr || index >= State().Log.size()) return FALSE;
  *call = State().Log[index];
  return TRUE;
}

DLLEXPORT BOOL SimScannerWindow(SimScanWindow* window) {
  if (window == nullptr || !State().HaveWindow) return FALSE;
  *window = State().Window;
  return TRUE;
}

DLLEXPORT BOOL SimScannerToneTable(BYTE* table256) {
  if (table256 == nullptr || !State().HaveToneTable) return FALSE;
  std::memcpy(table256, State().ToneTable, 256);
  return TRUE;
}

DLLEXPORT void SimScannerApplyTones(BOOL on) { State().ApplyTones = on != FALSE; }

DLLEXPORT DWORD SimScannerFeederPages() { return State().Setup.FeederPages; }
