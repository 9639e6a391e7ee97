// Device-mode conversion: header comparison, the copy of the stored public and private parts,
// the rebuild of older layouts item by item, and the fix-ups each older layout needs.
#include "core/persist/settings_conversion.h"

#include <cstring>

#include "core/persist/old_layouts.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr DWORD kDmSpecVersionOffset = 64;   // item 2
constexpr DWORD kDmDriverVersionOffset = 66;  // item 3
constexpr DWORD kDmSizeOffset = 68;           // item 4
constexpr DWORD kDmDriverExtraOffset = 70;    // item 5
constexpr DWORD kPublicSizesEnd = 72;
// Below this many private bytes the stored record has no layout, release and model name.
constexpr WORD kMinHeaderDriverExtra = 69;

bool ReadStoredU16(const BYTE* stored, DWORD extent, DWORD offset, DWORD* value) {
  if (offset + 2 > extent) return false;
  *value = GetLE16(stored + offset);
  return true;
}

bool ReadStoredU32(const BYTE* stored, DWORD extent, DWORD offset, DWORD* value) {
  if (offset + 4 > extent) return false;
  std::memcpy(value, stored + offset, 4);
  return true;
}

bool ReadStoredByte(const BYTE* stored, DWORD extent, DWORD offset, DWORD* value) {
  if (offset + 1 > extent) return false;
  *value = stored[offset];
  return true;
}

