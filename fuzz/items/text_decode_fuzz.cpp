// Stored protected texts come from the registry, printer data and settings records: the
// decoder must never read or write outside the blocks it is given, whatever the bytes.
#include <cstdint>
#include <cstring>
#include <vector>

#include "items/text_protection.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 4096) return 0;
  const int n = static_cast<int>(size);
  // An exact copy, so any read past the given length is caught.
  std::vector<char> input(data, data + size);
  // The capacity DecodeBase64 requires, and one byte less (must be refused cleanly).
  const int capacity = (n + 3) / 4 * 3;
  for (int cap : {capacity, capacity - 1, n + 1}) {
    if (cap <= 0) continue;
    std::vector<std::uint8_t> out(cap);
    int written = -1;
    const int r = DecodeBase64(input.data(), n, out.data(), &written, cap);
    if (r == 0 && (written < 0 || written > cap)) __builtin_trap();
    written = -1;
    const int t = DecodeText(input.data(), n, out.data(), &written, cap);
    if (t == 0 && (written < 0 || written > cap)) __builtin_trap();
  }
  return 0;
}
