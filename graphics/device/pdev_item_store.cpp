#include "graphics/device/pdev_item_store.h"

ItemStore* ItemStoreFromStreams(const DatabaseStream* main, const DatabaseStream* linked) {
  if (main == nullptr || linked == nullptr) return nullptr;
  ItemStore* store = NewItemStore();
  if (store == nullptr) return nullptr;
  *store->main = *main;
  *store->linked = *linked;
  return store;
}
