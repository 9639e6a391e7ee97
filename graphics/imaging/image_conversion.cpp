// The colour conversion of bitmaps: the image word of each bitmap, the conversion of image
// rows or palettes, and of a group of queued images with the outside colour library.
#include <cstring>

#include "core/descriptors/item_descriptors.h"
#include "core/store/effective_values.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/color_detection.h"
#include "graphics/imaging/scratch_block.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"

namespace {
constexpr LONG kColorModeGrey = 1;
constexpr LONG kMaxSide = 65535;

}  // namespace

int PlanImageConversion(ColorConverter* converter, SettingsRecord* settings, PrinterConfiguration* config) {
  if (converter == nullptr || settings == nullptr) return -1;
  LONG mode = 0, library = 0;
  if (!ReadColorItemNumber(kItemColorMode, settings, config, mode) || !ReadColorItemNumber(kItemColorLibrary, settings, config, library))
    return -1;
  ColorConverter& c = *converter;
  c.LibraryParameter = static_cast<WORD>(library);
  c.ImageWord &= kImageColorLibrary;
  if (c.ImageMatrix != nullptr) c.ImageWord |= kImageMatrix;
  if (c.BuiltIn != nullptr) c.ImageWord |= kImageBuiltInProfile;
  if (c.SecondProfile != nullptr) c.ImageWord |= kImageSecondProfile;
  if (mode == kColorModeGrey) c.ImageWord |= kImageToGrey;
  return library != 0 && c.LibraryHandle != 0 ? 1 : 0;
}

int ConvertImageRows(ColorConverter* converter, const BYTE* rows, BYTE* resultRows, LONG width, LONG height,
                     const BYTE* palette, BYTE* resultPalette, DWORD entryCount, int colorFormat, int bitsPerPixel,
                     BOOL blackAndWhitePalette) {
  if (converter == nullptr) return kConversionError;
  if (width > kMaxSide || height > kMaxSide) return kConversionNoMemory;
  if (width < 0 || height < 0) return kConversionError;
  const BYTE* source = nullptr;
  BYTE* target = nullptr;
  std::size_t count = 0;
  if (colorFormat == kColorFormatRgb && bitsPerPixel == 24 && rows != nullptr && resultRows != nullptr) {
    source = rows;
    target = resultRows;
    count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  } else if (colorFormat == kColorFormatIndexed && (bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8) &&
             palette != nullptr && resultPalette != nullptr) {
    if (blackAndWhitePalette) converter->ImageWord |= kImageToGrey;
    source = palette;
    target = resultPalette;
    count = entryCount;
  } else {
    return kConversionError;
  }
  const ColorConverter& c = *converter;
  const WORD word = c.ImageWord;
  Scratch a(count * 3), b(count * 3);
  if (a.Block == nullptr || b.Block == nullptr) return kConversionError;
  std::memcpy(a.Bytes(), source, count * 3);
  BYTE* from = a.Bytes();
  BYTE* to = b.Bytes();
  if (word & kImageBuiltInProfile) ConvertRgbRow(c.BuiltIn, from, to, count), std::swap(from, to);
  if (word & kImageSecondProfile) ConvertRgbRow(c.SecondProfile, from, to, count), std::swap(from, to);
  if (word & kImageMatrix) ApplyColorMatrix(c.ImageMatrix, from, to, static_cast<int>(count)), std::swap(from, to);
  if (word & kImageToGrey) {
    RowsToInvertedGrey(from, target, count);
    return kConvertedGrey;
  }
  std::memcpy(target, from, count * 3);
  return kConvertedRgb;
}

int ColorConvertQueuedImages(ColorConverter* converter, QueuedImagePixels* entries, std::size_t count, int mode) {
  if (converter == nullptr || (count > 0 && entries == nullptr)) return -1;
  if (count == 0) return 0;
  ColorConverter& c = *converter;
  if (mode == 0) c.ImageWord &= static_cast<WORD>(~kImageColorLibrary);
  const bool libraryUsed = (c.ImageWord & kImageColorLibrary) != 0 && c.LibraryHandle != 0;
  if (!libraryUsed) c.ImageWord &= static_cast<WORD>(~kImageColorLibrary);
  if (libraryUsed && c.Library.Begin(c.LibraryHandle, static_cast<BYTE>(c.LibraryParameter)) != 0)
    return kQueueConversionLibraryFailed;
  int rc = 0;
  if (c.ImageWord != 0) {
    // First pass: the profiles, and the library's parameters from every image.
    for (std::size_t i = 0; i < count && rc == 0; ++i) {
      QueuedImagePixels& e = entries[i];
      const std::size_t pixels = static_cast<std::size_t>(e.Width) * e.Height;
      if (e.Pixels == nullptr && pixels > 0) rc = -1;
      if (rc == 0 && (c.ImageWord & kImageBuiltInProfile)) ConvertRgbRow(c.BuiltIn, e.Pixels, e.Pixels, pixels);
      if (rc == 0 && (c.ImageWord & kImageSecondProfile)) ConvertRgbRow(c.SecondProfile, e.Pixels, e.Pixels, pixels);
      if (rc == 0 && (c.ImageWord & kImageColorLibrary) &&
          c.Library.CreateParam(c.LibraryHandle, e.Pixels, e.Width, e.Height) != 0)
        rc = kQueueConversionLibraryFailed;
    }
    if (rc == 0 && (c.ImageWord & kImageColorLibrary)) {
      const WORD end = c.Library.End(c.LibraryHandle);
      if (end == kColorLibraryGroupUnconverted)
        c.ImageWord &= static_cast<WORD>(~kImageColorLibrary);
      else if (end != 0)
        rc = kQueueConversionLibraryFailed;
    }
    // Second pass: the library's conversion and the image matrix.
    for (std::size_t i = 0; i < count && rc == 0; ++i) {
      QueuedImagePixels& e = entries[i];
      const std::size_t pixels = static_cast<std::size_t>(e.Width) * e.Height;
      if (c.ImageWord & kImageColorLibrary) {
        Scratch result(pixels * 3);
        if (result.Block == nullptr) {
          rc = kQueueConversionNoMemory;
          break;
        }
        if (c.Library.Convert(c.LibraryHandle, e.Pixels, result.Bytes(), e.Width, e.Height) != 0) {
          rc = kQueueConversionLibraryFailed;
          break;
        }
        std::memcpy(e.Pixels, result.Bytes(), pixels * 3);
      }
      if (c.ImageWord & kImageMatrix) ApplyColorMatrix(c.ImageMatrix, e.Pixels, e.Pixels, static_cast<int>(pixels));
    }
  }
  if (libraryUsed) c.Library.DeleteParam(c.LibraryHandle);
  return rc;
}
