// Print to file: the folders of the save folder created level by level, the ".kmr" file made
// and written beside the printer, and the folder box when a folder cannot be made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/store/item_access.h"
#include "graphics/job/channel_output.h"
#include "graphics/output/output_channel.h"
#include "graphics/output/print_to_file.h"
#include "items/item_ids.h"
#include "tests/graphics/output/spool_fixture.h"

namespace {

class PrintToFile : public SpoolTest {
 protected:
  void SetUp() override {
    SpoolTest::SetUp();
    if (HasFatalFailure()) return;
    BindDataAccess();
    engineJob_ = StartEngineJob();
    pdev_ = std::make_unique<Pdev>();
    config_ = std::make_unique<PrinterConfiguration>();
    pdev_->config = config_.get();
    pdev_->printer = printer_;
    pdev_->job.flags = kJobOutputBegun;
    ASSERT_EQ(OpenOutputChannel(pdev_.get()), 0);
    ASSERT_EQ(StartChannelOutput(pdev_.get(), printer_, nullptr, u"Engine Document", nullptr), 0);
  }

  void TearDown() override {
    if (pdev_ != nullptr) CloseOutputChannel(pdev_.get());
    if (printer_ != nullptr) EndDocPrinter(printer_);
    SpoolTest::TearDown();
  }

  void SetText(SettingItemId id, const std::u16string& text, DWORD bufferBytes) {
    LPCWSTR source = text.c_str();
    ASSERT_EQ(SetItemValue(id, &pdev_->settings, pdev_->config, kTypeString, bufferBytes, &source), kItemDone);
  }

  void SaveAs(const std::u16string& folder, const std::u16string& name) {
    SetText(kItemSaveFolder, folder, 256);
    SetText(kItemSaveFileName, name, 18);
  }

  bool Exists(const std::u16string& path) { return std::filesystem::exists(Host(path.c_str())); }

