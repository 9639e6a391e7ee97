// Texts of the printer's model that the settings storage needs, read from the model's
// description database (the printer driver's data file).
#pragma once

#include "platform/base/types.h"

// Each answer is a new global string (ReleaseGlobalBlock), or NULL when the printer has no
// readable database or the text is absent.
// The per-user registry base (section 33).
LPWSTR ReadUserBaseText(HANDLE printer);
// The model name of the database header.
LPWSTR ReadModelNameText(HANDLE printer);
// Header text kind 2, the user-mode driver's name.
LPWSTR ReadUserModeDriverText(HANDLE printer);
