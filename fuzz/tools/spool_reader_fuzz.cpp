// spoolview's reader and renderer over arbitrary spool-file bytes: records found among other
// bytes, every length checked, every page rendered at a small size.
#include <cstddef>
#include <cstdint>
#include <span>

#include "tools/spoolview/spool_render.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SpoolScan scan = ScanSpoolStream(std::span<const BYTE>(data, size));
  SpoolRenderOptions options;
  options.scale = 0.05;
  options.maxSide = 256;
  options.maxImagePixels = 256 * 256;
  RenderSpoolPages(scan, options);
  return 0;
}
