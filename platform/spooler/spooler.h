// The print spooler: printers, printer data, forms, driver information and spool jobs.
// Names, signatures, structure layouts and error codes are the platform's; printer data
// calls return an error code, the other calls a BOOL with the reason in GetLastError.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

using ACCESS_MASK = DWORD;

// A printer handle that already has a job open cannot start another.
#ifndef ERROR_INVALID_PRINTER_STATE
#define ERROR_INVALID_PRINTER_STATE 1906L
#endif
using PSECURITY_DESCRIPTOR = void*;

// Access rights of a printer handle.
#define PRINTER_ACCESS_ADMINISTER 0x00000004
#define PRINTER_ACCESS_USE 0x00000008
#define PRINTER_ALL_ACCESS 0x000F000C

// Form flags.
#define FORM_USER 0x00000000
#define FORM_BUILTIN 0x00000001
#define FORM_PRINTER 0x00000002

// Printer attribute bits (PRINTER_INFO_2.Attributes).
#define PRINTER_ATTRIBUTE_QUEUED 0x00000001
#define PRINTER_ATTRIBUTE_SHARED 0x00000008
#define PRINTER_ATTRIBUTE_NETWORK 0x00000010
#define PRINTER_ATTRIBUTE_LOCAL 0x00000040
#define PRINTER_ATTRIBUTE_ENABLE_BIDI 0x00000800

// The key that SetPrinterDataW and GetPrinterDataW work in.
#define SPLDS_DRIVER_DATA_KEY u"PrinterDriverData"

struct PRINTER_DEFAULTSW {
  LPWSTR pDatatype;
  LPDEVMODEW pDevMode;
  ACCESS_MASK DesiredAccess;
};
using LPPRINTER_DEFAULTSW = PRINTER_DEFAULTSW*;

struct PRINTER_INFO_1W {
  DWORD Flags;
  LPWSTR pDescription;
  LPWSTR pName;
  LPWSTR pComment;
};

struct PRINTER_INFO_2W {
  LPWSTR pServerName;
  LPWSTR pPrinterName;
  LPWSTR pShareName;
  LPWSTR pPortName;
  LPWSTR pDriverName;
  LPWSTR pComment;
  LPWSTR pLocation;
  LPDEVMODEW pDevMode;
  LPWSTR pSepFile;
  LPWSTR pPrintProcessor;
  LPWSTR pDatatype;
  LPWSTR pParameters;
  PSECURITY_DESCRIPTOR pSecurityDescriptor;
  DWORD Attributes;
  DWORD Priority;
  DWORD DefaultPriority;
  DWORD StartTime;
  DWORD UntilTime;
  DWORD Status;
  DWORD cJobs;
  DWORD AveragePPM;
};
using PPRINTER_INFO_2W = PRINTER_INFO_2W*;

struct DRIVER_INFO_2W {
  DWORD cVersion;
  LPWSTR pName;
  LPWSTR pEnvironment;
  LPWSTR pDriverPath;
  LPWSTR pDataFile;
  LPWSTR pConfigFile;
};

// Level 3 adds the help file, the dependent files (a list of zero-terminated names ended by
// an empty one), the language monitor and the default data type; absent texts are NULL.
struct DRIVER_INFO_3W {
  DWORD cVersion;
  LPWSTR pName;
  LPWSTR pEnvironment;
  LPWSTR pDriverPath;
  LPWSTR pDataFile;
  LPWSTR pConfigFile;
  LPWSTR pHelpFile;
  LPWSTR pDependentFiles;
  LPWSTR pMonitorName;
  LPWSTR pDefaultDataType;
};

// Sizes and positions in thousandths of a millimetre.
struct FORM_INFO_1W {
  DWORD Flags;
  LPWSTR pName;
  SIZEL Size;
  RECTL ImageableArea;
};
using PFORM_INFO_1W = FORM_INFO_1W*;

struct DOC_INFO_1W {
  LPWSTR pDocName;
  LPWSTR pOutputFile;
  LPWSTR pDatatype;
};

