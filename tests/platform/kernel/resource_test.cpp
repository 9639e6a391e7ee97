// Resources: the qrc round trip of every kind, string loading rules, lookups and errors,
// modules' own strings, and malformed containers refused at load.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "tools/qrc/qrs_builder.h"
#include "platform/kernel/resource.h"
#include "platform/user/dialog_template.h"
#include "platform/user/menu_template.h"
#include "qrc_script.h"
#include "tests/support/sandbox_test.h"

namespace {

class ResourceTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    file_ = LoadLibraryExW(u"qvtest.qrs", nullptr, DONT_RESOLVE_DLL_REFERENCES | LOAD_WITH_ALTERED_SEARCH_PATH);
    ASSERT_NE(file_, nullptr);
  }
  void TearDown() override {
    FreeLibrary(file_);
    SandboxTest::TearDown();
  }

  std::span<const BYTE> Bytes(LPCWSTR name, LPCWSTR type) {
    HRSRC r = FindResourceW(file_, name, type);
    EXPECT_NE(r, nullptr) << "resource missing";
    if (!r) return {};
    auto* p = static_cast<const BYTE*>(LockResource(LoadResource(file_, r)));
    return {p, SizeofResource(file_, r)};
  }

  // Writes bytes into the sandbox and loads them as a resource file.
  HMODULE LoadBytes(const std::vector<BYTE>& bytes) {
    std::u16string path = std::u16string(SimDriverDirectory()) + u"\\odd.qrs";
    std::ofstream out(SimHostPath(path.c_str()), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  }

  HMODULE file_ = nullptr;
};

TEST_F(ResourceTest, LoadStringRules) {
  WCHAR buf[64];
  EXPECT_EQ(LoadStringW(file_, 265, buf, 64), 27);
  EXPECT_EQ(std::u16string(buf), u"Qorvex printing preferences");
  EXPECT_EQ(LoadStringW(file_, 17, buf, 64), 11);
  EXPECT_EQ(std::u16string(buf), u"Seventeen \u00e9");
  EXPECT_EQ(LoadStringW(file_, 32767, buf, 64), 17);
  EXPECT_EQ(std::u16string(buf), u"caf\u00e9 \"quoted\"\tend");

  struct Case {
    UINT id;
    int size;
    int answer;
    std::u16string text;
  } cases[] = {
      {265, 7, 6, u"Qorvex"},  // at most size-1 characters, terminated
      {265, 1, 0, u""},
      {1, 2, 1, u"O"},
      {2, 64, 0, u""},      // a missing slot inside a present block
      {300, 64, 0, u""},    // a missing block
      {65535, 64, 0, u""},
  };
  for (const Case& c : cases) {
    std::fill(std::begin(buf), std::end(buf), u'#');
    EXPECT_EQ(LoadStringW(file_, c.id, buf, c.size), c.answer) << c.id;
    EXPECT_EQ(std::u16string(buf), c.text) << c.id;
  }
  // Size 0: a read-only pointer to the text itself and its length.
  LPCWSTR text = nullptr;
  EXPECT_EQ(LoadStringW(file_, 265, reinterpret_cast<LPWSTR>(&text), 0), 27);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::u16string(text, 6), u"Qorvex");
  EXPECT_EQ(LoadStringW(file_, 265, nullptr, 10), 0);

  char ansi[8];
  EXPECT_EQ(LoadStringA(file_, 32767, ansi, 8), 7);
  EXPECT_STREQ(ansi, "caf\xe9 \"q");
  EXPECT_EQ(LoadStringA(file_, 2, ansi, 8), 0);
  EXPECT_STREQ(ansi, "");
}

TEST_F(ResourceTest, ModulesCarryTheirOwnStrings) {
  HMODULE h = LoadLibraryW(u"qvtestmod.dll");
  ASSERT_NE(h, nullptr);
  WCHAR buf[MAX_PATH];
  EXPECT_EQ(LoadStringW(h, 32766, buf, MAX_PATH), 14);
  EXPECT_EQ(std::u16string(buf), u"qorvexdata.dll");
  ASSERT_GT(LoadStringW(h, 32767, buf, MAX_PATH), 0);
  // The way a module finds its resource file: its own directory plus string 32767.
  WCHAR dir[MAX_PATH];
  DWORD n = GetModuleFileNameW(h, dir, MAX_PATH);
  std::u16string path(dir, n);
  path = path.substr(0, path.rfind(u'\\') + 1) + buf;
  HMODULE res = LoadLibraryExW(path.c_str(), nullptr, 9);
  EXPECT_EQ(res, file_);
  EXPECT_EQ(SimModuleUseCount(file_), 2);
  FreeLibrary(res);
  EXPECT_EQ(FindResourceW(h, MAKEINTRESOURCEW(1), RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
  FreeLibrary(h);
  // The host has no resources.
  EXPECT_EQ(LoadStringW(nullptr, 1, buf, MAX_PATH), 0);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_STRING), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_DATA_NOT_FOUND));
}

