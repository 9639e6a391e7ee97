// The preview window (see preview_window.h): its class, creation and destruction, geometry,
// scrolling, the zoom tools, the pointer markers and the two preview images. Painting is in
// preview_paint.cpp, the crop frame in crop_frame.cpp.
#include "scanner/ui/preview_window.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "scanner/filter_library.h"
#include "scanner/scan_run.h"
#include "scanner/system_routines.h"
#include "scanner/ui/crop_frame.h"
#include "scanner/ui/mapping.h"
#include "scanner/ui/preview_paint.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr char16_t kPreviewClass[] = u"PrevCtl_tarn_ibg";
constexpr char16_t kProgressBarClass[] = u"ProgressCtl";
constexpr DWORD kDibHeaderBytes = 40;
// The page's share of the available width, and its height to width (the bed's 20400 / 14028
// in the factors the page geometry has always used).
constexpr double kPageShare = 0.98;
constexpr double kPageHeightFactorA = 2873.164;
constexpr double kPageHeightFactorB = 0.00047262999688064196;
constexpr int kPageMargin = 6;

PreviewImage g_Raw{};
PreviewImage g_Display{};
// While a preview scan's bands arrive the display image is a plain copy of the raw one (not
// rebuilt with the tone settings). The copying waits until the display image is looked at
// (painted or read): bands arrive faster than a person could see them one by one, and the
// finished scan's display image is rebuilt anyway. Whole: the raw block is still to be copied
// whole (header and every row, as with the scan's first band); otherwise the rows from
// CopiedRows up to the lines received are.
struct PlainCopy {
  BOOL Active;
  BOOL Whole;
  DWORD CopiedRows;
};
PlainCopy g_PlainCopy{};
// Blocks of the images freed for a preview scan that follows: the scan and the display copy of
// its first band reuse them instead of touching a whole image's fresh memory again. They are
// freed when that scan ends.
HGLOBAL g_SpareBlocks[2] = {};

ScanSettings* SettingsOf(HWND window) { return reinterpret_cast<ScanSettings*>(GetWindowLongPtrW(window, GWLP_USERDATA)); }

SIZE PageSize(HWND window, WORD zoom) {
  const RECT page = GetPageRect(window, zoom);
  return SIZE{page.right - page.left, page.bottom - page.top};
}

// The image's block with every lock undone, taken out of the image (left empty).
HGLOBAL TakeImageBlock(PreviewImage& image) {
  HGLOBAL block = image.Block;
  if (block != nullptr)
    while (GlobalFlags(block) & GMEM_LOCKCOUNT) GlobalUnlock(block);
  image = PreviewImage{};
  return block;
}

void FreeImage(PreviewImage& image) {
  HGLOBAL block = TakeImageBlock(image);
  if (block != nullptr) GlobalFree(block);
}

void KeepSpareBlock(HGLOBAL block) {
  if (block == nullptr) return;
  for (HGLOBAL& spare : g_SpareBlocks)
    if (spare == nullptr) {
      spare = block;
      return;
    }
  GlobalFree(block);
}

void FreeSpareBlocks() {
  for (HGLOBAL& spare : g_SpareBlocks) {
    if (spare != nullptr) GlobalFree(spare);
    spare = nullptr;
  }
}

SIZE_T ImageBlockBytes(const PreviewImage& image) { return static_cast<SIZE_T>(image.PixelBytes) + kDibHeaderBytes; }

// A block for a copy of the image's header and pixels (not yet copied); null when it cannot be
// made. A spare block large enough is used instead of a new one (a whole image's fresh
// allocation is saved); the spare is freed whenever it is not the block returned.
HGLOBAL ImageCopyBlock(const PreviewImage& image, HGLOBAL spare) {
  const SIZE_T bytes = ImageBlockBytes(image);
  if (spare != nullptr && GlobalSize(spare) < bytes) {
    GlobalFree(spare);
    spare = nullptr;
  }
  if (GlobalSize(image.Block) < bytes) {
    if (spare != nullptr) GlobalFree(spare);
    return nullptr;
  }
  return spare != nullptr ? spare : GlobalAlloc(GMEM_MOVEABLE, bytes);
}

