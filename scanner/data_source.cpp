// The data source's entry point, its dispatch tables, the TWAIN state machine, the control
// requests that are neither capabilities nor transfers, and the notifications to the source
// manager.
#include "scanner/data_source.h"

#include <cstring>

#include "platform/base/types.h"
#include "platform/kernel/module.h"
#include "platform/twain/twain.h"
#include "scanner/capabilities.h"
#include "scanner/color_transform.h"
#include "scanner/device.h"
#include "scanner/filter_library.h"
#include "scanner/scan_run.h"
#include "scanner/source_windows.h"
#include "scanner/system_routines.h"
#include "scanner/transfers.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"

HWND g_ParentWindow;

namespace {

TW_IDENTITY g_SourceIdentity;
TW_IDENTITY g_ApplicationIdentity;

constexpr char kSourceManager[] = "TWAIN_32.DLL";
constexpr char kSourceManagerEntry[] = "DSM_Entry";
constexpr UINT kTextManufacturer = 0;
constexpr UINT kTextProductFamily = 1;
constexpr UINT kTextProductName = 2;
constexpr UINT kTextVersionInfo = 3;
constexpr TW_UINT16 kLanguage = 68;

// Loads the source manager for one call, sends a notification and frees it; nothing is sent
// when the library or its entry is missing.
void SendToSourceManager(TW_UINT16 message) {
  HMODULE manager = LoadLibraryA(kSourceManager);
  if (manager == nullptr) return;
  const auto entry = reinterpret_cast<DSMENTRYPROC>(GetProcAddress(manager, kSourceManagerEntry));
  if (entry != nullptr) entry(&g_SourceIdentity, &g_ApplicationIdentity, DG_CONTROL, DAT_NULL, message, nullptr);
  FreeLibrary(manager);
}

void BuildSourceIdentity() {
  std::memset(&g_SourceIdentity, 0, sizeof g_SourceIdentity);
  TW_VERSION& v = g_SourceIdentity.Version;
  v.MajorNum = 1;
  v.MinorNum = 0;
  v.Language = kLanguage;
  v.Country = TWCY_JAPAN;
  LoadLocalizedString(g_Instance, kTextVersionInfo, v.Info, sizeof v.Info);
  g_SourceIdentity.ProtocolMajor = 1;
  g_SourceIdentity.ProtocolMinor = 8;
  g_SourceIdentity.SupportedGroups = DG_CONTROL | DG_IMAGE;
  LoadLocalizedString(g_Instance, kTextManufacturer, g_SourceIdentity.Manufacturer, sizeof g_SourceIdentity.Manufacturer);
  LoadLocalizedString(g_Instance, kTextProductFamily, g_SourceIdentity.ProductFamily,
                      sizeof g_SourceIdentity.ProductFamily);
  LoadLocalizedString(g_Instance, kTextProductName, g_SourceIdentity.ProductName, sizeof g_SourceIdentity.ProductName);
}

// MSG_OPENDS: one application at a time; the scanner is probed with an open and a close.
TW_UINT16 OpenDataSource(const Triplet& t) {
  if (g_ApplicationIdentity.Id != 0) return RefuseRequest(TWCC_MAXCONNECTIONS);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  std::memcpy(&g_ApplicationIdentity, t.Origin, sizeof g_ApplicationIdentity);
  std::memcpy(&g_SourceIdentity, t.Data, sizeof g_SourceIdentity);
  LoadLocaleText(g_Instance);
  // The stored scan mode and the store's switches apply to scans without the dialog as well.
  LoadDefaultScanMode(g_ScanSettings);
  const BOOL opened = OpenDevice();
  CloseDevice();
  if (!opened) {
    // A refused open leaves no application connected, so it can try again.
    g_ApplicationIdentity.Id = 0;
    CurrentImageRecord().DeviceOnline = 0;
    return RefuseRequest(TWCC_NODS);
  }
  SetImageRecordDefaults(CurrentImageRecord());
  CurrentImageRecord().DeviceOnline = 1;
  SetSourceState(kState4Open);
  return TWRC_SUCCESS;
}

TW_UINT16 HandleIdentity(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  switch (t.Message) {
    case MSG_GET:
      if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
      std::memcpy(t.Data, &g_SourceIdentity, sizeof g_SourceIdentity);
      return TWRC_SUCCESS;
    case MSG_OPENDS:
      if (!InState({3})) return RefuseRequest(TWCC_SEQERROR);
      return OpenDataSource(t);
    case MSG_CLOSEDS:
      if (!InState({4, 5, 6, 7})) return RefuseRequest(TWCC_SEQERROR);
      // Closing from states 5 to 7 ends the dialog, the scan run and the device first.
      if (!InState({4})) EndConnectionWork();
      g_ApplicationIdentity.Id = 0;
      CurrentImageRecord().DeviceOnline = 0;
      SetSourceState(kState3Closed);
      return TWRC_SUCCESS;
    default:
      return RefuseRequest(TWCC_BADPROTOCOL);
  }
}

TW_UINT16 HandleUserInterface(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_ENABLEDS && t.Message != MSG_DISABLEDS) return RefuseRequest(TWCC_BADPROTOCOL);
  if (t.Message == MSG_DISABLEDS) {
    if (!InState({5, 6, 7})) return RefuseRequest(TWCC_SEQERROR);
    EndConnectionWork();
    SetSourceState(kState4Open);
    return TWRC_SUCCESS;
  }
  if (!InState({4})) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* ui = static_cast<TW_USERINTERFACE*>(t.Data);
  g_ParentWindow = static_cast<HWND>(ui->hParent);
  if (ui->ShowUI) {
    ui->ModalUI = FALSE;
    if (CurrentSourceWindows().createScanDialog(CurrentImageRecord()) == nullptr) return RefuseRequest(TWCC_LOWMEMORY);
    SetSourceState(kState5Enabled);
    return TWRC_SUCCESS;
  }
  NotifyXferReady(nullptr, nullptr, CurrentImageRecord().Indicators);
  return TWRC_SUCCESS;
}

