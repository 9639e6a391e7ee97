// The progress window (see progress_window.h): dialog 1020 with Cancel and the bar of class
// "ProgressCtl" over the placeholder 1167, stepped by the transfers.
#include "scanner/ui/progress_window.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/text.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/time.h"
#include "platform/user/cursors.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "scanner/data_source.h"
#include "scanner/system_routines.h"
#include "scanner/ui/scan_dialog.h"
#include "scanner/ui/mapping.h"
#include "scanner/ui/ui_text.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr char16_t kBarClass[] = u"ProgressCtl";
constexpr COLORREF kBarColour = 0xFF0000;  // blue
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr DWORD kFinishedPause = 100;
constexpr int kFitMargin = 2;
// The layer's cell height of a font whose height is 0.
constexpr LONG kDefaultFontHeight = 16;
constexpr UINT kRedrawFlags = RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME;
// Repaints closer together than this are more than a person can follow: within it the steps
// and updates only mark what changed, and the next paint after it shows all of it at once.
constexpr DWORD kRepaintMilliseconds = 50;

struct ProgressWindow {
  HWND Dialog;
  HWND Bar;
  ProgressState State;
  BOOL Shown = TRUE;
  HCURSOR KeptCursor;
  BOOL Closing;
  BOOL Cancelled;
  DWORD LastPaint;  // tick count of the window's last paint (or of its opening)
};

ProgressWindow g_Progress{};

void CreateBar(HWND dialog) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ProgressBarProc;
  wc.hInstance = g_Instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = reinterpret_cast<LPCWSTR>(kBarClass);
  RegisterClassW(&wc);  // a class that exists already is used as it is
  RECT place{};
  ItemRectInDialog(dialog, kIdProgressBarPlace, place);  // without the placeholder: an empty bar
  g_Progress.Bar = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_TOPMOST, reinterpret_cast<LPCWSTR>(kBarClass), u"",
                                   WS_CHILD, place.left, place.top, place.right - place.left, place.bottom - place.top,
                                   dialog, nullptr, g_Instance, &g_Progress.State);
  if (g_Progress.Bar != nullptr && g_Progress.Shown) ShowWindow(g_Progress.Bar, SW_SHOWNA);
}

// The whole percent the bar shows.
int BarPercent(const ProgressState& s) { return s.Total == 0 ? 0 : static_cast<int>(s.Done * 100 / s.Total); }

// The last fit: the bar is painted again on every step, mostly with the same text, and the
// measuring is the costly part of its painting.
struct FontFit {
  LOGFONTW Wanted;  // the font asked for, with the height the fitting starts from
  std::u16string Text;
  LONG RoomX, RoomY;
  LONG Height;  // the height that fitted
};
std::optional<FontFit> g_LastFit;

// The largest font, from the DC's current one down, in which the text fits the client
// rectangle less 2 pixels on each side; never below a height of 1.
HFONT FitFont(HDC dc, const std::u16string& text, const RECT& client) {
  LOGFONTW current{};
  GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof current, &current);
  LONG height = current.lfHeight < 0 ? -current.lfHeight : current.lfHeight;
  if (height == 0) height = kDefaultFontHeight;
  const std::u16string face = LoadUiText(kTextDialogFace);
  LOGFONTW wanted{};
  wanted.lfWeight = current.lfWeight;
  wanted.lfItalic = current.lfItalic;
  wanted.lfUnderline = current.lfUnderline;
  wanted.lfStrikeOut = current.lfStrikeOut;
  wanted.lfCharSet = current.lfCharSet;
  wanted.lfPitchAndFamily = current.lfPitchAndFamily;
  for (size_t i = 0; i < face.size() && i < 31; ++i) wanted.lfFaceName[i] = face[i];
  wanted.lfHeight = height;
  const LONG roomX = client.right - client.left - 2 * kFitMargin, roomY = client.bottom - client.top - 2 * kFitMargin;
  // The same request as last time fits at the same height: only that font is made.
  if (g_LastFit && g_LastFit->Text == text && g_LastFit->RoomX == roomX && g_LastFit->RoomY == roomY &&
      std::memcmp(&g_LastFit->Wanted, &wanted, sizeof wanted) == 0) {
    wanted.lfHeight = g_LastFit->Height;
    return CreateFontIndirectW(&wanted);
  }
  const LOGFONTW key = wanted;
  for (;; --height) {
    wanted.lfHeight = height;
    HFONT font = CreateFontIndirectW(&wanted);
    if (font == nullptr) return font;
    bool fits = height <= 1;
    if (!fits) {
      HGDIOBJ old = SelectObject(dc, font);
      RECT measured{0, 0, 0, 0};
      DrawTextW(dc, W(text), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(dc, old);
      fits = measured.right < roomX && measured.bottom < roomY;
    }
    if (fits) {
      g_LastFit = FontFit{key, text, roomX, roomY, height};
      return font;
    }
    DeleteObject(font);
  }
}

