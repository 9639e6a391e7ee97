// Reading profiles: the TRC forms, every malformed or unfitting profile with its answer (the
// object then copies pixels, nothing is read outside the file and nothing is left open), and
// allocation failures.
#include <gtest/gtest.h>

#include <cmath>

#include "graphics/imaging/icc_profile_reader.h"
#include "graphics/imaging/tone_curves.h"
#include "tests/graphics/imaging/icc_fixture.h"

namespace {
std::vector<WORD> Curve(const IccBytes& tag) {
  std::vector<WORD> out(256);
  if (!CurveFromTrc(tag.data(), tag.size(), out.data())) return {};
  return out;
}

// Little CMS's reading of the same 'curv' tag, at the 256 levels.
std::vector<WORD> LcmsCurve(const IccBytes& tag) {
  const IccBytes profile = MatrixProfile(tag);
  cmsHPROFILE p = cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size()));
  auto* curve = static_cast<cmsToneCurve*>(cmsReadTag(p, cmsSigRedTRCTag));
  std::vector<WORD> out;
  for (int i = 0; i < 256; ++i) out.push_back(cmsEvalToneCurve16(curve, static_cast<cmsUInt16Number>(i * 257)));
  cmsCloseProfile(p);
  return out;
}

int MaxCurveDifference(const std::vector<WORD>& a, const std::vector<WORD>& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int{a[i]} - int{b[i]}));
  return worst;
}

IccTag Tag(const char* signature, IccBytes data) { return {signature, std::move(data)}; }

std::vector<IccTag> MatrixTags(const IccBytes& trc = GammaTag(0x0233)) {
  return {Tag("rXYZ", XyzTag(0.4361, 0.2225, 0.0139)), Tag("gXYZ", XyzTag(0.3851, 0.7169, 0.0971)),
          Tag("bXYZ", XyzTag(0.1431, 0.0606, 0.7141)), Tag("wtpt", XyzTag(0.9642, 1.0, 0.8249)),
          Tag("rTRC", trc),  Tag("gTRC", trc),  Tag("bTRC", trc)};
}

IccBytes SmallLut(bool wide = true, int grid = 2) {
  return LutTag(wide, grid, 2, 2, [](double x) { return x; },
                [](double r, double g, double b) { return std::array<double, 3>{r * 0.4, g * 0.4, b * 0.4}; },
                [](double x) { return x; });
}

IccBytes With(IccBytes bytes, std::size_t at, std::uint32_t value) {
  SetBe32(bytes, at, value);
  return bytes;
}

// The offset of tag table entry i's fields (signature, offset, size).
constexpr std::size_t TagEntry(int i) { return 132 + 12 * i; }
}  // namespace

TEST(IccCurves, CurveFormsFollowTheirCounts) {
  // One entry: a gamma in u8Fixed8, rounded down.
  const auto gamma = Curve(GammaTag(0x0233));
  ASSERT_EQ(gamma.size(), 256u);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(gamma[i], static_cast<WORD>(std::floor(65535 * std::pow(i / 255.0, 2.19921875)))) << i;
  const auto identity = Curve(CurvTag({}));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(identity[i], i * 257);
  std::vector<std::uint16_t> table(256);
  for (int i = 0; i < 256; ++i) table[i] = static_cast<std::uint16_t>(65535 - i * 100);
  EXPECT_EQ(Curve(CurvTag(table)), std::vector<WORD>(table.begin(), table.end()));
  // Two entries: a straight line from the first to the last, truncated.
  const auto line = Curve(CurvTag({1000, 2020}));
  for (int i = 0; i < 256; ++i) EXPECT_EQ(line[i], 1000 + i * 1020 / 255) << i;
}

// Little CMS reads the same tags to within 1 (the engine rounds a gamma down).
TEST(IccCurves, CurvesAgreeWithLittleCms) {
  const IccBytes tags[] = {GammaTag(0x0233), GammaTag(0x0100), GammaTag(0x01CD), CurvTag({}), TableCurvTag(256, 2.2),
                           TableCurvTag(1024, 1.8), TableCurvTag(4096, 2.4), TableCurvTag(17, 0.45)};
  for (const IccBytes& tag : tags) EXPECT_LE(MaxCurveDifference(Curve(tag), LcmsCurve(tag)), 1);
}

