// Push-button actions on the dialog framework's test sheet: a popup opened by a button works
// on a copy that OK brings back and Cancel drops, and file dialogs whose choice is checked
// against the descriptor's limits and stored in text items.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "core/store/item_access.h"
#include "items/item_ids.h"
#include "platform/platform.h"
#include "tests/ui/framework/dialog/dialog_fixture.h"
#include "ui/framework/dialog/button_actions.h"

namespace {

using namespace dialog_test;

constexpr LONG kRefusedString = 427;  // a test text shown when a choice is refused

INT_PTR OptionsPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SlotHandler handler = nullptr;
  LONG slot = -1;
  if (!GetSlotHandler(message, wParam, lParam, kPopupDialog, &handler, &slot)) return 0;
  return CallSlotHandler(window, message, wParam, lParam, kOptionsPage, kPopupDialog, handler);
}

const DialogRecord kOptionsDialog{kOptionsTemplate, OptionsPopupProc, kOptionsPage, kNoString, 0, nullptr, 0};
const PopupTarget kOptionsTarget{&kOptionsDialog, 0, 0};
const ButtonAction kOpenOptions{kButtonPopup, &kOptionsTarget};
const ControlRow kButtonRow{kHelpButton, 0, nullptr, kKindPushButton, nullptr, &kOpenOptions, kNoControl, kNoString,
                            nullptr};

class ButtonActionTest : public DialogTest {
 protected:
  // The settings record and the printer configuration of the sheet's current set.
  std::vector<BYTE> SettingsBytes() const {
    const BYTE* bytes = data_->current.settings->bytes;
    const BYTE* config = data_->current.config->bytes;
    std::vector<BYTE> all(bytes, bytes + kSettingsRecordSize);
    all.insert(all.end(), config, config + kPrinterConfigurationSize);
    return all;
  }
  std::u16string Text(SettingItemId id) const {
    ValueTypeCode type = 0;
    DWORD length = 0;
    ItemValueCell cell{};
    if (GetItemValue(id, data_->current.settings, data_->current.config, &type, &length, &cell) != kItemDone)
      return u"<unreadable>";
    return std::u16string(*reinterpret_cast<LPCWSTR*>(&cell));
  }
};

TEST_F(ButtonActionTest, PopupCancelKeepsTheSettingsAndOkCopiesThemBack) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND general, HandlerContext* context) {
    const LONG before = Item(kItemCollate);
    const UINT shown = IsDlgButtonChecked(general, kCollateBox);
    const std::vector<BYTE> bytes = SettingsBytes();
    for (const int button : {1091, 2}) {  // the popup's Cancel button and the dialog's own cancel id
      SimOnDialog(kOptionsTemplate, [&](HWND popup) {
        ASSERT_TRUE(SimClick(GetDlgItem(popup, kPopupCollate)));
        if (button == 2) {
          SendMessageW(popup, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        } else {
          ASSERT_TRUE(SimClick(GetDlgItem(popup, button)));
        }
      });
      EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &kOpenOptions), 0);
      EXPECT_EQ(SettingsBytes(), bytes) << "Cancel leaves the caller's settings as they were";
    }
    SimOnDialog(kOptionsTemplate, [&](HWND popup) {
      ASSERT_TRUE(SimClick(GetDlgItem(popup, kPopupCollate)));
      ASSERT_TRUE(SimClick(GetDlgItem(popup, 1092)));
    });
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &kOpenOptions), 0);
    EXPECT_NE(Item(kItemCollate), before) << "OK copies the popup's settings back";
    EXPECT_NE(IsDlgButtonChecked(general, kCollateBox), shown) << "the calling page shows the copied settings";
    EXPECT_EQ(context->actionType, 0);
  });
}

// File name into item 259 (31 characters), directory into 299 (64), whole path into 1799.
FileDialogDescriptor FileDescriptor(BYTE checks) {
  FileDialogDescriptor d{};
  d.filterName = kNoString;
  d.filterPattern = kNoString;
  d.titleLimit = 12;
  d.directoryLimit = 64;
  d.pathLimit = 260;
  d.tooLongMessage = kRefusedString;
  d.refusedMessage = kNoString;
  d.directoryString = kNoString;
  d.titleString = kNoString;
  d.flags = 0xFFFFFFFF;
  d.defaultExtension = kNoString;
  d.directoryItem = 299;
  d.fileTitleItem = 259;
  d.pathItem = 1799;
  d.checks = checks;
  return d;
}

