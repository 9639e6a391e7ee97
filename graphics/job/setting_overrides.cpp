#include "graphics/job/setting_overrides.h"

#include "graphics/job/job_items.h"
#include "items/item_ids.h"

namespace {

// The overridable layout items in the order of the direct-mode state's overrides.
constexpr SettingItemId kLayoutItems[kDirectOverrideItems] = {kItemPagesPerSheet, kItemPageOrder, kItemNupRotation,
                                                              kItemPageLayout, kItemTileCount};
// Where each item's value is saved.
constexpr int kSavedDuplex = 5;
constexpr int kSavedColor = 6;
constexpr LONG kAutomaticColor = 0;

}  // namespace

int RestoreOverriddenSettings(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  DirectModeState& s = pdev->directMode;
  if (!s.saved) return 0;
  SettingsRecord* settings = &pdev->settings;
  BOOL ok = WriteJobItem(settings, pdev->config, kItemDuplex, static_cast<SHORT>(s.savedValues[kSavedDuplex]));
  for (int i = 0; i < kDirectOverrideItems; ++i)
    ok &= WriteJobItem(settings, pdev->config, kLayoutItems[i], static_cast<SHORT>(s.savedValues[i]));
  ok &= WriteJobItem(settings, pdev->config, kItemColorMode, s.savedValues[kSavedColor]);
  s.saved = 0;
  return ok ? 0 : -1;
}

int ApplySettingOverrides(Pdev* pdev) {
  if (pdev == nullptr) return -1;
  const int restored = RestoreOverriddenSettings(pdev);
  DirectModeState& s = pdev->directMode;
  SettingsRecord* settings = &pdev->settings;
  BOOL ok = TRUE;
  s.savedValues[kSavedDuplex] = static_cast<WORD>(ReadJobItem(pdev, kItemDuplex));
  if (s.duplexOverride != kNoOverride) ok &= WriteJobItem(settings, pdev->config, kItemDuplex, s.duplexOverride);
  for (int i = 0; i < kDirectOverrideItems; ++i) {
    s.savedValues[i] = static_cast<WORD>(ReadJobItem(pdev, kLayoutItems[i]));
    if (s.overrides[i] != kNoOverride) ok &= WriteJobItem(settings, pdev->config, kLayoutItems[i], s.overrides[i]);
  }
  s.savedValues[kSavedColor] = static_cast<WORD>(ReadJobItem(pdev, kItemColorMode));
  if (s.overrideSwitch) ok &= WriteJobItem(settings, pdev->config, kItemColorMode, kAutomaticColor);
  if (restored == 0) s.saved = 1;
  return ok && restored == 0 ? 0 : -1;
}
