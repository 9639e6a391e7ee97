// Chunked printer data through the spooler stand-in: piece layout, the size limits, refusal
// of values whose pieces disagree with their size, and rewrites that stop part-way.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/fonts/font_sub_table.h"
#include "core/system/chunked_printer_data.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/registry/registry.h"
#include "platform/spooler/spooler_sim.h"
#include "tests/support/printer_fixture.h"

namespace {

constexpr const WCHAR* kPrinter = u"Chunk Printer";

class ChunkedPrinterDataTest : public printer_test::PrinterTest {
 protected:
  HANDLE printer = nullptr;

  void SetUp() override {
    PrinterTest::SetUp();
    AddPrinter(kPrinter, u"sample.ddd");
    printer = Open(kPrinter);
  }

  static std::vector<BYTE> Pattern(DWORD size, BYTE seed) {
    std::vector<BYTE> bytes(size);
    for (DWORD i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(seed + i * 7 + i / 251);
    return bytes;
  }
  // Reads the block into a new allocation; empty on failure.
  std::vector<BYTE> Read(LPCWSTR name) {
    DWORD size = 0;
    BYTE* block = reinterpret_cast<BYTE*>(1);
    if (!ReadChunkedPrinterData(printer, name, &size, &block, FALSE)) {
      EXPECT_EQ(block, nullptr);
      return {};
    }
    std::vector<BYTE> out(block, block + size);
    EXPECT_EQ(GlobalSize(block), size);
    GlobalFree(block);
    return out;
  }
  void Seed(LPCWSTR name, DWORD type, const std::vector<BYTE>& data) {
    ASSERT_TRUE(SimSeedPrinterData(kPrinter, nullptr, name, type, data));
  }
  static std::u16string PieceName(std::u16string name, DWORD piece) {
    for (char c : std::to_string(piece)) name += static_cast<char16_t>(c);
    return name;
  }
  static std::vector<BYTE> Dword(DWORD value) {
    std::vector<BYTE> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
  }
};

TEST_F(ChunkedPrinterDataTest, BlocksRoundTripInPiecesOf768) {
  for (DWORD size : {1u, 768u, 769u, 2000u, 99u * 768u}) {
    std::vector<BYTE> data = Pattern(size, static_cast<BYTE>(size));
    ASSERT_EQ(WritePrinterDataValue(printer, data.data(), size, kPrinterConfigData), 1) << size;
    DWORD type;
    std::vector<BYTE> stored;
    ASSERT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"PrinterDataSize", type, stored));
    EXPECT_EQ(stored, Dword(size));
    DWORD pieces = (size + 767) / 768;
    EXPECT_TRUE(SimReadPrinterData(kPrinter, nullptr, PieceName(u"PrinterData", pieces).c_str(), type, stored));
    EXPECT_EQ(stored.size(), size - (pieces - 1) * 768);
    EXPECT_FALSE(SimReadPrinterData(kPrinter, nullptr, PieceName(u"PrinterData", pieces + 1).c_str(), type, stored));
    DWORD readSize = 0;
    BYTE* block = nullptr;
    ASSERT_EQ(ReadPrinterDataValue(printer, &readSize, kPrinterConfigData, &block, FALSE), 1) << size;
    EXPECT_EQ(readSize, size);
    EXPECT_EQ(std::memcmp(block, data.data(), size), 0);
    GlobalFree(block);
  }

  // 769 bytes: "X1" of 768 and "X2" of 1; a shorter rewrite removes the pieces it no longer
  // needs.
  std::vector<BYTE> data = Pattern(769, 3);
  ASSERT_EQ(WriteChunkedPrinterData(printer, u"N_Dev", data.data(), 769), 1);
  DWORD type;
  std::vector<BYTE> piece;
  ASSERT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"N_Dev1", type, piece));
  EXPECT_EQ(piece.size(), 768u);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  ASSERT_TRUE(SimReadPrinterData(kPrinter, nullptr, u"N_Dev2", type, piece));
  EXPECT_EQ(piece, std::vector<BYTE>{data[768]});
  ASSERT_EQ(WriteChunkedPrinterData(printer, u"N_Dev", data.data(), 10), 1);
  EXPECT_FALSE(SimReadPrinterData(kPrinter, nullptr, u"N_Dev2", type, piece));
  EXPECT_EQ(Read(u"N_Dev"), std::vector<BYTE>(data.begin(), data.begin() + 10));
}

TEST_F(ChunkedPrinterDataTest, SizesOutsideTheLimitsAreRefusedBeforeAnyWrite) {
  std::vector<BYTE> data = Pattern(99 * 768 + 1, 1);
  EXPECT_EQ(WritePrinterDataValue(printer, data.data(), 99 * 768 + 1, kPaperMarginData), 0);
  EXPECT_EQ(WritePrinterDataValue(printer, data.data(), 0, kPaperMarginData), 0);
  EXPECT_EQ(WritePrinterDataValue(printer, data.data(), 0xFFFFFFFF, kPaperMarginData), 0);
  EXPECT_EQ(WritePrinterDataValue(printer, data.data(), 10, 5), 0);
  EXPECT_EQ(WritePrinterDataValue(nullptr, data.data(), 10, 0), 0);
  EXPECT_EQ(SimCallCount("SetPrinterDataW"), 0);
  EXPECT_EQ(SimDumpPrinterData(kPrinter), "");
  EXPECT_TRUE(Read(u"PaperMarginArray").empty());
}