TEST_F(ButtonActionTest, FileDialogChecksTheNameAndStoresItsParts) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    // "Stamp-logo.bmp" is 14 bytes: too long for 12 unless the extension is cut.
    const FileDialogDescriptor plain = FileDescriptor(kFileCheckTitleLimit);
    const ButtonAction open{kButtonOpenFile, &plain};
    SimMessageBoxReset();
    SimFileDialogAnswer(u"C:\\Art\\Stamp-logo.bmp");
    SimFileDialogAnswer(u"C:\\Art\\Logo.bmp");
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    ASSERT_EQ(SimFileDialogLog().size(), 2u) << "the too-long name reopened the dialog";
    EXPECT_EQ(SimMessageBoxLog().size(), 1u);
    EXPECT_EQ(SimFileDialogLog()[0].flags, kDefaultFileDialogFlags);
    EXPECT_FALSE(SimFileDialogLog()[0].save);
    EXPECT_EQ(context->actionResult, 1);
    EXPECT_EQ(Text(kItemModelName), u"Logo.bmp");
    EXPECT_EQ(Text(kItemStampText), u"C:\\Art\\");
    EXPECT_EQ(Text(kItemLogoPath), u"C:\\Art\\Logo.bmp");
    std::vector<WORD> changed;
    for (const WORD* p = context->changedItems; p != nullptr && *p != 0; ++p) changed.push_back(*p);
    EXPECT_EQ(changed, (std::vector<WORD>{299, 259}));

    const FileDialogDescriptor cut = FileDescriptor(kFileCheckTitleLimit | kFileCutExtension);
    const ButtonAction save{kButtonSaveFile, &cut};
    SimFileDialogAnswer(u"C:\\Out\\Stamp-logo.bmp");
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &save), 0);
    EXPECT_EQ(SimFileDialogLog().size(), 3u) << "without its extension the name fits";
    EXPECT_TRUE(SimFileDialogLog()[2].save);
    EXPECT_EQ(Text(kItemModelName), u"Stamp-logo");
    EXPECT_EQ(Text(kItemLogoPath), u"C:\\Out\\Stamp-logo");
  });
}

TEST_F(ButtonActionTest, TooLongMessageStatesTheLimits) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    FileDialogDescriptor d = FileDescriptor(kFileCheckDirectoryLimit);
    d.directoryLimit = 10;
    d.tooLongMessage = kFileNameTooLongString;
    const ButtonAction open{kButtonOpenFile, &d};
    SimMessageBoxReset();
    SimFileDialogAnswer(u"C:\\Pictures\\Logo.bmp");  // a directory part of 12 bytes
    SimFileDialogCancel();
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    EXPECT_EQ(context->actionResult, 2);
    const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"Names of 1 line: folder up to 10 bytes (10, 5 double-byte), file up to 12 bytes.");
    EXPECT_EQ(boxes[0].caption, u"Printer Settings");
    EXPECT_NE(boxes[0].type & MB_ICONWARNING, 0u);
  });
}

TEST_F(ButtonActionTest, DocumentOpensThroughTheShell) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND general, HandlerContext* context) {
    const LONG manual = 9001;
    const LONG missing = 9999;
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, nullptr), 1) << "no action";
    const ButtonAction open{kButtonOpenDocument, &manual};
    const ButtonAction none{kButtonOpenDocument, &missing};
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &none), 0);
    const std::vector<SimShellCall> calls = SimShellLog();
    ASSERT_EQ(calls.size(), 1u) << "a missing string opens nothing";
    EXPECT_EQ(calls[0].verb, u"open");
    EXPECT_EQ(calls[0].file, u"C:\\Manuals\\guide.pdf");
    EXPECT_EQ(calls[0].show, SW_SHOW);
    EXPECT_EQ(calls[0].hwnd, general);
  });
}

