// Lengths on the bed (1/1200 inch) in the display units.
#include "platform/base/types.h"
#include "scanner/scan_settings.h"

void FillUnitReadout(double scalePercent, LONG length, LONG dpi, UnitReadout* readout) {
  const double inches = length / 1200.0 * scalePercent / 100.0;
  const double factors[6] = {1.0, 2.54, 25.4, static_cast<double>(dpi), 6.0, 72.0};
  for (int i = 0; i < 6; ++i) readout->Values[i] = inches * factors[i];
  readout->ScalePercent = scalePercent;
}
