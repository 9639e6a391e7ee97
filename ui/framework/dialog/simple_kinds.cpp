// The simple control kinds: radio group, push and group buttons, check box, scroll bar, spin
// edit, static text and track bar. They keep no state: each refresh reads the bound values
// again, and a user's action becomes a change of the row's current item.
#include "core/common/units.h"
#include "core/constraints/change_values.h"
#include "core/constraints/constraint_engine.h"
#include "core/constraints/item_position.h"
#include "core/runtime/resource_module.h"
#include "platform/comctl/commctrl.h"
#include "platform/comctl/propsheet.h"
#include "platform/comctl/trackbar.h"
#include "platform/comctl/updown.h"
#include "platform/kernel/resource.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

bool IsRefresh(UINT message, LPARAM lParam) {
  return message == WM_REFRESHCONTROLS || IsNotice(message, lParam, PSN_SETACTIVE);
}

// The bound value as a signed number.
bool BoundNumber(const BoundValue* bound, LONG* value) {
  LONGLONG number = 0;
  if (bound == nullptr || !NumberOfTypedValue(bound->type, BoundValueReference(bound), &number)) return false;
  *value = static_cast<LONG>(number);
  return true;
}

// Applies a new value for the row's current item: an applied change is recorded in the
// context; the answer is ChangeControlValue's.
int ApplyValue(HandlerContext* context, const ControlRow* row, const BoundValue* bound, const void* value) {
  WORD* changed = nullptr;
  const int result = ChangeControlValue(context, row, bound, value, &changed);
  if (result == kChangeApplied) SetContextChanges(context, 1, changed, row);
  return result;
}

int ApplyNumber(HandlerContext* context, const ControlRow* row, const BoundValue* bound, LONG number) {
  ItemValueCell cell{};
  cell.number = static_cast<DWORD>(number);
  return ApplyValue(context, row, bound, &cell);
}

LONG Clamp(LONG value, LONG minimum, LONG maximum) {
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;  // the maximum wins when the range is upside down
  return value;
}

LONG ToShown(DWORD scaled, SettingItemId id, LONG value) {
  LONG shown = value;
  if (scaled != 0) ConvertItemPosition(kValueToPosition, id, value, &shown);
  return shown;
}

LONG ToStored(DWORD scaled, SettingItemId id, LONG value) {
  LONG stored = value;
  if (scaled != 0) ConvertItemPosition(kPositionToValue, id, value, &stored);
  return stored;
}

// The state of a button from its own constraint check; without permission a usable or
// hidden state stays, any other becomes disabled.
void ShowButtonState(HandlerContext* context, const ControlRow* row) {
  SheetState* sheet = FindSheetState(context->window);
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  HWND control = GetDlgItem(context->window, row->controlId);
  ConstraintState* state = CreateConstraintState();
  if (sheet == nullptr || bound == nullptr || control == nullptr || state == nullptr) {
    FreeConstraintState(state);
    return;
  }
  if (CheckSettingChange(kCheckModePlain, sheet->printer, context->store, context->settings, context->config, nullptr,
                         bound->id, bound->type, nullptr, state, nullptr, 0) == kCheckDone) {
    StateCode code = state->messageType;
    if (sheet->permission == 0 && code != kStateUsable && code != kStateHidden) code = kStateDisabled;
    ShowControlState(control, code);
  }
  FreeConstraintState(state);
}

LONG RadioPosition(const RadioGroupData* data, LONG controlId) {
  for (LONG n = 0; data != nullptr && n < data->count; ++n) {
    if (data->buttons[n] == controlId) return n;
  }
  return -1;
}

void RefreshRadio(HandlerContext* context, const ControlRow* row, const RadioGroupData* data) {
  const HWND window = context->window;
  const LONG choice = GetCurrentChoiceIndex(window, row);
  const LONG position = RadioPosition(data, row->controlId);
  if (choice < 0 || position < 0) return;
  CheckDlgButton(window, row->controlId, choice == position ? BST_CHECKED : BST_UNCHECKED);
  ApplyControlState(window, row, nullptr);
  ChoiceList* list = GetCurrentChoiceList(window, row);
  const SettingItemId id = GetCurrentBoundItemId(window, row);
  // Only choices that have a button of the group are shown on one.
  for (LONG n = 0; list != nullptr && n < list->count && n < data->count; ++n) {
    StateCode code = 0;
    if (GetChoiceStateCode(window, id, n, &code) && (code == kStateDisabled || code == kStateHidden)) {
      ShowControlState(GetDlgItem(window, data->buttons[n]), code);
    }
  }
}

