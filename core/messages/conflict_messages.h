// Telling the user about a conflict on a property-sheet page: by the message type a constraint
// check left, a warning, an OK/Cancel question or a notice in a message box captioned with the
// resource module's string 265, and what the answer means for the change.
#pragma once

#include "core/constraints/constraint_state.h"
#include "core/constraints/setting_change.h"
#include "core/messages/value_texts.h"
#include "platform/base/types.h"

// Results of the message routines (beside kCheckFailed and kCheckRefused).
inline constexpr WORD kConflictGoAhead = 9;
inline constexpr WORD kConflictRefusedRecord = 10;  // refused by a rule of message type 7 or 8
inline constexpr WORD kConflictCancelled = 8;       // ConfirmConflictChanges: the user said no
inline constexpr WORD kConflictNoticeShown = 4;

// The box of the state's message type: 9 go ahead, 3 refused, 10 refused (types 7 and 8), 1 for
// an unknown type. A box that cannot be shown counts as closed without OK.
WORD ShowConstraintMessage(HWND window, const SettingsContext* context, const ItemChange* change,
                           LPCWSTR extraConditions, LPCWSTR extraForced, const ConstraintState* state);
// After a change went ahead: the notice of the fired rules of message type 9, when there are
// any. Always 4.
WORD ShowConflictNotice(HWND window, const SettingsContext* context, const ConstraintState* state);
// The range warning of a value outside its range: 0 shown, 1 not.
WORD ShowConflictWarning(HWND window, const SettingsContext* context, WORD scale, LONG integerFlag, SettingItemId id,
                         LPCWSTR name, ValueTypeCode type, LONG minimum, LONG maximum);
// The tile-count check of a change: 9 when the tiles fit or the user accepts, 3 otherwise, 1
// when the check fails.
WORD ResolveItemConflict(HWND window, const SettingsContext* context, const ItemChange* change);
// The OK/Cancel question about the items that will change: 0 accepted (also when no line is
// left to show), 8 cancelled, 1 failure or missing argument.
WORD ConfirmConflictChanges(HWND window, ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                            const WORD* ids, WORD count);