TEST_F(ButtonActionTest, CancelledOrFailedFileDialogChangesNothing) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    const FileDialogDescriptor d = FileDescriptor(kFileCheckTitleLimit);
    const ButtonAction open{kButtonOpenFile, &d};
    const std::vector<BYTE> bytes = SettingsBytes();
    SimFileDialogCancel();
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    EXPECT_EQ(context->actionResult, 2);
    SimFileDialogError(CDERR_DIALOGFAILURE);
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    EXPECT_EQ(context->actionResult, -1);
    EXPECT_EQ(SettingsBytes(), bytes);
    EXPECT_EQ(context->changedItems, nullptr);
  });
}

TEST_F(ButtonActionTest, FileDialogStartsInTheDirectoryItemWhenItExists) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    FileDialogDescriptor d = FileDescriptor(0);
    d.fileNameItem = 259;
    const ButtonAction open{kButtonOpenFile, &d};
    CreateDirectoryW(u"C:\\Art", nullptr);
    SimFileDialogAnswer(u"C:\\Art\\Logo.bmp");
    ASSERT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    SimFileDialogCancel();
    ASSERT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    RemoveDirectoryW(u"C:\\Art");
    SimFileDialogCancel();
    ASSERT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &open), 0);
    const std::vector<SimFileDialog> log = SimFileDialogLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].initialDir, u"C:\\Art\\") << "the stored directory exists";
    EXPECT_EQ(log[1].initialFile, u"Logo.bmp");
    EXPECT_EQ(log[2].initialDir, u"") << "a directory that is gone is not offered";
  });
}

}  // namespace

namespace {

const ButtonAction kRestore{kButtonRestoreDefaults, nullptr};

TEST_F(ButtonActionTest, RestoreWithoutFurtherChangesAppliesAtOnce) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    const LONG collate = Item(kItemCollate);
    SetItem(kItemCollate, collate == 0 ? 1 : 0);
    SimMessageBoxReset();
    context->pageIndex = kOptionsPage;  // the popup page: item 18 alone
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &kRestore), 0);
    EXPECT_EQ(context->actionResult, 1);
    EXPECT_EQ(Item(kItemCollate), collate) << "back to its default";
    EXPECT_TRUE(SimMessageBoxLog().empty());
    ASSERT_NE(context->changedItems, nullptr);
    EXPECT_EQ(context->changedItems[0], 18);
    EXPECT_EQ(context->changedItems[1], 0);
  });
}

TEST_F(ButtonActionTest, RestoreThatChangesOtherItemsAsksFirst) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    context->pageIndex = kOptionsPage;
    // Landscape forces one-sided printing: a two-sided landscape contradicts the model.
    for (const int answer : {IDCANCEL, IDOK}) {
      SetItem(kItemOrientation, 2);
      SetItem(kItemDuplex, 2);
      const std::vector<BYTE> bytes = SettingsBytes();
      SimMessageBoxReset();
      SimMessageBoxAnswer(answer);
      EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &kRestore), 0);
      EXPECT_EQ(SimMessageBoxLog().size(), 1u) << "the user sees the list";
      if (answer == IDCANCEL) {
        EXPECT_EQ(context->actionResult, 2);
        EXPECT_EQ(SettingsBytes(), bytes) << "Cancel keeps everything as it was";
        EXPECT_TRUE(context->changedItems == nullptr || context->changedItems[0] == 0) << "nothing is recorded as changed";
      } else {
        EXPECT_EQ(context->actionResult, 1);
        EXPECT_NE(SettingsBytes(), bytes);
        std::vector<WORD> changed;
        for (const WORD* p = context->changedItems; p != nullptr && *p != 0; ++p) changed.push_back(*p);
        EXPECT_EQ(changed.at(0), 18);
        EXPECT_GT(changed.size(), 1u) << "the items the defaults pass changed follow";
      }
    }
  });
}

}  // namespace

namespace {

TEST_F(ButtonActionTest, PopupThatAsksFirstOpensOnlyWhenTheCheckPasses) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    int opened = 0;
    for (const SettingItemId item : {SettingItemId{kItemCollate}, SettingItemId{0}}) {
      const PopupTarget checked{&kOptionsDialog, 1, item};
      const ButtonAction action{kButtonPopup, &checked};
      SimOnDialog(kOptionsTemplate, [&](HWND popup) {
        ++opened;
        ASSERT_TRUE(SimClick(GetDlgItem(popup, 1091)));
      });
      EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &action), 0);
      EXPECT_EQ(opened, 1) << "item " << item << (item == 0 ? ": a check that fails keeps it closed" : "");
    }
  });
}

}  // namespace