// Writes a number into an item in the item's own type.
bool StoreItemNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, DWORD value) {
  ItemLocation location;
  if (LocateItem(id, settings, config, &location) != kItemDone) return false;
  const ValueTypeCode type = location.row->type;
  DWORD size;
  if (type == kTypeString || type == kTypeFont || !GetValueTypeSize(type, &size)) return false;
  BYTE cell[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
  return SetItemValue(id, settings, config, type, size, cell) == kItemDone;
}

// Reads a number item into 32 bits (zero-extended from its exchange size).
bool LoadItemNumber(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, DWORD* value) {
  ValueTypeCode type;
  DWORD length;
  BYTE cell[8] = {};
  if (GetItemValue(id, settings, config, &type, &length, cell) != kItemDone) return false;
  if (type == kTypeString || type == kTypeFont) return false;
  DWORD v = 0;
  std::memcpy(&v, cell, length < 4 ? length : 4);
  *value = v;
  return true;
}

// Copies one item's value from one pair of records to another: a reset to the default when the
// source is the model's defaults.
bool CopyItem(SettingItemId id, SettingsRecord* fromSettings, PrinterConfiguration* fromConfig,
              SettingsRecord* toSettings, PrinterConfiguration* toConfig) {
  ValueTypeCode type;
  DWORD length;
  BYTE cell[8] = {};
  if (GetItemValue(id, fromSettings, fromConfig, &type, &length, cell) != kItemDone) return false;
  // A string or font arrives as its field's address in the source record, which is what the
  // setter takes for those types; a number arrives as its value.
  return SetItemValue(id, toSettings, toConfig, type, length, cell) == kItemDone;
}

bool ResetToDefault(SettingItemId id, const ModelDefaults& defaults, SettingsRecord* settings,
                    PrinterConfiguration* config) {
  return CopyItem(id, const_cast<SettingsRecord*>(&defaults.settings),
                  const_cast<PrinterConfiguration*>(&defaults.config), settings, config);
}

WORD ModelIdentity(const ModelDefaults& defaults) {
  DWORD v = 0;
  LoadItemNumber(nullptr, const_cast<PrinterConfiguration*>(&defaults.config), kItemModelIdentity, &v);
  return WORD(v);
}

void CopyDefaults(const ModelDefaults& defaults, SettingsRecord* record) {
  std::memcpy(record->bytes, defaults.settings.bytes, kSettingsRecordSize);
}

// The stored public part and private part laid into the current ones; false when the bytes
// copied are not exactly the current dmSize + dmDriverExtra.
bool CopyDevmodeParts(const BYTE* stored, DWORD extent, const SettingsHeader& current, SettingsRecord* out) {
  DWORD storedSize, storedExtra;
  if (!ReadStoredU16(stored, extent, kDmSizeOffset, &storedSize) ||
      !ReadStoredU16(stored, extent, kDmDriverExtraOffset, &storedExtra))
    return false;
  const DWORD publicBytes = storedSize < current.size ? storedSize : current.size;
  const DWORD privateBytes = storedExtra < current.driverExtra ? storedExtra : current.driverExtra;
  if (DWORD(current.size) + current.driverExtra > kSettingsRecordShortSize) return false;
  if (publicBytes > extent || storedSize + privateBytes > extent) return false;
  std::memcpy(out->bytes, stored, publicBytes);
  std::memcpy(out->bytes + current.size, stored + storedSize, privateBytes);
  if (!StoreItemNumber(out, nullptr, kItemDevmodeSize, current.size) ||
      !StoreItemNumber(out, nullptr, kItemDriverExtra, current.driverExtra) ||
      !StoreItemNumber(out, nullptr, kItemLayoutVersion, current.layout) ||
      !StoreItemNumber(out, nullptr, kItemDriverRelease, current.release))
    return false;
  return publicBytes + privateBytes == DWORD(current.size) + current.driverExtra;
}

// Item 454 or 455 from two flags: 3 both, 1 the first only, 2 the second only, else 0.
bool DeriveFromFlagPair(SettingsRecord* record, SettingItemId target, SettingItemId first, SettingItemId second) {
  DWORD a = 0, b = 0;
  if (!LoadItemNumber(record, nullptr, first, &a) || !LoadItemNumber(record, nullptr, second, &b)) return false;
  const DWORD value = a == 1 && b == 1 ? 3 : a == 1 ? 1 : b == 1 ? 2 : 0;
  return StoreItemNumber(record, nullptr, target, value);
}

// Printer-configuration items that layouts below 0x5005 kept in the configuration and this
// release keeps in the document.
struct MovedItem {
  SettingItemId from;
  SettingItemId to;
};
constexpr MovedItem kConfigurationToDocument[] = {
    {0x1613, 0x1C8}, {0x1614, 0x1C9}, {0x1611, 0x534}, {0x1610, 0x535}, {0x1612, 0x536}};

// Fix-ups of an upgrade from a stored layout of 0x5003 or later.
bool ApplyUpgradeFixUps(SettingsRecord* out, WORD storedLayout, const ModelDefaults& defaults,
                        const PrinterConfiguration* printerConfig) {
  if ((ModelIdentity(defaults) & 0xFFF0) == 0x20 && !ResetToDefault(kItemPrintMode, defaults, out, nullptr))
    return false;
  DWORD v350 = 0;
  if (!LoadItemNumber(out, nullptr, kItemPrintModeDetail, &v350)) return false;
  if (v350 == 0 && !ResetToDefault(kItemPrintModeDetail, defaults, out, nullptr)) return false;
  if (storedLayout <= 0x5004) {
    if (!DeriveFromFlagPair(out, kItemBlackObjects, kItemBlackTextFlag, kItemBlackGraphicsFlag) ||
        !DeriveFromFlagPair(out, kItemKindMatching, kItemSecondKindMatching, kItemFirstKindMatching))
      return false;
  }
  if (storedLayout < 0x5005) {
    if (printerConfig == nullptr) return false;
    PrinterConfiguration config = *printerConfig;
    for (const MovedItem& moved : kConfigurationToDocument) {
      DWORD value;
      if (!LoadItemNumber(nullptr, &config, moved.from, &value) || !StoreItemNumber(out, nullptr, moved.to, value))
        return false;
    }
  }
  return true;
}

// Upgrades a record of layout 0x5003 or later (`extent` bytes readable) into `out`.
int UpgradeSettingsRecord(const BYTE* stored, DWORD extent, WORD storedLayout, SettingsRecord* out,
                          const ModelDefaults& defaults, const SettingsHeader& current,
                          const PrinterConfiguration* printerConfig) {
  CopyDefaults(defaults, out);
  if (!CopyDevmodeParts(stored, extent, current, out) ||
      !ApplyUpgradeFixUps(out, storedLayout, defaults, printerConfig)) {
    CopyDefaults(defaults, out);
    return kConvertDefaults;
  }
  return kConvertUpgraded;
}

// The new paper-position value of item 444 for an old value; 0 leaves the item as it is.
DWORD MapOldPaperPosition(DWORD old) {
  constexpr DWORD kMap[14] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 0, 0, 2};
  return old >= 2 && old <= 15 ? kMap[old - 2] : 0;
}

