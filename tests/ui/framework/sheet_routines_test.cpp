// The routines of an open sheet: message boxes in the sheet's reading order, resource texts
// with their length rule, decimals and measurement flags, screen scaling and the machine
// registry probe.
#include <gtest/gtest.h>

#include <string>

#include "core/messages/sheet_services.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

constexpr WCHAR kPageClass[] = u"QvRoutinePage";

class SheetRoutinesTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    module_ = LoadLibraryW(u"ui_test_module.qrs");
    ASSERT_NE(module_, nullptr);
    SetModuleInstance(module_);
    AcquireResourceModule();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.cbWndExtra = 32;
    wc.lpszClassName = kPageClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    page_ = CreateWindowExW(0, kPageClass, u"page", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    RegisterSheetServices(true);
    ASSERT_TRUE(CreateSettingsSet(&set_));
    data_ = CreatePageData(page_, &sheet_, &set_, nullptr);
    ASSERT_NE(data_, nullptr);
  }
  void TearDown() override {
    SetWindowLongPtrW(page_, DWLP_USER, 0);
    DestroyPageData(&data_);
    FreeSettingsSet(&set_);
    RegisterSheetServices(false);
    DestroyWindow(page_);
    UnregisterClassW(kPageClass, nullptr);
    ReleaseResourceModule();
    FreeResourceModule();
    SetModuleInstance(nullptr);
    FreeLibrary(module_);
    SandboxTest::TearDown();
  }
  void AttachSheet() { SetWindowLongPtrW(page_, DWLP_USER, reinterpret_cast<LONG_PTR>(data_)); }

  HMODULE module_ = nullptr;
  HWND page_ = nullptr;
  SheetState sheet_{};
  SettingsSet set_{};
  PageData* data_ = nullptr;
};

TEST_F(SheetRoutinesTest, MessageBoxesTakeTheSheetsReadingOrder) {
  // Without a sheet behind the window no box is shown.
  EXPECT_EQ(ShowSheetMessageBox(page_, u"text", u"caption", MB_OK), 0);
  EXPECT_EQ(ShowResourceMessageBox(page_, 265, nullptr, MB_OK, kNoStringId, u"text"), -1);
  EXPECT_TRUE(SimMessageBoxLog().empty());
  AttachSheet();
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(ShowSheetMessageBox(page_, u"left to right", u"caption", MB_OK), IDOK);
  sheet_.featureWords[1] = 1u << (0x2E - 32);  // the right-to-left feature
  SimMessageBoxAnswer(IDYES);
  EXPECT_EQ(GetSheetState(page_), &sheet_);
  EXPECT_EQ(ShowMessageBox(page_, u"right to left", u"caption", MB_YESNO), IDYES);  // through the core
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(ShowResourceMessageBox(page_, 265, nullptr, MB_OK, 729, nullptr), IDOK);
  EXPECT_EQ(ShowResourceMessageBox(page_, 4999, nullptr, MB_OK, kNoStringId, u"text"), -1);  // no such caption
  EXPECT_EQ(ShowResourceMessageBox(page_, kNoStringId, u"given", MB_OK, kNoStringId, nullptr), -1);  // no text
  const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].type, UINT{MB_OK});
  EXPECT_EQ(boxes[1].type, MB_YESNO | kRightToLeftBoxFlags);
  EXPECT_EQ(boxes[2].caption, u"Printer Settings");
  EXPECT_EQ(boxes[2].text, u"is too small");
}

TEST_F(SheetRoutinesTest, FormattedStringsShorterThanTheirBuffer) {
  LPWSTR text = nullptr;
  // 706 is "<%s; now %s>": 3 + 6 + 1 characters around the two texts.
  ASSERT_EQ(LoadStringFormat(page_, &text, 0, 706, {u"A4", u"4.6 mm"}), 1);
  EXPECT_EQ(std::u16string(text), u"<A4; now 4.6 mm>");
  GlobalFree(text);
  EXPECT_EQ(LoadStringFormat(page_, &text, 18, 706, {u"A4", u"4.6 mm"}), 1);  // 16 characters in 18
  GlobalFree(text);
  EXPECT_EQ(LoadStringFormat(page_, &text, 17, 706, {u"A4", u"4.6 mm"}), 0);  // 16 in 17: may be cut
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(LoadStringFormat(page_, &text, 0, 4999, {}), 0);  // no such string
}

