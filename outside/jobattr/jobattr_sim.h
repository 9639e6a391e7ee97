// The stand-in job-attribute library "qvjobattr.dll": what its five entries answer and how tests
// inspect them through GetProcAddress on the loaded library.
//
// Each entry writes a fixed ANSI text built from its arguments into the caller's buffer, logs
// the call and answers 1:
//   DHGetVJCLStringOfNup(code, ...)                          "@NUPL=<code>"
//   DHGetVJCLStringOfHostAddress(...)                        "@HOAD=192.0.2.45"
//   DHGetVJCLStringOfJobOwnerStringFromUserHostName(m, l, t) "@JOWN=qvuser@QVHOST;<m>;<l>;<t>"
//   DHGetVJCLStringOfJobOwnerFromInputA(m, owner, l, t)      "@JOWN=<owner>;<m>;<l>;<t>"
//   DHGetVJCLStringOfHostNameEx(32, ...)                     "@HONM=QVHOST"
// A text that does not fit the buffer is cut to it and left unterminated, as a careless
// library would. SimJobAttrSetAnswer scripts one entry to answer 0 (fail) or to write a given
// text instead. The state lives in the library: a test keeps it loaded while it looks.
//
// Variants without one entry are built as <test dir>/qvjobattr_without_<entry>.dll.
#pragma once

#include "platform/base/types.h"

enum SimJobAttrEntry : DWORD {
  kSimJobAttrNup = 0,
  kSimJobAttrHostAddress = 1,
  kSimJobAttrOwnerFromUserHost = 2,
  kSimJobAttrOwnerFromInput = 3,
  kSimJobAttrHostName = 4,
  kSimJobAttrEntryCount = 5,
};

// One logged call: the entry, its numeric arguments in order (owner mode, layout value, tray
// code; the N-up code; the host-name call's two numbers), the buffer size passed in and, for
// the owner-from-input entry, the owner text.
struct SimJobAttrCall {
  DWORD entry;
  DWORD args[4];
  DWORD sizeIn;
  char owner[260];
};

using SimJobAttrResetProc = void (*)();
// result 0: the entry fails (answers 0); otherwise it answers 1 and writes `text` when it is
// not NULL, its own text otherwise.
using SimJobAttrSetAnswerProc = void (*)(DWORD entry, int result, const char* text);
using SimJobAttrCallCountProc = DWORD (*)();
using SimJobAttrGetCallProc = BOOL (*)(DWORD index, SimJobAttrCall* call);
