#include "core/stamps/stamp_store.h"

#include <cstring>
#include <optional>
#include <vector>

#include "core/database/machine_base_text.h"
#include "core/store/user_store.h"
#include "core/system/registry_tree.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/registry/registry.h"

namespace {

constexpr WCHAR kStampsKeyName[] = u"Stamps";
constexpr WCHAR kOthersKeyName[] = u"Stamps\\Others";
constexpr WCHAR kVersionValueName[] = u"Stamp Version";
// Written as its four characters, without a terminator.
constexpr WCHAR kStampVersion[] = u"0.01";
constexpr DWORD kStampVersionBytes = 4 * sizeof(WCHAR);
// Value names longer than this are not stamp names.
constexpr DWORD kValueNameChars = 66;

// One value of the stamps key as the walk reads it.
struct StampValue {
  WCHAR valueName[kValueNameChars];
  DWORD type;
  DWORD size;
  BYTE data[kStampRecordBytes];
  WCHAR dataName[kStampNameChars];
  BOOL hasDataName;  // the data starts with a name that ends within its field

  bool IsBinary() const { return type == REG_BINARY; }
  // A stored stamp of this name.
  bool IsStampNamed(LPCWSTR name) const {
    return IsBinary() && size == kStampRecordBytes && hasDataName && wcscmp(dataName, name) == 0;
  }
  bool DataNameIs(LPCWSTR name) const { return hasDataName && wcscmp(dataName, name) == 0; }
};

enum class Walk { Next, Stop };

// Calls visit for each value that fits the buffers, from index 0 on. ERROR_SUCCESS when the
// walk ended (at the last value or when visit stopped it), else the enumeration's error.
template <typename Visit>
LSTATUS WalkStampValues(HKEY key, Visit visit) {
  for (DWORD index = 0;; ++index) {
    StampValue value{};
    DWORD nameSize = kValueNameChars;
    value.size = kStampRecordBytes;
    LSTATUS status = RegEnumValueW(key, index, value.valueName, &nameSize, nullptr, &value.type, value.data,
                                   &value.size);
    if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (status == ERROR_MORE_DATA) continue;  // too long a name or too large a record: not a stamp
    if (status != ERROR_SUCCESS) return status;
    value.hasDataName = StoredStampName(value.data, value.size, value.dataName);
    if (visit(value) == Walk::Stop) return ERROR_SUCCESS;
  }
}

// Counts every REG_BINARY value of the key, whatever its name's length or its size, so that the
// store's limit holds against values the walk above passes over. ERROR_SUCCESS or the
// enumeration's error.
LSTATUS CountBinaryValues(HKEY key, DWORD* count) {
  *count = 0;
  static constexpr DWORD kLongestValueName = 16383;
  std::vector<WCHAR> name(kLongestValueName + 1);
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = kLongestValueName + 1;
    DWORD type = 0;
    const LSTATUS status = RegEnumValueW(key, index, name.data(), &nameSize, nullptr, &type, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    if (type == REG_BINARY) ++*count;
  }
}

// Whether the name is a complete, non-empty stamp name.
bool IsUsableName(const WCHAR name[kStampNameChars]) {
  const int length = static_cast<int>(wcsnlen(name, kStampNameChars));
  return length > 0 && length < kStampNameChars;
}

bool SameFont(const LOGFONTW& a, const LOGFONTW& b) {
  return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
         a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
         a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
         a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
         a.lfPitchAndFamily == b.lfPitchAndFamily && wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

bool SameStamp(const StampRecord& a, const StampRecord& b) {
  return wcsncmp(a.text, b.text, kStampTextChars) == 0 && a.colorChoice == b.colorChoice &&
         a.lightFlag == b.lightFlag && a.frameKind == b.frameKind && a.position == b.position &&
         a.repeatFlag == b.repeatFlag && a.color == b.color && SameFont(a.font, b.font);
}

// Counts the binary values and looks for a value whose data starts with the name, whatever
// its type. 1 done, 9 the walk failed.
WORD SurveyStamps(HKEY key, LPCWSTR name, DWORD* binaryCount, bool* nameExists) {
  *nameExists = false;
  LSTATUS status = CountBinaryValues(key, binaryCount);
  if (status == ERROR_SUCCESS)
    status = WalkStampValues(key, [&](const StampValue& v) {
      if (v.DataNameIs(name)) *nameExists = true;
      return Walk::Next;
    });
  return status == ERROR_SUCCESS ? kStampDone : kStampEnumFailed;
}

// Looks for the first stored stamp of the name in the open key: found receives its value, or
// stays empty. ERROR_SUCCESS when the walk ended, else the enumeration's error.
LSTATUS FindStampValue(HKEY key, LPCWSTR name, std::optional<StampValue>* found) {
  found->reset();
  return WalkStampValues(key, [&](const StampValue& v) {
    if (!v.IsStampNamed(name)) return Walk::Next;
    *found = v;
    return Walk::Stop;
  });
}

// Opens the stamps key and reads the first stored stamp of the name into found (empty when
// there is none): 1, 9, or the open's result.
WORD ReadStoredStamp(HANDLE printer, LPCWSTR name, std::optional<StampValue>* found) {
  HKEY key = nullptr;
  WORD result = OpenStampsKey(&key, printer);
  if (result != kStampDone) return result;
  LSTATUS status = FindStampValue(key, name, found);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? kStampDone : kStampEnumFailed;
}

}  // namespace

WORD BuildStampsMachinePath(HANDLE printer, LPWSTR* path, WORD kind) {
  if (path == nullptr || kind > 1) return kStampBadArgument;
  LPWSTR base = ReadMachineBaseText(printer);
  if (base == nullptr) return kStampBadArgument;
  *path = JoinMachineKeyPath(base, kind == 0 ? kStampsKeyName : kOthersKeyName);
  GlobalFree(base);
  return *path != nullptr ? kStampDone : kStampBadArgument;
}

WORD CreateStampsKey(HKEY* key, HANDLE printer) {
  if (key == nullptr) return kStampBadArgument;
  WCHAR stampsPath[kUserKeyPathChars];
  WCHAR othersPath[kUserKeyPathChars];
  if (!BuildStampsKeyPath(printer, stampsPath, kUserKeyPathChars, 0) ||
      !BuildStampsKeyPath(printer, othersPath, kUserKeyPathChars, 1))
    return kStampBadArgument;
  HKEY stamps = nullptr;
  HKEY others = nullptr;
  bool written = RegCreateKeyW(HKEY_CURRENT_USER, stampsPath, &stamps) == ERROR_SUCCESS &&
                 RegCreateKeyW(HKEY_CURRENT_USER, othersPath, &others) == ERROR_SUCCESS &&
                 RegSetValueExW(others, kVersionValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(kStampVersion),
                                kStampVersionBytes) == ERROR_SUCCESS;
  if (others != nullptr) RegCloseKey(others);
  for (int row = 1; written && row <= kBuiltInStampCount; ++row) {
    StampRecord record;
    BYTE bytes[kStampRecordBytes];
    LoadBuiltInStampRecord(&record, GetStampRow(row));
    EncodeStampRecord(&record, bytes);
    written = RegSetValueExW(stamps, record.name, 0, REG_BINARY, bytes, kStampRecordBytes) == ERROR_SUCCESS;
  }
  if (!written) {
    // Others goes with its parent: a half-filled key must not be taken for a complete one.
    if (stamps != nullptr) RegCloseKey(stamps);
    DeleteKeyTree(HKEY_CURRENT_USER, stampsPath);
    return kStampWriteFailed;
  }
  *key = stamps;
  return kStampDone;
}

WORD OpenStampsKey(HKEY* key, HANDLE printer) {
  if (key == nullptr) return kStampBadArgument;
  WCHAR userPath[kUserKeyPathChars];
  if (!BuildStampsKeyPath(printer, userPath, kUserKeyPathChars, 0)) return kStampBadArgument;
  LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, userPath, 0, KEY_ALL_ACCESS, key);
  if (status != ERROR_FILE_NOT_FOUND) return status == ERROR_SUCCESS ? kStampDone : kStampNoKey;
  LPWSTR machinePath = nullptr;
  if (BuildStampsMachinePath(printer, &machinePath, 0) != kStampDone) return kStampBadArgument;
  HKEY source = nullptr;
  WORD result = kStampDone;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, machinePath, 0, KEY_READ, &source) == ERROR_SUCCESS) {
    HKEY created = nullptr;
    if (RegCreateKeyW(HKEY_CURRENT_USER, userPath, &created) == ERROR_SUCCESS && CopyKeyTree(created, source)) {
      *key = created;
    } else {
      // A partial copy would never be filled again: remove it.
      if (created != nullptr) RegCloseKey(created);
      DeleteKeyTree(HKEY_CURRENT_USER, userPath);
      result = kStampNoKey;
    }
    RegCloseKey(source);
  } else if (CreateStampsKey(key, printer) != kStampDone) {
    result = kStampNoKey;
  }
  GlobalFree(machinePath);
  return result;
}

