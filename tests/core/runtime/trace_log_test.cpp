// The trace log of either module build: the switch file beside the module, the fixed log
// file per build, entry and exit lines, the debugger switch.
#include "core/runtime/trace_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/runtime/module_state.h"
#include "platform/platform.h"
#include "tests/support/fresh_process.h"
#include "tests/support/sandbox_test.h"

namespace {

#if defined(QV_BUILD_UI)
constexpr char16_t kLogPath[] = u"c:\\DEBUG_LOG\\WIN2000\\DDI_PRNUI_TRACE_LOG.txt";
#else
constexpr char16_t kLogPath[] = u"c:\\DEBUG_LOG\\WIN2000\\DDI_UM_TRACE_LOG.txt";
#endif

class TraceLog : public SandboxTest {
 protected:
  // Writes qorvex.cfg beside the test's module, or removes it for an empty value.
  void WriteSwitch(const std::string& value) {
    const std::filesystem::path cfg = std::filesystem::path(DriverHost()) / "qorvex.cfg";
    if (value.empty()) {
      std::filesystem::remove(cfg);
      return;
    }
    std::ofstream(cfg) << "[DEFAULT]\r\nLog=" << value << "\r\n";
  }

  static std::string DriverHost() { return SandboxTest::Host(SimDriverDirectory()); }

  // The log file's bytes, or "<none>" when there is no file.
  std::string LogFile() {
    std::ifstream in(Host(kLogPath), std::ios::binary);
    if (!in) return "<none>";
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // The module instance the trace reads its switch file beside.
  static void UseTestModule() {
    HMODULE own = LoadLibraryW(u"printer_test_module.qrs");
    ASSERT_NE(own, nullptr);
    SetModuleInstance(own);
  }

  // The trace calls of one export.
  static void TraceOneExport() {
    TraceEnter(u"DrvDocumentEvent");
    TraceLeave(u"DrvDocumentEvent RetValue = %d, iEsc = %d, %s", 1, 5, u"done");
    WriteTraceLine(u"plain line");
  }
};

TEST_F(TraceLog, SwitchValuesDecideWhatIsWritten) {
  struct Case { const char* value; const char* file; };
  const Case cases[] = {
      {"", "<none>"},
      {"0", "<none>"},
      {"0x1", "plain line\n"},
      {"0x3", "IN <<DrvDocumentEvent\nOUT>>DrvDocumentEvent RetValue = 1, iEsc = 5, done\n\nplain line\n"},
      {"0x80000000", "<none>"},
      {"0x2", "<none>"},
      {"3", "<none>"},
      {"0X3", "<none>"},
      {"0x123456789", "<none>"},
      {"0x0000000g", "<none>"},
      {"0x00000003", "IN <<DrvDocumentEvent\nOUT>>DrvDocumentEvent RetValue = 1, iEsc = 5, done\n\nplain line\n"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(Host(kLogPath));
    WriteSwitch(c.value);
    QV_IN_FRESH_PROCESS({
      UseTestModule();
      EXPECT_EQ(IsTraceOn(), std::string(c.file) != "<none>" ? 1 : 0);
      TraceOneExport();
    });
    EXPECT_EQ(LogFile(), c.file) << "Log=" << c.value;
  }
}

TEST_F(TraceLog, DebuggerSwitchSendsLinesToTheDebuggerOnly) {
  WriteSwitch("0x80000003");
  const std::string captured = SimHostPath(u"c:\\captured.txt");
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    TraceOneExport();
    // The capture lives in the child; hand it to the parent through a file.
    std::ofstream out(captured, std::ios::binary);
    for (const std::u16string& line : SimDebugOutput()) out << Utf16ToUtf8(line) << "|";
  });
  std::ifstream in(captured, std::ios::binary);
  std::ostringstream lines;
  lines << in.rdbuf();
  EXPECT_EQ(lines.str(),
            "IN <<DrvDocumentEvent\n|OUT>>DrvDocumentEvent RetValue = 1, iEsc = 5, done\n\n|plain line\n|");
  EXPECT_EQ(LogFile(), "<none>");
}

TEST_F(TraceLog, OverlongNamesTextsAndLinesAreRefused) {
  WriteSwitch("0x3");
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    const std::u16string name509(509, u'n');
    const std::u16string name508(508, u'n');
    EXPECT_EQ(TraceEnter(name509.c_str()), 0);
    EXPECT_EQ(TraceEnter(name508.c_str()), 1);
    EXPECT_EQ(TraceLeave(u"%s", name509.c_str()), 0);
    EXPECT_EQ(TraceLeave(u"%s", std::u16string(2000, u'x').c_str()), 0);  // cut by the formatter
    EXPECT_EQ(WriteTraceLine(std::u16string(514, u'l').c_str()), 0);
    EXPECT_EQ(WriteTraceLine(std::u16string(513, u'l').c_str()), 1);
  });
  EXPECT_EQ(LogFile(), "IN <<" + std::string(508, 'n') + "\n" + std::string(513, 'l') + "\n");
}

TEST_F(TraceLog, DisabledTraceAnswersOneWithoutFormatting) {
  WriteSwitch("0x1");
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    EXPECT_EQ(TraceEnter(std::u16string(600, u'n').c_str()), 1);  // entry lines are off
    // A pattern whose arguments were never passed is not formatted while the lines are off.
    EXPECT_EQ(TraceLeave(u"%s %s %s %s"), 1);
  });
}

TEST_F(TraceLog, ReloadTakesAnEditedSwitchAndLinesAreInTheAnsiPage) {
  WriteSwitch("0x3");
  const std::string cfg = (std::filesystem::path(DriverHost()) / "qorvex.cfg").string();
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    EXPECT_EQ(WriteTraceLine(u"first Grüße"), 1);
    std::ofstream(cfg) << "[DEFAULT]\r\nLog=0x0\r\n";
    EXPECT_EQ(WriteTraceLine(u"still on"), 1);  // read once until reloaded
    EXPECT_EQ(ReloadTraceSwitch(), 1);
    EXPECT_EQ(IsTraceOn(), 0);
    EXPECT_EQ(WriteTraceLine(u"dropped"), 1);
  });
  EXPECT_EQ(LogFile(), "first Gr\xfc\xdf" "e\nstill on\n");
}

TEST_F(TraceLog, OpenFileIsSharedByNestedLinesAndAFailedOpenSticks) {
  WriteSwitch("0x1");
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    ASSERT_EQ(OpenTraceFile(), 1);
    ASSERT_EQ(OpenTraceFile(), 1);
    EXPECT_EQ(WriteTraceLine(u"one"), 1);
    CloseTraceFile();
    EXPECT_EQ(WriteTraceLine(u"two"), 1);
    CloseTraceFile();
    CloseTraceFile();  // one close too many does nothing
  });
  EXPECT_EQ(LogFile(), "one\ntwo\n");
  // A file where the log folder should be: the folder cannot be made, lines are dropped and
  // no later line tries again.
  std::filesystem::remove_all(Host(u"c:\\DEBUG_LOG"));
  std::ofstream(Host(u"c:\\DEBUG_LOG")) << "in the way";
  QV_IN_FRESH_PROCESS({
    UseTestModule();
    EXPECT_EQ(WriteTraceLine(u"lost"), 0);
    EXPECT_EQ(OpenTraceFile(), 0);
    const int creates = SimCallCount("CreateDirectoryW");
    EXPECT_EQ(WriteTraceLine(u"lost too"), 0);
    EXPECT_EQ(SimCallCount("CreateDirectoryW"), creates);
  });
}

}  // namespace
