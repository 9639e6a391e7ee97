// The preview window: a child of the scan dialog showing the scanner bed as a page with rulers
// along its top and left edges, the preview image, and the crop frame. It maps between document
// units (1/1200 inch on the bed) and its pixels at zooms of 100 to 800 %, and keeps the raw
// preview scan and the display image rebuilt from it with the current tone settings.
#pragma once

#include "platform/base/types.h"
#include "scanner/scan_settings.h"

// A preview image: a movable block with a 40-byte BITMAPINFOHEADER and 24-bit top-down pixels
// (rows padded to 4 bytes), the bed area it covers, its pixel bytes and the lines received.
struct PreviewImage {
  HGLOBAL Block;
  RECT Area;
  DWORD PixelBytes;
  DWORD LinesReceived;
};

constexpr WORD kMinZoom = 100;
constexpr WORD kMaxZoom = 800;

// Made at the dialog's WM_INITDIALOG over its placeholders; 1, or 0 when the window, its
// semaphore or its frame animation cannot be made (then nothing is left).
BOOL CreatePreviewWindow(HWND dialog, ScanSettings* settings);
// 0 (and the window left alone) when the frame animation cannot be stopped.
BOOL DestroyPreviewWindow(ScanSettings* settings);
LRESULT PreviewWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// The window classes the data source registered, unregistered when the module goes.
void UnregisterScannerWindowClasses();

// Geometry. The ruler thickness is the client size of the dialog's corner placeholder.
SIZE RulerThickness(HWND window);
RECT ImageAreaRect(HWND window);
// The page (the whole bed) at a zoom in unscrolled window coordinates.
RECT GetPageRect(HWND window, WORD zoom);
POINT DocumentToWindow(HWND window, POINT document, WORD zoom);
// A client point (scroll positions added) as a document point.
POINT WindowToDocument(HWND window, POINT client, WORD zoom);
RECT DocumentRectToClient(HWND window, const RECT& document, WORD zoom);
void UpdateScrollBars(HWND window, const ScanSettings& settings);

// The ruler steps: pixels per base unit (1 inch or 1 cm), pixels between labels and the label
// increment.
struct RulerStep {
  LONG PixelsPerUnit;
  LONG LabelPixels;
  LONG LabelIncrement;
};
RulerStep RulerSteps(HWND window, WORD unit, WORD zoom, LONG xResolution, BOOL horizontal);
// PVM_FREEIMAGES with this wParam keeps the freed images' blocks for the preview scan that
// follows (until PVM_SCANFINISHED); that scan takes one with TakeSpareImageBlock.
constexpr WPARAM kKeepSpareBlocks = 1;
// A kept block of at least the given bytes, now the caller's; null when there is none.
HGLOBAL TakeSpareImageBlock(SIZE_T bytes);
// The two preview images (raw, display) the window holds now.
const PreviewImage& RawPreviewImage();
const PreviewImage& DisplayPreviewImage();
