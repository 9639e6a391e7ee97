// Item descriptors: for every setting item the driver keeps, the group it belongs to and,
// for a few items, a built-in rule that supplies the default, checks a stored value or builds
// the choice list instead of the description database. The groups here have their own
// numbering (0 to 11), which is not the numbering of the item tables.
#pragma once

#include <span>

#include "items/item_tables.h"
#include "platform/base/types.h"

struct ItemStore;

// Operations an ItemInfoRecord can support (bits of its flags).
inline constexpr WORD kItemOpDefault = 1;
inline constexpr WORD kItemOpCheck = 2;
inline constexpr WORD kItemOpListheader = 4;
inline constexpr WORD kItemOpListentry = 8;
inline constexpr WORD kItemOpCheckpublic = 16;
inline constexpr DWORD kItemOpAll = 0xFFFF;

// A value that is either a number (types 1-5, 8, 10) or a reference to owned string or font
// data (types 6 and 9). Wide enough for a pointer.
union ItemValueCell {
  DWORD number;
  WORD word;
  BYTE byte;
  void* data;
};
static_assert(sizeof(ItemValueCell) == sizeof(void*));

// What a handler gets for kItemOpDefault. A handler that succeeds sets type, value and size
// together. One that answers 0 because the model has nothing to take the default from (a
// paper it does not offer) sets `absent`: the item then has no default on this model, which
// is not a failure.
struct ItemDefaultSlot {
  PrinterConfiguration* config;  // the configuration being filled, or NULL
  LPCWSTR deviceName;            // the name given to ApplyDataFileDefaults, or NULL
  ValueTypeCode type;
  ItemValueCell value;
  DWORD size;
  bool absent;
};

// What a handler gets for kItemOpCheck and kItemOpCheckpublic: the value as GetItemValue gave
// it (for a string, the cell holds the string's address).
struct ItemCheckSlot {
  const ItemValueCell* value;
  SettingsRecord* settings;
  PrinterConfiguration* config;
};

struct ChoiceList;

// What a handler gets for kItemOpListheader: it sets the list's kind and count.
struct ChoiceListHeaderSlot {
  HMODULE resourceModule;
  ChoiceList* list;
  WORD callerCount;
  void* extra;  // the item's extra data
};

// What a handler gets for kItemOpListentry: the name and value of choice `index` (from 0),
// copied by the list builder at once. A name the handler loads goes into the builder's room
// (kChoiceNameRoomChars characters), so each build has storage of its own.
inline constexpr int kChoiceNameRoomChars = 256;
struct ChoiceEntrySlot {
  HMODULE resourceModule;
  LPCWSTR* name;
  ItemValueCell* value;
  ValueTypeCode* type;
  WORD index;
  const LPCWSTR* callerList;
  void* extra;
  LPWSTR nameRoom;
};

// The slot a handler receives; which member is valid follows from the operation.
union ItemValueSlot {
  ItemDefaultSlot defaults;
  ItemCheckSlot check;
  ChoiceListHeaderSlot header;
  ChoiceEntrySlot entry;
};

// Non-zero for success (for the checks: the value is valid), 0 otherwise.
using ItemHandler = int (*)(ItemStore* store, WORD operation, SettingItemId id, ItemValueSlot* slot);

// Flags of a ConstantDefault.
inline constexpr WORD kConstDefaultValue = 1;
inline constexpr WORD kConstDefaultList = 4;
inline constexpr WORD kConstDefaultEntries = 8;

struct ConstantDefault {
  WORD flags;
  ValueTypeCode type;
  LONG length;  // -1: follows from the type
  DWORD value;  // a number; no built-in rule keeps a constant string
  const void* listDescription;
};

struct ItemInfoRecord {
  const ConstantDefault* constantDefault;
  ItemHandler handler;
  DWORD operations;
};

struct ItemDescriptor {
  SettingItemId id;
  const ItemInfoRecord* info;
};

// One row of each of the two group tables (both in the row order 5..11, 0..4, ended by a row
// of group 12).
inline constexpr DWORD kDescriptorGroupCount = 12;
inline constexpr DWORD kDescriptorGroupEnd = 12;

struct DescriptorRangeRow {
  DWORD group;
  SettingItemId first;
  SettingItemId last;
};

struct DescriptorArrayRow {
  DWORD group;
  const ItemDescriptor* descriptors;
  WORD count;
  ItemArea area;
};

extern const DescriptorRangeRow ItemDescriptorRanges[kDescriptorGroupCount + 1];
extern const DescriptorArrayRow ItemDescriptorArrays[kDescriptorGroupCount + 1];

// The group's descriptors and ItemArea; FALSE for a number that is not a group.
BOOL GetGroupDescriptors(DWORD group, std::span<const ItemDescriptor>* descriptors, ItemArea* area);
// The item's descriptor, or NULL when no group holds it.
const ItemDescriptor* FindItemDescriptor(SettingItemId id);
// True only when the descriptor has an ItemInfoRecord whose flags include the operation.
bool ItemSupportsOperation(const ItemDescriptor* descriptor, WORD operation);
