// The main scan dialog, opened by the data source module when the test application enables it
// with its user interface: its template and captions, the lists by the scanner's feeder, the
// frames that papers and sources give, the read-outs in each unit, the image limits, Close,
// help, a kept picture, and a whole session (preview, frame, levels, scan) checked on the
// delivered pixels. The size estimate is also driven directly through the linked code.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "outside/pelvodev/pelvodev_sim.h"
#include "outside/pelvofilt/pelvofilt_sim.h"
#include "platform/platform.h"
#include "scanner/band_processing.h"
#include "scanner/scan_run.h"
#include "scanner/ui/level_controls.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/scan_dialog.h"
#include "scanner/ui/window_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

std::u16string Text(HWND window) {
  char16_t text[256] = {};
  GetWindowTextW(window, reinterpret_cast<LPWSTR>(text), 256);
  return text;
}

// The filter library's curve with which the device's tone table is the scan's form of the
// levels' curve (that curve applied to the reversed levels' curve); -1 when there is none.
int ScanToneCurve(const BYTE* tones, const BYTE* levels) {
  for (int k = 0; k < 9; ++k) {
    bool matched = true;
    for (int i = 0; i < 256; ++i) matched = matched && tones[i] == SimFilterCurve(k, 255 - levels[255 - i]);
    if (matched) return k;
  }
  return -1;
}
bool IsScanToneTable(const BYTE* tones, const BYTE* levels) { return ScanToneCurve(tones, levels) >= 0; }

