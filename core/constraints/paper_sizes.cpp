#include "core/constraints/paper_sizes.h"

#include <algorithm>

#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/types.h"

namespace {

// The first user-defined paper: a source that lists it takes custom sizes.
constexpr WORD kCustomPaperKey = 262;

WORD ReadPaperRecord(const ItemStore* store, WORD paperId, ScopedRecord* paper) {
  return store == nullptr ? kDbFailed : ReadKeyedRecord(FALSE, store->main, store->linked, 10, paperId, 0, &paper->record);
}

// A signed size kept within [low, high] (high wins when the two cross).
WORD KeepWithin(LONG size, WORD low, WORD high) {
  return static_cast<WORD>(std::min<LONG>(std::max<LONG>(size, low), high));
}

}  // namespace

BOOL GetUserPaperSize(const SettingsContext* context, WORD paperId, WORD* width, WORD* length) {
  if (context == nullptr || width == nullptr || length == nullptr || !IsUserPaperId(paperId)) return FALSE;
  const WORD slot = UserPaperIdToIndex(paperId);
  ValueTypeCode type = 0;
  ItemValueCell w{}, l{};
  if (ReadCurrentValue(context, static_cast<SettingItemId>(kItemUserPaperWidth + slot), &type, &w) != kItemDone ||
      ReadCurrentValue(context, static_cast<SettingItemId>(kItemUserPaperLength + slot), &type, &l) != kItemDone)
    return FALSE;
  *width = w.word;
  *length = l.word;
  return TRUE;
}

WORD GetPaperSizeById(const SettingsContext* context, WORD paperId, WORD* width, WORD* length) {
  if (context == nullptr || width == nullptr || length == nullptr) return kDbFailed;
  if (IsUserPaperId(paperId)) return GetUserPaperSize(context, paperId, width, length) ? kDbOk : kDbFailed;
  ScopedRecord paper;
  SizePairElement size{};
  WORD status = ReadPaperRecord(context->store, paperId, &paper);
  if (status == kDbOk) status = GetPaperRecordSize(paper.record, &size);
  if (status != kDbOk) return status;
  *width = size.width;
  *length = size.length;
  return kDbOk;
}

int GetPrintableSize(const SettingsContext* context, WORD paperId, WORD* width, WORD* length) {
  if (context == nullptr || width == nullptr || length == nullptr) return 0;
  ScopedRecord paper;
  SizePairElement minimum{}, maximum{};
  if (ReadPaperRecord(context->store, paperId, &paper) != kDbOk || GetPaperRecordMinSize(paper.record, &minimum) != kDbOk)
    return 0;
  if (!IsUserPaperId(paperId)) {
    *width = minimum.width;
    *length = minimum.length;
    return 1;
  }
  WORD w = 0, l = 0;
  SizePairElement first{}, second{};
  if (!GetUserPaperSize(context, paperId, &w, &l) || GetPaperRecordMargins(paper.record, &first, &second) != kDbOk ||
      GetPaperRecordMaxSize(paper.record, &maximum) != kDbOk)
    return 0;
  // Margins wider than the paper leave the smallest printable size, never a wrapped one.
  *width = KeepWithin(static_cast<LONG>(w) - first.width - second.width, minimum.width, maximum.width);
  *length = KeepWithin(static_cast<LONG>(l) - first.length - second.length, minimum.length, maximum.length);
  return 1;
}

WORD GetSourceCustomRange(const ItemStore* store, WORD recordType, WORD key, CustomSizeRange* range) {
  if (store == nullptr || range == nullptr || (recordType != 5 && recordType != 6)) return kRangeFailed;
  ScopedRecord source;
  const WORD read = ReadKeyedRecord(FALSE, store->main, store->linked, recordType, key, 0, &source.record);
  if (read != kDbOk) return read == kDbNoMemory ? kRangeNoMemory : kRangeFailed;
  bool offersCustomPaper = false;
  KeyElement paper{};
  for (WORD n = 1; !offersCustomPaper && GetSourcePaperEntry(source.record, n, &paper) == kDbOk; ++n)
    offersCustomPaper = paper.key == kCustomPaperKey;
  if (!offersCustomPaper) return kRangeNoCustomPaper;
  SizePairElement minimum{}, maximum{};
  if (GetSourceMinCustomSize(source.record, &minimum) != kDbOk ||
      GetSourceMaxCustomSize(source.record, &maximum) != kDbOk)
    return kRangeFailed;
  *range = {minimum.width, minimum.length, maximum.width, maximum.length};
  return kRangeRead;
}

bool SizeFitsRange(const CustomSizeRange& range, WORD width, WORD length) {
  return width >= range.minWidth && width <= range.maxWidth && length >= range.minLength && length <= range.maxLength;
}

bool SizeFitsRangeTurned(const CustomSizeRange& range, WORD width, WORD length) {
  return SizeFitsRange(range, length, width);
}
