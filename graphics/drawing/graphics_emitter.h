// The graphics-state emitter: every drawing path of the module sends its commands through it.
// It keeps the last value sent of every graphics-state item (the state cache) and sends a
// state command only when the value differs, and it chooses the integer or the real form of a
// command by the values at hand; the command recorder then sends it. Every Emit function
// answers 0 (sent, or nothing to send) or -1 (the recorder failed; the cached value stays).
#pragma once

#include "graphics/drawing/command_recorder.h"
#include "platform/base/types.h"

struct OutputChannel;
struct Pdev;

struct GraphicsStateCache {
  DWORD enabled;
  float axis[6];
  float lineWidth;
  LONG lineJoin;
  LONG lineCap;
  float miterLimit;
  LONG adjustStroke;
  WORD fillMode;
  WORD drawMode;
  WORD ropCode;
  DWORD ropValue;
  BYTE solidKind;
  BYTE solidSpace;
  DWORD solidColor;
  BYTE lineTypeKind;
  LONG patternX;
  LONG patternY;
  BYTE patternKind;
  BYTE patternSpace;
  BYTE patternBits;
  WORD patternWidth;
  WORD patternHeight;
  BYTE patternCount;
  DWORD patternLength;
  BYTE* patternData;  // copy of the last raster pattern's data; NULL when none is held
  BYTE secondaryKind;
  BYTE secondarySpace;
  BYTE secondaryMode;
  DWORD secondaryColor;
  LONG graphicsFirst;
  LONG graphicsSecond;
  // The page part: cleared only with the page state.
  WORD patternResolution;      // pattern kinds other than 1
  WORD patternResolutionKind1;
  BYTE pageRest[28];
};

struct GraphicsStateEmitter {
  DWORD mode;
  DWORD resetPageState;  // 1: InvalidateStateCache clears the page part too
  GraphicsStateCache* cache;
  OutputChannel* channel;
  DWORD osLevel;  // 1: Windows 4 or older, 2: 5.0, 3: later
};

// Line type kind with a user dash pattern.
constexpr BYTE kLineTypeUser = 6;

// NULL when the device is missing, value is 0, or an allocation or the version query fails.
GraphicsStateEmitter* CreateGraphicsEmitter(Pdev* pdev, DWORD value);
int FreeGraphicsEmitter(GraphicsStateEmitter* emitter);
void SetEmitterMode(GraphicsStateEmitter* emitter, DWORD mode, DWORD resetPageState);
// Sets the cache's enabled flag (0 or 1); the previous flag.
DWORD SetStateCacheEnabled(GraphicsStateEmitter* emitter, DWORD on);
// Forgets what the library was sent (sends nothing); 0.
int InvalidateStateCache(GraphicsStateEmitter* emitter);
int ResetEmitterPageState(GraphicsStateEmitter* emitter);
void SetCachedAxis(GraphicsStateEmitter* emitter, const float axis[6]);
void GetCachedAxis(const GraphicsStateEmitter* emitter, float axis[6]);
void GetCachedRopMode(const GraphicsStateEmitter* emitter, WORD* code, DWORD* value);

