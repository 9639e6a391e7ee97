// The user's name, the locale's measurement system and the country defaults.
#pragma once

#include "platform/base/types.h"

// The logged-on user's name: GetUserNameW, unless that fails or answers "System"/"SYSTEM"
// (a service): then the machine's Winlogon "DefaultUserName", else "UnknownUser".
// size: in, the buffer in characters; out, the answer's length with its terminator.
// Answers 1, or 0 for a missing buffer or size.
int GetCurrentUserName(LPWSTR buffer, LPDWORD size);

constexpr int kMeasureInch = 1;    // letter/inch region
constexpr int kMeasureMetric = 2;  // metric region
// kMeasureInch for the user locale's countries 1, 2, 50..59 and 500..599 when the model
// flag is set, else kMeasureMetric. The locale's answer is read once per process.
int GetLocaleMeasureSystem(int modelFlag);
// Replaces the measurement system GetLocaleMeasureSystem answers for models that ask for it:
// 1 when value is kMeasureInch or kMeasureMetric and was stored, 0 for any other value (nothing
// stored).
int SetLocaleMeasureSystem(int value);

// Defaults of the user locale's country from the country table: 0 for a country not in the
// table, 254 when the locale cannot be read. Each answer is read once per process.
BYTE LookUpCountryDefault();
BYTE LookUpCountryDefault2();
