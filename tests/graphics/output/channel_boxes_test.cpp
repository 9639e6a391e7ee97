// The channel's boxes follow the reading order of the target printer's model: a model with the
// right-to-left feature gets right-aligned, right-to-left boxes.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "graphics/output/channel_boxes.h"
#include "tests/graphics/output/spool_fixture.h"
#include "platform/user/controls.h"
#include "platform/user/window.h"
#include "tools/dddtool/ddd_model.h"

namespace {

class ChannelBoxes : public SpoolTest {
 protected:
  // Printer "Mirror" of the sample model with the right-to-left feature (bit 14 of the second
  // feature word) set, opened into mirror_.
  void AddRightToLeftPrinter() {
    const std::string models = std::string(QV_SOURCE_DIR) + "/models";
    std::ifstream in(models + "/sample.txt", std::ios::binary);
    std::string text(std::istreambuf_iterator<char>(in), {});
    const std::string second = "section 39 [0x1]";
    const size_t at = text.find(second);
    ASSERT_NE(at, std::string::npos);
    text.replace(at, second.size(), "section 39 [0x4001]");
    DddModel model;
    DddImage image;
    std::string error;
    ASSERT_TRUE(ParseDddModel(text, models, &model, &error)) << error;
    ASSERT_TRUE(BuildDddImage(model, &image, &error)) << error;
    CreateDirectoryW(u"C:\\models", nullptr);
    Write(u"C:\\models\\MIRROR.DDD", image.main);
    Write(u"C:\\models\\QX4500.DAT", image.linked);
    SimPrinterSetup setup;
    setup.name = u"Mirror";
    setup.dataFile = u"C:\\models\\MIRROR.DDD";
    ASSERT_TRUE(SimAddPrinter(setup));
    ASSERT_TRUE(OpenPrinterW(u"Mirror", &mirror_, nullptr));
  }

  void TearDown() override {
    if (mirror_ != nullptr) ClosePrinter(mirror_);
    SpoolTest::TearDown();
  }

  static void Write(const char16_t* path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(SimHostPath(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  HANDLE mirror_ = nullptr;
};

TEST_F(ChannelBoxes, ReadingOrderFollowsTheModelsFeature) {
  AddRightToLeftPrinter();
  constexpr UINT kRightToLeft = MB_RIGHT | MB_RTLREADING;
  // The sample model's first feature word has bits of 0xFFFF002E set, yet it is no
  // right-to-left model: only the feature counts.
  EXPECT_EQ(GetReadingOrderFlags(printer_), 0u);
  EXPECT_EQ(GetReadingOrderFlags(mirror_), kRightToLeft);
  EXPECT_EQ(GetReadingOrderFlags(nullptr), 0u);

  OutputChannel* channel = CreateChannel(GetResourceModule());
  ASSERT_NE(channel, nullptr);
  channel->messageId = kPrintToFileFailureString;
  for (HANDLE target : {printer_, mirror_}) {
    channel->target = target;
    SimMessageBoxAnswer(IDOK);
    EXPECT_TRUE(AskRetryChannelWrite(channel));
    EXPECT_EQ(AskFolderFailure(channel->resourceModule, target), IDCANCEL);
  }
  DestroyChannel(channel);
  auto boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].type, 0x10041u);
  EXPECT_EQ(boxes[1].type, 0x10031u);
  EXPECT_EQ(boxes[2].type, 0x190041u);
  EXPECT_EQ(boxes[3].type, 0x190031u);
  EXPECT_EQ(boxes[3].caption, u"警告");
}

// The boxes belong to the window the application has active while it prints.
TEST_F(ChannelBoxes, BoxesBelongToTheActiveWindow) {
  HWND app = CreateWindowExW(0, WC_STATICW, u"Editor", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr,
                             nullptr);
  ASSERT_NE(app, nullptr);
  SetActiveWindow(app);
  ASSERT_EQ(GetActiveWindow(), app);
  OutputChannel* channel = CreateChannel(GetResourceModule());
  ASSERT_NE(channel, nullptr);
  channel->messageId = kPrintToFileFailureString;
  channel->target = printer_;
  EXPECT_FALSE(AskRetryChannelWrite(channel));
  EXPECT_EQ(AskFolderFailure(channel->resourceModule, printer_), IDCANCEL);
  DestroyChannel(channel);
  DestroyWindow(app);
  const auto boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  for (const SimMessageBox& box : boxes) EXPECT_EQ(box.owner, app) << box.caption.size();
}

}  // namespace
