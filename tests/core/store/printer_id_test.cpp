#include "core/store/printer_id.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/kernel/kernel_sim.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

class PrinterId : public PrinterTest {};

std::u16string Hex(const BYTE* id) {
  std::u16string s;
  for (DWORD i = 0; i < kPrinterIdSize; ++i) {
    s += u"0123456789ABCDEF"[id[i] >> 4];
    s += u"0123456789ABCDEF"[id[i] & 15];
  }
  return s;
}

TEST_F(PrinterId, DigestCoversTheClockThenTheName) {
  AddPrinter(u"AB");
  HANDLE ab = Open(u"AB");
  BYTE id[kPrinterIdSize];
  ASSERT_EQ(CreatePrinterId(ab, id), 1);
  // MD5 of 25 9C 93 65 (1704164645, little-endian) followed by 41 00 42 00.
  EXPECT_EQ(Hex(id), u"286268A7194B5723884978F5D7D32D63");
  EXPECT_EQ(ReadPrinterId(ab, id), 0) << "made, not stored";
  EXPECT_EQ(CreatePrinterId(nullptr, id), 0);
}

TEST_F(PrinterId, StoredOnceAndNeverReplaced) {
  AddPrinter(u"P1");
  HANDLE p1 = Open(u"P1");
  BYTE first[kPrinterIdSize], second[kPrinterIdSize], read[kPrinterIdSize];
  ASSERT_EQ(EnsurePrinterId(p1, first), 1);
  ASSERT_EQ(ReadPrinterId(p1, read), 1);
  EXPECT_EQ(std::memcmp(first, read, sizeof read), 0);
  std::memset(second, 0xAB, sizeof second);
  EXPECT_EQ(WritePrinterIdOnce(p1, second), 1);
  ASSERT_EQ(EnsurePrinterId(p1, read), 1);
  EXPECT_EQ(std::memcmp(first, read, sizeof read), 0);
  // A stored value of another size is no identity.
  const BYTE odd[15] = {};
  ASSERT_TRUE(SimSeedPrinterData(u"P1", nullptr, kPrinterIdValueName, REG_BINARY, odd));
  EXPECT_EQ(ReadPrinterId(p1, read), 0);
}

TEST_F(PrinterId, WithoutWriteAccessNoIdentityIsHandedOut) {
  AddPrinter(u"P1");
  SimRegistrySetAdministrator(FALSE);
  HANDLE p1 = Open(u"P1", PRINTER_ACCESS_USE);
  BYTE id[kPrinterIdSize];
  EXPECT_EQ(EnsurePrinterId(p1, id), 0);
  EXPECT_EQ(ReadPrinterId(p1, id), 0);
  EXPECT_EQ(SimDumpPrinterData(u"P1").find("PRNID"), std::string::npos);
}

TEST_F(PrinterId, AnIdentityStoredByAnotherProcessFirstIsTheOneUsed) {
  AddPrinter(u"P1");
  HANDLE p1 = Open(u"P1");
  // Our first read finds nothing; by the time we store ours, another process has stored
  // its identity. Ours is not written, and theirs is the one handed out.
  const BYTE theirs[kPrinterIdSize] = {7, 7, 7};
  ASSERT_TRUE(SimSeedPrinterData(u"P1", nullptr, kPrinterIdValueName, REG_BINARY, theirs));
  BYTE id[kPrinterIdSize];
  SimFailCall("GetPrinterDataW", ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(EnsurePrinterId(p1, id), 1);
  EXPECT_EQ(std::memcmp(id, theirs, sizeof id), 0);
}

}  // namespace
