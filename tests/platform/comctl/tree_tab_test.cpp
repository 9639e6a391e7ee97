// The tree view and the tab control: a table of message cases each, and a person's clicks and
// keys with the notices the owner hears (asked first, then told).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/sandbox_test.h"

namespace {

struct Heard {
  UINT code;
  UINT action;
  std::u16string oldText, newText;
  bool operator==(const Heard&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Heard& h) {
  return os << "{" << int(h.code) << " " << h.action << " " << std::string(h.oldText.begin(), h.oldText.end()) << " "
            << std::string(h.newText.begin(), h.newText.end()) << "}";
}

std::vector<Heard> heard;
UINT refuse = 0;  // the notice the owner refuses
HWND tree = nullptr;

std::u16string TextOf(HTREEITEM item) {
  if (item == nullptr) return u"";
  WCHAR text[64] = {};
  TVITEMW v{};
  v.mask = TVIF_TEXT;
  v.hItem = item;
  v.pszText = text;
  v.cchTextMax = 64;
  SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(&v));
  return text;
}

LRESULT OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NOTIFY) {
    auto* h = reinterpret_cast<NMHDR*>(lParam);
    if (h->code == TVN_GETDISPINFOW) {
      auto* info = reinterpret_cast<NMTVDISPINFOW*>(lParam);
      lstrcpynW(info->item.pszText, u"Asked", info->item.cchTextMax);
      return 0;
    }
    if (h->hwndFrom == tree && h->code != NM_DBLCLK) {
      auto* n = reinterpret_cast<NMTREEVIEWW*>(lParam);
      heard.push_back({h->code, n->action, h->code == TVN_DELETEITEMW ? u"" : TextOf(n->itemOld.hItem), TextOf(n->itemNew.hItem)});
    } else {
      heard.push_back({h->code, 0, u"", u""});
    }
    return h->code == refuse ? 1 : 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

constexpr char16_t kOwnerClass[] = u"QvTreeOwner";

class TreeTabTest : public SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    heard.clear();
    refuse = 0;
    WNDCLASSW wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = kOwnerClass;
    ASSERT_NE(RegisterClassW(&wc), 0);
    owner_ = CreateWindowExW(0, kOwnerClass, u"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300, nullptr,
                             nullptr, nullptr, nullptr);
    tree = CreateWindowExW(0, WC_TREEVIEWW, u"", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_LINESATROOT, 10, 10, 200,
                           160, owner_, reinterpret_cast<HMENU>(LONG_PTR(40)), nullptr, nullptr);
    ASSERT_NE(tree, nullptr);
  }
  void TearDown() override {
    if (IsWindow(owner_)) DestroyWindow(owner_);
    UnregisterClassW(kOwnerClass, nullptr);
    SandboxTest::TearDown();
  }
  HTREEITEM Add(HTREEITEM parent, LPCWSTR text, HTREEITEM after = TVI_LAST) {
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = after;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<LPWSTR>(text);
    ins.item.lParam = 7;
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, LPARAM(&ins)));
  }
  HTREEITEM Next(UINT code, HTREEITEM from = nullptr) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, code, LPARAM(from)));
  }
  HWND owner_ = nullptr;
};

