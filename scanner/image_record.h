// The ImageRecord: the TWAIN-side description of the next image (current capability values,
// layout frame, pixel sizes, processing options), and the line-size rules of the scan kinds.
#pragma once

#include "platform/base/types.h"

// Device composition codes ("scan kinds") of a scan run.
constexpr WORD kScanKindThreshold = 0;   // one bit, threshold
constexpr WORD kScanKindDiffusion = 1;   // one bit, error diffusion
constexpr WORD kScanKindGray = 2;        // 8-bit grey
constexpr WORD kScanKindHalftone = 3;    // one bit, halftone
constexpr WORD kScanKindColor = 5;       // grey from the device, expanded to RGB triplets
constexpr WORD kScanKindGray16 = 0x4002; // 16-bit grey
constexpr WORD kScanKindColor48 = 0x4005;  // 48-bit colour

// One-bit methods (ICAP_BITDEPTHREDUCTION values).
constexpr WORD kOneBitThreshold = 0;
constexpr WORD kOneBitHalftone = 1;
constexpr WORD kOneBitDiffusion = 3;

// The bed: 1/1200 inch units.
constexpr LONG kBedWidth = 14028;
constexpr LONG kBedHeight = 20400;

struct LevelSlot {
  SHORT InputHigh;
  SHORT InputLow;
  SHORT Gamma;  // gamma x 100
  SHORT OutputLow;
  SHORT OutputHigh;
};

struct ImageRecord {
  DWORD FrameNegotiated;
  DWORD PixelTypeNegotiated;
  DWORD ResolutionNegotiated;
  WORD TransferMechanism;
  WORD PixelFlavor;
  WORD PlanarChunky;
  WORD Compression;
  float PhysicalWidth;
  float PhysicalHeight;
  WORD Unit;
  WORD DeviceOnline;
  WORD PixelType;
  WORD BitDepth[4];  // per pixel type: BW, GRAY, RGB, PALETTE
  WORD BitOrder;
  WORD SizeCode;
  WORD XResolution;
  WORD YResolution;
  SHORT PendingTransferCount;
  WORD ImageFileFormat;
  WORD Indicators;
  WORD UiControllable;
  DWORD BytesPerLine;
  char TransferFileName[256];
  DWORD Width;
  DWORD Height;
  WORD BitsPerPixel;
  DWORD ImageSize;
  RECT LayoutFrame;  // 1/1200 inch
  WORD OneBitMethod;
  DWORD BackgroundRemoval;
  WORD Threshold;
  WORD LevelChannelMode;
  LevelSlot LevelSlots[4];
  BYTE ToneCurves[4][256];
  WORD HalftoneMode;
  WORD Rotation;
  DWORD HorizontalMirror;
  DWORD VerticalMirror;
  DWORD Invert;
  WORD ScalePercent;
  DWORD ScanFrom;
  WORD Slot0Gamma;
  WORD ScanKind;
  DWORD FeederLoaded;
};

// Bytes of one packed line of a scan kind as the band store holds it.
DWORD PackedLineBytes(WORD kind, DWORD width);
// Bytes of one 32-bit aligned bitmap line of a scan kind.
DWORD BitmapLineBytes(WORD kind, DWORD width);
// Bytes of the pixels of one output row of a TWAIN pixel type, unpadded.
DWORD PixelRowBytes(WORD pixelType, DWORD width);
// Bytes of one 32-bit aligned output row of a TWAIN pixel type.
DWORD BitmapLineBytesForPixelType(WORD pixelType, DWORD width);
