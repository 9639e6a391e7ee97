// The message log of the test API: what watched windows receive, compared with an expected
// sequence exactly or in order, with the first difference named in readable words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

constexpr char16_t kClass[] = u"QvLogged";

// Answers WM_USER by sending WM_USER + 1 to itself, so a sent message nests inside another.
LRESULT LoggedProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER) return SendMessageW(hwnd, WM_USER + 1, wParam + 1, 0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

class MessageLogTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    WNDCLASSW wc{};
    wc.lpfnWndProc = LoggedProc;
    wc.lpszClassName = kClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    top_ = CreateWindowExW(0, kClass, u"Top", WS_OVERLAPPED, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(top_, nullptr);
  }
  void TearDown() override {
    if (IsWindow(top_)) DestroyWindow(top_);
    EXPECT_TRUE(UnregisterClassW(kClass, nullptr));
    SandboxTest::TearDown();
  }
  HWND Child(HWND parent, int id, LPCWSTR text = u"") {
    return CreateWindowExW(0, kClass, text, WS_CHILD, 0, 0, 50, 20, parent, reinterpret_cast<HMENU>(LONG_PTR(id)),
                           nullptr, nullptr);
  }
  HWND top_ = nullptr;
};

// What the report says starts with the first difference; the log it lists follows.
std::string FirstLine(const std::string& report) { return report.substr(0, report.find('\n')); }

TEST_F(MessageLogTest, AWatchedTreeMatchesExactlyAndTheFirstDifferenceIsNamed) {
  SimMessageLog log({{top_, "top", true}});
  log.Only({WM_NCCREATE, WM_CREATE, WM_PARENTNOTIFY, WM_DESTROY});
  HWND child = Child(top_, 7, u"label");
  EXPECT_EQ(
      log.Difference(
          {{child, WM_NCCREATE}, {child, WM_CREATE}, {top_, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, 7), LPARAM(child)}}),
      "");
  EXPECT_TRUE(log.Matches({{child, WM_NCCREATE}, {child, WM_CREATE}, {top_, WM_PARENTNOTIFY}}));
  // A window made later inside a watched one gets its class, id and text for a name.
  EXPECT_EQ(FirstLine(log.Difference({{child, WM_NCCREATE}, {top_, WM_CREATE}})),
            "message 2: expected WM_CREATE to top, got WM_CREATE to QvLogged 7 \"label\"");
  EXPECT_EQ(FirstLine(log.Difference({{child, WM_NCCREATE}, {child, WM_CREATE}})),
            "message 3: expected nothing more, got WM_PARENTNOTIFY to top");
  EXPECT_EQ(FirstLine(log.Difference(
                {{child, WM_NCCREATE}, {child, WM_CREATE}, {top_, WM_PARENTNOTIFY}, {child, WM_DESTROY}})),
            "message 4: expected WM_DESTROY to QvLogged 7 \"label\", got nothing more");
  // What the expectation names of wParam and lParam must be there, and the report shows both sides.
  EXPECT_EQ(FirstLine(log.Difference(
                {{child, WM_NCCREATE}, {child, WM_CREATE}, {top_, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, 8)}})),
            "message 3: expected WM_PARENTNOTIFY wParam 0x80001 to top, got WM_PARENTNOTIFY wParam 0x70001 to top");
  // The report lists the log after the difference.
  EXPECT_NE(log.Difference({}).find("\nreceived:\n1. WM_NCCREATE to QvLogged 7 \"label\"\n2. WM_CREATE to"),
            std::string::npos);
  EXPECT_EQ(log.Text(),
            "1. WM_NCCREATE to QvLogged 7 \"label\"\n2. WM_CREATE to QvLogged 7 \"label\"\n"
            "3. WM_PARENTNOTIFY to top\n");
}

TEST_F(MessageLogTest, InOrderAllowsOtherMessagesBetween) {
  HWND a = Child(top_, 1), b = Child(top_, 2);
  SimMessageLog log({{a, "a"}, {b, "b"}});
  SendMessageW(a, WM_USER, 0, 0);  // a hears WM_USER, then WM_USER + 1 from inside it
  SendMessageW(b, WM_USER + 5, 0, 0);
  SendMessageW(a, WM_USER + 6, 0, 0);
  EXPECT_TRUE(log.Matches({{a, WM_USER}, {a, WM_USER + 1, 1}, {b, WM_USER + 5}, {a, WM_USER + 6}}));
  EXPECT_TRUE(log.Matches({{a, WM_USER}, {a, WM_USER + 6}}, SimSequence::InOrder));
  EXPECT_FALSE(log.Matches({{a, WM_USER}, {a, WM_USER + 6}}));
  EXPECT_EQ(FirstLine(log.Difference({{b, WM_USER + 5}, {a, WM_USER + 1}}, SimSequence::InOrder)),
            "expected message 2, WM_USER+1 to a, got none like it after message 3 (WM_USER+5 to b)");
  EXPECT_EQ(FirstLine(log.Difference({{b, WM_USER}}, SimSequence::InOrder)),
            "expected message 1, WM_USER to b, got none like it");
  // Messages of interest only: the rest drop out of what is compared, also of what came before.
  log.Only({WM_USER + 5, WM_USER + 6});
  EXPECT_TRUE(log.Matches({{b, WM_USER + 5}, {a, WM_USER + 6}}));
  log.Clear();
  EXPECT_TRUE(log.Messages().empty());
}

