#include "tests/ui/framework/framework_fixture.h"

#include "core/constraints/change_values.h"
#include "core/descriptors/item_defaults.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "ui/framework/sheet/sheet_validation.h"

namespace framework_test {

void FrameworkTest::OpenFramework(LPCWSTR resourceFile, const std::u16string& modelPath,
                                  const TabRecord* const* tabs, LONG tabCount) {
  tabs_ = tabs;
  tabCount_ = tabCount;
  module_ = LoadLibraryW(resourceFile);
  ASSERT_NE(module_, nullptr);
  SetModuleInstance(module_);
  AddPrinter(u"P1", modelPath);
  printer_ = Open(u"P1");
  AcquireResourceModule();
  resources_ = GetResourceModule();
  ASSERT_NE(resources_, nullptr);
  RegisterSheetServices(true);
  ASSERT_TRUE(CreateSettingsSet(&set_));
  OpenSheetState();
}

void FrameworkTest::OpenSheetState() {
  if (store_ != nullptr) CloseItemStore(store_);
  store_ = OpenItemStore(printer_);
  ASSERT_NE(store_, nullptr);
  ASSERT_TRUE(ApplyDataFileDefaults(store_, set_.settings, set_.config, u"P1"));
  if (sheet_.pageTable == nullptr) sheet_.pageTable = BuildPageTable(tabs_, tabCount_);
  ASSERT_NE(sheet_.pageTable, nullptr);
  sheet_.printer = printer_;
  sheet_.store = store_;
  sheet_.permission = 1;
  LPWSTR help = GetDriverHelpFile(printer_);
  if (help != nullptr) {
    lstrcpynW(sheet_.helpFile, help, kHelpFileChars);
    GlobalFree(help);
  }
  if (data_ != nullptr) DestroyPageData(&data_);
  data_ = CreatePageData(nullptr, &sheet_, &set_, nullptr);
  ASSERT_NE(data_, nullptr);
}

void FrameworkTest::TearDown() {
  DestroyPageData(&data_);
  FreeSettingsSet(&set_);
  FreePageTable(sheet_.pageTable);
  FreePendingWarnings(&sheet_.pendingWarnings);
  if (store_ != nullptr) CloseItemStore(store_);
  RegisterSheetServices(false);
  ReleaseResourceModule();
  FreeResourceModule();
  SetModuleInstance(nullptr);
  FreeLibrary(module_);
  PrinterTest::TearDown();
}

LONG FrameworkTest::Item(SettingItemId id) const {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (GetItemValue(id, data_->current.settings, data_->current.config, &type, &length, &cell) != kItemDone) return -999;
  LONGLONG n = 0;
  NumberOfTypedValue(type, &cell, &n);
  return LONG(n);
}

void FrameworkTest::SetItem(SettingItemId id, LONG value) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  GetItemValue(id, data_->current.settings, data_->current.config, &type, &length, &cell);
  ASSERT_EQ(SetItemNumberV(data_->current.settings, data_->current.config, id, type, DWORD(value)), 0);
}

}  // namespace framework_test
