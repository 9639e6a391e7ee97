// The main scan dialog (see scan_dialog.h): its life from MSG_ENABLEDS to MSG_DISABLEDS, its
// captions, the controls filled from the settings, and its dialog procedure.
#include "scanner/ui/scan_dialog.h"

#include <cstdio>
#include <string>

#include "platform/dialogs/htmlhelp.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/controls.h"
#include "platform/user/cursors.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"
#include "scanner/data_source.h"
#include "scanner/device.h"
#include "scanner/system_routines.h"
#include "scanner/ui/choice_tables.h"
#include "scanner/ui/level_controls.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/progress_window.h"
#include "scanner/ui/ui_text.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr UINT kTextDialogCaption = 3005;
constexpr UINT kTextDpi = 3090;
constexpr WORD kDialogIcon = 235;
constexpr WORD kCursorControls = 199;
constexpr WORD kCursorTrackBar = 200;
constexpr WORD kCursorDialog = 250;
// Captions are at most 63 characters.
constexpr int kCaptionBytes = 64;

struct CaptionRow {
  int Control;
  UINT StringId;
};
// Applied at WM_INITDIALOG.
constexpr CaptionRow kControlCaptionTable[] = {
    {1192, 3032}, {1194, 3034}, {1193, 6001}, {1168, 3036}, {1221, 4010}, {1220, 4003},
    {1209, 4004}, {1223, 6002}, {1224, 6003}, {1089, 4005}, {1044, 3040}, {1136, 3006},
    {1137, 3097}, {1033, 3007}, {1034, 3008}, {1174, 3009},
};
// Applied once the dialog exists.
constexpr CaptionRow kButtonCaptionTable[] = {
    {1136, 3006}, {1033, 3007}, {1034, 3008}, {1174, 3009}, {1181, 3010}, {1182, 3011}, {1183, 3012}, {1137, 3097},
};

constexpr int kNumberEdits[] = {kIdInputHigh, kIdInputLow, kIdGamma, kIdOutputHigh, kIdOutputLow, kIdThreshold};
constexpr int kLevelBars[] = {kIdInputBar, kIdOutputBar};
constexpr int kThresholdGroup[] = {kIdThresholdLabel, kIdThreshold, kIdThresholdBar, kIdThresholdStrip};
constexpr int kLevelsGroup[] = {kIdLevelsFrame, kIdCurveBox, kIdInputBar, kIdOutputBar, kIdInputLabel, kIdInputLow,
                                kIdGamma, kIdInputHigh, kIdOutputLabel, kIdOutputLow, kIdOutputHigh, kIdLevelsReset};
// The controls whose pointer is the dialog's hand cursor: its buttons and lists.
constexpr int kHandCursorControls[] = {kIdScan, kIdSourceCombo, kIdResolutionCombo, kIdTypeCombo, kIdUnitCombo,
                                       kIdAreaSizeCombo};

struct ScanDialog {
  HWND Window;
  HICON Icon;  // the layer makes a new icon for each load: destroyed with the dialog
  DWORD HelpCookie;
  BOOL FeederPresent;
};
ScanDialog g_Dialog{};

ScanSettings* SettingsOf(HWND dialog) { return reinterpret_cast<ScanSettings*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

void SetCaptions(HWND dialog, const CaptionRow* rows, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    char text[kCaptionBytes] = {};
    LoadLocalizedString(g_Instance, rows[i].StringId, text, sizeof text);
    SetDlgItemTextW(dialog, rows[i].Control, W(WidenUiText(text)));
  }
}

// Captions, the settings' address, the icon, the subclassed edits and bars.
void SetDialogCaptions(HWND dialog, ScanSettings* settings) {
  SetCaptions(dialog, kControlCaptionTable, std::size(kControlCaptionTable));
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(settings));
  g_Dialog.Icon = LoadIconW(g_Instance, MAKEINTRESOURCEW(kDialogIcon));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_Dialog.Icon));
  for (int id : kNumberEdits) InstallNumberEdit(dialog, GetDlgItem(dialog, id), id);
  for (int id : kLevelBars) InstallLevelBar(dialog, GetDlgItem(dialog, id), settings);
}

