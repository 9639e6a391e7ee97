// The per-user registry store of the scan mode and the store's read-only switches.
#include <cstring>

#include "platform/base/errors.h"
#include "platform/base/types.h"
#include "platform/registry/registry.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "scanner/text_ids.h"

namespace {

constexpr DWORD kRegistryVersion = 1;

// A value name or key path of the string table.
struct Name {
  explicit Name(UINT id) { LoadLocalizedString(g_Instance, id, Text, sizeof Text); }
  char Text[260];
};

// Reads a REG_DWORD switch; a missing or malformed value leaves it as it was.
void ReadSwitch(HKEY key, UINT nameId, DWORD& value) {
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExA(key, Name(nameId).Text, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
          ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof data)
    value = data;
}

bool CreateStore() {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, Name(kTextRegistryKey).Text, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  const DWORD version = kRegistryVersion;
  const bool ok = RegSetValueExA(key, Name(kTextRegVer).Text, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&version),
                                 sizeof version) == ERROR_SUCCESS;
  RegCloseKey(key);
  return ok;
}

}  // namespace

BOOL CheckRegistryVersion() {
  const Name keyName(kTextRegistryKey);
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName.Text, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    DWORD type = 0, version = 0, size = sizeof version;
    const bool present = RegQueryValueExA(key, Name(kTextRegVer).Text, nullptr, &type,
                                          reinterpret_cast<BYTE*>(&version), &size) == ERROR_SUCCESS;
    ReadSwitch(key, kTextUseHardwareGrayScale, g_Switches.UseHardwareGrayScale);
    ReadSwitch(key, kTextMonoBitReverse, g_Switches.MonoBitReverse);
    RegCloseKey(key);
    if (!present) return CreateStore() ? TRUE : FALSE;
    if (type == REG_DWORD && size == sizeof version && version == kRegistryVersion) return TRUE;
    // Another version: the store and its presets start again.
    HKEY open;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyName.Text, 0, KEY_ALL_ACCESS, &open) != ERROR_SUCCESS) return FALSE;
    RegDeleteKeyA(open, Name(kTextUserSettings).Text);
    RegCloseKey(open);
    if (RegDeleteKeyA(HKEY_CURRENT_USER, keyName.Text) != ERROR_SUCCESS) return FALSE;
  }
  CreateStore();
  return FALSE;
}

BOOL LoadDefaultScanMode(ScanSettings& settings) {
  if (!CheckRegistryVersion()) return FALSE;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, Name(kTextRegistryKey).Text, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
  // Only a binary value of exactly the record's size is a record; anything else is missing.
  BYTE record[kScanModeRecordBytes] = {};
  DWORD type = 0, size = sizeof record;
  const LSTATUS status = RegQueryValueExA(key, Name(kTextDefaultScanMode).Text, nullptr, &type, record, &size);
  const bool valid = status == ERROR_SUCCESS && type == REG_BINARY && size == kScanModeRecordBytes;
  if (valid) {
    ReadSwitch(key, kTextConvertToSrgb, g_Switches.ConvertToSrgb);
    ReadSwitch(key, kTextRawDataSave, g_Switches.RawDataSave);
  }
  RegCloseKey(key);
  if (!valid) return FALSE;
  ApplyScanModeRecord(settings, record);
  return TRUE;
}

BOOL SaveDefaultScanMode(const ScanSettings& settings) {
  BYTE record[kScanModeRecordBytes];
  EncodeScanModeRecord(settings, record);
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, Name(kTextRegistryKey).Text, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return FALSE;
  const bool ok = RegSetValueExA(key, Name(kTextDefaultScanMode).Text, 0, REG_BINARY, record, sizeof record) ==
                  ERROR_SUCCESS;
  RegCloseKey(key);
  return ok ? TRUE : FALSE;
}
