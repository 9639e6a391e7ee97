// The dialog manager's record of a dialog, kept with its window, and the creation both the
// modeless and the modal calls share.
#pragma once

#include <string>

#include "platform/base/types.h"
#include "platform/user/dialog.h"
#include "platform/user/window_internal.h"

// The resource a dialog's template came from (SimDialogTemplate); empty for a template the
// layer built itself (a property sheet's frame).
struct DialogSource {
  HMODULE module = nullptr;
  WORD id = 0;          // a numbered template
  std::u16string name;  // a template named by text
  bool resource = false;
};
// The source of the template `templateName` of `module`.
DialogSource UserDialogSource(HMODULE module, LPCWSTR templateName);

struct DialogState {
  DialogSource source;
  bool modal = false;
  bool ended = false;
  INT_PTR result = 0;
  WORD defId = 0;  // the default push button's id, 0 when none
  HWND savedFocus = nullptr;
  HFONT font = nullptr;
  bool ownsFont = false;
};

// The dialog record of a window the dialog manager made, else NULL.
DialogState* UserDialogState(HWND hwnd);
// Builds the dialog of a template: the window, its controls in template order, the font,
// then WM_INITDIALOG; shown when the template says WS_VISIBLE (or `modal`). NULL (with the
// error) when the template is missing or malformed or a control cannot be made.
HWND UserCreateDialog(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param, bool modal);
// The same from a template already decoded.
HWND UserCreateDialogFrom(const DialogTemplate& t, const DialogSource& source, HINSTANCE instance, HWND owner,
                          DLGPROC proc, LPARAM param, bool modal);
// Finds and decodes a dialog template of a module; FALSE with the error (the resource's, or
// ERROR_INVALID_DATA for a malformed one).
bool UserLoadDialogTemplate(HINSTANCE instance, LPCWSTR templateName, DialogTemplate& t);
// Puts the focus on a dialog control as the keyboard does: an edit's text is then selected.
void UserDialogFocus(HWND control);
