// Dialog fonts and background (see dialog_fonts.h).
#include "platform/user/dialog_fonts.h"

#include <algorithm>

#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/user/sys_colors.h"
#include "platform/user/window.h"

// The screen's resolution the point size is turned to pixels with.
constexpr int kScreenDpi = 96;

HFONT UserMakeDialogFont(const std::u16string& face, WORD pointSize, WORD weight, BYTE italic, BYTE charset) {
  LOGFONTW lf{};
  lf.lfHeight = -LONG((pointSize * kScreenDpi + 36) / 72);
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfCharSet = charset;
  size_t n = std::min<size_t>(face.size(), LF_FACESIZE - 1);
  std::copy_n(face.data(), n, lf.lfFaceName);
  lf.lfFaceName[n] = 0;
  return CreateFontIndirectW(&lf);
}

void UserFreeDialogFont(HFONT font) {
  if (font != nullptr) DeleteObject(font);
}

LRESULT UserEraseDialogBackground(HWND dialog, HDC dc) {
  RECT client;
  GetClientRect(dialog, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  return 1;
}
