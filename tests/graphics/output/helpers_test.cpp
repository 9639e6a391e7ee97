// The graphics module's file handles, job user name, and block and text helpers.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/job/job_user_name.h"
#include "graphics/output/block_text.h"
#include "graphics/output/channel_files.h"
#include "tests/graphics/graphics_fixture.h"

namespace {

class GraphicsHelpers : public GraphicsModuleTest {
 protected:
  static std::string Contents(const char16_t* path) {
    std::ifstream in(SimHostPath(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

constexpr WCHAR kFile[] = u"C:\\Windows\\Temp\\channel.bin";

TEST_F(GraphicsHelpers, ChannelFilesOpenUnsharedAndSeek) {
  EXPECT_EQ(OpenFileForChannel(nullptr, 0), INVALID_HANDLE_VALUE);
  std::ofstream(Host(kFile), std::ios::binary) << "existing";

  // Open-always keeps the contents; the end is found from the end.
  HANDLE file = OpenFileForChannel(kFile, 0);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(OpenFileForChannel(kFile, 0), INVALID_HANDLE_VALUE) << "not shared";
  EXPECT_EQ(SeekFileFromEnd(file, 0), 8u);
  EXPECT_EQ(SeekFileFromStart(file, 3), 3u);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, "X", 1, &written, nullptr));
  EXPECT_TRUE(CloseFileHandle(file));
  EXPECT_EQ(Contents(kFile), "exiXting");

  // Create truncates; read-only refuses writes.
  file = OpenFileForChannel(kFile, kChannelFileCreate);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(SeekFileFromEnd(file, 0), 0u);
  CloseFileHandle(file);
  file = OpenFileForChannel(kFile, kChannelFileReadOnly);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(file, "X", 1, &written, nullptr));
  CloseFileHandle(file);

  EXPECT_FALSE(CloseFileHandle(INVALID_HANDLE_VALUE));
  EXPECT_EQ(SeekFileFromEnd(INVALID_HANDLE_VALUE, 0), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(SeekFileFromStart(INVALID_HANDLE_VALUE, 0), INVALID_SET_FILE_POINTER);
  EXPECT_TRUE(DeleteFilePath(kFile));
  EXPECT_FALSE(std::filesystem::exists(Host(kFile)));
}

TEST_F(GraphicsHelpers, JobUserNameFallsBackToTheWinlogonDefault) {
  constexpr WCHAR kWinlogon[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
  WCHAR name[kJobUserNameChars];
  SimSetUserName(u"Alice");
  EXPECT_EQ(GetJobUserName(nullptr, nullptr, name), 0);
  EXPECT_EQ(std::u16string(name), u"Alice");

  // A service runs as SYSTEM: without a default user the name is empty.
  SimSetUserName(u"SYSTEM");
  EXPECT_EQ(GetJobUserName(nullptr, nullptr, name), -1);
  EXPECT_EQ(name[0], 0);
  SimRegistrySeedString(HKEY_LOCAL_MACHINE, kWinlogon, u"DefaultUserName", u"Bob");
  EXPECT_EQ(GetJobUserName(nullptr, nullptr, name), 0);
  EXPECT_EQ(std::u16string(name), u"Bob");

  // A user name longer than 64 characters cannot be read into the buffer; a stored default
  // that long is cut to 64 characters, and one stored without terminator is read as it is.
  SimSetUserName(std::u16string(70, u'u'));
  const std::u16string longDefault(80, u'd');
  SimRegistrySeedString(HKEY_LOCAL_MACHINE, kWinlogon, u"DefaultUserName", longDefault.c_str());
  EXPECT_EQ(GetJobUserName(nullptr, nullptr, name), 0);
  EXPECT_EQ(std::u16string(name), longDefault.substr(0, 64));
  const char16_t bare[3] = {u'C', u'a', u'y'};
  SimRegistrySeedValue(HKEY_LOCAL_MACHINE, kWinlogon, u"DefaultUserName", REG_SZ, bare, sizeof bare);
  EXPECT_EQ(GetJobUserName(nullptr, nullptr, name), 0);
  EXPECT_EQ(std::u16string(name), u"Cay");
}

TEST_F(GraphicsHelpers, BlocksAndTexts) {
  auto* block = static_cast<BYTE*>(GlobalAlloc(GPTR, 4));
  std::memcpy(block, "abcd", 4);
  auto* grown = static_cast<BYTE*>(ResizeGlobalBlock(block, 4, 6));
  ASSERT_NE(grown, nullptr);
  EXPECT_EQ(std::memcmp(grown, "abcd\0\0", 6), 0);
  SimFailNthAllocation(1);
  EXPECT_EQ(ResizeGlobalBlock(grown, 6, 2), nullptr) << "the old block is kept";
  auto* shrunk = static_cast<BYTE*>(ResizeGlobalBlock(grown, 6, 2));
  ASSERT_NE(shrunk, nullptr);
  EXPECT_EQ(std::memcmp(shrunk, "ab", 2), 0);
  FreeGlobalBlock(shrunk);

  WCHAR text[6];
  std::fill(std::begin(text), std::end(text), u'#');
  CopyWideTextBounded(text, u"abcdefghij", 4);
  EXPECT_EQ(std::u16string(text, 5), std::u16string(u"abc\0#", 5));
  CopyWideTextBounded(text, u"ab", 5);
  EXPECT_EQ(std::u16string(text, 6), std::u16string(u"ab\0\0\0#", 6));
  CopyWideTextBounded(text, u"zz", 0);
  EXPECT_EQ(text[0], u'a');

  const WCHAR unterminated[10] = {u'a', u'b', u'c', u'd', u'e', u'f', u'g', u'h', u'i', u'j'};
  EXPECT_EQ(BoundedWideLength(unterminated, 10), 10u);
  EXPECT_EQ(BoundedWideLength(u"abc", 10), 3u);
  EXPECT_EQ(BoundedWideLength(nullptr, 10), 0u);

  DWORD bytes = 0;
  EXPECT_EQ(AnsiToWideBytes(text, sizeof text, &bytes, "\xe9t\xe9", 3), 6);
  EXPECT_EQ(bytes, 6u);
  EXPECT_EQ(std::u16string(text, 3), u"\u00e9t\u00e9");
  std::fill(std::begin(text), std::end(text), u'#');
  EXPECT_EQ(AnsiToWideText(text, 4, "abc"), 3);
  EXPECT_EQ(std::u16string(text), u"abc");
  EXPECT_EQ(AnsiToWideText(text, 0, "abc"), 0) << "the buffer's size must be given";
  EXPECT_EQ(std::u16string(text), u"abc");
  EXPECT_EQ(AnsiToWideText(text, 1, "abc"), 0);
  EXPECT_EQ(text[0], 0);
}

}  // namespace
