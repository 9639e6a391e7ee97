// Device fonts of the sample model as the engine asks for them through qorvexgr.dll's table:
// which font records are exposed, their IFIMETRICS, kerning pairs and glyph sets, and the
// refusals of the queries.
#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/fonts.h"
#include "platform/gdi/gdi_sim.h"
#include "tests/graphics/ddi/module_fixture.h"

namespace {

using QueryFont = IFIMETRICS* (*)(DHPDEV, ULONG_PTR, ULONG, ULONG_PTR*);
using QueryFontTree = PVOID (*)(DHPDEV, ULONG_PTR, ULONG, ULONG, ULONG_PTR*);
using QueryFontData = LONG (*)(DHPDEV, FONTOBJ*, ULONG, HGLYPH, GLYPHDATA*, PVOID, ULONG);

class DeviceFonts : public EngineModuleTest {
 protected:
  void SetUp() override {
    EngineModuleTest::SetUp();
    queryFont_ = reinterpret_cast<QueryFont>(EngineDriverFunction(driver_, INDEX_DrvQueryFont));
    queryTree_ = reinterpret_cast<QueryFontTree>(EngineDriverFunction(driver_, INDEX_DrvQueryFontTree));
    queryData_ = reinterpret_cast<QueryFontData>(EngineDriverFunction(driver_, INDEX_DrvQueryFontData));
    ASSERT_TRUE(queryFont_ && queryTree_ && queryData_);
  }
  // The faces the device exposes, in order.
  std::vector<std::string> Faces(DHPDEV device) {
    std::vector<std::string> faces;
    for (ULONG face = 1;; ++face) {
      ULONG_PTR id = 99;
      IFIMETRICS* ifi = queryFont_(device, 0, face, &id);
      if (ifi == nullptr) break;
      EXPECT_EQ(id, 0u);
      faces.push_back(Name(ifi, ifi->dpwszFaceName));
    }
    return faces;
  }
  static std::string Name(const IFIMETRICS* ifi, PTRDIFF offset) {
    return Utf16ToUtf8(reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(ifi) + offset));
  }
  QueryFont queryFont_ = nullptr;
  QueryFontTree queryTree_ = nullptr;
  QueryFontData queryData_ = nullptr;
};

SimFont Installed(const char16_t* family) { return SimFont{family, family, u"Regular", TRUETYPE_FONTTYPE, 400, 0, 0}; }

