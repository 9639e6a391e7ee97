#include "core/store/effective_values.h"

#include <cstring>

#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/types.h"

namespace {

// Reads an item as an unsigned number of whatever size it reports.
bool ReadControlNumber(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, DWORD* number) {
  union {
    DWORD value;
    ULONG_PTR address;
  } slot{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, settings, config, &type, &length, &slot) != kItemDone) return false;
  if (type == kTypeString || type == kTypeFont || length > 4) return false;
  *number = slot.value;
  return true;
}

int ApplicabilityByColorMode(SettingsRecord* settings, PrinterConfiguration* config, bool appliesWhenMono) {
  DWORD mode;
  if (!ReadControlNumber(kItemColorMode, settings, config, &mode)) return kItemControlUnreadable;
  return (mode == 1) == appliesWhenMono ? kItemApplies : kItemDoesNotApply;
}

int ApplicabilityByIcmChoice(SettingsRecord* settings, PrinterConfiguration* config) {
  DWORD value;
  if (!ReadControlNumber(kItemIcmChoice, settings, config, &value)) return kItemControlUnreadable;
  return value == 2 || value == 4 ? kItemApplies : kItemDoesNotApply;
}

bool InRange(SettingItemId id, SettingItemId first, SettingItemId last) { return id >= first && id <= last; }

// Size in bytes of an item's neutral value (always 0); 0 when the item has none.
DWORD NeutralValueSize(SettingItemId id) {
  if (id == kItemColorAdjustKinds || InRange(id, kItemAdjustmentFirst, kItemAdjustmentColorLast) ||
      id == kItemFirstProfileOn || id == kItemSecondProfileOn || id == kItemCustomColorDetail ||
      id == kItemBlackTextFlag || id == kItemBlackGraphicsFlag || id == kItemColorAdjustSwitch ||
      id == kItemCenterAllChannels || id == kItemFirstProfilePath || id == kItemSecondProfilePath)
    return 4;
  if (InRange(id, kItemColorTripleFirst, kItemTone) || id == kItemColorLibrary) return 2;
  if (id == kItemBlackObjects) return 1;
  return 0;
}

}  // namespace

int GetItemApplicability(SettingItemId id, PrinterConfiguration* config, SettingsRecord* settings) {
  if (InRange(id, kItemColorTripleFirst + 4, kItemColorTripleFirst + 7) || id == kItemColorLibrary) {
    int byMode = ApplicabilityByColorMode(settings, config, false);
    if (byMode != kItemApplies) return byMode;
    return ApplicabilityByIcmChoice(settings, config);
  }
  if (InRange(id, kItemColorAdjustKinds, kItemColorTripleFirst + 3) ||
      InRange(id, kItemColorTripleFirst + 8, kItemTone) || id == kItemFirstProfileOn || id == kItemSecondProfileOn ||
      id == kItemFirstProfilePath || id == kItemSecondProfilePath)
    return ApplicabilityByIcmChoice(settings, config);
  if (InRange(id, kItemAdjustmentFirst, kItemAdjustmentColorLast) || id == kItemColorAdjustSwitch)
    return ApplicabilityByColorMode(settings, config, false);
  if (id == kItemBlackObjects || id == kItemBlackTextFlag || id == kItemBlackGraphicsFlag ||
      id == kItemCenterAllChannels)
    return ApplicabilityByColorMode(settings, config, true);
  if (id == kItemCustomColorDetail) {
    DWORD value;
    if (!ReadControlNumber(kItemPrintMode, settings, config, &value)) return kItemControlUnreadable;
    return value == 8 ? kItemApplies : kItemDoesNotApply;
  }
  return kItemApplies;
}

int GetEffectiveItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                          ValueTypeCode* type, DWORD* length, void* value) {
  if (!type || !length || !value) return 3;
  if (GetItemValue(id, settings, config, type, length, value) != kItemDone) return 3;
  if (id == kItemDitherResolution) {
    DWORD quality;
    if (ReadControlNumber(kItemResolution, settings, config, &quality) && quality != 600)
      std::memset(value, 0, *length);
    return 0;
  }
  if (id == kItemStreamVersion) {
    DWORD mode;
    if (ReadControlNumber(kItemSaveToFile, settings, config, &mode) && mode == 1) {
      DWORD forced = 0x1010802;
      std::memcpy(value, &forced, sizeof forced);
    }
    return 0;
  }
  switch (GetItemApplicability(id, config, settings)) {
    case kItemApplies: return 0;
    case kItemDoesNotApply: {
      DWORD size = NeutralValueSize(id);
      if (size == 0) return 3;
      // A text reads as its address: its neutral value is a null address in the whole cell.
      if (*type == kTypeString || *type == kTypeFont) size = sizeof(void*);
      std::memset(value, 0, size);
      *length = size;
      return 0;
    }
    default: return 3;
  }
}

DWORD GetEffectiveItemNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id) {
  union {
    DWORD number;
    ULONG_PTR address;
  } slot{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetEffectiveItemValue(id, settings, config, &type, &length, &slot) != 0) return 0xFFFFFFFF;
  if (type == kTypeString || type == kTypeFont || length > 4) return 0xFFFFFFFF;
  return slot.number;
}
