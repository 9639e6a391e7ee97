// The document events from the creation of a device context to the start of its pages
// (document_events.h): the devmode handed to GDI, the start of a document with its prompt and
// job information, the page margins and the confirmation on a shared network printer.
#include "ui/module/document_events.h"
#include "ui/framework/text/directory_paths.h"

#include <cstring>
#include <memory>

#include "core/database/dblayout.h"
#include "core/database/model_features.h"
#include "core/descriptors/item_descriptors.h"
#include "core/job/fax_list.h"
#include "core/job/fax_temp_files.h"
#include "core/persist/devmode_worker.h"
#include "core/persist/model_defaults.h"
#include "core/persist/printer_config.h"
#include "core/persist/public_fields.h"
#include "core/persist/settings_blobs.h"
#include "core/persist/user_setting_store.h"
#include "core/rules/paper_margins.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/printer_forms.h"
#include "core/system/printer_info.h"
#include "items/item_ids.h"
#include "items/user_setting_info.h"
#include "platform/base/text.h"
#include "platform/engine/printer_dc.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/spooler/spooler.h"
#include "platform/user/dialog.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/module/driver_escapes.h"
#include "ui/module/job_info.h"
#include "ui/module/job_items.h"
#include "ui/pages/prompt_dialog.h"

namespace {

// Items the events read.
constexpr SettingItemId kPromptSwitchItems[2] = {kItemPrompt, kItemPromptAlt};

// The devmode's private margins: {u16 paper size, four u16 margins}.
constexpr DWORD kAppendedMarginsSize = 10;
// The STARTPAGE payload when the paper has no margins of its own.
constexpr WORD kNoPaperId = 256;
constexpr WORD kDefaultMarginValue = 46;

constexpr UINT kConfirmSharedString = 3;
constexpr int kConfirmTextChars = 260;
constexpr DWORD kDeviceNameChars = 33;

// The printer's document settings merged with the devmode, into settings.
bool MergeDcSettings(HANDLE printer, ItemStore* store, const DEVMODEW* devMode, SettingsRecord* settings,
                     PrinterConfiguration* config) {
  DWORD size = kSettingsRecordShortSize;
  BOOL converted = FALSE;
  LPBYTE info = LoadPrinterDocumentSettings(printer, store, settings, &size, &converted);
  if (info == nullptr) return false;
  GlobalFree(info);
  if (!LoadPrinterConfiguration(printer, config, store)) return false;
  return devMode == nullptr ||
         ValidatePublicFields(store, settings, reinterpret_cast<const BYTE*>(devMode), GetDevModeExtent(devMode), config,
                              printer, kItemOpCheck);
}

// The devmode GDI uses for the device context: the merged record, with the paper's margins
// appended when item 387 asks for them. Nothing is handed out when that cannot be done.
void BuildDcDevMode(HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config, DEVMODEW** out) {
  LONG appended = 0;
  if (!ReadJobNumber(settings, config, kItemPerPaperMargins, &appended)) return;
  if (appended == 0) {
    auto* copy = static_cast<BYTE*>(GlobalAlloc(GPTR, kSettingsRecordShortSize));
    if (copy == nullptr) return;
    std::memcpy(copy, settings->bytes, kSettingsRecordShortSize);
    *out = reinterpret_cast<DEVMODEW*>(copy);
    return;
  }
  LONG paperSize = 0;
  WORD paperId = 0;
  if (!ReadJobNumber(settings, config, kItemPaperSize, &paperSize) ||
      MapFormToPaperId(printer, static_cast<DWORD>(static_cast<SHORT>(paperSize)), &paperId) != 1)
    return;
  WORD margins[4];
  GetJobPaperMargins(printer, paperId, JobNumber(settings, config, kItemPerUserMargins), margins);
  // The driver-extra count grows by the appended bytes; the record is changed in full so that
  // no item access reaches past a short buffer.
  LONG extra = 0;
  if (!ReadJobNumber(settings, config, kItemDriverExtra, &extra)) return;
  const WORD grown = static_cast<WORD>(extra + kAppendedMarginsSize);
  if (SetItemValue(kItemDriverExtra, settings, config, kTypeUInt16, sizeof grown, &grown) != kItemDone) return;
  auto* copy = static_cast<BYTE*>(GlobalAlloc(GPTR, kSettingsRecordShortSize + kAppendedMarginsSize));
  if (copy == nullptr) return;
  std::memcpy(copy, settings->bytes, kSettingsRecordShortSize);
  const WORD tail[5] = {static_cast<WORD>(paperSize), margins[0], margins[1], margins[2], margins[3]};
  std::memcpy(copy + kSettingsRecordShortSize, tail, sizeof tail);
  *out = reinterpret_cast<DEVMODEW*>(copy);
}

// Frees the devmode handed out at CREATEDCPRE or RESETDCPRE; the input holds its address.
void FreeHandedDevMode(ULONG cbIn, PVOID in) {
  if (in == nullptr || cbIn < sizeof(DEVMODEW*)) return;
  DEVMODEW* handed = nullptr;
  std::memcpy(&handed, in, sizeof handed);
  if (handed != nullptr) GlobalFree(handed);
}

// The SettingsExtension of the job's settings from the document's side file, else the printer's
// store, else the model's defaults. The fax destination record stored with it is kept for a
// direct-fax job.
void RestoreSettingsExtension(DcJobRecord* record) {
  BYTE* extension = record->settings.bytes + kSettingsExtensionOffset;
  BYTE* fax = nullptr;
  WCHAR sideFile[MAX_PATH + 1] = {};
  bool loaded = false;
  if (ReadJobText(&record->settings, &record->configuration, kItemSideFile, sideFile, MAX_PATH + 1) &&
      sideFile[0] != 0 && !IsDevicePath(sideFile))
    loaded = LoadDeviceBlobs(record->printer, sideFile, kBlobStorePrinterData, &fax, extension, nullptr, nullptr) == 1;
  if (!loaded) {
    const WORD kind = JobNumber(&record->settings, &record->configuration, kItemPerUserExtension) == 1
                          ? kBlobStorePerUser
                          : kBlobStorePrinterData;
    loaded = LoadDeviceBlobs(record->printer, nullptr, kind, &fax, extension, nullptr, nullptr) == 1;
  }
  if (!loaded) LoadDefaultExtension(record->printer, extension);
  if (fax == nullptr) return;
  // Only a whole record is kept.
  DWORD count = 0, size = 0;
  BYTE* copy = LoadFaxDestinationList(record->printer, static_cast<DWORD>(GlobalSize(fax)), fax, &count, &size);
  GlobalFree(fax);
  if (copy == nullptr) return;
  record->faxRecord = copy;
  record->faxRecordSize = size;
}

}  // namespace

