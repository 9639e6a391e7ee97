// The passes of a direct-fax job. A fax model may send a document once per destination of the
// fax send list: every pass is a job of its own with its own header and trailer, the first in
// the document's own spool job and each later one in a new "RAW" spool job on the same
// printer, and a fax header sheet may open each pass.
//
// Results: 0 or -1.
#pragma once

#include "graphics/device/pdev.h"
#include "graphics/job/cover_page.h"
#include "platform/base/types.h"

// The send list of the fax-list escape: on a fax model the pass settings are read and the list
// replaces the one held (0 on any other model). -1 without a device, a length or a record, or
// for a list that is not a whole "DFAX001" record (the list held before then stays).
int SetFaxListEscape(Pdev* pdev, DWORD length, const BYTE* record);
// Reads the pass fields of the fax-pass record from the settings in force; 0.
int LoadFaxPassSettings(Pdev* pdev);
// The pass record of destination index: the record is cleared first, so a destination that
// cannot be had never shows another's texts. -1 without a list or for an index beyond it.
int GetFaxDestination(Pdev* pdev, DWORD index, ExtendedFaxDestination* record);
// Frees the send list; -1 when the free fails.
int FreeFaxList(Pdev* pdev);
// The output passes of the job: the destinations when every destination gets a pass of its
// own, else 1.
WORD GetFaxPassCount(Pdev* pdev);
// The header sheet's paper: the sheet paper of the settings, its device code and size.
int ReadFaxSheetPaper(Pdev* pdev);
// Every pass of a job whose pages were stored: its destination, its spool job, its header,
// header sheet, copies and trailer. A failed pass does not stop the next one; once the job is
// aborted no further pass runs. -1 at once only when no pass record can be had.
int OutputStoredJobs(Pdev* pdev);
// Deletes the direct-fax data file named by item 375 when it is one the user-interface module
// created and registered for this user; any other file is left alone. -1 when a registered file
// cannot be deleted.
int DeleteFaxDataFile(Pdev* pdev);