TW_UINT16 HandleCapability(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  switch (t.Message) {
    case MSG_GET:
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT:
    case MSG_QUERYSUPPORT:
      if (!InState({4, 5, 6, 7})) return RefuseRequest(TWCC_SEQERROR);
      break;
    case MSG_SET:
    case MSG_RESET:
      if (!InState({4})) return RefuseRequest(TWCC_SEQERROR);
      break;
    default:
      return RefuseRequest(TWCC_BADPROTOCOL);
  }
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  return DispatchCapability(*static_cast<TW_CAPABILITY*>(t.Data), t.Message, CurrentImageRecord());
}

TW_UINT16 HandleStatus(const Triplet& t) {
  if (t.Message != MSG_GET) return RefuseRequest(TWCC_BADPROTOCOL);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* status = static_cast<TW_STATUS*>(t.Data);
  status->ConditionCode = ConditionCode();
  status->Reserved = 0;
  SetConditionCode(TWCC_SUCCESS);
  return TWRC_SUCCESS;
}

TW_UINT16 HandlePendingXfers(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET && t.Message != MSG_RESET && t.Message != MSG_ENDXFER)
    return RefuseRequest(TWCC_BADPROTOCOL);
  const bool get = t.Message == MSG_GET;
  if (!(get ? InState({4, 5, 6, 7}) : InState({6, 7})) || (t.Message == MSG_RESET && !InState({6})))
    return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  auto* pending = static_cast<TW_PENDINGXFERS*>(t.Data);
  SHORT& count = CurrentImageRecord().PendingTransferCount;
  SHORT answer = 0;
  if (get) {
    if (InState({4, 5})) {
      count = -1;
      answer = -1;
    } else {
      // In state 6 the question resets the count: transfers then go on while the feeder
      // has paper.
      if (InState({6})) count = 0;
      answer = FeederHasPaper() ? -1 : 0;
    }
  } else if (InState({6})) {
    count = 0;
    SetSourceState(kState5Enabled);
  } else {
    // MSG_ENDXFER after a transfer. An image the application stopped early ends here; with no
    // further page on the bed or in the feeder nothing is pending any more.
    if (ScanRunActive()) EndTransferRun();
    if (count == -1 && !FeederHasPaper()) count = 0;
    answer = count;
    if (count == 0) {
      EndScanRun();
      SetSourceState(kState5Enabled);
    } else {
      SetSourceState(kState6TransferReady);
    }
  }
  pending->Count = static_cast<TW_UINT16>(answer);
  return TWRC_SUCCESS;
}

TW_UINT16 HandleXferGroup(const Triplet& t) {
  SetConditionCode(TWCC_SUCCESS);
  if (t.Message != MSG_GET && t.Message != MSG_GETCURRENT && t.Message != MSG_GETDEFAULT && t.Message != MSG_RESET)
    return RefuseRequest(TWCC_BADPROTOCOL);
  if (!InState({4, 5, 6})) return RefuseRequest(TWCC_SEQERROR);
  if (t.Data == nullptr) return RefuseRequest(TWCC_BADVALUE);
  const TW_UINT32 group = DG_IMAGE;
  std::memcpy(t.Data, &group, sizeof group);
  return TWRC_SUCCESS;
}

constexpr TwainDispatchRow kControlTable[] = {
    {DAT_IDENTITY, HandleIdentity},
    {DAT_USERINTERFACE, HandleUserInterface},
    {DAT_CAPABILITY, HandleCapability},
    {DAT_STATUS, HandleStatus},
    {DAT_PENDINGXFERS, HandlePendingXfers},
    {DAT_SETUPMEMXFER, HandleSetupMemXfer},
    {DAT_SETUPFILEXFER, HandleSetupFileXfer},
    {DAT_XFERGROUP, HandleXferGroup},
    {0, nullptr},
};

