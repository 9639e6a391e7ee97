// Image colour management (see color.h).
#include "platform/color/color.h"

#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <string>

#include "platform/base/errors.h"
#include "platform/color/color_sim.h"
#include "platform/kernel/codepage.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/sandbox.h"
#include "platform/kernel/kernel_sim.h"

namespace {

constexpr char kColorDirectory[] = "C:\\Windows\\System32\\spool\\drivers\\color";

struct Profile {
  std::string HostPath;
};
struct Transform {
  DWORD Flags;
};

struct ColorState {
  std::mutex Lock;
  std::set<void*> Profiles;
  std::set<void*> Transforms;
  bool Invert = false;
  bool FailCreate = false;
  std::vector<SimColorTransformRecord> Created;
  std::vector<SimTranslateRecord> Translations;
};

ColorState& State() {
  static ColorState state;
  return state;
}

void ResetColor() {
  ColorState& s = State();
  std::lock_guard<std::mutex> guard(s.Lock);
  s.Invert = false;
  s.FailCreate = false;
  s.Created.clear();
  s.Translations.clear();
}

const bool registered = (SimAddResetHook(&ResetColor), true);

// Bytes per pixel of the formats the layer translates; 0 for the others.
DWORD FormatBytes(BMFORMAT format) {
  switch (format) {
    case BM_RGBTRIPLETS:
      return 3;
    case BM_16b_RGB:
      return 6;
    case BM_16b_GRAY:
      return 2;
    default:
      return 0;
  }
}

std::string HostPathOfAnsi(LPCSTR path) {
  const int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
  if (n <= 0) return "";
  std::u16string wide(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), n);
  return SimHostPath(wide.c_str());
}

}  // namespace

BOOL GetColorDirectoryA(LPCSTR, LPSTR buffer, LPDWORD size) {
  const DWORD needed = sizeof kColorDirectory;
  if (size == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, kColorDirectory, needed);
  *size = needed;
  return TRUE;
}

HPROFILE OpenColorProfileA(PROFILE* profile, DWORD, DWORD, DWORD) {
  if (profile == nullptr || profile->dwType != PROFILE_FILENAME || profile->pProfileData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::string host = HostPathOfAnsi(static_cast<LPCSTR>(profile->pProfileData));
  std::ifstream file(host, std::ios::binary);
  if (host.empty() || !file) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  auto* p = new Profile{host};
  std::lock_guard<std::mutex> guard(State().Lock);
  State().Profiles.insert(p);
  return p;
}

BOOL IsColorProfileValid(HPROFILE profile, PBOOL valid) {
  std::string host;
  {
    std::lock_guard<std::mutex> guard(State().Lock);
    if (valid == nullptr || State().Profiles.count(profile) == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    host = static_cast<Profile*>(profile)->HostPath;
  }
  char header[40] = {};
  std::ifstream file(host, std::ios::binary);
  file.read(header, sizeof header);
  *valid = file.gcount() == sizeof header && std::memcmp(header + 36, "acsp", 4) == 0;
  return TRUE;
}

BOOL CloseColorProfile(HPROFILE profile) {
  std::lock_guard<std::mutex> guard(State().Lock);
  if (State().Profiles.erase(profile) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete static_cast<Profile*>(profile);
  return TRUE;
}

HTRANSFORM CreateColorTransformA(LOGCOLORSPACEA* colorSpace, HPROFILE destination, HPROFILE, DWORD flags) {
  ColorState& s = State();
  std::lock_guard<std::mutex> guard(s.Lock);
  if (colorSpace == nullptr || s.Profiles.count(destination) == 0 || s.FailCreate) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  s.Created.push_back({*colorSpace, flags});
  auto* t = new Transform{flags};
  s.Transforms.insert(t);
  return t;
}

BOOL DeleteColorTransform(HTRANSFORM transform) {
  std::lock_guard<std::mutex> guard(State().Lock);
  if (State().Transforms.erase(transform) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete static_cast<Transform*>(transform);
  return TRUE;
}

BOOL TranslateBitmapBits(HTRANSFORM transform, PVOID input, BMFORMAT inputFormat, DWORD width, DWORD height,
                         DWORD inputStride, PVOID output, BMFORMAT outputFormat, DWORD outputStride, PBMCALLBACKFN,
                         LPARAM) {
  ColorState& s = State();
  bool invert;
  {
    std::lock_guard<std::mutex> guard(s.Lock);
    const DWORD bytes = FormatBytes(inputFormat);
    if (s.Transforms.count(transform) == 0 || input == nullptr || output == nullptr || bytes == 0 ||
        bytes != FormatBytes(outputFormat)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    s.Translations.push_back({inputFormat, outputFormat, width, height, inputStride, outputStride});
    invert = s.Invert;
  }
  const ULONGLONG row = static_cast<ULONGLONG>(width) * FormatBytes(inputFormat);
  const ULONGLONG in = inputStride != 0 ? inputStride : (row + 3) / 4 * 4;
  const ULONGLONG out = outputStride != 0 ? outputStride : (row + 3) / 4 * 4;
  if (in < row || out < row) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (DWORD y = 0; y < height; ++y) {
    const BYTE* from = static_cast<const BYTE*>(input) + y * in;
    BYTE* to = static_cast<BYTE*>(output) + y * out;
    for (ULONGLONG i = 0; i < row; ++i) to[i] = invert ? static_cast<BYTE>(~from[i]) : from[i];
  }
  return TRUE;
}

void SimColorReset() { ResetColor(); }

void SimColorInvertOnTranslate(BOOL invert) {
  std::lock_guard<std::mutex> guard(State().Lock);
  State().Invert = invert != FALSE;
}

void SimColorFailCreate(BOOL fail) {
  std::lock_guard<std::mutex> guard(State().Lock);
  State().FailCreate = fail != FALSE;
}

std::vector<SimColorTransformRecord> SimColorTransformsCreated() {
  std::lock_guard<std::mutex> guard(State().Lock);
  return State().Created;
}

std::vector<SimTranslateRecord> SimColorTranslations() {
  std::lock_guard<std::mutex> guard(State().Lock);
  return State().Translations;
}

int SimColorLiveObjects() {
  std::lock_guard<std::mutex> guard(State().Lock);
  return static_cast<int>(State().Profiles.size() + State().Transforms.size());
}
