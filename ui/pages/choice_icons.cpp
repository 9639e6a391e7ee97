// The value icons of the pages' lists (see choice_icons.h): fixed tables of {value, icon} or
// {value, portrait icon, landscape icon}, each ended by a value of -1.
#include "ui/pages/choice_icons.h"

#include <span>

#include "core/descriptors/value_routines.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"

namespace {

struct PlainIcon {
  LONG value;
  WORD icon;
};

struct OrientedIcon {
  LONG value;
  WORD portrait;
  WORD landscape;
};

constexpr LONG kTableEnd = -1;
constexpr LONG kPortrait = 1, kLandscape = 2;

constexpr LONG kBookletLayout = 2;

constexpr OrientedIcon kDuplexIcons[] = {
    {1, 2354, 2405}, {2, 2355, 2406}, {3, 2356, 2407}, {kTableEnd, 0, 0}};
constexpr OrientedIcon kPagesPerSheetIcons[] = {{1, 2357, 2357},  {2, 2358, 2359},  {4, 2360, 2361},
                                                {8, 2362, 2363},  {16, 2364, 2365}, {32, 2366, 2367},
                                                {kTableEnd, 0, 0}};
constexpr OrientedIcon kPageOrderIcons[] = {{0, 0, 0},          {1, 2369, 2371}, {2, 2368, 2370},
                                            {3, 2375, 2375},    {4, 2374, 2374}, {5, 2373, 2373},
                                            {6, 2372, 2372},    {kTableEnd, 0, 0}};
constexpr PlainIcon kColourModeIcons[] = {{0, 2376}, {1, 2377}, {2, 2378}, {kTableEnd, 0}};
constexpr PlainIcon kItem296Icons[] = {{514, 2379}, {771, 2380}, {1028, 2381}, {kTableEnd, 0}};
constexpr PlainIcon kItem291Icons[] = {{0, 2400}, {3, 2401}, {4, 2402}, {5, 2403}, {6, 2404}, {kTableEnd, 0}};

// The item as a number; false when it cannot be read.
bool ReadNumber(const SettingsRecord* settings, const PrinterConfiguration* config, SettingItemId id, LONG* value) {
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(id, const_cast<SettingsRecord*>(settings), const_cast<PrinterConfiguration*>(config), &type,
                   &length, &cell) != kItemDone)
    return false;
  *value = ReadTypedValue(type, &cell);
  return true;
}

WORD FindPlainIcon(std::span<const PlainIcon> table, const Choice* choice) {
  for (const PlainIcon& row : table) {
    if (row.value == kTableEnd) break;
    if (row.value == static_cast<LONG>(choice->value.number)) return row.icon;
  }
  return 0;
}

WORD FindOrientedIcon(std::span<const OrientedIcon> table, const Choice* choice, LONG orientation) {
  if (orientation != kPortrait && orientation != kLandscape) return 0;
  for (const OrientedIcon& row : table) {
    if (row.value == kTableEnd) break;
    if (row.value == static_cast<LONG>(choice->value.number))
      return orientation == kPortrait ? row.portrait : row.landscape;
  }
  return 0;
}

bool HasArguments(const Choice* choice, const SettingsRecord* settings, const PrinterConfiguration* config) {
  return choice != nullptr && settings != nullptr && config != nullptr;
}

// By the document orientation (item 7).
WORD ByOrientation(std::span<const OrientedIcon> table, const Choice* choice, const SettingsRecord* settings,
                   const PrinterConfiguration* config) {
  LONG orientation = 0;
  if (!HasArguments(choice, settings, config) || !ReadNumber(settings, config, kItemOrientation, &orientation))
    return 0;
  return FindOrientedIcon(table, choice, orientation);
}

}  // namespace

WORD GetDuplexChoiceIcon(LONG, const Choice* choice, const SettingsRecord* settings,
                         const PrinterConfiguration* config) {
  LONG orientation = 0, rules = 0, pages = 0;
  if (!HasArguments(choice, settings, config) || !ReadNumber(settings, config, kItemOrientation, &orientation) ||
      !ReadNumber(settings, config, kItemPageLayout, &rules) ||
      !ReadNumber(settings, config, kItemPagesPerSheet, &pages))
    return 0;
  // Two or eight pages on a sheet turn the sheet a quarter turn (booklets keep it as it is).
  if (rules != kBookletLayout && pages != 1 && pages != 4 && pages != 16)
    orientation = orientation == kPortrait ? kLandscape : kPortrait;
  return FindOrientedIcon(kDuplexIcons, choice, orientation);
}

WORD GetPagesPerSheetChoiceIcon(LONG, const Choice* choice, const SettingsRecord* settings,
                                const PrinterConfiguration* config) {
  return ByOrientation(kPagesPerSheetIcons, choice, settings, config);
}

WORD GetItem264ChoiceIcon(LONG, const Choice* choice, const SettingsRecord* settings,
                          const PrinterConfiguration* config) {
  return ByOrientation(kPageOrderIcons, choice, settings, config);
}

WORD GetColourModeChoiceIcon(LONG, const Choice* choice, const SettingsRecord* settings,
                             const PrinterConfiguration* config) {
  return HasArguments(choice, settings, config) ? FindPlainIcon(kColourModeIcons, choice) : 0;
}

WORD GetItem296ChoiceIcon(LONG, const Choice* choice, const SettingsRecord* settings,
                          const PrinterConfiguration* config) {
  return HasArguments(choice, settings, config) ? FindPlainIcon(kItem296Icons, choice) : 0;
}

WORD GetItem291ChoiceIcon(LONG, const Choice* choice, const SettingsRecord* settings,
                          const PrinterConfiguration* config) {
  return HasArguments(choice, settings, config) ? FindPlainIcon(kItem291Icons, choice) : 0;
}
