// The scan dialog's choice tables: the rows its lists offer, in list order, with the string and
// picture of each row. A table ends with a row whose value is -1.
#pragma once

#include "platform/base/types.h"

struct ChoiceRow {
  LONG Value;
  UINT StringId;
  WORD BitmapId;  // the unit table: the unit's abbreviation string instead
  DWORD Reserved;
};
constexpr LONG kEndOfChoices = -1;

// Resolutions: the text is the value and the "dpi" string.
inline constexpr ChoiceRow kResolutionTable[] = {
    {600, 0, 254, 0}, {400, 0, 253, 0}, {300, 0, 253, 0}, {200, 0, 252, 0},
    {150, 0, 252, 0}, {100, 0, 252, 0}, {kEndOfChoices, 0, 0, 0},
};
// Original types: Text, Photo, Text & Photo.
inline constexpr ChoiceRow kOriginalTypeTable[] = {
    {0, 6011, 257, 0}, {1, 6012, 255, 0}, {2, 6013, 256, 0}, {kEndOfChoices, 0, 0, 0},
};
// The scan type each original type scans with: threshold, diffusion, halftone (one bit each).
inline constexpr WORD kScanTypeOfOriginal[] = {0, 3, 1};
// Area sizes: TWAIN supported-size codes.
inline constexpr ChoiceRow kAreaSizeTable[] = {
    {11, 6022, 0, 0}, {1, 6021, 0, 0}, {5, 6023, 0, 0}, {6, 6028, 0, 0},  {2, 6024, 0, 0},
    {3, 6025, 0, 0},  {4, 6026, 0, 0}, {9, 6032, 0, 0}, {10, 6027, 0, 0}, {kEndOfChoices, 0, 0, 0},
};
// Display units: inches, millimetres, pixels, with their abbreviations.
inline constexpr ChoiceRow kUnitTable[] = {
    {0, 1034, 1046, 0}, {2, 1036, 1049, 0}, {3, 1037, 0x41A, 0}, {kEndOfChoices, 0, 0, 0},
};
// Sources: the flatbed and the document feeder (texts from the companion library only).
inline constexpr ChoiceRow kScanSourceTable[] = {
    {0, 1091, 228, 0}, {1, 1093, 230, 0}, {kEndOfChoices, 0, 0, 0},
};
