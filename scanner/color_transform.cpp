// The sRGB colour transform: the scanner's calibrated RGB colour space to the sRGB profile.
#include "scanner/color_transform.h"

#include <cstdlib>
#include <cstring>

#include "platform/base/types.h"
#include "platform/color/color.h"
#include "platform/kernel/files.h"
#include "scanner/scan_settings.h"
#include "scanner/system_routines.h"
#include "scanner/text_ids.h"

namespace {

struct ColorTransformState {
  HPROFILE Destination = nullptr;
  LOGCOLORSPACEA* ColorSpace = nullptr;
  HTRANSFORM Transform = nullptr;
  BYTE* Scratch = nullptr;
  ULONGLONG ScratchSize = 0;
};

ColorTransformState g_Color;

constexpr FXPT2DOT30 Fixed2Dot30(double v) { return static_cast<FXPT2DOT30>(v * (1 << 30)); }
constexpr DWORD Fixed16Dot16(double v) { return static_cast<DWORD>(v * 65536.0); }

// The colour directory followed by a backslash and a name; FALSE when it does not fit MAX_PATH.
bool ColorDirectoryPath(LPCSTR name, char* path) {
  DWORD size = MAX_PATH;
  if (!GetColorDirectoryA(nullptr, path, &size)) return false;
  const size_t used = std::strlen(path);
  if (used + 1 + std::strlen(name) >= MAX_PATH) return false;
  path[used] = '\\';
  std::strcpy(path + used + 1, name);
  return true;
}

}  // namespace

HPROFILE OpenProfileByName(LPCSTR name) {
  char path[MAX_PATH];
  if (std::strchr(name, ':') != nullptr || std::strchr(name, '\\') != nullptr) {
    if (std::strlen(name) >= MAX_PATH) return nullptr;
    std::strcpy(path, name);
  } else if (!ColorDirectoryPath(name, path)) {
    return nullptr;
  }
  PROFILE profile{PROFILE_FILENAME, path, static_cast<DWORD>(std::strlen(path) + 1)};
  HPROFILE handle = OpenColorProfileA(&profile, PROFILE_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (handle == nullptr) return nullptr;
  BOOL valid = FALSE;
  if (!IsColorProfileValid(handle, &valid) || !valid) {
    CloseColorProfile(handle);
    return nullptr;
  }
  return handle;
}

LOGCOLORSPACEA* BuildScannerColorSpace() {
  auto* cs = static_cast<LOGCOLORSPACEA*>(std::calloc(1, sizeof(LOGCOLORSPACEA)));
  if (cs == nullptr) return nullptr;
  cs->lcsSignature = LCS_SIGNATURE;
  cs->lcsVersion = 0x400;
  cs->lcsSize = sizeof(LOGCOLORSPACEA);
  cs->lcsCSType = LCS_CALIBRATED_RGB;
  cs->lcsIntent = LCS_GM_IMAGES;
  cs->lcsEndpoints.ciexyzRed = {Fixed2Dot30(0.64), Fixed2Dot30(0.33), Fixed2Dot30(0.03)};
  cs->lcsEndpoints.ciexyzGreen = {Fixed2Dot30(0.30), Fixed2Dot30(0.60), Fixed2Dot30(0.10)};
  cs->lcsEndpoints.ciexyzBlue = {Fixed2Dot30(0.15), Fixed2Dot30(0.06), Fixed2Dot30(0.79)};
  cs->lcsGammaRed = cs->lcsGammaGreen = cs->lcsGammaBlue = Fixed16Dot16(0.45);
  char name[MAX_PATH];
  LoadLocalizedString(g_Instance, kTextScannerProfile, name, sizeof name);
  if (!ColorDirectoryPath(name, cs->lcsFilename)) {
    std::free(cs);
    return nullptr;
  }
  return cs;
}

BOOL CreateColorTransform() {
  ReleaseColorTransform();
  char name[MAX_PATH];
  LoadLocalizedString(g_Instance, kTextSrgbProfile, name, sizeof name);
  g_Color.Destination = OpenProfileByName(name);
  if (g_Color.Destination == nullptr) return FALSE;
  g_Color.ColorSpace = BuildScannerColorSpace();
  if (g_Color.ColorSpace == nullptr) return FALSE;
  g_Color.Transform =
      CreateColorTransformA(g_Color.ColorSpace, g_Color.Destination, nullptr, ENABLE_GAMUT_CHECKING | BEST_MODE);
  return g_Color.Transform != nullptr;
}

void ReleaseColorTransform() {
  if (g_Color.Transform != nullptr) DeleteColorTransform(g_Color.Transform);
  if (g_Color.Destination != nullptr) CloseColorProfile(g_Color.Destination);
  std::free(g_Color.ColorSpace);
  std::free(g_Color.Scratch);
  g_Color = ColorTransformState{};
}

void TranslateBand(BYTE* pixels, DWORD width, DWORD lines, const ImageRecord& record) {
  if (g_Color.Transform == nullptr) return;
  DWORD bytes;
  BMFORMAT format;
  const WORD kind = record.ScanKind;
  if (kind == kScanKindColor48) {
    bytes = 6;
    format = BM_16b_RGB;
  } else if (kind == kScanKindGray16) {
    bytes = 2;
    format = BM_16b_GRAY;
  } else if (kind == kScanKindColor || (kind <= kScanKindGray && !g_Switches.UseHardwareGrayScale)) {
    bytes = 3;
    format = BM_RGBTRIPLETS;
  } else {
    return;
  }
  const ULONGLONG line = static_cast<ULONGLONG>(width) * bytes;
  const ULONGLONG total = line * lines;
  if (line > 0xFFFFFFFFull || total == 0) return;
  if (total > g_Color.ScratchSize) {
    BYTE* grown = static_cast<BYTE*>(std::realloc(g_Color.Scratch, total));
    if (grown == nullptr) return;
    g_Color.Scratch = grown;
    g_Color.ScratchSize = total;
  }
  if (TranslateBitmapBits(g_Color.Transform, pixels, format, width, lines, static_cast<DWORD>(line), g_Color.Scratch,
                          format, static_cast<DWORD>(line), nullptr, 0))
    std::memcpy(pixels, g_Color.Scratch, total);
}
