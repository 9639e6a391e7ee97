// The tables that describe every page and dialog of the printer's property sheets (tabs,
// dialogs, pages, control rows with their bound items) and the run-time records the dialog
// framework keeps per sheet, per control and per item: the page table, the choice-list cache,
// control states with their bound values, item states and the context of one message.
#pragma once

#include "core/common/keyed_list.h"
#include "core/constraints/constraint_state.h"
#include "core/descriptors/choice_list.h"
#include "core/store/item_store.h"
#include "items/item_tables.h"
#include "platform/base/types.h"
#include "platform/user/dialog.h"
#include "ui/framework/sheet/sheet_state.h"

struct ControlRow;
struct HandlerContext;

// Ids that stand for "none" in the tables.
inline constexpr LONG kNoControl = -3;
inline constexpr LONG kNoString = -3;
inline constexpr LONG kEmbeddedPage = -4;  // page index of a child dialog without a page
inline constexpr LONG kNoBoundIndex = -6;
inline constexpr LONG kPageIndexCount = 49;

// The three kinds of dialog the framework drives; a popup's OK button hands 2 to the apply.
using DialogKind = WORD;
inline constexpr DialogKind kTabPage = 1;
inline constexpr DialogKind kPopupOkApply = 2;
inline constexpr DialogKind kChildPage = 3;
inline constexpr DialogKind kPopupDialog = 4;

// How an item or a choice is shown.
using StateCode = WORD;
inline constexpr StateCode kStateUsable = 0;
inline constexpr StateCode kStateDisabled = 1;
inline constexpr StateCode kStateHidden = 6;
inline constexpr StateCode kStateReadOnly = 14;
inline constexpr StateCode kStateDisabledCurrent = 15;

// The handler of a control kind and a page's own row callback share one form: the answer is
// the dialog procedure's (0 the default).
using RowHandler = INT_PTR (*)(HandlerContext* context, UINT message, WPARAM wParam, LPARAM lParam,
                               const ControlRow* row, const void* kindData);

// Bound item: the item id in the low word, the refresh flags in the high word.
inline constexpr DWORD kRefreshOnFull = 1;     // states of the item and all its choices
inline constexpr DWORD kRefreshOnChange = 2;   // item and selected choice after a change
constexpr DWORD BoundItem(SettingItemId id, DWORD flags) { return id | flags << 16; }
constexpr SettingItemId BoundItemId(DWORD item) { return static_cast<SettingItemId>(item & 0xFFFF); }

// Row flags.
inline constexpr WORD kRowEnabledWithoutPermission = 1;
inline constexpr WORD kRowKeepOnRestoreDefaults = 2;
inline constexpr WORD kRowLabelFollowsControl = 4;

struct ControlRow {
  LONG controlId;  // kNoControl: a page-wide hook or an item binding
  LONG itemCount;
  const DWORD* items;
  WORD kind;
  RowHandler callback;  // NULL: the kind's handler
  const void* kindData;
  LONG labelId;
  LONG labelSuffixId;
  const WORD* rowFlags;
};

struct PageDescriptor {
  const ControlRow* rows;
  LONG rowCount;
  LONG helpId;
  const DWORD* helpPairs;             // {control id, help id} pairs ended by control id 0
  const LONG* noPermissionControls;   // ended by kNoControl
  DWORD rebuild;                      // the only field written at run time
};

struct TabRecord;

struct DialogRecord {
  DWORD templateId;
  DLGPROC procedure;
  LONG pageIndex;
  LONG titleStringId;
  SettingItemId titleItem;
  const TabRecord* const* children;  // top-level tabs only
  LONG childCount;
};

struct TabRecord {
  LONG pageIndex;
  PageDescriptor* page;
  const DialogRecord* dialog;  // NULL for a child page
};

// The rows every popup shares, searched after a page's own rows (OK, Cancel twice, restore
// the saved settings, help).
const ControlRow* GetSharedPopupRows(LONG* count);

// One per open sheet.
struct PageTable {
  PageDescriptor** index;  // kPageIndexCount entries
  KeyedList* choiceCache;
};