DWORD MapOldPagesPerSheet(DWORD v) { return v == 0 ? 1 : v <= 2 ? 2 : v <= 6 ? 4 : 1; }

// Rounds a stored value to the nearest ten.
bool RoundItemToTens(SettingsRecord* record, SettingItemId id) {
  DWORD v;
  return LoadItemNumber(record, nullptr, id, &v) && StoreItemNumber(record, nullptr, id, (v + 5) / 10 * 10);
}

// Fix-ups of the old family (layouts 0x0100 to 0x4007), read from the stored bytes. A value
// beyond the stored bytes leaves its item alone, except the one that must be recognised.
bool ApplyOldFamilyFixUps(const BYTE* stored, DWORD extent, WORD v, SettingsRecord* r, const ModelDefaults& d) {
  DWORD x;
  if (v == 0x0100) {
    if (ReadStoredU16(stored, extent, 308, &x) &&
        !StoreItemNumber(r, nullptr, kItemPagesPerSheet, MapOldPagesPerSheet(x)))
      return false;
    if (ReadStoredU16(stored, extent, 342, &x) && x == 2 && !StoreItemNumber(r, nullptr, kItemColorMode, 0))
      return false;
  }
  if (v == 0x2000 && ReadStoredU16(stored, extent, 1014, &x)) {
    if (!StoreItemNumber(r, nullptr, kItemTileCount, x != 0 ? x : 514) ||
        !StoreItemNumber(r, nullptr, kItemPageLayout, x != 0 ? 1 : 0))
      return false;
  }
  if (v < 0x3003) {
    if (!RoundItemToTens(r, kItemBindingShift) || !RoundItemToTens(r, kItemBindingShiftBack)) return false;
    if (v >= 0x3000 && !RoundItemToTens(r, kItemBookletShift)) return false;
    if (ReadStoredU32(stored, extent, 316, &x) && !StoreItemNumber(r, nullptr, kItemLegacySwitch, x != 0 ? 1 : 0))
      return false;
    if (!StoreItemNumber(r, nullptr, kItemColorLibrary, 0)) return false;
    if (ReadStoredU16(stored, extent, 346, &x) &&
        !StoreItemNumber(r, nullptr, kItemColorMatchingChoice, x == 3 || x == 5 ? 0 : x))
      return false;
    // Only the two resolutions of those releases are known; anything else cannot be converted.
    if (!ReadStoredU16(stored, extent, 344, &x) || (x != 1 && x != 8)) return false;
    if (!StoreItemNumber(r, nullptr, kItemPatternResolution, x == 1 ? 150 : 200)) return false;
  }
  if (v >= 0x4000 && v <= 0x4003 && ReadStoredU16(stored, extent, 88, &x) && x == 263 &&
      !StoreItemNumber(r, nullptr, kItemDefaultSource, 15))
    return false;
  if (v < 0x4005 && ReadStoredU32(stored, extent, 304, &x) &&
      !StoreItemNumber(r, nullptr, kItemCollate, x != 0 ? 1 : 0))
    return false;
  if (v >= 0x4000 && v <= 0x4002) {
    if (ReadStoredU16(stored, extent, 342, &x) && !StoreItemNumber(r, nullptr, kItemColorMode, x == 3 ? 0 : x))
      return false;
    if (!StoreItemNumber(r, nullptr, kItemTolerantGrey, 0)) return false;
  }
  if (v < 0x4007 && !ResetToDefault(kItemScaleFieldFlag, d, r, nullptr)) return false;
  if (v < 0x4000 || v == 0x4003) {
    if (!ResetToDefault(kItemDefaultSource, d, r, nullptr)) return false;
    if (ReadStoredU16(stored, extent, 310, &x) && x == 258 && !ResetToDefault(kItemPaperSource, d, r, nullptr))
      return false;
  }
  if ((ModelIdentity(d) & 0xFFF0) == 0x10 && !ResetToDefault(kItemLowRasterResolution, d, r, nullptr)) return false;
  return true;
}

