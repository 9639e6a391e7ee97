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

// Face names of printer fonts and the TrueType faces that stand in for them.
inline constexpr UINT kStringFirstFontName = 731;
inline constexpr UINT kStringSecondFontName = 732;
inline constexpr UINT kStringFirstFontAlias = 733;
inline constexpr UINT kStringSecondFontAlias = 734;
inline constexpr UINT kStringDefaultFace = 735;

// The TrueType face for a printer font: the record's own alias (up to 32 characters) when it
// has one; else the alias string of the face name when it is one of the two known names,
// otherwise the default face. Always 1.
int MapFontAlias(LPCWSTR alias, HMODULE resources, WCHAR face[kPrinterFontNameChars], LPCWSTR faceName);
