// Stand-in for the scanner image-filter library (see pelvofilt_sim.h). Built once complete and
// once per required entry with that entry left out (QV_FILTER_OMIT_<entry>).
#include <array>
#include <cstring>
#include <vector>

#include "outside/pelvofilt/pelvofilt_sim.h"
#include "platform/base/addr32.h"
#include "platform/base/export.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler_state.h"

namespace {

constexpr size_t kRunBlockBytes = 1404;
constexpr size_t kGrayBlockBytes = 40;

struct Filter {
  int CreateResult = 1;
  int RunResult = 1;
  SimFilterCounts Counts{};
  std::vector<std::array<BYTE, kRunBlockBytes>> Runs;
  std::vector<std::array<BYTE, kGrayBlockBytes>> Grays;
};

Filter& State() {
  static Filter filter;
  return filter;
}

constexpr std::array<std::array<BYTE, 256>, 9> MakeCurves() {
  std::array<std::array<BYTE, 256>, 9> curves{};
  for (int k = 0; k < 9; ++k)
    for (int i = 0; i < 256; ++i) curves[k][i] = SimFilterCurve(k, i);
  return curves;
}
constexpr std::array<std::array<BYTE, 256>, 9> kCurves = MakeCurves();

}  // namespace

#ifndef QV_FILTER_OMIT_TRC_LUT_LIST
DLLEXPORT const BYTE* const TRC_LUT_LIST[9] = {kCurves[0].data(), kCurves[1].data(), kCurves[2].data(),
                                               kCurves[3].data(), kCurves[4].data(), kCurves[5].data(),
                                               kCurves[6].data(), kCurves[7].data(), kCurves[8].data()};
#endif

#ifndef QV_FILTER_OMIT_fgf_Create
DLLEXPORT int WINAPI fgf_Create(void* block36) {
  ++State().Counts.Create;
  return block36 != nullptr ? State().CreateResult : 0;
}
#endif

#ifndef QV_FILTER_OMIT_fgf_Run
DLLEXPORT int WINAPI fgf_Run(void* block) {
  Filter& f = State();
  ++f.Counts.Run;
  if (block == nullptr) return 0;
  std::array<BYTE, kRunBlockBytes> copy;
  std::memcpy(copy.data(), block, kRunBlockBytes);
  f.Runs.push_back(copy);
  return f.RunResult;
}
#endif

#ifndef QV_FILTER_OMIT_fgf_Release
DLLEXPORT void WINAPI fgf_Release() { ++State().Counts.Release; }
#endif

#ifndef QV_FILTER_OMIT_fgf_ZoomAndDelBack
DLLEXPORT int WINAPI fgf_ZoomAndDelBack(void*) {
  ++State().Counts.ZoomAndDelBack;
  return 0;
}
#endif

#ifndef QV_FILTER_OMIT_fgf_FullToGray
DLLEXPORT int WINAPI fgf_FullToGray(void* block) {
  Filter& f = State();
  ++f.Counts.FullToGray;
  if (block == nullptr) return 0;
  const BYTE* b = static_cast<const BYTE*>(block);
  std::array<BYTE, kGrayBlockBytes> copy;
  std::memcpy(copy.data(), b, kGrayBlockBytes);
  f.Grays.push_back(copy);
  const BYTE* src = static_cast<const BYTE*>(FromAddr32(GetLE32(b)));
  BYTE* dst = static_cast<BYTE*>(FromAddr32(GetLE32(b + 4)));
  if (src == nullptr || dst == nullptr) return 0;
  const ULONGLONG pixels = static_cast<ULONGLONG>(GetLE32(b + 16)) * GetLE32(b + 20);
  for (ULONGLONG i = 0; i < pixels; ++i) {
    const BYTE g = static_cast<BYTE>((src[3 * i] + src[3 * i + 1] + src[3 * i + 2]) / 3);
    dst[3 * i] = dst[3 * i + 1] = dst[3 * i + 2] = g;
  }
  return 1;
}
#endif

#ifndef QV_FILTER_OMIT_MonocromeNoiseReduction
DLLEXPORT int WINAPI MonocromeNoiseReduction(void*) {
  ++State().Counts.NoiseReduction;
  return 0;
}
#endif

DLLEXPORT void SimFilterReset() { State() = Filter{}; }

DLLEXPORT void SimFilterSetResults(int createResult, int runResult) {
  State().CreateResult = createResult;
  State().RunResult = runResult;
}

DLLEXPORT void SimFilterGetCounts(SimFilterCounts* counts) {
  if (counts != nullptr) *counts = State().Counts;
}

DLLEXPORT BOOL SimFilterRunBlock(DWORD index, BYTE* block1404) {
  if (block1404 == nullptr || index >= State().Runs.size()) return FALSE;
  std::memcpy(block1404, State().Runs[index].data(), kRunBlockBytes);
  return TRUE;
}

DLLEXPORT BOOL SimFilterGrayBlock(DWORD index, BYTE* block40) {
  if (block40 == nullptr || index >= State().Grays.size()) return FALSE;
  std::memcpy(block40, State().Grays[index].data(), kGrayBlockBytes);
  return TRUE;
}
