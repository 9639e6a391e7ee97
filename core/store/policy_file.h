// The policy file: an INI file beside the printer modules in which an administrator presets,
// enforces, greys out or hides a fixed set of settings per printer model. It is parsed into a
// PolicyList when an ItemStore opens and lives with the store.
#pragma once

#include "items/item_tables.h"
#include "platform/base/types.h"

// PolicyEntry flags (only the low byte is tested).
inline constexpr WORD kPolicyDefault = 0x1;
inline constexpr WORD kPolicyEnforced = 0x2;
inline constexpr WORD kPolicyHide = 0x4;
inline constexpr WORD kPolicyDimOut = 0x8;
inline constexpr WORD kPolicyShow = 0x10;

// ApplyPolicyList modes: 0 applies defaults and enforced values, 1 enforced values only.
inline constexpr WORD kPolicyModeDefaults = 0;
inline constexpr WORD kPolicyModeEnforced = 1;

struct PolicyEntry {
  SettingItemId item;
  DWORD value;
  WORD flags;
};

struct PolicySwitch {
  DWORD code;
  DWORD value;
};

// Both arrays hold their rows in the reverse order of the key tables (the last key found
// comes first). Allocated from the global heap; freed with FreePolicyList.
struct PolicyList {
  WORD entryCount;
  WORD switchCount;
  PolicyEntry* entries;
  PolicySwitch* switches;
};

// The text of a policy value as a number: a value word ("on", "gray", "secure_print", ...,
// any case), else its leading decimal digits (saturating), else 0.
DWORD ParsePolicyValue(LPCWSTR text);

// The file's section for a model: the model name with " ", "-" and "/" made "_" when that
// section has keys, else "default". `section` holds at least 260 characters.
void GetPolicySectionName(LPCWSTR modelName, LPCWSTR path, LPWSTR section, DWORD sectionChars);

// Parses the file: NULL when an argument is missing or memory runs out.
PolicyList* ParsePolicyFile(LPCWSTR modelName, LPCWSTR path);
// NULL when the file does not exist; otherwise the parsed list (the trace switch is read again
// too, so an engineer can turn tracing on from the same place).
PolicyList* LoadPolicyList(LPCWSTR modelName, LPCWSTR path);
void FreePolicyList(PolicyList* list);

// Writes the values of the entries that pass the mode (and of the presets of switches that
// are 1, after them) into the records; strings, fonts and unreadable items are left alone.
// 1, or 0 for a NULL list.
int ApplyPolicyList(const PolicyList* list, SettingsRecord* settings, PrinterConfiguration* config, WORD mode);
// 1 when the policy gives the item's default: the translated value is stored in the slot (at
// least 8 bytes) by the slot's type.
int GetPolicyDefault(SettingItemId item, const PolicyList* list, void* slot, ValueTypeCode slotType);
// 1 and the flags of the item's entry (a preset of a switch that is 1 first); 0 and flags 0
// when the policy says nothing about the item.
int IsItemLockedByPolicy(SettingItemId item, const PolicyList* list, WORD* flags);

// The item value a policy value stands for; FALSE when the map has no such pair (then the
// value is never applied).
BOOL TranslatePolicyValue(SettingItemId item, DWORD policyValue, DWORD* itemValue);
