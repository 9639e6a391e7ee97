// The stand-in image-filter library "pelvofilt.dll": what its entries do and how tests inspect
// them through GetProcAddress.
//
// fgf_Create answers the scripted value (1 by default); fgf_Run keeps a copy of each 1404-byte
// run block, leaves the pixels unchanged and answers the scripted value (1 by default);
// fgf_FullToGray keeps a copy of each 40-byte block and turns every RGB triplet of the strip
// (width x lines triplets, addresses resolved as 32-bit tokens) into (g, g, g) with
// g = (r + g + b) / 3; fgf_ZoomAndDelBack and MonocromeNoiseReduction are bound but must never
// be called (they count their calls). TRC_LUT_LIST holds nine curves, curve k entry i =
// SimFilterCurve(k, i).
//
// Variants of the library without one required entry are built as
// <test dir>/filter_variants/<entry>/pelvofilt.dll (the test directory beside the driver directory).
#pragma once

#include "platform/base/types.h"

constexpr BYTE SimFilterCurve(int k, int i) { return static_cast<BYTE>(i + 3 * k > 255 ? 255 : i + 3 * k); }

struct SimFilterCounts {
  DWORD Create;
  DWORD Run;
  DWORD Release;
  DWORD FullToGray;
  DWORD ZoomAndDelBack;
  DWORD NoiseReduction;
};

using SimFilterResetProc = void (*)();
using SimFilterSetResultsProc = void (*)(int createResult, int runResult);
using SimFilterGetCountsProc = void (*)(SimFilterCounts* counts);
// Copy of the index-th run block (1404 bytes) or grey block (40 bytes) since the reset.
using SimFilterRunBlockProc = BOOL (*)(DWORD index, BYTE* block1404);
using SimFilterGrayBlockProc = BOOL (*)(DWORD index, BYTE* block40);
