// The edit-box kind and the value-name text kind.
#include "ui/framework/dialog/edit_kind.h"

#include "core/common/units.h"
#include "core/constraints/change_values.h"
#include "core/constraints/item_position.h"
#include "items/item_ids.h"
#include "items/text_protection.h"
#include "platform/base/text.h"
#include "platform/comctl/propsheet.h"
#include "platform/kernel/memory.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/text/ansi_text.h"
#include "ui/framework/text/input_validation.h"

namespace {

constexpr int kEditStateList = 0;
// Keeps the check after typing into a units box from running inside itself.
bool typingCheckRunning = false;

const EditKindData* EditData(const void* kindData) {
  const auto* slot = static_cast<const EditKindData* const*>(kindData);
  return slot != nullptr ? *slot : nullptr;
}

EditState* FindEditState(HandlerContext* context, const ControlRow* row) {
  return static_cast<EditState*>(GetControlData(kEditStateList, context->window, row->controlId, 0));
}

void FreeEditState(EditState* state) {
  if (state == nullptr) return;
  GlobalFree(state->valueText);
  GlobalFree(state->typedText);
}

LPWSTR CopyText(LPCWSTR text, LONG room) {
  auto* copy = static_cast<LPWSTR>(GlobalAlloc(GPTR, (room + 1) * sizeof(WCHAR)));
  if (copy != nullptr && text != nullptr) lstrcpynW(copy, text, room + 1);
  return copy;
}

// The room of a value text: the encoded form of an encoded box is longer than the typed one.
LONG ValueRoom(const EditKindData* data) {
  const LONG n = data->maxLength > 0 ? data->maxLength : 0;
  return (data->flags & kEditEncoded) ? (n + 2) / 3 * 4 + 4 : n;
}

void ReplaceText(LPWSTR* slot, LPCWSTR text, LONG room) {
  LPWSTR copy = CopyText(text, room);
  if (copy == nullptr) return;
  GlobalFree(*slot);
  *slot = copy;
}

// A text box's value as the change compares it: the last text given to or taken from the
// settings when the box keeps one. A copy, so the bound value never points at the box's text,
// which is replaced and freed while the bound value lives on.
BoundValue LastValueOf(const BoundValue* bound, const EditState* state) {
  BoundValue last = *bound;
  if (state != nullptr && state->valueText != nullptr) last.value.data = state->valueText;
  return last;
}

// The box's whole text as a new buffer; *length its character count.
LPWSTR ReadBoxText(HWND box, LONG* length) {
  *length = GetWindowTextLengthW(box);
  auto* text = static_cast<LPWSTR>(GlobalAlloc(GPTR, (*length + 1) * sizeof(WCHAR)));
  if (text != nullptr) GetWindowTextW(box, text, *length + 1);
  return text;
}

bool CancelActionRuns(const HandlerContext* context) { return context->actionType == kButtonCancel; }

LONG ToShown(HandlerContext* context, const ControlRow* row, const EditKindData* data, const BoundValue* bound,
             LONG value) {
  if (data->format == nullptr) return value;
  if (data->format->scaled != 0) ConvertItemPosition(kValueToPosition, bound->id, value, &value);
  if (data->flags & kEditUnits) GetEditLimits(context->window, kStoredToShown, bound->id, bound->type, value, &value,
                                               data);
  (void)row;
  return value;
}

bool IsShiftItem(SettingItemId id) {
  return id == kItemBindingShift || id == kItemBindingShiftBack || id == kItemBookletShift;
}

// The box's flags for the item it shows: the shift items have decimals exactly in inch
// display (the static kind data stays as declared).
DWORD EditFlagsFor(HWND window, const EditKindData* data, SettingItemId id) {
  DWORD flags = data->flags;
  if (IsShiftItem(id) && data->format != nullptr) {
    SheetState* sheet = FindSheetState(window);
    if (sheet != nullptr && sheet->displayUnit == 1) {
      flags |= kEditDecimal;
    } else {
      flags &= ~kEditDecimal;
    }
  }
  return flags;
}

}  // namespace

