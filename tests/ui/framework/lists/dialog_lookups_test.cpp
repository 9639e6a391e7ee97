// The look-ups pages make through the framework's tables, on the test popup: a row's current
// item following another row's by item id, the current choice of an item and its name, the
// names of bound lists, the items a state names, bound values, and rows and dialog records by
// position.
#include <gtest/gtest.h>

#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"
#include "tests/ui/framework/lists/lists_fixture.h"

namespace lists_test {
namespace {

using DialogLookupsTest = ListsTest;

TEST_F(DialogLookupsTest, ValueNameTextFollowsTheOtherRowsItemNotItsPosition) {
  RunPopup([&](HWND dialog) {
    const ControlRow* text = Row(kBrightnessText);
    const struct Case {
      const char* what;
      LONG other;
      int answer;
      SettingItemId item;        // the item the other row has as its current one
      SettingItemId afterwards;  // the text row's current item afterwards
    } cases[] = {
        {"the combo's colour mode, second among the text's items", kColorCombo, 1, kItemColorMode, kItemColorMode},
        {"an item the text row is not bound to", kStapleList, 0, kItemStaplePosition, kItemColorMode},
        {"no row of that control", 4711, 0, 0, kItemColorMode},
    };
    for (const Case& c : cases) {
      SettingItemId item = 0xFFFF;
      EXPECT_EQ(SyncBoundIndex(dialog, kListsPage, c.other, text, &item), c.answer) << c.what;
      EXPECT_EQ(item, c.item) << c.what;
      EXPECT_EQ(GetCurrentBoundItemId(dialog, text), c.afterwards) << c.what;
    }
    // The text shows the short name of the colour mode, whichever item its row lists first.
    WCHAR shown[16] = {};
    GetDlgItemTextW(dialog, kBrightnessText, shown, 16);
    EXPECT_EQ(std::u16string(shown), u"Auto");
    ASSERT_TRUE(SimPickCombo(GetDlgItem(dialog, kColorCombo), 1));
    GetDlgItemTextW(dialog, kBrightnessText, shown, 16);
    EXPECT_EQ(std::u16string(shown), u"Full");
    ClosePopup(dialog, false);
  });
}

TEST_F(DialogLookupsTest, CurrentChoiceAndItsName) {
  RunPopup([&](HWND dialog) {
    HandlerContext context{};
    InitHandlerContext(&context, dialog, nullptr, kListsPage, WM_REFRESHCONTROLS, kPopupDialog);
    ASSERT_EQ(FindChoiceList(dialog, kItemResolutionPair), nullptr) << "the resolution is bound to no row";
    const struct Case {
      const char* what;
      const HandlerContext* context;
      SettingItemId id;
      int answer;
      std::u16string name;
    } cases[] = {
        {"a bound item", &context, kItemColorMode, 1, u"Auto Color\rAuto"},
        {"an item of another row", &context, kItemCollate, 1, u"On"},
        {"an item no row binds: its list is loaded", &context, kItemResolutionPair, 1, u"600 dpi"},
        {"an item that cannot be read", &context, kItemOutsideEveryRange, 0, u""},
        {"a text item whose list holds numbers (a length range)", &context, kItemStampName, 0, u""},
        {"a value no choice holds", &context, kItemColorTripleFirst, 0, u""},
        {"no context", nullptr, kItemColorMode, 0, u""},
    };
    for (const Case& c : cases) {
      LPCWSTR name = nullptr;
      EXPECT_EQ(GetCurrentValueName(c.context, c.id, &name), c.answer) << c.what;
      EXPECT_EQ(std::u16string(name != nullptr ? name : u""), c.name) << c.what;
      const Choice* choice = nullptr;
      EXPECT_EQ(FindCurrentChoice(c.context, c.id, &choice), c.answer) << c.what;
      if (c.answer == 1) {
        ASSERT_NE(choice, nullptr);
        EXPECT_EQ(std::u16string(choice->name), c.name) << c.what;
      }
    }
    EXPECT_NE(FindChoiceList(dialog, kItemResolutionPair), nullptr) << "kept in the sheet's cache";
    EXPECT_EQ(GetCurrentValueName(&context, kItemColorMode, nullptr), 0);
    ClosePopup(dialog, false);
  });
}

TEST_F(DialogLookupsTest, BoundListNamesValuesAndStates) {
  RunPopup([&](HWND dialog) {
    const ControlRow* lines = Row(kItemLines);
    const struct Case {
      LONG n;
      const char16_t* name;  // NULL: none
    } names[] = {{0, u"Collate"}, {1, u"Color Mode"}, {3, u"Punch"}, {4, nullptr}, {-1, nullptr}};
    for (const auto& c : names) {
      LPCWSTR name = GetBoundChoiceListName(dialog, lines, c.n);
      if (c.name == nullptr) {
        EXPECT_EQ(name, nullptr) << c.n;
      } else {
        ASSERT_NE(name, nullptr) << c.n;
        EXPECT_EQ(std::u16string(name), c.name) << c.n;
      }
    }

    const BoundValue* bound = GetBoundValueAt(dialog, lines, 1);
    ASSERT_NE(bound, nullptr);
    SettingItemId id = 0;
    ValueTypeCode type = 0;
    ItemValueCell value{};
    value.number = 0xFFFFFFFF;
    const void* address = nullptr;
    EXPECT_EQ(ReadBoundValue(bound, &id, &type, &value, &address), 1);
    EXPECT_EQ(id, kItemColorMode);
    EXPECT_EQ(type, kTypeUInt16);
    EXPECT_EQ(value.word, 0) << "auto colour";
    EXPECT_EQ(address, &bound->value);
    EXPECT_EQ(ReadBoundValue(bound, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(ReadBoundValue(nullptr, &id, &type, &value, &address), 0);

    // Grayscale is refused while collation is set either way: the colour mode's state names the
    // items it depends on.
    const WORD* related = nullptr;
    WORD count = 0;
    ASSERT_EQ(GetItemConflictInfo(dialog, Row(kColorCombo), &related, &count), 1);
    const ItemStateRecord* record = FindItemStateRecord(dialog, kItemColorMode);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(count, record->item->relatedCount);
    EXPECT_EQ(related, record->item->related);
    const DWORD unbound[] = {BoundItem(kItemOutsideEveryRange, kRefreshOnFull)};
    const ControlRow stranger{4711, 1, unbound, kKindListBox, nullptr, nullptr, kNoControl, kNoString, nullptr};
    EXPECT_EQ(GetItemConflictInfo(dialog, &stranger, &related, &count), 0) << "an item without a state record";
    EXPECT_EQ(GetItemConflictInfo(dialog, Row(kColorCombo), nullptr, &count), 0);
    EXPECT_EQ(GetDialogResourceModule(dialog), GetResourceModule());
    ClosePopup(dialog, false);
  });
}

INT_PTR NoProcedure(HWND, UINT, WPARAM, LPARAM) { return 0; }

TEST(DialogRecordTables, RowsAndRecordsByPositionAndTheTabsDialogs) {
  const ControlRow rows[] = {{1, 0, nullptr, 0, nullptr, nullptr, kNoControl, kNoString, nullptr},
                             {2, 0, nullptr, 0, nullptr, nullptr, kNoControl, kNoString, nullptr}};
  EXPECT_EQ(GetRowAt(rows, 1), &rows[1]);
  EXPECT_EQ(GetRowAt(nullptr, 0), nullptr);
  EXPECT_EQ(GetRowAt(rows, -1), nullptr);

  const DialogRecord first{700, NoProcedure, 1, kNoString, 0, nullptr, 0};
  const DialogRecord second{701, NoProcedure, 2, 42, kItemCollate, nullptr, 0};
  const DialogRecord popups[] = {first, second};
  EXPECT_EQ(GetDialogRecordAt(popups, 1), &popups[1]);
  EXPECT_EQ(GetDialogRecordAt(nullptr, 0), nullptr);

  PageDescriptor page{};
  const TabRecord withFirst{1, &page, &first}, child{3, &page, nullptr}, withSecond{2, &page, &second};
  const TabRecord* const tabs[] = {&withFirst, &child, &withSecond};
  LONG collected = -1;
  DialogRecord* records = CollectDialogRecords(tabs, 3, &collected);
  ASSERT_NE(records, nullptr);
  ASSERT_EQ(collected, 2) << "the child page has no dialog of its own";
  EXPECT_EQ(records[0].templateId, 700u);
  EXPECT_EQ(records[1].templateId, 701u);
  EXPECT_EQ(records[1].titleItem, kItemCollate);
  GlobalFree(records);
  const TabRecord* const children[] = {&child};
  const struct Case {
    const char* what;
    const TabRecord* const* tabs;
    LONG count;
  } empty[] = {{"only child pages", children, 1}, {"no list", nullptr, 3}, {"a count of 0", tabs, 0}};
  for (const Case& c : empty) {
    collected = -1;
    EXPECT_EQ(CollectDialogRecords(c.tabs, c.count, &collected), nullptr) << c.what;
    EXPECT_EQ(collected, 0) << c.what;
  }
}

}  // namespace
}  // namespace lists_test
