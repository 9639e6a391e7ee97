// Push-button actions: closing a popup with OK or Cancel, opening a popup dialog or a nested
// property sheet on a copy of the page's settings, help, choosing a file whose name goes into
// setting items, restoring the defaults of a page, and opening a document with the shell.
#pragma once

#include "ui/framework/dialog/dialog_tables.h"
#include "ui/framework/dialog/edit_kind.h"

inline constexpr LONG kButtonOk = 1;
inline constexpr LONG kButtonCancel = 2;
inline constexpr LONG kButtonRestoreDefaults = 3;
inline constexpr LONG kButtonPopup = 4;
inline constexpr LONG kButtonNestedSheet = 5;
inline constexpr LONG kButtonHelp = 6;
inline constexpr LONG kButtonNone = 7;
inline constexpr LONG kButtonOpenFile = 8;
inline constexpr LONG kButtonSaveFile = 9;
inline constexpr LONG kButtonOpenDocument = 10;

// The string of the description database a document action with id -3 opens.
inline constexpr LONG kDocumentSectionString = 29;

struct ButtonAction {
  LONG type;
  const void* target;
};

struct PopupTarget {
  const DialogRecord* dialog;
  DWORD checkFlag;  // 1: the item's change is confirmed before the popup opens
  SettingItemId item;
};

struct NestedSheetDescriptor {
  const DialogRecord* pages;
  WORD pageCount;
  LONG startTemplate;  // kNoString: the first page
  LONG titleStringId;  // kNoString: none
  SettingItemId titleItem;  // 0: none; else the title is the name of the item's choice list
};

// Answers 0 to refuse the chosen path.
using FileNameCheck = int (*)(HandlerContext* context, LPCWSTR path, WORD nameOffset, WORD extensionOffset);

// Check flags of a file dialog.
inline constexpr BYTE kFileCheckDirectoryRule = 0x01;
inline constexpr BYTE kFileCheckNameRule = 0x02;
inline constexpr BYTE kFileCheckDirectoryLimit = 0x04;
inline constexpr BYTE kFileCheckTitleLimit = 0x08;
inline constexpr BYTE kFileCheckPathLimit = 0x10;
inline constexpr BYTE kFileCutExtension = 0x20;

// The flags used when a descriptor gives -1.
inline constexpr DWORD kDefaultFileDialogFlags = 0x20805;
inline constexpr LONG kFileNameTooLongString = 448;
inline constexpr LONG kFileMessageCaption = 265;

struct FileDialogDescriptor {
  LONG filterName;     // kNoString: no filter
  LONG filterPattern;
  DWORD filterIndex;
  LONG titleLimit;      // ANSI bytes of the file name without directory
  LONG directoryLimit;  // ANSI bytes of the directory part, its last backslash included
  LONG pathLimit;       // ANSI bytes of the whole path
  LONG tooLongMessage;  // kNoString: none
  LONG refusedMessage;  // 0 or kNoString: none
  SettingItemId fileNameItem;
  LONG directoryString;  // kNoString: the default of directoryDefaultItem
  SettingItemId directoryDefaultItem;
  LONG titleString;
  DWORD flags;  // 0xFFFFFFFF: kDefaultFileDialogFlags
  LONG defaultExtension;
  FileNameCheck check;
  SettingItemId directoryItem;
  SettingItemId fileTitleItem;
  SettingItemId pathItem;
  BYTE checks;
  const ValidationRule* directoryRule;
  const ValidationRule* nameRule;
};

// Runs the action with its type recorded in the context: 0 normally, 1 without a row.
INT_PTR DoButtonAction(HandlerContext* context, WPARAM wParam, LPARAM lParam, const ControlRow* row,
                       const ButtonAction* action);

// A popup's OK: the page's rows validate, then the page applies and the popup ends with 1; a
// refusal keeps the popup open. Cancel: the page resets and the popup ends with 2.
int ConfirmPopupOk(HandlerContext* context);
int CancelPopup(HandlerContext* context);
// Opens the popup or the nested sheet on a copy of the calling page's settings and copies the
// result back (a cancelled popup's copy equals what it started from): 1 when done, 0 when it
// failed.
int OpenSettingsDialog(HandlerContext* context, const ButtonAction* action);
// The nested sheet: 1 for OK, 2 for Cancel, -1 when it cannot be shown.
INT_PTR RunNestedPropertySheet(HandlerContext* context, const NestedSheetDescriptor* descriptor, PageData* data);

// Restores the defaults of the page's items and of what they contradict; changes beyond the
// page are confirmed by the user. The action result: 1 applied, 2 cancelled, 0 when the
// question could not be asked (the settings are as before in both). 0 when it failed (the
// settings are as before), else 1.
int RunRestoreAction(HandlerContext* context, const ControlRow* row);

// The file dialog, again until a choice passes: 1 stored, 2 cancelled, -1 failed.
int RunFileDialog(HandlerContext* context, const FileDialogDescriptor* descriptor, BOOL save);
// Checks and stores a chosen path: 0 stored, 1 refused with a message (ask again), -1 when an
// item could not be written.
int CheckAndStoreFileName(HandlerContext* context, const FileDialogDescriptor* descriptor, LPWSTR path,
                          WORD nameOffset, WORD extensionOffset);
