#include "core/persist/blob_format.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

class BlobFormat : public SandboxTest {};

void PutU32(std::vector<BYTE>& b, size_t at, DWORD v) {
  for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i));
}

// An extension blob with the given version and stored length; its data bytes count up.
std::vector<BYTE> ExtensionBlob(DWORD version, DWORD length) {
  std::vector<BYTE> b(kExtensionBlobHeaderSize + length);
  WriteExtensionBlobHeader(b.data());
  PutU32(b, 16, version);
  PutU32(b, 20, length);
  for (DWORD i = 0; i < length; ++i) b[kExtensionBlobHeaderSize + i] = BYTE(i * 7 + 1);
  return b;
}

WORD VersionWord(const std::vector<BYTE>& extension) { return WORD(extension[0] | extension[1] << 8); }

TEST_F(BlobFormat, HeadersAreWrittenFieldByField) {
  std::vector<BYTE> h(kExtensionBlobHeaderSize);
  WriteExtensionBlobHeader(h.data());
  const BYTE expected[24] = {'N', 0, 'D', 0, 'E', 0, 'V', 0, '0', 0, '0', 0, '1', 0, 0, 0,
                             0x40, 0x50, 0, 0, 0xE8, 0x0E, 0, 0};
  EXPECT_EQ(std::memcmp(h.data(), expected, 24), 0);
  std::vector<BYTE> t(kTmbInfoBlobHeaderSize);
  WriteTmbInfoBlobHeader(t.data(), 0x0102);
  EXPECT_EQ(t[0], 'T');
  EXPECT_EQ(t[12], 'O');
  EXPECT_EQ(t[16], 2);
  EXPECT_EQ(t[17], 1);
}

TEST_F(BlobFormat, CurrentExtensionLoadsUnchangedAndOlderOnesLieOverTheDefaults) {
  const std::vector<BYTE> defaults(kSettingsExtensionSize, 0xDD);
  // This release's blob followed by other bytes: the cursor stops after it.
  std::vector<BYTE> blob = ExtensionBlob(0x5040, kSettingsExtensionSize);
  blob.push_back(0x99);
  std::vector<BYTE> ext(kSettingsExtensionSize, 0);
  DWORD cursor = 0;
  ASSERT_EQ(ParseExtensionBlob(blob.data(), DWORD(blob.size()), &cursor, ext.data(), nullptr), 1);
  EXPECT_EQ(cursor, kExtensionBlobHeaderSize + kSettingsExtensionSize);
  EXPECT_EQ(std::memcmp(ext.data() + 2, blob.data() + 26, kSettingsExtensionSize - 2), 0);
  EXPECT_EQ(VersionWord(ext), 0x5040);

  // Version 20000 with 3000 bytes: the defaults with the first 3000 bytes replaced.
  const std::vector<BYTE> old = ExtensionBlob(20000, 3000);
  cursor = 0;
  EXPECT_EQ(ParseExtensionBlob(old.data(), DWORD(old.size()), &cursor, ext.data(), nullptr), 0) << "no defaults";
  ASSERT_EQ(ParseExtensionBlob(old.data(), DWORD(old.size()), &cursor, ext.data(), defaults.data()), 1);
  EXPECT_EQ(VersionWord(ext), 0x5040);
  EXPECT_EQ(ext[2999], old[kExtensionBlobHeaderSize + 2999]);
  EXPECT_EQ(ext[3000], 0xDD);
  EXPECT_EQ(ext[3815], 0xDD);

  // This release's version but a short extension also keeps the defaults behind it.
  const std::vector<BYTE> shortOne = ExtensionBlob(0x5040, 100);
  cursor = 0;
  ASSERT_EQ(ParseExtensionBlob(shortOne.data(), DWORD(shortOne.size()), &cursor, ext.data(), defaults.data()), 1);
  EXPECT_EQ(ext[100], 0xDD);

  // A longer extension is cut to 3816 bytes and the cursor passes all of it.
  const std::vector<BYTE> longOne = ExtensionBlob(0x5040, kSettingsExtensionSize + 10);
  cursor = 0;
  ASSERT_EQ(ParseExtensionBlob(longOne.data(), DWORD(longOne.size()), &cursor, ext.data(), nullptr), 1);
  EXPECT_EQ(cursor, longOne.size());
}

