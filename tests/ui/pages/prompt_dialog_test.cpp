// The print-time prompt dialog from the driver's resource file over printer "P1" of the
// sample with lists for the prompt's fields, scripted as a person would use it: defaults at
// opening, masking, the locked group, typing limits, secret fields stored encoded, checks at
// leaving a field and at OK, Cancel, group switching, help, the reading order of its boxes
// and a picture against a kept fixture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/descriptors/item_defaults.h"
#include "core/runtime/module_state.h"
#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "items/text_protection.h"
#include "platform/platform.h"
#include "tests/support/model_files.h"
#include "tests/support/printer_fixture.h"
#include "ui/pages/prompt_dialog.h"

namespace {

// The kept picture; rewrite it after an intended change with
//   QV_UPDATE_FIXTURES=1 build/test/tests/test_ui_pages --gtest_filter='*Picture*'
std::string Fixture(const char* name) { return std::string(QV_SOURCE_DIR) + "/tests/ui/pages/data/" + name; }
constexpr int kChannelTolerance = 48;
constexpr double kDifferingShare = 0.01;

constexpr int kUserName = 1343, kPassword = 1347, kAccount = 3523, kDepartment = 3531, kPin = 3532;
constexpr int kPinLabel = 3530, kUserRadio = 3552, kDepartmentRadio = 3553, kOk = 1092, kCancel = 1091;
constexpr int kHelp = 1341;

// The sample with the prompt's lists: the shortest and longest text of each field's item in
// ANSI bytes, and its default (the PIN's stored encoded: "0000"; the password has none); with
// the right-to-left model feature on request.
std::u16string InstallPromptModel(bool rightToLeft) {
  const std::string lastChoice = "choice 114 name=\"32\" value=u16:32\n";
  const std::string favorites = "list 36888 name=\"Favorites\" kind=1 default=1 choices=[108 105 106 107]\n";
  std::vector<ModelTextEdit> edits = {
      {lastChoice, lastChoice + "choice 115 name=\"Shortest\" value=u16:1\n"
                                "choice 116 name=\"Longest\" value=u16:32\n"
                                "choice 117 name=\"Guest\" value=str:\"Guest\"\n"
                                "choice 118 name=\"Longest\" value=u16:8\n"
                                "choice 119 name=\"General\" value=str:\"General\"\n"
                                "choice 120 name=\"Longest\" value=u16:24\n"
                                "choice 121 name=\"Shortest\" value=u16:4\n"
                                "choice 122 name=\"Longest\" value=u16:12\n"
                                "choice 123 name=\"Office\" value=str:\"Office\"\n"
                                "choice 124 name=\"0000\" value=str:\"W1JEQQ==\"\n"},
      {favorites, favorites + "list 5174 name=\"User Name\" kind=4 default=3 choices=[115 116 117]\n"
                              "list 5175 name=\"Password\" kind=4 default=0 choices=[115 118]\n"
                              "list 5176 name=\"Account\" kind=4 default=3 choices=[115 116 119]\n"
                              "list 5184 name=\"Department\" kind=4 default=3 choices=[115 120 123]\n"
                              "list 5185 name=\"PIN\" kind=4 default=3 choices=[121 122 124]\n"},
  };
  // Bit 14 of the second feature word.
  if (rightToLeft) edits.push_back({"section 39 [0x1]", "section 39 [0x4001]"});
  return InstallSampleVariant(edits);
}

class PromptDialogTest : public printer_test::PrinterTest {
 protected:
  void SetUp() override { Open(false); }

  // Printer "P1" over the sample with the prompt's lists, or over the plain sample.
  void Open(bool rightToLeft, bool withLists = true) {
    PrinterTest::SetUp();
    module_ = LoadLibraryW(u"pages_test_module.qrs");
    ASSERT_NE(module_, nullptr);
    SetModuleInstance(module_);
    if (withLists) AddPrinter(u"P1", InstallPromptModel(rightToLeft));
    else AddPrinter(u"P1");
    printer_ = PrinterTest::Open(u"P1");
    AcquireResourceModule();
    ASSERT_NE(GetResourceModule(), nullptr);
    store_ = OpenItemStore(printer_);
    ASSERT_NE(store_, nullptr);
    ASSERT_TRUE(ApplyDataFileDefaults(store_, &settings_, &config_, u"P1"));
    data_ = {printer_, &settings_, &config_, store_, 0, 0};
  }