// Fills a list from a choice table (at most `rows` rows) and selects the row of the value.
void FillChoiceCombo(HWND dialog, int id, const ChoiceRow* table, LONG current, size_t rows, bool resolution) {
  HWND combo = GetDlgItem(dialog, id);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const std::u16string dpi = resolution ? LoadUiText(kTextDpi) : std::u16string();
  for (size_t i = 0; i < rows && table[i].Value != kEndOfChoices; ++i) {
    std::u16string text;
    if (resolution) {
      char number[16];
      std::snprintf(number, sizeof number, "%d ", static_cast<int>(table[i].Value));
      text = WidenUiText(number) + dpi;
    } else {
      text = LoadUiText(table[i].StringId);
    }
    const LRESULT index = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
    if (index < 0) continue;
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), table[i].Value);
    if (table[i].Value == current) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void ShowGroup(HWND dialog, const int* ids, size_t count, BOOL shown) {
  for (size_t i = 0; i < count; ++i) {
    HWND control = GetDlgItem(dialog, ids[i]);
    ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
    EnableWindow(control, shown);
  }
}

void RepaintControl(HWND dialog, int id) { InvalidateRect(GetDlgItem(dialog, id), nullptr, TRUE); }

// The pointer over the dialog and its controls: the hand over its buttons and lists, the
// marker cursor over the track bar, the dialog's own elsewhere; the wait cursor while a
// transfer runs. The cursors are answered here for the dialog's own windows only, so that
// the application's windows of the same classes keep theirs.
BOOL SetDialogCursor(HWND dialog, HWND under) {
  if (ProgressWindowOpen()) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return TRUE;
  }
  WORD cursor = 0;
  if (under == dialog) cursor = kCursorDialog;
  for (int id : kHandCursorControls)
    if (under != nullptr && under == GetDlgItem(dialog, id)) cursor = kCursorControls;
  if (under != nullptr && under == GetDlgItem(dialog, kIdThresholdBar)) cursor = kCursorTrackBar;
  if (cursor == 0) return FALSE;
  SetCursor(LoadCursorW(g_Instance, MAKEINTRESOURCEW(cursor)));
  return TRUE;
}

BOOL InitDialog(HWND dialog, ScanSettings* settings) {
  g_Dialog.FeederPresent = FeederPresent();
  SetDialogCaptions(dialog, settings);
  CreatePreviewWindow(dialog, settings);
  FillDialogControls(dialog, *settings);
  HtmlHelpA(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&g_Dialog.HelpCookie));
  return TRUE;
}

void EndDialogWindow(HWND dialog, ScanSettings* settings) {
  for (int id : kNumberEdits) RemoveNumberEdit(GetDlgItem(dialog, id));
  for (int id : kLevelBars) RemoveLevelBar(GetDlgItem(dialog, id));
  if (settings != nullptr) DestroyPreviewWindow(settings);
  if (g_Dialog.Icon != nullptr) DestroyIcon(g_Dialog.Icon);
  g_Dialog.Icon = nullptr;
  if (g_Dialog.HelpCookie != 0) {
    HtmlHelpA(nullptr, nullptr, HH_CLOSE_ALL, 0);
    HtmlHelpA(nullptr, nullptr, HH_UNINITIALIZE, g_Dialog.HelpCookie);
    g_Dialog.HelpCookie = 0;
  }
}

}  // namespace

