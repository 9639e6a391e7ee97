#include "core/persist/form_matching.h"

#include "core/descriptors/item_descriptors.h"
#include "core/descriptors/user_paper_name.h"
#include "core/store/item_access.h"
#include "core/store/printer_forms.h"
#include "items/item_ids.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

namespace {

// Characters of the default user paper names (the stored names are bounded by their field).
constexpr int kDefaultUserPaperChars = 32;

// 1 when the model has a paper of that name among the choices of its paper item.
bool IsModelPaperName(ItemStore* store, LPCWSTR name) {
  if (name == nullptr) return false;
  PaperSpec query{0, 0, 0, const_cast<LPWSTR>(name)};
  PaperSpec found{};
  WORD status = 0;
  if (FindPaper(store, kItemPaperSize, kFindPaperByName, &query, &found, &status) != 1) return false;
  FreePaperSpecName(&found);
  return true;
}

// {number, size, name} of the form at 0-based position `index`; FALSE for a size that does
// not fit.
bool DescribeForm(const FORM_INFO_1W* forms, DWORD index, PaperSpec* query) {
  WORD width = 0, length = 0;
  if (!FormSizeInTenths(forms[index], &width, &length)) return false;
  *query = {static_cast<WORD>(index + 1), width, length, forms[index].pName};
  return true;
}

}  // namespace

int IsUserPaperName(WORD mode, SettingsRecord* settings, PrinterConfiguration* config, LPCWSTR name) {
  if (name == nullptr || (mode != kUserPaperNamesStored && mode != kUserPaperNamesDefault)) return 0;
  const size_t nameLength = static_cast<size_t>(lstrlenW(name));
  for (int n = 0; n < kUserPaperSlots; ++n) {
    WCHAR defaultName[kDefaultUserPaperChars + 1] = {};
    const WCHAR* candidate = defaultName;
    size_t length = 0;
    if (mode == kUserPaperNamesStored) {
      ItemValueCell cell{};
      ValueTypeCode type = 0;
      DWORD bytes = 0;
      if (GetItemValue(static_cast<SettingItemId>(kItemUserPaperName + n), settings, config, &type, &bytes, &cell) !=
              kItemDone ||
          type != kTypeString || cell.data == nullptr)
        return 0;
      // The stored field need not end with a terminator: its length bounds the name.
      candidate = static_cast<const WCHAR*>(cell.data);
      length = wcsnlen(candidate, bytes / sizeof(WCHAR));
    } else {
      if (FormatUserPaperName(n, defaultName, kDefaultUserPaperChars + 1) != 1) continue;
      length = static_cast<size_t>(lstrlenW(defaultName));
    }
    // An empty slot has no name: it would otherwise be the beginning of every name.
    if (length > 0 && length <= nameLength && wcsncmp(name, candidate, length) == 0) return 1;
  }
  return 0;
}

BOOL ReadSpoolerForms(HANDLE printer, FORM_INFO_1W** forms, DWORD* count) {
  DWORD needed = 0;
  if (forms == nullptr || count == nullptr || EnumFormsAlloc(printer, forms, &needed, count) != kFormDone) return FALSE;
  // The count must fit the block the spooler filled.
  if (*count > needed / sizeof(FORM_INFO_1W)) {
    GlobalFree(*forms);
    *forms = nullptr;
    *count = 0;
    return FALSE;
  }
  return TRUE;
}

BOOL FormSizeInTenths(const FORM_INFO_1W& form, WORD* width, WORD* length) {
  constexpr LONG kMaxThousandths = 0xFFFF * 100 + 49;
  if (form.Size.cx < 0 || form.Size.cy < 0 || form.Size.cx > kMaxThousandths || form.Size.cy > kMaxThousandths)
    return FALSE;
  *width = static_cast<WORD>((form.Size.cx + 50) / 100);
  *length = static_cast<WORD>((form.Size.cy + 50) / 100);
  return TRUE;
}

int MatchFormCandidates(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                        const FORM_INFO_1W* forms, const DWORD* candidates, DWORD count, WORD method,
                        const PaperSpec* query, PaperSpec* answer) {
  if (forms == nullptr || candidates == nullptr || query == nullptr || answer == nullptr) return 0;
  if (method != kFormMatchByName && method != kFormMatchByNumber) return 0;
  if (method == kFormMatchByName &&
      (query->name == nullptr || IsUserPaperName(kUserPaperNamesStored, settings, config, query->name) == 1))
    return 0;
  for (DWORD i = 0; i < count; ++i) {
    const DWORD index = candidates[i];
    const FORM_INFO_1W& form = forms[index];
    const bool taken = method == kFormMatchByName ? form.pName != nullptr && wcscmp(form.pName, query->name) == 0
                                                  : index + 1 == query->id;
    if (!taken) continue;
    PaperSpec query{};
    if (IsModelPaperName(store, form.pName) && DescribeForm(forms, index, &query)) {
      *answer = query;
      return 1;
    }
    if (method == kFormMatchByNumber) return 0;
  }
  return 0;
}

