// The fax destination list of a direct-fax job, as the user-interface module hands it over with
// its job data: a whole "DFAX001" record kept in the device until the job's end.
#pragma once

#include "platform/base/types.h"

struct Pdev;

// Takes a copy of the record as the job's destination list: 0 (also on a model that is not a
// fax model, which keeps no list), or -1 without a device or record, or for a record that is
// not a whole "DFAX001" record or cannot be copied; the list held before then stays.
int SetFaxListEscape(Pdev* pdev, DWORD length, const BYTE* record);
// Frees the destination list (job end, device end).
void FreeFaxList(Pdev* pdev);
