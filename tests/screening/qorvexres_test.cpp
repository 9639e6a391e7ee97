// Drives the screening-table module as an outside caller does: loaded by name from the
// driver directory, its two exports looked up by name, every buffer read byte by byte.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/kernel/kernel_sim.h"
#include "platform/kernel/module.h"
#include "tests/support/sandbox_test.h"

namespace {

using GetBufferFn = LPCVOID (*)(INT, INT);
using GetNumberFn = LONG (*)(INT, INT);

constexpr DWORD kNone = 0xFFFFFFFF;

// Loads a screening module by name and binds its two exports; frees it afterwards.
class ScreeningModuleTest : public SandboxTest {
 protected:
  void Load(LPCWSTR name) {
    module_ = LoadLibraryW(name);
    ASSERT_NE(module_, nullptr) << SimModuleLastLoadMessage();
    getBuffer_ = reinterpret_cast<GetBufferFn>(GetProcAddress(module_, "RES_GetBuffer"));
    getNumber_ = reinterpret_cast<GetNumberFn>(GetProcAddress(module_, "RES_GetNumber"));
    ASSERT_NE(getBuffer_, nullptr);
    ASSERT_NE(getNumber_, nullptr);
  }
  void TearDown() override {
    if (module_ != nullptr) {
      EXPECT_TRUE(FreeLibrary(module_));
    }
    SandboxTest::TearDown();
  }

  const BYTE* Buffer(INT group, INT index) const { return static_cast<const BYTE*>(getBuffer_(group, index)); }
  LONG Number(INT group, INT index) const { return getNumber_(group, index); }