TEST(IccCurves, OtherTypesAndShortTagsAreRefused) {
  IccBytes para;
  PutSig(para, "para");
  PutBe32(para, 0);
  PutBe32(para, 0x00000000);  // function 0, then the gamma
  PutS15Fixed16(para, 2.2);
  EXPECT_TRUE(Curve(para).empty());
  IccBytes shortTable = CurvTag(std::vector<std::uint16_t>(300, 7));
  shortTable.resize(12 + 2 * 299);
  EXPECT_TRUE(Curve(shortTable).empty());
  EXPECT_TRUE(Curve(IccBytes{'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0, 0}).empty());
  EXPECT_TRUE(Curve(With(CurvTag({}), 8, 0xFFFFFFFF)).empty());
}

TEST_F(IccTest, ProfilesThatDoNotFitGetTheirAnswer) {
  const IccBytes matrix = MakeIccProfile("mntr", "RGB ", "XYZ ", MatrixTags());
  std::vector<IccTag> fourChannels{Tag("wtpt", XyzTag(0.9642, 1.0, 0.8249)), Tag("A2B0", SmallLut())};
  fourChannels[1].Data[8] = 4;
  std::vector<IccTag> oneGridPoint{Tag("wtpt", XyzTag(0.9642, 1.0, 0.8249)), Tag("A2B0", SmallLut(true, 2))};
  oneGridPoint[1].Data[10] = 1;
  std::vector<IccTag> longOutput{Tag("wtpt", XyzTag(0.9642, 1.0, 0.8249)), Tag("A2B0", SmallLut())};
  longOutput[1].Data[50] = 0x10;  // 4098 output entries, far past the tag
  std::vector<IccTag> oneInput{Tag("wtpt", XyzTag(0.9642, 1.0, 0.8249)), Tag("A2B0", SmallLut())};
  oneInput[1].Data[49] = 1;
  std::vector<IccTag> otherType{Tag("wtpt", XyzTag(0.9642, 1.0, 0.8249)), Tag("A2B0", SmallLut())};
  otherType[1].Data[3] = '3';
  std::vector<IccTag> paraCurves = MatrixTags();
  paraCurves[5].Data[0] = 'p';
  std::vector<IccTag> shortXyz = MatrixTags();
  shortXyz[0].Data.resize(16);
  std::vector<IccTag> zeroWhite = MatrixTags();
  zeroWhite[3] = Tag("wtpt", XyzTag(0, 0, 0));
  std::vector<IccTag> zeroColorants = MatrixTags();
  for (int i = 0; i < 3; ++i) zeroColorants[i].Data = XyzTag(0, 0, 0);
  std::vector<IccTag> missingGreenCurve = MatrixTags();
  missingGreenCurve.erase(missingGreenCurve.begin() + 5);

  struct Case {
    const char* what;
    IccBytes bytes;
    int expected;
  } cases[] = {
      {"shorter than the header", IccBytes(matrix.begin(), matrix.begin() + 131), kIccReadFailed},
      {"empty file", IccBytes{}, kIccReadFailed},
      {"no signature", With(matrix, 36, 0x61637370 + 1), kIccNoSignature},
      {"CMYK", With(matrix, 16, 0x434D594B), kIccWrongClass},
      {"display with Lab", MakeIccProfile("mntr", "RGB ", "Lab ", MatrixTags()), kIccWrongClass},
      {"printer class", MakeIccProfile("prtr", "RGB ", "XYZ ", MatrixTags()), kIccWrongClass},
      {"other connection space", MakeIccProfile("scnr", "RGB ", "Luv ", MatrixTags()), kIccMissingTags},
      {"huge tag count", With(matrix, 128, 0xFFFFFFFF), kIccReadFailed},
      {"tag table past the end", With(matrix, 128, 1000), kIccReadFailed},
      {"tag offset past the end", With(matrix, TagEntry(4) + 4, 0x7FFFFFF0), kIccReadFailed},
      {"tag size past the end", With(matrix, TagEntry(4) + 8, static_cast<std::uint32_t>(matrix.size())), kIccReadFailed},
      {"tag offset and size wrapping", With(With(matrix, TagEntry(0) + 4, 0xFFFFFFF0), TagEntry(0) + 8, 0x20), kIccReadFailed},
      {"missing curve", MakeIccProfile("mntr", "RGB ", "XYZ ", missingGreenCurve), kIccMissingTags},
      {"parametric curve", MakeIccProfile("mntr", "RGB ", "XYZ ", paraCurves), kIccMissingTags},
      {"short colorant", MakeIccProfile("mntr", "RGB ", "XYZ ", shortXyz), kIccMissingTags},
      {"zero white", MakeIccProfile("mntr", "RGB ", "XYZ ", zeroWhite), kIccMissingTags},
      {"zero colorants", MakeIccProfile("mntr", "RGB ", "XYZ ", zeroColorants), kIccMissingTags},
      {"table of four inputs", MakeIccProfile("scnr", "RGB ", "XYZ ", fourChannels), kIccMissingTags},
      {"table of one grid point", MakeIccProfile("scnr", "RGB ", "XYZ ", oneGridPoint), kIccMissingTags},
      {"table output past the tag", MakeIccProfile("scnr", "RGB ", "XYZ ", longOutput), kIccMissingTags},
      {"table of one input entry", MakeIccProfile("scnr", "RGB ", "XYZ ", oneInput), kIccMissingTags},
      {"table of another type", MakeIccProfile("scnr", "RGB ", "XYZ ", otherType), kIccMissingTags},
      {"table without white", MakeIccProfile("scnr", "RGB ", "XYZ ", {Tag("A2B0", SmallLut())}), kIccMissingTags},
  };
  for (const Case& c : cases) {
    ProfileLut* lut = NewLut();
    EXPECT_EQ(Load(lut, c.bytes), c.expected) << c.what;
    EXPECT_EQ(lut->State, kLutUnusable) << c.what;
    EXPECT_EQ(lut->LutBlock, nullptr) << c.what;
    EXPECT_EQ(ConvertPixels(lut, {{10, 200, 30}}), (std::vector<Rgb>{{10, 200, 30}})) << c.what;
  }
  EXPECT_EQ(LoadIccProfile(nullptr, "C:\\profiles\\test.icc"), kIccNoObject);
  EXPECT_EQ(LoadIccProfile(NewLut(), "C:\\profiles\\missing.icc"), kIccCannotOpen);
}

// A scanner profile falls back to the matrix model when its table is missing or unusable, and
// an earlier usable tag of a kind holds over a later one.
TEST_F(IccTest, ScannerProfilesChooseTheirModel) {
  std::vector<IccTag> withTable = MatrixTags();
  withTable.push_back(Tag("A2B0", SmallLut()));
  std::vector<IccTag> withUnusableTable = MatrixTags();
  withUnusableTable.push_back(Tag("A2B0", SmallLut()));
  withUnusableTable.back().Data[9] = 4;
  std::vector<IccTag> twice = MatrixTags();
  twice.push_back(Tag("wtpt", XyzTag(0, 0, 0)));
  struct Case {
    const char* what;
    IccBytes bytes;
    LONG state;
  } cases[] = {
      {"scanner with table", MakeIccProfile("scnr", "RGB ", "Lab ", withTable), kLutTableModel},
      {"display with table", MakeIccProfile("mntr", "RGB ", "XYZ ", withTable), kLutMatrixModel},
      {"scanner without table", MakeIccProfile("scnr", "RGB ", "XYZ ", MatrixTags()), kLutMatrixModel},
      {"scanner with unusable table", MakeIccProfile("scnr", "RGB ", "XYZ ", withUnusableTable), kLutMatrixModel},
      {"second white", MakeIccProfile("mntr", "RGB ", "XYZ ", twice), kLutMatrixModel},
      {"8-bit table", MakeIccProfile("scnr", "RGB ", "XYZ ", {Tag("wtpt", XyzTag(0.9642, 1, 0.8249)), Tag("A2B0", SmallLut(false, 3))}),
       kLutTableModel},
  };
  for (const Case& c : cases) {
    ProfileLut* lut = NewLut();
    EXPECT_EQ(Load(lut, c.bytes), kIccOk) << c.what;
    EXPECT_EQ(lut->State, c.state) << c.what;
  }
}

// Every cut of a profile short of its last tag is a failed read.
TEST_F(IccTest, TruncatedProfilesFailToRead) {
  const IccBytes profiles[] = {MakeIccProfile("mntr", "RGB ", "XYZ ", MatrixTags(TableCurvTag(40, 2.2))),
                               MakeIccProfile("scnr", "RGB ", "XYZ ", {Tag("wtpt", XyzTag(0.9642, 1, 0.8249)), Tag("A2B0", SmallLut(true, 3))})};
  for (const IccBytes& full : profiles) {
    ProfileLut* lut = NewLut();
    ASSERT_EQ(ReadIccProfileBytes(*lut, full.data(), full.size()), kIccOk);
    for (std::size_t size = 0; size + 3 < full.size(); ++size) {
      IccBytes cut(full.begin(), full.begin() + size);
      EXPECT_EQ(ReadIccProfileBytes(*lut, cut.data(), cut.size()), kIccReadFailed) << size;
      EXPECT_EQ(lut->State, kLutUnusable);
    }
  }
  ProfileLut* lut = NewLut();
  const IccBytes& last = profiles[1];
  EXPECT_EQ(Load(lut, IccBytes(last.begin(), last.end() - 8)), kIccReadFailed);
}

// Without memory for a tag, the table or its scratch curves the answer is kIccNoMemory, with
// nothing left allocated.
TEST_F(IccTest, AllocationFailuresAnswerNoMemory) {
  const IccBytes profiles[] = {MakeIccProfile("scnr", "RGB ", "Lab ", {Tag("wtpt", XyzTag(0.9642, 1, 0.8249)), Tag("A2B0", SmallLut())}),
                               MakeIccProfile("mntr", "RGB ", "XYZ ", MatrixTags())};
  for (const IccBytes& profile : profiles) {
    int failures = 0;
    for (int n = 1;; ++n) {
      ProfileLut* lut = NewLut();
      SimFailNthAllocation(n);
      const int rc = ReadIccProfileBytes(*lut, profile.data(), profile.size());
      const bool pending = SimAllocationFailurePending();
      SimFailNthAllocation(0);
      if (pending) {
        EXPECT_EQ(rc, kIccOk);
        break;
      }
      EXPECT_EQ(rc, kIccNoMemory) << n;
      EXPECT_EQ(lut->State, kLutUnusable);
      ++failures;
    }
    EXPECT_GE(failures, 3);
  }
}
