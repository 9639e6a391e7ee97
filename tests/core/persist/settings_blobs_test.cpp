#include "core/persist/settings_blobs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/persist/blob_format.h"
#include "core/store/printer_id.h"
#include "core/store/user_store.h"
#include "items/setting_records.h"
#include "tests/support/printer_fixture.h"

namespace {

using namespace printer_test;

class SettingsBlobs : public PrinterTest {
 protected:
  void SetUp() override {
    PrinterTest::SetUp();
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Temp", nullptr));
    AddPrinter(u"P1");
    printer_ = Open(u"P1");
    for (DWORD i = 0; i < kSettingsExtensionSize; ++i) extension_[i] = BYTE(i * 13 + 5);
    extension_[0] = 0x40;
    extension_[1] = 0x50;
    fax_.assign(GetFaxRecordSize(2), 0);
    const char16_t tag[] = u"DFAX001";
    std::memcpy(fax_.data(), tag, sizeof tag);
    fax_[16] = 2;
    fax_[1442] = 0x77;
  }

  // Saves and loads back in one store; compares everything.
  void RoundTrip(LPCWSTR file, WORD kind) {
    const BYTE tmb[5] = {9, 8, 7, 6, 5};
    ASSERT_EQ(SaveDeviceBlobs(printer_, file, kind, fax_.data(), WORD(fax_.size()), extension_, tmb, sizeof tmb), 1);
    BYTE ext[kSettingsExtensionSize] = {};
    BYTE* fax = nullptr;
    BYTE* tmbOut = nullptr;
    DWORD tmbSize = 0;
    ASSERT_EQ(LoadDeviceBlobs(printer_, file, kind, &fax, ext, &tmbOut, &tmbSize), 1);
    EXPECT_EQ(std::memcmp(ext, extension_, sizeof ext), 0);
    ASSERT_NE(fax, nullptr);
    EXPECT_EQ(std::memcmp(fax, fax_.data(), fax_.size()), 0);
    ASSERT_EQ(tmbSize, 5u);
    EXPECT_EQ(std::memcmp(tmbOut, tmb, 5), 0);
    GlobalFree(fax);
    GlobalFree(tmbOut);
  }

