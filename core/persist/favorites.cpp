// Writing favourites and their index in the per-user key.
#include "core/persist/favorites.h"

#include "core/persist/settings_conversion.h"
#include "core/persist/stored_settings.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "core/store/user_store.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"
#include "platform/user/format.h"

namespace {

constexpr WCHAR kFavoriteKey[] = u"Favorite";
constexpr WCHAR kIndexValue[] = u"UserIndex";
// "Favorite\UserSel" + up to 5 digits + terminator.
constexpr DWORD kFavoriteKeyChars = 32;

void BuildFavoriteKey(WORD number, LPWSTR out) { wsprintfW(out, u"Favorite\\UserSel%02d", int(number)); }

int WriteText(HANDLE printer, LPCWSTR key, LPCWSTR name, LPCWSTR text) {
  return WriteUserValue(printer, text, DWORD(2 * lstrlenW(text) + 2), REG_SZ, key, name);
}

}  // namespace

int SaveFavorite(HANDLE printer, WORD number, const SettingsRecord* record, LPCWSTR name, LPCWSTR comment,
                 const DWORD* flag) {
  WCHAR key[kFavoriteKeyChars];
  BuildFavoriteKey(number, key);
  if (record != nullptr) {
    SettingsRecord* copy = static_cast<SettingsRecord*>(GlobalAlloc(GPTR, sizeof(SettingsRecord)));
    if (copy == nullptr) return 0;
    *copy = *record;
    // A favourite saved for monochrome printing keeps colour on, so it is not stored grey.
    if (GetItemNumber(copy, nullptr, kItemMonochromeDefault, kTypeUInt16) == 1)
      SetItemNumberV(copy, nullptr, kItemColor, kTypeInt16, 1);
    const int written = WriteUserValue(printer, copy, sizeof *copy, REG_BINARY, key, u"DEVMODE");
    GlobalFree(copy);
    if (!written) return 0;
  }
  if (name != nullptr && !WriteText(printer, key, u"Name", name)) return 0;
  if (comment != nullptr && !WriteText(printer, key, u"Comment", comment)) return 0;
  if (flag != nullptr && !WriteUserValue(printer, flag, sizeof *flag, REG_DWORD, key, u"Flag")) return 0;
  return 1;
}

int SaveFavoriteIndex(HANDLE printer, const WORD* list, WORD count) {
  if (list == nullptr && count != 0) return 0;
  WORD* block = static_cast<WORD*>(GlobalAlloc(GPTR, (SIZE_T(count) + 1) * sizeof(WORD)));
  if (block == nullptr) return 0;
  for (WORD i = 0; i < count; ++i) block[i] = list[i];
  const int written =
      WriteUserValue(printer, block, DWORD((SIZE_T(count) + 1) * sizeof(WORD)), REG_BINARY, kFavoriteKey, kIndexValue);
  GlobalFree(block);
  return written;
}

WORD LoadFavoriteIndex(HANDLE printer, WORD* list, WORD capacity) {
  if (list == nullptr || capacity == 0) return 0;
  list[0] = 0;
  BYTE* block = nullptr;
  DWORD size = 0;
  if (ReadUserValueAlloc(printer, REG_BINARY, kFavoriteKey, kIndexValue, &block, &size) != kUserValueRead) return 0;
  // A longer stored list is cut so that its closing 0 still fits.
  WORD count = 0;
  while (count + 1 < capacity && 2 * (DWORD(count) + 1) <= size) {
    const WORD number = GetLE16(block + 2 * count);
    if (number == 0) break;
    list[count++] = number;
  }
  list[count] = 0;
  GlobalFree(block);
  return count;
}

