// Subclassing of the dialog's controls: a record of the control's own, kept in its user data,
// that remembers the procedure it replaced so that the control can be given it back.
#pragma once

#include "platform/base/types.h"
#include "platform/user/window.h"

// The record a subclassed control carries (null for a control that is not subclassed).
template <typename Record>
Record* SubclassRecord(HWND control) {
  return reinterpret_cast<Record*>(GetWindowLongPtrW(control, GWLP_USERDATA));
}

// Gives the control the record (which takes the replaced procedure in its Previous field) and
// the new procedure; FALSE without a control, and then the record is freed.
template <typename Record>
BOOL InstallSubclass(HWND control, Record* record, WNDPROC procedure) {
  if (control == nullptr) {
    delete record;
    return FALSE;
  }
  record->Previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
  SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure));
  return TRUE;
}

// Gives the control its previous procedure back and frees the record.
template <typename Record>
void RemoveSubclass(HWND control) {
  Record* record = SubclassRecord<Record>(control);
  if (record == nullptr) return;
  SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->Previous));
  SetWindowLongPtrW(control, GWLP_USERDATA, 0);
  delete record;
}
