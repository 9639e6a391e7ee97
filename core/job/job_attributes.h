// The value of one setting item as the text of a job attribute: the caller's key, then the
// value, appended to the header in the ANSI code page. Most items print by their type; a fixed
// set has a rule of its own (papers, feed edge, copies, owner, delayed print, document name,
// number lists, a one-time text).
#pragma once

#include "core/database/database.h"
#include "core/job/header_output.h"
#include "core/job/job_header.h"
#include "items/item_tables.h"
#include "platform/base/types.h"

// The working record of one header build, shared by the attribute rules and the job-attribute
// library binding.
struct JobHeaderBuild {
  DatabaseStream* main;
  DatabaseStream* linked;
  JobHeaderContext* context;
  DWORD features;  // the model's first feature word
  int modelKind;   // 2 for a fax model
  HMODULE library; // the job-attribute library once loaded
  HeaderOutput* output;
};

inline bool HasFeature(const JobHeaderBuild* build, DWORD bit) { return (build->features & bit) != 0; }

// The item as a number by its own type (flags, 8, 16 and 32 bits); 0, kJobItemUnreadable or
// kJobItemUnknown.
int ReadItemAs(SettingItemId id, JobHeaderBuild* build, DWORD* number);
// A text item: the address of its field in the job's records; 0 or the same codes.
int ReadItemText(SettingItemId id, JobHeaderBuild* build, LPCWSTR* text);
// Appends the key and the item's value by its type; bytes appended or a negative code.
int FormatItemValue(LPCWSTR key, SettingItemId id, JobHeaderBuild* build);
// Appends the key and the value by the item's rule; bytes appended, 0 when there is nothing
// to write, or a negative code.
int WriteItemAttr(LPCWSTR key, SettingItemId id, JobHeaderBuild* build);
// The ANSI text of at most maxBytes bytes when each character lies in the job-name ranges and
// it is not only blanks; double-byte characters only when allowed. Cut without splitting a
// character. False when refused.
bool TakeJobNameText(LPCSTR text, DWORD maxBytes, bool doubleByte, bool cutLonger, char* out);
