// Printers and printer handles: OpenPrinterW, ClosePrinter, GetPrinterW, GetPrinterDriverW.
#include <cstring>

#include "platform/base/errors.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/sandbox.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/registry/registry_sim.h"
#include "platform/spooler/spooler_state.h"

namespace spooler {

namespace {

constexpr std::u16string_view kEnvironment = u"Windows x64";
constexpr std::u16string_view kUserInterfaceModule = u"qorvexui.DLL";
constexpr DWORD kDriverVersion = 3;

std::u16string DriverFilePath(std::u16string_view fileName) {
  std::u16string path = SimDriverDirectory();
  path += u'\\';
  path += fileName;
  return path;
}

}  // namespace

LPWSTR InfoPacker::AddString(std::u16string_view text) {
  size_t at = used_;
  used_ += (text.size() + 1) * sizeof(WCHAR);
  if (!buffer_) return nullptr;
  auto* out = reinterpret_cast<LPWSTR>(buffer_ + at);
  std::memcpy(out, text.data(), text.size() * sizeof(WCHAR));
  out[text.size()] = 0;
  return out;
}

void* InfoPacker::AddBytes(std::span<const BYTE> bytes) {
  used_ = (used_ + 7) & ~size_t{7};
  size_t at = used_;
  used_ += bytes.size();
  if (!buffer_) return nullptr;
  std::memcpy(buffer_ + at, bytes.data(), bytes.size());
  return buffer_ + at;
}

bool CheckInfoBuffer(LPBYTE buffer, DWORD cbBuf, DWORD needed, LPDWORD pcbNeeded) {
  *pcbNeeded = needed;
  if (cbBuf < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  if (!buffer) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return false;
  }
  return true;
}

namespace {

// Fills PRINTER_INFO_1W or PRINTER_INFO_2W; with a NULL buffer only sizes.
DWORD PackPrinterInfo(const Printer& printer, DWORD level, DWORD openJobs, LPBYTE buffer) {
  const SimPrinterSetup& s = printer.setup;
  if (level == 1) {
    InfoPacker packer(buffer, sizeof(PRINTER_INFO_1W));
    PRINTER_INFO_1W info{};
    info.pDescription = packer.AddString(s.name + u"," + s.driverName + u",");
    info.pName = packer.AddString(s.name);
    info.pComment = packer.AddString(u"");
    if (buffer) std::memcpy(buffer, &info, sizeof info);
    return packer.Size();
  }
  InfoPacker packer(buffer, sizeof(PRINTER_INFO_2W));
  PRINTER_INFO_2W info{};
  if (!s.devMode.empty()) info.pDevMode = static_cast<LPDEVMODEW>(packer.AddBytes(s.devMode));
  info.pPrinterName = packer.AddString(s.name);
  info.pShareName = packer.AddString(u"");
  info.pPortName = packer.AddString(s.portName);
  info.pDriverName = packer.AddString(s.driverName);
  info.pComment = packer.AddString(u"");
  info.pLocation = packer.AddString(u"");
  info.pSepFile = packer.AddString(u"");
  info.pPrintProcessor = packer.AddString(u"WinPrint");
  info.pDatatype = packer.AddString(u"RAW");
  info.pParameters = packer.AddString(u"");
  info.Attributes = s.attributes;
  info.Priority = 1;
  info.cJobs = openJobs;
  if (buffer) std::memcpy(buffer, &info, sizeof info);
  return packer.Size();
}

// The text of a file that lies in the driver directory unless a full path is given.
std::u16string DriverFileText(std::u16string_view file) {
  return file.find(u'\\') == std::u16string_view::npos ? DriverFilePath(file) : std::u16string(file);
}

// Fills DRIVER_INFO_2W or DRIVER_INFO_3W; with a NULL buffer only sizes.
DWORD PackDriverInfo(const Printer& printer, DWORD level, LPBYTE buffer) {
  const SimPrinterSetup& s = printer.setup;
  InfoPacker packer(buffer, level == 3 ? sizeof(DRIVER_INFO_3W) : sizeof(DRIVER_INFO_2W));
  DRIVER_INFO_3W info{};
  info.cVersion = kDriverVersion;
  info.pName = packer.AddString(s.driverName);
  info.pEnvironment = packer.AddString(kEnvironment);
  info.pDriverPath = packer.AddString(DriverFileText(s.driverFile));
  info.pDataFile = packer.AddString(printer.dataFile);
  info.pConfigFile = packer.AddString(DriverFilePath(kUserInterfaceModule));
  if (level == 3) {
    if (!s.helpFile.empty()) info.pHelpFile = packer.AddString(DriverFileText(s.helpFile));
    // The list: each name with its terminator, then one more terminator.
    std::u16string list;
    for (const std::u16string& file : s.dependentFiles) {
      list += DriverFileText(file);
      list += u'\0';
    }
    info.pDependentFiles = packer.AddString(list);
    if (!s.monitorName.empty()) info.pMonitorName = packer.AddString(s.monitorName);
    info.pDefaultDataType = packer.AddString(u"RAW");
    if (buffer) std::memcpy(buffer, &info, sizeof info);
  } else if (buffer) {
    std::memcpy(buffer, &info, sizeof(DRIVER_INFO_2W));  // the level-2 fields lead level 3
  }
  return packer.Size();
}

}  // namespace
}  // namespace spooler