TEST_F(ResourceTest, EveryKindRoundTrips) {
  // Bitmap: the file without its 14-byte header, under a number and under a name.
  auto bitmap = Bytes(MAKEINTRESOURCEW(373), RT_BITMAP);
  ASSERT_EQ(bitmap.size(), 56u);
  EXPECT_EQ(bitmap[0], 40);
  EXPECT_EQ(Bytes(u"logo", RT_BITMAP).size(), 56u);
  EXPECT_EQ(Bytes(u"#373", RT_BITMAP).data(), bitmap.data());

  // Icon: a group directory naming one RT_ICON per image.
  auto group = Bytes(MAKEINTRESOURCEW(64082), RT_GROUP_ICON);
  ASSERT_EQ(group.size(), 6u + 2 * 14);
  EXPECT_EQ(group[4], 2);
  for (int i = 0; i < 2; ++i) {
    const BYTE* e = group.data() + 6 + i * 14;
    WORD id = WORD(e[12] | e[13] << 8);
    DWORD size = DWORD(e[8] | e[9] << 8);
    EXPECT_EQ(e[0], i + 1);  // width
    auto image = Bytes(MAKEINTRESOURCEW(id), RT_ICON);
    EXPECT_EQ(image.size(), size);
  }

  MenuTemplate menu;
  ASSERT_EQ(DecodeMenuTemplate(Bytes(MAKEINTRESOURCEW(3850), RT_MENU), menu), DWORD(ERROR_SUCCESS));
  ASSERT_EQ(menu.items.size(), 1u);
  EXPECT_EQ(menu.items[0].text, u"Context");
  EXPECT_EQ(menu.items[0].flags, MF_POPUP);
  ASSERT_EQ(menu.items[0].items.size(), 3u);
  EXPECT_EQ(menu.items[0].items[0].id, 3851);
  EXPECT_EQ(menu.items[0].items[0].text, u"&What's This?");
  EXPECT_EQ(menu.items[0].items[1].flags, MF_SEPARATOR);
  EXPECT_EQ(menu.items[0].items[2].flags, MF_GRAYED | MF_CHECKED);

  DialogTemplate d;
  ASSERT_EQ(DecodeDialogTemplate(Bytes(MAKEINTRESOURCEW(3550), RT_DIALOG), d), DWORD(ERROR_SUCCESS));
  EXPECT_EQ(d.style, DWORD(0x80 | 0x80000000 | 0x00C00000 | 0x00080000 | DS_SETFONT));
  EXPECT_EQ(d.exStyle, 0x400u);
  EXPECT_EQ(d.cx, 200);
  EXPECT_EQ(d.cy, 100);
  EXPECT_EQ(d.caption, u"User details");
  EXPECT_EQ(d.pointSize, 8);
  EXPECT_EQ(d.weight, 400);
  EXPECT_EQ(d.charset, 1);
  EXPECT_EQ(d.face, u"MS Shell Dlg");
  ASSERT_EQ(d.controls.size(), 4u);
  EXPECT_EQ(d.controls[0].id, 1092u);
  EXPECT_EQ(d.controls[0].windowClass.id, kDialogClassButton);
  EXPECT_EQ(d.controls[0].text.text, u"OK");
  EXPECT_EQ(d.controls[0].style, 0x50010001u);
  EXPECT_EQ(d.controls[0].x, 140);
  EXPECT_EQ(d.controls[1].exStyle, 0x200u);
  EXPECT_TRUE(d.controls[1].text.IsNumber() && d.controls[1].text.id == 0);  // empty text
  EXPECT_EQ(d.controls[2].id, 0xFFFFu);
  EXPECT_EQ(d.controls[2].text.id, 64082);
  EXPECT_EQ(d.controls[3].windowClass.text, u"msctls_updown32");

  auto glyphs = Bytes(MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(260));
  EXPECT_EQ(std::vector<BYTE>(glyphs.begin(), glyphs.end()), (std::vector<BYTE>{0, 1, 2, 3, 4, 5, 6}));
  auto locale = Bytes(MAKEINTRESOURCEW(104), u"locale_text");
  EXPECT_EQ(std::string(locale.begin(), locale.end()), "[Resource]\n1=Scan\n");
  auto hex = Bytes(u"RAW", MAKEINTRESOURCEW(1000));
  EXPECT_EQ(std::vector<BYTE>(hex.begin(), hex.end()), (std::vector<BYTE>{0, 1, 0xFE, 0xFF}));
  auto wide = Bytes(MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(1000));
  EXPECT_EQ(std::vector<BYTE>(wide.begin(), wide.end()), (std::vector<BYTE>{'A', 0, 0xE9, 0}));
  EXPECT_NE(FindResourceA(file_, "Raw", MAKEINTRESOURCEA(1000)), nullptr);

  std::vector<std::u16string> names;
  auto collect = [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) -> BOOL {
    auto* out = reinterpret_cast<std::vector<std::u16string>*>(param);
    out->push_back(IS_INTRESOURCE(name) ? u"#" + std::u16string(1, char16_t(u'0' + reinterpret_cast<ULONG_PTR>(name))) : name);
    return TRUE;
  };
  EXPECT_TRUE(EnumResourceNamesW(file_, MAKEINTRESOURCEW(1000), collect, reinterpret_cast<LONG_PTR>(&names)));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"Raw", u"#2"}));  // names first, then numbers
}

