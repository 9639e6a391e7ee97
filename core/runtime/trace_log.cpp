// Trace switch, trace file and trace lines. The switch is an atomic word; the file state
// (handle, nesting count, path) is guarded by one mutex, so concurrent threads never write
// through a handle another thread has closed.
#include "core/runtime/trace_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdlib>
#include <mutex>

#include "core/runtime/module_state.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/debug.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/ini.h"
#include "platform/user/format.h"

namespace {

constexpr WCHAR kSwitchFileName[] = u"qorvex.cfg";
constexpr WCHAR kLogRoot[] = u"c:\\DEBUG_LOG";
constexpr WCHAR kLogFolder[] = u"\\WIN2000";
#if defined(QV_BUILD_UI)
constexpr WCHAR kLogFileName[] = u"\\DDI_PRNUI_TRACE_LOG.txt";
#else
constexpr WCHAR kLogFileName[] = u"\\DDI_UM_TRACE_LOG.txt";
#endif
constexpr int kSwitchTextChars = 256;
constexpr int kSwitchMaxDigits = 8;
constexpr DWORD kDirectoryBufferBytes = 522;

std::atomic<DWORD> g_switch{0};
std::atomic<bool> g_switchRead{false};

struct TraceFile {
  std::mutex mutex;
  HANDLE handle = INVALID_HANDLE_VALUE;
  int nesting = 0;
  bool pathBuilt = false;
  bool openFailed = false;  // sticky: no more file lines until the module unloads
  WCHAR path[MAX_PATH] = {};
};

TraceFile& File() {
  static TraceFile file;
  return file;
}

// Accepts only "0x" followed by at most eight hexadecimal digits.
bool IsSwitchText(LPCWSTR text) {
  const int length = lstrlenW(text);
  if (length < 2 || length - 2 > kSwitchMaxDigits) return false;
  if (text[0] != u'0' || text[1] != u'x') return false;
  char ansi[kSwitchTextChars * 2] = {};
  if (WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr) == 0) return false;
  for (const char* p = ansi + 2; *p != '\0'; ++p) {
    const bool hex = (*p >= '0' && *p <= '9') || (*p >= 'a' && *p <= 'f') || (*p >= 'A' && *p <= 'F');
    if (!hex) return false;
  }
  return true;
}

// Creates a directory of the log path unless it exists.
bool EnsureDirectory(LPCWSTR path) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(path, &found);
  if (find != INVALID_HANDLE_VALUE) {
    FindClose(find);
    return true;
  }
  return CreateDirectoryW(path, nullptr) != 0;
}

// Builds the log path once; the caller holds the file mutex.
bool BuildTraceFilePath(TraceFile& file) {
  if (file.pathBuilt) return true;
  WCHAR path[MAX_PATH] = {};
  lstrcpyW(path, kLogRoot);
  if (!EnsureDirectory(path)) return false;
  lstrcatW(path, kLogFolder);
  if (!EnsureDirectory(path)) return false;
  lstrcatW(path, kLogFileName);
  lstrcpyW(file.path, path);
  file.pathBuilt = true;
  return true;
}

// Opens the log file at its end, or counts one more nesting; the caller holds the mutex.
bool OpenLocked(TraceFile& file) {
  if (file.handle != INVALID_HANDLE_VALUE) {
    ++file.nesting;
    return true;
  }
  if (file.openFailed) return false;
  if (BuildTraceFilePath(file)) {
    HANDLE h = CreateFileW(file.path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      if (SetFilePointer(h, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER) {
        file.handle = h;
        return true;
      }
      CloseHandle(h);
    }
  }
  file.openFailed = true;
  return false;
}

void CloseLocked(TraceFile& file) {
  if (file.nesting > 0) {
    --file.nesting;
  } else if (file.handle != INVALID_HANDLE_VALUE) {
    CloseHandle(file.handle);
    file.handle = INVALID_HANDLE_VALUE;
  }
}

bool TracingToFile() {
  const DWORD s = g_switch.load(std::memory_order_relaxed);
  return (s & kTraceOn) != 0 && (s & kTraceToDebugger) == 0;
}

// Entry and exit lines are written only with bits 0x1 and 0x2.
bool EntryExitWanted() {
  return IsTraceOn() && (g_switch.load(std::memory_order_relaxed) & kTraceEntryExit) != 0;
}

}  // namespace

