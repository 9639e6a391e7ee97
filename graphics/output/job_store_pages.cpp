#include "graphics/output/job_store_pages.h"

namespace {

bool IsCompletedPage(const OutputChannel* channel, WORD page) {
  return page >= channel->firstPage && page - channel->firstPage < channel->pageCount;
}

// Room for element index i in the table.
int EnsureRoom(RecordArray* table, DWORD i) {
  while (GetArrayCapacity(table) < i + 1)
    if (GrowRecordArray(table) != 0) return -1;
  return 0;
}

// The page-record table element of page n, or -1 when n is outside the table.
LONG PageRecordIndex(const OutputChannel* channel, WORD page, WORD size) {
  if (channel == nullptr || page < channel->firstPage || size != GetArrayElementSize(&channel->pageRecords)) return -1;
  const DWORD i = page - channel->firstPage;
  return i < GetArrayCapacity(&channel->pageRecords) ? static_cast<LONG>(i) : -1;
}

}  // namespace

int OpenChannelStore(OutputChannel* channel, WORD firstPage, WORD recordSize, WORD count) {
  if (channel == nullptr) return -1;
  channel->firstPage = firstPage;
  channel->pageCount = 0;
  if (ReserveBuffer(&channel->pageRecords, recordSize, count) == 0 &&
      ReserveBuffer(&channel->pageIndex, kPageIndexEntryBytes, count) == 0 &&
      InitStoredPageCursor(&channel->cursor) == 0 && CreateTempStoreFile(&channel->store) == 0)
    return 0;
  FreeBuffer(&channel->pageRecords);
  FreeBuffer(&channel->pageIndex);
  return -1;
}

int ResetChannelStore(OutputChannel* channel) {
  if (channel == nullptr) return -1;
  channel->firstPage = channel->pageCount = 0;
  FreeBuffer(&channel->pageRecords);
  FreeBuffer(&channel->pageIndex);
  InitStoredPageCursor(&channel->cursor);
  return DeleteTempStore(&channel->store);
}

BOOL IsChannelStoreOpen(const OutputChannel* channel) {
  return channel != nullptr && IsTempStoreOpen(&channel->store) == 1;
}

int BeginStoredPage(OutputChannel* channel, WORD page) {
  if (channel == nullptr || page != channel->firstPage + channel->pageCount) return -1;
  if (int r = FlushChannel(channel); r != 0) return r;
  const DWORD i = page - channel->firstPage;
  if (EnsureRoom(&channel->pageRecords, i) != 0 || ClearArrayElement(&channel->pageRecords, i, 0) != 0) return -1;
  if (EnsureRoom(&channel->pageIndex, i) != 0) return -1;
  const LONG size = GetTempStoreSize(&channel->store);
  if (size < 0) return -1;
  const PageIndexEntry entry{static_cast<DWORD>(size), static_cast<DWORD>(size), 0xFFFFFFFF};
  if (PutArrayElement(&channel->pageIndex, i, &entry) != 0) return -1;
  if (BeginCursorWrite(&channel->cursor, &channel->store) != 0) return -1;
  return SetChannelMode(channel, kChannelTempStore);
}

int EndStoredPage(OutputChannel* channel) {
  if (channel == nullptr) return -1;
  if (FlushChannel(channel) != 0 || channel->mode != kChannelTempStore) return -1;
  const int first = EndCursorWrite(&channel->cursor, &channel->store);
  PageIndexEntry entry{};
  if (GetArrayElement(&channel->pageIndex, channel->pageCount, &entry) != 0) return -1;
  const LONG size = GetTempStoreSize(&channel->store);
  if (size < 0) return -1;
  entry.end = static_cast<DWORD>(size);
  entry.firstRecord = static_cast<DWORD>(first);
  if (PutArrayElement(&channel->pageIndex, channel->pageCount, &entry) != 0) return -1;
  const int mode = SetChannelMode(channel, kChannelPrinter);
  ++channel->pageCount;
  return mode;
}

int WriteStoredRecord(OutputChannel* channel, WORD kind, WORD length, const void* payload) {
  if (!IsChannelStoreOpen(channel) || SeekTempStoreEnd(&channel->store) < 0) return -1;
  if (FlushChannel(channel) != 0) return -1;
  return CursorWriteRecord(&channel->cursor, &channel->store, kind, length, payload);
}

int WritePageRecord(OutputChannel* channel, WORD page, WORD size, const void* record) {
  const LONG i = PageRecordIndex(channel, page, size);
  return i < 0 || record == nullptr ? -1 : PutArrayElement(&channel->pageRecords, static_cast<WORD>(i), record);
}

int ReadPageRecord(OutputChannel* channel, WORD page, WORD size, void* buffer) {
  const LONG i = PageRecordIndex(channel, page, size);
  return i < 0 || buffer == nullptr ? -1 : GetArrayElement(&channel->pageRecords, static_cast<WORD>(i), buffer);
}

int PositionStoredPage(OutputChannel* channel, WORD page) {
  if (channel == nullptr || !IsCompletedPage(channel, page)) return -1;
  PageIndexEntry entry{};
  if (GetArrayElement(&channel->pageIndex, page - channel->firstPage, &entry) != 0) return -1;
  return BeginCursorRead(&channel->cursor, &entry);
}

int ReadChannelChunk(OutputChannel* channel, DWORD count, void* buffer) {
  if (channel == nullptr) return -1;
  if (count == 0) return 0;
  if (buffer == nullptr) return -1;
  return CursorReadBytes(&channel->cursor, &channel->store, count, buffer);
}

int UnreadChannelBytes(OutputChannel* channel, DWORD n) {
  return channel == nullptr ? -1 : CursorUnreadBytes(&channel->cursor, n);
}

int ReadStoredRecordHeader(OutputChannel* channel, StoredRecordHeader* header) {
  if (channel == nullptr) return -1;
  const int r = CursorNextRecord(&channel->cursor, &channel->store, header);
  if (r == kStoredPageEnd && EndCursorRead(&channel->cursor) != 0) return -1;
  return r;
}

int ReadStoredRecordData(OutputChannel* channel, DWORD length, void* buffer) {
  if (channel == nullptr) return -1;
  if (length == 0) return 0;
  return CursorReadRecordData(&channel->cursor, &channel->store, length, buffer);
}