  HMODULE module_ = nullptr;
  GetBufferFn getBuffer_ = nullptr;
  GetNumberFn getNumber_ = nullptr;
};

// The module as delivered.
class ScreeningModule : public ScreeningModuleTest {
 protected:
  void SetUp() override {
    ScreeningModuleTest::SetUp();
    Load(u"qorvexres.dll");
  }
};

WORD ReadWord(const BYTE* p) { return static_cast<WORD>(p[0] | p[1] << 8); }
DWORD ReadDword(const BYTE* p) {
  return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
         static_cast<DWORD>(p[3]) << 24;
}
float ReadFloat(const BYTE* p) { return std::bit_cast<float>(ReadDword(p)); }

// ---- screen parameter records ----

using Group = std::array<DWORD, 6>;

struct EntryExpectation {
  INT record;
  int entry;
  std::vector<Group> used;
  Group unused;
};

const Group kAllNone{kNone, kNone, kNone, kNone, kNone, kNone};
const Group kNoneW2One{kNone, 1, kNone, kNone, kNone, kNone};

const std::vector<EntryExpectation>& EntryExpectations() {
  static const std::vector<EntryExpectation> rows = {
      {1000, 0, {{600, 1, 31, 0x80000003, kNone, kNone}}, kAllNone},
      {1000, 1, {{400, 1, 31, 31, kNone, kNone}, {600, 1, 31, 31, kNone, kNone}}, kAllNone},
      {1000,
       2,
       {{1000, 1, kNone, kNone, kNone, kNone},
        {1400, 1, kNone, kNone, kNone, kNone},
        {1800, 1, kNone, kNone, kNone, kNone},
        {2200, 1, kNone, kNone, kNone, kNone}},
       kNoneW2One},
      {1000, 3, {{1500, 1, kNone, kNone, 1, 2}, {0, 1, kNone, kNone, 2, 4}}, kNoneW2One},
      {1001, 0, {{600, 8, 31, 0x80000003, kNone, kNone}}, kAllNone},
      {1001, 1, {}, kAllNone},
      {1001,
       2,
       {{400, 8, kNone, kNone, kNone, kNone},
        {600, 8, kNone, kNone, kNone, kNone},
        {1000, 8, kNone, kNone, kNone, kNone},
        {1400, 8, kNone, kNone, kNone, kNone},
        {1800, 8, kNone, kNone, kNone, kNone},
        {2200, 8, kNone, kNone, kNone, kNone}},
       kAllNone},
      {1001, 3, {{1500, 8, kNone, kNone, 1, 2}, {0, 8, kNone, kNone, 2, 3}}, kAllNone},
  };
  return rows;
}

TEST_F(ScreeningModule, ScreenParamRecordsHoldEveryEntryAndGroup) {
  for (const EntryExpectation& e : EntryExpectations()) {
    SCOPED_TRACE(testing::Message() << "record " << e.record << " entry " << e.entry);
    const BYTE* record = Buffer(100, e.record);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(ReadDword(record + 816), 4u) << "entry count at the end of the 820-byte record";
    const BYTE* entry = record + e.entry * 204;
    EXPECT_EQ(ReadFloat(entry), 0.5f);
    EXPECT_EQ(ReadFloat(entry + 4), e.record == 1000 ? 5.4f : 1.4f);
    EXPECT_EQ(ReadDword(entry + 8), e.used.size());
    for (int g = 0; g < 8; ++g) {
      const Group& expected = g < static_cast<int>(e.used.size()) ? e.used[g] : e.unused;
      for (int w = 0; w < 6; ++w)
        EXPECT_EQ(ReadDword(entry + 12 + g * 24 + w * 4), expected[w]) << "group " << g << " w" << w + 1;
    }
  }
}

TEST_F(ScreeningModule, ScreenParamFactorsAreSinglePrecisionBitPatterns) {
  EXPECT_EQ(ReadDword(Buffer(100, 1000)), 0x3F000000u);
  EXPECT_EQ(ReadDword(Buffer(100, 1000) + 4), 0x40ACCCCDu);
  EXPECT_EQ(ReadDword(Buffer(100, 1001) + 4), 0x3FB33333u);
}

// ---- threshold matrices ----

constexpr int kSide = 32;

int Threshold(const BYTE* matrix, int row, int col) { return matrix[12 + row * kSide + col]; }

TEST_F(ScreeningModule, ThresholdMatricesHaveTheirHeaderAndTiling) {
  for (INT index : {3000, 3001}) {
    SCOPED_TRACE(index);
    const BYTE* m = Buffer(102, index);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(ReadWord(m), 32);
    EXPECT_EQ(ReadWord(m + 2), 32);
    for (int i = 4; i < 12; ++i) EXPECT_EQ(m[i], 0) << "header byte " << i;
    for (int r = 0; r < kSide; ++r)
      for (int c = 0; c < kSide; ++c) {
        // Period 16 in both directions.
        EXPECT_EQ(Threshold(m, r, c), Threshold(m, r % 16, c % 16)) << r << "," << c;
        // [A B / B A]: the bottom-right cell repeats the top-left, the bottom-left the top-right.
        if (r % 16 < 8 && c % 16 < 8) {
          EXPECT_EQ(Threshold(m, r + 8, c + 8), Threshold(m, r, c)) << r << "," << c;
          EXPECT_EQ(Threshold(m, r + 8, c), Threshold(m, r, c + 8)) << r << "," << c;
        }
      }
  }
}

// Each tile holds every odd value 1 to 255 exactly twice, and B differs from A by 2
// everywhere: a single mistyped threshold breaks one of these.
TEST_F(ScreeningModule, ThresholdCellsAreOddPairsCoveringEveryOddValue) {
  for (INT index : {3000, 3001}) {
    SCOPED_TRACE(index);
    const BYTE* m = Buffer(102, index);
    ASSERT_NE(m, nullptr);
    std::array<int, 256> inCells{};
    std::array<int, 256> inMatrix{};
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 8; ++c) {
        const int a = Threshold(m, r, c);
        const int b = Threshold(m, r, c + 8);
        EXPECT_EQ(a % 2, 1) << "A " << r << "," << c;
        EXPECT_EQ(b % 2, 1) << "B " << r << "," << c;
        EXPECT_EQ(a > b ? a - b : b - a, 2) << r << "," << c;
        ++inCells[a];
        ++inCells[b];
      }
    for (int r = 0; r < kSide; ++r)
      for (int c = 0; c < kSide; ++c) ++inMatrix[Threshold(m, r, c)];
    for (int v = 0; v < 256; ++v) {
      EXPECT_EQ(inCells[v], v % 2) << "value " << v << " in A and B";
      EXPECT_EQ(inMatrix[v], 8 * (v % 2)) << "value " << v << " in the matrix";
    }
  }
}

