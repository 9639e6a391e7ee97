// The poster check: whether the enlarged page fits the tiles the poster items ask for.
#pragma once

#include "core/constraints/setting_change.h"
#include "platform/base/types.h"

// Answers of CheckTileCount besides kCheckDone (nothing to report) and kCheckFailed.
inline constexpr WORD kTilesTooFew = 13;   // the enlarged page does not fit on the tiles
inline constexpr WORD kTilesTooMany = 14;  // a whole column and a whole row of tiles stay empty

// Checks the tiles (item 296: columns in the high byte, rows in the low byte) against the
// printable sizes of the input paper (item 8) and the output paper (item 262, or the input
// paper for 267) at the scale of item 263, while poster printing is on (item 321 is 1 and item
// 1281 is set). The change may be NULL (the settings as they are). With 13 or 14 the items
// involved come back as a new 0-ended block (GlobalFree) without the changed item; otherwise
// the list is NULL.
WORD CheckTileCount(const SettingsContext* context, const ItemChange* change, WORD** items);
