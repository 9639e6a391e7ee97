// The spooler's forms database, read by form number.
#include "core/store/printer_forms.h"

#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/global_copy.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/spooler/spooler.h"

int EnumFormsAlloc(HANDLE printer, FORM_INFO_1W** forms, DWORD* needed, DWORD* count) {
  if (forms == nullptr || needed == nullptr || count == nullptr) return kFormNoMemory;
  *forms = nullptr;
  *needed = 0;
  *count = 0;
  if (EnumFormsW(printer, 1, nullptr, 0, needed, count) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return kFormFailed;
  BYTE* block = static_cast<BYTE*>(GlobalAlloc(GPTR, *needed));
  if (block == nullptr) return kFormNoMemory;
  if (!EnumFormsW(printer, 1, block, *needed, needed, count)) {
    GlobalFree(block);
    *count = 0;
    return kFormFailed;
  }
  *forms = reinterpret_cast<FORM_INFO_1W*>(block);
  return kFormDone;
}

int IsBuiltinForm(HANDLE printer, DWORD form) {
  FORM_INFO_1W* forms;
  DWORD needed, count;
  if (form == 0 || EnumFormsAlloc(printer, &forms, &needed, &count) != kFormDone) return 0;
  const int builtin = form <= count && (forms[form - 1].Flags & FORM_BUILTIN) != 0;
  GlobalFree(forms);
  return builtin;
}

DWORD PaperSizeToFormIndex(DWORD paperSize) { return paperSize; }

int ReadFormName(HANDLE printer, DWORD form, LPWSTR* name) {
  if (form == 0 || name == nullptr) return kFormNoMemory;
  *name = nullptr;
  FORM_INFO_1W* forms;
  DWORD needed, count;
  const int listed = EnumFormsAlloc(printer, &forms, &needed, &count);
  if (listed != kFormDone) return listed == kFormNoMemory ? kFormNoMemory : kFormFailed;
  int result = count == 0 ? kFormFailed : form > count ? kFormNotFound : kFormDone;
  if (result == kFormDone) {
    LPCWSTR formName = forms[form - 1].pName;
    *name = GlobalCopyText(formName);
    if (*name == nullptr) result = kFormNoMemory;
  }
  GlobalFree(forms);
  return result;
}

LPWSTR GetFormNameByIndex(HANDLE printer, DWORD form) {
  LPWSTR name = nullptr;
  return ReadFormName(printer, form, &name) == kFormDone ? name : nullptr;
}

namespace {

// Reads choice n of item 8 and the paper record it stands for (NULL when it stands for none):
// the database status of reading the choice.
WORD ReadPaperChoice(const ItemStore* store, WORD n, DatabaseRecord** paper) {
  *paper = nullptr;
  WORD type;
  ScopedRecord entry;
  const WORD status = ReadChoiceRecord(FALSE, store->main, store->linked, kItemPaperSize, n, &type, &entry.record);
  if (status != kDbOk) return status;
  WORD paperType;
  if (ReadReferencedRecord(FALSE, store->main, store->linked, entry.record, &paperType, paper) == kDbOk &&
      paperType != 10)
    FreeRecord(paper, kDbAnyType);
  return kDbOk;
}

bool ListsPaper(const ItemStore* store, DWORD paperId) {
  for (WORD n = 1;; ++n) {
    ScopedRecord paper;
    if (ReadPaperChoice(store, n, &paper.record) != kDbOk) return false;
    if (paper.record != nullptr && paper.record->h.key == paperId) return true;
  }
}

// The status of a choice read that ended the walk; a read failure must not read as "mapped".
int WalkEndStatus(WORD status) {
  return status == kDbAbsent ? kFormNotFound : status == kDbNoMemory ? kFormNoMemory : kFormFailed;
}

}  // namespace

int IsDatabasePaperSize(HANDLE printer, DWORD paperSize) {
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return 0;
  const int listed = ListsPaper(store, paperSize) ? 1 : 0;
  CloseItemStore(store);
  return listed;
}

int MapFormToPaperId(HANDLE printer, DWORD form, WORD* paperId) {
  if (paperId == nullptr) return kFormFailed;
  *paperId = 0;
  if (form == 0) return kFormNotFound;
  ItemStore* store = OpenItemStore(printer);
  if (store == nullptr) return kFormFailed;
  int result;
  LPWSTR formName = nullptr;
  if (IsBuiltinForm(printer, form) && ListsPaper(store, form)) {
    *paperId = WORD(form);
    result = kFormDone;
  } else if ((result = ReadFormName(printer, form, &formName)) == kFormDone) {
    for (WORD n = 1;; ++n) {
      ScopedRecord paper;
      const WORD status = ReadPaperChoice(store, n, &paper.record);
      if (status != kDbOk) {
        result = WalkEndStatus(status);
        break;
      }
      LPCWSTR name = paper.record != nullptr ? GetRecordName(paper.record) : nullptr;
      if (name != nullptr && lstrcmpW(name, formName) == 0) {
        *paperId = paper.record->h.key;
        break;
      }
    }
    GlobalFree(formName);
  } else if (result != kFormNoMemory) {
    result = result == kFormNotFound ? kFormNotFound : kFormFailed;
  }
  CloseItemStore(store);
  return result;
}
