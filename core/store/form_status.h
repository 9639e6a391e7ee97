// Statuses of the spooler's forms as the printer configuration reads and maps them.
#pragma once

inline constexpr int kFormDone = 1;
inline constexpr int kFormNotFound = 2;   // beyond the form count, or no paper of the form's name
inline constexpr int kFormFailed = 3;     // no forms, the enumeration failed, no database, a choice unreadable
inline constexpr int kFormNoMemory = 10;  // also: form 0 or no output
