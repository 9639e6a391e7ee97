// The common dialogs, HTML help and the shell: what each call was asked, the scripted answers
// written back by the platform's rules, and unscripted calls ending as a cancel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class CommonDialogsTest : public SandboxTest {
 protected:
  OPENFILENAMEW Ofn(WCHAR* buffer, DWORD size) {
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = u"Settings (*.kxf)\0*.kxf\0All files\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = size;
    ofn.lpstrInitialDir = u"C:\\Users";
    ofn.lpstrTitle = u"Export";
    ofn.lpstrDefExt = u"kxf";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY;
    return ofn;
  }
};

// A chosen path and where its name and extension start.
struct PathCase {
  const char16_t* path;
  WORD name, extension;
  const char16_t* title;
};

TEST_F(CommonDialogsTest, ChosenPathsAndTheirOffsets) {
  for (const PathCase& c : std::vector<PathCase>{
           {u"C:\\Users\\ann\\fav.kxf", 13, 17, u"fav.kxf"},
           {u"C:\\Users\\ann\\noext", 13, 18, u"noext"},
           {u"C:\\Users\\ann\\dotted.", 13, 0, u"dotted."},
           {u"C:\\a.b\\plain", 7, 12, u"plain"},
           {u"bare.txt", 0, 5, u"bare.txt"},
       }) {
    SCOPED_TRACE(std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path)));
    WCHAR file[260] = u"draft.kxf";
    WCHAR title[64] = {};
    OPENFILENAMEW ofn = Ofn(file, 260);
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = 64;
    SimFileDialogAnswer(c.path);
    ASSERT_TRUE(GetSaveFileNameW(&ofn));
    EXPECT_EQ(std::u16string(file), c.path);
    EXPECT_EQ(ofn.nFileOffset, c.name);
    EXPECT_EQ(ofn.nFileExtension, c.extension);
    EXPECT_EQ(std::u16string(title), c.title);
    EXPECT_EQ(CommDlgExtendedError(), 0u);
  }
  std::vector<SimFileDialog> log = SimFileDialogLog();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_TRUE(log[0].save);
  EXPECT_EQ(log[0].filter, (std::vector<std::u16string>{u"Settings (*.kxf)", u"*.kxf", u"All files", u"*.*"}));
  EXPECT_EQ(log[0].initialFile, u"draft.kxf");
  EXPECT_EQ(log[0].initialDir, u"C:\\Users");
  EXPECT_EQ(log[0].title, u"Export");
  EXPECT_EQ(log[0].defaultExtension, u"kxf");
  EXPECT_EQ(log[0].maxFile, 260u);
  EXPECT_TRUE(log[0].scripted);
}

TEST_F(CommonDialogsTest, CancelsErrorsAndShortBuffers) {
  WCHAR file[8] = u"keep";
  OPENFILENAMEW ofn = Ofn(file, 8);
  SimFileDialogAnswer(u"C:\\much\\too\\long.kxf");
  EXPECT_FALSE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_BUFFERTOOSMALL));
  EXPECT_EQ(file[0], WCHAR(21)) << "the size it needs";
  SimFileDialogCancel();
  EXPECT_FALSE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  SimFileDialogError(FNERR_INVALIDFILENAME);
  EXPECT_FALSE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), DWORD(FNERR_INVALIDFILENAME));
  EXPECT_FALSE(GetOpenFileNameW(&ofn)) << "nothing queued: cancelled";
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_FALSE(SimFileDialogLog().back().scripted);
  ofn.lStructSize = 88;
  EXPECT_FALSE(GetOpenFileNameW(&ofn));
  EXPECT_EQ(CommDlgExtendedError(), DWORD(CDERR_STRUCTSIZE));
  ofn.lStructSize = kOpenFileNameSizeV4;
  SimFileDialogAnswer(u"a.b");
  EXPECT_TRUE(GetOpenFileNameW(&ofn)) << "the earlier size is taken";
  // Each dialog is a modal interaction of the window system's log.
  std::vector<SimModal> modals = SimModalLog();
  ASSERT_EQ(modals.size(), 5u);
  EXPECT_EQ(modals[0].text, u"GetOpenFileNameW");
  EXPECT_FALSE(modals[3].scripted);
}

