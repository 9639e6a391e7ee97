// Binding of the image-filter library, its parameter blocks and the band pipeline.
#include "scanner/filter_library.h"

#include <cstring>

#include "platform/base/addr32.h"
#include "platform/kernel/module.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "platform/base/byte_order.h"
#include "scanner/color_transform.h"

#include "platform/base/types.h"
#include "scanner/device.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "scanner/text_ids.h"

BOOL g_PreviewScanRunning;

namespace {

using ReleaseProc = void (*)();

struct FilterLibrary {
  HMODULE Library = nullptr;
  FilterEntryProc Create = nullptr;
  FilterEntryProc Run = nullptr;
  ReleaseProc Release = nullptr;
  FilterEntryProc ZoomAndDelBack = nullptr;
  FilterEntryProc FullToGray = nullptr;
  const BYTE* const* ToneCurves = nullptr;
};

FilterLibrary g_Filter;

// Filter modes of the run block.
constexpr DWORD kModeBw = 0;
constexpr DWORD kModeGray = 1;
constexpr DWORD kModeRgb = 2;
constexpr DWORD kModeDiffusion = 4;
constexpr DWORD kModeRgb48 = 5;
constexpr DWORD kModeHalftone = 6;

FARPROC BindByText(UINT textId) {
  char name[64];
  LoadLocalizedString(g_Instance, textId, name, sizeof name);
  return GetProcAddress(g_Filter.Library, name);
}

void Put16(BYTE* p, int offset, int value) { PutLE16(p + offset, static_cast<WORD>(value)); }

}  // namespace

BOOL LoadFilterLibrary() {
  if (g_Filter.Library != nullptr) return FALSE;
  char path[MAX_PATH], name[MAX_PATH];
  if (!GetSourceModuleDirectory(g_Instance, path, sizeof path)) return FALSE;
  LoadLocalizedString(g_Instance, kTextFilterLibrary, name, sizeof name);
  if (std::strlen(path) + std::strlen(name) >= sizeof path) return FALSE;
  std::strcat(path, name);
  g_Filter.Library = LoadLibraryA(path);
  if (g_Filter.Library == nullptr) return FALSE;
  g_Filter.Create = reinterpret_cast<FilterEntryProc>(BindByText(kTextFilterCreate));
  g_Filter.Run = reinterpret_cast<FilterEntryProc>(BindByText(kTextFilterRun));
  g_Filter.Release = reinterpret_cast<ReleaseProc>(BindByText(kTextFilterRelease));
  g_Filter.ZoomAndDelBack = reinterpret_cast<FilterEntryProc>(BindByText(kTextFilterZoomAndDelBack));
  g_Filter.FullToGray = reinterpret_cast<FilterEntryProc>(BindByText(kTextFilterFullToGray));
  // Required although the data source never calls it.
  const FARPROC noiseReduction = GetProcAddress(g_Filter.Library, "MonocromeNoiseReduction");
  g_Filter.ToneCurves = reinterpret_cast<const BYTE* const*>(GetProcAddress(g_Filter.Library, "TRC_LUT_LIST"));
  BYTE createBlock[kFilterCreateBlockBytes] = {};
  if (g_Filter.Create == nullptr || g_Filter.Run == nullptr || g_Filter.Release == nullptr ||
      g_Filter.ZoomAndDelBack == nullptr || g_Filter.FullToGray == nullptr || noiseReduction == nullptr ||
      g_Filter.ToneCurves == nullptr || g_Filter.Create(createBlock) == 0) {
    FreeLibrary(g_Filter.Library);
    g_Filter = FilterLibrary{};
    return FALSE;
  }
  return TRUE;
}

void UnloadFilterLibrary() {
  if (g_Filter.Library == nullptr) return;
  g_Filter.Release();
  FreeLibrary(g_Filter.Library);
  g_Filter = FilterLibrary{};
}

FilterEntryProc BoundZoomAndDelBack() { return g_Filter.ZoomAndDelBack; }
FilterEntryProc BoundFullToGray() { return g_Filter.FullToGray; }
const BYTE* const* BoundToneCurveList() { return g_Filter.ToneCurves; }

