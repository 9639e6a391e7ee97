// A popup of the dialog framework over printer "P1" with a test variant of the sample model:
// a state-icon list of the staple choices, a one-line-per-item list that steps its items on a
// double click, a combo box of the colour modes, an option list of the paper sources, a check list of collation, a number edit box
// of the brightness (one decimal, half steps), the value-name text of the colour mode (bound to
// collation and colour mode, following the combo's item) and a text box.
#pragma once

#include <string>

#include "core/store/item_store.h"
#include "platform/platform.h"
#include "tests/ui/framework/framework_fixture.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/edit_kind.h"
#include "ui/framework/dialog/list_kinds.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/option_list.h"
#include "ui/framework/sheet/sheet_state.h"

namespace lists_test {

inline constexpr LONG kListsPage = 5;
inline constexpr WORD kListsTemplate = 720;

enum : int {
  kStapleList = 1201, kItemLines = 1202, kColorCombo = 1203, kCheckList = 1204, kBrightnessEdit = 1205,
  kBrightnessText = 1206, kNameEdit = 1207, kHiddenLines = 1208, kOptionList = 1209, kOkButton = 1092, kCancelButton = 1091,
};

const ControlRow* Row(int controlId);
// The number format of the brightness box (its decimals are written while the page runs).
NumberFormat* BrightnessFormat();

class ListsTest : public framework_test::FrameworkTest {
 protected:
  void SetUp() override;

  // Runs the popup over the sheet's settings with the driver; the dialog's answer.
  INT_PTR RunPopup(SimDialogDriver driver);
  // Ends the popup as its OK (apply) or Cancel (reset) would.
  static void ClosePopup(HWND dialog, bool apply);
  // A number item of the popup's own settings (a signed 16-bit value for 274).
  static LONG PopupItem(HWND dialog, SettingItemId id);
  // The lines of a list or combo box.
  static std::vector<std::u16string> Lines(HWND control);
};

}  // namespace lists_test
