// Test control of GDI: the installed fonts that EnumFontFamiliesW reports, the count of live
// objects of every kind, the screen's resolution, and pictures of DCs and bitmaps as PNG files.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/types.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_objects.h"

// The kinds of object the layer's GDI table keeps.
enum class SimGdiKind { Palette, Icon, Bitmap, Pen, Brush, Font, Region, Dc };

// Test control: the number of live GDI objects of every kind (stock objects and permanent
// brushes are not counted).
PLATFORM_API int SimLiveGdiObjects();
// The number of live objects of one kind.
PLATFORM_API int SimLiveGdiObjectsOfKind(SimGdiKind kind);

// The resolution GetDeviceCaps reports as LOGPIXELSX and LOGPIXELSY (96 until set; SimReset
// sets it back).
PLATFORM_API void SimSetScreenDpi(int dpi);

// Writes the pixels of a DC (a memory DC's selected bitmap, a surface DC's drawable part) or of
// a bitmap to a PNG file at a host path. FALSE for a handle that is neither or a failed write.
PLATFORM_API BOOL SimSavePng(HGDIOBJ dcOrBitmap, const std::string& hostPath);
// The share (0 to 1) of pixels of the PNG `picture` whose red, green or blue differs from the
// kept PNG `fixture` by more than `channelTolerance`; 1 when either cannot be read or their
// sizes differ.
PLATFORM_API double SimComparePng(const std::string& picture, const std::string& fixture, int channelTolerance);

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

// Answers ExtEscape on device contexts that have no driver (memory and display DCs): called
// with the DC, the escape code, the input bytes and the output buffer; its answer is the
// escape's. Without one (and after SimReset) such escapes answer 0.
using SimEscapeResponder = std::function<int(HDC dc, int escape, std::span<const BYTE> input, std::span<BYTE> output)>;
PLATFORM_API void SimSetEscapeResponder(SimEscapeResponder responder);
