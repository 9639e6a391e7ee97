// Default resolution as the property sheets drive it: call, reset the returned items to their
// defaults, call again. The sample's defaults pass at once; a model built in-process whose
// defaults keep conflicting ends with the diagnostic box; single items are reset to defaults.
#include <string>
#include <vector>

#include "core/choices/default_resolution.h"
#include "core/descriptors/item_defaults.h"
#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "platform/gdi/gdi_sim.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/user/user_sim.h"
#include "tests/support/id_lists.h"
#include "tests/support/model_files.h"
#include "tests/support/rule_check_fixture.h"

namespace {

// Light toner save (271 = 1) conflicts with greyscale (270 = 1), and both are the defaults:
// resetting cannot cure it. Secure printing (334 = 1) conflicts too, but its default (0) passes.
// The second feature word turns right-to-left reading on or off.
std::string ConflictModel(bool rightToLeft) {
  return std::string("model \"Conflicts\"\nversion \"T:1.0.0\"\nlevel 0x1600\nsection 26 0\nsection 39 [") +
         (rightToLeft ? "0x4000" : "0") +
         "]\n"
         "list 270 name=\"Colour Mode\" kind=1 default=2 choices=[1 2]\n"
         "list 271 name=\"Toner Save\" kind=1 default=2 choices=[3 4]\n"
         "list 334 name=\"Job Type\" kind=1 default=1 choices=[5 6]\n"
         "list 274 name=\"Brightness\" kind=4 default=1 choices=[7 8 9]\n"
         "choice 1 name=\"Auto\" value=u16:0\n"
         "choice 2 name=\"Grayscale\" value=u16:1\n"
         "choice 3 name=\"Off\" value=u16:0\n"
         "choice 4 name=\"Light\" rules=[1] value=u16:1\n"
         "choice 5 name=\"Off\" value=u16:0\n"
         "choice 6 name=\"Secure Print\" rules=[2] value=u16:1\n"
         "choice 7 name=\"Low\" rules=[3] value=i16:-3\n"
         "choice 8 name=\"High\" value=i16:3\n"
         "choice 9 name=\"Step\" value=i16:1\n"
         "rule 1 watch=(271 = u16:1) msgword=3 message=\"Light toner save with greyscale.\"\n"
         "    when=[(270 = u16:1 end)]\n"
         "rule 2 watch=(334 = u16:1) msgword=3 message=\"No secure printing.\"\n"
         "rule 3 watch=(274 = i16:-3) msgword=3 message=\"Ranges are not checked.\"\n";
}

class DefaultResolutionTest : public RuleCheckTest {
 protected:
  // A printer of the in-process model, its store and its defaults.
  void OpenConflictPrinter(bool rightToLeft) {
    const std::u16string path = InstallModelImage(BuildModelImage(ConflictModel(rightToLeft)), u"CONFLICT.DDD");
    SimPrinterSetup setup;
    setup.name = u"Conflicts";
    setup.dataFile = path;
    ASSERT_TRUE(SimAddPrinter(setup));
    conflictPrinter_ = Open(u"Conflicts");
    conflictStore_ = OpenItemStoreAtPath(path.c_str());
    ASSERT_NE(conflictStore_, nullptr);
    // The small model cannot default every item; the items it is about start from their own
    // defaults whatever happens to the rest.
    ApplyDataFileDefaults(conflictStore_, settings_.get(), config_.get(), u"Conflicts");
    SetNumber(kItemColorMode, kTypeUInt16, 1);
    SetNumber(kItemPrintMode, kTypeUInt16, 1);
    SetNumber(kItemJobType, kTypeUInt16, 0);
  }
  void TearDown() override {
    if (conflictStore_ != nullptr) CloseItemStore(conflictStore_);
    RuleCheckTest::TearDown();
  }
  int Resolve(HANDLE printer, ItemStore* store, WORD** changed) {
    return ResolveDefaults(GetResourceModule(), printer, store, settings_.get(), config_.get(), changed, owner_,
                           &table_, &lastConflict_);
  }
  std::vector<std::pair<WORD, DWORD>> Rows() const {
    std::vector<std::pair<WORD, DWORD>> rows;
    for (const ResolvedItemRow& row : table_.rows)
      if (row.id != 0) rows.emplace_back(row.id, row.flag);
    return rows;
  }

