// Cursors: the system's standard cursors and cursors from a module's resources, and the current
// cursor. There is no screen, so a cursor is only a handle that says where it came from; the
// same cursor loaded twice is the same handle, and loaded cursors are never destroyed.
#pragma once

#include "platform/base/export.h"
#include "platform/base/types.h"

#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_IBEAM MAKEINTRESOURCEW(32513)
#define IDC_WAIT MAKEINTRESOURCEW(32514)
#define IDC_CROSS MAKEINTRESOURCEW(32515)
#define IDC_UPARROW MAKEINTRESOURCEW(32516)
#define IDC_SIZENWSE MAKEINTRESOURCEW(32642)
#define IDC_SIZENESW MAKEINTRESOURCEW(32643)
#define IDC_SIZEWE MAKEINTRESOURCEW(32644)
#define IDC_SIZENS MAKEINTRESOURCEW(32645)
#define IDC_SIZEALL MAKEINTRESOURCEW(32646)
#define IDC_NO MAKEINTRESOURCEW(32648)
#define IDC_HAND MAKEINTRESOURCEW(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEW(32650)

// A standard cursor (NULL instance, an IDC_ number), or a module's cursor: a numbered cursor
// group resource (RT_GROUP_CURSOR) of the module. NULL with ERROR_RESOURCE_NAME_NOT_FOUND (or
// the resource error) otherwise.
PLATFORM_API HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
PLATFORM_API HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Makes the cursor current (NULL: none) and answers the one it replaces.
PLATFORM_API HCURSOR SetCursor(HCURSOR cursor);
PLATFORM_API HCURSOR GetCursor();

// Test control: where a cursor came from. The standard cursors answer their IDC_ number with a
// NULL module; a module's cursor its resource number and module; 0 for anything else.
struct SimCursorSource {
  HINSTANCE module;
  WORD id;
};
PLATFORM_API SimCursorSource SimCursorOrigin(HCURSOR cursor);
