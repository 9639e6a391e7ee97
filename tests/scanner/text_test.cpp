// Texts of the companion library: language choice, help tag, overriding and falling back,
// "\n" sequences, the temporary INI file's life, and resources without a terminator.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/base/byte_order.h"
#include "platform/platform.h"
#include "scanner/system_routines.h"
#include "tests/support/scanner_fixture.h"
#include "tools/qrc/qrs_builder.h"

namespace {

class TextTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
  }
  void TearDown() override {
    UnloadLocaleText();
    ScannerCodeTest::TearDown();
  }
  std::string Text(UINT id) {
    char buffer[260];
    const int n = LoadLocalizedString(source_, id, buffer, sizeof buffer);
    EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)));
    return buffer;
  }
  // Files with the temporary prefix in the temporary folder.
  int TempTextFiles() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Host(u"C:\\Windows\\Temp")))
      if (entry.path().filename().string().rfind("AIO", 0) == 0) ++count;
    return count;
  }
  // Replaces the companion library in the sandbox's driver directory by a resource file of
  // one LOCALE_TEXT resource 104 holding exactly `bytes`.
  void InstallCompanion(const std::string& bytes) {
    QrsBuilder builder;
    std::string error;
    ASSERT_TRUE(builder.Add(QrsName{0, u"LOCALE_TEXT"}, QrsName{104, u""}, std::vector<BYTE>(bytes.begin(), bytes.end()),
                            error))
        << error;
    const std::vector<BYTE> file = builder.Build();
    std::u16string path = std::u16string(SimDriverDirectory()) + u"\\pelvo.dll";
    const std::string host = Host(path.c_str());
    std::filesystem::remove(host);
    std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
  }
};

TEST_F(TextTest, LanguageChoosesResourceAndHelpTag) {
  struct Case {
    LCID Locale;
    UINT CodePage;
    const char* HelpTag;
    const char* Feeder;  // string 1093
  } cases[] = {
      {0x0409, 1252, "EN*", "Document feeder"},                         // ENU
      {0x0407, 1252, "EN*", "Document feeder"},                         // DEU: no row, English
      {0x0804, 936, "CHS", "\xD7\xD4\xB6\xAF\xBD\xF8\xD6\xBD\xC6\xF7"},  // CHS
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.HelpTag);
    ASSERT_TRUE(SimSetUserLocale(c.Locale));
    SimSetAnsiCodePage(c.CodePage);
    EXPECT_EQ(LoadLocaleText(source_), TRUE);
    EXPECT_STREQ(GetHelpLocaleTag(), c.HelpTag);
    EXPECT_EQ(Text(1093), c.Feeder);
  }
}

TEST_F(TextTest, OverridesFallBackAndLineBreaks) {
  ASSERT_TRUE(SimSetUserLocale(0x0409));
  SimSetAnsiCodePage(1252);
  EXPECT_EQ(Text(1091), "");  // only the companion has it
  LoadLocaleText(source_);
  EXPECT_EQ(Text(1091), "Flatbed");
  EXPECT_EQ(Text(3099), "Scanner\r\nready");
  EXPECT_EQ(Text(1062), "Scriptora Duo Scanner");  // empty in the companion: the built-in text
  EXPECT_EQ(Text(3004), "pelvodev.dll");           // absent from the companion
}

TEST_F(TextTest, TemporaryFileLivesUntilUnload) {
  const int before = TempTextFiles();
  LoadLocaleText(source_);
  ASSERT_NE(LocaleTextFilePath(), nullptr);
  EXPECT_EQ(std::string(LocaleTextFilePath()).rfind("C:\\Windows\\Temp\\AIO", 0), 0u) << LocaleTextFilePath();
  EXPECT_EQ(TempTextFiles(), before + 1);
  LoadLocaleText(source_);  // a reload replaces the file
  EXPECT_EQ(TempTextFiles(), before + 1);
  EXPECT_EQ(UnloadLocaleText(), FALSE);
  EXPECT_EQ(LocaleTextFilePath(), nullptr);
  EXPECT_EQ(TempTextFiles(), before);
  EXPECT_EQ(Text(1091), "");
}

TEST_F(TextTest, MissingCompanionKeepsBuiltInTexts) {
  SimModuleFailLoad(u"pelvo.dll", 126);
  EXPECT_EQ(LoadLocaleText(source_), TRUE);
  EXPECT_EQ(LocaleTextFilePath(), nullptr);
  EXPECT_EQ(Text(1091), "");
  EXPECT_EQ(Text(3003), "Scriptora Duo Local Scan");
}

