// Public item numbers of the favourites files.
#include "core/persist/public_item_ids.h"
#include "platform/base/types.h"

#include <algorithm>
#include <span>

namespace {

// The ranges the favourites files know: the map without its secret-string range.
constexpr std::span<const PublicIdRange> kFileRanges(PublicIdMap.data(), kSecretRangeIndex);
static_assert(kSecretRangeIndex == PublicIdMap.size() - 1, "the secret range must be the last one");

// Identity pairs: public ids 0x1C0..0x1C2 and 0x501..0x532 name the item of the same number.
struct IdentityRun {
  PublicItemId first;
  PublicItemId last;
};
constexpr IdentityRun kIdentityRuns[] = {{0x1C0, 0x1C2}, {0x501, 0x532}};

bool IsIdentityPair(PublicItemId id) {
  return std::any_of(std::begin(kIdentityRuns), std::end(kIdentityRuns),
                     [id](const IdentityRun& run) { return id >= run.first && id <= run.last; });
}

}  // namespace

int PublicIdToItemId(PublicItemId publicId, SettingItemId* itemId, DWORD layoutVersion) {
  if (itemId == nullptr) return 0;
  if (layoutVersion == kIdentityPairsLayout && IsIdentityPair(publicId)) {
    *itemId = publicId;
    return 1;
  }
  // Only the first range that encloses the number is searched.
  for (const PublicIdRange& range : kFileRanges) {
    if (publicId < range.first || publicId > range.last) continue;
    for (const PublicIdPair& pair : range.pairs) {
      if (pair.publicId != publicId) continue;
      *itemId = pair.itemId;
      return 1;
    }
    return 0;
  }
  return 0;
}

int ItemIdToPublicId(SettingItemId itemId, PublicItemId* publicId) {
  if (publicId == nullptr) return 0;
  for (const PublicIdRange& range : kFileRanges) {
    for (const PublicIdPair& pair : range.pairs) {
      if (pair.itemId != itemId) continue;
      *publicId = pair.publicId;
      return 1;
    }
  }
  return 0;
}
