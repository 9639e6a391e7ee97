// What the standard controls share: their state kept with the window record, the notice to
// the parent, radio groups, and the procedures the layer registers as its classes.
#pragma once

#include <memory>
#include <vector>

#include "platform/user/controls.h"
#include "platform/user/message.h"
#include "platform/user/paint.h"
#include "platform/user/window_internal.h"

// The control's state, made at WM_NCCREATE and kept until the window record goes.
template <typename T>
T* ControlState(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  return w ? static_cast<T*>(w->control.get()) : nullptr;
}

template <typename T>
T* MakeControlState(HWND hwnd) {
  auto w = UserPeekWindow(hwnd);
  if (!w) return nullptr;
  auto state = std::make_shared<T>();
  w->control = state;
  return state.get();
}

// WM_COMMAND(MAKEWPARAM(id, code), control) to the control's parent.
void UserNotifyParent(HWND control, WORD code);
// The controls of the control's group: from the nearest WS_GROUP control at or before it up
// to the next one, in the parent's child order.
std::vector<HWND> UserGroupOf(HWND control);
// The owner-drawing messages go to the control's parent with the control's id.
LRESULT UserSendToOwner(HWND control, UINT msg, void* data);

// Whether a person could use the control now (shown and enabled, in shown and enabled
// windows); a refusal is logged for SimRefusedActions under `action`.
bool UserDriverMayUse(HWND control, const char* action);

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
