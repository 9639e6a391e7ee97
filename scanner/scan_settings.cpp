// Defaults, reset and validation of the ScanSettings record, and its ScanModeRecord form.
#include "scanner/scan_settings.h"

#include <cstring>

#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/twain/twain.h"

ScanSettings g_ScanSettings;
ScannerSwitches g_Switches;

namespace {

constexpr LONG kMinResolution = 50;
constexpr LONG kMaxResolution = 9600;
constexpr LONG kDefaultResolution = 200;
constexpr LONG kFurtherResolutionDefaults[3] = {50, 125, 250};
constexpr SHORT kDefaultThreshold = 202;
constexpr SHORT kInvalidThreshold = 195;
constexpr WORD kDefaultAreaSizeCode = 11;  // A3
constexpr WORD kDefaultDisplayUnit = 2;    // millimetres
constexpr WORD kInvalidDisplayUnit = 3;    // pixels
constexpr WORD kReadoutUnit = 6;

bool ResolutionValid(LONGLONG dpi) { return dpi >= kMinResolution && dpi <= kMaxResolution; }

// A stored area must lie on the bed with a positive size; anything else becomes the whole bed.
void ValidateArea(RECT& area) {
  if (area.top >= area.bottom || area.left >= area.right || area.left < 0 || area.top < 0 ||
      area.right > kBedWidth || area.bottom > kBedHeight)
    area = kWholeBed;
}

template <typename T>
void KeepFlag(T& flag) {
  if (flag != 0 && flag != 1) flag = 0;
}

void PutRect(BYTE* p, const RECT& r) {
  PutLE32(p, static_cast<DWORD>(r.left));
  PutLE32(p + 4, static_cast<DWORD>(r.top));
  PutLE32(p + 8, static_cast<DWORD>(r.right));
  PutLE32(p + 12, static_cast<DWORD>(r.bottom));
}

RECT GetRect(const BYTE* p) {
  return {static_cast<LONG>(GetLE32(p)), static_cast<LONG>(GetLE32(p + 4)), static_cast<LONG>(GetLE32(p + 8)),
          static_cast<LONG>(GetLE32(p + 12))};
}

}  // namespace

void ResetLevelSlot(LevelSlot& slot) { slot = {255, 0, 100, 0, 255}; }

void ResetCurveItem(CurveItem& item) {
  for (int i = 0; i < 256; ++i) {
    item.Curve[i] = static_cast<BYTE>(i);
    item.Points[i] = -1;
  }
  item.Points[0] = 0;
  item.Points[255] = 255;
}

void ResetScanSettings(ScanSettings& s) {
  s.DisplayUnit = kDefaultDisplayUnit;
  s.LevelSlotShown = s.LevelSlotEdited = s.CurveItemIndex = 0;
  s.Rotation = 0;
  s.HorizontalMirror = s.VerticalMirror = 0;
  s.SpareChoice = 0;
  s.PreviewWindow = nullptr;
  s.SpareRects[0] = s.SpareRects[1] = RECT{};
  s.PreviewAvailable = 0;
  s.PreviewZoom = 100;
  s.ScanArea = kWholeBed;
  SetScanDefaults(s);
}

