#include "graphics/output/channel_boxes.h"

#include "core/common/common_routines.h"
#include "core/database/model_features.h"
#include "core/store/item_store.h"
#include "platform/kernel/resource.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

namespace {

constexpr int kCaptionChars = 32;
constexpr int kWriteFailureTextChars = 512;
constexpr int kFolderFailureTextChars = 256;

}  // namespace

UINT GetReadingOrderFlags(HANDLE printer) {
  ItemStore* store = printer != nullptr ? OpenItemStore(printer) : nullptr;
  if (store == nullptr) return 0;
  DWORD words[2] = {};
  const bool rightToLeft = GetModelFeatureFlags(store->main, words) && TestFeatureFlag(words, kRightToLeftFeature);
  CloseItemStore(store);
  return rightToLeft ? MB_RIGHT | MB_RTLREADING : 0;
}

BOOL AskRetryChannelWrite(const OutputChannel* channel) {
  WCHAR caption[kCaptionChars] = {};
  WCHAR text[kWriteFailureTextChars] = {};
  LoadStringW(channel->resourceModule, kWriteFailureCaptionString, caption, kCaptionChars);
  LoadStringW(channel->resourceModule, channel->messageId, text, kWriteFailureTextChars);
  const UINT flags = MB_OKCANCEL | MB_ICONINFORMATION | MB_SETFOREGROUND | GetReadingOrderFlags(channel->target);
  // Any answer but OK, also a box that could not be shown, ends the attempts.
  return MessageBoxW(GetActiveWindow(), text, caption, flags) == IDOK;
}

int AskFolderFailure(HMODULE resourceModule, HANDLE printer) {
  WCHAR text[kFolderFailureTextChars] = {};
  LoadStringW(resourceModule, kFolderFailureString, text, kFolderFailureTextChars);
  const UINT flags = MB_OKCANCEL | MB_ICONWARNING | MB_SETFOREGROUND | GetReadingOrderFlags(printer);
  return MessageBoxW(GetActiveWindow(), text, kFolderFailureCaption, flags);
}
