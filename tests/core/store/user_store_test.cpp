#include "core/store/user_store.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/store/printer_id.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

class UserStore : public PrinterTest {};

std::u16string Hex(const BYTE* id) {
  std::u16string s;
  for (int i = 0; i < 16; ++i) {
    s += u"0123456789ABCDEF"[id[i] >> 4];
    s += u"0123456789ABCDEF"[id[i] & 15];
  }
  return s;
}

TEST_F(UserStore, FirstWriteMakesTheIdentityFromClockAndNameAndTheKeyItNames) {
  AddPrinter(u"AB");
  HANDLE ab = Open(u"AB");
  const DWORD value = 7;
  ASSERT_EQ(WriteUserValue(ab, &value, sizeof value, REG_DWORD, u"Favorite", u"Num"), 1);
  BYTE id[kPrinterIdSize];
  ASSERT_EQ(ReadPrinterId(ab, id), 1);
  // MD5 of 25 9C 93 65 (1704164645, little-endian) followed by 41 00 42 00.
  EXPECT_EQ(Hex(id), u"286268A7194B5723884978F5D7D32D63");
  const std::u16string key = kSampleUserBase + Hex(id) + u"\\Favorite";
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_CURRENT_USER, key.c_str()));
  DWORD read = 0, size = sizeof read;
  ASSERT_EQ(ReadUserValue(ab, &read, &size, REG_DWORD, u"Favorite", u"Num"), kUserValueRead);
  EXPECT_EQ(read, 7u);
  // A second identity is never written over the first.
  BYTE other[kPrinterIdSize] = {1};
  EXPECT_EQ(WritePrinterIdOnce(ab, other), 1);
  BYTE again[kPrinterIdSize];
  ASSERT_EQ(ReadPrinterId(ab, again), 1);
  EXPECT_EQ(std::memcmp(id, again, sizeof id), 0);
}

TEST_F(UserStore, KeyPathIsBaseThenUpperCaseHexThenSubKey) {
  BYTE id[kPrinterIdSize] = {0x01, 0xAB, 0xFF};
  WCHAR path[kUserKeyPathChars];
  ASSERT_TRUE(BuildUserKeyPath(u"Software\\X\\", id, u"Stamps", path, kUserKeyPathChars));
  EXPECT_EQ(std::u16string(path), u"Software\\X\\01ABFF00000000000000000000000000\\Stamps");
  EXPECT_FALSE(BuildUserKeyPath(u"Software\\X\\", id, u"Stamps", path, 11 + 32 + 7)) << "no room for the terminator";
}

TEST_F(UserStore, WithoutWriteAccessNothingIsCreatedAnywhere) {
  AddPrinter(u"P1");
  SimRegistrySetAdministrator(FALSE);
  HANDLE p1 = Open(u"P1", PRINTER_ACCESS_USE);
  const DWORD value = 1;
  EXPECT_EQ(WriteUserValue(p1, &value, sizeof value, REG_DWORD, nullptr, u"X"), 0);
  EXPECT_EQ(WriteUserValue(p1, &value, sizeof value, REG_DWORD, nullptr, u"X"), 0);
  DWORD read = 0, size = sizeof read;
  EXPECT_EQ(ReadUserValue(p1, &read, &size, REG_DWORD, nullptr, u"X"), kUserValueAbsent);
  BYTE id[kPrinterIdSize];
  EXPECT_EQ(ReadPrinterId(p1, id), 0);
  EXPECT_EQ(SimRegistryDump(HKEY_CURRENT_USER, nullptr).find("Qorvex"), std::string::npos);
}

TEST_F(UserStore, ReadsNeverPassTheCallersBufferAndEndTexts) {
  AddPrinter(u"P1");
  HANDLE p1 = Open(u"P1");
  const BYTE big[40] = {1, 2, 3};
  ASSERT_EQ(WriteUserValue(p1, big, sizeof big, REG_BINARY, nullptr, u"Blob"), 1);
  BYTE small[39];
  DWORD size = sizeof small;
  EXPECT_EQ(ReadUserValue(p1, small, &size, REG_BINARY, nullptr, u"Blob"), kUserValueAbsent);
  size = sizeof small;
  EXPECT_EQ(ReadUserValue(p1, small, &size, REG_DWORD, nullptr, u"Blob"), kUserValueAbsent) << "other type";
  // A REG_SZ stored without its terminator still reads as a terminated text.
  const char16_t name[] = {u'N', u'a', u'm', u'e'};
  ASSERT_EQ(WriteUserValue(p1, name, sizeof name, REG_SZ, nullptr, u"Name"), 1);
  WCHAR text[8];
  std::memset(text, 0x55, sizeof text);
  size = sizeof text;
  ASSERT_EQ(ReadUserValue(p1, text, &size, REG_SZ, nullptr, u"Name"), kUserValueRead);
  EXPECT_EQ(std::u16string(text), u"Name");
  // The value's own size decides for the allocating read.
  BYTE* block = nullptr;
  ASSERT_EQ(ReadUserValueAlloc(p1, REG_BINARY, nullptr, u"Blob", &block, &size), kUserValueRead);
  EXPECT_EQ(size, 40u);
  EXPECT_EQ(block[2], 3);
  GlobalFree(block);
  EXPECT_EQ(ReadUserValue(p1, text, &size, REG_SZ, u"Missing", u"Name"), kUserValueAbsent);
}

TEST_F(UserStore, KeyTreesCopyWithValuesAndSubKeys) {
  SimRegistrySeedDword(HKEY_CURRENT_USER, u"Src", u"Num", 2);
  SimRegistrySeedString(HKEY_CURRENT_USER, u"Src\\UserSel01", u"Name", u"Draft");
  SimRegistrySeedValue(HKEY_CURRENT_USER, u"Src\\UserSel01\\PaperMargin", u"9", REG_BINARY, "0123456789abcdef", 16);
  HKEY from, to;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Src", 0, KEY_READ, &from), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, u"Dst", &to), ERROR_SUCCESS);
  ASSERT_EQ(CopyKeyTree(to, from), 1);
  RegCloseKey(from);
  RegCloseKey(to);
  std::string src = SimRegistryDump(HKEY_CURRENT_USER, u"Src"), dst = SimRegistryDump(HKEY_CURRENT_USER, u"Dst");
  for (size_t at; (at = src.find("[HKEY_CURRENT_USER\\Src")) != std::string::npos;) src.replace(at, 22, "[HKEY_CURRENT_USER\\Dst");
  EXPECT_EQ(dst, src);
}

}  // namespace
