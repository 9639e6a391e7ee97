// The printer's property sheets hosted through the common property-sheet component (see
// sheet_hosting.h).
#include "ui/module/sheet_hosting.h"

#include <cstring>
#include <memory>

#include "core/descriptors/item_defaults.h"
#include "core/descriptors/item_descriptors.h"
#include "core/persist/devmode_worker.h"
#include "core/persist/printer_config.h"
#include "core/messages/sheet_services.h"
#include "core/runtime/lock_slots.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/kernel/locale.h"
#include "platform/base/text.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/module.h"
#include "platform/base/errors.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/option_list.h"
#include "ui/framework/sheet/sheet_validation.h"
#include "ui/module/sheet_data.h"
#include "ui/module/sheet_results.h"
#include "ui/pages/favorites_state.h"

namespace {

constexpr DWORD kPublicDevModeSize = 220;
constexpr DWORD kStartupHookCode = 8;
constexpr WORD kSheetHeaderFlags = PSUIHDRF_NOAPPLYNOW | PSUIHDRF_PROPTITLE;
constexpr ULONG_PTR kSheetIcon = 64082;
constexpr WORD kDocumentSheetType = 33;
constexpr WORD kDefaultsSheetType = 17;
constexpr WORD kDeviceSheetType = 18;
constexpr UINT kSettingsWarningMessage = 711;
constexpr WORD kLanguageArabic = 0x01;
constexpr WORD kLanguageHebrew = 0x0D;

// Right-to-left user languages get the mirrored process layout before any window is made.
void MirrorForUserLanguage() {
  const WORD language = PRIMARYLANGID(GetUserDefaultUILanguage());
  if (language == kLanguageArabic || language == kLanguageHebrew) SetProcessDefaultLayout(LAYOUT_RTL);
}

// The start-up hook of the printer, when it asks to run.
void RunPrinterStartupHook(HANDLE printer) {
  HMODULE resources = GetResourceModule();
  if (QueryStartupHook(printer, resources, kStartupHookCode, 0) != 0) RunStartupHook(printer, resources);
}

// The bytes the merge writes: the whole record, or only the public part for an input devmode
// without a private part.
DWORD MergedSize(ItemStore* store, const DEVMODEW* input, SettingsRecord* output) {
  if (input == nullptr) return kDocumentDevModeSize;
  auto record = std::make_unique<SettingsRecord>();
  if (!ReadInputDevMode(store, input, record.get()) ||
      !ValidateItemValue(store, kItemSpecVersion, record.get(), nullptr, kItemOpCheck))
    return kDocumentDevModeSize;
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell extra{};
  if (GetItemValue(kItemDriverExtra, record.get(), nullptr, &type, &length, &extra) == kItemDone && extra.word != 0)
    return kDocumentDevModeSize;
  const WORD none = 0;
  SetItemValue(kItemDriverExtra, output, nullptr, kTypeUInt16, 2, &none);
  return kPublicDevModeSize;
}

// INIT: the sheet data is made, its pages handed to the component and its page table built.
// Any failure frees everything INIT took (the resource reference included) and answers -1.
LONG InitSheet(void* header, int sheetKind, PROPSHEETUI_INFO* info, LPFNPSPCALLBACKW pageCallback) {
  PageData* data = nullptr;
  HANDLE printer = nullptr;
  if (sheetKind == kDocumentSheet) {
    auto* document = static_cast<DOCUMENTPROPERTYHEADER*>(header);
    printer = document->hPrinter;
    data = CreateSheetData(printer, document->pdmIn, document->fMode);
  } else {
    printer = static_cast<DEVICEPROPERTYHEADER*>(header)->hPrinter;
    data = CreateSheetData(printer, nullptr, 0);
  }
  if (data == nullptr) return -1;
  AcquireResourceModule();
  RunPrinterStartupHook(printer);
  SheetState* state = data->sheet;
  const TabRecord** list = nullptr;
  PROPSHEETPAGEW* pages = nullptr;
  HPROPSHEETPAGE* created = nullptr;
  LONG listCount = 0, pageCount = 0, added = 0;
  bool ok = false;
  do {
    if (state->store == nullptr) state->store = OpenItemStore(printer);
    if (state->store == nullptr) break;
    state->sheetFunction = reinterpret_cast<void*>(info->pfnComPropSheet);
    state->sheetHandle = info->hComPropSheet;
    if (sheetKind == kDocumentSheet) {
      const DWORD fMode = static_cast<DOCUMENTPROPERTYHEADER*>(header)->fMode;
      state->permission = (fMode & DM_NOPERMISSION) == 0;
      state->sheetType = (fMode & DM_USER_DEFAULT) != 0 ? kDefaultsSheetType : kDocumentSheetType;
    } else {
      state->permission = (static_cast<DEVICEPROPERTYHEADER*>(header)->Flags & DPS_NOPERMISSION) == 0;
      state->sheetType = kDeviceSheetType;
    }
    SetSheetFeatureWords(state, state->store);
    ReadMeasurementUnit(state);
    list = CountPageDescriptors(sheetKind, state, &listCount);
    if (list == nullptr) break;
    BuildPageDescriptorList(sheetKind, state, list);
    pages = BuildPropertySheetPages(list, listCount, state, GetResourceModule(), state->store, pageCallback,
                                    reinterpret_cast<LPARAM>(data), &pageCount);
    if (pages == nullptr) break;
    created = static_cast<HPROPSHEETPAGE*>(GlobalAlloc(GPTR, sizeof(HPROPSHEETPAGE) * SIZE_T(pageCount + 1)));
    state->pageHandles = static_cast<HANDLE*>(GlobalAlloc(GPTR, sizeof(HANDLE) * SIZE_T(pageCount + 1)));
    if (created == nullptr || state->pageHandles == nullptr) break;
    bool allCreated = true;
    for (LONG i = 0; i < pageCount && allCreated; ++i) {
      created[i] = CreatePropertySheetPageW(&pages[i]);
      allCreated = created[i] != nullptr;
    }
    // Pages handed over belong to the component from then on.
    for (; added < pageCount && allCreated; ++added) {
      const LONG_PTR handle = info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_HPROPSHEETPAGE,
                                                    reinterpret_cast<LPARAM>(created[added]), 0);
      if (handle == 0) break;
      state->pageHandles[added] = reinterpret_cast<HANDLE>(handle);
    }
    if (!allCreated || added < pageCount) break;
    if (LPWSTR help = GetDriverHelpFile(printer)) {
      lstrcpynW(state->helpFile, help, kHelpFileChars);
      GlobalFree(help);
    }
    state->pageTable = BuildPageTable(list, listCount);
    if (state->pageTable == nullptr) break;
    MeasurementFlags flags{};
    GetMeasurementFlags(state, &flags);
    ok = ValidateSheetOnApply(GetResourceModule(), printer, state->store, data->current.settings, data->current.config,
                              TRUE, kValidateAllSettings | kValidateTiles, state->sheetType & 1,
                              kSettingsWarningMessage, &flags, nullptr, &state->pendingWarnings) != 0 &&
         info->hComPropSheet != nullptr;
  } while (false);
  for (LONG i = added; created != nullptr && i < pageCount; ++i) {
    if (created[i] != nullptr) DestroyPropertySheetPage(created[i]);
  }
  GlobalFree(created);
  GlobalFree(pages);
  GlobalFree(list);
  if (!ok) {
    FreePageTable(state->pageTable);
    state->pageTable = nullptr;
    FreeSheetData(&data);
    ReleaseResourceModule();
    return -1;
  }
  info->UserData = reinterpret_cast<ULONG_PTR>(data);
  info->Result = 0;
  return 1;
}

