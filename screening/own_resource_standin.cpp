// Stand-in until the platform layer's resource calls exist: answers that the module carries
// no resource, which is true of the library as delivered.
#include "screening/own_resource.h"

namespace screening {

std::span<const BYTE> FindOwnResource(HMODULE, WORD, WORD) { return {}; }

}  // namespace screening
