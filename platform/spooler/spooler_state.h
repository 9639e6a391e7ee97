// The spooler's own state, shared by its source files (not part of the platform's API).
#pragma once

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/spooler/spooler_sim.h"

namespace spooler {

struct DataValue {
  std::u16string key;
  std::u16string name;
  DWORD type;
  std::vector<BYTE> data;
};

struct Printer {
  SimPrinterSetup setup;
  std::u16string dataFile;  // full platform path
  std::vector<DataValue> data;  // in the order the values were first written
};

struct Job {
  SimSpoolJob info;
  std::FILE* file = nullptr;
};

struct Handle {
  std::shared_ptr<Printer> printer;
  ACCESS_MASK access;
  DWORD jobIndex;  // index into State::jobs + 1, 0 when no job is open on the handle
};

struct Form {
  DWORD flags;
  std::u16string name;
  SIZEL size;
  RECTL imageable;
};

struct State {
  std::recursive_mutex lock;
  std::vector<std::shared_ptr<Printer>> printers;
  std::unordered_set<Handle*> handles;
  std::vector<Job> jobs;
  std::vector<Form> userForms;
  DWORD nextJobId = 1;
  // SimLimitPrinterWrites: calls still to pass before the limit applies, calls it applies to.
  int writeLimitSkip = 0;
  int writeLimitCount = 0;
  DWORD writeLimitBytes = 0;
};

State& GetState();

// The handle's record, or NULL for a handle the spooler did not give out.
Handle* FindHandle(State& state, HANDLE hPrinter);
// Opens a call on a printer handle: fails it where the simulation says so, then checks the
// handle and after it the caller's required pointers (pointersGiven). The handle's record, or
// NULL with the error set.
Handle* StartHandleCall(State& state, const char* function, HANDLE hPrinter, bool pointersGiven = true);
std::shared_ptr<Printer> FindPrinter(State& state, std::u16string_view name);

bool EqualNoCase(std::u16string_view a, std::u16string_view b);
std::u16string FromWide(LPCWSTR text);  // empty for NULL

// Packs fixed records followed by their strings (and a device mode) into a caller's buffer,
// the way the spooler's information calls answer: a first pass sizes, a second writes.
class InfoPacker {
 public:
  InfoPacker(LPBYTE buffer, DWORD fixedSize) : buffer_(buffer), used_(fixedSize) {}
  LPWSTR AddString(std::u16string_view text);
  void* AddBytes(std::span<const BYTE> bytes);
  DWORD Size() const { return static_cast<DWORD>(used_); }

 private:
  LPBYTE buffer_;  // NULL while sizing
  size_t used_;
};

// Checks the caller's buffer against the size needed; sets the needed size and the error.
bool CheckInfoBuffer(LPBYTE buffer, DWORD cbBuf, DWORD needed, LPDWORD pcbNeeded);

void CloseJobFile(Job& job, SimJobState state);
// Appends a call to the job's log.
void LogJobCall(Job& job, const char* function, BOOL result, DWORD asked = 0, DWORD written = 0);

}  // namespace spooler
