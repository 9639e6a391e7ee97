// The paper margins kept with each favourite, in its own "PaperMargin" key of the per-user store.
#include "core/persist/favorite_margins.h"

#include "core/database/database.h"
#include "core/store/item_store.h"
#include "core/store/user_store.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"
#include "platform/user/format.h"

namespace {

constexpr WCHAR kCountValue[] = u"Num";
constexpr WORD kPaperRecordType = 10;
// "Favorite\UserSel" + up to 5 digits + "\PaperMargin" + terminator.
constexpr DWORD kMarginKeyChars = 48;

void BuildMarginKey(WORD number, LPWSTR out) { wsprintfW(out, u"Favorite\\UserSel%02d\\PaperMargin", int(number)); }

// The 16 stored bytes of margins already in stored order: four u32, little-endian.
void PackMargins(const PaperMargins& margins, BYTE* out) {
  for (int i = 0; i < 4; ++i)
    for (int b = 0; b < 4; ++b) out[4 * i + b] = BYTE(margins.margin[i] >> (8 * b));
}

// The margins of 16 stored bytes, turned into the caller's order for the orientation.
bool UnpackOrientedMargins(const BYTE* bytes, WORD orientation, PaperMargins* margins) {
  PaperMargins stored{}, given{};
  for (int i = 0; i < 4; ++i)
    for (int b = 0; b < 4; ++b) stored.margin[i] |= DWORD(bytes[4 * i + b]) << (8 * b);
  if (RotateMargins(kMarginsIntoSecond, orientation, &stored, &given) != kMarginDone) return false;
  *margins = given;
  return true;
}

// Margins in the caller's order for the orientation, packed in stored order; FALSE for an
// orientation other than portrait and landscape.
bool PackOrientedMargins(const PaperMargins& margins, WORD orientation, BYTE* out) {
  PaperMargins given = margins, stored{};
  if (RotateMargins(kMarginsIntoFirst, orientation, &stored, &given) != kMarginDone) return false;
  PackMargins(stored, out);
  return true;
}

// Writes every paper of the model whose margin is not the default into the open key: the
// number written, or -1 at the first failure.
LONG WritePaperMargins(HANDLE printer, ItemStore* store, HKEY key, BOOL perUser, WORD orientation) {
  PaperMargins defaults;
  if (GetDefaultMargins(&defaults, orientation) != kMarginDone) return -1;
  LPWSTR base = nullptr;
  if (ReadDriverText(store->main, kDbDriverTextRegistryBase, &base) != kDbOk) base = nullptr;
  PaperMarginTable* table = LoadPaperMarginTable(printer);
  LONG written = table != nullptr ? 0 : -1;
  for (WORD position = 1; written >= 0; ++position) {
    ScopedRecord paper;
    const WORD status = ReadRecord(FALSE, store->main, store->linked, kPaperRecordType, position, &paper.record);
    if (status == kDbAbsent) break;
    PaperMargins margins;
    if (status != kDbOk || GetPaperMargin(printer, paper.record->h.key, &margins, base, table, perUser,
                                           orientation) != kMarginDone) {
      written = -1;
      break;
    }
    bool isDefault = true;
    for (int i = 0; i < 4; ++i) isDefault = isDefault && margins.margin[i] == defaults.margin[i];
    if (isDefault) continue;
    BYTE bytes[kFavoriteMarginBytes];
    WCHAR name[8];
    FormatPaperMarginValueName(paper.record->h.key, name);
    if (!PackOrientedMargins(margins, orientation, bytes) ||
        RegSetValueExW(key, name, 0, REG_BINARY, bytes, sizeof bytes) != ERROR_SUCCESS)
      written = -1;
    else
      ++written;
  }
  if (table != nullptr) FreePaperMarginTable(table);
  if (base != nullptr) GlobalFree(base);
  return written;
}

}  // namespace

