// The realisation of a brush the engine asks the driver for: a RealizedBrush block the engine
// owns (BRUSHOBJ_pvAllocRbrush), read again when the brush's pattern is sent. Little-endian:
//   0  u32 pattern width        4  u32 pattern height
//   8  u32 format (BMF_1BPP, BMF_4BPP, BMF_8BPP as they are; 16, 24 and 32 bits stored as 24: 5)
//   12 u32 flags (the pattern's fjBitmap | 1)
//   16 u32 colour-table entries  20 u32 table offset (rows length + 40)   24 u32 hatch index
//   28 the pattern rows, each padded to 4 bytes;  at the table offset the u32 table entries.
// A standard hatch (index below 6) has no rows: only the last three header words and the table.
#pragma once

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

constexpr ULONG kRealizedBrushRows = 28;
constexpr ULONG kRealizedBrushFixedBytes = 40;
constexpr ULONG kFirstPatternHatch = 6;

// FALSE with ERROR_INVALID_PARAMETER for a missing argument or a target whose device is not a
// live record; FALSE without an error code for a pattern format it cannot store or no memory.
BOOL HandleRealizeBrush(BRUSHOBJ* brush, SURFOBJ* target, SURFOBJ* pattern, XLATEOBJ* xlate, ULONG hatch);
