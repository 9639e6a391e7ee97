// The printer-wide settings: loading a printer's configuration, preparing a new printer's
// stores, and the forms database.
#pragma once

#include "items/setting_records.h"
#include "core/persist/form_status.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler.h"

struct ItemStore;

// Value that names the printer's user-mode driver.
inline constexpr WCHAR kUserModeDriverValue[] = u"SPLUserModePrinterDriver";

// Fills the caller's configuration: "PrinterData" merged with the calling user's per-user
// part, converted when another release stored it, else the model's defaults; then the values
// the administrator locked. 1, or 0 when not even the defaults could be built. userBase: the
// model's per-user base text when the caller has read it already (else it is read when needed).
int LoadPrinterConfiguration(HANDLE printer, PrinterConfiguration* out, ItemStore* store, LPCWSTR userBase = nullptr);
// Opens the printer by its own name with full access (PRINTER_ALL_ACCESS), for writing its
// printer data; NULL when refused, with *denied TRUE for a refusal of access.
HANDLE OpenPrinterForWriting(HANDLE printer, BOOL* denied);
// Caller to come: the user-interface module's printer events and device capabilities.
// Stores the user's per-user part, and with `store` the configuration itself as "PrinterData"
// without any user's per-user values: 1 when all of it was stored. The caller's record is
// never changed.
int InitPrinterConfiguration(HANDLE printer, const PrinterConfiguration* config, BOOL store);
int SetUserModeDriverData(HANDLE printer);
// Caller to come: the user-interface module's printer events and device capabilities.
int QueryStartupHook(HANDLE printer, HMODULE module, DWORD code, DWORD flag);
// Caller to come: the user-interface module's printer events and device capabilities.
int RunStartupHook(HANDLE printer, HMODULE module);

// Forms (statuses in form_status.h). ReadFormName: kFormNotFound beyond the form count,
// kFormFailed without forms or when the enumeration failed, kFormNoMemory for form 0, no output
// or no memory.
int EnumFormsAlloc(HANDLE printer, FORM_INFO_1W** forms, DWORD* needed, DWORD* count);
int IsBuiltinForm(HANDLE printer, DWORD form);
// Caller to come: the user-interface module's printer events and device capabilities.
DWORD PaperSizeToFormIndex(DWORD paperSize);
int ReadFormName(HANDLE printer, DWORD form, LPWSTR* name);
// Caller to come: the user-interface module's printer events and device capabilities.
LPWSTR GetFormNameByIndex(HANDLE printer, DWORD form);

// Caller to come: the user-interface module's printer events and device capabilities.
// The model's papers: the type-10 records that the choices of item 8 (dmPaperSize) stand for;
// a paper's id is its record's key. 1 when a choice stands for that paper, else 0.
int IsDatabasePaperSize(HANDLE printer, DWORD paperSize);
// Caller to come: the user-interface module's printer events and device capabilities.
// The model's paper for form `form`: a built-in form that is one of the papers is its own
// paper; otherwise the first paper whose name equals the form's name (case-sensitive). kFormDone
// with the paper id, else kFormNotFound (no paper of the form's name, or no such form),
// kFormFailed (no forms, no database, or a choice unreadable) or kFormNoMemory, with the id 0.
int MapFormToPaperId(HANDLE printer, DWORD form, WORD* paperId);