int ReadTraceSwitch() {
  WCHAR path[kDirectoryBufferBytes / sizeof(WCHAR) + 16] = {};
  if (!GetModuleDirectory(path, kDirectoryBufferBytes)) return 0;
  lstrcatW(path, kSwitchFileName);
  WCHAR text[kSwitchTextChars] = {};
  GetPrivateProfileStringW(u"DEFAULT", u"Log", u"0", text, kSwitchTextChars, path);
  DWORD value = 0;
  if (IsSwitchText(text)) {
    char ansi[kSwitchTextChars] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi, sizeof ansi, nullptr, nullptr);
    value = static_cast<DWORD>(std::strtoul(ansi, nullptr, 16));
  }
  g_switch.store(value, std::memory_order_relaxed);
  g_switchRead.store(true, std::memory_order_release);
  return value != 0 ? 1 : 0;
}

int ReloadTraceSwitch() {
  ReadTraceSwitch();
  return 1;
}

int IsTraceOn() {
  if (!g_switchRead.load(std::memory_order_acquire)) ReadTraceSwitch();
  return (g_switch.load(std::memory_order_relaxed) & kTraceOn) != 0 ? 1 : 0;
}

int TraceEnter(LPCWSTR name) {
  if (!EntryExitWanted()) return 1;
  if (name == nullptr || lstrlenW(name) > kTraceMaxText) return 0;
  WCHAR line[kTraceMaxLine + 8];
  lstrcpyW(line, u"IN <<");
  lstrcatW(line, name);
  return WriteTraceLine(line);
}

int TraceLeave(LPCWSTR pattern, ...) {
  // The switch is tested before any formatting, so a disabled trace costs no formatting.
  if (!EntryExitWanted()) return 1;
  if (pattern == nullptr) return 0;
  WCHAR text[WSPRINTF_LIMIT];
  va_list args;
  va_start(args, pattern);
  const int length = wvsprintfW(text, pattern, args);
  va_end(args);
  // The platform's formatter stops at its buffer limit; a text that reached it was cut.
  if (length < 0 || length > kTraceMaxText) return 0;
  WCHAR line[kTraceMaxLine + 8];
  lstrcpyW(line, u"OUT>>");
  lstrcatW(line, text);
  lstrcatW(line, u"\n");
  return WriteTraceLine(line);
}

int WriteTraceLine(LPCWSTR line) {
  if (!IsTraceOn()) return 1;
  if (line == nullptr) return 0;
  const int length = lstrlenW(line);
  if (length >= kTraceMaxLine) return 0;
  if ((g_switch.load(std::memory_order_relaxed) & kTraceToDebugger) != 0) {
    WCHAR debug[kTraceMaxLine + 2];
    lstrcpyW(debug, line);
    lstrcatW(debug, u"\n");
    OutputDebugStringW(debug);
    return 1;
  }
  // One character may take two bytes in the ANSI code page; the line feed follows.
  char ansi[kTraceMaxLine * 2 + 2];
  int bytes = WideCharToMultiByte(CP_ACP, 0, line, length, ansi, kTraceMaxLine * 2, nullptr, nullptr);
  if (length > 0 && bytes <= 0) return 0;
  ansi[bytes++] = '\n';
  TraceFile& file = File();
  std::lock_guard<std::mutex> lock(file.mutex);
  if (!OpenLocked(file)) return 0;
  DWORD done = 0;
  const BOOL ok = WriteFile(file.handle, ansi, static_cast<DWORD>(bytes), &done, nullptr);
  CloseLocked(file);
  return ok && done == static_cast<DWORD>(bytes) ? 1 : 0;
}

int OpenTraceFile() {
  if (!IsTraceOn() || !TracingToFile()) return 1;
  TraceFile& file = File();
  std::lock_guard<std::mutex> lock(file.mutex);
  return OpenLocked(file) ? 1 : 0;
}

void CloseTraceFile() {
  TraceFile& file = File();
  std::lock_guard<std::mutex> lock(file.mutex);
  CloseLocked(file);
}