TEST_F(BlobFormat, BadExtensionBlobsAreRefusedAndChangeNothing) {
  const std::vector<BYTE> defaults(kSettingsExtensionSize, 0xDD);
  std::vector<BYTE> newer = ExtensionBlob(0x5041, kSettingsExtensionSize);
  std::vector<BYTE> otherTag = ExtensionBlob(0x5040, kSettingsExtensionSize);
  otherTag[2] = 'X';
  std::vector<BYTE> tagWithoutZeros = ExtensionBlob(0x5040, kSettingsExtensionSize);
  tagWithoutZeros[15] = 1;
  std::vector<BYTE> lengthBeyond = ExtensionBlob(0x5040, kSettingsExtensionSize);
  PutU32(lengthBeyond, 20, kSettingsExtensionSize + 1);
  std::vector<BYTE> hugeLength = ExtensionBlob(0x5040, 16);
  PutU32(hugeLength, 20, 0xFFFFFFF0);
  const std::vector<BYTE> header = ExtensionBlob(0x5040, 0);
  for (const std::vector<BYTE>* bad : {&newer, &otherTag, &tagWithoutZeros, &lengthBeyond, &hugeLength}) {
    std::vector<BYTE> ext(kSettingsExtensionSize, 0x55);
    DWORD cursor = 0;
    EXPECT_EQ(ParseExtensionBlob(bad->data(), DWORD(bad->size()), &cursor, ext.data(), defaults.data()), 0);
    EXPECT_EQ(cursor, 0u);
    EXPECT_EQ(ext, std::vector<BYTE>(kSettingsExtensionSize, 0x55));
  }
  // Every cut of a good blob inside its header is refused; a cursor beyond the end as well.
  for (DWORD n = 0; n < kExtensionBlobHeaderSize; ++n) {
    std::vector<BYTE> cut(header.begin(), header.begin() + n);
    DWORD cursor = 0;
    std::vector<BYTE> ext(kSettingsExtensionSize);
    EXPECT_EQ(ParseExtensionBlob(cut.data(), n, &cursor, ext.data(), defaults.data()), 0) << n;
  }
  DWORD cursor = DWORD(header.size()) + 1;
  std::vector<BYTE> ext(kSettingsExtensionSize);
  EXPECT_EQ(ParseExtensionBlob(header.data(), DWORD(header.size()), &cursor, ext.data(), defaults.data()), 0);
}

TEST_F(BlobFormat, TmbInfoAndFaxRecordsMustFitTheirBytes) {
  std::vector<BYTE> tmb(kTmbInfoBlobHeaderSize + 5);
  WriteTmbInfoBlobHeader(tmb.data(), 5);
  for (int i = 0; i < 5; ++i) tmb[20 + i] = BYTE(i + 1);
  BYTE* block = nullptr;
  DWORD length = 0, cursor = 0;
  ASSERT_EQ(ParseTmbInfoBlob(tmb.data(), DWORD(tmb.size()), &cursor, &block, &length), 1);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(length, 5u);
  EXPECT_EQ(block[4], 5);
  GlobalFree(block);
  cursor = 0;
  EXPECT_EQ(ParseTmbInfoBlob(tmb.data(), DWORD(tmb.size()) - 1, &cursor, &block, &length), 0);
  EXPECT_EQ(block, nullptr);
  std::vector<BYTE> empty(kTmbInfoBlobHeaderSize);
  WriteTmbInfoBlobHeader(empty.data(), 0);
  cursor = 0;
  ASSERT_EQ(ParseTmbInfoBlob(empty.data(), DWORD(empty.size()), &cursor, &block, &length), 1);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(length, 0u);

  // A fax record of two destinations must fill its container exactly.
  std::vector<BYTE> fax(GetFaxRecordSize(2));
  const char16_t tag[] = u"DFAX001";
  for (int i = 0; i < 7; ++i) fax[2 * i] = BYTE(tag[i]);
  fax[16] = 2;
  BYTE* record = nullptr;
  DWORD recordSize = 0;
  ASSERT_EQ(ParseFaxSendListBlob(fax.data(), DWORD(fax.size()), 0, &record, &recordSize), 1);
  EXPECT_EQ(recordSize, fax.size());
  GlobalFree(record);
  fax.push_back(0);
  EXPECT_EQ(ParseFaxSendListBlob(fax.data(), DWORD(fax.size()), 0, &record, &recordSize), 0);
  EXPECT_EQ(ParseFaxSendListBlob(fax.data(), DWORD(fax.size()), 1, &record, &recordSize), 0);
  EXPECT_EQ(record, nullptr);
  fax[17] = 1;  // a count of 258 destinations
  EXPECT_EQ(ParseFaxSendListBlob(fax.data(), kFaxRecordHeaderSize, 0, &record, &recordSize), 0);
}

}  // namespace
