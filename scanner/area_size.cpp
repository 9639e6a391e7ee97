// Scan areas of the TWAIN size codes.
#include "platform/base/types.h"
#include "scanner/scan_settings.h"

namespace {

struct AreaSizeRow {
  WORD Code;
  LONG Width;   // 1/1200 inch
  LONG Length;
};

constexpr AreaSizeRow kAreaSizeRectangles[] = {
    {1, 9924, 14030},   // A4
    {2, 8592, 12132},   // B5
    {3, 10200, 13200},  // Letter
    {4, 10200, 16800},  // Legal
    {5, 6996, 9924},    // A5
    {6, 12141, 17197},  // B4
    {9, 13200, 20400},  // Ledger
    {10, 8700, 12600},  // Executive
    {11, 14030, 19850}, // A3
};

}  // namespace

void SetAreaFromSizeCode(ScanSettings& s) {
  LONG right = s.ScanArea.right, bottom = s.ScanArea.bottom;  // an unknown code keeps them
  for (const AreaSizeRow& row : kAreaSizeRectangles)
    if (row.Code == s.AreaSizeCode) {
      right = row.Width;
      bottom = row.Length;
    }
  if (right > kBedWidth) right = kBedWidth;
  if (bottom > kBedHeight) bottom = kBedHeight;
  s.ScanArea = {0, 0, right, bottom};
  if (s.ScanFrom != 0) {
    // The feeder centres the sheet across the bed (the capped width, so A3 stays on the bed).
    s.ScanArea.left = (kBedWidth - right) / 2;
    s.ScanArea.right = s.ScanArea.left + right;
  }
}
