// Appends to the temporary job store: they count in its size at once, reach the file once per
// block, when flushed, or before any other use of the store, in their order; a failing write of
// waiting bytes asks the user; deleting the store drops them. Recording mode of the output
// channel appends, and its flush puts the bytes in the file.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "graphics/output/job_store_pages.h"
#include "graphics/output/output_channel.h"
#include "platform/user/user_sim.h"
#include "tests/graphics/job/job_store_fixture.h"

namespace {

class StoreAppendsTest : public JobStoreTest {
 protected:
  void SetUp() override {
    JobStoreTest::SetUp();
    InitTempStore(&store_, FALSE, nullptr);
    ASSERT_EQ(CreateTempStoreFile(&store_), 0);
    path_ = store_.name;
  }
  void TearDown() override {
    if (store_.name[0] != 0) DeleteTempStore(&store_);
    JobStoreTest::TearDown();
  }
  // What the file holds now, read beside the store's own handle.
  std::vector<BYTE> FileBytes() const { return HostBytes(path_); }

  TempJobStore store_;
  std::u16string path_;
};

TEST_F(StoreAppendsTest, AppendsWaitUntilTheStoreIsUsedOtherwise) {
  const auto bytes = Pattern(7000);
  ASSERT_EQ(WriteTempStore(&store_, bytes.data(), 1000), 1000);
  ASSERT_EQ(AppendTempStore(&store_, bytes.data() + 1000, 3000), 0);
  EXPECT_EQ(GetTempStoreSize(&store_), 4000) << "counted at once";
  EXPECT_EQ(FileBytes().size(), 1000u) << "not yet written";
  // A read, a seek or a write first puts the waiting bytes in the file.
  BYTE back[10];
  ASSERT_EQ(SeekTempStore(&store_, 3990), 3990);
  ASSERT_EQ(ReadTempStore(&store_, back, 10), 10);
  EXPECT_EQ(std::vector<BYTE>(back, back + 10), std::vector<BYTE>(bytes.begin() + 3990, bytes.begin() + 4000));
  EXPECT_EQ(FileBytes(), std::vector<BYTE>(bytes.begin(), bytes.begin() + 4000));
  // Appends go to the end whatever the position; FlushTempStore writes them.
  ASSERT_EQ(SeekTempStore(&store_, 10), 10);
  ASSERT_EQ(AppendTempStore(&store_, bytes.data() + 4000, 3000), 0);
  EXPECT_EQ(FlushTempStore(&store_), 0);
  EXPECT_EQ(FileBytes(), bytes);
  EXPECT_EQ(AppendTempStore(&store_, nullptr, 1), -1);
  EXPECT_EQ(AppendTempStore(&store_, nullptr, 0), 0);
}

// Wherever a use of the store leaves the file pointer, the next appends land at the file's end.
TEST_F(StoreAppendsTest, AppendsLandAtTheEndWhereverTheLastUseLeftTheFile) {
  const struct {
    const char* what;
    std::function<void(TempJobStore*, std::vector<BYTE>*)> use;
  } cases[] = {
      {"a read to the end",
       [](TempJobStore* s, std::vector<BYTE>*) {
         BYTE back[10];
         ASSERT_EQ(SeekTempStore(s, 990), 990);
         ASSERT_EQ(ReadTempStore(s, back, 10), 10);
       }},
      {"a read in the middle",
       [](TempJobStore* s, std::vector<BYTE>*) {
         BYTE back[10];
         ASSERT_EQ(SeekTempStore(s, 5), 5);
         ASSERT_EQ(ReadTempStore(s, back, 10), 10);
       }},
      {"a write in the middle",
       [](TempJobStore* s, std::vector<BYTE>* model) {
         ASSERT_EQ(SeekTempStore(s, 10), 10);
         ASSERT_EQ(WriteTempStore(s, "abc", 3), 3);
         std::copy_n("abc", 3, model->begin() + 10);
       }},
      {"a write from the middle past the end",
       [](TempJobStore* s, std::vector<BYTE>* model) {
         ASSERT_EQ(SeekTempStore(s, 998), 998);
         ASSERT_EQ(WriteTempStore(s, "wxyz", 4), 4);
         model->resize(998);
         model->insert(model->end(), {'w', 'x', 'y', 'z'});
       }},
      {"a seek to the end", [](TempJobStore* s, std::vector<BYTE>*) { ASSERT_EQ(SeekTempStore(s, 1000), 1000); }},
      {"a seek to the start", [](TempJobStore* s, std::vector<BYTE>*) { ASSERT_EQ(SeekTempStore(s, 0), 0); }},
      {"a seek to the end and back",
       [](TempJobStore* s, std::vector<BYTE>*) {
         ASSERT_EQ(SeekTempStoreEnd(s), 1000);
         ASSERT_EQ(SeekTempStore(s, 3), 3);
       }},
  };
  const auto bytes = Pattern(1000);
  const auto more = Pattern(77);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(CreateTempStoreFile(&store_), 0);
    path_ = store_.name;
    ASSERT_EQ(WriteTempStore(&store_, bytes.data(), 1000), 1000);
    std::vector<BYTE> model = bytes;
    c.use(&store_, &model);
    if (HasFatalFailure()) return;
    ASSERT_EQ(AppendTempStore(&store_, more.data(), 70), 0);
    ASSERT_EQ(FlushTempStore(&store_), 0);
    ASSERT_EQ(AppendTempStore(&store_, more.data() + 70, 7), 0);
    ASSERT_EQ(SeekTempStoreEnd(&store_), static_cast<int>(model.size() + 77));
    model.insert(model.end(), more.begin(), more.end());
    EXPECT_EQ(FileBytes(), model);
    EXPECT_EQ(GetTempStoreSize(&store_), static_cast<LONG>(model.size()));
  }
}