  void TearDown() override {
    if (store_ != nullptr) CloseItemStore(store_);
    ReleaseResourceModule();
    FreeResourceModule();
    SetModuleInstance(nullptr);
    FreeLibrary(module_);
    PrinterTest::TearDown();
  }

  // Runs the dialog with the driver; the dialog's answer.
  INT_PTR Run(SimDialogDriver driver) {
    SimOnDialog(kPromptDialogTemplate, std::move(driver));
    return DialogBoxParamW(GetResourceModule(), MAKEINTRESOURCEW(kPromptDialogTemplate), nullptr,
                           UserDetailsDialogProc, reinterpret_cast<LPARAM>(&data_));
  }

  std::u16string Text(SettingItemId id) {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell{};
    EXPECT_EQ(GetItemValue(id, &settings_, &config_, &type, &length, &cell), kItemDone) << id;
    return cell.data != nullptr ? std::u16string(static_cast<LPCWSTR>(cell.data)) : u"";
  }
  void SetText(SettingItemId id, const std::u16string& text) {
    LPCWSTR value = text.c_str();
    ASSERT_EQ(SetItemValue(id, &settings_, &config_, kTypeString, DWORD(text.size() + 1) * 2, &value), kItemDone);
  }
  void SetNumber(SettingItemId id, ValueTypeCode type, DWORD value) {
    ASSERT_EQ(SetItemNumberV(&settings_, &config_, id, type, value), 0);
  }
  DWORD Number(SettingItemId id, ValueTypeCode type) { return GetItemNumber(&settings_, &config_, id, type); }
  void KeepValues() { SetNumber(kItemPromptKeepValuesAlt, kTypeFlag, 1); }

  static std::u16string Encoded(const std::u16string& text) {
    LPWSTR encoded = nullptr;
    EXPECT_TRUE(ConvertEncodedText(kConvertEncode, text.c_str(), &encoded));
    std::u16string result = encoded != nullptr ? encoded : u"";
    GlobalFree(encoded);
    return result;
  }
  static std::u16string Field(HWND dialog, int control) {
    WCHAR text[64] = {};
    GetDlgItemTextW(dialog, control, text, 64);
    return text;
  }
  static bool Shown(HWND dialog, int control) { return IsWindowVisible(GetDlgItem(dialog, control)) != FALSE; }
  static bool Enabled(HWND dialog, int control) { return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE; }

