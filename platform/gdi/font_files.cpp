// Font files: face name to the installed file of the font package (rules in font_files.h).
#include "platform/gdi/font_files.h"

#include <sys/stat.h>

#include <array>
#include <atomic>

namespace {

struct FaceFamily {
  std::u16string_view face;
  FontFileFamily family;
};

// Faces that dialogs, pages and the driver's own texts name, with the family that draws them.
constexpr std::array kFaceFamilies{
    FaceFamily{u"MS Shell Dlg", FontFileFamily::Sans},   FaceFamily{u"MS Shell Dlg 2", FontFileFamily::Sans},
    FaceFamily{u"MS Sans Serif", FontFileFamily::Sans},  FaceFamily{u"System", FontFileFamily::Sans},
    FaceFamily{u"Arial", FontFileFamily::Sans},          FaceFamily{u"Helvetica", FontFileFamily::Sans},
    FaceFamily{u"Tahoma", FontFileFamily::Sans},         FaceFamily{u"Verdana", FontFileFamily::Sans},
    FaceFamily{u"Segoe UI", FontFileFamily::Sans},       FaceFamily{u"Times New Roman", FontFileFamily::Serif},
    FaceFamily{u"Times", FontFileFamily::Serif},         FaceFamily{u"MS Serif", FontFileFamily::Serif},
    FaceFamily{u"Georgia", FontFileFamily::Serif},       FaceFamily{u"Garamond", FontFileFamily::Serif},
    FaceFamily{u"Courier New", FontFileFamily::Mono},    FaceFamily{u"Courier", FontFileFamily::Mono},
    FaceFamily{u"Lucida Console", FontFileFamily::Mono}, FaceFamily{u"Consolas", FontFileFamily::Mono},
    FaceFamily{u"Terminal", FontFileFamily::Mono},       FaceFamily{u"Fixedsys", FontFileFamily::Mono},
};

struct FamilyFiles {
  const char* regular;
  const char* bold;
};

// Indexed by FontFileFamily.
constexpr std::array kFamilyFiles{
    FamilyFiles{"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"},
    FamilyFiles{"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf"},
    FamilyFiles{"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf"},
};

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

bool SameFace(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Whether a package file is installed. Text output asks for every string it draws; once found,
// a file stays found for the process (the package is not removed under a running program), so
// the file system is asked again only while it is missing.
bool PackageFileInstalled(FontFileFamily family, bool bold, const std::string& path) {
  static std::array<std::atomic<bool>, kFamilyFiles.size() * 2> found{};
  std::atomic<bool>& known = found[size_t(family) * 2 + (bold ? 1 : 0)];
  if (known.load(std::memory_order_relaxed)) return true;
  if (!IsFile(path)) return false;
  known.store(true, std::memory_order_relaxed);
  return true;
}

}  // namespace

FontFileFamily GdiFontFamilyOfFace(std::u16string_view face) {
  // A face name in a record may carry its terminator and the unused rest of its field.
  if (auto end = face.find(u'\0'); end != std::u16string_view::npos) face = face.substr(0, end);
  for (const auto& entry : kFaceFamilies)
    if (SameFace(entry.face, face)) return entry.family;
  return FontFileFamily::Sans;
}

FontFile GdiFindFontFile(std::u16string_view face, LONG weight, bool italic) {
  FontFile file{};
  file.family = GdiFontFamilyOfFace(face);
  file.bold = weight >= kFontFileBoldWeight;
  file.slant = italic;
  const auto& names = kFamilyFiles[size_t(file.family)];
  std::string path = std::string(kFontFileDirectory) + "/" + (file.bold ? names.bold : names.regular);
  if (PackageFileInstalled(file.family, file.bold, path)) file.path = std::move(path);
  return file;
}

std::string GdiFindFallbackFontFile() {
  std::string path = std::string(kFallbackFontDirectory) + "/" + std::string(kFallbackFontFileName);
  return IsFile(path) ? path : std::string();
}
