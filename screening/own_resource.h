// Finds a resource that the screening module carries in itself.
#pragma once

#include <span>

#include "platform/base/types.h"

namespace screening {

// The bytes of the resource of the given integer type and name in `module`, or an empty span
// when the module carries no such resource.
std::span<const BYTE> FindOwnResource(HMODULE module, WORD type, WORD name);

}  // namespace screening