TEST_F(MessageLogTest, PostedMessagesCountWhenDispatchedAndOnlyWatchedWindowsAreKept) {
  HWND a = Child(top_, 1), other = Child(top_, 2);
  std::vector<SimLoggedMessage> seen;
  {
    SimMessageLog log({a});
    SimMessageLog second({other});
    PostMessageW(a, WM_USER + 3, 4, 5);
    SendMessageW(other, WM_USER + 2, 0, 0);
    EXPECT_TRUE(log.Messages().empty()) << "not yet dispatched";
    SimPumpMessages();
    seen = log.Messages();
    EXPECT_TRUE(second.Matches({{other, WM_USER + 2}}));
  }
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].hwnd, a);
  EXPECT_EQ(seen[0].wParam, 4u);
  EXPECT_EQ(seen[0].lParam, 5);
  EXPECT_EQ(seen[0].window, "QvLogged 1");
  SendMessageW(a, WM_USER + 3, 0, 0);  // no log is live: nothing is kept, nothing breaks
}

TEST_F(MessageLogTest, NoticesAndClassMessagesHaveTheirNames) {
  HWND dialog = CreateWindowExW(0, u"#32770", u"Paper", WS_CHILD, 0, 0, 10, 10, top_, nullptr, nullptr, nullptr);
  HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, top_, nullptr, nullptr, nullptr);
  ASSERT_NE(dialog, nullptr);
  ASSERT_NE(tip, nullptr);
  SimMessageLog log({{top_, "top"}, {dialog, "page"}, {tip, "tip"}});
  log.Only({WM_NOTIFY, PSM_CHANGED, TTM_GETTOOLCOUNT, WM_COMMAND});
  NMHDR hdr{dialog, 0, PSN_APPLY};
  SendMessageW(dialog, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
  hdr.code = TCN_SELCHANGE;
  SendMessageW(top_, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
  SendMessageW(dialog, PSM_CHANGED, 0, 0);
  SendMessageW(top_, PSM_CHANGED, 0, 0);  // not a dialog: the number alone
  SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0);
  SendMessageW(top_, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);
  EXPECT_EQ(log.Text(),
            "1. WM_NOTIFY PSN_APPLY to page\n2. WM_NOTIFY TCN_SELCHANGE to top\n3. PSM_CHANGED to page\n"
            "4. WM_USER+104 to top\n5. TTM_GETTOOLCOUNT to tip\n6. WM_COMMAND to top\n");
  EXPECT_TRUE(log.Matches({SimNotice(dialog, PSN_APPLY), SimNotice(top_, TCN_SELCHANGE)}, SimSequence::InOrder));
  EXPECT_EQ(FirstLine(log.Difference({SimNotice(dialog, PSN_KILLACTIVE)}, SimSequence::InOrder)),
            "expected message 1, WM_NOTIFY PSN_KILLACTIVE to page, got none like it");
  EXPECT_TRUE(log.Matches({{top_, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED)}}, SimSequence::InOrder));
  EXPECT_EQ(FirstLine(log.Difference({{dialog, WM_NOTIFY}, {dialog, WM_NOTIFY}})),
            "message 2: expected WM_NOTIFY to page, got WM_NOTIFY TCN_SELCHANGE to top")
      << "WM_NOTIFY without a code matches any notice";
  EXPECT_EQ(log.Messages()[0].code, UINT(PSN_APPLY));
}

TEST_F(MessageLogTest, AClassIsWatchedInEveryWindowOfItMadeNowOrLater) {
  HWND before = CreateWindowExW(0, u"#32770", u"First", WS_CHILD, 0, 0, 10, 10, top_, nullptr, nullptr, nullptr);
  SimMessageLog log({SimWatched::OfClass(u"#32770")});
  log.Only({WM_CREATE, WM_APP});
  HWND later = CreateWindowExW(0, u"#32770", u"Second", WS_CHILD, 0, 0, 10, 10, top_, nullptr, nullptr, nullptr);
  HWND other = Child(top_, 3);
  for (HWND h : {before, later, other, top_}) SendMessageW(h, WM_APP, 0, 0);
  EXPECT_EQ(log.Text(), "1. WM_CREATE to #32770 \"Second\"\n2. WM_APP to #32770 \"First\"\n"
                        "3. WM_APP to #32770 \"Second\"\n");
  EXPECT_TRUE(log.Matches({{later, WM_CREATE}, {before, WM_APP}, {later, WM_APP}}));
}

}  // namespace
