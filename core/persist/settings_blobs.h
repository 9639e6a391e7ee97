// Where the settings blobs are kept: the printer's printer data (chunked values "N_Dev" and
// "TMBInfo"), the printer's per-user key (whole values with their size values), or a side
// file that a document names (extension blob, TMBINFO blob, then the fax record).
#pragma once

#include "platform/base/types.h"

inline constexpr WORD kBlobStorePrinterData = 2;
inline constexpr WORD kBlobStorePerUser = 3;

// Largest side file read whole (an extension, a TMBINFO block and a fax record fit many times).
inline constexpr DWORD kMaxBlobFileSize = 1 << 20;

// Stores the 3816-byte extension with the optional fax record and TMBINFO data, in the side
// file when a file name is given (the file must exist), else in the store kind: 1 or 0.
int SaveDeviceBlobs(HANDLE printer, LPCWSTR fileName, WORD storeKind, const BYTE* fax, WORD faxSize,
                    const BYTE* extension, const BYTE* tmbInfo, DWORD tmbInfoSize);
// Loads the extension (3816 bytes) and, when asked, new blocks of the fax record and the
// TMBINFO data (the caller frees them): 1, or 0 with nothing handed out.
int LoadDeviceBlobs(HANDLE printer, LPCWSTR fileName, WORD storeKind, BYTE** fax, BYTE* extension, BYTE** tmbInfo,
                    DWORD* tmbInfoSize);
