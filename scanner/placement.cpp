// Placement of strips into the output image: pixel offsets with rotation, mirrors and bottom-up
// order, strip geometry, and the per-format writers.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/twain/twain.h"
#include "scanner/band_processing.h"
#include "scanner/pixel_loops.h"

namespace {

constexpr ULONGLONG kMemoryOffsetLimit = 0x100000000ull;  // memory targets are addressed in 32 bits

// Address of count bytes at offset of a memory target, or null when they do not lie inside it.
BYTE* MemoryAt(const PlacementTarget& target, ULONGLONG offset, ULONGLONG count) {
  if (target.Memory == nullptr || offset >= kMemoryOffsetLimit) return nullptr;
  if (offset > target.MemorySize || count > target.MemorySize - offset) return nullptr;
  return target.Memory + offset;
}

// Source bytes per pixel of a strip of the given kind for an output pixel type; 0 when the
// combination is not placed.
DWORD SourcePixelBytes(WORD pixelType, WORD kind) {
  const bool triplets = kind == kScanKindColor || (kind >= 16 && kind <= 19);
  switch (pixelType) {
    case TWPT_GRAY:
      if (kind == kScanKindGray || (kind >= 32 && kind <= 35)) return 1;
      return triplets ? 3 : 0;
    case TWPT_RGB:
      if (kind == kScanKindColor48) return 6;
      return triplets ? 3 : 0;
    case TWPT_PALETTE:
      return triplets ? 3 : 0;
    default:
      return 0;
  }
}

// The first byte of each of n triplets.
QV_TRIPLET_LOOP void FirstBytesOfTriplets(BYTE* __restrict out, const BYTE* __restrict triplets, DWORD n) {
  for (DWORD i = 0; i < n; ++i) out[i] = triplets[3 * static_cast<size_t>(i)];
}

// Converts n source pixels into output pixels.
void ConvertPixels(BYTE* out, const BYTE* src, DWORD n, WORD pixelType, DWORD srcBytes) {
  if (pixelType == TWPT_RGB) {
    std::memcpy(out, src, static_cast<size_t>(n) * srcBytes);
  } else if (pixelType == TWPT_GRAY) {
    if (srcBytes == 1) {
      std::memcpy(out, src, n);
    } else {
      FirstBytesOfTriplets(out, src, n);
    }
  } else {  // PALETTE
    NearestPaletteIndices(out, src, n);
  }
}

// Output row of line y of the unrotated image when the image is not rotated.
DWORD UnrotatedRow(const OutputLayout& layout, DWORD y) {
  DWORD row = y;
  if (layout.VerticalMirror) row = layout.Height - 1 - row;
  if (layout.BottomUp) row = layout.Height - 1 - row;
  return row;
}

BOOL PlaceOneBit(const PlacementTarget& target, const OutputLayout& layout, const BYTE* strip, WORD kind, DWORD x,
                 DWORD y, DWORD stripWidth, DWORD lines) {
  // One-bit output is written a whole line (or byte) at a time, which is only right for an
  // unrotated, horizontally unmirrored image starting on a byte boundary.
  if (layout.Rotation != 0 || layout.HorizontalMirror || x % 8 != 0) return FALSE;
  const DWORD srcLine = BitmapLineBytes(kind, stripWidth);
  const DWORD stride = BitmapLineBytesForPixelType(TWPT_BW, layout.Width);
  if (kind == kScanKindThreshold || kind == kScanKindDiffusion || kind == kScanKindHalftone) {
    for (DWORD line = 0; line < lines; ++line) {
      const ULONGLONG offset = static_cast<ULONGLONG>(UnrotatedRow(layout, y + line)) * stride + x / 8;
      if (!WriteAt(target, offset, strip + static_cast<ULONGLONG>(line) * srcLine, srcLine)) return FALSE;
    }
    return TRUE;
  }
  if (kind != kScanKindColor) return FALSE;
  std::vector<BYTE> row((stripWidth + 7) / 8);
  for (DWORD line = 0; line < lines; ++line) {
    const BYTE* src = strip + static_cast<ULONGLONG>(line) * srcLine;
    std::memset(row.data(), 0, row.size());
    for (DWORD i = 0; i < stripWidth; ++i)
      if (src[3 * i] >= layout.Threshold) row[i / 8] |= static_cast<BYTE>(0x80 >> (i % 8));
    const ULONGLONG offset = static_cast<ULONGLONG>(UnrotatedRow(layout, y + line)) * stride + x / 8;
    if (!WriteAt(target, offset, row.data(), static_cast<DWORD>(row.size()))) return FALSE;
  }
  return TRUE;
}


// Quarter turns are placed in tiles: up to kTileLines lines by kTileColumns columns. A
// column's pixels, one per line, form one run of an output row; the tile's runs are gathered
// into a small buffer and each is written in one pass. The output rows lie far apart, so few
// wide stores per row keep many rows in flight, and the tile's source lines stay in cache from
// one column to the next.
constexpr DWORD kTileLines = 64;
constexpr DWORD kTileColumns = 4;
constexpr DWORD kRunBytes = kTileLines * 6;  // 6-byte pixels
constexpr DWORD kPrefetchColumns = 16;

using Bytes16 = BYTE __attribute__((vector_size(16)));
using Words4 = std::uint32_t __attribute__((vector_size(16)));

// Gathers kTileColumns columns of count lines of RGB triplets into runs: runs[c] receives
// column c's pixels line after line (exactly count triplets are written). src is column 0 of
// the first line, srcStep the distance from one line to the next. Each 4 x 4 block of pixels
// is widened to 4-byte pixels, transposed as 32-bit words and narrowed again. The 16-byte
// reads need 2 more pixels after the tile's columns in every line.
QV_TRIPLET_LOOP void GatherTripletColumns(BYTE* const* runs, const BYTE* src, LONGLONG srcStep, DWORD count) {
  static_assert(kTileColumns == 4);
  DWORD m = 0;
  for (; m + 4 <= count; m += 4, src += 4 * srcStep) {
    Words4 wide[4];
    for (int k = 0; k < 4; ++k) {
      Bytes16 line;
      std::memcpy(&line, src + k * srcStep, 16);
      const Bytes16 widened = __builtin_shufflevector(line, line, 0, 1, 2, 0, 3, 4, 5, 0, 6, 7, 8, 0, 9, 10, 11, 0);
      std::memcpy(&wide[k], &widened, 16);
    }
    const Words4 low01 = __builtin_shufflevector(wide[0], wide[1], 0, 4, 1, 5);
    const Words4 high01 = __builtin_shufflevector(wide[0], wide[1], 2, 6, 3, 7);
    const Words4 low23 = __builtin_shufflevector(wide[2], wide[3], 0, 4, 1, 5);
    const Words4 high23 = __builtin_shufflevector(wide[2], wide[3], 2, 6, 3, 7);
    const Words4 columns[4] = {
        __builtin_shufflevector(low01, low23, 0, 1, 4, 5), __builtin_shufflevector(low01, low23, 2, 3, 6, 7),
        __builtin_shufflevector(high01, high23, 0, 1, 4, 5), __builtin_shufflevector(high01, high23, 2, 3, 6, 7)};
    for (int c = 0; c < 4; ++c) {
      Bytes16 column;
      std::memcpy(&column, &columns[c], 16);
      const Bytes16 narrowed = __builtin_shufflevector(column, column, 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, 0, 0, 0, 0);
      std::memcpy(runs[c] + 3 * m, &narrowed, 12);
    }
  }
  for (; m < count; ++m, src += srcStep)
    for (DWORD c = 0; c < kTileColumns; ++c) std::memcpy(runs[c] + 3 * m, src + 3 * c, 3);
}

// Converts one source pixel into an output pixel.
void ConvertPixel(BYTE* out, const BYTE* src, WORD pixelType, DWORD srcBytes) {
  if (pixelType == TWPT_RGB) {
    std::memcpy(out, src, srcBytes);
  } else if (pixelType == TWPT_GRAY) {
    *out = *src;  // grey, or a triplet's first byte
  } else {
    *out = NearestPaletteIndex(src[0], src[1], src[2]);
  }
}

// A quarter turn: origin is where the first pixel lands, rowStep the distance between the
// runs of neighbouring columns, and the lines of a column lie outBytes apart, ascending
// (reversed false) or descending (reversed true). Runs are gathered as source pixels and
// converted on their way into the output.
void PlaceQuarterTurn(BYTE* origin, LONGLONG rowStep, bool reversed, const OutputLayout& layout, const BYTE* strip,
                      DWORD srcBytes, DWORD outBytes, ULONGLONG srcLine, DWORD stripWidth, DWORD lines) {
  // Runs are gathered in memory order: from the last line down when the lines descend.
  const LONGLONG srcStep = reversed ? -static_cast<LONGLONG>(srcLine) : static_cast<LONGLONG>(srcLine);
  const BYTE* runSource = reversed ? strip + (lines - 1) * srcLine : strip;
  BYTE* runStart = reversed ? origin - static_cast<LONGLONG>(lines - 1) * outBytes : origin;
  const bool blocks = srcBytes == 3 && HasByteShuffles();
  // RGB runs are gathered straight into the output; other types through a buffer, converted
  // on their way out.
  const bool direct = blocks && layout.PixelType == TWPT_RGB;
  BYTE runs[kTileColumns][kRunBytes];
  BYTE* buffers[kTileColumns];
  for (DWORD c = 0; c < kTileColumns; ++c) buffers[c] = runs[c];
  for (DWORD m0 = 0; m0 < lines; m0 += kTileLines) {
    const DWORD count = std::min(kTileLines, lines - m0);
    const BYTE* tileSource = runSource + srcStep * static_cast<LONGLONG>(m0);
    for (DWORD i = 0; i < stripWidth; i += kTileColumns) {
      const DWORD columns = std::min(kTileColumns, stripWidth - i);
      BYTE* outRuns[kTileColumns];
      for (DWORD c = 0; c < columns; ++c)
        outRuns[c] = runStart + rowStep * static_cast<LONGLONG>(i + c) + static_cast<LONGLONG>(m0) * outBytes;
      // The runs of the columns kPrefetchColumns further on are asked for now: their output
      // rows lie far apart, on pages and lines no cache holds, and their fetches then overlap
      // the writing of these.
      if (i + kPrefetchColumns < stripWidth) {
        const DWORD ahead = std::min(kTileColumns, stripWidth - (i + kPrefetchColumns));
        for (DWORD c = 0; c < ahead; ++c) {
          const BYTE* run = runStart + rowStep * static_cast<LONGLONG>(i + kPrefetchColumns + c) +
                            static_cast<LONGLONG>(m0) * outBytes;
          for (DWORD b = 0; b < count * outBytes; b += 64) __builtin_prefetch(run + b, 1, 0);
          __builtin_prefetch(run + count * outBytes - 1, 1, 0);
        }
      }
      const bool whole = blocks && i + kTileColumns + 2 <= stripWidth;
      if (whole && direct) {
        GatherTripletColumns(outRuns, tileSource + 3 * static_cast<ULONGLONG>(i), srcStep, count);
        continue;
      }
      if (whole) {
        GatherTripletColumns(buffers, tileSource + 3 * static_cast<ULONGLONG>(i), srcStep, count);
      } else {
        for (DWORD c = 0; c < columns; ++c) {
          const BYTE* src = tileSource + static_cast<ULONGLONG>(i + c) * srcBytes;
          for (DWORD m = 0; m < count; ++m, src += srcStep) std::memcpy(runs[c] + m * srcBytes, src, srcBytes);
        }
      }
      for (DWORD c = 0; c < columns; ++c) ConvertPixels(outRuns[c], runs[c], count, layout.PixelType, srcBytes);
    }
  }
}

// Rotated or mirrored strips into memory. A pixel's offset is linear in its column and line
// (first + column x step + line x lineStep). Quarter turns go by tiles (PlaceQuarterTurn);
// otherwise the strip is walked column by column: each column's pixels, one per line, land in
// one short run of the output, and the lines' source bytes stay in cache from one column to
// the next. FALSE (nothing written) when the strip does not lie wholly inside a memory
// target; the caller then places it pixel by pixel.
bool PlaceTurned(const PlacementTarget& target, const OutputLayout& layout, const BYTE* strip, DWORD srcBytes,
                 DWORD outBytes, ULONGLONG srcLine, DWORD x, DWORD y, DWORD stripWidth, DWORD lines) {
  const DWORD bits = outBytes * 8;
  const auto offsetOf = [&](DWORD column, DWORD line) {
    return static_cast<LONGLONG>(PixelOffset(layout.Width, layout.Height, bits, column, line, layout.Rotation,
                                             layout.HorizontalMirror, layout.VerticalMirror, layout.BottomUp));
  };
  const LONGLONG first = offsetOf(x, y);
  const LONGLONG step = stripWidth > 1 ? offsetOf(x + 1, y) - first : 0;
  const LONGLONG lineStep = lines > 1 ? offsetOf(x, y + 1) - first : 0;
  const LONGLONG lastColumn = first + step * (stripWidth - 1);
  const LONGLONG corners[4] = {first, lastColumn, first + lineStep * (lines - 1), lastColumn + lineStep * (lines - 1)};
  // The far corner must be where PixelOffset puts it (it clamps pixels outside the image).
  if (corners[3] != offsetOf(x + stripWidth - 1, y + lines - 1)) return false;
  LONGLONG low = corners[0], high = corners[0];
  for (LONGLONG c : corners) {
    low = c < low ? c : low;
    high = c > high ? c : high;
  }
  BYTE* base = MemoryAt(target, static_cast<ULONGLONG>(low), static_cast<ULONGLONG>(high - low) + outBytes);
  if (base == nullptr) return false;
  BYTE* origin = base + (first - low);
  if (layout.Rotation == 1 || layout.Rotation == 2) {
    PlaceQuarterTurn(origin, step, lineStep < 0, layout, strip, srcBytes, outBytes, srcLine, stripWidth, lines);
    return true;
  }
  for (DWORD i = 0; i < stripWidth; ++i) {
    BYTE* out = origin + step * static_cast<LONGLONG>(i);
    const BYTE* src = strip + static_cast<ULONGLONG>(i) * srcBytes;
    for (DWORD l = 0; l < lines; ++l, out += lineStep, src += srcLine) ConvertPixel(out, src, layout.PixelType, srcBytes);
  }
  return true;
}

}  // namespace

