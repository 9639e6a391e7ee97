// Which overlay of the user-interface module the device draws between pages: a stamp or the
// job information, as the job's switches and the document's settings say. The drawing and
// imaging code ask this while they emit, the job code switches it.
#pragma once

#include "graphics/device/pdev.h"

BOOL IsStampDrawingActive(const Pdev* pdev);
LONG IsOverlayDrawingActive(const Pdev* pdev);
// The stamp mode value (item 1287) while a stamp is drawn, else 0.
LONG GetStampModeValue(const Pdev* pdev);
