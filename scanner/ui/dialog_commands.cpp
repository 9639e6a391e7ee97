// The scan dialog's commands: buttons, lists, the pictures that step the lists, the source
// change with its kept areas, the image limits checked before a scan, and the help file.
#include <string>

#include "platform/dialogs/htmlhelp.h"
#include "platform/kernel/files.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/module.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "scanner/connection.h"
#include "scanner/data_source.h"
#include "scanner/device.h"
#include "scanner/scan_run.h"
#include "scanner/system_routines.h"
#include "scanner/ui/level_controls.h"
#include "scanner/ui/preview_scan.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/scan_dialog.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr UINT kTextLimitCaption = 1041;
constexpr UINT kTextLimitWarning = 1078;
constexpr DWORD kMaxImagePixels = 30000;           // either direction, exclusive
constexpr ULONGLONG kMaxImageArea = 217999999;     // width x length, inclusive
constexpr int kTextBytes = 512;

// The value of the list's selected row: FALSE when nothing is selected.
BOOL SelectedValue(HWND dialog, int id, LONG& value) {
  const LRESULT index = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return FALSE;
  value = static_cast<LONG>(SendDlgItemMessageW(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  return TRUE;
}

void PostToPreview(const ScanSettings& s, UINT msg) {
  if (s.PreviewWindow != nullptr) PostMessageW(s.PreviewWindow, msg, 0, 0);
}

// A picture beside a list steps the list: the sources and original types to the next row
// (after the last back to the first), the resolutions to the previous row (from the first to
// the last); the list then reports the choice as a user's would.
void StepCombo(HWND dialog, int comboId, int step) {
  HWND combo = GetDlgItem(dialog, comboId);
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  if (count <= 0) return;
  LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) index = 0;
  index = (index + step + count) % count;
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_DROPDOWN), reinterpret_cast<LPARAM>(combo));
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

void RepaintTools(HWND dialog) {
  for (int id : {kIdFrameTool, kIdZoomInTool, kIdZoomOutTool}) InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE);
}

void HandleComboChoice(HWND dialog, ScanSettings& s, int id) {
  LONG value = 0;
  if (!SelectedValue(dialog, id, value)) return;
  switch (id) {
    case kIdResolutionCombo:
      s.XResolution = s.YResolution = value;
      FillDialogControls(dialog, s);
      PostToPreview(s, PVM_REDRAW);
      break;
    case kIdTypeCombo:
      s.OriginalType = static_cast<WORD>(value);
      FillDialogControls(dialog, s);
      PostToPreview(s, PVM_RERENDER);
      PostToPreview(s, PVM_REDRAW);
      break;
    case kIdSourceCombo:
      ChangeScanSource(s, static_cast<DWORD>(value));
      FillDialogControls(dialog, s);
      break;
    case kIdUnitCombo:
      s.DisplayUnit = static_cast<WORD>(value);
      PostToPreview(s, PVM_REDRAW);
      SendMessageW(dialog, SDM_SHOWAREA, 0, 0);
      ShowAreaDimensions(dialog, s);
      break;
    case kIdAreaSizeCombo:
      s.AreaSizeCode = static_cast<WORD>(value);
      SetAreaFromSizeCode(s);
      FillDialogControls(dialog, s);
      PostToPreview(s, PVM_REDRAW);
      break;
  }
}

// The file can be opened for reading.
bool Readable(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

}  // namespace