TEST_F(CommonDialogsTest, OwnerIsDisabledWhileADialogRuns) {
  HWND owner = CreateWindowExW(0, WC_DIALOG, u"Owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  COLORREF custom[kCustomColours] = {RGB(1, 2, 3)};
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = RGB(9, 9, 9);
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  SimChooseColorAnswer(RGB(200, 100, 0));
  ASSERT_TRUE(ChooseColorW(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(200, 100, 0));
  EXPECT_TRUE(IsWindowEnabled(owner)) << "enabled again afterwards";
  SimChooseColorCancel();
  EXPECT_FALSE(ChooseColorW(&cc));
  EXPECT_EQ(cc.rgbResult, RGB(200, 100, 0));
  std::vector<SimColorDialog> log = SimColorDialogLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].initial, RGB(9, 9, 9));
  EXPECT_EQ(log[0].flags, DWORD(CC_RGBINIT | CC_FULLOPEN));
  EXPECT_EQ(log[0].custom.size(), size_t(kCustomColours));
  EXPECT_EQ(log[0].custom[0], RGB(1, 2, 3));
  EXPECT_EQ(SimModalLog()[0].owner, owner);
  DestroyWindow(owner);
}

TEST_F(CommonDialogsTest, HelpAndShellAreRecorded) {
  HMODULE help = LoadLibraryW(u"hhctrl.ocx");
  ASSERT_NE(help, nullptr);
  using HelpProc = HWND (*)(HWND, LPCWSTR, UINT, DWORD_PTR);
  auto byOrdinal = reinterpret_cast<HelpProc>(GetProcAddress(help, MAKEINTRESOURCEA(15)));
  ASSERT_EQ(byOrdinal, &HtmlHelpW);
  EXPECT_EQ(reinterpret_cast<HelpProc>(GetProcAddress(help, "HtmlHelpW")), &HtmlHelpW);
  HWND shown = byOrdinal(nullptr, u"C:\\drv\\qorvex.chm", HH_HELP_CONTEXT, 1234);
  EXPECT_NE(shown, nullptr);
  EXPECT_EQ(HtmlHelpW(nullptr, u"C:\\drv\\qorvex.chm", HH_GET_WIN_HANDLE, DWORD_PTR(u"main")), shown);
  EXPECT_EQ(HtmlHelpW(nullptr, nullptr, HH_CLOSE_ALL, 0), nullptr);
  EXPECT_EQ(HtmlHelpW(nullptr, u"C:\\drv\\qorvex.chm", HH_GET_WIN_HANDLE, DWORD_PTR(u"main")), nullptr)
      << "no help window open any more";
  SimHelpShowsWindows(false);
  EXPECT_EQ(HtmlHelpA(nullptr, "C:\\drv\\qorvex.chm", HH_DISPLAY_TOC, 0), nullptr);
  std::vector<SimHelpCall> log = SimHelpLog();
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[0].file, u"C:\\drv\\qorvex.chm");
  EXPECT_EQ(log[0].command, UINT(HH_HELP_CONTEXT));
  EXPECT_EQ(log[0].data, 1234u);
  EXPECT_TRUE(log[4].ansi);
  EXPECT_EQ(log[4].file, u"C:\\drv\\qorvex.chm");
  FreeLibrary(help);

  SimModuleHideExport(u"hhctrl.ocx", "HtmlHelpW");
  EXPECT_EQ(GetProcAddress(LoadLibraryW(u"hhctrl.ocx"), "HtmlHelpW"), nullptr);
  SimModuleFailLoad(u"comdlg32.dll", ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(LoadLibraryW(u"comdlg32.dll"), nullptr);

  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, u"open", u"http://example.invalid/", nullptr, nullptr, 1)),
            kShellExecuteDone);
  SimShellExecuteAnswer(2);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, u"C:\\missing.exe", u"-x", u"C:\\", 0)), 2);
  std::vector<SimShellCall> shell = SimShellLog();
  ASSERT_EQ(shell.size(), 2u);
  EXPECT_EQ(shell[0].verb, u"open");
  EXPECT_EQ(shell[1].parameters, u"-x");
  EXPECT_EQ(shell[1].answer, 2);
}

}  // namespace
