#include "core/store/policy_file.h"

#include <cstring>
#include <vector>

#include "core/common/typed_value.h"
#include "core/runtime/trace_log.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"
#include "platform/base/types.h"
#include "platform/kernel/files.h"
#include "platform/kernel/ini.h"
#include "platform/kernel/memory.h"
#include "platform/user/format.h"

namespace {

// Text that GetPrivateProfileStringW answers for a key that is missing.
constexpr const WCHAR* kNoData = u"NODATA";
// Values are read into this many characters; the section test into 8.
constexpr DWORD kValueChars = 32;
constexpr DWORD kSectionTestChars = 8;

struct FeatureKey {
  const WCHAR* key;
  SettingItemId item;
};

constexpr FeatureKey kPolicyFeatureKeyTable[] = {
    {u"Special1", 5153}, {u"ColorMode", 270}, {u"JobType", 334},      {u"duplex", 16},
    {u"banner", 332},    {u"staple", 320},    {u"punch", 341},        {u"fonttype", 1335},
    {u"font_subst", 292}, {u"AccountMode", 5163}, {u"popup_admin", 5164}, {u"popup_user", 5165},
};

struct SwitchKey {
  const WCHAR* key;
  DWORD code;
};

// Code 999 ("LOG") is read and kept; nothing acts on it.
constexpr SwitchKey kPolicySwitchKeyTable[] = {
    {u"USE_SPECIAL1", 0}, {u"MONOCOLOR_PRINT", 1}, {u"SECURE_PRINT", 2}, {u"LOG", 999}};

struct ValueWord {
  const WCHAR* word;
  DWORD value;
};

constexpr ValueWord kPolicyValueWordTable[] = {
    {u"on", 1},           {u"off", 0},          {u"true", 1},         {u"false", 0},
    {u"auto_color", 0},   {u"gray", 1},         {u"color", 2},        {u"hide", 0},
    {u"dimout", 1},       {u"show", 2},         {u"normal_print", 0}, {u"secure_print", 1},
    {u"sample_print", 2}, {u"box_print", 3},    {u"delay_print", 4},
};

struct DisplayWord {
  const WCHAR* word;
  WORD flag;
};

constexpr DisplayWord kDisplayWords[] = {{u"hide", kPolicyHide}, {u"dimout", kPolicyDimOut}, {u"show", kPolicyShow}};

struct ValuePair {
  DWORD policy;
  DWORD item;
};

struct ValueMapRow {
  SettingItemId item;
  const ValuePair* pairs;
  size_t count;
};

constexpr ValuePair kOnOff[] = {{1, 1}, {0, 0}};
constexpr ValuePair kColorMode[] = {{0, 0}, {2, 2}, {1, 1}};
constexpr ValuePair kJobType[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
constexpr ValuePair kDuplex[] = {{0, 1}, {1, 2}, {2, 3}};
constexpr ValuePair kBanner[] = {{0, 0}, {1, 1}, {2, 2}};
constexpr ValuePair kStaple[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4},  {5, 5},
                                 {6, 6}, {7, 7}, {8, 8}, {9, 10}, {10, 9}};
constexpr ValuePair kPunch[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}};
constexpr ValuePair kFontSubstitution[] = {{0, 2}, {1, 1}, {2, 0}};
constexpr ValuePair kOffOn[] = {{0, 0}, {1, 1}};

template <size_t N>
constexpr ValueMapRow Row(SettingItemId item, const ValuePair (&pairs)[N]) {
  return {item, pairs, N};
}

constexpr ValueMapRow kPolicyValueMap[] = {
    Row(5153, kOnOff),  Row(4129, kOnOff),  Row(270, kColorMode), Row(334, kJobType),
    Row(16, kDuplex),   Row(332, kBanner),  Row(320, kStaple),    Row(341, kPunch),
    Row(1335, kOnOff),  Row(292, kFontSubstitution), Row(5163, kOffOn), Row(5164, kOffOn),
    Row(5165, kOffOn),
};

struct PresetEntry {
  DWORD code;
  SettingItemId item;
  DWORD value;
  WORD flags;
};

// Entries forced while a switch has the value 1.
constexpr PresetEntry kPolicyPresetTable[] = {
    {0, 5153, 1, kPolicyEnforced | kPolicyShow},
    {1, 270, 1, kPolicyEnforced | kPolicyDimOut},
    {1, 4129, 0, kPolicyEnforced},
    {2, 334, 1, kPolicyEnforced | kPolicyDimOut},
};

