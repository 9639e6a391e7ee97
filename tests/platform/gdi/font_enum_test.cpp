// EnumFontFamiliesW over the installed fonts: families, faces of one family, stopping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class FontEnum : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    SimSetFontList({
        {u"Serif One", u"Serif One", u"Regular", TRUETYPE_FONTTYPE, FW_NORMAL, 0, ANSI_CHARSET},
        {u"Raster Sys", u"Raster Sys", u"Regular", RASTER_FONTTYPE, FW_NORMAL, 0, ANSI_CHARSET},
        {u"serif one", u"Serif One Bold Italic", u"Bold Italic", TRUETYPE_FONTTYPE, FW_BOLD, 1, ANSI_CHARSET},
    });
  }
  HDC dc_ = reinterpret_cast<HDC>(0x2000);
};

struct Seen {
  std::vector<std::u16string> faces, fullNames;
  std::vector<DWORD> types;
  int stopAfter = 0;
};

int CALLBACK Record(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM param) {
  auto* seen = reinterpret_cast<Seen*>(param);
  const auto* full = reinterpret_cast<const ENUMLOGFONTW*>(font);
  seen->faces.push_back(font->lfFaceName);
  seen->fullNames.push_back(full->elfFullName);
  seen->types.push_back(type);
  EXPECT_EQ(metrics->tmWeight, font->lfWeight);
  return int(seen->faces.size()) == seen->stopAfter ? 0 : 7;
}

TEST_F(FontEnum, FamiliesThenFacesOfOneFamily) {
  Seen families;
  EXPECT_EQ(EnumFontFamiliesW(dc_, nullptr, &Record, reinterpret_cast<LPARAM>(&families)), 7);
  EXPECT_EQ(families.faces, (std::vector<std::u16string>{u"Serif One", u"Raster Sys"}));
  EXPECT_EQ(families.types, (std::vector<DWORD>{TRUETYPE_FONTTYPE, RASTER_FONTTYPE}));

  Seen faces;
  EXPECT_EQ(EnumFontFamiliesW(dc_, u"SERIF ONE", &Record, reinterpret_cast<LPARAM>(&faces)), 7);
  EXPECT_EQ(faces.fullNames, (std::vector<std::u16string>{u"Serif One", u"Serif One Bold Italic"}));

  Seen none;
  EXPECT_EQ(EnumFontFamiliesW(dc_, u"Missing", &Record, reinterpret_cast<LPARAM>(&none)), 1);
  EXPECT_TRUE(none.faces.empty());
}

TEST_F(FontEnum, CallbackStopsAndBadArguments) {
  Seen seen;
  seen.stopAfter = 1;
  EXPECT_EQ(EnumFontFamiliesW(dc_, nullptr, &Record, reinterpret_cast<LPARAM>(&seen)), 0);
  EXPECT_EQ(seen.faces.size(), 1u);
  EXPECT_EQ(EnumFontFamiliesW(nullptr, nullptr, &Record, 0), 0);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_EQ(EnumFontFamiliesW(dc_, nullptr, nullptr, 0), 0);
  // Long names are cut to their fields.
  SimSetFontList({{std::u16string(40, u'f'), std::u16string(70, u'n'), u"", TRUETYPE_FONTTYPE, FW_NORMAL, 0, 0}});
  Seen cut;
  EnumFontFamiliesW(dc_, nullptr, &Record, reinterpret_cast<LPARAM>(&cut));
  ASSERT_EQ(cut.faces.size(), 1u);
  EXPECT_EQ(cut.faces[0].size(), 31u);
  EXPECT_EQ(cut.fullNames[0].size(), 63u);
}

}  // namespace
