// The output channel: the graphics module's one byte sink for a document. Its mode says where
// the bytes go: to the printer's spool job, to the temporary job store, to a user file (print
// to file) or to the printer and a user file at once. Small writes gather in a staging buffer;
// bytes reach a target only through FlushChannel and the write-through of WriteChannel. The
// staging buffer is empty after every flush, whether it succeeded or not, and every mode
// change flushes first. A writer that encodes its bytes in place asks for the channel's room:
// in mode 2 with nothing staged that is the temporary job store's write-behind block, so the
// bytes are copied no more.
//
// Results: 0 or a positive count for success, -1 for failure; the failures of several steps
// are ORed into one result.
#pragma once

#include "graphics/output/job_store_cursor.h"
#include "graphics/output/record_array.h"
#include "graphics/output/temp_job_store.h"
#include "platform/base/types.h"

// Channel modes.
constexpr WORD kChannelClosed = 0;
constexpr WORD kChannelPrinter = 1;
constexpr WORD kChannelTempStore = 2;
constexpr WORD kChannelUserFile = 3;
constexpr WORD kChannelPrinterAndFile = 4;

constexpr DWORD kChannelStagingSize = 2048;

// Strings of the resource module shown when a user-file write fails.
constexpr UINT kWriteFailureCaptionString = 6;
constexpr UINT kPrintToFileFailureString = 4;

struct DrawingLibrarySession;

struct OutputChannel {
  WORD mode;
  HANDLE target;  // the printer handle written to; NULL when closed
  WORD firstPage;
  WORD pageCount;
  RecordArray pageRecords;
  DWORD fill;  // bytes waiting in the staging buffer
  BYTE staging[kChannelStagingSize];
  HMODULE resourceModule;  // source of the message texts
  HANDLE file;             // the user file; INVALID_HANDLE_VALUE when none
  DWORD messageId;         // resource string shown when a user-file write fails
  RecordArray pageIndex;
  TempJobStore store;       // the stored pages (mode 2)
  StoredPageCursor cursor;  // the stored page being written or read
  DrawingLibrarySession* session;  // the document's drawing-library session; NULL when none
  LONG liveAllocations;            // counted blocks of the session still allocated
};

// A new zero-filled channel on the global heap: closed, no target, no user file. NULL when no
// memory is left.
OutputChannel* CreateChannel(HMODULE resourceModule);
// Frees the channel and its tables (closing a user file still open); 0, also for NULL.
int DestroyChannel(OutputChannel* channel);
// Empties the page tables and page counters.
int InitChannelStore(OutputChannel* channel);
// Frees the page tables and clears the page counters.
int FreeChannelStore(OutputChannel* channel);

// The engine's own printer handle becomes the target (nothing is opened): mode 1. A NULL
// handle leaves the channel closed: -1. The names and `reserved` are not used.
int OpenChannelPrinter(OutputChannel* channel, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName,
                       LPCWSTR reserved);
// A new "RAW" spool job on the same printer, named after the document, becomes the target:
// mode 1; the channel stays closed (-1) when it cannot be opened.
int OpenChannelSpoolJob(OutputChannel* channel, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName,
                        LPCWSTR reserved);
BOOL HasChannelTarget(const OutputChannel* channel);

// Room behind the bytes the channel holds, for a writer that encodes in place and then adds the
// bytes it used to *fill (bytes never counted are not written). In mode 2 with nothing staged
// and a usable store: the free part of the store's write-behind block; otherwise the free part
// of the staging buffer. Never more than kChannelStagingSize bytes, and possibly none; a writer
// that needs more uses WriteChannel instead.
struct ChannelRoom {
  BYTE* bytes;
  DWORD size;
  DWORD* fill;
};
inline ChannelRoom GetChannelRoom(OutputChannel* channel) {
  if (channel->mode == kChannelTempStore && channel->fill == 0) {
    DWORD size = 0;
    if (BYTE* bytes = GetTempStoreAppendRoom(&channel->store, &size))
      return {bytes, size < kChannelStagingSize ? size : kChannelStagingSize, &channel->store.appended};
  }
  return {channel->staging + channel->fill, kChannelStagingSize - channel->fill, &channel->fill};
}

// Stages the bytes when they fit behind the waiting ones; otherwise flushes and writes the
// whole block straight through to the mode's targets. `length` or -1; length 0 answers 0.
int WriteChannel(OutputChannel* channel, DWORD length, const void* bytes);
// Hands the waiting bytes to the mode's targets, and the temporary job store's appended bytes
// to its file; 0 or -1.
int FlushChannel(OutputChannel* channel);
// Flushes, then sets the mode; the flush's result, -1 when the current mode is not 0 to 4.
int SetChannelMode(OutputChannel* channel, WORD mode);
// Flushes and forgets the target without closing it (the engine owns that job): mode 0. -1
// when there is no target, else the flush's result.
int ReleaseChannelTarget(OutputChannel* channel);
// Flushes, then ends and closes the spool job that OpenChannelSpoolJob opened: mode 0 and no
// target. When ending or closing fails: -1 and the target stays recorded.
int CloseChannelToPrinter(OutputChannel* channel);
// The mode-2 write: appends the bytes to the temporary job store at its end (they reach its
// file once per block of appends, and at the latest at FlushChannel). 0 or -1.
int WriteChannelToTempStore(OutputChannel* channel, DWORD length, const void* bytes);
