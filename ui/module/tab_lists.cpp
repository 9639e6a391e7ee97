// The tabs of the printer's property sheets (see tab_lists.h). A tab whose page is not built
// yet is not in the lists.
#include "ui/module/tab_lists.h"

#include <span>

#include "core/database/database.h"
#include "core/store/item_store.h"
#include "platform/base/text.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/pages/main_tab.h"
#include "ui/pages/paper_source_tab.h"
#include "ui/pages/settings_list_tab.h"

namespace {

const TabRecord* const kDocumentTabs[] = {&kMainTabRecord, &kPaperSourceTabRecord, &kSettingsListTabRecord};

std::span<const TabRecord* const> SheetTabs(int sheetKind) {
  if (sheetKind == kDocumentSheet) return kDocumentTabs;
  return {};
}

// The tab the sheet shows in place of the listed one (model class and feature alternatives).
const TabRecord* SelectTabRecord(const TabRecord* tab, SheetState* /*state*/) { return tab; }

// A copy of the text kept in the state's 0-ended title list: the copy, or NULL.
LPCWSTR KeepTitleText(SheetState* state, LPCWSTR text) {
  LONG n = 0;
  if (state->titleTexts != nullptr)
    while (state->titleTexts[n] != nullptr) ++n;
  auto* list = static_cast<LPWSTR*>(GlobalAlloc(GPTR, sizeof(LPWSTR) * SIZE_T(n + 2)));
  LPWSTR copy = GlobalCopyText(text);
  if (list == nullptr || copy == nullptr) {
    GlobalFree(list);
    GlobalFree(copy);
    return nullptr;
  }
  for (LONG i = 0; i < n; ++i) list[i] = state->titleTexts[i];
  list[n] = copy;
  GlobalFree(state->titleTexts);
  state->titleTexts = list;
  return copy;
}

// The page's title: a resource string, the name of the title item's choice list, or none
// (the template's caption).
bool SetPageTitle(const DialogRecord* dialog, SheetState* state, ItemStore* store, PROPSHEETPAGEW* page) {
  if (dialog->titleStringId != kNoString) {
    page->pszTitle = MAKEINTRESOURCEW(dialog->titleStringId);
    page->dwFlags |= PSP_USETITLE;
    return true;
  }
  if (dialog->titleItem == 0) return true;
  BYTE kind = 0;
  WORD count = 0, status = 0;
  LPCWSTR name = nullptr;
  DatabaseRecord* record = nullptr;
  if (QueryChoiceListHeader(store, dialog->titleItem, &kind, &count, &name, &record, &status) != 1) return false;
  const LPCWSTR title = name != nullptr ? KeepTitleText(state, name) : nullptr;
  FreeRecord(&record, kDbAnyType);
  if (title == nullptr) return false;
  page->pszTitle = title;
  page->dwFlags |= PSP_USETITLE;
  return true;
}

}  // namespace

const TabRecord** CountPageDescriptors(int sheetKind, SheetState* state, LONG* count) {
  LONG n = 0;
  for (const TabRecord* tab : SheetTabs(sheetKind)) n += 1 + SelectTabRecord(tab, state)->dialog->childCount;
  *count = n;
  return static_cast<const TabRecord**>(GlobalAlloc(GPTR, sizeof(TabRecord*) * SIZE_T(n > 0 ? n : 1)));
}

void BuildPageDescriptorList(int sheetKind, SheetState* state, const TabRecord** list) {
  LONG n = 0;
  for (const TabRecord* listed : SheetTabs(sheetKind)) {
    const TabRecord* tab = SelectTabRecord(listed, state);
    list[n++] = tab;
    for (LONG i = 0; i < tab->dialog->childCount; ++i) list[n++] = tab->dialog->children[i];
  }
}

PROPSHEETPAGEW* BuildPropertySheetPages(const TabRecord* const* list, LONG count, SheetState* state,
                                        HMODULE resources, ItemStore* store, LPFNPSPCALLBACKW callback,
                                        LPARAM lParam, LONG* pageCount) {
  *pageCount = 0;
  LONG tabs = 0;
  for (LONG i = 0; i < count; ++i) tabs += list[i]->dialog != nullptr;
  auto* pages = static_cast<PROPSHEETPAGEW*>(GlobalAlloc(GPTR, sizeof(PROPSHEETPAGEW) * SIZE_T(tabs > 0 ? tabs : 1)));
  if (pages == nullptr) return nullptr;
  const DWORD rightToLeft = HasSheetFeature(state, kRightToLeftFeature) == 1 ? PSP_RTLREADING : 0;
  LONG n = 0;
  for (LONG i = 0; i < count; ++i) {
    const DialogRecord* dialog = list[i]->dialog;
    if (dialog == nullptr) continue;
    PROPSHEETPAGEW* page = &pages[n++];
    page->dwSize = kPropSheetPageSizeV1;
    page->dwFlags = PSP_HASHELP | PSP_USECALLBACK | rightToLeft;
    page->hInstance = resources;
    page->pszTemplate = MAKEINTRESOURCEW(dialog->templateId);
    page->pfnDlgProc = dialog->procedure;
    page->lParam = lParam;
    page->pfnCallback = callback;
    if (!SetPageTitle(dialog, state, store, page)) {
      GlobalFree(pages);
      return nullptr;
    }
  }
  *pageCount = n;
  return pages;
}
