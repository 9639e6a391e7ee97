// Routines that read the model's description database: the feature words and the font
// substitution table built from the device font records; on the sample model and on small
// databases built for the case.
#include <string>
#include <vector>

#include "core/common/common_routines.h"
#include "core/database/model_features.h"
#include "core/fonts/font_sub_table_build.h"
#include "tests/support/database_fixture.h"

namespace {

class ModelData : public DatabaseTest {
 protected:
  static std::string Model(const char* level, const std::string& body) {
    return std::string("model \"M\"\nversion \"T:1.0.0\"\nlevel ") + level + "\n" + body;
  }
  // The pairs of a list as narrow "key=value" strings, in order.
  static std::vector<std::string> Pairs(LPCWSTR list) {
    std::vector<std::string> out;
    for (LPCWSTR p = list; *p != 0;) {
      LPCWSTR value = p + lstrlenW(p) + 1;
      out.push_back(Narrow(p) + "=" + Narrow(value));
      p = value + lstrlenW(value) + 1;
    }
    return out;
  }
};

TEST_F(ModelData, SampleModelFeatureWordsAndFontTable) {
  ASSERT_EQ(Open(SamplePath()), kDbOk);
  DWORD words[2] = {7, 7};
  ASSERT_EQ(GetModelFeatureFlags(&main_, words), 1);
  EXPECT_EQ(words[0], 0x00440010u);
  EXPECT_EQ(words[1], 0x1u);
  EXPECT_EQ(HasModelFeature(&main_, 0x400000), 1);      // letter in inch locales: a mask
  EXPECT_EQ(HasModelFeature(&main_, 0xFFFF0020), 1);    // bit 32: bit 0 of the second word
  EXPECT_EQ(HasModelFeature(&main_, 0xFFFF002E), 0);    // right-to-left: bit 14 of the second word
  EXPECT_EQ(HasModelFeature(&main_, 0xFFFF0004), 1);
  EXPECT_EQ(HasModelFeature(&main_, 0x2), 0);

  // The sample's fonts lie in its linked database.
  LPWSTR table = BuildFontSubTableFromData(&main_, &linked_);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Pairs(table), (std::vector<std::string>{"Courier New=Courier", "Courier=Courier",
                                                    "Times New Roman=CG Times", "Arial=Univers",
                                                    "Helvetica=Univers", "Lucida Console=Letter Gothic"}));
  GlobalFree(table);
}

TEST_F(ModelData, FeatureWordsByLevelAndSection) {
  struct Case {
    const char* level;
    const char* sections;
    int result;
    DWORD first;
    DWORD second;
  };
  const Case cases[] = {
      {"0x1600", "section 26 0x80000001\nsection 39 [0x4000 0x2]\n", 1, 0x80000001, 0x4000},
      {"0x1600", "section 26 5\n", 1, 5, 0},                          // empty section 39
      {"0x1000", "section 26 5\nsection 39 [0x4000]\n", 1, 5, 0},     // older: the section is not read
      {"0x15FF", "section 26 5\nsection 39 [0x4000]\n", 1, 5, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.level) + " " + c.sections);
    CloseDatabaseStreams(&main_, &linked_);
    main_ = {};
    linked_ = {};
    ASSERT_EQ(OpenText(Model(c.level, c.sections)), kDbOk);
    DWORD words[2] = {7, 7};
    EXPECT_EQ(GetModelFeatureFlags(&main_, words), c.result);
    EXPECT_EQ(words[0], c.first);
    EXPECT_EQ(words[1], c.second);
    EXPECT_EQ(HasModelFeature(&main_, 0xFFFF002E), (c.second >> 14) & 1);
  }
  DWORD words[2] = {};
  EXPECT_EQ(GetModelFeatureFlags(nullptr, words), 0);
  EXPECT_EQ(GetModelFeatureFlags(&main_, nullptr), 0);
  EXPECT_EQ(HasModelFeature(nullptr, 1), 0);
}

