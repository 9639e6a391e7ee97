// The channel's stored pages: display-list bytes and stored records recorded into the store in
// channel mode 2, the links between records, the page index and page records, and reading a
// page back chunk by chunk up to each record.
#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "tests/graphics/job/job_store_fixture.h"

namespace {

class StoredPagesTest : public JobStoreTest {
 protected:
  void SetUp() override {
    JobStoreTest::SetUp();
    channel_ = CreateChannel(nullptr);
    ASSERT_NE(channel_, nullptr);
    ASSERT_EQ(OpenChannelStore(channel_, 1, kPageRecordBytes, kStoredPageTableStep), 0);
    channel_->mode = kChannelPrinter;
  }
  void TearDown() override {
    DestroyChannel(channel_);
    JobStoreTest::TearDown();
  }
  // Reads the rest of the page's display-list bytes up to the next record in chunks of n.
  std::vector<BYTE> ReadToBoundary(DWORD n) {
    std::vector<BYTE> out;
    std::vector<BYTE> chunk(n);
    for (;;) {
      const int r = ReadChannelChunk(channel_, n, chunk.data());
      EXPECT_GE(r, 0);
      if (r <= 0) return out;
      out.insert(out.end(), chunk.begin(), chunk.begin() + r);
    }
  }
  OutputChannel* channel_ = nullptr;
};

TEST_F(StoredPagesTest, RecordsLinkOverTheDisplayListBytesBetweenThem) {
  const auto a = Pattern(3000), b = Pattern(10, 7), c = Pattern(5, 9);
  std::vector<BYTE> start(56);
  for (size_t i = 0; i < start.size(); ++i) start[i] = static_cast<BYTE>(i);
  EXPECT_EQ(BeginStoredPage(channel_, 2), -1) << "not the next page";
  ASSERT_EQ(BeginStoredPage(channel_, 1), 0);
  EXPECT_EQ(channel_->mode, kChannelTempStore);
  ASSERT_EQ(WriteChannel(channel_, 3000, a.data()), 3000);
  ASSERT_EQ(WriteStoredRecord(channel_, kStoredPageStart, 56, start.data()), 0);
  ASSERT_EQ(WriteChannel(channel_, 10, b.data()), 10);
  ASSERT_EQ(WriteStoredRecord(channel_, kStoredShowPage, 0, nullptr), 0);
  ASSERT_EQ(WriteChannel(channel_, 5, c.data()), 5);
  ASSERT_EQ(EndStoredPage(channel_), 0);
  EXPECT_EQ(channel_->mode, kChannelPrinter);
  EXPECT_EQ(channel_->pageCount, 1);
  // The second page has no record at all.
  ASSERT_EQ(BeginStoredPage(channel_, 2), 0);
  ASSERT_EQ(WriteChannel(channel_, 4, "ABCD"), 4);
  ASSERT_EQ(EndStoredPage(channel_), 0);

  // The file: page 1 = a, record {0, 56, 64 + 10}, its payload, b, record {1, 0, 0}, c; page 2.
  const std::u16string path = channel_->store.name;
  std::vector<BYTE> expected(a);
  const BYTE r0[8] = {0, 0, 56, 0, 8 + 56 + 10, 0, 0, 0};
  expected.insert(expected.end(), r0, r0 + 8);
  expected.insert(expected.end(), start.begin(), start.end());
  expected.insert(expected.end(), b.begin(), b.end());
  const BYTE r1[8] = {1, 0, 0, 0, 0, 0, 0, 0};
  expected.insert(expected.end(), r1, r1 + 8);
  expected.insert(expected.end(), c.begin(), c.end());
  expected.insert(expected.end(), {'A', 'B', 'C', 'D'});
  PageIndexEntry entry{};
  ASSERT_EQ(GetArrayElement(&channel_->pageIndex, 0, &entry), 0);
  EXPECT_EQ(entry.start, 0u);
  EXPECT_EQ(entry.end, 3000u + 64 + 10 + 8 + 5);
  EXPECT_EQ(entry.firstRecord, 3000u);
  ASSERT_EQ(GetArrayElement(&channel_->pageIndex, 1, &entry), 0);
  EXPECT_EQ(entry.firstRecord, 0xFFFFFFFFu);

  // Reading page 1: bytes up to each record, which must be taken before the bytes after it.
  ASSERT_EQ(PositionStoredPage(channel_, 1), 0);
  EXPECT_EQ(ReadToBoundary(1024), a);
  EXPECT_EQ(ReadChannelChunk(channel_, 1024, std::vector<BYTE>(1024).data()), 0);
  StoredRecordHeader header{};
  ASSERT_EQ(ReadStoredRecordHeader(channel_, &header), 0);
  EXPECT_EQ(header.kind, kStoredPageStart);
  EXPECT_EQ(header.length, 56);
  EXPECT_EQ(header.distance, 74u);
  std::vector<BYTE> payload(56);
  ASSERT_EQ(ReadStoredRecordData(channel_, 56, payload.data()), 56);
  EXPECT_EQ(payload, start);
  EXPECT_EQ(ReadToBoundary(3), b);
  ASSERT_EQ(ReadStoredRecordHeader(channel_, &header), 0);
  EXPECT_EQ(header.kind, kStoredShowPage);
  EXPECT_EQ(ReadToBoundary(1024), c);
  EXPECT_EQ(ReadStoredRecordHeader(channel_, &header), kStoredPageEnd);
  // Page 2: all its bytes, then its end.
  ASSERT_EQ(PositionStoredPage(channel_, 2), 0);
  EXPECT_EQ(ReadToBoundary(2), std::vector<BYTE>({'A', 'B', 'C', 'D'}));
  EXPECT_EQ(ReadStoredRecordHeader(channel_, &header), kStoredPageEnd);
  EXPECT_EQ(PositionStoredPage(channel_, 3), -1) << "not stored";
  EXPECT_EQ(PositionStoredPage(channel_, 0), -1);
  // Chunks given back are read again.
  ASSERT_EQ(PositionStoredPage(channel_, 2), 0);
  BYTE two[2];
  ASSERT_EQ(ReadChannelChunk(channel_, 2, two), 2);
  ASSERT_EQ(UnreadChannelBytes(channel_, 1), 0);
  EXPECT_EQ(ReadToBoundary(8), std::vector<BYTE>({'B', 'C', 'D'}));
  EXPECT_EQ(ReadStoredRecordHeader(channel_, &header), kStoredPageEnd);

  EXPECT_EQ(ResetChannelStore(channel_), 0);
  EXPECT_FALSE(HostExists(path));
  EXPECT_EQ(ResetChannelStore(channel_), -1) << "nothing left to delete";
}

TEST_F(StoredPagesTest, ChannelBytesOfTheStoredPageAreInTheFile) {
  ASSERT_EQ(BeginStoredPage(channel_, 1), 0);
  const auto big = Pattern(5000);
  ASSERT_EQ(WriteChannel(channel_, 100, big.data()), 100);
  ASSERT_EQ(WriteChannel(channel_, 5000, big.data()), 5000) << "past the staging buffer: written through";
  ASSERT_EQ(EndStoredPage(channel_), 0);
  std::vector<BYTE> expected(big.begin(), big.begin() + 100);
  expected.insert(expected.end(), big.begin(), big.end());
  const std::u16string path = channel_->store.name;
  CloseHandle(channel_->store.file);
  channel_->store.file = INVALID_HANDLE_VALUE;
  EXPECT_EQ(HostBytes(path), expected);
}

TEST_F(StoredPagesTest, PageRecordsAndTablesGrowBeyondTheirFirstRoom) {
  for (WORD page = 1; page <= 200; ++page) {
    ASSERT_EQ(BeginStoredPage(channel_, page), 0) << page;
    BYTE byte = static_cast<BYTE>(page);
    ASSERT_EQ(WriteChannel(channel_, 1, &byte), 1);
    ASSERT_EQ(WriteStoredRecord(channel_, kStoredEndPage, 0, nullptr), 0);
    ASSERT_EQ(EndStoredPage(channel_), 0);
    std::vector<BYTE> record(kPageRecordBytes, byte);
    ASSERT_EQ(WritePageRecord(channel_, page, kPageRecordBytes, record.data()), 0);
  }
  EXPECT_EQ(GetArrayCapacity(&channel_->pageIndex), 240);
  std::vector<BYTE> record(kPageRecordBytes);
  ASSERT_EQ(ReadPageRecord(channel_, 150, kPageRecordBytes, record.data()), 0);
  EXPECT_EQ(record, std::vector<BYTE>(kPageRecordBytes, 150));
  EXPECT_EQ(ReadPageRecord(channel_, 150, 100, record.data()), -1) << "size differs";
  EXPECT_EQ(ReadPageRecord(channel_, 0, kPageRecordBytes, record.data()), -1) << "before the first page";
  EXPECT_EQ(ReadPageRecord(channel_, 241, kPageRecordBytes, record.data()), -1) << "past the table";
  ASSERT_EQ(PositionStoredPage(channel_, 150), 0);
  BYTE byte = 0;
  EXPECT_EQ(ReadChannelChunk(channel_, 8, &byte), 1);
  EXPECT_EQ(byte, 150);
  StoredRecordHeader header{};
  ASSERT_EQ(ReadStoredRecordHeader(channel_, &header), 0);
  EXPECT_EQ(header.kind, kStoredEndPage);
  EXPECT_EQ(ReadStoredRecordHeader(channel_, &header), kStoredPageEnd);
}

TEST_F(StoredPagesTest, DamagedLinksAreRefused) {
  ASSERT_EQ(BeginStoredPage(channel_, 1), 0);
  ASSERT_EQ(WriteStoredRecord(channel_, kStoredPageAxis, 24, Pattern(24).data()), 0);
  ASSERT_EQ(WriteChannel(channel_, 3, "xyz"), 3);
  ASSERT_EQ(EndStoredPage(channel_), 0);
  // A link past the page's end.
  BYTE link[4] = {0xFF, 0, 0, 0};
  ASSERT_EQ(SeekTempStore(&channel_->store, 4), 4);
  ASSERT_EQ(WriteTempStore(&channel_->store, link, 4), 4);
  ASSERT_EQ(PositionStoredPage(channel_, 1), 0);
  StoredRecordHeader header{};
  EXPECT_EQ(ReadStoredRecordHeader(channel_, &header), -1);
}

TEST_F(StoredPagesTest, EachDocumentCleansUpWhatEarlierJobsLeft) {
  const std::u16string left = u"C:\\Windows\\Temp\\VQPleft.tmp";
  ASSERT_EQ(RegisterTempFile(left.c_str()), 0);
  OutputChannel* document = CreateChannel(nullptr);
  ASSERT_NE(document, nullptr);
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(left).c_str()));
  EXPECT_EQ(OpenChannelPrinter(document, nullptr, nullptr, nullptr, nullptr), -1) << "no printer";
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(left).c_str()));
  // The store of this test's channel is in use: it stays.
  EXPECT_TRUE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(channel_->store.name).c_str()));
  DestroyChannel(document);
  // A channel destroyed with its store file open deletes the file and its registration.
  const std::u16string path = channel_->store.name;
  DestroyChannel(channel_);
  channel_ = nullptr;
  EXPECT_FALSE(HostExists(path));
  EXPECT_FALSE(SimRegistryKeyExists(HKEY_LOCAL_MACHINE, RegistrationOf(path).c_str()));
}

}  // namespace
