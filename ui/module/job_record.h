// The record the document events keep for each printer device context between CREATEDCPRE
// and DELETEDC, and the job information block that passes between the two printer modules.
#pragma once

#include <cstddef>

#include "core/store/item_store.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

// The job information (a wire format between the two modules): which fields are printed, where
// (positions filled by the graphics module), and their texts.
struct JobInfoBlock {
  DWORD used;          // 1 when any field is switched on
  WORD positions[6];   // user, owner, document, page, date, time; kNoJobInfoPosition = not printed
  WCHAR user[64];
  WCHAR owner[32];
  WCHAR document[261];
  WORD page;           // filled by the graphics module
  WCHAR date[11];
  WCHAR time[6];
  BYTE padding[2];
};
static_assert(sizeof(JobInfoBlock) == 768 && offsetof(JobInfoBlock, positions) == 4 &&
              offsetof(JobInfoBlock, user) == 16 && offsetof(JobInfoBlock, owner) == 144 &&
              offsetof(JobInfoBlock, document) == 208 && offsetof(JobInfoBlock, page) == 730 &&
              offsetof(JobInfoBlock, date) == 732 && offsetof(JobInfoBlock, time) == 754);

inline constexpr WORD kNoJobInfoPosition = 0xFFFF;
inline constexpr int kJobInfoFieldCount = 6;

// Characters of the record's texts, terminator included.
inline constexpr DWORD kDocumentNameChars = 261;
inline constexpr DWORD kUserNameChars = 257;

// The graphics module's direct-mode state, kept across a reset of the device context.
struct DirectModeState {
  DWORD on;
  DWORD overrideSwitch;
  WORD colorOverride;
  BYTE padding[2];
};
static_assert(sizeof(DirectModeState) == 12);

struct DcJobRecord {
  HANDLE printer;  // the list key
  HMODULE pinnedModule;
  DWORD started;
  DWORD directFax;
  DWORD startAnswer;
  DWORD confirmed;
  SettingsRecord settings;
  PrinterConfiguration configuration;
  ItemStore* store;
  WCHAR documentName[kDocumentNameChars];
  WCHAR userName[kUserNameChars];
  JobInfoBlock jobInfo;
  BYTE* jobHeaders;
  DWORD jobHeadersSize;
  BYTE* monitorJobs;
  DWORD faxRecordSize;
  BYTE* faxRecord;
  DirectModeState directMode;
  DcJobRecord* next;
};

// A new record for the printer at the head of the list, cleared, with its ItemStore (which may
// stay NULL) and the module's own extra load reference; NULL without memory.
DcJobRecord* CreateJobRecord(HANDLE printer);
// The first record of the printer, its ItemStore opened again when it has none; NULL.
DcJobRecord* FindJobRecord(HANDLE printer);
// Unlinks and frees the first record of the printer (job data, ItemStore, pinned module); 1.
int DeleteJobRecord(HANDLE printer);
// Frees the job-header block, the monitor job-id block and the fax record.
void FreeJobRecordData(DcJobRecord* record);
// Clears the per-document fields (flags, names, the job information's flag, the job headers,
// the fax record and the direct-mode state).
void ResetJobRecord(DcJobRecord* record);
