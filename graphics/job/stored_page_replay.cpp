#include "graphics/job/stored_page_replay.h"

#include <bit>
#include <cstring>

#include "graphics/device/job_state.h"
#include "graphics/drawing/command_replayer.h"
#include "graphics/drawing/graphics_emitter.h"
#include "graphics/job/page_geometry.h"
#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "platform/base/byte_order.h"

namespace {

constexpr DWORD kAxisBytes = 24;

// The colour part of a stored page's record (paper block, orientation word, colour set,
// colour state), as the page-record table keeps it.
struct PageColorRecord {
  PagePaperBlock paper;
  DWORD orientation;
  ColorSet colors;
  DWORD colorState;
};
static_assert(sizeof(PageColorRecord) == kPageRecordBytes);

// Colour 2 while the set still collects becomes count x 16 + 2.
BYTE EncodeColorCode(const ColorSet& set, BYTE code) {
  if (code == kPageCodeColor && set.Collecting != 0) return static_cast<BYTE>(set.Count * 16 + kPageCodeColor);
  return code;
}

// Interprets one stored record of the page being replayed.
int ApplyRecord(StoredPageJob* job, const StoredRecordHeader& h, DWORD flags, BYTE colorCode, const float* placement,
                LONG mediaOverride) {
  OutputChannel* channel = job->channel;
  switch (h.kind) {
    case kStoredPageStart: {
      // Only a whole record is read: a damaged length would run past the payload buffer.
      if (h.length != kStoredPageStartBytes) return -1;
      BYTE bytes[kStoredPageStartBytes];
      if (ReadStoredRecordData(channel, h.length, bytes) != h.length) return -1;
      if ((flags & kReplayPageStart) == 0) return 0;
      StoredPageStart start{};
      DecodeStoredPageStart(bytes, &start);
      if (job->pageState != nullptr) job->pageState->sheet = start.sheet;
      job->mediaCode = start.paperSource;
      job->colorParameter = start.colorParameter;
      if (job->booklet == 0) job->sidesOnSheet = start.side;
      const BYTE media = mediaOverride != kNoMediaOverride ? static_cast<BYTE>(mediaOverride) : start.mediaSource;
      return job->startPage != nullptr ? job->startPage(job, start, colorCode, media) : 0;
    }
    case kStoredShowPage:
      if (h.length != 0) return -1;
      return (flags & kReplayShowPage) != 0 && EmitShowPage(job->emitter) != 0 ? -1 : 0;
    case kStoredEndPage:
      if (h.length != 0) return -1;
      return (flags & kReplayEndPage) != 0 && EmitEndPage(job->emitter) != 0 ? -1 : 0;
    case kStoredPageAxis: {
      if (h.length != kAxisBytes) return -1;
      BYTE bytes[kAxisBytes];
      if (ReadStoredRecordData(channel, h.length, bytes) != h.length) return -1;
      if ((flags & kReplayAxis) == 0) return 0;
      float recorded[6];
      for (int i = 0; i < 6; ++i) recorded[i] = std::bit_cast<float>(GetLE32(bytes + 4 * i));
      float axis[6];
      // The placement followed by the recorded axis.
      if (placement != nullptr)
        ComposeMatrix(axis, placement, recorded);
      else
        std::memcpy(axis, recorded, sizeof axis);
      return EmitSetAxis(job->emitter, axis) != 0 ? -1 : 0;
    }
    default:
      return -1;
  }
}

// While the channel also writes a display list (print to file), the display-list bytes of the
// page up to its next record go to the channel as drawing the page would have written them; the
// read position is then put back for the replay into the library.
int CopyListBytesToChannel(OutputChannel* channel, BYTE* buffer, DWORD size) {
  if (channel->mode != kChannelUserFile && channel->mode != kChannelPrinterAndFile) return 0;
  DWORD copied = 0;
  int result = 0;
  for (;;) {
    const int n = ReadChannelChunk(channel, size, buffer);
    if (n <= 0) {
      if (n < 0) result = -1;
      break;
    }
    copied += static_cast<DWORD>(n);
    if (WriteChannel(channel, static_cast<DWORD>(n), buffer) < 0) result = -1;
  }
  if (UnreadChannelBytes(channel, copied) != 0) result = -1;
  return result;
}

}  // namespace

int ReadPageColorRecord(StoredPageJob* job, DWORD* colorState, ColorSet* colors, WORD page) {
  if (job == nullptr || colorState == nullptr || colors == nullptr) return -1;
  PageColorRecord record;
  if (ReadPageRecord(job->channel, page, kPageRecordBytes, &record) != 0) return -1;
  *colorState = record.colorState;
  *colors = record.colors;
  return 0;
}