const EditKindData* GetEditKindData(const ControlRow* row) {
  return row != nullptr && row->kind == kKindEdit ? EditData(row->kindData) : nullptr;
}

EditState* GetEditState(HandlerContext* context, const ControlRow* row) {
  return context != nullptr && row != nullptr ? FindEditState(context, row) : nullptr;
}

int ParseFixedPointText(LPCSTR text, WORD decimals, DWORD flags, LONG* value) {
  if (text == nullptr || value == nullptr || decimals > kMaxDecimals) return 0;
  const bool negative = text[0] == '-';
  if ((text[0] == '-' || text[0] == '+') && (flags & kEditUnsigned)) return 0;
  const char* p = (text[0] == '-' || text[0] == '+') ? text + 1 : text;
  const char* point = nullptr;
  for (const char* q = p; *q != 0; ++q) {
    if (*q == '.') {
      if (point != nullptr) return 0;
      point = q;
    } else if (*q < '0' || *q > '9') {
      return 0;
    }
  }
  char whole[16] = {};
  const size_t wholeLength = point != nullptr ? size_t(point - p) : lstrlenA(p);
  // ".5" has an empty whole part; a text without digits before its end has none at all.
  if (wholeLength > 10 || (wholeLength == 0 && (point == nullptr || point[1] == 0))) return 0;
  for (size_t n = 0; n < wholeLength; ++n) whole[n] = p[n];
  LONG w = 0;
  if (wholeLength > 0 && !ParseInt32Text(whole, &w)) return 0;
  // The whole part as the unsigned number the text wrote.
  long long wide = static_cast<long long>(static_cast<DWORD>(w));
  long long f = 0;
  int k = 0;
  if (point != nullptr) {
    for (const char* q = point + 1; *q != 0; ++q, ++k) {
      if (k >= 18) return 0;
      f = f * 10 + (*q - '0');
    }
  } else {
    k = decimals;
  }
  if (k > decimals) {
    if (!(flags & kEditTolerant)) return 0;
    for (int n = decimals; n < k; ++n) f /= 10;
    k = decimals;
  }
  for (int n = k; n < decimals; ++n) f *= 10;
  if ((flags & kEditHalfSteps) && decimals >= 1) {
    long long unit = 1;
    for (int n = 1; n < decimals; ++n) unit *= 10;
    const long long first = f / unit;
    const long long forced = first >= 1 && first <= 4 ? 0 : first >= 6 ? 5 : first;
    f = forced * unit + f % unit;
  }
  long long scale = 1;
  for (int n = 0; n < decimals; ++n) scale *= 10;
  long long result = wide * scale + f;
  if (negative) result = -result;
  // The value must fit the item's 32 bits: signed, or unsigned for unsigned boxes.
  const bool fits = result >= ((flags & kEditUnsigned) ? 0 : -2147483648LL) && result <= 0xFFFFFFFFLL;
  if (!fits) return 0;
  *value = static_cast<LONG>(static_cast<DWORD>(result));
  return 1;
}

int GetEditLimits(HWND window, int direction, SettingItemId id, ValueTypeCode, LONG value, LONG* out,
                  const EditKindData* data) {
  if (out == nullptr) return 0;
  *out = value;
  SheetState* sheet = FindSheetState(window);
  const WORD unit = sheet != nullptr ? sheet->displayUnit : 0;
  WORD decimals = 0;
  const bool unitItem =
      IsShiftItem(id) || id == kItemOffsetX || id == kItemOffsetY || (id >= kItemMarginLeft && id <= kItemMarginBottom);
  if (!unitItem) return 0;
  if (data != nullptr && data->format != nullptr && GetItemDecimals(id, unit, &decimals)) {
    data->format->decimals = decimals;
  }
  if (unit == 1) {
    *out = direction == kShownToStored ? HundredthInchToTenthMm(value) : ClampItemValue(value, id);
  }
  return 1;
}

