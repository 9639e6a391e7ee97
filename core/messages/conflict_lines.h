// The lines of the conflict messages: a setting's name and value filled into the resource
// module's line format, gathered into a text by the conditions of fired rules, their forced
// values, a list of items, or the items a size check flagged. Each builder lists an item at
// most once; lines that no longer fit the text are left out.
#pragma once

#include "core/constraints/setting_change.h"
#include "core/messages/formatted_strings.h"
#include "core/messages/value_texts.h"
#include "platform/base/types.h"

// The line format: the item's name text and its value text.
inline constexpr UINT kStringNameValueLine = 706;
// How many ids a remembered list of the condition and forced-value builders holds.
inline constexpr WORD kRememberedIdCount = 20;

// Lines gathered into a fixed buffer.
struct LineText {
  WCHAR text[kFormattedTextChars];
  int length;
};

// A 0-ended list of at most kRememberedIdCount ids; a full list takes no more ids.
struct RememberedIds {
  WORD ids[kRememberedIdCount + 1];
};

// Adds an id to a 0-ended list of `capacity` ids; FALSE (nothing added) when it is full or the
// id is 0.
BOOL AddIdToBoundedList(WORD* list, WORD capacity, WORD id);
bool IsIdInList(const WORD* list, WORD id);

// The line of an item with a value (read through `value` as a proposed change's value is; NULL:
// the item's current value): TRUE with the line, which is empty for an item whose name text
// begins with "!". FALSE when a text cannot be made.
BOOL FormatNameValueLine(HMODULE module, const SettingsContext* context, SettingItemId id, const void* value,
                         BOOL withDetails, const MeasurementFlags* flags, LPWSTR line, int capacity);

// Adds the line of an item to the text (nothing when it has none). FALSE when its texts cannot
// be made.
BOOL AppendItemLine(HMODULE module, const SettingsContext* context, SettingItemId id, const void* value,
                    BOOL withDetails, const MeasurementFlags* flags, LineText* text);

// The conditions of the fired type-7 records (record numbers) that hold now, group by group,
// except the changed item's, size-range conditions and remembered items. 0, or 1 when a record
// cannot be read or a condition cannot be evaluated.
WORD ListConditionLines(BOOL withDetails, HMODULE module, const SettingsContext* context, const ItemChange* change,
                        WORD count, const WORD* records, RememberedIds* remembered, const MeasurementFlags* flags,
                        LineText* text);
// The forced values of the fired type-7 records, each item once (items 346, 348, 8205 and 391
// never). 0, or 1 when a record cannot be read or a value resolved.
WORD ListForcedEntryLines(BOOL withDetails, HMODULE module, const SettingsContext* context, WORD count,
                          const WORD* records, const MeasurementFlags* flags, LineText* text, WORD* listed);
// The items of a size check's flags, except the changed item and remembered items.
WORD ListCheckFlagItemLines(BOOL withDetails, HMODULE module, const SettingsContext* context, WORD checkFlags,
                            SettingItemId changed, RememberedIds* remembered, const MeasurementFlags* flags,
                            LineText* text);
// The current values of the items (0-ended when count is 0xFFFF), each once (items 346, 348,
// 8205 and 443 never). 0, or 1 when a text cannot be made.
WORD ListItemLines(HMODULE module, const SettingsContext* context, const WORD* ids, WORD count,
                   const MeasurementFlags* flags, LineText* text);
