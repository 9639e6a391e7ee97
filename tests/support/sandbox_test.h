// Test fixture: each test gets a fresh sandbox root under the build's temporary folder, the
// build's driver files and test-only files linked into the sandbox's driver directory, the
// layer's simulated state reset (cairo's font caches included) and instant sleeps; the folder
// is removed afterwards. After every test the fixture checks that the test left nothing
// behind: memory blocks, kernel handles, open registry keys and printer handles, loaded
// modules, GDI objects, windows, window classes, menus, timers, multimedia timers, property
// sheet pages, image lists, critical sections, engine allocations and the reference renderer's
// font faces are back to what they were when the test began. A test that keeps something alive
// on purpose across its end says so with KeepAliveAfterTest(reason).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

class SandboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> serial{0};
    std::filesystem::path driver = DriverDir();
    std::filesystem::path tmp = driver.parent_path() / "tmp";
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    root_ = tmp / (name + "-" + std::to_string(::getpid()) + "-" + std::to_string(serial++));
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
    SimReset();
    SimUnmountAll();
    SimSetSandboxRoot(root_.string());
    SimInstallDriverFiles(driver.string());
    SimInstallDriverFiles(TestDriverDir().string());
    SimSetInstantSleep(TRUE);
    baseline_ = CountLiveObjects();
  }

  void TearDown() override {
    // The reference renderer's faces that cairo's font caches still hold are let go first, so
    // that a face still open afterwards is one a drawing kept.
    SimDropReferenceFontCaches();
    if (keepAliveReason_.empty()) ExpectNothingLeaked();
    SimReset();
    SimUnmountAll();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }

  // The build's driver directory: the QV_DRIVER_DIR environment variable, else the compile
  // definition.
  static std::filesystem::path DriverDir() {
    const char* env = std::getenv("QV_DRIVER_DIR");
    if (env != nullptr && *env != 0) return env;
#ifdef QV_DRIVER_DIR
    return QV_DRIVER_DIR;
#else
    return std::filesystem::temp_directory_path() / "qv-driver";
#endif
  }

  // The build's directory of test-only modules and resource files, beside the driver directory.
  static std::filesystem::path TestDriverDir() {
#ifdef QV_TEST_DRIVER_DIR
    return QV_TEST_DRIVER_DIR;
#else
    return DriverDir().parent_path() / "testdriver";
#endif
  }

  // The host path of a platform path inside this test's sandbox.
  static std::string Host(const char16_t* platformPath) { return SimHostPath(platformPath); }

  // Leaves this test out of the leak check, for a test whose point is to keep something alive.
  void KeepAliveAfterTest(const std::string& reason) { keepAliveReason_ = reason; }

  std::filesystem::path root_;

 private:
  using LiveCounts = std::vector<std::pair<const char*, long long>>;

  static LiveCounts CountLiveObjects() {
    return {
        {"global blocks", SimLiveGlobalBlocks()},
        {"local blocks", SimLiveLocalBlocks()},
        {"heap blocks", SimLiveHeapBlocks()},
        {"private heaps", SimLiveHeaps()},
        {"open files", SimOpenFiles()},
        {"mapped views", SimLiveMappedViews()},
        {"events", SimOpenHandles(HandleKind::Event)},
        {"semaphores", SimOpenHandles(HandleKind::Semaphore)},
        {"mutexes", SimOpenHandles(HandleKind::Mutex)},
        {"file mappings", SimOpenHandles(HandleKind::Mapping)},
        {"find handles", SimOpenHandles(HandleKind::Find)},
        {"tokens", SimOpenHandles(HandleKind::Token)},
        {"critical sections", SimLiveCriticalSections()},
        {"registry keys", SimRegistryOpenKeyCount()},
        {"printer handles", static_cast<long long>(SimOpenPrinterHandleCount())},
        {"modules", SimModuleLiveCount()},
        {"GDI objects", SimLiveGdiObjects()},
        {"windows", SimLiveWindows()},
        {"window classes", SimLiveWindowClasses()},
        {"menus", SimLiveMenus()},
        {"timers", SimLiveTimers()},
        {"multimedia timers", SimLiveMmTimers()},
        {"property sheet pages", SimLivePropertySheetPages()},
        {"image lists", SimLiveImageLists()},
        {"engine allocations", SimEngineOutstanding()},
        {"reference renderer faces", SimLiveReferenceFaces()},
    };
  }

  void ExpectNothingLeaked() const {
    const LiveCounts now = CountLiveObjects();
    for (size_t i = 0; i < now.size(); ++i)
      EXPECT_EQ(now[i].second, baseline_[i].second) << now[i].first << " left behind by the test";
  }

  LiveCounts baseline_;
  std::string keepAliveReason_;
};
