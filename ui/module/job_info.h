// The job information a document prints on its pages (user, owner, document name, page
// number, date and time) and the name of the user a document is printed for.
#pragma once

#include "items/item_ids.h"
#include "ui/module/job_record.h"

// Items that switch the job information's fields on (1), in field order.
inline constexpr SettingItemId kJobInfoFieldItems[kJobInfoFieldCount] = {
    kItemJobInfoUser,       kItemJobInfoOwner, kItemJobInfoDocumentName,
    kItemJobInfoPageNumber, kItemJobInfoDate,  kItemJobInfoTime};

// The name of the user a document is printed for into buffer (count characters): the
// logged-on user's, or for a service ("SYSTEM") the machine's Winlogon "DefaultUserName";
// "UnknownUser" when that leaves no name or only blanks. 1, or 0 for a missing buffer.
int GetDocumentUserName(LPWSTR buffer, DWORD count);

// The text in the ANSI code page fitted to `bytes` bytes: converted there and back into field
// (at least bytes + 1 characters); a text that does not fit with its terminator leaves the
// field empty.
void FitAnsiText(LPCWSTR text, LPWSTR field, DWORD bytes);

// Fills the record's job information from its settings, document name and the clock. 1.
int FillJobInfoBlock(DcJobRecord* record);