void SetScanDefaults(ScanSettings& s) {
  s.PreviewArea = kWholeBed;
  s.XResolution = s.YResolution = kDefaultResolution;
  for (int i = 0; i < 3; ++i) s.FurtherResolutions[i][0] = s.FurtherResolutions[i][1] = kFurtherResolutionDefaults[i];
  for (UnitReadout& r : s.Readouts) {
    r.ScalePercent = 100.0;
    r.Unit = kReadoutUnit;
  }
  s.SpareFlag = 0;
  s.ScalePercent = 100;
  s.ScaleFlag = 0;
  s.BackgroundRemoval = 1;
  s.SpareChoice = 0;
  s.CurveBoxFlag = 0;
  s.SpareAdjustment = 0;
  s.Threshold = kDefaultThreshold;
  for (LevelSlot& slot : s.LevelSlots) ResetLevelSlot(slot);
  for (CurveItem& item : s.CurveItems) ResetCurveItem(item);
  s.HalftoneMode = 0;
  s.Invert = 0;
  s.ScanFrom = 0;
  s.HorizontalMirror = s.VerticalMirror = 0;
  s.Rotation = 0;
  for (int i = 0; i < 2; ++i) s.SavedScanArea[i] = s.SavedPreviewArea[i] = kWholeBed;
  s.ScanArea = s.SavedScanArea[0];
  s.PreviewTool = 0;
  s.ScanTypeCode = 0;
  s.OriginalType = 0;
  s.AreaSizeCode = kDefaultAreaSizeCode;
  s.DisplayUnit = kDefaultDisplayUnit;
  SetAreaFromSizeCode(s);
}

void ValidateScanSettings(ScanSettings& s) {
  if (s.ScanFrom > 2) s.ScanFrom = 0;
  if (s.DisplayUnit > 5) s.DisplayUnit = kInvalidDisplayUnit;

  ValidateArea(s.ScanArea);
  ValidateArea(s.PreviewArea);
  // The saved areas come from the same store and become scan areas when the source changes.
  for (int i = 0; i < 2; ++i) {
    ValidateArea(s.SavedScanArea[i]);
    ValidateArea(s.SavedPreviewArea[i]);
  }

  switch (s.ScanTypeCode) {
    case 0:
    case 3:
    case 4:
    case 6:
    case 7:
      break;
    default:
      s.ScanTypeCode = 4;
      break;
  }

  if (!ResolutionValid(s.XResolution) || !ResolutionValid(s.YResolution)) s.XResolution = s.YResolution = kDefaultResolution;
  for (int i = 0; i < 3; ++i)
    for (LONG& dpi : s.FurtherResolutions[i])
      if (!ResolutionValid(dpi)) dpi = kFurtherResolutionDefaults[i];

  KeepFlag(s.SpareFlag);
  KeepFlag(s.ScaleFlag);
  KeepFlag(s.BackgroundRemoval);
  KeepFlag(s.CurveBoxFlag);
  KeepFlag(s.PreviewAvailable);
  KeepFlag(s.HorizontalMirror);
  KeepFlag(s.VerticalMirror);
  KeepFlag(s.Invert);

  if (!ResolutionValid(static_cast<LONGLONG>(s.ScalePercent) * s.XResolution / 100)) {
    s.ScalePercent = 100;
    s.ScaleFlag = 0;
  }
  for (UnitReadout& r : s.Readouts) {
    const double dpi = s.XResolution * r.ScalePercent / 100.0;
    if (!(dpi >= kMinResolution && dpi <= kMaxResolution)) {
      r.ScalePercent = 100.0;
      s.ScaleFlag = 0;
    }
  }
  FillUnitReadout(s.Readouts[0].ScalePercent, s.ScanArea.right - s.ScanArea.left, s.XResolution, &s.Readouts[0]);
  FillUnitReadout(s.Readouts[1].ScalePercent, s.ScanArea.bottom - s.ScanArea.top, s.YResolution, &s.Readouts[1]);

  if (s.SpareChoice > 4) s.SpareChoice = 0;
  if (s.SpareAdjustment < -128 || s.SpareAdjustment > 128) s.SpareAdjustment = 0;
  if (s.Threshold < 0 || s.Threshold > 255) s.Threshold = kInvalidThreshold;

  for (LevelSlot& slot : s.LevelSlots) {
    if (slot.InputHigh < 0 || slot.InputHigh > 255) slot.InputHigh = 255;
    if (slot.OutputHigh < 0 || slot.OutputHigh > 255) slot.OutputHigh = 255;
    if (slot.InputLow < 0 || slot.InputLow > 255) slot.InputLow = 0;
    if (slot.OutputLow < 0 || slot.OutputLow > 255) slot.OutputLow = 0;
    if (slot.Gamma < 0 || slot.Gamma > 1000) slot.Gamma = 100;
  }
  for (CurveItem& item : s.CurveItems) {
    if (item.Points[0] != 0) item.Points[0] = 0;
    if (item.Points[255] != 255) item.Points[255] = 255;
    for (int i = 1; i < 255; ++i)
      if (item.Points[i] < 0 || item.Points[i] > 255) item.Points[i] = -1;
  }

  if (s.HalftoneMode > 3) s.HalftoneMode = 0;
  if (s.Rotation > 3) s.Rotation = 0;
  if (s.LevelSlotShown > 3) s.LevelSlotShown = 0;
  if (s.LevelSlotEdited > 3) s.LevelSlotEdited = 0;
  if (s.CurveItemIndex > 3) s.CurveItemIndex = 0;
  if (s.PreviewTool > 1) s.PreviewTool = 0;
  if (s.PreviewZoom < 100 || s.PreviewZoom > 800 || s.PreviewZoom % 100 != 0) s.PreviewZoom = 100;
}

