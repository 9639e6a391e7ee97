// The paper source tab (see paper_source_tab.h): its row table, the question before the tray
// popup and the note under the paper source.
#include "ui/pages/paper_source_tab.h"

#include <iterator>

#include "core/common/typed_value.h"
#include "core/store/item_access.h"
#include "core/store/policy_file.h"
#include "items/item_ids.h"
#include "platform/comctl/propsheet.h"
#include "platform/kernel/memory.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/kernel/resource.h"
#include "platform/user/window.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/list_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/option_list.h"
#include "ui/framework/dialog/row_callbacks.h"
#include "ui/framework/dialog/size_summary.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/pages/main_tab.h"
#include "ui/pages/page_routines.h"
#include "ui/pages/tray_popup.h"

namespace {

// Controls.
constexpr LONG kSourceCombo = 1016;
constexpr LONG kSourceLabel = 1182;
constexpr LONG kTrayButton = 1006;
constexpr LONG kPaperTypeCombo = 1021;
constexpr LONG kPaperTypeLabel = 1183;
constexpr LONG kNoteText = 3803;
constexpr LONG kNoteFrame = 3804;
constexpr LONG kCollateBox = 1031;
constexpr LONG kDeviceStatusButton = 3831;
constexpr LONG kSizeSummaryText = 3838;

// Items.
constexpr SettingItemId kSourceItem = kItemPaperSource;
constexpr SettingItemId kTrayPopupItem = kItemTrayPopup;
constexpr SettingItemId kPaperTypeItem = kItemEntryOverride;
constexpr SettingItemId kCollateItem = kItemCollate;
constexpr SettingItemId kDeviceStatusItem = kItemDeviceStatus;
constexpr SettingItemId kPaperItem = kItemPaperSize;
constexpr SettingItemId kOutputPaperItem = kItemOutputPaper;

// Values.
constexpr WORD kBypassSource = 4;
constexpr WORD kAutoSource = 7;
constexpr WORD kFirstTraySource = 1;
constexpr WORD kSecondTraySource = 3;
constexpr WORD kSameAsPaper = 267;

// Strings.
constexpr LONG kSwitchQuestion = 5189;
constexpr LONG kMessageCaption = 265;
constexpr UINT kNoteFormat = 9409, kAutoNote = 9405, kTypeMatched = 9406, kTypeNotMatched = 9407,
               kTrayNote = 9408, kFirstTrayNote = 9410, kSecondTrayNote = 9411;
constexpr int kNoteChars = 127;
constexpr LONG kSourceSuffix = 9096, kTraySuffix = 9097, kCollateSuffix = 9103, kPaperTypeSuffix = 9383;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kSource[] = {BoundItem(kSourceItem, kBoth)};
const DWORD kTrayPopup[] = {BoundItem(kTrayPopupItem, kBoth)};
const DWORD kPaperType[] = {BoundItem(kPaperTypeItem, kBoth)};
const DWORD kCollate[] = {BoundItem(kCollateItem, kBoth)};
const DWORD kDeviceStatus[] = {BoundItem(kDeviceStatusItem, kBoth)};

const ListKindData kSourceComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, OptionListDraw, nullptr};
const ListKindData kComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, nullptr, nullptr};
// The popup's item is a pseudo item without a stored value, so the framework's check before
// opening (which judges the item's current value) cannot run for it: the popup opens as is.
const PopupTarget kTrayPopupTarget{&kTrayPopupDialog, 0, kTrayPopupItem};
const ButtonAction kTrayPopupAction{kButtonPopup, &kTrayPopupTarget};
const StaticTextData kStateOnly{kStaticStateOnly, 0};
const WORD kStaysEnabled = kRowEnabledWithoutPermission;
const WORD kLabelFollows = kRowLabelFollowsControl;

// Before the tray popup opens, offers to switch the paper source to the bypass tray.
INT_PTR HandleTrayPictureButtonRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                                   const ControlRow* row, const void* kindData) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED)
    OfferChoiceSwitch(context, kSourceItem, kSourceCombo, kBypassSource, kSwitchQuestion);
  return RunChained(context, message, wParam, lParam, row, kindData);
}

// Loads string `id` (up to the note's length) into `text`: false when it is missing.
bool LoadNoteString(HWND window, UINT id, WCHAR (&text)[kNoteChars + 1]) {
  return LoadStringW(GetDialogResourceModule(window), id, text, kNoteChars + 1) > 0;
}

