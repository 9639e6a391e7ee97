// Inspection and set-up API of the spooler for tests and hosts: printers for a model,
// printer data seeded and dumped without access checks, spool-job bytes and logs.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/spooler/spooler.h"

struct SimPrinterSetup {
  std::u16string name;
  // The model's description database: a file name in the driver directory (SimDriverDirectory,
  // platform/kernel/sandbox.h), or a full platform path. It becomes the driver's data file
  // (DRIVER_INFO_2.pDataFile).
  std::u16string dataFile;
  // The driver file (DRIVER_INFO_2.pDriverPath): a file name in the driver directory, or a
  // full platform path.
  std::u16string driverFile = u"qorvexgr.DLL";
  std::u16string driverName = u"Qorvex Printer Driver";
  std::u16string portName = u"LPT1:";
  DWORD attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED;
  // The printer's default device mode (PRINTER_INFO_2.pDevMode); empty for none.
  std::vector<BYTE> devMode;
  // What DRIVER_INFO_3 adds: file names in the driver directory (or full platform paths);
  // an empty help file or monitor name is answered as NULL.
  std::u16string helpFile;
  std::vector<std::u16string> dependentFiles = {u"qorvexdata.dll", u"qorvexres.dll", u"qorvexstr.qrs"};
  std::u16string monitorName;
};

// Adds a printer; FALSE when the name is empty or already taken.
PLATFORM_API BOOL SimAddPrinter(const SimPrinterSetup& setup);
PLATFORM_API BOOL SimRemovePrinter(LPCWSTR printerName);
PLATFORM_API BOOL SimSetPrinterDevMode(LPCWSTR printerName, std::span<const BYTE> devMode);
// SimReset() (platform/kernel/kernel_sim.h) brings the spooler back to no printers, no handles, no
// jobs and the built-in forms only.

// Writes a value as the spooler would keep it, without access checks (key NULL: the driver
// data key). FALSE for an unknown printer.
PLATFORM_API BOOL SimSeedPrinterData(LPCWSTR printerName, LPCWSTR keyName, LPCWSTR valueName, DWORD type,
                                     std::span<const BYTE> data);
// Reads one value as stored; false for an unknown printer or value (key NULL as above).
PLATFORM_API bool SimReadPrinterData(LPCWSTR printerName, LPCWSTR keyName, LPCWSTR valueName, DWORD& type,
                                     std::vector<BYTE>& data);
// Every value of the printer as UTF-8 text, keys in name order and values in creation order,
// in the registry dump's form:
//   [PrinterDriverData]
//   "PrinterDataSize" = REG_DWORD 0x00000301
//   "PrinterData1" = REG_BINARY 01 02 ff
// An empty string for an unknown printer.
PLATFORM_API std::string SimDumpPrinterData(LPCWSTR printerName);

// Failures of single calls are scripted with SimFailCall and counted by SimCallCount
// (platform/kernel/kernel_sim.h) under the platform names ("SetPrinterDataW", "WritePrinter",
// "EndDocPrinter", "ClosePrinter", ...): the call changes nothing; a printer-data call answers
// the scripted code, the others answer failure with it as last error.

// Short writes: the nth next WritePrinter call that reaches a job (1 = the very next) and the
// following count-1 such calls take at most `bytes` of what they are asked and answer TRUE
// with that count (0 cancels a script not yet used up). SimReset cancels it too.
PLATFORM_API void SimLimitPrinterWrites(DWORD bytes, int nth = 1, int count = 1);

PLATFORM_API DWORD SimOpenPrinterHandleCount();

enum class SimJobState { Open, Complete, Aborted, LeftOpen };

// One call made on a job's handle while the job was open, in order: "StartDocPrinterW",
// "StartPagePrinter", "WritePrinter" (with the bytes asked and taken), "EndPagePrinter",
// "EndDocPrinter", "AbortPrinter", "ClosePrinter". Scripted failures are logged as failed.
struct SimJobCall {
  std::string function;
  BOOL result;
  DWORD asked;    // WritePrinter: bytes asked; otherwise 0
  DWORD written;  // WritePrinter: bytes taken; otherwise 0
  bool operator==(const SimJobCall&) const = default;
};

struct SimSpoolJob {
  DWORD id;
  std::u16string printer;
  std::u16string document;
  std::u16string datatype;
  std::u16string outputFile;  // DOC_INFO_1.pOutputFile, empty for the spool file
  std::u16string spoolFile;   // platform path of the file that holds the job's bytes
  SimJobState state;
  DWORD pages;
  std::vector<DWORD> writes;  // bytes taken by every successful WritePrinter call, in order
  std::vector<SimJobCall> calls;
};

PLATFORM_API std::vector<SimSpoolJob> SimListSpoolJobs();
// The bytes of a job as its file holds them; empty for an unknown job.
PLATFORM_API std::vector<BYTE> SimReadSpoolJob(DWORD jobId);
