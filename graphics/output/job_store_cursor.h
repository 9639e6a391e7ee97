// The stored-page layout of the temporary job store and the cursor that writes and reads one
// page. A page is a contiguous stretch of the store: display-list bytes with stored records
// between them. A stored record is {u16 kind, u16 payload length, u32 distance from this
// record's start to the next record of the page (0 for the last), payload}, little-endian;
// the records of a page form a chain from its first record.
#pragma once

#include "graphics/output/temp_job_store.h"
#include "platform/base/types.h"

constexpr DWORD kStoredRecordHeaderBytes = 8;

// Stored record kinds.
constexpr WORD kStoredPageStart = 0;  // 56 bytes: the page-start parameters
constexpr WORD kStoredShowPage = 1;
constexpr WORD kStoredEndPage = 2;
constexpr WORD kStoredPageAxis = 3;   // 24 bytes: six f32

struct StoredRecordHeader {
  WORD kind;
  WORD length;
  DWORD distance;
};

// One stored page in the channel's page index.
struct PageIndexEntry {
  DWORD start;
  DWORD end;
  DWORD firstRecord;  // 0xFFFFFFFF when the page has no record
};
constexpr WORD kPageIndexEntryBytes = 12;
static_assert(sizeof(PageIndexEntry) == kPageIndexEntryBytes);

constexpr WORD kCursorIdle = 0;
constexpr WORD kCursorReading = 1;
constexpr WORD kCursorWriting = 2;
// ReadStoredRecordHeader and CursorNextRecord: the page has no more records or bytes.
constexpr int kStoredPageEnd = 3;

struct StoredPageCursor {
  WORD state;
  LONG firstRecord;
  LONG lastRecord;
  LONG nextBoundary;
  LONG pageEnd;
  DWORD readPosition;
};

// All operations answer -1 for a wrong state or a missing argument.
// Idle, every offset -1.
int InitStoredPageCursor(StoredPageCursor* cursor);
int BeginCursorWrite(StoredPageCursor* cursor, TempJobStore* store);
// Appends a record at the store's end and links the page's previous record to it.
int CursorWriteRecord(StoredPageCursor* cursor, TempJobStore* store, WORD kind, WORD length, const void* payload);
// The page's first record offset (-1 when none); back to idle.
int EndCursorWrite(StoredPageCursor* cursor, TempJobStore* store);
int BeginCursorRead(StoredPageCursor* cursor, const PageIndexEntry* entry);
// Display-list bytes up to the next record boundary: bytes read, 0 at a boundary.
int CursorReadBytes(StoredPageCursor* cursor, TempJobStore* store, DWORD count, void* buffer);
// At a boundary: the next record's header (0), or kStoredPageEnd at the page's end.
int CursorNextRecord(StoredPageCursor* cursor, TempJobStore* store, StoredRecordHeader* header);
// The record's payload at the read position; bytes read.
int CursorReadRecordData(StoredPageCursor* cursor, TempJobStore* store, DWORD length, void* buffer);
// Moves the read position back by n bytes read since the last boundary.
int CursorUnreadBytes(StoredPageCursor* cursor, DWORD n);
int EndCursorRead(StoredPageCursor* cursor);
