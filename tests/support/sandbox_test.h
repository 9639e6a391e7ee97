// Test fixture: each test gets a fresh sandbox root under the build's temporary folder, the
// build's driver files linked into the sandbox's driver directory, the layer's simulated
// state reset and instant sleeps; the folder is removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>

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
    SimSetInstantSleep(TRUE);
  }

  void TearDown() override {
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

  // The host path of a platform path inside this test's sandbox.
  static std::string Host(const char16_t* platformPath) { return SimHostPath(platformPath); }

  std::filesystem::path root_;
};
