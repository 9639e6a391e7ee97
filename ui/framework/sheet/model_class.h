// Model classes the pages choose their layouts by.
#pragma once

#include "items/setting_records.h"
#include "platform/base/types.h"

struct ItemStore;

// The model's colour capability as its class: 1 (monochrome) gives 2, -1 (unreadable) stays
// -1, anything else gives 1.
LONG GetModelClass(ItemStore* store);
// -1 when the model class or item 270 cannot be read; 1 for a class-2 model or item 270 = 1;
// else 2.
LONG GetItem270Class(SettingsRecord* settings, ItemStore* store);
// 1 when the model kind of the database is 2.
int IsModelKind2(ItemStore* store);
