// The tabs of the printer's two property sheets and the pages made from them: the page list
// (each tab followed by the pages it can open) and the PROPSHEETPAGEW array handed to the
// property-sheet component.
#pragma once

#include "platform/base/types.h"
#include "platform/comctl/propsheet.h"
#include "ui/framework/dialog/dialog_tables.h"

inline constexpr int kDeviceSheet = 1;
inline constexpr int kDocumentSheet = 2;

// An empty page list of the right size for the sheet (GlobalFree) and its count; NULL when
// it cannot be allocated. A sheet without tabs answers an empty list (count 0).
const TabRecord** CountPageDescriptors(int sheetKind, SheetState* state, LONG* count);
// Fills the list: each tab followed by its children in order.
void BuildPageDescriptorList(int sheetKind, SheetState* state, const TabRecord** list);
// The pages of the list's tabs (GlobalFree), each with the given page callback and lParam;
// NULL on a failure. Titles made from choice-list names are kept in the state's title list.
PROPSHEETPAGEW* BuildPropertySheetPages(const TabRecord* const* list, LONG count, SheetState* state,
                                        HMODULE resources, ItemStore* store, LPFNPSPCALLBACKW callback,
                                        LPARAM lParam, LONG* pageCount);
