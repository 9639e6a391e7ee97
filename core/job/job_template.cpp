#include "core/job/job_template.h"

#include "core/common/typed_compare.h"
#include "core/descriptors/item_descriptors.h"
#include "core/job/job_header_status.h"
#include "core/store/item_access.h"
#include "platform/base/text.h"

namespace {

constexpr WORD kJobFlagKeptWhenMarked = 0x1;

bool IsGroupEnd(BYTE connector) { return connector == kJobConnectorEnd || connector == kJobConnectorEndAlt; }

bool IsJobAttrLiteral(const JobTemplate* entry) {
  return entry->item == 0 && entry->key != nullptr && wcscmp(entry->key, kJobAttrKey) == 0;
}

// The attribute name of a JOBATTR literal: its value up to and including the first "=",
// without a leading double quote. False when the value has no "=".
bool GetAttributeName(LPCWSTR value, std::u16string* name) {
  if (value == nullptr) return false;
  if (*value == u'"') ++value;
  const WCHAR* equals = wcschr(value, u'=');
  if (equals == nullptr) return false;
  name->assign(value, equals + 1);
  return true;
}

// Whether the entry merges by its value key (JOBATTR mode with a value text: an item entry or
// a JOBATTR literal) rather than by its key text.
bool MergesByValueKey(const JobTemplate* entry, const JobHeaderBuild* build) {
  return HasFeature(build, kFeatureJobAttrMode) && entry->value != nullptr && (entry->item != 0 || IsJobAttrLiteral(entry));
}

// The value key of an entry that merges by it; kJobAttrLiteralWithoutName for a JOBATTR
// literal without "=".
int GetValueKey(const JobTemplate* entry, std::u16string* key) {
  if (entry->item != 0) {
    key->assign(entry->value);
    return 0;
  }
  return GetAttributeName(entry->value, key) ? 0 : kJobAttrLiteralWithoutName;
}

void StoreKey(std::u16string* slot, const std::u16string& key, bool written, JobHeaderState* state) {
  if (key.size() > kJobMergeKeyMax) {
    slot->clear();
    state->written = false;
    return;
  }
  *slot = key;
  state->written = written;
}

// Stores the entry's merge key as the last key or last value key; 0 or a code.
int StoreMergeKey(const JobTemplate* entry, JobHeaderBuild* build, JobHeaderState* state, bool written) {
  if (MergesByValueKey(entry, build)) {
    std::u16string key;
    if (int r = GetValueKey(entry, &key); r < 0) return r;
    StoreKey(&state->lastValueKey, key, written, state);
  } else {
    StoreKey(&state->lastKey, entry->key != nullptr ? entry->key : u"", written, state);
  }
  return 0;
}

bool SameAsLastKey(const JobTemplate* entry, const JobHeaderState* state) {
  return state->written && entry->key != nullptr && state->lastKey == entry->key;
}

// Compares the condition's constant with the item's value by the operator; 1, 0 or a code.
int CompareByOperator(BYTE op, ValueTypeCode type, const void* constant, const void* item) {
  const SHORT order = CompareTypedValues(type, constant, item);
  if (order == kCompareNotComparable) return kJobConditionBadType;
  switch (op) {
    case 1: case 7: case 8: case 10: case 11: case 12: return order == kCompareEqual;
    case 2: return order != kCompareEqual;
    case 3: return order == kCompareGreater;
    case 4: return order != kCompareLess;
    case 5: return order == kCompareLess;
    case 6: return order != kCompareGreater;
    default: return kJobConditionBadOperator;
  }
}

}  // namespace

