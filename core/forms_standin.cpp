#include "core/forms_standin.h"

#include "platform/base/text.h"
#include "platform/kernel/memory.h"

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
  PaperSpec spec{};
  int result = 0;
  if (index < count && FormSizeInTenths(forms[index], &spec.width, &spec.length)) {
    spec.id = static_cast<WORD>(index + 1);
    spec.name = forms[index].pName;
    const WORD formWidth = spec.width, formLength = spec.length;
    if (MatchFormToPaper(&spec, store, settings, config, printer) == 1) {
      spec.name = spec.id >= 1 && spec.id <= count ? forms[spec.id - 1].pName : nullptr;
    } else {
      spec = {kNoFormPaper, formWidth, formLength, nullptr};
    }
    result = 1;
    if (spec.name != nullptr) {
      const int n = lstrlenW(spec.name);
      auto* copy = static_cast<LPWSTR>(GlobalAlloc(GPTR, (n + 1) * sizeof(WCHAR)));
      if (copy != nullptr) lstrcpyW(copy, spec.name);
      else result = 0;
      spec.name = copy;
    }
  }
  GlobalFree(forms);
  if (result == 1) *answer = spec;
  return result;
}