void RefreshCheckBox(HandlerContext* context, const ControlRow* row) {
  const LONG choice = GetCurrentChoiceIndex(context->window, row);
  if (choice == 0 || choice == 1) {
    CheckDlgButton(context->window, row->controlId, choice == 0 ? BST_CHECKED : BST_UNCHECKED);
  }
  ApplyControlState(context->window, row, nullptr);
}

// The scroll bar's position: the value, shifted to start at 0 for a negative minimum.
void ShowScrollPosition(HandlerContext* context, const ControlRow* row, HWND bar) {
  StateCode code = 0;
  ApplyControlState(context->window, row, &code);
  LONG value = 0, minimum = 0, maximum = 0;
  if (code == kStateDisabled || code == kStateHidden) return;
  if (!BoundNumber(GetCurrentBoundValue(context->window, row), &value)) return;
  if (GetNumericRange(context, row, &minimum, &maximum) && minimum < 0) value -= minimum;
  SetScrollPos(bar, SB_CTL, value, TRUE);
}

void ShowSpinPosition(HandlerContext* context, const ControlRow* row, HWND updown, DWORD scaled) {
  LONG value = 0;
  if (GetSpinValue(context->window, row, scaled, &value)) SendMessageW(updown, UDM_SETPOS32, 0, value);
  ApplyControlState(context->window, row, nullptr);
}

void ShowTrackPosition(HandlerContext* context, const ControlRow* row, HWND track, DWORD scaled) {
  StateCode code = 0;
  LONG value = 0;
  const bool have = GetSpinValue(context->window, row, scaled, &value);
  ApplyControlState(context->window, row, &code);
  if (have && code != kStateDisabled && code != kStateHidden) SendMessageW(track, TBM_SETPOS, TRUE, value);
}

}  // namespace

int GetSpinValue(HWND dialog, const ControlRow* row, DWORD scaled, LONG* value) {
  const BoundValue* bound = GetCurrentBoundValue(dialog, row);
  LONG stored = 0;
  if (value == nullptr || !BoundNumber(bound, &stored)) return 0;
  *value = ToShown(scaled, bound->id, stored);
  return 1;
}

INT_PTR HandleRadioGroupKind(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow* row,
                             const void* kindData) {
  const auto* data = static_cast<const RadioGroupData*>(kindData);
  if (context == nullptr || row == nullptr || data == nullptr || row->controlId == kNoControl) return 0;
  if (IsRefresh(message, lParam)) {
    RefreshRadio(context, row, data);
    return 0;
  }
  if (message != WM_COMMAND || IsDlgButtonChecked(context->window, row->controlId) != BST_CHECKED) return 0;
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  ChoiceList* list = GetCurrentChoiceList(context->window, row);
  const LONG position = RadioPosition(data, row->controlId);
  const void* value = ChoiceValueReference(list, position);
  if (bound == nullptr || value == nullptr) return 0;
  if (ApplyValue(context, row, bound, value) == kChangeRefused) {
    // The whole group shows the stored choice again.
    const LONG choice = GetCurrentChoiceIndex(context->window, row);
    for (LONG n = 0; n < data->count; ++n) {
      CheckDlgButton(context->window, data->buttons[n], n == choice ? BST_CHECKED : BST_UNCHECKED);
    }
  }
  return 0;
}

INT_PTR HandlePushButtonKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                             const ControlRow* row, const void* kindData) {
  if (context == nullptr || row == nullptr || row->controlId == kNoControl) return 0;
  if (IsRefresh(message, lParam)) {
    ShowButtonState(context, row);
    return 0;
  }
  if (message == WM_COMMAND) {
    return DoButtonAction(context, wParam, lParam, row, static_cast<const ButtonAction*>(kindData));
  }
  return 0;
}

INT_PTR HandleGroupButtonKind(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow* row,
                              const void*) {
  if (context != nullptr && row != nullptr && row->controlId != kNoControl && IsRefresh(message, lParam)) {
    ShowButtonState(context, row);
  }
  return 0;
}

INT_PTR HandleCheckBoxKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                           const ControlRow* row, const void*) {
  if (context == nullptr || row == nullptr || row->controlId == kNoControl) return 0;
  if (IsRefresh(message, lParam)) {
    RefreshCheckBox(context, row);
    return 0;
  }
  if (message != WM_COMMAND) return 0;
  if (wParam > 0xFFFF) return 1;  // a notification other than BN_CLICKED
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  ChoiceList* list = GetCurrentChoiceList(context->window, row);
  const bool checked = SendDlgItemMessageW(context->window, row->controlId, BM_GETCHECK, 0, 0) == BST_CHECKED;
  const void* value = ChoiceValueReference(list, checked ? 0 : 1);
  if (bound == nullptr || value == nullptr) return 0;
  if (ApplyValue(context, row, bound, value) == kChangeRefused) RefreshCheckBox(context, row);
  return 0;
}

