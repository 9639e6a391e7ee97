// The public numbering of setting items used by outside callers of qorvexdata and by the
// favourites files: PublicItemId -> SettingItemId.
#pragma once

#include <array>
#include <span>

#include "items/item_tables.h"
#include "platform/base/types.h"

using PublicItemId = WORD;

struct PublicIdPair {
  PublicItemId publicId;
  SettingItemId itemId;
};

struct PublicIdRange {
  PublicItemId first;  // both inclusive
  PublicItemId last;
  std::span<const PublicIdPair> pairs;  // ascending by public id
};

inline constexpr size_t kPublicIdRangeCount = 14;
inline constexpr size_t kPublicIdPairCount = 655;
// The last range holds the write-only secret-string items; the favourites files lack it.
inline constexpr size_t kSecretRangeIndex = kPublicIdRangeCount - 1;
inline constexpr PublicItemId kFirstSecretId = 0x9001;
inline constexpr size_t kSecretItemCount = 8;

// The ranges in search order: the first range that holds an id decides.
extern const std::array<PublicIdRange, kPublicIdRangeCount> PublicIdMap;

// The item of a public id, or 0 when it has none.
SettingItemId MapPublicItemId(PublicItemId id);
