// Fixture of whole documents printed through the engine host on printer "P1" of the sample
// model: the stand-in drawing library held loaded by the test (its trace and scripts outlive
// each session), the library calls of a document in order, and its spool job's bytes.
#pragma once

#include <string>
#include <vector>

#include "items/item_ids.h"
#include "outside/drawlib/drawlib_sim.h"
#include "platform/engine/engine_sim.h"
#include "platform/engine/reference_renderer.h"
#include "tests/graphics/ddi/module_fixture.h"

// The part of a sheet picture that shows a page's imageable area of width x height at (left,
// top); white beyond the sheet.
inline ReferenceImage CropSheet(const ReferenceImage& sheet, LONG left, LONG top, LONG width, LONG height) {
  ReferenceImage part;
  part.width = width;
  part.height = height;
  part.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFFFFFF);
  for (LONG y = 0; y < height && top + y < sheet.height; ++y)
    for (LONG x = 0; x < width && left + x < sheet.width; ++x)
      part.pixels[static_cast<size_t>(y * width + x)] = sheet.pixels[static_cast<size_t>((top + y) * sheet.width + left + x)];
  return part;
}

class DocumentTest : public EngineModuleTest {
 protected:
  void SetUp() override {
    EngineModuleTest::SetUp();
    if (HasFatalFailure()) return;
    library_ = LoadLibraryW(u"qvdrawzd.dll");
    ASSERT_NE(library_, nullptr);
    reset_ = Proc<SimDrawResetProc>("SimDrawReset");
    fail_ = Proc<SimDrawFailProc>("SimDrawFail");
    trace_ = Proc<SimDrawTraceProc>("SimDrawTrace");
    breaches_ = Proc<SimDrawBreachCountProc>("SimDrawBreachCount");
    liveSessions_ = Proc<SimDrawLiveSessionsProc>("SimDrawLiveSessions");
    reset_();
    driverOnly_ = SimEngineOutstanding();
    // Pages print straight through with a fixed colour mode.
    Set(kItemColorMode, kTypeUInt8, 2);
  }

  void TearDown() override {
    for (EngineDc* dc : dcs_) EngineDeleteDC(dc);
    dcs_.clear();
    if (library_ != nullptr) {
      EXPECT_EQ(liveSessions_(), 0u) << "a library session left started";
      FreeLibrary(library_);
    }
    EngineModuleTest::TearDown();
  }

  template <typename T>
  T Proc(const char* name) {
    auto proc = reinterpret_cast<T>(GetProcAddress(library_, name));
    EXPECT_NE(proc, nullptr) << name;
    return proc;
  }

  std::string Trace() {
    std::string text(trace_(nullptr, 0), '\0');
    trace_(text.data(), static_cast<DWORD>(text.size() + 1));
    return text;
  }

  // The trace's lines.
  std::vector<std::string> Lines() {
    std::vector<std::string> lines;
    const std::string text = Trace();
    size_t at = 0;
    while (at < text.size()) {
      const size_t end = text.find('\n', at);
      lines.push_back(text.substr(at, end - at));
      at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
  }

  // The names of the library calls, in order.
  std::vector<std::string> Calls() {
    std::vector<std::string> names;
    for (const std::string& line : Lines()) {
      const size_t paren = line.find('(');
      if (line.rfind("VR_", 0) == 0 && paren != std::string::npos) names.push_back(line.substr(0, paren));
    }
    return names;
  }

  // The trace lines of one entry point.
  std::vector<std::string> Lines(const std::string& name) {
    std::vector<std::string> lines;
    for (const std::string& line : Lines())
      if (line.rfind(name + "(", 0) == 0) lines.push_back(line);
    return lines;
  }

  // A document of `pages` pages that draw nothing; each step's answer.
  struct DocumentAnswers {
    BOOL started = FALSE;
    std::vector<BOOL> pageStarts;
    std::vector<BOOL> pageEnds;
    BOOL ended = FALSE;
  };
  DocumentAnswers PrintBlankDocument(EngineDc* dc, int pages) {
    DocumentAnswers answers;
    answers.started = EngineStartDoc(dc, u"Blank");
    for (int i = 0; i < pages && answers.started; ++i) {
      answers.pageStarts.push_back(EngineStartPage(dc));
      answers.pageEnds.push_back(EngineEndPage(dc));
    }
    if (answers.started) answers.ended = EngineEndDoc(dc);
    return answers;
  }

  // The bytes of the spooler's latest job.
  std::vector<BYTE> LastSpoolJob() {
    const std::vector<SimSpoolJob> jobs = SimListSpoolJobs();
    return jobs.empty() ? std::vector<BYTE>{} : SimReadSpoolJob(jobs.back().id);
  }

  int driverOnly_ = 0;  // engine allocations of the loaded driver alone
  HMODULE library_ = nullptr;
  SimDrawResetProc reset_ = nullptr;
  SimDrawFailProc fail_ = nullptr;
  SimDrawTraceProc trace_ = nullptr;
  SimDrawBreachCountProc breaches_ = nullptr;
  SimDrawLiveSessionsProc liveSessions_ = nullptr;
};
