// The fax send list of a direct-fax document: its destinations in memory (a keyed list of
// 742-byte entries with two header texts) and the "DFAX001" blob that carries it through the
// settings blobs, printer data and the job data escapes. In the blob the entries stand in the
// reverse order of the list (the last list entry first); reading pushes each one in front, so
// the list comes back in its own order.
#pragma once

#include <cstddef>

#include "core/common/keyed_list.h"
#include "core/persist/blob_format.h"
#include "platform/base/types.h"

inline constexpr int kFaxHeaderTextChars = 41;
inline constexpr int kFaxNoteTextChars = 671;
// A blob's size is kept in 16 bits: 1442 + 742 x 86 is the largest list that fits.
inline constexpr DWORD kFaxMaxDestinations = 86;

// One destination, exactly as stored (little-endian; texts NUL-terminated in their fields).
struct FaxDestination {
  WORD kind;                 // 1: dialled by name only
  WCHAR number[129];         // destination number (or name for kind 1)
  WORD dialKind;             // 1, 2 or other: selects the dial prefix
  WCHAR name[41];
  WCHAR secondText[83];      // shown on the cover page
  WORD resolution;           // 0, 1, 2
  WORD optionMode;           // 1 or 2
  WORD optionNumber;         // mode 1
  WCHAR optionText[9];       // mode 1
  WORD optionCode;           // mode 2
  WORD optionFlag;           // mode 2
  WCHAR numberList[60];      // mode 2: comma-separated numbers
  WCHAR firstComment[21];
  WCHAR secondComment[21];
};
static_assert(sizeof(FaxDestination) == kFaxDestinationSize);
static_assert(offsetof(FaxDestination, dialKind) == 260 && offsetof(FaxDestination, name) == 262 &&
              offsetof(FaxDestination, secondText) == 344 && offsetof(FaxDestination, resolution) == 510 &&
              offsetof(FaxDestination, optionText) == 516 && offsetof(FaxDestination, optionCode) == 534 &&
              offsetof(FaxDestination, numberList) == 538 && offsetof(FaxDestination, firstComment) == 658 &&
              offsetof(FaxDestination, secondComment) == 700);

// The blob's header as stored.
struct FaxListHeader {
  WCHAR tag[8];
  WORD count;
  WCHAR firstText[kFaxHeaderTextChars];
  WCHAR secondText[kFaxNoteTextChars];
};
static_assert(sizeof(FaxListHeader) == kFaxRecordHeaderSize && offsetof(FaxListHeader, firstText) == 18 &&
              offsetof(FaxListHeader, secondText) == 100);

// The list a document sheet owns: the two header texts and the destinations (node data: one
// FaxDestination from the global heap each; key 0, sub key kAnySubKey).
struct FaxSendList {
  WCHAR firstText[kFaxHeaderTextChars];
  WCHAR secondText[kFaxNoteTextChars];
  KeyedList* destinations;
};

// Frees every destination and the list's nodes (the texts stay); the list is then empty.
void ClearFaxSendList(FaxSendList* list);

// Writes the blob of the list's first `count` destinations into buffer (GetFaxRecordSize(count)
// bytes, zero-filled by the caller): 1, or 0 when the list holds fewer.
int WriteFaxSendListBlob(BYTE* buffer, DWORD count, FaxSendList* list);
// Fills the list from a checked blob of size bytes (its texts replaced, its entries added in
// front): 1, or 0 with the list unchanged for a blob that is not a whole "DFAX001" record.
int ReadFaxSendListBlob(FaxSendList* list, const BYTE* blob, DWORD size);

// Stores the settings blobs with the list as their fax record (SaveDeviceBlobs). 0 without a
// printer and a file, without the extension, or for a list of more than 86 destinations.
int StoreFaxSendList(HANDLE printer, LPCWSTR fileName, WORD storeKind, FaxSendList* list, const BYTE* extension,
                     const BYTE* tmbInfo, DWORD tmbInfoSize);
// Loads the settings blobs (LoadDeviceBlobs); when a list is given and a fax record came back
// the list is filled from it.
int LoadFaxSendList(HANDLE printer, LPCWSTR fileName, WORD storeKind, FaxSendList* list, BYTE* extension,
                    BYTE** tmbInfo, DWORD* tmbInfoSize);

// A new global copy of the given blob (size bytes), or of the one kept in printer data
// "FaxSendList". NULL unless it is a whole "DFAX001" record (its size exactly that of its
// count); *count and *size answer the header's count and the blob's size.
BYTE* LoadFaxDestinationList(HANDLE printer, DWORD size, const BYTE* given, DWORD* count, DWORD* blobSize);
// Copies of a checked blob's header (1442 bytes) and of its entry n: 1, or 0 when the blob is
// not whole or n is not below its count.
int GetFaxListHeader(const BYTE* blob, DWORD size, FaxListHeader* header);
int GetFaxDestination(const BYTE* blob, DWORD size, DWORD n, FaxDestination* entry);
// Whether blob[0..size) is a whole "DFAX001" record.
bool IsWholeFaxBlob(const BYTE* blob, DWORD size);

// The text of a fixed field up to its first NUL, never past the field.
template <size_t N>
inline int FaxFieldLength(const WCHAR (&field)[N]) {
  int n = 0;
  while (n < static_cast<int>(N) && field[n] != 0) ++n;
  return n;
}
