// Public item numbers as the favourites files use them: the public id map without its range of
// secret-string items (those are never exported), and the identity pairs that files written
// with settings layout 0x5002 carry.
#pragma once

#include "items/public_id_map.h"
#include "platform/base/types.h"

// The settings layout whose files use the identity pairs first.
inline constexpr DWORD kIdentityPairsLayout = 0x5002;

// Caller to come: the favourites page.
// 1 and the item of a public id; 0 when the number lies in no range or is absent from its
// range's pairs. For layout 0x5002 the identity pairs are tried first.
int PublicIdToItemId(PublicItemId publicId, SettingItemId* itemId, DWORD layoutVersion);
// Caller to come: the favourites page.
// 1 and the first public id of the map (in range order) that maps to the item; 0 when none.
int ItemIdToPublicId(SettingItemId itemId, PublicItemId* publicId);
