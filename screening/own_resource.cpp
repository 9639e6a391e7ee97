#include "screening/own_resource.h"

#include "platform/base/types.h"
#include "platform/kernel/resource.h"

namespace screening {

// The resource's bytes and its real size, as the loader reports them; the caller checks
// every count and offset inside against that size.
std::span<const BYTE> FindOwnResource(HMODULE module, WORD type, WORD name) {
  if (module == nullptr) return {};
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(name), MAKEINTRESOURCEW(type));
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const DWORD size = SizeofResource(module, found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr || size == 0) return {};
  return {static_cast<const BYTE*>(bytes), size};
}

}  // namespace screening
