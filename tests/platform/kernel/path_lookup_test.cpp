// Case-insensitive look-ups of platform paths where names are given as they are on disk, only
// the last name differs, an earlier name differs, or a name is a link or a file; and modules
// known by the file they are, whatever path, link or spelling reached them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "tests/support/sandbox_test.h"

namespace {

namespace fs = std::filesystem;

using PathLookup = SandboxTest;

TEST_F(PathLookup, NamesResolveToWhatIsOnDisk) {
  const std::string root = SimSandboxRoot();
  fs::create_directories(root + "/C/Jobs/Spool");
  std::ofstream(root + "/C/Jobs/Spool/Page.bin") << "x";
  std::ofstream(root + "/C/Jobs/Plain.txt") << "x";
  fs::create_symlink(root + "/C/Jobs/Plain.txt", root + "/C/Jobs/Spool/Link.txt");
  struct Case {
    const char16_t* platform;
    std::string host;
  } cases[] = {
      {u"C:\\Jobs\\Spool\\Page.bin", "/C/Jobs/Spool/Page.bin"},  // every name as on disk
      {u"C:\\Jobs\\Spool\\PAGE.BIN", "/C/Jobs/Spool/Page.bin"},  // only the last name differs
      {u"C:\\Jobs\\Spool\\new.bin", "/C/Jobs/Spool/new.bin"},    // a new last name keeps its case
      {u"C:\\JOBS\\spool\\page.bin", "/C/Jobs/Spool/Page.bin"},  // earlier names differ
      {u"C:\\jobs\\SPOOL\\New.bin", "/C/Jobs/Spool/New.bin"},
      {u"C:\\Jobs\\New\\Deeper\\x", "/C/Jobs/New/Deeper/x"},     // missing folders keep their case
      {u"C:\\Jobs\\Spool\\LINK.TXT", "/C/Jobs/Spool/Link.txt"},  // a link is a name, not followed
      {u"C:\\Jobs\\plain.TXT\\x", "/C/Jobs/Plain.txt/x"},        // a name under a file
      {u"c:\\", "/C"},
  };
  for (const Case& c : cases) EXPECT_EQ(SimHostPath(c.platform), root + c.host) << fs::path(c.host);
}

TEST_F(PathLookup, ModulesAreKnownByTheirFile) {
  const std::string root = SimSandboxRoot();
  const std::string driver = SimHostPath(SimDriverDirectory());
  fs::create_directories(root + "/C/Links");
  fs::create_symlink(driver + "/qvtestmod.dll", root + "/C/Links/alias.dll");
  HMODULE h = LoadLibraryW(u"qvtestmod.dll");
  ASSERT_NE(h, nullptr) << SimModuleLastLoadMessage();
  EXPECT_EQ(LoadLibraryW(u"C:\\LINKS\\Alias.DLL"), h) << "a link to the same file";
  EXPECT_EQ(SimModuleUseCount(h), 2);
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_TRUE(FreeLibrary(h));
  EXPECT_EQ(SimModuleLiveCount(), 0);

  // A file too short for a module head, and one that is neither a module nor a resource file.
  std::ofstream(root + "/C/Links/short.dll") << "ab";
  std::ofstream(root + "/C/Links/text.dll") << "plain text";
  struct Case {
    const char16_t* name;
    DWORD error;
  } cases[] = {{u"C:\\Links\\short.dll", ERROR_BAD_EXE_FORMAT},
               {u"C:\\Links\\TEXT.dll", ERROR_BAD_EXE_FORMAT},
               {u"C:\\Links\\gone.dll", ERROR_MOD_NOT_FOUND}};
  for (const Case& c : cases) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(c.name), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
  }
}

}  // namespace
