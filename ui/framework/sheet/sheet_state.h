// The run-time records of the dialogs: the SheetState shared by every page of one open
// property sheet, the SettingsSet a dialog edits, and the PageData kept as a dialog's
// DWLP_USER.
#pragma once

#include "core/common/keyed_list.h"
#include "core/messages/value_texts.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

struct ItemStore;
struct PageTable;
struct PendingWarnings;

inline constexpr int kHelpFileChars = 260;
inline constexpr int kSizeSummaryChars = 128;

// One per open property sheet, zero-filled at creation.
struct SheetState {
  LPWSTR printerName;
  HANDLE printer;
  DWORD monitorAvailable;
  ItemStore* store;
  DWORD applied;
  void* sheetFunction;  // the component's pfnComPropSheet
  HANDLE sheetHandle;   // the component's hComPropSheet
  HANDLE* pageHandles;
  DWORD permission;
  PendingWarnings* pendingWarnings;
  DWORD busy;
  DWORD checking;  // a page is checking a value against the constraints
  LPWSTR portName;
  WORD sheetType;  // 33, 17 or 18
  DWORD featureWords[2];
  LPWSTR perUserKey;
  WORD displayUnit;  // 0 millimetres, 1 inches
  WORD localeUnit;
  DWORD modified;
  WCHAR helpFile[kHelpFileChars];
  DWORD applyDone;
  DWORD warningsPosted;
  PageTable* pageTable;
  void* favorites;
  LONG currentPage;
  void* pictureSurfaces;
  void* pictureTipData;
  WORD savedOwnerChoice;
  WORD pendingTitleItem;
  LPWSTR* titleTexts;
  HWND sheetTooltip;
  HWND popupTooltip;
  WCHAR sizeSummary[kSizeSummaryChars];
  void* iconPanel;
};

// A settings pair with the fax send list of a document sheet; the set owns all three.
struct SettingsSet {
  SettingsRecord* settings;
  PrinterConfiguration* config;
  DWORD blobLength;
  BYTE* blob;
};

// The pair of lists the control rows keep their states in.
struct ControlStateLists {
  KeyedList* controlStates;
  KeyedList* itemStates;
};

// A dialog's own record.
struct PageData {
  SheetState* sheet;  // not owned
  SettingsSet current;
  SettingsSet saved;
  SettingsSet third;  // made by an Apply; empty until then
  HWND owner;
  KeyedList* controlData[3];
  ControlStateLists* states;
};

int CreateSettingsSet(SettingsSet* set);
void FreeSettingsSet(SettingsSet* set);
// Copies both records and the whole blob; the target's own blob is freed first. Copying a set
// onto itself changes nothing. 1, or 0 when something cannot be allocated (the target is then
// left without a blob).
int CopySettingsSet(SettingsSet* target, const SettingsSet* source);
int IsSettingsSetValid(const SettingsSet* set);

// A new PageData whose current and saved sets are copies of `set` and whose third set is a
// copy of `third` when that is given and valid; NULL when the state or set is missing or
// something cannot be allocated.
PageData* CreatePageData(HWND owner, SheetState* sheet, const SettingsSet* set, const SettingsSet* third);
// Frees the three sets, each list that is empty (rows still holding nodes keep their list:
// their owners release them first), the list pair and the record; clears the pointer.
void DestroyPageData(PageData** data);
void FreeAllSettingsSets(PageData* data);
// Current set = the third set when it exists and forceSaved is 0, else the saved set.
int RestoreSettings(PageData* data, BOOL forceSaved);
// Third set (made when missing) = the current set.
int SnapshotSettings(PageData* data);

// The dialog's PageData (its DWLP_USER), NULL without one.
PageData* GetPageData(HWND window);
// 1 and the buffers of the current or saved set; 0 without PageData or outputs.
int GetCurrentSettings(HWND window, SettingsRecord** settings, PrinterConfiguration** config);
int GetSavedSettings(HWND window, SettingsRecord** settings, PrinterConfiguration** config);
// The sheet of a dialog window (the first field of its PageData), NULL without one.
SheetState* FindSheetState(HWND window);

// Copies the text when its ANSI form is shorter than 128 bytes: 1, else 0 and the old text
// stays.
int SetSizeSummaryText(SheetState* state, LPCWSTR text);
int GetSizeSummaryText(SheetState* state, LPWSTR out);
// The locale unit: the user locale's measurement when model feature 0x800000 is on, else 0.
WORD ReadMeasurementUnit(SheetState* state);
int GetLocaleMeasurement(SheetState* state, WORD* unit);
void ResetMeasurementUnit(SheetState* state);
void SetDisplayUnit(SheetState* state, WORD unit);
// The model feature words of the sheet's database.
int SetSheetFeatureWords(SheetState* state, ItemStore* store);
int GetSheetFeatureFlags(SheetState* state, DWORD words[2]);

// Registers the sheet services the driver core uses (the sheet behind a page window, its
// measurement flags and its message boxes); NULL again with `registered` false.
void RegisterSheetServices(bool registered);
