#include "ui/framework/sheet/model_class.h"

#include "core/persist/form_matching.h"
#include "core/rules/record_numbers.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"

namespace {

constexpr LONG kMonochromeCapability = 1;

}  // namespace

LONG GetModelClass(ItemStore* store) {
  if (store == nullptr) return -1;
  const LONG capability = GetModelColorCapability(store);
  if (capability == -1) return -1;
  return capability == kMonochromeCapability ? 2 : 1;
}

LONG GetItem270Class(SettingsRecord* settings, ItemStore* store) {
  const LONG modelClass = GetModelClass(store);
  LONG item = 0;
  if (modelClass == -1 || !ReadItemLong(settings, nullptr, kItemColorMode, &item)) return -1;
  return modelClass == 2 || item == 1 ? 1 : 2;
}

int IsModelKind2(ItemStore* store) { return store != nullptr && GetModelKind(store) == 2 ? 1 : 0; }