  HWND owner_ = reinterpret_cast<HWND>(0x1234);
  ResolvedItemTable table_{};
  SettingItemId lastConflict_ = 0;
  HANDLE conflictPrinter_ = nullptr;
  ItemStore* conflictStore_ = nullptr;
};

TEST_F(DefaultResolutionTest, SampleDefaultsPassAtOnce) {
  WORD* changed = reinterpret_cast<WORD*>(1);
  EXPECT_EQ(Resolve(printer_, store_, &changed), kDefaultsResolved);
  EXPECT_EQ(changed, nullptr);
  EXPECT_EQ(lastConflict_, 0);
  EXPECT_TRUE(Rows().empty());
  EXPECT_TRUE(SimMessageBoxLog().empty());
}

TEST_F(DefaultResolutionTest, FailedAllocationsLeaveNothingBehind) {
  const int blocks = SimLiveGlobalBlocks();
  std::vector<int> points;
  for (int n = 1; n <= 40; ++n) points.push_back(n);
  for (int n = 60; n <= 3000; n += 97) points.push_back(n);
  for (int n : points) {
    SCOPED_TRACE(n);
    SimFailNthAllocation(n);
    WORD* changed = reinterpret_cast<WORD*>(1);
    const int result = Resolve(printer_, store_, &changed);
    SimFailNthAllocation(0);
    // The sample's defaults pass; a failure can only end the resolution, never ask for resets.
    EXPECT_TRUE(result == kDefaultsResolved || result == kDefaultsUnresolved) << result;
    EXPECT_EQ(changed, nullptr);
    EXPECT_EQ(SimLiveGlobalBlocks(), blocks);
    EXPECT_EQ(SimLiveGdiObjects(), 0);
  }
  EXPECT_TRUE(SimMessageBoxLog().empty());
}

TEST_F(DefaultResolutionTest, AConflictThatResetsCannotCure) {
  for (bool rightToLeft : {false, true}) {
    SCOPED_TRACE(rightToLeft ? "right-to-left model" : "left-to-right model");
    OpenConflictPrinter(rightToLeft);
    table_ = ResolvedItemTable{};
    lastConflict_ = 0;
    SimMessageBoxReset();
    SetNumber(kItemJobType, kTypeUInt16, 1);  // a conflict the reset cures, met after the first one
    const struct Step {
      const char* what;
      int result;
      std::vector<WORD> changed;
      SettingItemId lastConflict;
      std::vector<std::pair<WORD, DWORD>> rows;
    } steps[] = {
        {"first conflict", kDefaultsNeedReset, {270, 271, 0}, 271, {}},
        {"again after the reset: noted", kDefaultsNeedReset, {270, 271, 0}, 271, {{271, 1}}},
        {"marked, and the walk meets the job type", kDefaultsNeedReset, {334, 0}, 334, {{271, 1}}},
        {"the job type passes; the marked item is reported", kDefaultsUnresolved, {}, 334, {{271, 1}}},
    };
    const int blocks = SimLiveGlobalBlocks();
    for (const Step& s : steps) {
      SCOPED_TRACE(s.what);
      WORD* changed = nullptr;
      EXPECT_EQ(Resolve(conflictPrinter_, conflictStore_, &changed), s.result);
      EXPECT_EQ(ZeroEndedIds(changed), s.changed);
      EXPECT_EQ(lastConflict_, s.lastConflict);
      EXPECT_EQ(Rows(), s.rows);
      // The caller resets what came back.
      for (const WORD* id = changed; id != nullptr && *id != 0; ++id)
        EXPECT_TRUE(ResetItemToDefault(conflictStore_, settings_.get(), *id, config_.get()));
      GlobalFree(changed);
      EXPECT_EQ(SimLiveGlobalBlocks(), blocks);
      EXPECT_EQ(SimLiveGdiObjects(), 0);
    }
    const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, owner_);
    EXPECT_EQ(boxes[0].text, u"DDMID = 0x10f: its default conflicts with the model's rules");
    EXPECT_EQ(boxes[0].caption, u"Default Set Err");
    EXPECT_EQ(boxes[0].type, rightToLeft ? 0x180010u : 0x10u);
    CloseItemStore(conflictStore_);
    conflictStore_ = nullptr;
    ClosePrinter(conflictPrinter_);
    handles_.pop_back();
    SimRemovePrinter(u"Conflicts");
  }
}