WORD CountUserStamps(HANDLE printer, DWORD* count) {
  if (count == nullptr) return kStampBadArgument;
  HKEY key = nullptr;
  WORD result = OpenStampsKey(&key, printer);
  if (result != kStampDone) return result;
  DWORD binary = 0;
  const LSTATUS status = CountBinaryValues(key, &binary);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return kStampEnumFailed;
  *count = binary;
  return kStampDone;
}

WORD GetStampNames(HANDLE printer, LPWSTR buffer, DWORD* count, DWORD* size) {
  if (count == nullptr || size == nullptr) return kStampBadArgument;
  HKEY key = nullptr;
  if (OpenStampsKey(&key, printer) != kStampDone) return GetBuiltInStampNames(buffer, count, size);
  const DWORD given = buffer != nullptr ? *size : 0;
  DWORD names = 0;
  DWORD total = 0;
  LSTATUS status = WalkStampValues(key, [&](const StampValue& v) {
    if (names == kMaxStoredStamps) return Walk::Stop;
    if (!v.IsBinary() || v.size != kStampRecordBytes || !v.hasDataName) return Walk::Next;
    const DWORD bytes = sizeof(WCHAR) * (lstrlenW(v.dataName) + 1);
    if (total + bytes <= given) lstrcpyW(buffer + total / sizeof(WCHAR), v.dataName);
    total += bytes;
    ++names;
    return Walk::Next;
  });
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return kStampEnumFailed;
  if (total + sizeof(WCHAR) <= given) buffer[total / sizeof(WCHAR)] = 0;
  *count = names;
  *size = total + sizeof(WCHAR);
  return total + sizeof(WCHAR) <= given ? kStampDone : kStampBufferTooSmall;
}

