// Face-name collection through the platform's font enumeration: TrueType faces only, each
// full name once, in the order found; running totals; allocation failure; release.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/fonts/font_names.h"
#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class FontNames : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    SimSetFontList({
        {u"Serif One", u"Serif One", u"Regular", TRUETYPE_FONTTYPE, FW_NORMAL, 0, ANSI_CHARSET},
        {u"Raster Sys", u"Raster Sys", u"Regular", RASTER_FONTTYPE, FW_NORMAL, 0, ANSI_CHARSET},
        {u"Serif One", u"Serif One Bold", u"Bold", TRUETYPE_FONTTYPE, FW_BOLD, 0, ANSI_CHARSET},
        // The same face in a second character set: one name.
        {u"Serif One", u"Serif One", u"Regular", TRUETYPE_FONTTYPE, FW_NORMAL, 0, 0xA1},
        // A device face inside a TrueType family is not collected.
        {u"Serif One", u"Serif One Device", u"Regular", DEVICE_FONTTYPE, FW_NORMAL, 0, ANSI_CHARSET},
        {u"Mono", u"Mono", u"Regular", TRUETYPE_FONTTYPE, FW_NORMAL, 0, ANSI_CHARSET},
    });
    state_.collection = static_cast<FontNameCollection*>(GlobalAlloc(GPTR, sizeof(FontNameCollection)));
    state_.collection->dc = reinterpret_cast<HDC>(0x2000);
    state_.collection->success = 1;
  }

  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    for (FontNameNode* n = state_.collection->head; n != nullptr; n = n->next) {
      EXPECT_EQ(n->reserved, 0u);
      names.push_back(n->name);
    }
    return names;
  }

  FontSubstitutionState state_{};
};

TEST_F(FontNames, CollectsEachTrueTypeFullNameOnce) {
  FontNameCollection* c = state_.collection;
  EXPECT_EQ(EnumFontFamiliesW(c->dc, nullptr, &EnumTrueTypeFamilyProc, reinterpret_cast<LPARAM>(c)), 1);
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Serif One", u"Serif One Bold", u"Mono"}));
  EXPECT_EQ(c->count, 3);
  EXPECT_EQ(c->byteTotal, 2 * (10 + 15 + 5));
  EXPECT_EQ(c->success, 1u);
  // A second run adds nothing.
  EnumFontFamiliesW(c->dc, nullptr, &EnumTrueTypeFamilyProc, reinterpret_cast<LPARAM>(c));
  EXPECT_EQ(c->count, 3);

  c->pairList = GlobalAlloc(GPTR, 16);
  c->data = GlobalAlloc(GPTR, 16);
  FreeFontSubstitutionState(&state_);
  EXPECT_EQ(state_.collection, nullptr);
  FreeFontSubstitutionState(&state_);  // nothing left: nothing happens
  FreeFontSubstitutionState(nullptr);
}

TEST_F(FontNames, FailedAllocationStopsTheEnumerationAndKeepsTheList) {
  FontNameCollection* c = state_.collection;
  // The first name takes two blocks; the second name's node allocation fails.
  SimFailNthAllocation(3);
  EXPECT_EQ(EnumFontFamiliesW(c->dc, nullptr, &EnumTrueTypeFamilyProc, reinterpret_cast<LPARAM>(c)), 0);
  EXPECT_EQ(c->success, 0u);
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"Serif One"}));
  EXPECT_EQ(c->count, 1);
  EXPECT_EQ(c->byteTotal, 20);
  FreeFontSubstitutionState(&state_);
}

TEST_F(FontNames, UnterminatedFullNameIsTakenWholeAndTotalsStopAtTheirLimit) {
  FontNameCollection* c = state_.collection;
  c->byteTotal = 0xFFF0;
  ENUMLOGFONTW face{};
  for (WCHAR& ch : face.elfFullName) ch = u'x';
  TEXTMETRICW metrics{};
  EXPECT_EQ(CollectFaceNameProc(&face.elfLogFont, &metrics, TRUETYPE_FONTTYPE, reinterpret_cast<LPARAM>(c)), 1);
  ASSERT_EQ(Names().size(), 1u);
  EXPECT_EQ(Names()[0], std::u16string(LF_FULLFACESIZE, u'x'));
  EXPECT_EQ(c->byteTotal, kMaxCollectedBytes);
  FreeFontSubstitutionState(&state_);
}

}  // namespace
