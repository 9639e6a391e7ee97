// The list of the choices one setting item offers: its layout, accessors and destructor. The
// list builder fills it; every block it holds is a global memory block of its own.
#pragma once

#include "core/descriptors/item_descriptors.h"
#include "platform/base/types.h"

// One choice: its value (a number, or for value type 6 an owned copy of the string), its
// owned name, and its picture as an icon with the palette the icon was drawn with (or none).
struct Choice {
  ItemValueCell value;
  LPWSTR name;
  HICON icon;
  HPALETTE palette;
};

struct ChoiceList {
  SettingItemId id;
  LPWSTR name;  // owned, or NULL
  WORD kind;
  SHORT type;   // ValueTypeCode of every choice
  LONG count;
  Choice* choices;
};

// Kind of a list whose third choice carries no value.
inline constexpr WORD kChoiceKindNoThirdValue = 6;

// The list's name, or NULL (also for a NULL list).
LPWSTR GetChoiceListName(const ChoiceList* list);
// Caller to come: the property-sheet pages' list controls.
// The choice array, or NULL.
Choice* GetChoiceListItems(const ChoiceList* list);
// Caller to come: the property-sheet pages' list controls.
// The kind, 0 for NULL.
WORD GetChoiceListKind(const ChoiceList* list);
// Caller to come: the property-sheet pages' list controls.
// 1 after setting the kind, 0 for NULL.
int SetChoiceListKind(ChoiceList* list, WORD kind);
// The number of choices, -1 for NULL.
LONG GetChoiceCount(const ChoiceList* list);
// Frees the list with its name and, for every choice, its name, icon, palette and string
// value. 1, or 0 for NULL.
int FreeChoiceList(ChoiceList* list);

// Choice n, or NULL for a missing list or choice array and n outside 0..count-1. GetChoiceEntry
// is the same call under the name the list controls use.
Choice* GetChoice(const ChoiceList* list, LONG n);
Choice* GetChoiceEntry(const ChoiceList* list, LONG n);
// A field of choice n, or NULL as GetChoice.
LPCWSTR GetChoiceName(const ChoiceList* list, LONG n);
HICON GetChoiceIcon(const ChoiceList* list, LONG n);
HPALETTE GetChoicePalette(const ChoiceList* list, LONG n);
// The first choice whose name begins with the whole text (case-sensitive), so a short name
// also finds a name with a size after it; NULL for a missing list or text or no match.
Choice* FindChoiceByName(const ChoiceList* list, LPCWSTR text);