// State commands, sent when they differ from the cache.
int EmitSetAxis(GraphicsStateEmitter* emitter, const float axis[6]);
int EmitLineWidth(GraphicsStateEmitter* emitter, float width);
int EmitMiterLimit(GraphicsStateEmitter* emitter, float limit);
int EmitLineCap(GraphicsStateEmitter* emitter, BYTE cap);
int EmitLineJoin(GraphicsStateEmitter* emitter, BYTE join);
int EmitAdjustStroke(GraphicsStateEmitter* emitter, BYTE value);
int EmitFillMode(GraphicsStateEmitter* emitter, BYTE mode);
int EmitDrawMode(GraphicsStateEmitter* emitter, BYTE mode);
int EmitRopMode(GraphicsStateEmitter* emitter, BYTE code, DWORD value);
// color: {red, green, blue} for colour space 4, {grey} for space 3.
int EmitSolidColor(GraphicsStateEmitter* emitter, BYTE kind, BYTE colorSpace, const BYTE* color);
// mode 1 opaque, 2 transparent background.
int EmitTextColor(GraphicsStateEmitter* emitter, BYTE kind, BYTE colorSpace, BYTE mode, const BYTE* color);
int EmitLineType(GraphicsStateEmitter* emitter, BYTE kind, float offset, BYTE count, const float* dashes);
int EmitLineTypeFromIntegers(GraphicsStateEmitter* emitter, BYTE kind, LONG offset, BYTE count, const LONG* dashes);
int EmitGraphicsMode(GraphicsStateEmitter* emitter, LONG first, LONG second);
int EmitPatternResolution(GraphicsStateEmitter* emitter, BYTE patternKind, WORD resolution);
int EmitRasterPattern(GraphicsStateEmitter* emitter, LONG x, LONG y, BYTE kind, BYTE colorSpace, BYTE bits,
                      WORD width, WORD height, BYTE countByte, DWORD length, const BYTE* data);
int EmitHatchPattern(GraphicsStateEmitter* emitter, LONG x, LONG y, BYTE style, BYTE colorSpace, BYTE pattern,
                     const BYTE* color);
int EmitMaskPattern(GraphicsStateEmitter* emitter, LONG x, LONG y, BYTE kind, BYTE colorSpace, const BYTE* color,
                    WORD width, WORD height, const BYTE* bits);

// Commands without cache.
int EmitInitClip(GraphicsStateEmitter* emitter);
int EmitClipPath(GraphicsStateEmitter* emitter);
// Whole device pixels; the integer form when the first corner fits 16 bits.
int EmitRectangleClip(GraphicsStateEmitter* emitter, LONG left, LONG top, LONG right, LONG bottom);
int EmitInitPath(GraphicsStateEmitter* emitter);
int EmitClosePath(GraphicsStateEmitter* emitter);
int EmitDrawPath(GraphicsStateEmitter* emitter);
// 28.4 fixed point.
int EmitMovePoint(GraphicsStateEmitter* emitter, LONG x, LONG y);
int EmitLinePath(GraphicsStateEmitter* emitter, DWORD count, const RecordPoint* points);
int EmitBezierPath(GraphicsStateEmitter* emitter, DWORD count, const RecordPoint* points);
int EmitEllipse(GraphicsStateEmitter* emitter, const float values[6]);
// 28.4 fixed point.
int EmitRectangle(GraphicsStateEmitter* emitter, LONG left, LONG top, LONG right, LONG bottom);
// Whole device pixels.
int EmitDeviceRectangle(GraphicsStateEmitter* emitter, LONG left, LONG top, LONG right, LONG bottom);
int EmitDrawImage(GraphicsStateEmitter* emitter, const ImageAttributes& header);
int EmitDrawImageMask(GraphicsStateEmitter* emitter, const ImageMaskHeader& header);
int EmitImageData(GraphicsStateEmitter* emitter, const BYTE* bytes, DWORD length);
int EmitDataFontText(GraphicsStateEmitter* emitter, float x, float y, const BYTE* record);
// A solid fill of 0xRRGGBB through an 8 x 8 mask with a transparent background.
int EmitSolidMaskPattern(GraphicsStateEmitter* emitter, BYTE kind, DWORD color);
// The job byte is ((jobMode x 4 + b) x 16) + c.
int EmitStartJob(GraphicsStateEmitter* emitter, BYTE jobMode, BYTE b, BYTE c, WORD d, WORD e);
int EmitEndJob(GraphicsStateEmitter* emitter);
int EmitStartPage(GraphicsStateEmitter* emitter);
int EmitEndPage(GraphicsStateEmitter* emitter);
int EmitShowPage(GraphicsStateEmitter* emitter);
int EmitJobHeaderBlock(GraphicsStateEmitter* emitter, DWORD blockSize, const BYTE* block, JobBlockKind kind);
// Writes nothing; 0.
int WriteEmitterComment(GraphicsStateEmitter* emitter, DWORD length, const char* text);