namespace {

// Reads the favourite's whole stored record: exactly one SettingsRecord of REG_BINARY.
bool ReadFavoriteRecord(HANDLE printer, LPCWSTR key, SettingsRecord* record) {
  DWORD size = sizeof *record;
  return ReadUserValue(printer, record, &size, REG_BINARY, key, u"DEVMODE") == kUserValueRead &&
         size == sizeof *record;
}

bool ReadFavoriteFlag(HANDLE printer, LPCWSTR key, DWORD* flag) {
  DWORD size = sizeof *flag;
  return ReadUserValue(printer, flag, &size, REG_DWORD, key, u"Flag") == kUserValueRead && size == sizeof *flag;
}

// Reads a text of at most chars - 1 characters into chars + 1 characters of room: the stored
// terminator is read as well, and the reader's own terminator goes behind it.
bool ReadFavoriteText(HANDLE printer, LPCWSTR key, LPCWSTR name, LPWSTR text, DWORD chars) {
  DWORD size = (chars + 1) * sizeof(WCHAR);
  // A stored text without its terminator can fill the room: it must still fit the caller's.
  return ReadUserValue(printer, text, &size, REG_SZ, key, name) == kUserValueRead && lstrlenW(text) < int(chars);
}

// Whether a stored record was saved for the current record's model. The model name is taken
// from the stored header before any conversion, since converting a record of another model
// replaces it by the current one; a header that cannot be read counts as another model.
bool IsSameModel(SettingsRecord* current, const SettingsRecord* stored) {
  SettingsHeader mine, theirs;
  return ReadCurrentSettingsHeader(current, &mine) && ReadStoredSettingsHeader(stored->bytes, sizeof *stored, &theirs) &&
         _wcsnicmp(mine.model, theirs.model, kModelNameChars) == 0;
}

// Makes the preset favourites of the printer's model again, for the device name of the
// current record; `capacity` is the size of the caller's index list.
bool RecreatePresetFavorites(HANDLE printer, SettingsRecord* current, WORD capacity) {
  ValueTypeCode type;
  DWORD length;
  LPCWSTR deviceName = nullptr;
  if (capacity == 0 || GetItemValue(kItemDeviceName, current, nullptr, &type, &length, &deviceName) != kItemDone)
    return false;
  ItemStore* store = OpenItemStore(printer);
  auto* list = static_cast<WORD*>(GlobalAlloc(GPTR, SIZE_T(capacity) * sizeof(WORD)));
  BYTE position = 0;
  const bool made = store != nullptr && list != nullptr &&
                    CreatePresetFavorites(printer, store, deviceName, list, &position, capacity) == 1;
  if (list != nullptr) GlobalFree(list);
  if (store != nullptr) CloseItemStore(store);
  return made;
}

// The favourite's record for the current model, converted to the current layout. A preset
// saved for another model makes the presets again and is read anew; a user favourite of
// another model, or a preset this model does not have, is not loaded.
bool LoadFavoriteRecord(HANDLE printer, SettingsRecord* current, LPCWSTR key, WORD capacity, SettingsRecord* out) {
  if (current == nullptr || !ReadFavoriteRecord(printer, key, out)) return false;
  if (!IsSameModel(current, out)) {
    DWORD flag;
    if (!ReadFavoriteFlag(printer, key, &flag) || flag != kPresetFavoriteFlag ||
        !RecreatePresetFavorites(printer, current, capacity) || !ReadFavoriteRecord(printer, key, out) ||
        !IsSameModel(current, out))
      return false;
  }
  return ConvertStoredSettingsRecord(printer, out) == 1;
}

}  // namespace

int LoadFavorite(HANDLE printer, SettingsRecord* current, const PrinterConfiguration* /*config*/, WORD number,
                 SettingsRecord* record, LPWSTR name, LPWSTR comment, DWORD* flag, WORD capacity) {
  WCHAR key[kFavoriteKeyChars];
  BuildFavoriteKey(number, key);
  // Everything is read into work copies first, so a failed load changes none of the outputs.
  auto* work = static_cast<SettingsRecord*>(GlobalAlloc(GPTR, sizeof(SettingsRecord)));
  WCHAR nameRead[kFavoriteNameChars + 1], commentRead[kFavoriteCommentChars + 1];
  DWORD flagRead = 0;
  const bool loaded = work != nullptr &&
                      (record == nullptr || LoadFavoriteRecord(printer, current, key, capacity, work)) &&
                      (name == nullptr || ReadFavoriteText(printer, key, u"Name", nameRead, kFavoriteNameChars)) &&
                      (comment == nullptr ||
                       ReadFavoriteText(printer, key, u"Comment", commentRead, kFavoriteCommentChars)) &&
                      (flag == nullptr || ReadFavoriteFlag(printer, key, &flagRead));
  if (loaded) {
    if (record != nullptr) *record = *work;
    if (name != nullptr) lstrcpyW(name, nameRead);
    if (comment != nullptr) lstrcpyW(comment, commentRead);
    if (flag != nullptr) *flag = flagRead;
  }
  if (work != nullptr) GlobalFree(work);
  return loaded ? 1 : 0;
}
