// Module services of the graphics-module build where it differs: lock slot numbers and the
// temporary file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/runtime/lock_slots.h"
#include "core/system/temp_path.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class ModuleServicesGr : public SandboxTest {};

TEST_F(ModuleServicesGr, LockSlotsAreNumberedPerBuild) {
  static_assert(kLockSlotCount == 8 && kLockDataAccess == 4 && kLockClock == 5 && kLockOsVersion == 6 &&
                kLockMeasure == 7);
}

TEST_F(ModuleServicesGr, TemporaryFilesTryEveryDirectoryInTurn) {
  WCHAR path[MAX_PATH];
  ASSERT_EQ(MakeTempFilePath(path), 1);
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(std::u16string(path).rfind(std::u16string(temp) + u"VQP", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(Host(path)));
  // The temporary directory refuses the file: the Windows directory takes it.
  SimFailCall("GetTempFileNameW", ERROR_ACCESS_DENIED);
  ASSERT_EQ(MakeTempFilePath(path), 1);
  WCHAR windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(std::u16string(path).rfind(std::u16string(windows) + u"\\VQP", 0), 0u);
  // Every directory fails.
  SimFailCall("GetTempFileNameW", ERROR_ACCESS_DENIED, 1, 4);
  ASSERT_EQ(MakeTempFilePath(path), 1);
  EXPECT_EQ(std::u16string(path), u"c:\\vqnimbrel.tmp");
  EXPECT_EQ(MakeTempFilePath(nullptr), 0);
}

}  // namespace
