// Paper margins: the printer-wide table in printer data, the user's values under the per-user
// key with its machine template, the orientation turn, and the look-up order.
#include <gtest/gtest.h>

#include <vector>

#include "core/rules/paper_margins.h"
#include "platform/kernel/kernel_sim.h"
#include "tests/support/printer_fixture.h"

using namespace printer_test;

namespace {

class PaperMarginStore : public UserStoreTest {};

PaperMargins M(DWORD a, DWORD b, DWORD c, DWORD d) { return {{a, b, c, d}}; }
std::vector<DWORD> V(const PaperMargins& m) { return {m.margin[0], m.margin[1], m.margin[2], m.margin[3]}; }

TEST(PaperMarginTurn, RotateAndDefaults) {
  PaperMargins stored = M(10, 20, 30, 40), out = M(1, 1, 1, 1);
  EXPECT_EQ(RotateMargins(kMarginsIntoSecond, kLandscape, &stored, &out), kMarginDone);
  EXPECT_EQ(V(out), (std::vector<DWORD>{30, 40, 10, 20}));
  EXPECT_EQ(RotateMargins(kMarginsIntoSecond, kPortrait, &stored, &out), kMarginDone);
  EXPECT_EQ(V(out), (std::vector<DWORD>{10, 20, 40, 30}));
  // Each turn undoes itself, in place too.
  EXPECT_EQ(RotateMargins(kMarginsIntoFirst, kPortrait, &out, &out), kMarginDone);
  EXPECT_EQ(V(out), V(stored));
  PaperMargins untouched = M(1, 2, 3, 4);
  EXPECT_EQ(RotateMargins(kMarginsIntoSecond, 3, &stored, &untouched), kMarginBadArgument);
  EXPECT_EQ(RotateMargins(0, kPortrait, &stored, &untouched), kMarginBadArgument);
  EXPECT_EQ(V(untouched), (std::vector<DWORD>{1, 2, 3, 4}));
  EXPECT_EQ(GetDefaultMargins(&untouched, 3), kMarginBadArgument);
  EXPECT_EQ(GetDefaultMargins(&untouched, kLandscape), kMarginDone);
  EXPECT_EQ(V(untouched), (std::vector<DWORD>{46, 46, 46, 46}));
  WCHAR name[8];
  FormatPaperMarginValueName(9, name);
  EXPECT_EQ(std::u16string(name), u"9");
}

TEST_F(PaperMarginStore, TableRoundTripsThroughPrinterData) {
  PaperMarginTable* table = LoadPaperMarginTable(printer_);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount, 0u);
  EXPECT_EQ(StorePaperMarginTable(printer_, table), kMarginBadArgument);
  EXPECT_EQ(SimDumpPrinterData(kPrinter).find("PaperMarginArray"), std::string::npos);

  PaperMargins landscape = M(30, 40, 10, 20);  // caller's order
  ASSERT_EQ(SetPaperMarginOriented(9, &landscape, table, kLandscape), kMarginDone);
  PaperMargins a4 = M(1, 2, 3, 4);
  ASSERT_EQ(SetPaperMargin(table, 0x0102, &a4), kMarginDone);
  PaperMargins replaced = M(5, 6, 7, 8);
  ASSERT_EQ(SetPaperMargin(table, 9, &replaced), kMarginDone);  // in place
  EXPECT_EQ(table->rowCount, 2u);
  EXPECT_EQ(table->byteSize, 40u);
  ASSERT_EQ(StorePaperMarginTable(printer_, table), kMarginDone);
  EXPECT_EQ(FreePaperMarginTable(table), kMarginDone);

