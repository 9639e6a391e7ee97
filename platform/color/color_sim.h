// Test control of image colour management: logs of transforms and translations, scripted
// failures.
#pragma once

#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/color/color.h"

// Test control.
struct SimColorTransformRecord {
  LOGCOLORSPACEA ColorSpace;
  DWORD Flags;
};
struct SimTranslateRecord {
  BMFORMAT InputFormat;
  BMFORMAT OutputFormat;
  DWORD Width;
  DWORD Height;
  DWORD InputStride;
  DWORD OutputStride;
};
// Forgets the logs, lifts the scripts (SimReset does it too).
PLATFORM_API void SimColorReset();
// Translations invert every byte instead of copying it.
PLATFORM_API void SimColorInvertOnTranslate(BOOL invert);
// The next CreateColorTransformA calls fail.
PLATFORM_API void SimColorFailCreate(BOOL fail);
PLATFORM_API std::vector<SimColorTransformRecord> SimColorTransformsCreated();
PLATFORM_API std::vector<SimTranslateRecord> SimColorTranslations();
// Transforms and profiles not yet deleted or closed.
PLATFORM_API int SimColorLiveObjects();
