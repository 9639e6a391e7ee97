// The sRGB colour transform of scanned bands.
#pragma once

#include "platform/base/types.h"
#include "platform/color/color.h"
#include "scanner/image_record.h"

// Builds the transform from the scanner's colour space to the sRGB profile: 1 or 0.
BOOL CreateColorTransform();
void ReleaseColorTransform();
// Converts a band of packed pixels in place (only while a transform exists).
void TranslateBand(BYTE* pixels, DWORD width, DWORD lines, const ImageRecord& record);
// A profile by file name (in the colour directory) or path; null when missing or invalid.
HPROFILE OpenProfileByName(LPCSTR name);
// The scanner's calibrated RGB colour space; null when the colour directory is unusable.
LOGCOLORSPACEA* BuildScannerColorSpace();
