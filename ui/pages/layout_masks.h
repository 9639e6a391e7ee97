// Groups of controls that the value of one item shows or hides (the layout pages' hooks).
#pragma once

#include <span>

#include "platform/base/types.h"

struct MaskedControl {
  LONG controlId;
  LONG mask;
};

// Shows and enables each control whose mask shares a bit with `kind`; disables and hides the
// others.
void ShowMaskedControls(HWND window, std::span<const MaskedControl> controls, LONG kind);
