// Checking the whole settings once more when a property sheet is applied: the paper must be one
// of the model's, the rules of the main items are evaluated again with their forced values
// written at once, the derived staple and punch positions are brought in line, and the user is
// told which settings changed. A separate check reports a tile count that does not fit. Both
// work on the caller's records in place.
#pragma once

#include "core/constraints/setting_change.h"
#include "core/messages/value_texts.h"
#include "platform/base/types.h"

// Results of ValidateAllSettings besides kCheckFailed and kCheckNoMemory.
inline constexpr WORD kValidationNothingToReport = 3;
inline constexpr WORD kValidationReport = 4;
// Results of ValidateItemOnApply besides kCheckFailed.
inline constexpr WORD kTilesDoNotFit = 11;
inline constexpr WORD kTilesFit = 12;
// SelectPaperByFormName: the paper's form has no name.
inline constexpr WORD kFormWithoutName = 2;
// Characters the tile-count text of ValidateItemOnApply holds at most.
inline constexpr int kApplyTileTextChars = 511;

// Validates the paper (by the spooler's form name first when checkForms is set), the rules of
// the main items and the derived position items, and resets the job type of a job without a
// user text. 4 with the report (string `reportString` filled with a line for each changed item;
// the caller frees it), 3 when nothing changed or the first change was the paper source, 1 on
// a failure or missing argument, 2 out of memory. Settings already changed stay changed; the
// orientation is always what it was before its rules were evaluated.
WORD ValidateAllSettings(BOOL checkForms, HMODULE module, HANDLE printer, ItemStore* store, SettingsRecord* settings,
                         PrinterConfiguration* config, UINT reportString, const MeasurementFlags* flags,
                         LPWSTR* report);

// 12 the tiles fit; 11 they do not, with the text (at most 511 characters in a new 1,024-byte
// block the caller frees); 1 on failure or a missing argument or check flag.
WORD ValidateItemOnApply(HMODULE module, BOOL check, ItemStore* store, SettingsRecord* settings,
                         PrinterConfiguration* config, const MeasurementFlags* flags, LPWSTR* text);

// The paper by the name of the spooler's form its number stands for: a built-in form that is one
// of the model's papers is kept; otherwise the model's paper of the form's name is taken. 0 done,
// 1 failure, 2 the form has no name, or the status that ended the walk of the model's papers.
WORD SelectPaperByFormName(HANDLE printer, const SettingsContext* context);
// The paper must have a choice in the model, else it becomes the model's default (listed).
WORD ValidatePaperItem(BOOL checkForms, HANDLE printer, const SettingsContext* context, WORD** list, WORD* count);
// The rules of the main items evaluated again at apply time, then the derived position items.
WORD RevalidateItems(HANDLE printer, const SettingsContext* context, WORD** list, WORD* count);
