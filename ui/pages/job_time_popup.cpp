// The delayed job's popup (see job_time_popup.h): two-digit hour and minute fields whose
// spins wrap around at their ends.
#include "ui/pages/job_time_popup.h"

#include <iterator>

#include "items/item_ids.h"
#include "platform/comctl/updown.h"
#include "platform/comctl/propsheet.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/format.h"
#include "platform/user/message.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/pages/job_fields.h"
#include "ui/pages/page_routines.h"

namespace {

constexpr LONG kHourField = 3371, kHourSpin = 3372, kMinuteField = 3374, kMinuteSpin = 3375;
constexpr SettingItemId kHourItem = kItemDelayHour, kMinuteItem = kItemDelayMinute;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kHour[] = {BoundItem(kHourItem, kBoth)};
const DWORD kMinute[] = {BoundItem(kMinuteItem, kBoth)};
const EditKindData kTimeEditData{kEditNumeric | kEditUnsigned, 2, nullptr, nullptr, 0xFF};
const EditKindData* const kTimeEditSlot = &kTimeEditData;
const DWORD kUnscaled = 0;
const SpinEditData kSpinData{&kUnscaled};

// Writes each time field with two digits ("05").
void ShowTwoDigitTimes(const HandlerContext* context) {
  const struct {
    SettingItemId item;
    LONG field;
  } fields[] = {{kHourItem, kHourField}, {kMinuteItem, kMinuteField}};
  for (const auto& field : fields) {
    ItemValueCell value{};
    if (!ReadContextItem(context, field.item, &value) || value.byte >= 10) continue;
    WCHAR text[4] = {};
    wsprintfW(text, u"0%d", int(value.byte));
    SetDlgItemTextW(context->window, field.field, text);
  }
}

// A time field: the edit kind, then both fields with two digits.
INT_PTR HandleTimeFieldRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                           const ControlRow* row, const void* kindData) {
  const INT_PTR answer = HandleEditKind(context, message, wParam, lParam, row, kindData);
  bool show = IsPageRefresh(message, lParam);
  if (message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS) {
    const EditState* state = GetEditState(context, row);
    show = state == nullptr || state->busy == 0;
  }
  if (show) ShowTwoDigitTimes(context);
  return answer;
}

// A time spin: pressed beyond an end that the item already holds, it wraps to the other end.
// The spin kind gets the wrapped position, so the wrap reaches the setting.
INT_PTR HandleTimeSpinRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                          const void* kindData) {
  if (message != WM_VSCROLL) return HandleSpinEditKind(context, message, wParam, lParam, row, kindData);
  WPARAM handed = wParam;
  LONG minimum = 0, maximum = 0;
  ItemValueCell value{};
  if (LOWORD(wParam) == SB_THUMBPOSITION && GetNumericRange(context, row, &minimum, &maximum) &&
      ReadContextItem(context, GetCurrentBoundItemId(context->window, row), &value)) {
    const LONG position = static_cast<SHORT>(HIWORD(wParam));
    LONG wrapped = position;
    if (position == minimum && LONG(value.byte) == minimum) wrapped = maximum;
    else if (position == maximum && LONG(value.byte) == maximum) wrapped = minimum;
    if (wrapped != position) {
      SendDlgItemMessageW(context->window, row->controlId, UDM_SETPOS, 0, MAKELPARAM(wrapped, 0));
      handed = MAKEWPARAM(SB_THUMBPOSITION, wrapped);
    }
  }
  const INT_PTR answer = HandleSpinEditKind(context, message, handed, lParam, row, kindData);
  ShowTwoDigitTimes(context);
  return answer;
}

const ControlRow kJobTimeRows[] = {
    {kHourField, 1, kHour, kKindEdit, HandleTimeFieldRow, &kTimeEditSlot, 3370, 9022, nullptr},
    {kHourSpin, 1, kHour, kKindSpinEdit, HandleTimeSpinRow, &kSpinData, kNoControl, kNoString, nullptr},
    {kMinuteField, 1, kMinute, kKindEdit, HandleTimeFieldRow, &kTimeEditSlot, 3373, 9023, nullptr},
    {kMinuteSpin, 1, kMinute, kKindSpinEdit, HandleTimeSpinRow, &kSpinData, kNoControl, kNoString, nullptr},
    kSharedJobRows[0],
    kSharedJobRows[1],
};

const DWORD kJobTimeHelp[] = {3370, 90130, 3371, 90130, 3372, 90130, 3373, 90140, 3374, 90140, 3375, 90140,
                              1547, 90030, 1553, 90030, 1548, 90060, 1552, 90060, 1554, 90070, 1092, 1520,
                              1091, 1530, 1090, 1540, 1341, 7777, 0};
constexpr LONG kJobTimeHelpId = 90160;

}  // namespace

PageDescriptor kJobTimePopupDescriptor{kJobTimeRows, LONG(std::size(kJobTimeRows)), kJobTimeHelpId, kJobTimeHelp,
                                       nullptr, 0};

const DialogRecord kJobTimePopupDialog{kJobTimePopupTemplate, JobTimePopupDialogProc, kJobTimePopupPage, kNoString, 0,
                                       nullptr, 0};

INT_PTR JobTimePopupDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kPopupDialog, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kJobTimePopupPage, kPopupDialog, handler);
}
