// The dialogs' records: settings sets and their copies, a page's instance data kept in its
// window, the sheet's size summary, and the comparison of two settings records the core makes
// for a page window through this module's sheet services.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/persist/settings_compare.h"
#include "items/item_ids.h"
#include "platform/kernel/ansi_text.h"
#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/framework/sheet/picture_surfaces.h"
#include "ui/framework/sheet/sheet_state.h"

namespace {

constexpr WCHAR kPageClass[] = u"QvTestPage";

// "P1" with its default settings and a page window that can hold a PageData; this module's
// sheet services registered with the core.
class SheetStateTest : public printer_test::SampleSettingsTest {
 protected:
  void SetUp() override {
    SampleSettingsTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.cbWndExtra = 32;  // room for the dialog longs up to DWLP_USER
    wc.lpszClassName = kPageClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    page_ = CreateWindowExW(0, kPageClass, u"page", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(page_, nullptr);
    RegisterSheetServices(true);
    ASSERT_TRUE(CreateSettingsSet(&set_));
    std::memcpy(set_.settings, &settings_, sizeof settings_);
    std::memcpy(set_.config, &config_, sizeof config_);
  }
  void TearDown() override {
    FreeSettingsSet(&set_);
    RegisterSheetServices(false);
    DestroyWindow(page_);
    UnregisterClassW(kPageClass, nullptr);
    SimSetAnsiCodePage(1252);
    SampleSettingsTest::TearDown();
  }

  HWND page_ = nullptr;
  SheetState sheet_{};
  SettingsSet set_{};
};

TEST_F(SheetStateTest, SettingsSetsCopyWholeBlobs) {
  SettingsSet copy{};
  ASSERT_TRUE(CreateSettingsSet(&copy));
  // A 70,000-byte fax list is copied whole, past any 16-bit length.
  set_.blobLength = 70000;
  set_.blob = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, set_.blobLength));
  for (DWORD i = 0; i < set_.blobLength; ++i) set_.blob[i] = static_cast<BYTE>(i * 7);
  ASSERT_TRUE(CopySettingsSet(&copy, &set_));
  ASSERT_EQ(copy.blobLength, 70000u);
  EXPECT_EQ(std::memcmp(copy.blob, set_.blob, 70000), 0);
  EXPECT_EQ(std::memcmp(copy.settings, set_.settings, sizeof(SettingsRecord)), 0);
  // A copy onto itself keeps the blob.
  ASSERT_TRUE(CopySettingsSet(&copy, &copy));
  EXPECT_EQ(copy.blob[69999], static_cast<BYTE>(69999 * 7));
  // A source without a blob leaves the target without one.
  SettingsSet bare{};
  ASSERT_TRUE(CreateSettingsSet(&bare));
  ASSERT_TRUE(CopySettingsSet(&copy, &bare));
  EXPECT_EQ(copy.blob, nullptr);
  EXPECT_EQ(copy.blobLength, 0u);
  EXPECT_FALSE(IsSettingsSetValid(nullptr));
  SettingsSet empty{};
  EXPECT_FALSE(CopySettingsSet(&empty, &bare));
  FreeSettingsSet(&bare);
  FreeSettingsSet(&copy);
}

