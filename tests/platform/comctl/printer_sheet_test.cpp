// A printer's sheets opened as their hosts open them: a user-interface module loaded by name
// hands its pages through the common property-sheet component, a person uses the page, and
// the result and the device mode come back to the caller.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr char16_t kModule[] = u"qvsheetui.dll";

class PrinterSheetTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    SimPrinterSetup setup;
    setup.name = u"Office";
    setup.dataFile = u"QX4500.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
  }
};

TEST_F(PrinterSheetTest, DocumentSheetWritesTheOutputDeviceMode) {
  DEVMODEW in{}, out{};
  in.dmSize = sizeof in;
  in.dmCopies = 1;
  out.dmCopies = 1;
  std::vector<SimControl> seen;
  std::u16string caption;
  SimCompstuiSetCaption(u"Office Printing Preferences");
  SimOnDialog([&](HWND sheet) {
    WCHAR text[64];
    GetWindowTextW(sheet, text, 64);
    caption = text;
    HWND page = SimSheetPages(sheet).at(0).hwnd;
    HWND track = GetDlgItem(page, 1601);
    ASSERT_TRUE(SimTrack(track, TB_THUMBPOSITION, 7));
    seen = SimDialogControls(page);
    EXPECT_EQ(GetDlgItem(sheet, kSheetApplyId), nullptr) << "the module's header asks for no Apply";
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_OK));
  });
  DWORD result = 99;
  EXPECT_EQ(SimOpenDocumentSheet(kModule, u"Office", &in, &out, sizeof out, DM_PROMPT | DM_COPY, nullptr, &result), 1);
  EXPECT_EQ(result, DWORD(CPSUI_OK));
  EXPECT_EQ(out.dmCopies, 7);
  EXPECT_EQ(caption, u"Office Printing Preferences");
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].className, u"msctls_trackbar32");
  EXPECT_EQ(seen[1].value, 7);
  EXPECT_EQ(seen[1].low, 1);
  EXPECT_EQ(seen[1].high, 9);
  EXPECT_EQ(seen[0].text, u"Copies:");
  std::vector<SimCompstuiRun> log = SimCompstuiLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].headerFlags, PSUIHDRF_NOAPPLYNOW | PSUIHDRF_PROPTITLE);
  EXPECT_EQ(log[0].title, u"Office");
  EXPECT_EQ(log[0].iconId, 64082u);
  EXPECT_EQ(SimModuleLoadCount(kModule), 1);
}

TEST_F(PrinterSheetTest, DeviceSheetCancelledOrAccepted) {
  DWORD result = 99;
  EXPECT_EQ(SimOpenDeviceSheet(kModule, u"Office", 0, nullptr, &result), 1);
  EXPECT_EQ(result, DWORD(CPSUI_CANCEL)) << "unscripted: cancelled";
  EXPECT_FALSE(SimModalLog().back().scripted);

  HMODULE ui = LoadLibraryW(kModule);  // kept loaded, so that its record of the page lasts
  SimOnDialog([](HWND sheet) {
    HWND page = SimSheetPages(sheet).at(0).hwnd;
    ASSERT_TRUE(SimSetControlValue(GetDlgItem(page, 1602), BST_CHECKED));
    ASSERT_TRUE(SimSheetPress(sheet, PSBTN_OK));
  });
  EXPECT_EQ(SimOpenDeviceSheet(kModule, u"Office", DPS_NOPERMISSION, nullptr, &result), 1);
  EXPECT_EQ(result, DWORD(CPSUI_OK));
  auto checked = reinterpret_cast<int (*)()>(GetProcAddress(ui, "QvSheetDeviceChecked"));
  ASSERT_NE(checked, nullptr);
  EXPECT_EQ(checked(), BST_CHECKED);
  FreeLibrary(ui);
}

TEST_F(PrinterSheetTest, MissingModulePrinterOrComponent) {
  DWORD result = 99;
  EXPECT_LT(SimOpenDeviceSheet(u"nosuch.dll", u"Office", 0, nullptr, &result), 0);
  EXPECT_LT(SimOpenDeviceSheet(kModule, u"Nobody", 0, nullptr, &result), 0);
  SimModuleHideExport(kModule, "DrvDevicePropertySheets");
  EXPECT_LT(SimOpenDeviceSheet(kModule, u"Office", 0, nullptr, &result), 0);
  EXPECT_EQ(result, DWORD(CPSUI_CANCEL));
  SimModuleFailLoad(u"compstui.dll", ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryA("compstui.dll"), nullptr);
}

}  // namespace
