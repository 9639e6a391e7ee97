// SettingsSet, PageData and the SheetState accessors.
#include "ui/framework/sheet/sheet_state.h"

#include <cstring>
#include <string>

#include "core/common/common_routines.h"
#include "core/database/model_features.h"
#include "core/store/item_store.h"
#include "platform/base/text.h"
#include "platform/kernel/ansi_text.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/memory.h"
#include "platform/user/dialog.h"
#include "platform/user/window.h"

namespace {

// Model feature: the sheets follow the user locale's measurement system.
constexpr DWORD kLocaleMeasureFeature = 0x800000;

void FreeListIfEmpty(KeyedList** list) {
  if (*list != nullptr && KeyedListCount(*list) == 0) FreeKeyedList(list);
}

}  // namespace

int CreateSettingsSet(SettingsSet* set) {
  if (set == nullptr) return 0;
  set->settings = static_cast<SettingsRecord*>(GlobalAlloc(GPTR, sizeof(SettingsRecord)));
  set->config = static_cast<PrinterConfiguration*>(GlobalAlloc(GPTR, sizeof(PrinterConfiguration)));
  set->blobLength = 0;
  set->blob = nullptr;
  if (set->settings == nullptr || set->config == nullptr) {
    FreeSettingsSet(set);
    return 0;
  }
  return 1;
}

void FreeSettingsSet(SettingsSet* set) {
  if (set == nullptr) return;
  GlobalFree(set->settings);
  GlobalFree(set->config);
  GlobalFree(set->blob);
  *set = SettingsSet{};
}

int CopySettingsSet(SettingsSet* target, const SettingsSet* source) {
  if (target == nullptr || source == nullptr || !IsSettingsSetValid(target) || !IsSettingsSetValid(source)) return 0;
  if (target == source) return 1;
  std::memcpy(target->settings, source->settings, sizeof(SettingsRecord));
  std::memcpy(target->config, source->config, sizeof(PrinterConfiguration));
  GlobalFree(target->blob);
  target->blob = nullptr;
  target->blobLength = 0;
  if (source->blob == nullptr || source->blobLength == 0) return 1;
  target->blob = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED, source->blobLength));
  if (target->blob == nullptr) return 0;
  std::memcpy(target->blob, source->blob, source->blobLength);
  target->blobLength = source->blobLength;
  return 1;
}

int IsSettingsSetValid(const SettingsSet* set) {
  return set != nullptr && set->settings != nullptr && set->config != nullptr ? 1 : 0;
}

PageData* CreatePageData(HWND owner, SheetState* sheet, const SettingsSet* set, const SettingsSet* third) {
  if (sheet == nullptr || !IsSettingsSetValid(set)) return nullptr;
  auto* data = static_cast<PageData*>(GlobalAlloc(GPTR, sizeof(PageData)));
  if (data == nullptr) return nullptr;
  data->sheet = sheet;
  data->owner = owner;
  bool ok = CreateSettingsSet(&data->current) && CopySettingsSet(&data->current, set) &&
            CreateSettingsSet(&data->saved) && CopySettingsSet(&data->saved, set);
  if (ok && IsSettingsSetValid(third)) ok = CreateSettingsSet(&data->third) && CopySettingsSet(&data->third, third);
  for (KeyedList*& list : data->controlData) ok = ok && (list = CreateKeyedList()) != nullptr;
  if (ok) data->states = static_cast<ControlStateLists*>(GlobalAlloc(GPTR, sizeof(ControlStateLists)));
  ok = ok && data->states != nullptr && (data->states->controlStates = CreateKeyedList()) != nullptr &&
       (data->states->itemStates = CreateKeyedList()) != nullptr;
  if (!ok) DestroyPageData(&data);
  return data;
}

