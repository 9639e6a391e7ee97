#include "graphics/output/output_channel.h"

#include <cstring>

#include "core/persist/file_block.h"
#include "graphics/output/channel_boxes.h"
#include "graphics/output/channel_files.h"
#include "graphics/output/print_jobs.h"
#include "platform/kernel/files.h"
#include "platform/kernel/memory.h"

namespace {

bool IsValidMode(WORD mode) { return mode <= kChannelPrinterAndFile; }
bool WritesPrinter(WORD mode) { return mode == kChannelPrinter || mode == kChannelPrinterAndFile; }
bool WritesUserFile(WORD mode) { return mode == kChannelUserFile || mode == kChannelPrinterAndFile; }

// Writes bytes to the printer target; 0, or -1 when the write fails or takes fewer bytes.
int WriteChannelPrinter(OutputChannel* channel, DWORD length, const BYTE* bytes) {
  DWORD written = 0;
  return WriteToPrinter(channel->target, bytes, length, &written) && written == length ? 0 : -1;
}

// Writes bytes to the user file. While a write takes fewer bytes than asked the user is asked:
// OK goes on with the bytes not yet written, anything else fails the write (-1).
int WriteChannelUserFile(OutputChannel* channel, DWORD length, const BYTE* bytes) {
  while (length > 0) {
    const DWORD written = WriteFileBlock(channel->file, bytes, length);
    bytes += written;
    length -= written;
    if (length > 0 && !AskRetryChannelWrite(channel)) return -1;
  }
  return 0;
}

// Hands bytes to every target of the current mode (in mode 2 as an append to the temporary job
// store, which writes its file once per block of appends); 0 or -1.
int WriteChannelTargets(OutputChannel* channel, DWORD length, const BYTE* bytes) {
  if (channel->mode == kChannelTempStore) return WriteChannelToTempStore(channel, length, bytes);
  int result = 0;
  // A failed printer write does not keep a mode-4 write from trying the file.
  if (WritesPrinter(channel->mode)) result |= WriteChannelPrinter(channel, length, bytes);
  if (WritesUserFile(channel->mode)) result |= WriteChannelUserFile(channel, length, bytes);
  return result;
}

// Hands the staged bytes to the mode's targets and empties the staging buffer; 0 or -1.
int PassStagedBytes(OutputChannel* channel) {
  if (channel->fill == 0) return 0;
  const int result = WriteChannelTargets(channel, channel->fill, channel->staging);
  channel->fill = 0;
  return result;
}

}  // namespace

OutputChannel* CreateChannel(HMODULE resourceModule) {
  auto* channel = static_cast<OutputChannel*>(GlobalAlloc(GPTR, sizeof(OutputChannel)));
  if (channel == nullptr) return nullptr;
  channel->mode = kChannelClosed;
  channel->target = nullptr;
  channel->file = INVALID_HANDLE_VALUE;
  channel->messageId = 0;
  channel->resourceModule = resourceModule;
  InitChannelStore(channel);
  InitStoredPageCursor(&channel->cursor);
  return channel;
}

int DestroyChannel(OutputChannel* channel) {
  if (channel == nullptr) return 0;
  FreeChannelStore(channel);
  // A user file still open when the document ends (an aborted print to file) is closed here.
  CloseFileHandle(channel->file);
  GlobalFree(channel);
  return 0;
}

int InitChannelStore(OutputChannel* channel) {
  if (channel == nullptr) return -1;
  channel->firstPage = channel->pageCount = 0;
  InitRecordArray(&channel->pageRecords);
  InitRecordArray(&channel->pageIndex);
  InitTempStore(&channel->store, FALSE, channel->resourceModule);
  return 0;
}

int FreeChannelStore(OutputChannel* channel) {
  if (channel == nullptr) return -1;
  channel->firstPage = channel->pageCount = 0;
  FreeBuffer(&channel->pageRecords);
  FreeBuffer(&channel->pageIndex);
  // A store file still there is deleted rather than forgotten.
  if (channel->store.name[0] != 0) DeleteTempStore(&channel->store);
  else InitTempStore(&channel->store, FALSE, channel->resourceModule);
  return 0;
}

int OpenChannelPrinter(OutputChannel* channel, HANDLE printer, LPCWSTR, LPCWSTR, LPCWSTR) {
  if (channel == nullptr) return -1;
  // Each document first removes the store files that finished or crashed jobs left behind.
  if (channel->store.name[0] == 0) InitTempStore(&channel->store, TRUE, channel->resourceModule);
  channel->target = AttachPrinterHandle(printer);
  channel->fill = 0;
  channel->mode = channel->target != nullptr ? kChannelPrinter : kChannelClosed;
  return channel->target != nullptr ? 0 : -1;
}

int OpenChannelSpoolJob(OutputChannel* channel, HANDLE printer, LPCWSTR outputName, LPCWSTR documentName,
                        LPCWSTR) {
  if (channel == nullptr) return -1;
  channel->target = OpenRawPrintJob(printer, outputName, documentName);
  channel->fill = 0;
  channel->mode = channel->target != nullptr ? kChannelPrinter : kChannelClosed;
  return channel->target != nullptr ? 0 : -1;
}

BOOL HasChannelTarget(const OutputChannel* channel) {
  return channel != nullptr && HasFileHandle(channel->target);
}

int WriteChannel(OutputChannel* channel, DWORD length, const void* bytes) {
  if (channel == nullptr || channel->mode == kChannelClosed) return -1;
  if (length == 0) return 0;
  if (bytes == nullptr || length > 0x7FFFFFFF) return -1;
  if (length <= kChannelStagingSize - channel->fill) {
    std::memcpy(channel->staging + channel->fill, bytes, length);
    channel->fill += length;
    return static_cast<int>(length);
  }
  // A block that does not fit is not split: the waiting bytes go first, then the whole block.
  int result = PassStagedBytes(channel);
  result |= WriteChannelTargets(channel, length, static_cast<const BYTE*>(bytes));
  return result == 0 ? static_cast<int>(length) : -1;
}

int FlushChannel(OutputChannel* channel) {
  if (channel == nullptr || channel->mode == kChannelClosed) return -1;
  int result = PassStagedBytes(channel);
  // Bytes recorded into the temporary job store are in its file after a flush.
  if (channel->store.appended > 0) result |= FlushTempStore(&channel->store);
  return result;
}

int SetChannelMode(OutputChannel* channel, WORD mode) {
  if (channel == nullptr || !IsValidMode(channel->mode) || !IsValidMode(mode)) return -1;
  const int result = channel->mode == kChannelClosed ? 0 : FlushChannel(channel);
  channel->mode = mode;
  return result;
}

int ReleaseChannelTarget(OutputChannel* channel) {
  if (channel == nullptr) return -1;
  const int flushed = channel->mode == kChannelClosed ? 0 : FlushChannel(channel);
  if (!HasFileHandle(channel->target)) return -1;
  channel->target = nullptr;
  channel->mode = kChannelClosed;
  return flushed;
}

int CloseChannelToPrinter(OutputChannel* channel) {
  if (channel == nullptr) return -1;
  const int flushed = channel->mode == kChannelClosed ? 0 : FlushChannel(channel);
  if (!ClosePrintJob(channel->target)) return -1;
  channel->target = nullptr;
  channel->mode = kChannelClosed;
  return flushed;
}

int WriteChannelToTempStore(OutputChannel* channel, DWORD length, const void* bytes) {
  if (channel == nullptr) return -1;
  return AppendTempStore(&channel->store, bytes, length);
}
