// The scanner fixtures. ScannerTest: the simulated scanner library (pelvodev.dll) loaded on
// request and kept loaded so that its records last, with its test control bound. ScannerCodeTest:
// the data source's code linked into the test, with the data source's own texts (pelvo.qrs, a
// resource file of the test directory) as its module instance, so that one copy of the data
// source's state lives in the process. TwainTest: the data source module itself driven as an
// application drives it, through the stand-in source manager and the test TWAIN application.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outside/pelvodev/pelvodev_sim.h"
#include "outside/twain_dsm/twain_dsm_sim.h"
#include "platform/platform.h"
#include "scanner/scan_settings.h"
#include "scanner/source_windows.h"
#include "scanner/system_routines.h"
#include "scanner/ui/window_table.h"
#include "tests/support/sandbox_test.h"
#include "tests/support/twain_app.h"

// The window as a person sees it a moment after it was painted: each armed multimedia timer
// (the crop frame's marching ants) has ticked once.
inline bool SeenPicture(HWND window, ReferenceImage& picture) {
  SimPaint(window);
  for (const SimMmTimer& timer : SimArmedMmTimers()) SimFireMmTimer(timer.id);
  return SimWindowPictureAsShown(window, picture) != FALSE;
}

class ScannerTest : public SandboxTest {
 protected:
  void TearDown() override {
    if (scanner_ != nullptr) FreeLibrary(scanner_);
    SandboxTest::TearDown();
  }

  // Loads the simulated scanner and binds its test control; its records start empty.
  void LoadScannerSimulation() {
    scanner_ = LoadLibraryW(u"pelvodev.dll");
    ASSERT_NE(scanner_, nullptr);
    scannerReset_ = Bind<SimScannerResetProc>(scanner_, "SimScannerReset");
    scannerSetup_ = Bind<SimScannerSetupProc>(scanner_, "SimScannerSetup");
    scannerFail_ = Bind<SimScannerFailProc>(scanner_, "SimScannerFail");
    scannerWindow_ = Bind<SimScannerWindowProc>(scanner_, "SimScannerWindow");
    scannerCount_ = Bind<SimScannerCallCountProc>(scanner_, "SimScannerCallCount");
    scannerCall_ = Bind<SimScannerCallProc>(scanner_, "SimScannerCall");
    scannerToneTable_ = Bind<SimScannerToneTableProc>(scanner_, "SimScannerToneTable");
    scannerReset_();
  }

  template <typename T>
  static T Bind(HMODULE module, const char* name) {
    T proc = reinterpret_cast<T>(GetProcAddress(module, name));
    EXPECT_NE(proc, nullptr) << name;
    return proc;
  }

  // The simulated scanner's log of calls.
  std::vector<SimScannerCall> ScannerLog() {
    std::vector<SimScannerCall> log(scannerCount_());
    for (DWORD i = 0; i < log.size(); ++i) scannerCall_(i, &log[i]);
    return log;
  }

  void SetupScanner(BOOL hasFeeder, DWORD pages, DWORD pageLines) {
    SimScannerSetupInfo info{0, hasFeeder, pages, 0, pageLines};
    scannerSetup_(&info);
  }

  HMODULE scanner_ = nullptr;
  SimScannerResetProc scannerReset_ = nullptr;
  SimScannerSetupProc scannerSetup_ = nullptr;
  SimScannerFailProc scannerFail_ = nullptr;
  SimScannerWindowProc scannerWindow_ = nullptr;
  SimScannerCallCountProc scannerCount_ = nullptr;
  SimScannerCallProc scannerCall_ = nullptr;
  SimScannerToneTableProc scannerToneTable_ = nullptr;
};

// For tests that link the data source's code (scanner_core).
class ScannerCodeTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    source_ = LoadLibraryW(u"pelvo.qrs");
    ASSERT_NE(source_, nullptr) << SimModuleLastLoadMessage();
    g_Instance = source_;
    g_Switches = {};
    SetSourceWindows(&kScannerWindows);  // as the module hands them in when it attaches
  }

  void TearDown() override {
    SetSourceWindows(nullptr);
    g_Instance = nullptr;
    FreeLibrary(source_);
    ScannerTest::TearDown();
  }

  HMODULE source_ = nullptr;
};

class TwainTest : public ScannerTest {
 protected:
  void SetUp() override {
    ScannerTest::SetUp();
    SimRegistryReset();
    manager_ = LoadLibraryW(u"TWAIN_32.DLL");
    ASSERT_NE(manager_, nullptr);
    dsmReset_ = Bind<SimDsmResetProc>(manager_, "SimDsmReset");
    dsmCount_ = Bind<SimDsmCallCountProc>(manager_, "SimDsmCallCount");
    dsmCall_ = Bind<SimDsmCallProc>(manager_, "SimDsmCall");
    dsmReset_();
    LoadScannerSimulation();
    ASSERT_TRUE(app_.Load()) << SimModuleLastLoadMessage();
  }

  void TearDown() override {
    app_.Unload();
    FreeLibrary(manager_);
    ScannerTest::TearDown();
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

  TwainApplication app_;
  HMODULE manager_ = nullptr;
  SimDsmResetProc dsmReset_ = nullptr;
  SimDsmCallCountProc dsmCount_ = nullptr;
  SimDsmCallProc dsmCall_ = nullptr;
};
