// The stand-in colour library "qvcolor.dll": its seven entry points and how tests script and
// inspect them through GetProcAddress.
//
// ZEM_LoadZEM32 answers the scripted handle (0x5A454D0000000001 by default, a value above 32
// bits) and keeps the data file's path; every entry logs its call with the handle, the
// parameter byte (ZEM_CreateParam_Begin32), the size and a checksum of the pixels it was given.
// ZEM_ColorConvert32 writes a visible transform into its result: each pixel with its first and
// third byte swapped. Every entry answers its scripted value (0 by default).
//
// Variants of the library without one entry are built as
// <test dir>/colorlib_variants/<entry>/qvcolor.dll.
#pragma once

#include "platform/base/types.h"

enum SimColorCall : DWORD {
  kSimZemLoad = 0,
  kSimZemFree,
  kSimZemBegin,
  kSimZemCreateParam,
  kSimZemEnd,
  kSimZemDeleteParam,
  kSimZemConvert,
};

struct SimColorLogEntry {
  DWORD Call;          // SimColorCall
  ULONGLONG Handle;
  DWORD Parameter;     // ZEM_CreateParam_Begin32's byte
  DWORD Width, Height;
  DWORD Checksum;      // sum of the pixel bytes given, or of the data file's characters
};

using SimColorResetProc = void (*)();
// The answer of an entry from now on (ZEM_LoadZEM32: the handle's low 32 bits, 0 for none).
using SimColorSetAnswerProc = void (*)(DWORD call, ULONGLONG answer);
using SimColorLogCountProc = DWORD (*)();
using SimColorLogEntryAtProc = BOOL (*)(DWORD index, SimColorLogEntry* entry);
// The data file's path ZEM_LoadZEM32 was given last (at most chars characters with the end).
using SimColorDataFileProc = void (*)(WCHAR* out, DWORD chars);

inline constexpr ULONGLONG kSimColorDefaultHandle = 0x5A454D0000000001ull;
