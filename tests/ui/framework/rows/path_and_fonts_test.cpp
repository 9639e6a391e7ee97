// Directory macros of file-dialog paths and the list of fonts offered for font settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/database/database.h"
#include "core/database/dbrecords.h"
#include "platform/platform.h"
#include "tests/support/model_files.h"
#include "tests/support/sandbox_test.h"
#include "ui/framework/sheet/font_lists.h"
#include "ui/framework/text/path_macros.h"

namespace {

class PathAndFontsTest : public SandboxTest {};

TEST_F(PathAndFontsTest, PathMacrosExpand) {
  struct Case {
    const char16_t* path;
    const char16_t* expanded;  // nullptr: the expansion fails
  };
  const std::u16string longName(250, u'x');
  const std::u16string longPath = u"C:\\" + longName + u"%SYSTEM%";
  const Case cases[] = {
      {u"%SYSTEM%", u"C:\\Windows\\System32"},
      {u"%ICM%", u"C:\\Windows\\System32\\Spool\\Drivers\\Color"},
      {u"%ICM%\\Profiles", u"C:\\Windows\\System32\\Spool\\Drivers\\Color"},  // the rest is dropped
      {u"%DRIVER%", u"C:\\Windows\\System32\\Spool\\Drivers\\w32x86\\3"},
      {u"D:%SYSTEM%", u"D:C:\\Windows\\System32"},
      {u"C:\\Stamps\\Logo", u"C:\\Stamps\\Logo"},  // no macro: copied whole
      {u"", u""},
      {u"%TEMP%", nullptr},
      {u"%system%", nullptr},  // names are compared with case
      {u"%%", nullptr},
      {u"%ICM", nullptr},
      {longPath.c_str(), nullptr},  // longer than 260 characters once expanded
  };
  for (const Case& c : cases) {
    LPWSTR out = reinterpret_cast<LPWSTR>(1);
    const int ok = ExpandPathMacros(c.path, &out);
    SCOPED_TRACE(std::string(c.path, c.path + std::char_traits<char16_t>::length(c.path)));
    if (c.expanded == nullptr) {
      EXPECT_EQ(ok, 0);
      EXPECT_EQ(out, nullptr);
    } else {
      ASSERT_EQ(ok, 1);
      EXPECT_EQ(std::u16string(out), std::u16string(c.expanded));
      GlobalFree(out);
    }
  }
  EXPECT_EQ(ExpandPathMacros(u"%SYSTEM%", nullptr), 0);
}

std::string FontModel(const std::vector<std::string>& names) {
  std::string text = "model \"Fonts\"\nversion \"T:1.0.0\"\nlevel 0x1600\ncodepage 1252\n";
  int key = 1;
  for (const std::string& name : names)
    text += "font " + std::to_string(key++) + " name=\"" + name + "\" faces=[\"" + name + "\"] data=hex:00010002\n";
  return text;
}

std::vector<std::u16string> PrinterFonts(const FontList* list) {
  std::vector<std::u16string> names;
  for (WORD i = 0; i < list->printerFontCount; ++i) names.emplace_back(list->printerFonts[i]);
  return names;
}

TEST_F(PathAndFontsTest, FontListMergesFamiliesAndDeviceFonts) {
  SimSetFontList({
      {u"Arial", u"Arial", u"Regular", TRUETYPE_FONTTYPE, 400, 0, 0},
      {u"System", u"System", u"Regular", RASTER_FONTTYPE, 400, 0, 0},
      {u"Tahoma", u"Tahoma", u"Regular", TRUETYPE_FONTTYPE, 400, 0, 0},
  });
  ItemStore* store = OpenModelText(FontModel({"Courier", "Courier", "Gothic", "Courier", "Mincho"}), u"FONTS.DDD");
  ASSERT_NE(store, nullptr);
  FontList* list = BuildFontList(store);
  ASSERT_NE(list, nullptr);
  // TrueType families only, in enumeration order, each with its width cleared.
  ASSERT_EQ(list->trueTypeCount, 2);
  ASSERT_NE(list->first, nullptr);
  EXPECT_EQ(std::u16string(list->first->faceName), u"Arial");
  ASSERT_NE(list->first->next, nullptr);
  EXPECT_EQ(std::u16string(list->first->next->faceName), u"Tahoma");
  EXPECT_EQ(list->first->next->next, nullptr);
  EXPECT_EQ(list->first->font->lfWidth, 0);
  EXPECT_EQ(std::u16string(list->first->font->lfFaceName), u"Arial");
  // A repeat right after the same name is left out; the same name further on stays.
  EXPECT_EQ(PrinterFonts(list), (std::vector<std::u16string>{u"Courier", u"Gothic", u"Courier", u"Mincho"}));
  FreeFontList(list);
  CloseItemStore(store);
}

TEST_F(PathAndFontsTest, FontListWithoutDeviceFontsOrMemory) {
  SimSetFontList({{u"Arial", u"Arial", u"Regular", TRUETYPE_FONTTYPE, 400, 0, 0}});
  ItemStore* store = OpenModelText(FontModel({}), u"NOFONTS.DDD");
  ASSERT_NE(store, nullptr);
  FontList* list = BuildFontList(store);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->trueTypeCount, 1);
  EXPECT_EQ(list->printerFontCount, 0);
  FreeFontList(list);
  EXPECT_EQ(BuildFontList(nullptr), nullptr);
  CloseItemStore(store);
}

