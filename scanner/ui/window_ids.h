// Numbers the data source's windows share: private messages, control ids, templates, bitmaps,
// cursors and texts.
#pragma once

#include "platform/base/types.h"

// Messages to the scan dialog, the preview window and the progress dialog.
constexpr UINT SDM_SHOWAREA = 0x9001;
constexpr UINT SDM_GETSIZETEXT = 0x9002;
constexpr UINT SDM_REFRESH = 0x9003;
constexpr UINT PDM_STEP = 0x9006;
constexpr UINT PVM_BANDARRIVED = 0x9008;
constexpr UINT PVM_FREEIMAGES = 0x9009;
constexpr UINT PVM_SCANSTARTING = 0x900A;
constexpr UINT PVM_SCANFINISHED = 0x900B;
constexpr UINT PVM_RERENDER = 0x900C;
constexpr UINT PDM_FINISH = 0x900D;
constexpr UINT PVM_REDRAW = 0x9010;
constexpr UINT PVM_STOPANIMATION = 0x9015;
constexpr UINT PVM_STARTANIMATION = 0x9016;
constexpr UINT PDM_SCALETOTAL = 0x9017;
constexpr UINT PDM_UPDATE = 0x9019;

// Controls of the scan dialog the preview window uses: the hidden corner placeholder (its size
// is the rulers' thickness), the two placeholders the window spans, and the tool buttons.
constexpr int kIdRulerCorner = 1139;
constexpr int kIdPreviewPlaceBottomLeft = 1035;
constexpr int kIdPreviewPlaceTopRight = 1036;
constexpr int kIdFrameTool = 1152;
constexpr int kIdZoomInTool = 1153;
constexpr int kIdZoomOutTool = 1154;

// The progress dialog: its template, Cancel and the bar's placeholder.
constexpr WORD kProgressTemplate = 1020;
constexpr int kIdProgressCancel = 1217;
constexpr int kIdProgressBarPlace = 1167;

// Bitmaps: the display units' pictures (inch, cm, mm, pixel, point, pica) and the ruler digits
// ("0" is 221, "1" to "9" are 212 to 220).
constexpr WORD kBitmapUnitInch = 181;
constexpr WORD kBitmapUnitCentimetre = 182;
constexpr WORD kBitmapUnitMillimetre = 183;
constexpr WORD kBitmapUnitPixel = 184;
constexpr WORD kBitmapUnitPoint = 185;
constexpr WORD kBitmapUnitPica = 186;
constexpr WORD kBitmapDigitOne = 212;
constexpr WORD kBitmapDigitZero = 221;

// Cursors of the preview window's tools.
constexpr WORD kCursorZoomOut = 210;
constexpr WORD kCursorZoomIn = 211;
constexpr WORD kCursorFrameTool = 250;

// Texts of the progress window.
constexpr UINT kTextPleaseWait = 1056;
constexpr UINT kTextFinished = 1057;
constexpr UINT kTextDialogFace = 1077;
constexpr UINT kTextProgressCaption = 3005;
constexpr UINT kTextCancel = 3016;

// Preview tools.
constexpr WORD kToolFrame = 0;
constexpr WORD kToolZoomIn = 1;
constexpr WORD kToolZoomOut = 2;
