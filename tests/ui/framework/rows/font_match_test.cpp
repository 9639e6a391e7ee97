// The TrueType font chosen for a font setting on the dialog framework's test sheet: the
// setting's own face, the face that stands in for the sample's printer fonts, or the default
// face (string 735, "Arial" in the test resources).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/framework/sheet/font_lists.h"

namespace {

using namespace dialog_test;

class FontMatchTest : public DialogTest {
 protected:
  void SetFace(const std::u16string& face) {
    WCHAR field[32] = {};
    face.copy(field, 31);
    LPCWSTR text = field;
    ASSERT_EQ(
        SetItemValue(kItemStampFace, data_->current.settings, data_->current.config, kTypeString, sizeof field, &text),
        kItemDone);
  }
};

// A table of installed TrueType faces, each entry marked by its weight.
std::vector<LOGFONTW> Fonts(std::initializer_list<const char16_t*> faces) {
  std::vector<LOGFONTW> fonts;
  for (const char16_t* face : faces) {
    LOGFONTW font{};
    std::u16string(face).copy(font.lfFaceName, 31);
    font.lfWeight = static_cast<LONG>(100 * (fonts.size() + 1));
    fonts.push_back(font);
  }
  return fonts;
}

TEST_F(FontMatchTest, FaceAliasOrDefaultWithItsState) {
  struct Case {
    const char16_t* face;
    std::vector<LOGFONTW> installed;
    const char16_t* chosen;  // nullptr: no font
    WORD state;
    BYTE charSet, pitchAndFamily;
  };
  const Case cases[] = {
      // An installed face is its own answer.
      {u"Times New Roman", Fonts({u"Arial", u"Times New Roman"}), u"Times New Roman", kFontMatchTrueType, 0, 0},
      // Printer fonts: the first TrueType face of the record, with the record's character set
      // and pitch (fixed-pitch modern, variable-pitch roman).
      {u"Courier", Fonts({u"Arial", u"Courier New"}), u"Courier New", kFontMatchAlias, 0, 0x31},
      {u"CG Times", Fonts({u"Times New Roman"}), u"Times New Roman", kFontMatchAlias, 0, 0x12},
      // The alias of the Shift-JIS font is not installed: the default face, state 4.
      {u"Letter Gothic", Fonts({u"Courier New", u"Arial"}), u"Arial", kFontMatchNoAlias, 128, 0x31},
      // No printer font of that name: the default face.
      {u"Mincho", Fonts({u"Courier New", u"Arial"}), u"Arial", kFontMatchDefault, 0, 0},
      // Neither the alias nor the default face is installed.
      {u"Letter Gothic", Fonts({u"Courier New"}), nullptr, kFontMatchNone, 0, 0},
      {u"Mincho", Fonts({u"Courier New"}), nullptr, kFontMatchNone, 0, 0},
  };
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND general, HandlerContext*) {
    for (const Case& c : cases) {
      SetFace(c.face);
      FontTable table{static_cast<DWORD>(c.installed.size()), const_cast<LOGFONTW*>(c.installed.data())};
      WORD state = 99;
      BYTE charSet = 99, pitch = 99;
      const LOGFONTW* font = MatchFontName(general, &table, kItemStampFace, &state, &charSet, &pitch);
      SCOPED_TRACE(std::string(c.face, c.face + std::char_traits<char16_t>::length(c.face)));
      EXPECT_EQ(state, c.state);
      if (c.chosen == nullptr) {
        EXPECT_EQ(font, nullptr);
        continue;
      }
      ASSERT_NE(font, nullptr);
      EXPECT_GE(font, table.fonts) << "the answer is an entry of the table";
      EXPECT_LT(font, table.fonts + table.count);
      EXPECT_EQ(std::u16string(font->lfFaceName), c.chosen);
      EXPECT_EQ(charSet, c.charSet);
      EXPECT_EQ(pitch, c.pitchAndFamily);
    }
  });
}

TEST_F(FontMatchTest, MissingTableOrSettingAnswersNothing) {
  RunOnGeneralPage(WM_NOTIFY, [&](HWND, HWND general, HandlerContext*) {
    SetFace(u"Courier");
    std::vector<LOGFONTW> installed = Fonts({u"Courier New", u"Arial"});
    FontTable table{static_cast<DWORD>(installed.size()), installed.data()};
    FontTable noArray{2, nullptr};
    WORD state = 99;
    BYTE charSet = 99, pitch = 99;
    EXPECT_EQ(MatchFontName(general, nullptr, kItemStampFace, &state, &charSet, &pitch), nullptr);
    EXPECT_EQ(state, kFontMatchNone);
    EXPECT_EQ(MatchFontName(general, &noArray, kItemStampFace, &state, &charSet, &pitch), nullptr)
        << "a table without its array fails the look-up at once";
    EXPECT_EQ(state, kFontMatchNone);
    EXPECT_EQ(MatchFontName(general, &table, kItemCollate, &state, &charSet, &pitch), nullptr) << "not a face item";
    EXPECT_EQ(MatchFontName(nullptr, &table, kItemStampFace, &state, &charSet, &pitch), nullptr) << "no window";
    EXPECT_NE(MatchFontName(general, &table, kItemStampFace, &state, &charSet, &pitch), nullptr);
  });
}

}  // namespace