using namespace spooler;

BOOL OpenPrinterW(LPCWSTR pPrinterName, HANDLE* phPrinter, const PRINTER_DEFAULTSW* pDefault) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  if (SimCallFails("OpenPrinterW")) return FALSE;
  if (!phPrinter) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *phPrinter = nullptr;
  auto printer = pPrinterName ? FindPrinter(state, pPrinterName) : nullptr;
  if (!printer) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
  }
  ACCESS_MASK access = pDefault && pDefault->DesiredAccess ? pDefault->DesiredAccess : PRINTER_ACCESS_USE;
  if ((access & ~PRINTER_ACCESS_USE) && !SimRegistryIsAdministrator()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  auto* handle = new Handle{printer, access, 0};
  state.handles.insert(handle);
  *phPrinter = handle;
  return TRUE;
}

BOOL ClosePrinter(HANDLE hPrinter) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Handle* handle = FindHandle(state, hPrinter);
  Job* job = handle && handle->jobIndex ? &state.jobs[handle->jobIndex - 1] : nullptr;
  if (SimCallFails("ClosePrinter")) {
    if (job) LogJobCall(*job, "ClosePrinter", FALSE);
    return FALSE;
  }
  if (!handle) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (job) {
    LogJobCall(*job, "ClosePrinter", TRUE);
    CloseJobFile(*job, SimJobState::LeftOpen);
  }
  state.handles.erase(handle);
  delete handle;
  return TRUE;
}

BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Handle* handle = StartHandleCall(state, "GetPrinterW", hPrinter, pcbNeeded != nullptr);
  if (!handle) return FALSE;
  if (Level != 1 && Level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  DWORD openJobs = 0;
  for (const Job& job : state.jobs)
    if (job.info.state == SimJobState::Open && EqualNoCase(job.info.printer, handle->printer->setup.name)) ++openJobs;
  DWORD needed = PackPrinterInfo(*handle->printer, Level, openJobs, nullptr);
  if (!CheckInfoBuffer(pPrinter, cbBuf, needed, pcbNeeded)) return FALSE;
  PackPrinterInfo(*handle->printer, Level, openJobs, pPrinter);
  return TRUE;
}

BOOL GetPrinterDriverW(HANDLE hPrinter, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                       LPDWORD pcbNeeded) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  Handle* handle = StartHandleCall(state, "GetPrinterDriverW", hPrinter, pcbNeeded != nullptr);
  if (!handle) return FALSE;
  if (pEnvironment && !EqualNoCase(pEnvironment, kEnvironment)) {
    SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
    return FALSE;
  }
  if (Level != 2 && Level != 3) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  DWORD needed = PackDriverInfo(*handle->printer, Level, nullptr);
  if (!CheckInfoBuffer(pDriverInfo, cbBuf, needed, pcbNeeded)) return FALSE;
  PackDriverInfo(*handle->printer, Level, pDriverInfo);
  return TRUE;
}

BOOL SimAddPrinter(const SimPrinterSetup& setup) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  if (setup.name.empty() || FindPrinter(state, setup.name)) return FALSE;
  auto printer = std::make_shared<Printer>();
  printer->setup = setup;
  printer->dataFile = setup.dataFile.find(u'\\') == std::u16string::npos ? DriverFilePath(setup.dataFile)
                                                                         : setup.dataFile;
  state.printers.push_back(printer);
  return TRUE;
}

BOOL SimRemovePrinter(LPCWSTR printerName) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  for (auto it = state.printers.begin(); it != state.printers.end(); ++it) {
    if (printerName && EqualNoCase((*it)->setup.name, printerName)) {
      state.printers.erase(it);  // open handles keep their printer until closed
      return TRUE;
    }
  }
  return FALSE;
}

BOOL SimSetPrinterDevMode(LPCWSTR printerName, std::span<const BYTE> devMode) {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  auto printer = printerName ? FindPrinter(state, printerName) : nullptr;
  if (!printer) return FALSE;
  printer->setup.devMode.assign(devMode.begin(), devMode.end());
  return TRUE;
}

DWORD SimOpenPrinterHandleCount() {
  State& state = GetState();
  std::lock_guard guard(state.lock);
  return static_cast<DWORD>(state.handles.size());
}
