#include "graphics/device/overlay_state.h"

BOOL IsStampDrawingActive(const Pdev* pdev) {
  return pdev->job.stampDrawing && (pdev->render.perSheetStamp || pdev->render.perPageStamp);
}

LONG IsOverlayDrawingActive(const Pdev* pdev) {
  if (!pdev->job.stampDrawing) return pdev->job.jobInfoDrawing != 0;
  if (!pdev->render.perSheetStamp && !pdev->render.perPageStamp) return 0;
  if (pdev->job.jobInfoDrawing) return 1;
  return pdev->render.perSheetStamp;
}

LONG GetStampModeValue(const Pdev* pdev) { return IsStampDrawingActive(pdev) ? pdev->render.stampModeValue : 0; }
