#include "core/store/item_access.h"

#include "items/item_engine.h"
#include "items/item_ids.h"
#include "platform/base/types.h"

// The user-interface module has the item engine compiled in; the graphics module reaches the
// engine through the entry points it binds from qorvexdata and has its own two wrappers.
#if defined(QV_BUILD_UI)
ItemAccessResult GetItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode* type, DWORD* length, void* value) {
  ItemArea area = 0;
  ItemAccessResult result = itemengine::dma_GetValue(id, settings, config, type, length, value, &area);
  if (result == kItemDone && (*type == kTypeString || *type == kTypeFont)) {
    BYTE* base = area == kAreaPrinterConfig ? config->bytes
                 : area == kAreaExtension   ? settings->bytes + kSettingsExtensionOffset
                                            : settings->bytes;
    auto* slot = static_cast<ULONG_PTR*>(value);
    *slot = reinterpret_cast<ULONG_PTR>(base) + *slot;
  }
  return result;
}

ItemAccessResult SetItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode type, DWORD length, const void* source) {
  return itemengine::dma_SetValue(id, settings, config, type, length, source);
}
#endif

DWORD GetItemNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id,
                    ValueTypeCode expectedType) {
  if (!settings) return 0;
  DWORD expectedSize;
  switch (expectedType) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32: expectedSize = 4; break;
    case kTypeInt16:
    case kTypeUInt16: expectedSize = 2; break;
    case kTypeUInt8: expectedSize = 1; break;
    default: return 0;
  }
  // A pointer-sized cell: the engine may write an offset there.
  union {
    DWORD number;
    ULONG_PTR address;
  } value{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, settings, config, &type, &length, &value) != kItemDone || length != expectedSize) return 0;
  return value.number;
}

int SetItemNumberV(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, ValueTypeCode type,
                   DWORD value) {
  if (!settings) return -1;
  // A flag crosses as a 32-bit value whatever its field holds; 16-bit types as 16 bits.
  DWORD length;
  switch (type) {
    case kTypeFlag:
    case kTypeInt32:
    case kTypeUInt32: length = 4; break;
    case kTypeInt16:
    case kTypeUInt16: length = 2; break;
    case kTypeUInt8: length = 1; break;
    default: return 0;
  }
  // The value is little-endian in memory, so its first `length` bytes are the narrow form.
  SetItemValue(id, settings, config, type, length, &value);
  return 0;
}

int IsItemRange297To320(SettingItemId id) { return (id >= 297 && id <= 320) || (id >= 1286 && id <= 1288); }

int IsUserPaperId(SettingItemId id) { return UserPaperIdToIndex(id) != 0xFFFF; }

WORD UserPaperIdToIndex(SettingItemId id) {
  if (id >= 262 && id <= 266) return static_cast<WORD>(id - 262);
  if (id >= 287 && id <= 301) return static_cast<WORD>(id - 287 + 5);
  return 0xFFFF;
}

WORD UserPaperIndexToId(WORD index) {
  if (index <= 4) return static_cast<WORD>(262 + index);
  if (index <= 19) return static_cast<WORD>(287 + index - 5);
  return 0xFFFF;
}

int IsCustomItemId(SettingItemId id) { return id >= kItemUserPaperWidth && id < kItemUserPaperName; }