TEST_F(TextTest, ResourceWithoutTerminatorEndsAtItsSize) {
  // The text stops at the resource's last byte; what lies after it in the file is not read.
  InstallCompanion("[Resource]\r\n1091=Platen\r\n1093=Fee");
  LoadLocaleText(source_);
  EXPECT_EQ(Text(1091), "Platen");
  EXPECT_EQ(Text(1093), "Fee");
  InstallCompanion(std::string("[Resource]\r\n1091=Glass\0\r\n1093=Hidden\r\n", 38));
  LoadLocaleText(source_);
  EXPECT_EQ(Text(1091), "Glass");
  EXPECT_EQ(Text(1093), "");  // after the terminator
}

}  // namespace

namespace {

// A version resource: header, key, padding, then the fixed information (signature, structure
// version, file version high and low words, and the rest left 0).
std::vector<BYTE> VersionResource(DWORD signature, DWORD high, DWORD low) {
  std::vector<BYTE> v(40 + 52, 0);
  PutLE16(v.data(), WORD(v.size()));
  PutLE16(v.data() + 2, 52);
  const char16_t key[] = u"VS_VERSION_INFO";
  for (size_t i = 0; i < sizeof key / sizeof(char16_t); ++i) PutLE16(v.data() + 6 + 2 * i, key[i]);
  PutLE32(v.data() + 40, signature);
  PutLE32(v.data() + 44, 0x00010000);
  PutLE32(v.data() + 48, high);
  PutLE32(v.data() + 52, low);
  return v;
}

class ModuleVersion : public SandboxTest {};

TEST_F(ModuleVersion, FixedFileVersionInFourParts) {
  struct Case {
    const char* what;
    std::vector<BYTE> resource;  // empty: no version resource
    BOOL result;
    WORD parts[4];
  } const cases[] = {
      {"version 1.2.3.4", VersionResource(0xFEEF04BD, 0x00010002, 0x00030004), TRUE, {1, 2, 3, 4}},
      {"no version resource", {}, FALSE, {0, 0, 0, 0}},
      {"bad signature", VersionResource(0x12345678, 0x00010002, 0x00030004), FALSE, {0, 0, 0, 0}},
      {"cut short", [] { auto v = VersionResource(0xFEEF04BD, 0x00010002, 0x00030004); v.resize(60); return v; }(),
       FALSE, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QrsBuilder builder;
    std::string error;
    ASSERT_TRUE(builder.AddString(1, u"x", error)) << error;
    if (!c.resource.empty()) {
      ASSERT_TRUE(builder.Add(QrsName{16, u""}, QrsName{1, u""}, c.resource, error)) << error;
    }
    const std::vector<BYTE> file = builder.Build();
    const std::string host = Host(u"C:\\version.qrs");
    std::ofstream(host, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), file.size());
    HMODULE module = LoadLibraryW(u"C:\\version.qrs");
    ASSERT_NE(module, nullptr);
    WORD parts[4] = {9, 9, 9, 9};
    EXPECT_EQ(GetModuleVersion(module, &parts[0], &parts[1], &parts[2], &parts[3]), c.result);
    EXPECT_EQ(std::vector<WORD>(parts, parts + 4), std::vector<WORD>(c.parts, c.parts + 4));
    FreeLibrary(module);
  }
}

class WindowCharset : public SandboxTest {};

TEST_F(WindowCharset, CjkAndChineseSetsOfTheWindowsDeviceContext) {
  const struct Case {
    UINT codePage;
    BOOL cjk, chinese;
  } cases[] = {{1252, FALSE, FALSE}, {932, TRUE, FALSE}, {949, TRUE, FALSE}, {936, TRUE, TRUE}, {950, TRUE, TRUE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage);
    ASSERT_TRUE(SimSetAnsiCodePage(c.codePage));
    HWND window = CreateWindowExW(0, u"STATIC", u"", WS_POPUP, 0, 0, 80, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(IsCjkCharset(window), c.cjk);
    EXPECT_EQ(IsChineseCharset(window), c.chinese);
    DestroyWindow(window);
  }
  SimSetAnsiCodePage(1252);
}

}  // namespace