  // The stored rows, byte by byte: {u16 id, 0, 0, four u32} in the order they were added.
  DWORD type = 0;
  std::vector<BYTE> piece;
  ASSERT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"PaperMarginArray1", type, piece));
  EXPECT_EQ(piece, (std::vector<BYTE>{9, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0,
                                      2, 1, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0}));

  table = LoadPaperMarginTable(printer_);
  ASSERT_NE(table, nullptr);
  PaperMargins out{};
  EXPECT_EQ(FindPaperMarginOriented(9, &out, table, kLandscape), kMarginDone);
  EXPECT_EQ(V(out), (std::vector<DWORD>{7, 8, 5, 6}));
  EXPECT_EQ(FindPaperMargin(table, 77, &out), kMarginMissing);
  EXPECT_EQ(FindPaperMarginOriented(9, &out, table, 0), kMarginBadArgument);

  // A failed append leaves the table as it was.
  SimFailNthAllocation(1);
  EXPECT_EQ(SetPaperMargin(table, 78, &a4), kMarginMissing);
  EXPECT_EQ(table->rowCount, 2u);
  EXPECT_EQ(FindPaperMargin(table, 9, &out), kMarginDone);
  // A failed write is reported.
  SimFailCall("SetPrinterDataW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(StorePaperMarginTable(printer_, table), kMarginWriteFailed);
  FreePaperMarginTable(table);
  EXPECT_EQ(FreePaperMarginTable(nullptr), kMarginMissing);

  // Deleting the printer's table.
  EXPECT_EQ(DeleteUserPaperMargins(printer_, FALSE, kMachineBase), kMarginDone);
  table = LoadPaperMarginTable(printer_);
  EXPECT_EQ(table->rowCount, 0u);
  FreePaperMarginTable(table);
}

TEST_F(PaperMarginStore, BlockOfPartRowsCountsAsNoTable) {
  std::vector<BYTE> odd(30, 1);
  ASSERT_TRUE(SimSeedPrinterData(kPrinter, nullptr, u"PaperMarginArraySize", REG_DWORD,
                                 std::vector<BYTE>{30, 0, 0, 0}));
  ASSERT_TRUE(SimSeedPrinterData(kPrinter, nullptr, u"PaperMarginArray1", REG_BINARY, odd));
  PaperMarginTable* table = LoadPaperMarginTable(printer_);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rowCount, 0u);
  EXPECT_EQ(table->rows, nullptr);
  FreePaperMarginTable(table);
}

TEST_F(PaperMarginStore, UserValuesSeedFromTheMachineTemplateOnFirstUse) {
  const BYTE seeded[20] = {9, 0, 0, 0, 11, 0, 0, 0, 12, 0, 0, 0, 13, 0, 0, 0, 14, 0, 0, 0};
  SimRegistrySeedValue(HKEY_LOCAL_MACHINE, MachinePath(u"Paper Margin").c_str(), u"9", REG_BINARY, seeded, 20);
  PaperMargins out{};
  ASSERT_EQ(ReadUserPaperMargin(printer_, kMachineBase, 9, &out), kMarginDone);
  EXPECT_EQ(V(out), (std::vector<DWORD>{11, 12, 13, 14}));

  PaperMargins portrait = M(1, 2, 3, 4);
  ASSERT_EQ(WriteUserPaperMarginOriented(printer_, kMachineBase, 260, &portrait, kPortrait), kMarginDone);
  EXPECT_EQ(Dump(UserPath(u"Paper Margin")),
            "[HKEY_CURRENT_USER\\" + Utf8(UserPath(u"Paper Margin")) + "]\n"
            "\"9\" = REG_BINARY 09 00 00 00 0b 00 00 00 0c 00 00 00 0d 00 00 00 0e 00 00 00\n"
            "\"260\" = REG_BINARY 04 01 00 00 01 00 00 00 02 00 00 00 04 00 00 00 03 00 00 00\n");
  ASSERT_EQ(ReadUserPaperMarginOriented(printer_, kMachineBase, 260, &out, kPortrait), kMarginDone);
  EXPECT_EQ(V(out), (std::vector<DWORD>{1, 2, 3, 4}));

  // Emptying the user's values creates the key again without values; the template is not
  // copied a second time.
  ASSERT_EQ(DeleteUserPaperMargins(printer_, TRUE, kMachineBase), kMarginDone);
  EXPECT_EQ(Dump(UserPath(u"Paper Margin")),
            "[HKEY_CURRENT_USER\\" + Utf8(UserPath(u"Paper Margin")) + "]\n");
  EXPECT_EQ(ReadUserPaperMargin(printer_, kMachineBase, 9, &out), kMarginNoValue);
}

