#include "graphics/ddi/pdev_lifecycle.h"

#include <cstring>
#include <string>

#include "core/database/database.h"
#include "core/descriptors/item_defaults.h"
#include "core/fonts/font_sub_table.h"
#include "core/fonts/font_sub_table_build.h"
#include "core/persist/printer_config.h"
#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/store/effective_values.h"
#include "core/store/item_store.h"
#include "graphics/ddi/data_access.h"
#include "graphics/ddi/device_fonts.h"
#include "graphics/ddi/device_info.h"
#include "graphics/ddi/direct_mode.h"
#include "graphics/ddi/document_job.h"
#include "graphics/ddi/escape_blocks.h"
#include "graphics/device/paper_layout.h"
#include "graphics/device/pdev_item_store.h"
#include "graphics/device/pdev_settings.h"
#include "graphics/output/temp_job_store.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/engine/engine.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

constexpr SIZE_T kPdevHeapInitialSize = 8192;
constexpr DWORD kSectionDriverKey = 30;

template <typename T>
T* HeapNew(HANDLE heap) {
  return static_cast<T*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, sizeof(T)));
}

// A device mode this module can read: the public part of this platform's size and at least the
// settings record's private bytes behind it.
bool IsReadableDevmode(const DEVMODEW* devMode) {
  return devMode != nullptr && devMode->dmSize == sizeof(DEVMODEW) && devMode->dmDriverExtra >= kDevmodeDriverExtra;
}

// Opens the model's description database named by the printer's driver information into two
// stream objects of the device's heap.
BOOL OpenModelDatabase(Pdev* pdev) {
  LockSlotGuard guard(kLockDatabase);
  pdev->database = HeapNew<DatabaseStream>(pdev->heap);
  pdev->linkedDatabase = HeapNew<DatabaseStream>(pdev->heap);
  if (pdev->database == nullptr || pdev->linkedDatabase == nullptr) return FALSE;
  DWORD needed = 0;
  if (GetPrinterDriverW(pdev->printer, nullptr, 2, nullptr, 0, &needed) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0)
    return FALSE;
  auto* info = static_cast<BYTE*>(HeapAlloc(pdev->heap, HEAP_ZERO_MEMORY, needed));
  if (info == nullptr) return FALSE;
  BOOL ok = GetPrinterDriverW(pdev->printer, nullptr, 2, info, needed, &needed);
  if (ok) {
    const auto* driver = reinterpret_cast<const DRIVER_INFO_2W*>(info);
    ok = driver->pDataFile != nullptr &&
         OpenDescriptionDatabase(driver->pDataFile, 0, pdev->database, pdev->linkedDatabase) == kDbOk;
  }
  HeapFree(pdev->heap, 0, info);
  return ok;
}

// The margin block of an application's device mode: read when the device mode's margins item
// is on and it carries the block; dmDriverExtra is then set back to the plain private size.
bool TakeMarginBlock(Pdev* pdev, DEVMODEW* devMode, MarginBlock* block) {
  if (devMode->dmDriverExtra != kDevmodeDriverExtraWithMargins) return false;
  std::memcpy(pdev->settings.bytes, devMode, kSettingsRecordShortSize);
  if (GetEffectiveItemNumber(&pdev->settings, nullptr, kItemPerPaperMargins) != 1) return false;
  std::memcpy(block, reinterpret_cast<const BYTE*>(devMode) + kSettingsRecordShortSize, sizeof *block);
  devMode->dmDriverExtra = kDevmodeDriverExtra;
  return true;
}

}  // namespace

BOOL IsPdevValid(const Pdev* pdev) { return pdev != nullptr && pdev->tag == kPdevTag && pdev->tailTag == kPdevTag; }

BOOL ReadDevmodeSettings(Pdev* pdev, const DEVMODEW* devMode) {
  pdev->ddiState = 0;
  pdev->tag = pdev->tailTag = kPdevTag;
  pdev->config = HeapNew<PrinterConfiguration>(pdev->heap);
  if (pdev->config == nullptr) return FALSE;
  ItemStore* store = ItemStoreFromStreams(pdev->database, pdev->linkedDatabase);
  if (store == nullptr) return FALSE;
  // The per-user base text comes from the database the device has open already, so the
  // configuration's per-user part does not open the model a second time.
  LPWSTR userBase = nullptr;
  if (ReadDriverText(pdev->database, kDbDriverTextUserBase, &userBase) != kDbOk) userBase = nullptr;
  BOOL ok = LoadPrinterConfiguration(pdev->printer, pdev->config, store, userBase);
  if (userBase != nullptr) ReleaseGlobalBlock(userBase);
  if (ok) {
    std::memcpy(pdev->settings.bytes, devMode, kSettingsRecordShortSize);
    // The private part must be this driver's: its header items pass their checks.
    ok = ValidateDevmodeHeader(&pdev->settings);
    }
  ok = ok && SelectPaperLayouts(pdev);
  if (ok) {
    pdev->copies = static_cast<SHORT>(GetPdevSettingWord(pdev, kItemCopies));
    pdev->fontSubstitution = ReadStoredFontSubTable(pdev->printer);
    if (pdev->fontSubstitution == nullptr)
      pdev->fontSubstitution = BuildFontSubTableFromData(pdev->database, pdev->linkedDatabase);
    ok = pdev->fontSubstitution != nullptr;
  }
  if (ok) {
    pdev->logicalResolution = GetDeviceResolution(pdev) * GetDeviceScale(pdev) / 100;
    pdev->escapeDrivenJob = 0;
    pdev->faxModel = GetModelKind(store) == 2;
  }
  FreeItemStore(store);
  return ok;
}

