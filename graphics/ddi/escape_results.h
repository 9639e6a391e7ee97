// The answers of DrvEscape and of the direct-mode escapes, and the escape codes the module
// answers.
#pragma once

#include "platform/base/types.h"

// Results every escape shares.
constexpr LONG kEscDone = 1;          // done, or accepted and ignored
constexpr LONG kEscUnsupported = 0;   // not supported or not done
constexpr LONG kEscBadArgument = -1;  // bad size, missing buffer, no memory
// Results the direct mode adds.
constexpr LONG kEscUnknownSubCode = -2;
constexpr LONG kEscUnsupportedFeature = -3;
constexpr LONG kEscBadSize = -4;
constexpr LONG kEscUnknownArgument = -5;
constexpr LONG kEscNotAllowedNow = -6;
// The direct-mode image escape: an image description that cannot be drawn.
constexpr LONG kEscUnusableImage = -5;

// Public escapes.
constexpr WORD kEscQuerySupport = 8;
constexpr WORD kEscSetCopyCount = 17;
constexpr WORD kEscGetTechnology = 20;
// The applications' direct mode.
constexpr WORD kEscDirectMode = 4209;
constexpr WORD kEscDirectImage = 4210;
constexpr WORD kEscDirectPage = 4211;
constexpr WORD kEscDirectQuery = 4212;
constexpr WORD kEscDirectData = 4216;
// The user-interface module's private escapes.
constexpr WORD DRVESC_PAGEEND = 0x5001;
constexpr WORD DRVESC_GETSETTINGS = 0x5002;
constexpr WORD DRVESC_STAMPMODE = 0x5003;
constexpr WORD DRVESC_STAMPPOS = 0x5004;
constexpr WORD DRVESC_SETSETTINGS = 0x5005;
constexpr WORD DRVESC_GETJOBINFO = 0x5006;
constexpr WORD DRVESC_SETJOBINFO = 0x5007;
constexpr WORD DRVESC_JOBINFOMODE = 0x5008;
constexpr WORD DRVESC_QUERYFAXJOB = 0x5009;
constexpr WORD DRVESC_GETSHEETCOUNT = 0x500A;
constexpr WORD DRVESC_SETPRINTERCONFIG = 0x500B;
constexpr WORD DRVESC_SETPAGEMARGINS = 0x5010;
constexpr WORD DRVESC_STARTDOCPRE = 0x5020;
constexpr WORD DRVESC_BATCH = 0x5021;
constexpr WORD DRVESC_SETDOCNAME = 0x5023;
constexpr WORD DRVESC_SETFAXLIST = 0x5024;
constexpr WORD DRVESC_SETJOBHEADERS = 0x5025;
constexpr WORD DRVESC_GETDIRECTMODE = 0x5028;
constexpr WORD DRVESC_SETDIRECTMODE = 0x5029;
constexpr WORD DRVESC_QUERYSTARTDOC = 0x502A;
constexpr WORD DRVESC_SETCONFIRMED = 0x502B;
constexpr WORD DRVESC_SETEXTBLOCK = 0x502C;
constexpr WORD DRVESC_SETAPPBLOCK = 0x502D;
constexpr WORD DRVESC_GETAPPBLOCK = 0x502E;
constexpr WORD DRVESC_SETAUXBLOCK = 0x502F;
constexpr WORD DRVESC_SETEXTVALUE = 0x5030;
constexpr WORD DRVESC_SETMEASURESYSTEM = 0x5100;

// Sizes of the escapes' fixed records.
constexpr DWORD kJobInfoBlockSize = 768;
constexpr DWORD kExtBlockSize = 2112;
constexpr DWORD kDirectModeRecordSize = 12;
constexpr DWORD kPageMarginsSize = 10;
constexpr DWORD kPageEndAnswerSize = 44;