ULONGLONG PixelOffset(DWORD width, DWORD height, DWORD bits, DWORD x, DWORD y, WORD rotation, BOOL horizontalMirror,
                      BOOL verticalMirror, BOOL bottomUp) {
  LONGLONG column, row;
  switch (rotation) {
    case 1:
      column = static_cast<LONGLONG>(width) - 1 - y;
      row = x;
      break;
    case 2:
      column = y;
      row = static_cast<LONGLONG>(height) - 1 - x;
      break;
    case 3:
      column = static_cast<LONGLONG>(width) - 1 - x;
      row = static_cast<LONGLONG>(height) - 1 - y;
      break;
    default:
      column = x;
      row = y;
      break;
  }
  if (horizontalMirror) column = static_cast<LONGLONG>(width) - 1 - column;
  if (verticalMirror) row = static_cast<LONGLONG>(height) - 1 - row;
  if (bottomUp) row = static_cast<LONGLONG>(height) - 1 - row;
  if (column < 0 || column >= width) column = 0;
  if (row < 0 || row >= height) row = 0;
  const ULONGLONG stride = (static_cast<ULONGLONG>(width) * bits + 31) / 32 * 4;
  const ULONGLONG columnBytes = bits == 1 ? static_cast<ULONGLONG>(column) / 8 : static_cast<ULONGLONG>(column) * bits / 8;
  return static_cast<ULONGLONG>(row) * stride + columnBytes;
}

