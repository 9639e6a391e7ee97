// The common property-sheet component ("compstui.dll"): CommonPropertySheetUIW runs a sheet
// whose pages a provider adds through the component's function (pfnComPropSheet), calling
// the provider back with the reasons INIT, GET_INFO_HEADER, SET_RESULT and DESTROY.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/comctl/propsheet.h"

using PFNCOMPROPSHEET = LONG_PTR (*)(HANDLE hComPropSheet, UINT function, LPARAM lParam1, LPARAM lParam2);

struct PROPSHEETUI_INFO {
  WORD cbSize;
  WORD Version;
  WORD Flags;
  WORD Reason;
  HANDLE hComPropSheet;
  PFNCOMPROPSHEET pfnComPropSheet;
  LPARAM lParamInit;
  ULONG_PTR UserData;
  ULONG_PTR Result;
};
using PPROPSHEETUI_INFO = PROPSHEETUI_INFO*;

using PFNPROPSHEETUI = LONG (*)(PPROPSHEETUI_INFO info, LPARAM lParam);

struct PROPSHEETUI_INFO_HEADER {
  WORD cbSize;
  WORD Flags;
  LPWSTR pTitle;
  HWND hWndParent;
  HINSTANCE hInst;
  union {
    HICON hIcon;
    ULONG_PTR IconID;
  };
};
using PPROPSHEETUI_INFO_HEADER = PROPSHEETUI_INFO_HEADER*;

struct SETRESULT_INFO {
  WORD cbSize;
  WORD wReserved;
  HANDLE hSetResult;
  LRESULT Result;
};
using PSETRESULT_INFO = SETRESULT_INFO*;

#define PROPSHEETUI_INFO_VERSION 0x0100

#define PROPSHEETUI_REASON_INIT 0
#define PROPSHEETUI_REASON_GET_INFO_HEADER 1
#define PROPSHEETUI_REASON_DESTROY 2
#define PROPSHEETUI_REASON_SET_RESULT 3

#define PSUIHDRF_OBSOLETE 0x0001
#define PSUIHDRF_NOAPPLYNOW 0x0002
#define PSUIHDRF_PROPTITLE 0x0004
#define PSUIHDRF_USEHICON 0x0008
#define PSUIHDRF_DEFTITLE 0x0010
#define PSUIHDRF_EXACT_PTITLE 0x0020

#define CPSFUNC_ADD_HPROPSHEETPAGE 0
#define CPSFUNC_ADD_PROPSHEETPAGEW 1
#define CPSFUNC_SET_HSTARTPAGE 7
#define CPSFUNC_GET_PAGECOUNT 8
#define CPSFUNC_SET_RESULT 9

#define CPSUI_CANCEL 0
#define CPSUI_OK 1
#define CPSUI_RESTARTWINDOWS 2
#define CPSUI_REBOOTSYSTEM 3

#define ERR_CPSUI_GETLASTERROR (-1)
#define ERR_CPSUI_INVALID_PARAMETER (-4)
#define ERR_CPSUI_FUNCTION_NOT_IMPLEMENTED (-9999)

// Runs the provider's sheet with `owner` as its owner. *result gets the Result the provider
// left in its PROPSHEETUI_INFO. Answers 1 when a sheet ran, ERR_CPSUI_GETLASTERROR when the
// provider's INIT failed or no page could be shown (*result is then CPSUI_CANCEL),
// ERR_CPSUI_INVALID_PARAMETER without a provider.
PLATFORM_API LONG CommonPropertySheetUIW(HWND owner, PFNPROPSHEETUI provider, LPARAM lParam, LPDWORD result);
