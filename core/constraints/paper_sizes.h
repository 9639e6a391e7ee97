// Paper sizes as the size checks measure them (tenths of a millimetre): the size of a paper
// id, the printable size the poster check tiles with, and the custom-size range a paper
// source or output bin takes.
#pragma once

#include "core/constraints/setting_change.h"
#include "core/constraints/range_read_status.h"
#include "platform/base/types.h"

// The output paper (item 262) value "same as the paper size": the paper of item 8.
inline constexpr WORD kSameAsPaperSize = 267;

// The paper's width and length: a user-defined paper from its slot's width and length items,
// any other from the size pair of its paper record. kDbOk, or the failure of the read
// (kDbNoMemory without memory).
WORD GetPaperSizeById(const SettingsContext* context, WORD paperId, WORD* width, WORD* length);
// The width and length items of a user-defined paper's slot. FALSE for another id.
BOOL GetUserPaperSize(const SettingsContext* context, WORD paperId, WORD* width, WORD* length);

// The size a page of this paper can be printed on. A user-defined paper: its size less the
// paper record's two margin pairs, kept within the record's minimum and maximum size; any other
// paper: the record's minimum-size pair. 1, or 0 when the paper or its record cannot be read.
int GetPrintableSize(const SettingsContext* context, WORD paperId, WORD* width, WORD* length);

// The smallest and largest custom size of a paper source (record type 5) or output bin (type
// 6): kRangeRead, kRangeNoCustomPaper (outputs untouched) or kRangeFailed.
struct CustomSizeRange {
  WORD minWidth;
  WORD minLength;
  WORD maxWidth;
  WORD maxLength;
};
WORD GetSourceCustomRange(const ItemStore* store, WORD recordType, WORD key, CustomSizeRange* range);

// Whether the size lies within the range as it is, and turned by a quarter (the length against
// the width range and the width against the length range).
bool SizeFitsRange(const CustomSizeRange& range, WORD width, WORD length);
bool SizeFitsRangeTurned(const CustomSizeRange& range, WORD width, WORD length);