void StripGeometry(POINT* position, SIZE* size, LONG width, LONG height, LONG x, LONG y, LONG stripWidth,
                   LONG stripLines, WORD rotation, BOOL horizontalMirror, BOOL verticalMirror) {
  LONG px = x, py = y, sx = stripWidth, sy = stripLines;
  switch (rotation) {
    case 1:
      px = width - y - stripLines;
      py = x;
      sx = stripLines;
      sy = stripWidth;
      break;
    case 2:
      px = y;
      py = height - x - stripWidth;
      sx = stripLines;
      sy = stripWidth;
      break;
    case 3:
      // A half turn reverses both axes, as PixelOffset does.
      px = width - x - stripWidth;
      py = height - y - stripLines;
      break;
    default:
      break;
  }
  if (horizontalMirror) px = width - px - sx;
  if (verticalMirror) py = height - py - sy;
  position->x = px;
  position->y = py;
  size->cx = sx;
  size->cy = sy;
}

BOOL WriteAt(const PlacementTarget& target, ULONGLONG offset, const BYTE* bytes, DWORD count) {
  if (target.Memory != nullptr) {
    BYTE* to = MemoryAt(target, offset, count);
    if (to == nullptr) return FALSE;
    std::memcpy(to, bytes, count);
    return TRUE;
  }
  // A file target: the bytes go to the file's base plus the offset, written whole or not at all
  // as far as the caller is told.
  if (target.File == nullptr || target.File == INVALID_HANDLE_VALUE) return FALSE;
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(target.FileBase + offset);
  if (target.FileBase + offset < offset || at.QuadPart < 0) return FALSE;
  if (!SetFilePointerEx(target.File, at, nullptr, FILE_BEGIN)) return FALSE;
  DWORD written = 0;
  return WriteFile(target.File, bytes, count, &written, nullptr) && written == count ? TRUE : FALSE;
}

