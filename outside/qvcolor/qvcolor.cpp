// Stand-in for the outside colour library (see qvcolor_sim.h). Built once complete and once
// per entry with that entry left out (QV_COLOR_OMIT_<entry>).
#include <cstring>
#include <string>
#include <vector>

#include "outside/qvcolor/qvcolor_sim.h"
#include "platform/base/export.h"
#include "platform/base/types.h"

namespace {
struct Library {
  ULONGLONG Answers[7] = {kSimColorDefaultHandle, 0, 0, 0, 0, 0, 0};
  std::vector<SimColorLogEntry> Log;
  std::u16string DataFile;
};

Library& State() {
  static Library library;
  return library;
}

DWORD Checksum(const BYTE* pixels, DWORD width, DWORD height) {
  DWORD sum = 0;
  if (pixels != nullptr)
    for (std::size_t i = 0; i < std::size_t{width} * height * 3; ++i) sum += pixels[i];
  return sum;
}

WORD Logged(SimColorCall call, ULONGLONG handle, DWORD parameter = 0, const BYTE* pixels = nullptr, DWORD width = 0,
            DWORD height = 0) {
  State().Log.push_back({call, handle, parameter, width, height, Checksum(pixels, width, height)});
  return static_cast<WORD>(State().Answers[call]);
}
}  // namespace

#ifndef QV_COLOR_OMIT_ZEM_LoadZEM32
DLLEXPORT ULONGLONG ZEM_LoadZEM32(LPCWSTR dataFile) {
  Library& s = State();
  s.DataFile = dataFile != nullptr ? dataFile : u"";
  DWORD sum = 0;
  for (char16_t ch : s.DataFile) sum += ch;
  s.Log.push_back({kSimZemLoad, 0, 0, 0, 0, sum});
  return s.Answers[kSimZemLoad];
}
#endif
#ifndef QV_COLOR_OMIT_ZEM_FreeZEM32
DLLEXPORT WORD ZEM_FreeZEM32(ULONGLONG handle) { return Logged(kSimZemFree, handle); }
#endif
#ifndef QV_COLOR_OMIT_ZEM_CreateParam_Begin32
DLLEXPORT WORD ZEM_CreateParam_Begin32(ULONGLONG handle, BYTE parameter) { return Logged(kSimZemBegin, handle, parameter); }
#endif
#ifndef QV_COLOR_OMIT_ZEM_CreateParam32
DLLEXPORT WORD ZEM_CreateParam32(ULONGLONG handle, const BYTE* pixels, DWORD width, DWORD height) {
  return Logged(kSimZemCreateParam, handle, 0, pixels, width, height);
}
#endif
#ifndef QV_COLOR_OMIT_ZEM_CreateParam_End32
DLLEXPORT WORD ZEM_CreateParam_End32(ULONGLONG handle) { return Logged(kSimZemEnd, handle); }
#endif
#ifndef QV_COLOR_OMIT_ZEM_DeleteParam32
DLLEXPORT WORD ZEM_DeleteParam32(ULONGLONG handle) { return Logged(kSimZemDeleteParam, handle); }
#endif
#ifndef QV_COLOR_OMIT_ZEM_ColorConvert32
DLLEXPORT WORD ZEM_ColorConvert32(ULONGLONG handle, const BYTE* pixels, BYTE* result, DWORD width, DWORD height) {
  const WORD answer = Logged(kSimZemConvert, handle, 0, pixels, width, height);
  if (answer == 0 && pixels != nullptr && result != nullptr)
    for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
      result[3 * i] = pixels[3 * i + 2];
      result[3 * i + 1] = pixels[3 * i + 1];
      result[3 * i + 2] = pixels[3 * i];
    }
  return answer;
}
#endif

DLLEXPORT void SimColorReset() { State() = Library{}; }

DLLEXPORT void SimColorSetAnswer(DWORD call, ULONGLONG answer) {
  if (call < 7) State().Answers[call] = answer;
}

DLLEXPORT DWORD SimColorLogCount() { return static_cast<DWORD>(State().Log.size()); }

DLLEXPORT BOOL SimColorLogEntryAt(DWORD index, SimColorLogEntry* entry) {
  if (index >= State().Log.size() || entry == nullptr) return FALSE;
  *entry = State().Log[index];
  return TRUE;
}

DLLEXPORT void SimColorDataFile(WCHAR* out, DWORD chars) {
  if (out == nullptr || chars == 0) return;
  const std::u16string& f = State().DataFile;
  const std::size_t n = f.size() < chars - 1 ? f.size() : chars - 1;
  std::memcpy(out, f.data(), n * sizeof(WCHAR));
  out[n] = 0;
}