int FindFormForPaper(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                     WORD flags, const PaperSpec* query, PaperSpec* answer) {
  if (query == nullptr || answer == nullptr) return 0;
  FORM_INFO_1W* forms = nullptr;
  DWORD formCount = 0;
  if (!ReadSpoolerForms(printer, &forms, &formCount)) return 0;
  auto* candidates = static_cast<DWORD*>(GlobalAlloc(GPTR, (formCount + 1) * sizeof(DWORD)));
  if (candidates == nullptr) {
    GlobalFree(forms);
    return 0;
  }
  DWORD count = 0;
  for (DWORD i = 0; i < formCount; ++i) {
    WORD width = 0, length = 0;
    if (FormSizeInTenths(forms[i], &width, &length) && SizesMatch(width, length, query->width, query->length))
      candidates[count++] = i;
  }
  PaperSpec found{kNoFormPaper, query->width, query->length, nullptr};
  bool matched = (flags & kFormFlagByNumber) != 0 &&
                 MatchFormCandidates(store, settings, config, forms, candidates, count, kFormMatchByNumber, query,
                                     &found) == 1;
  if (!matched && (flags & kFormFlagByName) != 0 && query->name != nullptr)
    matched = MatchFormCandidates(store, settings, config, forms, candidates, count, kFormMatchByName, query,
                                  &found) == 1;
  for (DWORD i = 0; !matched && i < count; ++i)
    matched = IsModelPaperName(store, forms[candidates[i]].pName) && DescribeForm(forms, candidates[i], &found);
  if (!matched) found = {kNoFormPaper, query->width, query->length, nullptr};
  // The name points into the forms block: copy it before the block goes.
  int result = 1;
  if (found.name != nullptr) {
    found.name = GlobalCopyText(found.name);
    if (found.name == nullptr) result = 0;
  }
  GlobalFree(candidates);
  GlobalFree(forms);
  if (result == 1) *answer = found;
  return result;
}

int MatchFormToPaper(PaperSpec* query, ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                     HANDLE printer) {
  if (query == nullptr) return 0;
  if (IsBuiltinForm(printer, query->id) == 1 || IsModelPaperName(store, query->name)) return 1;
  PaperSpec paper{};
  WORD status = 0;
  if (FindPaper(store, kItemPaperSize, kFindPaperBySize, query, &paper, &status) != 1) return 0;
  PaperSpec form{};
  const int found =
      MatchFormByIndexOrName(store, settings, config, printer, kFormMatchByName, &paper, &form);
  FreePaperSpecName(&paper);
  if (found != 1) return 0;
  FreePaperSpecName(&form);
  *query = {form.id, form.width, form.length, nullptr};
  return 1;
}

int MatchFormByIndexOrName(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                           WORD method, const PaperSpec* query, PaperSpec* answer) {
  if (query == nullptr || answer == nullptr) return 0;
  if (method != kFormMatchByName && method != kFormMatchByNumber) return 0;
  if (method == kFormMatchByName && query->name == nullptr) return 0;
  FORM_INFO_1W* forms = nullptr;
  DWORD count = 0;
  if (!ReadSpoolerForms(printer, &forms, &count)) return 0;
  DWORD index = count;
  for (DWORD i = 0; i < count && index == count; ++i) {
    const bool taken = method == kFormMatchByNumber
                           ? i + 1 == query->id
                           : forms[i].pName != nullptr && wcscmp(forms[i].pName, query->name) == 0;
    if (taken) index = i;
  }
  PaperSpec paper{};
  int result = 0;
  if (index < count && DescribeForm(forms, index, &paper)) {
    const WORD formWidth = paper.width, formLength = paper.length;
    if (MatchFormToPaper(&paper, store, settings, config, printer) == 1)
      paper.name = paper.id >= 1 && paper.id <= count ? forms[paper.id - 1].pName : nullptr;
    else
      paper = {kNoFormPaper, formWidth, formLength, nullptr};
    // The name points into the forms block: copy it before the block goes.
    result = 1;
    if (paper.name != nullptr) {
      paper.name = GlobalCopyText(paper.name);
      if (paper.name == nullptr) result = 0;
    }
  }
  GlobalFree(forms);
  if (result == 1) *answer = paper;
  return result;
}

LONG GetModelColorCapability(ItemStore* store) { return GetColorCapabilityByte(store); }
