// The model's two feature words, read from the description database: the first from section
// 26, the second from section 39 (only in databases of format level 0x1600 or later). Single
// bits are tested with TestFeatureFlag (core/common_routines.h).
#pragma once

#include "core/database/database.h"
#include "platform/base/types.h"

// Fills words[0] and words[1]; 1 when read, 0 for NULL arguments or when the sections cannot
// be read (both words are then 0).
int GetModelFeatureFlags(DatabaseStream* stream, DWORD words[2]);
// TestFeatureFlag over the model's words; 0 when they cannot be read.
int HasModelFeature(DatabaseStream* stream, DWORD feature);
