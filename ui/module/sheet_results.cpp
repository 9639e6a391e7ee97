// What an accepted sheet stores (see sheet_results.h).
#include "ui/module/sheet_results.h"

#include <cstring>
#include <memory>

#include "core/job/fax_temp_files.h"
#include "core/persist/printer_config.h"
#include "core/persist/settings_blobs.h"
#include "core/persist/user_setting_store.h"
#include "core/system/chunked_printer_data.h"
#include "core/system/printer_info.h"
#include "core/system/sheet_host.h"
#include "core/system/temp_path.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "items/user_setting_info.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"
#include "ui/module/printer_data.h"
#include "ui/module/sheet_hosting.h"

namespace {

constexpr WORD kSettingsFile = 1;
constexpr int kSideFileTempKind = 2;

// How each host keeps what the document sheet does not put into the devmode.
struct HostStore {
  int host;
  ACCESS_MASK access;  // 0: default access
  WORD extensionStore;
  WORD perUserExtension;  // item 439
  WORD userInfoKind;
};
constexpr HostStore kHostStores[] = {
    {kSheetHostApplication, 0, kSettingsFile, 1, kUserInfoKeepSecond},
    {kSheetHostDefaults, PRINTER_ALL_ACCESS, kBlobStorePrinterData, 0, kUserInfoPrinterData},
    {kSheetHostPreferences, 0, kBlobStorePerUser, 1, kUserInfoKeepSecond},
};

const HostStore& FindHostStore(int host) {
  for (const HostStore& store : kHostStores) {
    if (store.host == host) return store;
  }
  return kHostStores[0];
}

// An application's settings go into a side file: the one item 374 names, else a new one whose
// name goes into the item. 1 and the name, or 0.
bool PrepareSideFile(SettingsSet* set, WCHAR file[MAX_PATH]) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(kItemSideFile, set->settings, set->config, &type, &length, &cell) != kItemDone) return false;
  const auto* named = static_cast<LPCWSTR>(cell.data);
  if (named != nullptr && named[0] != 0) {
    lstrcpynW(file, named, MAX_PATH);
    return true;
  }
  if (MakeTempFilePath(file, kSideFileTempKind) != 1) return false;
  LPCWSTR value = file;
  return SetItemValue(kItemSideFile, set->settings, set->config, kTypeString, DWORD(lstrlenW(file) + 1) * sizeof(WCHAR),
                      &value) == kItemDone;
}

// Stores the extension with the fax send list and the per-user settings where the host keeps
// them: true when everything was stored.
bool StoreHostSettings(PageData* data, HANDLE printer, const HostStore& host) {
  SettingsSet* set = &data->current;
  if (set->blobLength > 0xFFFF) return false;
  const BYTE perUser = static_cast<BYTE>(host.perUserExtension);
  if (SetItemValue(kItemPerUserExtension, set->settings, set->config, kTypeUInt8, sizeof perUser, &perUser) !=
      kItemDone)
    return false;
  WCHAR file[MAX_PATH] = {};
  if (host.extensionStore == kSettingsFile && !PrepareSideFile(set, file)) return false;
  const LPCWSTR sideFile = host.extensionStore == kSettingsFile ? file : nullptr;
  if (SaveDeviceBlobs(printer, sideFile, host.extensionStore, set->blob, WORD(set->blobLength),
                      set->settings->bytes + kSettingsExtensionOffset, nullptr, 0) != 1)
    return false;
  if (sideFile != nullptr) FinishDirectFaxSheet(data->owner, sideFile);
  BYTE info[kUserSettingInfoSize] = {};
  return ExtractUserSettingInfo(printer, set->config, info) == 1 && SaveUserSettingInfo(printer, info, host.userInfoKind) == 1;
}

// Item 8204 of a configuration: its release.
bool ReadConfigRelease(PrinterConfiguration* config, WORD* release) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(kItemConfigRelease, nullptr, config, &type, &length, &cell) != kItemDone) return false;
  *release = cell.word;
  return true;
}

// True when the printer holds a configuration of a later release than the edited one.
bool IsStoredConfigNewer(HANDLE printer, PrinterConfiguration* edited) {
  DWORD size = 0;
  BYTE* block = nullptr;
  if (ReadPrinterDataValue(printer, &size, kPrinterConfigData, &block, FALSE) != 1 || block == nullptr) return false;
  auto stored = std::make_unique<PrinterConfiguration>();
  std::memcpy(stored->bytes, block, size < sizeof stored->bytes ? size : sizeof stored->bytes);
  GlobalFree(block);
  WORD storedRelease = 0, editedRelease = 0;
  return ReadConfigRelease(stored.get(), &storedRelease) && ReadConfigRelease(edited, &editedRelease) &&
         storedRelease > editedRelease;
}

}  // namespace

LONG StoreDocumentSheetResult(PROPSHEETUI_INFO* info, const SETRESULT_INFO* result, DOCUMENTPROPERTYHEADER* header) {
  auto* data = reinterpret_cast<PageData*>(info->UserData);
  if (data == nullptr || result == nullptr) return -1;
  if (result->Result != CPSUI_OK || (header->fMode & (DM_UPDATE | DM_COPY)) == 0) {
    info->Result = ULONG_PTR(result->Result);
    return 1;
  }
  if (header->pdmOut == nullptr || header->cbOut < kDocumentDevModeSize) return -1;
  SettingsRecord* settings = data->current.settings;
  std::memcpy(header->pdmOut, settings->bytes, kDocumentDevModeSize);
  const HostStore& host = FindHostStore(DetectSheetHost(data->owner, data->sheet->sheetType));
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, host.access};
  HANDLE printer = nullptr;
  if (!OpenPrinterW(data->sheet->printerName, &printer, host.access != 0 ? &defaults : nullptr)) return -1;
  const bool stored = StoreHostSettings(data, printer, host);
  ClosePrinter(printer);
  std::memcpy(header->pdmOut, settings->bytes, kDocumentDevModeSize);
  if (!stored) return -1;
  info->Result = ULONG_PTR(result->Result);
  return 1;
}

BOOL SaveDeviceSettings(PageData* data) {
  if (data == nullptr || data->sheet == nullptr) return FALSE;
  SheetState* state = data->sheet;
  PrinterConfiguration* config = data->current.config;
  LPBYTE info = GetPrinterInfo(state->printer, 2);
  if (info == nullptr) {
    WriteDsDriverData(state->printer, config);
    return FALSE;
  }
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
  HANDLE opened = nullptr;
  OpenPrinterW(reinterpret_cast<const PRINTER_INFO_2W*>(info)->pPrinterName, &opened, &defaults);
  GlobalFree(info);
  HANDLE printer = opened != nullptr ? opened : state->printer;
  BOOL stored = TRUE;
  if (!IsStoredConfigNewer(printer, config)) {
    stored = InitPrinterConfiguration(printer, config, state->permission) == 1;
    WriteDsDriverData(state->printer, config);
  }
  if (opened != nullptr) ClosePrinter(opened);
  return stored;
}
