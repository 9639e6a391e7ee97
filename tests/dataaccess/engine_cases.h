// One table of cases for the item value engine, run against the engine linked in and against
// the exports of qorvexdata.dll.
#pragma once

#include <string>
#include <vector>

#include "items/item_tables.h"

using DmaGetValueFn = ItemAccessResult (*)(SettingItemId, SettingsRecord*, PrinterConfiguration*, ValueTypeCode*,
                                           DWORD*, void*, ItemArea*);
using DmaSetValueFn = ItemAccessResult (*)(SettingItemId, SettingsRecord*, PrinterConfiguration*, ValueTypeCode,
                                           DWORD, const void*);

struct EngineApi {
  DmaGetValueFn get;
  DmaSetValueFn set;
};

// Runs every case of the table through the two entry points (gtest failures name the case).
void RunEngineCases(const EngineApi& api);
