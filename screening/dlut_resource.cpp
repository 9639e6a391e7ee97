#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "screening/dlut_resource.h"

#include <cstdint>
#include <cstring>

namespace screening {
namespace {

constexpr char kDlutMagic[4] = {'D', 'L', 'U', 'T'};
constexpr char kItemMagic[4] = {'d', 'l', 't', '4'};

DWORD ReadDword(std::span<const BYTE> bytes, std::uint64_t offset) {
  return GetLE32(bytes.data() + offset);
}

bool HasMagic(std::span<const BYTE> bytes, std::uint64_t offset, const char (&magic)[4]) {
  return std::memcmp(bytes.data() + offset, magic, sizeof magic) == 0;
}

}  // namespace

const BYTE* FindDlutItem(std::span<const BYTE> resource, INT index) {
  // Offsets are computed in 64 bits so that no count can wrap them past the checks.
  const std::uint64_t size = resource.size();
  if (size < 8 || !HasMagic(resource, 0, kDlutMagic)) return nullptr;
  const std::uint64_t count1 = ReadDword(resource, 4);
  const std::uint64_t count2Offset = 8 + 4 * count1;
  if (count2Offset + 4 > size) return nullptr;
  const std::uint64_t count2 = ReadDword(resource, count2Offset);
  const std::uint64_t listOffset = count2Offset + 4;
  if (listOffset + 4 * count2 > size) return nullptr;

  // A negative index is as far out of range as one beyond the list.
  if (index < 0 || static_cast<std::uint64_t>(index) >= count2) return nullptr;
  const std::uint64_t itemNumber = ReadDword(resource, listOffset + 4 * static_cast<std::uint64_t>(index));
  if (itemNumber < 1 || itemNumber > count1) return nullptr;
  const std::uint64_t itemOffset = ReadDword(resource, 8 + 4 * (itemNumber - 1));
  // The item's header must lie inside the resource and at least one byte of data follow it.
  if (itemOffset + kDlutItemHeaderSize >= size) return nullptr;
  if (!HasMagic(resource, itemOffset, kItemMagic)) return nullptr;
  return resource.data() + itemOffset + kDlutItemHeaderSize;
}

}  // namespace screening