TEST_F(DeviceFonts, RecordsWhoseFaceIsNotInstalledAreExposed) {
  struct Case {
    const char* name;
    std::vector<SimFont> installed;
    std::vector<std::string> faces;
  };
  const Case cases[] = {
      {"nothing installed", {}, {"Courier", "CG Times", "Univers", "Letter Gothic"}},
      {"CG Times installed", {Installed(u"Arial"), Installed(u"CG Times")}, {"Courier", "Univers", "Letter Gothic"}},
      {"names compare without case", {Installed(u"courier"), Installed(u"UNIVERS")}, {"CG Times", "Letter Gothic"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimSetFontList(c.installed);
    EngineDc* dc = CreateDc();
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(Faces(EngineDcDevice(dc)), c.faces);
    DeleteDc(dc);
  }
}

TEST_F(DeviceFonts, MetricsOfAFixedPitchFont) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  const IFIMETRICS* ifi = queryFont_(EngineDcDevice(dc), 0, 1, nullptr);
  ASSERT_NE(ifi, nullptr);
  EXPECT_EQ(Name(ifi, ifi->dpwszFaceName), "Courier");
  EXPECT_EQ(ifi->dpwszFaceName, 192);
  EXPECT_EQ(Name(ifi, ifi->dpwszFamilyName), "Courier");
  EXPECT_EQ(ifi->flInfo, static_cast<ULONG>(FM_INFO_ARB_XFORMS | FM_INFO_NOT_CONTIGUOUS | FM_INFO_RIGHT_HANDED |
                                            FM_INFO_OPTICALLY_FIXED_PITCH | FM_INFO_CONSTANT_WIDTH));
  EXPECT_EQ(ifi->jWinCharSet, 0);
  EXPECT_EQ(ifi->jWinPitchAndFamily, 0x31);
  EXPECT_EQ(ifi->usWinWeight, 400);
  EXPECT_EQ(ifi->fsType, 2);
  EXPECT_EQ(ifi->fwdUnitsPerEm, 1000);
  EXPECT_EQ(ifi->fwdLowestPPEm, 4);
  EXPECT_EQ(ifi->fwdWinAscender, 750);
  EXPECT_EQ(ifi->fwdWinDescender, 250);
  EXPECT_EQ(ifi->fwdTypoDescender, -250);
  EXPECT_EQ(ifi->fwdAveCharWidth, 600);
  EXPECT_EQ(ifi->fwdMaxCharInc, 600);
  EXPECT_EQ(ifi->chFirstChar, 32);
  EXPECT_EQ(ifi->chLastChar, 255);
  EXPECT_EQ(ifi->chDefaultChar, '?');
  EXPECT_EQ(ifi->wcDefaultChar, u'?');
  EXPECT_EQ(ifi->wcLastChar, u'\u00FF');
  EXPECT_EQ(ifi->ptlCaret.x, 0);
  EXPECT_EQ(ifi->ptlCaret.y, 1);
  EXPECT_EQ(ifi->ptlAspect.x, 600);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(ifi->achVendId), 4), "Unkn");
  EXPECT_EQ(ifi->cKerningPairs, 0u);
  EXPECT_EQ(ifi->panose.bWeight, 5);
  EXPECT_EQ(ifi->panose.bProportion, 9);
  // The simulations: bold, italic, bold italic.
  const auto* sim = reinterpret_cast<const FONTSIM*>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpFontSim);
  const auto* bold = reinterpret_cast<const FONTDIFF*>(reinterpret_cast<const BYTE*>(sim) + sim->dpBold);
  const auto* italic = reinterpret_cast<const FONTDIFF*>(reinterpret_cast<const BYTE*>(sim) + sim->dpItalic);
  const auto* both = reinterpret_cast<const FONTDIFF*>(reinterpret_cast<const BYTE*>(sim) + sim->dpBoldItalic);
  EXPECT_EQ(bold->usWinWeight, 700);
  EXPECT_EQ(bold->fsSelection & FM_SEL_BOLD, FM_SEL_BOLD);
  EXPECT_EQ(bold->fwdAveCharWidth, 601);
  EXPECT_EQ(italic->usWinWeight, 400);
  EXPECT_EQ(italic->fsSelection & FM_SEL_ITALIC, FM_SEL_ITALIC);
  EXPECT_EQ(italic->ptlCaret.y, 3);
  EXPECT_EQ(both->fsSelection & (FM_SEL_BOLD | FM_SEL_ITALIC), FM_SEL_BOLD | FM_SEL_ITALIC);
}