class ScanDialogTest : public TwainTest {
 protected:
  void SetUp() override {
    TwainTest::SetUp();
    SimSetAnsiCodePage(932);
  }
  void TearDown() override {
    app_.Disable();
    app_.Close();
    TwainTest::TearDown();
  }
  // Opens the source and its dialog (the scanner set up first), owned by the application's
  // window when one is given.
  void OpenDialog(BOOL feeder = TRUE, bool inches = false, HWND parent = nullptr) {
    SetupScanner(feeder, feeder ? 1 : 0, 0);
    ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
    if (inches) {
      ASSERT_EQ(app_.SetEnumeration(ICAP_UNITS, TWTY_UINT16, {TWUN_INCHES}, 0), TWRC_SUCCESS);
    }
    ASSERT_EQ(app_.EnableWithInterface(parent), TWRC_SUCCESS);
    dialog_ = FindWindowW(nullptr, u"Scriptora Duo Local Scan");
    ASSERT_NE(dialog_, nullptr);
    ASSERT_NE(GetDlgItem(dialog_, kIdScan), nullptr);
  }
  HWND Item(int id) { return GetDlgItem(dialog_, id); }
  std::u16string ItemText(int id) { return Text(Item(id)); }
  LRESULT Rows(int combo) { return SendMessageW(Item(combo), CB_GETCOUNT, 0, 0); }
  LRESULT Selected(int combo) { return SendMessageW(Item(combo), CB_GETCURSEL, 0, 0); }
  std::u16string RowText(int combo, int row) {
    char16_t text[128] = {};
    SendMessageW(Item(combo), CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::vector<TW_UINT16> NotificationMessages() {
    std::vector<TW_UINT16> messages;
    for (const SimDsmCall& call : Notifications()) messages.push_back(call.Message);
    return messages;
  }
  // The layout frame the application reads, in inches.
  void Frame(double& left, double& top, double& right, double& bottom) {
    TW_IMAGELAYOUT layout{};
    ASSERT_EQ(app_.Call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
    left = FromFix32(layout.Frame.Left);
    top = FromFix32(layout.Frame.Top);
    right = FromFix32(layout.Frame.Right);
    bottom = FromFix32(layout.Frame.Bottom);
  }

  HWND dialog_ = nullptr;
};

TEST_F(ScanDialogTest, OpensFromItsTemplateWithItsCaptionsAndClosesOnDisable) {
  OpenDialog();
  EXPECT_EQ(State(), 5);
  EXPECT_TRUE(IsWindowVisible(dialog_));
  // Captions from the string table (in the ANSI code page) and, for the sources, from the
  // companion library.
  EXPECT_EQ(ItemText(kIdScan), u"スキャン(&S)");
  EXPECT_EQ(ItemText(1193), u"&Original Type:");
  EXPECT_EQ(ItemText(1183), u"サイズ:");
  ASSERT_EQ(Rows(kIdSourceCombo), 2);
  EXPECT_EQ(RowText(kIdSourceCombo, 0), u"Flatbed");
  EXPECT_EQ(RowText(kIdSourceCombo, 1), u"Document feeder");
  EXPECT_EQ(Rows(kIdResolutionCombo), 6);
  EXPECT_EQ(RowText(kIdResolutionCombo, 0), u"600 dpi");
  EXPECT_EQ(Rows(kIdAreaSizeCombo), 9);
  EXPECT_EQ(RowText(kIdAreaSizeCombo, 0), u"A3");
  // Text shows the threshold group, not the levels.
  EXPECT_TRUE(IsWindowVisible(Item(kIdThreshold)));
  EXPECT_FALSE(IsWindowVisible(Item(kIdCurveBox)));
  // The application's events reach the dialog through MSG_PROCESSEVENT.
  MSG msg{};
  msg.hwnd = Item(kIdThreshold);
  msg.message = WM_CHAR;
  msg.wParam = '7';
  TW_EVENT event{&msg, 0x1234};
  EXPECT_EQ(app_.Call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_DSEVENT);
  EXPECT_EQ(event.TWMessage, MSG_NULL);
  ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
  EXPECT_FALSE(IsWindow(dialog_));
  EXPECT_EQ(State(), 4);
}

TEST_F(ScanDialogTest, AScannerWithoutAFeederOffersTheFlatbedAlone) {
  OpenDialog(FALSE);
  ASSERT_EQ(Rows(kIdSourceCombo), 1);
  EXPECT_EQ(Selected(kIdSourceCombo), 0);
  ASSERT_TRUE(SimClick(Item(kIdSourceIcon)));
  EXPECT_EQ(Selected(kIdSourceCombo), 0);
  EXPECT_EQ(Rows(kIdSourceCombo), 1);
}

TEST_F(ScanDialogTest, PapersAndSourcesGiveTheirFrames) {
  OpenDialog(TRUE, true);
  struct Case {
    const char* what;
    int source;  // list row
    int paper;   // list row of the area sizes
    double left, top, right, bottom;  // 1/1200 inch
  } cases[] = {
      {"A3 on the flatbed", 0, 0, 0, 0, 14028, 19850},
      {"Letter on the feeder is centred", 1, 5, 1914, 0, 12114, 13200},
      {"A3 on the feeder stays on the bed", 1, 0, 0, 0, 14028, 19850},
      {"A4 on the flatbed", 0, 1, 0, 0, 9924, 14030},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(SimPickCombo(Item(kIdSourceCombo), c.source));
    ASSERT_TRUE(SimPickCombo(Item(kIdAreaSizeCombo), c.paper));
    ASSERT_TRUE(SimClick(Item(kIdScan)));
    double left, top, right, bottom;
    Frame(left, top, right, bottom);
    EXPECT_NEAR(left, c.left / 1200, 1e-3);
    EXPECT_NEAR(top, c.top / 1200, 1e-3);
    EXPECT_NEAR(right, c.right / 1200, 1e-3);
    EXPECT_NEAR(bottom, c.bottom / 1200, 1e-3);
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(app_.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
  }
  EXPECT_EQ(NotificationMessages(), std::vector<TW_UINT16>(4, MSG_XFERREADY));
  // The pictures step the lists: the resolution from 600 dpi to 100 dpi and on to 150 dpi.
  ASSERT_TRUE(SimPickCombo(Item(kIdResolutionCombo), 0));
  ASSERT_TRUE(SimClick(Item(kIdResolutionIcon)));
  EXPECT_EQ(RowText(kIdResolutionCombo, static_cast<int>(Selected(kIdResolutionCombo))), u"100 dpi");
  ASSERT_TRUE(SimClick(Item(kIdResolutionIcon)));
  EXPECT_EQ(RowText(kIdResolutionCombo, static_cast<int>(Selected(kIdResolutionCombo))), u"150 dpi");
  // Defaults: the flatbed, millimetres and A3.
  ASSERT_TRUE(SimPickCombo(Item(kIdSourceCombo), 1));
  ASSERT_TRUE(SimPickCombo(Item(kIdAreaSizeCombo), 5));
  ASSERT_TRUE(SimClick(Item(kIdDefaults)));
  EXPECT_EQ(Selected(kIdSourceCombo), 0);
  EXPECT_EQ(RowText(kIdAreaSizeCombo, static_cast<int>(Selected(kIdAreaSizeCombo))), u"A3");
  EXPECT_EQ(ItemText(kIdWidthReadout), u"296.93mm");
  EXPECT_EQ(ItemText(kIdLengthReadout), u"420.16mm");
}

TEST_F(ScanDialogTest, TheReadOutsFollowTheUnit) {
  OpenDialog();
  // A3 at 200 dpi, one bit per pixel: 2338 x 3308.33 pixels, 296 bytes a line.
  struct Case {
    int row;
    const char16_t* width;
    const char16_t* length;
  } cases[] = {
      {0, u"11.69in", u"16.54in"},
      {1, u"296.93mm", u"420.16mm"},
      {2, u"2338px", u"3308px"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SimPickCombo(Item(kIdUnitCombo), c.row));
    EXPECT_EQ(ItemText(kIdWidthReadout), c.width);
    EXPECT_EQ(ItemText(kIdLengthReadout), c.length);
  }
  EXPECT_EQ(ItemText(kIdSizeReadout), u"956.3KB");
  ASSERT_TRUE(SimPickCombo(Item(kIdAreaSizeCombo), 2));  // A5: 1166 x 1654 pixels
  EXPECT_EQ(ItemText(kIdWidthReadout), u"1166px");
  EXPECT_EQ(ItemText(kIdSizeReadout), u"239.1KB");
}

TEST_F(ScanDialogTest, CloseAsksTheApplicationToDisableAndHelpOpensTheFile) {
  // The help file of the user's language, in the LOCALE folder beside the module.
  char module[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleW(u"pelvo.ds"), module, MAX_PATH);
  std::string folder(module);
  folder.resize(folder.rfind('\\') + 1);
  folder += "LOCALE";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  HANDLE file = CreateFileA((folder + "\\PELVOENU.CHM").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  OpenDialog();
  ASSERT_TRUE(SimClick(Item(kIdHelp)));
  auto help = SimHelpLog();
  ASSERT_EQ(help.size(), 2u);
  EXPECT_EQ(help[0].command, static_cast<UINT>(HH_INITIALIZE));
  EXPECT_EQ(help[1].command, static_cast<UINT>(HH_DISPLAY_TOC));
  EXPECT_TRUE(help[1].ansi);
  // The name as the folder stores it.
  const std::u16string expected = u"LOCALE\\PELVOENU.CHM";
  ASSERT_GE(help[1].file.size(), expected.size());
  EXPECT_EQ(help[1].file.substr(help[1].file.size() - expected.size()), expected);
  // Close posts WM_CLOSE: the source manager hears MSG_CLOSEDSREQ, the dialog stays.
  ASSERT_TRUE(SimClick(Item(kIdClose)));
  SimPumpMessages();
  EXPECT_EQ(NotificationMessages(), std::vector<TW_UINT16>{MSG_CLOSEDSREQ});
  EXPECT_TRUE(IsWindow(dialog_));
  EXPECT_EQ(State(), 5);
  ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
  help = SimHelpLog();
  ASSERT_EQ(help.size(), 4u);
  EXPECT_EQ(help[2].command, static_cast<UINT>(HH_CLOSE_ALL));
  EXPECT_EQ(help[3].command, static_cast<UINT>(HH_UNINITIALIZE));
}

// A user's session: Preview, a new frame dragged over the preview, Photo with gamma 2.00 and
// levels typed in, Scan; the application's native transfer then delivers the dragged area with
// the levels' tone curve applied: the scanner, which applies its tone table as a real one does,
// makes each one-bit pixel from the grey pattern through that curve.
TEST_F(ScanDialogTest, APreviewedDraggedAndTonedScanDeliversTheDraggedArea) {
  const auto applyTones = reinterpret_cast<SimScannerApplyTonesProc>(GetProcAddress(scanner_, "SimScannerApplyTones"));
  ASSERT_NE(applyTones, nullptr);
  applyTones(TRUE);
  OpenDialog(TRUE, true);
  ASSERT_TRUE(SimPickCombo(Item(kIdTypeCombo), 1));  // Photo
  ASSERT_TRUE(SimPickCombo(Item(kIdResolutionCombo), 5));  // 100 dpi
  ASSERT_TRUE(SimPickCombo(Item(kIdAreaSizeCombo), 2));    // A5, in the bed's top-left corner
  ASSERT_TRUE(SimClick(Item(kIdPreview)));
  SimPumpMessages();
  HWND preview = nullptr;
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char16_t name[32] = {};
    GetClassNameW(child, reinterpret_cast<LPWSTR>(name), 32);
    if (std::u16string(name) == u"PrevCtl_tarn_ibg") preview = child;
  }
  ASSERT_NE(preview, nullptr);
  // A new frame drawn on the page away from the A5 frame.
  RECT client{};
  GetClientRect(preview, &client);
  const POINT from{client.right * 7 / 10, client.bottom * 6 / 10}, to{client.right * 85 / 100, client.bottom * 75 / 100};
  SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
  SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
  SendMessageW(preview, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
  // Gamma 2.00, black point 10 and output high 240, each committed with Enter.
  for (const auto& [id, text] : {std::pair{kIdGamma, u"2"}, {kIdInputLow, u"10"}, {kIdOutputHigh, u"240"}}) {
    SendMessageW(Item(id), EM_SETSEL, 0, -1);
    ASSERT_TRUE(SimType(Item(id), text));
    ASSERT_TRUE(SimKey(Item(id), VK_RETURN));
  }
  EXPECT_EQ(ItemText(kIdGamma), u"2.00");
  ASSERT_TRUE(SimClick(Item(kIdScan)));
  EXPECT_EQ(NotificationMessages(), std::vector<TW_UINT16>{MSG_XFERREADY});
  double left, top, right, bottom;
  Frame(left, top, right, bottom);
  // The dragged frame: beyond the A5 frame, inside the bed.
  EXPECT_GT(left, 6996 / 1200.0);
  EXPECT_GT(top, 9924 / 1200.0);
  EXPECT_LT(right, 14028 / 1200.0);
  EXPECT_LT(bottom, 20400 / 1200.0);
  EXPECT_GT(right - left, 0.5);
  EXPECT_GT(bottom - top, 0.5);
  ReceivedImage image;
  ASSERT_EQ(app_.TransferNative(image), TWRC_XFERDONE);
  SimScanWindow window{};
  ASSERT_TRUE(scannerWindow_(&window));
  EXPECT_EQ(window.XResolution, 100u);
  EXPECT_EQ(window.Left, static_cast<DWORD>(std::lround(left * 1200)) * 100 / 1200);
  EXPECT_EQ(window.Top, static_cast<DWORD>(std::lround(top * 1200)) * 100 / 1200);
  ASSERT_EQ(image.Bits, 1);
  EXPECT_NEAR(image.Width, (right - left) * 100, 1.0);
  EXPECT_NEAR(image.Height, (bottom - top) * 100, 1.0);
  // The device's tone table: a curve of the filter library applied to the levels' tone curve.
  BYTE levels[256];
  ToneCurveFromLevels(levels, 200, 10, 255, 0, 240);
  BYTE tones[256] = {};
  ASSERT_TRUE(scannerToneTable_(tones));
  const int curve = ScanToneCurve(tones, levels);
  ASSERT_GE(curve, 0);
  // Every pixel is the pattern's grey at its bed position through the levels' curve (in the
  // scan's form), quantised as the window asks; the curve changes a good share of them.
  DWORD changed = 0;
  for (DWORD y = 0; y < image.Height; ++y)
    for (DWORD x = 0; x < image.Width; ++x) {
      const DWORD bx = window.Left + x, by = window.Top + y;
      const BYTE grey = SimPattern8(bx, by);
      const BYTE toned = SimFilterCurve(curve, 255 - levels[255 - grey]);
      const int expected = SimToneBit(toned, window.Composition, window.Threshold, bx, by);
      ASSERT_EQ(image.Value(x, y), static_cast<DWORD>(expected)) << x << "," << y;
      if (expected != SimToneBit(grey, window.Composition, window.Threshold, bx, by)) ++changed;
    }
  EXPECT_GT(changed, image.Width * image.Height / 20);
  TW_INT16 pending = 0;
  EXPECT_EQ(app_.EndTransfer(&pending), TWRC_SUCCESS);
}

// The dialog and its about box take the double-byte templates (1021, 1022) for the Japanese and
// Korean character sets only; Chinese and single-byte sets take the wide ones (107, 238). The
// about box shows its texts, the module's version and a bold title, opens the maker's page and
// draws the Chinese picture for the Chinese sets.
TEST_F(ScanDialogTest, TemplatesAndTheAboutBoxFollowTheCharacterSet) {
  struct Case {
    UINT codePage;
    bool doubleByte;  // the template of the Japanese and Korean sets
    bool chinese;
  };
  constexpr Case kCases[] = {{1252, false, false}, {932, true, false}, {949, true, false}, {936, false, true}, {950, false, true}};
  ReferenceImage pictures[2];  // the about box's picture: other sets, Chinese sets
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.codePage);
    ASSERT_TRUE(SimSetAnsiCodePage(c.codePage));
    OpenDialog();
    RECT client{}, wide{0, 0, 430, 300}, doubleByte{0, 0, 454, 300};
    GetClientRect(dialog_, &client);
    ASSERT_TRUE(MapDialogRect(dialog_, &wide));
    ASSERT_TRUE(MapDialogRect(dialog_, &doubleByte));
    ASSERT_NE(wide.right, doubleByte.right);
    EXPECT_EQ(client.right, c.doubleByte ? doubleByte.right : wide.right);
    const size_t shellCalls = SimShellLog().size();
    bool driven = false;
    SimOnDialog([&](HWND box) {
      driven = true;
      EXPECT_EQ(Text(box), u"Scriptora Duo Local Scan");
      EXPECT_EQ(Text(GetDlgItem(box, 1221)), u"Twain Drv");
      EXPECT_EQ(Text(GetDlgItem(box, 1224)), u"Scanner\r\nready");  // the companion library's text
      WORD parts[4] = {};
      const std::u16string version = Text(GetDlgItem(box, 1223));
      EXPECT_EQ(std::swscanf(std::wstring(version.begin(), version.end()).c_str(), L"Version %hu. %hu. %hu. %hu", &parts[0],
                             &parts[1], &parts[2], &parts[3]),
                4)
          << std::string(version.begin(), version.end());
      LOGFONTW title{};
      const auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(GetDlgItem(box, 1221), WM_GETFONT, 0, 0));
      ASSERT_NE(GetObjectW(font, sizeof title, &title), 0);
      EXPECT_EQ(title.lfWeight, 700);
      EXPECT_EQ(title.lfHeight, 18);
      ASSERT_TRUE(SimWindowPicture(GetDlgItem(box, 1175), pictures[c.chinese ? 1 : 0]));
      EXPECT_TRUE(SimClick(GetDlgItem(box, 1062)));  // the maker's page
      EXPECT_TRUE(SimClick(GetDlgItem(box, IDOK)));
    });
    ASSERT_TRUE(SimClick(Item(kIdAbout)));
    EXPECT_TRUE(driven);
    const std::vector<SimModal> modals = SimModalLog();
    ASSERT_FALSE(modals.empty());
    EXPECT_EQ(modals.back().templateId, c.doubleByte ? 1022 : 238);
    EXPECT_EQ(modals.back().result, 1);
    const std::vector<SimShellCall> shell = SimShellLog();
    ASSERT_EQ(shell.size(), shellCalls + 1);
    EXPECT_EQ(shell.back().verb, u"open");
    EXPECT_EQ(shell.back().file, u"https://www.varnoquelmar.example/");
    ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
    ASSERT_EQ(app_.Close(), TWRC_SUCCESS);
  }
  ASSERT_GT(pictures[0].width, 0);
  EXPECT_NE(pictures[0].pixels, pictures[1].pixels);
}

// A preview pressed after Scan (state 6, before the application transfers) leaves the transfer
// processed as a scan: the device gets the scan's tone table, not the preview's.
TEST_F(ScanDialogTest, APreviewAfterScanLeavesTheTransferAScan) {
  OpenDialog();
  ASSERT_TRUE(SimPickCombo(Item(kIdTypeCombo), 1));        // Photo
  ASSERT_TRUE(SimPickCombo(Item(kIdAreaSizeCombo), 2));    // A5
  ASSERT_TRUE(SimPickCombo(Item(kIdResolutionCombo), 5));  // 100 dpi
  SendMessageW(Item(kIdGamma), EM_SETSEL, 0, -1);
  ASSERT_TRUE(SimType(Item(kIdGamma), u"2"));
  ASSERT_TRUE(SimKey(Item(kIdGamma), VK_RETURN));
  ASSERT_TRUE(SimClick(Item(kIdScan)));
  ASSERT_EQ(State(), 6);
  ASSERT_TRUE(SimClick(Item(kIdPreview)));
  SimPumpMessages();
  ReceivedImage image;
  ASSERT_EQ(app_.TransferNative(image), TWRC_XFERDONE);
  BYTE levels[256];
  ToneCurveFromLevels(levels, 200, 0, 255, 0, 255);
  BYTE tones[256] = {};
  ASSERT_TRUE(scannerToneTable_(tones));
  EXPECT_NE(std::memcmp(tones, levels, 256), 0);  // the preview's table would be the levels' own
  EXPECT_TRUE(IsScanToneTable(tones, levels));
  TW_INT16 pending = 0;
  EXPECT_EQ(app_.EndTransfer(&pending), TWRC_SUCCESS);
}

// Every push button's caption fits inside the button's edges, in the template the double-byte
// character sets get and in the other one.
TEST_F(ScanDialogTest, ButtonCaptionsFitTheirButtons) {
  for (UINT codePage : {932u, 1252u}) {
    SCOPED_TRACE(codePage);
    SimSetAnsiCodePage(codePage);
    OpenDialog();
    for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      char16_t name[32] = {};
      GetClassNameW(child, reinterpret_cast<LPWSTR>(name), 32);
      if (std::u16string(name) != u"Button" || (style & BS_TYPEMASK) != BS_PUSHBUTTON || !(style & WS_VISIBLE)) continue;
      const std::u16string caption = Text(child);
      HDC dc = GetDC(child);
      HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
      RECT needed{};
      DrawTextW(dc, reinterpret_cast<LPCWSTR>(caption.c_str()), static_cast<int>(caption.size()), &needed,
                DT_CALCRECT | DT_SINGLELINE);
      SelectObject(dc, old);
      ReleaseDC(child, dc);
      RECT client{};
      GetClientRect(child, &client);
      constexpr LONG kEdges = 2 * 3;  // the 3D edges and a pixel of air on each side
      EXPECT_LE(needed.right - needed.left + kEdges, client.right) << GetDlgCtrlID(child);
    }
    ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
    ASSERT_EQ(app_.Close(), TWRC_SUCCESS);
  }
}

// Pixels of the picture inside a rectangle of it that have the colour (0xRRGGBB).
int CountColour(const ReferenceImage& picture, const RECT& r, std::uint32_t colour) {
  int n = 0;
  for (LONG y = std::max<LONG>(r.top, 0); y < std::min<LONG>(r.bottom, picture.height); ++y)
    for (LONG x = std::max<LONG>(r.left, 0); x < std::min<LONG>(r.right, picture.width); ++x)
      n += (picture.pixels[size_t(y) * size_t(picture.width) + size_t(x)] & 0xFFFFFF) == colour;
  return n;
}

// The kept picture of the dialog under an application's window after a preview and a moved
// frame, as a person sees it (the frame's marching ants drawn); rewrite it after an intended
// change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_scanner_ui_scan_dialog --gtest_filter='*Screenshot*'
TEST_F(ScanDialogTest, ScreenshotOfTheDialogAfterAPreviewAndAMovedFrame) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.lpszClassName = u"QvScanningApp";
  RegisterClassW(&wc);
  HWND application = CreateWindowExW(0, u"QvScanningApp", u"Application", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 200,
                                     500, 400, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(application, nullptr);
  OpenDialog(TRUE, false, application);
  ASSERT_TRUE(SimPickCombo(Item(kIdTypeCombo), 1));      // Photo: the levels group
  ASSERT_TRUE(SimPickCombo(Item(kIdAreaSizeCombo), 2));  // A5
  ASSERT_TRUE(SimClick(Item(kIdPreview)));
  SimPumpMessages();
  HWND preview = nullptr;
  for (HWND child = GetWindow(dialog_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char16_t name[32] = {};
    GetClassNameW(child, reinterpret_cast<LPWSTR>(name), 32);
    if (std::u16string(name) == u"PrevCtl_tarn_ibg") preview = child;
  }
  ASSERT_NE(preview, nullptr);
  // The A5 frame (0, 0 to 6992, 9920 on the bed) is moved by a drag from inside it, 3 inches
  // right and 4 down.
  constexpr RECT kA5{0, 0, 6992, 9920};
  constexpr LONG kRight = 3600, kDown = 4800;
  const RECT drag = DocumentRectToClient(preview, RECT{3496, 4960, 3496 + kRight, 4960 + kDown}, 100);
  SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(drag.left, drag.top));
  SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(drag.right, drag.bottom));
  SendMessageW(preview, WM_LBUTTONUP, 0, MAKELPARAM(drag.right, drag.bottom));