int EvaluateJobCondition(const ConditionElement* condition, JobHeaderBuild* build) {
  const ItemValueElement& test = condition->test;
  ItemValueCell cell{};
  ValueTypeCode type = 0;
  DWORD length = 0;
  const ItemAccessResult read =
      GetItemValue(test.item, build->context->settings, build->context->config, &type, &length, &cell);
  if (read == kItemNoRange) return kJobItemUnknown;
  if (read != kItemDone) return kJobItemUnreadable;
  if (type != test.value.type) return kJobConditionTypeDiffers;
  const BYTE op = test.op;
  if (op == 0 || op == 9 || op > 12) return kJobConditionBadOperator;
  DWORD size = 0;
  switch (type) {
    case kTypeFlag:
    case kTypeString:
      if (op != 1 && op != 2) return kJobConditionOperatorRefused;
      break;
    case kTypeInt16: case kTypeUInt16: case kTypeInt32: case kTypeUInt32: case kTypeUInt8: case kTypeFontField: break;
    default: return kJobConditionBadType;
  }
  if (!test.value.present || test.value.value == nullptr) return kJobItemBadSize;
  if (type == kTypeString) {
    const void* constant = test.value.value;
    const void* item = cell.data;
    if (item == nullptr) return kJobItemUnreadable;
    return CompareByOperator(op, type, &constant, &item);
  }
  GetValueTypeSize(type, &size);
  if (length != size || test.value.length != size) return kJobItemBadSize;
  return CompareByOperator(op, type, test.value.value, &cell);
}

int EvaluateJobEntry(const JobTemplate* entry, JobHeaderBuild* build, JobHeaderState* state) {
  const WORD count = entry->conditions.count;
  const ConditionElement* c = entry->conditions.items;
  int matched = count == 0 ? 1 : 0;
  bool lastTrue = false;
  for (WORD i = 0; i < count;) {
    const int holds = EvaluateJobCondition(&c[i], build);
    if (holds < 0) return holds;
    lastTrue = holds == 1;
    if (lastTrue) {
      ++matched;
      if (IsGroupEnd(c[i].connector)) break;
      if (c[i].connector == kJobConnectorOr) {
        // The rest of this OR chain is satisfied: pass over it to its last condition.
        WORD j = i + 1;
        while (j < count && c[j].connector == kJobConnectorOr) ++j;
        if (j < count && IsGroupEnd(c[j].connector)) break;
        i = j + 1;
        continue;
      }
      ++i;
      continue;
    }
    if (c[i].connector == kJobConnectorOr) {
      ++i;
      continue;
    }
    // This group fails: the next group is an alternative.
    matched = 0;
    WORD k = i;
    while (k < count && !IsGroupEnd(c[k].connector)) ++k;
    i = k < count ? k + 1 : i + 1;
  }
  if (lastTrue && matched == 0) matched = 1;
  if (int r = StoreMergeKey(entry, build, state, matched > 0); r < 0) return r;
  return matched;
}

int IsDuplicateJobEntry(const JobTemplate* entry, JobHeaderBuild* build, JobHeaderState* state) {
  bool duplicate = false;
  if (HasFeature(build, kFeatureJobAttrMode)) {
    if (entry->value == nullptr) {
      duplicate = SameAsLastKey(entry, state);
    } else if (entry->item != 0) {
      duplicate = state->written && state->lastValueKey == entry->value;
    } else if (!IsJobAttrLiteral(entry)) {
      duplicate = SameAsLastKey(entry, state);
    } else {
      std::u16string name;
      duplicate = state->written && GetAttributeName(entry->value, &name) &&
                  state->lastValueKey.find(name) != std::u16string::npos;
    }
  } else {
    duplicate = SameAsLastKey(entry, state);
  }
  if (duplicate) return 1;
  if (state->skipUnmarked) {
    WORD flags = 0;
    const bool hasFlags = GetVersionGatedField(reinterpret_cast<const DatabaseRecord*>(entry), &flags) == kDbOk;
    if (!hasFlags || (flags & kJobFlagKeptWhenMarked) == 0) {
      // Marked: it counts as written for the entries that follow, but is not written.
      if (StoreMergeKey(entry, build, state, true) < 0) state->written = true;
      return 1;
    }
  }
  return 0;
}