// Copies the image's header and pixels into a block made by ImageCopyBlock; FALSE when a block
// cannot be locked.
BOOL CopyWholeImage(const PreviewImage& image, HGLOBAL copy) {
  void* to = GlobalLock(copy);
  const void* from = GlobalLock(image.Block);
  if (to != nullptr && from != nullptr) std::memcpy(to, from, ImageBlockBytes(image));
  if (from != nullptr) GlobalUnlock(image.Block);
  if (to != nullptr) GlobalUnlock(copy);
  return to != nullptr && from != nullptr;
}

// A block holding a copy of the image's header and pixels; null when it cannot be made. A spare
// is used as ImageCopyBlock does.
HGLOBAL CopyImageBlock(const PreviewImage& image, HGLOBAL spare) {
  HGLOBAL copy = ImageCopyBlock(image, spare);
  if (copy != nullptr && !CopyWholeImage(image, copy)) {
    GlobalFree(copy);
    return nullptr;
  }
  return copy;
}

void InvalidateImageArea(HWND window, BOOL erase) {
  const RECT image = ImageAreaRect(window);
  InvalidateRect(window, &image, erase);
}

// Copies the rows [first, last) of the raw image's pixels into the display image's block, which
// has the raw one's size. FALSE when a block cannot be locked.
BOOL CopyImageRows(const PreviewImage& raw, const PreviewImage& display, DWORD first, DWORD last) {
  BYTE* to = static_cast<BYTE*>(GlobalLock(display.Block));
  const BYTE* from = static_cast<const BYTE*>(GlobalLock(raw.Block));
  if (to != nullptr && from != nullptr) {
    BITMAPINFOHEADER header{};
    std::memcpy(&header, from, kDibHeaderBytes);
    const SIZE_T rowBytes = (static_cast<SIZE_T>(header.biWidth > 0 ? header.biWidth : 0) * header.biBitCount + 31) / 32 * 4;
    const SIZE_T begin = std::min<SIZE_T>(rowBytes * first, raw.PixelBytes);
    const SIZE_T end = std::min<SIZE_T>(rowBytes * last, raw.PixelBytes);
    if (end > begin) std::memcpy(to + kDibHeaderBytes + begin, from + kDibHeaderBytes + begin, end - begin);
  }
  if (from != nullptr) GlobalUnlock(raw.Block);
  if (to != nullptr) GlobalUnlock(display.Block);
  return to != nullptr && from != nullptr;
}

// The display image as the plain copy of the raw one it stands for: the copying it still waits
// for is done. When a block cannot be locked the display image is missing.
void SettlePlainCopy() {
  if (!g_PlainCopy.Active) return;
  const BOOL copied = g_PlainCopy.Whole ? CopyWholeImage(g_Raw, g_Display.Block)
                                        : CopyImageRows(g_Raw, g_Display, g_PlainCopy.CopiedRows, g_Raw.LinesReceived);
  if (!copied) {
    FreeImage(g_Display);
    g_PlainCopy = PlainCopy{};
    return;
  }
  g_PlainCopy = PlainCopy{TRUE, FALSE, g_Raw.LinesReceived};
}