namespace {

// The popup's record names item 18: the popup shows that item's name as its title.
const DialogRecord kTitledOptions{kOptionsTemplate, OptionsPopupProc, kOptionsPage, kNoString, 18, nullptr, 0};
const PopupTarget kTitledTarget{&kTitledOptions, 0, 0};
const ButtonAction kOpenTitled{kButtonPopup, &kTitledTarget};

TEST_F(ButtonActionTest, PopupTakesItsTitleFromItsRecordsItem) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    std::u16string title;
    WORD pending = 0;
    SimOnDialog(kOptionsTemplate, [&](HWND popup) {
      WCHAR text[64] = {};
      GetWindowTextW(popup, text, 64);
      title = text;
      pending = sheet_.pendingTitleItem;
      ASSERT_TRUE(SimClick(GetDlgItem(popup, 1091)));
    });
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &kOpenTitled), 0);
    EXPECT_EQ(title, u"Collate");
    EXPECT_EQ(pending, 0) << "the popup took the title";
    SimOnDialog(kOptionsTemplate, [&](HWND popup) {
      WCHAR text[64] = {};
      GetWindowTextW(popup, text, 64);
      title = text;
      ASSERT_TRUE(SimClick(GetDlgItem(popup, 1091)));
    });
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &kOpenOptions), 0);
    EXPECT_EQ(title, u"Options") << "a record without an item keeps the template's caption";
    EXPECT_EQ(sheet_.pendingTitleItem, 0);
    // A popup whose template is missing never takes its title: none is left for a later one.
    const DialogRecord missing{4711, OptionsPopupProc, kOptionsPage, kNoString, 18, nullptr, 0};
    const PopupTarget missingTarget{&missing, 0, 0};
    const ButtonAction openMissing{kButtonPopup, &missingTarget};
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &openMissing), 0);
    EXPECT_EQ(sheet_.pendingTitleItem, 0);
  });
}

}  // namespace

namespace {

// A model whose defaults contradict each other: toner save "Light" (271 = 1) with grayscale
// (270 = 1) fires a rule that no reset to the defaults can cure (collation off by default, so
// that toner save is not hidden instead).
class IncurableDefaultsTest : public ButtonActionTest {
 protected:
  std::vector<ModelTextEdit> ModelEdits() const override {
    return {{"list 270 name=\"Color Mode\" kind=1 default=1", "list 270 name=\"Color Mode\" kind=1 default=2"},
            {"list 271 name=\"Toner Save\" kind=1 default=1", "list 271 name=\"Toner Save\" kind=1 default=2"},
            {"list 18  name=\"Collate\" kind=1 default=2", "list 18  name=\"Collate\" kind=1 default=1"}};
  }
};

TEST_F(IncurableDefaultsTest, RestoreEndsWithTheDiagnosticBoxAndKeepsTheSettings) {
  RunOnGeneralPage(WM_COMMAND, [&](HWND, HWND, HandlerContext* context) {
    ASSERT_EQ(Item(kItemColorMode), 1);
    ASSERT_EQ(Item(kItemPrintMode), 1);
    SetItem(kItemCollate, Item(kItemCollate) == 0 ? 1 : 0);
    const std::vector<BYTE> bytes = SettingsBytes();
    SimMessageBoxReset();
    SimMessageBoxAnswer(IDOK);
    EXPECT_EQ(DoButtonAction(context, 0, 0, &kButtonRow, &kRestore), 0);
    // The defaults pass gave up on the item (-1): the restore fails and changes nothing.
    EXPECT_EQ(context->actionResult, 0);
    EXPECT_EQ(SettingsBytes(), bytes);
    EXPECT_TRUE(context->changedItems == nullptr || context->changedItems[0] == 0);
    const std::vector<SimMessageBox> boxes = SimMessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u) << "the item is reported once";
    EXPECT_EQ(boxes[0].caption, u"Default Set Err");
    EXPECT_EQ(boxes[0].text, u"DDMID = 0x10f: the default cannot be kept");
    EXPECT_EQ(boxes[0].type, UINT{MB_ICONERROR});
    EXPECT_TRUE(boxes[0].scripted);
  });
}

}  // namespace