BOOL LinesAreRows(WORD pixelType, WORD kind) {
  switch (pixelType) {
    case TWPT_BW: return kind == kScanKindThreshold || kind == kScanKindDiffusion || kind == kScanKindHalftone;
    case TWPT_GRAY: return kind == kScanKindGray;
    case TWPT_RGB: return kind == kScanKindColor;
    default: return FALSE;
  }
}

BOOL PlaceStrip(const PlacementTarget& target, const OutputLayout& layout, const BYTE* strip, WORD kind, DWORD x,
                DWORD y, DWORD stripWidth, DWORD lines) {
  // The strip must lie inside the unrotated image.
  const bool turned = layout.Rotation == 1 || layout.Rotation == 2;
  const ULONGLONG imageWidth = turned ? layout.Height : layout.Width;
  const ULONGLONG imageHeight = turned ? layout.Width : layout.Height;
  if (static_cast<ULONGLONG>(x) + stripWidth > imageWidth || static_cast<ULONGLONG>(y) + lines > imageHeight) return FALSE;
  if (layout.PixelType == TWPT_BW) return PlaceOneBit(target, layout, strip, kind, x, y, stripWidth, lines);

  const DWORD srcBytes = SourcePixelBytes(layout.PixelType, kind);
  if (srcBytes == 0) return FALSE;
  const DWORD outBytes = layout.PixelType == TWPT_RGB ? srcBytes : 1;
  const DWORD bits = outBytes * 8;
  const ULONGLONG srcLine = BitmapLineBytes(kind, stripWidth);

  if (layout.Rotation == 0 && !layout.HorizontalMirror) {
    // Whole rows: the pixels of a line stay adjacent in the output.
    const ULONGLONG stride = (static_cast<ULONGLONG>(layout.Width) * bits + 31) / 32 * 4;
    std::vector<BYTE> row;
    for (DWORD line = 0; line < lines; ++line) {
      const BYTE* src = strip + line * srcLine;
      const ULONGLONG offset = static_cast<ULONGLONG>(UnrotatedRow(layout, y + line)) * stride +
                               static_cast<ULONGLONG>(x) * outBytes;
      const ULONGLONG count = static_cast<ULONGLONG>(stripWidth) * outBytes;
      if (BYTE* to = MemoryAt(target, offset, count)) {
        ConvertPixels(to, src, stripWidth, layout.PixelType, srcBytes);
        continue;
      }
      row.resize(count);
      ConvertPixels(row.data(), src, stripWidth, layout.PixelType, srcBytes);
      if (!WriteAt(target, offset, row.data(), static_cast<DWORD>(count))) return FALSE;
    }
    return TRUE;
  }

  if (PlaceTurned(target, layout, strip, srcBytes, outBytes, srcLine, x, y, stripWidth, lines)) return TRUE;
  // Otherwise every pixel at its own offset. Within the image the offset moves by a constant
  // step from one pixel of a line to the next.
  for (DWORD line = 0; line < lines; ++line) {
    const BYTE* src = strip + line * srcLine;
    const auto offsetOf = [&](DWORD column) {
      return PixelOffset(layout.Width, layout.Height, bits, column, y + line, layout.Rotation, layout.HorizontalMirror,
                         layout.VerticalMirror, layout.BottomUp);
    };
    const ULONGLONG first = offsetOf(x), last = offsetOf(x + stripWidth - 1);
    const LONGLONG step = stripWidth > 1 ? static_cast<LONGLONG>(offsetOf(x + 1) - first) : 0;
    const ULONGLONG low = first < last ? first : last, high = first < last ? last : first;
    BYTE* base = MemoryAt(target, low, high - low + outBytes);
    for (DWORD i = 0; i < stripWidth; ++i, src += srcBytes) {
      BYTE pixel[6];
      ConvertPixels(pixel, src, 1, layout.PixelType, srcBytes);
      const ULONGLONG offset = first + static_cast<ULONGLONG>(step * static_cast<LONGLONG>(i));
      if (base != nullptr) {
        std::memcpy(base + (offset - low), pixel, outBytes);
      } else if (!WriteAt(target, offset, pixel, outBytes)) {
        return FALSE;
      }
    }
  }
  return TRUE;
}