Pdev* HandleEnablePdev(DEVMODEW* devMode, LPWSTR, ULONG patternCount, HSURF* patterns, ULONG gdiInfoSize,
                       ULONG* gdiInfo, ULONG devInfoSize, DEVINFO* devInfo, HDEV device, LPWSTR, HANDLE printer) {
  if (gdiInfo == nullptr || devInfo == nullptr || device == nullptr || printer == nullptr) return nullptr;
  // The engine always hands a device mode; one this module cannot read fails the device.
  if (!IsReadableDevmode(devMode)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HANDLE heap = HeapCreate(0, kPdevHeapInitialSize, 0);
  if (heap == nullptr) return nullptr;
  auto* pdev = HeapNew<Pdev>(heap);
  if (pdev == nullptr) {
    HeapDestroy(heap);
    return nullptr;
  }
  pdev->heap = heap;
  pdev->printer = printer;
  pdev->engineDevice = device;
  if (!LoadDataAccessModule(GetModuleInstance())) {
    FreePdev(pdev);
    UnloadDataAccessModule();
    return nullptr;
  }
  AcquireResourceModule();
  MarginBlock margins{};
  const bool hasMargins = TakeMarginBlock(pdev, devMode, &margins);
  bool ok = OpenModelDatabase(pdev);
  if (ok) {
    // A device without its fonts still prints: their failure does not fail the device.
    LoadDeviceFonts(pdev);
    ok = ReadDevmodeSettings(pdev, devMode);
  }
  ok = ok && FillDeviceInfo(pdev, hasMargins ? &margins : nullptr, gdiInfoSize, reinterpret_cast<GDIINFO*>(gdiInfo));
  ok = ok && CreateDevicePalette(pdev, devInfoSize, devInfo);
  if (!ok) {
    if (pdev->palette != nullptr) EngDeletePalette(pdev->palette);
    FreePdev(pdev);
    ReleaseResourceModule();
    UnloadDataAccessModule();
    return nullptr;
  }
  if (patterns != nullptr) std::memset(patterns, 0, sizeof(HSURF) * patternCount);
  InitDirectModeDefaults(pdev);
  // The model's driver key names the registrations of the temporary job store's files.
  // Its sub keys follow it directly, so it ends with a separator.
  LPWSTR driverKey = nullptr;
  if (ReadSectionString(pdev->database, kSectionDriverKey, 0, &driverKey) == kDbOk && driverKey != nullptr) {
    std::u16string key(driverKey);
    if (!key.empty() && key.back() != u'\\') key += u'\\';
    SetTempRegistryKey(key.c_str());
    ReleaseGlobalBlock(driverKey);
  }
  return pdev;
}

void HandleCompletePdev(Pdev* pdev, HDEV device) {
  if (IsPdevValid(pdev)) pdev->engineDevice = device;
}

HSURF HandleEnableSurface(Pdev* pdev) {
  if (!IsPdevValid(pdev)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const LONG resolution = GetDeviceResolution(pdev);
  const PaperLayout& page = pdev->pageLayout;
  const SIZEL size{LayoutUnitsToPixels(page.right - page.left, resolution),
                   LayoutUnitsToPixels(page.bottom - page.top, resolution)};
  HSURF surface = EngCreateDeviceSurface(reinterpret_cast<DHSURF>(pdev), size, BMF_24BPP);
  if (surface == nullptr) return nullptr;
  if (!EngAssociateSurface(surface, pdev->engineDevice, kDeviceSurfaceHooks)) {
    EngDeleteSurface(surface);
    return nullptr;
  }
  pdev->surface = surface;
  return surface;
}

void HandleDisableSurface(Pdev* pdev) {
  if (!IsPdevValid(pdev)) return;
  CloseDocumentJob(pdev);
  if (pdev->surface != nullptr) EngDeleteSurface(pdev->surface);
  pdev->surface = nullptr;
}

void HandleDisablePdev(Pdev* pdev) {
  if (!IsPdevValid(pdev)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    ReleaseResourceModule();
    return;
  }
  CloseDocumentJob(pdev);
  if (pdev->palette != nullptr) EngDeletePalette(pdev->palette);
  FreePdev(pdev);
  ReleaseResourceModule();
  UnloadDataAccessModule();
}

void FreePdev(Pdev* pdev) {
  FreeEscapeBlocks(pdev);
  if (pdev->fontSubstitution != nullptr) GlobalFree(pdev->fontSubstitution);
  if (pdev->config != nullptr) HeapFree(pdev->heap, 0, pdev->config);
  if (pdev->database != nullptr && pdev->linkedDatabase != nullptr)
    CloseDatabaseStreams(pdev->database, pdev->linkedDatabase);
  FreePaperLayoutRecord(&pdev->sheetLayout);
  FreePaperLayoutRecord(&pdev->pageLayout);
  HeapDestroy(pdev->heap);
}

BOOL HandleResetPdev(Pdev* oldPdev, Pdev* newPdev) {
  if (!IsPdevValid(oldPdev) || !IsPdevValid(newPdev)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((oldPdev->ddiState & kDdiDocStarted) == 0 && oldPdev->escapeDrivenJob == 0) {
    newPdev->pageSettings = oldPdev->pageSettings;
    return TRUE;
  }
  return MoveDocumentToReset(oldPdev, newPdev);
}
