// Printer "P1" of a test model under the dialog framework: the test's resource module as the
// user-interface module's resources, the sheet services, a settings set with the model's
// defaults, the sheet state over the test's page table and the sheet's PageData. The dialog,
// list and row tests build their pages on it.
#pragma once

#include <string>

#include "core/store/item_store.h"
#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/framework/sheet/sheet_state.h"

namespace framework_test {

class FrameworkTest : public printer_test::PrinterTest {
 protected:
  // Loads the resource file by name, installs the model as printer "P1" and opens the sheet
  // over the page table of the tabs; call from SetUp after PrinterTest::SetUp.
  void OpenFramework(LPCWSTR resourceFile, const std::u16string& modelPath, const TabRecord* const* tabs,
                     LONG tabCount);
  // (Re)opens the item store and the settings' defaults and makes the sheet's PageData anew.
  void OpenSheetState();
  void TearDown() override;

  // A number item of the sheet's current settings (-999 when it cannot be read).
  LONG Item(SettingItemId id) const;
  void SetItem(SettingItemId id, LONG value);

 public:  // page providers and drivers work on these too
  HMODULE module_ = nullptr;
  HMODULE resources_ = nullptr;
  HANDLE printer_ = nullptr;
  ItemStore* store_ = nullptr;
  SettingsSet set_{};
  SheetState sheet_{};
  PageData* data_ = nullptr;

 private:
  const TabRecord* const* tabs_ = nullptr;
  LONG tabCount_ = 0;
};

}  // namespace framework_test
