// Print margins per paper: the printer-wide PaperMarginTable (printer data "PaperMarginArray")
// and the user's own values (per-user key "Paper Margin", one value per paper), the turn
// between stored order and the caller's order for an orientation, and the look-up that
// prefers the user's value, then the printer's table, then 46 on every side.
#pragma once

#include "core/rules/margin_status.h"
#include "platform/base/types.h"
#include "platform/registry/registry.h"

// Four margins in tenths of a millimetre. In the stores they are kept in stored order; the
// caller sees them turned for the orientation (RotateMargins).
struct PaperMargins {
  DWORD margin[4];
};

inline constexpr DWORD kDefaultMargin = 46;
inline constexpr WORD kPortrait = 1;
inline constexpr WORD kLandscape = 2;
struct PaperMarginTable {
  BYTE* rows;
  DWORD byteSize;
  DWORD rowCount;
};

// A new table from the printer data; empty when the printer holds none, or holds a block that
// is not a whole number of rows. NULL only when the table block cannot be allocated.
PaperMarginTable* LoadPaperMarginTable(HANDLE printer);
// Writes the whole table: 1, -3 when the write fails, -5 for an empty table, -100 for none.
SHORT StorePaperMarginTable(HANDLE printer, const PaperMarginTable* table);
SHORT FreePaperMarginTable(PaperMarginTable* table);
// The stored margins of a paper's row: 1, or -100 (no table or no row).
SHORT FindPaperMargin(const PaperMarginTable* table, WORD paperId, PaperMargins* margins);
// Replaces the paper's row or appends one: 1, or -100 (the table unchanged).
SHORT SetPaperMargin(PaperMarginTable* table, WORD paperId, const PaperMargins* margins);

// Portrait keeps margins 1 and 2 and swaps 3 and 4; landscape gives {3, 4, 1, 2}. Each turn
// is its own inverse. 1, or -5 leaving the target unchanged.
SHORT RotateMargins(WORD direction, WORD orientation, PaperMargins* first, PaperMargins* second);
SHORT ResetMarginsToDefault(PaperMargins* margins);
SHORT GetDefaultMargins(PaperMargins* margins, WORD orientation);
// The table operations in the caller's order for the orientation.
SHORT FindPaperMarginOriented(WORD paperId, PaperMargins* margins, const PaperMarginTable* table, WORD orientation);
SHORT SetPaperMarginOriented(WORD paperId, const PaperMargins* margins, PaperMarginTable* table, WORD orientation);

// Opens the user's "Paper Margin" key, creating it on first use and filling it from the
// machine template (key "Paper Margin" below machineBase under HKEY_LOCAL_MACHINE) when
// there is one. With `path` the caller also gets a copy of the key's path (free it with
// GlobalFree). 1, -1, -4 or -100.
SHORT OpenPaperMarginKey(HANDLE printer, LPCWSTR machineBase, HKEY* key, LPWSTR* path);
// The user's value of a paper: 1; -2 when there is none, or it is not a 20-byte binary value
// of that paper; or the key's error.
SHORT ReadUserPaperMargin(HANDLE printer, LPCWSTR machineBase, WORD paperId, PaperMargins* margins);
// 1; -3 when the write fails; or the key's error.
SHORT WriteUserPaperMargin(HANDLE printer, LPCWSTR machineBase, WORD paperId, const PaperMargins* margins);
SHORT ReadUserPaperMarginOriented(HANDLE printer, LPCWSTR machineBase, WORD paperId, PaperMargins* margins,
                                  WORD orientation);
SHORT WriteUserPaperMarginOriented(HANDLE printer, LPCWSTR machineBase, WORD paperId, const PaperMargins* margins,
                                   WORD orientation);
// Caller to come: the paper-margin table page.
// Without the per-user flag: deletes the printer's table (1 or -100). With it: empties the
// user's key (it is created again without values, and not filled from the template again).
SHORT DeleteUserPaperMargins(HANDLE printer, BOOL perUser, LPCWSTR machineBase);
// The margins of a paper in the caller's order: the user's value (with the per-user flag),
// else the table's row, else the defaults. 1, or -5 for a bad orientation.
SHORT GetPaperMargin(HANDLE printer, WORD paperId, PaperMargins* margins, LPCWSTR machineBase,
                     const PaperMarginTable* table, BOOL perUser, WORD orientation);
// The per-user value name of a paper: its id in decimal. The buffer holds at least 6 characters.
void FormatPaperMarginValueName(WORD paperId, LPWSTR name);
