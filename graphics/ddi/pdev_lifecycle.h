// The life of a device record: built from the engine's device mode at DrvEnablePDEV (private
// heap, data-access module, resource module, model database, device fonts, settings, device
// description), given a surface, and torn down again.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"
#include "platform/engine/ddi_device.h"

// The private part of a device mode this module reads: dmDriverExtra of a device mode that
// carries exactly the settings record's 1548 bytes.
constexpr WORD kDevmodeDriverExtra = 1328;
// dmDriverExtra of a device mode with the 10-byte margin block behind its 1548 bytes.
constexpr WORD kDevmodeDriverExtraWithMargins = 1338;
// Surface hooks: bit-block transfers, stretching, text, strokes and fills, copies.
constexpr FLONG kDeviceSurfaceHooks = HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_TEXTOUT | HOOK_STROKEPATH |
                                      HOOK_FILLPATH | HOOK_STROKEANDFILLPATH | HOOK_COPYBITS | HOOK_STRETCHBLTROP;
static_assert(kDeviceSurfaceHooks == 0x24EB);

// The body of DrvEnablePDEV: a new device or NULL, with nothing of the attempt left behind.
Pdev* HandleEnablePdev(DEVMODEW* devMode, LPWSTR logAddress, ULONG patternCount, HSURF* patterns, ULONG gdiInfoSize,
                       ULONG* gdiInfo, ULONG devInfoSize, DEVINFO* devInfo, HDEV device, LPWSTR deviceName,
                       HANDLE printer);
// Tags, configuration and settings of a new device from the engine's device mode.
BOOL ReadDevmodeSettings(Pdev* pdev, const DEVMODEW* devMode);
void HandleCompletePdev(Pdev* pdev, HDEV device);
// The device surface: the page layout's imageable rectangle in pixels at the resolution.
HSURF HandleEnableSurface(Pdev* pdev);
void HandleDisableSurface(Pdev* pdev);
void HandleDisablePdev(Pdev* pdev);
// A ResetDC's hand-over from the old device to the new one.
BOOL HandleResetPdev(Pdev* oldPdev, Pdev* newPdev);
// Frees what the device holds and destroys its heap (the record with it).
void FreePdev(Pdev* pdev);
