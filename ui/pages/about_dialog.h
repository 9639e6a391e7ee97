// The about dialog (popup page 8): model and driver version, the maker's notes, a heading in a
// large bold font and a button that opens the model's document.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kAboutDialogTemplate = 510;
inline constexpr LONG kAboutDialogPage = 8;

extern const TabRecord kAboutDialogRecord;
extern const DialogRecord kAboutDialog;

// The dialog's procedure: the hidden control's double-click first, then the popup dispatch with
// its own painting and font release.
INT_PTR AboutDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The about text "<model> <version>\n<note>\n\n<copyright>" in a new buffer (GlobalFree): 1 when
// made, else 0 and no text.
int ComposeAboutText(HWND window, ItemStore* store, LPWSTR* text);
