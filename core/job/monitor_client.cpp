#include "core/job/monitor_client.h"

#include <cstring>
#include <mutex>

#include "items/codepage.h"
#include "platform/base/addr32.h"
#include "platform/base/errors.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/kernel/version.h"
#include "platform/registry/registry.h"

namespace {

constexpr WCHAR kClientKey[] = u"SOFTWARE\\Quelmar\\Hollowmere\\Client\\Pirvex";
constexpr WCHAR kLibraryValue[] = u"QdmApi";
constexpr DWORD kFileChars = 260;
constexpr DWORD kLibraryChars = 128;

using InitializeProc = PirvexHandle(WINAPI*)(DWORD);
using HandleProc = BOOL(WINAPI*)(PirvexHandle);
using IdProc = BOOL(WINAPI*)(PirvexHandle, LPSTR);
using DataProc = BOOL(WINAPI*)(PirvexHandle, const BYTE*);

// Every entry the client must export, in binding order; the last three may be missing.
constexpr const char* kEntryNames[] = {
    "QdmSetGroupStyle",     "QdmCreateJobId",        "QdmSetJobId",           "QdmUnInitializePirvex",
    "QdmInitializePirvex",  "QdmSetDestinationCount", "QdmSetPortName",       "QdmSetFriendlyName",
    "QdmSetParamStyle",     "QdmCreateClientId",     "QdmExecPirvex",         "QdmExecPirvexPreferences",
    "QdmSetJobDestinations", "QdmSetQdmData",        "QdmExecPirvexWithStatus", "QdmExecPirvexPreferencesWithStatus",
    "QdmSetQdmDataEx"};
constexpr size_t kEntryCount = sizeof kEntryNames / sizeof kEntryNames[0];
constexpr size_t kRequiredEntries = 14;
enum EntryIndex : size_t {
  kCreateJobId = 1,
  kUnInitialize = 3,
  kInitialize = 4,
  kCreateClientId = 9,
  kExec = 10,
  kSetData = 13,
  kSetDataEx = 16,
};

struct Binding {
  std::mutex lock;
  HMODULE library = nullptr;
  FARPROC entries[kEntryCount] = {};
  LONG useCount = 0;
};

Binding& State() {
  static Binding binding;
  return binding;
}

void Forget(Binding& b) {
  b.library = nullptr;
  std::memset(b.entries, 0, sizeof b.entries);
}

// Reads a text value of the client's key into buffer (chars characters with its terminator).
bool ReadClientValue(HKEY key, LPCWSTR name, LPWSTR buffer, DWORD chars) {
  DWORD type = 0, size = chars * sizeof(WCHAR);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS ||
      type != REG_SZ || size < sizeof(WCHAR))
    return false;
  buffer[chars - 1] = 0;
  buffer[size / sizeof(WCHAR) - 1] = 0;
  return buffer[0] != 0;
}

// The library's name from the registration, or false when the client is not installed. The
// key is only read, so a standard user reaches the client too.
bool ReadClientLibrary(LPWSTR library) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  WCHAR file[kFileChars];
  const bool ok = ReadClientValue(key, nullptr, file, kFileChars) &&
                  GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES &&
                  ReadClientValue(key, kLibraryValue, library, kLibraryChars);
  RegCloseKey(key);
  return ok;
}

// Loads the library and binds its entries (one reference of the library taken); false with
// nothing loaded when an entry the system needs is missing.
bool LoadPirvexClient(Binding& b, LPCWSTR name) {
  LPSTR ansi = nullptr;
  int length = 0;
  if (!WideToMultiByteCp(name, &ansi, &length, 0)) return false;
  HMODULE library = LoadLibraryA(ansi);
  GlobalFree(ansi);
  if (library == nullptr) return false;
  FARPROC entries[kEntryCount] = {};
  for (size_t i = 0; i < kEntryCount; ++i) {
    entries[i] = GetProcAddress(library, kEntryNames[i]);
    if (entries[i] == nullptr && i < kRequiredEntries) {
      FreeLibrary(library);
      if (b.useCount == 0) Forget(b);
      return false;
    }
  }
  b.library = library;
  std::memcpy(b.entries, entries, sizeof entries);
  return true;
}

// Gives back one reference: the library once, and the binding with the last one.
void ReleaseReference(Binding& b) {
  HMODULE library = b.library;
  if (--b.useCount == 0) Forget(b);
  FreeLibrary(library);
}

