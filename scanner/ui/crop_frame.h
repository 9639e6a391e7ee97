// The crop frame: the scan area drawn on the preview page, moved, resized and drawn anew with
// the mouse, and animated as marching ants from a multimedia timer while it is idle.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "scanner/scan_settings.h"

// Drag states.
constexpr int kDragIdle = 0;
constexpr int kDragMove = 1;
constexpr int kDragNew = 2;
constexpr int kDragResize = 3;

// Frames are at least this large while an edge is dragged; coordinates snap to this step.
constexpr LONG kMinFrameSize = 480;
constexpr LONG kFrameSnap = 12;
constexpr LONG kHitTolerance = 5;

// The mouse on the preview window with the frame tool (client coordinates).
void BeginFrameDrag(HWND window, ScanSettings& settings, POINT client);
void ContinueFrameDrag(HWND window, ScanSettings& settings, POINT client);
void EndFrameDrag(HWND window, ScanSettings& settings);
// Ends a running drag as a release without a point would (a transfer is starting).
void CancelFrameDrag(HWND window, ScanSettings& settings);
int FrameDragState();
// The rubber band of a running drag, drawn by the window's paint (inverting, so drawing it
// twice removes it).
BOOL RubberBandShown();
void DrawRubberBand(HWND window, HDC dc, const ScanSettings& settings);
// The cursor for a point of the window, made current and answered.
HCURSOR SetFrameCursor(HWND window, POINT client, const ScanSettings& settings);

// The preview semaphore that a tick and a stop of the animation take in turn.
BOOL CreatePreviewSemaphore();
void ClosePreviewSemaphore();
BOOL StartFrameAnimation(HWND window, ScanSettings& settings);
BOOL StopFrameAnimation();
// The armed timer's id (0 when none).
UINT FrameAnimationTimer();
// The ants of one tick: a blue outline with yellow dashes of 5 every 10 pixels.
BOOL DrawMarchingFrame(HDC dc, const RECT& rect, int dash, int firstDash, int offset);

// The multimedia-timer callback of the animation (user data: the animation context).
DLLEXPORT void MovieDashedLineTimer(UINT id, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);
