// Removal of a registry key with everything below it (the platform's RegDeleteKeyW refuses a
// key that still has sub keys).
#pragma once

#include "platform/base/types.h"
#include "platform/registry/registry.h"

// Deletes the sub keys depth first, then the key. ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when the
// key does not exist, or the first failure.
LSTATUS DeleteKeyTree(HKEY root, LPCWSTR path);
