// The blocks the user-interface module's escapes leave in the device record: the job
// information texts and the job header table.
#pragma once

#include "platform/base/types.h"

// Byte sizes of the job information texts, as they stand in the 768-byte record.
constexpr DWORD kJobInfoUserBytes = 128;
constexpr DWORD kJobInfoHostBytes = 64;
constexpr DWORD kJobInfoDocumentBytes = 522;
constexpr DWORD kJobInfoDateBytes = 22;
constexpr DWORD kJobInfoTimeBytes = 12;

// Each text block is made zero-filled the first time it is needed and kept for the job.
struct JobInfoCopy {
  BYTE* user;
  BYTE* host;
  BYTE* document;
  ULONGLONG reserved;  // kept 0
  BYTE* date;
  BYTE* time;
};

// count entries of `length` bytes followed by count u32 values, in the same block.
struct JobHeaderTable {
  DWORD count;
  DWORD length;
  BYTE* entries;
  DWORD* values;
};
static_assert(sizeof(JobHeaderTable) == 24);