  HMODULE module_ = nullptr;
  HANDLE printer_ = nullptr;
  ItemStore* store_ = nullptr;
  SettingsRecord settings_{};
  PrinterConfiguration config_{};
  PromptDialogData data_{};
};

TEST_F(PromptDialogTest, OpensWithTheDefaultsUnlessValuesAreKept) {
  SetText(kItemPromptGroup1Key, u"Alice");
  SetText(kItemPromptGroup2Key, u"Sales");
  std::u16string shown;
  EXPECT_EQ(Run([&](HWND dialog) { shown = Field(dialog, kUserName); }), 0);
  EXPECT_EQ(shown, u"Guest");
  EXPECT_EQ(Text(kItemPromptGroup2Key), u"Office");

  SetText(kItemPromptGroup1Key, u"Alice");
  KeepValues();
  Run([&](HWND dialog) { shown = Field(dialog, kUserName); });
  EXPECT_EQ(shown, u"Alice");
  // Mode 1 keeps by item 5168.
  data_.mode = 1;
  SetNumber(kItemPromptKeepValues, kTypeFlag, 0);
  Run([&](HWND dialog) { shown = Field(dialog, kUserName); });
  EXPECT_EQ(shown, u"Guest");
}

TEST_F(PromptDialogTest, MaskingFollowsTheItemsOfTheMode) {
  const struct Case {
    DWORD mode, item5170, item5171, item5172;
    WCHAR user, account, department;
  } cases[] = {
      {0, 0, 1, 0, u'*', u'*', u'*'}, {0, 1, 0, 1, 0, 0, 0},       {1, 1, 0, 0, u'*', 0, u'*'},
      {1, 0, 1, 1, 0, u'*', 0},       {1, 1, 1, 1, u'*', u'*', u'*'},
  };
  for (const Case& c : cases) {
    data_.mode = c.mode;
    SetNumber(5170, kTypeFlag, c.item5170);
    SetNumber(5171, kTypeFlag, c.item5171);
    SetNumber(5172, kTypeFlag, c.item5172);
    WCHAR seen[3] = {1, 1, 1};
    Run([&](HWND dialog) {
      seen[0] = WCHAR(SendDlgItemMessageW(dialog, kUserName, EM_GETPASSWORDCHAR, 0, 0));
      seen[1] = WCHAR(SendDlgItemMessageW(dialog, kAccount, EM_GETPASSWORDCHAR, 0, 0));
      seen[2] = WCHAR(SendDlgItemMessageW(dialog, kDepartment, EM_GETPASSWORDCHAR, 0, 0));
    });
    EXPECT_EQ(seen[0], c.user) << c.mode << c.item5170 << c.item5171 << c.item5172;
    EXPECT_EQ(seen[1], c.account) << c.mode << c.item5170 << c.item5171 << c.item5172;
    EXPECT_EQ(seen[2], c.department) << c.mode << c.item5170 << c.item5171 << c.item5172;
  }
}

TEST_F(PromptDialogTest, LockedGroupShowsGroupOneWithTheRadiosDisabled) {
  KeepValues();
  SetNumber(5183, kTypeUInt8, 1);
  data_.lockGroup = 1;
  Run([&](HWND dialog) {
    EXPECT_EQ(IsDlgButtonChecked(dialog, kUserRadio), UINT(BST_CHECKED));
    EXPECT_FALSE(Enabled(dialog, kUserRadio));
    EXPECT_FALSE(Enabled(dialog, kDepartmentRadio));
    for (int control : {1299, kUserName, 1300, kPassword, 3522, kAccount}) EXPECT_TRUE(Shown(dialog, control)) << control;
    for (int control : {3529, kDepartment, kPinLabel, kPin}) EXPECT_FALSE(Shown(dialog, control)) << control;
  });
  EXPECT_EQ(Number(5183, kTypeUInt8), 0u);
}

// Field 1347 takes 12 characters; its item allows 8 bytes, so the ninth typed character is
// taken back at once, and the item holds the encoded form of what stayed.
TEST_F(PromptDialogTest, TypingStopsAtTheFieldAndItemLimits) {
  std::u16string password, user;
  LRESULT limit = 0;
  Run([&](HWND dialog) {
    limit = SendDlgItemMessageW(dialog, kPassword, EM_GETLIMITTEXT, 0, 0);
    SimType(GetDlgItem(dialog, kPassword), u"abcdefghijk");
    password = Field(dialog, kPassword);
    SetDlgItemTextW(dialog, kUserName, u"");
    SimType(GetDlgItem(dialog, kUserName), std::u16string(40, u'x'));
    user = Field(dialog, kUserName);
  });
  EXPECT_EQ(limit, 12);
  EXPECT_EQ(password, u"abcdefgh");
  EXPECT_EQ(Text(kItemPromptGroup1Password), Encoded(u"abcdefgh"));
  EXPECT_EQ(user, std::u16string(32, u'x'));
}

TEST_F(PromptDialogTest, SecretFieldIsStoredEncodedAndShownDecoded) {
  KeepValues();
  EXPECT_EQ(Run([&](HWND dialog) {
              SimType(GetDlgItem(dialog, kPassword), u"abc123");
              SimClick(GetDlgItem(dialog, kOk));
            }),
            1);
  EXPECT_EQ(Text(kItemPromptGroup1Password), Encoded(u"abc123"));
  EXPECT_NE(Text(kItemPromptGroup1Password), u"abc123");
  std::u16string shown;
  Run([&](HWND dialog) { shown = Field(dialog, kPassword); });
  EXPECT_EQ(shown, u"abc123");
}

TEST_F(PromptDialogTest, EmptyDepartmentDisablesOkAndThePin) {
  KeepValues();
  SetNumber(kItemPromptGroup, kTypeUInt8, 1);
  SetText(kItemPromptGroup2Key, u"Sales");
  Run([&](HWND dialog) {
    EXPECT_TRUE(Shown(dialog, kDepartment));
    EXPECT_TRUE(Enabled(dialog, kOk));
    EXPECT_TRUE(Enabled(dialog, kPin));
    SendDlgItemMessageW(dialog, kDepartment, EM_SETSEL, 0, -1);
    SimType(GetDlgItem(dialog, kDepartment), u"\b");
    EXPECT_EQ(Field(dialog, kDepartment), u"");
    EXPECT_FALSE(Enabled(dialog, kOk));
    EXPECT_FALSE(Enabled(dialog, kPin));
    EXPECT_FALSE(Enabled(dialog, kPinLabel));
    SimType(GetDlgItem(dialog, kDepartment), u"R");
    EXPECT_TRUE(Enabled(dialog, kOk));
    EXPECT_TRUE(Enabled(dialog, kPin));
  });
}

TEST_F(PromptDialogTest, CancelWarnsAndAnswersZero) {
  for (bool byKey : {false, true}) {
    SimMessageBoxReset();
    EXPECT_EQ(Run([&](HWND dialog) {
                SimType(GetDlgItem(dialog, kUserName), u"!");
                if (byKey) SimKey(dialog, VK_ESCAPE);
                else SimClick(GetDlgItem(dialog, kCancel));
              }),
              0);
    const auto boxes = SimMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u) << byKey;
    EXPECT_EQ(boxes[0].text, u"No account details were given: the document is not printed.");
    EXPECT_EQ(boxes[0].caption, u"Printer Settings");
    EXPECT_EQ(boxes[0].type, UINT(MB_ICONWARNING));
  }
}

