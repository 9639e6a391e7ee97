// Whether the current user belongs to the local Administrators group.
#pragma once

#include "platform/base/types.h"

// Caller to come: the custom paper sizes dialog.
// 1 when the process token holds the Administrators group (S-1-5-32-544) in a form that grants
// rights: a deny-only entry (a filtered token) does not count. 0 otherwise and on any failure.
int IsUserAdministrator();
