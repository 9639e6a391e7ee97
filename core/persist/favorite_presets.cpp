// The preset favourites of a model: one favourite per preset choice of the database's list
// 36888, made from the model's defaults and the values of the preset record the choice names.
#include "core/persist/favorites.h"

#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kPresetRecordType = 21;

// Settings and configuration of the model's defaults, in one block.
struct DefaultRecords {
  SettingsRecord settings;
  PrinterConfiguration config;
};

// Writes one preset entry into the record: numbers from a cell of their type's size, texts
// and fonts by their address. FALSE when the entry has no usable value or the item refuses it.
bool ApplyPresetEntry(SettingsRecord* record, const DatabaseRecord* preset, WORD n) {
  WORD item, length;
  BYTE type;
  const void* value;
  if (GetType21Entry(preset, n, &item, &length, &type, &value) != kDbOk || value == nullptr) return false;
  if (type == kTypeString) {
    LPCWSTR text = static_cast<LPCWSTR>(value);
    return SetItemValue(item, record, nullptr, type, DWORD(lstrlenW(text) + 1) * sizeof(WCHAR), &text) == kItemDone;
  }
  if (type == kTypeFont) return SetItemValue(item, record, nullptr, type, length, &value) == kItemDone;
  DWORD size = 0;
  BYTE cell[8] = {};
  // A number longer than its type holds, or of a type without a number form, is refused.
  if (!GetValueTypeSize(type, &size) || length > sizeof cell || length > size) return false;
  for (WORD i = 0; i < length; ++i) cell[i] = static_cast<const BYTE*>(value)[i];
  return SetItemValue(item, record, nullptr, type, size, cell) == kItemDone;
}

// The favourite of choice n: the defaults with the preset's values, saved with its name and
// comment (the choice text split at its last carriage return) and flag 0.
bool SavePresetFavorite(HANDLE printer, ItemStore* store, const DatabaseRecord* list, WORD n,
                        const SettingsRecord& defaults, SettingsRecord* work) {
  WORD type;
  ScopedRecord choice, preset;
  if (ReadChoiceEntryByPosition(TRUE, FALSE, store->main, store->linked, list, n, &type, &choice.record) != kDbOk ||
      ReadReferencedRecord(FALSE, store->main, store->linked, choice.record, &type, &preset.record) != kDbOk ||
      type != kPresetRecordType)
    return false;
  WORD count = 0;
  if (GetType21Count(preset.record, &count) != kDbOk) return false;
  *work = defaults;
  for (WORD i = 1; i <= count; ++i)
    if (!ApplyPresetEntry(work, preset.record, i)) return false;
  LPCWSTR text = GetRecordName(choice.record);
  const int length = text != nullptr ? lstrlenW(text) : 0;
  int split = length;
  for (int i = 0; i < length; ++i)
    if (text[i] == u'\r') split = i;
  auto* name = static_cast<LPWSTR>(GlobalAlloc(GPTR, (SIZE_T(split) + 1) * sizeof(WCHAR)));
  if (name == nullptr) return false;
  for (int i = 0; i < split; ++i) name[i] = text[i];
  LPCWSTR comment = split < length ? text + split + 1 : u"";
  const DWORD flag = kPresetFavoriteFlag;
  const bool saved = SaveFavorite(printer, n, work, name, comment, &flag) == 1;
  GlobalFree(name);
  return saved;
}

}  // namespace

int CreatePresetFavorites(HANDLE printer, ItemStore* store, LPCWSTR deviceName, WORD* list, BYTE* position,
                          WORD capacity) {
  if (store == nullptr || list == nullptr || position == nullptr || capacity == 0) return 0;
  auto* defaults = static_cast<DefaultRecords*>(GlobalAlloc(GPTR, sizeof(DefaultRecords)));
  auto* work = static_cast<SettingsRecord*>(GlobalAlloc(GPTR, sizeof(SettingsRecord)));
  ScopedRecord presets;
  WORD choices = 0;
  // Presets start from the defaults the model has, also when some item has none.
  if (defaults != nullptr) ApplyDataFileDefaults(store, &defaults->settings, &defaults->config, deviceName);
  bool done = defaults != nullptr && work != nullptr &&
              QueryChoiceListHeader(store, kItemPresetList, nullptr, &choices, nullptr, &presets.record, nullptr);
  // The first choice stands for the user's own favourites; every further choice h is a preset,
  // saved as favourite h. The index keeps room for its closing 0: presets beyond it are not made.
  WORD count = 0;
  for (WORD n = 2; done && n <= choices && count + 1 < capacity; ++n) {
    done = SavePresetFavorite(printer, store, presets.record, n, defaults->settings, work);
    if (done) list[count++] = n;
  }
  if (defaults != nullptr) GlobalFree(defaults);
  if (work != nullptr) GlobalFree(work);
  if (!done) return 0;
  list[count] = 0;
  *position = 0;
  return SaveFavoriteIndex(printer, list, count);
}
