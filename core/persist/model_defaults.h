// The current model's default records, the base every conversion and fall-back starts from.
#pragma once

#include "core/persist/settings_conversion.h"
#include "platform/base/types.h"

struct ItemStore;

// The device name defaults are built for when the caller has none.
inline constexpr WCHAR kDefaultsDeviceName[] = u"DummyName";

// Fills both default records from the model's database for the device name, as far as the
// model has defaults (items without one stay cleared). FALSE only without a store or records.
BOOL BuildModelDefaults(ItemStore* store, LPCWSTR deviceName, ModelDefaults* defaults);
// The default SettingsExtension (3816 bytes) of the printer's model: 1, else 0.
int LoadDefaultExtension(HANDLE printer, BYTE* extension);
