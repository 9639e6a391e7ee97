#include "core/persist/public_fields.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/descriptors/item_defaults.h"
#include "core/persist/paper_fields.h"
#include "core/rules/field_sync.h"
#include "core/rules/record_numbers.h"
#include "core/store/dm_fields.h"
#include "core/store/item_access.h"
#include "core/store/policy_file.h"
#include "items/item_ids.h"
#include "platform/base/types.h"

namespace {

constexpr DWORD kPublicSize = sizeof(DEVMODEW);  // 220
constexpr DWORD kPrivateSize = kSettingsRecordShortSize - kPublicSize;
constexpr DWORD kSizeOffset = offsetof(DEVMODEW, dmSize);
constexpr DWORD kExtraOffset = offsetof(DEVMODEW, dmDriverExtra);

constexpr DWORD kPaperBits = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME;
constexpr DWORD kResolutionBits = DM_PRINTQUALITY | DM_YRESOLUTION;

// The public fields taken over, in this order.
struct PublicFieldRow {
  DWORD bit;
  SettingItemId item;
};
constexpr PublicFieldRow kPublicFields[] = {
    {DM_ORIENTATION, 7}, {DM_SCALE, 11},     {DM_COPIES, 12},     {DM_DEFAULTSOURCE, 13}, {DM_DUPLEX, 16},
    {DM_TTOPTION, 17},   {DM_COLLATE, 18},   {DM_ICMINTENT, 23},  {DM_MEDIATYPE, 24},     {DM_DITHERTYPE, 25},
};

WORD ReadU16(const BYTE* bytes) { return static_cast<WORD>(bytes[0] | (bytes[1] << 8)); }

// The source's private part into the destination; the destination keeps its own item 258.
bool CopyPrivatePart(SettingsRecord* destination, const SettingsRecord* source, PrinterConfiguration* config) {
  LONG version = 0;
  if (!ReadItemLong(destination, config, kItemDriverRelease, &version)) return false;
  std::memcpy(destination->bytes + kPublicSize, source->bytes + kPublicSize, kPrivateSize);
  return WriteItemLong(destination, config, kItemDriverRelease, version);
}

// Whether the source's value of one public field may be taken over.
bool ValidatePublicField(ItemStore* store, SettingsRecord* source, PrinterConfiguration* config, SettingItemId item,
                         WORD operation) {
  LONG size = 0;
  if (!ReadItemLong(source, config, kItemDevmodeSize, &size)) return false;
  switch (item) {
    case kItemMediaKind:
    case kItemDitherType: return size >= kDevmodeDitherSize;
    case kItemIcmMethod:
    case kItemIcmIntent:
      if (size < kDevmodeDitherSize) return false;
      [[fallthrough]];
    default: return ValidateItemValue(store, item, source, config, operation) != FALSE;
  }
}

// The resolution: under kItemOpCheck item 14 when the model lists its value; under
// kItemOpCheckpublic a positive dmPrintQuality as both dmPrintQuality and dmYResolution.
bool SyncResolutionItems(ItemStore* store, SettingsRecord* destination, SettingsRecord* source,
                         PrinterConfiguration* config, WORD operation) {
  if (operation == kItemOpCheck) {
    LONG pair = 0;
    if (!ReadItemLong(source, config, kItemResolutionPair, &pair)) return false;
    const DWORD value = static_cast<DWORD>(pair);
    if (store != nullptr && IsItemValueListed(store, kItemResolutionPair, &value) &&
        !WriteItemLong(destination, config, kItemResolutionPair, pair))
      return false;
  } else if (operation == kItemOpCheckpublic) {
    LONG quality = 0;
    if (!ReadItemLong(source, config, kItemResolution, &quality)) return false;
    if (quality > 0 && (!WriteItemLong(destination, config, kItemResolution, quality) ||
                        !WriteItemLong(destination, config, kItemYResolution, quality)))
      return false;
  } else {
    return false;
  }
  return UpdateDevmodeFields(destination, config, kResolutionBits, 0) != FALSE;
}

// The paper, the resolution and the mirrored private items after the fields were taken over.
bool SyncPublicFieldItems(ItemStore* store, SettingsRecord* destination, SettingsRecord* source,
                          PrinterConfiguration* config, HANDLE printer, DWORD mask, DWORD sourceFields,
                          WORD operation) {
  // The paper is resolved when the model takes one of the flagged paper fields; the
  // resolution then reads every paper field the source flags.
  const DWORD offered = mask & sourceFields;
  if ((offered & kPaperBits) != 0 && !ResolvePaperItems(store, destination, source, config, printer, sourceFields))
    return false;
  if ((offered & kResolutionBits) != 0 && !SyncResolutionItems(store, destination, source, config, operation))
    return false;
  return SyncTrueTypeOptionItem(destination, config, kItemTrueTypeOption) && SyncColorItem(destination, config) &&
         SyncScaleFieldFlag(destination, config) && SyncSourceFromDefault(destination, config) &&
         SyncIcmMethodItem(destination, config);
}

// Takes the flagged public fields over that the model supports (its mask and the source's
// fields come back); FALSE when a read or write fails.
bool MergeFields(ItemStore* store, SettingsRecord* destination, SettingsRecord* source, PrinterConfiguration* config,
                 bool header, WORD operation, DWORD* mask, DWORD* sourceFields) {
  if (header && !CopyPrivatePart(destination, source, config)) return false;
  LONG offeredFields = 0, fields = 0;
  if (!ReadItemLong(source, config, kItemFields, &offeredFields) ||
      !ReadItemLong(destination, config, kItemFields, &fields) || ComputeDmFields(store, mask, kItemOpCheck) != 1)
    return false;
  *sourceFields = static_cast<DWORD>(offeredFields);
  if (header) {
    LONG scale = 0;
    if (!ReadItemLong(source, config, kItemScaleFieldFlag, &scale)) return false;
    if (scale == 0) *mask &= ~DM_SCALE;
  }
  const DWORD offered = *mask & *sourceFields;
  for (const PublicFieldRow& row : kPublicFields) {
    if ((offered & row.bit) == 0 || !ValidatePublicField(store, source, config, row.item, operation)) continue;
    if (!CopyItemValue(row.item, source, destination, config)) return false;
    fields |= static_cast<LONG>(row.bit);
  }
  return WriteItemLong(destination, config, kItemFields, fields) != FALSE;
}

}  // namespace

