// The thin call layer between the command recorder (and the replayer) and the bound drawing
// library: one function per called slot. Each takes the channel, finds its session's table
// and library handle, flushes the channel's waiting bytes (the library writes to the same
// spool job, so the module's own bytes must go first), converts the arguments to the widths
// the library takes and answers the library's result unchanged; -1 when there is no usable
// session, the flush fails or a conversion block cannot be allocated.
#pragma once

#include <type_traits>
#include <utility>

#include "graphics/drawing/drawing_session.h"

struct OutputChannel;

// Which block SendLibraryJobHeader hands over.
enum class JobBlockKind : BYTE { kHeader, kTrailer };

// A real value cut to a whole one, as the integer arguments of the library take it: truncated
// toward zero, held to the 32-bit range (a value beyond it, or not a number, has no whole form).
inline LONG TruncateToLong(float v) {
  if (!(v == v)) return 0;
  if (v >= 2147483648.0f) return 0x7FFFFFFF;
  if (v < -2147483648.0f) return static_cast<LONG>(0x80000000u);
  return static_cast<LONG>(v);
}

// The bound library's function table and handle of a channel, with the channel's waiting
// bytes flushed; false when there is no usable session or the flush fails.
bool ConnectLibrary(OutputChannel* channel, DrawingFunctionTable** functions, VrHandle* library);

// Calls one slot of the bound library with the arguments as the slot takes them; -1 when the
// channel has no usable library.
template <typename... Params>
int CallLibrarySlot(int (*DrawingFunctionTable::*slot)(VrHandle, Params...), OutputChannel* channel,
                    std::type_identity_t<Params>... args) {
  DrawingFunctionTable* functions;
  VrHandle library;
  return ConnectLibrary(channel, &functions, &library) ? (functions->*slot)(library, args...) : -1;
}

// Calls a slot that takes only floats with the values of an array, one per parameter.
template <typename... Params>
int CallLibrarySlotWithArray(int (*DrawingFunctionTable::*slot)(VrHandle, Params...), OutputChannel* channel,
                             const float* values) {
  return [&]<size_t... I>(std::index_sequence<I...>) {
    return CallLibrarySlot(slot, channel, values[I]...);
  }(std::index_sequence_for<Params...>{});
}

// The corners go to the library as two counted 8-byte blocks, freed after the call.
int CallSetRectangleClip(OutputChannel* channel, LONG x0, LONG y0, LONG x1, LONG y1);
int CallClipPath(OutputChannel* channel);
// dashes may be NULL when count is 0.
int CallSetLineType(OutputChannel* channel, WORD kind, float offset, WORD count, const float* dashes);
// color is 0xRRGGBB; colour spaces other than 3 and 4 answer -1 before the library is reached.
int CallSetSolidColor(OutputChannel* channel, WORD kind, BYTE colorSpace, DWORD color);
// The origin is passed as signed 16-bit values; the pattern byte is split into its nibbles;
// the secondary colour gives colour space 2, colour 2 and the background mode.
int CallSetHatchPattern(OutputChannel* channel, LONG x, LONG y, WORD style, BYTE colorSpace, BYTE pattern,
                        DWORD color, const SecondaryColor& second);
int CallSetMaskPattern(OutputChannel* channel, LONG x, LONG y, WORD kind, BYTE colorSpace, DWORD color,
                       const SecondaryColor& second, WORD width, WORD height, const BYTE* bits);
// The library is told the low 16 bits of the data length.
int CallSetRasterPattern(OutputChannel* channel, LONG x, LONG y, WORD kind, WORD colorSpace, WORD bits, WORD width,
                         WORD height, DWORD length, const BYTE* data);
int CallSetGraphicsMode(OutputChannel* channel, WORD second, WORD first);
// count pairs of f32.
int CallAddLinePath(OutputChannel* channel, WORD count, const float* points);
// count segments of three control points (6 x count f32); also for a count of 0.
int CallAddBezierPath(OutputChannel* channel, WORD count, const float* points);
// 2 x count + 2 f32 values (n + 1 points). The library always reads floats: the integer form
// of the command ("CA") is widened by its reader before the call.
int CallDrawLine(OutputChannel* channel, WORD count, const float* values);
// The library always gets 1 as the last argument.
int CallDrawRectangle(OutputChannel* channel, float x0, float y0, float x1, float y1);
int CallDrawBezier(OutputChannel* channel, WORD count, float x, float y, const float* points);
// record: 4 bytes, its u32 little-endian total length, the rest.
int CallDrawDataFont(OutputChannel* channel, float x, float y, DWORD value, const BYTE* record);
int CallSetPatternResolution(OutputChannel* channel, WORD resolution);
int CallEndPage(OutputChannel* channel);
// VR_EndPage when a library page is still open (a replay that failed part-way leaves one);
// 0 when none is, else the library's answer as 0 or -1.
int EndOpenLibraryPage(OutputChannel* channel);

// The header or trailer block {u32 block size, u32 text length, text}: -1 when the library
// answers -1, else 0.
int SendLibraryJobHeader(OutputChannel* channel, const BYTE* block, JobBlockKind kind);
// VR_StartJob; when it succeeds, VR_SetRasterSmoothingMode(a, b). The first non-zero answer.
int StartLibraryJob(OutputChannel* channel, WORD jobMode, WORD a, WORD b);
// VR_StartPage with the three page blocks, then VR_SetColorParameter with the session's
// colour block; -1 when either answers -1, else 0.
int StartLibraryPage(OutputChannel* channel, const BYTE* pageBlock, const BYTE* resourcePathBlock,
                     const BYTE* pageSizeBlock);

// Direct-mode images. The header arrives first; a header with data waits in the session until
// CallAppendImageData has collected exactly the announced bytes, then the library draws it. A
// new header while another image waits drops the waiting one first.
int CallDrawImageMask(OutputChannel* channel, const ImageMaskHeader& header);
int CallDrawImage(OutputChannel* channel, const ImageAttributes& header);
// -1 without a waiting image, or when the bytes would exceed what it still needs (the image is
// then dropped); 0 while more is needed; the library's answer once the image is complete.
int CallAppendImageData(OutputChannel* channel, const BYTE* bytes, DWORD length);
// Frees a waiting image's blocks and clears the pending state.
void DropPendingImage(OutputChannel* channel, DrawingLibrarySession* session);
