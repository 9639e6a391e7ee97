// The look-up every item access starts with.
#include "items/item_index.h"

ItemAccessResult LocateItem(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                            ItemLocation* location) {
  return LocateIndexedItem(id, settings, config, location);
}
