// Font enumeration: EnumFontFamiliesW over the fonts installed on the simulated machine,
// a list that tests set (font_sim.h; empty by default). The layer keeps no device contexts
// yet: every non-NULL device context sees the same installed fonts.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define RASTER_FONTTYPE 0x0001
#define DEVICE_FONTTYPE 0x0002
#define TRUETYPE_FONTTYPE 0x0004
#define LF_FULLFACESIZE 64

#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1

struct ENUMLOGFONTW {
  LOGFONTW elfLogFont;
  WCHAR elfFullName[LF_FULLFACESIZE];
  WCHAR elfStyle[LF_FACESIZE];
};

struct TEXTMETRICW {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  WCHAR tmFirstChar;
  WCHAR tmLastChar;
  WCHAR tmDefaultChar;
  WCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};

struct NEWTEXTMETRICW {
  TEXTMETRICW tm;
  DWORD ntmFlags;
  UINT ntmSizeEM;
  UINT ntmCellHeight;
  UINT ntmAvgWidth;
};

static_assert(sizeof(ENUMLOGFONTW) == 284 && sizeof(TEXTMETRICW) == 60 && sizeof(NEWTEXTMETRICW) == 76);

// The callback receives an ENUMLOGFONTW (as its LOGFONTW) and a NEWTEXTMETRICW (as its
// TEXTMETRICW), both valid only during the call; answering 0 stops the enumeration.
using FONTENUMPROCW = int(CALLBACK*)(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType, LPARAM param);

// Without a family: one call per family (its first installed face). With a family (compared
// without regard to case): one call per face of that family. Answers the last callback's
// answer, 1 when there was nothing to enumerate, 0 with ERROR_INVALID_HANDLE for a NULL device
// context or ERROR_INVALID_PARAMETER for a NULL callback.
PLATFORM_API int EnumFontFamiliesW(HDC dc, LPCWSTR family, FONTENUMPROCW proc, LPARAM param);
