// Folders a user names on the pages: made level by level, and tested without touching the
// process's current directory.
#pragma once

#include "platform/base/types.h"

// Longest path the folder routines take, in characters.
inline constexpr int kFolderPathChars = 260;

// Creates every folder along the path: each prefix that ends before a backslash, from the
// second backslash on, then the whole path. Failures (a folder that exists among them) are
// ignored; a longer path does nothing.
void CreateDirectoryPath(LPCWSTR path);
// 1 when the path names an existing folder.
int IsDirectoryPresent(LPCWSTR path);
// 1 when the path names a device rather than a file ("\\.\" names such as pipes, and
// "\\?\" names): such paths are never opened as settings files.
int IsDevicePath(LPCWSTR path);
