// The print-time prompt dialog: account details typed into two groups of text fields, each
// field bound to a setting item of the printer configuration. Texts are written to their
// items while they are typed and checked when a field loses the focus and at OK; a field that
// fails its check gets its last accepted text back.
#include "ui/pages/prompt_dialog.h"

#include <span>

#include "core/constraints/change_values.h"
#include "core/database/model_features.h"
#include "core/descriptors/item_defaults.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "items/text_protection.h"
#include "platform/base/text.h"
#include "platform/dialogs/htmlhelp.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/text/ansi_text.h"
#include "ui/framework/text/input_validation.h"
#include "ui/framework/text/number_text.h"

namespace {

// A text field of the prompt: its control, item, group and label, and how typed text is
// limited and checked.
struct PromptFieldDescriptor {
  int control;
  SettingItemId item;
  int group;  // 1 or 2
  int label;
  LONG maxChars;      // the edit's limit
  WORD flags;         // checks of the typed text (kEditTolerant, kEditNotBlank), kPromptSecret
  const LONG* singleRanges;
  const LONG* doubleRanges;
  LONG message;       // shown when a text is refused
};

// Flag of a field whose text is stored encoded and shown decoded.
constexpr WORD kPromptSecret = 0x2000;

// Character ranges of the fields: names, plain texts, digits; double-byte ranges.
constexpr LONG kNameRanges[] = {9235, 9220, 9221, 0};
constexpr LONG kTextRanges[] = {9235, 9220, 0};
constexpr LONG kDigitRanges[] = {9219, 0};
constexpr LONG kDoubleNameRanges[] = {9222, 0};
constexpr LONG kDoubleRanges[] = {9233, 0};

constexpr PromptFieldDescriptor kFields[] = {
    {1343, kItemPromptGroup1Key, 1, 1299, 32, 0x0202, kNameRanges, kDoubleNameRanges, 425},
    {1347, kItemPromptGroup1Password, 1, 1300, 12, 0x2202, kTextRanges, kDoubleRanges, 738},
    {3523, kItemPromptGroup1Account, 1, 3522, 32, 0x0202, kTextRanges, kDoubleRanges, 738},
    {3531, kItemPromptGroup2Key, 2, 3529, 24, 0x0302, kNameRanges, kDoubleNameRanges, 425},
    {3532, kItemPromptGroup2Pin, 2, 3530, 12, 0x2602, kDigitRanges, kDoubleRanges, 743},
};
constexpr int kFieldCount = static_cast<int>(std::size(kFields));
constexpr LONG kLongestField = 32;

constexpr SettingItemId kGroup1Items[] = {kItemPromptGroup1Key, kItemPromptGroup1Password, kItemPromptGroup1Account};
constexpr SettingItemId kGroup2Items[] = {kItemPromptGroup2Key, kItemPromptGroup2Pin};
// Keep-values items by mode: 0 opens the dialog with the defaults.
constexpr SettingItemId kKeepValuesItem[2] = {kItemPromptKeepValuesAlt, kItemPromptKeepValues};

constexpr int kGroup1Radio = 3552;
constexpr int kGroup2Radio = 3553;
constexpr int kOkButton = 1092;
constexpr int kCancelButton = 1091;
constexpr int kHelpButton = 1341;
constexpr int kGroup2KeyField = 3531;
constexpr int kGroup2SecondLabel = 3530;
constexpr int kGroup2SecondField = 3532;
constexpr int kGroup1KeyField = 1343;

constexpr UINT kCancelMessage = 5192;
constexpr UINT kMessageCaption = 265;
constexpr DWORD kDialogHelpId = 42730;
constexpr WCHAR kMaskChar = u'*';

constexpr DWORD kHelpPairs[] = {3552, 42710, 3553, 42720, 1299, 40080, 1343, 40080, 1300, 40090, 1347, 40090,
                                3522, 42530, 3523, 42530, 3529, 42580, 3531, 42580, 3530, 42590, 3532, 42590,
                                1092, 1520,  1091, 1530,  1090, 1540,  1341, 7777,  0,    0};

// The masking item of a maskable field in a mode; 0 for a field that is never masked.
SettingItemId MaskingItem(int control, DWORD mode) {
  if (control != 1343 && control != 3523 && control != 3531) return 0;
  if (mode == 0) return 5171;
  return control == 3523 ? 5172 : 5170;
}

// What the dialog keeps while it runs (its DWLP_USER).
struct PromptDialogState {
  PromptDialogData* data;
  bool loading;                                   // fields are being filled: their changes are ours
  bool boxShown;                                  // a box of the dialog has the focus
  bool refused;  // a text was refused and nothing typed since: a pending OK does not end the dialog
  WCHAR accepted[kFieldCount][kLongestField + 1];  // the last text of each field that passed its check
};

PromptDialogState* GetState(HWND window) {
  return reinterpret_cast<PromptDialogState*>(GetWindowLongPtrW(window, DWLP_USER));
}

const PromptFieldDescriptor* FindField(int control) {
  for (const PromptFieldDescriptor& f : kFields) {
    if (f.control == control) return &f;
  }
  return nullptr;
}
int FieldIndex(const PromptFieldDescriptor* field) { return static_cast<int>(field - kFields); }

DWORD ReadNumber(const PromptDialogData* data, SettingItemId id, ValueTypeCode type) {
  return GetItemNumber(data->settings, data->configuration, id, type);
}

int CurrentGroup(const PromptDialogData* data) { return ReadNumber(data, kItemPromptGroup, kTypeUInt8) == 1 ? 2 : 1; }

// The item's text as stored (the address inside the records), or NULL when it cannot be read.
LPCWSTR ReadItemText(const PromptDialogData* data, SettingItemId id) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, data->settings, data->configuration, &type, &length, &cell) != kItemDone ||
      type != kTypeString) {
    return nullptr;
  }
  return static_cast<LPCWSTR>(cell.data);
}