  HANDLE printer_ = nullptr;
  BYTE extension_[kSettingsExtensionSize];
  std::vector<BYTE> fax_;
};

TEST_F(SettingsBlobs, RoundTripInPrinterDataPerUserAndSideFile) {
  RoundTrip(nullptr, kBlobStorePrinterData);
  const std::string dump = SimDumpPrinterData(u"P1");
  EXPECT_NE(dump.find("\"N_DevSize\" = REG_DWORD 0x00001a6e"), std::string::npos) << dump;  // 24 + 3816 + 2926
  EXPECT_NE(dump.find("\"N_Dev9\""), std::string::npos);
  EXPECT_NE(dump.find("\"TMBInfo1\""), std::string::npos);

  RoundTrip(nullptr, kBlobStorePerUser);
  BYTE id[kPrinterIdSize];
  ASSERT_EQ(ReadPrinterId(printer_, id), 1);
  DWORD size = 0, sizeBytes = sizeof size;
  ASSERT_EQ(ReadUserValue(printer_, &size, &sizeBytes, REG_DWORD, nullptr, u"N_DevSize"), kUserValueRead);
  EXPECT_EQ(size, 24 + kSettingsExtensionSize + fax_.size());

  HANDLE file = CreateFileW(u"C:\\Temp\\doc.qvs", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  RoundTrip(u"C:\\Temp\\doc.qvs", 0);
}

TEST_F(SettingsBlobs, SavingWithoutTmbInfoStillWritesItsHeaderAndMissingFilesStayMissing) {
  ASSERT_EQ(SaveDeviceBlobs(printer_, nullptr, kBlobStorePrinterData, nullptr, 0, extension_, nullptr, 0), 1);
  DWORD type;
  std::vector<BYTE> tmb;
  ASSERT_TRUE(SimReadPrinterData(u"P1", nullptr, u"TMBInfo1", type, tmb));
  ASSERT_EQ(tmb.size(), kTmbInfoBlobHeaderSize);
  EXPECT_EQ(tmb[16], 0);
  EXPECT_EQ(SaveDeviceBlobs(printer_, u"C:\\Temp\\missing.qvs", 0, nullptr, 0, extension_, nullptr, 0), 0);
  EXPECT_EQ(GetFileAttributesW(u"C:\\Temp\\missing.qvs"), INVALID_FILE_ATTRIBUTES);
  // Inconsistent arguments.
  const BYTE one = 1;
  EXPECT_EQ(SaveDeviceBlobs(printer_, nullptr, kBlobStorePrinterData, nullptr, 0, nullptr, nullptr, 0), 0);
  EXPECT_EQ(SaveDeviceBlobs(printer_, nullptr, kBlobStorePrinterData, nullptr, 0, extension_, &one, 0), 0);
  EXPECT_EQ(SaveDeviceBlobs(printer_, nullptr, kBlobStorePrinterData, &one, 0, extension_, nullptr, 0), 0);
  EXPECT_EQ(SaveDeviceBlobs(printer_, nullptr, 4, nullptr, 0, extension_, nullptr, 0), 0);
}

TEST_F(SettingsBlobs, BadStoredBlobsFailTheLoadAndHandOutNothing) {
  std::vector<BYTE> good(kExtensionBlobHeaderSize + kSettingsExtensionSize);
  WriteExtensionBlobHeader(good.data());
  std::memcpy(good.data() + kExtensionBlobHeaderSize, extension_, kSettingsExtensionSize);
  struct Case {
    const char* what;
    std::vector<BYTE> nDev;
    bool askFax;
    int expected;
  };
  std::vector<BYTE> newer = good;
  newer[16] = 0x41;
  std::vector<BYTE> badFax = good;
  badFax.insert(badFax.end(), fax_.begin(), fax_.end() - 1);
  std::vector<BYTE> truncated(good.begin(), good.begin() + 100);
  std::vector<BYTE> header(good.begin(), good.begin() + 20);
  for (const Case& c : {Case{"newer version", newer, false, 0}, Case{"fax of a wrong size", badFax, true, 0},
                        Case{"fax of a wrong size, not asked", badFax, false, 1},
                        Case{"truncated", truncated, false, 0}, Case{"short header", header, false, 0}}) {
    SimRegistryReset();
    ASSERT_EQ(WriteUserValue(printer_, c.nDev.data(), DWORD(c.nDev.size()), REG_BINARY, nullptr, u"N_Dev"), 1);
    BYTE ext[kSettingsExtensionSize];
    BYTE* fax = reinterpret_cast<BYTE*>(1);
    BYTE* tmb = reinterpret_cast<BYTE*>(1);
    DWORD tmbSize = 99;
    EXPECT_EQ(LoadDeviceBlobs(printer_, nullptr, kBlobStorePerUser, c.askFax ? &fax : nullptr, ext, nullptr, nullptr),
              c.expected)
        << c.what;
    if (c.askFax) {
      EXPECT_EQ(fax, nullptr) << c.what;
    }
    EXPECT_EQ(LoadDeviceBlobs(printer_, nullptr, kBlobStorePerUser, nullptr, ext, &tmb, &tmbSize), 0) << "no TMBInfo";
    EXPECT_EQ(tmb, nullptr);
    EXPECT_EQ(tmbSize, 0u);
  }
}

// A side file that cannot be written whole keeps the blobs it held; one the loader would
// refuse is never written.
TEST_F(SettingsBlobs, SideFileIsReplacedOnlyByAWholeNewFile) {
  const LPCWSTR file = u"C:\\Temp\\keep.qvs";
  HANDLE h = CreateFileW(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  RoundTrip(file, 0);
  BYTE changed[kSettingsExtensionSize];
  std::memcpy(changed, extension_, sizeof changed);
  changed[100] ^= 0xFF;
  SimDiskFull(u"C:\\Temp\\keep.qvs.new", 1000);
  EXPECT_EQ(SaveDeviceBlobs(printer_, file, 0, nullptr, 0, changed, nullptr, 0), 0);
  std::vector<BYTE> huge(kMaxBlobFileSize, 1);
  EXPECT_EQ(SaveDeviceBlobs(printer_, file, 0, nullptr, 0, changed, huge.data(), DWORD(huge.size())), 0);
  BYTE ext[kSettingsExtensionSize] = {};
  ASSERT_EQ(LoadDeviceBlobs(printer_, file, 0, nullptr, ext, nullptr, nullptr), 1);
  EXPECT_EQ(std::memcmp(ext, extension_, sizeof ext), 0) << "the previous blobs stay";
  EXPECT_EQ(GetFileAttributesW(u"C:\\Temp\\keep.qvs.new"), INVALID_FILE_ATTRIBUTES) << "no fragment is left";
}

// An extension of this release that holds fewer bytes is read, the rest from the model.
TEST_F(SettingsBlobs, ShorterExtensionOfThisReleaseFromAFileIsRead) {
  std::vector<BYTE> blob(kExtensionBlobHeaderSize + 3000 + kTmbInfoBlobHeaderSize);
  WriteExtensionBlobHeader(blob.data());
  blob[20] = 0xB8;  // length 3000
  blob[21] = 0x0B;
  for (int i = 0; i < 3000; ++i) blob[kExtensionBlobHeaderSize + i] = BYTE(i * 7);
  WriteTmbInfoBlobHeader(blob.data() + kExtensionBlobHeaderSize + 3000, 0);
  HANDLE file = CreateFileW(u"C:\\Temp\\short.qvs", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written;
  ASSERT_TRUE(WriteFile(file, blob.data(), DWORD(blob.size()), &written, nullptr));
  CloseHandle(file);
  BYTE ext[kSettingsExtensionSize] = {};
  ASSERT_EQ(LoadDeviceBlobs(printer_, u"C:\\Temp\\short.qvs", 0, nullptr, ext, nullptr, nullptr), 1);
  EXPECT_EQ(ext[10], BYTE(70));
  EXPECT_EQ(ext[2999], BYTE(2999 * 7));
}

TEST_F(SettingsBlobs, OlderExtensionFromAFileIsRefused) {
  std::vector<BYTE> blob(kExtensionBlobHeaderSize + 3000 + kTmbInfoBlobHeaderSize);
  WriteExtensionBlobHeader(blob.data());
  blob[16] = 0x20;  // version 20000
  blob[17] = 0x4E;
  blob[20] = 0xB8;  // length 3000
  blob[21] = 0x0B;
  WriteTmbInfoBlobHeader(blob.data() + kExtensionBlobHeaderSize + 3000, 0);
  HANDLE file = CreateFileW(u"C:\\Temp\\old.qvs", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written;
  ASSERT_TRUE(WriteFile(file, blob.data(), DWORD(blob.size()), &written, nullptr));
  CloseHandle(file);
  BYTE ext[kSettingsExtensionSize];
  EXPECT_EQ(LoadDeviceBlobs(printer_, u"C:\\Temp\\old.qvs", 0, nullptr, ext, nullptr, nullptr), 0);
}

}  // namespace
