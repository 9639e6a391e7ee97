// Collection of the installed TrueType face names for the font-substitution settings, and
// the release of the font-substitution page's state.
#pragma once

#include "platform/base/types.h"
#include "platform/gdi/fonts.h"

// One collected face name; the list keeps the order in which names were found.
struct FontNameNode {
  FontNameNode* next;
  LPWSTR name;
  DWORD reserved;  // always 0
};

// The collection block of the font-substitution page. The page sets the device context and
// the success flag before enumerating; the callbacks fill the list, the count and the total.
struct FontNameCollection {
  HDC dc;
  WORD count;
  FontNameNode* head;
  HGLOBAL pairList;
  HGLOBAL data;
  DWORD success;    // cleared when a name could not be stored
  WORD byteTotal;   // bytes of the names with their terminators
};

// The font-substitution page's state as far as this library touches it: the reference to
// the collection block.
struct FontSubstitutionState {
  FontNameCollection* collection;
};

// A collection holds at most this many names, and its byte total stops at this value: both
// are 16-bit fields, and further names would make them wrap.
inline constexpr WORD kMaxCollectedNames = 0xFFFF;
inline constexpr WORD kMaxCollectedBytes = 0xFFFF;

// Caller to come: the font substitution page.
// EnumFontFamiliesW callback for families (param: the FontNameCollection): a TrueType family
// has its faces enumerated with CollectFaceNameProc, whose answer it passes on; any other
// family is skipped (1).
int CALLBACK EnumTrueTypeFamilyProc(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType, LPARAM param);
// Callback for the faces of one family: appends the full name of a TrueType face that is not
// yet in the list (1); other faces are skipped (1); 0 stops the enumeration when the name
// cannot be stored (the success flag is then cleared).
int CALLBACK CollectFaceNameProc(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD fontType, LPARAM param);

// Caller to come: the font substitution page.
// Frees every node and name, the pair list and data blocks and the collection block, and
// clears the page state's reference. Nothing happens without a state or a collection.
void FreeFontSubstitutionState(FontSubstitutionState* state);