TEST_F(PaperMarginStore, LookUpPrefersUserThenTableThenDefaults) {
  PaperMarginTable* table = LoadPaperMarginTable(printer_);
  PaperMargins tableRow = M(20, 21, 22, 23), user = M(30, 31, 32, 33), out{};
  SetPaperMargin(table, 1, &tableRow);
  SetPaperMargin(table, 2, &tableRow);
  ASSERT_EQ(WriteUserPaperMargin(printer_, kMachineBase, 1, &user), kMarginDone);
  struct Case {
    WORD paper;
    BOOL perUser;
    WORD orientation;
    std::vector<DWORD> expected;
  };
  const Case cases[] = {
      {1, TRUE, kPortrait, {30, 31, 33, 32}},  {1, FALSE, kPortrait, {20, 21, 23, 22}},
      {2, TRUE, kLandscape, {22, 23, 20, 21}}, {3, TRUE, kPortrait, {46, 46, 46, 46}},
      {3, FALSE, kLandscape, {46, 46, 46, 46}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(GetPaperMargin(printer_, c.paper, &out, kMachineBase, table, c.perUser, c.orientation), kMarginDone);
    EXPECT_EQ(V(out), c.expected) << c.paper << " " << c.perUser;
  }
  EXPECT_EQ(GetPaperMargin(printer_, 1, &out, kMachineBase, table, TRUE, 3), kMarginBadArgument);
  EXPECT_EQ(GetPaperMargin(printer_, 3, &out, kMachineBase, nullptr, FALSE, kPortrait), kMarginDone);
  FreePaperMarginTable(table);
}

TEST_F(PaperMarginStore, BadUserValuesAreNotMargins) {
  const std::u16string key = UserPath(u"Paper Margin");
  const BYTE otherPaper[20] = {8, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
  const BYTE favouriteForm[16] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
  const BYTE tooLong[24] = {7};
  SimRegistrySeedValue(HKEY_CURRENT_USER, key.c_str(), u"9", REG_BINARY, otherPaper, 20);
  SimRegistrySeedValue(HKEY_CURRENT_USER, key.c_str(), u"5", REG_BINARY, favouriteForm, 16);
  SimRegistrySeedValue(HKEY_CURRENT_USER, key.c_str(), u"7", REG_BINARY, tooLong, 24);
  SimRegistrySeedDword(HKEY_CURRENT_USER, key.c_str(), u"6", 6);
  PaperMargins out = M(1, 1, 1, 1);
  for (WORD paper : {9, 5, 7, 6, 4}) EXPECT_EQ(ReadUserPaperMargin(printer_, kMachineBase, paper, &out), kMarginNoValue);
  EXPECT_EQ(V(out), (std::vector<DWORD>{1, 1, 1, 1}));
  // A failed write changes nothing.
  const std::string before = Dump(key);
  SimFailCall("RegSetValueExW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(WriteUserPaperMargin(printer_, kMachineBase, 9, &out), kMarginWriteFailed);
  EXPECT_EQ(Dump(key), before);
}

TEST_F(PaperMarginStore, KeyFailuresLeaveNothingHalfMade) {
  const BYTE seeded[20] = {9};
  SimRegistrySeedValue(HKEY_LOCAL_MACHINE, MachinePath(u"Paper Margin").c_str(), u"9", REG_BINARY, seeded, 20);
  PaperMargins out{};
  // The template cannot be copied: the new user key goes again, and the next use copies it.
  SimFailCall("RegSetValueExW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadUserPaperMargin(printer_, kMachineBase, 9, &out), kMarginKeyFailed);
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_CURRENT_USER, UserPath(u"Paper Margin").c_str()));
  SimFailCall("RegCreateKeyW", ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadUserPaperMargin(printer_, kMachineBase, 9, &out), kMarginKeyFailed);
  ASSERT_EQ(ReadUserPaperMargin(printer_, kMachineBase, 9, &out), kMarginDone);
  EXPECT_EQ(V(out), (std::vector<DWORD>{0, 0, 0, 0}));
  EXPECT_EQ(ReadUserPaperMargin(bare_, kMachineBase, 9, &out), kMarginMissing);
  HKEY key = nullptr;
  LPWSTR path = nullptr;
  ASSERT_EQ(OpenPaperMarginKey(printer_, kMachineBase, &key, &path), kMarginDone);
  EXPECT_EQ(std::u16string(path), UserPath(u"Paper Margin"));
  GlobalFree(path);
  RegCloseKey(key);
}

}  // namespace
