// The printer's property sheets opened as their hosts open them: qorvexui.dll loaded by name
// over printer "P1" of the sample model (its default devmode written by the module itself, a
// metric locale), an owner window standing for the host's, and the document sheet run by
// SimOpenDocumentSheet with a test's driver acting on it. The tests read what the sheet wrote
// from the output devmode, the registry and the printer data.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/persist/devmode_worker.h"
#include "core/store/item_access.h"
#include "platform/platform.h"
#include "tests/support/printer_fixture.h"
#include "ui/module/driver_ui.h"

namespace sheet_test {

inline constexpr DWORD kDevModeSize = 1548;

// Who opens the document sheet: an application (its own settings dialog), the printer's
// defaults sheet or the user's printing preferences.
enum class OpenedBy { kApplication, kDefaults, kPreferences };

inline const char* HostName(OpenedBy host) {
  switch (host) {
    case OpenedBy::kApplication: return "application";
    case OpenedBy::kDefaults: return "defaults";
    default: return "preferences";
  }
}

class SheetTest : public printer_test::PrinterTest {
 protected:
  static constexpr const WCHAR* kPrinter = u"P1";
  static constexpr const WCHAR* kModule = u"qorvexui.dll";

  void SetUp() override {
    PrinterTest::SetUp();
    SimSetLocaleInfo(LOCALE_ICOUNTRY, u"49");
    AddPrinter(kPrinter, InstallModel());
    ui_ = LoadLibraryW(kModule);
    ASSERT_NE(ui_, nullptr) << SimModuleLastLoadMessage();
    // The printer installed as the spooler installs it: the driver's initialisation, then its
    // default devmode.
    auto event = reinterpret_cast<DrvPrinterEventProc>(GetProcAddress(ui_, "DrvPrinterEvent"));
    ASSERT_NE(event, nullptr);
    ASSERT_TRUE(event(const_cast<LPWSTR>(kPrinter), PRINTER_EVENT_INITIALIZE, 0, 0));
    auto convert = reinterpret_cast<DrvConvertDevModeProc>(GetProcAddress(ui_, "DrvConvertDevMode"));
    ASSERT_NE(convert, nullptr);
    std::vector<BYTE> defaults(kDevModeSize);
    LONG size = LONG(defaults.size());
    ASSERT_TRUE(convert(const_cast<LPWSTR>(kPrinter), nullptr, reinterpret_cast<DEVMODEW*>(defaults.data()), &size,
                        CDM_DRIVER_DEFAULT));
    ASSERT_TRUE(SimSetPrinterDevMode(kPrinter, defaults));
    defaults_ = defaults;
    WNDCLASSW host{};
    host.lpfnWndProc = DefWindowProcW;
    host.lpszClassName = u"SheetTestHost";
    RegisterClassW(&host);
    owner_ = CreateWindowExW(0, u"SheetTestHost", u"Host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
  }

  // The model of "P1": the sample unless a test installs a variant of it.
  virtual std::u16string InstallModel() { return u"QX4500.DDD"; }

  void TearDown() override {
    if (owner_ != nullptr) DestroyWindow(owner_);
    UnregisterClassW(u"SheetTestHost", nullptr);
    if (ui_ != nullptr) FreeLibrary(ui_);
    PrinterTest::TearDown();
  }

  // Runs the document sheet as the host opens it; the driver gets the sheet window. The
  // component's answer; *result the sheet's result value.
  LONG OpenDocumentSheet(OpenedBy host, const std::function<void(HWND sheet)>& driver, DEVMODEW* in = nullptr,
                         DWORD fModeExtra = 0, DWORD* result = nullptr) {
    DWORD fMode = DM_COPY | DM_PROMPT | fModeExtra;
    SimCompstuiSetCaption(u"");
    if (host == OpenedBy::kDefaults) {
      fMode |= DM_USER_DEFAULT;
      SimCompstuiSetCaption(u"P1 Printing Defaults");
    } else if (host == OpenedBy::kPreferences) {
      fMode |= DM_USER_DEFAULT;
      SimCompstuiSetCaption(u"P1 Printing Preferences");
    }
    output_.assign(kDevModeSize, 0xCD);
    SimOnDialog([&](HWND sheet) {
      if (driver) driver(sheet);
    });
    DWORD ignored = 0;
    const LONG answer = SimOpenDocumentSheet(kModule, kPrinter, in, reinterpret_cast<DEVMODEW*>(output_.data()),
                                             DWORD(output_.size()), fMode, owner_, result != nullptr ? result : &ignored);
    // A sheet that did not open leaves its driver unused.
    SimForgetDialogDrivers();
    return answer;
  }

  // The page of the sheet's tab, shown first.
  static HWND ShowTab(HWND sheet, int index) {
    EXPECT_TRUE(SimSheetSelect(sheet, index));
    const std::vector<SimSheetPage> pages = SimSheetPages(sheet);
    return index < int(pages.size()) ? pages[size_t(index)].hwnd : nullptr;
  }

  // A number item of a devmode the module wrote.
  static DWORD DevModeItem(std::vector<BYTE>& devMode, SettingItemId id) {
    SettingsRecord record{};
    std::memcpy(record.bytes, devMode.data(), std::min<size_t>(devMode.size(), sizeof record.bytes));
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell{};
    if (GetItemValue(id, &record, nullptr, &type, &length, &cell) != kItemDone) return 0xFFFFFFFF;
    return length == 1 ? cell.byte : length == 2 ? cell.word : cell.number;
  }
  static std::u16string DevModeText(std::vector<BYTE>& devMode, SettingItemId id) {
    SettingsRecord record{};
    std::memcpy(record.bytes, devMode.data(), std::min<size_t>(devMode.size(), sizeof record.bytes));
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell{};
    if (GetItemValue(id, &record, nullptr, &type, &length, &cell) != kItemDone || cell.data == nullptr) return u"?";
    return static_cast<LPCWSTR>(cell.data);
  }

  // Types into an edit as a person does after selecting its text.
  static void TypeInto(HWND window, int control, const std::u16string& text) {
    HWND edit = GetDlgItem(window, control);
    ASSERT_TRUE(SimFocus(edit));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    ASSERT_TRUE(SimType(edit, text));
  }

  static std::u16string Text(HWND window, int control) {
    WCHAR text[128] = {};
    GetDlgItemTextW(window, control, text, 128);
    return text;
  }

  // Compares a window's picture with the kept one (rewritten with QV_UPDATE_FIXTURES=1).
  static void ExpectMatchesPicture(HWND window, const std::string& fixture) {
    ReferenceImage picture;
    ASSERT_TRUE(SimWindowPicture(window, picture));
    if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
      ASSERT_TRUE(SaveReferencePng(picture, fixture));
    }
    ReferenceImage kept;
    ASSERT_TRUE(LoadReferencePng(fixture, kept)) << fixture;
    EXPECT_LE(CompareReferenceImages(picture, kept, 48), 0.01) << fixture;
  }

  HMODULE ui_ = nullptr;
  HWND owner_ = nullptr;
  std::vector<BYTE> defaults_;
  std::vector<BYTE> output_;
};

}  // namespace sheet_test
