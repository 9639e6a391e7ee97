#include "graphics/output/print_to_file.h"

#include <cstring>
#include <string>

#include "core/store/effective_values.h"
#include "graphics/output/channel_boxes.h"
#include "graphics/output/file_target.h"
#include "graphics/output/output_channel.h"
#include "items/item_ids.h"
#include "platform/base/errors.h"
#include "platform/base/text.h"
#include "platform/kernel/files.h"
#include "platform/kernel/lasterror.h"
#include "platform/kernel/memory.h"
#include "platform/user/msgbox.h"

namespace {

bool IsFolderSeparator(WCHAR c) { return c == u'\\' || c == u'/' || c == u'\u00A5'; }

// The text of a string item of the device, NULL when it cannot be read.
LPCWSTR ReadSettingText(Pdev* pdev, SettingItemId id) {
  ValueTypeCode type = 0;
  DWORD length = 0;
  ULONG_PTR value = 0;
  if (GetEffectiveItemValue(id, &pdev->settings, pdev->config, &type, &length, &value) != 0 || type != kTypeString)
    return nullptr;
  return reinterpret_cast<LPCWSTR>(value);
}

// The folder path as its short form when the file system has one, else as it is.
std::u16string ShortFolderPath(const std::u16string& folder) {
  const DWORD needed = GetShortPathNameW(folder.c_str(), nullptr, 0);
  if (needed == 0) return folder;
  std::u16string shortPath(needed, u'\0');
  const DWORD length = GetShortPathNameW(folder.c_str(), shortPath.data(), needed);
  if (length == 0 || length >= needed) return folder;
  shortPath.resize(length);
  return shortPath;
}

}  // namespace

int CreateOutputDirectory(HMODULE resourceModule, LPCWSTR folder, Pdev* pdev) {
  if (CreateDirectoryW(folder, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS) return kFolderReady;
  HANDLE printer = pdev != nullptr && pdev->channel != nullptr ? pdev->channel->target : nullptr;
  return AskFolderFailure(resourceModule, printer) == IDOK ? kFolderSkipped : kFolderCancelled;
}

int CreateFolderPath(HMODULE resourceModule, LPCWSTR folder, Pdev* pdev) {
  if (folder == nullptr || folder[0] == 0) return kFolderReady;
  const int length = lstrlenW(folder);
  auto* work = static_cast<LPWSTR>(GlobalAlloc(GPTR, (length + 1) * sizeof(WCHAR)));
  if (work == nullptr) return CreateOutputDirectory(resourceModule, folder, pdev);
  // A network path names its server and share before the first folder that can be made.
  const bool network = IsFolderSeparator(folder[0]) && IsFolderSeparator(folder[1]);
  int separatorsToSkip = network ? 4 : 0;
  int result = kFolderReady;
  for (int i = 0; i < length && result == kFolderReady; ++i) {
    if (IsFolderSeparator(folder[i])) {
      const bool afterDrive = i == 2 && folder[1] == u':';
      if (separatorsToSkip > 0) {
        --separatorsToSkip;
      } else if (i > 0 && !afterDrive) {
        work[i] = 0;
        result = CreateOutputDirectory(resourceModule, work, pdev);
      }
    }
    work[i] = folder[i];
  }
  if (result == kFolderReady && !IsFolderSeparator(folder[length - 1]))
    result = CreateOutputDirectory(resourceModule, folder, pdev);
  GlobalFree(work);
  return result;
}

int PrepareFileOutput(Pdev* pdev) {
  if (pdev == nullptr || pdev->channel == nullptr) return -1;
  LPCWSTR folder = ReadSettingText(pdev, kItemSaveFolder);
  LPCWSTR name = ReadSettingText(pdev, kItemSaveFileName);
  if (folder == nullptr || name == nullptr) return -1;
  const int created = CreateFolderPath(pdev->channel->resourceModule, folder, pdev);
  if (created == kFolderCancelled) return -1;
  if (created == kFolderSkipped) return 0;
  std::u16string path = folder;
  if (path.empty() || path.back() != u'\\') path += u'\\';
  path = ShortFolderPath(path);
  path += name;
  path += kSaveFileExtension;
  pdev->channel->messageId = kPrintToFileFailureString;
  AddFileTarget(pdev->channel, path.c_str());
  return 0;
}