bool PassesMode(WORD flags, WORD mode) {
  BYTE low = static_cast<BYTE>(flags);
  if (mode == kPolicyModeDefaults) return (low & (kPolicyDefault | kPolicyEnforced)) != 0;
  if (mode == kPolicyModeEnforced) return (low & kPolicyEnforced) != 0;
  return false;
}

// The preset entry of the item under a switch that is 1, NULL when there is none.
const PresetEntry* FindActivePreset(const PolicyList* list, SettingItemId item) {
  for (WORD s = 0; s < list->switchCount; ++s) {
    if (list->switches[s].value != 1) continue;
    for (const PresetEntry& preset : kPolicyPresetTable)
      if (preset.code == list->switches[s].code && preset.item == item) return &preset;
  }
  return nullptr;
}

const PolicyEntry* FindEntry(const PolicyList* list, SettingItemId item) {
  for (WORD e = 0; e < list->entryCount; ++e)
    if (list->entries[e].item == item) return &list->entries[e];
  return nullptr;
}

// Writes a translated value in the item's own type and size; strings, fonts and items that
// cannot be read are left alone, and failures are ignored.
void SetPolicyValue(SettingItemId item, DWORD value, SettingsRecord* settings, PrinterConfiguration* config) {
  union {
    DWORD number;
    ULONG_PTR address;
  } slot{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  if (GetItemValue(item, settings, config, &type, &length, &slot) != kItemDone) return;
  if (type == kTypeString || type == kTypeFont || length > sizeof value) return;
  SetItemValue(item, settings, config, type, length, &value);
}

void ApplyIfPassing(SettingItemId item, DWORD policyValue, WORD flags, WORD mode, SettingsRecord* settings,
                    PrinterConfiguration* config) {
  DWORD itemValue;
  if (PassesMode(flags, mode) && TranslatePolicyValue(item, policyValue, &itemValue))
    SetPolicyValue(item, itemValue, settings, config);
}

// Reads one key; FALSE when it is missing (the read answers the "NODATA" default).
BOOL ReadKey(LPCWSTR section, LPCWSTR key, LPCWSTR path, WCHAR (&value)[kValueChars]) {
  GetPrivateProfileStringW(section, key, kNoData, value, kValueChars, path);
  return lstrcmpW(value, kNoData) != 0;
}

}  // namespace

DWORD ParsePolicyValue(LPCWSTR text) {
  if (!text || !*text) return 0;
  for (const ValueWord& word : kPolicyValueWordTable)
    if (lstrcmpiW(text, word.word) == 0) return word.value;
  // Leading decimal digits; a number too large for 32 bits saturates (no map holds it).
  DWORD value = 0;
  for (LPCWSTR p = text; *p >= u'0' && *p <= u'9'; ++p) {
    DWORD digit = static_cast<DWORD>(*p - u'0');
    value = value > (0xFFFFFFFFu - digit) / 10 ? 0xFFFFFFFFu : value * 10 + digit;
  }
  return value;
}

BOOL TranslatePolicyValue(SettingItemId item, DWORD policyValue, DWORD* itemValue) {
  for (const ValueMapRow& row : kPolicyValueMap) {
    if (row.item != item) continue;
    for (size_t i = 0; i < row.count; ++i) {
      if (row.pairs[i].policy == policyValue) {
        *itemValue = row.pairs[i].item;
        return TRUE;
      }
    }
    return FALSE;
  }
  return FALSE;
}

void GetPolicySectionName(LPCWSTR modelName, LPCWSTR path, LPWSTR section, DWORD sectionChars) {
  lstrcpynW(section, modelName, static_cast<int>(sectionChars));
  for (LPWSTR p = section; *p; ++p)
    if (*p == u' ' || *p == u'-' || *p == u'/') *p = u'_';
  WCHAR keys[kSectionTestChars];
  GetPrivateProfileStringW(section, nullptr, kNoData, keys, kSectionTestChars, path);
  if (keys[0] == 0 || lstrcmpW(keys, kNoData) == 0) lstrcpynW(section, u"default", static_cast<int>(sectionChars));
}

