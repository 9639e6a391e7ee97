// The stored pages of the output channel: the page index and page-record tables, recording a
// page into the temporary job store (channel mode 2 between BeginStoredPage and
// EndStoredPage), stored records between its display-list bytes, and reading a completed page
// back chunk by chunk.
//
// Results: 0 or a count for success, -1 for failure.
#pragma once

#include "graphics/output/job_store_cursor.h"
#include "graphics/output/output_channel.h"
#include "platform/base/types.h"

// The page record of every stored page: paper block, orientation word, colour set and colour
// state.
constexpr WORD kPageRecordBytes = 116;
// Room and growth step of both tables.
constexpr WORD kStoredPageTableStep = 80;

// Page numbering from firstPage; both tables with room for count pages; a new store file.
int OpenChannelStore(OutputChannel* channel, WORD firstPage, WORD recordSize, WORD count);
// Page numbering 0, tables freed, the store file deleted; -1 when the delete failed.
int ResetChannelStore(OutputChannel* channel);
BOOL IsChannelStoreOpen(const OutputChannel* channel);
// Starts recording page n (the next page): channel mode 2.
int BeginStoredPage(OutputChannel* channel, WORD page);
// Ends the page being recorded: its index entry completed, channel mode 1.
int EndStoredPage(OutputChannel* channel);
// A stored record after the display-list bytes written so far.
int WriteStoredRecord(OutputChannel* channel, WORD kind, WORD length, const void* payload);
int WritePageRecord(OutputChannel* channel, WORD page, WORD size, const void* record);
int ReadPageRecord(OutputChannel* channel, WORD page, WORD size, void* buffer);
// Positions the reader at the start of completed page n.
int PositionStoredPage(OutputChannel* channel, WORD page);
// Display-list bytes of the page being read up to the next record: bytes read, 0 at a record
// or the page's end.
int ReadChannelChunk(OutputChannel* channel, DWORD count, void* buffer);
// Gives back n bytes of the last chunks: the next chunk starts with them again.
int UnreadChannelBytes(OutputChannel* channel, DWORD n);
// The next record's header (0), or kStoredPageEnd when the page ends (reading then ends).
int ReadStoredRecordHeader(OutputChannel* channel, StoredRecordHeader* header);
int ReadStoredRecordData(OutputChannel* channel, DWORD length, void* buffer);