TEST_F(TreeTabTest, TreeViewMessages) {
  HTREEITEM trays = Add(TVI_ROOT, u"Trays");
  HTREEITEM t2 = Add(trays, u"Tray 2");
  HTREEITEM t1 = Add(trays, u"Tray 1", TVI_FIRST);
  HTREEITEM bypass = Add(trays, u"Bypass", TVI_SORT);
  HTREEITEM finisher = Add(TVI_ROOT, u"Finisher");
  EXPECT_EQ(Add(reinterpret_cast<HTREEITEM>(ULONG_PTR(999)), u"orphan"), nullptr) << "no such parent";
  struct Case {
    const char* name;
    UINT code;
    HTREEITEM from, want;
  };
  for (const Case& c : std::vector<Case>{
           {"root", TVGN_ROOT, nullptr, trays},
           {"next root", TVGN_NEXT, trays, finisher},
           {"first child, sorted in", TVGN_CHILD, trays, bypass},
           {"then the first inserted first", TVGN_NEXT, bypass, t1},
           {"then the last", TVGN_NEXT, t1, t2},
           {"no next", TVGN_NEXT, t2, nullptr},
           {"previous", TVGN_PREVIOUS, t2, t1},
           {"parent", TVGN_PARENT, t1, trays},
           {"a root's parent", TVGN_PARENT, trays, nullptr},
           {"collapsed children are not visible", TVGN_NEXTVISIBLE, trays, finisher},
           {"nothing selected", TVGN_CARET, nullptr, nullptr},
       }) {
    EXPECT_EQ(Next(c.code, c.from), c.want) << c.name;
  }
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 5);
  EXPECT_EQ(SendMessageW(tree, TVM_GETITEMSTATE, WPARAM(trays), TVIS_EXPANDED), 0);
  EXPECT_TRUE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(trays)));
  EXPECT_EQ(SendMessageW(tree, TVM_GETITEMSTATE, WPARAM(trays), TVIS_EXPANDED), TVIS_EXPANDED);
  EXPECT_EQ(Next(TVGN_NEXTVISIBLE, trays), bypass);
  EXPECT_EQ(Next(TVGN_LASTVISIBLE), finisher);
  EXPECT_FALSE(SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, LPARAM(t1))) << "nothing to expand";
  TVITEMW v{};
  v.mask = TVIF_CHILDREN | TVIF_PARAM;
  v.hItem = t1;
  ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMW, 0, LPARAM(&v)));
  EXPECT_EQ(v.cChildren, 0);
  EXPECT_EQ(v.lParam, 7);
  v.mask = TVIF_TEXT;
  v.pszText = LPSTR_TEXTCALLBACKW;
  ASSERT_TRUE(SendMessageW(tree, TVM_SETITEMW, 0, LPARAM(&v)));
  EXPECT_EQ(TextOf(t1), u"Asked") << "a callback text is asked of the owner";
  RECT r{};
  std::memcpy(&r, &t2, sizeof t2);
  ASSERT_TRUE(SendMessageW(tree, TVM_GETITEMRECT, FALSE, LPARAM(&r)));
  EXPECT_EQ(r.top, 3 * kTreeItemHeight);
  TVHITTESTINFO hit{{50, 3 * kTreeItemHeight + 2}, 0, nullptr};
  EXPECT_EQ(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_HITTEST, 0, LPARAM(&hit))), t2);
  EXPECT_EQ(hit.flags, UINT(TVHT_ONITEMLABEL));
  heard.clear();
  EXPECT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, LPARAM(trays)));
  EXPECT_EQ(heard.size(), 4u) << "each item deleted is told, children first";
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 1);
  EXPECT_TRUE(SendMessageW(tree, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT)));
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeTabTest, TreeViewSelectionAndExpansionAreAskedThenTold) {
  HTREEITEM trays = Add(TVI_ROOT, u"Trays");
  HTREEITEM t1 = Add(trays, u"Tray 1");
  Add(TVI_ROOT, u"Finisher");
  // Selecting a hidden item by message expands its way to it.
  ASSERT_TRUE(SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, LPARAM(t1)));
  EXPECT_EQ(heard, (std::vector<Heard>{{TVN_SELCHANGINGW, TVC_UNKNOWN, u"", u"Tray 1"},
                                       {TVN_ITEMEXPANDINGW, TVE_EXPAND, u"", u"Trays"},
                                       {TVN_ITEMEXPANDEDW, TVE_EXPAND, u"", u"Trays"},
                                       {TVN_SELCHANGEDW, TVC_UNKNOWN, u"", u"Tray 1"}}));
  heard.clear();
  ASSERT_TRUE(SimTreeClick(tree, trays));
  EXPECT_EQ(heard, (std::vector<Heard>{{TVN_SELCHANGINGW, TVC_BYMOUSE, u"Tray 1", u"Trays"},
                                       {TVN_SELCHANGEDW, TVC_BYMOUSE, u"Tray 1", u"Trays"}}));
  heard.clear();
  ASSERT_TRUE(SimKey(tree, VK_DOWN));
  EXPECT_EQ(heard.back(), (Heard{TVN_SELCHANGEDW, TVC_BYKEYBOARD, u"Trays", u"Tray 1"}));
  refuse = TVN_SELCHANGINGW;
  heard.clear();
  ASSERT_TRUE(SimKey(tree, VK_DOWN));
  EXPECT_EQ(heard.size(), 1u) << "refused: not told";
  EXPECT_EQ(Next(TVGN_CARET), t1);
  refuse = TVN_ITEMEXPANDINGW;
  heard.clear();
  ASSERT_TRUE(SimTreeDoubleClick(tree, trays));
  EXPECT_TRUE(SendMessageW(tree, TVM_GETITEMSTATE, WPARAM(trays), TVIS_EXPANDED)) << "the owner kept it open";
  refuse = 0;
  ASSERT_TRUE(SimTreeDoubleClick(tree, trays));
  EXPECT_FALSE(SendMessageW(tree, TVM_GETITEMSTATE, WPARAM(trays), TVIS_EXPANDED));
  EXPECT_FALSE(SimTreeClick(tree, t1)) << "a row not shown cannot be clicked";
  std::vector<SimTreeItem> items = SimTreeItems(tree);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[1].text, u"Tray 1");
  EXPECT_EQ(items[1].depth, 1);
  EXPECT_TRUE(items[0].selected) << "the double click's first press selected it";
  EXPECT_FALSE(items[1].selected);
  EXPECT_FALSE(items[0].expanded);
}

