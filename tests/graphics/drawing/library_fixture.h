// Test fixture of the drawing-library session: a device of printer "P1" (its settings through
// qorvexdata), the stand-in drawing library held loaded by the test so that its trace, stream
// and scripts outlive each session, and helpers to set settings and read the trace.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/store/item_access.h"
#include "graphics/ddi/data_access.h"
#include "graphics/device/pdev.h"
#include "graphics/drawing/drawing_session.h"
#include "outside/drawlib/drawlib_sim.h"
#include "tests/graphics/drawing/drawing_fixture.h"

class LibraryTest : public DrawingTest {
 protected:
  static constexpr const WCHAR* kLibraryFile = u"qvdrawzd.dll";

  void SetUp() override {
    DrawingTest::SetUp();
    if (HasFatalFailure()) return;
    BindDataAccess();
    pdev_ = std::make_unique<Pdev>();
    config_ = std::make_unique<PrinterConfiguration>();
    pdev_->config = config_.get();
    pdev_->printer = printer_;
    pdev_->channel = channel_;
    library_ = LoadLibraryW(kLibraryFile);
    ASSERT_NE(library_, nullptr);
    reset_ = Proc<SimDrawResetProc>("SimDrawReset");
    fail_ = Proc<SimDrawFailProc>("SimDrawFail");
    countOnly_ = Proc<SimDrawCountOnlyProc>("SimDrawCountOnly");
    callCount_ = Proc<SimDrawCallCountProc>("SimDrawCallCount");
    trace_ = Proc<SimDrawTraceProc>("SimDrawTrace");
    breaches_ = Proc<SimDrawBreachCountProc>("SimDrawBreachCount");
    stream_ = Proc<SimDrawStreamProc>("SimDrawStream");
    liveSessions_ = Proc<SimDrawLiveSessionsProc>("SimDrawLiveSessions");
    reset_();
    SetDebugMessageSink(&LibraryTest::CollectDebugMessage);
    Messages().clear();
  }

  void TearDown() override {
    CloseLibrarySession(channel_);
    SetDebugMessageSink(nullptr);
    if (library_ != nullptr) {
      EXPECT_EQ(liveSessions_(), 0u) << "a session left started";
      FreeLibrary(library_);
    }
    DrawingTest::TearDown();
  }

  template <typename T>
  T Proc(const char* name) {
    auto proc = reinterpret_cast<T>(GetProcAddress(library_, name));
    EXPECT_NE(proc, nullptr) << name;
    return proc;
  }

  // Sets a number item of the device's settings in its own type.
  void Set(SettingItemId id, DWORD value) {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ULONG_PTR old = 0;
    ASSERT_EQ(GetItemValue(id, &pdev_->settings, pdev_->config, &type, &length, &old), kItemDone) << id;
    ASSERT_EQ(SetItemNumberResult(&pdev_->settings, pdev_->config, id, type, value), kItemDone) << id;
  }

  std::string Trace() {
    std::string text(trace_(nullptr, 0), '\0');
    trace_(text.data(), static_cast<DWORD>(text.size() + 1));
    return text;
  }

  // The trace lines of one entry point.
  std::vector<std::string> Lines(const std::string& name) {
    std::vector<std::string> lines;
    const std::string text = Trace();
    size_t at = 0;
    while (at < text.size()) {
      const size_t end = text.find('\n', at);
      const std::string line = text.substr(at, end - at);
      if (line.rfind(name + "(", 0) == 0) lines.push_back(line);
      at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
  }

  std::vector<BYTE> LibraryStream() {
    std::vector<BYTE> bytes(stream_(nullptr, 0));
    stream_(bytes.data(), static_cast<DWORD>(bytes.size()));
    return bytes;
  }

  struct DebugMessage {
    std::u16string text;
    std::u16string caption;
    bool operator==(const DebugMessage&) const = default;
  };
  static std::vector<DebugMessage>& Messages() {
    static std::vector<DebugMessage> messages;
    return messages;
  }
  static void CollectDebugMessage(LPCWSTR text, LPCWSTR caption) { Messages().push_back({text, caption}); }

  std::unique_ptr<Pdev> pdev_;
  std::unique_ptr<PrinterConfiguration> config_;
  HMODULE library_ = nullptr;
  SimDrawResetProc reset_ = nullptr;
  SimDrawFailProc fail_ = nullptr;
  SimDrawCountOnlyProc countOnly_ = nullptr;
  SimDrawCallCountProc callCount_ = nullptr;
  SimDrawTraceProc trace_ = nullptr;
  SimDrawBreachCountProc breaches_ = nullptr;
  SimDrawStreamProc stream_ = nullptr;
  SimDrawLiveSessionsProc liveSessions_ = nullptr;
};