// Fix-ups of every layout below 0x5003 after the rows were copied. A 0x5000 record keeps its
// stored resolution pair (item 14) as it is: it is never raised to 600 x 600.
bool ApplyFinalFixUps(const BYTE* stored, DWORD extent, WORD v, SettingsRecord* r) {
  const bool oldFamily = v < 0x5000;
  DWORD x;
  if (v < 0x5001 && !StoreItemNumber(r, nullptr, kItemDriverVersion, kIntermediateDocumentLayout)) return false;
  if (v >= 0x5002) return true;
  DWORD flag = 0;
  if (oldFamily ? ReadStoredU32(stored, extent, 1348, &x) : ReadStoredU32(stored, extent, 288, &x))
    flag = oldFamily ? x != 0 : (x >> 9) & 1;
  if (!StoreItemNumber(r, nullptr, kItemBookletOutput, flag != 0 ? 2 : 0)) return false;
  if (ReadStoredU16(stored, extent, oldFamily ? 1352 : 1203, &x) && x >= 21 &&
      !StoreItemNumber(r, nullptr, kItemBookletSubset, 20))
    return false;
  if (oldFamily ? ReadStoredU16(stored, extent, 312, &x) : ReadStoredByte(stored, extent, 304, &x)) {
    const DWORD position = MapOldPaperPosition(x);
    if (position != 0 && !StoreItemNumber(r, nullptr, kItemPaperPosition, position)) return false;
  }
  return true;
}

// Rebuilds a record of a layout below 0x5003 as a full record of the intermediate layout.
bool ConvertOldDocument(const BYTE* stored, DWORD extent, WORD layout, SettingsRecord* out,
                        const ModelDefaults& defaults, const SettingsHeader& current) {
  CopyDefaults(defaults, out);
  if (!CopyOldLayoutItems(stored, extent, layout, out)) return false;
  if (!StoreItemNumber(out, nullptr, kItemDevmodeSize, current.size) ||
      !StoreItemNumber(out, nullptr, kItemDriverExtra, current.driverExtra) ||
      !StoreItemNumber(out, nullptr, kItemLayoutVersion, kIntermediateDocumentLayout))
    return false;
  if (layout < 0x5000 && !ApplyOldFamilyFixUps(stored, extent, layout, out, defaults)) return false;
  return ApplyFinalFixUps(stored, extent, layout, out);
}

}  // namespace

DWORD GetStoredSettingsExtent(const BYTE* stored, DWORD storedSize) {
  DWORD size, extra;
  if (stored == nullptr || !ReadStoredU16(stored, storedSize, kDmSizeOffset, &size) ||
      !ReadStoredU16(stored, storedSize, kDmDriverExtraOffset, &extra))
    return 0;
  return size + extra < storedSize ? size + extra : storedSize;
}

BOOL ReadStoredSettingsHeader(const BYTE* stored, DWORD storedSize, SettingsHeader* header) {
  const DWORD extent = GetStoredSettingsExtent(stored, storedSize);
  if (extent < kPublicSizesEnd || header == nullptr) return FALSE;
  DWORD v;
  ReadStoredU16(stored, extent, kDmSizeOffset, &v);
  header->size = WORD(v);
  ReadStoredU16(stored, extent, kDmDriverExtraOffset, &v);
  header->driverExtra = WORD(v);
  ReadStoredU16(stored, extent, kDmSpecVersionOffset, &v);
  header->specVersion = WORD(v);
  if (header->driverExtra < kMinHeaderDriverExtra) return FALSE;
  const DWORD base = header->size;
  if (base + 4 + 2 * kModelNameChars > extent) return FALSE;
  ReadStoredU16(stored, extent, base, &v);
  header->layout = WORD(v);
  ReadStoredU16(stored, extent, base + 2, &v);
  header->release = WORD(v);
  for (DWORD i = 0; i < kModelNameChars; ++i)
    header->model[i] = WCHAR(GetLE16(stored + base + 4 + 2 * i));
  return TRUE;
}

BOOL ReadCurrentSettingsHeader(SettingsRecord* record, SettingsHeader* header) {
  if (record == nullptr || header == nullptr) return FALSE;
  DWORD size, version, extra, layout, release;
  if (!LoadItemNumber(record, nullptr, kItemDevmodeSize, &size) ||
      !LoadItemNumber(record, nullptr, kItemSpecVersion, &version) ||
      !LoadItemNumber(record, nullptr, kItemDriverExtra, &extra) ||
      !LoadItemNumber(record, nullptr, kItemLayoutVersion, &layout) ||
      !LoadItemNumber(record, nullptr, kItemDriverRelease, &release))
    return FALSE;
  ItemLocation location;
  if (LocateItem(kItemModelName, record, nullptr, &location) != kItemDone) return FALSE;
  header->size = WORD(size);
  header->specVersion = WORD(version);
  header->driverExtra = WORD(extra);
  header->layout = WORD(layout);
  header->release = WORD(release);
  for (DWORD i = 0; i < kModelNameChars; ++i)
    header->model[i] = WCHAR(GetLE16(location.address + 2 * i));
  return TRUE;
}