// The note for a source and the paper type check: the note format with the source's text and
// the paper-type text; false when a string is missing.
bool ComposeNote(HWND window, UINT sourceText, bool typeChecked, LPWSTR* note) {
  WCHAR first[kNoteChars + 1] = {}, second[kNoteChars + 1] = {};
  if (!LoadNoteString(window, sourceText, first) ||
      !LoadNoteString(window, typeChecked ? kTypeMatched : kTypeNotMatched, second))
    return false;
  return LoadStringFormat(window, note, kNoteChars + 1, kNoteFormat, {first, second}) == 1;
}

// The note under the paper source: what the chosen source does with the paper of the job. A
// source the note has nothing to say about (the bypass tray and sources other than the
// automatic choice and the two trays) shows no note and hides its frame.
INT_PTR UpdatePaperSourceNote(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                              const ControlRow* row, const void* kindData) {
  const INT_PTR answer = RunChained(context, message, wParam, lParam, row, kindData);
  if (!IsPageRefresh(message, lParam)) return answer;
  HWND window = context->window;
  if (window == nullptr || context->settings == nullptr) return answer;
  ShowWindow(GetDlgItem(window, kNoteFrame), SW_SHOW);
  ItemValueCell source{}, paperType{}, paper{}, output{};
  if (!ReadContextItem(context, kSourceItem, &source) || !ReadContextItem(context, kPaperTypeItem, &paperType) ||
      !ReadContextItem(context, kPaperItem, &paper) || !ReadContextItem(context, kOutputPaperItem, &output))
    return answer;
  const WORD paperKey = output.word == kSameAsPaper ? paper.word : output.word;
  const bool typeChecked = paperType.number != 0;
  LPWSTR note = nullptr;
  bool composed = false;
  if (source.word == kAutoSource) {
    composed = ComposeNote(window, kAutoNote, typeChecked, &note);
  } else if (source.word == kFirstTraySource || source.word == kSecondTraySource) {
    const WORD attribute = LookUpPaperSourceEntry(source.word, context->store, paperKey);
    if (attribute == 1 || attribute == 2) {
      composed = ComposeNote(window, source.word == kFirstTraySource ? kFirstTrayNote : kSecondTrayNote, typeChecked,
                             &note);
    } else {
      WCHAR text[kNoteChars + 1] = {};
      if (LoadNoteString(window, kTrayNote, text)) SetDlgItemTextW(window, kNoteText, text);
      return answer;
    }
  } else {
    SetDlgItemTextW(window, kNoteText, u"");
    ShowWindow(GetDlgItem(window, kNoteFrame), SW_HIDE);
    return 1;
  }
  if (composed) SetDlgItemTextW(window, kNoteText, note);
  GlobalFree(note);
  return answer;
}

const ControlRow kPaperSourceRows[] = {
    {kSourceCombo, 1, kSource, kKindComboBox, HandleConstrainedComboRow, &kSourceComboData, kSourceLabel,
     kSourceSuffix, nullptr},
    {kTrayButton, 1, kTrayPopup, kKindPushButton, HandleTrayPictureButtonRow, &kTrayPopupAction, kTrayButton,
     kTraySuffix, &kLabelFollows},
    {kPaperTypeCombo, 1, kPaperType, kKindComboBox, nullptr, &kComboData, kPaperTypeLabel, kPaperTypeSuffix, nullptr},
    {kNoteText, 0, nullptr, kKindValueText, UpdatePaperSourceNote, nullptr, kNoControl, kNoString, nullptr},
    {kCollateBox, 1, kCollate, kKindCheckBox, nullptr, nullptr, kCollateBox, kCollateSuffix, nullptr},
    {kNoControl, kSharedPageItemCount, kSharedPageItems, 0, nullptr, nullptr, kNoControl, kNoString, nullptr},
    {kDeviceStatusButton, 1, kDeviceStatus, kKindPushButton, DeviceStatusButtonRow, nullptr, kNoControl, kNoString,
     &kStaysEnabled},
    {kSizeSummaryText, 0, nullptr, kKindStaticText, SizeSummaryRow, &kStateOnly, kNoControl, kNoString, nullptr},
};

