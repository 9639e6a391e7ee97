// Push-button actions. The actions themselves (closing a popup, restoring defaults, opening
// popups, nested sheets, file dialogs and documents) come with the button-action work; until
// then only help is carried out here, and every other action answers 1 without effect.
#pragma once

#include "ui/shell/dialog/dialog_tables.h"

inline constexpr WORD kButtonOk = 1;
inline constexpr WORD kButtonCancel = 2;
inline constexpr WORD kButtonRestoreDefaults = 3;
inline constexpr WORD kButtonPopup = 4;
inline constexpr WORD kButtonNestedSheet = 5;
inline constexpr WORD kButtonHelp = 6;

struct ButtonAction {
  WORD type;
  const void* target;
};

// 0 when the action ran, 1 without a row or for an action not carried out here.
INT_PTR DoButtonAction(HandlerContext* context, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                       const ButtonAction* action);
