// The main tab of the document sheet (page 1): paper sizes with zoom, orientation, copies,
// duplex, colour mode, job type, the device-status and restore-defaults buttons.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kMainTabTemplate = 520;
inline constexpr LONG kMainTabPage = 1;

extern const TabRecord kMainTabRecord;

// The page's dialog procedure; at WM_INITDIALOG it also mirrors the whole sheet for a
// right-to-left model.
INT_PTR MainPageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Row callbacks other pages share.
// A combo whose choices show the states the constraints give them after every change.
INT_PTR HandleConstrainedComboRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                                  const ControlRow* row, const void* kindData);
