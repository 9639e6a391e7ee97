// The job header: the block of ANSI attribute lines that opens every print job, built from the
// model's job template (the records of type 15 of its description database). Each entry's
// conditions are evaluated against the job's settings, entries that set the same attribute are
// merged, and the written entries become one line each after the universal exit.
#pragma once

#include "core/database/database.h"
#include "items/item_tables.h"
#include "platform/base/types.h"

// Bits of the model's first feature word that the header reads.
inline constexpr DWORD kFeatureDoubleByteNames = 0x2;   // document names may hold double-byte text
inline constexpr DWORD kFeatureNupAttribute = 0x4;
inline constexpr DWORD kFeatureHostAddress = 0x8;
inline constexpr DWORD kFeatureTrayFromSource = 0x10;    // the tray comes from item 13
inline constexpr DWORD kFeatureCopiesOne = 0x10000;
inline constexpr DWORD kFeatureJobAttrMode = 0x40000;    // "@PJL SET JOBATTR=" lines, merged by name
inline constexpr DWORD kFeatureHostName = 0x200000;
inline constexpr DWORD kFeatureOwnerPrompt = 0x2000000;
inline constexpr DWORD kFeatureBktp = 0x4000000;
inline constexpr DWORD kFeatureEncodedFax = 0x40000000;

inline constexpr int kMonitorJobIdBytes = 64;

struct FaxSelection;

struct JobHeaderContext {
  SettingsRecord* settings;
  PrinterConfiguration* config;
  DWORD monitorFlag;                    // 1: monitorJobId holds the document monitor's job id
  char monitorJobId[kMonitorJobIdBytes];  // ANSI
  LPCWSTR documentName;                 // for items 1831 and 36902
  DWORD useAttributeLibrary;            // non-zero: extension entries call the job-attribute library
  const FaxSelection* faxSelection;     // destinations of a fax job; NULL for none
  HANDLE printer;                       // for the spooler forms of user papers
  WORD bktpValue;                       // the "@BKTP=" value; 0 while not yet known
  DWORD bktpOffset;                     // out: byte offset of the "@BKTP=" text, 0 when none
};

// Builds the header into buffer (capacity bytes, at least EstimateJobHeaderSize). Answers its
// length, or a negative code (job_header_status.h); kJobHeaderFull when the template writes
// more than the buffer holds.
int BuildJobHeader(DatabaseStream* main, DatabaseStream* linked, JobHeaderContext* context, LPSTR buffer,
                   DWORD capacity);
// Upper bound of a header's size in bytes, or kJobHeaderSizeMissing.
int EstimateJobHeaderSize(DatabaseStream* main, DatabaseStream* linked);
// The size the fax attribute lines of a fax model may take, or kJobHeaderSizeMissing.
int EstimateFaxAttributeSize(DatabaseStream* main, BOOL jobAttrMode);