  std::unique_ptr<Pdev> pdev_;
  std::unique_ptr<PrinterConfiguration> config_;
  DWORD engineJob_ = 0;
};

TEST_F(PrintToFile, CreatesTheFoldersAndTheFileAndWritesBoth) {
  SaveAs(u"C:\\Out\\Jobs", u"report");
  ASSERT_EQ(PrepareFileOutput(pdev_.get()), 0);
  EXPECT_TRUE(Exists(u"C:\\Out\\Jobs"));
  EXPECT_TRUE(Exists(u"C:\\Out\\Jobs\\report.kmr"));
  EXPECT_EQ(pdev_->channel->mode, kChannelPrinterAndFile);
  EXPECT_EQ(pdev_->channel->messageId, kPrintToFileFailureString);
  EXPECT_TRUE(SimMessageBoxLog().empty());
  EXPECT_EQ(WriteStreamData(pdev_.get(), 9, "job bytes"), 0);
  EXPECT_EQ(EndFileOutput(pdev_.get()), 0);
  std::ifstream in(Host(u"C:\\Out\\Jobs\\report.kmr"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "job bytes");
  EXPECT_EQ(EndChannelOutput(pdev_.get(), 0), 0);
  auto printed = SimReadSpoolJob(engineJob_);
  EXPECT_EQ(std::string(printed.begin(), printed.end()), "job bytes");

  // A folder that already ends in a backslash gets none added.
  ASSERT_EQ(StartChannelOutput(pdev_.get(), printer_, nullptr, nullptr, nullptr), 0);
  SaveAs(u"C:\\Out\\", u"second");
  ASSERT_EQ(PrepareFileOutput(pdev_.get()), 0);
  EXPECT_TRUE(Exists(u"C:\\Out\\second.kmr"));
  EXPECT_EQ(EndFileOutput(pdev_.get()), 0);
}

TEST_F(PrintToFile, FileGoesIntoTheShortFormOfTheFolder) {
  struct Case {
    std::u16string folder;
    std::u16string shortForm;  // of the folder with its backslash
  };
  const Case cases[] = {
      {u"C:\\Out\\Long Folder", u"C:\\Out\\LONGFO~1\\"},
      // A short form longer than the folder's own name.
      {u"C:\\A B", u"C:\\AB~1234567890\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.folder));
    SaveAs(c.folder, u"report");
    std::filesystem::create_directories(Host(c.shortForm.c_str()));
    SimSetShortPathName((c.folder + u"\\").c_str(), c.shortForm.c_str());
    ASSERT_EQ(PrepareFileOutput(pdev_.get()), 0);
    EXPECT_TRUE(Exists(c.folder));
    EXPECT_TRUE(Exists(c.shortForm + u"report.kmr"));
    EXPECT_FALSE(Exists(c.folder + u"\\report.kmr"));
    EXPECT_EQ(EndFileOutput(pdev_.get()), 0);
  }
}

TEST_F(PrintToFile, FoldersAreCreatedLevelByLevel) {
  struct Case {
    std::u16string folder;
    int calls;  // CreateDirectoryW calls
    std::vector<std::u16string> made;
  };
  const Case cases[] = {
      {u"C:\\a\\b", 2, {u"C:\\a", u"C:\\a\\b"}},
      {u"C:\\c\\", 1, {u"C:\\c"}},
      {u"C:\\d/e\\f", 3, {u"C:\\d", u"C:\\d\\e", u"C:\\d\\e\\f"}},
      {u"C:\\g\u00A5h", 2, {u"C:\\g"}},
      {u"", 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.folder));
    const int before = SimCallCount("CreateDirectoryW");
    EXPECT_EQ(CreateFolderPath(pdev_->channel->resourceModule, c.folder.c_str(), pdev_.get()), kFolderReady);
    EXPECT_EQ(SimCallCount("CreateDirectoryW") - before, c.calls);
    for (const std::u16string& folder : c.made) EXPECT_TRUE(Exists(folder)) << Utf16ToUtf8(folder);
  }
  EXPECT_TRUE(SimMessageBoxLog().empty());
  // A network folder: the server and the share are not created, only the folder below them
  // (which the sandbox cannot hold, so the box asks; unanswered, it cancels).
  const int before = SimCallCount("CreateDirectoryW");
  EXPECT_EQ(CreateFolderPath(pdev_->channel->resourceModule, u"\\\\server\\share\\a", pdev_.get()),
            kFolderCancelled);
  EXPECT_EQ(SimCallCount("CreateDirectoryW") - before, 1);
}

TEST_F(PrintToFile, FolderThatCannotBeCreatedAsksWhetherToPrintWithoutIt) {
  SaveAs(u"C:\\Locked\\Jobs", u"report");
  // OK: the job prints without the file; the walk stops at the first folder.
  SimFailCall("CreateDirectoryW", ERROR_ACCESS_DENIED);
  SimMessageBoxAnswer(IDOK);
  EXPECT_EQ(PrepareFileOutput(pdev_.get()), 0);
  EXPECT_EQ(pdev_->channel->mode, kChannelPrinter);
  EXPECT_EQ(SimCallCount("CreateDirectoryW"), 1);
  auto boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, u"警告");
  EXPECT_EQ(boxes[0].text, u"The folder for the saved job cannot be created. Print without saving?");
  EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONWARNING | MB_SETFOREGROUND));
  // Cancel: the job fails.
  SimFailCall("CreateDirectoryW", ERROR_ACCESS_DENIED);
  SimMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(PrepareFileOutput(pdev_.get()), -1);
  EXPECT_EQ(pdev_->channel->mode, kChannelPrinter);
  EXPECT_FALSE(Exists(u"C:\\Locked"));
  // A folder that is already there is fine.
  std::filesystem::create_directories(Host(u"C:\\Locked\\Jobs"));
  EXPECT_EQ(PrepareFileOutput(pdev_.get()), 0);
  EXPECT_EQ(pdev_->channel->mode, kChannelPrinterAndFile);
  EXPECT_EQ(EndFileOutput(pdev_.get()), 0);
}

}  // namespace
