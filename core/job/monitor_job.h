// What a print job is announced to the document-monitor client with: the port, printer, user
// and document names, the job type from the settings, and the owner text or, for a fax job,
// the destination's name and number. The user-interface module announces the job; the
// graphics module gathers the same texts but announces nothing.
#pragma once

#include "core/job/fax_list.h"
#include "core/job/monitor_records.h"
#include "core/store/item_store.h"
#include "platform/base/types.h"

struct MonitorJobContext {
  HMODULE resourceModule;  // strings 5139-5143
  HANDLE printer;
  ItemStore* store;
  SettingsRecord* settings;
  PrinterConfiguration* config;
  LPCWSTR userName;     // optional
  LPCWSTR documentName; // optional
  LPCWSTR portName;     // optional: else the printer's
  LPCWSTR printerName;  // optional: else the printer's
  BOOL fax;             // a direct-fax job
  const BYTE* faxBlob;  // its "DFAX001" send list
  DWORD faxBlobSize;
  DWORD destinationIndex;
  DWORD destinationCount;
};

inline constexpr DWORD kMonitorTextBytes = 32;

// The user name the client is told (ANSI, bytes bytes with the terminator): the owner items
// when item 5127 selects them, else the context's name, else the logged-on user's, retried
// while it answers "SYSTEM"; "UnknownUser" when none can be had.
void GetMonitorUserName(const MonitorJobContext* context, LPSTR name, DWORD bytes);
// The destination's name and number as the client shows them (ANSI, 32 bytes each), with the
// count of the other destinations when there are several.
void BuildFaxMonitorTexts(HMODULE resources, const FaxDestination* entry, DWORD count, char* name, char* number);
// Announces the job: the open client handle (SubmitPirvexJob closes it) with the combined id
// in id (64 bytes), or 0 with id unchanged. The graphics module's build announces nothing and
// answers 0.
PirvexHandle CollectJobOwnerData(const MonitorJobContext* context, LPSTR id);
