// The ImageRecord's defaults, its rebuilding from the dialog's settings, its derived sizes, and
// the scan request of a transfer.
#include <cstring>

#include "platform/base/types.h"
#include "platform/twain/twain.h"
#include "scanner/scan_run.h"
#include "scanner/system_routines.h"

namespace {

constexpr WORD kDefaultResolution = 200;
constexpr float kPhysicalWidthInches = 11.69f;
constexpr float kPhysicalHeightInches = 17.0f;
constexpr WORD kDefaultThreshold = 202;
constexpr DWORD kImageSizeTooLarge = 0xFFFFFFFF;

WORD PixelTypeBits(const ImageRecord& r) {
  switch (r.PixelType) {
    case TWPT_BW:
      return 1;
    case TWPT_RGB:
      return r.ScanKind == kScanKindColor48 ? 48 : 24;
    default:
      return 8;
  }
}

DWORD FramePixels(LONG from, LONG to, WORD resolution) {
  const LONGLONG length = to > from ? static_cast<LONGLONG>(to) - from : static_cast<LONGLONG>(from) - to;
  return static_cast<DWORD>(length * resolution / 1200);
}

// Scan type codes of the dialog: pixel type, one-bit method and scan kind.
struct ScanTypeRow {
  WORD Code;
  WORD PixelType;
  WORD OneBitMethod;
  WORD Kind;
  bool KeepKind;
};
constexpr ScanTypeRow kScanTypes[] = {
    {0, TWPT_BW, kOneBitThreshold, kScanKindThreshold, false},
    {1, TWPT_BW, kOneBitHalftone, kScanKindHalftone, false},
    {3, TWPT_BW, kOneBitDiffusion, kScanKindDiffusion, false},
    {4, TWPT_RGB, 0, kScanKindColor, false},
    {5, TWPT_PALETTE, 0, 0, true},
    {6, TWPT_GRAY, 0, kScanKindGray, false},
    {7, TWPT_RGB, 0, kScanKindColor48, false},
    // Further colour and grey kinds: the dialog does not offer them, the record still carries
    // them (the transfer's request asks the device for plain colour or grey).
    {8, TWPT_RGB, 0, 16, false},
    {9, TWPT_RGB, 0, 17, false},
    {10, TWPT_RGB, 0, 18, false},
    {11, TWPT_RGB, 0, 19, false},
    {12, TWPT_GRAY, 0, 32, false},
    {13, TWPT_GRAY, 0, 33, false},
    {14, TWPT_GRAY, 0, 34, false},
    {15, TWPT_GRAY, 0, 35, false},
};

}  // namespace

void RecomputeLineSizes(ImageRecord& r) {
  r.BitsPerPixel = PixelTypeBits(r);
  r.BytesPerLine = static_cast<DWORD>((static_cast<ULONGLONG>(r.BitsPerPixel) * r.Width + 31) / 32 * 4);
  const ULONGLONG size = static_cast<ULONGLONG>(r.BytesPerLine) * r.Height;
  r.ImageSize = (static_cast<ULONGLONG>(r.Height) + 1) * r.BytesPerLine > 0xFFFFFFFFull ? kImageSizeTooLarge
                                                                                         : static_cast<DWORD>(size);
}

void RecomputePixelSizes(ImageRecord& r) {
  const RECT& f = r.LayoutFrame;
  DWORD width = FramePixels(f.left, f.right, r.XResolution);
  DWORD height = FramePixels(f.top, f.bottom, r.YResolution);
  if (r.Rotation == 1 || r.Rotation == 2) {
    width = FramePixels(f.top, f.bottom, r.YResolution);
    height = FramePixels(f.left, f.right, r.XResolution);
  }
  r.Width = width;
  r.Height = height;
  RecomputeLineSizes(r);
}

void ResetLevelSlots(ImageRecord& r) {
  for (LevelSlot& slot : r.LevelSlots) slot = {255, 0, 100, 0, 255};
  for (auto& curve : r.ToneCurves)
    for (int i = 0; i < 256; ++i) curve[i] = static_cast<BYTE>(i);
  r.Slot0Gamma = 100;
}

BOOL SetImageRecordDefaults(ImageRecord& r) {
  r = ImageRecord{};
  r.PhysicalWidth = kPhysicalWidthInches;
  r.PhysicalHeight = kPhysicalHeightInches;
  r.Unit = TWUN_PIXELS;
  r.PixelType = TWPT_BW;
  r.BitDepth[0] = 1;
  r.BitDepth[1] = 8;
  r.BitDepth[2] = 24;
  r.BitDepth[3] = 8;
  r.BitOrder = TWBO_MSBFIRST;
  r.XResolution = r.YResolution = kDefaultResolution;
  r.PendingTransferCount = -1;
  r.ImageFileFormat = TWFF_BMP;
  r.Indicators = r.UiControllable = 1;
  r.LayoutFrame = {0, 0, kBedWidth, kBedHeight};
  r.Threshold = kDefaultThreshold;
  ResetLevelSlots(r);
  r.ScalePercent = 100;
  r.ScanKind = kScanKindColor;
  RecomputePixelSizes(r);
  return MakeDefaultTransferName(g_Instance, r.TransferFileName, sizeof r.TransferFileName);
}