INT_PTR HandleScrollBarKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                            const ControlRow* row, const void* kindData) {
  const auto* data = static_cast<const ScrollBarData*>(kindData);
  HWND bar = context != nullptr && row != nullptr ? GetDlgItem(context->window, row->controlId) : nullptr;
  if (bar == nullptr || data == nullptr) return message == WM_HSCROLL || message == WM_VSCROLL ? 1 : 0;
  LONG minimum = 0, maximum = 0;
  if (IsNotice(message, lParam, PSN_SETACTIVE)) {
    if (GetNumericRange(context, row, &minimum, &maximum)) {
      if (minimum < 0) SetScrollRange(bar, SB_CTL, 0, maximum - minimum, FALSE);
      else SetScrollRange(bar, SB_CTL, minimum, maximum, FALSE);
    }
    ShowScrollPosition(context, row, bar);
    return 0;
  }
  if (message == WM_REFRESHCONTROLS) {
    ShowScrollPosition(context, row, bar);
    return 0;
  }
  if (message != WM_HSCROLL && message != WM_VSCROLL) return 0;
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  LONG value = 0;
  if (!BoundNumber(bound, &value) || !GetNumericRange(context, row, &minimum, &maximum)) return 1;
  const bool up = data->direction == 0;
  const int code = LOWORD(wParam);
  if (code == (up ? SB_TOP : SB_BOTTOM)) value = maximum;
  else if (code == (up ? SB_BOTTOM : SB_TOP)) value = minimum;
  else if (code == (up ? SB_LINEUP : SB_LINEDOWN)) value += 1;
  else if (code == (up ? SB_LINEDOWN : SB_LINEUP)) value -= 1;
  else if (code == (up ? SB_PAGEUP : SB_PAGEDOWN)) value += data->pageStep;
  else if (code == (up ? SB_PAGEDOWN : SB_PAGEUP)) value -= data->pageStep;
  else if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) {
    value = static_cast<SHORT>(HIWORD(wParam)) + (minimum < 0 ? minimum : 0);
  } else {
    return 1;
  }
  ApplyNumber(context, row, bound, Clamp(value, minimum, maximum));
  return 0;
}

INT_PTR HandleSpinEditKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                           const ControlRow* row, const void* kindData) {
  const auto* data = static_cast<const SpinEditData*>(kindData);
  HWND updown = context != nullptr && row != nullptr ? GetDlgItem(context->window, row->controlId) : nullptr;
  if (updown == nullptr) return message == WM_VSCROLL ? 1 : 0;
  const DWORD scaled = data != nullptr && data->scaled != nullptr ? *data->scaled : 0;
  const SettingItemId id = GetCurrentBoundItemId(context->window, row);
  LONG minimum = 0, maximum = 0;
  if (IsNotice(message, lParam, PSN_SETACTIVE)) {
    // The range is set in 32 bits: a 16-bit range would cut items beyond +-32767.
    if (GetNumericRange(context, row, &minimum, &maximum)) {
      SendMessageW(updown, UDM_SETRANGE32, ToShown(scaled, id, minimum), ToShown(scaled, id, maximum));
    }
    ShowSpinPosition(context, row, updown, scaled);
    return 0;
  }
  if (message == WM_REFRESHCONTROLS) {
    ShowSpinPosition(context, row, updown, scaled);
    return 0;
  }
  if (message != WM_VSCROLL) return 0;
  const ControlRow* buddy = FindRowSharingItems(context, row, kKindEdit);
  const EditKindData* buddyData = GetEditKindData(buddy);
  HWND buddyControl = buddy != nullptr ? GetDlgItem(context->window, buddy->controlId) : nullptr;
  if (buddyControl != nullptr && (GetWindowLongPtrW(buddyControl, GWL_STYLE) & ES_READONLY)) return 1;
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  LONG current = 0;
  if (!GetSpinValue(context->window, row, scaled, &current) || !GetNumericRange(context, row, &minimum, &maximum)) {
    return 1;
  }
  // A units box shown in inches counts hundredths of an inch; the item keeps tenths of a mm.
  const SheetState* sheet = FindSheetState(context->window);
  const bool inches = buddyData != nullptr && (buddyData->flags & kEditUnits) && sheet != nullptr &&
                      sheet->displayUnit == 1;
  if (inches) current = TenthMmToHundredthInch(current);
  auto toStored = [&](LONG shown) { return ToStored(scaled, id, inches ? HundredthInchToTenthMm(shown) : shown); };
  const LONG position = static_cast<SHORT>(HIWORD(wParam));
  if (position == current) {
    if (buddy != nullptr) ShowEditValue(context, buddy, buddyData);
    return 0;
  }
  // The buddy's busy mark keeps its focus loss from applying the typed text itself.
  EditState* buddyState = GetEditState(context, buddy);
  if (buddyState != nullptr) buddyState->busy = 1;
  SetFocus(updown);
  LONG base = current;
  LONG typed = 0;
  if (buddy != nullptr && ReadEditValue(context, buddy, &typed, nullptr, buddyData, TRUE) == kEditValid) {
    const LONG stored = toStored(typed);
    if (stored >= minimum && stored <= maximum) base = typed;
  }
  const LONG value = Clamp(toStored(base + (position - current)), minimum, maximum);
  const bool applied = ApplyNumber(context, row, bound, value) == kChangeApplied;
  if (!applied) {
    if (GetSpinValue(context->window, row, scaled, &current)) SendMessageW(updown, UDM_SETPOS32, 0, current);
    if (buddy != nullptr) ShowEditValue(context, buddy, buddyData);
  }
  if (buddyState != nullptr) buddyState->busy = 0;
  return applied ? 0 : 1;
}

