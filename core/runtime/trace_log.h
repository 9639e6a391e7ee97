// Switchable trace of the printer module's entry points for service engineers. The switch
// file "qorvex.cfg" beside the module ([DEFAULT] Log=0x...) turns it on; the lines go to a
// fixed log file under c:\DEBUG_LOG\WIN2000 or to the debugger. Tracing never changes what
// the driver does: every call returns quietly when tracing is off, and write failures are
// swallowed. With tracing off a call costs only the switch test.
#pragma once

#include "platform/base/types.h"
#include "platform/user/format.h"

// Switch bits.
constexpr DWORD kTraceOn = 0x1;
constexpr DWORD kTraceEntryExit = 0x2;
constexpr DWORD kTraceToDebugger = 0x80000000;

// Lines of this many characters or more are dropped; names and exit texts longer than
// kTraceMaxText are refused.
constexpr int kTraceMaxLine = 514;
constexpr int kTraceMaxText = 508;

// Reads the switch file; 1 when a non-zero switch was read. A missing module directory
// answers 0 and leaves the switch as it was.
int ReadTraceSwitch();
// Reads the switch again (the engineer may have edited it); always 1.
int ReloadTraceSwitch();
// Bit 0x1 of the switch, reading it first when it has not been read.
int IsTraceOn();
// "IN <<" + name. 1 written or nothing to do, 0 for a name over 508 characters.
int TraceEnter(LPCWSTR name);
// "OUT>>" + the formatted text + "\n" (platform wsprintfW conventions: %s is wide). 1 written
// or nothing to do, 0 for a text over 508 characters.
int TraceLeave(LPCWSTR pattern, ...);
// Writes one line to the debugger or appends it to the log file in the ANSI code page with
// a line feed. 1 written, 0 dropped.
int WriteTraceLine(LPCWSTR line);
// Caller to come: the printer modules' exports.
// Keeps the log file open across several lines (nested calls are counted). 1, or 0 when it
// cannot be opened; once an open failed, the file stays closed until the module unloads.
int OpenTraceFile();
// Caller to come: the printer modules' exports.
void CloseTraceFile();