const DWORD kPaperSourceHelp[] = {
    1186, 1000,  1187, 1010,  1182, 1140,  1016, 1140,  1006, 11060, 1008, 11070, 1004, 11000, 1001, 1160,
    1191, 11020, 1014, 11020, 1181, 1120,  1015, 1120,  1031, 1130,  1184, 1185,  1018, 1185,  1185, 1197,
    1019, 1197,  1763, 11030, 1764, 11040, 1003, 1175,  3831, 10110, 1090, 1190,  3800, 11080, 3838, 10130,
    1189, 11090, 1020, 11090, 1765, 11100, 1766, 11110, 1767, 11120, 1768, 11130, 3803, 11140, 1021, 11140,
    1183, 11140, 3802, 11150, 0};
constexpr LONG kPaperSourceHelpId = 9999;

PageDescriptor kPaperSourceDescriptor{kPaperSourceRows, LONG(std::size(kPaperSourceRows)), kPaperSourceHelpId,
                                      kPaperSourceHelp, nullptr, 0};

const TabRecord kTrayPopupChild{kTrayPopupPage, &kTrayPopupDescriptor, nullptr};
const TabRecord* const kPaperSourceChildren[] = {&kTrayPopupChild};

const DialogRecord kPaperSourceDialog{kPaperSourceTabTemplate,      PaperSourcePageDialogProc, kPaperSourceTabPage,
                                      kNoString, 0, kPaperSourceChildren, LONG(std::size(kPaperSourceChildren))};

// The position of choice n in a combo that leaves the hidden choices out.
LONG VisibleChoicePosition(HWND window, SettingItemId item, LONG n) {
  LONG position = -1;
  for (LONG k = 0; k <= n; ++k) {
    StateCode code = kStateUsable;
    if (!GetChoiceStateCode(window, item, k, &code) || code != kStateHidden) ++position;
  }
  return position;
}

}  // namespace

const TabRecord kPaperSourceTabRecord{kPaperSourceTabPage, &kPaperSourceDescriptor, &kPaperSourceDialog};

INT_PTR PaperSourcePageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kTabPage, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kPaperSourceTabPage, kTabPage, handler);
}

int OfferChoiceSwitch(HandlerContext* context, SettingItemId item, LONG combo, WORD value, LONG messageId) {
  HWND window = context->window;
  ChoiceList* list = FindChoiceList(window, item);
  if (list == nullptr) return 1;
  const LONG n = FindChoiceByValue(list, &value, list->type);
  if (n < 0) return 1;
  // The switch goes through the combo's own row, so the policy lock, the constraint checks and
  // the refresh of the items it forces apply as for a choice made in the combo.
  const ControlRow* comboRow = FindRowByControlId(window, context->pageIndex, combo);
  const BoundValue* bound = comboRow != nullptr ? GetCurrentBoundValue(window, comboRow) : nullptr;
  if (bound == nullptr || bound->id != item) return 0;
  // The choice is judged under the settings as they are now.
  EvaluateListChoiceStates(context, comboRow);
  StateCode code = kStateUsable;
  if (!GetChoiceStateCode(window, item, n, &code)) return 0;
  if (code != kStateUsable) return 1;
  WORD flags = 0;
  if (context->store != nullptr && IsItemLockedByPolicy(item, context->store->policy, &flags) &&
      (flags & kPolicyEnforced))
    return 1;
  ItemValueCell current{};
  if (!ReadContextItem(context, item, &current)) return 0;
  if (current.word == value) return 1;
  LPWSTR text = nullptr;
  const LPCWSTR listName = list->name != nullptr ? list->name : u"";
  const LPCWSTR choiceName = list->choices[n].name != nullptr ? list->choices[n].name : u"";
  if (LoadStringFormat(window, &text, 0, UINT(messageId), {listName, choiceName, choiceName}) != 1) return 0;
  const int answer =
      ShowResourceMessageBox(window, kMessageCaption, nullptr, MB_YESNO | MB_ICONINFORMATION, kNoStringId, text);
  GlobalFree(text);
  if (answer != IDYES) return 1;
  WORD* changed = nullptr;
  const int result = ChangeControlValue(context, comboRow, bound, &value, &changed);
  if (result != kChangeApplied) return result == kChangeError ? 0 : 1;
  SetContextChanges(context, 1, changed, comboRow);
  SendDlgItemMessageW(window, combo, CB_SETCURSEL, WPARAM(VisibleChoicePosition(window, item, n)), 0);
  return ReadRowValues(context, comboRow);
}