// Values at known places of each cell, off the diagonal too, so that a swapped or
// transposed cell shows.
TEST_F(ScreeningModule, ThresholdCellsSitWhereTheyBelong) {
  struct Spot {
    INT index;
    int row, col, value;
  };
  const Spot spots[] = {
      // index 3000, A at rows/columns 0-7, B at columns 8-15
      {3000, 0, 0, 227}, {3000, 0, 1, 203}, {3000, 1, 0, 163}, {3000, 7, 4, 1}, {3000, 3, 3, 253},
      {3000, 7, 7, 251}, {3000, 0, 8, 225}, {3000, 0, 9, 201}, {3000, 1, 8, 161}, {3000, 3, 11, 255},
      {3000, 7, 12, 3}, {3000, 6, 15, 169},
      // index 3001
      {3001, 0, 0, 245}, {3001, 0, 1, 21}, {3001, 1, 0, 69}, {3001, 6, 3, 3}, {3001, 4, 0, 253},
      {3001, 7, 7, 139}, {3001, 0, 8, 247}, {3001, 0, 9, 23}, {3001, 1, 8, 71}, {3001, 6, 11, 1},
      {3001, 4, 8, 255}, {3001, 7, 15, 137},
  };
  for (const Spot& s : spots)
    EXPECT_EQ(Threshold(Buffer(102, s.index), s.row, s.col), s.value)
        << s.index << " at " << s.row << "," << s.col;
}

// ---- tone curves ----

constexpr std::array<int, 17> kAnchorInputs{0, 1, 2, 3, 8, 16, 32, 48, 64, 96, 128, 160, 192, 224, 240, 254, 255};

struct CurveExpectation {
  const char* name;
  INT index;
  int curve;  // position inside the buffer
  std::array<int, 17> anchors;
};

const CurveExpectation kShapedCurves[] = {
    {"4000/4", 4000, 4, {0, 0, 0, 1, 8, 11, 23, 36, 48, 74, 99, 129, 169, 215, 234, 251, 255}},
    {"4000/5", 4000, 5, {0, 0, 0, 1, 9, 18, 31, 37, 43, 54, 72, 90, 112, 151, 171, 238, 255}},
    {"4500", 4500, 0, {0, 0, 0, 1, 7, 11, 18, 27, 39, 63, 88, 109, 158, 206, 226, 241, 255}},
    {"4501", 4501, 0, {0, 0, 0, 1, 7, 12, 27, 32, 40, 52, 65, 78, 98, 129, 159, 216, 255}},
};

TEST_F(ScreeningModule, ShapedCurvesPassEveryAnchorAndNeverFall) {
  for (const CurveExpectation& e : kShapedCurves) {
    SCOPED_TRACE(e.name);
    const BYTE* buffer = Buffer(103, e.index);
    ASSERT_NE(buffer, nullptr);
    const BYTE* curve = buffer + 256 * e.curve;
    for (size_t k = 0; k < kAnchorInputs.size(); ++k)
      EXPECT_EQ(curve[kAnchorInputs[k]], e.anchors[k]) << "input " << kAnchorInputs[k];
    for (int i = 1; i < 256; ++i) EXPECT_GE(curve[i], curve[i - 1]) << "input " << i;
  }
}

// Between anchors the curve rises gradually: an interval that rises by at least two over
// at least two inputs does not rise in a single step.
TEST_F(ScreeningModule, ShapedCurvesRiseGraduallyBetweenAnchors) {
  for (const CurveExpectation& e : kShapedCurves) {
    SCOPED_TRACE(e.name);
    const BYTE* curve = Buffer(103, e.index) + 256 * e.curve;
    for (size_t k = 0; k + 1 < kAnchorInputs.size(); ++k) {
      const int from = kAnchorInputs[k], to = kAnchorInputs[k + 1];
      if (to - from < 2 || e.anchors[k + 1] - e.anchors[k] < 2) continue;
      int risingSteps = 0;
      for (int i = from + 1; i <= to; ++i) risingSteps += curve[i] > curve[i - 1];
      EXPECT_GE(risingSteps, 2) << "between inputs " << from << " and " << to;
    }
  }
}

TEST_F(ScreeningModule, CurveBlock4000StartsWithFourIdentities) {
  const BYTE* block = Buffer(103, 4000);
  ASSERT_NE(block, nullptr);
  for (int c = 0; c < 6; ++c) {
    int differences = 0;
    for (int i = 0; i < 256; ++i) differences += block[256 * c + i] != i;
    if (c < 4)
      EXPECT_EQ(differences, 0) << "curve " << c;
    else
      EXPECT_GT(differences, 0) << "curve " << c;
  }
}

