// Row callbacks that several pages share: a control shown by the value of another, the
// caption that states an item's allowed range, the unit names and the millimetre/inch radio
// pair, reloading an item's cached choice list, an icon chosen by the current value, and the
// device-status button.
#pragma once

#include "ui/framework/dialog/dialog_tables.h"

// Strings of the unit names and the range caption.
inline constexpr UINT kStringMillimetres = 460;
inline constexpr UINT kStringInches = 461;
inline constexpr UINT kStringLabelColon = 466;
inline constexpr UINT kStringRangeFormat = 730;
inline constexpr int kUnitNameChars = 32;
inline constexpr int kRangeTextChars = 64;

struct VisibilityRule {
  DWORD decidingControl;
  SettingItemId item;
  DWORD mode;  // 1: the value must match too
  DWORD value;
  LONG companion;  // kNoControl: none
};

// 1 with *show when evaluated; 0 (show 0) when the page lacks the deciding row.
int EvaluateVisibilityRule(HandlerContext* context, HWND dialog, const ControlRow* row, const VisibilityRule* rule,
                           int* show);
// Shows and enables, or hides and disables, the row's control and the companion.
int ApplyVisibilityRule(HandlerContext* context, HWND dialog, const ControlRow* row, const VisibilityRule* rule);

// The range text of an item (string 730 with the minimum, the maximum and the unit name) in
// a new buffer (GlobalFree); the limits are stored values, shown in inches for unit 1.
int FormatItemRangeText(HWND dialog, LONG controlId, SettingItemId id, LONG minimum, LONG maximum, WORD displayUnit,
                        LPWSTR* text);
INT_PTR RangeCaptionRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                        const void* kindData);

// Writes the unit name into every control of the list ended by 0.
int ShowUnitName(HWND dialog, WORD displayUnit, const LONG* controls);
INT_PTR UnitNameRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                    const void* kindData);
// The millimetre/inch pair (its kind data a RadioGroupData of the two buttons).
INT_PTR HandleUnitRadioRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                           const void* kindData);

// Drops the item's cached choice list and item states and loads them anew: 1, or 0 (the
// item is then left without a cached list).
int ReloadChoiceList(HWND dialog, LONG pageIndex, SettingItemId id);

// A page's choice of icon for an item: 0 with *iconId when it names one.
using ValueIconCallback = int (*)(HandlerContext* context, SettingItemId id, LONG controlId, WORD* iconId);
inline constexpr int kStaticIconFailed = 0xFFFF;

// For row callbacks of pages: on refresh the icon the callback names for the row's current
// item is shown in the row's static; when the page applies or resets, the icon is taken out
// and destroyed. Always 0.
INT_PTR ShowValueIcon(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                      ValueIconCallback iconCallback);
// Loads icon `iconId` of the resource module into static `controlId`; the icon the static
// held before is destroyed, the new one stays with the static until it is replaced or
// cleared. 0, or kStaticIconFailed.
int SetStaticIcon(HandlerContext* context, WORD iconId, LONG controlId);
// Takes the icon out of static `controlId` and destroys it.
void ClearStaticIcon(HWND dialog, LONG controlId);

// The device-status action of the pages (opens the device's status display): 1 handled, 0
// failed.
int OnDeviceStatusButton(HandlerContext* context);
// The device-status button: the push-button kind handles every message; a press answers 0
// when the status action succeeded, 1 when it failed.
INT_PTR DeviceStatusButtonRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                              const ControlRow* row, const void* kindData);
