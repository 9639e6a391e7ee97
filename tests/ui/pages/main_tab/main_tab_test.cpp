// The document sheet's main tab through the sheet's hosts: opening and painting in each host,
// what OK stores and Cancel keeps, its rules driven through the controls, and its picture.
#include <gtest/gtest.h>

#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;

constexpr int kZoomOnBox = 1184, kZoomEdit = 1010, kCopiesEdit = 1011, kPaperCombo = 1006, kOutputCombo = 1008;

class MainTabTest : public sheet_test::SheetTest {};

TEST_F(MainTabTest, OpensInEachHostAndOkWritesTheDevmode) {
  for (OpenedBy host : {OpenedBy::kApplication, OpenedBy::kDefaults, OpenedBy::kPreferences}) {
    SCOPED_TRACE(sheet_test::HostName(host));
    std::u16string copies;
    DWORD result = 0;
    const LONG answer = OpenDocumentSheet(host, [&](HWND sheet) {
      HWND page = ShowTab(sheet, 0);
      ASSERT_NE(page, nullptr);
      copies = Text(page, kCopiesEdit);
      EXPECT_TRUE(SimType(GetDlgItem(page, kCopiesEdit), u"3"));
      EXPECT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    }, nullptr, 0, &result);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(result, DWORD(CPSUI_OK));
    EXPECT_EQ(copies, u"1");
    EXPECT_EQ(DevModeItem(output_, 4), 220u);
  }
}

}  // namespace
