// Bookkeeping of the direct-fax temporary files. While a document sheet is open its temporary
// file is registered under the current user ("DFaxInfo_<n>" values: the file, the sheet's
// top-level window and that window's module instance). A purge deletes the files of sheets
// that are gone once they are older than seven days, and forgets files that no longer exist.
#pragma once

#include "core/database/database.h"
#include "platform/base/types.h"

inline constexpr int kDirectFaxFileChars = 262;
inline constexpr DWORD kDirectFaxRecordSize = 532;
// A registered file whose sheet is gone is kept this long after its last write.
inline constexpr DWORD kDirectFaxKeepSeconds = 604800;

// Makes the model's per-user base (section 33) followed by "TempFile" the current key;
// nothing changes when the model has no such text.
void SetDirectFaxTempKey(DatabaseStream* main);
// The current key's path (under HKEY_CURRENT_USER).
void GetDirectFaxTempKey(LPWSTR path, DWORD chars);
// Purges one key's registrations (see above). A value that cannot be read or deleted is left
// for a later purge.
void PurgeDirectFaxTempKey(LPCWSTR keyPath);
// Purges the older key, then the current one.
void PurgeAllDirectFaxTempFiles();
// Purges both keys, then registers file for the top-level window of window unless the same
// file, window and instance are registered already.
void FinishDirectFaxSheet(HWND window, LPCWSTR file);
// Whether file is a direct-fax temporary file registered for this user under the current key,
// the older or the default key, or the model's own key (its per-user base and "TempFile").
BOOL IsRegisteredDirectFaxFile(DatabaseStream* main, LPCWSTR file);
