// The value icons of the pages' lists, read with the settings of an open sheet of the sample.
#include <gtest/gtest.h>

#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/framework/dialog/message_dispatch.h"
#include "ui/pages/choice_icons.h"

namespace dialog_test {
namespace {

using ChoiceIconTest = DialogTest;

using IconCallback = WORD (*)(LONG, const Choice*, const SettingsRecord*, const PrinterConfiguration*);

struct IconCase {
  const char* name;
  IconCallback callback;
  DWORD orientation;  // item 7
  DWORD layout;       // item 321
  DWORD pages;        // item 295
  DWORD value;        // the choice's value
  WORD expected;
};

TEST_F(ChoiceIconTest, IconsByValueAndOrientation) {
  const IconCase cases[] = {
      // The duplex icons follow the sheet: two pages on a portrait document turn it.
      {"duplex, 2 up, portrait: landscape sheet", GetDuplexChoiceIcon, 1, 1, 2, 1, 2405},
      {"duplex, 2 up, long edge", GetDuplexChoiceIcon, 1, 1, 2, 3, 2407},
      {"duplex, 4 up keeps portrait", GetDuplexChoiceIcon, 1, 1, 4, 2, 2355},
      {"duplex, booklet keeps portrait", GetDuplexChoiceIcon, 1, 2, 2, 1, 2354},
      {"duplex, 8 up landscape: portrait sheet", GetDuplexChoiceIcon, 2, 0, 8, 2, 2355},
      {"duplex, 1 up landscape", GetDuplexChoiceIcon, 2, 0, 1, 2, 2406},
      {"duplex, odd orientation 3 becomes portrait", GetDuplexChoiceIcon, 3, 0, 2, 2, 2355},
      {"duplex, unknown value", GetDuplexChoiceIcon, 1, 0, 1, 4, 0},
      {"pages per sheet 1 both ways", GetPagesPerSheetChoiceIcon, 2, 0, 1, 1, 2357},
      {"pages per sheet 1 portrait", GetPagesPerSheetChoiceIcon, 1, 0, 1, 1, 2357},
      {"pages per sheet 16 landscape", GetPagesPerSheetChoiceIcon, 2, 0, 1, 16, 2365},
      {"pages per sheet 32 portrait", GetPagesPerSheetChoiceIcon, 1, 0, 1, 32, 2366},
      {"pages per sheet 3", GetPagesPerSheetChoiceIcon, 1, 0, 1, 3, 0},
      {"page order 0 has none", GetItem264ChoiceIcon, 1, 0, 1, 0, 0},
      {"page order 1 landscape", GetItem264ChoiceIcon, 2, 0, 1, 1, 2371},
      {"page order 2 portrait", GetItem264ChoiceIcon, 1, 0, 1, 2, 2368},
      {"page order 6", GetItem264ChoiceIcon, 2, 0, 1, 6, 2372},
      {"colour mode 2", GetColourModeChoiceIcon, 1, 0, 1, 2, 2378},
      {"colour mode 3", GetColourModeChoiceIcon, 1, 0, 1, 3, 0},
      {"tiles 771", GetItem296ChoiceIcon, 1, 0, 1, 771, 2380},
      {"item 291 value 6", GetItem291ChoiceIcon, 1, 0, 1, 6, 2404},
      {"item 291 value 1", GetItem291ChoiceIcon, 1, 0, 1, 1, 0},
  };
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    // Writes an item in its own type and checks that it took the value.
    auto set = [&](SettingItemId id, DWORD value) {
      ItemValueCell cell{};
      ValueTypeCode type = 0;
      DWORD length = 0;
      ASSERT_EQ(GetItemValue(id, context->settings, context->config, &type, &length, &cell), kItemDone) << id;
      SetItemNumberV(context->settings, context->config, id, type, value);
      ASSERT_EQ(GetItemNumber(context->settings, context->config, id, type), value) << id;
    };
    for (const IconCase& c : cases) {
      set(kItemOrientation, c.orientation);
      set(kItemPageLayout, c.layout);
      set(kItemPagesPerSheet, c.pages);
      Choice choice{};
      choice.value.number = c.value;
      EXPECT_EQ(c.callback(1, &choice, context->settings, context->config), c.expected) << c.name;
      EXPECT_EQ(c.callback(1, nullptr, context->settings, context->config), 0) << c.name;
      EXPECT_EQ(c.callback(1, &choice, nullptr, context->config), 0) << c.name;
    }
  });
}

TEST(TallListTest, OnlyTheIconListsAreTall) {
  for (LONG id : {1012, 1351, 1007, 1615, 1476, 1018, 1019, 1020, 1079, 1225}) EXPECT_EQ(IsTallListControl(id), 1) << id;
  for (LONG id : {1013, 1006, 1699, 0, -3}) EXPECT_EQ(IsTallListControl(id), 0) << id;
}

}  // namespace
}  // namespace dialog_test
