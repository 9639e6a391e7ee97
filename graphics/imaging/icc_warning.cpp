// ShowIccProfileWarning: the box that asks whether to print on without an ICC profile.
#include "graphics/imaging/color_converter.h"
#include "graphics/output/channel_boxes.h"
#include "platform/kernel/resource.h"
#include "platform/user/format.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

namespace {
constexpr UINT kWarningTextString = 1;   // "... %s ..." with the profile's path
constexpr int kWarningTextChars = 512;
constexpr int kFormattedChars = 1024;    // wsprintfW's output limit
constexpr WCHAR kFallbackText[] = u"ICCプロファイルが使用できません。\n色補正を実施せず印刷処理を続行します。";
constexpr WCHAR kCaption[] = u"警告";
}  // namespace

int ShowIccProfileWarning(HMODULE resourceInstance, HANDLE printer, const ColorSettingsRecord* record, int code) {
  const WCHAR* path = nullptr;
  if (record != nullptr && code == kConverterFirstProfileFailed) path = record->FirstPath;
  if (record != nullptr && code == kConverterSecondProfileFailed) path = record->SecondPath;
  WCHAR format[kWarningTextChars] = {};
  WCHAR text[kFormattedChars + 1] = {};
  const WCHAR* shown = kFallbackText;
  if (path != nullptr && resourceInstance != nullptr &&
      LoadStringW(resourceInstance, kWarningTextString, format, kWarningTextChars) > 0) {
    wsprintfW(text, format, path);
    shown = text;
  }
  const UINT style = MB_OKCANCEL | MB_ICONINFORMATION | GetReadingOrderFlags(printer);
  return MessageBoxW(GetActiveWindow(), shown, kCaption, style) == IDOK ? 0 : code;
}