void DestroyPageData(PageData** data) {
  if (data == nullptr || *data == nullptr) return;
  PageData* page = *data;
  FreeAllSettingsSets(page);
  for (KeyedList*& list : page->controlData) FreeListIfEmpty(&list);
  if (page->states != nullptr) {
    FreeListIfEmpty(&page->states->controlStates);
    FreeListIfEmpty(&page->states->itemStates);
    GlobalFree(page->states);
  }
  GlobalFree(page);
  *data = nullptr;
}

void FreeAllSettingsSets(PageData* data) {
  if (data == nullptr) return;
  FreeSettingsSet(&data->current);
  FreeSettingsSet(&data->saved);
  FreeSettingsSet(&data->third);
}

int RestoreSettings(PageData* data, BOOL forceSaved) {
  if (data == nullptr) return 0;
  const SettingsSet* source = (!forceSaved && IsSettingsSetValid(&data->third)) ? &data->third : &data->saved;
  return CopySettingsSet(&data->current, source);
}

int SnapshotSettings(PageData* data) {
  if (data == nullptr) return 0;
  if (!IsSettingsSetValid(&data->third) && !CreateSettingsSet(&data->third)) return 0;
  return CopySettingsSet(&data->third, &data->current);
}

PageData* GetPageData(HWND window) {
  return window != nullptr ? reinterpret_cast<PageData*>(GetWindowLongPtrW(window, DWLP_USER)) : nullptr;
}

int GetCurrentSettings(HWND window, SettingsRecord** settings, PrinterConfiguration** config) {
  PageData* data = GetPageData(window);
  if (data == nullptr || settings == nullptr || config == nullptr) return 0;
  *settings = data->current.settings;
  *config = data->current.config;
  return 1;
}

int GetSavedSettings(HWND window, SettingsRecord** settings, PrinterConfiguration** config) {
  PageData* data = GetPageData(window);
  if (data == nullptr || settings == nullptr || config == nullptr) return 0;
  *settings = data->saved.settings;
  *config = data->saved.config;
  return 1;
}

SheetState* FindSheetState(HWND window) {
  PageData* data = GetPageData(window);
  return data != nullptr ? data->sheet : nullptr;
}

int SetSizeSummaryText(SheetState* state, LPCWSTR text) {
  if (state == nullptr || text == nullptr) return 0;
  const int chars = lstrlenW(text);
  if (chars >= kSizeSummaryChars || WideToAnsi(std::u16string_view(text, chars)).size() >= kSizeSummaryChars)
    return 0;
  lstrcpynW(state->sizeSummary, text, kSizeSummaryChars);
  return 1;
}

int GetSizeSummaryText(SheetState* state, LPWSTR out) {
  if (state == nullptr || out == nullptr) return 0;
  lstrcpynW(out, state->sizeSummary, kSizeSummaryChars);
  return 1;
}

WORD ReadMeasurementUnit(SheetState* state) {
  if (state == nullptr) return 0;
  state->localeUnit = 0;
  if (!TestFeatureFlag(state->featureWords, kLocaleMeasureFeature)) return 0;
  WCHAR value[4] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, value, 4) <= 0) return 0;
  state->localeUnit = value[0] == u'1' ? 1 : 0;
  return state->localeUnit;
}

int GetLocaleMeasurement(SheetState* state, WORD* unit) {
  if (state == nullptr || unit == nullptr) return 0;
  *unit = state->localeUnit;
  return 1;
}

void ResetMeasurementUnit(SheetState* state) {
  if (state != nullptr) state->displayUnit = state->localeUnit;
}

void SetDisplayUnit(SheetState* state, WORD unit) {
  if (state != nullptr) state->displayUnit = unit;
}

int SetSheetFeatureWords(SheetState* state, ItemStore* store) {
  if (state == nullptr || store == nullptr) return 0;
  return GetModelFeatureFlags(store->main, state->featureWords);
}

int GetSheetFeatureFlags(SheetState* state, DWORD words[2]) {
  if (state == nullptr || words == nullptr) return 0;
  words[0] = state->featureWords[0];
  words[1] = state->featureWords[1];
  return 1;
}
