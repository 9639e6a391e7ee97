// Window classes: the application's (RegisterClassW) and the layer's own (the dialog class
// and the standard controls), found by name without regard to case or by atom.
#pragma once

#include <memory>

#include "platform/base/types.h"
#include "platform/user/window_internal.h"

// An application class of that name or atom, else a class of the layer; NULL when none.
std::shared_ptr<WindowClass> UserFindClass(LPCWSTR nameOrAtom);
// The class has this name (without regard to case) or this atom.
bool UserClassMatches(const WindowClass& cls, LPCWSTR nameOrAtom);
// Registers one of the layer's classes (done once, before the first window is made).
void UserAddSystemClass(LPCWSTR name, ATOM atom, WNDPROC proc, int wndExtra, UINT style, HBRUSH background);
// Forgets the application's classes (the reset between tests).
void UserForgetClasses();