TEST_F(ModelData, EmptySecondFeatureSectionReadsAsZeroWhateverFollowsIt) {
  DddImage image = Build(Model("0x1600", "section 26 5\n"));
  ASSERT_EQ(Open(Install(image)), kDbOk);
  ASSERT_NE(LocateSection(&main_, DDD_SECTION_FEATURES2), nullptr);
  const DWORD count = main_.cursor;  // the section's u16 count (0); the bytes after it are not its own
  CloseDatabaseStreams(&main_, &linked_);
  main_ = {};
  linked_ = {};
  ASSERT_LE(count + 6, image.main.size());
  for (DWORD i = count + 2; i < count + 6; ++i) image.main[i] = 0xAB;
  ASSERT_EQ(Open(Install(image)), kDbOk);
  DWORD words[2] = {7, 7};
  ASSERT_EQ(GetModelFeatureFlags(&main_, words), 1);
  EXPECT_EQ(words[0], 5u);
  EXPECT_EQ(words[1], 0u);
}

TEST_F(ModelData, FeatureWordsOfAStreamThatIsNotLoadedCannotBeRead) {
  DatabaseStream closed = {};
  DWORD words[2] = {7, 7};
  EXPECT_EQ(GetModelFeatureFlags(&closed, words), 0);
  EXPECT_EQ(words[0], 0u);
  EXPECT_EQ(words[1], 0u);
  EXPECT_EQ(HasModelFeature(&closed, 0xFFFFFFFF), 0);
}

TEST_F(ModelData, FontTableCases) {
  const std::string longFace(2000, 'F');  // one pair longer than two growth steps
  std::vector<std::string> many;
  std::string manyFonts;
  for (int i = 1; i <= 40; ++i) {  // 40 pairs of 2 x 20 bytes overflow the first 1279 bytes
    std::string face = "Face number " + std::to_string(100 + i);
    manyFonts += "font " + std::to_string(i) + " name=\"Dev" + std::to_string(100 + i) + "\" faces=[\"" + face + "\"]\n";
    many.push_back(face + "=Dev" + std::to_string(100 + i));
  }
  struct Case {
    const char* what;
    std::string fonts;
    bool built;
    std::vector<std::string> pairs;
  };
  const std::vector<Case> cases = {
      {"no device fonts: the empty list", "", true, {}},
      {"faces in record order", "font 1 name=\"D1\" faces=[\"A\" \"B\"]\nfont 2 name=\"D2\" faces=[\"C\"]\n", true,
       {"A=D1", "B=D1", "C=D2"}},
      {"a record without faces adds nothing", "font 1 name=\"D1\"\nfont 2 name=\"D2\" faces=[\"C\"]\n", true,
       {"C=D2"}},
      {"the list grows in steps", manyFonts, true, many},
      {"one pair longer than the steps", "font 1 name=\"D\" faces=[\"" + longFace + "\"]\n", true, {longFace + "=D"}},
      {"a record without a name", "font 1 name=\"D1\" faces=[\"A\"]\nfont 2 faces=[\"B\"]\n", false, {}},
      {"an empty face name would end the list early", "font 1 name=\"D1\" faces=[\"A\" \"\" \"B\"]\n", false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    CloseDatabaseStreams(&main_, &linked_);
    main_ = {};
    linked_ = {};
    ASSERT_EQ(OpenText(Model("0x1600", c.fonts)), kDbOk);
    LPWSTR table = BuildFontSubTableFromData(&main_, &linked_);
    if (!c.built) {
      EXPECT_EQ(table, nullptr);
      continue;
    }
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(Pairs(table), c.pairs);
    GlobalFree(table);
  }
}

TEST_F(ModelData, FontTableFailsWhenTheLinkedDatabaseIsMissing) {
  ASSERT_EQ(Open(SamplePath()), kDbOk);
  ReleaseStream(&linked_);  // the fonts' records can no longer be read
  EXPECT_EQ(BuildFontSubTableFromData(&main_, &linked_), nullptr);
  EXPECT_EQ(BuildFontSubTableFromData(&main_, nullptr), nullptr);
}

}  // namespace
