// Module services of the user-interface build: lock slots, the module directory, the
// resource module's use count, the default user paper names and temporary file names.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/descriptors/user_paper_name.h"
#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/system/temp_path.h"
#include "platform/platform.h"
#include "tests/support/fresh_process.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr char16_t kResourceFile[] = u"printer_test_strings.qrs";

class ModuleServices : public SandboxTest {
 protected:
  // Loads the module that stands for the printer module and makes it the module instance.
  static HMODULE UseTestModule(LPCWSTR path = u"printer_test_module.qrs") {
    HMODULE own = LoadLibraryW(path);
    EXPECT_NE(own, nullptr);
    for (int slot = 0; slot < kLockSlotCount; ++slot) EXPECT_EQ(InitLock(slot), 1);
    SetModuleInstance(own);
    return own;
  }

  static std::u16string DriverDirectory() { return std::u16string(SimDriverDirectory()) + u"\\"; }
};

TEST_F(ModuleServices, LockSlotsAreNumberedPerBuild) {
  static_assert(kLockSlotCount == 7 && kLockClock == 4 && kLockOsVersion == 5 && kLockMeasure == 6);
  EXPECT_EQ(InitLock(kLockSlotCount), 0);
  EXPECT_EQ(InitLock(-1), 0);
  // Slots out of range or never initialised are ignored, so locking works before start-up.
  EnterLock(kLockStartup);
  LeaveLock(kLockStartup);
  EnterLock(99);
  LeaveLock(99);
  QV_IN_FRESH_PROCESS({
    ASSERT_EQ(InitLock(kLockModule), 1);
    ASSERT_EQ(InitLock(kLockModule), 1);  // again: already initialised
    EnterLock(kLockModule);
    EnterLock(kLockModule);  // re-entrant
    LeaveLock(kLockModule);
    LeaveLock(kLockModule);
    DeleteLock(kLockModule);
    EnterLock(kLockModule);  // deleted: ignored again
    LeaveLock(kLockModule);
  });
}

TEST_F(ModuleServices, ModuleDirectoryKeepsItsBackslashAndRefusesSmallBuffers) {
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    WCHAR small[259];
    small[0] = u'x';
    EXPECT_EQ(GetModuleDirectory(small, sizeof small), 0);
    EXPECT_EQ(small[0], u'x');
    WCHAR directory[260];
    ASSERT_EQ(GetModuleDirectory(directory, sizeof directory), 1);
    EXPECT_EQ(std::u16string(directory), DriverDirectory());
    // Served from the cache afterwards, even when the module's name can no longer be read.
    SimFailCall("GetModuleFileNameW", ERROR_INVALID_HANDLE, 1, 10);
    ASSERT_EQ(GetModuleDirectory(directory, sizeof directory), 1);
    EXPECT_EQ(std::u16string(directory), DriverDirectory());
  });
  QV_IN_FRESH_PROCESS({
    SetModuleInstance(reinterpret_cast<HINSTANCE>(0x1234));  // not a module
    WCHAR directory[260];
    EXPECT_EQ(GetModuleDirectory(directory, sizeof directory), 0);
  });
}

TEST_F(ModuleServices, ResourceModuleIsUseCounted) {
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    const int live = SimModuleLiveCount();
    AcquireResourceModule();
    AcquireResourceModule();
    HMODULE resources = GetResourceModule();
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(SimModuleLoadCount(kResourceFile), 1);
    ReleaseResourceModule();
    EXPECT_EQ(SimModuleUseCount(resources), 1);  // still loaded with one reference
    EXPECT_EQ(SimModuleFreeCount(kResourceFile), 0);
    ReleaseResourceModule();
    EXPECT_EQ(SimModuleFreeCount(kResourceFile), 1);
    EXPECT_EQ(SimModuleLiveCount(), live);
    ReleaseResourceModule();  // no reference: nothing happens
    EXPECT_EQ(SimModuleFreeCount(kResourceFile), 1);
    // A failed load leaves no reference and is tried again at the next call.
    SimModuleFailLoad(kResourceFile, ERROR_MOD_NOT_FOUND);
    AcquireResourceModule();
    EXPECT_EQ(SimModuleLiveCount(), live);
    SimModuleFailLoad(kResourceFile, 0);
    AcquireResourceModule();
    EXPECT_EQ(SimModuleLiveCount(), live + 1);
    WCHAR text[64];
    EXPECT_GT(LoadStringW(GetResourceInstance(), 751, text, 64), 0);
    EXPECT_EQ(std::u16string(text), u"Printing Preferences");
  });
}

