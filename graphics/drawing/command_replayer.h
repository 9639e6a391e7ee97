// The command replayer: plays one stored page's display list (display_list.h) back into the
// drawing library, making the calls that drawing the page directly would have made. The page
// is read from the output channel's temporary job store in chunks up to its next stored
// record; each command is found through constant dispatch tables (group letter, command letter,
// slot) and decoded by its slot's handler.
#pragma once

#include "platform/base/types.h"

struct OutputChannel;

// Reader errors.
constexpr int kReaderOk = 0;
constexpr int kReaderFailed = -1;  // reading the store failed
constexpr int kReaderEnd = -2;     // the page's bytes (up to its next record) are used up

// Results of ReplayCommands.
constexpr int kReplayDone = 0;         // the data ended between commands
constexpr int kReplayReadError = -1;   // reading the store failed
constexpr int kReplayBadData = -3;     // unknown or mismatched opcode, or data ending inside a command
constexpr int kReplayCallFailed = -4;  // a library call failed or the command is refused

// The chunk size the job code reads stored pages with, and the smallest one accepted (every
// fixed-size operand of a command is at most 4 bytes).
constexpr DWORD kReplayChunkSize = 1024;
constexpr DWORD kReplayMinChunkSize = 4;

struct DisplayListReader {
  BYTE* data;  // the chunk buffer supplied by the caller
  DWORD size;  // bytes valid in the buffer
  DWORD position;  // next byte to read
  OutputChannel* channel;
  DWORD chunkSize;  // bytes asked for per refill
  int error;        // kReaderOk, kReaderFailed or kReaderEnd
};

// Replays the channel's stored page from its read position until the page's bytes end (at its
// next stored record or its end), reading chunkSize bytes at a time into buffer (chunkSize
// bytes). Results as above; -1 also for a missing argument or a chunk size below the minimum.
int ReplayCommands(OutputChannel* channel, DWORD chunkSize, BYTE* buffer);

// Reader primitives: 0, or -1 with the reader's error set. A value is never split between two
// chunks: a refill first gives the unread bytes back to the store.
int RefillReader(DisplayListReader* reader);
int ReadByte(DisplayListReader* reader, BYTE* out);
int ReadUInt16BE(DisplayListReader* reader, WORD* out);
int ReadUInt32BE(DisplayListReader* reader, DWORD* out);
int ReadFloatBE(DisplayListReader* reader, float* out);
// Three bytes red, green, blue as 0xRRGGBB; one grey byte g as g x 0x010101.
int ReadRgb24(DisplayListReader* reader, DWORD* out);
int ReadGrey8(DisplayListReader* reader, DWORD* out);
// n bytes into destination; a page that ends before the block is full fails with kReaderEnd.
int ReadBlock(DisplayListReader* reader, BYTE* destination, DWORD n);
// One variable-length integer (at most kDlVarIntMaxBytes bytes); the bytes used, or -1.
int ReadVarInt(DisplayListReader* reader, LONG* out);
// Three variable-length integers, each kept as 16 bits; the bytes used, or -1.
int ReadVarPoint3(DisplayListReader* reader, SHORT out[3]);