void EncodeScanModeRecord(const ScanSettings& s, BYTE* r) {
  std::memset(r, 0, kScanModeRecordBytes);
  const bool feeder = s.ScanFrom != 0;
  PutRect(r, s.ScanArea);
  PutLE16(r + 16, s.ScanTypeCode);
  PutLE32(r + 20, static_cast<DWORD>(s.XResolution));
  PutLE32(r + 24, static_cast<DWORD>(s.YResolution));
  PutRect(r + 28, feeder ? s.SavedScanArea[0] : s.ScanArea);
  PutRect(r + 44, feeder ? s.ScanArea : s.SavedScanArea[1]);
  PutLE32(r + 60, s.ScanFrom);
  PutLE16(r + 64, s.OriginalType);
  PutLE32(r + 68, s.BackgroundRemoval);
}

void ApplyScanModeRecord(ScanSettings& s, const BYTE* r) {
  ResetScanSettings(s);
  s.ScanTypeCode = GetLE16(r + 16);
  s.XResolution = static_cast<LONG>(GetLE32(r + 20));
  s.YResolution = static_cast<LONG>(GetLE32(r + 24));
  s.ScanFrom = GetLE32(r + 60);
  s.SavedScanArea[0] = GetRect(r + 28);
  s.SavedScanArea[1] = GetRect(r + 44);
  // The stored scan-from chooses the area as it stands; only then is a value beyond 2 reset.
  const int source = s.ScanFrom >= 1 ? 1 : 0;
  if (s.ScanFrom > 2) s.ScanFrom = 0;
  s.ScanArea = s.SavedScanArea[source];
  s.PreviewArea = s.SavedPreviewArea[source];
  ValidateScanSettings(s);
  // Taken after the validation, but checked like the rest of the record.
  s.OriginalType = GetLE16(r + 64);
  if (s.OriginalType > 2) s.OriginalType = 0;
  s.BackgroundRemoval = GetLE32(r + 68);
  KeepFlag(s.BackgroundRemoval);
}

void CopyNegotiatedSettings(ScanSettings& s, const ImageRecord& r) {
  if (r.FrameNegotiated) s.ScanArea = r.LayoutFrame;
  if (r.PixelTypeNegotiated) {
    switch (r.PixelType) {
      case TWPT_BW: s.ScanTypeCode = r.OneBitMethod; break;  // the one-bit methods are type codes 0, 1, 3
      case TWPT_GRAY: s.ScanTypeCode = 6; break;
      case TWPT_RGB: s.ScanTypeCode = r.ScanKind == kScanKindColor48 ? 7 : 4; break;
      case TWPT_PALETTE: s.ScanTypeCode = 5; break;
      default: break;
    }
  }
  if (r.ResolutionNegotiated) {
    s.XResolution = r.XResolution;
    s.YResolution = r.YResolution;
  }
  s.TransferMechanism = r.TransferMechanism;
}
