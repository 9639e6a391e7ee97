#include "graphics/output/file_target.h"

#include "graphics/output/channel_files.h"
#include "platform/kernel/files.h"

int OpenFileTarget(OutputChannel* channel, LPCWSTR path, LPDWORD startOffset, BOOL create) {
  if (channel == nullptr) return -1;
  HANDLE file = OpenFileForChannel(path, create ? kChannelFileCreate : 0);
  const DWORD end = SeekFileFromEnd(file, 0);
  if (file == INVALID_HANDLE_VALUE || end == INVALID_SET_FILE_POINTER) {
    CloseFileHandle(file);
    channel->file = INVALID_HANDLE_VALUE;
    return -1;
  }
  channel->file = file;
  if (startOffset != nullptr) *startOffset = end;
  return SetChannelMode(channel, kChannelUserFile);
}

int CloseFileTarget(OutputChannel* channel, LPDWORD endOffset) {
  if (channel == nullptr) return -1;
  int result = FlushChannel(channel);
  const DWORD end = SeekFileFromEnd(channel->file, 0);
  if (end == INVALID_SET_FILE_POINTER) result = -1;
  if (endOffset != nullptr) *endOffset = end;
  result |= SetChannelMode(channel, kChannelPrinter);
  const BOOL closed = CloseFileHandle(channel->file);
  channel->file = INVALID_HANDLE_VALUE;
  return closed ? result : -1;
}

int AddFileTarget(OutputChannel* channel, LPCWSTR path) {
  if (channel == nullptr || channel->mode != kChannelPrinter) return -1;
  const int opened = OpenFileTarget(channel, path, nullptr, TRUE);
  channel->mode = kChannelPrinterAndFile;
  return opened;
}

int EndFileTarget(OutputChannel* channel) {
  if (channel == nullptr) return -1;
  int result = FlushChannel(channel);
  result |= SetChannelMode(channel, kChannelPrinter);
  return result | CloseFileTarget(channel, nullptr);
}
