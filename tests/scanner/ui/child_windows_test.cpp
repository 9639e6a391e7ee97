// The windows the data source makes over its dialogs' placeholders (the preview window over the
// scan dialog's two, the progress bar over the progress dialog's one) lie exactly on them, in
// their dialog's own client coordinates, whether the application enables the source with its
// own window (wherever that window is) or with none; and they leave the controls beside them
// free.
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scanner/ui/scan_dialog.h"
#include "scanner/ui/window_ids.h"
#include "tests/support/scanner_fixture.h"

namespace {

constexpr char16_t kAppClass[] = u"QvScanningApp";

RECT ScreenRect(HWND window) {
  RECT r{};
  EXPECT_TRUE(GetWindowRect(window, &r));
  return r;
}

// The client area of a window on the screen.
RECT ScreenClientRect(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT both{};
  return IntersectRect(&both, &a, &b) != FALSE;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

HWND ChildOfClass(HWND parent, const char16_t* className) {
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char16_t name[64] = {};
    GetClassNameW(child, reinterpret_cast<LPWSTR>(name), 64);
    if (std::u16string(name) == className) return child;
  }
  return nullptr;
}

// The top-level window owned by the given one (the progress dialog is owned by the scan dialog).
HWND OwnedWindow(HWND owner) {
  for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
    if (GetWindow(w, GW_OWNER) == owner) return w;
  return nullptr;
}

class ChildWindowTest : public TwainTest {
 protected:
  void SetUp() override {
    TwainTest::SetUp();
    SimSetAnsiCodePage(932);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = reinterpret_cast<LPCWSTR>(kAppClass);
    RegisterClassW(&wc);
  }
  void TearDown() override {
    app_.Disable();
    app_.Close();
    if (window_ != nullptr) DestroyWindow(window_);
    UnregisterClassW(reinterpret_cast<LPCWSTR>(kAppClass), nullptr);
    TwainTest::TearDown();
  }

  HWND window_ = nullptr;
};

TEST_F(ChildWindowTest, PreviewAndProgressBarLieOnTheirPlaceholders) {
  struct Case {
    const char* what;
    bool application;  // the application passes its window
    int x, y;          // where its window is
  } cases[] = {
      {"no application window", false, 0, 0},
      {"application window at 300,200", true, 300, 200},
      {"application window at 40,520", true, 40, 520},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    window_ = c.application ? CreateWindowExW(0, reinterpret_cast<LPCWSTR>(kAppClass), u"Application",
                                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, c.x, c.y, 500, 400, nullptr, nullptr,
                                              nullptr, nullptr)
                            : nullptr;
    ASSERT_EQ(window_ != nullptr, c.application);
    SetupScanner(TRUE, 1, 0);
    ASSERT_EQ(app_.Open(), TWRC_SUCCESS);
    ASSERT_EQ(app_.EnableWithInterface(window_), TWRC_SUCCESS);
    HWND dialog = FindWindowW(nullptr, u"Scriptora Duo Local Scan");
    ASSERT_NE(dialog, nullptr);
    const RECT dialogClient = ScreenClientRect(dialog);

    // The preview spans from the left and bottom of 1035 to the top and right of 1036.
    HWND preview = ChildOfClass(dialog, u"PrevCtl_tarn_ibg");
    ASSERT_NE(preview, nullptr);
    const RECT bottomLeft = ScreenRect(GetDlgItem(dialog, kIdPreviewPlaceBottomLeft));
    const RECT topRight = ScreenRect(GetDlgItem(dialog, kIdPreviewPlaceTopRight));
    const RECT placed = ScreenRect(preview);
    EXPECT_EQ(Describe(placed), Describe(RECT{bottomLeft.left, topRight.top, topRight.right, bottomLeft.bottom}));
    EXPECT_TRUE(Inside(placed, dialogClient)) << Describe(placed) << " in " << Describe(dialogClient);
    for (int id : {kIdWidthReadout, kIdLengthReadout, kIdFrameTool, kIdZoomInTool, kIdZoomOutTool})
      EXPECT_FALSE(Overlap(placed, ScreenRect(GetDlgItem(dialog, id)))) << id;
    EXPECT_TRUE(IsWindowVisible(preview));

    // Scan, then the application's first memory strip opens the progress window over the
    // disabled dialog.
    ASSERT_TRUE(SimClick(GetDlgItem(dialog, kIdScan)));
    std::vector<BYTE> buffer(4096);
    TW_IMAGEMEMXFER strip{};
    strip.Memory.Flags = TWMF_APPOWNS | TWMF_POINTER;
    strip.Memory.Length = static_cast<TW_UINT32>(buffer.size());
    strip.Memory.TheMem = buffer.data();
    ASSERT_EQ(app_.Call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &strip), TWRC_SUCCESS);
    HWND progress = OwnedWindow(dialog);
    ASSERT_NE(progress, nullptr);
    HWND bar = ChildOfClass(progress, u"ProgressCtl");
    ASSERT_NE(bar, nullptr);
    const RECT barPlaced = ScreenRect(bar);
    EXPECT_EQ(Describe(barPlaced), Describe(ScreenRect(GetDlgItem(progress, kIdProgressBarPlace))));
    EXPECT_TRUE(Inside(barPlaced, ScreenClientRect(progress))) << Describe(barPlaced);
    EXPECT_FALSE(Overlap(barPlaced, ScreenRect(GetDlgItem(progress, kIdProgressCancel))));
    EXPECT_TRUE(IsWindowVisible(bar));

    ASSERT_TRUE(SimClick(GetDlgItem(progress, kIdProgressCancel)));
    TW_INT16 pending = 0;
    app_.EndTransfer(&pending);
    ASSERT_EQ(app_.Disable(), TWRC_SUCCESS);
    ASSERT_EQ(app_.Close(), TWRC_SUCCESS);
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }
}

}  // namespace
