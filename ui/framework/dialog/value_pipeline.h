// Value refresh and change: what a page shows is read again from the settings and the
// constraint engine (a full refresh when a page is shown, a narrower one after a change), and
// a value the user gives passes the engine and the conflict boxes before it is written.
#pragma once

#include "platform/base/types.h"
#include "ui/framework/dialog/dialog_tables.h"

// Results of ChangeControlValue.
inline constexpr int kChangeApplied = 1;
inline constexpr int kChangeRefused = 2;
inline constexpr int kChangeEqual = 3;
inline constexpr int kChangeError = -1;

// ConfirmSettingChange modes.
inline constexpr WORD kConfirmUserChange = 0;
inline constexpr WORD kConfirmReset = 1;

// The wParam of the refresh that follows a refused validation.
inline constexpr WPARAM kRefreshAfterValidation = static_cast<WPARAM>(-201);

int RefreshPage(HandlerContext* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                const ControlRow* rows, LONG count);
int ApplyDependentUpdates(HandlerContext* context, const WORD* changedItems, const ControlRow* rows, LONG count);
int ReadPageValues(HandlerContext* context, const ControlRow* rows, LONG count);
int ReadRowValues(HandlerContext* context, const ControlRow* row);
int UpdateCurrentIndexes(HandlerContext* context, const ControlRow* rows, LONG count);
int UpdateRowStateCodes(HandlerContext* context, const ControlRow* rows, LONG count, WORD mode,
                        const WORD* changedItems);
int UpdateRowLabels(HandlerContext* context, const ControlRow* rows, LONG count, BOOL onlyChanged);
void ApplyNoPermissionStates(HandlerContext* context, const ControlRow* rows, LONG count);
INT_PTR ValidatePage(HandlerContext* context, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     const ControlRow* rows, LONG count);
int CreateControlStates(HWND dialog, HandlerContext* context, PageData* data, const ControlRow* rows, LONG count);
int ReleaseRowResources(HandlerContext* context, const ControlRow* rows, LONG count);

// The user's new value for the row's current item; on kChangeApplied *changedItems is a new
// 0-ended list (GlobalFree): the item first, then the items the change forced.
int ChangeControlValue(HandlerContext* context, const ControlRow* row, const BoundValue* bound, const void* value,
                       WORD** changedItems);
// 4 applied with the list, 1 error, 3 nothing done, 10 the "not allowed" box was shown, or the
// constraint step's status.
WORD ConfirmSettingChange(HWND window, HANDLE printer, WORD mode, ItemStore* store, SettingsRecord* settings,
                          PrinterConfiguration* config, SettingItemId id, ValueTypeCode type, const void* value,
                          WORD** changedItems, ConstraintState* state);
// The check flags the conflict step gets for an item.
WORD GetItemCheckFlags(SettingItemId id, BOOL hasValue);
