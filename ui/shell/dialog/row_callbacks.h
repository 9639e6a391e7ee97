// Row callbacks that several pages share: a control shown by the value of another, the
// caption that states an item's allowed range, the unit names and the millimetre/inch radio
// pair, and reloading an item's cached choice list.
#pragma once

#include "ui/shell/dialog/dialog_tables.h"

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
