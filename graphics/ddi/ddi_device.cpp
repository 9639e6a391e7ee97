// The device-life exports: the trace bracket around the device record's life cycle.
#include "core/runtime/trace_log.h"
#include "graphics/ddi/ddi_exports.h"
#include "graphics/ddi/pdev_lifecycle.h"

namespace {

// Result lines print a handle as its low 32 bits.
DWORD Low32(const void* p) { return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(p)); }
Pdev* AsPdev(DHPDEV pdev) { return reinterpret_cast<Pdev*>(pdev); }

}  // namespace

DHPDEV DrvEnablePDEV(DEVMODEW* devMode, LPWSTR logAddress, ULONG patterns, HSURF* patternSurfaces, ULONG cjCaps,
                     ULONG* gdiInfo, ULONG cjDevInfo, DEVINFO* devInfo, HDEV device, LPWSTR deviceName,
                     HANDLE printer) {
  // A switch file changed since the module loaded takes effect for each new device.
  ReloadTraceSwitch();
  TraceEnter(u"DrvEnablePDEV");
  Pdev* pdev = HandleEnablePdev(devMode, logAddress, patterns, patternSurfaces, cjCaps, gdiInfo, cjDevInfo, devInfo,
                                device, deviceName, printer);
  TraceLeave(u"DrvEnablePDEV RetValue = 0x%08X", Low32(pdev));
  return reinterpret_cast<DHPDEV>(pdev);
}

VOID DrvCompletePDEV(DHPDEV pdev, HDEV device) {
  TraceEnter(u"DrvCompletePDEV");
  HandleCompletePdev(AsPdev(pdev), device);
  TraceLeave(u"DrvCompletePDEV");
}

BOOL DrvResetPDEV(DHPDEV oldPdev, DHPDEV newPdev) {
  TraceEnter(u"DrvResetPDEV");
  const BOOL result = HandleResetPdev(AsPdev(oldPdev), AsPdev(newPdev));
  TraceLeave(u"DrvResetPDEV RetValue = %d", result);
  return result;
}

HSURF DrvEnableSurface(DHPDEV pdev) {
  TraceEnter(u"DrvEnableSurface");
  HSURF surface = HandleEnableSurface(AsPdev(pdev));
  TraceLeave(u"DrvEnableSurface RetValue = 0x%08X", Low32(surface));
  return surface;
}

VOID DrvDisableSurface(DHPDEV pdev) {
  TraceEnter(u"DrvDisableSurface");
  HandleDisableSurface(AsPdev(pdev));
  TraceLeave(u"DrvDisableSurface");
}

VOID DrvDisablePDEV(DHPDEV pdev) {
  TraceEnter(u"DrvDisablePDEV");
  HandleDisablePdev(AsPdev(pdev));
  TraceLeave(u"DrvDisablePDEV");
}
