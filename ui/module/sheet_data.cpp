// The data of one open property sheet (see sheet_data.h).
#include "ui/module/sheet_data.h"

#include <memory>

#include "core/descriptors/item_defaults.h"
#include "core/descriptors/item_descriptors.h"
#include "core/database/database.h"
#include "core/job/fax_list.h"
#include "core/job/fax_temp_files.h"
#include "core/job/monitor_client.h"
#include "core/persist/devmode_worker.h"
#include "core/persist/model_defaults.h"
#include "core/persist/printer_config.h"
#include "core/persist/public_fields.h"
#include "core/persist/settings_blobs.h"
#include "core/persist/user_setting_store.h"
#include "core/descriptors/user_paper_name.h"
#include "core/system/printer_info.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "items/user_setting_info.h"
#include "platform/base/text.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/option_list.h"
#include "ui/framework/sheet/picture_surfaces.h"
#include "ui/framework/sheet/sheet_validation.h"
#include "ui/framework/text/directory_paths.h"
#include "ui/module/printer_data.h"
#include "ui/pages/favorites_state.h"

namespace {

constexpr WORD kUserPaperCount = 20;
constexpr WORD kSettingsFile = 1;
constexpr DWORD kPerUserBaseSection = 30;
constexpr int kFormNameChars = 64;
// A4 in tenths of a millimetre, for a user paper without its form.
constexpr WORD kDefaultUserPaperWidth = 2100;
constexpr WORD kDefaultUserPaperLength = 2970;

// The size of each user paper's form, in tenths of a millimetre, into the configuration.
bool StoreUserPaperSizes(HANDLE printer, PrinterConfiguration* config) {
  for (WORD i = 0; i < kUserPaperCount; ++i) {
    WCHAR name[kFormNameChars] = {};
    if (FormatUserPaperName(i, name, kFormNameChars) <= 0) return false;
    WORD width = kDefaultUserPaperWidth, length = kDefaultUserPaperLength;
    BYTE buffer[sizeof(FORM_INFO_1W) + 2 * kFormNameChars] = {};
    DWORD needed = 0;
    if (GetFormW(printer, name, 1, buffer, sizeof buffer, &needed)) {
      const auto* form = reinterpret_cast<const FORM_INFO_1W*>(buffer);
      width = static_cast<WORD>((form->Size.cx + 50) / 100);
      length = static_cast<WORD>((form->Size.cy + 50) / 100);
    }
    if (SetItemValue(static_cast<SettingItemId>(kItemUserPaperWidth + i), nullptr, config, kTypeUInt16, 2, &width) !=
            kItemDone ||
        SetItemValue(static_cast<SettingItemId>(kItemUserPaperLength + i), nullptr, config, kTypeUInt16, 2, &length) !=
            kItemDone)
      return false;
  }
  return true;
}

// The document monitor's default (item 8201) when the model gives it as a flag, else 0.
DWORD ReadDocumentMonitorDefault(ItemStore* store) {
  ValueTypeCode type = 0;
  DWORD size = 0;
  ItemValueCell value{};
  if (GetItemDefault(store, kItemMonitorJob, &type, &size, &value) != 1 || type != kTypeFlag) return 0;
  return value.number != 0;
}

// The printer's port name (a new text), NULL when it cannot be read.
LPWSTR ReadPortName(HANDLE printer) {
  LPBYTE info = GetPrinterInfo(printer, 2);
  if (info == nullptr) return nullptr;
  LPWSTR port = GlobalCopyText(reinterpret_cast<const PRINTER_INFO_2W*>(info)->pPortName);
  GlobalFree(info);
  return port;
}

// The extension and the fax send list of the set: from the side file named by item 374 (a
// device path is never opened; a file that cannot be read empties the item), else from the
// printer's store that item 439 names, else the model's defaults.
void RestoreExtension(HANDLE printer, SettingsSet* set) {
  SettingsRecord* settings = set->settings;
  BYTE* extension = settings->bytes + kSettingsExtensionOffset;
  BYTE* fax = nullptr;
  bool loaded = false;
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(kItemSideFile, settings, set->config, &type, &length, &cell) == kItemDone && cell.data != nullptr &&
      static_cast<LPCWSTR>(cell.data)[0] != 0) {
    const auto* sideFile = static_cast<LPCWSTR>(cell.data);
    loaded = !IsDevicePath(sideFile) &&
             LoadDeviceBlobs(printer, sideFile, kSettingsFile, &fax, extension, nullptr, nullptr) == 1;
    if (!loaded) {
      LPCWSTR empty = u"";
      SetItemValue(kItemSideFile, settings, set->config, kTypeString, sizeof(WCHAR), &empty);
    }
  }
  if (!loaded) {
    const WORD kind = GetItemNumber(settings, set->config, kItemPerUserExtension, kTypeUInt8) == 1
                          ? kBlobStorePerUser
                          : kBlobStorePrinterData;
    loaded = LoadDeviceBlobs(printer, nullptr, kind, &fax, extension, nullptr, nullptr) == 1;
  }
  if (!loaded) LoadDefaultExtension(printer, extension);
  if (fax == nullptr) return;
  DWORD count = 0, size = 0;
  BYTE* copy = LoadFaxDestinationList(printer, static_cast<DWORD>(GlobalSize(fax)), fax, &count, &size);
  GlobalFree(fax);
  if (copy == nullptr) return;
  set->blob = copy;
  set->blobLength = size;
}