// The raw image becomes the given one (the window takes its block over); the display image a
// plain copy of it.
void TakeBand(HWND window, const PreviewImage& band) {
  // Every band of a preview scan comes in the same block: it is freed only when replaced by
  // another one. The display copy of that block is made whole after its first band; later bands
  // only bring the rows they add, the others are unchanged in the raw block.
  const BOOL sameScan = g_PlainCopy.Active && g_Raw.Block != nullptr && g_Raw.Block == band.Block &&
                        g_Display.Block != nullptr && g_Display.PixelBytes == band.PixelBytes &&
                        band.LinesReceived >= g_Display.LinesReceived;
  if (!sameScan) {
    if (g_Raw.Block != nullptr && g_Raw.Block != band.Block) FreeImage(g_Raw);
    FreeImage(g_Display);
    g_Display.Block = ImageCopyBlock(band, TakeSpareImageBlock(ImageBlockBytes(band)));
    g_PlainCopy = PlainCopy{g_Display.Block != nullptr, TRUE, 0};
  }
  g_Raw = band;
  const HGLOBAL display = g_Display.Block;
  g_Display = display != nullptr ? g_Raw : PreviewImage{};
  g_Display.Block = display;
  InvalidateImageArea(window, FALSE);
}

// The display image rebuilt from the raw one with the current settings, processed as a band of
// colour triplets is: packed, through the image filter (and inversion), expanded again.
void Rerender(HWND window, const ScanSettings& settings) {
  if (g_Raw.Block == nullptr) return;
  // The display block is refilled from the raw image rather than freed and made again.
  HGLOBAL spare = TakeImageBlock(g_Display);
  g_PlainCopy = PlainCopy{};
  ImageRecord record{};
  if (!SetImageRecordDefaults(record) || !BuildImageRecord(settings, record)) {
    if (spare != nullptr) GlobalFree(spare);
    return;
  }
  // The preview holds colour triplets whatever the scan type: the filter runs in colour mode.
  record.ScanKind = kScanKindColor;
  record.PixelType = TWPT_RGB;
  PreviewImage display = g_Raw;
  display.Block = CopyImageBlock(g_Raw, spare);
  if (display.Block == nullptr) return;
  BYTE* block = static_cast<BYTE*>(GlobalLock(display.Block));
  if (block == nullptr) {
    GlobalFree(display.Block);
    return;
  }
  BITMAPINFOHEADER header{};
  std::memcpy(&header, block, kDibHeaderBytes);
  const DWORD width = static_cast<DWORD>(header.biWidth);
  const DWORD lines = std::min<DWORD>(g_Raw.LinesReceived, static_cast<DWORD>(std::abs(header.biHeight)));
  BYTE* pixels = block + kDibHeaderBytes;
  PackStripLines(pixels, kScanKindColor, width, lines);
  const BOOL filtered = RunImageFilter(pixels, width, lines, 3 * width, record);
  ExpandStripLines(pixels, kScanKindColor, width, lines);
  GlobalUnlock(display.Block);
  if (!filtered) {
    GlobalFree(display.Block);
    return;
  }
  g_Display = display;
  InvalidateImageArea(window, FALSE);
}

// Moves one scroll bar by a scroll code; the window's moving parts are painted again.
void Scroll(HWND window, int bar, int code) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(window, bar, &info);
  const int page = static_cast<int>(info.nPage), max = info.nMax - page + 1;
  int pos = info.nPos;
  switch (code) {
    case SB_LINEUP: if (pos > 0) pos = std::max(pos - page / 3, 0); break;
    case SB_LINEDOWN: if (pos < max) pos = std::min(pos + page / 3, max); break;
    case SB_PAGEUP: if (pos > 0) pos = std::max(pos - page, 0); break;
    case SB_PAGEDOWN: if (pos < max) pos = std::min(pos + page, max); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = info.nTrackPos; break;
    case SB_ENDSCROLL: InvalidateRect(window, nullptr, TRUE); return;
    default: return;
  }
  if (pos == info.nPos) return;
  SetScrollPos(window, bar, pos, TRUE);
  // The image area and the ruler that moves with it are moved on the screen; only what that
  // uncovers is painted again.
  RECT client{};
  GetClientRect(window, &client);
  const SIZE ruler = RulerThickness(window);
  const RECT moved = bar == SB_HORZ ? RECT{ruler.cx, 0, client.right, client.bottom}
                                    : RECT{0, ruler.cy, client.right, client.bottom};
  const int by = info.nPos - pos;
  ScrollWindowEx(window, bar == SB_HORZ ? by : 0, bar == SB_HORZ ? 0 : by, &moved, &moved, nullptr, nullptr,
                 SW_INVALIDATE | SW_ERASE);
}

