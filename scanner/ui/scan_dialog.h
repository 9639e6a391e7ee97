// The main scan dialog: the modeless dialog that an application's MSG_ENABLEDS with its user
// interface opens. The user picks the source, resolution, original type, unit and area size,
// previews the bed, adjusts the crop frame and the tone settings, and presses Scan. It edits
// the module-wide ScanSettings in place and lives until MSG_DISABLEDS.
#pragma once

#include "platform/base/types.h"
#include "platform/user/controls.h"
#include "scanner/image_record.h"
#include "scanner/scan_settings.h"

// Dialog templates: the dialog and the about box, each with a form of its own for the Japanese
// and Korean character sets (laid out for their captions).
constexpr WORD kScanDialogTemplate = 107;
constexpr WORD kScanDialogTemplateDoubleByte = 1021;
constexpr WORD kAboutTemplate = 238;
constexpr WORD kAboutTemplateDoubleByte = 1022;

// Controls.
constexpr int kIdPreview = 1033;
constexpr int kIdScan = 1034;
constexpr int kIdClose = 1174;
constexpr int kIdAbout = 1136;
constexpr int kIdHelp = 1137;
constexpr int kIdDefaults = 1044;
constexpr int kIdSourceIcon = 1095;
constexpr int kIdResolutionIcon = 1091;
constexpr int kIdTypeIcon = 1090;
constexpr int kIdSourceCombo = 1171;
constexpr int kIdResolutionCombo = 1037;
constexpr int kIdTypeCombo = 1038;
constexpr int kIdUnitCombo = 1172;
constexpr int kIdAreaSizeCombo = 1173;
constexpr int kIdBackgroundRemoval = 1168;
constexpr int kIdThresholdLabel = 1221;
constexpr int kIdThresholdStrip = 1177;
constexpr int kIdLevelsFrame = 1222;
constexpr int kIdInputLabel = 1220;
constexpr int kIdOutputLabel = 1209;
constexpr int kIdWidthReadout = 1144;
constexpr int kIdLengthReadout = 1145;
constexpr int kIdSizeReadout = 1146;
// Menu commands that stand for Preview, Scan and minimising the dialog.
constexpr int kCommandPreview = 40010;
constexpr int kCommandScan = 40011;
constexpr int kCommandMinimize = 40012;

constexpr int kSizeTextChars = 80;

// Opened at MSG_ENABLEDS with ShowUI TRUE: the stored scan mode (else the reset settings), what
// the application negotiated, the dialog shown behind the application's window. Null when the
// dialog cannot be made.
HWND CreateScanDialog(ImageRecord& record);
// At MSG_DISABLEDS: the dialog destroyed when it exists.
void DestroyScanDialog();
HWND ScanDialogWindow();
// After a scan failure: the dialog made the active and foreground window.
void ActivateScanDialog();
// Stops (TRUE) or restarts the preview's frame animation around a transfer: 0 without a dialog.
BOOL SuspendPreviewAnimation(BOOL stop);
INT_PTR MainDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

// The dialog's parts.
void FillDialogControls(HWND dialog, ScanSettings& settings);
void HandleDialogCommand(HWND dialog, ScanSettings& settings, int id, WORD code);
BOOL DrawDialogItem(HWND dialog, const ScanSettings& settings, const DRAWITEMSTRUCT& item);
// Keeps the scan and preview areas of the source left and takes those of the new one.
void ChangeScanSource(ScanSettings& settings, DWORD source);
// The width and length read-outs in the display unit, and the size read-out.
void ShowAreaDimensions(HWND dialog, const ScanSettings& settings);
// The image size the settings give ("12.3MB", "456.7KB"); empty for scan types without an
// estimate.
void EstimateImageSize(const ScanSettings& settings, LPSTR text, int size);
// Whether the image the settings give stays within what a transfer can deliver: TRUE, or
// FALSE after the warning was shown.
BOOL CheckImageLimits(HWND dialog, const ScanSettings& settings);
// The help file of the user's language, else the English one, through the help call.
void OpenHelpFile();
INT_PTR ShowAboutBox(HWND dialog);
