// The file dialogs of push buttons: a file to open or save whose name, directory or whole path
// is checked against the descriptor's limits and rules and stored in setting items.
#include <cstring>
#include <string>

#include "core/runtime/resource_module.h"
#include "core/store/item_access.h"
#include "core/store/item_store.h"
#include "platform/base/text.h"
#include "platform/dialogs/commdlg.h"
#include "platform/kernel/memory.h"
#include "platform/kernel/resource.h"
#include "platform/kernel/sandbox.h"
#include "platform/user/dialog.h"
#include "platform/user/msgbox.h"
#include "ui/framework/dialog/button_actions.h"
#include "ui/framework/sheet/sheet_routines.h"
#include "ui/framework/text/ansi_text.h"
#include "ui/framework/text/input_validation.h"
#include "ui/framework/text/path_macros.h"

namespace {

constexpr int kDialogPathChars = 261;
constexpr int kDialogTextChars = 127;
constexpr int kFilterChars = 128;
constexpr int kTooLongMessageChars = 256;

// What one dialog run works on; zero-filled for every run.
struct FileDialogBuffer {
  WCHAR initialDirectory[kDialogPathChars];
  WCHAR fileName[kDialogPathChars];
  WCHAR title[kDialogTextChars];
  WCHAR defaultExtension[kDialogTextChars];
  WCHAR filter[kFilterChars];
  LPWSTR expandedDirectory;  // GlobalAlloc
  OPENFILENAMEW dialog;
};

// A text item's current value, copied into the buffer when it fits.
void CopyTextItem(HandlerContext* context, SettingItemId id, WCHAR* out, int chars) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ItemValueCell cell{};
  if (id == 0 || GetItemValue(id, context->settings, context->config, &type, &length, &cell) != kItemDone ||
      type != kTypeString)
    return;
  LPCWSTR text = *reinterpret_cast<LPCWSTR*>(&cell);
  if (text != nullptr) lstrcpynW(out, text, chars);
}

// True when the process can change into the directory (it is set back at once).
bool IsUsableDirectory(LPCWSTR directory) {
  if (directory[0] == u'\0') return false;
  WCHAR current[kDialogPathChars] = {};
  if (GetCurrentDirectoryW(kDialogPathChars, current) == 0) return false;
  if (!SetCurrentDirectoryW(directory)) return false;
  SetCurrentDirectoryW(current);
  return true;
}

// The descriptor's directory (a string or the database default of an item), macros expanded.
void LoadDescriptorDirectory(HandlerContext* context, const FileDialogDescriptor* descriptor, FileDialogBuffer* buffer) {
  WCHAR directory[kDialogPathChars] = {};
  if (descriptor->directoryString == kNoString) {
    if (descriptor->directoryDefaultItem == 0 || context->store == nullptr) return;
    void* value = nullptr;
    WORD type = 0, status = 0;
    if (!QueryItemDefault(context->store, descriptor->directoryDefaultItem, &value, &type, &status)) return;
    if (type == kTypeString && value != nullptr) lstrcpynW(directory, static_cast<LPCWSTR>(value), kDialogPathChars);
    ReleaseItemDefault(value, type);
  } else if (LoadStringW(GetResourceModule(), static_cast<UINT>(descriptor->directoryString), directory,
                         kDialogPathChars) <= 0) {
    return;
  }
  ExpandPathMacros(directory, &buffer->expandedDirectory);
}

// The filter: the description, its terminator, the pattern and the list's terminator.
void LoadFilter(const FileDialogDescriptor* descriptor, FileDialogBuffer* buffer) {
  if (descriptor->filterName == kNoString) return;
  WCHAR name[kDialogTextChars] = {};
  WCHAR pattern[kDialogTextChars] = {};
  if (LoadStringW(GetResourceModule(), static_cast<UINT>(descriptor->filterName), name, kDialogTextChars) <= 0 ||
      LoadStringW(GetResourceModule(), static_cast<UINT>(descriptor->filterPattern), pattern, kDialogTextChars) <= 0)
    return;
  const int nameLength = lstrlenW(name);
  const int patternLength = lstrlenW(pattern);
  if (nameLength + patternLength + 3 > kFilterChars) return;
  std::memcpy(buffer->filter, name, nameLength * sizeof(WCHAR));
  std::memcpy(buffer->filter + nameLength + 1, pattern, patternLength * sizeof(WCHAR));
}

