#include "core/rules/field_sync.h"

#include <iterator>

#include "core/rules/record_numbers.h"
#include "core/store/dm_fields.h"
#include "items/item_ids.h"
#include "platform/base/types.h"

namespace {

constexpr DWORD DM_PAPERLENGTH = 0x4;
constexpr DWORD DM_PAPERWIDTH = 0x8;

constexpr LONG DMCOLOR_MONOCHROME = 1;
constexpr LONG DMCOLOR_COLOR = 2;
constexpr LONG DMICMMETHOD_NONE = 1;
constexpr LONG DMICMMETHOD_SYSTEM = 2;
constexpr LONG DMTT_BITMAP = 1;
constexpr LONG DMTT_DOWNLOAD_OUTLINE = 3;
// The value of the driver's source that keeps dmDefaultSource, and the public source that
// keeps the driver's.
constexpr LONG kSourceKeepsDefault = 258;
constexpr LONG kDefaultKeepsSource = 15;

struct TripleRow {
  SettingItemId items[3];
  LONG bit;
};
constexpr TripleRow kSplitRows[] = {{{275, 279, 283}, 1}, {{276, 280, 284}, 2}, {{277, 281, 285}, 4}};
constexpr TripleRow kJointRow = {{274, 278, 282}, 7};

// Sets or clears one field bit by a condition.
BOOL FollowFlag(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId flagItem, DWORD bits) {
  LONG flag = 0;
  if (!ReadItemLong(settings, config, flagItem, &flag)) return FALSE;
  return flag == 1 ? UpdateDevmodeFields(settings, config, bits, 0) : UpdateDevmodeFields(settings, config, 0, bits);
}

// Writes a value and sets its field bit.
BOOL WriteField(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId id, LONG value, DWORD bit) {
  return WriteItemLong(settings, config, id, value) && UpdateDevmodeFields(settings, config, bit, 0);
}

}  // namespace

BOOL UpdateDevmodeFields(SettingsRecord* settings, PrinterConfiguration* config, DWORD set, DWORD clear) {
  LONG fields = 0;
  if (!ReadItemLong(settings, config, kItemFields, &fields)) return FALSE;
  const DWORD updated = (static_cast<DWORD>(fields) & ~clear) | set;
  return WriteItemLong(settings, config, kItemFields, static_cast<LONG>(updated));
}

BOOL SyncScaleFieldFlag(SettingsRecord* settings, PrinterConfiguration* config) {
  return FollowFlag(settings, config, kItemScaleFieldFlag, DM_SCALE);
}

BOOL SyncPaperSizeFieldFlags(SettingsRecord* settings, PrinterConfiguration* config) {
  return FollowFlag(settings, config, kItemSizeFieldsFlag, DM_PAPERLENGTH | DM_PAPERWIDTH);
}

BOOL SyncItemTriples274To285(SettingsRecord* settings, PrinterConfiguration* config) {
  LONG split = 0;
  if (!ReadItemLong(settings, config, kItemPerKindAdjust, &split)) return FALSE;
  const TripleRow* rows = split == 1 ? kSplitRows : &kJointRow;
  const size_t count = split == 1 ? std::size(kSplitRows) : 1;
  LONG summary = 0;
  for (size_t r = 0; r < count; ++r) {
    for (SettingItemId id : rows[r].items) {
      LONG value = 0;
      if (!ReadItemLong(settings, config, id, &value)) return FALSE;
      if (value != 0) {
        summary |= rows[r].bit;
        break;
      }
    }
  }
  return WriteItemLong(settings, config, kItemColorAdjustKinds, summary);
}

BOOL SyncTrueTypeOptionItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId changed) {
  if (changed == kItemTrueTypeOption) {
    LONG option = 0, mode = 0;
    if (!ReadItemLong(settings, config, kItemTrueTypeOption, &option) ||
        !ReadItemLong(settings, config, kItemTrueTypeMode, &mode))
      return FALSE;
    return WriteItemLong(settings, config, kItemTrueTypeMode, option == DMTT_BITMAP ? 1 : mode != 0 ? 2 : 0);
  }
  if (changed == kItemTrueTypeMode) {
    LONG mode = 0;
    if (!ReadItemLong(settings, config, kItemTrueTypeMode, &mode)) return FALSE;
    return WriteItemLong(settings, config, kItemTrueTypeOption, mode == 1 ? DMTT_BITMAP : DMTT_DOWNLOAD_OUTLINE);
  }
  return FALSE;
}

BOOL SyncIcmMethodItem(SettingsRecord* settings, PrinterConfiguration* config) {
  LONG choice = 0;
  if (!ReadItemLong(settings, config, kItemIcmChoice, &choice)) return FALSE;
  return WriteField(settings, config, kItemIcmMethod, choice == 3 ? DMICMMETHOD_SYSTEM : DMICMMETHOD_NONE,
                    DM_ICMMETHOD);
}

BOOL SyncColorItem(SettingsRecord* settings, PrinterConfiguration* config) {
  LONG mono = 0;
  if (!ReadItemLong(settings, config, kItemMonochromeDefault, &mono)) return FALSE;
  return WriteField(settings, config, kItemColor, mono == 1 ? DMCOLOR_MONOCHROME : DMCOLOR_COLOR, DM_COLOR);
}

BOOL SyncSourceItems(SettingsRecord* settings, PrinterConfiguration* config, LONG skipValue, SettingItemId source,
                     SettingItemId target) {
  LONG enabled = 0, value = 0;
  if (!ReadItemLong(settings, config, kItemSourceFollowsDefault, &enabled)) return FALSE;
  if (enabled == 0) return TRUE;
  if (!ReadItemLong(settings, config, source, &value)) return FALSE;
  if (value == skipValue) return TRUE;
  return WriteItemLong(settings, config, target, value);
}

BOOL SyncDefaultSourceItem(SettingsRecord* settings, PrinterConfiguration* config) {
  return SyncSourceItems(settings, config, kSourceKeepsDefault, kItemPaperSource, kItemDefaultSource);
}

BOOL SyncSourceFromDefault(SettingsRecord* settings, PrinterConfiguration* config) {
  return SyncSourceItems(settings, config, kDefaultKeepsSource, kItemDefaultSource, kItemPaperSource);
}
