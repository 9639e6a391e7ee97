// The user file of print to file as a target of the output channel.
#pragma once

#include "graphics/output/output_channel.h"
#include "platform/base/types.h"

// Opens the file (create flag: CREATE_ALWAYS, else OPEN_ALWAYS; read and write, not shared),
// moves to its end and reports that offset, then mode 3. When the file cannot be opened or
// positioned it is closed again, the channel keeps no file and the answer is -1.
int OpenFileTarget(OutputChannel* channel, LPCWSTR path, LPDWORD startOffset, BOOL create);
// Flushes, reports the file's end offset, returns to mode 1 and closes the file. -1 when
// closing failed; else the flush's result (-1 when the end could not be found) ORed with the
// mode change.
int CloseFileTarget(OutputChannel* channel, LPDWORD endOffset);
// From mode 1 only: creates the file and writes to printer and file at once (mode 4). The
// mode becomes 4 even when the file could not be opened; the answer is then -1.
int AddFileTarget(OutputChannel* channel, LPCWSTR path);
// Flushes, returns to mode 1 and closes the file.
int EndFileTarget(OutputChannel* channel);