bool IsItemEmpty(const PromptDialogData* data, SettingItemId id) {
  LPCWSTR text = ReadItemText(data, id);
  return text == nullptr || text[0] == 0;
}

// The field's text as shown: the stored text, decoded for a secret field; a text that cannot
// be read or decoded shows as empty. Copied into out (maxChars + 1 characters).
void ShownItemText(const PromptDialogData* data, const PromptFieldDescriptor& field, LPWSTR out) {
  out[0] = 0;
  LPCWSTR stored = ReadItemText(data, field.item);
  if (stored == nullptr || stored[0] == 0) return;
  if ((field.flags & kPromptSecret) == 0) {
    lstrcpynW(out, stored, field.maxChars + 1);
    return;
  }
  LPWSTR decoded = nullptr;
  if (ConvertEncodedText(kConvertDecode, stored, &decoded)) lstrcpynW(out, decoded, field.maxChars + 1);
  GlobalFree(decoded);
}

// Writes the typed text as the item's value (encoded for a secret field). False when it
// cannot be encoded or the item does not take it (its encoded form too long for the item).
bool StoreFieldText(PromptDialogData* data, const PromptFieldDescriptor& field, LPCWSTR text) {
  LPWSTR encoded = nullptr;
  LPCWSTR stored = text;
  if ((field.flags & kPromptSecret) && text[0] != 0) {
    if (!ConvertEncodedText(kConvertEncode, text, &encoded)) return false;
    stored = encoded;
  }
  const DWORD bytes = static_cast<DWORD>(lstrlenW(stored) + 1) * sizeof(WCHAR);
  const bool done = SetItemValue(field.item, data->settings, data->configuration, kTypeString, bytes, &stored) == kItemDone;
  GlobalFree(encoded);
  return done;
}

