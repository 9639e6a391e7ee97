// Every recorder function with its arguments, the display-list bytes it records and the
// library calls it makes, shared by the tests of the list and the direct modes.
#pragma once

#include <functional>

#include "graphics/drawing/command_recorder.h"

inline const RecordPoint kPoints[] = {{0x10, 0x20}, {-0x18, 0x7FFF0}, {0x100000, -1}};
inline const float kSix[6] = {1.0f, 2.0f, 3.0f, 4.0f, 0.5f, -1.0f};
inline const WORD kDashes[] = {40, 10};
inline const float kRealDashes[] = {1.5f, 0.5f};
inline const BYTE kMask[] = {0xF0, 0x0F};
inline const BYTE kFontRecord[] = {1, 2, 3, 4, 10, 0, 0, 0, 0xAA, 0xBB};
inline const BYTE kTable[] = {1, 2, 3, 4, 5, 6};

struct ListCase {
  const char* name;
  std::function<int(OutputChannel*)> record;
  const char* bytes;  // what the list receives
  const char* trace;  // the library calls made in the direct modes, a line each
};

inline const ListCase kListCases[] = {
    {"axis", [](OutputChannel* c) { return RecordSetAxis(c, kSix); },
     "41 61 3F800000 40000000 40400000 40800000 3F000000 BF800000",
     "VR_SetAxis(h1, v=[1,2,3,4,0.5,-1])"},
    {"init clip", [](OutputChannel* c) { return RecordInitClip(c); }, "41 52",
     "VR_InitClip(h1)"},
    {"rectangle clip keeps the low 16 bits",
     [](OutputChannel* c) { return RecordSetRectangleClip(c, 1, -2, 0x12345, 4); }, "41 42 0001 FFFE 2345 0004",
     "VR_SetRectangleClip(h1, one=1, c1=(1,-2), c2=(74565,4))"},
    {"rectangle clip real", [](OutputChannel* c) { return RecordSetRectangleClipReal(c, 1.5f, 2, 3, 4); },
     "41 62 3FC00000 40000000 40400000 40800000",
     "VR_SetRectangleClip(h1, one=1, c1=(1,2), c2=(3,4))"},
    {"rectangle clip real beyond the 32-bit range",
     [](OutputChannel* c) { return RecordSetRectangleClipReal(c, -1e10f, 2, 3e9f, 4); },
     "41 62 D01502F9 40000000 4F32D05E 40800000",
     "VR_SetRectangleClip(h1, one=1, c1=(-2147483648,2), c2=(2147483647,4))"},
    {"clip path", [](OutputChannel* c) { return RecordClipPath(c); }, "41 43",
     "VR_ClipPath(h1, mode=2)"},
    {"line width 3", [](OutputChannel* c) { return RecordSetLineWidth(c, 3); }, "41 44 00 03",
     "VR_SetLineWidth(h1, width=3)"},
    {"line width real", [](OutputChannel* c) { return RecordSetLineWidthReal(c, 2.5f); }, "41 64 40200000",
     "VR_SetLineWidth(h1, width=2.5)"},
    {"line cap", [](OutputChannel* c) { return RecordSetLineCap(c, 2); }, "41 45 02",
     "VR_SetLineCap(h1, cap=2)"},
    {"line join", [](OutputChannel* c) { return RecordSetLineJoin(c, 1); }, "41 46 01",
     "VR_SetLineJoin(h1, join=1)"},
    {"miter limit", [](OutputChannel* c) { return RecordSetMiterLimit(c, 10); }, "41 47 0A",
     "VR_SetMiterLimit(h1, limit=10)"},
    {"miter limit real", [](OutputChannel* c) { return RecordSetMiterLimitReal(c, 200.0f); }, "41 67 43480000",
     "VR_SetMiterLimit(h1, limit=200)"},
    {"line type 2 is the kind alone",
     [](OutputChannel* c) { return RecordSetLineType(c, 2, 7, 2, kDashes); }, "41 48 02",
     "VR_SetLineType(h1, kind=2, off=7, n=2, dashes=[40,10])"},
    {"line type 6 carries the dashes", [](OutputChannel* c) { return RecordSetLineType(c, 6, 5, 2, kDashes); },
     "41 48 06 0005 02 0028 000A",
     "VR_SetLineType(h1, kind=6, off=5, n=2, dashes=[40,10])"},
    {"line type real 6", [](OutputChannel* c) { return RecordSetLineTypeReal(c, 6, 1.0f, 2, kRealDashes); },
     "41 68 06 3F800000 02 3FC00000 3F000000",
     "VR_SetLineType(h1, kind=6, off=1, n=2, dashes=[1.5,0.5])"},
    {"line type real 1", [](OutputChannel* c) { return RecordSetLineTypeReal(c, 1, 1.0f, 2, kRealDashes); },
     "41 68 01",
     "VR_SetLineType(h1, kind=1, off=1, n=2, dashes=[1.5,0.5])"},
    {"adjust stroke", [](OutputChannel* c) { return RecordAdjustStroke(c, 1); }, "41 49 01",
     "VR_AdjustStroke(h1, value=1)"},
    {"fill mode", [](OutputChannel* c) { return RecordSetFillMode(c, 2); }, "41 4A 02",
     "VR_SetFillMode(h1, mode=2)"},
    {"draw mode", [](OutputChannel* c) { return RecordSetDrawMode(c, 3); }, "41 4B 03",
     "VR_SetDrawMode(h1, mode=3)"},
    {"rop", [](OutputChannel* c) { return RecordSetRopMode(c, 13, 0xCC0020); }, "41 4C 0D 00CC0020",
     "VR_SetRopMode(h1, code=13, value=13369376)"},
    {"grey 0x80", [](OutputChannel* c) { return RecordSetSolidColor(c, 1, 3, 0x80); }, "41 4D 01 03 80",
     "VR_SetSolidColor(h1, kind=1, cs=3, color=80)"},
    {"red", [](OutputChannel* c) { return RecordSetSolidColor(c, 1, 4, 0xFF0000); }, "41 4D 01 04 FF 00 00",
     "VR_SetSolidColor(h1, kind=1, cs=4, color=FF0000)"},
    {"hatch with the secondary colour",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 4, kSecondaryOpaque, 0x102030);
       return RecordSetHatchPattern(c, -1, 2, 3, 3, 0xA5, 0x44);
     },
     "41 4E FFFF 0002 03 03 44 A5 02 04 10 20 30",
     "VR_SetHatchPattern(h1, org=(-1,2), style=3, cs1=3, cs2=4, high=10, c1=44, c2=102030, bg=2, low=5)"},
    {"hatch real, transparent grey secondary",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 3, kSecondaryTransparent, 0x77);
       return RecordSetHatchPatternReal(c, 1.5f, 2.0f, 1, 4, 0x12, 0x010203);
     },
     "41 6E 3FC00000 40000000 01 04 01 02 03 12 01 03 77",
     "VR_SetHatchPattern(h1, org=(1,2), style=1, cs1=4, cs2=3, high=1, c1=010203, c2=77, bg=1, low=2)"},
    {"mask pattern",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 3, kSecondaryOpaque, 0xFF);
       return RecordSetMaskPattern(c, 8, 9, 2, 4, 0xABCDEF, 4, 2, kMask);
     },
     "41 4F 0008 0009 02 04 AB CD EF 01 0004 0002 F0 0F 02 03 FF",
     "VR_SetMaskPattern(h1, org=(8,9), kind=2, cs1=4, cs2=3, one=1, c1=ABCDEF, c2=FF, bg=2, w=4, h=2, bits=[F00F])"},
    {"mask pattern real",
     [](OutputChannel* c) {
       RecordSecondaryColor(c, 1, 3, kSecondaryOpaque, 0xFF);
       return RecordSetMaskPatternReal(c, 0.5f, 1.0f, 2, 3, 0x11, 9, 1, kMask);
     },
     "41 6F 3F000000 3F800000 02 03 11 01 0009 0001 F0 0F 02 03 FF",
     "VR_SetMaskPattern(h1, org=(0,1), kind=2, cs1=3, cs2=3, one=1, c1=11, c2=FF, bg=2, w=9, h=1, bits=[F00F])"},
    {"raster pattern",
     [](OutputChannel* c) { return RecordSetRasterPattern(c, 1, 2, 3, 4, 8, 2, 1, 1, 6, kTable); },
     "41 50 0001 0002 03 04 08 0002 0001 01 00000006 010203040506",
     "VR_SetRasterPattern(h1, org=(1,2), kind=3, cs=4, bits=8, w=2, h=1, one=1, len=6, data=[010203040506])"},
    {"graphics mode 3,0", [](OutputChannel* c) { return RecordSetGraphicsMode(c, 3, 0); }, "46 46 01",
     "VR_SetGraphicsMode(h1, second=0, first=3)"},
    {"graphics mode 0,7", [](OutputChannel* c) { return RecordSetGraphicsMode(c, 0, 7); }, "46 46 04",
     "VR_SetGraphicsMode(h1, second=7, first=0)"},
    {"graphics mode 1,1", [](OutputChannel* c) { return RecordSetGraphicsMode(c, 1, 1); }, "46 46 05",
     "VR_SetGraphicsMode(h1, second=1, first=1)"},
    {"pattern resolution", [](OutputChannel* c) { return RecordSetPatternResolution(c, 1, 600); }, "46 41 01 0258",
     "VR_SetPatternResolution(h1, res=600)"},
    {"path commands",
     [](OutputChannel* c) { return RecordInitPath(c) | RecordClosePath(c) | RecordDrawPath(c); }, "42 41 42 43 42 44",
     "VR_InitPath(h1)\nVR_ClosePath(h1)\nVR_DrawPath(h1)"},
    {"move point", [](OutputChannel* c) { return RecordMovePoint(c, 1, -2); }, "42 42 0001 FFFE",
     "VR_MovePoint(h1, x=1, y=-2)"},
    {"move point real", [](OutputChannel* c) { return RecordMovePointReal(c, 1.5f, 2.0f); },
     "42 62 3FC00000 40000000",
     "VR_MovePoint(h1, x=1.5, y=2)"},
    {"line path", [](OutputChannel* c) { return RecordAddLinePath(c, 2, kPoints); },
     "42 50 0002 0010 0020 FFE8 FFF0",
     "VR_AddLinePath(h1, n=2, v=[16,32,-24,-16])"},
    {"line path real from 28.4", [](OutputChannel* c) { return RecordAddLinePathReal(c, 2, kPoints); },
     "42 70 0002 3F800000 40000000 BFC00000 46FFFE00",
     "VR_AddLinePath(h1, n=2, v=[1,2,-1.5,32767])"},
    {"bezier from 28.4", [](OutputChannel* c) { return RecordAddBezierPath(c, 1, kPoints); },
     "42 75 0001 3F800000 40000000 BFC00000 46FFFE00 47800000 BD800000",
     "VR_AddBezierPath(h1, n=1, v=[1,2,-1.5,32767,65536,-0.0625])"},
    {"bezier of no segments", [](OutputChannel* c) { return RecordAddBezierPath(c, 0, kPoints); }, "42 75 0000",
     ""},
    {"rectangle", [](OutputChannel* c) { return RecordDrawRectangle(c, 1, 2, 3, 4); }, "43 47 0001 0002 0003 0004",
     "VR_DrawRectangle(h1, x0=1, y0=2, x1=3, y1=4, one=1)"},
    {"rectangle real", [](OutputChannel* c) { return RecordDrawRectangleReal(c, 1, 2, 3, 4); },
     "43 67 3F800000 40000000 40400000 40800000",
     "VR_DrawRectangle(h1, x0=1, y0=2, x1=3, y1=4, one=1)"},
    {"ellipse arc", [](OutputChannel* c) { return RecordDrawEllipseArc(c, kSix); },
     "43 63 3F800000 40000000 40400000 40800000 3F000000 BF800000",
     "VR_DrawEllipseArc(h1, v=[1,2,3,4,0.5,-1])"},
    {"image mask and its data",
     [](OutputChannel* c) {
       ImageMaskHeader h{1.0f, 2.0f, 9, 1, 1, {1, 2, 3, 4, 0.5f, -1}, 2};
       return RecordDrawImageMask(c, h) | RecordImageData(c, kMask, 2);
     },
     "43 70 3F800000 40000000 0009 0001 01 3F800000 40000000 40400000 40800000 3F000000 BF800000 00000002 F0 0F",
     "VR_DrawImageMask(h1, x=1, y=2, m=[1,2,3,4,0.5,-1], w=9, h=1, flag=1, len=2, data=[F00F])"},
    {"image with mask, palette and plain rows",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 2, 0, 1, 2, 11, 8, 2, 6, kTable, {1, 8, 1}, 3};
       return RecordDrawImage(c, a);
     },
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 02 00 00000001 02 "
     "0B 08 0002 0006 010203040506 01 08 01 00000003",
     ""},
    {"image without source data has no tail",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 1, 0, 0, 1, 4, 0, 0, 0, nullptr, {1, 8, 1}, 9};
       return RecordDrawImage(c, a);
     },
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 01 01",
     ""},
    {"encoded image: header, then the tail alone",
     [](OutputChannel* c) {
       ImageAttributes a{1, 2, {1, 2, 3, 4, 0.5f, -1}, 3, 1, 1, 0, 0, 2, 5, 0, 0, 0, nullptr, {1, 8, 4}, 9};
       return RecordDrawImage(c, a) | RecordDrawImageTail(c, a);
     },
     "43 71 3F800000 40000000 3F800000 40000000 40400000 40800000 3F000000 BF800000 0003 0001 01 02 "
     "05 01 08 04 00000009",
     ""},
    {"data font", [](OutputChannel* c) { return RecordDrawDataFont(c, 1.0f, 2.0f, 7, kFontRecord); },
     "44 45 3F800000 40000000 00000007 01020304 0A000000 AABB",
     "VR_DrawDataFont(h1, x=1, y=2, value=7, record=[010203040A000000AABB])"},
    {"data font at a 16-bit position", [](OutputChannel* c) { return RecordDrawDataFontAt(c, -1, 2, kFontRecord); },
     "44 45 BF800000 40000000 00000000 01020304 0A000000 AABB",
     "VR_DrawDataFont(h1, x=-1, y=2, value=0, record=[010203040A000000AABB])"},
    {"start job", [](OutputChannel* c) { return RecordStartJob(c, 0x90, 2, 0); }, "45 41 90 0002 0000",
     "VR_StartJob(h1, mode=2)\nVR_SetRasterSmoothingMode(h1, a=2, b=0)"},
    {"job and page ends",
     [](OutputChannel* c) { return RecordEndPage(c) | RecordShowPage(c) | RecordEndJob(c); }, "45 44 46 42 45 42",
     "VR_EndPage(h1)\nVR_ShowPage(h1)\nVR_EndJob(h1)"},
    {"job header: the text alone",
     [](OutputChannel* c) {
       const BYTE block[] = {11, 0, 0, 0, 3, 0, 0, 0, 'P', 'J', 'L'};
       return RecordJobHeader(c, block, sizeof(block), JobBlockKind::kHeader);
     },
     "50 4A 4C",
     "VR_SendJobHeader(h1, size=11, len=3, \"PJL\")"},
};
