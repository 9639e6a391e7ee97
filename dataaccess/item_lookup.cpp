// The look-ups every item access starts with.
#include "dataaccess/item_index.h"

namespace {

struct FlagMaskList {
  SettingItemId first;
  SettingItemId last;
};

// The three lists of flag items; bit k of a shared word is id number k of its word.
constexpr FlagMaskList kFlagMaskLists[] = {{0x501, 0x560}, {0x1001, 0x1040}, {0x1201, 0x1220}};

}  // namespace

bool GetValueTypeSize(ValueTypeCode type, DWORD* size) {
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32:
    case kTypeFontField: *size = 4; return true;
    case kTypeInt16:
    case kTypeUInt16: *size = 2; return true;
    case kTypeUInt8: *size = 1; return true;
    case kTypeString:
    case kTypeFont: *size = sizeof(void*); return true;
    default: return false;
  }
}

bool IsFlagBitItem(SettingItemId id) {
  for (const FlagMaskList& list : kFlagMaskLists)
    if (id >= list.first && id <= list.last) return true;
  return false;
}

bool GetItemFlagMask(SettingItemId id, DWORD* mask) {
  for (const FlagMaskList& list : kFlagMaskLists)
    if (id >= list.first && id <= list.last) {
      *mask = DWORD(1) << ((id - list.first) % 32);
      return true;
    }
  return false;
}

ItemAccessResult LocateItem(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                            ItemLocation* location) {
  if (id >= kItemIdLimit || ItemIndex[id].group == kIndexNoGroup) return kItemNoRange;
  const ItemIndexEntry entry = ItemIndex[id];
  location->area = ItemGroupTable[entry.group].area;
  if (entry.row == kIndexNoRow) return kItemFailed;
  const ItemLayoutRow& row = ItemRows[entry.row];
  location->row = &row;
  // A missing record gives no address (the original computed one from a null base).
  BYTE* base = nullptr;
  if (location->area == kAreaSettings || location->area == kAreaExtension) {
    if (settings != nullptr)
      base = settings->bytes + (location->area == kAreaExtension ? kSettingsExtensionOffset : 0);
  } else if (config != nullptr) {
    base = config->bytes;
  }
  location->address = base != nullptr ? base + row.offset : nullptr;
  if (base == nullptr) return kItemFailed;
  if (!GetValueTypeSize(row.type, &location->size)) return kItemFailed;
  return kItemDone;
}
