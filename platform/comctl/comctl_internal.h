// What the common controls share: their window procedures (registered as the layer's classes
// in classes.cpp), the notice to a parent, and the painting frame.
#pragma once

#include <functional>

#include "platform/comctl/commctrl.h"
#include "platform/gdi/dc.h"
#include "platform/gdi/draw_objects.h"
#include "platform/gdi/drawing.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/text.h"
#include "platform/user/controls_internal.h"

// WM_NOTIFY to the control's parent with the header filled in (the control, its id, the
// code); answers the parent's answer (0 when there is no parent).
LRESULT ComctlNotify(HWND control, UINT code, NMHDR* header);
// The same with a bare header.
LRESULT ComctlNotifyCode(HWND control, UINT code);
// Paints a control between BeginPaint and EndPaint with the GUI font and the parent's
// WM_CTLCOLORSTATIC brush filled over the client area, then `draw`.
void ComctlPaint(HWND hwnd, const std::function<void(HDC dc, RECT client)>& draw);
// A rectangle filled in a system colour and a sunken or raised edge.
void ComctlFill(HDC dc, RECT r, int sysColour);
void ComctlSunken(HDC dc, RECT r);
void ComctlRaised(HDC dc, RECT r);
// Text in a rectangle with DrawTextW's format.
void ComctlText(HDC dc, LPCWSTR text, RECT r, UINT format);

LRESULT UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT TrackBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ToolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT TabControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT TreeViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

struct PageRecord;
// Whether a page handle is one CreatePropertySheetPageW made and nobody destroyed yet.
bool ComctlPageIsLive(PageRecord* page);