// DESTROY: the last applied settings are kept and everything INIT took is given back.
LONG DestroySheet(PageData* data) {
  if (SheetState* state = data->sheet) {
    SaveLastAppliedSettings(state, data->current.settings, state->applied);
    FreePageTable(state->pageTable);
    state->pageTable = nullptr;
    FreePictureTipData(state);
  }
  FreeSheetData(&data);
  ReleaseResourceModule();
  return 1;
}

// The printer name of the sheet's header; the sheet's own when the header names none.
LPWSTR SheetTitle(void* header, int sheetKind, PageData* data) {
  LPWSTR name = sheetKind == kDocumentSheet ? static_cast<DOCUMENTPROPERTYHEADER*>(header)->pszPrinterName
                                            : static_cast<DEVICEPROPERTYHEADER*>(header)->pszPrinterName;
  return name != nullptr ? name : data->sheet->printerName;
}

}  // namespace

LONG MergeDocumentSettings(DOCUMENTPROPERTYHEADER* header) {
  const DWORD room = header->cbOut;
  header->cbOut = kDocumentDevModeSize;
  if (header->fMode == 0 || header->pdmOut == nullptr) return kDocumentDevModeSize;
  if ((header->fMode & (DM_UPDATE | DM_COPY)) == 0) return 1;
  std::unique_ptr<ItemStore, ItemStoreCloser> store(OpenItemStore(header->hPrinter));
  if (store == nullptr) return -1;
  auto settings = std::make_unique<SettingsRecord>();
  auto config = std::make_unique<PrinterConfiguration>();
  DWORD size = kDocumentDevModeSize;
  BOOL converted = FALSE;
  LPBYTE info = LoadPrinterDocumentSettings(header->hPrinter, store.get(), settings.get(), &size, &converted);
  if (info == nullptr) return -1;
  GlobalFree(info);
  LoadPrinterConfiguration(header->hPrinter, config.get(), store.get());
  const DEVMODEW* input = (header->fMode & DM_USER_DEFAULT) == 0 ? header->pdmIn : nullptr;
  if (!MergeInputDevMode(header->hPrinter, store.get(), input, settings.get(), config.get())) return -1;
  const DWORD bytes = MergedSize(store.get(), input, settings.get());
  // Never past the caller's buffer.
  if (room < bytes) return -1;
  std::memcpy(header->pdmOut, settings->bytes, bytes);
  static bool hookRun = false;
  LockSlotGuard lock(kLockStartup);
  if (!hookRun) {
    hookRun = true;
    RunPrinterStartupHook(header->hPrinter);
  }
  return 1;
}