int ShowEditValue(HandlerContext* context, const ControlRow* row, const EditKindData* data) {
  if (context == nullptr || row == nullptr || data == nullptr) return 0;
  const BoundValue* bound = GetCurrentBoundValue(context->window, row);
  if (bound == nullptr) return 0;
  LPWSTR text = nullptr;
  if (data->flags & kEditText) {
    LPCWSTR stored = static_cast<LPCWSTR>(bound->value.data);
    if (data->flags & kEditEncoded) {
      if (stored == nullptr || stored[0] == 0 || !ConvertEncodedText(kConvertDecode, stored, &text)) {
        text = CopyText(u"", 0);
      }
    } else {
      text = CopyText(stored != nullptr ? stored : u"", stored != nullptr ? lstrlenW(stored) : 0);
    }
  } else {
    LONGLONG number = 0;
    if (!NumberOfTypedValue(bound->type, BoundValueReference(bound), &number)) return 0;
    const LONG shown = ToShown(context, row, data, bound, static_cast<LONG>(number));
    const DWORD flags = EditFlagsFor(context->window, data, bound->id);
    const bool isSigned = (flags & kEditSigned) != 0;
    const WORD decimals = data->format != nullptr ? data->format->decimals : 0;
    if (flags & kEditDecimal) {
      FormatFixedPoint(&text, decimals, isSigned, flags, static_cast<DWORD>(shown));
    } else {
      ItemValueCell cell{};
      cell.number = static_cast<DWORD>(shown);
      FormatNumberText(&text, decimals, isSigned, bound->type, &cell);
    }
  }
  if (text == nullptr) return 0;
  SetDlgItemTextW(context->window, row->controlId, text);
  GlobalFree(text);
  if (context->permission != 0) ApplyControlState(context->window, row, nullptr);
  return 1;
}

int ReadEditValue(HandlerContext* context, const ControlRow* row, LONG* value, LPWSTR* text, const EditKindData* data,
                  BOOL check) {
  if (text != nullptr) *text = nullptr;
  HWND box = context != nullptr && row != nullptr ? GetDlgItem(context->window, row->controlId) : nullptr;
  if (box == nullptr || data == nullptr || value == nullptr) return kEditError;
  LONG length = 0;
  LPWSTR wide = ReadBoxText(box, &length);
  if (wide == nullptr) return kEditError;
  int result = kEditValid;
  LPSTR narrow = nullptr;
  DWORD narrowLength = 0;
  const WORD decimals = data->format != nullptr ? data->format->decimals : 0;
  if (data->maxLength > 0 && length > data->maxLength) {
    result = kEditInvalid;
  } else if (!WideToNarrow(wide, &narrow, &narrowLength)) {
    result = kEditError;
  } else if (data->flags & kEditText) {
    if (check && data->rule != nullptr &&
        !ValidateInputText(wide, data->rule->singleRanges, data->rule->doubleRanges, data->rule->forbiddenSingle,
                           data->rule->forbiddenDouble, data->flags, decimals)) {
      result = kEditInvalid;
    } else if (check) {
      LONG minimum = 0, maximum = 0x7FFFFFFF;
      GetNumericRange(context, row, &minimum, &maximum);
      const LONG bytes = GetAnsiByteLength(wide);
      const bool emptyAllowed = bytes == 0 && (data->flags & kEditTolerant);
      if (!emptyAllowed && (bytes < minimum || bytes > maximum)) result = kEditInvalid;
    }
  } else {
    static const LONG kSingle[] = {kNumberSingleRanges, 0};
    static const LONG kDouble[] = {kNumberDoubleRanges, 0};
    const DWORD flags = EditFlagsFor(context->window, data, GetCurrentBoundItemId(context->window, row));
    if (check && !ValidateInputText(wide, kSingle, kDouble, nullptr, nullptr, flags, decimals)) {
      result = kEditInvalid;
    } else if (flags & kEditDecimal) {
      if (!ParseFixedPointText(narrow, decimals, flags, value)) result = kEditInvalid;
    } else if (!ParseInt32Text(narrow, value)) {
      result = kEditInvalid;
    }
  }
  GlobalFree(narrow);
  if (result == kEditValid && text != nullptr) {
    *text = wide;
  } else {
    GlobalFree(wide);
  }
  return result;
}

