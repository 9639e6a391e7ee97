#include "core/common/keyed_list.h"

#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

KeyedListNode* NewNode(DWORD key, DWORD subKey, void* data) {
  auto* node = static_cast<KeyedListNode*>(GlobalAlloc(GPTR, sizeof(KeyedListNode)));
  if (node) *node = {key, subKey, nullptr, data};
  return node;
}

// The node at an insertion position, walking count - position - 1 nodes from the front, with
// its predecessor; NULL for a missing list or a position outside it.
KeyedListNode* NodeAtPosition(KeyedList* list, LONG position, KeyedListNode** previous) {
  if (!list || position < 0 || position >= list->count) return nullptr;
  KeyedListNode* before = nullptr;
  KeyedListNode* node = list->first;
  for (LONG steps = list->count - position - 1; node && steps > 0; --steps) {
    before = node;
    node = node->next;
  }
  if (previous) *previous = before;
  return node;
}

void Unlink(KeyedList* list, KeyedListNode* node, KeyedListNode* previous) {
  (previous ? previous->next : list->first) = node->next;
  GlobalFree(node);
  list->count--;
}

}  // namespace

KeyedList* CreateKeyedList() { return static_cast<KeyedList*>(GlobalAlloc(GPTR, sizeof(KeyedList))); }

int FreeKeyedList(KeyedList** list) {
  if (!list) return 0;
  if (!*list) return 1;
  for (KeyedListNode* node = (*list)->first; node;) {
    KeyedListNode* next = node->next;
    GlobalFree(node);
    node = next;
  }
  GlobalFree(*list);
  *list = nullptr;
  return 1;
}

int KeyedListPushFront(KeyedList* list, DWORD key, DWORD subKey, void* data) {
  if (!list || !data) return 0;
  KeyedListNode* node = NewNode(key, subKey, data);
  if (!node) return 0;
  node->next = list->first;
  list->first = node;
  list->count++;
  return 1;
}

KeyedListNode* KeyedListFindNode(KeyedList* list, KeyedListNode** previous, DWORD subKey, DWORD key) {
  if (!list) return nullptr;
  KeyedListNode* before = nullptr;
  for (KeyedListNode* node = list->first; node; before = node, node = node->next) {
    if (node->key == key && (subKey == kAnySubKey || node->subKey == subKey)) {
      if (previous) *previous = before;
      return node;
    }
  }
  return nullptr;
}

void* KeyedListFindData(KeyedList* list, DWORD key, DWORD subKey) {
  KeyedListNode* node = KeyedListFindNode(list, nullptr, subKey, key);
  return node ? node->data : nullptr;
}

int KeyedListRemove(KeyedList* list, DWORD key, DWORD subKey) {
  KeyedListNode* previous = nullptr;
  KeyedListNode* node = KeyedListFindNode(list, &previous, subKey, key);
  if (!node) return 0;
  Unlink(list, node, previous);
  return 1;
}

void* KeyedListFirst(KeyedList* list, KeyedListNode** iterator) {
  if (!list || !list->first) return nullptr;
  if (iterator) *iterator = list->first->next;
  return list->first->data;
}

void* KeyedListNext(KeyedListNode* iterator, KeyedListNode** next) {
  if (!iterator) return nullptr;
  if (next) *next = iterator->next;
  return iterator->data;
}

void* KeyedListNth(KeyedList* list, LONG position) {
  KeyedListNode* node = NodeAtPosition(list, position, nullptr);
  return node ? node->data : nullptr;
}

int KeyedListRemoveAt(KeyedList* list, LONG position) {
  KeyedListNode* previous = nullptr;
  KeyedListNode* node = NodeAtPosition(list, position, &previous);
  if (!node) return 0;
  Unlink(list, node, previous);
  return 1;
}

int KeyedListInsertAt(KeyedList* list, LONG position, DWORD key, DWORD subKey, void* data) {
  // The new node takes the place of the node now at that position, which lies nearer the
  // front: it is linked in just behind it.
  KeyedListNode* at = NodeAtPosition(list, position, nullptr);
  if (!at || !data) return 0;
  KeyedListNode* node = NewNode(key, subKey, data);
  if (!node) return 0;
  node->next = at->next;
  at->next = node;
  list->count++;
  return 1;
}

LONG KeyedListCount(const KeyedList* list) { return list ? list->count : -1; }

KeyedListNode* KeyedListHead(KeyedList* list) { return list ? list->first : nullptr; }
