// The fonts offered for font settings: the desktop's TrueType families followed by the
// printer's own device fonts.
#pragma once

#include "core/store/item_store.h"
#include "platform/base/types.h"
#include "ui/framework/sheet/picture_surfaces.h"

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

// How MatchFontName found the face it answers.
inline constexpr WORD kFontMatchNone = 0;
inline constexpr WORD kFontMatchTrueType = 1;     // the setting's face is a TrueType family
inline constexpr WORD kFontMatchDefault = 2;      // no printer font of that name: the default face
inline constexpr WORD kFontMatchAlias = 3;        // the printer font's alias face
inline constexpr WORD kFontMatchNoAlias = 4;      // the alias face is not installed: the default face

// The character set and the pitch and family a device-font record gives its face: the
// character set (200 is taken as 0) and the pitch and family byte of the record's font data,
// the pitch bit turned into LOGFONTW's (1 fixed, 2 variable). Both 0 when the record carries
// no font data that reaches them. 0 for a record of another type, else 1.
int GetDeviceFontTraits(const DatabaseRecord* record, BYTE* charSet, BYTE* pitchAndFamily);

// The TrueType font to use for the face named by item `id` of the window's settings: the face
// itself when the sheet's TrueType table has it (state 1); else the alias face of the printer
// font of that name (state 3, with the printer font's character set and pitch), or the default
// face when no printer font has the name (state 2); when that face is not installed either,
// the default face (state 4). NULL with state 0 when none is installed, when the table is
// missing or the setting cannot be read.
const LOGFONTW* MatchFontName(HWND window, const FontTable* table, SettingItemId id, WORD* state, BYTE* charSet,
                              BYTE* pitchAndFamily);
