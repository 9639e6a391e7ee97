// Localised texts, the module's directory and file names, character-set tests and the module
// version: services every part of the data source uses.
#pragma once

#include "platform/base/types.h"

// The data source's own module (kept at attach).
extern HINSTANCE g_Instance;

// The companion text library's texts for the user's language (at attach and at every open):
// 1; UnloadLocaleText frees the library and deletes the temporary text file: 0.
BOOL LoadLocaleText(HINSTANCE instance);
BOOL UnloadLocaleText();
// The help language tag chosen with the texts ("EN*", "CHS"; "EN" before any).
LPCSTR GetHelpLocaleTag();
// The temporary INI file of the companion's texts, or null.
LPCSTR LocaleTextFilePath();

// Text `id` from the companion's texts, else from the string table, in the ANSI code page;
// "\n" sequences become CR LF. Answers the text's length.
int LoadLocalizedString(HINSTANCE instance, UINT id, LPSTR buffer, int size);

// The module's directory with its trailing backslash.
BOOL GetSourceModuleDirectory(HINSTANCE instance, LPSTR buffer, DWORD size);
// The module's path up to its last dot, followed by "tmp".
BOOL MakeDefaultTransferName(HINSTANCE instance, LPSTR buffer, DWORD size);

// Whether the text character set of the window's device context is a CJK one (Shift-JIS,
// Hangul, Johab, GB2312, Big5: 128, 129, 130, 134, 136), and whether it is a Chinese one (134,
// 136): 1 or 0. The dialogs choose their templates and pictures by them.
BOOL IsCjkCharset(HWND window);
BOOL IsChineseCharset(HWND window);

// The four parts of the module's fixed file version (most significant first), read from its
// version resource; all 0 and FALSE when the resource is missing or malformed.
BOOL GetModuleVersion(HINSTANCE instance, WORD* major, WORD* minor, WORD* build, WORD* revision);
