// Scripted message boxes and captured debugger output.
#include <gtest/gtest.h>

#include "platform/kernel/debug.h"
#include "platform/kernel/kernel_sim.h"
#include "platform/user/msgbox.h"
#include "platform/user/user_sim.h"
#include "tests/support/sandbox_test.h"

namespace {

class MessageBoxTest : public SandboxTest {};

TEST_F(MessageBoxTest, ScriptedAnswersInOrderThenCancel) {
  SimMessageBoxAnswer(IDYES);
  SimMessageBoxAnswer(IDNO);
  HWND owner = reinterpret_cast<HWND>(ULONG_PTR(0x40));
  EXPECT_EQ(MessageBoxW(owner, u"Replace?", u"Qorvex", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(MessageBoxW(nullptr, u"Again?", nullptr, MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "caf\xE9", "Scan", MB_OKCANCEL | MB_ICONWARNING | MB_TASKMODAL | MB_TOPMOST), IDCANCEL);

  auto log = SimMessageBoxLog();
  ASSERT_EQ(log.size(), 3u);
  EXPECT_EQ(log[0].owner, owner);
  EXPECT_EQ(log[0].text, u"Replace?");
  EXPECT_EQ(log[0].caption, u"Qorvex");
  EXPECT_EQ(log[0].type, UINT(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(log[0].scripted);
  EXPECT_EQ(log[1].caption, u"");
  EXPECT_EQ(log[1].answer, IDNO);
  EXPECT_EQ(log[2].text, u"caf\u00E9");
  EXPECT_EQ(log[2].type, UINT(0x42031));
  EXPECT_FALSE(log[2].scripted);
  EXPECT_TRUE(log[2].ansi);
  EXPECT_EQ(log[2].answer, IDCANCEL);
}

TEST_F(MessageBoxTest, ResetForgetsLogAndAnswers) {
  SimMessageBoxAnswer(IDOK);
  MessageBoxW(nullptr, u"one", u"c", MB_OK);
  SimMessageBoxAnswer(IDRETRY);
  SimReset();
  EXPECT_TRUE(SimMessageBoxLog().empty());
  EXPECT_EQ(MessageBoxW(nullptr, u"two", u"c", MB_RETRYCANCEL), IDCANCEL);
}

TEST_F(MessageBoxTest, DebugOutputIsCaptured) {
  OutputDebugStringW(u"IN << DrvEnablePDEV\n");
  OutputDebugStringA("plain");
  OutputDebugStringW(nullptr);
  EXPECT_EQ(SimDebugOutput(), (std::vector<std::u16string>{u"IN << DrvEnablePDEV\n", u"plain", u""}));
  SimDebugOutputReset();
  EXPECT_TRUE(SimDebugOutput().empty());
}

}  // namespace
