// Font files: the installed font file that draws a face. Pictures (windows, pages) take their
// glyphs from the files of one Debian font package so that every machine draws the same pixels:
// the sans, serif and mono families of fonts-dejavu-core, regular and bold. Face names are
// mapped to one of those families by a fixed table; an italic face is drawn from the upright
// file with a slant (the package has no slanted files, and using them when some other package
// happens to install them would make pictures differ between machines).
// Characters the family's file has no glyph for (Japanese texts of dialogs and code page 932
// data) are drawn from one fallback file, IPAGothic of fonts-ipafont-gothic, whatever the face.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/export.h"
#include "platform/base/types.h"

// The family a face name is drawn with.
enum class FontFileFamily { Sans, Serif, Mono };

struct FontFile {
  std::string path;       // absolute path of the font file; empty when it is not installed
  FontFileFamily family;  // the family the face maps to
  bool bold;              // the file is the bold one of the family
  bool slant;             // the face is italic: the caller slants the upright glyphs
};

// Weights from this value up are drawn with the bold file.
inline constexpr LONG kFontFileBoldWeight = 600;

// The directory the font package installs its files into.
inline constexpr std::string_view kFontFileDirectory = "/usr/share/fonts/truetype/dejavu";

// The family a face name maps to (case-insensitive; a face the table does not know is drawn
// with the sans family, as a dialog's font is).
PLATFORM_API FontFileFamily GdiFontFamilyOfFace(std::u16string_view face);

// The file that draws `face` at `weight` (FW_* value; 0 means normal) and `italic`.
// The answer depends only on the arguments and on whether the package's file is present.
PLATFORM_API FontFile GdiFindFontFile(std::u16string_view face, LONG weight, bool italic);

// The directory and file of the fallback face for characters the family's file lacks.
inline constexpr std::string_view kFallbackFontDirectory = "/usr/share/fonts/opentype/ipafont-gothic";
inline constexpr std::string_view kFallbackFontFileName = "ipag.ttf";

// The absolute path of the fallback face's file; empty when it is not installed.
PLATFORM_API std::string GdiFindFallbackFontFile();
