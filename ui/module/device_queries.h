// The work of the small query exports: device capabilities, the colour profile and the check
// of a job's device mode before it prints.
#pragma once

#include "platform/base/types.h"
#include "ui/module/driver_ui.h"

// Availability flags handed to the capability answerer.
inline constexpr DWORD kCapabilityStoreOpen = 0x1;
inline constexpr DWORD kCapabilitySettingsLoaded = 0x6;

// The answer of DispatchDeviceCapability for the printer, the caller's device mode (or none)
// merged into the printer's settings; the flags say what could be loaded.
DWORD AnswerDeviceCapability(HANDLE printer, WORD capability, void* output, DEVMODEW* devMode);
// The model's colour profile file name (database section 13) into the caller's buffer: TRUE
// with the flags QCP_PROFILEDISK; FALSE for missing arguments, another query mode or an
// unreadable model; FALSE with *size = the bytes needed and ERROR_INSUFFICIENT_BUFFER for a
// short buffer.
BOOL QueryColorProfile(HANDLE printer, DEVMODEW* devMode, ULONG queryMode, void* profileData, ULONG* size,
                       ULONG* profileFlags);
// TRUE when the job's device mode is absent or its header is this driver's; FALSE with the
// text "Invalid DEVMODE structure." in the record's error buffer otherwise, and without a record.
BOOL QueryPrintDevMode(DEVQUERYPRINT_INFO* info);