void RefreshToolButton(HWND dialog, int id, BOOL enable) {
  HWND button = GetDlgItem(dialog, id);
  if (button == nullptr) return;
  InvalidateRect(button, nullptr, TRUE);
  EnableWindow(button, enable);
}

// A click of a zoom tool inside the image area: one step of 100 %, the clicked point kept
// still, and back to the frame tool at either end.
void ZoomAt(HWND window, ScanSettings& s, POINT client) {
  const RECT image = ImageAreaRect(window);
  if (!PtInRect(&image, client)) return;
  const WORD old = s.PreviewZoom;
  if (s.PreviewTool == kToolZoomIn && s.PreviewZoom < kMaxZoom) s.PreviewZoom += 100;
  if (s.PreviewTool == kToolZoomOut && s.PreviewZoom > kMinZoom) s.PreviewZoom -= 100;
  if (s.PreviewZoom == old) return;
  const POINT document = WindowToDocument(window, client, old);
  HWND dialog = GetParent(window);
  InvalidateRect(window, nullptr, TRUE);
  RefreshToolButton(dialog, kIdZoomInTool, s.PreviewZoom < kMaxZoom);
  RefreshToolButton(dialog, kIdZoomOutTool, s.PreviewZoom > kMinZoom);
  UpdateScrollBars(window, s);
  const SIZE page = PageSize(window, s.PreviewZoom);
  const SIZE ruler = RulerThickness(window);
  SetScrollPos(window, SB_HORZ, MapLinear(document.x, 0, kBedWidth, 0, page.cx) + ruler.cx - client.x, TRUE);
  SetScrollPos(window, SB_VERT, MapLinear(document.y, 0, kBedHeight, 0, page.cy) + ruler.cy - client.y, TRUE);
  if (s.PreviewZoom == kMinZoom || s.PreviewZoom == kMaxZoom) {
    s.PreviewTool = kToolFrame;
    HWND frameTool = GetDlgItem(dialog, kIdFrameTool);
    if (frameTool != nullptr) {
      InvalidateRect(frameTool, nullptr, TRUE);
      HWND focus = GetFocus();
      if (focus == nullptr || focus == GetDlgItem(dialog, kIdZoomInTool) || focus == GetDlgItem(dialog, kIdZoomOutTool))
        SetFocus(frameTool);
    }
    SetFrameCursor(window, client, s);
  }
}

LRESULT HandleMouse(HWND window, ScanSettings& s, UINT msg, POINT p) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      if (s.PreviewTool == kToolFrame) {
        BeginFrameDrag(window, s, p);
        if (FrameDragState() == kDragMove) UpdatePointerMarkers(window, s, p);
      } else {
        ZoomAt(window, s, p);
      }
      return 0;
    case WM_MOUSEMOVE:
      if (s.PreviewTool == kToolFrame || FrameDragState() == kDragIdle) ContinueFrameDrag(window, s, p);
      UpdatePointerMarkers(window, s, p);
      return 0;
    case WM_LBUTTONUP:
      if (s.PreviewTool == kToolFrame) EndFrameDrag(window, s);
      return 0;
  }
  return 0;
}

}  // namespace

HGLOBAL TakeSpareImageBlock(SIZE_T bytes) {
  for (HGLOBAL& spare : g_SpareBlocks)
    if (spare != nullptr && GlobalSize(spare) >= bytes) {
      HGLOBAL block = spare;
      spare = nullptr;
      return block;
    }
  return nullptr;
}

