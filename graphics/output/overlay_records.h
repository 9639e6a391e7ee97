// The record that names a stored overlay (form) file for the printer, and the reading of the
// driver directory's data file that a job copies whole into its stream.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// A new global wide string: the file name (no directory, no extension) of the overlay path in
// item 1830; NULL when the item is empty or names no file.
LPWSTR OverlayFileName(Pdev* pdev);
// 29 + the ANSI length of that name; 0 without a name; -1 without a device or memory.
int EstimateOverlayRecordSize(Pdev* pdev);
// Writes "Eg" with the name, the unit matrix and a zero byte into buffer (capacity bytes): the
// bytes written, 0 without a name, -1 without arguments, memory or room.
int WriteOverlayNameRecord(Pdev* pdev, BYTE* buffer, DWORD capacity);

// The model's data file (section 28) in the driver directory, opened for reading without
// sharing; INVALID_HANDLE_VALUE when the directory or the name cannot be had or the file cannot
// be opened.
HANDLE OpenDriverDataFile(Pdev* pdev);
// Reads up to n bytes in steps of at most 512: the bytes read, or -1 on a read error or bad
// arguments. The handle is closed when the answer is 0 or -1 and left open otherwise (the
// caller closes it after use).
int ReadFileBytes(HANDLE file, int n, BYTE* buffer);
