// The dialog manager: dialogs built from the extended dialog templates of a module's
// resources (the ones qrc compiles), modeless and modal, dialog units, the default dialog
// procedure, keyboard navigation and the item calls. A modal dialog does not wait for a
// person: it runs the test's scripted driver (user_sim.h), and without one ends as IDCANCEL,
// recorded as unscripted.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/user/dialog_template.h"
#include "platform/user/window.h"

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Dialog styles (DS_SETFONT and DS_SHELLFONT: dialog_template.h).
#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x04L
#define DS_FIXEDSYS 0x08L
#define DS_NOFAILCREATE 0x10L
#define DS_LOCALEDIT 0x20L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x400L
#define DS_CENTER 0x800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L

// The dialog's extra window bytes: the message result, the dialog procedure, one user value.
#define DWLP_MSGRESULT 0
#define DWLP_DLGPROC 8
#define DWLP_USER 16
#define DLGWINDOWEXTRA 30

#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DC_HASDEFID 0x534B

// The dialog class, "#32770".
#define WC_DIALOG MAKEINTATOM(0x8002)

// The dialog units of template dialogs: a horizontal unit is a quarter of the average
// character width, a vertical one an eighth of the character height, with these fixed
// metrics of the dialog font.
inline constexpr int kDialogCharWidth = 6;
inline constexpr int kDialogCharHeight = 13;
// The system font's base units that GetDialogBaseUnits answers.
inline constexpr int kSystemBaseUnitX = 8;
inline constexpr int kSystemBaseUnitY = 16;

// -1 with the resource error when the template is missing or malformed (the error of
// FindResourceW, or ERROR_INVALID_DATA); otherwise EndDialog's result.
PLATFORM_API INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
inline INT_PTR DialogBoxW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc) {
  return DialogBoxParamW(instance, templateName, owner, proc, 0);
}
// NULL when the template is missing or malformed or a control cannot be made.
PLATFORM_API HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
inline HWND CreateDialogW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC proc) {
  return CreateDialogParamW(instance, templateName, owner, proc, 0);
}
// Marks the dialog ended with `result` and hides it; a modal dialog's loop then returns.
PLATFORM_API BOOL EndDialog(HWND dialog, INT_PTR result);
PLATFORM_API LRESULT DefDlgProcW(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// Keyboard navigation: Tab and Shift+Tab between tab stops, arrows within a group (an auto
// radio button reached so is clicked), Enter the focused push button or the default id, Escape
// IDCANCEL; other messages of the dialog are dispatched. FALSE for messages of other windows.
PLATFORM_API BOOL IsDialogMessageW(HWND dialog, LPMSG msg);

PLATFORM_API BOOL MapDialogRect(HWND dialog, LPRECT rect);
PLATFORM_API LONG GetDialogBaseUnits();

PLATFORM_API HWND GetDlgItem(HWND dialog, int id);
PLATFORM_API BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
PLATFORM_API UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int size);
PLATFORM_API BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
// Leading and trailing spaces are allowed around an optional minus sign (signed only) and the
// digits; anything else, no digits or a value out of range answer 0 with *translated FALSE.
PLATFORM_API UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
PLATFORM_API BOOL CheckDlgButton(HWND dialog, int id, UINT check);
PLATFORM_API UINT IsDlgButtonChecked(HWND dialog, int id);
PLATFORM_API BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
PLATFORM_API LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
// The next (or previous) visible, enabled WS_TABSTOP control, wrapping round; controls of
// WS_EX_CONTROLPARENT children count as the dialog's own.
PLATFORM_API HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// The next (or previous) visible, enabled control of the control's group, wrapping round.
PLATFORM_API HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
