// The paper margins kept with a favourite: key "Favorite\UserSel%02d\PaperMargin" in the
// per-user key, one 16-byte REG_BINARY value per paper named by its id in decimal (four
// unsigned 32-bit margins, little-endian, in stored order; unlike the user's own "Paper
// Margin" values they carry no paper id) and "Num", the number of values written.
#pragma once

#include "core/rules/paper_margins.h"
#include "platform/base/types.h"

struct ItemStore;

inline constexpr DWORD kFavoriteMarginBytes = 16;

// Caller to come: the favourites page.
// Writes one value from margins in the caller's order for the orientation: 1, else 0.
int SaveFavoritePaperMargin(HANDLE printer, WORD number, WORD orientation, LPCWSTR valueName,
                            const PaperMargins* margins);
// Caller to come: the favourites page.
int SaveFavoritePaperMarginCount(HANDLE printer, WORD number, DWORD count);
// Caller to come: the favourites page.
// The stored "Num", never more than the margin values the key really holds; 0 when there is
// none or it is not a 4-byte REG_DWORD.
DWORD LoadFavoritePaperMarginCount(HANDLE printer, WORD number);
// 1 when the key is gone (a favourite without margins is no error), else 0.
int DeleteFavoritePaperMargin(HANDLE printer, WORD number);
// 1 with the key opened or created (the caller closes it), else 0.
int OpenFavoritePaperMarginKey(HANDLE printer, HKEY* key, WORD number);
// Caller to come: the favourites page.
// Reads the margin value at `index` of an open favourite margin key (its name into `name`,
// 256 characters) or the value of the given name, turned from stored order into the caller's
// order for the orientation. 1 when a 16-byte REG_BINARY value was read, else 0 ("Num" and
// values of another type or size are not margins); the outputs change only on success.
int ReadPaperMarginValueByIndex(HKEY key, DWORD index, WORD orientation, LPWSTR name, PaperMargins* margins);
// Caller to come: the favourites page.
int ReadPaperMarginValueByName(HKEY key, LPCWSTR name, WORD orientation, PaperMargins* margins);
inline constexpr DWORD kFavoriteMarginNameChars = 256;

// Caller to come: the favourites page.
// Replaces the favourite's margins by the current margin of every paper of the model that
// differs from the default (GetPaperMargin with the per-user flag of item 463), then "Num".
// 1, or 0 at the first failure (the values written before it stay).
int StoreFavoritePaperMargins(HANDLE printer, ItemStore* store, BOOL perUser, WORD number, WORD orientation);