TEST_F(ModuleServices, ResourceModuleNeedsAPathOfAtMost260Characters) {
  // The module and the resource file in a folder of 237 characters: the module's own path
  // (260 characters) still fits, the directory plus the 24-character file name does not.
  const std::u16string deep = u"C:\\" + std::u16string(233, u'd') + u"\\";
  std::filesystem::create_directories(Host(deep.c_str()));
  for (const char* name : {"printer_test_module.qrs", "printer_test_strings.qrs"}) {
    std::filesystem::copy_file(std::filesystem::path(Host(SimDriverDirectory())) / name,
                               std::filesystem::path(Host(deep.c_str())) / name);
  }
  QV_IN_FRESH_PROCESS({
    UseTestModule((deep + u"printer_test_module.qrs").c_str());
    WCHAR directory[262];
    ASSERT_EQ(GetModuleDirectory(directory, sizeof directory), 1);
    EXPECT_EQ(lstrlenW(directory), 237);
    AcquireResourceModule();
    EXPECT_EQ(SimModuleLoadCount(kResourceFile), 0);
    EXPECT_EQ(GetResourceModule(), nullptr);
    // Texts fall back to their built-in forms.
    WCHAR name[40];
    ASSERT_EQ(FormatUserPaperName(1, name, 40), 1);
    EXPECT_EQ(std::u16string(name), u"ユーザー定義2");
  });
}

TEST_F(ModuleServices, UserPaperNamesReplaceTheTrailingNumber) {
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    struct Case { int slot; int capacity; std::u16string expected; };
    const Case cases[] = {
        {0, 40, u"Custom Paper 1"}, {1, 40, u"Custom Paper 2"}, {19, 40, u"Custom Paper 20"},
        {0, 15, u"Custom Paper 1"}, {9, 15, u"Custom Paper10"}, {99, 4, u"100"},
    };
    for (const Case& c : cases) {
      WCHAR out[40];
      ASSERT_EQ(FormatUserPaperName(c.slot, out, c.capacity), 1);
      EXPECT_EQ(std::u16string(out), c.expected);
    }
    WCHAR tiny[3];
    EXPECT_EQ(FormatUserPaperName(99, tiny, 3), 0);
    EXPECT_EQ(tiny[0], 0);
    EXPECT_EQ(FormatUserPaperName(0, nullptr, 10), 0);
    EXPECT_EQ(SimModuleLiveCount(), 1);  // the bracketed load was released again
  });
}

TEST_F(ModuleServices, TemporaryFilesUseTheFirstDirectoryThatAnswers) {
  WCHAR path[MAX_PATH];
  ASSERT_EQ(MakeTempFilePath(path, 2), 1);
  const std::u16string made(path);
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(made.rfind(std::u16string(temp) + u"VQF", 0), 0u);
  EXPECT_EQ(lstrcmpiW(made.substr(made.size() - 4).c_str(), u".tmp"), 0);
  EXPECT_TRUE(std::filesystem::exists(Host(path)));
  // The temporary directory answers but no file can be made there: the fixed fall-backs,
  // without trying the other directories.
  SimFailCall("GetTempFileNameW", ERROR_ACCESS_DENIED, 1, 2);
  ASSERT_EQ(MakeTempFilePath(path, 4), 0);
  EXPECT_EQ(std::u16string(path), u"c:\\vqfot.tmp");
  ASSERT_EQ(MakeTempFilePath(path, 2), 0);
  EXPECT_EQ(std::u16string(path), u"c:\\vqfdp.tmp");
  // No temporary directory: the Windows directory.
  SimFailCall("GetTempPathW", ERROR_PATH_NOT_FOUND);
  ASSERT_EQ(MakeTempFilePath(path, 2), 1);
  WCHAR windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(std::u16string(path).rfind(std::u16string(windows) + u"\\VQF", 0), 0u);
  EXPECT_EQ(MakeTempFilePath(nullptr, 2), 0);
}

}  // namespace
