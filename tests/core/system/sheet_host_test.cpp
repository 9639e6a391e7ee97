// The property sheet's host told by the caption of the sheet on window chains built here.
#include <gtest/gtest.h>

#include "core/runtime/lock_slots.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/system/sheet_host.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class SheetHostTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    own_ = LoadLibraryW(u"printer_test_module.qrs");
    ASSERT_NE(own_, nullptr);
    for (int slot = 0; slot < kLockSlotCount; ++slot) InitLock(slot);
    SetModuleInstance(own_);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = u"QvHostTest";
    RegisterClassW(&wc);
  }
  void TearDown() override {
    for (HWND h : made_) DestroyWindow(h);
    UnregisterClassW(u"QvHostTest", nullptr);
    FreeResourceModule();
    for (int slot = 0; slot < kLockSlotCount; ++slot) DeleteLock(slot);
    FreeLibrary(own_);
    SandboxTest::TearDown();
  }

  // An application window owning a sheet with the caption, a page in the sheet and a control
  // in the page; answers the control.
  HWND Chain(LPCWSTR caption) {
    HWND app = CreateWindowExW(0, u"QvHostTest", u"Editor", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr, nullptr,
                               nullptr, nullptr);
    HWND sheet = CreateWindowExW(0, u"QvHostTest", caption, WS_POPUP | WS_CAPTION, 10, 10, 300, 200, app, nullptr,
                                 nullptr, nullptr);
    HWND page = CreateWindowExW(0, u"QvHostTest", u"Paper", WS_CHILD, 0, 0, 280, 160, sheet, nullptr, nullptr, nullptr);
    HWND control = CreateWindowExW(0, u"QvHostTest", u"A4", WS_CHILD, 0, 0, 20, 20, page, nullptr, nullptr, nullptr);
    made_.push_back(app);
    return control;
  }

  HMODULE own_ = nullptr;
  std::vector<HWND> made_;
};

TEST_F(SheetHostTest, TheSheetsCaptionTellsTheHost) {
  struct Case {
    const char16_t* caption;
    DWORD flags;
    int host;
  };
  const Case cases[] = {
      {u"Acme 500 Printing Preferences", kSheetHostByCaption, kSheetHostPreferences},
      {u"Acme 500 Printing Defaults", kSheetHostByCaption, kSheetHostDefaults},
      {u"Acme 500 Printing Defaults", 0, kSheetHostApplication},  // the caption decides only with the flag
      {u"Acme 500 Druckeinstellungen", kSheetHostByCaption | 0x1, kSheetHostPreferences},
      {u"Acme 500 Impression par d\u00e9faut", kSheetHostByCaption, kSheetHostDefaults},
      {u"Acme 500 \u5370\u5237\u8a2d\u5b9a", kSheetHostByCaption, kSheetHostPreferences},
      {u"Acme 500 Document Properties", kSheetHostByCaption, kSheetHostDefaults},  // not string 751 either
  };
  for (const Case& c : cases) {
    HWND control = Chain(c.caption);
    EXPECT_EQ(DetectSheetHost(control, c.flags), c.host)
        << std::string(c.caption, c.caption + std::char_traits<char16_t>::length(c.caption));
  }
}

TEST_F(SheetHostTest, ATopLevelWindowHasNoSheetCaption) {
  HWND app = CreateWindowExW(0, u"QvHostTest", u"Printing Preferences", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr,
                             nullptr, nullptr, nullptr);
  made_.push_back(app);
  // The window itself has no parent: its own caption is not read.
  EXPECT_EQ(DetectSheetHost(app, kSheetHostByCaption), kSheetHostDefaults);
  EXPECT_EQ(DetectSheetHost(nullptr, kSheetHostByCaption), kSheetHostDefaults);
  EXPECT_EQ(DetectSheetHost(nullptr, 0), kSheetHostApplication);
}

}  // namespace