int GetJobPaperMargins(HANDLE printer, WORD paperId, LONG perUser, WORD margins[4]) {
  for (int i = 0; i < 4; ++i) margins[i] = kDefaultMarginValue;
  DcJobRecord* record = FindJobRecord(printer);
  if (record == nullptr || record->store == nullptr) return -1;
  PaperMargins stored{};
  bool found = false;
  if (perUser != 0) {
    LPWSTR base = ReadSectionStringOrNull(record->store->main, DDD_SECTION_DRIVER_BASE, 0);
    if (base != nullptr) {
      found = ReadUserPaperMargin(printer, base, paperId, &stored) == 1;
      GlobalFree(base);
    }
  }
  // Without a user's own margins for the paper, the printer's table holds them, as the
  // sheet's margin checks assume.
  if (!found) {
    if (PaperMarginTable* table = LoadPaperMarginTable(printer); table != nullptr) {
      found = FindPaperMargin(table, paperId, &stored) == 1;
      FreePaperMarginTable(table);
    }
  }
  if (!found && ResetMarginsToDefault(&stored) != 1) return -1;
  const int order[4] = {2, 3, 0, 1};
  for (int i = 0; i < 4; ++i) margins[i] = static_cast<WORD>(stored.margin[order[i]]);
  return 0;
}

int PrepareDcDevMode(HANDLE printer, const DEVMODEW* devMode, DEVMODEW** out) {
  DcJobRecord* record = FindJobRecord(printer);
  if (record == nullptr || record->store == nullptr) return kEventFailed;
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  if (!MergeDcSettings(printer, record->store, devMode, settings.get(), config.get())) return kEventFailed;
  if (out != nullptr) BuildDcDevMode(printer, settings.get(), config.get(), out);
  return kEventDone;
}

int HandleCreateDcPre(const void* in, ULONG cbIn, HANDLE printer, DEVMODEW** out) {
  if (CreateJobRecord(printer) == nullptr) return kEventFailed;
  const DEVMODEW* devMode = nullptr;
  if (in != nullptr && cbIn >= sizeof(DOCEVENT_CREATEDCPRE)) devMode = static_cast<const DOCEVENT_CREATEDCPRE*>(in)->pdm;
  return PrepareDcDevMode(printer, devMode, out);
}