TEST_F(DefaultResolutionTest, AFullTableEndsTheResolution) {
  OpenConflictPrinter(false);
  for (int i = 0; i < kResolvedItemRows; ++i) table_.rows[i] = ResolvedItemRow{static_cast<WORD>(1000 + i), 1};
  lastConflict_ = 271;
  WORD* changed = nullptr;
  EXPECT_EQ(Resolve(conflictPrinter_, conflictStore_, &changed), kDefaultsUnresolved);
  EXPECT_EQ(changed, nullptr);
  EXPECT_EQ(table_.rows[0].flag, 0u);  // every call clears the flags first
  EXPECT_TRUE(SimMessageBoxLog().empty());
  // Without the resource string the box cannot be made: the answer is the same.
  table_ = ResolvedItemTable{};
  table_.rows[0] = ResolvedItemRow{271, 0};
  EXPECT_EQ(ResolveDefaults(nullptr, conflictPrinter_, conflictStore_, settings_.get(), config_.get(), &changed,
                            owner_, &table_, &lastConflict_),
            kDefaultsUnresolved);
  EXPECT_TRUE(SimMessageBoxLog().empty());
  EXPECT_EQ(ResolveDefaults(nullptr, conflictPrinter_, conflictStore_, settings_.get(), config_.get(), nullptr,
                            owner_, &table_, &lastConflict_),
            kDefaultsUnresolved);
}

TEST_F(DefaultResolutionTest, ResettingSingleItems) {
  const struct {
    SettingItemId id;
    DWORD changedValue;
    DWORD defaultValue;
  } numbers[] = {{265, 4, 7}, {16, 2, 1}, {270, 2, 0}, {12, 7, 1}};
  for (const auto& n : numbers) {
    SCOPED_TRACE(n.id);
    SetNumber(n.id, n.id == 270 || n.id == 265 ? kTypeUInt16 : kTypeInt16, n.changedValue);
    EXPECT_TRUE(ResetItemToDefault(store_, settings_.get(), n.id, config_.get()));
    ItemValueCell cell{};
    ValueTypeCode type = 0;
    DWORD length = 0;
    ASSERT_EQ(GetItemValue(n.id, settings_.get(), config_.get(), &type, &length, &cell), kItemDone);
    EXPECT_EQ(cell.word, n.defaultValue);
  }
  // A text default is written and its copy freed.
  SetText(kItemUserPaperName, u"Mine");
  const int blocks = SimLiveGlobalBlocks();
  EXPECT_TRUE(ResetItemToDefault(store_, settings_.get(), kItemUserPaperName, config_.get()));
  EXPECT_EQ(SimLiveGlobalBlocks(), blocks);
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  ASSERT_EQ(GetItemValue(kItemUserPaperName, settings_.get(), config_.get(), &type, &length, &cell), kItemDone);
  EXPECT_EQ(std::u16string(static_cast<LPCWSTR>(cell.data)), u"Custom Paper 1");
  // An item without a default is left alone; one without a descriptor cannot be reset.
  SetNumber(kItemZoomPercent, kTypeUInt16, 150);
  EXPECT_TRUE(ResetItemToDefault(store_, settings_.get(), kItemZoomPercent, config_.get()));
  EXPECT_FALSE(ResetItemToDefault(store_, settings_.get(), kItemOutsideEveryRange, config_.get()));
}

}  // namespace
