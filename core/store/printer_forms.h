// The spooler's forms database, read by form number, and the model's papers the forms map to.
#pragma once

#include "core/store/form_status.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler.h"

// Statuses in form_status.h. ReadFormName: kFormNotFound beyond the form count,
// kFormFailed without forms or when the enumeration failed, kFormNoMemory for form 0, no output
// or no memory.
int EnumFormsAlloc(HANDLE printer, FORM_INFO_1W** forms, DWORD* needed, DWORD* count);
int IsBuiltinForm(HANDLE printer, DWORD form);
DWORD PaperSizeToFormIndex(DWORD paperSize);
int ReadFormName(HANDLE printer, DWORD form, LPWSTR* name);
LPWSTR GetFormNameByIndex(HANDLE printer, DWORD form);

// The model's papers: the type-10 records that the choices of item 8 (dmPaperSize) stand for;
// a paper's id is its record's key. 1 when a choice stands for that paper, else 0.
int IsDatabasePaperSize(HANDLE printer, DWORD paperSize);
// The model's paper for form `form`: a built-in form that is one of the papers is its own
// paper; otherwise the first paper whose name equals the form's name (case-sensitive). kFormDone
// with the paper id, else kFormNotFound (no paper of the form's name, or no such form),
// kFormFailed (no forms, no database, or a choice unreadable) or kFormNoMemory, with the id 0.
int MapFormToPaperId(HANDLE printer, DWORD form, WORD* paperId);
