#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/sandbox.h"

#include "tests/support/sandbox_test.h"

#include <sys/stat.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;

using Sandbox = SandboxTest;

TEST_F(Sandbox, PlatformPathsMapIntoTheRoot) {
  std::string root = SimSandboxRoot();
  EXPECT_EQ(root, root_.string());
  fs::create_directories(root + "/C/Data/Sub");
  struct Case {
    const char16_t* platform;
    std::string host;
  } cases[] = {
      {u"C:\\Data\\Sub\\file.txt", "/C/Data/Sub/file.txt"},
      {u"c:/data/SUB/New.TXT", "/C/Data/Sub/New.TXT"},          // existing names matched, new kept
      {u"C:\\Data\\..\\..\\..\\Data", "/C/Data"},                 // ".." stops at the drive root
      {u"C:\\Data\\.\\Sub\\", "/C/Data/Sub"},
      {u"D:\\x", "/D/x"},
      {u"\\\\server\\share\\f", "/UNC/server/share/f"},
      {u"Data\\Sub", "/C/Data/Sub"},                              // relative to C:\ (current directory)
      {u"\\Data", "/C/Data"},
      {u"C:\\Data\\name. . ", "/C/Data/name"},                    // trailing dots and blanks dropped
  };
  for (const Case& c : cases) EXPECT_EQ(SimHostPath(c.platform), root + c.host);
  for (const char16_t* bad : {u"", u"C:\\a<b", u"C:\\a\\b?", u"C:\\x|y", u"\\\\server"})
    EXPECT_EQ(SimHostPath(bad), "");

  EXPECT_EQ(SimPlatformPath(root + "/C/Data/Sub/x.txt"), u"C:\\Data\\Sub\\x.txt");
  EXPECT_EQ(SimPlatformPath(root + "/UNC/srv/share/a"), u"\\\\srv\\share\\a");
  EXPECT_EQ(SimPlatformPath(root + "/C"), u"C:\\");
  EXPECT_EQ(SimPlatformPath("/definitely/elsewhere"), u"");
}

TEST_F(Sandbox, MountsTakePrecedence) {
  fs::path outside = root_ / "outside";
  fs::create_directories(outside / "Models");
  SimMountDirectory(u"C:\\Program Files\\Vendor", outside.string());
  EXPECT_EQ(SimHostPath(u"c:\\program files\\VENDOR\\models\\a.ddd"), (outside / "Models" / "a.ddd").string());
  EXPECT_EQ(SimPlatformPath((outside / "Models" / "a.ddd").string()), u"C:\\Program Files\\Vendor\\Models\\a.ddd");
  // A longer mount inside wins over the shorter one.
  fs::path inner = root_ / "inner";
  fs::create_directories(inner);
  SimMountDirectory(u"C:\\Program Files\\Vendor\\Models", inner.string());
  EXPECT_EQ(SimHostPath(u"C:\\Program Files\\Vendor\\Models\\b"), (inner / "b").string());
}

TEST_F(Sandbox, DriverFilesAreLinkedIntoTheDriverDirectory) {
  std::string driverDir = SimHostPath(SimDriverDirectory());
  EXPECT_EQ(driverDir, root_.string() + "/C/Windows/System32/spool/drivers/x64/3");
  fs::path source = DriverDir() / "libplatform.so";
  ASSERT_TRUE(fs::exists(source));
  struct stat st;
  ASSERT_EQ(::lstat((driverDir + "/libplatform.so").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_TRUE(fs::is_directory(SimHostPath(u"C:\\Windows\\Temp")));
}

TEST_F(Sandbox, CurrentDirectory) {
  WCHAR buffer[MAX_PATH];
  EXPECT_EQ(GetCurrentDirectoryW(MAX_PATH, buffer), 3u);
  EXPECT_EQ(std::u16string(buffer), u"C:\\");
  EXPECT_EQ(GetCurrentDirectoryW(2, buffer), 4u);  // the size needed, terminator included
  EXPECT_TRUE(SetCurrentDirectoryW(u"c:\\windows"));
  EXPECT_EQ(GetCurrentDirectoryW(MAX_PATH, buffer), 10u);
  EXPECT_EQ(std::u16string(buffer), u"C:\\windows");
  EXPECT_EQ(SimHostPath(u"Temp"), root_.string() + "/C/Windows/Temp");
  EXPECT_FALSE(SetCurrentDirectoryW(u"C:\\missing"));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
