// Printer device contexts as an application makes them. CreateDCW opens the printer through
// the spooler, loads the printer's user-interface module (the driver info's configuration file)
// and its graphics module (the driver path) by name, and creates the graphics engine's device
// context (engine_host.h) on it. The document calls drive the engine, and GDI tells the
// user-interface module each step through its DrvDocumentEvent, in this order:
//   CreateDCW   CREATEDCPRE -> engine DC created -> CREATEDCPOST
//               (the devmode the module answers at CREATEDCPRE, when it gives one, is the DC's)
//   StartDocW   STARTDOCPRE -> spool job and DrvStartDoc -> STARTDOCPOST
//   StartPage   STARTPAGE -> DrvStartPage
//   EndPage     ENDPAGE (the module may still draw into the page) -> DrvSendPage
//   EndDoc      ENDDOCPRE (the module may add a page) -> DrvEndDoc -> ENDDOCPOST
//   AbortDoc    ABORTDOC -> DrvEndDoc(ED_ABORTDOC)
//   ResetDCW    RESETDCPRE -> engine reset -> RESETDCPOST
//   DeleteDC    (a running document is aborted) DELETEDC -> engine DC deleted
// A failing CREATEDCPRE or STARTDOCPRE fails the call before the engine is asked; a failing
// STARTDOCPOST aborts the document just started. ExtEscape (escape.h) on the DC reaches the
// graphics module's DrvEscape. The drawing calls of drawing.h, text.h and bitmaps.h on a printer DC
// become the engine's drawing calls (engine_drawing.h) inside a page; outside a page they draw
// nothing and answer FALSE. GetDeviceCaps answers what the graphics module described.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

// Events of DrvDocumentEvent and its answers.
#define DOCUMENTEVENT_CREATEDCPRE 1
#define DOCUMENTEVENT_CREATEDCPOST 2
#define DOCUMENTEVENT_RESETDCPRE 3
#define DOCUMENTEVENT_RESETDCPOST 4
#define DOCUMENTEVENT_STARTDOC 5
#define DOCUMENTEVENT_STARTDOCPRE DOCUMENTEVENT_STARTDOC
#define DOCUMENTEVENT_STARTPAGE 6
#define DOCUMENTEVENT_ENDPAGE 7
#define DOCUMENTEVENT_ENDDOC 8
#define DOCUMENTEVENT_ENDDOCPRE DOCUMENTEVENT_ENDDOC
#define DOCUMENTEVENT_ABORTDOC 9
#define DOCUMENTEVENT_DELETEDC 10
#define DOCUMENTEVENT_ESCAPE 11
#define DOCUMENTEVENT_ENDDOCPOST 12
#define DOCUMENTEVENT_STARTDOCPOST 13

#define DOCUMENTEVENT_SUCCESS 1
#define DOCUMENTEVENT_UNSUPPORTED 0
#define DOCUMENTEVENT_FAILURE (-1)

// Answer of the document calls on failure.
#define SP_ERROR (-1)

// GetDeviceCaps indexes of a printer beyond dc.h's.
#define PHYSICALWIDTH 110
#define PHYSICALHEIGHT 111
#define PHYSICALOFFSETX 112
#define PHYSICALOFFSETY 113

// The input of CREATEDCPRE.
struct DOCEVENT_CREATEDCPRE {
  LPWSTR pszDriver;
  LPWSTR pszDevice;
  DEVMODEW* pdm;
  BOOL bIC;
};

struct DOCINFOW {
  int cbSize;
  LPCWSTR lpszDocName;
  LPCWSTR lpszOutput;
  LPCWSTR lpszDatatype;
  DWORD fwType;
};

static_assert(sizeof(DOCEVENT_CREATEDCPRE) == 32 && sizeof(DOCINFOW) == 40);

// The user-interface module's export as GDI binds it by name.
using DrvDocumentEventProc = int (*)(HANDLE printer, HDC dc, int event, ULONG cbIn, PVOID in, ULONG cbOut, PVOID out);

// A printer DC on the spooler's printer `device` (`driver` and `output` are not used) with the
// application's device mode (NULL: the printer's default). NULL with the last error when the
// printer or one of its modules cannot be opened, CREATEDCPRE fails (ERROR_INVALID_PARAMETER)
// or the graphics module refuses the device; nothing is left open.
PLATFORM_API HDC CreateDCW(LPCWSTR driver, LPCWSTR device, LPCWSTR output, const DEVMODEW* devMode);
// ResetDC with a new device mode, between pages; the DC, or NULL when it cannot be reset.
PLATFORM_API HDC ResetDCW(HDC dc, const DEVMODEW* devMode);

// The spool job's id (above 0), or SP_ERROR.
PLATFORM_API int StartDocW(HDC dc, const DOCINFOW* info);
// Above 0 on success, SP_ERROR (or 0 for a DC that is not a printer's) on failure.
PLATFORM_API int StartPage(HDC dc);
PLATFORM_API int EndPage(HDC dc);
PLATFORM_API int EndDoc(HDC dc);
PLATFORM_API int AbortDoc(HDC dc);