void BuildFileDialog(HandlerContext* context, const FileDialogDescriptor* descriptor, FileDialogBuffer* buffer) {
  WCHAR preferred[kDialogPathChars] = {};
  CopyTextItem(context, descriptor->directoryItem, preferred, kDialogPathChars);
  CopyTextItem(context, descriptor->fileNameItem, buffer->fileName, kDialogPathChars);
  if (IsUsableDirectory(preferred)) {
    lstrcpynW(buffer->initialDirectory, preferred, kDialogPathChars);
  } else {
    LoadDescriptorDirectory(context, descriptor, buffer);
  }
  const bool hasTitle = descriptor->titleString != kNoString &&
                        LoadStringW(GetResourceModule(), static_cast<UINT>(descriptor->titleString), buffer->title,
                                    kDialogTextChars) > 0;
  const bool hasExtension = descriptor->defaultExtension != kNoString &&
                            LoadStringW(GetResourceModule(), static_cast<UINT>(descriptor->defaultExtension),
                                        buffer->defaultExtension, kDialogTextChars) > 0;
  LoadFilter(descriptor, buffer);
  OPENFILENAMEW& dialog = buffer->dialog;
  dialog.lStructSize = sizeof(OPENFILENAMEW);
  dialog.hwndOwner = context->window;
  dialog.hInstance = GetResourceModule();
  dialog.lpstrFilter = buffer->filter[0] != u'\0' ? buffer->filter : nullptr;
  dialog.nFilterIndex = descriptor->filterIndex;
  dialog.lpstrFile = buffer->fileName;
  dialog.nMaxFile = kDialogPathChars;
  if (buffer->expandedDirectory != nullptr) {
    dialog.lpstrInitialDir = buffer->expandedDirectory;
  } else if (buffer->initialDirectory[0] != u'\0') {
    dialog.lpstrInitialDir = buffer->initialDirectory;
  }
  if (hasTitle) dialog.lpstrTitle = buffer->title;
  if (hasExtension) dialog.lpstrDefExt = buffer->defaultExtension;
  dialog.Flags = descriptor->flags == 0xFFFFFFFF ? kDefaultFileDialogFlags : descriptor->flags;
}

// Shows a message of a refused choice: 1 (the dialog is shown again).
int ShowFileNameMessage(HandlerContext* context, const FileDialogDescriptor* descriptor, LONG messageId) {
  if (messageId == kFileNameTooLongString) {
    LPWSTR text = nullptr;
    if (LoadStringFormat(context->window, &text, kTooLongMessageChars, kFileNameTooLongString,
                         {1, descriptor->directoryLimit, descriptor->directoryLimit, descriptor->directoryLimit / 2,
                          descriptor->titleLimit})) {
      ShowResourceMessageBox(context->window, kFileMessageCaption, nullptr, MB_ICONWARNING, kNoStringId, text);
      GlobalFree(text);
    }
    return 1;
  }
  ShowResourceMessageBox(context->window, kFileMessageCaption, nullptr, MB_ICONWARNING, messageId, nullptr);
  return 1;
}

// Writes a part of the path as a text item with room for its limit; 1 when written or not
// wanted, 0 when the item refused it.
int StoreFilePart(HandlerContext* context, SettingItemId id, LONG limit, const std::u16string& part) {
  if (id == 0 || limit < 1) return 1;
  const DWORD bytes = static_cast<DWORD>(limit) * 2 + 2;
  auto* text = static_cast<WCHAR*>(GlobalAlloc(GPTR, bytes));
  if (text == nullptr) return 0;
  lstrcpynW(text, part.c_str(), limit + 1);
  const bool ok = SetItemValue(id, context->settings, context->config, kTypeString, bytes, &text) == kItemDone;
  GlobalFree(text);
  return ok ? 1 : 0;
}

bool ExceedsLimit(const std::u16string& text, LONG limit) { return GetAnsiByteLength(text.c_str()) > limit; }

}  // namespace