  ReferenceImage picture;
  ASSERT_TRUE(SeenPicture(dialog_, picture));
  // The moved frame is there, as a person sees it: blue outline and yellow dashes around its
  // top-left corner, none where the frame was before.
  RECT dialogRect{}, previewRect{};
  GetWindowRect(dialog_, &dialogRect);
  GetWindowRect(preview, &previewRect);
  RECT clientOrigin{0, 0, 0, 0};
  MapWindowPoints(preview, nullptr, reinterpret_cast<POINT*>(&clientOrigin), 1);
  auto cornerBox = [&](LONG x, LONG y) {
    const RECT corner = DocumentRectToClient(preview, RECT{x, y, x, y}, 100);
    const LONG px = corner.left + clientOrigin.left - dialogRect.left, py = corner.top + clientOrigin.top - dialogRect.top;
    return RECT{px - 3, py - 3, px + 12, py + 12};
  };
  const RECT moved = cornerBox(kA5.left + kRight, kA5.top + kDown);
  EXPECT_GT(CountColour(picture, moved, 0x0000FF), 8);
  EXPECT_GT(CountColour(picture, moved, 0xFFFF00), 4);
  const RECT before = cornerBox(kA5.right, kA5.bottom);  // inside the moved frame now
  EXPECT_EQ(CountColour(picture, before, 0x0000FF) + CountColour(picture, before, 0xFFFF00), 0);
  const std::string fixture = std::string(QV_SOURCE_DIR) + "/tests/scanner/ui/data/scan_dialog.png";
  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(picture, fixture));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(fixture, kept)) << fixture;
  EXPECT_LE(CompareReferenceImages(picture, kept, 48), 0.01);
  app_.Disable();
  app_.Close();
  DestroyWindow(application);
  UnregisterClassW(u"QvScanningApp", nullptr);
}