int CompareSettingsHeaders(const SettingsHeader& current, const SettingsHeader& stored) {
  if (current.size != stored.size || current.specVersion != stored.specVersion ||
      _wcsnicmp(current.model, stored.model, kModelNameChars) != 0)
    return kHeaderOtherModel;
  if (stored.layout > current.layout) return kHeaderOtherModel;
  if (stored.layout == current.layout) return kHeaderSameLayout;
  return stored.layout < kIntermediateDocumentLayout ? kHeaderOldFamily : kHeaderOlderLayout;
}

BOOL CopyOldLayoutItems(const BYTE* stored, DWORD storedSize, WORD layout, SettingsRecord* record) {
  if (stored == nullptr || record == nullptr) return FALSE;
  const DWORD extent = GetStoredSettingsExtent(stored, storedSize);
  const size_t tables = ForEachOldLayoutRow(layout, [&](const OldLayoutRow& row) {
    const DWORD size = GetOldLayoutValueSize(row);
    if (size == 0 || row.offset + size > extent) return;
    if (row.type == kTypeString || row.type == kTypeFont) {
      const BYTE* field = stored + row.offset;
      SetItemValue(row.id, record, nullptr, row.type, size, &field);
    } else {
      SetItemValue(row.id, record, nullptr, row.type, size, stored + row.offset);
    }
  });
  return tables > 0;
}

int ConvertSettingsOverDefaults(const BYTE* stored, DWORD storedSize, BYTE* out, const ModelDefaults& defaults,
                                const PrinterConfiguration* printerConfig, BYTE* extension) {
  if (out == nullptr) return kConvertFailed;
  // Anything that cannot be read or converted gives the model's defaults.
  std::memcpy(out, defaults.settings.bytes, kSettingsRecordShortSize);
  SettingsRecord* work = static_cast<SettingsRecord*>(GlobalAlloc(GPTR, sizeof(SettingsRecord)));
  SettingsRecord* intermediate = static_cast<SettingsRecord*>(GlobalAlloc(GPTR, sizeof(SettingsRecord)));
  int result = kConvertDefaults;
  SettingsHeader current, header;
  if (work != nullptr && intermediate != nullptr && stored != nullptr) {
    CopyDefaults(defaults, work);
    if (ReadCurrentSettingsHeader(work, &current) && ReadStoredSettingsHeader(stored, storedSize, &header)) {
      const DWORD extent = GetStoredSettingsExtent(stored, storedSize);
      switch (CompareSettingsHeaders(current, header)) {
        case kHeaderSameLayout:
          if (extent >= kSettingsRecordShortSize) {
            std::memcpy(work->bytes, stored, kSettingsRecordShortSize);
            // The copy is a record of this release: its item 258 and its private size are the
            // current ones, whatever the stored record claimed.
            if (StoreItemNumber(work, nullptr, kItemDriverRelease, current.release) &&
                StoreItemNumber(work, nullptr, kItemDriverExtra, current.driverExtra))
              result = kConvertCopied;
          }
          break;
        case kHeaderOlderLayout:
          result = UpgradeSettingsRecord(stored, extent, header.layout, work, defaults, current, printerConfig);
          break;
        case kHeaderOldFamily:
          if (ConvertOldDocument(stored, extent, header.layout, intermediate, defaults, current)) {
            result = UpgradeSettingsRecord(intermediate->bytes, kSettingsRecordShortSize, kIntermediateDocumentLayout,
                                           work, defaults, current, printerConfig);
            if (result == kConvertUpgraded && extension != nullptr)
              std::memcpy(extension, intermediate->bytes + kSettingsExtensionOffset, kSettingsExtensionSize);
          }
          break;
        default: break;
      }
    }
    if (result != kConvertDefaults) std::memcpy(out, work->bytes, kSettingsRecordShortSize);
  }
  GlobalFree(work);
  GlobalFree(intermediate);
  return result;
}
