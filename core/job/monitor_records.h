// The records a print job is announced with to the document-monitor client: the 600-byte
// header (port, printer, user) and the 812-byte job record (type, time, job id, document, fax
// destination or owner, delay), handed over once the client has given its client and job ids.
#pragma once

#include "core/job/monitor_client.h"
#include "platform/base/types.h"

inline constexpr DWORD kPirvexHeaderSize = 600;
inline constexpr DWORD kPirvexJobRecordSize = 812;
inline constexpr DWORD kPirvexIdBytes = 64;
// The combined id "client.job" the job header carries stays below this many characters.
inline constexpr DWORD kPirvexCombinedIdLimit = 48;

// Results of the announcement steps.
inline constexpr int kPirvexDone = 1;
inline constexpr int kPirvexClientFailed = 3;
inline constexpr int kPirvexTextTooLong = 5;
inline constexpr int kPirvexMissingArgument = 6;
inline constexpr int kPirvexBadMode = 7;

// Job types of the record.
inline constexpr DWORD kPirvexJobPrint = 0;
inline constexpr DWORD kPirvexJobFax = 1;
inline constexpr DWORD kPirvexJobSecure = 3;
inline constexpr DWORD kPirvexJobSample = 4;
inline constexpr DWORD kPirvexJobDelayed = 5;
inline constexpr DWORD kPirvexJobTimedFax = 6;
inline constexpr DWORD kPirvexJobMarked = 8;
inline constexpr DWORD kPirvexJobBox = 9;

inline constexpr int kPirvexModeOther = 0;
inline constexpr int kPirvexModeFax = 1;

// One announcement's texts (ANSI) and numbers.
struct PirvexJobTexts {
  LPCSTR port;
  LPCSTR document;
  LPCSTR owner;      // mode 0
  LPCSTR printer;
  LPCSTR user;
  LPCSTR faxName;    // mode 1
  LPCSTR faxNumber;  // mode 1
};

// Seconds from the local time of day nowSeconds to the next hour:minute (a full day when they
// are equal).
DWORD ComputeDelaySeconds(DWORD hour, DWORD minute, DWORD nowSeconds);

// Opens the client, takes its ids (the combined id to id, kPirvexIdBytes bytes), builds the
// records and hands them over. kPirvexDone with *handle held open until SubmitPirvexJob; any
// other result holds nothing.
int FillPirvexRecords(PirvexHandle* handle, LPSTR id, int mode, DWORD item320, DWORD jobType,
                      const PirvexJobTexts* texts, DWORD delayHour, DWORD delayMinute);
// Submits the announced job and closes the handle: kPirvexDone, kPirvexClientFailed when
// either step fails, kPirvexMissingArgument for a 0 handle.
int SubmitPirvexJob(PirvexHandle handle);
