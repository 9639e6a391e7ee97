// The settings list tab (see settings_list_tab.h): its row table, its child popups and the
// controls it keeps hidden.
#include "ui/pages/settings_list_tab.h"

#include <iterator>

#include "items/item_ids.h"
#include "platform/user/message.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/list_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/pages/about_dialog.h"
#include "ui/pages/hidden_control.h"

namespace {

// Controls.
constexpr LONG kSkipBlankBox = 3290;
constexpr LONG kCenterBytesBox = 1044;
constexpr LONG kSpoolFormatCombo = 3295;
constexpr LONG kSpoolFormatLabel = 3291;
constexpr LONG kPriorityCombo = 3297;
constexpr LONG kPriorityLabel = 3296;
constexpr LONG kFontOptionsButton = 3311;
constexpr LONG kAboutButton = 3312;
constexpr LONG kHiddenControl = 3313;
constexpr LONG kRestoreButton = 1090;

// Items.
constexpr SettingItemId kSpoolFormatItem = 458;
constexpr SettingItemId kPriorityItem = 456;
constexpr SettingItemId kAboutItem = 36900;

// Label suffixes.
constexpr LONG kSkipBlankSuffix = 9024, kCenterBytesSuffix = 9025, kSpoolFormatSuffix = 9026,
               kPrioritySuffix = 9029;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kSkipBlank[] = {BoundItem(kItemSkipEmptyPages, kBoth)};
const DWORD kCenterBytes[] = {BoundItem(kItemCenterEveryByte, kBoth)};
const DWORD kSpoolFormat[] = {BoundItem(kSpoolFormatItem, kBoth)};
const DWORD kPriority[] = {BoundItem(kPriorityItem, kBoth)};
const DWORD kAbout[] = {BoundItem(kAboutItem, kBoth)};

const ListKindData kComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, nullptr, nullptr};
const PopupTarget kAboutTarget{&kAboutDialog, 0, 0};
const ButtonAction kAboutAction{kButtonPopup, &kAboutTarget};
const ButtonAction kRestoreAction{kButtonRestoreDefaults, nullptr};
// The about box opens whatever the person may change.
const WORD kStaysEnabled = kRowEnabledWithoutPermission;

const ControlRow kSettingsListRows[] = {
    {kSkipBlankBox, 1, kSkipBlank, kKindCheckBox, nullptr, nullptr, kSkipBlankBox, kSkipBlankSuffix, nullptr},
    {kCenterBytesBox, 1, kCenterBytes, kKindCheckBox, nullptr, nullptr, kCenterBytesBox, kCenterBytesSuffix, nullptr},
    {kSpoolFormatCombo, 1, kSpoolFormat, kKindComboBox, nullptr, &kComboData, kSpoolFormatLabel, kSpoolFormatSuffix,
     nullptr},
    {kPriorityCombo, 1, kPriority, kKindComboBox, nullptr, &kComboData, kPriorityLabel, kPrioritySuffix, nullptr},
    {kAboutButton, 1, kAbout, kKindPushButton, nullptr, &kAboutAction, kNoControl, kNoString, &kStaysEnabled},
    {kRestoreButton, 0, nullptr, kKindPushButton, nullptr, &kRestoreAction, kNoControl, kNoString, nullptr},
};

const DWORD kSettingsListHelp[] = {kSkipBlankBox, 98010,     kCenterBytesBox, 98020, kSpoolFormatLabel, 98050,
                                   kSpoolFormatCombo, 98050, kPriorityLabel, 98060,  kPriorityCombo, 98060,
                                   kFontOptionsButton, 98130, kAboutButton, 98140,   kRestoreButton, 1540,
                                   0};
constexpr LONG kSettingsListHelpId = 9999;

PageDescriptor kSettingsListDescriptor{kSettingsListRows, LONG(std::size(kSettingsListRows)), kSettingsListHelpId,
                                       kSettingsListHelp, nullptr, 0};

const TabRecord* const kSettingsListChildren[] = {&kAboutDialogRecord};

const DialogRecord kSettingsListDialog{kSettingsListTemplate, SettingsListTabProc, kSettingsListPage, kNoString, 0,
                                       kSettingsListChildren, LONG(std::size(kSettingsListChildren))};

}  // namespace

const TabRecord kSettingsListTabRecord{kSettingsListPage, &kSettingsListDescriptor, &kSettingsListDialog};

INT_PTR SettingsListTabProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The font options button and the hidden control start hidden; only the latter has a way
  // back (its double-click).
  if (message == WM_INITDIALOG) {
    HideDialogControl(window, kFontOptionsButton);
    HideDialogControl(window, kHiddenControl);
  }
  RevealOnKeyedDoubleClick(window, kHiddenControl, message, wParam, lParam);
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kTabPage, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kSettingsListPage, kTabPage, handler);
}