int PromptUserDetails(DcJobRecord* record, HDC /*dc*/) {
  SettingsRecord* settings = &record->settings;
  PrinterConfiguration* config = &record->configuration;
  const LONG selector = JobNumber(settings, config, kItemOwnerSetSwitch);
  if (JobNumber(settings, config, kPromptSwitchItems[selector == 0 ? 0 : 1]) != 1) return kEventDone;
  auto copy = std::make_unique<SettingsRecord>(*settings);
  PromptDialogData data{};
  data.printer = record->printer;
  data.settings = copy.get();
  data.configuration = config;
  data.store = record->store;
  data.lockGroup = record->directFax != 0 && JobNumber(settings, config, kItemFaxHeaderOnly) != 1 ? 1 : 0;
  data.mode = selector == 0 ? 1 : 0;
  const INT_PTR answer = DialogBoxParamW(GetResourceModule(), MAKEINTRESOURCEW(kPromptDialogTemplate), GetActiveWindow(),
                                         UserDetailsDialogProc, reinterpret_cast<LPARAM>(&data));
  // Only OK accepts: Cancel (0) and a dialog that could not be shown (-1) fail the document.
  if (answer != IDOK) return kEventFailed;
  *settings = *copy;
  BYTE info[kUserSettingInfoSize] = {};
  if (!ExtractUserSettingInfo(record->printer, config, info)) return kEventFailed;
  SaveUserSettingInfo(record->printer, info, kUserInfoBoth);
  return kEventDone;
}

int HandleStartDocPre(HANDLE printer, HDC dc, ULONG cbIn, const void* in) {
  DcJobRecord* record = FindJobRecord(printer);
  if (dc == nullptr || record == nullptr) return kEventFailed;
  FreeJobRecordData(record);
  ResetJobRecord(record);
  record->started = 1;
  if (!SendDriverEscape(dc, DRVESC_STARTDOCPRE, &record->started, sizeof record->started)) return kEventFailed;
  if (!SendDriverEscape(dc, DRVESC_GETSETTINGS, nullptr, 0, &record->settings, sizeof record->settings))
    return kEventFailed;
  if (in != nullptr && cbIn >= sizeof(DOCINFOW)) {
    const auto* info = static_cast<const DOCINFOW*>(in);
    if (info->lpszDocName != nullptr) lstrcpynW(record->documentName, info->lpszDocName, kDocumentNameChars);
  }
  if (record->store == nullptr || !LoadPrinterConfiguration(printer, &record->configuration, record->store))
    return kEventFailed;
  if (!GetDocumentUserName(record->userName, kUserNameChars)) return kEventFailed;
  if (!SendDriverEscape(dc, DRVESC_GETDIRECTMODE, nullptr, 0, &record->directMode, sizeof record->directMode))
    return kEventFailed;
  SetDirectFaxTempKey(record->store->main);
  PurgeAllDirectFaxTempFiles();
  RestoreSettingsExtension(record);
  if (!SendDriverEscape(dc, DRVESC_QUERYFAXJOB, nullptr, 0, &record->directFax, sizeof record->directFax))
    return kEventFailed;
  // A direct-fax job without destinations stored with its settings takes the printer's list.
  if (record->directFax != 0 && record->faxRecord == nullptr) {
    DWORD count = 0;
    record->faxRecord = LoadFaxDestinationList(printer, 0, nullptr, &count, &record->faxRecordSize);
    if (record->faxRecord == nullptr) record->faxRecordSize = 0;
  }
  // From here on a failure is reported at the end; every step still runs.
  int result = kEventDone;
  if (PromptUserDetails(record, dc) != kEventDone) result = kEventFailed;
  if (!SendDriverEscape(dc, DRVESC_SETSETTINGS, &record->settings, sizeof record->settings)) result = kEventFailed;
  FillJobInfoBlock(record);
  return result;
}

