// The fonts offered for font settings: the desktop's TrueType families followed by the
// printer's own device fonts.
#pragma once

#include "core/store/item_store.h"
#include "platform/base/types.h"

inline constexpr int kPrinterFontNameChars = 32;

struct FontListNode {
  FontListNode* next;
  LPWSTR faceName;  // GlobalAlloc
  LOGFONTW* font;   // a copy of the family's LOGFONTW with lfWidth 0
};

struct FontList {
  WORD trueTypeCount;
  FontListNode* first;
  WORD printerFontCount;
  WCHAR (*printerFonts)[kPrinterFontNameChars];  // one slot per device-font record
};

// The TrueType families of the desktop in enumeration order, then the model's device-font
// names in record order with a name equal to the one just before it left out. NULL when the
// enumeration, a record or memory fails (nothing is left allocated then).
FontList* BuildFontList(ItemStore* store);
void FreeFontList(FontList* list);
