// Image colour management: colour profiles, colour transforms and the translation of bitmap
// bits. Profiles are files of the colour directory; a transform records what it was made from
// and translates by copying (row by row with the given strides), or by inverting every byte
// when a test asks for a visible change.
#pragma once

#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"

using HPROFILE = void*;
using HTRANSFORM = void*;
using FXPT2DOT30 = LONG;
using BMFORMAT = DWORD;
using PBMCALLBACKFN = BOOL (*)(ULONG, ULONG, LPARAM);

struct CIEXYZ {
  FXPT2DOT30 ciexyzX;
  FXPT2DOT30 ciexyzY;
  FXPT2DOT30 ciexyzZ;
};
struct CIEXYZTRIPLE {
  CIEXYZ ciexyzRed;
  CIEXYZ ciexyzGreen;
  CIEXYZ ciexyzBlue;
};
struct LOGCOLORSPACEA {
  DWORD lcsSignature;
  DWORD lcsVersion;
  DWORD lcsSize;
  LONG lcsCSType;
  LONG lcsIntent;
  CIEXYZTRIPLE lcsEndpoints;
  DWORD lcsGammaRed;
  DWORD lcsGammaGreen;
  DWORD lcsGammaBlue;
  CHAR lcsFilename[MAX_PATH];
};
static_assert(sizeof(LOGCOLORSPACEA) == 328);

struct PROFILE {
  DWORD dwType;
  PVOID pProfileData;
  DWORD cbDataSize;
};

#define LCS_SIGNATURE 0x50534F43  // "PSOC"
#define LCS_CALIBRATED_RGB 0
#define LCS_GM_IMAGES 4
#define PROFILE_FILENAME 1
#define PROFILE_MEMBUFFER 2
#define PROFILE_READ 1
#define PROFILE_READWRITE 2
#define ENABLE_GAMUT_CHECKING 0x00010000
#define BEST_MODE 3
#define BM_RGBTRIPLETS 0x0002
#define BM_16b_RGB 0x000A
#define BM_16b_GRAY 0x0505

// The colour directory is C:\Windows\System32\spool\drivers\color. Answers FALSE with
// ERROR_INSUFFICIENT_BUFFER (and the size needed) when the buffer is too small.
PLATFORM_API BOOL GetColorDirectoryA(LPCSTR machineName, LPSTR buffer, LPDWORD size);
// Opens a profile file (PROFILE_FILENAME, an existing file); NULL when it is missing.
PLATFORM_API HPROFILE OpenColorProfileA(PROFILE* profile, DWORD access, DWORD shareMode, DWORD creation);
// A profile is valid when its header has the signature "acsp" at byte 36.
PLATFORM_API BOOL IsColorProfileValid(HPROFILE profile, PBOOL valid);
PLATFORM_API BOOL CloseColorProfile(HPROFILE profile);
PLATFORM_API HTRANSFORM CreateColorTransformA(LOGCOLORSPACEA* colorSpace, HPROFILE destination, HPROFILE target,
                                              DWORD flags);
PLATFORM_API BOOL DeleteColorTransform(HTRANSFORM transform);
// Strides of 0 mean rows padded to 4 bytes, as the platform reads them.
PLATFORM_API BOOL TranslateBitmapBits(HTRANSFORM transform, PVOID input, BMFORMAT inputFormat, DWORD width,
                                      DWORD height, DWORD inputStride, PVOID output, BMFORMAT outputFormat,
                                      DWORD outputStride, PBMCALLBACKFN callback, LPARAM callbackData);