TEST_F(ChunkedPrinterDataTest, StoredValuesThatDisagreeWithTheirSizeAreRefused) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::u16string, std::pair<DWORD, std::vector<BYTE>>>> values;
  };
  std::vector<BYTE> full(768, 0xAA), one(1, 0xBB);
  std::vector<Case> cases = {
      {"size 0", {{u"XSize", {REG_DWORD, Dword(0)}}}},
      {"size of another type", {{u"XSize", {REG_BINARY, Dword(1)}}, {u"X1", {REG_BINARY, one}}}},
      {"size of 2 bytes", {{u"XSize", {REG_DWORD, {1, 0}}}, {u"X1", {REG_BINARY, one}}}},
      {"size beyond 99 pieces", {{u"XSize", {REG_DWORD, Dword(99 * 768 + 1)}}, {u"X1", {REG_BINARY, one}}}},
      {"size near 4 GB", {{u"XSize", {REG_DWORD, Dword(0xFFFFFF22)}}, {u"X1", {REG_BINARY, one}}}},
      {"missing piece", {{u"XSize", {REG_DWORD, Dword(769)}}, {u"X1", {REG_BINARY, full}}}},
      {"short piece", {{u"XSize", {REG_DWORD, Dword(769)}}, {u"X1", {REG_BINARY, one}}, {u"X2", {REG_BINARY, one}}}},
      {"long last piece", {{u"XSize", {REG_DWORD, Dword(1)}}, {u"X1", {REG_BINARY, full}}}},
      {"piece of another type", {{u"XSize", {REG_DWORD, Dword(1)}}, {u"X1", {REG_SZ, {0xBB}}}}},
      {"piece after the last", {{u"XSize", {REG_DWORD, Dword(1)}}, {u"X1", {REG_BINARY, one}}, {u"X2", {REG_BINARY, one}}}},
  };
  for (const Case& k : cases) {
    SimRemovePrinter(kPrinter);
    AddPrinter(kPrinter, u"");
    printer = Open(kPrinter);
    for (const auto& [name, value] : k.values) Seed(name.c_str(), value.first, value.second);
    EXPECT_TRUE(Read(u"X").empty()) << k.name;
    // The caller's own block stays as it was.
    BYTE mine[1024];
    std::memset(mine, 0x11, sizeof mine);
    BYTE* block = mine;
    DWORD capacity = sizeof mine;
    EXPECT_EQ(ReadChunkedPrinterData(printer, u"X", &capacity, &block, TRUE), 0) << k.name;
    EXPECT_EQ(capacity, sizeof mine);
    EXPECT_EQ(mine[0], 0x11);
  }
}

TEST_F(ChunkedPrinterDataTest, CallersBlockMustHoldTheStoredSize) {
  std::vector<BYTE> data = Pattern(800, 9);
  ASSERT_EQ(WritePrinterDataValue(printer, data.data(), 800, kUserSettingInfoData), 1);
  std::vector<BYTE> mine(799, 0x11);
  BYTE* block = mine.data();
  DWORD capacity = 799;
  EXPECT_EQ(ReadPrinterDataValue(printer, &capacity, kUserSettingInfoData, &block, TRUE), 0);
  EXPECT_EQ(mine[0], 0x11);
  mine.resize(4492, 0x11);
  block = mine.data();
  capacity = 4492;
  ASSERT_EQ(ReadPrinterDataValue(printer, &capacity, kUserSettingInfoData, &block, TRUE), 1);
  EXPECT_EQ(capacity, 800u);
  EXPECT_EQ(block, mine.data());
  EXPECT_EQ(std::memcmp(mine.data(), data.data(), 800), 0);
  EXPECT_EQ(mine[800], 0x11);
}