// Frees what the state owns, then the state.
void FreeSheetState(SheetState* state) {
  if (state == nullptr) return;
  if (state->store != nullptr) CloseItemStore(state->store);
  GlobalFree(state->printerName);
  GlobalFree(state->pageHandles);
  GlobalFree(state->perUserKey);
  GlobalFree(state->portName);
  FreePendingWarnings(&state->pendingWarnings);
  FreePictureSurfaces(static_cast<PictureSurface*>(state->pictureSurfaces));
  FreePictureTipData(state);
  FreeFavoritesState(state->favorites);
  if (state->titleTexts != nullptr) {
    for (LPWSTR* text = state->titleTexts; *text != nullptr; ++text) GlobalFree(*text);
    GlobalFree(state->titleTexts);
  }
  GlobalFree(state);
}

}  // namespace

void ItemStoreCloser::operator()(ItemStore* store) const { CloseItemStore(store); }

bool ReadInputDevMode(ItemStore* store, const DEVMODEW* input, SettingsRecord* record) {
  *record = SettingsRecord{};
  if (input == nullptr) return false;
  NormalizeDevmode(reinterpret_cast<const BYTE*>(input), GetDevModeExtent(input), record);
  return ValidateItemValue(store, kItemDevmodeSize, record, nullptr, kItemOpCheck) != FALSE;
}

bool MergeInputDevMode(HANDLE printer, ItemStore* store, const DEVMODEW* input, SettingsRecord* settings,
                       PrinterConfiguration* config) {
  auto record = std::make_unique<SettingsRecord>();
  if (!ReadInputDevMode(store, input, record.get())) return true;
  return ValidatePublicFields(store, settings, reinterpret_cast<const BYTE*>(input), GetDevModeExtent(input), config,
                              printer, kItemOpCheck) != FALSE;
}

PageData* CreateSheetData(HANDLE printer, const DEVMODEW* input, DWORD /*fMode*/) {
  std::unique_ptr<ItemStore, ItemStoreCloser> store(OpenItemStore(printer));
  if (store == nullptr) return nullptr;
  SettingsSet set{};
  if (!CreateSettingsSet(&set)) return nullptr;
  PageData* data = nullptr;
  SheetState* state = nullptr;
  do {
    DWORD size = kSettingsRecordShortSize;
    BOOL converted = FALSE;
    LPBYTE info = LoadPrinterDocumentSettings(printer, store.get(), set.settings, &size, &converted);
    if (info == nullptr) break;
    state = static_cast<SheetState*>(GlobalAlloc(GPTR, sizeof(SheetState)));
    if (state != nullptr) state->printerName = GlobalCopyText(reinterpret_cast<const PRINTER_INFO_2W*>(info)->pPrinterName);
    GlobalFree(info);
    if (state == nullptr || state->printerName == nullptr) break;
    LoadPrinterConfiguration(printer, set.config, store.get());
    if (!MergeInputDevMode(printer, store.get(), input, set.settings, set.config)) break;
    AddDriverForms(printer, store.get());
    if (!StoreUserPaperSizes(printer, set.config)) break;
    state->printer = printer;
    state->monitorAvailable = IsPirvexAvailable() && ReadDocumentMonitorDefault(store.get());
    state->perUserKey = ReadSectionStringOrNull(store->main, kPerUserBaseSection, 0);
    SetDirectFaxTempKey(store->main);
    state->portName = ReadPortName(printer);
    state->favorites = CreateFavoritesState(printer, store.get());
    store.reset();
    PurgeAllDirectFaxTempFiles();
    RestoreExtension(printer, &set);
    if (GetItemNumber(set.settings, set.config, kItemPerUserExtension, kTypeUInt8) == 0) {
      BYTE userInfo[kUserSettingInfoSize] = {};
      if (LoadUserSettingInfo(printer, userInfo, kUserInfoPrinterData) == 1)
        ApplyUserSettingInfo(set.config, userInfo, kUserInfoPrinterData);
    }
    data = CreatePageData(nullptr, state, &set, nullptr);
  } while (false);
  FreeSettingsSet(&set);
  if (data == nullptr) FreeSheetState(state);
  return data;
}

void FreeSheetData(PageData** data) {
  if (data == nullptr || *data == nullptr) return;
  FreeSheetState((*data)->sheet);
  (*data)->sheet = nullptr;
  DestroyPageData(data);
}
