// The fields every job-type popup shares: the job's owner kind (combo) and its text, whose
// length and characters depend on the job type and the model.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr LONG kJobOwnerCombo = 1553;
inline constexpr LONG kJobTextField = 1552;

// The two shared rows, in the order the popups list them.
extern const ControlRow kSharedJobRows[2];

// The job text field: its length and character rule chosen from the job type and the model
// at every message, then the edit kind's handler.
INT_PTR HandleJobTextFieldRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                              const ControlRow* row, const void* kindData);
