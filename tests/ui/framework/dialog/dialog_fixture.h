// The dialog framework's test pages over printer "P1" of the sample: a sheet with two tab
// pages ("General" with a check box, a radio group, a push button and a choice-name text;
// "Quality" with a scroll bar, a spin edit with its buddy, a track bar, state-only and
// resource texts, a group button and a picture) and a popup, all described by the
// framework's tables; the sheet runs through the common property-sheet component with a page
// provider as a driver's export has one.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/store/item_store.h"
#include "platform/platform.h"
#include "tests/support/model_files.h"
#include "tests/ui/framework/framework_fixture.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/dialog/control_kinds.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/dialog/value_pipeline.h"
#include "ui/framework/sheet/sheet_state.h"

namespace dialog_test {

inline constexpr LONG kGeneralPage = 1;
inline constexpr LONG kQualityPage = 2;
inline constexpr LONG kOptionsPage = 3;
inline constexpr WORD kGeneralTemplate = 700;
inline constexpr WORD kQualityTemplate = 701;
inline constexpr WORD kOptionsTemplate = 702;
inline constexpr LONG kGeneralHelpId = 4001;

// Control ids of the pages.
enum : int {
  kCollateBox = 1001, kAutoColor = 1002, kGrayscale = 1003, kFullColor = 1004, kColorLabel = 1005,
  kHelpButton = 1006, kDuplexText = 1007, kDuplexLabel = 1008, kTonerOff = 1010, kTonerLight = 1011,
  kTonerStrong = 1012, kPortraitBox = 1013,
  kBrightnessBar = 1101, kBrightnessEdit = 1102, kBrightnessSpin = 1103, kBrightnessTrack = 1104,
  kTonerText = 1105, kTonerEdit = 1109, kResourceText = 1106, kColorGroup = 1108, kOrientationPicture = 1107, kDuplexPicture = 1110,
  kPopupCollate = 2001,
};

// The rows of the pages (for direct look-ups in tests).
const ControlRow* GeneralRows(LONG* count);
const ControlRow* QualityRows(LONG* count);
PageDescriptor* Page(LONG pageIndex);

// The changed-item lists the General page's hook row saw with WM_REFRESHCONTROLS.
std::vector<std::vector<WORD>>& SeenChanges();

// A page's own slot handler that replaces the default of one slot (none when NULL).
void SetPageOverride(SlotHandler handler, LONG slot);

class DialogTest : public framework_test::FrameworkTest {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Edits of the test model a fixture makes beyond the common ones.
  virtual std::vector<ModelTextEdit> ModelEdits() const { return {}; }

  // Runs the sheet with the driver; the provider's result comes back.
  LONG RunSheet(SimDialogDriver driver, DWORD* result);
  // Runs the popup on a PageData of its own (a copy of the sheet's current settings) with the
  // page as owner; the dialog's answer.
  INT_PTR RunPopup(HWND owner, SimDialogDriver driver);
  // Runs the body inside the open sheet with a handler context of the General page made for
  // the message, then cancels the sheet.
  void RunOnGeneralPage(UINT message,
                        const std::function<void(HWND sheet, HWND general, HandlerContext* context)>& body);

  // Writes the policy file of the sample beside the module (before the store opens).
  void WritePolicy(const std::string& text);

 public:  // the sheet's page provider works on these too
  HANDLE pageHandles_[2] = {};
  int setResults_ = 0;
};

// The sheet's (or popup's) page windows during a driver.
HWND SheetPage(HWND sheet, int index);

}  // namespace dialog_test
