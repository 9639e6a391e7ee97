// Printer-configuration conversion: copies of this release, upgrades by length from 0x5000 on,
// and the rebuild of older releases with their user-paper slots moved into the current items.
#include <cstring>

#include "core/persist/settings_conversion.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/base/byte_order.h"
#include "platform/base/types.h"
#include "platform/kernel/memory.h"

namespace {

constexpr WORD kUpgradeBaseRelease = 0x5000;
// Releases before 0x4006 kept five user papers at fixed places, later ones ten 34-byte slots
// {width, length, name} after byte 1608.
constexpr WORD kTenSlotRelease = 0x4006;
constexpr DWORD kTenSlotStart = 1608;
constexpr DWORD kTenSlotSize = 34;
constexpr DWORD kTenSlotCount = 10;
constexpr DWORD kUserPaperNameBytes = 30;
constexpr DWORD kFiveWidths = 896, kFiveLengths = 906;
constexpr DWORD kFiveNames[5] = {916, 946, 976, 1006, 1036};
// The model whose release 0x4005 records carry another identity.
constexpr WORD kModelWithOtherIdentity = 115;

// Duplex unit capability (item 8205) of the first model family by its item 5125.
struct FamilyCapability {
  WORD family;
  WORD item5125;
  DWORD item8205;
};
constexpr FamilyCapability kFamilyCapabilities[] = {{0x10, 0, 16844033}, {0x10, 1, 16844546}};


bool LoadNumber(PrinterConfiguration* config, SettingItemId id, DWORD* value) {
  ValueTypeCode type;
  DWORD length;
  BYTE cell[8] = {};
  if (GetItemValue(id, nullptr, config, &type, &length, cell) != kItemDone) return false;
  if (type == kTypeString || type == kTypeFont) return false;
  DWORD v = 0;
  std::memcpy(&v, cell, length < 4 ? length : 4);
  *value = v;
  return true;
}

bool StoreNumber(PrinterConfiguration* config, SettingItemId id, DWORD value) {
  ItemLocation location;
  if (LocateItem(id, nullptr, config, &location) != kItemDone) return false;
  DWORD size;
  const ValueTypeCode type = location.row->type;
  if (type == kTypeString || type == kTypeFont || !GetValueTypeSize(type, &size)) return false;
  return SetItemValue(id, nullptr, config, type, size, &value) == kItemDone;
}

bool StampHeader(PrinterConfiguration* config, const ConfigurationHeader& current) {
  return StoreNumber(config, kItemConfigLayoutVersion, current.layout) &&
         StoreNumber(config, kItemConfigRelease, current.release) &&
         StoreNumber(config, kItemConfigLength, current.length);
}

// Stored length, never more than a record holds.
DWORD ClampLength(DWORD length) { return length < kPrinterConfigurationSize ? length : kPrinterConfigurationSize; }

// Moves one user paper {width, length, name} into slot `index` of the current items. A name
// without its terminator inside its 30 bytes is refused and the slot keeps its default name.
bool MoveUserPaper(PrinterConfiguration* work, DWORD index, WORD width, WORD length, const BYTE* name) {
  if (!StoreNumber(work, SettingItemId(kItemUserPaperWidth + index), width) ||
      !StoreNumber(work, SettingItemId(kItemUserPaperLength + index), length))
    return false;
  BYTE copy[kUserPaperNameBytes];
  std::memcpy(copy, name, sizeof copy);
  const BYTE* text = copy;
  SetItemValue(SettingItemId(kItemUserPaperName + index), nullptr, work, kTypeString, kUserPaperNameBytes, &text);
  return true;
}

// Builds a record of release 0x5000 from a stored one of an older release.
bool ConvertOldConfiguration(const PrinterConfiguration& stored, const ConfigurationHeader& header,
                             const ConfigurationHeader& current, PrinterConfiguration* work,
                             const ModelDefaults& defaults, BOOL featureFlagSet) {
  *work = defaults.config;
  if (header.release < kTenSlotRelease) {
    std::memcpy(work->bytes, stored.bytes, ClampLength(header.length));
  } else {
    std::memcpy(work->bytes, stored.bytes, kTenSlotStart);
    for (DWORD i = 0; i < kTenSlotCount; ++i) {
      const BYTE* slot = stored.bytes + kTenSlotStart + kTenSlotSize * i;
      if (!MoveUserPaper(work, i, GetLE16(slot), GetLE16(slot + 2), slot + 4)) return false;
    }
  }
  if (!StoreNumber(work, kItemConfigLength, current.length)) return false;
  if (header.release == 0x0100 && featureFlagSet && !StoreNumber(work, kItemModelOptions, 1)) return false;
  if ((header.release == 0x4001 || header.release == 0x4002 ||
       (header.release == 0x4005 && current.model == kModelWithOtherIdentity)) &&
      !StoreNumber(work, kItemModelIdentity, current.model))
    return false;
  if (header.release <= 0x3000) {
    DWORD item5125;
    if (!LoadNumber(work, kItemStreamFamily, &item5125)) return false;
    for (const FamilyCapability& row : kFamilyCapabilities)
      if ((current.model & 0xFFF0) == row.family && item5125 == row.item5125 &&
          !StoreNumber(work, kItemStreamVersion, row.item8205))
        return false;
  }
  if (header.release < kTenSlotRelease) {
    for (DWORD i = 0; i < 5; ++i)
      if (!MoveUserPaper(work, i, GetLE16(stored.bytes + kFiveWidths + 2 * i),
                         GetLE16(stored.bytes + kFiveLengths + 2 * i), stored.bytes + kFiveNames[i]))
        return false;
  }
  return StoreNumber(work, kItemConfigRelease, kUpgradeBaseRelease);
}

// Upgrades a record of release 0x5000 or later; false means the defaults are to be used.
bool UpgradePrinterConfiguration(const PrinterConfiguration& stored, WORD storedRelease, DWORD storedLength,
                                 const ConfigurationHeader& current, PrinterConfiguration* out,
                                 const ModelDefaults& defaults) {
  *out = defaults.config;
  const DWORD copied = ClampLength(storedLength < current.length ? storedLength : current.length);
  std::memcpy(out->bytes, stored.bytes, copied);
  if (!StampHeader(out, current) || copied != current.length) return false;
  if (storedRelease == 0x5002) {
    DWORD v;
    if (!LoadNumber(out, kItemBookletSubsetDevice, &v)) return false;
    if (v == 0) {
      DWORD fallback;
      if (!LoadNumber(const_cast<PrinterConfiguration*>(&defaults.config), kItemBookletSubsetDevice, &fallback) ||
          !StoreNumber(out, kItemBookletSubsetDevice, fallback))
        return false;
    }
  }
  return true;
}

}  // namespace