TEST_F(TreeTabTest, TabControlMessagesAndClicks) {
  HWND tab = CreateWindowExW(0, WC_TABCONTROLW, u"", WS_CHILD | WS_VISIBLE, 10, 180, 300, 100, owner_,
                             reinterpret_cast<HMENU>(LONG_PTR(41)), nullptr, nullptr);
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_PARAM;
  for (LPCWSTR s : {u"Paper", u"Quality", u"More"}) {
    item.pszText = const_cast<LPWSTR>(s);
    item.lParam = LPARAM(s[0]);
    SendMessageW(tab, TCM_INSERTITEMW, 99, LPARAM(&item));
  }
  struct Step {
    UINT msg;
    WPARAM wParam;
    LRESULT answer;
  };
  for (const Step& s : std::vector<Step>{{TCM_GETITEMCOUNT, 0, 3},
                                         {TCM_GETCURSEL, 0, 0},
                                         {TCM_SETCURSEL, 2, 0},
                                         {TCM_SETCURSEL, 5, -1},
                                         {TCM_GETCURSEL, 0, 2},
                                         {TCM_DELETEITEM, 7, FALSE},
                                         {TCM_GETROWCOUNT, 0, 1}})
    EXPECT_EQ(SendMessageW(tab, s.msg, s.wParam, 0), s.answer) << std::hex << s.msg;
  EXPECT_TRUE(heard.empty()) << "messages notify nobody";
  WCHAR text[16];
  item.mask = TCIF_TEXT | TCIF_PARAM;
  item.pszText = text;
  item.cchTextMax = 16;
  ASSERT_TRUE(SendMessageW(tab, TCM_GETITEMW, 1, LPARAM(&item)));
  EXPECT_EQ(std::u16string(text), u"Quality");
  EXPECT_EQ(item.lParam, LPARAM(u'Q'));
  RECT area{0, 0, 300, 100};
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, LPARAM(&area));
  SendMessageW(tab, TCM_ADJUSTRECT, TRUE, LPARAM(&area));
  EXPECT_EQ(area.bottom, 100);
  EXPECT_EQ(area.top, 0);

  ASSERT_TRUE(SimPickTab(tab, 0));
  EXPECT_EQ(heard, (std::vector<Heard>{{TCN_SELCHANGING, 0, u"", u""}, {TCN_SELCHANGE, 0, u"", u""}}));
  EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0);
  refuse = TCN_SELCHANGING;
  heard.clear();
  ASSERT_TRUE(SimPickTab(tab, 1));
  EXPECT_EQ(heard.size(), 1u);
  EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), 0) << "the owner kept the tab";
  EnableWindow(tab, FALSE);
  EXPECT_FALSE(SimPickTab(tab, 2));
}

}  // namespace