TEST_F(ChunkedPrinterDataTest, RewriteStoppedPartWayReadsAsAbsentNeverMixed) {
  std::vector<BYTE> before = Pattern(3000, 1), after = Pattern(3000, 2);
  ASSERT_EQ(WriteChunkedPrinterData(printer, u"FaxSendList", before.data(), 3000), 1);
  // Every write position of the rewrite: the pieces 1 to 4 and the size value.
  for (int failing = 1; failing <= 5; ++failing) {
    ASSERT_EQ(WriteChunkedPrinterData(printer, u"FaxSendList", before.data(), 3000), 1);
    SimFailCall("SetPrinterDataW", ERROR_WRITE_FAULT, failing);
    EXPECT_EQ(WriteChunkedPrinterData(printer, u"FaxSendList", after.data(), 3000), 0) << failing;
    EXPECT_TRUE(Read(u"FaxSendList").empty()) << "stopped at write " << failing;
  }
  ASSERT_EQ(WriteChunkedPrinterData(printer, u"FaxSendList", after.data(), 3000), 1);
  EXPECT_EQ(Read(u"FaxSendList"), after);
  // Once a rewrite stopped after deleting the size value, a later, shorter write still reads
  // back: the pieces beyond its own go, whatever the missing size value said.
  SimFailCall("SetPrinterDataW", ERROR_WRITE_FAULT, 1);
  EXPECT_EQ(WriteChunkedPrinterData(printer, u"FaxSendList", before.data(), 3000), 0);
  const std::vector<BYTE> small = Pattern(100, 3);
  ASSERT_EQ(WriteChunkedPrinterData(printer, u"FaxSendList", small.data(), 100), 1);
  EXPECT_EQ(Read(u"FaxSendList"), small);
  // And a delete removes every piece of the name, also without a size value.
  SimFailCall("SetPrinterDataW", ERROR_WRITE_FAULT, 1);
  EXPECT_EQ(WriteChunkedPrinterData(printer, u"FaxSendList", before.data(), 3000), 0);
  EXPECT_EQ(DeleteChunkedPrinterData(printer, u"FaxSendList"), 1);
  EXPECT_EQ(SimDumpPrinterData(kPrinter), "");
}

TEST_F(ChunkedPrinterDataTest, DeleteRemovesEveryPieceAndAccessIsChecked) {
  EXPECT_EQ(DeletePrinterDataValue(printer, kFontSubTableData), 1) << "an absent value";
  std::vector<BYTE> data = Pattern(1600, 5);
  ASSERT_EQ(WritePrinterDataValue(printer, data.data(), 1600, kFontSubTableData), 1);
  ASSERT_EQ(DeletePrinterDataValue(printer, kFontSubTableData), 1);
  EXPECT_EQ(SimDumpPrinterData(kPrinter), "");

  HANDLE user = nullptr;
  ASSERT_TRUE(OpenPrinterW(kPrinter, &user, nullptr));
  EXPECT_EQ(WritePrinterDataValue(user, data.data(), 1600, kFontSubTableData), 0);
  ClosePrinter(user);

  LPWSTR path = GetDriverDataFile(printer);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(std::u16string(path), std::u16string(SimDriverDirectory()) + u"\\sample.ddd");
  GlobalFree(path);
}

}  // namespace

namespace {

class FontSubTableTest : public printer_test::PrinterTest {
 protected:
  HANDLE printer = nullptr;
  void SetUp() override {
    PrinterTest::SetUp();
    AddPrinter(u"Fonts", u"");
    printer = Open(u"Fonts");
  }
  void SeedTable(std::u16string table) {
    std::vector<BYTE> bytes(table.size() * 2);
    std::memcpy(bytes.data(), table.data(), bytes.size());
    DWORD size = static_cast<DWORD>(bytes.size());
    std::vector<BYTE> sizeValue(4);
    std::memcpy(sizeValue.data(), &size, 4);
    ASSERT_TRUE(SimSeedPrinterData(u"Fonts", nullptr, u"FontSubTableSize", REG_DWORD, sizeValue));
    ASSERT_TRUE(SimSeedPrinterData(u"Fonts", nullptr, u"FontSubTable1", REG_BINARY, bytes));
  }
};

TEST_F(FontSubTableTest, TablesRoundTripAndMalformedOnesAreRefused) {
  const char16_t table[] = u"Arial\0Helvetica\0Times New Roman\0Times\0";  // the literal adds the closing key
  EXPECT_EQ(GetFontSubTableSize(table), sizeof table);
  ASSERT_EQ(StoreFontSubTable(printer, table), 1);
  LPWSTR read = ReadStoredFontSubTable(printer);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(std::memcmp(read, table, sizeof table), 0);
  GlobalFree(read);

  ASSERT_EQ(StoreFontSubTable(printer, u""), 1);
  DWORD type;
  std::vector<BYTE> size;
  ASSERT_TRUE(SimReadPrinterData(u"Fonts", nullptr, u"FontSubTableSize", type, size));
  EXPECT_EQ(size, (std::vector<BYTE>{2, 0, 0, 0})) << "an empty table is its closing key";

  for (const std::u16string& bad : {std::u16string(u"Arial\0Helv", 10), std::u16string(u"Arial\0", 6),
                                    std::u16string(u"Arial\0Helvetica\0\0x\0", 19)}) {
    SeedTable(bad);
    EXPECT_EQ(ReadStoredFontSubTable(printer), nullptr);
  }
  ASSERT_TRUE(SimSeedPrinterData(u"Fonts", nullptr, u"FontSubTableSize", REG_DWORD, std::vector<BYTE>{3, 0, 0, 0}));
  ASSERT_TRUE(SimSeedPrinterData(u"Fonts", nullptr, u"FontSubTable1", REG_BINARY, std::vector<BYTE>{0, 0, 0}));
  EXPECT_EQ(ReadStoredFontSubTable(printer), nullptr) << "an odd size";
}

}  // namespace