PolicyList* ParsePolicyFile(LPCWSTR modelName, LPCWSTR path) {
  if (!modelName || !path) return nullptr;
  WCHAR section[MAX_PATH];
  GetPolicySectionName(modelName, path, section, MAX_PATH);

  std::vector<PolicyEntry> entries;
  for (const FeatureKey& feature : kPolicyFeatureKeyTable) {
    WCHAR key[64], value[kValueChars] = {}, display[kValueChars];
    WORD flags = 0;
    wsprintfW(key, u"%s.%s", feature.key, u"enforced");
    if (ReadKey(section, key, path, value)) {
      flags |= kPolicyEnforced;
    } else {
      wsprintfW(key, u"%s.%s", feature.key, u"default");
      if (ReadKey(section, key, path, value)) flags |= kPolicyDefault;
      else value[0] = 0;
    }
    wsprintfW(key, u"%s.%s", feature.key, u"display");
    if (ReadKey(section, key, path, display))
      for (const DisplayWord& word : kDisplayWords)
        if (lstrcmpiW(display, word.word) == 0) flags |= word.flag;
    if (flags == 0) continue;
    entries.push_back({feature.item, ParsePolicyValue(value), flags});
  }
  std::vector<PolicySwitch> switches;
  for (const SwitchKey& key : kPolicySwitchKeyTable) {
    WCHAR value[kValueChars];
    if (ReadKey(section, key.key, path, value)) switches.push_back({key.code, ParsePolicyValue(value)});
  }

  auto* list = static_cast<PolicyList*>(GlobalAlloc(GPTR, sizeof(PolicyList)));
  if (!list) return nullptr;
  // The last key found comes first in each array; an array that cannot be allocated is empty.
  if (!entries.empty() &&
      (list->entries = static_cast<PolicyEntry*>(GlobalAlloc(GPTR, entries.size() * sizeof(PolicyEntry))))) {
    list->entryCount = static_cast<WORD>(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) list->entries[i] = entries[entries.size() - 1 - i];
  }
  if (!switches.empty() &&
      (list->switches = static_cast<PolicySwitch*>(GlobalAlloc(GPTR, switches.size() * sizeof(PolicySwitch))))) {
    list->switchCount = static_cast<WORD>(switches.size());
    for (size_t i = 0; i < switches.size(); ++i) list->switches[i] = switches[switches.size() - 1 - i];
  }
  return list;
}

PolicyList* LoadPolicyList(LPCWSTR modelName, LPCWSTR path) {
  if (!path) return nullptr;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path, &found);
  if (search == INVALID_HANDLE_VALUE) return nullptr;
  FindClose(search);
  PolicyList* list = ParsePolicyFile(modelName, path);
  ReloadTraceSwitch();
  return list;
}

void FreePolicyList(PolicyList* list) {
  if (!list) return;
  if (list->entries) GlobalFree(list->entries);
  if (list->switches) GlobalFree(list->switches);
  GlobalFree(list);
}

int ApplyPolicyList(const PolicyList* list, SettingsRecord* settings, PrinterConfiguration* config, WORD mode) {
  if (!list) return 0;
  for (WORD e = 0; e < list->entryCount; ++e) {
    const PolicyEntry& entry = list->entries[e];
    ApplyIfPassing(entry.item, entry.value, entry.flags, mode, settings, config);
  }
  // A switch's preset comes after the entries, so it wins over an entry for the same item.
  for (WORD s = 0; s < list->switchCount; ++s) {
    if (list->switches[s].value != 1) continue;
    for (const PresetEntry& preset : kPolicyPresetTable)
      if (preset.code == list->switches[s].code)
        ApplyIfPassing(preset.item, preset.value, preset.flags, mode, settings, config);
  }
  return 1;
}

int GetPolicyDefault(SettingItemId item, const PolicyList* list, void* slot, ValueTypeCode slotType) {
  if (!list || !slot) return 0;
  DWORD policyValue;
  WORD flags;
  if (const PresetEntry* preset = FindActivePreset(list, item)) {
    policyValue = preset->value;
    flags = preset->flags;
  } else if (const PolicyEntry* entry = FindEntry(list, item)) {
    policyValue = entry->value;
    flags = entry->flags;
  } else {
    return 0;
  }
  DWORD itemValue;
  // Policy values are numbers: a text slot cannot take one.
  if (slotType == kTypeString || !PassesMode(flags, kPolicyModeDefaults) ||
      !TranslatePolicyValue(item, policyValue, &itemValue))
    return 0;
  return SetTypedValue(slotType, slot, &itemValue);
}

int IsItemLockedByPolicy(SettingItemId item, const PolicyList* list, WORD* flags) {
  if (flags) *flags = 0;
  if (!list) return 0;
  WORD found;
  if (const PresetEntry* preset = FindActivePreset(list, item)) {
    found = preset->flags;
  } else if (const PolicyEntry* entry = FindEntry(list, item)) {
    found = entry->flags;
  } else {
    return 0;
  }
  if (flags) *flags = found;
  return 1;
}
