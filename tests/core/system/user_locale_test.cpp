// User name, measurement system and country defaults.
#include "core/system/user_locale.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/support/fresh_process.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr char16_t kWinlogon[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

class UserLocale : public SandboxTest {
 protected:
  static std::u16string UserName(DWORD chars = 64) {
    WCHAR buffer[64] = {};
    DWORD size = chars;
    EXPECT_EQ(GetCurrentUserName(buffer, &size), 1);
    EXPECT_EQ(size, static_cast<DWORD>(lstrlenW(buffer)) + 1);
    return buffer;
  }
};

TEST_F(UserLocale, ServicesAnswerTheWinlogonUser) {
  SimSetUserName(u"alice");
  EXPECT_EQ(UserName(), u"alice");
  for (const char16_t* service : {u"SYSTEM", u"System"}) {
    SimSetUserName(service);
    EXPECT_EQ(UserName(), u"UnknownUser");  // no Winlogon value yet
  }
  SimRegistrySeedString(HKEY_LOCAL_MACHINE, kWinlogon, u"DefaultUserName", u"bob");
  EXPECT_EQ(UserName(), u"bob");
  SimSetUserName(u"system");  // only the two exact spellings count as the service account
  EXPECT_EQ(UserName(), u"system");
  // GetUserNameW failing (buffer too small for the name) also takes the Winlogon name.
  SimSetUserName(u"a-very-long-user-name");
  EXPECT_EQ(UserName(4), u"bob");
}

TEST_F(UserLocale, WinlogonValueIsTerminatedAndBounded) {
  SimSetUserName(u"SYSTEM");
  // Stored without its terminator, and longer than the caller's buffer.
  const std::u16string name = u"carol";
  SimRegistrySeedValue(HKEY_LOCAL_MACHINE, kWinlogon, u"DefaultUserName", REG_SZ, name.data(),
                       static_cast<DWORD>(name.size() * sizeof(WCHAR)));
  EXPECT_EQ(UserName(), u"carol");
  SimRegistrySeedString(HKEY_LOCAL_MACHINE, kWinlogon, u"DefaultUserName", u"a-name-longer-than-the-buffer");
  EXPECT_EQ(UserName(8), u"Unknown");  // the value does not fit: the fall-back, cut to size
  SimRegistrySeedDword(HKEY_LOCAL_MACHINE, kWinlogon, u"DefaultUserName", 7);
  EXPECT_EQ(UserName(), u"UnknownUser");  // not a text
  DWORD size = 0;
  WCHAR buffer[4];
  EXPECT_EQ(GetCurrentUserName(buffer, &size), 0);
  EXPECT_EQ(GetCurrentUserName(nullptr, &size), 0);
}

TEST_F(UserLocale, MeasurementSystemFollowsTheCountryOnce) {
  EXPECT_EQ(GetLocaleMeasureSystem(0), kMeasureMetric);  // no model flag: metric at once
  struct Case { const char16_t* country; int expected; };
  for (Case c : {Case{u"44", kMeasureMetric}, Case{u"1", kMeasureInch}, Case{u"52", kMeasureInch},
                 Case{u"2", kMeasureInch}, Case{u"599", kMeasureInch}, Case{u"60", kMeasureMetric},
                 Case{u"86", kMeasureMetric}}) {
    SimSetLocaleInfo(LOCALE_ICOUNTRY, c.country);
    QV_IN_FRESH_PROCESS({
      EXPECT_EQ(GetLocaleMeasureSystem(1), c.expected);
      SimSetLocaleInfo(LOCALE_ICOUNTRY, u"44");
      EXPECT_EQ(GetLocaleMeasureSystem(1), c.expected);  // cached for the process
    });
  }
  SimFailCall("GetLocaleInfoW", ERROR_INVALID_PARAMETER);
  QV_IN_FRESH_PROCESS({ EXPECT_EQ(GetLocaleMeasureSystem(1), kMeasureMetric); });
}

TEST_F(UserLocale, CountryDefaults) {
  struct Case { const char16_t* country; BYTE first, second; };
  for (Case c : {Case{u"1", 4, 0}, Case{u"86", 2, 1}, Case{u"852", 2, 1}, Case{u"81", 1, 0}, Case{u"58", 3, 0},
                 Case{u"44", 0, 0}, Case{u"999", 0, 0}}) {
    SimSetLocaleInfo(LOCALE_ICOUNTRY, c.country);
    QV_IN_FRESH_PROCESS({
      EXPECT_EQ(LookUpCountryDefault(), c.first);
      EXPECT_EQ(LookUpCountryDefault2(), c.second);
    });
  }
  SimFailCall("GetLocaleInfoW", ERROR_INVALID_PARAMETER, 1, 2);
  QV_IN_FRESH_PROCESS({
    EXPECT_EQ(LookUpCountryDefault(), 254);
    EXPECT_EQ(LookUpCountryDefault2(), 254);
  });
}

}  // namespace
