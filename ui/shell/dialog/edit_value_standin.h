// Stand-in for the edit boxes' value routines, used by the spin edit for its buddy box until
// the edit kind is built: whole numbers only, without units, decimals or the typing checks.
#pragma once

#include "ui/shell/dialog/dialog_tables.h"

// Writes the row's current stored value (shown form, through ConvertItemPosition when scaled)
// as a decimal number into the row's control: 1/0.
int ShowEditValue(HandlerContext* context, const ControlRow* row, DWORD scaled);
// Reads the row's control as a decimal number: 0 valid with the value, -2 not a number,
// -1 without the control.
int ReadEditValue(HandlerContext* context, const ControlRow* row, LONG* value);
