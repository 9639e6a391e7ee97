#include "graphics/ddi/realized_brush.h"

#include <cstring>

#include "graphics/device/pdev.h"
#include "platform/base/errors.h"
#include "platform/engine/engine.h"
#include "platform/kernel/lasterror.h"

namespace {

void PutDword(BYTE* block, ULONG offset, DWORD value) { std::memcpy(block + offset, &value, sizeof value); }

// Bits of one stored row: the source's for 1, 4 and 8 bits per pixel, 24 for the deeper ones.
bool RowBits(ULONG format, ULONG width, ULONGLONG* bits) {
  switch (format) {
    case BMF_1BPP: *bits = width; return true;
    case BMF_4BPP: *bits = 4ull * width; return true;
    case BMF_8BPP: *bits = 8ull * width; return true;
    case BMF_16BPP:
    case BMF_24BPP:
    case BMF_32BPP: *bits = 24ull * width; return true;
    default: return false;
  }
}

// One stored row of a 16, 24 or 32 bit pattern: three bytes per pixel, lowest byte first.
void StoreDeepRow(const BYTE* source, ULONG format, ULONG width, XLATEOBJ* xlate, BYTE* row) {
  for (ULONG x = 0; x < width; ++x) {
    BYTE* out = row + 3 * x;
    if (format == BMF_24BPP) {
      std::memcpy(out, source + 3 * x, 3);
      continue;
    }
    ULONG colour = 0;
    if (format == BMF_16BPP) {
      WORD pixel = 0;
      std::memcpy(&pixel, source + 2 * x, sizeof pixel);
      colour = pixel;
    } else {
      std::memcpy(&colour, source + 4 * x, sizeof colour);
    }
    const ULONG translated = XLATEOBJ_iXlate(xlate, colour);
    out[0] = static_cast<BYTE>(translated);
    out[1] = static_cast<BYTE>(translated >> 8);
    out[2] = static_cast<BYTE>(translated >> 16);
  }
}

}  // namespace

BOOL HandleRealizeBrush(BRUSHOBJ* brush, SURFOBJ* target, SURFOBJ* pattern, XLATEOBJ* xlate, ULONG hatch) {
  if (brush == nullptr || target == nullptr || pattern == nullptr || xlate == nullptr ||
      !IsPdevValid(reinterpret_cast<Pdev*>(target->dhpdev))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const bool patterned = hatch >= kFirstPatternHatch;
  const ULONG width = static_cast<ULONG>(pattern->sizlBitmap.cx);
  const ULONG height = static_cast<ULONG>(pattern->sizlBitmap.cy);
  ULONGLONG rowBytes = 0;
  if (patterned) {
    ULONGLONG bits = 0;
    if (pattern->sizlBitmap.cx < 0 || pattern->sizlBitmap.cy < 0 || !RowBits(pattern->iBitmapFormat, width, &bits))
      return FALSE;
    rowBytes = (bits + 31) / 32 * 4;
  }
  const ULONGLONG rowsLength = rowBytes * height;
  const ULONG count = (xlate->flXlate & XO_TABLE) != 0 && xlate->pulXlate != nullptr ? xlate->cEntries : 0;
  const ULONGLONG total = rowsLength + 4ull * count + kRealizedBrushFixedBytes;
  if (total > 0xFFFFFFFFull) return FALSE;
  auto* block = static_cast<BYTE*>(BRUSHOBJ_pvAllocRbrush(brush, static_cast<ULONG>(total)));
  if (block == nullptr) return FALSE;
  const ULONG tableOffset = static_cast<ULONG>(rowsLength) + kRealizedBrushFixedBytes;
  PutDword(block, 16, count);
  PutDword(block, 20, tableOffset);
  PutDword(block, 24, hatch);
  if (count != 0) std::memcpy(block + tableOffset, xlate->pulXlate, 4ull * count);
  if (patterned) {
    const ULONG format = pattern->iBitmapFormat;
    const bool deep = format == BMF_16BPP || format == BMF_24BPP || format == BMF_32BPP;
    PutDword(block, 0, width);
    PutDword(block, 4, height);
    PutDword(block, 8, deep ? BMF_24BPP : format);
    PutDword(block, 12, pattern->fjBitmap | 1u);
    const auto* scan = static_cast<const BYTE*>(pattern->pvScan0);
    for (ULONG y = 0; y < height && scan != nullptr; ++y) {
      const BYTE* source = scan + static_cast<LONGLONG>(y) * pattern->lDelta;
      BYTE* row = block + kRealizedBrushRows + y * rowBytes;
      std::memset(row, 0, rowBytes);
      if (deep) {
        StoreDeepRow(source, format, width, xlate, row);
      } else {
        ULONGLONG bits = 0;
        RowBits(format, width, &bits);
        std::memcpy(row, source, (bits + 7) / 8);
      }
    }
  }
  brush->pvRbrush = block;
  return TRUE;
}
