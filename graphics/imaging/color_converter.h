// The document's colour conversion: brightness, contrast and saturation per object kind, a
// built-in profile, up to two ICC profiles, grey handling, black output and the optional
// outside colour library. Made at the document's start from its settings, consulted for each
// solid colour, pattern and bitmap.
#pragma once

#include <cstddef>

#include "core/pictures/color_adjust.h"
#include "graphics/imaging/color_library.h"
#include "graphics/imaging/pixel_ops.h"
#include "graphics/imaging/profile_lut.h"
#include "items/item_tables.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

struct Pdev;

// What the settings ask for (the converter's flag word).
enum ColorConverterFlag : WORD {
  kConvertTextMatrix = 0x1,
  kConvertTextGrey = 0x2,
  kConvertGraphicsMatrix = 0x4,
  kConvertGraphicsGrey = 0x8,
  kConvertImageMatrix = 0x10,
  kConvertCommonMatrix = 0x20,
  kConvertCommonGrey = 0x40,
  kConvertBuiltInProfile = 0x80,
  kConvertFirstProfile = 0x100,
  kConvertSecondProfile = 0x200,
  kConvertColorLibrary = 0x400,
};

// The plan of a solid colour (text or graphics word).
enum SolidPlan : WORD {
  kSolidToGrey = 0x1,  // grey object: to grey, inverted
  kSolidMatrix = 0x2,
  kSolidGreyAdjust = 0x4,
  kSolidBuiltInProfile = 0x8,
  kSolidFirstProfile = 0x10,
  kSolidBlack = 0x20,  // every non-white pixel becomes black
};

// The plan of an image (image word).
enum ImagePlan : WORD {
  kImageMatrix = 0x2,
  kImageBuiltInProfile = 0x8,
  kImageSecondProfile = 0x10,
  kImageToGrey = 0x20,
  kImageColorLibrary = 0x100,  // the image goes to the image queue for the colour library
};

enum SolidKind : int { kSolidText = 0, kSolidGraphics = 1 };

// Answers of the conversions: the colour space of the result, or a failure.
enum ConversionResult : int {
  kConvertedRgb = 1,
  kConvertedGrey = 2,  // one byte per pixel: 255 minus the grey level
  kConversionError = -1,
  kConversionNoMemory = -5,
};

// Answers of CreateColorConverter and BindColorLibrary.
enum ConverterStatus : int {
  kConverterOk = 0,
  kConverterMissingArgument = -1,
  kConverterNoMemory = -2,
  kConverterFirstProfileFailed = -3,
  kConverterSecondProfileFailed = -4,
};

// Answers of ColorConvertQueuedImages besides 0 and -1.
enum QueueConversionStatus : int {
  kQueueConversionNoMemory = -2,
  kQueueConversionLibraryFailed = -6,
};

inline constexpr int kProfilePathChars = 129;  // items 1832 and 1833: 258 bytes

// The colour settings of a document.
struct ColorSettingsRecord {
  SHORT Text[3], Graphics[3], Image[3], Common[3];  // the adjustment triples
  WORD WhitePoint;                                   // Kelvin
  WORD Tone;
  WCHAR FirstPath[kProfilePathChars];
  WCHAR SecondPath[kProfilePathChars];
  WORD SecondFromFirst;  // item 1305: the second profile is the first one
};

struct ColorConverter {
  WORD Flags;
  WORD TextWord, GraphicsWord;
  WORD ImageWord;
  ProfileLut* BuiltIn;
  ProfileLut* FirstProfile;
  ProfileLut* SecondProfile;  // may be the first
  const ColorAdjustMatrix* TextMatrix;
  const ColorAdjustMatrix* GraphicsMatrix;
  const ColorAdjustMatrix* ImageMatrix;
  const GreyAdjustment* TextGrey;
  const GreyAdjustment* GraphicsGrey;
  ULONGLONG LibraryHandle;  // 0 while the colour library is not in use
  ProfileLut FirstLut;   // the built-in profile or the first ICC profile
  ProfileLut SecondLut;  // the second ICC profile
  ColorAdjustMatrix CommonOrTextMatrixData, GraphicsMatrixData, ImageMatrixData;
  GreyAdjustment CommonOrTextGreyData, GraphicsGreyData;
  HMODULE LibraryModule;
  ColorLibraryEntries Library;
  WORD LibraryParameter;  // setting item 291, read again for every image
};