void PaintBar(HWND bar) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(bar, &ps);
  if (dc == nullptr) return;
  RECT client{};
  GetClientRect(bar, &client);
  const ProgressState& s = g_Progress.State;
  const int percent = BarPercent(s);
  const LONG filledTo = MapLinear(percent, 0, 100, 0, client.right);
  HBRUSH blue = CreateSolidBrush(kBarColour);
  const RECT filled{0, 0, filledTo, client.bottom};
  FillRect(dc, &filled, blue);
  DeleteObject(blue);
  std::u16string text;
  if (s.MessageId != 0) {
    text = LoadUiText(s.MessageId);
  } else if (percent == 0) {
    text = LoadUiText(kTextPleaseWait);
  } else {
    char line[64];
    std::snprintf(line, sizeof line, "       %d%%       ", percent);
    text.assign(line, line + std::char_traits<char>::length(line));
  }
  HFONT font = FitFont(dc, text, client);
  HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
  RECT measured{0, 0, 0, 0};
  DrawTextW(dc, W(text), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int x = client.right / 2, y = client.bottom / 2 - measured.bottom / 2;
  SetTextAlign(dc, TA_CENTER);
  SetTextColor(dc, kWhite);
  SetBkColor(dc, kBarColour);
  ExtTextOutW(dc, x, y, ETO_CLIPPED, &filled, W(text), static_cast<UINT>(text.size()), nullptr);
  const RECT rest{filledTo, 0, client.right, client.bottom};
  SetTextColor(dc, kBarColour);
  SetBkColor(dc, kWhite);
  ExtTextOutW(dc, x, y, ETO_CLIPPED, &rest, W(text), static_cast<UINT>(text.size()), nullptr);
  if (font != nullptr) {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  EndPaint(bar, &ps);
}

// Paints what is marked in the progress window, the dialog and then its bar, at once or when a
// person would see the change (kRepaintMilliseconds after the last paint).
void PaintMarkedParts(HWND dialog, BOOL atOnce) {
  const DWORD now = GetTickCount();
  if (!atOnce && now - g_Progress.LastPaint < kRepaintMilliseconds) return;
  g_Progress.LastPaint = now;
  UpdateWindow(dialog);
  if (g_Progress.Bar != nullptr) RedrawWindow(g_Progress.Bar, nullptr, nullptr, RDW_UPDATENOW);
}

}  // namespace

void SetProgressShown(BOOL shown) { g_Progress.Shown = shown; }
HWND ProgressDialogWindow() { return g_Progress.Dialog; }
BOOL ProgressWindowOpen() { return g_Progress.Dialog != nullptr; }
BOOL ProgressCancelled() { return g_Progress.Cancelled; }
const ProgressState& CurrentProgress() { return g_Progress.State; }

HWND OpenProgressWindow(double total) {
  if (g_Progress.Dialog != nullptr) return nullptr;
  g_Progress.Cancelled = FALSE;
  g_Progress.LastPaint = GetTickCount();
  HWND owner = g_ParentWindow;
  HWND main = ScanDialogWindow();
  if (main != nullptr) {
    g_Progress.KeptCursor = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    EnableWindow(main, FALSE);
    owner = main;
  }
  g_Progress.Dialog = CreateDialogParamW(g_Instance, MAKEINTRESOURCEW(kProgressTemplate), owner, ProgressDialogProc,
                                         reinterpret_cast<LPARAM>(&total));
  if (g_Progress.Dialog == nullptr) {
    if (main != nullptr) {
      EnableWindow(main, TRUE);
      SetCursor(g_Progress.KeptCursor);
    }
    return nullptr;
  }
  if (g_Progress.Shown) {
    SetDlgItemTextW(g_Progress.Dialog, kIdProgressCancel, W(LoadUiText(kTextCancel)));
    SetWindowTextW(g_Progress.Dialog, W(LoadUiText(kTextProgressCaption)));
    ShowWindow(g_Progress.Dialog, SW_SHOWNA);
  }
  return g_Progress.Dialog;
}

