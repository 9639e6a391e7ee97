// Font files: face names map to the font package's files by family, weight and slant.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class FontFiles : public SandboxTest {};

struct FaceCase {
  const char16_t* face;
  LONG weight;
  bool italic;
  const char* file;
  bool bold;
};

constexpr FaceCase kCases[] = {
    {u"MS Shell Dlg", FW_NORMAL, false, "DejaVuSans.ttf", false},
    {u"ms shell dlg", FW_BOLD, false, "DejaVuSans-Bold.ttf", true},
    {u"Times New Roman", 0, true, "DejaVuSerif.ttf", false},
    {u"Courier New", 600, false, "DejaVuSansMono-Bold.ttf", true},
    {u"Courier New", 599, false, "DejaVuSansMono.ttf", false},
    {u"No Such Face", FW_NORMAL, false, "DejaVuSans.ttf", false},
    {u"", FW_NORMAL, false, "DejaVuSans.ttf", false},
};

TEST_F(FontFiles, FacesMapToThePackageFiles) {
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.file));
    FontFile file = GdiFindFontFile(c.face, c.weight, c.italic);
    EXPECT_EQ(file.path, std::string(kFontFileDirectory) + "/" + c.file);
    EXPECT_EQ(file.bold, c.bold);
    EXPECT_EQ(file.slant, c.italic);
    // The file is a TrueType font FreeType can read.
    std::ifstream in(file.path, std::ios::binary);
    char magic[4] = {};
    ASSERT_TRUE(in.read(magic, 4));
    EXPECT_EQ(std::string(magic, 4), std::string("\0\1\0\0", 4));
  }
}

TEST_F(FontFiles, FallbackFileIsTheJapanesePackagesGothic) {
  const std::string path = GdiFindFallbackFontFile();
  EXPECT_EQ(path, std::string(kFallbackFontDirectory) + "/" + std::string(kFallbackFontFileName));
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  ASSERT_TRUE(in.read(magic, 4));
  EXPECT_EQ(std::string(magic, 4), std::string("\0\1\0\0", 4));
}

TEST_F(FontFiles, FaceFieldWithTerminatorAndRest) {
  const char16_t field[8] = {u'A', u'r', u'i', u'a', u'l', 0, u'x', 0};
  EXPECT_EQ(GdiFontFamilyOfFace(std::u16string_view(field, 8)), FontFileFamily::Sans);
  const char16_t mono[12] = {u'C', u'o', u'u', u'r', u'i', u'e', u'r', 0, u'Q', u'Q', 0, 0};
  EXPECT_EQ(GdiFontFamilyOfFace(std::u16string_view(mono, 12)), FontFileFamily::Mono);
}

}  // namespace
