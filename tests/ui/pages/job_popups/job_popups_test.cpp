// The job-type details that the main tab's details button asks for: the delayed job's time
// fields with their two-digit display and wrapping spins, what OK and Cancel keep, and the
// popup's picture.
#include <gtest/gtest.h>

#include "platform/comctl/comctl_sim.h"
#include "items/item_ids.h"
#include "tests/support/sheet_fixture.h"

namespace {

using sheet_test::OpenedBy;

constexpr int kJobTypeCombo = 1699, kDetailsButton = 3833, kHourField = 3371, kHourSpin = 3372,
              kMinuteField = 3374, kMinuteSpin = 3375, kPopupOk = 1092, kPopupCancel = 1091;
constexpr WORD kJobTimeTemplate = 3377;
constexpr SettingItemId kJobTypeItem = kItemJobType, kHourItem = kItemDelayHour, kMinuteItem = kItemDelayMinute;

std::string Fixture(const char* name) {
  return std::string(QV_SOURCE_DIR) + "/tests/ui/pages/job_popups/data/" + name;
}

void Pick(HWND page, int control, const std::u16string& text) {
  HWND combo = GetDlgItem(page, control);
  const LRESULT line = SendMessageW(combo, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(text.c_str()));
  ASSERT_GE(line, 0) << Utf16ToUtf8(text);
  ASSERT_TRUE(SimPickCombo(combo, int(line)));
}

class JobPopupsTest : public sheet_test::SheetTest {
 protected:
  // Picks the job type on the main tab, presses the details button with `act` as the driver of
  // the delayed job's popup, and ends the sheet with OK. The number of times the popup opened.
  int WithDetails(const char16_t* jobType, const std::function<void(HWND popup)>& act) {
    int opened = 0;
    DWORD result = 0;
    OpenDocumentSheet(OpenedBy::kApplication, [&](HWND sheet) {
      HWND main = ShowTab(sheet, 0);
      ASSERT_NE(main, nullptr);
      Pick(main, kJobTypeCombo, jobType);
      SimOnDialog(kJobTimeTemplate, [&](HWND popup) {
        ++opened;
        act(popup);
      });
      EXPECT_TRUE(SimClick(GetDlgItem(main, kDetailsButton)));
      EXPECT_TRUE(SimSheetPress(sheet, PSBTN_OK));
    }, nullptr, 0, &result);
    EXPECT_EQ(result, DWORD(CPSUI_OK));
    return opened;
  }
};

// The spins wrap at both ends of their ranges and every value below ten shows two digits.
TEST_F(JobPopupsTest, TheTimeSpinsWrapAndShowTwoDigits) {
  struct Case {
    const char* name;
    int spin;
    int direction;
    int presses;
    std::u16string hour, minute;
    DWORD storedHour, storedMinute;
  };
  const Case cases[] = {
      {"the hour below 0 is 23", kHourSpin, -1, 1, u"23", u"00", 23, 0},
      {"the hour wraps back past 23", kHourSpin, -1, 2, u"22", u"00", 22, 0},
      {"the hour beyond 23 is 0 again", kHourSpin, +1, 0, u"00", u"00", 0, 0},
      {"five minutes show a leading zero", kMinuteSpin, +1, 5, u"00", u"05", 0, 5},
      {"the minute below 0 is 59", kMinuteSpin, -1, 1, u"00", u"59", 0, 59},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int opened = WithDetails(u"Delayed Print", [&](HWND popup) {
      EXPECT_EQ(Utf16ToUtf8(Text(popup, kHourField)), "00");
      EXPECT_EQ(Utf16ToUtf8(Text(popup, kMinuteField)), "00");
      for (int n = 0; n < c.presses; ++n) EXPECT_TRUE(SimSpin(GetDlgItem(popup, c.spin), c.direction));
      if (c.presses == 0) {
        // Round to the top, then up once more.
        EXPECT_TRUE(SimSpin(GetDlgItem(popup, kHourSpin), -1));
        EXPECT_EQ(Utf16ToUtf8(Text(popup, kHourField)), "23");
        EXPECT_TRUE(SimSpin(GetDlgItem(popup, kHourSpin), +1));
      }
      EXPECT_EQ(Utf16ToUtf8(Text(popup, kHourField)), Utf16ToUtf8(c.hour));
      EXPECT_EQ(Utf16ToUtf8(Text(popup, kMinuteField)), Utf16ToUtf8(c.minute));
      EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupOk)));
    });
    EXPECT_GE(opened, 1);
    EXPECT_EQ(DevModeItem(output_, kJobTypeItem), 4u);
    EXPECT_EQ(DevModeItem(output_, kHourItem), c.storedHour);
    EXPECT_EQ(DevModeItem(output_, kMinuteItem), c.storedMinute);
  }
}

// A typed hour keeps two digits; Cancel keeps the time as it was.
TEST_F(JobPopupsTest, TypedTimesAndCancel) {
  WithDetails(u"Delayed Print", [&](HWND popup) {
    TypeInto(popup, kHourField, u"7");
    SimFocus(GetDlgItem(popup, kMinuteField));
    EXPECT_EQ(Utf16ToUtf8(Text(popup, kHourField)), "07");
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupOk)));
  });
  EXPECT_EQ(DevModeItem(output_, kHourItem), 7u);
  WithDetails(u"Delayed Print", [&](HWND popup) {
    EXPECT_TRUE(SimSpin(GetDlgItem(popup, kHourSpin), -1));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupCancel)));
  });
  EXPECT_EQ(DevModeItem(output_, kHourItem), 0u);
}

// A normal job has no details to ask for.
TEST_F(JobPopupsTest, ANormalJobHasNoDetails) {
  EXPECT_EQ(WithDetails(u"Normal Print", [](HWND popup) { SimClick(GetDlgItem(popup, kPopupCancel)); }), 0);
}

TEST_F(JobPopupsTest, PictureOfTheDelayedJobPopup) {
  WithDetails(u"Delayed Print", [&](HWND popup) {
    ExpectMatchesPicture(popup, Fixture("delayed_print.png"));
    EXPECT_TRUE(SimClick(GetDlgItem(popup, kPopupCancel)));
  });
}

}  // namespace
