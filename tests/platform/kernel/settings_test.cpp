// Locale, version and identity settings.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class Settings : public SandboxTest {};

std::u16string Locale(LCID lcid, LCTYPE type) {
  WCHAR buffer[64] = {};
  int n = GetLocaleInfoW(lcid, type, buffer, 64);
  return n > 0 ? std::u16string(buffer, n - 1) : u"<fail>";
}

TEST_F(Settings, LocaleInfoFromTheSettableLocale) {
  EXPECT_EQ(Locale(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY), u"1");
  EXPECT_EQ(Locale(LOCALE_USER_DEFAULT, LOCALE_IMEASURE), u"1");
  EXPECT_EQ(Locale(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME), u"ENU");
  EXPECT_EQ(Locale(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE), u"0409");
  EXPECT_TRUE(SimSetUserLocale(0x0411));
  EXPECT_EQ(GetUserDefaultLCID(), 0x0411u);
  struct Case {
    LCTYPE type;
    std::u16string want;
  } japanese[] = {
      {LOCALE_ICOUNTRY, u"81"},           {LOCALE_IMEASURE, u"0"},
      {LOCALE_SABBREVLANGNAME, u"JPN"},   {LOCALE_SNATIVELANGNAME, u"\u65e5\u672c\u8a9e"},
      {LOCALE_IDEFAULTANSICODEPAGE, u"932"}, {LOCALE_SISO3166CTRYNAME, u"JP"},
  };
  for (const Case& c : japanese) EXPECT_EQ(Locale(LOCALE_USER_DEFAULT, c.type), c.want);
  EXPECT_EQ(Locale(LOCALE_SYSTEM_DEFAULT, LOCALE_ICOUNTRY), u"1");  // the system locale stays
  EXPECT_EQ(Locale(0x0809, LOCALE_ICOUNTRY), u"44");

  SimSetLocaleInfo(LOCALE_ICOUNTRY, u"44");
  EXPECT_EQ(Locale(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY), u"44");
  EXPECT_EQ(Locale(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY | LOCALE_NOUSEROVERRIDE), u"81");

  DWORD number = 0;
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE | LOCALE_RETURN_NUMBER,
                           reinterpret_cast<LPWSTR>(&number), 2), 2);
  EXPECT_EQ(number, 0u);

  SimSetUserUILanguage(0x0411);
  EXPECT_EQ(GetUserDefaultUILanguage(), 0x0411);
  EXPECT_FALSE(SimSetUserLocale(0x1234));
}

TEST_F(Settings, LocaleInfoSizeProtocolAndErrors) {
  WCHAR buffer[4];
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, nullptr, 0), 8);  // "English" + NUL
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SENGLANGUAGE, buffer, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x7777, buffer, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_FLAGS));
  EXPECT_EQ(GetLocaleInfoW(0x1234, LOCALE_ICOUNTRY, buffer, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, nullptr, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  SimFailCall("GetLocaleInfoW", ERROR_INVALID_PARAMETER);
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, buffer, 4), 0);
  EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, buffer, 4), 2);

  // The A form converts through the locale's own ANSI code page.
  char narrow[16];
  EXPECT_EQ(GetLocaleInfoA(0x0411, LOCALE_SNATIVECTRYNAME, narrow, 16), 5);
  EXPECT_STREQ(narrow, "\x93\xfa\x96\x7b");
  EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SABBREVLANGNAME, narrow, 16), 4);
  EXPECT_STREQ(narrow, "ENU");
}

TEST_F(Settings, VersionAndItsChecks) {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  EXPECT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
  EXPECT_EQ(info.dwMajorVersion, 10u);
  EXPECT_EQ(info.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  OSVERSIONINFOW plain = {};
  plain.dwOSVersionInfoSize = 12;
  EXPECT_FALSE(GetVersionExW(&plain));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

  SimSetVersion(5, 1, 2600, 2, 0, u"Service Pack 2");
  plain.dwOSVersionInfoSize = sizeof(plain);
  EXPECT_TRUE(GetVersionExW(&plain));
  EXPECT_EQ(plain.dwMinorVersion, 1u);
  EXPECT_EQ(std::u16string(plain.szCSDVersion), u"Service Pack 2");
  OSVERSIONINFOA narrow = {};
  narrow.dwOSVersionInfoSize = sizeof(narrow);
  EXPECT_TRUE(GetVersionExA(&narrow));
  EXPECT_STREQ(narrow.szCSDVersion, "Service Pack 2");
  EXPECT_EQ(GetVersion() & 0xFFFF, 0x0105u);

  ULONGLONG mask = 0;
  mask = VerSetConditionMask(mask, VER_MAJORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_MINORVERSION, VER_GREATER_EQUAL);
  mask = VerSetConditionMask(mask, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  struct Case {
    DWORD major, minor;
    WORD sp;
    bool passes;
  } cases[] = {
      {5, 1, 2, true}, {5, 1, 3, false}, {5, 0, 9, true},  // 5.1 SP2 is above 5.0 whatever its pack
      {4, 9, 0, true}, {5, 2, 0, false}, {6, 0, 0, false},
  };
  for (const Case& c : cases) {
    OSVERSIONINFOEXW want = {};
    want.dwOSVersionInfoSize = sizeof(want);
    want.dwMajorVersion = c.major;
    want.dwMinorVersion = c.minor;
    want.wServicePackMajor = c.sp;
    SetLastError(0);
    EXPECT_EQ(VerifyVersionInfoW(&want, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, mask) != FALSE,
              c.passes)
        << c.major << "." << c.minor << " sp" << c.sp;
    if (!c.passes) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OLD_WIN_VERSION));
    }
  }
  OSVERSIONINFOEXW want = {};
  EXPECT_FALSE(VerifyVersionInfoW(&want, 0, mask));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
  SimFailCall("GetVersionExW", ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(GetVersionExW(&plain));
}

TEST_F(Settings, UserAndComputerNames) {
  WCHAR buffer[16];
  DWORD size = 16;
  EXPECT_TRUE(GetUserNameW(buffer, &size));
  EXPECT_EQ(std::u16string(buffer), u"User");
  EXPECT_EQ(size, 5u);  // terminator counted
  SimSetUserName(u"Tanaka");
  SimQueueUserName(u"SYSTEM");
  size = 16;
  EXPECT_TRUE(GetUserNameW(buffer, &size));
  EXPECT_EQ(std::u16string(buffer), u"SYSTEM");
  size = 3;
  EXPECT_FALSE(GetUserNameW(buffer, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(size, 7u);
  EXPECT_FALSE(GetUserNameW(buffer, nullptr));
  char narrow[16];
  size = 16;
  EXPECT_TRUE(GetUserNameA(narrow, &size));
  EXPECT_STREQ(narrow, "Tanaka");
  SimFailCall("GetUserNameW", ERROR_ACCESS_DENIED);
  size = 16;
  EXPECT_FALSE(GetUserNameW(buffer, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  size = 16;
  EXPECT_TRUE(GetComputerNameW(buffer, &size));
  EXPECT_EQ(size, 6u);  // terminator not counted
  size = 2;
  EXPECT_FALSE(GetComputerNameW(buffer, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
}

}  // namespace