static_assert(sizeof(PRINTER_DEFAULTSW) == 24);
static_assert(sizeof(PRINTER_INFO_1W) == 32);
static_assert(sizeof(PRINTER_INFO_2W) == 136 && offsetof(PRINTER_INFO_2W, pDevMode) == 56);
static_assert(sizeof(DRIVER_INFO_2W) == 48 && offsetof(DRIVER_INFO_2W, pDataFile) == 32);
static_assert(sizeof(DRIVER_INFO_3W) == 80 && offsetof(DRIVER_INFO_3W, pDependentFiles) == 56);
static_assert(sizeof(FORM_INFO_1W) == 40 && offsetof(FORM_INFO_1W, Size) == 16);
static_assert(sizeof(DOC_INFO_1W) == 24);

PLATFORM_API BOOL OpenPrinterW(LPCWSTR pPrinterName, HANDLE* phPrinter, const PRINTER_DEFAULTSW* pDefault);
PLATFORM_API BOOL ClosePrinter(HANDLE hPrinter);
PLATFORM_API BOOL GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded);
// Levels 2 (DRIVER_INFO_2W) and 3 (DRIVER_INFO_3W).
PLATFORM_API BOOL GetPrinterDriverW(HANDLE hPrinter, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                                    DWORD cbBuf, LPDWORD pcbNeeded);

// Printer data: the results are error codes (ERROR_SUCCESS, ERROR_MORE_DATA with the size
// needed, ERROR_FILE_NOT_FOUND for a missing value, ERROR_ACCESS_DENIED for a write through a
// handle without administer access).
PLATFORM_API DWORD GetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, LPDWORD pType, LPBYTE pData, DWORD nSize,
                                   LPDWORD pcbNeeded);
PLATFORM_API DWORD GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, LPDWORD pType,
                                     LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded);
PLATFORM_API DWORD SetPrinterDataW(HANDLE hPrinter, LPCWSTR pValueName, DWORD Type, const BYTE* pData, DWORD cbData);
PLATFORM_API DWORD SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName, DWORD Type,
                                     const BYTE* pData, DWORD cbData);
PLATFORM_API DWORD DeletePrinterDataW(HANDLE hPrinter, LPCWSTR pValueName);
// Value dwIndex of the driver data key. With cbValueName and cbData both 0 it answers the
// largest name (bytes, with terminator) and data sizes of all values instead.
PLATFORM_API DWORD EnumPrinterDataW(HANDLE hPrinter, DWORD dwIndex, LPWSTR pValueName, DWORD cbValueName,
                                    LPDWORD pcbValueName, LPDWORD pType, LPBYTE pData, DWORD cbData,
                                    LPDWORD pcbData);

// Forms of the print server, built-in forms first in form-number order (form n is the paper
// size value n), then the forms added by AddFormW.
PLATFORM_API BOOL EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded,
                             LPDWORD pcReturned);
PLATFORM_API BOOL GetFormW(HANDLE hPrinter, LPCWSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf,
                           LPDWORD pcbNeeded);
PLATFORM_API BOOL AddFormW(HANDLE hPrinter, DWORD Level, const BYTE* pForm);

// Spool jobs. One job at a time per printer handle. WritePrinter answers in *pcWritten the
// bytes it took, which may be fewer than asked.
PLATFORM_API DWORD StartDocPrinterW(HANDLE hPrinter, DWORD Level, const BYTE* pDocInfo);
PLATFORM_API BOOL StartPagePrinter(HANDLE hPrinter);
PLATFORM_API BOOL WritePrinter(HANDLE hPrinter, const void* pBuf, DWORD cbBuf, LPDWORD pcWritten);
PLATFORM_API BOOL EndPagePrinter(HANDLE hPrinter);
PLATFORM_API BOOL EndDocPrinter(HANDLE hPrinter);
PLATFORM_API BOOL AbortPrinter(HANDLE hPrinter);