void HandleDialogCommand(HWND dialog, ScanSettings& s, int id, WORD code) {
  if (HandleLevelCommand(dialog, s, id, code)) return;
  switch (id) {
    case kIdResolutionCombo:
    case kIdTypeCombo:
    case kIdSourceCombo:
    case kIdUnitCombo:
    case kIdAreaSizeCombo:
      if (code == CBN_SELENDOK) HandleComboChoice(dialog, s, id);
      return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case kIdPreview:
    case kCommandPreview:
      g_PreviewRequested = TRUE;
      RunPreviewScan(dialog, s);
      // The preview's tone handling ends with it: a transfer the application starts later
      // (even after a preview in state 6) processes its image as a scan.
      g_PreviewRequested = FALSE;
      break;
    case kIdScan:
    case kCommandScan:
      g_PreviewRequested = FALSE;
      if (!CheckImageLimits(dialog, s)) break;
      NotifyXferReady(&s, nullptr, TRUE);
      break;
    case kIdSourceIcon: StepCombo(dialog, kIdSourceCombo, 1); break;
    case kIdResolutionIcon: StepCombo(dialog, kIdResolutionCombo, -1); break;
    case kIdTypeIcon: StepCombo(dialog, kIdTypeCombo, 1); break;
    case kIdBackgroundRemoval:
      s.BackgroundRemoval = s.BackgroundRemoval ? 0 : 1;
      FillDialogControls(dialog, s);
      break;
    case kIdFrameTool:
    case kIdZoomInTool:
    case kIdZoomOutTool:
      s.PreviewTool = static_cast<WORD>(id == kIdFrameTool ? kToolFrame : id == kIdZoomInTool ? kToolZoomIn : kToolZoomOut);
      RepaintTools(dialog);
      break;
    case kIdDefaults:
      ChangeScanSource(s, 0);
      SetScanDefaults(s);
      SendMessageW(dialog, SDM_REFRESH, 0, 0);
      PostToPreview(s, PVM_REDRAW);
      PostToPreview(s, PVM_RERENDER);
      break;
    case kIdAbout: ShowAboutBox(dialog); break;
    case kIdHelp: OpenHelpFile(); break;
    case kIdClose: PostMessageW(dialog, WM_CLOSE, 0, 0); break;
    case kCommandMinimize: ShowWindow(dialog, SW_MINIMIZE); break;
  }
}

void ChangeScanSource(ScanSettings& s, DWORD source) {
  const int from = static_cast<LONG>(s.ScanFrom) <= 0 ? 0 : 1;
  s.SavedScanArea[from] = s.ScanArea;
  s.SavedPreviewArea[from] = s.PreviewArea;
  s.ScanFrom = source;
  const int to = static_cast<LONG>(source) <= 0 ? 0 : 1;
  s.ScanArea = s.SavedScanArea[to];
  s.PreviewArea = s.SavedPreviewArea[to];
  if (s.PreviewWindow != nullptr) {
    UpdateScrollBars(s.PreviewWindow, s);
    InvalidateRect(s.PreviewWindow, nullptr, TRUE);
  }
}

BOOL CheckImageLimits(HWND dialog, const ScanSettings& s) {
  // The record the scan would build, made on a copy: the application's stays as it is.
  ImageRecord record = CurrentImageRecord();
  const BOOL built = BuildImageRecord(s, record);
  if (built && record.Width < kMaxImagePixels && record.Height < kMaxImagePixels &&
      static_cast<ULONGLONG>(record.Width) * record.Height <= kMaxImageArea)
    return TRUE;
  char text[kTextBytes] = {}, caption[kTextBytes] = {};
  LoadLocalizedString(g_Instance, kTextLimitWarning, text, sizeof text);
  LoadLocalizedString(g_Instance, kTextLimitCaption, caption, sizeof caption);
  MessageBoxA(dialog, text, caption, MB_SYSTEMMODAL | MB_ICONWARNING);
  return FALSE;
}

void OpenHelpFile() {
  char module[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(g_Instance, module, sizeof module);
  if (length == 0 || length >= sizeof module) return;
  std::string path(module, length);
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos) path.resize(dot);
  const size_t slash = path.rfind('\\');
  const std::string directory = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string folder = directory + "LOCALE\\";
  std::string help = folder + base + GetHelpLocaleTag() + ".chm";
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(help.c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    found.cFileName[MAX_PATH - 1] = '\0';
    help = folder + found.cFileName;  // the name as stored
    FindClose(search);
  }
  if (!Readable(help)) help = folder + base + "ENU" + ".chm";
  HtmlHelpA(nullptr, help.c_str(), HH_DISPLAY_TOC, 0);
}
