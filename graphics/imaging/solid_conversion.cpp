// ConvertSolidColor: the plan of a text or graphics colour (grey handling, adjustment,
// profiles, black output) and its application.
#include <cstring>

#include "core/descriptors/item_descriptors.h"
#include "core/store/effective_values.h"
#include "graphics/device/overlay_state.h"
#include "graphics/imaging/color_converter.h"
#include "graphics/imaging/color_detection.h"
#include "items/item_ids.h"
#include "platform/kernel/memory.h"

namespace {
constexpr LONG kColorModeGrey = 1;
constexpr LONG kMaxSide = 65535;

WORD PlanSolidConversion(const ColorConverter& c, DWORD* word, const BYTE* pixels, LONG width, LONG height, int kind,
                         LONG mode, LONG greyItem, bool black, int reuse) {
  const bool text = kind == kSolidText;
  const ColorAdjustMatrix* matrix = text ? c.TextMatrix : c.GraphicsMatrix;
  const GreyAdjustment* grey = text ? c.TextGrey : c.GraphicsGrey;
  WORD plan = 0;
  if (greyItem == 1 && CheckObjectGrey(word, pixels, width, height, kColorFormatRgb, 24, reuse) == kClassGrey) {
    plan |= kSolidToGrey;
    if (grey != nullptr) plan |= kSolidGreyAdjust;
  }
  const bool colourSteps = mode == kColorModeGrey ? !black : (plan & kSolidToGrey) == 0;
  if (colourSteps) {
    if (matrix != nullptr) plan |= kSolidMatrix;
    if (c.BuiltIn != nullptr) plan |= kSolidBuiltInProfile;
    if (c.FirstProfile != nullptr) plan |= kSolidFirstProfile;
  }
  if (black) plan |= kSolidBlack;
  return plan;
}

// Runs the plan over two buffers; answers the buffer holding the result. The colour steps run
// on the three-byte pixels before the grey steps turn them into one byte each.
BYTE* ApplySolidConversion(const ColorConverter& c, WORD plan, int kind, std::size_t count, BYTE* a, BYTE* b) {
  BYTE* from = a;
  BYTE* to = b;
  auto flip = [&] { std::swap(from, to); };
  const bool text = kind == kSolidText;
  if (plan & kSolidBuiltInProfile) ConvertRgbRow(c.BuiltIn, from, to, count), flip();
  if (plan & kSolidFirstProfile) ConvertRgbRow(c.FirstProfile, from, to, count), flip();
  if (plan & kSolidMatrix) ApplyColorMatrix(text ? c.TextMatrix : c.GraphicsMatrix, from, to, static_cast<int>(count)), flip();
  if (plan & kSolidBlack) WhiteOrBlack(from, to, count), flip();
  if (plan & kSolidToGrey) ConvertRgbToGray(from, to, static_cast<int>(count), 1), flip();
  if (plan & kSolidGreyAdjust) ApplyGreyAdjustment(text ? c.TextGrey : c.GraphicsGrey, from, to, count), flip();
  if (plan & kSolidToGrey) InvertBytes(from, to, count), flip();
  return from;
}
}  // namespace

int ConvertSolidColor(ColorConverter* converter, DWORD* colorClassWord, Pdev* pdev, SettingsRecord* settings,
                      PrinterConfiguration* config, const BYTE* pixels, BYTE* result, LONG width, LONG height, int,
                      int kind, int reuse) {
  if (converter == nullptr || colorClassWord == nullptr || settings == nullptr || pixels == nullptr ||
      result == nullptr || (kind != kSolidText && kind != kSolidGraphics) || width < 0 || height < 0)
    return kConversionError;
  if (width > kMaxSide || height > kMaxSide) return kConversionNoMemory;
  LONG mode = 0, greyItem = 0, blackItem = 0;
  if (!ReadColorItemNumber(kItemColorMode, settings, config, mode) ||
      !ReadColorItemNumber(kind == kSolidText ? kItemTextGreyAsGrey : kItemGraphicsGreyAsGrey, settings, config, greyItem) ||
      !ReadColorItemNumber(kItemBlackObjects, settings, config, blackItem))
    return kConversionError;
  const bool black = blackItem == 3 || blackItem == (kind == kSolidText ? 1 : 2);

  WORD& word = kind == kSolidText ? converter->TextWord : converter->GraphicsWord;
  // A stamp keeps the colours it was given: nothing is planned while it is drawn.
  const bool stamp = pdev != nullptr && IsStampDrawingActive(pdev);
  word = stamp ? 0
               : PlanSolidConversion(*converter, colorClassWord, pixels, width, height, kind, mode, greyItem, black,
                                     reuse);
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (word == 0) {
    std::memmove(result, pixels, count * 3);
    return kConvertedRgb;
  }
  HGLOBAL blocks[2] = {GlobalAlloc(GMEM_FIXED, count * 3 + 1), GlobalAlloc(GMEM_FIXED, count * 3 + 1)};
  int rc = kConversionNoMemory;
  if (blocks[0] != nullptr && blocks[1] != nullptr) {
    BYTE* a = static_cast<BYTE*>(blocks[0]);
    std::memcpy(a, pixels, count * 3);
    const BYTE* last = ApplySolidConversion(*converter, word, kind, count, a, static_cast<BYTE*>(blocks[1]));
    const bool grey = (word & kSolidToGrey) != 0;
    std::memcpy(result, last, grey ? count : count * 3);
    rc = grey ? kConvertedGrey : kConvertedRgb;
  }
  for (HGLOBAL block : blocks)
    if (block != nullptr) GlobalFree(block);
  return rc;
}