INT_PTR HandleStaticTextKind(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow* row,
                             const void* kindData) {
  const auto* data = static_cast<const StaticTextData*>(kindData);
  if (context == nullptr || row == nullptr || data == nullptr || !IsRefresh(message, lParam)) return 0;
  HWND control = GetDlgItem(context->window, row->controlId);
  if (control == nullptr) return 0;
  if (data->subKind == kStaticChoiceName) {
    LPCWSTR name = GetChoiceName(GetCurrentChoiceList(context->window, row), GetCurrentChoiceIndex(context->window, row));
    if (name != nullptr) SetWindowTextW(control, name);
  } else if (data->subKind == kStaticResourceString) {
    if (data->stringId > 0) {
      WCHAR text[256] = {};
      if (LoadStringW(GetResourceModule(), static_cast<UINT>(data->stringId), text, 256) > 0) {
        SetWindowTextW(control, text);
      }
    }
  } else if (data->subKind != kStaticStateOnly) {
    return 0;
  }
  ApplyControlState(context->window, row, nullptr);
  return 0;
}

INT_PTR HandleTrackBarKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                           const ControlRow* row, const void* kindData) {
  const auto* data = static_cast<const TrackBarData*>(kindData);
  HWND track = context != nullptr && row != nullptr ? GetDlgItem(context->window, row->controlId) : nullptr;
  if (track == nullptr || data == nullptr) return 0;
  const SettingItemId id = GetCurrentBoundItemId(context->window, row);
  LONG minimum = 0, maximum = 0;
  if (IsNotice(message, lParam, PSN_SETACTIVE)) {
    if (GetNumericRange(context, row, &minimum, &maximum)) {
      SendMessageW(track, TBM_SETRANGE, TRUE,
                   MAKELONG(ToShown(data->scaled, id, minimum), ToShown(data->scaled, id, maximum)));
    }
    SendMessageW(track, TBM_SETPAGESIZE, 0, data->pageSize);
    if (data->tickFrequency != 0) SendMessageW(track, TBM_SETTICFREQ, data->tickFrequency, 0);
    ShowTrackPosition(context, row, track, data->scaled);
    return 0;
  }
  if (message == WM_REFRESHCONTROLS) {
    ShowTrackPosition(context, row, track, data->scaled);
    return 0;
  }
  if (message != WM_HSCROLL && message != WM_VSCROLL) return 0;
  const int code = LOWORD(wParam);
  if (code != TB_LINEUP && code != TB_LINEDOWN && code != TB_THUMBTRACK && code != TB_ENDTRACK) return 1;
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  if (bound == nullptr) return 1;
  const LONG position = static_cast<LONG>(SendMessageW(track, TBM_GETPOS, 0, 0));
  if (ApplyNumber(context, row, bound, ToStored(data->scaled, id, position)) == kChangeRefused) {
    ShowTrackPosition(context, row, track, data->scaled);
  }
  return 0;
}
