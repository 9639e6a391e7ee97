// Test control of the stand-in drawing library "qvdrawzd.dll", reached with GetProcAddress on
// the loaded library (the typedefs below).
//
// The library keeps a readable trace of every call, one line each, with the arguments decoded
// and the data behind every pointer copied at the call (parameter blocks field by field, with
// any non-zero byte outside the named fields listed; colours, dashes, points, pattern and image
// data with their lengths and CRC-32). It checks the call protocol and writes each breach as a
// trace line starting with "! " (a handle it did not issue or already finalised, a page begun
// outside a job or inside a page, a page ended outside a page, a job ended inside a page, a
// trailer without a header, a header block whose size is not its text length + 8, calls of the
// entry points nothing may call, a colour space other than 3 or 4, a length without data).
// Every call also goes into the print job as the stream of outside/drawlib/drawlib_stream.h.
#pragma once

#include "platform/base/types.h"

// Back to no sessions, no scripts, full tracing, an empty trace and stream.
using SimDrawResetProc = void (*)();
// The nth next call of the entry point (1 = the next; 0 = every call) answers result instead
// of doing its work (VR_Initialize answers NULL for any result).
using SimDrawFailProc = void (*)(const char* name, DWORD nth, int result);
// Counting only: calls are counted, nothing is traced, checked or written (for benchmarks).
using SimDrawCountOnlyProc = void (*)(BOOL on);
// Writing only: every call is checked and written into the print job as usual, but nothing is
// traced or kept (SimDrawTrace and SimDrawStream stay as they were), and the records reach the
// job in blocks of about 64 KiB and at the end of every page, job and session (for long runs).
using SimDrawStreamOnlyProc = void (*)(BOOL on);
// Calls of one entry point since the reset (also in counting mode).
using SimDrawCallCountProc = DWORD (*)(const char* name);
// The trace as lines separated by '\n': copies at most size bytes (with a NUL) and answers the
// bytes the whole trace needs without the NUL.
using SimDrawTraceProc = DWORD (*)(char* buffer, DWORD size);
// Breaches found since the reset.
using SimDrawBreachCountProc = DWORD (*)();
// The stream bytes the library wrote since the reset, as SimDrawTrace copies them.
using SimDrawStreamProc = DWORD (*)(BYTE* buffer, DWORD size);
// Sessions begun and not finalised.
using SimDrawLiveSessionsProc = DWORD (*)();
