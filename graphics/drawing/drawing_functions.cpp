#include "graphics/drawing/drawing_functions.h"

#include <cstddef>

const char* const kDrawingFunctionNames[kDrawingSlotCount] = {
    "VR_SetAxis",             "VR_InitClip",           "VR_SetRectangleClip",    "VR_ClipPath",
    "VR_SetLineWidth",        "VR_SetLineCap",         "VR_SetLineJoin",         "VR_SetMiterLimit",
    "VR_SetLineType",         "VR_AdjustStroke",       "VR_SetFillMode",         "VR_SetDrawMode",
    "VR_SetRopMode",          "VR_SetSolidColor",      "VR_SetHatchPattern",     "VR_SetMaskPattern",
    "VR_SetRasterPattern",    "VR_SetGraphicsMode",    "VR_InitPath",            "VR_ClosePath",
    "VR_DrawPath",            "VR_AddLinePath",        "VR_AddRectanglePath",    "VR_DrawLine",
    "VR_DrawScanline",        "VR_DrawRectangle",      "VR_DrawImageMask",       "VR_DrawImage",
    "VR_DrawFont",            "VR_StartJob",           "VR_EndJob",              "VR_StartPage",
    "VR_EndPage",             "VR_ShowPage",           "VR_SetPatternResolution", "VR_SetColorParameter",
    "VR_MovePoint",           "VR_Initialize",         "VR_Finalize",            "VR_GetMemSize",
    "VR_AddEllipseArcPath",   "VR_AddEllipseChordPath", "VR_AddEllipsePiePath",  "VR_AddBezierPath",
    "VR_AddRoundRectanglePath", "VR_DrawCircleArc",    "VR_DrawEllipseArc",      "VR_DrawEllipseChord",
    "VR_DrawCirclePie",       "VR_DrawEllipsePie",     "VR_DrawBezier",          "VR_DrawRoundRectangle",
    "VR_SetLogFont",          "VR_DrawCodeFont",       "VR_DrawDataFont",        "VR_SendJobHeader",
    "VR_SendJobTrailer",      "VR_ErrorFinalize",      "VR_SetRasterSmoothingMode",
};

// The slots follow the module handle as 59 pointers without gaps.
static_assert(offsetof(DrawingFunctionTable, SetAxis) == sizeof(void*));
static_assert(sizeof(DrawingFunctionTable) == (kDrawingSlotCount + 1) * sizeof(void*));
static_assert(offsetof(DrawingFunctionTable, SetRasterSmoothingMode) == kDrawingSlotCount * sizeof(void*));

void** DrawingSlotAddress(DrawingFunctionTable* table, int slot) {
  return reinterpret_cast<void**>(reinterpret_cast<BYTE*>(table) + slot * sizeof(void*));
}
