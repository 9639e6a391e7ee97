// The outside colour library: its seven entry points, bound by name from its file in the
// driver directory. Answers are 16-bit, 0 for success.
#pragma once

#include "platform/base/types.h"

using ZemLoadProc = ULONGLONG (*)(LPCWSTR dataFile);
using ZemHandleProc = WORD (*)(ULONGLONG handle);
using ZemBeginProc = WORD (*)(ULONGLONG handle, BYTE parameter);
using ZemCreateParamProc = WORD (*)(ULONGLONG handle, const BYTE* pixels, DWORD width, DWORD height);
using ZemConvertProc = WORD (*)(ULONGLONG handle, const BYTE* pixels, BYTE* result, DWORD width, DWORD height);

struct ColorLibraryEntries {
  ZemLoadProc Load;               // ZEM_LoadZEM32
  ZemHandleProc Free;             // ZEM_FreeZEM32
  ZemBeginProc Begin;             // ZEM_CreateParam_Begin32
  ZemCreateParamProc CreateParam; // ZEM_CreateParam32
  ZemHandleProc End;              // ZEM_CreateParam_End32
  ZemHandleProc DeleteParam;      // ZEM_DeleteParam32
  ZemConvertProc Convert;         // ZEM_ColorConvert32
};

// ZEM_CreateParam_End32's answer when the library leaves the group unconverted.
inline constexpr WORD kColorLibraryGroupUnconverted = 1;

// The header texts of the model that name the library file and its data file.
inline constexpr WORD kHeaderTextColorLibrary = 4;
inline constexpr WORD kHeaderTextColorLibraryData = 1;

struct ColorConverter;

// Loads the library named by the model (driver directory plus header text 4) and, when all
// seven entry points exist, opens it with its data file (header text 1): the handle becomes
// the converter's. A missing file or entry point leaves the library unused, unreported.
void BindOutsideColorLibrary(ColorConverter& converter, HANDLE printer);
// Closes the library's parameters and handle and unloads it.
void ReleaseOutsideColorLibrary(ColorConverter& converter);
