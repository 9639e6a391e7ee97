// What the conflict messages need of the property sheet they are shown for: the sheet's state
// behind a page window, how it shows sizes, and message boxes with the sheet's reading order.
// The user-interface module owns the sheets and hands these in as a table of functions; until
// it has, no window has a sheet and no box is shown.
#pragma once

#include "core/messages/value_texts.h"
#include "platform/base/types.h"

// The user-interface module's record of one open property sheet (never looked into here).
struct SheetState;

struct SheetServices {
  // The sheet of a page window; NULL when the window carries none.
  SheetState* (*getSheetState)(HWND window);
  // The sheet's measurement flags; FALSE, outputs unchanged, when they cannot be read.
  BOOL (*getMeasurementFlags)(SheetState* state, MeasurementFlags* flags);
  // MessageBoxW on the window with the sheet's reading order; 0 without a sheet.
  int (*showMessageBox)(HWND window, LPCWSTR text, LPCWSTR caption, UINT style);
};

// Set by the user-interface module at its start (NULL again at its end).
void SetSheetServices(const SheetServices* services);

SheetState* GetSheetState(HWND window);
BOOL GetMeasurementFlags(SheetState* state, MeasurementFlags* flags);
int ShowMessageBox(HWND window, LPCWSTR text, LPCWSTR caption, UINT style);
