// Building the list of fonts offered for font settings.
#include "ui/framework/sheet/font_lists.h"

#include <cstring>

#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "platform/gdi/fonts.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/user/paint.h"

namespace {

constexpr WORD kDeviceFontRecordType = 11;

struct EnumState {
  FontList* list;
  FontListNode** tail;
};

// Appends every TrueType family as a node; 0 (ending the enumeration) without memory.
int CALLBACK AddTrueTypeFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD fontType, LPARAM param) {
  if ((fontType & TRUETYPE_FONTTYPE) == 0) return 1;
  auto* state = reinterpret_cast<EnumState*>(param);
  auto* node = static_cast<FontListNode*>(GlobalAlloc(GPTR, sizeof(FontListNode)));
  if (node == nullptr) return 0;
  node->faceName = GlobalCopyText(font->lfFaceName);
  node->font = static_cast<LOGFONTW*>(GlobalCopyBytes(font, sizeof(LOGFONTW)));
  if (node->faceName == nullptr || node->font == nullptr) {
    if (node->faceName != nullptr) GlobalFree(node->faceName);
    if (node->font != nullptr) GlobalFree(node->font);
    GlobalFree(node);
    return 0;
  }
  node->font->lfWidth = 0;
  *state->tail = node;
  state->tail = &node->next;
  ++state->list->trueTypeCount;
  return 1;
}

// The device-font names of the model, a repeat of the previous name left out; false when a
// record cannot be read or the table cannot be allocated.
bool AddPrinterFonts(ItemStore* store, FontList* list) {
  const WORD records = CountRecords(store->main, kDeviceFontRecordType);
  if (records == 0) return true;
  list->printerFonts = static_cast<WCHAR(*)[kPrinterFontNameChars]>(
      GlobalAlloc(GPTR, static_cast<SIZE_T>(records) * sizeof(WCHAR[kPrinterFontNameChars])));
  if (list->printerFonts == nullptr) return false;
  for (WORD position = 1; position <= records; ++position) {
    ScopedRecord record;
    if (ReadRecord(FALSE, store->main, store->linked, kDeviceFontRecordType, position, &record.record) != 0)
      return false;
    const LPCWSTR name = reinterpret_cast<const DeviceFontRecord*>(record.record)->name;
    WCHAR slot[kPrinterFontNameChars] = {};
    if (name != nullptr) lstrcpynW(slot, name, kPrinterFontNameChars);
    if (list->printerFontCount > 0 &&
        lstrcmpW(list->printerFonts[list->printerFontCount - 1], slot) == 0)
      continue;
    std::memcpy(list->printerFonts[list->printerFontCount++], slot, sizeof(slot));
  }
  return true;
}

}  // namespace

FontList* BuildFontList(ItemStore* store) {
  if (store == nullptr) return nullptr;
  auto* list = static_cast<FontList*>(GlobalAlloc(GPTR, sizeof(FontList)));
  if (list == nullptr) return nullptr;
  EnumState state{list, &list->first};
  HDC desktop = GetDC(nullptr);
  const int enumerated = desktop != nullptr ? EnumFontFamiliesW(desktop, nullptr, AddTrueTypeFamily,
                                                                reinterpret_cast<LPARAM>(&state))
                                            : 0;
  if (desktop != nullptr) ReleaseDC(nullptr, desktop);
  if (enumerated == 0 || !AddPrinterFonts(store, list)) {
    FreeFontList(list);
    return nullptr;
  }
  return list;
}

void FreeFontList(FontList* list) {
  if (list == nullptr) return;
  for (FontListNode* node = list->first; node != nullptr;) {
    FontListNode* next = node->next;
    GlobalFree(node->faceName);
    GlobalFree(node->font);
    GlobalFree(node);
    node = next;
  }
  if (list->printerFonts != nullptr) GlobalFree(list->printerFonts);
  GlobalFree(list);
}

int MapFontAlias(LPCWSTR alias, HMODULE resources, WCHAR face[kPrinterFontNameChars], LPCWSTR faceName) {
  if (face == nullptr) return 1;
  face[0] = u'\0';
  if (alias != nullptr && alias[0] != u'\0') {
    lstrcpynW(face, alias, kPrinterFontNameChars);
    return 1;
  }
  UINT replacement = kStringDefaultFace;
  WCHAR known[kPrinterFontNameChars] = {};
  if (faceName != nullptr) {
    if (LoadStringW(resources, kStringFirstFontName, known, kPrinterFontNameChars) > 0 && lstrcmpW(known, faceName) == 0)
      replacement = kStringFirstFontAlias;
    else if (LoadStringW(resources, kStringSecondFontName, known, kPrinterFontNameChars) > 0 &&
             lstrcmpW(known, faceName) == 0)
      replacement = kStringSecondFontAlias;
  }
  LoadStringW(resources, replacement, face, kPrinterFontNameChars);
  return 1;
}