// Font data of 31 bytes (up to the pitch and family byte) with the character set at byte 25
// and the pitch and family at byte 30; `bytes` shorter cuts it.
std::string FontData(int charSet, int pitch, size_t bytes = 31) {
  std::string data(31 * 2, '0');
  auto put = [&](size_t at, int value) {
    static const char digits[] = "0123456789abcdef";
    data[at * 2] = digits[value >> 4];
    data[at * 2 + 1] = digits[value & 15];
  };
  put(25, charSet);
  put(30, pitch);
  return data.substr(0, bytes * 2);
}

TEST_F(PathAndFontsTest, DeviceFontTraitsFromTheFontData) {
  struct Case {
    std::string data;  // empty: the record has no font data
    BYTE charSet, pitchAndFamily;
  };
  const Case cases[] = {
      {FontData(0, 0x30), 0, 0x31},       // fixed pitch, modern family
      {FontData(0, 0x11), 0, 0x12},       // variable pitch, roman family
      {FontData(128, 0x35), 128, 0x32},   // only the pitch bit of the low half counts
      {FontData(200, 0x21), 0, 0x22},     // a stored 200 is the ANSI set
      {FontData(2, 0x21, 30), 0, 0},      // the data ends before the pitch byte
      {"", 0, 0},
  };
  std::string model = "model \"Fonts\"\nversion \"T:1.0.0\"\nlevel 0x1600\ncodepage 1252\n";
  int key = 1;
  for (const Case& c : cases) {
    model += "font " + std::to_string(key) + " name=\"F" + std::to_string(key) + "\" faces=[\"Arial\"]";
    if (!c.data.empty()) model += " data=hex:" + c.data;
    model += "\n";
    ++key;
  }
  ItemStore* store = OpenModelText(model, u"TRAITS.DDD");
  ASSERT_NE(store, nullptr);
  WORD position = 1;
  for (const Case& c : cases) {
    ScopedRecord record;
    ASSERT_EQ(ReadRecord(TRUE, store->main, store->linked, 11, position++, &record.record), 0);
    BYTE charSet = 99, pitch = 99;
    ASSERT_EQ(GetDeviceFontTraits(record.record, &charSet, &pitch), 1) << c.data;
    EXPECT_EQ(charSet, c.charSet) << c.data;
    EXPECT_EQ(pitch, c.pitchAndFamily) << c.data;
  }
  BYTE charSet = 0, pitch = 0;
  EXPECT_EQ(GetDeviceFontTraits(nullptr, &charSet, &pitch), 0);
  CloseItemStore(store);
}

TEST_F(PathAndFontsTest, PrinterFontAliases) {
  HMODULE resources = LoadLibraryExW(u"dialog_test_resources.qrs", nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(resources, nullptr);
  struct Case {
    const char16_t* alias;
    const char16_t* face;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"Letter Gothic", u"Courier", u"Letter Gothic"},  // the record's own alias wins
      {nullptr, u"Courier", u"Courier New"},
      {u"", u"Gothic", u"MS Gothic"},
      {nullptr, u"Mincho", u"Arial"},
      {nullptr, nullptr, u"Arial"},
  };
  for (const Case& c : cases) {
    WCHAR face[kPrinterFontNameChars] = {u'x'};
    EXPECT_EQ(MapFontAlias(c.alias, resources, face, c.face), 1);
    EXPECT_EQ(std::u16string(face), std::u16string(c.expected));
  }
  FreeLibrary(resources);
}

}  // namespace
