// Localised texts, the module's directory and file names, character-set tests and the module
// version: services every part of the data source uses.
#pragma once

#include "platform/base/types.h"

// The data source's own module (kept at attach).
extern HINSTANCE g_Instance;

// Text `id` of the string table in the ANSI code page; "\n" sequences become CR LF. Answers
// the text's length.
int LoadLocalizedString(HINSTANCE instance, UINT id, LPSTR buffer, int size);

// The module's directory with its trailing backslash.
BOOL GetSourceModuleDirectory(HINSTANCE instance, LPSTR buffer, DWORD size);
// The module's path up to its last dot, followed by "tmp".
BOOL MakeDefaultTransferName(HINSTANCE instance, LPSTR buffer, DWORD size);
