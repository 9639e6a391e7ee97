// The property sheets of a printer driver's user interface, as the spooler and applications
// open them: the headers a driver's page providers (DrvDocumentPropertySheets,
// DrvDevicePropertySheets) are handed, and the fMode flags of the document sheet.
#pragma once

#include "platform/base/types.h"

#define DM_UPDATE 1
#define DM_COPY 2
#define DM_PROMPT 4
#define DM_MODIFY 8
#define DM_IN_BUFFER DM_MODIFY
#define DM_IN_PROMPT DM_PROMPT
#define DM_OUT_BUFFER DM_COPY
#define DM_OUT_DEFAULT DM_UPDATE
#define DM_ADVANCED 0x10
#define DM_NOPERMISSION 0x20
#define DM_USER_DEFAULT 0x40

#define DPS_NOPERMISSION 0x0001

struct DOCUMENTPROPERTYHEADER {
  WORD cbSize;
  WORD Reserved;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
  DEVMODEW* pdmIn;
  DEVMODEW* pdmOut;
  DWORD cbOut;
  DWORD fMode;
};
using PDOCUMENTPROPERTYHEADER = DOCUMENTPROPERTYHEADER*;
static_assert(sizeof(DOCUMENTPROPERTYHEADER) == 48);

struct DEVICEPROPERTYHEADER {
  WORD cbSize;
  WORD Flags;
  HANDLE hPrinter;
  LPWSTR pszPrinterName;
};
using PDEVICEPROPERTYHEADER = DEVICEPROPERTYHEADER*;
static_assert(sizeof(DEVICEPROPERTYHEADER) == 24);
