// The print-time prompt: a modal dialog that asks for the user's account details when a
// document starts. A radio pair chooses one of two groups of text fields; what is typed goes
// into setting items of the printer configuration, secret fields encoded.
#pragma once

#include "core/store/item_store.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

// Template of the dialog in the resource module.
inline constexpr WORD kPromptDialogTemplate = 3550;

// The creation parameter of the dialog (kept as its DWLP_USER).
struct PromptDialogData {
  HANDLE printer;                       // for the help file
  SettingsRecord* settings;             // the caller's copy, edited in place
  PrinterConfiguration* configuration;  // edited in place
  ItemStore* store;
  DWORD lockGroup;  // 1: group 1 only, the radio pair disabled
  DWORD mode;       // 0 or 1: selects the masking and keep-values items
};

// What ResetPromptItems resets to the defaults.
enum PromptResetKind : int {
  kPromptResetGroup1 = 0,
  kPromptResetGroup2 = 1,
  kPromptResetAll = 2,  // both groups and the group selector
};

// The dialog procedure; the dialog ends with 1 for OK, 0 for Cancel.
INT_PTR UserDetailsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Stores the defaults of the prompt's items of `kind`.
void ResetPromptItems(PromptDialogData* data, int kind);