// The dialog made by the data source's code linked into the test, for settings that no
// application can negotiate (one-bit scans stop at 600 dpi).
class ScanDialogCodeTest : public ScannerCodeTest {
 protected:
  void SetUp() override {
    ScannerCodeTest::SetUp();
    LoadScannerSimulation();
    manager_ = LoadLibraryW(u"TWAIN_32.DLL");
    ASSERT_NE(manager_, nullptr);
    dsmReset_ = Bind<SimDsmResetProc>(manager_, "SimDsmReset");
    dsmCount_ = Bind<SimDsmCallCountProc>(manager_, "SimDsmCallCount");
    dsmReset_();
    SimSetAnsiCodePage(932);
  }
  void TearDown() override {
    DestroyScanDialog();
    UnregisterScannerWindowClasses();
    FreeLibrary(manager_);
    ScannerCodeTest::TearDown();
  }
  HMODULE manager_ = nullptr;
  SimDsmResetProc dsmReset_ = nullptr;
  SimDsmCallCountProc dsmCount_ = nullptr;
};

TEST_F(ScanDialogCodeTest, AnOversizedImageShowsTheWarningAndSendsNothing) {
  ImageRecord record{};
  SetImageRecordDefaults(record);
  HWND dialog = CreateScanDialog(record);
  ASSERT_NE(dialog, nullptr);
  struct Case {
    const char* what;
    LONG dpi;
    RECT area;
    bool refused;
  } cases[] = {
      {"A3 at 1200 dpi is more pixels than allowed", 1200, {0, 0, 14028, 19850}, true},
      {"30000 pixels across is refused though the product is small", 9600, {0, 0, 3750, 12}, true},
      {"30000 lines are refused", 9600, {0, 0, 12, 3750}, true},
      {"29992 pixels across pass", 9600, {0, 0, 3749, 12}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SimMessageBoxReset();
    dsmReset_();
    g_ScanSettings.XResolution = g_ScanSettings.YResolution = c.dpi;
    g_ScanSettings.ScanArea = c.area;
    ASSERT_TRUE(SimClick(GetDlgItem(dialog, kIdScan)));
    const auto boxes = SimMessageBoxLog();
    if (c.refused) {
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_TRUE(boxes[0].ansi);
      EXPECT_EQ(boxes[0].caption, u"警告");
      EXPECT_EQ(boxes[0].text.substr(0, 5), u"スキャン画");
      EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_SYSTEMMODAL | MB_ICONWARNING));
      EXPECT_EQ(dsmCount_(), 0u);
    } else {
      EXPECT_TRUE(boxes.empty());
      EXPECT_EQ(dsmCount_(), 1u);
    }
  }
}

