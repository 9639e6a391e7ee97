// Paper margins that leave no printable area: the fit of one paper's margins along one
// dimension, the sweep over the papers with a size range, their reset to the defaults and the
// warning that tells the user about it.
#pragma once

#include "core/constraints/setting_change.h"
#include "core/rules/paper_margins.h"
#include "platform/base/types.h"

// Dimensions of CheckMarginFit.
inline constexpr WORD kMarginWidth = 0;
inline constexpr WORD kMarginLength = 1;
// Results of the margin checks.
inline constexpr int kMarginsFit = 1;
inline constexpr int kMarginsDoNotFit = -1;
inline constexpr int kMarginCheckFailed = 0;
// Papers the sweep looks at: the first 20 with a size range.
inline constexpr int kMarginSweepPapers = 20;
// The message id that asks BuildMarginWarningText for the text itself.
inline constexpr LONG kMarginTextOnly = -3;

// Whether the two margins of the dimension leave room on the paper: their sum must be smaller
// than the size along it. With useStored the paper's stored margins (the user's value with
// the per-user flag, else the table's row, else the defaults) are tested against *newSize;
// otherwise the given margins (in the orientation's order) against the paper's own size. The
// orientation (item 7) decides which margins lie along the width: portrait the left and
// right, landscape the top and bottom of its order. 1 fit, -1 not, 0 error.
int CheckMarginFit(const SettingsContext* context, HANDLE printer, WORD paperId, WORD dimension,
                   const PaperMargins* margins, const WORD* newSize, const PaperMarginTable* table, BOOL perUser,
                   BOOL useStored);
// The margin pages' check of one change: with sizeChange the stored margins of the paper
// against a new width (dimension 0) or length (1) of `value`; without it the given margins
// with margin `index` replaced by `value` against the paper's size, along both dimensions.
// The per-user flag is item 463 of the settings.
int CheckPaperSizeMargins(const SettingsContext* context, HANDLE printer, const PaperMargins* margins, WORD paperId,
                          WORD index, DWORD value, BOOL sizeChange);
// Every paper with a size range (the first 20) checked with its stored margins: 1 all fit; -1
// with the ids of those that do not in `ids` (the rest 0); 0 on an error.
int CheckAllPaperMargins(HANDLE printer, SettingsRecord* settings, PrinterConfiguration* config, ItemStore* store,
                         BOOL perUser, WORD ids[kMarginSweepPapers]);
// The listed papers' margins become the defaults in the user's store (perUser) or the
// printer's table; item 463 then holds perUser. 1, or 0 on a failure.
int ResetPaperMargins(HANDLE printer, const SettingsContext* context, BOOL perUser,
                      const WORD ids[kMarginSweepPapers]);
// One line per listed paper (its name and size, that it is too small for its margins, the
// default margin it got), joined. With `append` the lines are added to *text (a new block
// replaces it); otherwise *text becomes the lines alone (messageId -3) or message messageId
// formatted with them. 1 (also with no paper listed: nothing changes), 0 on failure.
int BuildMarginWarningText(HMODULE module, const SettingsContext* context, LONG messageId,
                           const WORD ids[kMarginSweepPapers], LPWSTR* text, BOOL append);
