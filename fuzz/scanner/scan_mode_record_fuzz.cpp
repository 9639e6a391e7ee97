// Fuzzes the stored scan mode: any 72 bytes from the registry become settings that a scan can
// use (an area on the bed, resolutions and scale in range, known types and flags), and the
// image record built from them has sizes a scan run accepts or refuses without harm.
#include <cstdint>
#include <cstdlib>

#include "platform/base/types.h"
#include "scanner/scan_run.h"
#include "scanner/scan_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kScanModeRecordBytes) return 0;
  ScanSettings s{};
  ResetScanSettings(s);
  ApplyScanModeRecord(s, data);
  const RECT& a = s.ScanArea;
  if (a.left < 0 || a.top < 0 || a.left >= a.right || a.top >= a.bottom || a.right > kBedWidth ||
      a.bottom > kBedHeight)
    std::abort();
  if (s.XResolution < 50 || s.XResolution > 9600 || s.YResolution < 50 || s.YResolution > 9600) std::abort();
  if (s.ScanFrom > 2 || s.Invert > 1 || s.HorizontalMirror > 1 || s.VerticalMirror > 1) std::abort();
  ImageRecord r{};
  if (!BuildImageRecord(s, r)) std::abort();  // validation leaves only known scan types
  ScanRequest q{};
  BuildScanRequest(q, r);
  if (q.BitmapLine != BitmapLineBytes(q.Kind, q.DeviceWidth)) std::abort();
  if (r.ImageSize != 0xFFFFFFFF && r.ImageSize != static_cast<std::uint64_t>(r.BytesPerLine) * r.Height) std::abort();
  return 0;
}
