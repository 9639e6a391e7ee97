#include "core/persist/forms_standin.h"

#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

int MatchFormByIndexOrName(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                           WORD method, const PaperSpec* query, PaperSpec* answer) {
  if (query == nullptr || answer == nullptr) return 0;
  if (method == kFormMatchByName && query->name == nullptr) return 0;
  FORM_INFO_1W* forms = nullptr;
  DWORD count = 0;
  if (!ReadSpoolerForms(printer, &forms, &count)) return 0;
  DWORD index = count;
  for (DWORD i = 0; i < count && index == count; ++i) {
    if (method == kFormMatchByNumber ? i + 1 == query->id
        : method == kFormMatchByName ? forms[i].pName != nullptr && wcscmp(forms[i].pName, query->name) == 0
                                     : false)
      index = i;
  }
  PaperSpec paper{};
  int result = 0;
  if (index < count && FormSizeInTenths(forms[index], &paper.width, &paper.length)) {
    paper.id = static_cast<WORD>(index + 1);
    paper.name = forms[index].pName;
    const WORD formWidth = paper.width, formLength = paper.length;
    if (MatchFormToPaper(&paper, store, settings, config, printer) == 1) {
      paper.name = paper.id >= 1 && paper.id <= count ? forms[paper.id - 1].pName : nullptr;
    } else {
      paper = {kNoFormPaper, formWidth, formLength, nullptr};
    }
    result = 1;
    if (paper.name != nullptr) {
      LPWSTR copy = GlobalCopyText(paper.name);
      if (copy == nullptr) result = 0;
      paper.name = copy;
    }
  }
  GlobalFree(forms);
  if (result == 1) *answer = paper;
  return result;
}