WORD LoadStampRecord(HANDLE printer, LPCWSTR name, StampRecord* record, BOOL builtInOnly) {
  if (record == nullptr) return kStampBadArgument;
  if (name == nullptr || (builtInOnly && LoadBuiltInStampByName(name, record) != kStampDone)) {
    LoadBuiltInStampRecord(record, GetStampRow(0));
    return kStampDone;
  }
  if (builtInOnly) return kStampDone;
  HKEY key = nullptr;
  if (OpenStampsKey(&key, printer) != kStampDone) return LoadBuiltInStampByName(name, record);
  std::optional<StampValue> stored;
  LSTATUS status = FindStampValue(key, name, &stored);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return kStampEnumFailed;
  return stored && DecodeStampRecord(stored->data, stored->size, record) ? kStampDone : kStampBadArgument;
}

WORD FindUserStamp(HANDLE printer, LPCWSTR name) {
  if (name == nullptr) return kStampBadArgument;
  if (IsBuiltInStampName(name)) return kStampBuiltIn;
  std::optional<StampValue> stored;
  WORD result = ReadStoredStamp(printer, name, &stored);
  if (result != kStampDone) return result;
  return stored ? kStampDone : kStampBadArgument;
}

WORD DeleteUserStamp(HANDLE printer, LPCWSTR name) {
  if (name == nullptr) return kStampBadArgument;
  if (IsBuiltInStampName(name)) return kStampBuiltIn;
  HKEY key = nullptr;
  WORD result = OpenStampsKey(&key, printer);
  if (result != kStampDone) return result;
  std::optional<StampValue> stored;
  if (FindStampValue(key, name, &stored) != ERROR_SUCCESS)
    result = kStampDeleteFailed;
  else if (!stored)
    result = kStampBadArgument;
  else
    result = RegDeleteValueW(key, stored->valueName) == ERROR_SUCCESS ? kStampDone : kStampDeleteFailed;
  RegCloseKey(key);
  return result;
}

WORD CanAddUserStamp(HANDLE printer, LPCWSTR name) {
  if (name == nullptr) return kStampDone;
  if (IsBuiltInStampName(name)) return kStampNameExists;
  HKEY key = nullptr;
  WORD result = OpenStampsKey(&key, printer);
  if (result != kStampDone) return result;
  DWORD binary = 0;
  bool exists = false;
  result = SurveyStamps(key, name, &binary, &exists);
  RegCloseKey(key);
  if (result != kStampDone) return result;
  if (exists) return kStampNameExists;
  return binary < kMaxStoredStamps ? kStampDone : kStampKeyFull;
}

WORD StoreUserStamp(HANDLE printer, const StampRecord* record) {
  // An empty name would write the key's unnamed default value.
  if (record == nullptr || !IsUsableName(record->name)) return kStampBadArgument;
  HKEY key = nullptr;
  WORD result = OpenStampsKey(&key, printer);
  if (result != kStampDone) return result;
  DWORD binary = 0;
  bool exists = false;
  result = SurveyStamps(key, record->name, &binary, &exists);
  if (result == kStampDone && !exists && binary >= kMaxStoredStamps) result = kStampKeyFull;
  if (result == kStampDone) {
    BYTE bytes[kStampRecordBytes];
    EncodeStampRecord(record, bytes);
    if (RegSetValueExW(key, record->name, 0, REG_BINARY, bytes, kStampRecordBytes) != ERROR_SUCCESS)
      result = kStampWriteFailed;
  }
  RegCloseKey(key);
  return result;
}

WORD CompareUserStamp(HANDLE printer, const StampRecord* record) {
  if (record == nullptr || !IsUsableName(record->name)) return kStampBadArgument;
  std::optional<StampValue> value;
  WORD result = ReadStoredStamp(printer, record->name, &value);
  if (result != kStampDone) return result;
  StampRecord stored;
  if (!value || !DecodeStampRecord(value->data, value->size, &stored)) return kStampNotStored;
  return SameStamp(stored, *record) ? kStampDone : kStampDiffers;
}
