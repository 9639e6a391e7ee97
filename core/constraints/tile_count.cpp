#include "core/constraints/tile_count.h"

#include "core/constraints/change_values.h"
#include "core/constraints/paper_sizes.h"
#include "items/item_ids.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

// The items a tile-count answer involves, in the order the answer lists them.
constexpr SettingItemId kTileItems[] = {kItemPaperSize, kItemOutputPaper, kItemTileCount, kItemZoomOn,
                                        kItemZoomPercent};

WORD* NewInvolvedItemList(const ItemChange* change) {
  auto* list = static_cast<WORD*>(GlobalAlloc(GPTR, (std::size(kTileItems) + 1) * sizeof(WORD)));
  if (list == nullptr) return nullptr;
  WORD n = 0;
  for (SettingItemId id : kTileItems)
    if (change == nullptr || change->id != id) list[n++] = id;
  list[n] = 0;
  return list;
}

}  // namespace

WORD CheckTileCount(const SettingsContext* context, const ItemChange* change, WORD** items) {
  if (items == nullptr) return kCheckFailed;
  *items = nullptr;
  if (context == nullptr) return kCheckFailed;
  WORD tiles = 0;
  BYTE poster = 0;
  DWORD posterSet = 0;
  if (!ReadChangeOrItemValue(context, change, kItemTileCount, sizeof tiles, &tiles) ||
      !ReadChangeOrItemValue(context, change, kItemPageLayout, sizeof poster, &poster) ||
      !ReadChangeOrItemValue(context, nullptr, kItemZoomOn, sizeof posterSet, &posterSet))
    return kCheckFailed;
  if (poster != 1 || posterSet == 0) return kCheckDone;

  WORD input = 0, output = 0, scale = 0;
  if (!ReadChangeOrItemValue(context, change, kItemPaperSize, sizeof input, &input) ||
      !ReadChangeOrItemValue(context, change, kItemOutputPaper, sizeof output, &output) ||
      !ReadChangeOrItemValue(context, nullptr, kItemZoomPercent, sizeof scale, &scale))
    return kCheckFailed;
  if (output == kSameAsPaperSize) output = input;
  WORD inWidth = 0, inLength = 0, outWidth = 0, outLength = 0;
  if (GetPrintableSize(context, input, &inWidth, &inLength) != 1 ||
      GetPrintableSize(context, output, &outWidth, &outLength) != 1)
    return kCheckFailed;

  // 64-bit: sizes and the scale are free 16-bit values, whose products overflow 32 bits.
  const LONGLONG columns = tiles >> 8, rows = tiles & 0xFF;
  const LONGLONG dx = outWidth * columns * 100 - static_cast<LONGLONG>(inWidth) * scale;
  const LONGLONG dy = outLength * rows * 100 - static_cast<LONGLONG>(inLength) * scale;
  WORD result = kCheckDone;
  if (dx < 0 || dy < 0)
    result = kTilesTooFew;
  else if (dx >= outWidth * 100LL && dy >= outLength * 100LL)
    result = kTilesTooMany;
  if (result == kCheckDone) return kCheckDone;
  *items = NewInvolvedItemList(change);
  return *items != nullptr ? result : kCheckFailed;
}
