// The window system's own records: classes and windows as the layer keeps them, shared by
// the window manager, the message queue, the dialog manager, the controls and the painter.
// Not for product code (it uses the platform calls).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/types.h"
#include "platform/user/user_sim.h"
#include "platform/user/window.h"

struct WindowClass {
  ATOM atom = 0;
  std::u16string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  int clsExtra = 0;
  int wndExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  bool system = false;  // the layer's own classes (dialog, standard controls)
  int windows = 0;      // live windows of the class
};

struct WindowProperty {
  ATOM atom = 0;         // an integer name
  std::u16string name;   // else a text name (compared without regard to case)
  HANDLE data = nullptr;
};

// One scroll bar's numbers: a scroll-bar control's own, or a window's WS_HSCROLL/WS_VSCROLL bar.
struct ScrollNumbers {
  int min = 0;
  int max = 100;
  UINT page = 0;
  int pos = 0;
  int trackPos = 0;
};

struct DialogState;

// The pixels a top-level window and its children draw into, as large as the window.
struct WindowSurface {
  std::vector<std::uint32_t> pixels;
  LONG width = 0;
  LONG height = 0;
};

struct Window {
  HWND handle = nullptr;
  std::shared_ptr<WindowClass> cls;
  WNDPROC proc = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND parent = nullptr;  // WS_CHILD windows
  HWND owner = nullptr;   // top-level windows
  std::vector<HWND> children;  // first = top of the Z order = first in tab order
  LONG_PTR id = 0;
  std::u16string text;
  RECT rect{};  // in the parent's client area, or on the screen for top-level windows
  HINSTANCE instance = nullptr;
  LONG_PTR userData = 0;
  std::vector<BYTE> extra;
  std::vector<WindowProperty> props;
  ScrollNumbers hscroll, vscroll;
  bool destroying = false;  // WM_DESTROY sent; messages still reach it until WM_NCDESTROY
  bool destroyed = false;
  bool hung = false;        // stopped answering (SimSetWindowHung): SendMessageTimeoutW times out
  // Painting: the part of the client area that needs painting, and whether the background
  // is to be erased first.
  bool invalid = false;
  bool erase = false;
  RECT update{};
  std::shared_ptr<DialogState> dialog;  // set for windows the dialog manager made
  std::shared_ptr<void> control;        // a standard control's own state
  HICON icons[2] = {nullptr, nullptr};  // WM_SETICON: ICON_SMALL, ICON_BIG
  std::shared_ptr<WindowSurface> surface;  // top-level windows, made when first drawn into
  // What was drawn into the window since its last paint began (drawn.cpp).
  std::vector<SimDrawnText> drawnTexts;
  std::vector<SimDrawnPicture> drawnPictures;
};

// The live window of a handle (also while it is being destroyed), or NULL with
// ERROR_INVALID_WINDOW_HANDLE.
std::shared_ptr<Window> UserFindWindow(HWND hwnd);
// The same without touching the last error.
std::shared_ptr<Window> UserPeekWindow(HWND hwnd);
// The thickness of a window's frame on each side (left, top, right, bottom).
RECT UserFrameInsets(const Window& w);
// The scroll bars (WS_HSCROLL, WS_VSCROLL) the window's frame holds: those of its style, none
// for a combo box (its scroll styles are its drop-down list's).
DWORD UserFrameScrollBars(const Window& w);
// The window's client origin on the screen.
POINT UserClientOrigin(const Window& w);
// Every live window, parents before their children (the order they were made in).
std::vector<HWND> UserAllWindows();
// Registers the layer's own classes once (dialogs and standard controls).
void UserRegisterSystemClasses();
// Drops everything without sending a message (the reset between tests).
void UserForgetWindows();
// Set the focus or active window without any message; answer the one before.
HWND UserSetFocusVariable(HWND hwnd);
HWND UserSetActiveVariable(HWND hwnd);
// Forgets the window's timers and queued messages (when it is destroyed).
void UserDropWindowMessages(HWND hwnd);
// Forgets every timer and queued message.
void UserForgetMessages();
// The default painting of DefWindowProcW: WM_ERASEBKGND fills with the class brush (1) or
// does nothing (0), WM_PAINT only validates, WM_CTLCOLOR... sets the system colours and
// answers their brush.
LRESULT UserEraseBackground(HWND hwnd, HDC dc, HBRUSH brush);
void UserDefaultPaint(HWND hwnd);
LRESULT UserDefaultControlColour(UINT msg, HDC dc);
// Paints what is invalid of the window and then of its children.
void UserPaintInvalid(HWND hwnd);
// Forgets what was drawn into the window: a paint of it begins.
void UserForgetDrawn(Window& w);
// Marks the window's whole client area for painting.
void UserInvalidateAll(HWND hwnd, bool erase);