int HandleStartPageEvent(HANDLE printer, HDC dc) {
  if (dc == nullptr) return kEventFailed;
  auto settings = std::make_unique<SettingsRecord>();
  if (!SendDriverEscape(dc, DRVESC_GETSETTINGS, nullptr, 0, settings.get(), sizeof(SettingsRecord))) return kEventFailed;
  WORD payload[5] = {kNoPaperId, kDefaultMarginValue, kDefaultMarginValue, kDefaultMarginValue, kDefaultMarginValue};
  LONG paperSize = 0;
  WORD paperId = 0;
  WORD margins[4];
  if (ReadJobNumber(settings.get(), nullptr, kItemPaperSize, &paperSize) &&
      MapFormToPaperId(printer, static_cast<DWORD>(static_cast<SHORT>(paperSize)), &paperId) == 1 &&
      GetJobPaperMargins(printer, paperId, JobNumber(settings.get(), nullptr, kItemPerUserMargins), margins) == 0) {
    payload[0] = paperId;
    std::memcpy(payload + 1, margins, sizeof margins);
  }
  return SendDriverEscape(dc, DRVESC_SETPAGEMARGINS, payload, sizeof payload) ? kEventDone : kEventFailed;
}

int ConfirmStartDoc(HANDLE printer, HDC dc) {
  DcJobRecord* record = FindJobRecord(printer);
  if (record == nullptr || record->started == 0) return kEventFailed;
  if (!SendDriverEscape(dc, DRVESC_QUERYSTARTDOC, nullptr, 0, &record->startAnswer, sizeof record->startAnswer))
    return kEventFailed;
  if (record->startAnswer == 0) return kEventDone;
  if (JobNumber(&record->settings, &record->configuration, kItemSaveToFile) != 1) return kEventDone;
  auto* info = reinterpret_cast<PRINTER_INFO_2W*>(GetPrinterInfo(printer, 2));
  const DWORD sharedNetwork = PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK;
  const bool shown = info != nullptr && (info->Attributes & sharedNetwork) == sharedNetwork;
  if (info != nullptr) GlobalFree(info);
  if (!shown) return kEventDone;
  WCHAR text[kConfirmTextChars + 1] = {};
  LoadStringW(GetResourceModule(), kConfirmSharedString, text, kConfirmTextChars + 1);
  WCHAR caption[kDeviceNameChars] = {};
  ReadJobText(&record->settings, &record->configuration, kItemDeviceName, caption, kDeviceNameChars);
  UINT style = MB_OKCANCEL | MB_ICONWARNING;
  if (record->store != nullptr && HasModelFeature(record->store->main, kRightToLeftFeature))
    style |= MB_RIGHT | MB_RTLREADING;
  const int answer = MessageBoxW(GetActiveWindow(), text, caption, style);
  record->confirmed = 1;
  return answer == IDCANCEL ? kEventFailed : kEventDone;
}

int DispatchDocumentEvent(HANDLE printer, HDC dc, int event, ULONG cbIn, PVOID in, ULONG cbOut, PVOID out) {
  DEVMODEW** handedOut = out != nullptr && cbOut >= sizeof(DEVMODEW*) ? static_cast<DEVMODEW**>(out) : nullptr;
  switch (event) {
    case DOCUMENTEVENT_CREATEDCPRE: return HandleCreateDcPre(in, cbIn, printer, handedOut);
    case DOCUMENTEVENT_CREATEDCPOST:
      FreeHandedDevMode(cbIn, in);
      return kEventDone;
    case DOCUMENTEVENT_RESETDCPRE: {
      const DEVMODEW* devMode = nullptr;
      if (in != nullptr && cbIn >= sizeof devMode) std::memcpy(&devMode, in, sizeof devMode);
      return PrepareDcDevMode(printer, devMode, handedOut);
    }
    case DOCUMENTEVENT_RESETDCPOST:
      FreeHandedDevMode(cbIn, in);
      return SendJobDataEscapes(printer, dc);
    case DOCUMENTEVENT_STARTDOCPRE: return HandleStartDocPre(printer, dc, cbIn, in);
    case DOCUMENTEVENT_STARTPAGE: return HandleStartPageEvent(printer, dc);
    case DOCUMENTEVENT_ENDPAGE: return dc == nullptr ? kEventFailed : HandlePageEndEvent(printer, dc, false);
    case DOCUMENTEVENT_ENDDOCPRE: return dc == nullptr ? kEventFailed : HandlePageEndEvent(printer, dc, true);
    case DOCUMENTEVENT_DELETEDC: return DeleteJobRecord(printer);
    case DOCUMENTEVENT_STARTDOCPOST: {
      if (dc == nullptr) return kEventFailed;
      if (ConfirmStartDoc(printer, dc) != kEventDone) return kEventFailed;
      SubmitDocumentMonitorJobs(printer);
      return SendJobDataEscapes(printer, dc);
    }
    default: return kEventNotHandled;
  }
}
