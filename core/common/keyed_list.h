// KeyedList: the general container of the printer modules, a counted singly linked list of
// nodes that carry a key, a sub key and a data pointer. New nodes go to the front, so a
// position counted from the tail is the order of insertion (position 0 = the oldest node).
// The list owns its nodes, never their data.
#pragma once

#include "platform/base/types.h"

struct KeyedListNode {
  DWORD key;
  DWORD subKey;
  KeyedListNode* next;
  void* data;
};

struct KeyedList {
  LONG count;
  KeyedListNode* first;
};

// A sub key that matches any sub key in a search.
inline constexpr DWORD kAnySubKey = 0xFFFF;

// A new empty list from the global heap, NULL on failure.
KeyedList* CreateKeyedList();
// Frees every node and the head and clears the pointer: 1 (also for an already NULL list),
// 0 without a pointer.
int FreeKeyedList(KeyedList** list);

// 1 when a node holding the data was put in front and the count raised; 0 for a missing list
// or data or when no memory is left (nothing changes).
int KeyedListPushFront(KeyedList* list, DWORD key, DWORD subKey, void* data);
// The first node with the key and the sub key (kAnySubKey: any), with its predecessor (NULL
// for the front node); NULL when none.
KeyedListNode* KeyedListFindNode(KeyedList* list, KeyedListNode** previous, DWORD subKey, DWORD key);
void* KeyedListFindData(KeyedList* list, DWORD key, DWORD subKey);
// 1 when the first node with the key and sub key was unlinked and freed (its data stays).
int KeyedListRemove(KeyedList* list, DWORD key, DWORD subKey);

// The data of the front node with the iterator set to the node after it; NULL for a missing
// or empty list (the iterator is then not set).
void* KeyedListFirst(KeyedList* list, KeyedListNode** iterator);
// The data of the node the iterator designates, with the iterator advanced; NULL at the end.
void* KeyedListNext(KeyedListNode* iterator, KeyedListNode** next);

// Caller to come: the user-interface module's keyed lists.
// Positions count in insertion order from the oldest node; a position at or above the count
// fails (NULL or 0).
void* KeyedListNth(KeyedList* list, LONG position);
// Caller to come: the user-interface module's keyed lists.
int KeyedListRemoveAt(KeyedList* list, LONG position);
// Caller to come: the user-interface module's keyed lists.
// A new node at that insertion position; the former node there and those after it move up by
// one.
int KeyedListInsertAt(KeyedList* list, LONG position, DWORD key, DWORD subKey, void* data);

// The number of nodes; -1 for a missing list.
LONG KeyedListCount(const KeyedList* list);
// Caller to come: the user-interface module's keyed lists.
KeyedListNode* KeyedListHead(KeyedList* list);