TEST_F(SheetStateTest, PageDataRestoresTheSavedOrAppliedSettings) {
  EXPECT_EQ(CreatePageData(page_, nullptr, &set_, nullptr), nullptr);
  EXPECT_EQ(CreatePageData(page_, &sheet_, nullptr, nullptr), nullptr);
  PageData* data = CreatePageData(page_, &sheet_, &set_, nullptr);
  ASSERT_NE(data, nullptr);
  EXPECT_FALSE(IsSettingsSetValid(&data->third));
  SetWindowLongPtrW(page_, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
  EXPECT_EQ(GetPageData(page_), data);
  EXPECT_EQ(FindSheetState(page_), &sheet_);

  SettingsRecord* current = nullptr;
  PrinterConfiguration* config = nullptr;
  ASSERT_TRUE(GetCurrentSettings(page_, &current, &config));
  current->bytes[300] ^= 0xFF;  // an edit
  ASSERT_TRUE(RestoreSettings(data, FALSE));  // Cancel without Apply: the saved copy
  EXPECT_EQ(std::memcmp(current, &settings_, sizeof settings_), 0);

  current->bytes[300] ^= 0xFF;
  ASSERT_TRUE(SnapshotSettings(data));  // Apply
  current->bytes[301] ^= 0xFF;          // a later edit
  ASSERT_TRUE(RestoreSettings(data, FALSE));  // Cancel after Apply: the applied copy
  EXPECT_EQ(current->bytes[300], static_cast<BYTE>(settings_.bytes[300] ^ 0xFF));
  EXPECT_EQ(current->bytes[301], settings_.bytes[301]);
  ASSERT_TRUE(RestoreSettings(data, TRUE));  // forced: the saved copy
  EXPECT_EQ(current->bytes[300], settings_.bytes[300]);

  SettingsRecord* saved = nullptr;
  ASSERT_TRUE(GetSavedSettings(page_, &saved, &config));
  EXPECT_NE(saved, current);
  EXPECT_FALSE(GetCurrentSettings(nullptr, &current, &config));

  // A list that still holds nodes is left to its owner.
  int node = 0;
  KeyedList* states = data->states->controlStates;
  ASSERT_TRUE(KeyedListPushFront(states, 1, 2, &node));
  SetWindowLongPtrW(page_, DWLP_USER, 0);
  DestroyPageData(&data);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(KeyedListCount(states), 1);
  FreeKeyedList(&states);
  EXPECT_EQ(FindSheetState(page_), nullptr);
}

TEST_F(SheetStateTest, SizeSummaryKeepsOnlyTextsShorterThan128AnsiBytes) {
  ASSERT_TRUE(SetSizeSummaryText(&sheet_, u"A4 (210 x 297 mm)"));
  EXPECT_FALSE(SetSizeSummaryText(&sheet_, std::u16string(130, u'x').c_str()));
  EXPECT_EQ(std::u16string(sheet_.sizeSummary), u"A4 (210 x 297 mm)");
  EXPECT_TRUE(SetSizeSummaryText(&sheet_, std::u16string(127, u'y').c_str()));
  // In code page 932, 64 double-byte characters are 128 bytes: refused.
  ASSERT_TRUE(SimSetAnsiCodePage(932));
  std::u16string wide;
  for (int i = 0; i < 64; ++i) wide += AnsiToWide("\x82\xA0");
  EXPECT_FALSE(SetSizeSummaryText(&sheet_, wide.c_str()));
  wide.pop_back();
  EXPECT_TRUE(SetSizeSummaryText(&sheet_, wide.c_str()));
  WCHAR out[kSizeSummaryChars];
  ASSERT_TRUE(GetSizeSummaryText(&sheet_, out));
  EXPECT_EQ(std::u16string(out), wide);
}

TEST_F(SheetStateTest, SettingsRecordsCompareThroughThePageWindow) {
  SettingsRecord other = settings_;
  // Without a sheet behind the window nothing is compared.
  EXPECT_EQ(CompareSettingsRecords(page_, &settings_, &other, &config_), 0);
  PageData* data = CreatePageData(page_, &sheet_, &set_, nullptr);
  ASSERT_NE(data, nullptr);
  SetWindowLongPtrW(page_, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
  EXPECT_EQ(CompareSettingsRecords(page_, &settings_, &other, &config_), 1);
  // The device name is not compared; the copies are.
  std::memcpy(other.bytes, u"Another Device", 30);
  EXPECT_EQ(CompareSettingsRecords(page_, &settings_, &other, &config_), 1);
  Put(kItemCopies, 3);
  EXPECT_EQ(CompareSettingsRecords(page_, &settings_, &other, &config_), 0);
  SetWindowLongPtrW(page_, DWLP_USER, 0);
  DestroyPageData(&data);
}

}  // namespace

namespace {

TEST_F(SheetStateTest, PictureSurfacesPerControlOfTheSheet) {
  PageData* data = CreatePageData(page_, &sheet_, &set_, nullptr);
  ASSERT_NE(data, nullptr);
  SetWindowLongPtrW(page_, DWLP_USER, reinterpret_cast<LONG_PTR>(data));
  HWND first = CreateWindowExW(0, kPageClass, u"", WS_CHILD, 0, 0, 5, 5, page_, reinterpret_cast<HMENU>(1001),
                               nullptr, nullptr);
  HWND second = CreateWindowExW(0, kPageClass, u"", WS_CHILD, 0, 0, 5, 5, page_, reinterpret_cast<HMENU>(1002),
                                nullptr, nullptr);
  for (HWND control : {first, second}) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    ASSERT_EQ(AddPictureSurface(control, dc, bitmap, 4, 4), 1);
  }
  ASSERT_NE(FindPictureSurface(second), nullptr);
  EXPECT_EQ(FindPictureSurface(second)->controlId, 1002);
  EXPECT_EQ(static_cast<PictureSurface*>(sheet_.pictureSurfaces)->controlId, 1001);  // appended at the end
  RemovePictureSurface(&sheet_, 1001);
  EXPECT_EQ(FindPictureSurface(first), nullptr);
  EXPECT_NE(FindPictureSurface(second), nullptr);
  FreePictureSurfaces(static_cast<PictureSurface*>(sheet_.pictureSurfaces));
  sheet_.pictureSurfaces = nullptr;
  EXPECT_EQ(AddPictureSurface(page_, nullptr, nullptr, 0, 0), 0);  // no sheet behind the page's parent
  DestroyWindow(first);
  DestroyWindow(second);
  SetWindowLongPtrW(page_, DWLP_USER, 0);
  DestroyPageData(&data);
}

TEST_F(SheetStateTest, FontsByFaceName) {
  LOGFONTW fonts[2] = {};
  std::memcpy(fonts[0].lfFaceName, u"Serif One", 20);
  std::memcpy(fonts[1].lfFaceName, u"Sans Two", 18);
  fonts[1].lfHeight = 12;
  const FontTable table{2, fonts};
  WORD status = 99;
  EXPECT_EQ(FindFontByFaceName(&table, u"Sans Two", &status), &fonts[1]);
  EXPECT_EQ(status, kFontFound);
  EXPECT_EQ(FindFontByFaceName(&table, u"Sans", &status), nullptr);
  EXPECT_EQ(status, kFontNotFound);
  const FontTable empty{2, nullptr};
  EXPECT_EQ(FindFontByFaceName(&empty, u"Sans Two", &status), nullptr);
  EXPECT_EQ(status, kFontNoArray);
  EXPECT_EQ(FindFontByFaceName(nullptr, u"Sans Two", &status), nullptr);
  EXPECT_EQ(status, kFontBadArgument);
}

}  // namespace
