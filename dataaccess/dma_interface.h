// The public item interface of qorvexdata (the DMA_ exports) as outside callers see it: the
// context they pass, the results, and the export signatures.
#pragma once

#include <cstddef>

#include "items/public_id_map.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

// The caller's record passed first to every DMA_ export; this module reads three fields of it.
struct DmaContext {
  BYTE callerFields[264];  // not read here
  CHAR modelName[264];     // zero-terminated ANSI name, copied into a UserSettingInfo
  SettingsRecord* settings;  // may be missing when only printer-wide items are used
  PrinterConfiguration* config;
};
static_assert(offsetof(DmaContext, modelName) == 264 && offsetof(DmaContext, settings) == 528 &&
              offsetof(DmaContext, config) == 536);

using DmaResult = INT;
inline constexpr DmaResult kDmaDone = 1;
inline constexpr DmaResult kDmaNoItem = -1;        // the public id has no item
inline constexpr DmaResult kDmaIsString = -2;      // a string, asked by a number or font call
inline constexpr DmaResult kDmaWrongKind = -3;     // neither string nor font, asked by such a call
inline constexpr DmaResult kDmaTooSmall = -5;      // caller's buffer too small; size queries
inline constexpr DmaResult kDmaTooLong = -6;       // the input does not fit
inline constexpr DmaResult kDmaIsFont = -7;        // a font, asked by a number or string call
inline constexpr DmaResult kDmaFailed = -10;       // unreachable item, missing pointer, secret read...

// Largest accepted input of each secret-string item (0x9001 ...), terminator included.
inline constexpr DWORD SecretLengthTable[kSecretItemCount] = {13, 13, 13, 13, 21, 13, 13, 13};

using DmaGetValueProc = DmaResult (*)(DmaContext*, PublicItemId, DWORD*);
using DmaSetValueProc = DmaResult (*)(DmaContext*, PublicItemId, DWORD);
using DmaGetStringDataProc = DmaResult (*)(DmaContext*, PublicItemId, LPSTR, DWORD*);
using DmaSetStringDataProc = DmaResult (*)(DmaContext*, PublicItemId, LPCSTR, DWORD);
using DmaGetLogFontDataProc = DmaResult (*)(DmaContext*, PublicItemId, LOGFONTA*, DWORD*);
using DmaSetLogFontDataProc = DmaResult (*)(DmaContext*, PublicItemId, const LOGFONTA*, DWORD);
using DmaGetUserSettingInfoProc = DmaResult (*)(DmaContext*, void*, DWORD*);
// Reads a whole block of the size its version word gives (980 bytes for version 3): the
// interface has no length argument.
using DmaSetUserSettingInfoProc = DmaResult (*)(DmaContext*, const void*);
