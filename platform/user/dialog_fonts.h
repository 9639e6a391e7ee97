// The font of a dialog template (DS_SETFONT): made when the dialog is made, given to the dialog
// and its controls with WM_SETFONT, deleted with the dialog.
#pragma once

#include <string>

#include "platform/base/types.h"

HFONT UserMakeDialogFont(const std::u16string& face, WORD pointSize, WORD weight, BYTE italic, BYTE charset);
void UserFreeDialogFont(HFONT font);
// Fills the dialog's client area with the button-face colour (its default background).
LRESULT UserEraseDialogBackground(HWND dialog, HDC dc);
