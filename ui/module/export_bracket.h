// The bracket every export of the user-interface module runs: the trace entry line and one
// reference to the resource module for the length of the call, then the reference dropped
// and the exit line. Exports do their work in a function of their own between EnterExport and
// LeaveExport, so the reference is dropped exactly once whatever path the work takes.
#pragma once

#include "platform/base/types.h"

// Writes the entry line and takes the reference.
void EnterExport(LPCWSTR name);
// Drops the reference. With keepLastError the thread's last error is what the work left,
// whatever the release did to it.
void LeaveExport(bool keepLastError = false);