BOOL ReadConfigurationHeader(PrinterConfiguration* config, ConfigurationHeader* header) {
  DWORD layout, release, length, model;
  if (config == nullptr || header == nullptr || !LoadNumber(config, kItemConfigLayoutVersion, &layout) ||
      !LoadNumber(config, kItemConfigRelease, &release) || !LoadNumber(config, kItemConfigLength, &length) ||
      !LoadNumber(config, kItemModelIdentity, &model))
    return FALSE;
  *header = {WORD(layout), WORD(release), WORD(length), WORD(model)};
  return TRUE;
}

int ConvertConfigurationOverDefaults(const PrinterConfiguration& stored, PrinterConfiguration* out,
                                     const ModelDefaults& defaults, BOOL featureFlagSet) {
  if (out == nullptr) return kConvertFailed;
  ConfigurationHeader current, header;
  PrinterConfiguration storedCopy = stored;
  if (!ReadConfigurationHeader(const_cast<PrinterConfiguration*>(&defaults.config), &current) || !ReadConfigurationHeader(&storedCopy, &header)) {
    *out = defaults.config;
    return kConvertDefaults;
  }
  // Releases before 0x4003, and 0x4005 records of one model, carry no usable identity.
  if (header.release < 0x4003 || (header.release == 0x4005 && current.model == kModelWithOtherIdentity))
    header.model = current.model;
  if (header.model != current.model || header.release > current.release) {
    *out = defaults.config;
    return kConvertDefaults;
  }
  if (header.release == current.release) {
    *out = stored;
    if (header.layout == current.layout || StoreNumber(out, kItemConfigLayoutVersion, current.layout))
      return kConvertCopied;
    *out = defaults.config;
    return kConvertDefaults;
  }
  bool upgraded;
  if (header.release >= kUpgradeBaseRelease) {
    upgraded = UpgradePrinterConfiguration(stored, header.release, header.length, current, out, defaults);
  } else {
    PrinterConfiguration* work = static_cast<PrinterConfiguration*>(GlobalAlloc(GPTR, sizeof(PrinterConfiguration)));
    upgraded = work != nullptr &&
               ConvertOldConfiguration(stored, header, current, work, defaults, featureFlagSet) &&
               UpgradePrinterConfiguration(*work, kUpgradeBaseRelease, current.length, current, out, defaults);
    GlobalFree(work);
  }
  if (!upgraded) {
    *out = defaults.config;
    return kConvertDefaults;
  }
  return kConvertUpgraded;
}
