// Test control of the common controls: a person's actions on them (through the same refusal
// rules and log as user_sim.h's driver calls) and what a test reads of their state.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/comctl/treeview.h"

// A click on the up-down's arrow toward its upper end (+1) or its lower end (-1).
PLATFORM_API BOOL SimSpin(HWND updown, int direction);
// A track bar's action (TB_LINEUP .. TB_BOTTOM; `pos` for TB_THUMBPOSITION and TB_THUMBTRACK).
PLATFORM_API BOOL SimTrack(HWND trackbar, int code, int pos);
// The mouse moves to a point of the window's client area (WM_MOUSEMOVE).
PLATFORM_API BOOL SimHover(HWND window, POINT point);

// A tooltip's tool as a test reads it; a callback tool's text is asked of its window.
struct SimTool {
  HWND hwnd = nullptr;
  UINT_PTR id = 0;
  UINT flags = 0;
  RECT rect{};
  bool callback = false;
  std::u16string text;
};
PLATFORM_API std::vector<SimTool> SimToolTipTools(HWND tooltip);
// The tool under the mouse, or an empty record (hwnd NULL) when there is none.
PLATFORM_API SimTool SimToolTipCurrent(HWND tooltip);
// The tooltips that serve a window: those it owns and those with a tool for it or for a window
// inside it (a page's tooltip is owned by the sheet, its top-level window), in the order they
// were made, each with all its tools.
struct SimWindowToolTip {
  HWND tooltip = nullptr;
  HWND owner = nullptr;
  std::vector<SimTool> tools;
};
PLATFORM_API std::vector<SimWindowToolTip> SimWindowToolTips(HWND window);

// A tab control's tab clicked, as a person does (the parent is asked first).
PLATFORM_API BOOL SimPickTab(HWND tab, int index);

// Property sheets: the pages of a sheet (a page never shown has no window yet), the current
// one, a tab picked by a click, a button pressed (PSBTN_OK, PSBTN_CANCEL, PSBTN_APPLYNOW,
// PSBTN_HELP; a disabled button is refused as a click on it is).
struct SimSheetPage {
  HWND hwnd = nullptr;
  std::u16string title;
  bool changed = false;  // PSM_CHANGED since the last apply
};
PLATFORM_API std::vector<SimSheetPage> SimSheetPages(HWND sheet);
PLATFORM_API int SimSheetCurrent(HWND sheet);
PLATFORM_API BOOL SimSheetSelect(HWND sheet, int index);
PLATFORM_API BOOL SimSheetPress(HWND sheet, int button);
// Pages made and not yet destroyed (leak checks).
PLATFORM_API int SimLivePropertySheetPages();

// The common property-sheet component's record of each run, in the order they began.
struct SimCompstuiResult {
  HANDLE handle = nullptr;  // the page handle (or run handle) the result was set for
  LRESULT result = 0;
  LONG answer = 0;          // what the provider answered
  ULONG_PTR resultAfter = 0;  // the provider's Result after it answered
};
struct SimCompstuiRun {
  HWND owner = nullptr;
  LONG initAnswer = 0;
  std::vector<HANDLE> pages;  // the handles given for the pages added
  std::vector<UINT> otherCalls;  // functions refused or not implemented, and refused pages
  WORD headerFlags = 0;
  std::u16string title;
  HINSTANCE instance = nullptr;
  ULONG_PTR iconId = 0;
  std::vector<SimCompstuiResult> results;
  INT_PTR sheetResult = 0;
  bool destroyed = false;
  LPARAM destroyParam = 0;
  ULONG_PTR userData = 0;
  ULONG_PTR finalResult = 0;
};
PLATFORM_API std::vector<SimCompstuiRun> SimCompstuiLog();
// The caption of the sheets that follow (empty: the provider's title, with " Properties" when
// its header asks so), as the host that opens them would set it.
PLATFORM_API void SimCompstuiSetCaption(const std::u16string& caption);
// Pages handed over are refused (the function answers 0) until set back.
PLATFORM_API void SimCompstuiRefusePages(bool refuse);
// After a failed INIT the provider also hears DESTROY (the component's behaviour varies; a
// provider must work either way).
PLATFORM_API void SimCompstuiDestroyAfterFailedInit(bool destroy);

// Tree views: a click (or a double click) on an item's row, refused when the row is not shown;
// every item in tree order (shown or not).
PLATFORM_API BOOL SimTreeClick(HWND tree, HTREEITEM item);
PLATFORM_API BOOL SimTreeDoubleClick(HWND tree, HTREEITEM item);
struct SimTreeItem {
  HTREEITEM item = nullptr;
  std::u16string text;
  int depth = 0;
  bool expanded = false;
  bool selected = false;
};
PLATFORM_API std::vector<SimTreeItem> SimTreeItems(HWND tree);

// A printer's sheets opened as their hosts open them: the driver's user-interface module
// (`module`, loaded by name) hands its pages through the common property-sheet component;
// the sheet then runs the dialog driver a test queued (SimOnDialog). The answer is the
// component's; *result the provider's result (CPSUI_OK, CPSUI_CANCEL).
PLATFORM_API LONG SimOpenDocumentSheet(LPCWSTR module, LPCWSTR printer, DEVMODEW* in, DEVMODEW* out, DWORD outSize,
                                       DWORD fMode, HWND owner, DWORD* result);
PLATFORM_API LONG SimOpenDeviceSheet(LPCWSTR module, LPCWSTR printer, WORD flags, HWND owner, DWORD* result);

// A dialog's (or page's) controls as a test reads them, in child order: the value is the
// check state of a button, the selection of a list, combo box or tab control, the position of
// a scroll bar, up-down, track bar or progress bar, else 0.
struct SimControl {
  HWND hwnd = nullptr;
  int id = 0;
  std::u16string className;
  std::u16string text;
  bool enabled = false;
  bool visible = false;  // shown, with every window above it
  LRESULT value = 0;
  int low = 0, high = 0;  // the range of a control that has one
};
PLATFORM_API std::vector<SimControl> SimDialogControls(HWND dialog);
// Sets a control's value as code does (the class's own message, no notices).
PLATFORM_API BOOL SimSetControlValue(HWND control, LRESULT value);
// Image lists made and not yet destroyed (leak checks).
PLATFORM_API int SimLiveImageLists();
