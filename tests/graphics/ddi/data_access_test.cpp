// The data-access binding: qorvexdata loaded by name from the module's string table, items
// read and written through it (texts arriving as addresses inside the caller's records), the
// use count across devices, refused modules, and an exception inside the module contained.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/runtime/trace_log.h"
#include "core/store/item_access.h"
#include "graphics/ddi/data_access.h"
#include "graphics/device/pdev_settings.h"
#include "items/item_ids.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

constexpr WCHAR kDataAccessFile[] = u"qorvexdata.dll";

class DataAccessBinding : public GraphicsModuleTest {
 protected:
  void SetUp() override {
    GraphicsModuleTest::SetUp();
    pdev_ = std::make_unique<Pdev>();
    config_ = std::make_unique<PrinterConfiguration>();
    pdev_->config = config_.get();
  }

  // Writes a text item as callers of SetItemValue pass texts: the address of the text.
  ItemAccessResult SetText(SettingItemId id, const std::u16string& text, DWORD bufferBytes) {
    LPCWSTR source = text.c_str();
    return SetItemValue(id, &pdev_->settings, pdev_->config, kTypeString, bufferBytes, &source);
  }

  std::unique_ptr<Pdev> pdev_;
  std::unique_ptr<PrinterConfiguration> config_;
};

TEST_F(DataAccessBinding, ReadsAndWritesItemsThroughQorvexData) {
  BindDataAccess();
  EXPECT_EQ(SimModuleLoadCount(kDataAccessFile), 1);
  SettingsRecord* settings = &pdev_->settings;

  // A text arrives as the address of its field inside the caller's record.
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONG_PTR value = 0;
  ASSERT_EQ(GetItemValue(kItemFormName, settings, pdev_->config, &type, &length, &value), kItemDone);
  EXPECT_EQ(type, kTypeString);
  EXPECT_EQ(value, reinterpret_cast<ULONG_PTR>(settings->bytes + 102));
  ASSERT_EQ(SetText(kItemFormName, u"A4", 64), kItemDone);
  EXPECT_EQ(std::u16string(reinterpret_cast<LPCWSTR>(settings->bytes + 102)), u"A4");
  EXPECT_EQ(GetPdevSettingString(pdev_.get(), kItemFormName), reinterpret_cast<LPCWSTR>(settings->bytes + 102));

  // A text of the settings extension lies inside the extension.
  ASSERT_EQ(SetText(kItemSaveFolder, u"C:\\Saved", 256), kItemDone);
  LPCWSTR folder = GetPdevSettingString(pdev_.get(), kItemSaveFolder);
  ASSERT_NE(folder, nullptr);
  EXPECT_GE(reinterpret_cast<const BYTE*>(folder), settings->bytes + kSettingsExtensionOffset);
  EXPECT_LT(reinterpret_cast<const BYTE*>(folder), settings->bytes + kSettingsRecordSize);
  EXPECT_EQ(std::u16string(folder), u"C:\\Saved");

  // Numbers through the core's accessors, which this module's build runs on the binding.
  EXPECT_EQ(SetItemNumberV(settings, pdev_->config, kItemCopies, kTypeInt16, 7), 0);
  EXPECT_EQ(GetItemNumber(settings, pdev_->config, kItemCopies, kTypeInt16), 7u);
  EXPECT_EQ(GetPdevSettingWord(pdev_.get(), kItemCopies), 7);
  EXPECT_EQ(SetItemNumberResult(settings, pdev_->config, kItemCopies, kTypeInt16, 9), kItemDone);
  EXPECT_EQ(GetPdevSettingDword(pdev_.get(), kItemCopies), 9u);
  // A text has no number form: nothing reaches the engine.
  EXPECT_EQ(SetItemNumberResult(settings, pdev_->config, kItemFormName, kTypeString, 0x41), kItemBadType);
  EXPECT_EQ(std::u16string(reinterpret_cast<LPCWSTR>(settings->bytes + 102)), u"A4");

  // Items the tables do not hold read as failed: the getters answer zero.
  EXPECT_NE(GetItemValue(kItemOutsideEveryRange, settings, pdev_->config, &type, &length, &value), kItemDone);
  EXPECT_EQ(GetPdevSettingWord(pdev_.get(), kItemOutsideEveryRange), 0);
  EXPECT_EQ(GetPdevSettingDword(pdev_.get(), kItemOutsideEveryRange), 0u);
  EXPECT_EQ(GetPdevSettingString(pdev_.get(), kItemOutsideEveryRange), nullptr);
  EXPECT_EQ(GetPdevSettingString(pdev_.get(), kItemCopies), nullptr);
}

