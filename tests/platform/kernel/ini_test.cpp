#include "platform/kernel/ini.h"

#include <fstream>
#include <string>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

using Ini = SandboxTest;

void WriteHostFile(const char16_t* platformPath, const std::string& bytes) {
  std::ofstream out(SimHostPath(platformPath), std::ios::binary);
  out << bytes;
}

std::string ReadHostFile(const char16_t* platformPath) {
  std::ifstream in(SimHostPath(platformPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

constexpr const char16_t* kFile = u"C:\\test.ini";

TEST_F(Ini, ReadsWithThePlatformRules) {
  WriteHostFile(kFile,
                "; comment\r\n[Header]\r\n  Version = 3  \r\nName=\"  quoted  \"\r\nEmpty=\r\n"
                "Caf\xe9=\xe9t\xe9\r\n[Paper Margin]\r\nTop=10\r\nBottom=-5\r\nLeft=abc\r\n[header]\r\nLater=1\r\n");
  WCHAR buffer[64];
  struct Case {
    const char16_t* section;
    const char16_t* key;
    const char16_t* fallback;
    std::u16string want;
  } cases[] = {
      {u"Header", u"Version", u"x", u"3"},
      {u"HEADER", u"version", u"x", u"3"},             // names are case-insensitive
      {u"Header", u"Name", u"x", u"  quoted  "},       // one pair of quotes stripped
      {u"Header", u"Empty", u"x", u""},
      {u"Header", u"Caf\u00e9", u"x", u"\u00e9t\u00e9"},  // ANSI file in the ANSI code page
      {u"Header", u"Missing", u"fallback  ", u"fallback"},  // default without trailing blanks
      {u"Header", u"Later", nullptr, u""},             // only the first section of a name counts
      {u"Nowhere", u"Top", u"d", u"d"},
  };
  for (const Case& c : cases) {
    DWORD n = GetPrivateProfileStringW(c.section, c.key, c.fallback, buffer, 64, kFile);
    EXPECT_EQ(std::u16string(buffer, n), c.want) << Utf16ToUtf8(c.key);
  }
  // Truncation to size-1.
  EXPECT_EQ(GetPrivateProfileStringW(u"Header", u"Name", u"", buffer, 5, kFile), 4u);
  EXPECT_EQ(std::u16string(buffer), u"  qu");
  EXPECT_EQ(GetPrivateProfileStringW(u"Header", u"Name", u"", buffer, 0, kFile), 0u);

  // Key lists end with a double NUL, and are cut with a double NUL.
  DWORD n = GetPrivateProfileStringW(u"Paper Margin", nullptr, u"", buffer, 64, kFile);
  EXPECT_EQ(std::u16string(buffer, n + 1), std::u16string(u"Top\0Bottom\0Left\0\0", 17));
  EXPECT_EQ(n, 16u);
  n = GetPrivateProfileStringW(u"Paper Margin", nullptr, u"", buffer, 8, kFile);
  EXPECT_EQ(n, 6u);
  EXPECT_EQ(std::u16string(buffer, 8), std::u16string(u"Top\0Bo\0\0", 8));
  n = GetPrivateProfileStringW(u"Nowhere", nullptr, u"none", buffer, 64, kFile);
  EXPECT_EQ(std::u16string(buffer, n), u"none");
  n = GetPrivateProfileSectionNamesW(buffer, 64, kFile);
  EXPECT_EQ(std::u16string(buffer, n), std::u16string(u"Header\0Paper Margin\0header\0", 27));

  EXPECT_EQ(GetPrivateProfileIntW(u"Paper Margin", u"Top", 7, kFile), 10u);
  EXPECT_EQ(static_cast<INT>(GetPrivateProfileIntW(u"Paper Margin", u"Bottom", 7, kFile)), -5);
  EXPECT_EQ(GetPrivateProfileIntW(u"Paper Margin", u"Left", 7, kFile), 0u);
  EXPECT_EQ(GetPrivateProfileIntW(u"Paper Margin", u"Right", 7, kFile), 7u);
  EXPECT_EQ(GetPrivateProfileIntW(u"Header", u"Empty", 7, kFile), 7u);

  // A missing file gives the default and ERROR_FILE_NOT_FOUND.
  SetLastError(0);
  n = GetPrivateProfileStringW(u"Header", u"Version", u"dflt", buffer, 64, u"C:\\none.ini");
  EXPECT_EQ(std::u16string(buffer, n), u"dflt");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  char narrow[16];
  EXPECT_EQ(GetPrivateProfileStringA("Header", "Caf\xe9", "", narrow, 16, "C:\\test.ini"), 3u);
  EXPECT_STREQ(narrow, "\xe9t\xe9");
  EXPECT_EQ(GetPrivateProfileIntA("Paper Margin", "Top", 0, "C:\\test.ini"), 10u);
}

TEST_F(Ini, WritesAndDeletes) {
  EXPECT_TRUE(WritePrivateProfileStringW(u"Header", u"Version", u"1", kFile));
  EXPECT_TRUE(WritePrivateProfileStringW(u"Header", u"Name", u"Sample", kFile));
  EXPECT_TRUE(WritePrivateProfileStringW(u"301", u"Value", u"4", kFile));
  EXPECT_TRUE(WritePrivateProfileStringW(u"header", u"VERSION", u"2", kFile));
  EXPECT_EQ(ReadHostFile(kFile), "[Header]\r\nVersion=2\r\nName=Sample\r\n[301]\r\nValue=4\r\n");
  EXPECT_TRUE(WritePrivateProfileStringW(u"Header", u"Name", nullptr, kFile));
  EXPECT_TRUE(WritePrivateProfileStringW(u"301", nullptr, nullptr, kFile));
  EXPECT_EQ(ReadHostFile(kFile), "[Header]\r\nVersion=2\r\n");
  EXPECT_FALSE(WritePrivateProfileStringW(nullptr, u"k", u"v", kFile));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // A bare file name lives in the Windows folder.
  EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"K", u"V", u"qorvex.cfg"));
  EXPECT_EQ(ReadHostFile(u"C:\\Windows\\qorvex.cfg"), "[S]\r\nK=V\r\n");

  // A UTF-16 file stays UTF-16.
  WriteHostFile(u"C:\\wide.ini", std::string("\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\x42\x30\r\0\n\0", 22));
  WCHAR buffer[16];
  DWORD n = GetPrivateProfileStringW(u"A", u"k", u"", buffer, 16, u"C:\\wide.ini");
  EXPECT_EQ(std::u16string(buffer, n), u"\u3042");
  EXPECT_TRUE(WritePrivateProfileStringW(u"A", u"j", u"\u4e00", u"C:\\wide.ini"));
  n = GetPrivateProfileStringW(u"A", u"j", u"", buffer, 16, u"C:\\wide.ini");
  EXPECT_EQ(std::u16string(buffer, n), u"\u4e00");

  // Writing goes through the file layer: a file held without sharing refuses.
  HANDLE h = CreateFileW(kFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_FALSE(WritePrivateProfileStringW(u"Header", u"Version", u"3", kFile));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(h);
}

}  // namespace