TEST_F(ResourceTest, LookupErrors) {
  EXPECT_EQ(FindResourceW(file_, MAKEINTRESOURCEW(999), RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(FindResourceW(file_, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(77)), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
  EXPECT_EQ(FindResourceW(file_, nullptr, RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
  HMODULE bogus = reinterpret_cast<HMODULE>(ULONG_PTR(0x777000));
  EXPECT_EQ(FindResourceW(bogus, MAKEINTRESOURCEW(3550), RT_DIALOG), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  // A resource handle of another module is refused, never followed.
  HRSRC dialog = FindResourceW(file_, MAKEINTRESOURCEW(3550), RT_DIALOG);
  ASSERT_NE(dialog, nullptr);
  HMODULE other = LoadLibraryW(u"qvtestmod.dll");
  EXPECT_EQ(LoadResource(other, dialog), nullptr);
  EXPECT_EQ(SizeofResource(other, dialog), 0u);
  EXPECT_EQ(SizeofResource(file_, reinterpret_cast<HRSRC>(ULONG_PTR(16))), 0u);
  FreeLibrary(other);
}

// A well-formed container: one string block and one named resource.
std::vector<BYTE> SmallContainer() {
  QrsBuilder b;
  std::string error;
  EXPECT_TRUE(b.AddString(5, u"five", error));
  EXPECT_TRUE(b.Add(QrsName{0, u"NAMED"}, QrsName{1, {}}, {1, 2, 3}, error));
  return b.Build();
}

void PutU32(std::vector<BYTE>& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i));
}

TEST_F(ResourceTest, MalformedContainersAreRefused) {
  std::vector<BYTE> good = SmallContainer();
  HMODULE ok = LoadBytes(good);
  ASSERT_NE(ok, nullptr);
  WCHAR buf[8];
  EXPECT_EQ(LoadStringW(ok, 5, buf, 8), 4);
  FreeLibrary(ok);

  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
    DWORD error;
  };
  std::vector<Case> cases;
  cases.push_back({"truncated", std::vector<BYTE>(good.begin(), good.end() - 1), ERROR_BAD_FORMAT});
  cases.push_back({"header only", std::vector<BYTE>(good.begin(), good.begin() + 12), ERROR_BAD_FORMAT});
  auto bytes = good;
  PutU32(bytes, 4, 0x10000000);  // entry count past the end
  cases.push_back({"count", bytes, ERROR_BAD_FORMAT});
  // Entries are sorted on load, but the file keeps the builder's order: entry 0 is the
  // named resource (type name at an offset), entry 1 the string block.
  bytes = good;
  PutU32(bytes, 16 + 8, DWORD(good.size()));  // data offset at the end, size 3
  cases.push_back({"data offset", bytes, ERROR_INVALID_DATA});
  bytes = good;
  PutU32(bytes, 16 + 12, 0xFFFFFFFF);  // data size past the end
  cases.push_back({"data size", bytes, ERROR_INVALID_DATA});
  bytes = good;
  PutU32(bytes, 16, kQrsNameFlag | DWORD(good.size() - 2));  // name runs off the end
  cases.push_back({"unterminated name", bytes, ERROR_INVALID_DATA});
  bytes = good;
  PutU32(bytes, 16, kQrsNameFlag | 4);  // name inside the header
  cases.push_back({"name in header", bytes, ERROR_INVALID_DATA});
  bytes = good;
  PutU32(bytes, 16 + 16, 0x10000);  // a number above 0xFFFF
  cases.push_back({"number", bytes, ERROR_INVALID_DATA});
  bytes = good;
  bytes[0] = 'X';
  cases.push_back({"magic", bytes, ERROR_BAD_EXE_FORMAT});
  cases.push_back({"empty", {}, ERROR_BAD_EXE_FORMAT});

  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadBytes(c.bytes), nullptr) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
  }

  // A string block whose lengths run past its data: the string is absent, nothing is read.
  QrsBuilder b;
  std::string error;
  ASSERT_TRUE(b.AddString(0, u"x", error));
  bytes = b.Build();
  DWORD dataOffset = DWORD(bytes[16 + 8] | bytes[16 + 9] << 8);
  bytes[dataOffset] = 0xFF;  // string 0 claims 255 characters
  HMODULE odd = LoadBytes(bytes);
  ASSERT_NE(odd, nullptr);
  EXPECT_EQ(LoadStringW(odd, 0, buf, 8), 0);
  EXPECT_EQ(LoadStringW(odd, 1, buf, 8), 0);
  FreeLibrary(odd);
}

TEST(QrcScript, ErrorsNameTheLine) {
  struct Case {
    const char* script;
    const char* error;
  } cases[] = {
      {"string 1 \"a\"\nstring 1 \"b\"\n", "t.rc:2: duplicate string 1"},
      {"string 70000 \"a\"", "t.rc:1: string id out of range: 70000"},
      {"string 1 \"unterminated\n", "t.rc:1: unterminated string"},
      {"bitmap 1 \"missing.bmp\"", "t.rc:1: cannot read"},
      {"dialog 1 {\n style WS_NOPE\n}", "t.rc:2: unknown style name WS_NOPE"},
      {"dialog 1 {\n control 1 Fancy \"x\" 0 0 0 1 1\n}", "t.rc:2: unknown control class Fancy"},
      {"menu 1 {\n popup \"p\" {\n }\n}", "t.rc:2: popup without items"},
      {"resource 5 1 hex \"abc\"", "t.rc:1: hex data needs an even number of digits"},
      {"resource 6 1 text \"x\"", "t.rc:1: string blocks are added with AddString"},
      {"frobnicate", "t.rc:1: unknown statement frobnicate"},
  };
  for (const Case& c : cases) {
    QrsBuilder b;
    QrcOutcome outcome = CompileResourceScript(c.script, "t.rc", QV_SOURCE_DIR, b);
    EXPECT_FALSE(outcome.ok) << c.script;
    EXPECT_EQ(outcome.error.rfind(c.error, 0), 0u) << "got: " << outcome.error;
  }
}

// A script includes others relative to itself; their statements join the same container, an
// error in one names its file and line, and a script that includes itself stops at the depth
// limit.
TEST(QrcScript, IncludedScriptsCompileInPlace) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / ("qrc-include-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "pages");
  auto write = [&](const char* name, const char* text) { std::ofstream(dir / name) << text; };
  write("pages/one.rc", "string 11 \"eleven\"\n");
  write("pages/bad.rc", "string 12 \"twelve\"\nfrobnicate\n");
  write("self.rc", "include \"self.rc\"\n");

  QrsBuilder b;
  QrcOutcome good = CompileResourceScript("string 10 \"ten\"\ninclude \"pages/one.rc\"", "t.rc", dir, b);
  ASSERT_TRUE(good.ok) << good.error;
  EXPECT_EQ(good.dependencies, std::vector<std::string>{(dir / "pages/one.rc").string()});
  std::vector<BYTE> bytes = b.Build();
  std::vector<QrsEntry> entries;
  ASSERT_EQ(QrsParse(bytes, entries), DWORD(ERROR_SUCCESS));
  EXPECT_EQ(entries.size(), 1u) << "strings 10 and 11 share one block";

  QrsBuilder bad;
  QrcOutcome failed = CompileResourceScript("\ninclude \"pages/bad.rc\"", "t.rc", dir, bad);
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.error, "t.rc:2: bad.rc:2: unknown statement frobnicate");

  QrsBuilder loop;
  QrcOutcome looped = CompileResourceScript("include \"self.rc\"", "t.rc", dir, loop);
  EXPECT_FALSE(looped.ok);
  EXPECT_NE(looped.error.find("includes nest too deep"), std::string::npos) << looped.error;
  std::filesystem::remove_all(dir);
}

TEST(QrcScript, ModuleSourceHoldsTheContainer) {
  QrsBuilder b;
  QrcOutcome outcome = CompileResourceScript("string 7 \"seven\"", "t.rc", QV_SOURCE_DIR, b);
  ASSERT_TRUE(outcome.ok);
  std::vector<BYTE> bytes = b.Build();
  std::string source = EmitModuleResourceSource(bytes);
  EXPECT_NE(source.find("QvModuleResources[]"), std::string::npos);
  EXPECT_NE(source.find("QvModuleResourcesSize = " + std::to_string(bytes.size()) + ";"), std::string::npos);
  std::vector<QrsEntry> entries;
  ASSERT_EQ(QrsParse(bytes, entries), DWORD(ERROR_SUCCESS));
  std::span<const WCHAR> text;
  ASSERT_TRUE(QrsFindString(bytes, entries, 7, text));
  EXPECT_EQ(std::u16string(text.begin(), text.end()), u"seven");
}

}  // namespace
