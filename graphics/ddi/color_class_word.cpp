#include "graphics/ddi/color_class_word.h"

#include "platform/kernel/memory.h"

int AllocColorClassWord(DWORD** place) {
  if (place == nullptr) return -1;
  *place = static_cast<DWORD*>(GlobalAlloc(GPTR, sizeof(DWORD)));
  return *place != nullptr ? 0 : -2;
}

int FreeColorClassWord(DWORD** place) {
  if (place == nullptr) return -1;
  if (*place != nullptr) GlobalFree(*place);
  *place = nullptr;
  return 0;
}