LONG CallCommonPropertySheetUI(HWND owner, PFNPROPSHEETUI provider, LPARAM lParam, DWORD* result) {
  HMODULE component = LoadLibraryA("compstui.dll");
  if (component == nullptr) return -1;
  using SheetProc = LONG (*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);
  auto run = reinterpret_cast<SheetProc>(GetProcAddress(component, "CommonPropertySheetUIW"));
  const LONG answer = run != nullptr ? run(owner, provider, lParam, result) : -1;
  FreeLibrary(component);
  return answer;
}

LONG RunDocumentProperties(DWORD fMode, HWND window, HANDLE printer, LPWSTR deviceName, DEVMODEW* output,
                           DEVMODEW* input, PFNPROPSHEETUI provider) {
  DOCUMENTPROPERTYHEADER header{sizeof(DOCUMENTPROPERTYHEADER), 0, printer, deviceName, input, output,
                                kDocumentDevModeSize, fMode};
  if ((fMode & DM_PROMPT) == 0) return MergeDocumentSettings(&header);
  DWORD result = 0;
  if (CallCommonPropertySheetUI(window, provider, reinterpret_cast<LPARAM>(&header), &result) < 0) return -1;
  return static_cast<LONG>(result);
}

LONG PropertySheetCallback(void* header, int sheetKind, PROPSHEETUI_INFO* info, LPARAM lParam,
                           LPFNPSPCALLBACKW pageCallback) {
  if (info->Reason == PROPSHEETUI_REASON_INIT) return InitSheet(header, sheetKind, info, pageCallback);
  auto* data = reinterpret_cast<PageData*>(info->UserData);
  if (data == nullptr) return -1;
  switch (info->Reason) {
    case PROPSHEETUI_REASON_SET_RESULT: return 0;
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
      auto* sheetHeader = reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam);
      sheetHeader->Flags = kSheetHeaderFlags;
      sheetHeader->hInst = GetResourceModule();
      sheetHeader->IconID = kSheetIcon;
      sheetHeader->pTitle = SheetTitle(header, sheetKind, data);
      return 1;
    }
    case PROPSHEETUI_REASON_DESTROY: info->UserData = 0; return DestroySheet(data);
    default: return -1;
  }
}

UINT PropertyPageCallback(HWND, UINT, PROPSHEETPAGEW*) { return 1; }

LONG DocumentPropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam) {
  if (info == nullptr) {
    auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(lParam);
    return header != nullptr ? MergeDocumentSettings(header) : -1;
  }
  auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(info->lParamInit);
  if (header == nullptr) return -1;
  MirrorForUserLanguage();
  const LONG answer = PropertySheetCallback(header, kDocumentSheet, info, lParam, PropertyPageCallback);
  if (answer != 0) return answer;
  return StoreDocumentSheetResult(info, reinterpret_cast<const SETRESULT_INFO*>(lParam), header);
}

LONG DevicePropertySheets(PROPSHEETUI_INFO* info, LPARAM lParam) {
  if (info == nullptr || info->lParamInit == 0) return -1;
  auto* header = reinterpret_cast<DEVICEPROPERTYHEADER*>(info->lParamInit);
  const LONG answer = PropertySheetCallback(header, kDeviceSheet, info, lParam, PropertyPageCallback);
  if (answer != 0) return answer;
  if (!SaveDeviceSettings(reinterpret_cast<PageData*>(info->UserData))) return -1;
  info->Result = ULONG_PTR(reinterpret_cast<const SETRESULT_INFO*>(lParam)->Result);
  return 1;
}

BOOL ShowPrinterProperties(HWND parent, HANDLE printer, PFNPROPSHEETUI provider) {
  const DWORD probe = 1;
  const bool mayWrite = SetPrinterDataW(printer, u"Permission", REG_DWORD, reinterpret_cast<const BYTE*>(&probe),
                                        sizeof probe) == ERROR_SUCCESS;
  DEVICEPROPERTYHEADER header{sizeof(DEVICEPROPERTYHEADER), WORD(mayWrite ? 0 : DPS_NOPERMISSION), printer, nullptr};
  DWORD result = 0;
  CallCommonPropertySheetUI(parent, provider, reinterpret_cast<LPARAM>(&header), &result);
  return result != 0;
}