struct ChoiceCacheEntry {
  SettingItemId id;
  ChoiceList* list;
  LONG references;
};

struct BoundValue {
  SettingItemId id;
  ValueTypeCode type;
  ItemValueCell value;  // a number, or the address of the text or font in the settings
  DWORD size;
};

struct BoundEntry {
  LONG choice;  // selected choice index, -1 none
  BoundValue value;
};

struct ControlState {
  DWORD controlId;
  LONG current;  // kNoBoundIndex: none
  LONG count;
  BoundEntry* entries;
};

struct ItemStateRecord {
  SettingItemId id;
  LONG choiceCount;
  ConstraintState* item;
  ConstraintState** choices;
};

struct HandlerContext {
  UINT message;
  LONG actionResult;
  HWND window;
  HWND owner;
  LONG permission;
  LONG pageIndex;
  LONG changed;
  WORD* changedItems;  // 0-ended, owned by the context
  RowHandler chained;
  const ControlRow* row;
  LONG actionType;
  ItemStore* store;
  SettingsRecord* settings;
  PrinterConfiguration* config;
  DialogKind kind;
};

// Page table and rows.
PageDescriptor* GetPageEntry(HWND window, LONG pageIndex);
int GetPageControls(HWND window, LONG pageIndex, const ControlRow** rows, LONG* count);
const ControlRow* GetPageRows(HWND window, LONG pageIndex);
LONG GetPageRowCount(HWND window, LONG pageIndex);
// For every page index 0..48 the descriptor of the first list entry with it; indexes outside
// that range are ignored. A new array (GlobalFree), NULL without memory.
PageDescriptor** MakePageIndexTable(const TabRecord* const* pages, LONG count);
PageTable* BuildPageTable(const TabRecord* const* pages, LONG count);
void FreePageTable(PageTable* table);
LONG GetRowControlId(const ControlRow* row);
LONG GetRowItemCount(const ControlRow* row);
WORD GetRowKind(const ControlRow* row);
const void* GetRowKindData(const ControlRow* row);
const DWORD* GetRowItem(const ControlRow* row, LONG n);
// Row n of a row table; record n of an array of popup dialog records.
const ControlRow* GetRowAt(const ControlRow* rows, LONG n);
const DialogRecord* GetDialogRecordAt(const DialogRecord* records, LONG n);
// A new array (GlobalFree) of the dialog records of the list's entries in list order, entries
// without one left out; NULL (and a count of 0) when there is none or no memory.
DialogRecord* CollectDialogRecords(const TabRecord* const* pages, LONG count, LONG* collected);
const ControlRow* FindRowByControlId(HWND window, LONG pageIndex, LONG controlId);
int FindRowItemIndex(const ControlRow* row, SettingItemId id, LONG* index);
// The first row of the context's page with the same bound-item list and the given kind.
const ControlRow* FindRowSharingItems(const HandlerContext* context, const ControlRow* row, WORD kind);

// Control states and bound values.
int CreateControlState(HWND window, const ControlRow* row, KeyedList* states);
ControlState* FindControlState(HWND window, const ControlRow* row);
int RemoveControlState(HWND window, LONG controlId, KeyedList* states);
LONG GetCurrentBoundIndex(HWND window, const ControlRow* row);
int SetCurrentBoundIndex(HWND window, const ControlRow* row, LONG n);
LONG GetBoundChoiceIndex(HWND window, const ControlRow* row, LONG n);
LONG GetCurrentChoiceIndex(HWND window, const ControlRow* row);
SettingItemId GetCurrentBoundItemId(HWND window, const ControlRow* row);
BoundValue* GetBoundValueAt(HWND window, const ControlRow* row, LONG n);
BoundValue* GetCurrentBoundValue(HWND window, const ControlRow* row);
// The value as a reference CompareTypedValues takes (a text as the address of its address).
const void* BoundValueReference(const BoundValue* value);
// The fields of a bound value: its item id, type, value cell and the address of that cell
// (each output may be NULL); 0 for a missing value.
int ReadBoundValue(const BoundValue* bound, SettingItemId* id, ValueTypeCode* type, ItemValueCell* value,
                   const void** address);
