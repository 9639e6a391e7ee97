#include "core/fonts/font_names.h"

#include "core/common/common_routines.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/gdi/fonts.h"
#include "platform/kernel/memory.h"

int CALLBACK EnumTrueTypeFamilyProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD fontType, LPARAM param) {
  auto* collection = reinterpret_cast<FontNameCollection*>(param);
  if ((fontType & TRUETYPE_FONTTYPE) == 0 || font == nullptr || collection == nullptr) return 1;
  return EnumFontFamiliesW(collection->dc, font->lfFaceName, &CollectFaceNameProc, param);
}

int CALLBACK CollectFaceNameProc(const LOGFONTW* font, const TEXTMETRICW*, DWORD fontType, LPARAM param) {
  auto* collection = reinterpret_cast<FontNameCollection*>(param);
  if ((fontType & TRUETYPE_FONTTYPE) == 0 || font == nullptr || collection == nullptr) return 1;
  const auto* face = reinterpret_cast<const ENUMLOGFONTW*>(font);
  // The full name fills at most its 64 characters; one without a terminator is taken whole.
  const int length = WideLengthBounded(face->elfFullName, LF_FULLFACESIZE);
  FontNameNode* last = nullptr;
  for (FontNameNode* node = collection->head; node != nullptr; node = node->next) {
    if (lstrlenW(node->name) == length && wcsncmp(node->name, face->elfFullName, length) == 0) return 1;
    last = node;
  }
  if (collection->count >= kMaxCollectedNames) return 1;
  auto* node = static_cast<FontNameNode*>(GlobalAlloc(GPTR, sizeof(FontNameNode)));
  auto* name = static_cast<LPWSTR>(GlobalAlloc(GPTR, (length + 1) * sizeof(WCHAR)));
  if (node == nullptr || name == nullptr) {
    SafeGlobalFree(node);
    SafeGlobalFree(name);
    collection->success = 0;
    return 0;
  }
  lstrcpynW(name, face->elfFullName, length + 1);
  node->name = name;
  if (last == nullptr)
    collection->head = node;
  else
    last->next = node;
  const DWORD total = collection->byteTotal + 2u * (length + 1);
  collection->byteTotal = static_cast<WORD>(total < kMaxCollectedBytes ? total : kMaxCollectedBytes);
  ++collection->count;
  return 1;
}

void FreeFontSubstitutionState(FontSubstitutionState* state) {
  if (state == nullptr || state->collection == nullptr) return;
  FontNameCollection* collection = state->collection;
  for (FontNameNode* node = collection->head; node != nullptr;) {
    FontNameNode* next = node->next;
    SafeGlobalFree(node->name);
    GlobalFree(node);
    node = next;
  }
  collection->head = nullptr;
  collection->count = 0;
  SafeGlobalFree(collection->pairList);
  SafeGlobalFree(collection->data);
  GlobalFree(collection);
  state->collection = nullptr;
}
