// Default records of the printer's model.
#include "core/persist/model_defaults.h"

#include <cstring>

#include "core/descriptors/item_defaults.h"
#include "core/store/item_store.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

BOOL BuildModelDefaults(ItemStore* store, LPCWSTR deviceName, ModelDefaults* defaults) {
  if (store == nullptr || defaults == nullptr) return FALSE;
  std::memset(defaults, 0, sizeof *defaults);
  // A model that cannot default some item still has defaults for the rest: conversions and
  // loads build on those rather than leave the printer without any settings.
  ApplyDataFileDefaults(store, &defaults->settings, &defaults->config, deviceName);
  return TRUE;
}

int LoadDefaultExtension(HANDLE printer, BYTE* extension) {
  if (extension == nullptr) return 0;
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return 0;
  ModelDefaults* defaults = static_cast<ModelDefaults*>(GlobalAlloc(GPTR, sizeof(ModelDefaults)));
  const bool built = defaults != nullptr && BuildModelDefaults(store, kDefaultsDeviceName, defaults);
  if (built) std::memcpy(extension, defaults->settings.bytes + kSettingsExtensionOffset, kSettingsExtensionSize);
  GlobalFree(defaults);
  CloseItemStore(store);
  return built ? 1 : 0;
}
