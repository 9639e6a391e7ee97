// File handles of the output channel and the temporary job store: opening, closing,
// positioning and deleting.
#pragma once

#include "platform/base/types.h"

// OpenFileForChannel flags.
constexpr DWORD kChannelFileCreate = 0x1;    // CREATE_ALWAYS, else OPEN_ALWAYS
constexpr DWORD kChannelFileReadOnly = 0x2;  // GENERIC_READ only, else read and write

// CreateFileW without sharing, normal attributes; INVALID_HANDLE_VALUE for a NULL name.
HANDLE OpenFileForChannel(LPCWSTR fileName, DWORD flags);
// FALSE for INVALID_HANDLE_VALUE, else CloseHandle's answer.
BOOL CloseFileHandle(HANDLE file);
// Caller to come: the temporary job store.
// SetFilePointer from the file's start; -1 (INVALID_SET_FILE_POINTER) for INVALID_HANDLE_VALUE.
DWORD SeekFileFromStart(HANDLE file, LONG position);
// SetFilePointer from the file's end; -1 for INVALID_HANDLE_VALUE.
DWORD SeekFileFromEnd(HANDLE file, LONG distance);
// Caller to come: the temporary job store.
BOOL DeleteFilePath(LPCWSTR path);
