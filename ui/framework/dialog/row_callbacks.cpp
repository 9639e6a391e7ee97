// Shared row callbacks: visibility rules, range captions, unit names and the unit radio pair,
// reloading a cached choice list, value icons and the device-status button.
#include "ui/framework/dialog/row_callbacks.h"

#include <string>

#include "core/common/typed_compare.h"
#include "core/constraints/item_position.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/comctl/propsheet.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/resources.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/text/number_text.h"

namespace {

// PSN_SETACTIVE or the framework's refresh.
bool IsRefresh(UINT message, LPARAM lParam) {
  if (message == WM_REFRESHCONTROLS) return true;
  const auto* header = reinterpret_cast<const NMHDR*>(lParam);
  return message == WM_NOTIFY && header != nullptr && header->code == PSN_SETACTIVE;
}

std::u16string LoadText(UINT id, int chars) {
  std::u16string text(static_cast<size_t>(chars) + 1, u'\0');
  const int length = LoadStringW(GetResourceModule(), id, text.data(), chars + 1);
  text.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return text;
}

WORD DisplayUnit(HWND window) {
  SheetState* sheet = FindSheetState(window);
  return sheet != nullptr ? sheet->displayUnit : 0;
}

}  // namespace

int EvaluateVisibilityRule(HandlerContext* context, HWND dialog, const ControlRow*, const VisibilityRule* rule,
                           int* show) {
  if (show == nullptr) return 0;
  *show = 0;
  if (context == nullptr || rule == nullptr) return 0;
  const ControlRow* deciding = FindRowByControlId(dialog, context->pageIndex, static_cast<LONG>(rule->decidingControl));
  if (deciding == nullptr) return 0;
  const BoundValue* value = GetCurrentBoundValue(dialog, deciding);
  if (value == nullptr) {
    *show = 1;
    return 1;
  }
  if (value->id != rule->item) return 1;
  if (rule->mode == 1) {
    const DWORD wanted = rule->value;
    *show = CompareTypedValues(value->type, BoundValueReference(value), &wanted) == 0 ? 1 : 0;
  } else {
    *show = 1;
  }
  return 1;
}

int ApplyVisibilityRule(HandlerContext* context, HWND dialog, const ControlRow* row, const VisibilityRule* rule) {
  int show = 0;
  if (row == nullptr || !EvaluateVisibilityRule(context, dialog, row, rule, &show)) return 0;
  for (const LONG id : {row->controlId, rule->companion}) {
    if (id == kNoControl) continue;
    HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) continue;
    EnableWindow(control, show ? TRUE : FALSE);
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
  }
  return 1;
}

int FormatItemRangeText(HWND dialog, LONG, SettingItemId id, LONG minimum, LONG maximum, WORD displayUnit,
                        LPWSTR* text) {
  if (text == nullptr) return 0;
  *text = nullptr;
  if (displayUnit == 1) {
    minimum = ClampItemValue(minimum, id);
    maximum = ClampItemValue(maximum, id);
    MeasurementFlags flags{};
    if (IsCustomItemId(id) && ReadSheetMeasurementFlags(FindSheetState(dialog), &flags) && flags.oneDecimal != 0) {
      minimum = (minimum + 5) / 10 * 10;
      maximum = (maximum + 5) / 10 * 10;
    }
  }
  WORD decimals = 0;
  GetItemDecimals(id, displayUnit, &decimals);
  LPWSTR low = nullptr, high = nullptr;
  const bool numbers = FormatNumberText(&low, decimals, TRUE, kTypeInt32, &minimum) &&
                       FormatNumberText(&high, decimals, TRUE, kTypeInt32, &maximum);
  const std::u16string unit = LoadText(displayUnit == 0 ? kStringMillimetres : kStringInches, kUnitNameChars);
  int ok = 0;
  if (numbers) ok = LoadStringFormat(dialog, text, kRangeTextChars, kStringRangeFormat, {low, high, unit.c_str()});
  GlobalFree(low);
  GlobalFree(high);
  return ok;
}

INT_PTR RangeCaptionRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                        const void* kindData) {
  if (IsRefresh(message, lParam) && row->itemCount > 0) {
    LONG minimum = 0, maximum = 0;
    if (GetNumericRange(context, row, &minimum, &maximum)) {
      const SettingItemId id = BoundItemId(*GetRowItem(row, 0));
      ConvertItemPosition(kValueToPosition, id, minimum, &minimum);
      ConvertItemPosition(kValueToPosition, id, maximum, &maximum);
      LPWSTR range = nullptr;
      if (FormatItemRangeText(context->window, row->controlId, id, minimum, maximum, DisplayUnit(context->window),
                              &range)) {
        const ChoiceList* list = FindChoiceList(context->window, id);
        std::u16string caption = list != nullptr && list->name != nullptr ? list->name : u"";
        if (row->labelSuffixId != kNoString) caption += LoadText(static_cast<UINT>(row->labelSuffixId), kRangeTextChars);
        caption += LoadText(kStringLabelColon, kUnitNameChars);
        caption += range;
        SetDlgItemTextW(context->window, row->controlId, caption.c_str());
        GlobalFree(range);
      }
    }
  }
  return RunChained(context, message, wParam, lParam, row, kindData);
}

