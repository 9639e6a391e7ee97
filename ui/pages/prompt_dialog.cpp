// The print-time prompt dialog. Unfinished: only the items' reset and the dialog's ending
// buttons are in place so far.
#include "ui/pages/prompt_dialog.h"

#include "core/constraints/item_defaults.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/window.h"

namespace {

constexpr SettingItemId kGroupSelectorItem = 5183;
constexpr SettingItemId kGroup1Items[] = {5174, 5175, 5176};
constexpr SettingItemId kGroup2Items[] = {5184, 5185};

void ResetItems(PromptDialogData* data, std::span<const SettingItemId> items) {
  for (SettingItemId id : items) ResetItemToDefault(data->store, data->settings, id, data->configuration);
}

}  // namespace

void ResetPromptItems(PromptDialogData* data, int kind) {
  if (data == nullptr) return;
  if (kind == kPromptResetGroup1 || kind == kPromptResetAll) ResetItems(data, kGroup1Items);
  if (kind == kPromptResetGroup2 || kind == kPromptResetAll) ResetItems(data, kGroup2Items);
  if (kind == kPromptResetAll) ResetItemToDefault(data->store, data->settings, kGroupSelectorItem, data->configuration);
}

INT_PTR UserDetailsDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(window, DWLP_USER, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) EndDialog(window, 1);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(window, 0);
      return TRUE;
    default:
      return FALSE;
  }
}
