// The resource block of a loaded module, as the resource calls read it.
#pragma once

#include <span>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/kernel/qrs.h"

struct ModuleResourceView {
  std::span<const BYTE> bytes;                  // the whole container (empty: no resources)
  const std::vector<QrsEntry>* entries = nullptr;
};

// False (with ERROR_INVALID_HANDLE in `error`) for a handle that names no loaded module;
// NULL is the host. The view stays valid until the module is freed.
PLATFORM_API bool ModuleResourceBlock(HMODULE module, ModuleResourceView& view, DWORD& error);