// The field item's name and its minimum and maximum lengths in ANSI bytes: choices 1 and 2
// of its list in the description database. False when they cannot be read.
bool ReadFieldLimits(const PromptDialogData* data, const PromptFieldDescriptor& field, LONG* minimum, LONG* maximum,
                     LPWSTR* name) {
  LONG limits[2] = {};
  for (WORD n = 1; n <= 2; ++n) {
    ChoiceValue* choice = nullptr;
    WORD status = 0;
    if (QueryChoiceEntry(data->store, field.item, n, &choice, &status) != 1) return false;
    LONGLONG number = 0;
    const bool read = choice->value != nullptr && NumberOfTypedValue(choice->valueType, choice->value, &number);
    ReleaseChoiceEntry(choice);
    if (!read) return false;
    limits[n - 1] = static_cast<LONG>(number);
  }
  *minimum = limits[0];
  *maximum = limits[1];
  if (name == nullptr) return true;
  BYTE kind = 0;
  WORD count = 0, status = 0;
  LPCWSTR listName = nullptr;
  DatabaseRecord* record = nullptr;
  if (QueryChoiceListHeader(data->store, field.item, &kind, &count, &listName, &record, &status) != 1) return false;
  if (listName != nullptr) {
    const size_t chars = static_cast<size_t>(lstrlenW(listName)) + 1;
    *name = static_cast<LPWSTR>(GlobalAlloc(GPTR, chars * sizeof(WCHAR)));
    if (*name != nullptr) lstrcpynW(*name, listName, static_cast<int>(chars));
  }
  ReleaseRecord(record);
  return true;
}

// The field's length limits in ANSI bytes; a model without them limits the text to the field's
// own maximum.
void ReadLengthLimits(const PromptDialogData* data, const PromptFieldDescriptor& field, LONG* minimum, LONG* maximum) {
  if (!ReadFieldLimits(data, field, minimum, maximum, nullptr)) {
    *minimum = 0;
    *maximum = field.maxChars;
  }
}

UINT BoxFlags(const PromptDialogData* data) {
  return data->store != nullptr && HasModelFeature(data->store->main, kRightToLeftFeature) == 1 ? kRightToLeftBoxFlags
                                                                                               : 0;
}

// Shows a text (or, without one, string `id` as it stands) in a warning box; the box's answer,
// 0 when nothing could be shown. The field that loses the focus to the box is not checked.
int ShowPromptBox(HWND window, PromptDialogState* state, LPCWSTR text, UINT id) {
  WCHAR caption[128] = {};
  WCHAR plain[256] = {};
  LoadStringW(GetResourceModule(), kMessageCaption, caption, 128);
  if (text == nullptr) {
    if (LoadStringW(GetResourceModule(), id, plain, 256) <= 0) return 0;
    text = plain;
  }
  state->boxShown = true;
  const int answer = MessageBoxW(window, text, caption, MB_ICONWARNING | BoxFlags(state->data));
  state->boxShown = false;
  return answer;
}

// The field's refusal message with the item's name and limits; 0 when it cannot be shown
// (no name, no limits or no text).
int ShowPromptFieldError(HWND window, PromptDialogState* state, const PromptFieldDescriptor& field) {
  LONG minimum = 0, maximum = 0;
  LPWSTR name = nullptr;
  if (!ReadFieldLimits(state->data, field, &minimum, &maximum, &name) || name == nullptr) {
    GlobalFree(name);
    return 0;
  }
  LPWSTR text = nullptr;
  bool formatted = true;
  switch (field.message) {
    case 425: LoadStringFormat(window, &text, 0, 425, {name, minimum, maximum, maximum, maximum / 2}); break;
    case 445: case 447: case 743: LoadStringFormat(window, &text, 0, field.message, {name, minimum, maximum}); break;
    case 737: LoadStringFormat(window, &text, 0, 737, {name, maximum}); break;
    case 738: LoadStringFormat(window, &text, 0, 738, {name, 1, maximum}); break;
    default: formatted = false; break;
  }
  GlobalFree(name);
  int shown = 0;
  if (!formatted) {
    shown = ShowPromptBox(window, state, nullptr, static_cast<UINT>(field.message));
  } else if (text != nullptr) {
    shown = ShowPromptBox(window, state, text, 0);
  }
  GlobalFree(text);
  return shown;
}

