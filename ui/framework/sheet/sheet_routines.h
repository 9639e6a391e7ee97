// Resource texts, message boxes with the sheet's reading order, screen scaling and the model
// feature queries of an open sheet.
#pragma once

#include <initializer_list>

#include "core/common/format_text.h"
#include "core/messages/value_texts.h"
#include "items/item_tables.h"
#include "platform/base/types.h"
#include "ui/framework/sheet/sheet_state.h"

// Right-to-left model feature and what it adds to a message box's type.
inline constexpr DWORD kRightToLeftFeature = 0xFFFF002E;
inline constexpr UINT kRightToLeftBoxFlags = 0x180000;
// The measurement features: inches in inch locales, and user sizes rounded to tens.
inline constexpr DWORD kInchLocaleFeature = 0xFFFF0022;
inline constexpr DWORD kRoundUserSizesFeature = 0xFFFF0023;
// The id that stands for "the text given, no string".
inline constexpr LONG kNoStringId = -3;

// Loads string `id` (up to size characters; 0 or less: 256) and formats it with the arguments
// into a new buffer of that size (GlobalFree). 1 when the result is shorter than size - 1
// characters; otherwise, or when the string is missing, 0 and no text.
int LoadStringFormat(HWND window, LPWSTR* text, int size, UINT id, std::initializer_list<FormatArg> args);
// MessageBoxW with the right-to-left flags of the window's sheet; 0 without a sheet.
int ShowSheetMessageBox(HWND window, LPCWSTR text, LPCWSTR caption, UINT type);
// The caption (string captionId up to 128 characters, or captionText for -3) and the text
// (string textId up to 256 characters, or text for -3) in a box; -1 without a sheet, a missing
// string or no text.
int ShowResourceMessageBox(HWND window, LONG captionId, LPCWSTR captionText, UINT type, LONG textId, LPCWSTR text);
// MulDiv(n, the device context's pixels per inch on the axis, 96); an axis other than
// LOGPIXELSX counts as LOGPIXELSY.
int ScaleForDpi(HDC dc, int n, int axis);
// The decimals an item's value has in the display unit (1 inches adds one): 1 with them, 0
// for other items.
int GetItemDecimals(SettingItemId id, WORD displayUnit, WORD* decimals);
// The sheet's measurement flags: inches when the inch-locale feature is on and the locale
// measures in inches; user sizes rounded to tens with their feature. FALSE without a sheet.
BOOL ReadSheetMeasurementFlags(SheetState* state, MeasurementFlags* flags);
int HasSheetFeature(SheetState* state, DWORD feature);
// 0 with feature 0x8000000 off; else 2 with feature 0xFFFF0026, otherwise 1.
int GetTriStateFeature(SheetState* state, WORD* value);
// The help id paired with the window's control id in a 0-ended {control id, help id} table.
DWORD LookupControlHelpId(const DWORD* pairs, HWND control);
// One of four values (index 0-3) or all four (index 4).
int SetQuadValue(LONG* quad, int index, const LONG* values);
int GetQuadValue(const LONG* quad, int index, LONG* values);
// 1 when a value can be written at the root of HKEY_LOCAL_MACHINE (it is deleted again).
int CanWriteMachineRegistry();
