// The spooler's forms database, read by form number.
#include "core/printer_config.h"

#include "platform/platform.h"

int EnumFormsAlloc(HANDLE printer, FORM_INFO_1W** forms, DWORD* needed, DWORD* count) {
  if (forms == nullptr || needed == nullptr || count == nullptr) return 10;
  *forms = nullptr;
  *needed = 0;
  *count = 0;
  if (EnumFormsW(printer, 1, nullptr, 0, needed, count) || GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 3;
  BYTE* block = static_cast<BYTE*>(GlobalAlloc(GPTR, *needed));
  if (block == nullptr) return 10;
  if (!EnumFormsW(printer, 1, block, *needed, needed, count)) {
    GlobalFree(block);
    *count = 0;
    return 3;
  }
  *forms = reinterpret_cast<FORM_INFO_1W*>(block);
  return 1;
}

int IsBuiltinForm(HANDLE printer, DWORD form) {
  FORM_INFO_1W* forms;
  DWORD needed, count;
  if (form == 0 || EnumFormsAlloc(printer, &forms, &needed, &count) != 1) return 0;
  const int builtin = form <= count && (forms[form - 1].Flags & FORM_BUILTIN) != 0;
  GlobalFree(forms);
  return builtin;
}

DWORD PaperSizeToFormIndex(DWORD paperSize) { return paperSize; }

int ReadFormName(HANDLE printer, DWORD form, LPWSTR* name) {
  if (form == 0 || name == nullptr) return 10;
  *name = nullptr;
  FORM_INFO_1W* forms;
  DWORD needed, count;
  const int listed = EnumFormsAlloc(printer, &forms, &needed, &count);
  if (listed != 1) return listed == 10 ? 10 : 3;
  int result = count == 0 ? 3 : form > count ? 2 : 1;
  if (result == 1) {
    LPCWSTR formName = forms[form - 1].pName;
    *name = static_cast<LPWSTR>(GlobalAlloc(GPTR, (lstrlenW(formName) + 1) * sizeof(WCHAR)));
    if (*name != nullptr) lstrcpyW(*name, formName);
    else result = 10;
  }
  GlobalFree(forms);
  return result;
}

LPWSTR GetFormNameByIndex(HANDLE printer, DWORD form) {
  LPWSTR name = nullptr;
  return ReadFormName(printer, form, &name) == 1 ? name : nullptr;
}
