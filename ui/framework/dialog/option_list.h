// Option lists and tooltips: the tables that map user papers and option keys to setting
// items, the column layout and drawing of the device-options list, and the sheet's tooltip
// routines (tools added, moved and given new text; the device picture's tools).
#pragma once

#include "platform/base/types.h"
#include "platform/gdi/text.h"
#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/list_kinds.h"

inline constexpr LONG kUserPaperCount = 20;
inline constexpr int kOptionColumns = 4;
inline constexpr UINT kEllipsisString = 477;
inline constexpr WORD kIconOptionOn = 1011;
inline constexpr WORD kIconOptionOff = 1012;

// Three widths of one column: wide, medium, narrow.
struct OptionColumnWidths {
  int widths[3];
};

// What MeasureChoiceNames gathers over the named choices of an item.
struct ChoiceNameMeasure {
  int narrowest;  // 9999 when nothing was measured
  int widest;
  int sum;
  int count;
};

// The sheet's device-picture tips: the tooltip window and the capabilities present.
struct PictureTipData {
  HWND tooltip;
  DWORD capabilities;
};

struct DevicePictureTool {
  WORD toolId;
  DWORD mask;
};

// Index 0 with all outputs NULL answers the count in *index; 1..20 reads that user paper's
// row: 1/0.
int GetUserPaperEntry(LONG* index, PrinterConfiguration* config, WORD* paperId, DWORD* width, DWORD* length,
                      LPWSTR* name);
int GetTrayItemIds(WORD trayKey, SettingItemId items[3]);
int MapOptionKeyToItem(WORD key, SettingItemId* item);
int HasDeviceOptionItem(const WORD* items);

int MeasureChoiceNames(HWND window, HDC dc, SettingItemId id, BOOL cutAtParenthesis, ChoiceNameMeasure* measure);
// The four column widths that fit a list of the given width (three levels tried in turn).
void FitColumnWidths(const OptionColumnWidths columns[kOptionColumns], int width, int out[kOptionColumns]);
// The column boundaries of an option list: b1, b2 and the right edge.
int GetOptionColumnBounds(HandlerContext* context, HWND list, HDC dc, bool combo, int* first, int* second,
                          int* right);

// The option list's draw callback and its text callback.
INT_PTR OptionListDraw(HandlerContext* context, const DRAWITEMSTRUCT* item, const ControlRow* row,
                       const ListKindData* data, int column);
int OptionLineText(HandlerContext* context, const ControlRow* row, const DRAWITEMSTRUCT* item, LPCWSTR line, int x,
                   int y);
// Draws the text from left to right, shortened with the ellipsis until it fits: 1.
int DrawTextEllipsis(int top, int left, HDC dc, HMODULE resources, int right, LPCWSTR text);

int AddTooltip(HWND window, HWND tooltip, UINT_PTR toolId, UINT flags, LPCWSTR text);
int UpdateTooltipText(HWND window, HWND tooltip, UINT_PTR toolId, UINT flags, LPCWSTR text);
int SetTooltipRect(HWND window, HWND tooltip, UINT_PTR toolId, UINT flags, int left, int top, int right, int bottom);
int AddDevicePictureTooltips(HWND dialog);
int FreePictureTipData(SheetState* sheet);
// The device picture's tools, ended by a row with tool id 0.
const DevicePictureTool* GetDevicePictureTools();