void NormalizeDevmode(const BYTE* source, DWORD bytes, SettingsRecord* record) {
  std::memset(record, 0, sizeof *record);
  if (source == nullptr) return;
  const DWORD size = bytes >= kSizeOffset + 2 ? ReadU16(source + kSizeOffset) : 0;
  const DWORD extra = bytes >= kExtraOffset + 2 ? ReadU16(source + kExtraOffset) : 0;
  std::memcpy(record->bytes, source, std::min({size, kPublicSize, bytes}));
  if (size < bytes) std::memcpy(record->bytes + kPublicSize, source + size, std::min({extra, kPrivateSize, bytes - size}));
}

BOOL ValidatePublicFields(ItemStore* store, SettingsRecord* destination, const BYTE* source, DWORD sourceBytes,
                          PrinterConfiguration* config, HANDLE printer, WORD operation) {
  if (destination == nullptr || config == nullptr) return FALSE;
  if (source == nullptr) return TRUE;
  // Every field is read from a copy laid out as the driver's record, never from the caller's
  // bytes at the record's offsets.
  auto copy = std::make_unique<SettingsRecord>();
  NormalizeDevmode(source, sourceBytes, copy.get());
  LONG size = 0;
  bool merged = true;
  if (ReadItemLong(copy.get(), config, kItemDevmodeSize, &size) && size >= kDevmodeIcmSize) {
    const bool header = ValidateDevmodeHeaderItems(store, copy.get());
    DWORD mask = 0, sourceFields = 0;
    if (!MergeFields(store, destination, copy.get(), config, header, operation, &mask, &sourceFields)) return FALSE;
    merged = SyncPublicFieldItems(store, destination, copy.get(), config, printer, mask, sourceFields, operation);
  }
  if (store != nullptr) ApplyPolicyList(store->policy, destination, config, kPolicyModeEnforced);
  return merged ? TRUE : FALSE;
}
