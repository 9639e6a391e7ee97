// The document's settings read into the RenderSettings: every rule of the record on the sample
// model's default settings with single items changed, and the values it refuses.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/descriptors/item_defaults.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "graphics/device/render_settings.h"
#include "items/item_ids.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

constexpr DWORD kVersion = 0x3000000;

class RenderSettingsRead : public GraphicsModuleTest {
 protected:
  void SetUp() override {
    GraphicsModuleTest::SetUp();
    BindDataAccess();
    SimSetLocaleInfo(LOCALE_ICOUNTRY, u"49");
    std::u16string path = std::u16string(SimDriverDirectory()) + u"\\QX4500.DDD";
    store_ = OpenItemStoreAtPath(path.c_str());
    ASSERT_NE(store_, nullptr);
  }
  void TearDown() override {
    CloseItemStore(store_);
    GraphicsModuleTest::TearDown();
  }
  // The model's defaults. The sample model has no default for the pages per sheet (item 295
  // reads 0, which the record refuses): one page per sheet.
  void Defaults() {
    ASSERT_TRUE(ApplyDataFileDefaults(store_, &settings_, &config_, u"P1"));
    Put(kItemPagesPerSheet, 1);
  }
  // Writes a number item in its own type.
  void Put(SettingItemId id, LONG value) {
    ItemLocation location{};
    DWORD size = 0;
    ASSERT_EQ(LocateItem(id, &settings_, &config_, &location), kItemDone) << id;
    ASSERT_TRUE(GetValueTypeSize(location.row->type, &size));
    ASSERT_EQ(SetItemValue(id, &settings_, &config_, location.row->type, size, &value), kItemDone) << id;
  }
  void PutText(SettingItemId id, LPCWSTR text) {
    ASSERT_EQ(SetItemValue(id, &settings_, &config_, kTypeString, (lstrlenW(text) + 1) * sizeof(WCHAR), &text),
              kItemDone);
  }
  int Read(const DWORD features[2]) { return ReadRenderSettings(&render_, kVersion, &settings_, &config_, features); }

  ItemStore* store_ = nullptr;
  SettingsRecord settings_{};
  PrinterConfiguration config_{};
  RenderSettings render_{};
};

struct RenderCase {
  const char* name;
  std::vector<std::pair<SettingItemId, LONG>> items;
  DWORD features[2];
  int result;
  std::function<void(const RenderSettings&)> check;
};

const RenderCase kCases[] = {
    {"automatic colour", {{270, 0}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.colorMode, 0); }},
    {"monochrome", {{270, 1}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.colorMode, 1); }},
    {"colour", {{270, 2}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.colorMode, 2); }},
    {"3 with tolerant grey is automatic", {{270, 3}, {1289, 1}}, {0, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.colorMode, 0);
       EXPECT_EQ(r.tolerantGrey, 1u);
     }},
    {"3 without tolerant grey is colour", {{270, 3}, {1289, 0}}, {0, 0}, 0,
     [](const RenderSettings& r) { EXPECT_EQ(r.colorMode, 2); }},
    {"colour mode 4 is refused", {{270, 4}}, {0, 0}, -1, nullptr},
    {"simplex", {{16, 1}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.duplexCount, 1); }},
    {"long-edge duplex", {{16, 2}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.duplexCount, 2); }},
    {"short-edge duplex", {{16, 3}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.duplexCount, 2); }},
    {"duplex 4 is refused", {{16, 4}}, {0, 0}, -1, nullptr},
    {"4-up clears the paper checks", {{295, 4}, {262, 267}}, {0, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.nUp, 4);
       EXPECT_EQ(r.customPaper, 0);
       EXPECT_EQ(r.paperChecks, 0);
     }},
    {"1-up keeps them", {{295, 1}, {262, 267}}, {0, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.customPaper, 1);
       EXPECT_EQ(r.paperChecks, 1);
     }},
    {"3-up is refused", {{295, 3}}, {0, 0}, -1, nullptr},
    {"tiles 3 x 3 with marks", {{321, 1}, {296, 771}, {1285, 1}}, {0, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.tiles, 1);
       EXPECT_EQ(r.tileColumns, 3);
       EXPECT_EQ(r.tileRows, 3);
       EXPECT_EQ(r.tileMarks, 1);
       EXPECT_EQ(r.booklet, 0);
     }},
    {"tiles 5 x 5 are refused", {{321, 1}, {296, 1285}}, {0, 0}, -1, nullptr},
    {"booklet in subsets", {{321, 2}, {446, 1}}, {0, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.booklet, 1);
       EXPECT_EQ(r.bookletKind, 1);
       EXPECT_EQ(r.paperChecks, 0);
     }},
    {"booklet kind 3 is refused", {{321, 2}, {446, 3}}, {0, 0}, -1, nullptr},
    {"layout 3 is refused", {{321, 3}}, {0, 0}, -1, nullptr},
    {"inserted sheet mode 3 is refused", {{332, 3}}, {0, 0}, -1, nullptr},
    {"inserted sheet before the document", {{332, 2}, {333, 5}}, {0, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.insertedSheetMode, 2);
       EXPECT_EQ(r.insertedSheetPaper, 5);
     }},
    {"save to file", {{336, 1}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.saveToFile, 1); }},
    {"copies 2 collated with the driver's collation", {{12, 2}, {18, 1}, {1344, 0}}, {0x10000, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.copies, 2);
       EXPECT_EQ(r.collate, 1u);
       EXPECT_EQ(r.driverCollation, 1);
       EXPECT_EQ(r.storePages, 1u);
     }},
    {"copies 2 collated on a model without it", {{12, 2}, {18, 1}, {1344, 0}}, {0, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.driverCollation, 0);
       EXPECT_EQ(r.storePages, 0u);
     }},
    {"one copy never collates in the driver", {{12, 1}, {18, 1}, {1344, 0}}, {0x10000, 0}, 0,
     [](const RenderSettings& r) {
       EXPECT_EQ(r.driverCollation, 0);
       EXPECT_EQ(r.storePages, 0u);
     }},
    {"zero copies print one", {{12, 0}}, {0, 0}, 0, [](const RenderSettings& r) { EXPECT_EQ(r.copies, 1); }},
    {"trailer variant from the model", {}, {0x40000, 0}, 0,
     [](const RenderSettings& r) { EXPECT_EQ(r.trailerVariant, 1u); }},
};