int CheckAndStoreFileName(HandlerContext* context, const FileDialogDescriptor* descriptor, LPWSTR path,
                          WORD nameOffset, WORD extensionOffset) {
  const size_t length = static_cast<size_t>(lstrlenW(path));
  if (nameOffset > length) return -1;
  if ((descriptor->checks & kFileCutExtension) != 0 && extensionOffset > nameOffset && extensionOffset <= length &&
      path[extensionOffset] != u'\0') {
    path[extensionOffset - 1] = u'\0';
  }
  const std::u16string whole(path);
  const std::u16string directory = whole.substr(0, nameOffset);
  const std::u16string name = whole.substr(nameOffset);
  const bool tooLong = ((descriptor->checks & kFileCheckTitleLimit) != 0 && ExceedsLimit(name, descriptor->titleLimit)) ||
                       ((descriptor->checks & kFileCheckDirectoryLimit) != 0 &&
                        ExceedsLimit(directory, descriptor->directoryLimit)) ||
                       ((descriptor->checks & kFileCheckPathLimit) != 0 && ExceedsLimit(whole, descriptor->pathLimit));
  if (tooLong) {
    if (descriptor->tooLongMessage != kNoString) ShowFileNameMessage(context, descriptor, descriptor->tooLongMessage);
    return 1;
  }
  const struct {
    BYTE flag;
    const ValidationRule* rule;
    const std::u16string* text;
  } ruleChecks[] = {{kFileCheckNameRule, descriptor->nameRule, &name},
                    {kFileCheckDirectoryRule, descriptor->directoryRule, &directory}};
  for (const auto& check : ruleChecks) {
    if ((descriptor->checks & check.flag) == 0 || check.rule == nullptr) continue;
    if (!ValidateInputText(check.text->c_str(), check.rule->singleRanges, check.rule->doubleRanges,
                           check.rule->forbiddenSingle, check.rule->forbiddenDouble, 0, 0)) {
      if (check.rule->messageId != kNoString) ShowFileNameMessage(context, descriptor, check.rule->messageId);
      return 1;
    }
  }
  if (descriptor->check != nullptr &&
      descriptor->check(context, path, nameOffset, static_cast<WORD>(extensionOffset)) == 0) {
    if (descriptor->refusedMessage != 0 && descriptor->refusedMessage != kNoString)
      ShowFileNameMessage(context, descriptor, descriptor->refusedMessage);
    return 1;
  }
  if (!StoreFilePart(context, descriptor->fileTitleItem, descriptor->titleLimit, name) ||
      !StoreFilePart(context, descriptor->directoryItem, descriptor->directoryLimit, directory) ||
      !StoreFilePart(context, descriptor->pathItem, descriptor->pathLimit, whole))
    return -1;
  return 0;
}

int RunFileDialog(HandlerContext* context, const FileDialogDescriptor* descriptor, BOOL save) {
  if (context == nullptr || descriptor == nullptr || context->settings == nullptr) return -1;
  int result = -1;
  for (;;) {
    auto* buffer = static_cast<FileDialogBuffer*>(GlobalAlloc(GPTR, sizeof(FileDialogBuffer)));
    if (buffer == nullptr) break;
    BuildFileDialog(context, descriptor, buffer);
    const BOOL chosen = save ? GetSaveFileNameW(&buffer->dialog) : GetOpenFileNameW(&buffer->dialog);
    GlobalFree(buffer->expandedDirectory);
    buffer->expandedDirectory = nullptr;
    if (!chosen) {
      result = CommDlgExtendedError() != 0 ? -1 : 2;
      GlobalFree(buffer);
      break;
    }
    const int checked = CheckAndStoreFileName(context, descriptor, buffer->fileName, buffer->dialog.nFileOffset,
                                              buffer->dialog.nFileExtension);
    GlobalFree(buffer);
    if (checked == 0) {
      result = 1;
      break;
    }
    if (checked < 0) break;
  }
  context->actionResult = result;
  if (result == 1) {
    WORD items[3] = {};
    int n = 0;
    if (descriptor->directoryItem != 0) items[n++] = descriptor->directoryItem;
    if (descriptor->fileTitleItem != 0) items[n++] = descriptor->fileTitleItem;
    auto* list = static_cast<WORD*>(GlobalAlloc(GPTR, sizeof(items)));
    if (list != nullptr) std::memcpy(list, items, sizeof(items));
    SetContextChanges(context, 1, list, context->row);
  }
  return result;
}
