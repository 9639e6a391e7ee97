// The blocks the user-interface module's escapes leave in the device for the job: the job
// information texts and the job header table. Both live on the global heap.
#pragma once

#include "graphics/device/escape_block_state.h"
#include "platform/base/types.h"

struct Pdev;

// Frees the job information and the job headers (at the job's end and with the device).
void FreeJobEscapeBlocks(Pdev* pdev);
// Frees everything the escapes keep in the device.
void FreeEscapeBlocks(Pdev* pdev);