const PreviewImage& RawPreviewImage() { return g_Raw; }
const PreviewImage& DisplayPreviewImage() {
  SettlePlainCopy();
  return g_Display;
}

SIZE RulerThickness(HWND window) {
  RECT corner{};
  HWND place = GetDlgItem(GetParent(window), kIdRulerCorner);
  if (place == nullptr || !GetClientRect(place, &corner)) return SIZE{0, 0};
  return SIZE{corner.right, corner.bottom};
}

RECT ImageAreaRect(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  const SIZE ruler = RulerThickness(window);
  return RECT{ruler.cx, ruler.cy, client.right, client.bottom};
}

RECT GetPageRect(HWND window, WORD zoom) {
  RECT client{};
  GetClientRect(window, &client);
  const SIZE ruler = RulerThickness(window);
  const LONG available = client.right - ruler.cx - kPageMargin;
  const LONG w100 = static_cast<LONG>(kPageShare * available);
  const LONG h100 = static_cast<LONG>(kPageShare * available * kPageHeightFactorA * kPageHeightFactorB);
  const LONG w = w100 * zoom / 100, h = h100 * zoom / 100;
  return RECT{ruler.cx, ruler.cy, ruler.cx + w, ruler.cy + h};
}

POINT DocumentToWindow(HWND window, POINT document, WORD zoom) {
  const RECT page = GetPageRect(window, zoom);
  POINT p = document;
  LogicalToDevice(p, MapBox{0, 0, kBedWidth, kBedHeight},
                  MapBox{page.left, page.top, page.right - page.left, page.bottom - page.top});
  return p;
}

POINT WindowToDocument(HWND window, POINT client, WORD zoom) {
  const RECT page = GetPageRect(window, zoom);
  POINT p{client.x + GetScrollPos(window, SB_HORZ), client.y + GetScrollPos(window, SB_VERT)};
  DeviceToLogical(p, MapBox{0, 0, kBedWidth, kBedHeight},
                  MapBox{page.left, page.top, page.right - page.left, page.bottom - page.top});
  return p;
}

RECT DocumentRectToClient(HWND window, const RECT& document, WORD zoom) {
  const POINT a = DocumentToWindow(window, POINT{document.left, document.top}, zoom);
  const POINT b = DocumentToWindow(window, POINT{document.right, document.bottom}, zoom);
  const int sx = GetScrollPos(window, SB_HORZ), sy = GetScrollPos(window, SB_VERT);
  return RECT{a.x - sx, a.y - sy, b.x - sx, b.y - sy};
}

void UpdateScrollBars(HWND window, const ScanSettings& s) {
  // Showing one bar narrows the client area and so the page: a second pass settles both.
  for (int pass = 0; pass < 2; ++pass) {
    const SIZE page = PageSize(window, s.PreviewZoom);
    const SIZE page100 = PageSize(window, kMinZoom);
    RECT client{};
    GetClientRect(window, &client);
    const SIZE ruler = RulerThickness(window);
    const LONG availableX = client.right - ruler.cx, availableY = client.bottom - ruler.cy;
    const struct {
      int bar;
      LONG size, size100, available;
    } axes[] = {{SB_HORZ, page.cx, page100.cx, availableX}, {SB_VERT, page.cy, page100.cy, availableY}};
    for (const auto& axis : axes) {
      const BOOL fits = axis.size <= axis.available;
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_RANGE | SIF_PAGE;
      info.nMin = 0;
      info.nMax = axis.size;
      info.nPage = static_cast<UINT>(axis.size100);
      if (fits) {
        info.fMask |= SIF_POS;
        info.nPos = 0;
      }
      SetScrollInfo(window, axis.bar, &info, TRUE);
      ShowScrollBar(window, axis.bar, !fits);
    }
  }
}

