// The command recorder: the one place where a drawing command leaves the graphics module. Each
// function reads the output channel's mode at the call: in modes 1 (printer) and 4 (printer and
// file) it calls the drawing library first (library_calls.h) and a non-zero answer fails the
// command at once, before anything is written; in modes 2 (temporary job store), 3 (user file)
// and 4 it then writes the command in display-list form (display_list.h) into the channel.
// Mode 0 does neither. Every function answers 0 or -1.
//
// A command is checked whole before any of it is written (colour spaces, counts that must fit
// 16 bits, record lengths), so a refused command leaves nothing in the list. Its bytes are
// gathered and handed to the channel in one write, so a command of up to 2048 bytes either
// enters the channel whole or fails whole; longer ones (large point lists, pattern and image
// data) are written in pieces.
#pragma once

#include "graphics/drawing/library_calls.h"
#include "graphics/drawing/point_encoding.h"
#include "graphics/output/display_list.h"
#include "platform/base/types.h"

struct OutputChannel;

// Mode flags of RecordSecondaryColor.
constexpr BYTE kSecondaryOpaque = 1;
constexpr BYTE kSecondaryTransparent = 2;

int RecordSetAxis(OutputChannel* channel, const float axis[6]);
int RecordInitClip(OutputChannel* channel);
int RecordSetRectangleClip(OutputChannel* channel, LONG x0, LONG y0, LONG x1, LONG y1);
int RecordSetRectangleClipReal(OutputChannel* channel, float x0, float y0, float x1, float y1);
int RecordClipPath(OutputChannel* channel);
int RecordSetLineWidth(OutputChannel* channel, WORD width);
int RecordSetLineWidthReal(OutputChannel* channel, float width);
int RecordSetLineCap(OutputChannel* channel, BYTE cap);
int RecordSetLineJoin(OutputChannel* channel, BYTE join);
int RecordSetMiterLimit(OutputChannel* channel, BYTE limit);
int RecordSetMiterLimitReal(OutputChannel* channel, float limit);
// Kinds other than 6 carry only the kind in the list; the library still gets what is given.
int RecordSetLineType(OutputChannel* channel, BYTE kind, WORD offset, BYTE count, const WORD* dashes);
int RecordSetLineTypeReal(OutputChannel* channel, BYTE kind, float offset, BYTE count, const float* dashes);
int RecordAdjustStroke(OutputChannel* channel, BYTE value);
int RecordSetFillMode(OutputChannel* channel, BYTE mode);
int RecordSetDrawMode(OutputChannel* channel, BYTE mode);
int RecordSetRopMode(OutputChannel* channel, BYTE code, DWORD value);
// color: 0xRRGGBB; colour spaces 3 (its low byte is the grey) and 4 only.
int RecordSetSolidColor(OutputChannel* channel, BYTE kind, BYTE colorSpace, DWORD color);
// Patterns take the session's secondary colour as their second colour and background.
int RecordSetHatchPattern(OutputChannel* channel, LONG x, LONG y, BYTE style, BYTE colorSpace, BYTE pattern,
                          DWORD color);
int RecordSetHatchPatternReal(OutputChannel* channel, float x, float y, BYTE style, BYTE colorSpace, BYTE pattern,
                              DWORD color);
// bits: ((width + 7) >> 3) x height bytes.
int RecordSetMaskPattern(OutputChannel* channel, LONG x, LONG y, BYTE kind, BYTE colorSpace, DWORD color, WORD width,
                         WORD height, const BYTE* bits);
int RecordSetMaskPatternReal(OutputChannel* channel, float x, float y, BYTE kind, BYTE colorSpace, DWORD color,
                             WORD width, WORD height, const BYTE* bits);
int RecordSetRasterPattern(OutputChannel* channel, LONG x, LONG y, BYTE kind, BYTE colorSpace, BYTE bits, WORD width,
                           WORD height, BYTE countByte, DWORD length, const BYTE* data);
// Stores the session's secondary colour: background opaque for kSecondaryOpaque, else
// transparent. Nothing is called or written.
int RecordSecondaryColor(OutputChannel* channel, BYTE kind, BYTE colorSpace, BYTE modeFlag, DWORD color);
int RecordSetGraphicsMode(OutputChannel* channel, LONG first, LONG second);
int RecordSetPatternResolution(OutputChannel* channel, BYTE patternKind, WORD resolution);
int RecordInitPath(OutputChannel* channel);
int RecordClosePath(OutputChannel* channel);
int RecordDrawPath(OutputChannel* channel);
int RecordMovePoint(OutputChannel* channel, LONG x, LONG y);
int RecordMovePointReal(OutputChannel* channel, float x, float y);
// Whole-pixel points (their low 16 bits are sent); at most 65535 points.
int RecordAddLinePath(OutputChannel* channel, DWORD count, const RecordPoint* points);
// 28.4 points, sent as floats (x 0.0625); at most 65535 points.
int RecordAddLinePathReal(OutputChannel* channel, DWORD count, const RecordPoint* points);
// count curve segments of three 28.4 points each; at most 65535. A count of 0 calls nothing.
int RecordAddBezierPath(OutputChannel* channel, DWORD count, const RecordPoint* points);
int RecordDrawRectangle(OutputChannel* channel, LONG x0, LONG y0, LONG x1, LONG y1);
int RecordDrawRectangleReal(OutputChannel* channel, float x0, float y0, float x1, float y1);
int RecordDrawEllipseArc(OutputChannel* channel, const float values[6]);
int RecordDrawImageMask(OutputChannel* channel, const ImageMaskHeader& header);
// The "Cq" header, with the tail when the image data follows as plain rows.
int RecordDrawImage(OutputChannel* channel, const ImageAttributes& header);
// The tail of a "Cq" header alone; written in the list modes only.
int RecordDrawImageTail(OutputChannel* channel, const ImageAttributes& header);
// The data of the image whose header was recorded last.
int RecordImageData(OutputChannel* channel, const BYTE* bytes, DWORD length);
// record: 4 bytes, u32 little-endian total length L (8 or more), L - 8 bytes.
int RecordDrawDataFont(OutputChannel* channel, float x, float y, DWORD value, const BYTE* record);
int RecordDrawDataFontAt(OutputChannel* channel, SHORT x, SHORT y, const BYTE* record);
int RecordDrawDataFontAtReal(OutputChannel* channel, float x, float y, const BYTE* record);
int RecordStartJob(OutputChannel* channel, BYTE jobByte, WORD a, WORD b);
int RecordEndJob(OutputChannel* channel);
// The session's page block, resource path block and page size block.
int RecordStartPage(OutputChannel* channel);
int RecordEndPage(OutputChannel* channel);
int RecordShowPage(OutputChannel* channel);
// block: {u32 block size, u32 text length, text}; the list receives the text alone.
int RecordJobHeader(OutputChannel* channel, const BYTE* block, DWORD blockSize, JobBlockKind kind);