constexpr TwainDispatchRow kImageTable[] = {
    {DAT_IMAGEINFO, HandleImageInfo},
    {DAT_IMAGELAYOUT, HandleImageLayout},
    {DAT_IMAGEMEMXFER, HandleImageMemXfer},
    {DAT_IMAGENATIVEXFER, HandleImageNativeXfer},
    {DAT_IMAGEFILEXFER, HandleImageFileXfer},
    {DAT_PALETTE8, HandlePalette8},
    {0, nullptr},
};

// A request of an application other than the connected one: refused, and its status tells it
// that the source serves one application at a time. The connected application's condition
// code is not touched.
TW_UINT16 AnswerOtherApplication(TW_UINT32 group, TW_UINT16 type, TW_UINT16 message, TW_MEMREF data) {
  if (group == DG_CONTROL && type == DAT_STATUS && message == MSG_GET && data != nullptr) {
    auto* status = static_cast<TW_STATUS*>(data);
    status->ConditionCode = TWCC_MAXCONNECTIONS;
    status->Reserved = 0;
    return TWRC_SUCCESS;
  }
  return TWRC_FAILURE;
}

}  // namespace

TW_UINT16 DispatchTriplet(const Triplet& t, const TwainDispatchRow* table) {
  for (const TwainDispatchRow* row = table; row->Handler != nullptr; ++row)
    if (row->Type == t.Type) return row->Handler(t);
  return RefuseRequest(TWCC_BADPROTOCOL);
}

TW_UINT16 EnterDataSource(pTW_IDENTITY origin, TW_UINT32 group, TW_UINT16 type, TW_UINT16 message, TW_MEMREF data) {
  if (origin == nullptr) return RefuseRequest(TWCC_BADPROTOCOL);
  if (g_ApplicationIdentity.Id != 0 && origin->Id != g_ApplicationIdentity.Id) return AnswerOtherApplication(group, type, message, data);
  if (message == MSG_PROCESSEVENT) {
    // The source's windows get their messages first; it never reports through TWMessage.
    auto* event = static_cast<TW_EVENT*>(data);
    auto* msg = event != nullptr ? static_cast<MSG*>(event->pEvent) : nullptr;
    const SourceWindows& windows = CurrentSourceWindows();
    HWND dialog = windows.scanDialogWindow(), progress = windows.progressDialogWindow();
    if (msg != nullptr && ((dialog != nullptr && IsDialogMessageW(dialog, msg)) ||
                           (progress != nullptr && IsDialogMessageW(progress, msg)))) {
      event->TWMessage = MSG_NULL;
      return TWRC_DSEVENT;
    }
    return TWRC_NOTDSEVENT;
  }
  if (group != DG_CONTROL && type != DAT_STATUS) SetConditionCode(TWCC_SUCCESS);
  const Triplet t{origin, group, type, message, data};
  if (group == DG_CONTROL) return DispatchTriplet(t, kControlTable);
  if (group == DG_IMAGE) return DispatchTriplet(t, kImageTable);
  return RefuseRequest(TWCC_BADPROTOCOL);
}

void NotifyXferReady(const ScanSettings* settings, const void*, BOOL showProgress) {
  CurrentSourceWindows().setProgressShown(showProgress);
  if (settings != nullptr) {
    SaveDefaultScanMode(*settings);
    BuildImageRecord(*settings, CurrentImageRecord());
  }
  if (CurrentImageRecord().PendingTransferCount == 0) CurrentImageRecord().PendingTransferCount = -1;
  SetSourceState(kState6TransferReady);
  SendToSourceManager(MSG_XFERREADY);
}

void NotifyCloseRequest() { SendToSourceManager(MSG_CLOSEDSREQ); }

void EndConnectionWork() {
  if (ScanRunActive()) EndTransferRun();
  CurrentSourceWindows().destroyScanDialog();
  EndScanRun();
}

void AttachDataSource(HINSTANCE instance) {
  g_Instance = instance;
  g_ApplicationIdentity = TW_IDENTITY{};
  SetSourceState(kState3Closed);
  SetConditionCode(TWCC_SUCCESS);
  g_ParentWindow = nullptr;
  CurrentSourceWindows().setProgressShown(TRUE);
  CurrentImageRecord() = ImageRecord{};
  LoadLocaleText(instance);
  BuildSourceIdentity();
  LoadFilterLibrary();
  DisableThreadLibraryCalls(instance);
}

void DetachDataSource() {
  EndConnectionWork();
  UnloadFilterLibrary();
  FreeDeviceBandBuffer();
  UnloadLocaleText();
  ReleaseColorTransform();
  CurrentSourceWindows().unregisterWindowClasses();
}