int SaveFavoritePaperMargin(HANDLE printer, WORD number, WORD orientation, LPCWSTR valueName,
                            const PaperMargins* margins) {
  BYTE bytes[kFavoriteMarginBytes];
  if (valueName == nullptr || margins == nullptr || !PackOrientedMargins(*margins, orientation, bytes)) return 0;
  WCHAR key[kMarginKeyChars];
  BuildMarginKey(number, key);
  return WriteUserValue(printer, bytes, sizeof bytes, REG_BINARY, key, valueName);
}

int ReadPaperMarginValueByIndex(HKEY key, DWORD index, WORD orientation, LPWSTR name, PaperMargins* margins) {
  if (key == nullptr || name == nullptr || margins == nullptr) return 0;
  WCHAR found[kFavoriteMarginNameChars];
  DWORD chars = kFavoriteMarginNameChars, type = 0;
  BYTE bytes[kFavoriteMarginBytes];
  DWORD size = sizeof bytes;
  if (RegEnumValueW(key, index, found, &chars, nullptr, &type, bytes, &size) != ERROR_SUCCESS || type != REG_BINARY ||
      size != kFavoriteMarginBytes || !UnpackOrientedMargins(bytes, orientation, margins))
    return 0;
  lstrcpynW(name, found, kFavoriteMarginNameChars);
  return 1;
}

int ReadPaperMarginValueByName(HKEY key, LPCWSTR name, WORD orientation, PaperMargins* margins) {
  if (key == nullptr || name == nullptr || margins == nullptr) return 0;
  DWORD type = 0;
  BYTE bytes[kFavoriteMarginBytes];
  DWORD size = sizeof bytes;
  if (RegQueryValueExW(key, name, nullptr, &type, bytes, &size) != ERROR_SUCCESS || type != REG_BINARY ||
      size != kFavoriteMarginBytes)
    return 0;
  return UnpackOrientedMargins(bytes, orientation, margins) ? 1 : 0;
}

int SaveFavoritePaperMarginCount(HANDLE printer, WORD number, DWORD count) {
  WCHAR key[kMarginKeyChars];
  BuildMarginKey(number, key);
  return WriteUserValue(printer, &count, sizeof count, REG_DWORD, key, kCountValue);
}

DWORD LoadFavoritePaperMarginCount(HANDLE printer, WORD number) {
  WCHAR keyName[kMarginKeyChars];
  BuildMarginKey(number, keyName);
  DWORD count = 0, size = sizeof count;
  if (ReadUserValue(printer, &count, &size, REG_DWORD, keyName, kCountValue) != kUserValueRead || size != sizeof count)
    return 0;
  // "Num" was read, so the key exists and opening it creates nothing.
  HKEY key;
  if (!OpenFavoritePaperMarginKey(printer, &key, number)) return 0;
  DWORD values = 0;
  const LSTATUS status =
      RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS || values == 0) return 0;
  return count < values - 1 ? count : values - 1;
}

int DeleteFavoritePaperMargin(HANDLE printer, WORD number) {
  WCHAR key[kMarginKeyChars];
  BuildMarginKey(number, key);
  return DeleteUserKey(printer, key) || ProbeUserKey(printer, key) == kUserValueAbsent ? 1 : 0;
}

int OpenFavoritePaperMarginKey(HANDLE printer, HKEY* key, WORD number) {
  WCHAR keyName[kMarginKeyChars];
  BuildMarginKey(number, keyName);
  return OpenUserKey(printer, keyName, key);
}

int StoreFavoritePaperMargins(HANDLE printer, ItemStore* store, BOOL perUser, WORD number, WORD orientation) {
  if (store == nullptr || store->main == nullptr || !DeleteFavoritePaperMargin(printer, number)) return 0;
  HKEY key;
  if (!OpenFavoritePaperMarginKey(printer, &key, number)) return 0;
  const LONG written = WritePaperMargins(printer, store, key, perUser, orientation);
  const DWORD count = DWORD(written);
  const bool stored = written >= 0 && RegSetValueExW(key, kCountValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                                                     sizeof count) == ERROR_SUCCESS;
  RegCloseKey(key);
  return stored ? 1 : 0;
}
