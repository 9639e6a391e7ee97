// Test control of GDI: the installed fonts that EnumFontFamiliesW reports, and the count of
// live objects.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"

// Test control: the number of live palettes and icons.
PLATFORM_API int SimLiveGdiObjects();

struct SimFont {
  std::u16string family;    // face name of the family (at most 31 characters are reported)
  std::u16string fullName;  // full name of the face (at most 63)
  std::u16string style;     // style name, e.g. "Bold Italic" (at most 31)
  DWORD fontType;           // RASTER_FONTTYPE, DEVICE_FONTTYPE, TRUETYPE_FONTTYPE bits
  LONG weight;
  BYTE italic;
  BYTE charSet;
};

// Replaces the installed fonts; the list keeps its order. SimReset empties it.
PLATFORM_API void SimSetFontList(const std::vector<SimFont>& fonts);
