// The screening-table module: hands out constant halftone data by group and index. Every
// buffer is built at compile time, lives in the module's read-only data, stays valid while
// the module is loaded and is never freed by the caller.
#include <atomic>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "screening/dlut_resource.h"
#include "screening/own_resource.h"
#include "screening/screen_params.h"
#include "screening/threshold_matrices.h"
#include "screening/tone_curves.h"

namespace {

constexpr INT kGroupScreenParams = 100;
constexpr INT kGroupLookupTables = 101;
constexpr INT kGroupThresholds = 102;
constexpr INT kGroupToneCurves = 103;

constexpr LONG kNoNumber = -1;
constexpr LONG kDefaultScreenNumber = 47;

struct NumberRow {
  INT group;
  INT index;
  LONG value;
};

constexpr NumberRow kNumberRows[] = {
    {kGroupScreenParams, 128, 111},  {kGroupScreenParams, 192, 175},
    {kGroupScreenParams, 320, 303},  {kGroupScreenParams, 576, 559},
    {kGroupLookupTables, 2000, 0},   {kGroupLookupTables, 2001, 0},
    {kGroupLookupTables, 2002, 0},
};

// The module's own handle, kept for the lookup of its own resource.
std::atomic<HMODULE> g_module{nullptr};

}  // namespace

DLLEXPORT BOOL WINAPI DllMain(HINSTANCE module, DWORD, LPVOID) {
  g_module.store(module);
  return TRUE;
}

// Answers the buffer of (group, index), or null for any other pair. No length goes with it.
DLLEXPORT LPCVOID WINAPI RES_GetBuffer(INT group, INT index) {
  using namespace screening;
  switch (group) {
    case kGroupScreenParams:
      if (index == 1000) return kScreenParams1000.data();
      if (index == 1001) return kScreenParams1001.data();
      return nullptr;
    case kGroupLookupTables:
      return FindDlutItem(FindOwnResource(g_module.load(), kDlutResourceType, kDlutResourceName), index);
    case kGroupThresholds:
      if (index == 3000) return kThresholdMatrix3000.data();
      if (index == 3001) return kThresholdMatrix3001.data();
      return nullptr;
    case kGroupToneCurves:
      if (index == 4000) return kToneCurves4000.data();
      if (index == 4500) return kToneCurve4500.data();
      if (index == 4501) return kToneCurve4501.data();
      return nullptr;
    default:
      return nullptr;
  }
}

// Answers the number of (group, index): a listed row's value, 47 for any other index of
// group 100, -1 for everything else.
DLLEXPORT LONG WINAPI RES_GetNumber(INT group, INT index) {
  for (const NumberRow& row : kNumberRows)
    if (row.group == group && row.index == index) return row.value;
  return group == kGroupScreenParams ? kDefaultScreenNumber : kNoNumber;
}
