// The one record of everything modal that a person would answer (dialogs, message boxes,
// popup menus): while one runs, its owner's top-level window is disabled; each is logged with
// its nesting depth and whether a script answered it (user_sim.h).
#pragma once

#include <string>

#include "platform/base/types.h"
#include "platform/user/user_sim.h"

// Opens a modal interaction: the owner's top-level window is disabled until it ends (a popup
// menu leaves it enabled).
// Answers the interaction's place in the log.
size_t UserBeginModal(SimModal::Kind kind, HWND owner, WORD templateId, const std::u16string& text);
// Closes it with its result; the owner is enabled again (when it was enabled before).
// `forced`: the layer had to end it; `refused`: the script's answer was not a valid one.
void UserEndModal(size_t entry, INT_PTR result, bool scripted, bool forced, bool refused);
// Takes the driver a test queued for a dialog of this template (else the first queued for any
// template; template 0 takes only those); NULL when there is none.
SimDialogDriver UserTakeDialogDriver(WORD templateId);
