// The private escapes the user-interface module sends to the graphics module of the same printer
// on the application's printer device context (ExtEscape, answered by the graphics module's
// DrvEscape), and the sizes of their fixed payloads.
#pragma once

#include "platform/base/types.h"

inline constexpr int DRVESC_PAGEEND = 0x5001;
inline constexpr int DRVESC_GETSETTINGS = 0x5002;
inline constexpr int DRVESC_STAMPMODE = 0x5003;
inline constexpr int DRVESC_STAMPPOS = 0x5004;
inline constexpr int DRVESC_SETSETTINGS = 0x5005;
inline constexpr int DRVESC_GETJOBINFO = 0x5006;
inline constexpr int DRVESC_SETJOBINFO = 0x5007;
inline constexpr int DRVESC_JOBINFOMODE = 0x5008;
inline constexpr int DRVESC_QUERYFAXJOB = 0x5009;
inline constexpr int DRVESC_SETPRINTERCONFIG = 0x500B;
inline constexpr int DRVESC_SETPAGEMARGINS = 0x5010;
inline constexpr int DRVESC_STARTDOCPRE = 0x5020;
inline constexpr int DRVESC_BATCH = 0x5021;
inline constexpr int DRVESC_SETDOCNAME = 0x5023;
inline constexpr int DRVESC_SETFAXLIST = 0x5024;
inline constexpr int DRVESC_SETJOBHEADERS = 0x5025;
inline constexpr int DRVESC_GETDIRECTMODE = 0x5028;
inline constexpr int DRVESC_SETDIRECTMODE = 0x5029;
inline constexpr int DRVESC_QUERYSTARTDOC = 0x502A;
inline constexpr int DRVESC_SETCONFIRMED = 0x502B;
inline constexpr int DRVESC_SETMEASURESYSTEM = 0x5100;

// The batch opens with 0 and closes with 1; overlay modes begin with 1 and end with 0.
inline constexpr WORD kBatchBegin = 0;
inline constexpr WORD kBatchEnd = 1;
inline constexpr DWORD kOverlayBegin = 1;
inline constexpr DWORD kOverlayEnd = 0;

inline constexpr DWORD kDirectModeStateSize = 12;
inline constexpr DWORD kPageMarginsPayloadSize = 10;
inline constexpr DWORD kPageEndReplySize = 44;

// Sends one escape; true when the graphics module answered above 0.
bool SendDriverEscape(HDC dc, int escape, const void* in, DWORD inSize, void* out = nullptr, DWORD outSize = 0);
