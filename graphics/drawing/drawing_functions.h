// The drawing library's 59 entry points as the graphics module binds them: one type per slot
// and the table of bound addresses in the library's fixed slot order. Every call but
// VR_Initialize takes the library handle that VR_Initialize returned first; every one answers
// 0 for success. Colour arguments point to one grey byte (colour space 3) or the bytes red,
// green, blue (colour space 4); corners and origins point to two 32-bit integers {x, y}.
#pragma once

#include <cstddef>

#include "platform/base/types.h"

using VrHandle = void*;

using VrSetAxisProc = int (*)(VrHandle, float, float, float, float, float, float);
using VrNoArgsProc = int (*)(VrHandle);
using VrSetRectangleClipProc = int (*)(VrHandle, WORD one, const LONG* corner1, const LONG* corner2);
using VrWordProc = int (*)(VrHandle, WORD);
using VrFloatProc = int (*)(VrHandle, float);
using VrSetLineTypeProc = int (*)(VrHandle, WORD kind, float offset, WORD count, const float* dashes);
using VrDwordProc = int (*)(VrHandle, DWORD);
using VrSetRopModeProc = int (*)(VrHandle, WORD code, DWORD value);
using VrSetSolidColorProc = int (*)(VrHandle, WORD kind, WORD colorSpace, const BYTE* color);
using VrSetHatchPatternProc = int (*)(VrHandle, const LONG* origin, WORD style, WORD colorSpace1, WORD colorSpace2,
                                      DWORD patternHigh, const BYTE* color1, const BYTE* color2, WORD background,
                                      BYTE patternLow);
using VrSetMaskPatternProc = int (*)(VrHandle, const LONG* origin, WORD kind, WORD colorSpace1, WORD colorSpace2,
                                     DWORD one, const BYTE* color1, const BYTE* color2, WORD background, WORD width,
                                     WORD height, const BYTE* bits);
using VrSetRasterPatternProc = int (*)(VrHandle, const LONG* origin, WORD kind, WORD colorSpace, WORD bits,
                                       WORD width, WORD height, WORD one, DWORD length16, const BYTE* data);
using VrTwoWordsProc = int (*)(VrHandle, WORD, WORD);
using VrPointsProc = int (*)(VrHandle, WORD count, const float* values);
using VrTwoFloatsProc = int (*)(VrHandle, float, float);
using VrDrawLineProc = int (*)(VrHandle, WORD count, const float* values);
using VrDrawRectangleProc = int (*)(VrHandle, float x0, float y0, float x1, float y1, WORD one);
using VrDrawImageMaskProc = int (*)(VrHandle, float x, float y, float m0, float m1, float m2, float m3, float m4,
                                    float m5, WORD width, WORD height, DWORD flag, DWORD length, const BYTE* data);
using VrDrawImageProc = int (*)(VrHandle, float x, float y, float m0, float m1, float m2, float m3, float m4,
                                float m5, WORD width, WORD height, DWORD maskFlag, DWORD maskByteFlag,
                                DWORD maskLength, DWORD sourceFlag, WORD colorFormat, WORD entrySize,
                                WORD entryCount, WORD tableLength, const BYTE* table, WORD tail0, WORD tail1,
                                WORD tail2, DWORD imageLength, const BYTE* mask, const BYTE* image, void* reserved);
using VrStartPageProc = int (*)(VrHandle, const BYTE* pageSizeBlock, const BYTE* resourcePathBlock,
                                const BYTE* pageBlock);
// A parameter block (the colour block, the job header or trailer block).
using VrBlockProc = int (*)(VrHandle, const BYTE* block);
// VR_EndPage's reserved pointer (NULL).
using VrEndPageProc = int (*)(VrHandle, void* reserved);
using VrInitializeProc = VrHandle (*)(const BYTE* deviceBlock, const BYTE* resourcePathBlock, const BYTE* jobBlock,
                                      const BYTE* colorBlock, const BYTE* debugBlock, const BYTE* dataPathRecord);
