// The conditions of the model's picture records as the device picture walks them, read with
// the settings of an open sheet of the sample.
#include <gtest/gtest.h>

#include <vector>

#include "core/constraints/record_conditions.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/pages/picture_controls.h"

namespace dialog_test {
namespace {

using PictureConditionTest = DialogTest;

constexpr BYTE kEquals = 1, kDiffers = 2, kAnd = 1;
constexpr LONG kDevice = 1187, kOptions = 1310;

struct Condition {
  BYTE op;
  SettingItemId item;
  WORD value;
  BYTE connector;
};

struct ConditionCase {
  const char* name;
  std::vector<Condition> conditions;
  LONG control;
  bool applies;
};

TEST_F(PictureConditionTest, AlternativesAndChainsWithPortraitAndOneSided) {
  const ConditionCase cases[] = {
      {"no conditions", {}, kDevice, true},
      {"portrait", {{kEquals, kItemOrientation, 1, kConnectEnd}}, kDevice, true},
      {"landscape", {{kEquals, kItemOrientation, 2, kConnectEnd}}, kDevice, false},
      {"not portrait", {{kDiffers, kItemOrientation, 1, kConnectEnd}}, kDevice, false},
      {"held OR skips the failing end of its alternative",
       {{kEquals, kItemOrientation, 1, kConnectOr}, {kEquals, kItemOrientation, 2, kConnectEnd}}, kDevice, true},
      {"failed OR goes on to the next", {{kEquals, kItemOrientation, 2, kConnectOr}, {kEquals, kItemOrientation, 1, kConnectEnd}},
       kDevice, true},
      {"failed AND skips its alternative, the second holds",
       {{kEquals, kItemOrientation, 1, kAnd}, {kEquals, kItemDuplex, 2, kConnectEnd},
        {kEquals, kItemDuplex, 1, kConnectEndGroup}},
       kDevice, true},
      {"AND chain that fails", {{kEquals, kItemOrientation, 1, kAnd}, {kEquals, kItemDuplex, 3, kConnectEnd}}, kDevice,
       false},
      {"OR chain to the end of the list", {{kEquals, kItemOrientation, 1, kConnectOr}, {kEquals, kItemOrientation, 2, kConnectOr}},
       kDevice, true},
      {"failed AND without an end", {{kEquals, kItemOrientation, 2, kAnd}, {kEquals, kItemOrientation, 1, kAnd}}, kDevice,
       false},
      {"the options picture ignores other items", {{kEquals, kItemOrientation, 1, kConnectEnd}}, kOptions, false},
  };
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    ASSERT_EQ(GetItemNumber(context->settings, context->config, kItemOrientation, kTypeInt16), 1u);
    ASSERT_EQ(GetItemNumber(context->settings, context->config, kItemDuplex, kTypeInt16), 1u);
    for (const ConditionCase& c : cases) {
      std::vector<WORD> values(c.conditions.size());
      std::vector<ConditionElement> elements(c.conditions.size());
      for (size_t n = 0; n < c.conditions.size(); ++n) {
        values[n] = c.conditions[n].value;
        elements[n].test.op = c.conditions[n].op;
        elements[n].test.item = c.conditions[n].item;
        elements[n].test.value.type = 2;
        elements[n].test.value.length = 2;
        elements[n].test.value.count = 1;
        elements[n].test.value.present = TRUE;
        elements[n].test.value.value = &values[n];
        elements[n].connector = c.conditions[n].connector;
      }
      const ConditionList list{WORD(elements.size()), elements.data()};
      bool applies = !c.applies;
      EXPECT_EQ(PictureRecordApplies(list, c.control, false, context->settings, context->config, &applies), kPictureDone)
          << c.name;
      EXPECT_EQ(applies, c.applies) << c.name;
    }
  });
}

}  // namespace
}  // namespace dialog_test
