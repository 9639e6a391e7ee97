// The progress window (see progress_window.h): dialog 1020 with Cancel and the bar of class
// "ProgressCtl" over the placeholder 1167, stepped by the transfers.
#include "scanner/ui/progress_window.h"

#include <cstdio>
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

struct ProgressWindow {
  HWND Dialog;
  HWND Bar;
  ProgressState State;
  BOOL Shown = TRUE;
  HCURSOR KeptCursor;
  BOOL Closing;
  BOOL Cancelled;
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
  HWND placeholder = GetDlgItem(dialog, kIdProgressBarPlace);
  if (placeholder != nullptr) GetWindowRect(placeholder, &place);
  g_Progress.Bar = CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_TOPMOST, reinterpret_cast<LPCWSTR>(kBarClass), u"",
                                   WS_CHILD, place.left, place.top, place.right - place.left, place.bottom - place.top,
                                   dialog, nullptr, g_Instance, &g_Progress.State);
  if (g_Progress.Bar != nullptr && g_Progress.Shown) ShowWindow(g_Progress.Bar, SW_SHOWNA);
}

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
  const LONG roomX = client.right - client.left - 2 * kFitMargin, roomY = client.bottom - client.top - 2 * kFitMargin;
  for (;; --height) {
    wanted.lfHeight = height;
    HFONT font = CreateFontIndirectW(&wanted);
    if (font == nullptr || height <= 1) return font;
    HGDIOBJ old = SelectObject(dc, font);
    RECT measured{0, 0, 0, 0};
    DrawTextW(dc, W(text), -1, &measured, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    if (measured.right < roomX && measured.bottom < roomY) return font;
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
  const int percent = s.Total == 0 ? 0 : static_cast<int>(s.Done * 100 / s.Total);
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

}  // namespace

void SetProgressShown(BOOL shown) { g_Progress.Shown = shown; }
HWND ProgressDialogWindow() { return g_Progress.Dialog; }
BOOL ProgressWindowOpen() { return g_Progress.Dialog != nullptr; }
BOOL ProgressCancelled() { return g_Progress.Cancelled; }
const ProgressState& CurrentProgress() { return g_Progress.State; }

HWND OpenProgressWindow(double total) {
  if (g_Progress.Dialog != nullptr) return nullptr;
  g_Progress.Cancelled = FALSE;
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
    case PDM_STEP:
      s.MessageId = 0;
      if (s.Done == 0) RedrawWindow(g_Progress.Bar, nullptr, nullptr, kRedrawFlags);
      s.Done += static_cast<double>(lParam);
      if (s.Done > s.Total) s.Done = s.Total;
      RedrawWindow(g_Progress.Bar, nullptr, nullptr, kRedrawFlags & ~RDW_ERASE);
      return TRUE;
    case PDM_FINISH:
      EnableWindow(GetDlgItem(dialog, kIdProgressCancel), FALSE);
      s.MessageId = kTextFinished;
      RedrawWindow(g_Progress.Bar, nullptr, nullptr, kRedrawFlags);
      return TRUE;
    case PDM_SCALETOTAL:
      s.Total *= static_cast<double>(lParam);
      return TRUE;
    case PDM_UPDATE:
      UpdateWindow(dialog);
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