TEST_F(StoreAppendsTest, FullBlocksAndLargeAppendsAreWrittenInOrder) {
  const DWORD block = kTempStoreAppendBlockSize;
  const auto bytes = Pattern(3 * block);
  ASSERT_EQ(AppendTempStore(&store_, bytes.data(), block - 100), 0);
  EXPECT_TRUE(FileBytes().empty());
  ASSERT_EQ(AppendTempStore(&store_, bytes.data() + block - 100, 200), 0);
  EXPECT_EQ(FileBytes().size(), block - 100u) << "the full block went first";
  // A block's worth at once passes the block, after the bytes waiting before it.
  ASSERT_EQ(AppendTempStore(&store_, bytes.data() + block + 100, block), 0);
  EXPECT_EQ(FileBytes().size(), 2u * block + 100);
  ASSERT_EQ(AppendTempStore(&store_, bytes.data() + 2 * block + 100, block - 100), 0);
  EXPECT_EQ(GetTempStoreSize(&store_), static_cast<LONG>(3 * block));
  ASSERT_EQ(FlushTempStore(&store_), 0);
  EXPECT_EQ(FileBytes(), bytes);
}

TEST_F(StoreAppendsTest, FailedWriteOfWaitingBytesAsksTheUser) {
  ASSERT_EQ(AppendTempStore(&store_, Pattern(3000).data(), 3000), 0);
  SimDiskFull(path_.c_str(), 500);
  // OK writes the rest where it belongs once there is room.
  SimOnMessageBox([this](const SimMessageBox&) {
    SimShortWrite(path_.c_str(), 100000);
    return IDOK;
  });
  EXPECT_EQ(FlushTempStore(&store_), 0);
  EXPECT_EQ(SimMessageBoxLog().size(), 1u);
  EXPECT_EQ(FileBytes(), Pattern(3000));
  // Cancel makes the store unusable; the use that wrote the bytes fails.
  SimMessageBoxReset();
  ASSERT_EQ(AppendTempStore(&store_, Pattern(10).data(), 10), 0);
  SimFailWrite(path_.c_str());
  SimMessageBoxAnswer(IDCANCEL);
  BYTE b;
  EXPECT_EQ(SeekTempStore(&store_, 0), -1);
  EXPECT_EQ(store_.writable, 0u);
  EXPECT_EQ(ReadTempStore(&store_, &b, 1), -1);
  EXPECT_EQ(AppendTempStore(&store_, &b, 1), -1);
}

TEST_F(StoreAppendsTest, DeletingTheStoreDropsWaitingBytes) {
  ASSERT_EQ(AppendTempStore(&store_, Pattern(50).data(), 50), 0);
  EXPECT_EQ(DeleteTempStore(&store_), 0);
  EXPECT_FALSE(HostExists(path_));
  EXPECT_EQ(store_.appended, 0u);
  EXPECT_EQ(store_.appendBlock, nullptr);
  // A new file starts empty.
  ASSERT_EQ(CreateTempStoreFile(&store_), 0);
  path_ = store_.name;
  ASSERT_EQ(AppendTempStore(&store_, Pattern(20).data(), 20), 0);
  ASSERT_EQ(CreateTempStoreFile(&store_), 0) << "replaces the file, dropping what waited";
  path_ = store_.name;
  EXPECT_EQ(GetTempStoreSize(&store_), 0);
}

// A recorded page's bytes are in the file after the channel's flush, in order with the records
// between them.
TEST_F(StoreAppendsTest, RecordedPagesReachTheFileAtTheFlush) {
  OutputChannel* channel = CreateChannel(nullptr);
  ASSERT_NE(channel, nullptr);
  ASSERT_EQ(OpenChannelStore(channel, 1, kPageRecordBytes, kStoredPageTableStep), 0);
  channel->mode = kChannelPrinter;  // the printer target itself is not written here
  ASSERT_EQ(BeginStoredPage(channel, 1), 0);
  const auto bytes = Pattern(20000);
  for (size_t at = 0; at < bytes.size(); at += 500) ASSERT_EQ(WriteChannel(channel, 500, bytes.data() + at), 500);
  EXPECT_EQ(GetTempStoreSize(&channel->store) + static_cast<LONG>(channel->fill), 20000);
  ASSERT_EQ(WriteStoredRecord(channel, kStoredEndPage, 0, nullptr), 0);
  ASSERT_EQ(EndStoredPage(channel), 0);
  const std::u16string path = channel->store.name;
  const auto file = HostBytes(path);
  ASSERT_EQ(file.size(), 20000u + kStoredRecordHeaderBytes);
  EXPECT_EQ(std::vector<BYTE>(file.begin(), file.begin() + 20000), bytes);
  // The page reads back whole.
  ASSERT_EQ(PositionStoredPage(channel, 1), 0);
  std::vector<BYTE> back(20000);
  size_t got = 0;
  for (int n; (n = ReadChannelChunk(channel, 4096, back.data() + got)) > 0;) got += static_cast<size_t>(n);
  EXPECT_EQ(got, 20000u);
  EXPECT_EQ(back, bytes);
  EXPECT_EQ(ResetChannelStore(channel), 0);
  DestroyChannel(channel);
}

}  // namespace
