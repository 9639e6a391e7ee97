// Conversion between the band store's packed lines and 32-bit aligned bitmap lines, in place.
#include <cstring>

#include "platform/base/types.h"
#include "scanner/band_processing.h"

void ExpandStripLines(BYTE* strip, WORD kind, DWORD width, DWORD lines) {
  const ULONGLONG packed = PackedLineBytes(kind, width);
  const ULONGLONG aligned = BitmapLineBytes(kind, width);
  if (aligned == packed) return;
  // From the last line backwards, so no line is overwritten before it has moved.
  for (DWORD line = lines; line-- > 0;) {
    BYTE* to = strip + line * aligned;
    std::memmove(to, strip + line * packed, packed);
    std::memset(to + packed, 0, aligned - packed);
  }
}

void PackStripLines(BYTE* strip, WORD kind, DWORD width, DWORD lines) {
  const ULONGLONG packed = PackedLineBytes(kind, width);
  const ULONGLONG aligned = BitmapLineBytes(kind, width);
  if (aligned == packed) return;
  for (DWORD line = 0; line < lines; ++line) std::memmove(strip + line * packed, strip + line * aligned, packed);
}