BOOL StepProgress(double amount) {
  if (g_Progress.Dialog == nullptr || !IsWindow(g_Progress.Dialog)) return FALSE;
  SendMessageW(g_Progress.Dialog, PDM_STEP, 0, static_cast<LPARAM>(amount));
  return TRUE;
}

BOOL StepProgressCancelled(double amount) {
  StepProgress(amount);
  return g_Progress.Cancelled;
}

BOOL ScaleProgressTotal(double factor) {
  if (g_Progress.Dialog == nullptr || !IsWindow(g_Progress.Dialog)) return FALSE;
  SendMessageW(g_Progress.Dialog, PDM_SCALETOTAL, 0, static_cast<LPARAM>(factor));
  return TRUE;
}

BOOL PumpProgressMessages() {
  if (g_Progress.Dialog == nullptr) return FALSE;
  for (;;) {
    MSG msg{};
    HWND main = ScanDialogWindow();
    if (main != nullptr && PeekMessageW(&msg, main, 0, 0, PM_REMOVE)) IsDialogMessageW(main, &msg);
    if (g_Progress.Dialog == nullptr) return TRUE;
    if (!PeekMessageW(&msg, g_Progress.Dialog, 0, 0, PM_REMOVE)) break;
    IsDialogMessageW(g_Progress.Dialog, &msg);
    if (g_Progress.Dialog == nullptr) return TRUE;
  }
  PostMessageW(g_Progress.Dialog, PDM_UPDATE, 0, 0);
  return TRUE;
}

BOOL CloseProgressWindow(BOOL atOnce) {
  if (g_Progress.Dialog == nullptr || g_Progress.Closing) return FALSE;
  g_Progress.Closing = TRUE;
  HWND dialog = g_Progress.Dialog;
  if (!atOnce) {
    SendMessageW(dialog, PDM_FINISH, 0, 0);
    Sleep(kFinishedPause);
  }
  if (IsWindow(dialog)) DestroyWindow(dialog);
  g_Progress.Dialog = nullptr;
  HWND main = ScanDialogWindow();
  if (main != nullptr) {
    EnableWindow(main, TRUE);
    SetActiveWindow(main);
    SetForegroundWindow(main);
    SetCursor(g_Progress.KeptCursor);
  }
  g_Progress.Closing = FALSE;
  return TRUE;
}

INT_PTR ProgressDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  ProgressState& s = g_Progress.State;
  switch (msg) {
    case WM_INITDIALOG:
      s.MessageId = kTextPleaseWait;
      CreateBar(dialog);
      s.Done = 0;
      s.Total = *reinterpret_cast<const double*>(lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kIdProgressCancel) {
        g_Progress.Cancelled = TRUE;
        CloseProgressWindow(TRUE);
      }
      return TRUE;
    case PDM_STEP: {
      // The bar shows whole percents: a step that leaves the percent and the text as they were
      // would paint the same pixels again, and is not marked.
      const bool textShown = s.MessageId != 0, first = s.Done == 0;
      const int before = BarPercent(s);
      s.MessageId = 0;
      if (first) RedrawWindow(g_Progress.Bar, nullptr, nullptr, kRedrawFlags & ~RDW_UPDATENOW);
      s.Done += static_cast<double>(lParam);
      if (s.Done > s.Total) s.Done = s.Total;
      if (first || textShown || BarPercent(s) != before)
        RedrawWindow(g_Progress.Bar, nullptr, nullptr, kRedrawFlags & ~(RDW_ERASE | RDW_UPDATENOW));
      PaintMarkedParts(dialog, FALSE);
      return TRUE;
    }
    case PDM_FINISH:
      // The finished window is shown as it is, whenever it was painted last.
      EnableWindow(GetDlgItem(dialog, kIdProgressCancel), FALSE);
      s.MessageId = kTextFinished;
      RedrawWindow(g_Progress.Bar, nullptr, nullptr, kRedrawFlags & ~RDW_UPDATENOW);
      PaintMarkedParts(dialog, TRUE);
      return TRUE;
    case PDM_SCALETOTAL:
      s.Total *= static_cast<double>(lParam);
      return TRUE;
    case PDM_UPDATE:
      PaintMarkedParts(dialog, FALSE);
      return TRUE;
    case WM_DESTROY:
      if (g_Progress.Bar != nullptr) DestroyWindow(g_Progress.Bar);
      g_Progress.Bar = nullptr;
      return TRUE;
  }
  return FALSE;
}

LRESULT ProgressBarProc(HWND bar, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_PAINT) {
    PaintBar(bar);
    return 0;
  }
  return DefWindowProcW(bar, msg, wParam, lParam);
}
