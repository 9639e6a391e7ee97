// Rules that keep the driver's private items and the public device-mode fields that mirror
// them in step: the paper source next to dmDefaultSource, the colour mode next to dmColor,
// the TrueType mode next to dmTTOption, the ICM method, the scale and paper-size field flags,
// and the summary word of the adjustment triples. Each works on one record in place and
// answers FALSE when an item cannot be read or written (values already written stay).
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// DM_SCALE set in dmFields when item 1324 is 1, else cleared.
BOOL SyncScaleFieldFlag(SettingsRecord* settings, PrinterConfiguration* config);
// DM_PAPERLENGTH and DM_PAPERWIDTH set when item 1331 is 1, else cleared.
BOOL SyncPaperSizeFieldFlags(SettingsRecord* settings, PrinterConfiguration* config);
// Item 273 = one bit per row of three items holding a non-zero value: with item 1314 = 1 the
// rows {275, 279, 283} 1, {276, 280, 284} 2 and {277, 281, 285} 4; otherwise the row
// {274, 278, 282} stands for all three (7).
BOOL SyncItemTriples274To285(SettingsRecord* settings, PrinterConfiguration* config);
// After dmTTOption (17) changed: item 292 = 1 when dmTTOption is 1, else 2 when item 292 was
// not 0, else 0. After item 292 changed: dmTTOption = 1 when item 292 is 1, else 3. FALSE for
// any other item.
BOOL SyncTrueTypeOptionItem(SettingsRecord* settings, PrinterConfiguration* config, SettingItemId changed);
// dmICMMethod = 2 when item 293 is 3, else 1; DM_ICMMETHOD set.
BOOL SyncIcmMethodItem(SettingsRecord* settings, PrinterConfiguration* config);
// dmColor = 1 (monochrome) when item 345 is 1, else 2 (colour); DM_COLOR set.
BOOL SyncColorItem(SettingsRecord* settings, PrinterConfiguration* config);
// While item 457 is set, the target item takes the source item's value unless the source
// holds `skipValue`. Nothing changes (TRUE) when item 457 is 0 or the source holds it.
BOOL SyncSourceItems(SettingsRecord* settings, PrinterConfiguration* config, LONG skipValue, SettingItemId source,
                     SettingItemId target);
// dmDefaultSource = item 265 unless item 265 is 258.
BOOL SyncDefaultSourceItem(SettingsRecord* settings, PrinterConfiguration* config);
// Item 265 = dmDefaultSource unless dmDefaultSource is 15.
BOOL SyncSourceFromDefault(SettingsRecord* settings, PrinterConfiguration* config);

// Sets or clears bits of dmFields. FALSE when the fields cannot be read or written.
BOOL UpdateDevmodeFields(SettingsRecord* settings, PrinterConfiguration* config, DWORD set, DWORD clear);
