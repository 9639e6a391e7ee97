#include "core/constraint_standin.h"

#include <cstring>

#include "core/resource_module.h"
#include "platform/base/text.h"
#include "platform/kernel/resource.h"

WORD ApplyHardRules(HANDLE, const SettingsContext* context, const ItemChange* change, const ConstraintState* entryState,
                    ConstraintState* state, WORD**, WORD*) {
  if (context == nullptr || change == nullptr || entryState == nullptr || state == nullptr) return CS_FAILED;
  return CS_NO_RULE;
}

WORD CheckMediaFit(const ConstraintRecord*, WORD, const SettingsContext*, const ItemChange*, ConstraintState*) {
  return 2;
}

WORD CheckCustomSizeFit(const ConstraintRecord*, WORD, const SettingsContext*, const ItemChange*) { return 2; }

WORD EvaluateSizeOperator(BYTE, const SettingsContext*, const ItemChange*, WORD* flags) {
  if (flags != nullptr) *flags = 0;
  return 1;
}

WORD CheckSizeRangeRecord(const SettingsContext*, const ItemChange*, const ItemValueElement*, WORD* flags) {
  if (flags != nullptr) *flags = 0;
  return 1;
}

namespace {

constexpr UINT kFontHeightId = 5156;
constexpr UINT kFontEscapementId = 5172;
constexpr UINT kFontOrientationId = 5173;
constexpr UINT kFontCharSetId = 1790;
constexpr UINT kFontFaceId = 1812;
constexpr LONG kFontWeight = 400;
constexpr BYTE kFontQuality = 2;

LONG LoadNumber(HMODULE module, UINT id) {
  WCHAR text[12] = {};
  return LoadStringW(module, id, text, 12) > 0 ? _wtoi(text) : 0;
}

}  // namespace

BOOL LoadDefaultFontRecord(LOGFONTW* font) {
  if (font == nullptr) return FALSE;
  std::memset(font, 0, sizeof *font);
  HMODULE module = GetResourceModule();
  font->lfHeight = LoadNumber(module, kFontHeightId);
  font->lfEscapement = LoadNumber(module, kFontEscapementId);
  font->lfOrientation = LoadNumber(module, kFontOrientationId);
  font->lfWeight = kFontWeight;
  font->lfCharSet = static_cast<BYTE>(LoadNumber(module, kFontCharSetId));
  font->lfQuality = kFontQuality;
  if (LoadStringW(module, kFontFaceId, font->lfFaceName, 32) <= 0 || font->lfFaceName[0] == 0)
    lstrcpyW(font->lfFaceName, u"Undefined");
  return TRUE;
}

int BuildBuiltinListPart(ItemStore*, WORD, SettingItemId, ItemValueSlot*) { return 0; }
