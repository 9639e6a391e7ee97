// The item value engine: type and length rules of the item tables plus the item-specific
// rules (flag bits, the inverted flag, packed bytes, the resolution pair, mirrored font angles,
// linked items).
#include "dataaccess/item_engine.h"

#include <algorithm>
#include <cstring>

#include "dataaccess/linked_values.h"

namespace itemengine {
namespace {

// dmPrintQuality and dmYResolution, exchanged together as item 14.
constexpr SettingItemId kResolutionPair = 14;
constexpr DWORD kPrintQualityOffset = 90;
constexpr DWORD kYResolutionOffset = 96;

// Items 392 to 403 pack three bytes into each of four words; the value keeps the bits in
// place.
constexpr SettingItemId kFirstPackedByte = 392;
constexpr SettingItemId kLastPackedByte = 403;

// A flag stored with the opposite sense: set means "off".
constexpr SettingItemId kInvertedFlag = 1284;

// The escapement of each stored font is also its orientation: writing it writes both, and the
// first font's escapement cannot be read while the two differ.
constexpr SettingItemId kFont1Escapement = 311;
constexpr DWORD kFont1EscapementOffset = 596;
constexpr DWORD kFont1OrientationOffset = 600;
constexpr SettingItemId kFont2Escapement = 364;
constexpr DWORD kFont2OrientationOffset = 828;

// Linked items and the items their recomputation reads.
constexpr SettingItemId kPositionItem = 267, kPositionLinked = 325;
constexpr SettingItemId kStapleItem = 320, kStapleLinked = 326;
constexpr SettingItemId kPunchItem = 341, kPunchLinked = 344;
constexpr SettingItemId kOrientationItem = 7;
constexpr SettingItemId kPagesPerSheetItem = 295;

DWORD ReadU32(const BYTE* p) {
  DWORD v;
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

bool IsPackedByte(SettingItemId id) { return id >= kFirstPackedByte && id <= kLastPackedByte; }

DWORD PackedByteMask(SettingItemId id) { return DWORD(0xFF) << (8 * ((id - kFirstPackedByte) % 3)); }

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

// The setter's argument check. On success gives the size of the given type, the bytes to store
// and, for a string or font, the caller's data.
struct CheckedWrite {
  DWORD givenSize;
  DWORD storeBytes;
  const BYTE* data;
};

ItemAccessResult CheckItemBuffer(SettingItemId id, const ItemLocation& location, ValueTypeCode type,
                                 DWORD length, const void* source, CheckedWrite* write) {
  const ItemLayoutRow& row = *location.row;
  // A flag bit is written from the first byte of the value whatever the length.
  if (IsFlagBitItem(id) && row.exchangeType == 0) length = 4;
  if (type == row.type) {
    write->givenSize = location.size;
  } else if (row.exchangeType != 0 && type == row.exchangeType) {
    if (!GetValueTypeSize(type, &write->givenSize)) return kItemFailed;
  } else {
    return kItemBadType;
  }
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
    write->storeBytes = location.size;
  }
  return kItemDone;
}

void StoreValue(SettingItemId id, SettingsRecord* settings, const ItemLocation& location, const void* source,
                const CheckedWrite& write) {
  const BYTE* given = static_cast<const BYTE*>(source);
  if (id == kResolutionPair) {
    const DWORD v = ReadU32(given);
    WriteU16(settings->bytes + kPrintQualityOffset, WORD(v >> 16));
    WriteU16(settings->bytes + kYResolutionOffset, WORD(v));
  } else if (IsPackedByte(id)) {
    const DWORD mask = PackedByteMask(id);
    WriteU32(location.address, (ReadU32(location.address) & ~mask) | (ReadU32(given) & mask));
  } else if (DWORD mask; GetItemFlagMask(id, &mask)) {
    const bool set = id == kInvertedFlag ? (given[0] & 1) == 0 : given[0] != 0;
    const DWORD word = ReadU32(location.address);
    WriteU32(location.address, set ? word | mask : word & ~mask);
  } else if (write.data != nullptr) {
    // The caller's text or font may lie inside the record itself.
    std::memmove(location.address, write.data, write.storeBytes);
  } else {
    std::memcpy(location.address, given, write.storeBytes);
  }
  if (id == kFont1Escapement) std::memcpy(settings->bytes + kFont1OrientationOffset, given, 4);
  if (id == kFont2Escapement) std::memcpy(settings->bytes + kFont2OrientationOffset, given, 4);
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
  if (id == kPositionItem) {
    WORD mapped;
    if (!MapValueTypeCode(newValue, &mapped)) return kItemFailed;
    return WriteWord(kPositionLinked, settings, config, mapped);
  }
  LinkedValueInput input{0, 0, newValue};
  if (ReadWord(kPagesPerSheetItem, settings, config, &input.pagesPerSheet) != kItemDone) return kItemFailed;
  if (const ItemAccessResult r = ReadWord(kOrientationItem, settings, config, &input.orientation); r != kItemDone)
    return r;
  WORD linked;
  if (ComputeLinkedValue(id, input, &linked) != 0) return kItemFailed;
  return WriteWord(id == kStapleItem ? kStapleLinked : kPunchLinked, settings, config, linked);
}

}  // namespace

ItemAccessResult dma_GetValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode* type, DWORD* length, void* value, ItemArea* area) {
  if (type == nullptr || length == nullptr || value == nullptr || area == nullptr) return kItemFailed;
  ItemLocation location;
  const ItemAccessResult located = LocateItem(id, settings, config, &location);
  if (located != kItemNoRange) *area = location.area;
  if (located != kItemDone) return located;
  const ItemLayoutRow& row = *location.row;
  if (id == kFont1Escapement && ReadU32(settings->bytes + kFont1EscapementOffset) !=
                                    ReadU32(settings->bytes + kFont1OrientationOffset))
    return kItemFailed;

  BYTE taken[sizeof(ULONG_PTR)] = {};
  DWORD takenSize = location.size;
  if (id == kResolutionPair) {
    // Composed unsigned so that a negative dmYResolution does not borrow from the quality.
    const DWORD pair = DWORD(ReadU16(settings->bytes + kPrintQualityOffset)) << 16 |
                       ReadU16(settings->bytes + kYResolutionOffset);
    WriteU32(taken, pair);
  } else if (IsPackedByte(id)) {
    WriteU32(taken, ReadU32(location.address) & PackedByteMask(id));
  } else if (DWORD mask; GetItemFlagMask(id, &mask)) {
    const bool bit = (ReadU32(location.address) & mask) != 0;
    WriteU32(taken, (id == kInvertedFlag ? !bit : bit) ? 1 : 0);
    takenSize = 4;
  } else if (row.type == kTypeString || row.type == kTypeFont) {
    const ULONG_PTR offset = row.offset;
    std::memcpy(taken, &offset, sizeof offset);
  } else {
    std::memcpy(taken, location.address, location.size);
  }

  DWORD reportedSize = location.size;
  if (row.exchangeType != 0 && !GetValueTypeSize(row.exchangeType, &reportedSize)) return kItemFailed;
  std::memset(value, 0, reportedSize);
  std::memcpy(value, taken, takenSize);
  *type = row.exchangeType != 0 ? row.exchangeType : row.type;
  if (row.type == kTypeString)
    *length = 2 * CountChars(location.address, row.byteLength / 2) + 2;
  else if (row.type == kTypeFont)
    *length = row.byteLength;
  else
    *length = reportedSize;
  return kItemDone;
}

ItemAccessResult dma_SetValue(SettingItemId id, SettingsRecord* settings, PrinterConfiguration* config,
                              ValueTypeCode type, DWORD length, const void* source) {
  if (source == nullptr) return kItemFailed;
  ItemLocation location;
  if (const ItemAccessResult r = LocateItem(id, settings, config, &location); r != kItemDone) return r;
  CheckedWrite write;
  if (const ItemAccessResult r = CheckItemBuffer(id, location, type, length, source, &write); r != kItemDone)
    return r;
  StoreValue(id, settings, location, source, write);
  if (id == kPositionItem || id == kStapleItem || id == kPunchItem)
    return UpdateLinkedItem(id, settings, config, static_cast<const BYTE*>(source), write.givenSize);
  return kItemDone;
}

}  // namespace itemengine
