// The control-kind table and the showing of a StateCode on a control.
#include "ui/framework/dialog/control_kinds.h"

#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/list_kinds.h"

namespace {

constexpr ControlKindEntry kControlKindTable[] = {
    {kKindComboBox, HandleComboBoxKind},
    {kKindListBox, HandleListBoxKind},
    {kKindEdit, HandleEditKind},
    {kKindRadio, HandleRadioGroupKind},
    {kKindPushButton, HandlePushButtonKind},
    {kKindCheckBox, HandleCheckBoxKind},
    {kKindScrollBar, HandleScrollBarKind},
    {kKindSpinEdit, HandleSpinEditKind},
    {kKindStaticText, HandleStaticTextKind},
    {kKindValueText, HandleValueTextKind},
    {kKindTrackBar, HandleTrackBarKind},
    {kKindPicture, HandlePictureKind},
    {kKindGroupButton, HandleGroupButtonKind},
    {0, nullptr},
};

}  // namespace

RowHandler FindControlKindHandler(ControlKind kind) {
  for (const ControlKindEntry* entry = kControlKindTable; entry->kind != 0; ++entry) {
    if (entry->kind == kind) return entry->handler;
  }
  return nullptr;
}

int ShowControlState(HWND control, StateCode code) {
  if (control == nullptr) return 0;
  if (code == kStateDisabled || code == kStateDisabledCurrent) {
    ShowWindow(control, SW_SHOW);
    EnableWindow(control, FALSE);
  } else if (code == kStateHidden) {
    EnableWindow(control, FALSE);
    ShowWindow(control, SW_HIDE);
  } else {
    ShowWindow(control, SW_SHOW);
    EnableWindow(control, TRUE);
  }
  return 1;
}

int ShowEditControlState(HWND control, LONG controlId, StateCode code) {
  if (control == nullptr) return 0;
  HWND dialog = GetParent(control);
  if (code == kStateDisabled) {
    ShowWindow(control, SW_SHOW);
    SendDlgItemMessageW(dialog, controlId, EM_SETREADONLY, FALSE, 0);
    EnableWindow(control, FALSE);
  } else if (code == kStateHidden) {
    SendDlgItemMessageW(dialog, controlId, EM_SETREADONLY, FALSE, 0);
    EnableWindow(control, FALSE);
    ShowWindow(control, SW_HIDE);
  } else {
    ShowWindow(control, SW_SHOW);
    EnableWindow(control, TRUE);
    SendDlgItemMessageW(dialog, controlId, EM_SETREADONLY, code == kStateReadOnly, 0);
  }
  return 1;
}

int ApplyControlState(HWND dialog, const ControlRow* row, StateCode* code) {
  StateCode local = 0;
  StateCode* out = code != nullptr ? code : &local;
  if (row == nullptr || row->controlId == kNoControl || !GetRowStateCode(dialog, row, out, nullptr)) return 0;
  HWND control = GetDlgItem(dialog, row->controlId);
  return row->kind == kKindEdit ? ShowEditControlState(control, row->controlId, *out) : ShowControlState(control, *out);
}