TEST_F(PromptDialogTest, OkResetsTheGroupNotInUse) {
  KeepValues();
  SetNumber(kItemPromptGroup, kTypeUInt8, 1);
  SetText(kItemPromptGroup2Key, u"Sales");
  SetText(kItemPromptGroup2Pin, Encoded(u"1234"));
  SetText(kItemPromptGroup1Account, u"Acc9");
  EXPECT_EQ(Run([&](HWND dialog) {
              SimClick(GetDlgItem(dialog, kUserRadio));
              EXPECT_TRUE(Shown(dialog, kUserName));
              EXPECT_FALSE(Shown(dialog, kDepartment));
              EXPECT_EQ(Field(dialog, kAccount), u"Acc9");
              SimClick(GetDlgItem(dialog, kOk));
            }),
            1);
  EXPECT_EQ(Number(kItemPromptGroup, kTypeUInt8), 0u);
  EXPECT_EQ(Text(kItemPromptGroup2Key), u"Office");
  EXPECT_EQ(Text(kItemPromptGroup2Pin), Encoded(u"0000"));
  EXPECT_EQ(Text(kItemPromptGroup1Account), u"Acc9");
  EXPECT_EQ(Text(kItemPromptGroup1Key), u"Guest");

  // And the other way: group 2 in use resets group 1.
  SetText(kItemPromptGroup2Key, u"Sales");
  SetText(kItemPromptGroup2Pin, Encoded(u"1234"));
  EXPECT_EQ(Run([&](HWND dialog) {
              SimClick(GetDlgItem(dialog, kDepartmentRadio));
              SimClick(GetDlgItem(dialog, kOk));
            }),
            1);
  EXPECT_EQ(Text(kItemPromptGroup1Account), u"General");
  EXPECT_EQ(Text(kItemPromptGroup1Key), u"Guest");
  EXPECT_EQ(Text(kItemPromptGroup2Key), u"Sales");
}

// A text that breaks its field's rules never reaches OK: leaving the field reports it and
// gives back the last accepted text; Enter checks every field of the group in use.
TEST_F(PromptDialogTest, RefusedTextsAreReportedAndTakenBack) {
  KeepValues();
  std::u16string afterLeave, afterEnter;
  HWND focusAfterLeave = nullptr, userField = nullptr;
  EXPECT_EQ(Run([&](HWND dialog) {
              userField = GetDlgItem(dialog, kUserName);
              SimType(userField, u"Bob!");
              SimClick(GetDlgItem(dialog, kAccount));  // leaves the user name
              afterLeave = Field(dialog, kUserName);
              focusAfterLeave = GetFocus();
              SimType(GetDlgItem(dialog, kAccount), u"A-1");  // '-' is no account character
              SimKey(dialog, VK_RETURN);
              afterEnter = Field(dialog, kAccount);
              SimType(GetDlgItem(dialog, kAccount), u"B2");
              SimKey(dialog, VK_RETURN);
            }),
            1);
  EXPECT_EQ(afterLeave, u"Guest");
  EXPECT_EQ(focusAfterLeave, userField);
  EXPECT_EQ(afterEnter, u"General");
  EXPECT_EQ(Text(kItemPromptGroup1Key), u"Guest");
  EXPECT_EQ(Text(kItemPromptGroup1Account), u"B2General");
  const auto boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text,
            u"User Name must be 1 to 32 bytes long: at most 32 single-byte or 16 double-byte characters, letters, "
            u"digits, blanks, '-', '.' and '_'.");
  EXPECT_EQ(boxes[1].text, u"Account must be 1 to 32 bytes long and hold letters and digits only.");
}