// ---- lookup by group and index ----

TEST_F(ScreeningModule, EveryListedBufferIsStableAndSeparate) {
  struct Listed {
    INT group, index;
    size_t size;
  };
  const Listed listed[] = {{100, 1000, 820}, {100, 1001, 820}, {102, 3000, 1036}, {102, 3001, 1036},
                           {103, 4000, 1536}, {103, 4500, 256},  {103, 4501, 256}};
  for (const Listed& a : listed) {
    const BYTE* p = Buffer(a.group, a.index);
    ASSERT_NE(p, nullptr) << a.group << "/" << a.index;
    EXPECT_EQ(Buffer(a.group, a.index), p) << "the same buffer on every call";
    for (const Listed& b : listed) {
      if (&a == &b) continue;
      const BYTE* q = Buffer(b.group, b.index);
      EXPECT_TRUE(p + a.size <= q || q + b.size <= p) << a.index << " overlaps " << b.index;
    }
  }
}

TEST_F(ScreeningModule, UnlistedGroupsAndIndexesAnswerNull) {
  const std::pair<INT, INT> unlisted[] = {
      {100, 999},  {100, 1002},  {100, 0},     {102, 2999},     {102, 3002},   {103, 3999},
      {103, 4001}, {103, 4499},  {103, 4502},  {99, 1000},      {104, 4000},   {0, 0},
      {-1, -1},    {INT_MIN, 0}, {INT_MAX, 0}, {100, INT_MIN},  {103, INT_MAX},
      // The library as delivered carries no lookup-table resource.
      {101, 0},    {101, 1},     {101, -1},    {101, 2000},     {101, INT_MAX},
  };
  for (const auto& [group, index] : unlisted) EXPECT_EQ(Buffer(group, index), nullptr) << group << "/" << index;
}

TEST_F(ScreeningModule, NumbersByGroupAndIndex) {
  struct Row {
    INT group, index;
    LONG value;
  };
  const Row rows[] = {
      {100, 128, 111}, {100, 192, 175}, {100, 320, 303}, {100, 576, 559},
      {100, 64, 47},   {100, 127, 47},  {100, 129, 47},  {100, 0, 47},   {100, -1, 47},  {100, INT_MAX, 47},
      {101, 2000, 0},  {101, 2001, 0},  {101, 2002, 0},
      {101, 1999, -1}, {101, 2003, -1}, {101, 128, -1},  {101, 0, -1},
      {99, 128, -1},   {102, 2000, -1}, {103, 4000, -1}, {0, 0, -1},     {INT_MIN, 128, -1},
  };
  for (const Row& r : rows) EXPECT_EQ(Number(r.group, r.index), r.value) << r.group << "/" << r.index;
}

// The same module built with a lookup-table resource: group 101 follows the item-number
// list into the module's own resource and answers the data after each item's header.
TEST_F(ScreeningModuleTest, LookupTableItemsComeFromTheModulesOwnResource) {
  ASSERT_NO_FATAL_FAILURE(Load(u"qvresdlut.dll"));
  const struct {
    INT index;
    const char* data;  // nullptr: no item
  } rows[] = {
      {0, "TWO"},    // item number 2
      {1, "ONE"},    // item number 1
      {2, nullptr},  // item 3 lacks the "dlt4" mark
      {3, nullptr},  // item number 0
      {4, nullptr},  // item number 4 of 3
      {5, nullptr},  // beyond the item-number list
      {-1, nullptr},
  };
  for (const auto& row : rows) {
    const BYTE* item = Buffer(101, row.index);
    if (row.data == nullptr) {
      EXPECT_EQ(item, nullptr) << "index " << row.index;
    } else {
      ASSERT_NE(item, nullptr) << "index " << row.index;
      EXPECT_STREQ(reinterpret_cast<const char*>(item), row.data);
      EXPECT_EQ(std::memcmp(item - 8, "dlt4", 4), 0);
    }
  }
  // The other groups are unchanged by the resource.
  EXPECT_NE(Buffer(103, 4000), nullptr);
  EXPECT_EQ(Number(101, 2000), 0);
}

}  // namespace
