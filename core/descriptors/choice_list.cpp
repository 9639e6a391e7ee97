#include "core/descriptors/choice_list.h"

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/kernel/memory.h"

LPWSTR GetChoiceListName(const ChoiceList* list) { return list == nullptr ? nullptr : list->name; }

Choice* GetChoiceListItems(const ChoiceList* list) { return list == nullptr ? nullptr : list->choices; }

WORD GetChoiceListKind(const ChoiceList* list) { return list == nullptr ? 0 : list->kind; }

int SetChoiceListKind(ChoiceList* list, WORD kind) {
  if (list == nullptr) return 0;
  list->kind = kind;
  return 1;
}

LONG GetChoiceCount(const ChoiceList* list) { return list == nullptr ? -1 : list->count; }

int FreeChoiceList(ChoiceList* list) {
  if (list == nullptr) return 0;
  GlobalFree(list->name);
  // Every string value is the list's own copy, whatever the kind: a list of the kind whose
  // third choice has no value holds NULL there, which frees nothing. Palettes go with their
  // icons, so no GDI object outlives the list.
  for (LONG i = 0; list->choices != nullptr && i < list->count; ++i) {
    Choice& choice = list->choices[i];
    GlobalFree(choice.name);
    if (choice.icon != nullptr) DestroyIcon(choice.icon);
    if (choice.palette != nullptr) DeleteObject(choice.palette);
    if (list->type == kTypeString) GlobalFree(choice.value.data);
  }
  GlobalFree(list->choices);
  GlobalFree(list);
  return 1;
}

Choice* GetChoice(const ChoiceList* list, LONG n) {
  if (list == nullptr || list->choices == nullptr || n < 0 || n >= list->count) return nullptr;
  return &list->choices[n];
}

Choice* GetChoiceEntry(const ChoiceList* list, LONG n) { return GetChoice(list, n); }

LPCWSTR GetChoiceName(const ChoiceList* list, LONG n) {
  const Choice* choice = GetChoice(list, n);
  return choice == nullptr ? nullptr : choice->name;
}

HICON GetChoiceIcon(const ChoiceList* list, LONG n) {
  const Choice* choice = GetChoice(list, n);
  return choice == nullptr ? nullptr : choice->icon;
}

HPALETTE GetChoicePalette(const ChoiceList* list, LONG n) {
  const Choice* choice = GetChoice(list, n);
  return choice == nullptr ? nullptr : choice->palette;
}

Choice* FindChoiceByName(const ChoiceList* list, LPCWSTR text) {
  if (list == nullptr || text == nullptr) return nullptr;
  const size_t length = wcslen(text);
  for (LONG n = 0; n < list->count; ++n) {
    Choice* choice = GetChoice(list, n);
    if (choice != nullptr && choice->name != nullptr && wcsncmp(choice->name, text, length) == 0) return choice;
  }
  return nullptr;
}
