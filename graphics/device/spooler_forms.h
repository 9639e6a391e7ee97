// The spooler's forms as the graphics module reads them: by name, by position in the form
// list, their sizes in tenths of a millimetre, and the position of a built-in form. Statuses
// are those of core/store/form_status.h.
#pragma once

#include "platform/base/types.h"
#include "platform/spooler/spooler.h"

// Bytes of the block GetFormByIndex hands out: the form and a copy of its name.
constexpr DWORD kIndexedFormNameChars = 32;
constexpr DWORD kIndexedFormBlockSize = sizeof(FORM_INFO_1W) + kIndexedFormNameChars * sizeof(WCHAR);
static_assert(kIndexedFormBlockSize == 104);

// The named form (GetFormW level 1) in a new global block: kFormDone; kFormNotFound when the
// size query failed with another error than ERROR_INSUFFICIENT_BUFFER; kFormFailed when it
// reported no size or the second call failed; kFormNoMemory for a missing argument or no
// memory. *block is NULL on every failure.
int GetFormByName(HANDLE printer, LPCWSTR formName, FORM_INFO_1W** block);
// Form `index` (1-based) of the spooler's list in a new 104-byte global block whose pName
// points to the name copied behind the form (at most 31 characters): kFormDone; kFormNotFound
// beyond the forms; kFormFailed when the list cannot be read or is empty; kFormNoMemory for
// index 0, a missing argument or no memory.
int GetFormByIndex(HANDLE printer, DWORD index, FORM_INFO_1W** block);
// The form by name, or by index when no name is given: its width, length and imageable left,
// top, right and bottom in tenths of a millimetre ((v + 50) / 100). The status of the read.
int GetFormSize(HANDLE printer, LPCWSTR formName, DWORD index, WORD size[6]);
// The 1-based position of the built-in form of exactly this name; 0 when the form is not
// built in, not listed, or the list cannot be read.
DWORD FindBuiltinFormIndex(HANDLE printer, LPCWSTR formName);