BOOL CreatePreviewWindow(HWND dialog, ScanSettings* settings) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = PreviewWndProc;
  wc.hInstance = g_Instance;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = reinterpret_cast<LPCWSTR>(kPreviewClass);
  RegisterClassW(&wc);  // a class that exists already is used as it is
  // The window spans the two placeholders, in the dialog's client coordinates.
  RECT bottomLeft{}, topRight{};
  if (!ItemRectInDialog(dialog, kIdPreviewPlaceBottomLeft, bottomLeft) || !ItemRectInDialog(dialog, kIdPreviewPlaceTopRight, topRight))
    return FALSE;
  const RECT r{bottomLeft.left, topRight.top, topRight.right, bottomLeft.bottom};
  HWND window = CreateWindowExW(0, reinterpret_cast<LPCWSTR>(kPreviewClass), u"", WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL,
                                r.left, r.top, r.right - r.left, r.bottom - r.top, dialog, nullptr, g_Instance, settings);
  if (window == nullptr) return FALSE;
  settings->PreviewWindow = window;
  if (!CreatePreviewSemaphore()) {
    DestroyWindow(window);
    settings->PreviewWindow = nullptr;
    return FALSE;
  }
  ShowWindow(window, SW_SHOWNA);
  UpdateScrollBars(window, *settings);
  if (!StartFrameAnimation(window, *settings)) {
    ClosePreviewSemaphore();
    DestroyWindow(window);
    settings->PreviewWindow = nullptr;
    return FALSE;
  }
  return TRUE;
}

BOOL DestroyPreviewWindow(ScanSettings* settings) {
  if (!StopFrameAnimation()) return FALSE;
  ClosePreviewSemaphore();
  if (settings->PreviewWindow != nullptr) DestroyWindow(settings->PreviewWindow);
  settings->PreviewWindow = nullptr;
  return TRUE;
}

void UnregisterScannerWindowClasses() {
  UnregisterClassW(reinterpret_cast<LPCWSTR>(kPreviewClass), g_Instance);
  UnregisterClassW(reinterpret_cast<LPCWSTR>(kProgressBarClass), g_Instance);
}

LRESULT PreviewWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    return 0;
  }
  ScanSettings* s = SettingsOf(window);
  if (s == nullptr) return DefWindowProcW(window, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT:
      PaintPreview(window, *s);
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
      Scroll(window, msg == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      return HandleMouse(window, *s, msg, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case PVM_BANDARRIVED:
      if (lParam != 0) TakeBand(window, *reinterpret_cast<const PreviewImage*>(lParam));
      return 0;
    case PVM_FREEIMAGES:
      FreeSpareBlocks();
      g_PlainCopy = PlainCopy{};
      if (wParam == kKeepSpareBlocks) {
        KeepSpareBlock(TakeImageBlock(g_Raw));
        KeepSpareBlock(TakeImageBlock(g_Display));
      } else {
        FreeImage(g_Raw);
        FreeImage(g_Display);
      }
      return 0;
    case PVM_SCANSTARTING:
      // The drag ends first: its release would start the animation again.
      CancelFrameDrag(window, *s);
      StopFrameAnimation();
      InvalidateImageArea(window, TRUE);
      return 0;
    case PVM_SCANFINISHED:
      FreeSpareBlocks();
      SendMessageW(window, PVM_RERENDER, 0, 0);
      StartFrameAnimation(window, *s);
      return 0;
    case PVM_RERENDER:
      Rerender(window, *s);
      return 0;
    case PVM_REDRAW:
      InvalidateRect(window, nullptr, TRUE);
      return 0;
    case PVM_STOPANIMATION:
      StopFrameAnimation();
      InvalidateImageArea(window, TRUE);
      return 0;
    case PVM_STARTANIMATION:
      StartFrameAnimation(window, *s);
      return 0;
    case WM_DESTROY:
      FreeSpareBlocks();
      g_PlainCopy = PlainCopy{};
      FreeImage(g_Raw);
      FreeImage(g_Display);
      ForgetPointerMarkers();
      return 0;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}
