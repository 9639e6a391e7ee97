// The texts of the conflict messages: resource formats filled with the changed setting's name
// and value and the lines of the settings that cause the conflict or will be changed. Every
// builder answers a new text (GlobalFree) or NULL when there is nothing to say or a text
// cannot be made.
#pragma once

#include "core/constraints/constraint_state.h"
#include "core/constraints/setting_change.h"
#include "core/messages/value_texts.h"
#include "platform/base/types.h"

// Resource strings of the messages.
inline constexpr UINT kStringRangeWarning = 700;       // name, minimum, maximum
inline constexpr UINT kStringWarningValue = 701;       // name, value, condition lines
inline constexpr UINT kStringQuestionValue = 705;      // name, value, condition lines, forced lines
inline constexpr UINT kStringValueChange = 708;        // types 10 and 11: name, value
inline constexpr UINT kStringRequirement = 709;        // name, value, position name, forced lines
inline constexpr UINT kStringType7 = 710;              // name, condition lines
inline constexpr UINT kStringNotice = 711;             // forced lines
inline constexpr UINT kStringChangeList = 712;         // item lines
inline constexpr UINT kStringTilesTooFewApply = 713;   // item lines
inline constexpr UINT kStringTilesTooManyApply = 714;  // item lines
inline constexpr UINT kStringTilesTooFew = 715;        // name, value, item lines
inline constexpr UINT kStringTilesTooMany = 716;       // name, value, item lines
inline constexpr UINT kStringWarningNoValue = 724;     // name, condition lines
inline constexpr UINT kStringQuestionNoValue = 725;    // name, condition lines, forced lines
inline constexpr UINT kStringValueChangeOther = 4733;  // types 12 and 13: name, value
inline constexpr UINT kStringStampLine = 302;
inline constexpr UINT kStringNoStamp = 426;
inline constexpr UINT kStringCaption = 265;
// BuildChangeListMessage's string number for the bare lines.
inline constexpr int kChangeListBareLines = -3;

enum class ConflictForm { kWarning, kQuestion };

// The warning or the question about a change: the conditions of the fired rules (and the items
// a size check flagged), for a question also the values they force, with the extra texts
// after them; the name and value of the change unless overridden.
LPWSTR BuildConflictText(ConflictForm form, HMODULE module, const SettingsContext* context, const ItemChange* change,
                         LPCWSTR extraConditions, LPCWSTR extraForced, LPCWSTR nameOverride, LPCWSTR valueOverride,
                         const ConstraintState* state, const MeasurementFlags* flags);
// Message type 5: the forced values, the change, and the name of the current value of the first
// item 267 or 320 that a fired rule's condition names; NULL without such a condition.
LPWSTR BuildRequirementText(HMODULE module, const SettingsContext* context, const ItemChange* change,
                            const ConstraintState* state, const MeasurementFlags* flags);
// After a change: the forced values of the fired rules of message type 9; NULL without any.
LPWSTR BuildNoticeText(HMODULE module, const SettingsContext* context, const ConstraintState* state,
                       const MeasurementFlags* flags);
// Message type 7: the changed item's name and the condition lines.
LPWSTR BuildType7Text(HMODULE module, const SettingsContext* context, const ItemChange* change,
                      const ConstraintState* state, const MeasurementFlags* flags);
// Message types 10 to 13: the changed item's name and the value.
LPWSTR BuildValueChangeText(HMODULE module, const SettingsContext* context, const ItemChange* change,
                            WORD messageType, const MeasurementFlags* flags);
// The tile count: flags & 0xF 0 (too many) and 1 (too few) while editing, with the name and value
// (from the change when not given); 2 and 3 at apply time, the lines alone. NULL without lines.
LPWSTR BuildTileCountText(WORD flags, HMODULE module, const SettingsContext* context, const ItemChange* change,
                          LPCWSTR name, LPCWSTR value, const WORD* items, const MeasurementFlags* measurement);
// String 700 with the name (the given text, else the item's name) and the range limits as
// ValueToText shows them with the scale (whole part only with the integer flag).
LPWSTR BuildRangeWarningText(HMODULE module, const SettingsContext* context, SettingItemId id, LPCWSTR name,
                             ValueTypeCode type, LONG minimum, LONG maximum, WORD scale, LONG integerFlag,
                             const MeasurementFlags* flags);
// The lines of the items (current values, each once; 346, 348, 8205 and 443 never) in string
// `id`, or bare for kChangeListBareLines. FALSE when the ids give no line.
BOOL BuildChangeListMessage(LPWSTR* text, HMODULE module, const SettingsContext* context, const WORD* ids, WORD count,
                            int id, const MeasurementFlags* flags);

// The stamp texts of a poster or stamp change (item 296, or item 321 changed to 1, while item
// 297 holds a stamp): the condition and forced texts and the pairs that clear items 297 and
// 299. Everything handed out is the caller's (FreeLinkedItemConflict).
struct LinkedItemConflict {
  LPWSTR conditionText;
  LPWSTR forcedText;
  WORD pairCount;
  ItemValuePair* pairs;
};
// 0 built (also with nothing to say), 1 another item or a read failure, 2 out of memory; on
// failure the outputs are freed and empty.
WORD BuildLinkedItemConflictText(HMODULE module, const SettingsContext* context, const ItemChange* change,
                                 LinkedItemConflict* out);
void FreeLinkedItemConflict(LinkedItemConflict* conflict);