// Fills a field as the dialog loads it; its own change notices are ignored.
void SetFieldText(HWND window, PromptDialogState* state, const PromptFieldDescriptor& field, LPCWSTR text) {
  const bool wasLoading = state->loading;
  state->loading = true;
  SetDlgItemTextW(window, field.control, text);
  state->loading = wasLoading;
}

// Every field shows its item's text, which is also its last accepted text.
void LoadFields(HWND window, PromptDialogState* state) {
  for (const PromptFieldDescriptor& field : kFields) {
    LPWSTR accepted = state->accepted[FieldIndex(&field)];
    ShownItemText(state->data, field, accepted);
    SetFieldText(window, state, field, accepted);
  }
}

// The labels and fields of the group in use shown, the others hidden.
void ShowGroups(HWND window, const PromptDialogData* data) {
  const int group = CurrentGroup(data);
  for (const PromptFieldDescriptor& field : kFields) {
    const int show = field.group == group ? SW_SHOW : SW_HIDE;
    ShowWindow(GetDlgItem(window, field.label), show);
    ShowWindow(GetDlgItem(window, field.control), show);
  }
}

// OK needs the group's first field; in group 2 the second field waits for the first.
void UpdatePromptButtons(HWND window, const PromptDialogData* data) {
  if (CurrentGroup(data) == 1) {
    EnableWindow(GetDlgItem(window, kOkButton), !IsItemEmpty(data, kItemPromptGroup1Key));
    return;
  }
  const BOOL filled = !IsItemEmpty(data, kItemPromptGroup2Key);
  EnableWindow(GetDlgItem(window, kOkButton), filled);
  EnableWindow(GetDlgItem(window, kGroup2SecondLabel), filled);
  EnableWindow(GetDlgItem(window, kGroup2SecondField), filled);
}

// The field's typed text (up to its maximum plus one character) as a new block, or NULL.
LPWSTR ReadFieldText(HWND window, const PromptFieldDescriptor& field) {
  const int chars = field.maxChars + 2;
  auto* text = static_cast<LPWSTR>(GlobalAlloc(GPTR, static_cast<SIZE_T>(chars) * sizeof(WCHAR)));
  if (text != nullptr) GetDlgItemTextW(window, field.control, text, chars);
  return text;
}

// Typing: a text longer than the item or the field allows, or one the item cannot hold, is
// replaced by the item's stored text; any other is stored at once.
void OnPromptFieldChange(HWND window, PromptDialogState* state, const PromptFieldDescriptor& field) {
  state->refused = false;
  LPWSTR text = ReadFieldText(window, field);
  if (text == nullptr) return;
  LONG minimum = 0, maximum = 0;
  ReadLengthLimits(state->data, field, &minimum, &maximum);
  const LONG bytes = GetAnsiByteLength(text);
  const bool fits = bytes <= maximum && bytes <= field.maxChars && lstrlenW(text) <= field.maxChars;
  if (!fits || !StoreFieldText(state->data, field, text)) {
    WCHAR stored[kLongestField + 1];
    ShownItemText(state->data, field, stored);
    SetFieldText(window, state, field, stored);
  }
  GlobalFree(text);
}

// The field's text passes its character rules and its item's length limits.
bool IsFieldTextValid(const PromptDialogData* data, const PromptFieldDescriptor& field, LPCWSTR text) {
  LONG minimum = 0, maximum = 0;
  ReadLengthLimits(data, field, &minimum, &maximum);
  const LONG bytes = GetAnsiByteLength(text);
  if (bytes == 0 && text[0] == 0 && (field.flags & kEditTolerant)) return true;
  if (bytes < minimum || bytes > maximum) return false;
  return ValidateInputText(text, field.singleRanges, field.doubleRanges, nullptr, nullptr, field.flags, 0) != 0;
}

