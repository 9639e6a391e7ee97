// Brushes sent to the drawing library: every fill and pen of the module is set here, as a solid
// colour, one of the six hatch styles, a one-bit pattern or a colour pattern. Non-solid brushes
// come realised by the driver (realized_brush.h); every colour passes the page colour detection
// and the document's colour conversion before the emitter sends it. While the user-interface
// module draws a stamp with a stamp mode value, solid fills take the stamp colour instead.
//
// Colours: a conversion result pixel is blue, green, red in memory (a device colour 0x00RRGGBB
// read as bytes); the emitter takes {red, green, blue}, or {grey} for a grey result.
#pragma once

#include <optional>

#include "platform/base/types.h"
#include "platform/engine/ddi_objects.h"

struct Pdev;

// What a brush is set for; the emitter keeps one state per target.
inline constexpr BYTE kBrushTargetPen = 1;
inline constexpr BYTE kBrushTargetFill = 2;

// The library refuses nothing longer: its pattern call carries the data length in 16 bits.
inline constexpr DWORD kMaxRasterPatternBytes = 0xFFFF;

// Sets the brush for the target through the device's emitter: with a ROP (a 16-bit pair of
// ternary codes) the raster operation first, then the brush's colours and pattern. 1 when done,
// 0 when the brush is missing or unusable, a colour cannot be converted, memory runs out or the
// library refuses a command.
int EmitBrushPattern(Pdev* pdev, BYTE target, const POINTL* origin, BRUSHOBJ* brush, std::optional<DWORD> rop);

