// The engine's 16-bit curves: tone curves of the built-in profiles, curves from an ICC 'curv'
// tag, and tables of any length resampled to another length.
#pragma once

#include <cstddef>

#include "platform/base/types.h"

// Entry i = round(65535 x (i / 255)^gamma).
void BuildGammaCurve(double gamma, WORD out[256]);

// A 'curv' tag (whole tag bytes) into 256 entries: no entries the identity, one entry a gamma
// (u8Fixed8) rounded down, 256 entries copied, any other count resampled. False when the tag is
// not a 'curv' or is shorter than its count announces.
bool CurveFromTrc(const BYTE* tag, std::size_t size, WORD out[256]);

// Resamples n >= 2 big-endian 16-bit values (or 8-bit values taken times 256) to outCount >= 2
// entries: the first and last entries are kept, entry i lies at i x (n - 1) / (outCount - 1)
// between its two neighbours, interpolated linearly and truncated.
void ResampleCurve16(const BYTE* bigEndian, std::size_t n, WORD* out, std::size_t outCount);
void ResampleCurve8(const BYTE* values, std::size_t n, WORD* out, std::size_t outCount);
