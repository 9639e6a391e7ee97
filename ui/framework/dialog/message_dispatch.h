// The message dispatch of every framework dialog: a message maps to a slot, the slot to the
// default handler of the dialog's kind (which a page may replace), and the handler runs with
// a fresh HandlerContext. The default handlers initialise pages, route control messages to the
// rows, answer the property-sheet notices, show help and carry the framework's own messages.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

// The framework's private window messages.
inline constexpr UINT WM_REFRESHCONTROLS = 2524;
inline constexpr UINT WM_VALIDATEPAGE = 2526;
inline constexpr UINT WM_CANCELPAGE = 2527;
inline constexpr UINT WM_SHOWWARNINGS = 2528;
inline constexpr UINT WM_QUERYPAGEINDEX = 2529;
inline constexpr UINT WM_QUERYKINDDATA = 2530;
inline constexpr UINT WM_ROWMESSAGE = 2531;

inline constexpr LONG kSlotCount = 26;
inline constexpr LONG kLastSlot = 24;
inline constexpr LONG kSlotApply = 5;

// What every slot handler gets beside the message.
struct SlotContext {
  HandlerContext* context;
  const ControlRow* rows;
  LONG count;
  DialogKind kind;
};

using SlotHandler = INT_PTR (*)(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex,
                                SlotContext* slot);

// 1 and the slot; 0 with slot -1 when the message (or a notice's code) has none.
int MapMessageToSlot(LONG* slot, UINT message, WPARAM wParam, LPARAM lParam);
// 1 with the default handler of the slot for the kind (1, 3 or 4); 0 otherwise.
int GetSlotHandler(UINT message, WPARAM wParam, LPARAM lParam, DialogKind kind, SlotHandler* handler, LONG* slot);
// Puts the page's handler in place when the current slot is the wanted one; 0 for a slot
// above 24 or without a handler pointer.
int OverrideSlotHandler(SlotHandler pageHandler, LONG wantedSlot, SlotHandler* handler, LONG currentSlot);
// Runs the handler with a new context for the page; its answer, 0 without a handler.
INT_PTR CallSlotHandler(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex, DialogKind kind,
                        SlotHandler handler);
// The row's kind handler, as the framework hands it to a row callback (0 without one).
INT_PTR RunChained(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                   const void* kindData);
// A WM_NOTIFY with the code.
bool IsNotice(UINT message, LPARAM lParam, UINT code);

// Hands the message to every row in order (callback or kind handler); the first answer other
// than the default wins, and for WM_VALIDATEPAGE ends the round.
INT_PTR DispatchToRows(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam, const ControlRow* rows,
                       LONG count, INT_PTR defaultResult);

// The default slot handlers.
INT_PTR OnControlMessage(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnInitPropertyPage(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnInitChildPage(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnInitPopupDialog(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnSetActiveNotify(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnKillActiveNotify(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnResetNotify(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnApplyNotify(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnHelpMessage(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnMeasureItem(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnEraseBackground(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnPaletteMessage(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnQueryPageIndex(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);
INT_PTR OnShowWarnings(HWND, UINT, WPARAM, LPARAM, LONG, SlotContext*);

// The sheet-level and row work of an apply or a reset.
INT_PTR OnPageApply(HandlerContext* context, HWND window, LPARAM notify, const ControlRow* rows,
                    LONG count, DialogKind kind);
INT_PTR OnPageReset(HandlerContext* context, HWND window, const ControlRow* rows, LONG count, DialogKind kind);

// Context help of a page: always 1.
INT_PTR ShowContextHelp(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, LONG pageIndex);
// A new copy of the driver's help file path (GlobalFree), NULL on failure.
LPWSTR GetDriverHelpFile(HANDLE printer);
// HtmlHelpW of "hhctrl.ocx" by its ordinal, bound once; NULL when it cannot be had.
using HtmlHelpProc = HWND (*)(HWND, LPCWSTR, UINT, DWORD_PTR);
HtmlHelpProc BindHtmlHelp();
// For a context menu at the screen point in lParam: the help id of the control under it (from
// the 0-ended {control, help id} pairs) once the "What's this?" menu chose it; 0 for none, for
// the dialog's own background and when the menu was closed otherwise.
DWORD ChooseContextMenuHelpId(HWND dialog, const DWORD* helpPairs, WPARAM wParam, LPARAM lParam);
// A tooltip window owned by the window, with a maximum tip width when not 0.
HWND CreateTooltipWindow(HWND owner, int maxWidth);
// The list item height of a control: 15 px, or 26 px for the tall lists, at the screen's
// resolution.
int GetListItemHeight(HWND dialog, LONG controlId);
// 1 for the list controls whose lines carry the pages' value icons and are drawn tall
// (26 pixels at 96 dots per inch instead of 15), else 0.
int IsTallListControl(LONG controlId);
