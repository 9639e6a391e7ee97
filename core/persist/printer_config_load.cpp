// Loading the printer configuration: "PrinterData" merged with the calling user's per-user
// part, converted from other layouts, or the model's defaults; then the locked policy values.
#include "core/persist/printer_config.h"

#include "core/persist/model_defaults.h"
#include "core/persist/settings_conversion.h"
#include "core/persist/stored_settings.h"
#include "core/persist/user_setting_store.h"
#include "core/store/item_store.h"
#include "core/store/policy_file.h"
#include "core/store/printer_id.h"
#include "core/store/user_store.h"
#include "core/system/chunked_printer_data.h"
#include "items/user_setting_info.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

// Items 8202, 8204 and 8203 at the start of every stored configuration.
constexpr DWORD kConfigurationHeaderBytes = 6;
// From this release on the per-user part lives in the user's key and the printer data holds
// neutral values.
constexpr WORD kPerUserRelease = 0x4005;

// Merges the calling user's per-user part into a configuration read from printer data, and
// moves the per-user part of an older release into the user's key.
void MergeUserPart(HANDLE printer, PrinterConfiguration* work, WORD release, LPCWSTR userBase) {
  BOOL denied = FALSE;
  HANDLE writable = OpenPrinterForWriting(printer, &denied);
  HANDLE handle = writable != nullptr ? writable : printer;
  BYTE info[kUserSettingInfoSize];
  BYTE id[kPrinterIdSize];
  if (release >= kPerUserRelease) {
    if (!denied && !ReadPrinterId(handle, id)) EnsurePrinterId(handle, id);
    if (LoadUserSettingInfo(handle, info, kUserInfoBoth, userBase)) ApplyUserSettingInfo(work, info, kUserInfoBoth);
  } else if (ReadPrinterId(handle, id) && HasUserSettingInfoValue(handle)) {
    if (LoadUserSettingInfo(handle, info, kUserInfoBoth, userBase)) ApplyUserSettingInfo(work, info, kUserInfoBoth);
  } else if (ExtractUserSettingInfo(handle, work, info)) {
    SaveUserSettingInfo(handle, info, kUserInfoBoth);
  }
  if (writable != nullptr) ClosePrinter(writable);
}

// Reads "PrinterData" and brings it to this release; false when there is none or it cannot
// be converted.
bool LoadStoredConfiguration(HANDLE printer, PrinterConfiguration* out, ItemStore* store, LPCWSTR userBase) {
  PrinterConfiguration* work = static_cast<PrinterConfiguration*>(GlobalAlloc(GPTR, sizeof(PrinterConfiguration)));
  if (work == nullptr) return false;
  DWORD size = sizeof(PrinterConfiguration);
  BYTE* block = work->bytes;
  bool loaded = false;
  ConfigurationHeader header;
  // The stored block must hold at least the record length its own header gives.
  if (ReadPrinterDataValue(printer, &size, kPrinterConfigData, &block, TRUE) == 1 &&
      ReadConfigurationHeader(work, &header) && size >= kConfigurationHeaderBytes &&
      size >= (header.length < kPrinterConfigurationSize ? header.length : kPrinterConfigurationSize)) {
    MergeUserPart(printer, work, header.release, userBase);
    if (ReadConfigurationHeader(work, &header) && header.layout == kCurrentConfigurationLayout) {
      *out = *work;
      loaded = true;
    } else {
      loaded = ConvertPrinterConfiguration(work, out, store) != kConvertFailed;
    }
  }
  GlobalFree(work);
  return loaded;
}

}  // namespace

int LoadPrinterConfiguration(HANDLE printer, PrinterConfiguration* out, ItemStore* store, LPCWSTR userBase) {
  if (printer == nullptr || out == nullptr || store == nullptr) return 0;
  if (!LoadStoredConfiguration(printer, out, store, userBase)) {
    ModelDefaults* defaults = static_cast<ModelDefaults*>(GlobalAlloc(GPTR, sizeof(ModelDefaults)));
    const bool built = defaults != nullptr && BuildModelDefaults(store, kDefaultsDeviceName, defaults);
    if (built) *out = defaults->config;
    GlobalFree(defaults);
    if (!built) return 0;
  }
  // Values the administrator locked (enforced entries only).
  ApplyPolicyList(store->policy, nullptr, out, 1);
  return 1;
}

