// The ScanSettings record (the user's scan choices), its defaults and validation, the 72-byte
// ScanModeRecord kept in the per-user registry store, and the store's read-only switches.
#pragma once

#include "platform/base/types.h"
#include "scanner/image_record.h"

// The dialog's width and length read-outs: a length in each display unit at a scale.
struct UnitReadout {
  WORD Unit;
  double Values[6];  // inches, centimetres, millimetres, pixels, picas, points
  double ScalePercent;
};

// A tone curve with its control points (-1: no point).
struct CurveItem {
  BYTE Curve[256];
  LONG Points[256];
};

struct ScanSettings {
  WORD DisplayUnit;
  RECT ScanArea;
  RECT PreviewArea;
  RECT SavedScanArea[2];     // flatbed, feeder
  RECT SavedPreviewArea[2];  // flatbed, feeder
  WORD ScanTypeCode;
  LONG XResolution;
  LONG YResolution;
  DWORD SpareFlag;
  LONG FurtherResolutions[3][2];
  WORD ScalePercent;
  DWORD ScaleFlag;
  UnitReadout Readouts[2];  // width, length
  DWORD BackgroundRemoval;
  WORD SpareChoice;
  DWORD CurveBoxFlag;
  SHORT SpareAdjustment;
  SHORT Threshold;
  LevelSlot LevelSlots[4];
  DWORD PreviewAvailable;
  CurveItem CurveItems[4];
  WORD HalftoneMode;
  WORD Rotation;
  DWORD HorizontalMirror;
  DWORD VerticalMirror;
  DWORD Invert;
  WORD LevelSlotShown;
  WORD LevelSlotEdited;
  WORD CurveItemIndex;
  HWND PreviewWindow;
  WORD PreviewTool;
  WORD PreviewZoom;
  RECT SpareRects[2];
  DWORD ScanFrom;  // 0 flatbed, 1 feeder, 2 feeder while paper lasts
  WORD TransferMechanism;
  WORD OriginalType;
  WORD AreaSizeCode;
};

// The registry switches: read only, 0 until read.
struct ScannerSwitches {
  DWORD UseHardwareGrayScale;
  DWORD MonoBitReverse;
  DWORD ConvertToSrgb;
  DWORD RawDataSave;
};

// Module-wide state of the data source.
extern ScanSettings g_ScanSettings;
extern ScannerSwitches g_Switches;

constexpr RECT kWholeBed = {0, 0, kBedWidth, kBedHeight};
constexpr DWORD kScanModeRecordBytes = 72;

void ResetLevelSlot(LevelSlot& slot);
void ResetCurveItem(CurveItem& item);
void ResetScanSettings(ScanSettings& settings);
void SetScanDefaults(ScanSettings& settings);
void ValidateScanSettings(ScanSettings& settings);

// The ScanModeRecord of the settings; and the settings from a stored record: reset, the
// record's fields, validation.
void EncodeScanModeRecord(const ScanSettings& settings, BYTE* record72);
void ApplyScanModeRecord(ScanSettings& settings, const BYTE* record72);

// The per-user store: 1 when it exists with version 1 (else it is made afresh and 0 answered).
BOOL CheckRegistryVersion();
// The stored scan mode into the settings: 1 loaded, 0 not (the settings keep what they had).
BOOL LoadDefaultScanMode(ScanSettings& settings);
BOOL SaveDefaultScanMode(const ScanSettings& settings);

// The scan area of an area size code (TWAIN size codes), capped to the bed and centred across
// it for the feeder.
void SetAreaFromSizeCode(ScanSettings& settings);

// A length in 1/1200 inch at a scale, in every display unit (inch, cm, mm, pixel, pica, point).
void FillUnitReadout(double scalePercent, LONG length, LONG dpi, UnitReadout* readout);

// Carries what the application negotiated back into the dialog's settings: the frame as the
// scan area, the pixel type as the scan type, the resolution; the transfer mechanism always.
void CopyNegotiatedSettings(ScanSettings& settings, const ImageRecord& record);