TEST_F(SheetRoutinesTest, DecimalsMeasurementFlagsAndFeatures) {
  const struct Case {
    SettingItemId id;
    WORD unit;
    int known;
    WORD decimals;
  } cases[] = {
      {kItemOffsetX, 0, 1, 1},           {kItemOffsetX, 1, 1, 2},       {kItemMarginRight, 0, 1, 1},
      {kItemBindingShift, 0, 1, 0},      {kItemBookletShift, 1, 1, 1},  {kItemUserPaperWidth, 0, 1, 1},
      {kItemUserPaperName - 1, 1, 1, 2}, {kItemUserPaperName, 0, 0, 0}, {kItemCopies, 0, 0, 0},
  };
  for (const Case& c : cases) {
    WORD decimals = 99;
    EXPECT_EQ(GetItemDecimals(c.id, c.unit, &decimals), c.known) << c.id;
    if (c.known) {
      EXPECT_EQ(decimals, c.decimals) << c.id;
    }
  }

  MeasurementFlags flags{9, 9};
  EXPECT_FALSE(ReadSheetMeasurementFlags(nullptr, &flags));
  sheet_.featureWords[1] = (1u << (0x22 - 32)) | (1u << (0x23 - 32));
  sheet_.localeUnit = 1;
  ASSERT_TRUE(ReadSheetMeasurementFlags(&sheet_, &flags));
  EXPECT_EQ(flags.inches, 1u);
  EXPECT_EQ(flags.oneDecimal, 1u);
  sheet_.localeUnit = 0;
  ASSERT_TRUE(ReadSheetMeasurementFlags(&sheet_, &flags));
  EXPECT_EQ(flags.inches, 0u);

  // The locale unit follows the user locale only with model feature 0x800000.
  SimSetLocaleInfo(LOCALE_IMEASURE, u"1");
  EXPECT_EQ(ReadMeasurementUnit(&sheet_), 0);
  sheet_.featureWords[0] = 0x800000;
  EXPECT_EQ(ReadMeasurementUnit(&sheet_), 1);
  ResetMeasurementUnit(&sheet_);
  EXPECT_EQ(sheet_.displayUnit, 1);

  WORD tri = 9;
  sheet_.featureWords[0] = 0;
  ASSERT_TRUE(GetTriStateFeature(&sheet_, &tri));
  EXPECT_EQ(tri, 0);
  sheet_.featureWords[0] = 0x8000000;
  ASSERT_TRUE(GetTriStateFeature(&sheet_, &tri));
  EXPECT_EQ(tri, 1);
  sheet_.featureWords[1] |= 1u << (0x26 - 32);
  ASSERT_TRUE(GetTriStateFeature(&sheet_, &tri));
  EXPECT_EQ(tri, 2);
}

TEST_F(SheetRoutinesTest, ScalingHelpIdsQuadsAndTheRegistryProbe) {
  SimSetScreenDpi(144);
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(ScaleForDpi(screen, 15, LOGPIXELSY), 23);  // 22.5 rounds away from zero
  EXPECT_EQ(ScaleForDpi(screen, -15, LOGPIXELSX), -23);
  EXPECT_EQ(ScaleForDpi(screen, 26, 0), 39);
  ReleaseDC(nullptr, screen);

  HWND control = CreateWindowExW(0, kPageClass, u"", WS_CHILD, 0, 0, 5, 5, page_, reinterpret_cast<HMENU>(1012),
                                 nullptr, nullptr);
  const DWORD pairs[] = {1007, 5001, 1012, 5002, 0};
  EXPECT_EQ(LookupControlHelpId(pairs, control), 5002u);
  const DWORD none[] = {0};
  EXPECT_EQ(LookupControlHelpId(none, control), 0u);
  DestroyWindow(control);

  LONG quad[4] = {};
  const LONG four[4] = {1, 2, 3, 4};
  ASSERT_TRUE(SetQuadValue(quad, 4, four));
  const LONG seven = 7;
  ASSERT_TRUE(SetQuadValue(quad, 2, &seven));
  LONG out[4] = {};
  ASSERT_TRUE(GetQuadValue(quad, 4, out));
  EXPECT_EQ(out[2], 7);
  EXPECT_EQ(out[3], 4);
  EXPECT_FALSE(SetQuadValue(quad, 5, four));

  SimRegistrySetAdministrator(TRUE);
  EXPECT_EQ(CanWriteMachineRegistry(), 1);
  DWORD type = 0;
  std::vector<BYTE> data;
  EXPECT_FALSE(SimRegistryReadValue(HKEY_LOCAL_MACHINE, u"", u"WriteCheck", type, data));  // deleted again
  SimRegistrySetAdministrator(FALSE);
  EXPECT_EQ(CanWriteMachineRegistry(), 0);
}

}  // namespace
