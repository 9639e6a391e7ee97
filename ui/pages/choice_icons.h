// The icons that the pages' value lists show beside each choice (list kind data with the page
// icon flag): each maps a choice's value, and for some the orientation, to an icon of the
// resource module; 0 for no icon or a missing argument.
#pragma once

#include "core/descriptors/choice_list.h"
#include "items/setting_records.h"
#include "platform/base/types.h"

// Two-sided printing (item 16): by the orientation of the sheet the pages are put on.
WORD GetDuplexChoiceIcon(LONG controlId, const Choice* choice, const SettingsRecord* settings,
                         const PrinterConfiguration* config);
// Pages per sheet (item 295): by the document orientation.
WORD GetPagesPerSheetChoiceIcon(LONG controlId, const Choice* choice, const SettingsRecord* settings,
                                const PrinterConfiguration* config);
// Page order (item 264): by the document orientation.
WORD GetItem264ChoiceIcon(LONG controlId, const Choice* choice, const SettingsRecord* settings,
                          const PrinterConfiguration* config);
// Colour mode (item 270).
WORD GetColourModeChoiceIcon(LONG controlId, const Choice* choice, const SettingsRecord* settings,
                             const PrinterConfiguration* config);
// Tiling (item 296).
WORD GetItem296ChoiceIcon(LONG controlId, const Choice* choice, const SettingsRecord* settings,
                          const PrinterConfiguration* config);
// Item 291.
WORD GetItem291ChoiceIcon(LONG controlId, const Choice* choice, const SettingsRecord* settings,
                          const PrinterConfiguration* config);