// A PIN shorter than its item's minimum is refused at OK with its own message.
TEST_F(PromptDialogTest, ShortPinIsRefusedAtOk) {
  KeepValues();
  SetNumber(kItemPromptGroup, kTypeUInt8, 1);
  SetText(kItemPromptGroup2Key, u"Sales");
  EXPECT_EQ(Run([&](HWND dialog) {
              EXPECT_EQ(Field(dialog, kPin), u"0000");
              SetDlgItemTextW(dialog, kPin, u"");
              SimType(GetDlgItem(dialog, kPin), u"12");
              SimClick(GetDlgItem(dialog, kOk));
              EXPECT_EQ(Field(dialog, kPin), u"0000");
              SetDlgItemTextW(dialog, kPin, u"");
              SimType(GetDlgItem(dialog, kPin), u"1234");
              SimClick(GetDlgItem(dialog, kOk));
            }),
            1);
  const auto boxes = SimMessageBoxLog();
  ASSERT_GE(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, u"PIN must be 4 to 12 digits long.");
  EXPECT_EQ(Text(kItemPromptGroup2Pin), Encoded(u"1234"));
}

TEST_F(PromptDialogTest, HelpShowsTheControlsTopics) {
  SimPopupMenuChoice(3851);
  Run([&](HWND dialog) {
    SimClick(GetDlgItem(dialog, kHelp));
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.hItemHandle = GetDlgItem(dialog, kPassword);
    SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, 3522), &r);
    SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog), MAKELPARAM(r.left + 2, r.top + 2));
    POINT background{2, 2};
    ClientToScreen(dialog, &background);
    SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog), MAKELPARAM(background.x, background.y));
  });
  std::vector<DWORD_PTR> topics;
  bool closed = false;
  for (const SimHelpCall& call : SimHelpLog()) {
    if (call.command == HH_HELP_CONTEXT) topics.push_back(call.data);
    if (call.command == HH_CLOSE_ALL) closed = true;
  }
  EXPECT_EQ(topics, (std::vector<DWORD_PTR>{42730, 40090, 42530}));
  EXPECT_TRUE(closed);
}

class RightToLeftPromptTest : public PromptDialogTest {
 protected:
  void SetUp() override { Open(true); }
};

TEST_F(RightToLeftPromptTest, BoxesReadRightToLeft) {
  EXPECT_EQ(Run([&](HWND dialog) { SimClick(GetDlgItem(dialog, kCancel)); }), 0);
  const auto boxes = SimMessageBoxLog();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].type, UINT(MB_ICONWARNING | 0x180000));
}

// A model that gives the fields no lengths leaves them the limits of the fields themselves.
class PromptWithoutListsTest : public PromptDialogTest {
 protected:
  void SetUp() override { Open(false, false); }
};

TEST_F(PromptWithoutListsTest, FieldsKeepTheirOwnLimits) {
  KeepValues();
  std::u16string user;
  EXPECT_EQ(Run([&](HWND dialog) {
              SimType(GetDlgItem(dialog, kUserName), std::u16string(40, u'a'));
              user = Field(dialog, kUserName);
              SimType(GetDlgItem(dialog, kPassword), u"pw1");
              SimClick(GetDlgItem(dialog, kOk));
            }),
            1);
  EXPECT_EQ(user, std::u16string(32, u'a'));
  EXPECT_EQ(Text(kItemPromptGroup1Key), std::u16string(32, u'a'));
  EXPECT_EQ(Text(kItemPromptGroup1Password), Encoded(u"pw1"));
}

TEST_F(PromptDialogTest, PictureOfTheDialog) {
  KeepValues();
  SetText(kItemPromptGroup1Key, u"Alice");
  SetText(kItemPromptGroup1Account, u"Sales 7");
  SetText(kItemPromptGroup1Password, Encoded(u"secret"));
  ReferenceImage picture;
  Run([&](HWND dialog) { ASSERT_TRUE(SimWindowPicture(dialog, picture)); });
  if (std::getenv("QV_UPDATE_FIXTURES") != nullptr) {
    ASSERT_TRUE(SaveReferencePng(picture, Fixture("prompt_dialog.png")));
  }
  ReferenceImage kept;
  ASSERT_TRUE(LoadReferencePng(Fixture("prompt_dialog.png"), kept));
  EXPECT_LE(CompareReferenceImages(picture, kept, kChannelTolerance), kDifferingShare);
}

}  // namespace
