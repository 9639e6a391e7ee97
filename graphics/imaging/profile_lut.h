// The graphics module's own colour engine: a ProfileLut made from a built-in profile (white
// point and tone) or from an RGB ICC profile file (version 2 tags), and the conversion of rows
// of blue-green-red pixels through it to sRGB. Pixel arithmetic is integer; tables are built in
// double precision.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/imaging/icc_status.h"
#include "platform/base/types.h"

inline constexpr int kLutGridPoints = 17;
inline constexpr int kLutEntries = kLutGridPoints * kLutGridPoints * kLutGridPoints;
inline constexpr std::size_t kLutBytes = kLutEntries * 3 * sizeof(std::uint16_t);  // 29478
static_assert(kLutBytes == 29478);

enum ProfileLutState : LONG {
  kLutUnusable = -1,  // conversions copy the pixels
  kLutMatrixModel = 0,
  kLutTableModel = 1,
};

struct ProfileLut {
  WORD InputCurves[3][256];  // red, green, blue: 8-bit input to 16-bit linear
  LONG Matrix[9];            // 16.16, rows give output red, green, blue; columns weigh input red, green, blue
  HGLOBAL LutBlock;          // locked moveable block of kLutEntries x {red, green, blue} 16-bit values
  WORD* Lut;                 // entry index r x 289 + g x 17 + b
  LONG State;
  LONG NearWhite[24];        // 8 corners x {red, green, blue} between 0xEFFF and 0xFFFF, r slowest
  LONG NearWhiteInUse;
};

// Built-in profile: white point 5000, 6500 or 9300 Kelvin, tone 10, 14, 18, 22 or 26 (gamma
// x 10). kIccNoObject for anything else, leaving the object unusable.
int BuildBuiltInProfile(ProfileLut& lut, int whitePointKelvin, int tone);

// Reads an RGB ICC profile file (platform path in the ANSI code page). Any failure leaves the
// object unusable. Answers an IccStatus.
int LoadIccProfile(ProfileLut* lut, const char* path);

// Converts count pixels (blue, green, red) into dst; with no object or an unusable one the
// pixels are copied. src and dst may be the same.
void ConvertRgbRow(const ProfileLut* lut, const BYTE* src, BYTE* dst, std::size_t count);

// Frees the table block and makes the object unusable.
void ReleaseProfileLut(ProfileLut& lut);