using VrSixFloatsProc = int (*)(VrHandle, float, float, float, float, float, float);
using VrFiveFloatsProc = int (*)(VrHandle, float, float, float, float, float);
using VrDrawBezierProc = int (*)(VrHandle, WORD count, float x, float y, const float* values);
using VrDrawDataFontProc = int (*)(VrHandle, float x, float y, DWORD value, const BYTE* record);

constexpr int kDrawingSlotCount = 59;

// The bound library: its module handle, then the 59 entry points in slot order (the numbers
// are the slots). The six slots nothing here calls are bound with the generic type.
struct DrawingFunctionTable {
  HMODULE module;
  VrSetAxisProc SetAxis;                    // 1
  VrNoArgsProc InitClip;                    // 2
  VrSetRectangleClipProc SetRectangleClip;  // 3
  VrWordProc ClipPath;                      // 4
  VrFloatProc SetLineWidth;                 // 5
  VrWordProc SetLineCap;                    // 6
  VrWordProc SetLineJoin;                   // 7
  VrFloatProc SetMiterLimit;                // 8
  VrSetLineTypeProc SetLineType;            // 9
  VrDwordProc AdjustStroke;                 // 10
  VrWordProc SetFillMode;                   // 11
  VrWordProc SetDrawMode;                   // 12
  VrSetRopModeProc SetRopMode;              // 13
  VrSetSolidColorProc SetSolidColor;        // 14
  VrSetHatchPatternProc SetHatchPattern;    // 15
  VrSetMaskPatternProc SetMaskPattern;      // 16
  VrSetRasterPatternProc SetRasterPattern;  // 17
  VrTwoWordsProc SetGraphicsMode;           // 18
  VrNoArgsProc InitPath;                    // 19
  VrNoArgsProc ClosePath;                   // 20
  VrNoArgsProc DrawPath;                    // 21
  VrPointsProc AddLinePath;                 // 22
  VrTwoFloatsProc AddRectanglePath;         // 23
  VrDrawLineProc DrawLine;                  // 24
  VrNoArgsProc DrawScanline;                // 25
  VrDrawRectangleProc DrawRectangle;        // 26
  VrDrawImageMaskProc DrawImageMask;        // 27
  VrDrawImageProc DrawImage;                // 28
  VrNoArgsProc DrawFont;                    // 29
  VrWordProc StartJob;                      // 30
  VrNoArgsProc EndJob;                      // 31
  VrStartPageProc StartPage;                // 32
  VrEndPageProc EndPage;                    // 33
  VrNoArgsProc ShowPage;                    // 34
  VrWordProc SetPatternResolution;          // 35
  VrBlockProc SetColorParameter;            // 36
  VrTwoFloatsProc MovePoint;                // 37
  VrInitializeProc Initialize;              // 38
  VrNoArgsProc Finalize;                    // 39
  VrNoArgsProc GetMemSize;                  // 40
  VrSixFloatsProc AddEllipseArcPath;        // 41
  VrSixFloatsProc AddEllipseChordPath;      // 42
  VrSixFloatsProc AddEllipsePiePath;        // 43
  VrPointsProc AddBezierPath;               // 44
  VrSixFloatsProc AddRoundRectanglePath;    // 45
  VrFiveFloatsProc DrawCircleArc;           // 46
  VrSixFloatsProc DrawEllipseArc;           // 47
  VrSixFloatsProc DrawEllipseChord;         // 48
  VrFiveFloatsProc DrawCirclePie;           // 49
  VrSixFloatsProc DrawEllipsePie;           // 50
  VrDrawBezierProc DrawBezier;              // 51
  VrSixFloatsProc DrawRoundRectangle;       // 52
  VrNoArgsProc SetLogFont;                  // 53
  VrNoArgsProc DrawCodeFont;                // 54
  VrDrawDataFontProc DrawDataFont;          // 55
  VrBlockProc SendJobHeader;                // 56
  VrBlockProc SendJobTrailer;               // 57
  VrNoArgsProc ErrorFinalize;               // 58
  VrTwoWordsProc SetRasterSmoothingMode;    // 59
};

// The exported names in slot order (index 0 is slot 1).
extern const char* const kDrawingFunctionNames[kDrawingSlotCount];

// Slot n (1-based) of the table as an untyped address, for binding.
void** DrawingSlotAddress(DrawingFunctionTable* table, int slot);
