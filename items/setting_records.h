// The two records every setting lives in. Both are plain byte blocks whose layout is fixed by
// the item tables: they are stored in printer data, registry values and files as they are.
#pragma once

#include "platform/base/types.h"

// Document settings: the public device mode (220 bytes), the driver's private part up to
// byte 1547, then the SettingsExtension.
inline constexpr DWORD kSettingsRecordSize = 5364;
// The device mode as the spooler and applications keep it; also where the extension starts.
inline constexpr DWORD kSettingsRecordShortSize = 1548;
inline constexpr DWORD kSettingsExtensionOffset = kSettingsRecordShortSize;
inline constexpr DWORD kSettingsExtensionSize = kSettingsRecordSize - kSettingsExtensionOffset;
// Printer-wide settings ("PrinterData").
inline constexpr DWORD kPrinterConfigurationSize = 4492;

struct SettingsRecord {
  BYTE bytes[kSettingsRecordSize];
};

struct PrinterConfiguration {
  BYTE bytes[kPrinterConfigurationSize];
};

static_assert(sizeof(SettingsRecord) == 5364 && sizeof(PrinterConfiguration) == 4492);
static_assert(kSettingsExtensionSize == 3816);
