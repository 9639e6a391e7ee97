// The edit kind: the fixed-point parse of typed numbers.
#include <gtest/gtest.h>

#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "items/text_protection.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "tests/ui/framework/lists/lists_fixture.h"

namespace lists_test {
namespace {

TEST(FixedPointText, TypedNumbersAndRefusals) {
  const DWORD half = kEditSigned | kEditDecimal | kEditHalfSteps;
  const DWORD plain = kEditSigned | kEditDecimal;
  const struct Case {
    const char* text;
    WORD decimals;
    DWORD flags;
    int ok;
    LONG value;
  } cases[] = {
      {"2.3", 1, half, 1, 20},          {"2.7", 1, half, 1, 25},
      {"2.5", 1, half, 1, 25},          {"2.0", 1, half, 1, 20},
      {"2.34", 1, plain, 0, 0},         {"2.34", 1, plain | kEditTolerant, 1, 23},
      {"-0.5", 1, plain, 1, -5},        {"12", 2, plain, 1, 1200},
      {".5", 1, plain, 1, 5},           {"1.", 1, plain, 1, 10},
      {"1.2.3", 1, plain, 0, 0},        {"", 1, plain, 0, 0},
      {".", 1, plain, 0, 0},            {"a.5", 1, plain, 0, 0},
      {"-1.5", 1, kEditUnsigned | kEditDecimal, 0, 0},
      {"2147483647.5", 1, plain, 0, 0}, {"429496729.5", 1, plain, 1, LONG(4294967295u)},
      {"429496729.6", 1, plain, 0, 0},  {"12345678901", 0, plain, 0, 0},
      {"2.36", 2, half, 1, 206},        {"2.74", 2, half, 1, 254},
  };
  for (const Case& c : cases) {
    LONG value = 0;
    EXPECT_EQ(ParseFixedPointText(c.text, c.decimals, c.flags, &value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

}  // namespace
}  // namespace lists_test

namespace lists_test {
namespace {

using EditKindTest = ListsTest;

std::u16string BoxText(HWND dialog, int id) {
  WCHAR text[64] = {};
  GetDlgItemTextW(dialog, id, text, 64);
  return text;
}

// Types the text into the box and leaves it for the combo box.
void TypeAndLeave(HWND dialog, int id, const std::u16string& text) {
  HWND box = GetDlgItem(dialog, id);
  SimFocus(box);
  SendMessageW(box, EM_SETSEL, 0, -1);
  SimType(box, text);
  SimFocus(GetDlgItem(dialog, kColorCombo));
}

TEST_F(EditKindTest, TypedNumbersGiveTheStoredValues) {
  // Brightness: one decimal with half steps, signed, -100..100 in tenths.
  const struct Case {
    const char16_t* typed;
    LONG stored;  // the value after leaving the box
    const char16_t* shown;
    bool refused;
  } cases[] = {
      {u"2.3", 20, u"2.0", false},        {u"2.7", 25, u"2.5", false},
      {u"-0.5", -5, u"-0.5", false},      {u"2.34", -5, u"-0.5", true},
      {u"4294967296", -5, u"-0.5", true}, {u"20.5", -5, u"-0.5", true},
      {u"1x", -5, u"-0.5", true},         {u"10", 100, u"10.0", false},
  };
  RunPopup([&](HWND dialog) {
    EXPECT_EQ(BoxText(dialog, kBrightnessEdit), u"0.0");
    HWND box = GetDlgItem(dialog, kBrightnessEdit);
    for (const Case& c : cases) {
      SimMessageBoxReset();
      TypeAndLeave(dialog, kBrightnessEdit, c.typed);
      EXPECT_EQ(PopupItem(dialog, kItemColorTripleFirst), c.stored) << int(&c - cases);
      EXPECT_EQ(BoxText(dialog, kBrightnessEdit), c.shown) << int(&c - cases);
      EXPECT_EQ(GetFocus() == box, c.refused) << "a refusal returns the focus " << int(&c - cases);
    }
    ClosePopup(dialog, false);
  });
}

TEST_F(EditKindTest, InchDisplayClampsTheShiftItems) {
  RunPopup([&](HWND dialog) {
    const struct Case {
      WORD unit;
      SettingItemId id;
      LONG stored, shown;
      int result;
    } cases[] = {
        {0, kItemBindingShift, 50, 50, 1},  {1, kItemBindingShift, 30, 12, 1},
        {1, kItemBindingShift, 50, 19, 1},  {1, kItemBindingShiftBack, -50, -19, 1},
        {1, kItemBookletShift, 100, 19, 1}, {1, kItemColorTripleFirst, 50, 50, 0},
    };
    for (const Case& c : cases) {
      sheet_.displayUnit = c.unit;
      LONG out = 0;
      NumberFormat format{0, 0};
      const EditKindData data{kEditNumeric | kEditUnits, 8, nullptr, &format, 0xFF};
      EXPECT_EQ(GetEditLimits(dialog, kStoredToShown, c.id, 0, c.stored, &out, &data), c.result);
      EXPECT_EQ(out, c.shown) << c.id << " " << c.stored;
      WORD decimals = 0;
      if (c.result == 1 && GetItemDecimals(c.id, c.unit, &decimals)) {
        EXPECT_EQ(format.decimals, decimals);
      }
    }
    sheet_.displayUnit = 0;
    ClosePopup(dialog, false);
  });
}

TEST_F(EditKindTest, EncodedTextIsStoredEncodedAndShownPlain) {
  RunPopup([&](HWND dialog) {
    HWND box = GetDlgItem(dialog, kNameEdit);
    SimFocus(box);
    SimType(box, u"Draft");
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end, 5u) << "typing does not rewrite the box under the caret";
    EXPECT_EQ(BoxText(dialog, kNameEdit), u"Draft");
    SettingsRecord* settings = nullptr;
    PrinterConfiguration* config = nullptr;
    ASSERT_TRUE(GetCurrentSettings(dialog, &settings, &config));
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell{};
    ASSERT_EQ(GetItemValue(kItemStampName, settings, config, &type, &length, &cell), kItemDone);
    const auto* stored = static_cast<LPCWSTR>(cell.data);
    EXPECT_NE(std::u16string(stored), u"Draft") << Utf8(stored);
    LPWSTR plain = nullptr;
    ASSERT_TRUE(ConvertEncodedText(kConvertDecode, stored, &plain)) << Utf8(stored);
    EXPECT_EQ(std::u16string(plain), u"Draft");
    GlobalFree(plain);
    // A forbidden character: the message on leaving the box, and the focus back in it.
    SimMessageBoxReset();
    SimType(box, u"*");
    SimFocus(GetDlgItem(dialog, kColorCombo));
    ASSERT_EQ(SimMessageBoxLog().size(), 1u);
    EXPECT_EQ(SimMessageBoxLog()[0].caption, u"Printer Settings");
    EXPECT_EQ(GetFocus(), box);
    ClosePopup(dialog, false);
  });
}

}  // namespace
}  // namespace lists_test