class SizeEstimateTest : public ScannerCodeTest {};

TEST_F(SizeEstimateTest, SwitchesFromKilobytesToMegabytesAtOneMebibyte) {
  ScanSettings s{};
  ResetScanSettings(s);
  s.XResolution = s.YResolution = 1200;
  s.ScalePercent = 100;
  struct Case {
    WORD type;
    LONG width, length;  // pixels at 1200 dpi
    WORD rotation;
    const char* text;
  } cases[] = {
      {4, 1024, 341, 0, "1023.0KB"},    // 24-bit: 3072 bytes a line, 1,047,552 bytes
      {4, 1024, 342, 0, "1.0MB"},       // 1,050,624 bytes
      {6, 1024, 1024, 0, "1.0MB"},      // 8-bit: exactly 1,048,576
      {0, 100, 10, 0, "0.2KB"},         // one bit: 16 bytes a line
      {0, 10, 100, 1, "0.2KB"},         // turned: the length is the line
      {7, 10, 10, 0, "0.6KB"},          // 48-bit: 60 bytes a line
      {2, 1024, 1024, 0, ""},           // no estimate
      {16, 1024, 1024, 0, ""},
  };
  for (const Case& c : cases) {
    s.ScanTypeCode = c.type;
    s.Rotation = c.rotation;
    s.ScanArea = RECT{0, 0, c.width, c.length};
    char text[kSizeTextChars] = "x";
    EstimateImageSize(s, text, sizeof text);
    EXPECT_STREQ(text, c.text) << c.type << " " << c.width << " x " << c.length;
  }
}

}  // namespace
