#include "graphics/output/job_store_cursor.h"

#include "platform/base/byte_order.h"

namespace {

constexpr LONG kNone = -1;

// Writes a little-endian u32 at an offset of the store; 0 or -1.
int PatchDword(TempJobStore* store, DWORD at, DWORD value) {
  BYTE bytes[4];
  PutLE32(bytes, value);
  if (SeekTempStore(store, at) < 0) return -1;
  return WriteTempStore(store, bytes, 4) == 4 ? 0 : -1;
}

}  // namespace

int InitStoredPageCursor(StoredPageCursor* cursor) {
  if (cursor == nullptr) return -1;
  *cursor = {kCursorIdle, kNone, kNone, kNone, kNone, 0xFFFFFFFF};
  return 0;
}

int BeginCursorWrite(StoredPageCursor* cursor, TempJobStore* store) {
  if (cursor == nullptr || cursor->state != kCursorIdle) return -1;
  const int end = SeekTempStoreEnd(store);
  if (end < 0) return -1;
  cursor->state = kCursorWriting;
  cursor->firstRecord = cursor->lastRecord = kNone;
  cursor->pageEnd = end;
  return 0;
}

int CursorWriteRecord(StoredPageCursor* cursor, TempJobStore* store, WORD kind, WORD length, const void* payload) {
  if (cursor == nullptr || cursor->state != kCursorWriting || (length > 0 && payload == nullptr)) return -1;
  const LONG size = GetTempStoreSize(store);
  if (size < 0) return -1;
  const DWORD at = static_cast<DWORD>(size);
  if (cursor->firstRecord == kNone) {
    cursor->firstRecord = static_cast<LONG>(at);
  } else if (PatchDword(store, static_cast<DWORD>(cursor->lastRecord) + 4, at - static_cast<DWORD>(cursor->lastRecord)) <
             0) {
    return -1;
  }
  cursor->lastRecord = static_cast<LONG>(at);
  // The display-list bytes written since the page began moved its end to here.
  cursor->pageEnd = static_cast<LONG>(at);
  BYTE header[kStoredRecordHeaderBytes];
  PutLE16(header, kind);
  PutLE16(header + 2, length);
  PutLE32(header + 4, 0);
  if (SeekTempStore(store, at) < 0 || WriteTempStore(store, header, sizeof header) != sizeof header) return -1;
  if (length > 0 && WriteTempStore(store, payload, length) != length) return -1;
  cursor->pageEnd += static_cast<LONG>(kStoredRecordHeaderBytes + length);
  return cursor->pageEnd == GetTempStoreSize(store) ? 0 : -1;
}

int EndCursorWrite(StoredPageCursor* cursor, TempJobStore* store) {
  if (cursor == nullptr || cursor->state != kCursorWriting) return -1;
  cursor->state = kCursorIdle;
  cursor->pageEnd = GetTempStoreSize(store);
  return cursor->firstRecord;
}

int BeginCursorRead(StoredPageCursor* cursor, const PageIndexEntry* entry) {
  if (cursor == nullptr || entry == nullptr || cursor->state != kCursorIdle) return -1;
  if (entry->end < entry->start || entry->end > 0x7FFFFFFF) return -1;
  const bool hasRecord = entry->firstRecord != 0xFFFFFFFF;
  if (hasRecord && (entry->firstRecord < entry->start || entry->firstRecord > entry->end)) return -1;
  cursor->state = kCursorReading;
  cursor->readPosition = entry->start;
  cursor->pageEnd = static_cast<LONG>(entry->end);
  cursor->firstRecord = hasRecord ? static_cast<LONG>(entry->firstRecord) : kNone;
  cursor->nextBoundary = hasRecord ? cursor->firstRecord : cursor->pageEnd;
  return 0;
}

int CursorReadBytes(StoredPageCursor* cursor, TempJobStore* store, DWORD count, void* buffer) {
  if (cursor == nullptr || cursor->state != kCursorReading || (count > 0 && buffer == nullptr)) return -1;
  const DWORD boundary = static_cast<DWORD>(cursor->nextBoundary);
  if (cursor->readPosition > static_cast<DWORD>(cursor->pageEnd) || cursor->readPosition > boundary) return -1;
  const DWORD n = count < boundary - cursor->readPosition ? count : boundary - cursor->readPosition;
  if (n == 0) return 0;
  if (SeekTempStore(store, cursor->readPosition) < 0 || ReadTempStore(store, buffer, n) != static_cast<int>(n))
    return -1;
  cursor->readPosition += n;
  return static_cast<int>(n);
}

int CursorNextRecord(StoredPageCursor* cursor, TempJobStore* store, StoredRecordHeader* header) {
  if (cursor == nullptr || header == nullptr || cursor->state != kCursorReading) return -1;
  if (cursor->readPosition != static_cast<DWORD>(cursor->nextBoundary) || cursor->nextBoundary > cursor->pageEnd)
    return -1;
  if (cursor->readPosition >= static_cast<DWORD>(cursor->pageEnd)) return kStoredPageEnd;
  const DWORD at = cursor->readPosition;
  if (static_cast<DWORD>(cursor->pageEnd) - at < kStoredRecordHeaderBytes) return -1;
  BYTE bytes[kStoredRecordHeaderBytes];
  if (SeekTempStore(store, at) < 0 || ReadTempStore(store, bytes, sizeof bytes) != sizeof bytes) return -1;
  header->kind = GetLE16(bytes);
  header->length = GetLE16(bytes + 2);
  header->distance = GetLE32(bytes + 4);
  // A record and the link to the next one must lie inside the page.
  const DWORD left = static_cast<DWORD>(cursor->pageEnd) - at;
  if (kStoredRecordHeaderBytes + header->length > left) return -1;
  if (header->distance != 0 && (header->distance < kStoredRecordHeaderBytes + header->length || header->distance > left))
    return -1;
  cursor->readPosition = at + kStoredRecordHeaderBytes;
  cursor->nextBoundary = header->distance != 0 ? static_cast<LONG>(at + header->distance) : cursor->pageEnd;
  return 0;
}

int CursorReadRecordData(StoredPageCursor* cursor, TempJobStore* store, DWORD length, void* buffer) {
  if (cursor == nullptr || cursor->state != kCursorReading || (length > 0 && buffer == nullptr)) return -1;
  if (length == 0) return 0;
  if (length > static_cast<DWORD>(cursor->nextBoundary) - cursor->readPosition) return -1;
  if (SeekTempStore(store, cursor->readPosition) < 0 || ReadTempStore(store, buffer, length) != static_cast<int>(length))
    return -1;
  cursor->readPosition += length;
  return static_cast<int>(length);
}

int CursorUnreadBytes(StoredPageCursor* cursor, DWORD n) {
  if (cursor == nullptr || cursor->state != kCursorReading || n > cursor->readPosition) return -1;
  cursor->readPosition -= n;
  return 0;
}

int EndCursorRead(StoredPageCursor* cursor) {
  if (cursor == nullptr || cursor->state != kCursorReading) return -1;
  cursor->state = kCursorIdle;
  return 0;
}
