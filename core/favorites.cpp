// Writing favourites and their index in the per-user key.
#include "core/favorites.h"

#include "core/item_access.h"
#include "core/user_store.h"
#include "platform/platform.h"

namespace {

constexpr WCHAR kFavoriteKey[] = u"Favorite";
constexpr WCHAR kIndexValue[] = u"UserIndex";
constexpr SettingItemId kItemMonochromeDefault = 345, kItemColor = 15;
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
    const WORD number = WORD(block[2 * count] | block[2 * count + 1] << 8);
    if (number == 0) break;
    list[count++] = number;
  }
  list[count] = 0;
  GlobalFree(block);
  return count;
}
