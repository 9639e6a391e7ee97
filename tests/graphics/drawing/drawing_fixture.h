// Test fixture of the drawing code: printer "P1" of the sample model with the engine's job
// begun, an output channel on it, and views of the bytes that reached the spool job and a
// user file.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "graphics/drawing/drawing_session.h"
#include "graphics/output/file_target.h"
#include "graphics/output/output_channel.h"
#include "tests/graphics/output/spool_fixture.h"

class DrawingTest : public SpoolTest {
 protected:
  static constexpr const WCHAR* kUserFile = u"C:\\Saved\\page.kmr";

  void SetUp() override {
    SpoolTest::SetUp();
    if (HasFatalFailure()) return;
    engineJob_ = StartEngineJob();
    channel_ = CreateChannel(GetResourceModule());
    ASSERT_NE(channel_, nullptr);
    ASSERT_EQ(OpenChannelPrinter(channel_, printer_, nullptr, u"Engine Document", nullptr), 0);
    std::filesystem::create_directories(Host(u"C:\\Saved"));
  }

  void TearDown() override {
    CloseLibrarySession(channel_);
    DestroyChannel(channel_);
    if (printer_ != nullptr) EndDocPrinter(printer_);
    SpoolTest::TearDown();
  }

  // Switches the channel to recording into the user file (mode 3).
  void RecordToFile() {
    DWORD start = 0;
    ASSERT_EQ(OpenFileTarget(channel_, kUserFile, &start, TRUE), 0);
  }

  // What the user file holds once the channel's waiting bytes are flushed.
  std::vector<BYTE> FileBytes() {
    if (channel_->mode != kChannelClosed) FlushChannel(channel_);
    std::ifstream in(Host(kUserFile), std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
  }

  std::vector<BYTE> EngineBytes() {
    if (channel_->mode != kChannelClosed) FlushChannel(channel_);
    return SimReadSpoolJob(engineJob_);
  }

  OutputChannel* channel_ = nullptr;
  DWORD engineJob_ = 0;
};

// Bytes from a readable hex text ("41 44 00 03").
inline std::vector<BYTE> HexBytes(const std::string& text) {
  std::vector<BYTE> bytes;
  for (size_t i = 0; i + 1 < text.size() + 1; ++i) {
    if (text[i] == ' ') continue;
    bytes.push_back(static_cast<BYTE>(std::stoi(text.substr(i, 2), nullptr, 16)));
    ++i;
  }
  return bytes;
}