TEST_F(DeviceFonts, MetricsOfTheOtherFonts) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  DHPDEV device = EngineDcDevice(dc);
  const IFIMETRICS* times = queryFont_(device, 0, 2, nullptr);
  const IFIMETRICS* univers = queryFont_(device, 0, 3, nullptr);
  const IFIMETRICS* gothic = queryFont_(device, 0, 4, nullptr);
  ASSERT_TRUE(times && univers && gothic);
  // CG Times: a variable-pitch font without an average width in its header: the rounded mean
  // of its width table; line gap 30 - 50 gives 0.
  EXPECT_EQ(times->jWinPitchAndFamily, 0x12);
  EXPECT_EQ(times->flInfo & FM_INFO_CONSTANT_WIDTH, 0u);
  LONG sum = 0;
  for (int i = 0; i < 95; ++i) sum += 250 + (i * 37) % 600;
  EXPECT_EQ(times->fwdAveCharWidth, (sum + 47) / 95);
  EXPECT_EQ(times->fwdMaxCharInc, 1000);
  EXPECT_EQ(times->fwdMacLineGap, 0);
  EXPECT_EQ(times->fwdWinDescender, 350);
  EXPECT_EQ(times->cKerningPairs, 3u);
  // Univers: weight 0 counts as 400, underline and strike-out, a slanted caret.
  EXPECT_EQ(univers->usWinWeight, 400);
  EXPECT_EQ(univers->fsSelection, FM_SEL_UNDERSCORE | FM_SEL_STRIKEOUT);
  EXPECT_EQ(univers->ptlCaret.x, 1);
  EXPECT_EQ(univers->ptlCaret.y, 2);
  EXPECT_EQ(univers->fwdAveCharWidth, 550);
  EXPECT_EQ(univers->fwdMacLineGap, 0);
  // Letter Gothic: Shift-JIS fixed pitch, weight 1200 counts as 400.
  EXPECT_EQ(gothic->jWinCharSet, 128);
  EXPECT_EQ(gothic->usWinWeight, 400);
  EXPECT_NE(gothic->flInfo & FM_INFO_DBCS_FIXED_PITCH, 0u);
  EXPECT_EQ(gothic->flInfo & FM_INFO_CONSTANT_WIDTH, 0u);
  EXPECT_EQ(gothic->wcLastChar, 0xFFE5);
  EXPECT_EQ(gothic->wcDefaultChar, 0xFF65);
  EXPECT_EQ(gothic->wcBreakChar, 0x20);
}

TEST_F(DeviceFonts, KerningPairsEndWithAZeroRow) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  DHPDEV device = EngineDcDevice(dc);
  const auto* pairs = static_cast<const FD_KERNINGPAIR*>(queryTree_(device, 0, 2, QFT_KERNPAIRS, nullptr));
  ASSERT_NE(pairs, nullptr);
  const FD_KERNINGPAIR expected[] = {{u'A', u'V', -80}, {u'T', u'o', -60}, {u'Y', u'e', -40}, {0, 0, 0}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(pairs[i].wcFirst, expected[i].wcFirst) << i;
    EXPECT_EQ(pairs[i].wcSecond, expected[i].wcSecond) << i;
    EXPECT_EQ(pairs[i].fwdKern, expected[i].fwdKern) << i;
  }
  EXPECT_EQ(queryTree_(device, 0, 1, QFT_KERNPAIRS, nullptr), nullptr);  // Courier has none
}

TEST_F(DeviceFonts, GlyphSets) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  DHPDEV device = EngineDcDevice(dc);
  const auto* set = static_cast<const FD_GLYPHSET*>(queryTree_(device, 0, 1, QFT_GLYPHSET, nullptr));
  ASSERT_NE(set, nullptr);
  EXPECT_GT(set->cGlyphsSupported, 200u);
  // Every font but the Shift-JIS one shares the default set.
  EXPECT_EQ(queryTree_(device, 0, 2, QFT_GLYPHSET, nullptr), set);
  // The Shift-JIS set lives in the resource module, which this sandbox does not have.
  EXPECT_EQ(queryTree_(device, 0, 4, QFT_GLYPHSET, nullptr), nullptr);
  SetLastError(0);
  EXPECT_EQ(queryTree_(device, 0, 1, 1, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(DeviceFonts, QueriesRefuseFacesOutsideTheFonts) {
  EngineDc* dc = CreateDc();
  ASSERT_NE(dc, nullptr);
  DHPDEV device = EngineDcDevice(dc);
  for (ULONG face : {0u, 5u, 0xFFFFFFFFu}) {
    SetLastError(0);
    EXPECT_EQ(queryFont_(device, 0, face, nullptr), nullptr) << face;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(queryTree_(device, 0, face, QFT_KERNPAIRS, nullptr), nullptr) << face;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  FONTOBJ font{};
  font.iFace = 1;
  EXPECT_EQ(queryData_(device, nullptr, QFD_MAXEXTENTS, 0, nullptr, nullptr, 0), 0);
  EXPECT_EQ(queryData_(device, &font, QFD_MAXEXTENTS, 0, nullptr, nullptr, 0), 124);
  SetLastError(0);
  EXPECT_EQ(queryData_(device, &font, QFD_GLYPHANDOUTLINE, 0, nullptr, nullptr, 0), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
