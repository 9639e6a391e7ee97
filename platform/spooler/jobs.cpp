// Spool jobs: StartDocPrinterW to EndDocPrinter. Each job's bytes go to a file in the sandbox
// (the spool directory, or the document's output file) and every write is logged.
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/sandbox.h"
#include "platform/spooler/spooler_state.h"

using namespace spooler;

namespace {

constexpr std::u16string_view kSpoolDirectory = u"C:\\WINDOWS\\system32\\spool\\PRINTERS";

std::u16string SpoolFilePath(DWORD jobId) {
  std::string digits = std::to_string(jobId);
  std::u16string path(kSpoolDirectory);
  path += u"\\";
  for (size_t i = digits.size(); i < 5; ++i) path += u'0';
  for (char c : digits) path += static_cast<char16_t>(c);
  path += u".SPL";
  return path;
}

std::FILE* CreateJobFile(const std::u16string& platformPath) {
  std::filesystem::path host = SimHostPath(platformPath.c_str());
  if (host.empty()) return nullptr;
  std::error_code ignored;
  std::filesystem::create_directories(host.parent_path(), ignored);
  return std::fopen(host.c_str(), "wb");
}

// The handle's open job, or NULL with the error set. A scripted failure of a call on a handle
// with an open job is logged in that job (with the bytes a write asked).
Job* OpenJobOf(State& state, const char* function, HANDLE hPrinter, DWORD asked = 0) {
  const bool fails = SimCallFails(function);
  Handle* handle = FindHandle(state, hPrinter);
  Job* job = handle && handle->jobIndex ? &state.jobs[handle->jobIndex - 1] : nullptr;
  if (fails) {
    if (job) LogJobCall(*job, function, FALSE, asked);
    return nullptr;
  }
  if (!handle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (!job) {
    SetLastError(ERROR_SPL_NO_STARTDOC);
    return nullptr;
  }
  return job;
}

// Ends the handle's job in the given state.
BOOL EndJob(HANDLE hPrinter, const char* function, SimJobState endState) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Job* job = OpenJobOf(state, function, hPrinter);
  if (!job) return FALSE;
  LogJobCall(*job, function, TRUE);
  CloseJobFile(*job, endState);
  FindHandle(state, hPrinter)->jobIndex = 0;
  return TRUE;
}

// The bytes a WritePrinter call of cbBuf bytes may take under SimLimitPrinterWrites.
DWORD TakeWriteLimit(State& state, DWORD cbBuf) {
  if (state.writeLimitCount <= 0) return cbBuf;
  if (state.writeLimitSkip > 0) {
    --state.writeLimitSkip;
    return cbBuf;
  }
  --state.writeLimitCount;
  return std::min(cbBuf, state.writeLimitBytes);
}

}  // namespace

DWORD StartDocPrinterW(HANDLE hPrinter, DWORD Level, const BYTE* pDocInfo) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  if (SimCallFails("StartDocPrinterW")) return 0;
  Handle* handle = FindHandle(state, hPrinter);
  if (!handle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (Level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return 0;
  }
  if (!pDocInfo) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (handle->jobIndex) {
    SetLastError(ERROR_INVALID_PRINTER_STATE);
    return 0;
  }
  const auto* doc = reinterpret_cast<const DOC_INFO_1W*>(pDocInfo);
  std::u16string datatype = doc->pDatatype ? doc->pDatatype : u"RAW";
  if (!EqualNoCase(datatype, u"RAW")) {
    SetLastError(ERROR_INVALID_DATATYPE);
    return 0;
  }
  Job job;
  job.info.id = state.nextJobId;
  job.info.printer = handle->printer->setup.name;
  job.info.document = FromWide(doc->pDocName);
  job.info.datatype = datatype;
  job.info.outputFile = FromWide(doc->pOutputFile);
  job.info.spoolFile = job.info.outputFile.empty() ? SpoolFilePath(job.info.id) : job.info.outputFile;
  job.info.state = SimJobState::Open;
  job.info.pages = 0;
  job.file = CreateJobFile(job.info.spoolFile);
  if (!job.file) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  state.nextJobId++;
  LogJobCall(job, "StartDocPrinterW", TRUE);
  state.jobs.push_back(std::move(job));
  handle->jobIndex = static_cast<DWORD>(state.jobs.size());
  return state.jobs.back().info.id;
}

BOOL StartPagePrinter(HANDLE hPrinter) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Job* job = OpenJobOf(state, "StartPagePrinter", hPrinter);
  if (!job) return FALSE;
  job->info.pages++;
  LogJobCall(*job, "StartPagePrinter", TRUE);
  return TRUE;
}

BOOL EndPagePrinter(HANDLE hPrinter) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Job* job = OpenJobOf(state, "EndPagePrinter", hPrinter);
  if (!job) return FALSE;
  LogJobCall(*job, "EndPagePrinter", TRUE);
  return TRUE;
}

BOOL WritePrinter(HANDLE hPrinter, const void* pBuf, DWORD cbBuf, LPDWORD pcWritten) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  if (pcWritten) *pcWritten = 0;
  Job* job = OpenJobOf(state, "WritePrinter", hPrinter, cbBuf);
  if (!job) return FALSE;
  if (!pcWritten || (!pBuf && cbBuf)) {
    LogJobCall(*job, "WritePrinter", FALSE, cbBuf, 0);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD take = TakeWriteLimit(state, cbBuf);
  if (take && (std::fwrite(pBuf, 1, take, job->file) != take || std::fflush(job->file) != 0)) {
    LogJobCall(*job, "WritePrinter", FALSE, cbBuf, 0);
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
  }
  LogJobCall(*job, "WritePrinter", TRUE, cbBuf, take);
  job->info.writes.push_back(take);
  *pcWritten = take;
  return TRUE;
}

BOOL EndDocPrinter(HANDLE hPrinter) { return EndJob(hPrinter, "EndDocPrinter", SimJobState::Complete); }

BOOL AbortPrinter(HANDLE hPrinter) { return EndJob(hPrinter, "AbortPrinter", SimJobState::Aborted); }

void SimLimitPrinterWrites(DWORD bytes, int nth, int count) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  state.writeLimitBytes = bytes;
  state.writeLimitSkip = nth > 0 ? nth - 1 : 0;
  state.writeLimitCount = count;
}

std::vector<SimSpoolJob> SimListSpoolJobs() {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  std::vector<SimSpoolJob> out;
  for (const Job& job : state.jobs) out.push_back(job.info);
  return out;
}

std::vector<BYTE> SimReadSpoolJob(DWORD jobId) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  for (const Job& job : state.jobs) {
    if (job.info.id != jobId) continue;
    std::filesystem::path host = SimHostPath(job.info.spoolFile.c_str());
    std::FILE* file = host.empty() ? nullptr : std::fopen(host.c_str(), "rb");
    if (!file) return {};
    std::vector<BYTE> bytes;
    BYTE chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
  }
  return {};
}
