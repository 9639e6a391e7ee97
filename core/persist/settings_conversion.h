// Conversion of settings stored by other releases or for another model: device modes
// (SettingsRecord, handed on as their first 1548 bytes) and printer configurations. A stored
// record is compared with the current model's header and then copied, replaced by the model's
// defaults, or upgraded item by item.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

// The current model's defaults, built once per conversion: every "reset to default" and the
// current headers read from here.
struct ModelDefaults {
  SettingsRecord settings;
  PrinterConfiguration config;
};

inline constexpr DWORD kModelNameChars = 32;

// Document header: items 4, 2, 5, 257, 258 and 259.
struct SettingsHeader {
  WORD size;         // dmSize
  WORD specVersion;  // dmSpecVersion
  WORD driverExtra;  // dmDriverExtra
  WORD layout;       // layout version
  WORD release;      // item 258
  WCHAR model[kModelNameChars];
};

// Results of CompareSettingsHeaders.
inline constexpr int kHeaderOtherModel = 1;  // other model, other public part or newer layout
inline constexpr int kHeaderSameLayout = 2;
inline constexpr int kHeaderOlderLayout = 3;  // 0x5003 up to the current layout
inline constexpr int kHeaderOldFamily = 4;    // below 0x5003

// Layouts of this release and the intermediate layout older records are rebuilt into.
inline constexpr WORD kCurrentDocumentLayout = 0x5040;
inline constexpr WORD kIntermediateDocumentLayout = 0x5003;

// Results of the converters.
inline constexpr int kConvertUpgraded = 0;
inline constexpr int kConvertCopied = 1;
inline constexpr int kConvertDefaults = 2;
inline constexpr int kConvertFailed = -1;

// The header of a stored device mode of `storedSize` bytes really present: its public fields,
// then layout, item 258 and model name behind the public part (dmSize + 0, + 2, + 4). FALSE
// when dmDriverExtra is below 69 or the header lies beyond the bytes present.
BOOL ReadStoredSettingsHeader(const BYTE* stored, DWORD storedSize, SettingsHeader* header);
// The header of a record of this release (the model's defaults).
BOOL ReadCurrentSettingsHeader(SettingsRecord* record, SettingsHeader* header);
int CompareSettingsHeaders(const SettingsHeader& current, const SettingsHeader& stored);

// Bytes of a stored device mode that may be read: its dmSize + dmDriverExtra, never more than
// the bytes present; 0 when not even its public sizes are present.
DWORD GetStoredSettingsExtent(const BYTE* stored, DWORD storedSize);

// Converts a stored device mode into the caller's 1548-byte output over the given defaults.
// `printerConfig` is the printer's configuration; records of layouts below 0x5005 need it
// (NULL makes them fall back to the defaults). For layouts below 0x5003 `extension`, when not
// NULL, receives the converted SettingsExtension (3816 bytes) that the caller keeps as the
// printer's "N_Dev". Results 1 copied, 2 defaults, 0 upgraded.
int ConvertSettingsOverDefaults(const BYTE* stored, DWORD storedSize, BYTE* out, const ModelDefaults& defaults,
                                const PrinterConfiguration* printerConfig, BYTE* extension);

// Writes every item of the stored layout `layout` from the stored record into the record, in
// table order. Rows whose bytes lie beyond the stored extent, and rows the item engine refuses
// (an item of the printer configuration, a value out of its field), keep the record's value.
// FALSE when no family holds the layout.
BOOL CopyOldLayoutItems(const BYTE* stored, DWORD storedSize, WORD layout, SettingsRecord* record);

// Configuration header: items 8203, 8204, 8202 and 5137.
struct ConfigurationHeader {
  WORD layout;
  WORD release;
  WORD length;
  WORD model;
};

inline constexpr WORD kCurrentConfigurationLayout = 0x2142;

BOOL ReadConfigurationHeader(PrinterConfiguration* config, ConfigurationHeader* header);

// Converts a stored printer configuration over the given defaults (whose header is the
// current one). Results 1 copied, 2 defaults, 0 upgraded.
int ConvertConfigurationOverDefaults(const PrinterConfiguration& stored, PrinterConfiguration* out,
                                     const ModelDefaults& defaults, BOOL featureFlagSet);
