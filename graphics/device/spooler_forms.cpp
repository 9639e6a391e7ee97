#include "graphics/device/spooler_forms.h"

#include <cstring>

#include "core/store/form_status.h"
#include "core/store/printer_forms.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"

int GetFormByName(HANDLE printer, LPCWSTR formName, FORM_INFO_1W** block) {
  if (block == nullptr) return kFormNoMemory;
  *block = nullptr;
  if (formName == nullptr) return kFormNoMemory;
  DWORD needed = 0;
  if (!GetFormW(printer, formName, 1, nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return kFormNotFound;
  if (needed < sizeof(FORM_INFO_1W)) return kFormFailed;
  auto* form = static_cast<FORM_INFO_1W*>(GlobalAlloc(GPTR, needed));
  if (form == nullptr) return kFormNoMemory;
  if (!GetFormW(printer, formName, 1, reinterpret_cast<LPBYTE>(form), needed, &needed)) {
    GlobalFree(form);
    return kFormFailed;
  }
  *block = form;
  return kFormDone;
}

int GetFormByIndex(HANDLE printer, DWORD index, FORM_INFO_1W** block) {
  if (block == nullptr) return kFormNoMemory;
  *block = nullptr;
  if (index == 0) return kFormNoMemory;
  FORM_INFO_1W* forms = nullptr;
  DWORD needed = 0, count = 0;
  const int listed = EnumFormsAlloc(printer, &forms, &needed, &count);
  if (listed != kFormDone) return listed == kFormNoMemory ? kFormNoMemory : kFormFailed;
  int status = count == 0 ? kFormFailed : index > count ? kFormNotFound : kFormDone;
  if (status == kFormDone) {
    auto* copy = static_cast<BYTE*>(GlobalAlloc(GPTR, kIndexedFormBlockSize));
    if (copy == nullptr) {
      status = kFormNoMemory;
    } else {
      auto* form = reinterpret_cast<FORM_INFO_1W*>(copy);
      *form = forms[index - 1];
      auto* name = reinterpret_cast<LPWSTR>(copy + sizeof(FORM_INFO_1W));
      if (forms[index - 1].pName != nullptr) lstrcpynW(name, forms[index - 1].pName, kIndexedFormNameChars);
      form->pName = name;
      *block = form;
    }
  }
  GlobalFree(forms);
  return status;
}

int GetFormSize(HANDLE printer, LPCWSTR formName, DWORD index, WORD size[6]) {
  FORM_INFO_1W* form = nullptr;
  const int status = formName != nullptr ? GetFormByName(printer, formName, &form)
                                         : GetFormByIndex(printer, index, &form);
  if (status != kFormDone) return status;
  const LONG thousandths[6] = {form->Size.cx,         form->Size.cy,           form->ImageableArea.left,
                               form->ImageableArea.top, form->ImageableArea.right, form->ImageableArea.bottom};
  for (int i = 0; i < 6; ++i) size[i] = static_cast<WORD>((thousandths[i] + 50) / 100);
  GlobalFree(form);
  return kFormDone;
}

DWORD FindBuiltinFormIndex(HANDLE printer, LPCWSTR formName) {
  if (formName == nullptr) return 0;
  FORM_INFO_1W* forms = nullptr;
  DWORD needed = 0, count = 0;
  if (EnumFormsAlloc(printer, &forms, &needed, &count) != kFormDone) return 0;
  DWORD position = 0;
  for (DWORD i = 0; i < count && position == 0; ++i)
    if (forms[i].pName != nullptr && lstrcmpW(forms[i].pName, formName) == 0) position = i + 1;
  if (position != 0 && (forms[position - 1].Flags & FORM_BUILTIN) == 0) position = 0;
  GlobalFree(forms);
  return position;
}
