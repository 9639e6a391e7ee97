// Image lists: icons copied in at the list's size (the caller keeps its own), replaced,
// removed, drawn with their masks, and every copy destroyed with the list.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class ImageListTest : public SandboxTest {};

// The pixel at (x, y) of a 32-bit top-down picture drawn by `draw` over grey.
template <typename Draw>
DWORD PixelAfter(int x, int y, Draw draw) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -32, 1, 32, 0, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH grey = CreateSolidBrush(RGB(128, 128, 128));
  RECT all{0, 0, 32, 32};
  FillRect(dc, &all, grey);
  DeleteObject(grey);
  draw(dc);
  DWORD pixel = static_cast<const DWORD*>(bits)[y * 32 + x] & 0xFFFFFF;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixel;
}

TEST_F(ImageListTest, IconsAreCopiedDrawnAndDestroyedWithTheList) {
  HMODULE resources = LoadLibraryExW(u"comctl_test.qrs", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(resources, nullptr);
  HICON icon = LoadIconW(resources, MAKEINTRESOURCEW(200));
  ASSERT_NE(icon, nullptr);
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_AddIcon(list, icon), 0);
  EXPECT_EQ(ImageList_AddIcon(list, icon), 1);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 1, icon), 1);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 5, icon), -1);
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, 16);
  // The copy draws as the icon does at that size, its transparent parts included.
  for (POINT at : {POINT{1, 1}, POINT{8, 8}, POINT{15, 15}}) {
    DWORD drawn = PixelAfter(at.x, at.y, [&](HDC dc) { ImageList_Draw(list, 0, dc, 0, 0, ILD_TRANSPARENT); });
    DWORD original = PixelAfter(at.x, at.y, [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, 16, 16, 0, nullptr, DI_NORMAL); });
    EXPECT_EQ(drawn, original) << at.x << "," << at.y;
  }
  EXPECT_FALSE(ImageList_Draw(list, 2, nullptr, 0, 0, ILD_NORMAL));
  HICON out = ImageList_GetIcon(list, 0, ILD_NORMAL);
  ASSERT_NE(out, nullptr);
  EXPECT_TRUE(DestroyIcon(out));
  EXPECT_EQ(ImageList_SetBkColor(list, RGB(1, 2, 3)), COLORREF(CLR_NONE));
  EXPECT_EQ(ImageList_GetBkColor(list), RGB(1, 2, 3));
  EXPECT_TRUE(ImageList_Remove(list, 0));
  EXPECT_EQ(ImageList_GetImageCount(list), 1);
  EXPECT_TRUE(ImageList_Remove(list, -1));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  ImageList_AddIcon(list, icon);
  EXPECT_EQ(SimLiveImageLists(), 1);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_Destroy(list));
  EXPECT_EQ(SimLiveImageLists(), 0);
  EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR32, 1, 1), nullptr);
  DestroyIcon(icon);
  FreeLibrary(resources);
}

TEST_F(ImageListTest, ADrawnImageNamesTheIconItWasCopiedFrom) {
  HMODULE resources = LoadLibraryExW(u"comctl_test.qrs", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(resources, nullptr);
  HICON icon = LoadIconW(resources, MAKEINTRESOURCEW(200));
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
  ASSERT_EQ(ImageList_AddIcon(list, icon), 0);
  HWND window = CreateWindowExW(0, u"#32770", u"", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr, nullptr,
                                nullptr);
  SimPaint(window);
  HDC dc = GetDC(window);
  ASSERT_TRUE(ImageList_Draw(list, 0, dc, 20, 10, ILD_NORMAL));
  ReleaseDC(window, dc);
  std::vector<SimDrawnPicture> pictures = SimDrawnPictures(window);
  ASSERT_EQ(pictures.size(), 1u);
  EXPECT_EQ(pictures[0].kind, SimDrawnPicture::Icon);
  EXPECT_EQ(pictures[0].module, resources);
  EXPECT_EQ(pictures[0].resourceId, 200);
  EXPECT_EQ(pictures[0].rect.left, 20);
  EXPECT_EQ(pictures[0].rect.bottom, 26);
  HICON out = ImageList_GetIcon(list, 0, ILD_NORMAL);
  EXPECT_EQ(SimIconResourceId(out), 200) << "a copy taken out names it too";
  SimPaint(window);
  EXPECT_TRUE(SimDrawnPictures(window).empty()) << "the next paint did not draw it";
  DestroyIcon(out);
  DestroyWindow(window);
  ImageList_Destroy(list);
  DestroyIcon(icon);
  FreeLibrary(resources);
}

}  // namespace