// A colour setting's effective value widened to a LONG (16-bit signed items sign-extended);
// false when it cannot be read.
bool ReadColorItemNumber(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, LONG& out);

// 0, -1 (missing argument), -2 (no memory), -3 or -4 (the first or second ICC profile cannot
// be used and the user cancelled); the converter is freed on any failure.
int CreateColorConverter(ColorConverter** out, SettingsRecord* settings, PrinterConfiguration* config,
                         HMODULE resourceInstance, HANDLE printer);
// 0 (also for none), -1 without a place.
int FreeColorConverter(ColorConverter** converter);

// The flag word from the settings into the converter and the record. Always 0; a failed read
// ends the reading early.
int ReadColorAdjustSettings(ColorConverter* converter, ColorSettingsRecord* record, SettingsRecord* settings,
                            PrinterConfiguration* config);
// Builds the objects the flag word asks for: 0, -3 (first ICC profile failed), -4 (second).
int BindColorLibrary(WORD flags, ColorConverter* converter, const ColorSettingsRecord* record, HANDLE printer);
// Asks whether to go on without the profile: 0 to go on, else the code.
int ShowIccProfileWarning(HMODULE resourceInstance, HANDLE printer, const ColorSettingsRecord* record, int code);

// Converts width x height pixels of a solid colour or pattern of the kind into result
// (three bytes each, or one grey byte each): 1 RGB, 2 grey, -1 error, -5 no memory or a size
// above 65535.
int ConvertSolidColor(ColorConverter* converter, DWORD* colorClassWord, Pdev* pdev, SettingsRecord* settings,
                      PrinterConfiguration* config, const BYTE* pixels, BYTE* result, LONG width, LONG height,
                      int reserved, int kind, int reuse);

// Converts image rows (format 4, 24 bits) or the palette (format 11, 1, 4 or 8 bits) by the
// image word: 1 RGB, 2 grey, -1 (unsupported format, missing palette, no memory), -5 (size
// above 65535).
int ConvertImageRows(ColorConverter* converter, const BYTE* rows, BYTE* resultRows, LONG width, LONG height,
                     const BYTE* palette, BYTE* resultPalette, DWORD entryCount, int colorFormat, int bitsPerPixel,
                     BOOL blackAndWhitePalette);

// 4 when the image goes to the image queue for the colour library, else 3; -1 without a
// converter.
int GetImageRoute(const ColorConverter* converter);

// The image word of a new bitmap from the settings: keeps only the colour-library bit, adds
// the image matrix, the built-in profile, the second ICC profile and, in grey mode, the grey
// result; item 291 becomes the library parameter. 1 when the colour library is in use for the
// document, so that the image queue's band classification decides the library bit; 0 when
// not; -1 for a missing argument or a failed read.
int PlanImageConversion(ColorConverter* converter, SettingsRecord* settings, PrinterConfiguration* config);

// One queued image's pixels (blue, green, red rows without padding), converted in place.
struct QueuedImagePixels {
  BYTE* Pixels;
  DWORD Width;
  DWORD Height;
};

// Converts a group of queued images: the built-in and second ICC profiles, the colour library
// (parameters from every image, then each image converted) and the image matrix. Mode 0 turns
// the library off for this group. 0, -1 (missing argument), -2 (no memory), -6 (the colour
// library failed).
int ColorConvertQueuedImages(ColorConverter* converter, QueuedImagePixels* entries, std::size_t count, int mode);
