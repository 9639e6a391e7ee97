// The graphics engine host: drives a printer graphics driver the way the platform's engine
// does. It loads the module by name from the driver directory (LoadLibraryW: DllMain runs),
// enables it through its exported DrvEnableDriver and from then on calls it only through the
// function table it answered. Per printer device context, in this order:
//   create  OpenPrinterW -> DrvEnablePDEV -> DrvCompletePDEV -> DrvEnableSurface
//   document StartDocPrinterW -> DrvStartDoc; per page StartPagePrinter -> DrvStartPage,
//           the drawing calls, DrvSendPage -> EndPagePrinter; DrvEndDoc -> EndDocPrinter
//           (abort: DrvEndDoc(ED_ABORTDOC) -> AbortPrinter)
//   reset   DrvEnablePDEV(new) -> DrvCompletePDEV(new) -> DrvResetPDEV(old, new) ->
//           DrvEnableSurface(new) -> DrvDisableSurface(old) -> DrvDisablePDEV(old), then in a
//           running document DrvStartDoc(new surface) again; only between pages
//   delete  DrvDisableSurface -> DrvDisablePDEV -> ClosePrinter
//   unload  DrvDisableDriver -> FreeLibrary
// Every call and every callback the driver makes is logged (engine_sim.h). A table row with an
// index out of range, a repeated index or no function makes the enable fail; a surface the
// driver answers that the engine did not make for that device is refused.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/engine/ddi_fonts.h"
#include "platform/engine/engine_drawing.h"

struct EngineDriver;
struct EngineDc;

// The engine version the host hands to DrvEnableDriver.
inline constexpr ULONG kEngineVersion = DDI_DRIVER_VERSION_NT5_01;

// Loads and enables a driver module ("qorvexgr.dll", or a platform path). NULL with the last
// error: the loader's, or ERROR_BAD_DRIVER_LEVEL when DrvEnableDriver failed or answered a table
// the host refuses (the module is unloaded again).
PLATFORM_API EngineDriver* EngineLoadDriver(LPCWSTR moduleName);
// DrvDisableDriver and FreeLibrary; FALSE while device contexts of the driver are alive.
PLATFORM_API BOOL EngineUnloadDriver(EngineDriver* driver);
// The function of the driver's table for an index, NULL when it has none.
PLATFORM_API PFN EngineDriverFunction(EngineDriver* driver, ULONG index);

// A printer device context on a printer of the spooler with a device mode (NULL: the printer's
// default). NULL when the printer cannot be opened or the driver refuses; nothing is left open.
PLATFORM_API EngineDc* EngineCreateDC(EngineDriver* driver, LPCWSTR printerName, const DEVMODEW* devMode);
// ResetDC with a new device mode; FALSE inside a page or when the driver refuses (the old
// device stays in force).
PLATFORM_API BOOL EngineResetDC(EngineDc* dc, const DEVMODEW* devMode);
PLATFORM_API BOOL EngineDeleteDC(EngineDc* dc);

// ExtEscape routed to DrvEscape on the device surface; -1 when the driver has no DrvEscape.
PLATFORM_API LONG EngineEscape(EngineDc* dc, ULONG code, ULONG cjIn, PVOID in, ULONG cjOut, PVOID out);

PLATFORM_API BOOL EngineStartDoc(EngineDc* dc, LPCWSTR docName);
PLATFORM_API BOOL EngineStartPage(EngineDc* dc);
PLATFORM_API BOOL EngineEndPage(EngineDc* dc);
PLATFORM_API BOOL EngineEndDoc(EngineDc* dc);
PLATFORM_API BOOL EngineAbortDoc(EngineDc* dc);

// One drawing call inside a page: the host builds the engine objects the call needs and calls
// the driver's hooked function for it. The driver's answer: TRUE, FALSE or DDI_ERROR as -1; a
// call outside a page or whose function the driver does not hook answers FALSE. Every call of a
// page is kept for EngineDcPage.
PLATFORM_API LONG EngineDraw(EngineDc* dc, const DrawCall& call);

// What the driver described at DrvEnablePDEV, the device handle and surface in force, the spool
// job of the running document (0 without one).
PLATFORM_API const GDIINFO* EngineDcGdiInfo(EngineDc* dc);
PLATFORM_API const DEVINFO* EngineDcDevInfo(EngineDc* dc);
PLATFORM_API DHPDEV EngineDcDevice(EngineDc* dc);
PLATFORM_API SURFOBJ* EngineDcSurface(EngineDc* dc);
PLATFORM_API HANDLE EngineDcPrinter(EngineDc* dc);
PLATFORM_API DWORD EngineDcJobId(EngineDc* dc);
// The drawing calls of page `index` (0-based) of the current or last document of the context.
PLATFORM_API std::vector<DrawCall> EngineDcPage(EngineDc* dc, size_t index);
PLATFORM_API size_t EngineDcPageCount(EngineDc* dc);
// Saves the page bitmap (what the driver handed back to the engine on the current or last page)
// as a PNG file at a host path.
PLATFORM_API BOOL EngineSavePageBitmap(EngineDc* dc, const std::string& hostPath);
