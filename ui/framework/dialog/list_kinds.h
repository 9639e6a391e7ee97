// The list control kinds: one handler drives owner-drawn list boxes and combo boxes that show
// either the choices of one setting item (mode 1) or one line per bound item with the name of
// its value (mode 2). Lines carry state icons, check icons, colour boxes or a page's icons.
#pragma once

#include "platform/base/types.h"
#include "platform/user/controls.h"
#include "ui/framework/dialog/dialog_tables.h"

struct ListKindData;
struct EditKindData;

inline constexpr WORD kListChoices = 1;     // the choices of the current bound item
inline constexpr WORD kListItemLines = 2;   // one line per bound item

inline constexpr WORD kLinePartName = 0x1;
inline constexpr WORD kLinePartValue = 0x2;

inline constexpr WORD kListStepOnDoubleClick = 0x0001;
inline constexpr WORD kListCheckIcons = 0x0002;
inline constexpr WORD kListStateIcons = 0x0004;
inline constexpr WORD kListTextField = 0x0008;
inline constexpr WORD kListPageFill = 0x0010;
inline constexpr WORD kListPageDraw = 0x0020;
inline constexpr WORD kListKeepOnRefresh = 0x0040;
inline constexpr WORD kListRebuildAffected = 0x0080;
inline constexpr WORD kListColorBox = 0x0100;
inline constexpr WORD kListPageIcon = 0x0200;

// The icons of list lines, loaded from the resource module while the page is active.
inline constexpr WORD kIconRestricted = 859;
inline constexpr WORD kIconExcluded = 384;
inline constexpr WORD kIconUnchecked = 252;
inline constexpr WORD kIconChecked = 253;

// Texts of the lists.
inline constexpr UINT kEmptyListString = 391;
inline constexpr UINT kDisabledValueString = 5157;

// Column of the ListMessageTable: list boxes or combo boxes.
inline constexpr int kListColumn = 0;
inline constexpr int kComboColumn = 1;

using ListFillCallback = int (*)(HandlerContext* context, const ControlRow* row, const ListKindData* data, int column);
using ListDrawCallback = INT_PTR (*)(HandlerContext* context, const DRAWITEMSTRUCT* item, const ControlRow* row,
                                     const ListKindData* data, int column);
using ListIconCallback = WORD (*)(LONG controlId, const Choice* choice, const SettingsRecord* settings,
                                  const PrinterConfiguration* config);
// Draws a line's text in place of TextOutW: 1/0.
using ListTextCallback = int (*)(HandlerContext* context, const ControlRow* row, const DRAWITEMSTRUCT* item,
                                 LPCWSTR line, int x, int y);

// The kind data of a list row. The page's fill callback serves flag 0x0010, its draw callback
// flag 0x0020, each in a field of its own.
struct ListKindData {
  WORD mode;
  WORD lineParts;
  WORD tabStop;  // dialog units, when both parts are shown
  WORD flags;
  const EditKindData* edit;
  ListFillCallback fill;
  ListDrawCallback draw;
  ListIconCallback icon;
};

// Judges every choice of the row's current item again under the context's settings (mode-1
// lists do so before a refill; a page's combo does so when the settings just changed).
void EvaluateListChoiceStates(HandlerContext* context, const ControlRow* row);
INT_PTR HandleComboBoxKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);
INT_PTR HandleListBoxKind(HandlerContext*, UINT, WPARAM, LPARAM, const ControlRow*, const void*);

// Fills the control anew (refill) or only re-shows its selection: 1, 0 when a step failed.
int RefillListControl(const ListKindData* data, HandlerContext* context, const ControlRow* row, int column,
                      BOOL refill, BOOL emptyFirst);
// The standard drawing of one line (reads its text and item data): 1/0.
int DrawListItem(HandlerContext* context, const DRAWITEMSTRUCT* item, const ControlRow* row, const ListKindData* data,
                 int column, ListTextCallback text);
// Draws a line with the given text and item data: 1/0.
int DrawListKindItem(HandlerContext* context, const ControlRow* row, const ListKindData* data,
                     const DRAWITEMSTRUCT* item, int column, ListTextCallback text, LPCWSTR line, LONG_PTR itemData);
// Loads the line icons into the page's second control-data list (1), or frees them (0).
int LoadListIcons(HWND dialog);
void FreeListIcons(HWND dialog);
HICON GetListIcon(HWND dialog, WORD iconId);
// The part of a choice name before its last carriage return, as a new text (GlobalFree).
LPWSTR CutValueTextAtLastCr(LPCWSTR name);