BOOL BuildFilterParameters(BYTE* p, const ImageRecord& r, WORD levelChannelMode) {
  std::memset(p, 0, kFilterParametersBytes);
  const bool bw = r.PixelType == TWPT_BW;
  const bool diffusionKind = bw && r.ScanKind == kScanKindDiffusion;  // BW from kind 1 is handled like grey
  const bool colour = r.PixelType == TWPT_RGB || r.PixelType == TWPT_PALETTE;
  int composition;
  switch (r.PixelType) {
    case TWPT_BW:
      // Kind 1 decides over the one-bit method when both are set.
      composition = diffusionKind ? 3 : (r.OneBitMethod == kOneBitDiffusion ? 0x0501 : 0x0101);
      break;
    case TWPT_GRAY:
      composition = 3;
      break;
    case TWPT_RGB:
      composition = 6;
      break;
    case TWPT_PALETTE:
      composition = 4;
      break;
    default:
      return FALSE;
  }
  const bool color48 = r.ScanKind == kScanKindColor48;
  Put16(p, 60, composition);
  Put16(p, 62, bw && !diffusionKind ? 1 : 4);
  Put16(p, 64, -1);
  Put16(p, 162, bw || color48 ? 1 : r.HalftoneMode);
  Put16(p, 164, bw && r.Invert && !color48 ? 2 : 1);
  Put16(p, 166, 3);
  if (bw && !diffusionKind) {
    Put16(p, 168, 0);
    Put16(p, 170, 5);
  } else if (!colour) {
    Put16(p, 168, 1);
    Put16(p, 170, 5);
  } else {
    Put16(p, 168, 1);
    Put16(p, 170, levelChannelMode + 1);
  }
  for (int i = 0; i < 4; ++i) {
    Put16(p, 172 + 2 * i, r.LevelSlots[i].InputLow);
    Put16(p, 182 + 2 * i, r.LevelSlots[i].InputHigh);
    Put16(p, 192 + 2 * i, r.LevelSlots[i].OutputLow);
    Put16(p, 202 + 2 * i, r.LevelSlots[i].OutputHigh);
  }
  Put16(p, 180, r.LevelSlots[0].InputLow);
  Put16(p, 190, r.LevelSlots[0].InputHigh);
  Put16(p, 200, r.LevelSlots[0].OutputLow);
  Put16(p, 210, r.LevelSlots[0].OutputHigh);
  const bool screened = bw && (r.OneBitMethod == kOneBitHalftone || r.OneBitMethod == kOneBitDiffusion);
  Put16(p, 214, screened ? r.Threshold * 32 : 0);
  Put16(p, 216, bw && r.OneBitMethod == kOneBitThreshold ? r.Threshold : 202);
  if (!colour) {
    Put16(p, 218, 0);
    Put16(p, 220, 5);
  } else if (levelChannelMode == 0) {
    Put16(p, 218, 1);
    Put16(p, 220, 4);
  } else {
    Put16(p, 218, 0);
    Put16(p, 220, levelChannelMode);
  }
  for (int i = 1; i < 4; ++i) Put16(p, 220 + 2 * i, r.LevelSlots[levelChannelMode != 0 ? i : 0].Gamma);
  Put16(p, 228, r.LevelSlots[0].Gamma);
  Put16(p, 230, r.LevelSlots[0].Gamma);
  return TRUE;
}

namespace {

// One run of the filter library over the pixels with the record's parameters, tone curves and
// mode; FALSE when there is no mode for the record, no library, or the run fails.
BOOL RunFilterLibrary(BYTE* pixels, DWORD width, DWORD lines, const ImageRecord& r) {
  BYTE block[kFilterRunBlockBytes] = {};
  if (!BuildFilterParameters(block + 40, r, 1)) return FALSE;
  // The one-bit methods choose the mode of black-and-white images only: a grey or colour
  // record may still carry the method of an earlier one-bit scan, and a one-bit mode would
  // write one-bit lines into a band laid out for 8 or 24 bits.
  DWORD mode;
  if (r.PixelType == TWPT_BW && r.OneBitMethod == kOneBitDiffusion)
    mode = kModeDiffusion;
  else if (r.PixelType == TWPT_BW && r.OneBitMethod == kOneBitHalftone)
    mode = kModeHalftone;
  else if (r.PixelType == TWPT_BW)
    mode = kModeBw;
  else if (r.PixelType == TWPT_GRAY)
    mode = kModeGray;
  else if (r.PixelType == TWPT_RGB)
    mode = r.ScanKind == kScanKindColor48 ? kModeRgb48 : kModeRgb;
  else
    return FALSE;  // the filter has no mode for palette images
  PutLE32(block + 12, mode);
  PutLE32(block + 16, width);
  PutLE32(block + 20, lines);
  PutLE32(block + 36, g_PreviewRequested ? 1 : 0);
  const LevelSlot& slot0 = r.LevelSlots[0];
  ToneCurveFromLevels(block + 356, slot0.Gamma, slot0.InputLow, slot0.InputHigh, slot0.OutputLow, slot0.OutputHigh);
  for (int i = 1; i < 4; ++i) std::memcpy(block + 356 + 256 * i, r.ToneCurves[i], 256);
  PutLE32(block + 1384, r.BackgroundRemoval ? 1 : 0);
  PutLE32(block + 1388, g_Switches.UseHardwareGrayScale);
  PutLE32(block + 1396, r.XResolution);
  PutLE32(block + 1400, r.YResolution);
  if (g_Filter.Run == nullptr) return FALSE;
  const DWORD token = ToAddr32(pixels);
  PutLE32(block, token);
  PutLE32(block + 4, token);
  const int result = g_Filter.Run(block);
  ReleaseAddr32(token);
  return result != 0;
}

}  // namespace

BOOL RunImageFilter(BYTE* pixels, DWORD width, DWORD lines, DWORD lineBytes, const ImageRecord& r) {
  // A preview scan's bands are filtered when the preview is rendered, not here.
  if (!g_PreviewScanRunning && !RunFilterLibrary(pixels, width, lines, r)) return FALSE;
  if (InvertApplies(r)) InvertBand(pixels, width, lines, lineBytes, r, g_Switches.UseHardwareGrayScale);
  return TRUE;
}

int RunBandPipeline(BYTE* pixels, DWORD width, DWORD lines, DWORD lineBytes, const ImageRecord& r) {
  if (r.PixelType != TWPT_BW && g_Switches.ConvertToSrgb) TranslateBand(pixels, width, lines, r);
  return RunImageFilter(pixels, width, lines, lineBytes, r) ? 0 : 5;
}