int DecideStoredPageColor(StoredPageJob* job, BYTE* code, WORD page, WORD secondPage, LONG colorMode) {
  if (job == nullptr || code == nullptr) return -1;
  const bool first = page < kNoStoredPage, second = secondPage < kNoStoredPage;
  if (!first && !second) {
    *code = colorMode != 0 ? kPageCodeFixed : kPageCodeMono;
    job->pageColor = kPageColorMonochrome;
    job->colorCount = 0;
    return 0;
  }
  DWORD color = 0;
  ColorSet set{};
  if (first && second) {
    DWORD otherColor = 0;
    ColorSet other{};
    if (ReadPageColorRecord(job, &color, &set, page) != 0 ||
        ReadPageColorRecord(job, &otherColor, &other, secondPage) != 0)
      return -1;
    MergeColorSets(&set, &other);
    color = color == kPageColorColor || otherColor == kPageColorColor ? kPageColorColor : kPageColorMonochrome;
  } else if (ReadPageColorRecord(job, &color, &set, first ? page : secondPage) != 0) {
    return -1;
  }
  int result = 0;
  if (colorMode != 0) {
    *code = kPageCodeFixed;
  } else if (color == kPageColorUndecided || color == kPageColorMonochrome) {
    *code = kPageCodeMono;
  } else if (color == kPageColorColor) {
    *code = EncodeColorCode(set, kPageCodeColor);
  } else {
    *code = static_cast<BYTE>(color);
    result = -1;
  }
  job->pageColor = color;
  job->colorCount = set.Collecting != 0 ? set.Count : 0;
  return result;
}

int ReplayStoredPage(StoredPageJob* job, WORD page, DWORD flags, BYTE colorCode, const float* placement,
                     LONG mediaOverride) {
  if (job == nullptr || job->channel == nullptr || job->emitter == nullptr) return -1;
  OutputChannel* channel = job->channel;
  if (!IsChannelStoreOpen(channel) || PositionStoredPage(channel, page) != 0) return -1;
  // Every state command of the page is sent again, whatever the library was sent before.
  const DWORD cached = SetStateCacheEnabled(job->emitter, 0);
  BYTE buffer[kReplayChunkSize];
  int result = 0;
  for (;;) {
    if (CopyListBytesToChannel(channel, buffer, kReplayChunkSize) != 0 ||
        ReplayCommands(channel, kReplayChunkSize, buffer) != kReplayDone) {
      result = -1;
      break;
    }
    StoredRecordHeader header{};
    const int next = ReadStoredRecordHeader(channel, &header);
    if (next == kStoredPageEnd) break;
    // A record that cannot be read in the middle of the page: the page was not printed whole.
    if (next != 0 || ApplyRecord(job, header, flags, colorCode, placement, mediaOverride) != 0) {
      result = -1;
      break;
    }
  }
  // A page left in the middle is closed, so that the next page can be read.
  if (channel->cursor.state == kCursorReading) EndCursorRead(&channel->cursor);
  SetStateCacheEnabled(job->emitter, cached);
  return result;
}

int ReplayPageRange(StoredPageJob* job, WORD page, DWORD flags, const float* placement, WORD secondPage,
                    LONG colorMode, LONG mediaOverride) {
  if (job == nullptr || (job->jobFlags & kJobOutputBegun) == 0) return -1;
  if (!IsChannelStoreOpen(job->channel)) return 0;
  if (page == secondPage && page < kNoStoredPage) return -1;
  BYTE code = 0;
  if (DecideStoredPageColor(job, &code, page, secondPage, colorMode) != 0) return -1;
  return ReplayStoredPage(job, page, flags, code, placement, mediaOverride);
}

int ReplayAllStoredPages(StoredPageJob* job) {
  if (job == nullptr) return -1;
  int result = 0;
  for (WORD i = 0; i < job->storedPages; ++i) {
    const WORD page = static_cast<WORD>(job->firstStoredPage +
                                        (job->reverseOrder != 0 ? job->storedPages - 1 - i : i));
    if (job->tiles != 0)
      result |= job->replayTiles != nullptr ? job->replayTiles(job, page) : -1;
    else
      result |= ReplayPageRange(job, page, kReplayPageStart, nullptr, kNoStoredPage, job->colorMode,
                                kNoMediaOverride);
  }
  return result;
}
