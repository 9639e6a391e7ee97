// The paper-size tests of the constraint records: the media checks a record's check kind asks
// for, the custom-size check, and the size operators of conditions (7, 8 and 10-12 after the
// condition's values held; 9 decided by a size-range record alone).
#pragma once

#include "core/constraints/setting_change.h"
#include "core/constraints/size_check_result.h"
#include "core/database/dbrecords.h"
#include "platform/base/types.h"

// Check flags: which items a media selection read, reported in the state's check flags.
inline constexpr WORD kMediaItem8 = 0x0001;
inline constexpr WORD kMediaItem262 = 0x0002;
inline constexpr WORD kMediaItem13 = 0x0004;
inline constexpr WORD kMediaItem265 = 0x0008;
inline constexpr WORD kMediaItem389 = 0x0010;
inline constexpr WORD kMediaItem266 = 0x0020;
inline constexpr WORD kMediaItem410 = 0x0040;
inline constexpr WORD kMediaItem411 = 0x0080;
inline constexpr WORD kMediaItem333 = 0x0800;
// Added for check kinds 5 and 6 per item 407, 408 or 409 that names the checked bin.
inline constexpr WORD kMediaBin407 = 0x0100;
inline constexpr WORD kMediaBin408 = 0x0200;
inline constexpr WORD kMediaBin409 = 0x0400;

// The paper, source and media items a change would leave in the settings.
struct MediaSelection {
  WORD paper;       // item 262, or item 8 when 262 holds 267 ("same as the paper size")
  WORD source;      // item 265, or item 13 when 265 holds 258 and the model allows it
  WORD item389;
  DWORD item1313;
  WORD item333;
  WORD item332;
  WORD item266;
  WORD item410;
  WORD item411;
  WORD checkFlags;  // MEDIA_ITEM_* of the items read
};

// Reads the selection from the change and the settings, in the order of the fields. FALSE at
// the first item that cannot be read; the check flags then hold the items read so far.
BOOL BuildMediaSelection(const SettingsContext* context, const ItemChange* change, MediaSelection* selection);

// The media check of check kinds 1-3 and 5-9: whether the kind's paper lies within the custom
// range of the kind's source or bin. A fit clears the state's check flags; a conflict adds the
// kind's flags to them (the state may be NULL). kSizeFits, kSizeConflict, kSizeError or
// kSizeNoMemory.
WORD CheckMediaFit(const ConstraintRecord* record, WORD mode, const SettingsContext* context,
                   const ItemChange* change, ConstraintState* state);
// Check kind 4: whether a user-defined paper's size lies within its paper record's sizes.
WORD CheckCustomSizeFit(const ConstraintRecord* record, WORD mode, const SettingsContext* context,
                        const ItemChange* change);

// Condition operators 7, 8 and 10-12 for a user-defined paper against the source's custom
// range: kRuleHolds (with the flags of the items involved), kRuleFails (flags 0), 1 on error
// or 2 without memory.
WORD EvaluateSizeOperator(BYTE op, const SettingsContext* context, const ItemChange* change, WORD* flags);
// Condition operator 9: whether the user-defined paper lies outside the size range that the
// value record of the condition's item names. kRuleHolds (flags kMediaItem262), kRuleFails,
// 1 on error or 2 without memory. The stream is the one the condition was read from (for
// referenced values).
WORD CheckSizeRangeRecord(const SettingsContext* context, const ItemChange* change,
                          const ItemValueElement* condition, DatabaseStream* stream, WORD* flags);
