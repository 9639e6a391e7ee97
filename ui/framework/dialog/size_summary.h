// The one-line summary of paper size, output paper and zoom with its tooltip, the zoom it
// states, the printable size of a paper, and the resolution items that follow the toner
// items.
#pragma once

#include "ui/framework/dialog/dialog_tables.h"

inline constexpr WORD kSameAsPaper = 267;  // item 262's value for "same as the paper"
inline constexpr UINT kStringSummaryArrow = 9242;
inline constexpr UINT kStringZoomFormat = 9243;
inline constexpr UINT kStringNoZoom = 9244;

// The printable width and length (tenths of a millimetre) of a paper: a user paper's size less
// the record's margins, kept within the record's size range; any other paper the record's
// minimum-size block. 1, or 0 when something cannot be read.
int GetPrintableSize(SettingsRecord* settings, PrinterConfiguration* config, const DatabaseRecord* paper,
                     WORD paperId, LONG* width, LONG* length);
// The zoom that fits paper `paper` on paper `output` (binding shift and poster tiles counted):
// the smaller of the two axes' ratios in whole percent. 1, or 0.
int GetFitZoomPercent(HandlerContext* context, WORD paper, WORD output, LONG* percent);
// The manual zoom, 100 for the same output paper, else the fitting zoom.
int GetZoomPercent(HandlerContext* context, LONG* percent);
// The summary text of the context's settings into a buffer of kSizeSummaryTextChars. The
// text shown may be longer than the sheet keeps for the tooltip (kSizeSummaryChars): a
// summary of that length or more is shown but not taken as the tooltip.
inline constexpr int kSizeSummaryTextChars = 261;
int BuildSizeSummary(HandlerContext* context, LPWSTR text);
INT_PTR SizeSummaryRow(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                       const void* kindData);
// With feature 0x80000: items 20 and 21 take the resolution that items 271 and 443 call for.
int CheckResolutionItems(HandlerContext* context, SettingItemId changedItem);