template <typename Proc>
Proc Entry(size_t index) {
  Binding& b = State();
  std::lock_guard<std::mutex> guard(b.lock);
  return b.useCount > 0 ? reinterpret_cast<Proc>(b.entries[index]) : nullptr;
}

void PutU32(BYTE* at, DWORD value) { std::memcpy(at, &value, sizeof value); }

}  // namespace

int GetPlatformKind() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExW(&info)) return 0;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_NT) return kPlatformNt;
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return kPlatform9x;
  return 1;
}

bool IsPirvexInstalled() {
  WCHAR library[kLibraryChars];
  return ReadClientLibrary(library);
}

PirvexHandle InitializePirvex(DWORD reserved) {
  const int platform = GetPlatformKind();
  WCHAR name[kLibraryChars];
  if ((platform != kPlatformNt && platform != kPlatform9x) || !ReadClientLibrary(name)) return 0;
  Binding& b = State();
  InitializeProc initialize = nullptr;
  {
    std::lock_guard<std::mutex> guard(b.lock);
    if (!LoadPirvexClient(b, name)) return 0;
    ++b.useCount;
    initialize = reinterpret_cast<InitializeProc>(b.entries[kInitialize]);
  }
  const PirvexHandle handle = initialize(reserved);
  if (handle == 0) {
    std::lock_guard<std::mutex> guard(b.lock);
    ReleaseReference(b);
  }
  return handle;
}

BOOL UnInitializePirvex(PirvexHandle handle) {
  if (handle == 0) return FALSE;
  const HandleProc uninitialize = Entry<HandleProc>(kUnInitialize);
  if (uninitialize == nullptr) return FALSE;
  const BOOL result = uninitialize(handle);
  Binding& b = State();
  std::lock_guard<std::mutex> guard(b.lock);
  if (b.useCount > 0) ReleaseReference(b);
  return result;
}

BOOL IsPirvexAvailable() {
  const PirvexHandle handle = InitializePirvex(0);
  return handle != 0 && UnInitializePirvex(handle);
}

BOOL CreatePirvexId(PirvexHandle handle, bool jobId, LPSTR buffer) {
  const IdProc create = Entry<IdProc>(jobId ? kCreateJobId : kCreateClientId);
  return create != nullptr && create(handle, buffer);
}

BOOL ExecPirvex(PirvexHandle handle) {
  const HandleProc exec = Entry<HandleProc>(kExec);
  return exec != nullptr && exec(handle);
}

BOOL SetPirvexData(PirvexHandle handle, const BYTE* header, const BYTE* record) {
  if (header == nullptr || record == nullptr) return FALSE;
  if (const DataProc setEx = Entry<DataProc>(kSetDataEx); setEx != nullptr) return setEx(handle, header);
  const DataProc set = Entry<DataProc>(kSetData);
  if (set == nullptr) return FALSE;
  // The older block: count, style, parameter word, port, printer and the token of the first
  // of the 660-byte records that follow at byte 532.
  constexpr DWORD kOldHeader = 532, kOldRecord = 660;
  BYTE* block = static_cast<BYTE*>(GlobalAlloc(GPTR, kOldHeader + kOldRecord));
  if (block == nullptr) return FALSE;
  DWORD style = 0, parameter = 0, jobType = 0;
  std::memcpy(&style, header + 8, 4);
  std::memcpy(&parameter, header + 12, 4);
  std::memcpy(&jobType, record + 4, 4);
  PutU32(block, 1);
  PutU32(block + 4, style == 3 ? 2 : 0);
  PutU32(block + 8, parameter);
  std::memcpy(block + 12, header + 16, 260 + 256);  // port and printer names
  const DWORD token = ToAddr32(block + kOldHeader);
  PutU32(block + 528, token);
  BYTE* r = block + kOldHeader;
  PutU32(r, kOldRecord);
  PutU32(r + 4, jobType == 6 ? 1 : 0);
  std::memcpy(r + 8, record + 8, 4);            // submission time
  std::memcpy(r + 12, record + 12, 260 + 64 + 260 + 32 + 32);  // port, job id, document, fax texts
  const BOOL result = set(handle, block);
  ReleaseAddr32(token);
  GlobalFree(block);
  return result;
}