int ShowUnitName(HWND dialog, WORD displayUnit, const LONG* controls) {
  if (controls == nullptr) return 0;
  const std::u16string unit = LoadText(displayUnit == 0 ? kStringMillimetres : kStringInches, kUnitNameChars);
  for (const LONG* id = controls; *id != 0; ++id) SetDlgItemTextW(dialog, *id, unit.c_str());
  return 1;
}

INT_PTR UnitNameRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                    const void* kindData) {
  if (IsRefresh(message, lParam)) {
    const LONG controls[] = {row->controlId, 0};
    ShowUnitName(context->window, DisplayUnit(context->window), controls);
  }
  return RunChained(context, message, wParam, lParam, row, kindData);
}

INT_PTR HandleUnitRadioRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                           const void* kindData) {
  const INT_PTR answer = RunChained(context, message, wParam, lParam, row, kindData);
  const auto* pair = static_cast<const RadioGroupData*>(kindData);
  SheetState* sheet = FindSheetState(context->window);
  if (pair == nullptr || pair->count < 2 || sheet == nullptr) return answer;
  if (IsRefresh(message, lParam)) {
    CheckRadioButton(context->window, pair->buttons[0], pair->buttons[1],
                     sheet->displayUnit == 0 ? pair->buttons[0] : pair->buttons[1]);
  } else if (message == WM_COMMAND && static_cast<LONG>(LOWORD(wParam)) == row->controlId) {
    SetDisplayUnit(sheet, LOWORD(wParam) == pair->buttons[1] ? 1 : 0);
    SetContextChanges(context, 1, nullptr, row);
  }
  return answer;
}

int ReloadChoiceList(HWND dialog, LONG pageIndex, SettingItemId id) {
  PageData* data = GetPageData(dialog);
  SheetState* sheet = data != nullptr ? data->sheet : nullptr;
  if (GetPageRows(dialog, pageIndex) == nullptr || sheet == nullptr || data->states == nullptr) return 0;
  ReleaseChoiceList(dialog, id);
  RemoveItemStateRecord(id, data->states->itemStates);
  ChoiceList* list = nullptr;
  if (GetOrLoadChoiceList(dialog, GetResourceModule(), sheet->store, id, &list) != 0 || list == nullptr) return 0;
  if (CreateItemStateRecord(dialog, id, GetChoiceCount(list)) != 0) {
    ReleaseChoiceList(dialog, id);
    return 0;
  }
  return 1;
}

void ClearStaticIcon(HWND dialog, LONG controlId) {
  HWND control = GetDlgItem(dialog, controlId);
  if (control == nullptr) return;
  const auto previous = reinterpret_cast<HICON>(SendMessageW(control, STM_SETICON, 0, 0));
  if (previous != nullptr) DestroyIcon(previous);
}

int SetStaticIcon(HandlerContext* context, WORD iconId, LONG controlId) {
  HWND control = context != nullptr ? GetDlgItem(context->window, controlId) : nullptr;
  if (control == nullptr) return kStaticIconFailed;
  HICON icon = LoadIconW(GetResourceModule(), MAKEINTRESOURCEW(iconId));
  if (icon == nullptr) return kStaticIconFailed;
  // The static draws the icon it holds, so only the one it gives back is destroyed.
  const auto previous =
      reinterpret_cast<HICON>(SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
  if (previous != nullptr && previous != icon) DestroyIcon(previous);
  return 0;
}

INT_PTR ShowValueIcon(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow* row,
                      ValueIconCallback iconCallback) {
  if (context == nullptr || row == nullptr || row->controlId == kNoControl) return 0;
  if (IsRefresh(message, lParam)) {
    WORD iconId = 0;
    const SettingItemId id = GetCurrentBoundItemId(context->window, row);
    if (iconCallback != nullptr && iconCallback(context, id, row->controlId, &iconId) == 0)
      SetStaticIcon(context, iconId, row->controlId);
  } else if (IsNotice(message, lParam, PSN_APPLY) || IsNotice(message, lParam, PSN_RESET)) {
    // The end of the page's cycle: the next activation shows the icon again.
    ClearStaticIcon(context->window, row->controlId);
  }
  return 0;
}

INT_PTR DeviceStatusButtonRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                              const ControlRow* row, const void* kindData) {
  const INT_PTR answer = RunChained(context, message, wParam, lParam, row, kindData);
  if (message != WM_COMMAND) return answer;
  return OnDeviceStatusButton(context) != 0 ? 0 : 1;
}