int ShowEditRangeMessage(HandlerContext* context, const ControlRow* row, const EditKindData* data, HWND window) {
  if (context == nullptr || row == nullptr || data == nullptr || data->rule == nullptr) return 0;
  EditState* state = FindEditState(context, row);
  if (state != nullptr && state->busy) return 0;
  const LONG id = data->rule->messageId;
  if (id == kNoString) return 0;
  LONG minimum = 0, maximum = 0;
  GetNumericRange(context, row, &minimum, &maximum);
  ChoiceList* list = GetCurrentChoiceList(context->window, row);
  LPCWSTR name = list != nullptr && list->name != nullptr ? list->name : u"";
  LPWSTR text = nullptr;
  const LONG shownMinimum = row->itemCount > 0 && BoundItemId(row->items[0]) == kItemFontOptionValue ? 1 : minimum;
  switch (id) {
    case 425: LoadStringFormat(window, &text, 0, id, {name, minimum, maximum, maximum, maximum / 2}); break;
    case 445: case 447: case 743: LoadStringFormat(window, &text, 0, id, {name, minimum, maximum}); break;
    case 737: LoadStringFormat(window, &text, 0, id, {name, maximum}); break;
    case 738: LoadStringFormat(window, &text, 0, id, {name, shownMinimum, maximum}); break;
    default: break;
  }
  if (state != nullptr) state->busy = 1;
  const int shown = text != nullptr
                        ? ShowResourceMessageBox(window, kEditMessageCaption, nullptr, MB_ICONWARNING, kNoStringId, text)
                        : ShowResourceMessageBox(window, kEditMessageCaption, nullptr, MB_ICONWARNING, id, nullptr);
  if (state != nullptr) state->busy = 0;
  GlobalFree(text);
  return shown > 0 ? 1 : 0;
}

int ApplyEditValue(HandlerContext* context, WPARAM, const ControlRow* row, const EditKindData* data, BOOL check) {
  if (context == nullptr || row == nullptr || data == nullptr) return kEditError;
  HWND box = GetDlgItem(context->window, row->controlId);
  if (box == nullptr) return kEditError;
  if (!IsWindowEnabled(box)) return kEditDisabled;
  BoundValue* bound = GetCurrentBoundValue(context->window, row);
  if (bound == nullptr) return kEditError;
  const bool isText = (data->flags & kEditText) != 0;
  EditState* state = FindEditState(context, row);
  LONG number = 0;
  LPWSTR typed = nullptr;
  const int read = ReadEditValue(context, row, &number, &typed, data, check);
  if (read == kEditError) return kEditError;
  if (read == kEditInvalid) {
    // Neither an invalid number nor an invalid text ever reaches the settings.
    if (!isText || ShowEditRangeMessage(context, row, data, context->window)) {
      SetFocus(box);
      ShowEditValue(context, row, data);
      SetContextChanges(context, 1, nullptr, row);
    } else {
      ShowEditValue(context, row, data);
    }
    return kEditRefused;
  }
  ItemValueCell cell{};
  LPWSTR encoded = nullptr;
  const void* value = &cell;
  if (isText) {
    LPWSTR stored = typed;
    if ((data->flags & kEditEncoded) && typed[0] != 0) {
      if (!ConvertEncodedText(kConvertEncode, typed, &encoded)) {
        GlobalFree(typed);
        return kEditError;
      }
      stored = encoded;
    }
    cell.data = stored;
    value = &cell.data;
  } else {
    if (data->format != nullptr) {
      if (data->flags & kEditUnits) GetEditLimits(context->window, kShownToStored, bound->id, bound->type, number,
                                                   &number, data);
      if (data->format->scaled != 0) ConvertItemPosition(kPositionToValue, bound->id, number, &number);
    }
    cell.number = static_cast<DWORD>(number);
  }
  WORD* changed = nullptr;
  const BoundValue last = isText ? LastValueOf(bound, state) : *bound;
  const int result = ChangeControlValue(context, row, &last, value, &changed);
  if (result == kChangeApplied) {
    SetContextChanges(context, 1, changed, row);
    if (isText && state != nullptr) {
      ReplaceText(&state->valueText, static_cast<LPCWSTR>(cell.data), ValueRoom(data));
      ReplaceText(&state->typedText, typed, data->maxLength);
    }
  } else {
    ShowEditValue(context, row, data);
    if (result == kChangeRefused) SetFocus(box);
  }
  GlobalFree(encoded);
  GlobalFree(typed);
  return result;
}

