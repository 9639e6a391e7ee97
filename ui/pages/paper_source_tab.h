// The paper source tab of the document sheet (page 2): the paper source with its note, the
// paper type check, collation, the tray popup, the device-status button and the size summary.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr DWORD kPaperSourceTabTemplate = 521;
inline constexpr LONG kPaperSourceTabPage = 2;

extern const TabRecord kPaperSourceTabRecord;

INT_PTR PaperSourcePageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Before an action that only makes sense with `item` at `value`, asks (string `messageId`)
// whether to switch the item, shown in `combo`, to that value; on Yes the value goes through
// the constraint checks like a choice made in the combo. Nothing is asked when the choice is
// missing, not usable, locked by the policy, or already set. 0 when a read failed, else 1.
int OfferChoiceSwitch(HandlerContext* context, SettingItemId item, LONG combo, WORD value, LONG messageId);
