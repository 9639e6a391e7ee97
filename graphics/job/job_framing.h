// The frame of every print job: the job header block before the first page (the job header's
// attribute lines, and for output format 7 the stream header line behind them) and the job
// trailer block after the last page. Each block is {u32 block size = payload + 8, u32 payload
// length, ANSI text without terminator}, a counted block that the drawing-library session
// keeps and frees; the emitter hands it to the library or writes its text into the channel.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// The output format whose job header is followed by the stream header line.
constexpr BYTE kOutputFormatStreamHeader = 7;

// BeginJobOutput's header (header TRUE, the pass's number) and EndJobOutput's trailer; 0 or -1.
int WriteJobHeaderOrTrailer(Pdev* pdev, BOOL header, WORD pass);
// Length of the stream header line (0 unless output format 7); with a destination the line is
// copied there with its terminator (the destination holds at least 64 bytes).
int FormatStreamHeaderLine(Pdev* pdev, char* destination);

// Writes the booklet's side count into the place the header text keeps for it at `offset`
// ("@PJL SET JOBATTR=\"@BKTP=n\"" with the model's job-attribute lines, else "@BKTP=n"),
// without a terminator. 1 when written or when the offset is 0 (nothing to write); 0 when the
// attribute would run past the text's `length` bytes (nothing is written).
int InsertBookletAttribute(DatabaseStream* main, DatabaseStream* linked, WORD number, DWORD offset, char* text,
                           DWORD length);

// Trailer pieces over the model's database: sizes with a margin of 5 bytes, and writers that
// answer the bytes written (or a negative code of the job header writer).
int GetTrailerSize(DatabaseStream* main, DatabaseStream* linked);
int WriteTrailer(DatabaseStream* main, DatabaseStream* linked, char* buffer, DWORD capacity);
int GetUelSize();
int GetEndOfJobLineSize(DatabaseStream* main, DatabaseStream* linked);
int WriteUelOnly(char* buffer, DWORD capacity);
int WriteEndOfJobLine(DatabaseStream* main, DatabaseStream* linked, char* buffer, DWORD capacity);
