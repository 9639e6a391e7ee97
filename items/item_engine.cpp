// The item value engine: type and length rules of the item tables plus the item-specific
// rules (flag bits, the inverted flag, packed bytes, the resolution pair, mirrored font angles,
// linked items).
#include "items/item_engine.h"

#include <algorithm>
#include <cstring>

#include "items/item_ids.h"
#include "items/item_index.h"
#include "items/linked_values.h"
#include "platform/base/types.h"

namespace itemengine {
namespace {

// dmPrintQuality and dmYResolution, exchanged together as kItemResolutionPair.
constexpr DWORD kPrintQualityOffset = 90;
constexpr DWORD kYResolutionOffset = 96;

// The escapement of each stored font is also its orientation: writing it writes both, and the
// first font's escapement cannot be read while the two differ.
constexpr DWORD kFont1EscapementOffset = 596;
constexpr DWORD kFont1OrientationOffset = 600;
constexpr DWORD kFont2OrientationOffset = 828;

DWORD ReadU32(const BYTE* p) {
  DWORD v = 0;
  std::memcpy(&v, p, 4);
  return v;
}
void WriteU32(BYTE* p, DWORD v) { std::memcpy(p, &v, 4); }
WORD ReadU16(const BYTE* p) {
  WORD v;
  std::memcpy(&v, p, 2);
  return v;
}
void WriteU16(BYTE* p, WORD v) { std::memcpy(p, &v, 2); }

// The adjustment items pack three bytes into each of four words; the value keeps the bits in
// place.
bool IsPackedByte(SettingItemId id) { return id >= kItemAdjustmentFirst && id <= kItemAdjustmentLast; }

// Ids with a rule of their own beyond what their row says.
constexpr SettingItemId kLastRuleItem = kItemInvertedFlag;
constexpr std::array<bool, kLastRuleItem + 1> FindRuleItems() {
  std::array<bool, kLastRuleItem + 1> rule{};
  for (SettingItemId id : {kItemResolutionPair, kItemInvertedFlag, kItemStampEscapement, kItemJobInfoEscapement,
                           kItemBindingEdge, kItemStaplePosition, kItemPunchPosition})
    rule[id] = true;
  for (SettingItemId id = kItemAdjustmentFirst; id <= kItemAdjustmentLast; ++id) rule[id] = true;
  return rule;
}
constexpr std::array<bool, kLastRuleItem + 1> kRuleItems = FindRuleItems();

bool HasOwnRule(SettingItemId id) { return id <= kLastRuleItem && kRuleItems[id]; }

DWORD PackedByteMask(SettingItemId id) { return DWORD(0xFF) << (8 * ((id - kItemAdjustmentFirst) % 3)); }

// Characters before the first zero among the first maxChars 16-bit characters (maxChars when
// there is none). Reads byte-wise: fields and callers' texts need not be aligned.
DWORD CountChars(const BYTE* text, DWORD maxChars) {
  DWORD n = 0;
  while (n < maxChars && ReadU16(text + 2 * n) != 0) ++n;
  return n;
}

const BYTE* ReadPointer(const void* source) {
  const BYTE* p;
  std::memcpy(&p, source, sizeof p);
  return p;
}

// Writes the low `bytes` bytes of a value (1, 2 or 4) to an unaligned place.
void StoreLow(BYTE* p, DWORD value, DWORD bytes) {
  if (bytes == 1)
    p[0] = BYTE(value);
  else if (bytes == 2)
    WriteU16(p, WORD(value));
  else
    WriteU32(p, value);
}

// The setter's argument check. On success gives the size of the given type, the bytes to store
// and, for a string or font, the caller's data.
struct CheckedWrite {
  DWORD givenSize;
  DWORD storeBytes;
  const BYTE* data;
};

ItemAccessResult CheckItemBuffer(const ItemLayoutRow& row, const ItemRowInfo& info, ValueTypeCode type, DWORD length,
                                 const void* source, CheckedWrite* write) {
  // A flag bit is written from the first byte of the value whatever the length.
  if (info.kind == kKindFlagBit && row.exchangeType == 0) length = 4;
  if (type == row.type)
    write->givenSize = info.size;
  else if (row.exchangeType != 0 && type == row.exchangeType)
    write->givenSize = info.reportedSize;
  else
    return kItemBadType;
  write->data = nullptr;
  if (type == kTypeString) {
    write->data = ReadPointer(source);
    if (write->data == nullptr) return kItemFailed;
    if (row.exchangeType == 0 && length > row.byteLength) return kItemTooLong;
    // The terminator is looked for only within the caller's own length, never beyond it.
    const DWORD n = CountChars(write->data, std::min(row.byteLength, length) / 2);
    if (2 * n + 2 > row.byteLength || 2 * n + 2 > length) return kItemTooLong;
    write->storeBytes = 2 * n + 2;
  } else if (type == kTypeFont) {
    write->data = ReadPointer(source);
    if (write->data == nullptr) return kItemFailed;
    if (row.exchangeType == 0 && length > row.byteLength) return kItemTooLong;
    // The whole LOGFONTW is copied, so a caller's buffer shorter than one is refused.
    if (length < row.byteLength) return kItemTooLong;
    write->storeBytes = row.byteLength;
  } else {
    if (length != write->givenSize) return kItemBadLength;
    write->storeBytes = info.size;
  }
  return kItemDone;
}

// Stores a checked value the way its row says.
void StoreByKind(const ItemLocation& location, const ItemRowInfo& info, const BYTE* given, const CheckedWrite& write) {
  switch (info.kind) {
    case kKindFlagBit: {
      const DWORD word = ReadU32(location.address);
      WriteU32(location.address, given[0] != 0 ? word | info.mask : word & ~info.mask);
      break;
    }
    case kKindString:
    case kKindFont:
      // The caller's text or font may lie inside the record itself.
      std::memmove(location.address, write.data, write.storeBytes);
      break;
    case kKindByte: location.address[0] = given[0]; break;
    case kKindWord: std::memcpy(location.address, given, 2); break;
    case kKindDword: std::memcpy(location.address, given, 4); break;
  }
}

// Reads a number item as a 16-bit value (the items the linked rules consult are 16 bits or
// narrower in their exchange type).
ItemAccessResult ReadWord(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, WORD* value) {
  ValueTypeCode type;
  DWORD length;
  ItemArea area;
  BYTE buffer[8] = {};
  const ItemAccessResult result = dma_GetValue(id, settings, config, &type, &length, buffer, &area);
  if (result == kItemDone) *value = ReadU16(buffer);
  return result;
}

ItemAccessResult WriteWord(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config, WORD value) {
  return dma_SetValue(id, settings, config, kTypeUInt16, 2, &value);
}

ItemAccessResult UpdateLinkedItem(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                                  const BYTE* given, DWORD givenSize) {
  const WORD newValue = givenSize == 1 ? given[0] : ReadU16(given);
  if (id == kItemBindingEdge) {
    WORD mapped;
    if (!MapValueTypeCode(newValue, &mapped)) return kItemFailed;
    return WriteWord(kItemBindingEdgeSource, settings, config, mapped);
  }
  LinkedValueInput input{0, 0, newValue};
  if (ReadWord(kItemPagesPerSheet, settings, config, &input.pagesPerSheet) != kItemDone) return kItemFailed;
  if (const ItemAccessResult r = ReadWord(kItemOrientation, settings, config, &input.orientation); r != kItemDone)
    return r;
  WORD linked;
  if (ComputeLinkedValue(id, input, &linked) != 0) return kItemFailed;
  return WriteWord(id == kItemStaplePosition ? kItemStapleSource : kItemPunchSource, settings, config, linked);
}

// Writing an item with a rule of its own, after the checks passed.
ItemAccessResult SetRuleItem(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                             const ItemLocation& location, const ItemRowInfo& info, const BYTE* given,
                             const CheckedWrite& write) {
  if (id == kItemResolutionPair) {
    const DWORD v = ReadU32(given);
    WriteU16(settings->bytes + kPrintQualityOffset, WORD(v >> 16));
    WriteU16(settings->bytes + kYResolutionOffset, WORD(v));
  } else if (IsPackedByte(id)) {
    const DWORD mask = PackedByteMask(id);
    WriteU32(location.address, (ReadU32(location.address) & ~mask) | (ReadU32(given) & mask));
  } else if (id == kItemInvertedFlag) {
    const DWORD word = ReadU32(location.address);
    WriteU32(location.address, (given[0] & 1) == 0 ? word | info.mask : word & ~info.mask);
  } else {
    StoreByKind(location, info, given, write);
  }
  if (id == kItemStampEscapement) std::memcpy(settings->bytes + kFont1OrientationOffset, given, 4);
  if (id == kItemJobInfoEscapement) std::memcpy(settings->bytes + kFont2OrientationOffset, given, 4);
  if (id == kItemBindingEdge || id == kItemStaplePosition || id == kItemPunchPosition)
    return UpdateLinkedItem(id, settings, config, given, write.givenSize);
  return kItemDone;
}

}  // namespace

ItemAccessResult dma_GetValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode* type, DWORD* length, void* value, ItemArea* area) {
  if (type == nullptr || length == nullptr || value == nullptr || area == nullptr) return kItemFailed;
  ItemLocation location;
  const ItemAccessResult located = LocateIndexedItem(id, settings, config, &location);
  if (located != kItemNoRange) *area = location.area;
  if (located != kItemDone) return located;
  const ItemLayoutRow& row = *location.row;
  const ItemRowInfo& info = GetItemRowInfo(location.row);
  BYTE* out = static_cast<BYTE*>(value);

  DWORD v = 0;
  switch (info.kind) {
    case kKindString:
    case kKindFont: {
      const ULONG_PTR offset = row.offset;
      std::memcpy(out, &offset, sizeof offset);
      *type = row.type;
      *length = info.kind == kKindFont ? row.byteLength : 2 * CountChars(location.address, row.byteLength / 2) + 2;
      return kItemDone;
    }
    case kKindFlagBit: v = (ReadU32(location.address) & info.mask) != 0 ? 1 : 0; break;
    case kKindByte: v = location.address[0]; break;
    case kKindWord: v = ReadU16(location.address); break;
    case kKindDword: v = ReadU32(location.address); break;
  }
  if (HasOwnRule(id)) {
    if (id == kItemStampEscapement &&
        ReadU32(settings->bytes + kFont1EscapementOffset) != ReadU32(settings->bytes + kFont1OrientationOffset))
      return kItemFailed;
    if (id == kItemResolutionPair)
      // Composed unsigned so that a negative dmYResolution does not borrow from the quality.
      v = DWORD(ReadU16(settings->bytes + kPrintQualityOffset)) << 16 | ReadU16(settings->bytes + kYResolutionOffset);
    else if (IsPackedByte(id))
      v &= PackedByteMask(id);
    else if (id == kItemInvertedFlag)
      v ^= 1;
  }
  // The buffer is zero-filled to the reported size, then the value copied: 4 bytes for a flag,
  // else the own type's size. Both together write the zero-extended value over the larger.
  const DWORD copied = info.kind == kKindFlagBit ? 4 : info.size;
  StoreLow(out, v, std::max<DWORD>(copied, info.reportedSize));
  *type = info.reportedType;
  *length = info.reportedSize;
  return kItemDone;
}

ItemAccessResult dma_SetValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode type, DWORD length, const void* source) {
  if (source == nullptr) return kItemFailed;
  ItemLocation location;
  if (const ItemAccessResult r = LocateIndexedItem(id, settings, config, &location); r != kItemDone) return r;
  const ItemRowInfo& info = GetItemRowInfo(location.row);
  CheckedWrite write;
  if (const ItemAccessResult r = CheckItemBuffer(*location.row, info, type, length, source, &write); r != kItemDone)
    return r;
  const BYTE* given = static_cast<const BYTE*>(source);
  if (HasOwnRule(id)) return SetRuleItem(id, settings, config, location, info, given, write);
  StoreByKind(location, info, given, write);
  return kItemDone;
}

}  // namespace itemengine
