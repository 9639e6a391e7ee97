// The settings list tab (see settings_list_tab.h): its row table and its child popups.
#include "ui/pages/settings_list_tab.h"

#include <iterator>

#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/pages/about_dialog.h"

namespace {

constexpr LONG kAboutButton = 3312;

const PopupTarget kAboutTarget{&kAboutDialog, 0, 0};
const ButtonAction kAboutAction{kButtonPopup, &kAboutTarget};
// The about box opens whatever the person may change.
const WORD kStaysEnabled = kRowEnabledWithoutPermission;

const ControlRow kSettingsListRows[] = {
    {kAboutButton, 0, nullptr, kKindPushButton, nullptr, &kAboutAction, kNoControl, kNoString, &kStaysEnabled},
};

const DWORD kSettingsListHelp[] = {kAboutButton, 10340, 0};
constexpr LONG kSettingsListHelpId = 9999;

PageDescriptor kSettingsListDescriptor{kSettingsListRows, LONG(std::size(kSettingsListRows)), kSettingsListHelpId,
                                       kSettingsListHelp, nullptr, 0};

const TabRecord* const kSettingsListChildren[] = {&kAboutDialogRecord};

const DialogRecord kSettingsListDialog{kSettingsListTemplate, SettingsListDialogProc, kSettingsListPage, kNoString, 0,
                                       kSettingsListChildren, LONG(std::size(kSettingsListChildren))};

}  // namespace

const TabRecord kSettingsListTabRecord{kSettingsListPage, &kSettingsListDescriptor, &kSettingsListDialog};

INT_PTR SettingsListDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kTabPage, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kSettingsListPage, kTabPage, handler);
}
