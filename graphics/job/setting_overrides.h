// The direct mode's overrides of the layout items (duplex, pages per sheet and its companions)
// applied to a device's settings when the job starts, and undone at its end.
#pragma once

#include "graphics/device/pdev.h"
#include "platform/base/types.h"

// Saves items 16, 295, 264, 294, 321, 296 and 270 and writes each override that is set (each
// item saved before its own override is written); with the colour-override switch on item 270
// becomes automatic colour. Values saved by an earlier call are restored first. 0, or -1 when
// an item cannot be written (the saved values are still restored at the job's end).
int ApplySettingOverrides(Pdev* pdev);
// Writes the saved items back when overrides were applied; 0, or -1 when a write fails.
int RestoreOverriddenSettings(Pdev* pdev);
