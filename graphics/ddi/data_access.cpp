#include "graphics/ddi/data_access.h"

#include <cstring>
#include <exception>

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "core/runtime/trace_log.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/kernel/module.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"

namespace {

using DataAccessGetValue = ItemAccessResult (*)(SettingItemId, SettingsRecord*, PrinterConfiguration*,
                                                ValueTypeCode*, DWORD*, void*, ItemArea*);
using DataAccessSetValue = ItemAccessResult (*)(SettingItemId, SettingsRecord*, PrinterConfiguration*,
                                                ValueTypeCode, DWORD, const void*);

// The module-wide binding, changed only under the data-access lock slot. The entry points are
// read without the lock: they are bound before the first device exists and unbound after
// the last is gone.
struct DataAccessBinding {
  WORD uses;
  HMODULE module;
  DataAccessGetValue getValue;
  DataAccessSetValue setValue;
};
DataAccessBinding g_binding{};

// Characters of the path buffer: the module directory (264) joined with the module's name.
constexpr int kDataAccessPathChars = 264;
constexpr int kDataAccessNameChars = 260;

// The data-access module's path: module directory and file name, refused (0) when the two do
// not fit the path buffer together.
int BuildDataAccessPath(HINSTANCE instance, WCHAR (&path)[kDataAccessPathChars]) {
  if (!GetModuleDirectory(path, sizeof path)) return 0;
  WCHAR name[kDataAccessNameChars];
  const int nameLength = LoadStringW(instance, kDataAccessNameString, name, kDataAccessNameChars);
  const int directoryLength = lstrlenW(path);
  if (nameLength <= 0 || directoryLength + nameLength >= kDataAccessPathChars) return 0;
  std::memcpy(path + directoryLength, name, (nameLength + 1) * sizeof(WCHAR));
  return 1;
}

}  // namespace

int LoadDataAccessModule(HINSTANCE instance) {
  LockSlotGuard lock(kLockDataAccess);
  ++g_binding.uses;
  if (g_binding.uses > 1) return 1;
  if (instance == nullptr) return 0;
  WCHAR path[kDataAccessPathChars];
  if (!BuildDataAccessPath(instance, path)) return 0;
  g_binding.module = LoadLibraryW(path);
  if (g_binding.module == nullptr) return 0;
  g_binding.getValue = reinterpret_cast<DataAccessGetValue>(GetProcAddress(g_binding.module, "dma_GetValue"));
  g_binding.setValue = reinterpret_cast<DataAccessSetValue>(GetProcAddress(g_binding.module, "dma_SetValue"));
  return g_binding.getValue != nullptr && g_binding.setValue != nullptr;
}

void UnloadDataAccessModule() {
  LockSlotGuard lock(kLockDataAccess);
  if (g_binding.uses == 0) return;
  if (--g_binding.uses > 0 || g_binding.module == nullptr) return;
  FreeLibrary(g_binding.module);
  g_binding = {};
}

// This module's build: the engine answers through the bound entry point; an exception thrown
// inside it reads as a failed item (type 1) and is traced with the item's id. A text or font
// arrives as an offset into its area and is turned into the field's address.
ItemAccessResult GetItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode* type, DWORD* length, void* value) {
  const DataAccessGetValue getValue = g_binding.getValue;
  if (getValue == nullptr) return kItemFailed;
  ItemArea area = kAreaSettings;
  ItemAccessResult result;
  try {
    result = getValue(id, settings, config, type, length, value, &area);
  } catch (...) {
    WCHAR line[64];
    wsprintfW(line, u"An exception occurred in dma_GetValue. wFuncID[0x%04x]", static_cast<unsigned>(id));
    WriteTraceLine(line);
    if (type != nullptr) *type = kTypeFlag;
    return kItemFailed;
  }
  if (result == kItemDone && (*type == kTypeString || *type == kTypeFont)) {
    const BYTE* base = area == kAreaPrinterConfig ? config->bytes
                       : area == kAreaExtension   ? settings->bytes + kSettingsExtensionOffset
                                                  : settings->bytes;
    auto* slot = static_cast<ULONG_PTR*>(value);
    *slot += reinterpret_cast<ULONG_PTR>(base);
  }
  return result;
}

ItemAccessResult SetItemValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode type, DWORD length, const void* source) {
  const DataAccessSetValue setValue = g_binding.setValue;
  if (setValue == nullptr) return kItemFailed;
  return setValue(id, settings, config, type, length, source);
}

ItemAccessResult SetItemNumberResult(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id,
                                     ValueTypeCode type, DWORD number) {
  DWORD length;
  switch (type) {
    case kTypeFlag:
    case kTypeInt16:
    case kTypeUInt16: length = 2; break;
    case kTypeInt32:
    case kTypeUInt32: length = 4; break;
    case kTypeUInt8: length = 1; break;
    // A text or font would be read from a number as a pointer: types without a number form
    // never reach the engine.
    default: return kItemBadType;
  }
  // Little-endian: the first `length` bytes of the number are its narrow form.
  return SetItemValue(id, settings, config, type, length, &number);
}