int AttachEditState(HandlerContext* context, const ControlRow* row, const EditKindData* data) {
  if (context == nullptr || row == nullptr || data == nullptr) return 0;
  DetachEditState(context, row);
  auto* state = static_cast<EditState*>(GlobalAlloc(GPTR, sizeof(EditState)));
  if (state == nullptr) return 0;
  if (data->flags & kEditText) {
    LONG length = 0;
    LPWSTR text = ReadBoxText(GetDlgItem(context->window, row->controlId), &length);
    state->typedText = CopyText(text, data->maxLength);
    LPWSTR encoded = nullptr;
    if ((data->flags & kEditEncoded) && text != nullptr && text[0] != 0 &&
        ConvertEncodedText(kConvertEncode, text, &encoded)) {
      state->valueText = CopyText(encoded, ValueRoom(data));
    } else {
      state->valueText = CopyText(text, ValueRoom(data));
    }
    GlobalFree(encoded);
    GlobalFree(text);
  }
  if (SetControlData(kEditStateList, context->window, row->controlId, 0, state) != 0) {
    FreeEditState(state);
    GlobalFree(state);
    return 0;
  }
  return 1;
}

int DetachEditState(HandlerContext* context, const ControlRow* row) {
  if (context == nullptr || row == nullptr) return 0;
  EditState* state = FindEditState(context, row);
  if (state == nullptr) return 0;
  FreeEditState(state);
  return RemoveControlData(kEditStateList, context->window, row->controlId, 0);
}

namespace {

// Typing into a text box applies every accepted text at once.
void OnTextChange(HandlerContext* context, const ControlRow* row, const EditKindData* data) {
  EditState* state = FindEditState(context, row);
  HWND box = GetDlgItem(context->window, row->controlId);
  BoundValue* bound = GetCurrentBoundValue(context->window, row);
  if (state == nullptr || box == nullptr || bound == nullptr || state->busy) return;
  LONG length = 0;
  LPWSTR text = ReadBoxText(box, &length);
  if (text == nullptr) return;
  LONG minimum = 0, maximum = 0x7FFFFFFF;
  GetNumericRange(context, row, &minimum, &maximum);
  const LONG bytes = GetAnsiByteLength(text);
  if ((data->maxLength > 0 && bytes > data->maxLength) || bytes > maximum) {
    // The box gets back the last accepted text; its own change notice finds it unchanged.
    state->busy = 1;
    SetWindowTextW(box, state->typedText != nullptr ? state->typedText : u"");
    state->busy = 0;
  } else {
    LPWSTR encoded = nullptr;
    LPCWSTR stored = text;
    if ((data->flags & kEditEncoded) && text[0] != 0 && ConvertEncodedText(kConvertEncode, text, &encoded)) {
      stored = encoded;
    }
    ItemValueCell cell{};
    cell.data = const_cast<LPWSTR>(stored);
    WORD* changed = nullptr;
    const BoundValue last = LastValueOf(bound, state);
    if (ChangeControlValue(context, row, &last, &cell.data, &changed) == kChangeApplied) {
      SetContextChanges(context, 1, changed, row);
      ReplaceText(&state->valueText, stored, ValueRoom(data));
      ReplaceText(&state->typedText, text, data->maxLength);
    }
    GlobalFree(encoded);
  }
  GlobalFree(text);
  if ((data->flags & kEditUnits) && IsWindowEnabled(box) && GetFocus() == box && !typingCheckRunning) {
    typingCheckRunning = true;
    ApplyEditValue(context, 0, row, data, TRUE);
    typingCheckRunning = false;
  }
}

}  // namespace