// Checks the field's text: a valid text is stored and becomes the field's accepted text; an
// invalid one is reported, the field gets its last accepted text back (into its item too) and
// keeps the focus. When the report cannot be shown the typed text stays and nothing moves.
// True for a valid text.
bool CheckPromptField(HWND window, PromptDialogState* state, const PromptFieldDescriptor& field) {
  LPWSTR text = ReadFieldText(window, field);
  if (text == nullptr) return false;
  LPWSTR accepted = state->accepted[FieldIndex(&field)];
  bool valid = IsFieldTextValid(state->data, field, text) && StoreFieldText(state->data, field, text);
  if (valid) {
    lstrcpynW(accepted, text, field.maxChars + 1);
  } else if (ShowPromptFieldError(window, state, field)) {
    state->refused = true;
    StoreFieldText(state->data, field, accepted);
    SetFieldText(window, state, field, accepted);
    SetFocus(GetDlgItem(window, field.control));
  }
  GlobalFree(text);
  return valid;
}

void OnPromptFieldKillFocus(HWND window, PromptDialogState* state, const PromptFieldDescriptor& field) {
  if (state->boxShown) return;
  // Leaving a field for Cancel needs no check: the dialog is about to end.
  HWND focus = GetFocus();
  if (focus != nullptr && (GetDlgCtrlID(focus) == kCancelButton || GetDlgCtrlID(focus) == IDCANCEL) &&
      GetParent(focus) == window) {
    return;
  }
  CheckPromptField(window, state, field);
}

void OnGroupRadio(HWND window, PromptDialogState* state, int group) {
  SetItemNumberV(state->data->settings, state->data->configuration, kItemPromptGroup, kTypeUInt8, group == 2 ? 1 : 0);
  LoadFields(window, state);
  ShowGroups(window, state->data);
  UpdatePromptButtons(window, state->data);
}

// OK: every field of the group in use must pass its check; then the other group's items go
// back to their defaults.
void OnPromptOk(HWND window, PromptDialogState* state) {
  if (!IsWindowEnabled(GetDlgItem(window, kOkButton))) return;
  // The click that took the focus from a refused field leaves the dialog open.
  if (state->refused) {
    state->refused = false;
    return;
  }
  const int group = CurrentGroup(state->data);
  for (const PromptFieldDescriptor& field : kFields) {
    if (field.group == group && !CheckPromptField(window, state, field)) return;
  }
  ResetPromptItems(state->data, group == 2 ? kPromptResetGroup1 : kPromptResetGroup2);
  EndDialog(window, 1);
}

void OnPromptCancel(HWND window, PromptDialogState* state) {
  ShowPromptBox(window, state, nullptr, kCancelMessage);
  EndDialog(window, 0);
}

void ShowPromptHelp(const PromptDialogData* data, DWORD id) {
  HtmlHelpProc help = BindHtmlHelp();
  if (help == nullptr || id == 0) return;
  LPWSTR file = GetDriverHelpFile(data->printer);
  help(GetDesktopWindow(), file != nullptr ? file : u"", HH_HELP_CONTEXT, id);
  GlobalFree(file);
}

// Help windows opened from the dialog close with it.
void CloseHelpWindows(const PromptDialogData* data) {
  HtmlHelpProc help = BindHtmlHelp();
  if (help == nullptr) return;
  LPWSTR file = GetDriverHelpFile(data->printer);
  if (help(GetDesktopWindow(), file != nullptr ? file : u"", HH_GET_WIN_HANDLE,
           reinterpret_cast<DWORD_PTR>(u"main")) != nullptr) {
    help(nullptr, nullptr, HH_CLOSE_ALL, 0);
  }
  GlobalFree(file);
}

