// The scan dialog's owner-drawn items: the pictures beside the lists, the preview tools, the
// threshold strip, and the level controls' box and bars.
#include "platform/user/controls.h"
#include "scanner/ui/choice_tables.h"
#include "scanner/ui/drawing.h"
#include "scanner/ui/level_controls.h"
#include "scanner/ui/preview_window.h"
#include "scanner/ui/scan_dialog.h"
#include "scanner/ui/window_ids.h"

namespace {

constexpr WORD kBitmapZoomIn = 200;
constexpr WORD kBitmapZoomOut = 201;
constexpr WORD kBitmapZoomOutAtLeast = 202;
constexpr WORD kBitmapZoomInAtMost = 203;
constexpr WORD kBitmapFrameTool = 204;
constexpr WORD kBitmapFrameToolActive = 205;
constexpr WORD kBitmapZoomInActive = 206;
constexpr WORD kBitmapZoomOutActive = 207;
constexpr WORD kBitmapThresholdStrip = 242;

// The picture of the first row whose value is at least (or, for a descending table, at most)
// the current one; 0 when none is.
WORD ChoiceBitmap(const ChoiceRow* table, LONG current, bool descending) {
  for (const ChoiceRow* row = table; row->Value != kEndOfChoices; ++row)
    if (descending ? row->Value <= current : row->Value >= current) return row->BitmapId;
  return 0;
}

WORD ToolBitmap(const ScanSettings& s, int id) {
  switch (id) {
    case kIdFrameTool: return s.PreviewTool == kToolFrame ? kBitmapFrameToolActive : kBitmapFrameTool;
    case kIdZoomInTool:
      if (s.PreviewZoom >= kMaxZoom) return kBitmapZoomInAtMost;
      return s.PreviewTool == kToolZoomIn ? kBitmapZoomInActive : kBitmapZoomIn;
    default:
      if (s.PreviewZoom <= kMinZoom) return kBitmapZoomOutAtLeast;
      return s.PreviewTool == kToolZoomOut ? kBitmapZoomOutActive : kBitmapZoomOut;
  }
}

}  // namespace

BOOL DrawDialogItem(HWND dialog, const ScanSettings& s, const DRAWITEMSTRUCT& item) {
  const int id = static_cast<int>(item.CtlID);
  WORD bitmap = 0;
  switch (id) {
    case kIdSourceIcon: bitmap = ChoiceBitmap(kScanSourceTable, static_cast<LONG>(s.ScanFrom), false); break;
    case kIdResolutionIcon: bitmap = ChoiceBitmap(kResolutionTable, s.XResolution, true); break;
    case kIdTypeIcon: bitmap = ChoiceBitmap(kOriginalTypeTable, s.OriginalType, false); break;
    case kIdFrameTool:
    case kIdZoomInTool:
    case kIdZoomOutTool: bitmap = ToolBitmap(s, id); break;
    case kIdThresholdStrip: return StretchBitmapResource(item.hDC, item.rcItem, kBitmapThresholdStrip);
    default: return DrawLevelItem(dialog, s, item);
  }
  if (bitmap != 0) DrawBitmapKeyed(item.hDC, item.rcItem.left, item.rcItem.top, bitmap);
  return TRUE;
}
