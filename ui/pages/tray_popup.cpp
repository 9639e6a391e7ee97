// The tray popup (see tray_popup.h): two combos on the framework's rows.
#include "ui/pages/tray_popup.h"

#include <iterator>

#include "items/item_ids.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/list_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"

namespace {

constexpr LONG kMediaCombo = 3464, kMediaLabel = 3463;
constexpr LONG kFeedEdgeCombo = 3462, kFeedEdgeLabel = 3461;
constexpr SettingItemId kMediaItem = kItemMediaType, kFeedEdgeItem = kItemBypassFeedEdge;
constexpr LONG kMediaSuffix = 9082, kFeedEdgeSuffix = 9083;

constexpr DWORD kBoth = kRefreshOnFull | kRefreshOnChange;
const DWORD kMedia[] = {BoundItem(kMediaItem, kBoth)};
const DWORD kFeedEdge[] = {BoundItem(kFeedEdgeItem, kBoth)};
const ListKindData kComboData{kListChoices, kLinePartName, 0, 0, nullptr, nullptr, nullptr, nullptr};

const ControlRow kTrayPopupRows[] = {
    {kMediaCombo, 1, kMedia, kKindComboBox, nullptr, &kComboData, kMediaLabel, kMediaSuffix, nullptr},
    {kFeedEdgeCombo, 1, kFeedEdge, kKindComboBox, nullptr, &kComboData, kFeedEdgeLabel, kFeedEdgeSuffix, nullptr},
};
const DWORD kTrayPopupHelp[] = {kMediaCombo, 11200, kFeedEdgeCombo, 11210, 0};
constexpr LONG kTrayPopupHelpId = 11060;

}  // namespace

PageDescriptor kTrayPopupDescriptor{kTrayPopupRows, LONG(std::size(kTrayPopupRows)), kTrayPopupHelpId,
                                    kTrayPopupHelp, nullptr, 0};

const DialogRecord kTrayPopupDialog{kTrayPopupTemplate, TrayPopupDialogProc, kTrayPopupPage, kNoString, 0, nullptr, 0};

INT_PTR TrayPopupDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kPopupDialog, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kTrayPopupPage, kPopupDialog, handler);
}