HWND CreateScanDialog(ImageRecord& record) {
  if (!LoadDefaultScanMode(g_ScanSettings)) ResetScanSettings(g_ScanSettings);
  CopyNegotiatedSettings(g_ScanSettings, record);
  const WORD dialogTemplate =
      IsCjkCharset(g_ParentWindow) && !IsChineseCharset(g_ParentWindow) ? kScanDialogTemplateDoubleByte : kScanDialogTemplate;
  HWND dialog = CreateDialogParamW(g_Instance, MAKEINTRESOURCEW(dialogTemplate), g_ParentWindow, MainDialogProc,
                                   reinterpret_cast<LPARAM>(&g_ScanSettings));
  if (dialog == nullptr) return nullptr;
  g_Dialog.Window = dialog;
  SetWindowTextW(dialog, W(LoadUiText(kTextDialogCaption)));
  SetCaptions(dialog, kButtonCaptionTable, std::size(kButtonCaptionTable));
  SetWindowPos(dialog, g_ParentWindow, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  return dialog;
}

void DestroyScanDialog() {
  if (g_Dialog.Window != nullptr && IsWindow(g_Dialog.Window)) DestroyWindow(g_Dialog.Window);
  g_Dialog.Window = nullptr;
}

HWND ScanDialogWindow() { return g_Dialog.Window; }

void ActivateScanDialog() {
  if (g_Dialog.Window == nullptr) return;
  SetActiveWindow(g_Dialog.Window);
  SetForegroundWindow(g_Dialog.Window);
}

BOOL SuspendPreviewAnimation(BOOL stop) {
  if (g_Dialog.Window == nullptr) return 0;
  SendMessageW(g_Dialog.Window, stop ? PVM_STOPANIMATION : PVM_STARTANIMATION, 0, 0);
  return 1;
}

void FillDialogControls(HWND dialog, ScanSettings& s) {
  FillChoiceCombo(dialog, kIdUnitCombo, kUnitTable, s.DisplayUnit, std::size(kUnitTable), false);
  // Without a feeder the list offers the flatbed alone.
  FillChoiceCombo(dialog, kIdSourceCombo, kScanSourceTable, static_cast<LONG>(s.ScanFrom),
                  g_Dialog.FeederPresent ? std::size(kScanSourceTable) : 1, false);
  FillChoiceCombo(dialog, kIdResolutionCombo, kResolutionTable, s.XResolution, std::size(kResolutionTable), true);
  FillChoiceCombo(dialog, kIdTypeCombo, kOriginalTypeTable, s.OriginalType, std::size(kOriginalTypeTable), false);
  FillChoiceCombo(dialog, kIdAreaSizeCombo, kAreaSizeTable, s.AreaSizeCode, std::size(kAreaSizeTable), false);
  CheckDlgButton(dialog, kIdBackgroundRemoval, s.BackgroundRemoval ? BST_CHECKED : BST_UNCHECKED);
  SendDlgItemMessageW(dialog, kIdThreshold, EM_LIMITTEXT, 3, 0);
  ShowLevelValue(dialog, kIdThreshold, s.Threshold);
  EnableWindow(GetDlgItem(dialog, kIdZoomInTool), s.PreviewZoom < kMaxZoom);
  EnableWindow(GetDlgItem(dialog, kIdZoomOutTool), s.PreviewZoom > kMinZoom);
  SendMessageW(dialog, SDM_SHOWAREA, 0, 0);
  RepaintControl(dialog, kIdSourceIcon);
  RepaintControl(dialog, kIdResolutionIcon);
  RepaintControl(dialog, kIdTypeIcon);
  FillLevelControls(dialog, s);
  const BOOL text = s.OriginalType == 0;
  ShowGroup(dialog, kThresholdGroup, std::size(kThresholdGroup), text);
  ShowGroup(dialog, kLevelsGroup, std::size(kLevelsGroup), !text);
  if (s.OriginalType < std::size(kScanTypeOfOriginal)) s.ScanTypeCode = kScanTypeOfOriginal[s.OriginalType];
}

INT_PTR MainDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return InitDialog(dialog, reinterpret_cast<ScanSettings*>(lParam));
  ScanSettings* s = SettingsOf(dialog);
  if (s == nullptr) return FALSE;
  switch (msg) {
    case WM_COMMAND:
      HandleDialogCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      // The application is asked to disable the source; the dialog stays until it does.
      NotifyCloseRequest();
      return TRUE;
    case WM_SETCURSOR:
      if (!SetDialogCursor(dialog, reinterpret_cast<HWND>(wParam))) return FALSE;
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DRAWITEM:
      if (lParam == 0) return FALSE;
      return DrawDialogItem(dialog, *s, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (reinterpret_cast<HWND>(lParam) != GetDlgItem(dialog, kIdThresholdBar)) return FALSE;
      HandleThresholdScroll(dialog, *s, LOWORD(wParam));
      return TRUE;
    case SDM_SHOWAREA:
      ShowAreaDimensions(dialog, *s);
      return TRUE;
    case SDM_GETSIZETEXT:
      if (lParam != 0) EstimateImageSize(*s, reinterpret_cast<LPSTR>(lParam), kSizeTextChars);
      return TRUE;
    case SDM_REFRESH:
      FillDialogControls(dialog, *s);
      RepaintControl(dialog, kIdFrameTool);
      RepaintControl(dialog, kIdZoomInTool);
      RepaintControl(dialog, kIdZoomOutTool);
      return TRUE;
    case PVM_STOPANIMATION:
    case PVM_STARTANIMATION:
      if (s->PreviewWindow != nullptr) SendMessageW(s->PreviewWindow, msg, 0, 0);
      return TRUE;
    case WM_DESTROY:
      EndDialogWindow(dialog, s);
      return TRUE;
  }
  return FALSE;
}
