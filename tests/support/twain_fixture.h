// Test fixture for the data source driven as an application drives it: the stand-in source
// manager and scanner kept loaded (so their records last), and the test TWAIN application.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outside/pelvodev/pelvodev_sim.h"
#include "outside/twain_dsm/twain_dsm_sim.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"
#include "tools/demo/twain_app.h"

class TwainTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    SimRegistryReset();
    manager_ = LoadLibraryW(u"TWAIN_32.DLL");
    scanner_ = LoadLibraryW(u"pelvodev.dll");
    ASSERT_NE(manager_, nullptr);
    ASSERT_NE(scanner_, nullptr);
    Bind(manager_, "SimDsmReset", dsmReset_);
    Bind(manager_, "SimDsmCallCount", dsmCount_);
    Bind(manager_, "SimDsmCall", dsmCall_);
    Bind(scanner_, "SimScannerReset", scannerReset_);
    Bind(scanner_, "SimScannerSetup", scannerSetup_);
    Bind(scanner_, "SimScannerFail", scannerFail_);
    Bind(scanner_, "SimScannerWindow", scannerWindow_);
    Bind(scanner_, "SimScannerCallCount", scannerCount_);
    Bind(scanner_, "SimScannerCall", scannerCall_);
    dsmReset_();
    scannerReset_();
    ASSERT_TRUE(app_.Load()) << SimModuleLastLoadMessage();
  }

  void TearDown() override {
    app_.Unload();
    // Everything the source allocated is freed; what it handed over the application freed.
    FreeLibrary(scanner_);
    FreeLibrary(manager_);
    SandboxTest::TearDown();
  }

  template <typename T>
  void Bind(HMODULE module, const char* name, T& proc) {
    proc = reinterpret_cast<T>(GetProcAddress(module, name));
    ASSERT_NE(proc, nullptr) << name;
  }

  std::vector<SimDsmCall> Notifications() {
    std::vector<SimDsmCall> calls(dsmCount_());
    for (DWORD i = 0; i < calls.size(); ++i) dsmCall_(i, &calls[i]);
    return calls;
  }

  // The source's state, found with requests that change nothing: 3 to 7.
  int State() {
    TW_CAPABILITY cap{ICAP_PIXELFLAVOR, TWON_DONTCARE16, nullptr};
    const TW_UINT16 rc = app_.Call(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &cap);
    if (cap.hContainer != nullptr) GlobalFree(cap.hContainer);
    if (rc != TWRC_SUCCESS) return 3;
    TW_UINT32 group = 0;
    if (app_.Call(DG_CONTROL, DAT_XFERGROUP, MSG_GET, &group) != TWRC_SUCCESS) return 7;
    TW_IMAGEINFO info{};
    if (app_.Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) == TWRC_SUCCESS) return 6;
    // Resetting the pixel flavour (always chocolate) is allowed in state 4 only.
    if (app_.Reset(ICAP_PIXELFLAVOR) == TWRC_SUCCESS) return 4;
    return 5;
  }

  void SetupScanner(BOOL hasFeeder, DWORD pages, DWORD pageLines) {
    SimScannerSetupInfo info{0, hasFeeder, pages, 0, pageLines};
    scannerSetup_(&info);
  }

  TwainApplication app_;
  HMODULE manager_ = nullptr;
  HMODULE scanner_ = nullptr;
  SimDsmResetProc dsmReset_ = nullptr;
  SimDsmCallCountProc dsmCount_ = nullptr;
  SimDsmCallProc dsmCall_ = nullptr;
  SimScannerResetProc scannerReset_ = nullptr;
  SimScannerSetupProc scannerSetup_ = nullptr;
  SimScannerFailProc scannerFail_ = nullptr;
  SimScannerWindowProc scannerWindow_ = nullptr;
  SimScannerCallCountProc scannerCount_ = nullptr;
  SimScannerCallProc scannerCall_ = nullptr;
};