INT_PTR HandleEditKind(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                       const void* kindData) {
  const EditKindData* data = EditData(kindData);
  if (context == nullptr || row == nullptr || data == nullptr || row->controlId == kNoControl) return 0;
  HWND box = GetDlgItem(context->window, row->controlId);
  if (box == nullptr) return 0;
  if (IsNotice(message, lParam, PSN_SETACTIVE)) {
    WCHAR className[16] = {};
    const bool combo = GetClassNameW(box, className, 16) > 0 && lstrcmpiW(className, u"ComboBox") == 0;
    SendMessageW(box, combo ? CB_LIMITTEXT : EM_LIMITTEXT, data->maxLength, 0);
    ShowEditValue(context, row, data);
    AttachEditState(context, row, data);
    return 0;
  }
  if (IsNotice(message, lParam, PSN_KILLACTIVE)) {
    int result = 0;
    if (!CancelActionRuns(context)) {
      result = ApplyEditValue(context, wParam, row, data, (data->triggers & kCheckAtKillActive) != 0);
    }
    DetachEditState(context, row);
    return result == kEditRefused ? 1 : 0;
  }
  if (IsNotice(message, lParam, PSN_APPLY) || IsNotice(message, lParam, PSN_RESET)) {
    DetachEditState(context, row);
    return 0;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS) {
    EditState* state = FindEditState(context, row);
    if (state != nullptr && !state->busy) {
      ApplyEditValue(context, wParam, row, data, (data->triggers & kCheckAtKillFocus) != 0);
    }
    return 0;
  }
  if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
    if (data->flags & kEditText) OnTextChange(context, row, data);
    return 0;
  }
  if (message == WM_REFRESHCONTROLS) {
    if (!(data->flags & kEditText)) {
      ShowEditValue(context, row, data);
    } else if (context->row == nullptr || context->row->controlId != row->controlId) {
      // A refresh that this box's own typing caused leaves the box and its caret alone.
      EditState* state = FindEditState(context, row);
      const BoundValue* bound = GetCurrentBoundValue(context->window, row);
      if (state != nullptr && bound != nullptr) {
        ReplaceText(&state->valueText, static_cast<LPCWSTR>(bound->value.data), ValueRoom(data));
      }
      ShowEditValue(context, row, data);
    }
    return 0;
  }
  if (message == WM_VALIDATEPAGE) {
    if (CancelActionRuns(context)) return 0;
    return ApplyEditValue(context, wParam, row, data, (data->triggers & kCheckAtValidate) != 0) == kEditRefused ? 1
                                                                                                                 : 0;
  }
  if (message == WM_CANCELPAGE) ShowEditValue(context, row, data);
  return 0;
}

INT_PTR HandleValueTextKind(HandlerContext* context, UINT message, WPARAM, LPARAM lParam, const ControlRow* row,
                            const void* kindData) {
  if (context == nullptr || row == nullptr || row->controlId == kNoControl) return 0;
  if (message != WM_REFRESHCONTROLS && !IsNotice(message, lParam, PSN_SETACTIVE)) return 0;
  // The text follows the item the other control shows, wherever it stands among this row's items.
  const auto* other = static_cast<const LONG*>(kindData);
  if (other != nullptr && *other != kNoControl) SyncBoundIndex(context->window, context->pageIndex, *other, row, nullptr);
  ChoiceList* list = GetCurrentChoiceList(context->window, row);
  const LONG n = list != nullptr && list->kind == kChoiceKindNoThirdValue ? 0 : GetCurrentChoiceIndex(context->window, row);
  LPCWSTR name = GetChoiceName(list, n);
  LPCWSTR shortName = u"";
  for (LPCWSTR p = name; p != nullptr && *p != 0; ++p) {
    if (*p == u'\r') shortName = p + 1;
  }
  SetDlgItemTextW(context->window, row->controlId, shortName);
  ApplyControlState(context->window, row, nullptr);
  return 0;
}