// The row's current bound item becomes the one the page's row of another control has as its
// current item (found by its id among the row's bound items); the item (may be NULL) receives
// that id. 1 when done; 0 when the other row, its item or that item in this row is missing.
int SyncBoundIndex(HWND window, LONG pageIndex, LONG otherControlId, const ControlRow* row, SettingItemId* item);
// 1 and the current item's range; 0 when it has none (the outputs are then untouched).
int GetNumericRange(const HandlerContext* context, const ControlRow* row, LONG* minimum, LONG* maximum);

// The sheet's choice-list cache.
int GetOrLoadChoiceList(HWND window, HMODULE resources, ItemStore* store, SettingItemId id, ChoiceList** list);
int ReleaseChoiceList(HWND window, SettingItemId id);
ChoiceCacheEntry* FindChoiceListEntry(HWND window, SettingItemId id);
ChoiceList* FindChoiceList(HWND window, SettingItemId id);
ChoiceList* GetBoundChoiceList(HWND window, const ControlRow* row, LONG n);
ChoiceList* GetCurrentChoiceList(HWND window, const ControlRow* row);
// The name of bound item n's list; NULL when the list is not loaded or has none.
LPCWSTR GetBoundChoiceListName(HWND window, const ControlRow* row, LONG n);
// The choice of the item's list whose value equals the item's current value, the list loaded
// into the sheet's cache when it is not there yet (kept until the sheet ends): 1 and the
// choice, 0 when the item cannot be read, has no list or no choice holds its value.
int FindCurrentChoice(const HandlerContext* context, SettingItemId id, const Choice** choice);
// The name of that choice (owned by the list): 1, or 0 as FindCurrentChoice or for a choice
// without a name.
int GetCurrentValueName(const HandlerContext* context, SettingItemId id, LPCWSTR* name);
LONG FindChoiceByValue(const ChoiceList* list, const void* value, ValueTypeCode type);
// The value of choice n as a reference CompareTypedValues and SetItemValue take.
const void* ChoiceValueReference(const ChoiceList* list, LONG n);

// Item and choice states.
int CreateItemStateRecord(HWND window, SettingItemId id, LONG choiceCount);
ItemStateRecord* FindItemStateRecord(HWND window, SettingItemId id);
int RemoveItemStateRecord(SettingItemId id, KeyedList* list);
int GetItemStateCode(HWND window, SettingItemId id, StateCode* code, WORD* extra);
int SetItemStateCode(HWND window, SettingItemId id, StateCode code);
int GetChoiceStateCode(HWND window, SettingItemId id, LONG n, StateCode* code);
int SetChoiceStateCode(HWND window, SettingItemId id, LONG n, StateCode code);
int GetRowStateCode(HWND window, const ControlRow* row, StateCode* code, WORD* extra);
// The items whose state depends on the row's current item (the third id list of its state):
// 1 with the list (owned by the state) and its count, 0 when the item has no state record.
int GetItemConflictInfo(HWND window, const ControlRow* row, const WORD** items, WORD* count);

// Per-control data of the PageData's three lists.
void* GetControlData(int list, HWND window, LONG controlId, DWORD subKey);
int SetControlData(int list, HWND window, LONG controlId, DWORD subKey, void* data);
int RemoveControlData(int list, HWND window, LONG controlId, DWORD subKey);

// The resource module the pages' templates and texts come from (the window is not used).
HMODULE GetDialogResourceModule(HWND window);

// The handler context.
void InitHandlerContext(HandlerContext* context, HWND window, HWND owner, LONG pageIndex, UINT message,
                        DialogKind kind);
int GetContextSettingsSet(const HandlerContext* context, SettingsSet** set);
// Sets the flag, the list (freeing a different old one) and the row.
void SetContextChanges(HandlerContext* context, LONG changed, WORD* list, const ControlRow* row);
int IsItemChanged(const HandlerContext* context, SettingItemId id);
// Reads an item of the context's settings into a cell (texts as their address): 1 or 0.
int ReadContextItem(const HandlerContext* context, SettingItemId id, ItemValueCell* value);
