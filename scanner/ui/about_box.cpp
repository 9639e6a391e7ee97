// The scan dialog's about box: the product's picture and texts, the module's version, and a
// button that opens the maker's web page.
#include <string>

#include "platform/dialogs/shellapi.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"
#include "scanner/system_routines.h"
#include "scanner/ui/drawing.h"
#include "scanner/ui/scan_dialog.h"
#include "scanner/ui/ui_text.h"

namespace {

constexpr UINT kTextAboutCaption = 3013;
constexpr UINT kTextTitle = 3098;
constexpr UINT kTextVersion = 1076;
constexpr UINT kTextWebAddress = 1060;
constexpr int kIdTitle = 1221;
constexpr int kIdVersion = 1223;
constexpr int kIdHomePage = 1062;
constexpr int kIdPicture = 1175;
constexpr WORD kBitmapPicture = 110;
constexpr WORD kBitmapPictureChinese = 258;
constexpr LONG kTitleHeight = 18;
constexpr LONG kTitleWeight = 700;

struct CaptionRow {
  int Control;
  UINT StringId;
};
constexpr CaptionRow kAboutTexts[] = {{1222, 3098}, {1224, 3099}, {IDOK, 3015}, {kIdHomePage, 3014}};

HFONT g_TitleFont;

// The version text: each "%d" of the format takes the next of the four parts; anything else
// in the format (which the companion library may replace) is copied as it stands.
std::u16string VersionText() {
  WORD parts[4] = {};
  GetModuleVersion(g_Instance, &parts[0], &parts[1], &parts[2], &parts[3]);
  const std::u16string format = LoadUiText(kTextVersion);
  std::u16string text;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'd' && next < 4) {
      for (char c : std::to_string(parts[next++])) text += static_cast<char16_t>(c);
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

void InitAboutBox(HWND box) {
  SetWindowTextW(box, W(LoadUiText(kTextAboutCaption)));
  for (const CaptionRow& row : kAboutTexts) {
    const std::u16string text = LoadUiText(row.StringId);
    if (!text.empty()) SetDlgItemTextW(box, row.Control, W(text));
  }
  SetDlgItemTextW(box, kIdVersion, W(VersionText()));
  HWND title = GetDlgItem(box, kIdTitle);
  LOGFONTW font{};
  HGDIOBJ current = reinterpret_cast<HGDIOBJ>(SendMessageW(title, WM_GETFONT, 0, 0));
  if (current != nullptr && GetObjectW(current, sizeof font, &font) != 0) {
    font.lfHeight = kTitleHeight;
    font.lfWeight = kTitleWeight;
    g_TitleFont = CreateFontIndirectW(&font);
    if (g_TitleFont != nullptr) SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(g_TitleFont), TRUE);
  }
  SetWindowTextW(title, W(LoadUiText(kTextTitle)));
}

void OpenHomePage(HWND box) {
  const std::u16string address = LoadUiText(kTextWebAddress);
  if (address.empty()) return;
  ShellExecuteW(box, u"open", W(address), nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR AboutBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      InitAboutBox(box);
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item == nullptr || item->CtlID != kIdPicture) return FALSE;
      DrawBitmapKeyed(item->hDC, item->rcItem.left, item->rcItem.top,
                      IsChineseCharset(box) ? kBitmapPictureChinese : kBitmapPicture);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: EndDialog(box, 1); return TRUE;
        case IDCANCEL: EndDialog(box, 0); return TRUE;
        case kIdHomePage: OpenHomePage(box); return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (g_TitleFont != nullptr) DeleteObject(g_TitleFont);
      g_TitleFont = nullptr;
      return TRUE;
  }
  return FALSE;
}

}  // namespace

INT_PTR ShowAboutBox(HWND dialog) {
  const WORD boxTemplate = IsCjkCharset(dialog) && !IsChineseCharset(dialog) ? kAboutTemplateDoubleByte : kAboutTemplate;
  return DialogBoxParamW(g_Instance, MAKEINTRESOURCEW(boxTemplate), dialog, AboutBoxProc, 0);
}