BOOL BuildImageRecord(const ScanSettings& s, ImageRecord& r) {
  const ScanTypeRow* type = nullptr;
  for (const ScanTypeRow& row : kScanTypes)
    if (row.Code == s.ScanTypeCode) type = &row;
  if (type == nullptr) return FALSE;
  r.Rotation = s.Rotation;
  r.HorizontalMirror = s.HorizontalMirror;
  r.VerticalMirror = s.VerticalMirror;
  r.HalftoneMode = s.HalftoneMode;
  r.LevelChannelMode = 0;
  r.BackgroundRemoval = 0;
  // The scale is ignored below 100 dpi.
  r.ScalePercent = s.XResolution < 100 ? 100 : s.ScalePercent;
  r.XResolution = r.YResolution = static_cast<WORD>(static_cast<LONGLONG>(r.ScalePercent) * s.XResolution / 100);
  r.Slot0Gamma = static_cast<WORD>(s.LevelSlots[0].Gamma);
  for (int i = 0; i < 4; ++i) {
    r.LevelSlots[i] = s.LevelSlots[i];
    std::memcpy(r.ToneCurves[i], s.CurveItems[i].Curve, 256);
  }
  const bool oneBit = s.ScanTypeCode == 0 || s.ScanTypeCode == 1 || s.ScanTypeCode == 3;
  if (s.ScanTypeCode == 7 || oneBit) {
    // One-bit and 48-bit images are never rotated, mirrored, screened or scaled.
    r.ScalePercent = 100;
    r.XResolution = r.YResolution = static_cast<WORD>(s.XResolution);
    r.Rotation = 0;
    r.HorizontalMirror = r.VerticalMirror = 0;
    r.HalftoneMode = 0;
    r.LevelChannelMode = 0;
    if (oneBit) r.BackgroundRemoval = s.BackgroundRemoval;
    if (s.ScanTypeCode == 0) {
      r.LevelSlots[0].Gamma = 100;
      for (int i = 1; i < 4; ++i) r.LevelSlots[i] = {255, 0, 100, 0, 255};
      for (auto& curve : r.ToneCurves)
        for (int i = 0; i < 256; ++i) curve[i] = static_cast<BYTE>(i);
    }
  }
  r.PixelType = type->PixelType;
  if (type->PixelType == TWPT_BW) r.OneBitMethod = type->OneBitMethod;
  if (!type->KeepKind) r.ScanKind = type->Kind;
  r.LayoutFrame = s.ScanArea;
  RecomputePixelSizes(r);
  r.Threshold = static_cast<WORD>(s.Threshold);
  r.Invert = s.Invert;
  r.ScanFrom = s.ScanFrom;
  r.PendingTransferCount = s.ScanFrom != 0 ? -1 : 1;
  r.BackgroundRemoval = s.BackgroundRemoval;
  return TRUE;
}

BOOL BuildScanRequest(ScanRequest& q, const ImageRecord& r) {
  q = ScanRequest{};
  switch (r.PixelType) {
    case TWPT_BW:
      q.Kind = r.OneBitMethod == kOneBitHalftone    ? kScanKindHalftone
               : r.OneBitMethod == kOneBitDiffusion ? kScanKindDiffusion
                                                    : kScanKindThreshold;
      break;
    case TWPT_GRAY:
      q.Kind = kScanKindGray;
      break;
    default:
      q.Kind = r.ScanKind == kScanKindColor48 ? kScanKindColor48 : kScanKindColor;
      break;
  }
  q.Frame = r.LayoutFrame;
  q.Resolution = r.XResolution;
  q.DeviceWidth = FramePixels(r.LayoutFrame.left, r.LayoutFrame.right, r.XResolution);
  q.DeviceHeight = FramePixels(r.LayoutFrame.top, r.LayoutFrame.bottom, r.YResolution);
  q.BitmapLine = BitmapLineBytes(q.Kind, q.DeviceWidth);
  q.Threshold = r.Threshold;
  q.HalftoneMode = q.Kind == kScanKindColor48 ? 0 : r.HalftoneMode;
  q.PaperTest = r.ScanFrom;
  q.BackgroundRemoval = r.BackgroundRemoval;
  return TRUE;
}
