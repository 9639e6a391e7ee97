// The levels, threshold and tone-curve controls of the scan dialog: the number edits that
// commit on Enter or when they lose the focus, the bounds every value is clamped to, the
// threshold's track bar, the gamma marker's table and Reset.
#pragma once

#include "platform/base/types.h"
#include "platform/user/controls.h"
#include "scanner/scan_settings.h"

// Messages between the number edits and the dialog.
constexpr UINT NEM_CHANGED = 0x9011;
constexpr WORD NEN_ENTER = 0x9004;
constexpr WORD NEN_KILLFOCUS = 0x9005;

// The controls.
constexpr int kIdThresholdBar = 1052;
constexpr int kIdInputHigh = 1055;
constexpr int kIdInputLow = 1056;
constexpr int kIdGamma = 1057;
constexpr int kIdOutputLow = 1058;
constexpr int kIdOutputHigh = 1059;
constexpr int kIdThreshold = 1060;
constexpr int kIdCurveBox = 1063;
constexpr int kIdInputBar = 1065;
constexpr int kIdOutputBar = 1067;
constexpr int kIdLevelsReset = 1089;

constexpr int kGammaMarkerEntries = 1002;
// Where the gamma marker stands: 255 - table[gamma x 100] within the input range.
BYTE GammaMarkerEntry(int index);
// The gamma x 100 of a marker position 0..255: the first index whose entry reaches 255 - value,
// clamped to 10..1000.
SHORT GammaFromMarker(int value);

// Subclasses an edit so that it reports Enter and the loss of the focus after a change.
BOOL InstallNumberEdit(HWND dialog, HWND edit, int id);
void RemoveNumberEdit(HWND edit);
LRESULT NumberEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam);

// The track bar and the edits from the settings (slot 0 and the threshold).
void FillLevelControls(HWND dialog, const ScanSettings& settings);
// The dialog's WM_COMMAND of the six edits (EN_CHANGE, NEN_ENTER, NEN_KILLFOCUS) and of Reset:
// TRUE when handled.
BOOL HandleLevelCommand(HWND dialog, ScanSettings& settings, int id, WORD code);
// Writes a value into its edit (gamma with two decimals) as the data source's own text, which
// the edit does not take for a change of the user's.
void ShowLevelValue(HWND dialog, int id, LONG value);
// WM_HSCROLL / WM_VSCROLL of the threshold's track bar.
void HandleThresholdScroll(HWND dialog, ScanSettings& settings, WORD code);

// The marker bars: subclassed so that their markers can be dragged (the previous procedure is
// given back by RemoveLevelBar).
BOOL InstallLevelBar(HWND dialog, HWND bar, ScanSettings* settings);
void RemoveLevelBar(HWND bar);
LRESULT LevelBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam);
// WM_DRAWITEM of the curve box and the two bars: TRUE when the item is one of them.
BOOL DrawLevelItem(HWND dialog, const ScanSettings& settings, const DRAWITEMSTRUCT& item);
