// Fuzzes the screening module's lookup-table resource reader. The first four bytes choose
// the index, the rest is the resource. Any answer must point at item data inside the
// resource, right after an item header.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

#include "platform/base/types.h"
#include "screening/dlut_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  INT index = 0;
  std::memcpy(&index, data, 4);
  const std::span<const BYTE> resource(data + 4, size - 4);
  const BYTE* item = screening::FindDlutItem(resource, index);
  if (item == nullptr) return 0;
  const BYTE* begin = resource.data();
  if (item < begin + screening::kDlutItemHeaderSize || item >= begin + resource.size()) std::abort();
  if (std::memcmp(item - screening::kDlutItemHeaderSize, "dlt4", 4) != 0) std::abort();
  return 0;
}
