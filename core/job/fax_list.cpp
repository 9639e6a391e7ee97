#include "core/job/fax_list.h"

#include <cstring>

#include "core/persist/settings_blobs.h"
#include "core/system/chunked_printer_data.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WCHAR kFaxListValue[] = u"FaxSendList";

// Copies a stored text field and makes sure the copy ends inside the field.
template <size_t N>
void CopyBoundedText(WCHAR (&to)[N], const WCHAR (&from)[N]) {
  std::memcpy(to, from, sizeof to);
  to[N - 1] = 0;
}

}  // namespace

bool IsWholeFaxBlob(const BYTE* blob, DWORD size) {
  if (blob == nullptr || size < kFaxRecordHeaderSize) return false;
  FaxListHeader header;
  std::memcpy(&header, blob, sizeof header);
  if (std::memcmp(header.tag, kFaxRecordTag, sizeof kFaxRecordTag) != 0) return false;
  return size == GetFaxRecordSize(header.count);
}

void ClearFaxSendList(FaxSendList* list) {
  if (list == nullptr || list->destinations == nullptr) return;
  KeyedListNode* next = nullptr;
  for (void* data = KeyedListFirst(list->destinations, &next); data != nullptr;
       data = KeyedListNext(next, &next))
    GlobalFree(data);
  FreeKeyedList(&list->destinations);
}

int WriteFaxSendListBlob(BYTE* buffer, DWORD count, FaxSendList* list) {
  if (buffer == nullptr || list == nullptr || count > kFaxMaxDestinations) return 0;
  const LONG present = KeyedListCount(list->destinations);
  if (present < 0 || static_cast<DWORD>(present) < count) return 0;
  FaxListHeader header{};
  std::memcpy(header.tag, kFaxRecordTag, sizeof kFaxRecordTag);
  header.count = static_cast<WORD>(count);
  CopyBoundedText(header.firstText, list->firstText);
  CopyBoundedText(header.secondText, list->secondText);
  std::memcpy(buffer, &header, sizeof header);
  // The list's first entry goes last.
  KeyedListNode* next = nullptr;
  DWORD i = 0;
  for (void* data = KeyedListFirst(list->destinations, &next); data != nullptr && i < count;
       data = KeyedListNext(next, &next), ++i)
    std::memcpy(buffer + GetFaxRecordSize(count - 1 - i), data, kFaxDestinationSize);
  return 1;
}

int ReadFaxSendListBlob(FaxSendList* list, const BYTE* blob, DWORD size) {
  if (list == nullptr || !IsWholeFaxBlob(blob, size)) return 0;
  FaxListHeader header;
  std::memcpy(&header, blob, sizeof header);
  if (list->destinations == nullptr && (list->destinations = CreateKeyedList()) == nullptr) return 0;
  // Every copy is made before the list changes, so a failure leaves it as it was.
  void* copies[kFaxMaxDestinations] = {};
  const DWORD count = header.count;
  if (count > kFaxMaxDestinations) return 0;
  bool ok = true;
  for (DWORD i = 0; i < count && ok; ++i) {
    copies[i] = GlobalAlloc(GPTR, kFaxDestinationSize);
    ok = copies[i] != nullptr;
    if (ok) std::memcpy(copies[i], blob + GetFaxRecordSize(i), kFaxDestinationSize);
  }
  DWORD pushed = 0;
  for (; ok && pushed < count; ++pushed)
    ok = KeyedListPushFront(list->destinations, 0, kAnySubKey, copies[pushed]) != 0;
  if (!ok) {
    for (DWORD i = 0; i < pushed; ++i) KeyedListRemove(list->destinations, 0, kAnySubKey);
    for (DWORD i = 0; i < count; ++i) GlobalFree(copies[i]);
    return 0;
  }
  CopyBoundedText(list->firstText, header.firstText);
  CopyBoundedText(list->secondText, header.secondText);
  return 1;
}

int StoreFaxSendList(HANDLE printer, LPCWSTR fileName, WORD storeKind, FaxSendList* list, const BYTE* extension,
                     const BYTE* tmbInfo, DWORD tmbInfoSize) {
  if ((printer == nullptr && fileName == nullptr) || extension == nullptr) return 0;
  if (list == nullptr) return SaveDeviceBlobs(printer, fileName, storeKind, nullptr, 0, extension, tmbInfo, tmbInfoSize);
  const LONG listed = KeyedListCount(list->destinations);
  const DWORD count = listed < 0 ? 0 : static_cast<DWORD>(listed);
  // A longer list's size does not fit the 16-bit size the blobs keep: it is refused whole.
  if (count > kFaxMaxDestinations) return 0;
  const DWORD size = GetFaxRecordSize(count);
  BYTE* blob = static_cast<BYTE*>(GlobalAlloc(GPTR, size));
  if (blob == nullptr) return 0;
  int result = 0;
  if (WriteFaxSendListBlob(blob, count, list))
    result = SaveDeviceBlobs(printer, fileName, storeKind, blob, static_cast<WORD>(size), extension, tmbInfo,
                             tmbInfoSize);
  GlobalFree(blob);
  return result;
}

int LoadFaxSendList(HANDLE printer, LPCWSTR fileName, WORD storeKind, FaxSendList* list, BYTE* extension,
                    BYTE** tmbInfo, DWORD* tmbInfoSize) {
  BYTE* fax = nullptr;
  const int result = LoadDeviceBlobs(printer, fileName, storeKind, list != nullptr ? &fax : nullptr, extension,
                                     tmbInfo, tmbInfoSize);
  if (result && fax != nullptr) {
    const DWORD size = GetFaxRecordSize(reinterpret_cast<const FaxListHeader*>(fax)->count);
    ReadFaxSendListBlob(list, fax, size);
  }
  if (fax != nullptr) GlobalFree(fax);
  return result;
}

BYTE* LoadFaxDestinationList(HANDLE printer, DWORD size, const BYTE* given, DWORD* count, DWORD* blobSize) {
  if (count != nullptr) *count = 0;
  if (blobSize != nullptr) *blobSize = 0;
  BYTE* blob = nullptr;
  DWORD have = 0;
  if (given != nullptr) {
    if (!IsWholeFaxBlob(given, size)) return nullptr;
    blob = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, size));
    if (blob == nullptr) return nullptr;
    std::memcpy(blob, given, size);
    have = size;
  } else if (!ReadChunkedPrinterData(printer, kFaxListValue, &have, &blob, FALSE)) {
    return nullptr;
  }
  if (!IsWholeFaxBlob(blob, have)) {
    GlobalFree(blob);
    return nullptr;
  }
  if (count != nullptr) *count = reinterpret_cast<const FaxListHeader*>(blob)->count;
  if (blobSize != nullptr) *blobSize = have;
  return blob;
}

int GetFaxListHeader(const BYTE* blob, DWORD size, FaxListHeader* header) {
  if (header == nullptr || !IsWholeFaxBlob(blob, size)) return 0;
  std::memcpy(header, blob, sizeof *header);
  return 1;
}

int GetFaxDestination(const BYTE* blob, DWORD size, DWORD n, FaxDestination* entry) {
  FaxListHeader header;
  if (entry == nullptr || !GetFaxListHeader(blob, size, &header) || n >= header.count) return 0;
  std::memcpy(entry, blob + GetFaxRecordSize(n), sizeof *entry);
  return 1;
}
