// The table model: an 'A2B0' tag of type 'mft1' (8-bit) or 'mft2' (16-bit) re-gridded into
// the ProfileLut's 17 x 17 x 17 table of linear sRGB values.
#pragma once

#include <cstddef>

#include "graphics/imaging/color_maths.h"
#include "graphics/imaging/profile_lut.h"

// Where the parts of an 'A2B0' tag lie; only tables of three inputs and three outputs with at
// least two grid points and two entries per curve are taken.
struct LutTagLayout {
  bool Wide;              // 'mft2': 16-bit big-endian values
  std::size_t Grid;       // grid points per input
  std::size_t InputCount, OutputCount;  // entries of each input and output curve
  std::size_t InputTables, GridValues, OutputTables;  // offsets in the tag
};

// False when the tag is of another type or shape, or shorter than its parts.
bool ReadLutTagLayout(const BYTE* tag, std::size_t size, LutTagLayout& out);

// Fills the input curves and a new table from the tag; connection space Lab or XYZ; the table
// is scaled by the profile white and adapted to sRGB. Answers an IccStatus.
int BuildLutTable(ProfileLut& lut, const BYTE* tag, const LutTagLayout& layout, bool lab, const Xyz& white);