TEST_F(DataAccessBinding, SettingsExtensionIsCopiedAlone) {
  auto source = std::make_unique<SettingsRecord>();
  for (DWORD i = 0; i < kSettingsRecordSize; ++i) source->bytes[i] = static_cast<BYTE>(i * 13 + 1);
  CopySettingsExtension(&pdev_->settings, source.get());
  for (DWORD i = 0; i < kSettingsExtensionOffset; ++i) ASSERT_EQ(pdev_->settings.bytes[i], 0) << i;
  EXPECT_EQ(std::memcmp(pdev_->settings.bytes + kSettingsExtensionOffset, source->bytes + kSettingsExtensionOffset,
                        kSettingsExtensionSize),
            0);
}

TEST_F(DataAccessBinding, UsesAreCountedAcrossDevices) {
  // Two devices enabled, one disabled: the module stays loaded and bound.
  ASSERT_EQ(LoadDataAccessModule(own_), 1);
  ASSERT_EQ(LoadDataAccessModule(own_), 1);
  EXPECT_EQ(SimModuleLoadCount(kDataAccessFile), 1);
  UnloadDataAccessModule();
  EXPECT_EQ(SimModuleFreeCount(kDataAccessFile), 0);
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONG_PTR value = 0;
  EXPECT_EQ(GetItemValue(kItemCopies, &pdev_->settings, pdev_->config, &type, &length, &value), kItemDone);
  // The second disable frees it; reads and writes then fail.
  UnloadDataAccessModule();
  EXPECT_EQ(SimModuleFreeCount(kDataAccessFile), 1);
  EXPECT_EQ(GetItemValue(kItemCopies, &pdev_->settings, pdev_->config, &type, &length, &value), kItemFailed);
  SHORT copies = 2;
  EXPECT_EQ(SetItemValue(kItemCopies, &pdev_->settings, pdev_->config, kTypeInt16, 2, &copies), kItemFailed);
  // An unload too many does not wrap the count: the next use loads the module again.
  UnloadDataAccessModule();
  BindDataAccess();
  EXPECT_EQ(SimModuleLoadCount(kDataAccessFile), 2);
}

TEST_F(DataAccessBinding, RefusedModulesFailTheLoadCleanly) {
  struct Case {
    const char* what;
    void (*arrange)();
  };
  const Case cases[] = {
      {"no dma_SetValue", [] { SimModuleHideExport(u"qorvexdata.dll", "dma_SetValue"); }},
      {"no dma_GetValue", [] { SimModuleHideExport(u"qorvexdata.dll", "dma_GetValue"); }},
      {"module missing", [] { SimModuleFailLoad(u"qorvexdata.dll", ERROR_MOD_NOT_FOUND); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SimReset();
    c.arrange();
    EXPECT_EQ(LoadDataAccessModule(own_), 0);
    // The failed use is undone as the enable path does; whatever was loaded is freed.
    UnloadDataAccessModule();
    EXPECT_EQ(SimModuleLoadCount(kDataAccessFile), SimModuleFreeCount(kDataAccessFile));
    ValueTypeCode type = 0;
    DWORD length = 0;
    ULONG_PTR value = 0;
    EXPECT_EQ(GetItemValue(kItemCopies, &pdev_->settings, pdev_->config, &type, &length, &value), kItemFailed);
  }
  // Without an instance there is no string table to name the module.
  SimReset();
  EXPECT_EQ(LoadDataAccessModule(nullptr), 0);
  UnloadDataAccessModule();
  EXPECT_EQ(SimModuleLoadCount(kDataAccessFile), 0);
}

TEST_F(DataAccessBinding, NameBeyondThePathBufferIsRefused) {
  HMODULE longName = LoadLibraryW(u"graphics_long_name_module.qrs");
  ASSERT_NE(longName, nullptr);
  EXPECT_EQ(LoadDataAccessModule(longName), 0);
  UnloadDataAccessModule();
  EXPECT_EQ(SimModuleLiveCount(), 2);  // the two string tables only
  FreeLibrary(longName);
}

TEST_F(DataAccessBinding, ExceptionInsideTheModuleReadsAsFailedItem) {
  // Trace to the debugger capture, so the line shows.
  const std::u16string switchFile = std::u16string(SimDriverDirectory()) + u"\\qorvex.cfg";
  std::ofstream(Host(switchFile.c_str())) << "[DEFAULT]\nLog=0x80000003\n";
  HMODULE throwing = LoadLibraryW(u"graphics_throwing_module.qrs");
  ASSERT_NE(throwing, nullptr);
  ASSERT_EQ(LoadDataAccessModule(throwing), 1);
  ReloadTraceSwitch();
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONG_PTR value = 0;
  EXPECT_EQ(GetItemValue(kItemSaveFolder, &pdev_->settings, pdev_->config, &type, &length, &value), kItemFailed);
  EXPECT_EQ(type, kTypeFlag);
  EXPECT_EQ(value, 0u);
  auto output = SimDebugOutput();
  ASSERT_FALSE(output.empty());
  EXPECT_EQ(output.back(), u"An exception occurred in dma_GetValue. wFuncID[0x0725]\n");
  UnloadDataAccessModule();
  FreeLibrary(throwing);
  std::filesystem::remove(Host(switchFile.c_str()));
  ReloadTraceSwitch();
}

}  // namespace