void InitPromptDialog(HWND window, PromptDialogState* state) {
  PromptDialogData* data = state->data;
  if (ReadNumber(data, kKeepValuesItem[data->mode != 0 ? 1 : 0], kTypeFlag) == 0) {
    ResetPromptItems(data, kPromptResetAll);
  }
  for (const PromptFieldDescriptor& field : kFields) {
    const SettingItemId masking = MaskingItem(field.control, data->mode);
    if (masking == 0) continue;
    const bool masked = ReadNumber(data, masking, kTypeFlag) != 0;
    SendDlgItemMessageW(window, field.control, EM_SETPASSWORDCHAR, masked ? kMaskChar : 0, 0);
  }
  if (data->lockGroup == 1) {
    SetItemNumberV(data->settings, data->configuration, kItemPromptGroup, kTypeUInt8, 0);
    CheckRadioButton(window, kGroup1Radio, kGroup2Radio, kGroup1Radio);
    EnableWindow(GetDlgItem(window, kGroup1Radio), FALSE);
    EnableWindow(GetDlgItem(window, kGroup2Radio), FALSE);
  } else {
    CheckRadioButton(window, kGroup1Radio, kGroup2Radio, CurrentGroup(data) == 2 ? kGroup2Radio : kGroup1Radio);
  }
  for (const PromptFieldDescriptor& field : kFields) {
    SendDlgItemMessageW(window, field.control, EM_LIMITTEXT, static_cast<WPARAM>(field.maxChars), 0);
  }
  LoadFields(window, state);
  ShowGroups(window, data);
  UpdatePromptButtons(window, data);
}

INT_PTR OnPromptCommand(HWND window, PromptDialogState* state, WPARAM wParam) {
  const int control = LOWORD(wParam);
  const UINT code = HIWORD(wParam);
  if (const PromptFieldDescriptor* field = FindField(control)) {
    if (state->loading) return TRUE;
    if (code == EN_CHANGE) OnPromptFieldChange(window, state, *field);
    else if (code == EN_KILLFOCUS) OnPromptFieldKillFocus(window, state, *field);
    else return FALSE;
    if (control == kGroup1KeyField || control == kGroup2KeyField) UpdatePromptButtons(window, state->data);
    return TRUE;
  }
  if (code != BN_CLICKED) return FALSE;
  switch (control) {
    case kGroup1Radio: OnGroupRadio(window, state, 1); return TRUE;
    case kGroup2Radio: OnGroupRadio(window, state, 2); return TRUE;
    case IDOK: case kOkButton: OnPromptOk(window, state); return TRUE;
    case IDCANCEL: case kCancelButton: OnPromptCancel(window, state); return TRUE;
    case kHelpButton: ShowPromptHelp(state->data, kDialogHelpId); return TRUE;
    default: return FALSE;
  }
}

}  // namespace

void ResetPromptItems(PromptDialogData* data, int kind) {
  if (data == nullptr) return;
  auto reset = [data](std::span<const SettingItemId> items) {
    for (SettingItemId id : items) ResetItemToDefault(data->store, data->settings, id, data->configuration);
  };
  if (kind == kPromptResetGroup1 || kind == kPromptResetAll) reset(kGroup1Items);
  if (kind == kPromptResetGroup2 || kind == kPromptResetAll) reset(kGroup2Items);
  if (kind == kPromptResetAll) ResetItemToDefault(data->store, data->settings, kItemPromptGroup, data->configuration);
}

INT_PTR UserDetailsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* data = reinterpret_cast<PromptDialogData*>(lParam);
    auto* state = static_cast<PromptDialogState*>(GlobalAlloc(GPTR, sizeof(PromptDialogState)));
    if (data == nullptr || state == nullptr) {
      GlobalFree(state);
      EndDialog(window, 0);
      return TRUE;
    }
    state->data = data;
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    InitPromptDialog(window, state);
    return TRUE;
  }
  PromptDialogState* state = GetState(window);
  if (state == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      return OnPromptCommand(window, state, wParam);
    case WM_HELP: {
      const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
      if (info != nullptr) ShowPromptHelp(state->data, LookupControlHelpId(kHelpPairs, static_cast<HWND>(info->hItemHandle)));
      return TRUE;
    }
    case WM_CONTEXTMENU:
      ShowPromptHelp(state->data, ChooseContextMenuHelpId(window, kHelpPairs, wParam, lParam));
      return TRUE;
    case WM_DESTROY:
      CloseHelpWindows(state->data);
      SetWindowLongPtrW(window, DWLP_USER, 0);
      GlobalFree(state);
      return FALSE;
    default:
      return FALSE;
  }
}
