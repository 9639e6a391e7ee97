// The fax attribute lines of a direct-fax job: one "@FANU=" (or, with encoded texts,
// "@FAEN=") line per destination of the job's fax selection, written into the job header of a
// fax model. A line holds the dialled number and then fields in braces: options, prefix use,
// resolution and two comments.
#pragma once

#include <string>

#include "core/job/fax_list.h"
#include "platform/base/types.h"

struct JobHeaderBuild;

// The destinations a job header announces: entries first..last of a "DFAX001" blob.
struct FaxSelection {
  DWORD first;
  DWORD last;
  const BYTE* blob;
  DWORD blobSize;
};

// The dial prefixes of the job's settings (texts of at most 5 characters) and their switches.
struct FaxDialData {
  WCHAR secondPrefix[6];   // item 5141, dial kind 2
  WORD secondPrefixOn;     // item 5142
  WCHAR firstPrefix[6];    // item 5143, dial kind 1
  WORD firstPrefixOn;      // item 5144
  WORD noPrefixOn;         // item 5145, any other dial kind
};

// Line modes: 2 writes "@FAEN=" with the option text and the second comment protected; any
// other mode "@FANU=".
inline constexpr int kFaxLineEncoded = 2;
inline constexpr int kFaxLinePlain = 1;
inline constexpr DWORD kFaxLineBufferSize = 512;

// Builds one destination's line, ended by CR LF. Without output only *length is set (1).
// Answers 0 for a field that cannot be built (a bad number list or resolution code, a failed
// conversion), with *length -1 when the fields are too long, or 0 when the line is longer than
// capacity.
int BuildFaxJobAttributes(int mode, const FaxDestination* entry, const FaxDialData* dial, DWORD capacity,
                          BOOL jobAttr, LPSTR output, int* length);
// The comma-separated list as four-digit numbers joined together ("7,12" -> "00070012"):
// every piece one or two digits, an empty last piece allowed, at most 80 characters in all.
bool FormatDigitList(const std::string& list, std::string* out);
// Appends the lines of the context's fax selection; bytes appended, 0 when the selection does
// not match the settings' destination count, or kJobValueRuleFailed.
int WriteFaxJobLines(JobHeaderBuild* build);