TEST_F(RenderSettingsRead, TableOfSettings) {
  for (const RenderCase& c : kCases) {
    SCOPED_TRACE(c.name);
    Defaults();
    for (const auto& [id, value] : c.items) Put(id, value);
    render_ = RenderSettings{};
    EXPECT_EQ(Read(c.features), c.result);
    if (c.check) c.check(render_);
  }
}

TEST_F(RenderSettingsRead, StampsNeedBothTexts) {
  const DWORD none[2] = {0, 0};
  Defaults();
  PutText(kItemStampName, u"CONFIDENTIAL");
  PutText(kItemStampText, u"");
  Put(kItemStampRepeat, 1);
  ASSERT_EQ(Read(none), 0);
  EXPECT_EQ(render_.perSheetStamp, 0);
  EXPECT_EQ(render_.perPageStamp, 0);
  PutText(kItemStampText, u"Arial");
  ASSERT_EQ(Read(none), 0);
  EXPECT_EQ(render_.perSheetStamp, 1);
  EXPECT_EQ(render_.perPageStamp, 0);
  Put(kItemStampRepeat, 0);
  ASSERT_EQ(Read(none), 0);
  EXPECT_EQ(render_.perSheetStamp, 0);
  EXPECT_EQ(render_.perPageStamp, 1);
}

TEST_F(RenderSettingsRead, VersionsAndArguments) {
  const DWORD none[2] = {0, 0};
  Defaults();
  EXPECT_EQ(ReadRenderSettings(&render_, 0x3010000, &settings_, &config_, none), 0);
  EXPECT_EQ(ReadRenderSettings(&render_, 0x3010001, &settings_, &config_, none), -1);
  EXPECT_EQ(ReadRenderSettings(&render_, 0x2FFFFFF, &settings_, &config_, none), -1);
  EXPECT_EQ(ReadRenderSettings(nullptr, kVersion, &settings_, &config_, none), -1);
  EXPECT_EQ(ReadRenderSettings(&render_, kVersion, nullptr, &config_, none), -1);
  // What the escapes and the document start set stays as it is.
  render_.documentName[0] = u'D';
  render_.renderLock = kRenderLockBatch;
  render_.confirmed = 1;
  ASSERT_EQ(Read(none), 0);
  EXPECT_EQ(render_.documentName[0], u'D');
  EXPECT_EQ(render_.renderLock, kRenderLockBatch);
  EXPECT_EQ(render_.confirmed, 1u);
  EXPECT_EQ(ClearRenderSettings(&render_), 0);
  EXPECT_EQ(render_.documentName[0], 0);
  EXPECT_EQ(ClearRenderSettings(nullptr), -1);
}

}  // namespace
