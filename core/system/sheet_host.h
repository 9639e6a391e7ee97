// The host of a property sheet: which dialog shows the printer module's pages, told by the
// caption of the sheet window and the module of the window that owns it.
#pragma once

#include "platform/base/types.h"

// What DetectSheetHost answers.
enum SheetHost : int {
  kSheetHostApplication = 1,  // an application's own settings dialog
  kSheetHostDefaults = 2,     // the printer's defaults sheet
  kSheetHostPreferences = 3,  // the user's printing-preferences sheet
};

// The caller's flag that lets the sheet's caption decide on the newer platforms.
constexpr DWORD kSheetHostByCaption = 0x10;

// Strings of the spooler's user-interface module ("printui.dll") with its sheets' titles.
constexpr UINT kPrintUiPreferencesTitle = 0x3B00;
constexpr UINT kPrintUiDefaultsTitle = 18026;
// String of the resource module with the preferences sheet's title.
constexpr UINT kPreferencesTitleString = 751;

// Follows GetParent up from `window`: the caption of the window just below the topmost one is
// the sheet's, the topmost window its owner. On the platform's newer versions only a caller
// flag kSheetHostByCaption lets the caption decide (else 1); before them the owner must belong
// to the shell ("SHELL32"). The caption is then looked up in the built-in titles of every
// language, the spooler module's titles (when it is loaded) and string 751.
int DetectSheetHost(HWND window, DWORD flags);
