// Matching the spooler's forms to the model's papers, and the user paper names that keep a
// paper from being taken for a form of the same name.
#pragma once

#include "core/store/item_store.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/spooler/spooler.h"

// Where IsUserPaperName takes the names of the 20 user paper slots from.
inline constexpr WORD kUserPaperNamesStored = 1;   // the name items of the settings
inline constexpr WORD kUserPaperNamesDefault = 2;  // the default names ("User1", ...)

// 1 when the name begins with the name of one of the user paper slots (compared over that
// name's length). An empty slot name matches nothing. 0 otherwise, for other modes and when a
// stored name cannot be read.
int IsUserPaperName(WORD mode, SettingsRecord* settings, PrinterConfiguration* config, LPCWSTR name);

// How a form is matched: by name or by its number (its 1-based position in the forms list).
inline constexpr WORD kFormMatchByName = 1;
inline constexpr WORD kFormMatchByNumber = 4;
// Flags of FindFormForPaper: which matches to try before the first form that is a paper.
inline constexpr WORD kFormFlagByName = 1;
inline constexpr WORD kFormFlagByNumber = 4;
// The paper number of a size that no form stands for (the custom size).
inline constexpr WORD kNoFormPaper = 256;

// The spooler's forms (level 1) as one new global block with their count (EnumFormsAlloc);
// FALSE when they cannot be read or the count does not fit the block.
BOOL ReadSpoolerForms(HANDLE printer, FORM_INFO_1W** forms, DWORD* count);
// A form's size in tenths of a millimetre ((thousandths + 50) / 100); FALSE when it is
// negative or does not fit 16 bits.
BOOL FormSizeInTenths(const FORM_INFO_1W& form, WORD* width, WORD* length);

// Among the candidate forms (0-based positions into `forms`), the first that the method takes
// (its name equals the query's, or its number the query's id) and that is one of the model's
// papers by name: 1 with {its number, its size, its name (pointing into `forms`)}. By name,
// a query that begins with a user paper name answers 0 at once; by number, a taken form that
// is no paper ends the search.
int MatchFormCandidates(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                        const FORM_INFO_1W* forms, const DWORD* candidates, DWORD count, WORD method,
                        const PaperSpec* query, PaperSpec* answer);
// The form for a paper size: among the forms of that size, by number (flag 4), then by name
// (flag 1), then the first that is one of the model's papers; {256, the query's size, no
// name} when none is. 1 with the answer, whose name is a new block (FreePaperSpecName); 0 when
// the forms cannot be read or memory runs out.
int FindFormForPaper(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                     WORD flags, const PaperSpec* query, PaperSpec* answer);
// Makes the paper that query describes a form the model can print: a built-in form or a paper of the model
// by name is kept (1); otherwise the model's paper of that size and the form of that paper's
// name replace the query's {id, size}, the name becoming NULL (1; the caller keeps ownership of
// the name it passed). 0 with the query unchanged when there is no such paper or form.
int MatchFormToPaper(PaperSpec* query, ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config,
                     HANDLE printer);
// The form at position query->id (method 4) or named query->name (method 1, case-sensitive),
// made printable by MatchFormToPaper: 1 with the paper as that leaves it and the name of the
// form at its position, or {256, the form's size, no name} when it is not printable. The name
// is a new block (FreePaperSpecName). 0 when no form is found, the forms cannot be read or
// memory runs out.
int MatchFormByIndexOrName(ItemStore* store, SettingsRecord* settings, PrinterConfiguration* config, HANDLE printer,
                           WORD method, const PaperSpec* query, PaperSpec* answer);

// The model's colour capability (GetColorCapabilityByte: 2 colour, 1 monochrome, -1 none
// stated, 0xFFFF without a store).
LONG GetModelColorCapability(ItemStore* store);
