// What the user-interface module writes into the spooler for a printer: the directory-service
// publishing values and the spooler forms of the model's papers.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

struct ItemStore;
struct DatabaseRecord;

// Key and values of the publishing data (REG_BINARY, one byte each).
inline constexpr WCHAR kDsDriverKey[] = u"DsDriver";
inline constexpr WCHAR kDsDuplexValue[] = u"printDuplexSupported";
inline constexpr WCHAR kDsStaplingValue[] = u"printStaplingSupported";

// Writes both publishing values from the configuration: duplex = flag item 4103; stapling = 1
// when flag item 4101 or 4116 is set and item 5134 is 1. 1 when both writes succeeded, 0 when
// either failed (both are always tried).
int WriteDsDriverData(HANDLE printer, PrinterConfiguration* config);

// Adds a spooler form for every paper record of the model the printer lacks (neither a form of
// that name nor a built-in form for the paper): 1 when every add succeeded, 0 when one failed
// (the walk goes on).
int AddDriverForms(HANDLE printer, ItemStore* store);
// Adds the user form of one paper record: its size and imageable area in thousandths of a
// millimetre (A4 for the user-defined papers). TRUE when AddFormW took it.
BOOL AddDriverForm(LPCWSTR formName, const DatabaseRecord* paper, HANDLE printer);
