// Fixture of the size-check tests: a small model built in-process with papers, user papers,
// paper sources and bins whose custom ranges are known, opened as an item store over zeroed
// settings (the sandbox checks that every block handed out was given back).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/constraints/constraint_engine.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/model_files.h"
#include "tests/support/sandbox_test.h"

// Sizes in tenths of a millimetre. Sources 1, 4 and 264 and bin 1 take custom paper (they list
// user paper 262); source 2 does not.
inline std::string SizeModel(const char* section26) {
  return std::string(R"(model "Sizes"
version "T:1.0.0"
level 0x1600
section 26 )") + section26 + R"(
sizerange 1 first=2100x2970 second=2100x2970
sizerange 2 first=2000x2870 second=2100x2970
sizerange 3 first=50x40 second=30x20
sizerange 4 first=1000x1400 second=3000x4300
sizerange 5 first=1000x1400 second=2970x4200
sizerange 6 first=900x1200 second=1500x2000
sizerange 7 first=60000x60000 second=60000x60000
paper 9   name="A4" code=8 size=1 limits=2 margins=3
paper 77  name="Giant" code=9 size=7 limits=7 margins=3
paper 262 name="User Paper 1" code=254 size=4 limits=4 margins=3
paper 263 name="User Paper 2" code=254 size=4 limits=4 margins=3
source 1   name="Tray" range=5 papers=[9 262] attributes=[0 0]
source 2   name="Fixed Tray" range=5 papers=[9] attributes=[0]
source 4   name="Bypass" range=5 papers=[262] attributes=[0]
source 264 name="Inserter" range=6 papers=[262] attributes=[0]
source6 1  name="Bin" range=5 papers=[262] attributes=[0]
source6 2  name="Small Bin" range=6 papers=[262] attributes=[0]
list 8 name="Paper" kind=1 default=1 range=6 choices=[1 2 3]
choice 1 name="A4" reftype=10 refkey=9 value=i16:9
choice 2 name="User Paper 1" reftype=10 refkey=262 range=6 value=i16:262
choice 3 name="User Paper 2" reftype=10 refkey=263 value=i16:263
list 271 name="Toner Save" kind=1 default=1 choices=[4 5]
choice 4 name="Off" value=u16:0
choice 5 name="On" rules=[1 2] value=u16:1
rule 1 watch=(271 = u16:1) msgword=0x403 message="The paper does not fit the source."
    when=[(265 = u16:1 end)]
rule 2 watch=(271 = u16:1) msgword=5 message="The user paper is outside its size range."
    when=[(8 9 i16:262 end)]
)";
}

class SizeModelTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    Open("0");
  }
  void TearDown() override {
    CloseItemStore(store_);
    SandboxTest::TearDown();
  }
  // Builds the model with the given feature word and opens it over fresh settings: A4 from
  // source 1 into bin 1, user paper 1 at 200 x 300 mm.
  void Open(const char* section26) {
    CloseItemStore(store_);
    store_ = OpenModelText(SizeModel(section26), u"SIZES.DDD");
    ASSERT_NE(store_, nullptr);
    settings_ = SettingsRecord{};
    config_ = PrinterConfiguration{};
    context_ = {store_, &settings_, &config_};
    for (auto [id, value] : {std::pair<SettingItemId, DWORD>{262, 267}, {8, 9}, {265, 1}, {389, 1}, {333, 1},
                             {266, 1}, {410, 9}, {411, 9}})
      Set(id, value);
    SetUserPaper(262, 2000, 3000);
  }
  // Writes a number in the item's own type.
  void Set(SettingItemId id, DWORD value) {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell{};
    ASSERT_EQ(GetItemValue(id, &settings_, &config_, &type, &length, &cell), kItemDone) << id;
    ASSERT_EQ(SetItemValue(id, &settings_, &config_, type, length, &value), kItemDone) << id;
  }
  void SetUserPaper(WORD paper, DWORD width, DWORD length) {
    Set(static_cast<SettingItemId>(kItemUserPaperWidth + UserPaperIdToIndex(paper)), width);
    Set(static_cast<SettingItemId>(kItemUserPaperLength + UserPaperIdToIndex(paper)), length);
  }

  ItemStore* store_ = nullptr;
  SettingsRecord settings_{};
  PrinterConfiguration config_{};
  SettingsContext context_{};
};
