// The crop frame's marching ants: a one-shot multimedia timer that draws one step of the dashes
// and arms itself again, under the preview semaphore that stopping the animation also takes.
#include <atomic>

#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/handles.h"
#include "platform/kernel/sync.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/winmm/mmtimer.h"
#include "scanner/ui/crop_frame.h"
#include "scanner/ui/drawing.h"
#include "scanner/ui/preview_window.h"

namespace {

constexpr COLORREF kAntsOutline = 0xFF0000;  // blue
constexpr COLORREF kAntsDashes = 0x00FFFF;   // yellow
constexpr int kDashLength = 5;
constexpr UINT kFirstTickDelay = 100;
constexpr UINT kTickDelay = 500;
constexpr UINT kTimerResolution = 10;
constexpr DWORD kSemaphoreWait = 10000;

// What a tick needs, filled when the animation starts.
struct AnimationContext {
  HWND Window;
  const RECT* ScanArea;
  DWORD Ticks;
  const WORD* Zoom;
  DWORD ScanFrom;
};

AnimationContext g_Animation{};
// The armed one-shot timer; a tick clears its own id on entry, so an id recorded here is always
// one whose tick has not begun.
std::atomic<UINT> g_TimerId{0};
HANDLE g_PreviewSemaphore = nullptr;

// One edge's dashes from s to e along the line at `across` (vertical edges when `vertical`).
BOOL DrawDashedEdge(HDC dc, int across, int s, int e, BOOL vertical, int firstDash, int offset) {
  if (SaveDC(dc) == 0) return FALSE;
  if (vertical)
    IntersectClipRect(dc, across - 1, s, across + 1, e);
  else
    IntersectClipRect(dc, s, across - 1, e, across + 1);
  auto dash = [&](int from, int length) {
    return vertical ? DrawLine(dc, across, from, across, from + length) : DrawLine(dc, from, across, from + length, across);
  };
  BOOL drawn = dash(s + offset, firstDash);
  for (int start = s + offset + firstDash + kDashLength; drawn && start <= e; start += 2 * kDashLength)
    drawn = dash(start, kDashLength);
  RestoreDC(dc, -1);
  return drawn;
}

}  // namespace

BOOL DrawMarchingFrame(HDC dc, const RECT& r, int, int firstDash, int offset) {
  if (!DrawRectOutline(dc, r.left, r.top, r.right, r.bottom, 1, kAntsOutline)) return FALSE;
  HPEN pen = CreatePen(PS_SOLID, 1, kAntsDashes);
  if (pen == nullptr) return FALSE;
  HGDIOBJ old = SelectObject(dc, pen);
  const BOOL drawn = DrawDashedEdge(dc, r.left, r.top, r.bottom, TRUE, firstDash, offset) &&
                     DrawDashedEdge(dc, r.top, r.left, r.right, FALSE, firstDash, offset) &&
                     DrawDashedEdge(dc, r.right, r.top, r.bottom, TRUE, firstDash, offset) &&
                     DrawDashedEdge(dc, r.bottom, r.left, r.right, FALSE, firstDash, offset);
  SelectObject(dc, old);
  DeleteObject(pen);
  return drawn;
}

BOOL CreatePreviewSemaphore() {
  if (g_PreviewSemaphore == nullptr) g_PreviewSemaphore = CreateSemaphoreA(nullptr, 1, 0x7FFFFFFF, nullptr);
  return g_PreviewSemaphore != nullptr;
}

void ClosePreviewSemaphore() {
  if (g_PreviewSemaphore != nullptr) CloseHandle(g_PreviewSemaphore);
  g_PreviewSemaphore = nullptr;
}

UINT FrameAnimationTimer() { return g_TimerId.load(); }

BOOL StartFrameAnimation(HWND window, ScanSettings& settings) {
  if (g_TimerId.load() != 0) return FALSE;
  g_Animation = AnimationContext{window, &settings.ScanArea, 0, &settings.PreviewZoom, settings.ScanFrom};
  const UINT id = timeSetEvent(kFirstTickDelay, kTimerResolution, MovieDashedLineTimer,
                               reinterpret_cast<DWORD_PTR>(&g_Animation), TIME_ONESHOT);
  g_TimerId.store(id);
  return id != 0;
}

// A recorded id that timeKillEvent refuses is a one-shot that has fired: its tick is waiting
// for the semaphore held here and, finding its id forgotten, draws nothing and arms nothing.
// So the animation is stopped either way.
BOOL StopFrameAnimation() {
  if (g_PreviewSemaphore == nullptr || WaitForSingleObject(g_PreviewSemaphore, kSemaphoreWait) != WAIT_OBJECT_0) {
    // A tick that holds the semaphore this long is stuck; its timer is disarmed and forgotten,
    // and the semaphore that was not taken is not released.
    const UINT id = g_TimerId.exchange(0);
    if (id != 0) timeKillEvent(id);
    return FALSE;
  }
  const UINT id = g_TimerId.exchange(0);
  if (id != 0) timeKillEvent(id);
  ReleaseSemaphore(g_PreviewSemaphore, 1, nullptr);
  return TRUE;
}

void MovieDashedLineTimer(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
  HANDLE semaphore = g_PreviewSemaphore;
  if (semaphore == nullptr || WaitForSingleObject(semaphore, kSemaphoreWait) != WAIT_OBJECT_0) return;
  auto* context = reinterpret_cast<AnimationContext*>(user);
  UINT own = id;
  if (g_TimerId.compare_exchange_strong(own, 0) && IsWindow(context->Window)) {
    const RECT r = DocumentRectToClient(context->Window, *context->ScanArea, *context->Zoom);
    const RECT image = ImageAreaRect(context->Window);
    HDC dc = GetDC(context->Window);
    BOOL drawn = FALSE;
    if (dc != nullptr) {
      const int saved = SaveDC(dc);
      IntersectClipRect(dc, image.left, image.top, image.right, image.bottom);
      const DWORD n = context->Ticks;
      const BOOL early = n % 10 > 4;
      drawn = DrawMarchingFrame(dc, r, kDashLength, early ? static_cast<int>(n % 5) + 1 : kDashLength,
                                early ? 0 : static_cast<int>(n % 5) + 1);
      RestoreDC(dc, saved);
      ReleaseDC(context->Window, dc);
    }
    if (drawn) {
      ++context->Ticks;
      g_TimerId.store(timeSetEvent(kTickDelay, kTimerResolution, MovieDashedLineTimer, user, TIME_ONESHOT));
    }
  }
  ReleaseSemaphore(semaphore, 1, nullptr);
}
